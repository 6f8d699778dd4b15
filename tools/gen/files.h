// Writing and reading the game's picture and sound files.
#pragma once

#include "canvas.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gen {

using Bytes = std::vector<uint8_t>;

// Writes the bytes, making the folders on the way; false when the file cannot be written.
bool writeFile(const std::string& path, const Bytes& data);
bool readFile(const std::string& path, Bytes& out);

// 8-bit RGB pixels, top row first.
struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    const uint8_t* at(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

// The game shows pictures in 16-bit colour with pure blue as the transparent key.
// Pixels are ordered-dithered onto the RGB565 grid; pixels less than half covered
// become the key, and no opaque pixel may land on the key.
Image toGameImage(const Canvas& c);
Bytes encodeBmp(const Image& img);   // 24-bit, bottom-up
bool decodeBmp(const Bytes& data, Image& out); // 24-bit and 32-bit, either row order

bool isKeyColor565(const uint8_t* rgb);

// 16-bit PCM WAV from samples in -1..1 (interleaved when stereo).
Bytes encodeWav(const std::vector<float>& samples, int rate, int channels);

} // namespace gen
