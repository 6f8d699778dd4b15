// Text drawn with FreeType from the DejaVu fonts.
#pragma once

#include "canvas.h"

#include <memory>
#include <string>
#include <string_view>

namespace gen {

enum class Face { Sans, SansBold, CondensedBold, SerifBold };

class Font {
public:
    Font(Face face, float pixelSize);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    bool ok() const { return face_ != nullptr; }
    // Coverage of the text, one line; the mask is ascent + descent high.
    Mask render(std::string_view utf8) const;
    int measure(std::string_view utf8) const;
    int ascent() const { return ascent_; }
    int lineHeight() const { return ascent_ + descent_; }

private:
    struct FaceHandle;
    FaceHandle* face_ = nullptr;
    int ascent_ = 0, descent_ = 0;
};

enum class Align { Left, Center, Right };

struct TextStyle {
    Color top = rgb(255, 255, 255);
    Color bottom = rgb(255, 255, 255); // vertical gradient of the letters
    Color outline{};                   // alpha 0: none
    float outlineWidth = 0;
    Color shadow{};                    // alpha 0: none
    int shadowDx = 0, shadowDy = 0;
};

// Draws one line with its top at y; x is the left, centre or right edge by align. Returns the width.
int drawText(Canvas& c, const Font& f, std::string_view text, float x, float y, Align align,
             const TextStyle& style);

// Words wrapped into lines no wider than width; returns the number of lines drawn.
int drawParagraph(Canvas& c, const Font& f, std::string_view text, float x, float y, float width,
                  float lineGap, const TextStyle& style);

} // namespace gen
