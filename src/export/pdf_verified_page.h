// The verified draw's page at the end of 中奖名单.pdf: what the room needs to check the draw
// (fingerprint, commitment, digits, secret, how to verify), under a heading like a level's.
#pragma once

#include <string>
#include <vector>

#include "export/pdf_canvas.h"

namespace ld::exporting {

// The page (more if the lines ever overflow one), drawn but for the page number line: the
// first of `lines` (UTF-8) as the heading, the others wrapped to the page's width at spaces
// and Chinese punctuation, so a fingerprint or a file name stays whole on its line.
std::vector<PdfCanvas> DrawVerifiedPages(PdfGlyphFonts& fonts,
                                         const std::vector<std::string>& lines);

}  // namespace ld::exporting
