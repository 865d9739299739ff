// Keeps the PDF's text what was drawn. Qt's PDF writer tells readers the text of each glyph
// as the lowest code point the font maps to it, and Noto Sans CJK draws the Kangxi radicals
// (U+2F00 ⼀ and on) and the CJK radical supplement with the very glyphs of the ideographs
// they look like. Left alone, 一等奖 is found and copied as ⼀等奖, 页 as ⻚, 大 as ⼤.
#pragma once

#include <QByteArray>
#include <QFont>
#include <unordered_map>
#include <vector>

namespace ld::exporting {

// For each radical that `fonts` draw with an ideograph's glyph: that ideograph.
std::unordered_map<char32_t, char32_t> RadicalIdeographs(const std::vector<QFont>& fonts);

// Rewrites, in place and byte for byte the same length, the ToUnicode maps of `pdf` so a
// glyph shared by a radical and an ideograph reads as the ideograph. Maps Qt writes
// uncompressed; anything else is left as it is.
void ReadRadicalsAsIdeographs(QByteArray& pdf,
                              const std::unordered_map<char32_t, char32_t>& ideographs);

}  // namespace ld::exporting
