// Writes the program's icons as PNG files in the icon theme's layout:
// zorbit_icons <folder>  ->  <folder>/hicolor/<N>x<N>/apps/zorbit.png
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

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
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
    return failures == 0 ? 0 : 1;
}
