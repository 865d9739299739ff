// The PDF's text as fonts of its own: every character used, drawn once per weight by the
// media layer and kept as a Type 3 glyph (a 1-bit mask, scaled like any glyph), with a
// ToUnicode map so readers search, copy and extract exactly the text. Nothing depends on a
// font being installed where the file is read, and the file is the same from either platform
// but for the face the glyphs were drawn in.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "export/pdf_file.h"

namespace ld::exporting {

class PdfGlyphFonts {
public:
    explicit PdfGlyphFonts(PdfFile& file) : file_(file) {}

    // The width of `text` at a size of one point, in points.
    double width(std::u32string_view text, bool bold);
    // The face's ascent and descent per point of size.
    double ascent(bool bold);
    double descent(bool bold);

    // Text operators showing `text` at `points` from the current text position.
    std::string show(std::u32string_view text, bool bold, double points);

    // False when glyphs could not be drawn (on Linux: no font database).
    bool ok() const { return ok_; }

    // Writes the fonts; their entries for a resource dictionary's /Font.
    std::string finish();

private:
    struct Glyph {
        int font = 0, code = 0;
        double advance = 0;  // per point of size
    };
    struct Font {
        std::vector<std::string> procs;  // glyph program per code
        std::vector<int> masks;          // image object per code, 0 for none
        std::vector<double> widths;      // per code, in thousandths of an em
        std::u32string characters;       // per code
    };

    const Glyph& glyph(char32_t c, bool bold);
    int fontFor(bool bold);
    void writeFont(const Font& font, int id) const;

    PdfFile& file_;
    std::map<std::pair<char32_t, bool>, Glyph> glyphs_;
    std::vector<Font> fonts_;
    std::vector<int> fontOfWeight_[2];  // fonts holding glyphs of each weight
    double ascent_[2] = {-1, -1}, descent_[2] = {0, 0};
    bool ok_ = true;
};

}  // namespace ld::exporting
