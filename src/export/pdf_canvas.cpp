#include "export/pdf_canvas.h"

namespace ld::exporting {
namespace {

constexpr double kPointsPerMm = 72 / 25.4;
constexpr double kCircle = 0.5523;  // Bezier handles of a quarter circle, per radius

std::string X(double mm) { return PdfNumber(mm * kPointsPerMm); }
std::string Y(double mm) { return PdfNumber((pdf::kPageHeight - mm) * kPointsPerMm); }
std::string Length(double mm) { return PdfNumber(mm * kPointsPerMm); }

std::string Colour(uint32_t rgb, const char* op) {
    return PdfNumber((rgb >> 16 & 0xFF) / 255.0) + " " + PdfNumber((rgb >> 8 & 0xFF) / 255.0) +
           " " + PdfNumber((rgb & 0xFF) / 255.0) + " " + op + "\n";
}

std::string Rect(const PdfBox& b) {
    return X(b.x) + " " + Y(b.y + b.height) + " " + Length(b.width) + " " + Length(b.height) +
           " re";
}

std::string Point(double x, double y) { return X(x) + " " + Y(y); }

std::string Circle(const PdfCircle& c) {
    const double r = c.radius, k = r * kCircle, x = c.x, y = c.y;
    return Point(x + r, y) + " m " + Point(x + r, y + k) + " " + Point(x + k, y + r) + " " +
           Point(x, y + r) + " c " + Point(x - k, y + r) + " " + Point(x - r, y + k) + " " +
           Point(x - r, y) + " c " + Point(x - r, y - k) + " " + Point(x - k, y - r) + " " +
           Point(x, y - r) + " c " + Point(x + k, y - r) + " " + Point(x + r, y - k) + " " +
           Point(x + r, y) + " c ";
}

}  // namespace

void PdfCanvas::fillRect(const PdfBox& box, uint32_t colour) {
    content_ += Colour(colour, "rg") + Rect(box) + " f\n";
}

void PdfCanvas::strokeRect(const PdfBox& box, uint32_t colour, double lineWidth) {
    content_ += Colour(colour, "RG") + Length(lineWidth) + " w " + Rect(box) + " S\n";
}

void PdfCanvas::line(double x1, double y1, double x2, double y2, uint32_t colour,
                     double lineWidth) {
    content_ += Colour(colour, "RG") + Length(lineWidth) + " w " + Point(x1, y1) + " m " +
                Point(x2, y2) + " l S\n";
}

void PdfCanvas::fillCircles(const PdfBox& clip, std::initializer_list<PdfCircle> circles,
                            uint32_t colour) {
    content_ += "q " + Rect(clip) + " W n\n" + Colour(colour, "rg");
    for (const PdfCircle& circle : circles) content_ += Circle(circle);
    content_ += "f Q\n";
}

void PdfCanvas::veil(const PdfBox& box) {
    content_ += "q /Veil gs " + Colour(0xFFFFFF, "rg") + Rect(box) + " f Q\n";
}

void PdfCanvas::image(const PdfBox& box, const std::string& name) {
    content_ += "q " + Length(box.width) + " 0 0 " + Length(box.height) + " " + X(box.x) + " " +
                Y(box.y + box.height) + " cm " + name + " Do Q\n";
}

double PdfCanvas::textWidth(std::u32string_view text, const PdfTextStyle& style) {
    return fonts_.width(text, style.bold) * style.points / kPointsPerMm;
}

void PdfCanvas::text(const PdfBox& box, std::u32string_view text, const PdfTextStyle& style,
                     PdfAlign align) {
    if (text.empty()) return;
    const double width = textWidth(text, style);
    const double left = align == PdfAlign::Left    ? box.x
                        : align == PdfAlign::Right ? box.x + box.width - width
                                                   : box.x + (box.width - width) / 2;
    const double ascent = fonts_.ascent(style.bold) * style.points / kPointsPerMm;
    const double descent = fonts_.descent(style.bold) * style.points / kPointsPerMm;
    const double baseline = box.y + (box.height - ascent - descent) / 2 + ascent;
    content_ += Colour(style.colour, "rg") + "BT " + Point(left, baseline) + " Td " +
                fonts_.show(text, style.bold, style.points) + " ET\n";
    if (style.struck) {
        // Through the middle of a Chinese character, as a struck-out font draws it.
        const double y = baseline - 0.3 * style.points / kPointsPerMm;
        line(left, y, left + width, y, style.colour, style.points * 0.04 / kPointsPerMm);
    }
}

std::u32string PdfCanvas::elided(std::u32string_view text, const PdfTextStyle& style,
                                 double width) {
    if (textWidth(text, style) <= width) return std::u32string(text);
    std::u32string cut(text);
    while (!cut.empty() && textWidth(cut + U'…', style) > width) cut.pop_back();
    return cut + U'…';
}

void PdfCanvas::fittedText(const PdfBox& box, std::u32string_view text, PdfTextStyle style,
                           double minPoints, PdfAlign align) {
    while (style.points > minPoints && textWidth(text, style) > box.width) style.points -= 0.5;
    this->text(box, elided(text, style, box.width), style, align);
}

}  // namespace ld::exporting
