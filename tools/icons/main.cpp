// Writes the program's icons as PNG files in the icon theme's layout, and the window's icon
// beside the game's pictures, as a BMP with alpha that SDL reads without an image library:
// zorbit_icons <folder> [<game-folder>]  ->  <folder>/hicolor/<N>x<N>/apps/zorbit.png,
//                                            <game-folder>/icon.bmp
#include "icon.h"

#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

uint8_t Byte(float v) { return uint8_t(std::lround(gen::clamp01(v) * 255.0f)); }

bool WritePng(const gen::Canvas& c, const std::string& path)
{
    std::vector<uint8_t> rgba(size_t(c.width()) * c.height() * 4);
    for (int y = 0; y < c.height(); y++)
        for (int x = 0; x < c.width(); x++) {
            const gen::Color p = c.get(x, y);
            uint8_t* out = &rgba[(size_t(y) * c.width() + x) * 4];
            out[0] = Byte(p.r);
            out[1] = Byte(p.g);
            out[2] = Byte(p.b);
            out[3] = Byte(p.a);
        }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(c.width());
    image.height = png_uint_32(c.height());
    image.format = PNG_FORMAT_RGBA;
    const bool ok = png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}

void Put(std::vector<uint8_t>& b, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; i++) b.push_back(uint8_t(v >> (8 * i)));
}

// 32-bit BGRA, bottom-up, with a version 4 header: its masks name the alpha channel, which
// a plain 40-byte header cannot.
bool WriteBmpWithAlpha(const gen::Canvas& c, const std::string& path)
{
    const uint32_t header = 14 + 108, pixels = uint32_t(c.width()) * c.height() * 4;
    std::vector<uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    Put(b, header + pixels, 4);
    Put(b, 0, 4);
    Put(b, header, 4);
    Put(b, 108, 4);
    Put(b, uint32_t(c.width()), 4);
    Put(b, uint32_t(c.height()), 4);
    Put(b, 1, 2);
    Put(b, 32, 2);
    Put(b, 3, 4); // bit fields
    Put(b, pixels, 4);
    Put(b, 2835, 4); // 72 dpi
    Put(b, 2835, 4);
    Put(b, 0, 4);
    Put(b, 0, 4);
    for (uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) Put(b, mask, 4);
    Put(b, 0x73524742, 4); // sRGB
    for (int i = 0; i < 12; i++) Put(b, 0, 4); // end points and gamma, unused for sRGB
    for (int y = c.height() - 1; y >= 0; y--)
        for (int x = 0; x < c.width(); x++) {
            const gen::Color p = c.get(x, y);
            b.push_back(Byte(p.b));
            b.push_back(Byte(p.g));
            b.push_back(Byte(p.r));
            b.push_back(Byte(p.a));
        }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s <folder> [<game-folder>]\n", argv[0]);
        return 2;
    }
    int failures = 0;
    for (int size : gen::iconSizes()) {
        const std::string dir = std::string(argv[1]) + "/hicolor/" + std::to_string(size) + "x" +
                                std::to_string(size) + "/apps";
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
        if (ec || !WritePng(gen::drawIcon(size), dir + "/zorbit.png")) {
            std::fprintf(stderr, "zorbit_icons: cannot write %s/zorbit.png\n", dir.c_str());
            failures++;
        }
    }
    // The window's icon: what window managers show in task bars and switchers is 64 pixels
    // at most, and one size keeps the file small.
    if (argc == 3) {
        const std::string path = std::string(argv[2]) + "/icon.bmp";
        std::error_code ec;
        std::filesystem::create_directories(argv[2], ec);
        if (ec || !WriteBmpWithAlpha(gen::drawIcon(64), path)) {
            std::fprintf(stderr, "zorbit_icons: cannot write %s\n", path.c_str());
            failures++;
        }
    }
    return failures == 0 ? 0 : 1;
}
