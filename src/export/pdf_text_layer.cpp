#include "export/pdf_text_layer.h"

#include <QRawFont>
#include <algorithm>
#include <cstdio>

namespace ld::exporting {
namespace {

constexpr char32_t kRadicalsFirst = 0x2E80, kRadicalsLast = 0x2FDF;

QString CodePoints(char32_t first, char32_t last) {
    QString text;
    for (char32_t c = first; c <= last; ++c) text += QChar(static_cast<char16_t>(c));
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The four-digit hex code at `at` ("<2F00>" has its digits at at+1); -1 when it is none.
long FourDigitCode(const QByteArray& pdf, qsizetype at) {
    if (at + 5 >= pdf.size() || pdf[at] != '<' || pdf[at + 5] != '>') return -1;
    long code = 0;
    for (int i = 1; i <= 4; ++i) {
        const int digit = HexDigit(pdf[at + i]);
        if (digit < 0) return -1;
        code = code * 16 + digit;
    }
    return code;
}

// Rewrites the destinations in one bfchar or bfrange section: every code on a line after
// the first (bfchar) or the first two (bfrange). A bfrange line without an array maps a run
// of glyphs to a run of code points and is only rewritten when the run is one glyph long.
void RewriteSection(QByteArray& pdf, qsizetype begin, qsizetype end, bool ranges,
                    const std::unordered_map<char32_t, char32_t>& ideographs) {
    qsizetype line = begin;
    while (line < end) {
        qsizetype lineEnd = pdf.indexOf('\n', line);
        if (lineEnd < 0 || lineEnd > end) lineEnd = end;
        std::vector<qsizetype> codes;
        for (qsizetype at = pdf.indexOf('<', line); at >= 0 && at < lineEnd;
             at = pdf.indexOf('<', at + 1))
            codes.push_back(at);
        const size_t sources = ranges ? 2 : 1;
        const bool array =
            std::find(pdf.begin() + line, pdf.begin() + lineEnd, '[') != pdf.begin() + lineEnd;
        const bool single =
            !ranges || array ||
            (codes.size() >= 2 && FourDigitCode(pdf, codes[0]) == FourDigitCode(pdf, codes[1]));
        for (size_t i = sources; single && i < codes.size(); ++i) {
            const long code = FourDigitCode(pdf, codes[i]);
            const auto found = code < 0 ? ideographs.end() : ideographs.find(char32_t(code));
            if (found == ideographs.end()) continue;
            char digits[5];
            std::snprintf(digits, sizeof digits, "%04X", static_cast<unsigned>(found->second));
            pdf.replace(codes[i] + 1, 4, digits, 4);
        }
        line = lineEnd + 1;
    }
}

}  // namespace

std::unordered_map<char32_t, char32_t> RadicalIdeographs(const std::vector<QFont>& fonts) {
    std::unordered_map<char32_t, char32_t> ideographs;
    const QString unified = CodePoints(0x4E00, 0x9FFF);
    const QString radicals = CodePoints(kRadicalsFirst, kRadicalsLast);
    for (const QFont& font : fonts) {
        const QRawFont raw = QRawFont::fromFont(font);
        if (!raw.isValid()) continue;
        std::unordered_map<quint32, char32_t> byGlyph;
        const QList<quint32> glyphs = raw.glyphIndexesForString(unified);
        for (qsizetype i = 0; i < glyphs.size() && i < unified.size(); ++i)
            if (glyphs[i] != 0) byGlyph.emplace(glyphs[i], unified[i].unicode());
        const QList<quint32> radicalGlyphs = raw.glyphIndexesForString(radicals);
        for (qsizetype i = 0; i < radicalGlyphs.size() && i < radicals.size(); ++i) {
            const auto found = byGlyph.find(radicalGlyphs[i]);
            if (radicalGlyphs[i] != 0 && found != byGlyph.end())
                ideographs.emplace(radicals[i].unicode(), found->second);
        }
    }
    return ideographs;
}

void ReadRadicalsAsIdeographs(QByteArray& pdf,
                              const std::unordered_map<char32_t, char32_t>& ideographs) {
    if (ideographs.empty()) return;
    for (qsizetype map = pdf.indexOf("begincmap"); map >= 0;
         map = pdf.indexOf("begincmap", map + 1)) {
        const qsizetype mapEnd = pdf.indexOf("endcmap", map);
        if (mapEnd < 0) return;
        for (const bool ranges : {false, true}) {
            const QByteArray begin = ranges ? "beginbfrange" : "beginbfchar";
            const QByteArray end = ranges ? "endbfrange" : "endbfchar";
            for (qsizetype at = pdf.indexOf(begin, map); at >= 0 && at < mapEnd;
                 at = pdf.indexOf(begin, at + 1)) {
                const qsizetype sectionEnd = pdf.indexOf(end, at);
                if (sectionEnd < 0 || sectionEnd > mapEnd) break;
                const qsizetype firstLine = pdf.indexOf('\n', at) + 1;
                RewriteSection(pdf, firstLine, sectionEnd, ranges, ideographs);
            }
        }
    }
}

}  // namespace ld::exporting
