#include "files.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace gen {

namespace {

void put16(Bytes& b, uint32_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

void put32(Bytes& b, uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

uint32_t get32(const Bytes& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

uint32_t get16(const Bytes& b, size_t at) { return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8; }

const float kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// Quantise one channel to `bits` bits with an ordered dither, then widen it back to 8 bits.
uint8_t quantise(float v, int bits, float threshold)
{
    int levels = (1 << bits) - 1;
    int q = std::min(levels, int(std::floor(clamp01(v) * levels + threshold)));
    int shift = 8 - bits;
    return uint8_t((q << shift) | (q >> (bits - shift)));
}

} // namespace

bool writeFile(const std::string& path, const Bytes& data)
{
    std::error_code ec;
    std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    return bool(out);
}

bool readFile(const std::string& path, Bytes& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool isKeyColor565(const uint8_t* p) { return (p[0] >> 3) == 0 && (p[1] >> 2) == 0 && (p[2] >> 3) == 31; }

Image toGameImage(const Canvas& c)
{
    Image img;
    img.width = c.width();
    img.height = c.height();
    img.rgb.resize(size_t(img.width) * img.height * 3);
    for (int y = 0; y < img.height; y++)
        for (int x = 0; x < img.width; x++) {
            uint8_t* p = &img.rgb[(size_t(y) * img.width + x) * 3];
            Color col = c.get(x, y);
            if (col.a < 0.5f) {
                p[0] = 0, p[1] = 0, p[2] = 255;
                continue;
            }
            float t = (kBayer[y & 3][x & 3] + 0.5f) / 16.0f;
            p[0] = quantise(col.r, 5, t);
            p[1] = quantise(col.g, 6, t);
            p[2] = quantise(col.b, 5, t);
            if (isKeyColor565(p)) p[1] = 4; // the nearest visible colour that is not the key
        }
    return img;
}

Bytes encodeBmp(const Image& img)
{
    uint32_t rowBytes = (uint32_t(img.width) * 3 + 3) & ~3u;
    uint32_t dataBytes = rowBytes * uint32_t(img.height);
    Bytes b;
    b.reserve(54 + dataBytes);
    b.push_back('B');
    b.push_back('M');
    put32(b, 54 + dataBytes);
    put32(b, 0);
    put32(b, 54);
    put32(b, 40);
    put32(b, uint32_t(img.width));
    put32(b, uint32_t(img.height));
    put16(b, 1);
    put16(b, 24);
    put32(b, 0); // no compression
    put32(b, dataBytes);
    put32(b, 2835); // 72 dpi
    put32(b, 2835);
    put32(b, 0);
    put32(b, 0);
    for (int y = img.height - 1; y >= 0; y--) {
        for (int x = 0; x < img.width; x++) {
            const uint8_t* p = img.at(x, y);
            b.push_back(p[2]);
            b.push_back(p[1]);
            b.push_back(p[0]);
        }
        for (uint32_t pad = uint32_t(img.width) * 3; pad < rowBytes; pad++) b.push_back(0);
    }
    return b;
}

bool decodeBmp(const Bytes& b, Image& out)
{
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return false;
    uint32_t offset = get32(b, 10);
    int32_t w = int32_t(get32(b, 18)), h = int32_t(get32(b, 22));
    uint32_t bpp = get16(b, 28), compression = get32(b, 30);
    if (w <= 0 || h == 0 || (bpp != 24 && bpp != 32) || (compression != 0 && compression != 3)) return false;
    bool bottomUp = h > 0;
    int height = bottomUp ? h : -h;
    uint32_t bytesPer = bpp / 8;
    uint64_t rowBytes = (uint64_t(w) * bytesPer + 3) & ~uint64_t(3);
    if (offset + rowBytes * uint64_t(height) > b.size()) return false;
    out.width = w;
    out.height = height;
    out.rgb.assign(size_t(w) * height * 3, 0);
    for (int y = 0; y < height; y++) {
        size_t row = offset + rowBytes * size_t(bottomUp ? height - 1 - y : y);
        for (int x = 0; x < w; x++) {
            const uint8_t* s = &b[row + size_t(x) * bytesPer];
            uint8_t* d = &out.rgb[(size_t(y) * w + x) * 3];
            d[0] = s[2], d[1] = s[1], d[2] = s[0];
        }
    }
    return true;
}

Bytes encodeWav(const std::vector<float>& samples, int rate, int channels)
{
    uint32_t dataBytes = uint32_t(samples.size() * 2);
    Bytes b;
    b.reserve(44 + dataBytes);
    for (char ch : std::string("RIFF")) b.push_back(uint8_t(ch));
    put32(b, 36 + dataBytes);
    for (char ch : std::string("WAVEfmt ")) b.push_back(uint8_t(ch));
    put32(b, 16);
    put16(b, 1); // PCM
    put16(b, uint32_t(channels));
    put32(b, uint32_t(rate));
    put32(b, uint32_t(rate * channels * 2));
    put16(b, uint32_t(channels * 2));
    put16(b, 16);
    for (char ch : std::string("data")) b.push_back(uint8_t(ch));
    put32(b, dataBytes);
    for (float s : samples) {
        long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
        put16(b, uint32_t(uint16_t(int16_t(v))));
    }
    return b;
}

} // namespace gen
