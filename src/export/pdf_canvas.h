// One page's drawing, in millimetres from the page's top left corner (as pdf_layout places
// things), turned into PDF content operators.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "export/pdf_glyph_fonts.h"
#include "export/pdf_layout.h"

namespace ld::exporting {

struct PdfTextStyle {
    double points = 10;
    bool bold = false;
    uint32_t colour = 0x222222;  // 0xRRGGBB
    bool struck = false;
};

enum class PdfAlign { Left, Centre, Right };

struct PdfCircle {
    double x = 0, y = 0, radius = 0;
};

class PdfCanvas {
public:
    explicit PdfCanvas(PdfGlyphFonts& fonts) : fonts_(fonts) {}

    void fillRect(const PdfBox& box, uint32_t colour);
    void strokeRect(const PdfBox& box, uint32_t colour, double lineWidth);
    void line(double x1, double y1, double x2, double y2, uint32_t colour, double lineWidth);
    // Circles clipped to `clip`.
    void fillCircles(const PdfBox& clip, std::initializer_list<PdfCircle> circles, uint32_t colour);
    // White over `box`, letting through about two fifths of what is below.
    void veil(const PdfBox& box);
    // An image resource (e.g. "/P0") stretched over `box`.
    void image(const PdfBox& box, const std::string& name);

    // Width of `text` in millimetres.
    double textWidth(std::u32string_view text, const PdfTextStyle& style);
    // One line, centred vertically in `box`.
    void text(const PdfBox& box, std::u32string_view text, const PdfTextStyle& style,
              PdfAlign align = PdfAlign::Centre);
    // The text shrunk in half-point steps down to `minPoints` until it fits the box's width,
    // and then cut with an ellipsis if it still does not.
    void fittedText(const PdfBox& box, std::u32string_view text, PdfTextStyle style,
                    double minPoints, PdfAlign align = PdfAlign::Centre);
    // The longest start of `text` that fits `width` with an ellipsis after it (all of it if it
    // fits as it is).
    std::u32string elided(std::u32string_view text, const PdfTextStyle& style, double width);

    const std::string& content() const { return content_; }

private:
    PdfGlyphFonts& fonts_;
    std::string content_;
};

}  // namespace ld::exporting
