#include "text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <vector>

namespace gen {

namespace {

const char* facePath(Face f)
{
    switch (f) {
    case Face::Sans: return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    case Face::SansBold: return "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    case Face::CondensedBold: return "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";
    case Face::SerifBold: return "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";
    }
    return "";
}

FT_Library library()
{
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) return FT_Library(nullptr);
        return l;
    }();
    return lib;
}

std::vector<uint32_t> decodeUtf8(std::string_view s)
{
    std::vector<uint32_t> out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = s[i];
        int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        uint32_t cp = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < s.size(); k++) cp = (cp << 6) | (s[i + k] & 0x3F);
        out.push_back(cp);
        i += extra + 1;
    }
    return out;
}

} // namespace

struct Font::FaceHandle {
    FT_Face face = nullptr;
};

Font::Font(Face which, float pixelSize)
{
    FT_Library lib = library();
    FT_Face face = nullptr;
    if (!lib || FT_New_Face(lib, facePath(which), 0, &face) != 0) {
        std::fprintf(stderr, "datagen: cannot open font %s\n", facePath(which));
        return;
    }
    FT_Set_Char_Size(face, 0, FT_F26Dot6(pixelSize * 64), 72, 72);
    face_ = new FaceHandle{face};
    ascent_ = int(std::ceil(face->size->metrics.ascender / 64.0));
    descent_ = int(std::ceil(-face->size->metrics.descender / 64.0));
}

Font::~Font()
{
    if (face_) {
        FT_Done_Face(face_->face);
        delete face_;
    }
}

namespace {

// Walks the glyphs of a line with kerning; visit(penX, glyph) sees each glyph that loaded.
// Returns the pen position after the last glyph, in 26.6 fixed point.
template <typename Visit>
long walkGlyphs(FT_Face face, std::string_view utf8, FT_Int32 loadFlags, Visit visit)
{
    long pen = 0;
    FT_UInt prev = 0;
    for (uint32_t cp : decodeUtf8(utf8)) {
        FT_UInt gi = FT_Get_Char_Index(face, cp);
        if (prev && FT_HAS_KERNING(face)) {
            FT_Vector k;
            FT_Get_Kerning(face, prev, gi, FT_KERNING_DEFAULT, &k);
            pen += k.x;
        }
        prev = gi;
        if (FT_Load_Glyph(face, gi, loadFlags) != 0) continue;
        visit(pen, face->glyph);
        pen += face->glyph->advance.x;
    }
    return pen;
}

} // namespace

int Font::measure(std::string_view utf8) const
{
    if (!face_) return 0;
    long pen = walkGlyphs(face_->face, utf8, FT_LOAD_DEFAULT, [](long, FT_GlyphSlot) {});
    return int(std::ceil(pen / 64.0));
}

Mask Font::render(std::string_view utf8) const
{
    if (!face_) return {};
    Mask m(measure(utf8) + 4, lineHeight());
    walkGlyphs(face_->face, utf8, FT_LOAD_RENDER, [&](long pen, FT_GlyphSlot g) {
        int ox = int(pen / 64) + g->bitmap_left + 1;
        int oy = ascent_ - g->bitmap_top;
        for (unsigned y = 0; y < g->bitmap.rows; y++)
            for (unsigned x = 0; x < g->bitmap.width; x++) {
                int tx = ox + int(x), ty = oy + int(y);
                if (tx < 0 || ty < 0 || tx >= m.width || ty >= m.height) continue;
                float v = g->bitmap.buffer[y * g->bitmap.pitch + x] / 255.0f;
                m.ref(tx, ty) = std::max(m.at(tx, ty), v);
            }
    });
    return m;
}

int drawText(Canvas& c, const Font& f, std::string_view text, float x, float y, Align align,
             const TextStyle& style)
{
    Mask m = f.render(text);
    int w = f.measure(text);
    int left = int(std::lround(align == Align::Left ? x : align == Align::Center ? x - w / 2.0f : x - w)) - 1;
    int top = int(std::lround(y));
    float h = float(std::max(1, f.lineHeight()));
    Mask edge = style.outline.a > 0 ? dilate(m, style.outlineWidth) : Mask{};
    int er = style.outline.a > 0 ? (edge.width - m.width) / 2 : 0;
    if (style.shadow.a > 0) {
        const Mask& s = style.outline.a > 0 ? edge : m;
        c.fillMask(s, left - er + style.shadowDx, top - er + style.shadowDy, style.shadow);
    }
    if (style.outline.a > 0) c.fillMask(edge, left - er, top - er, style.outline);
    c.fillMask(m, left, top, [&](Vec p) { return mix(style.top, style.bottom, clamp01((p.y - top) / h)); });
    return w;
}

int drawParagraph(Canvas& c, const Font& f, std::string_view text, float x, float y, float width,
                  float lineGap, const TextStyle& style)
{
    int lines = 0;
    std::string line;
    size_t i = 0;
    auto flush = [&] {
        drawText(c, f, line, x, y + lines * (f.lineHeight() + lineGap), Align::Left, style);
        lines++;
        line.clear();
    };
    while (i < text.size()) {
        size_t j = text.find(' ', i);
        if (j == std::string_view::npos) j = text.size();
        std::string word(text.substr(i, j - i));
        std::string candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() && f.measure(candidate) > width) {
            flush();
            line = word;
        } else {
            line = candidate;
        }
        i = j + 1;
    }
    if (!line.empty()) flush();
    return lines;
}

} // namespace gen
