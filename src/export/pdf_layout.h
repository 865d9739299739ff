// Where everything goes on the pages of 中奖名单.pdf, decided before anything is drawn so
// every page can say how many pages there are. Lengths in millimetres on A4 portrait.
#pragma once

#include <string>
#include <vector>

#include "export/winner_record.h"

namespace ld::exporting {

struct PdfBox {
    double x = 0, y = 0, width = 0, height = 0;
};

namespace pdf {
constexpr double kPageWidth = 210, kPageHeight = 297;
constexpr double kMargin = 15;
constexpr double kFooterY = 283;  // top of the page number line
constexpr int kColumns = 6;
constexpr double kPhotoWidth = 25, kPhotoHeight = 31.25;  // 4:5, like a portrait photo
constexpr double kNameHeight = 8, kOrdinalHeight = 4.5;
}  // namespace pdf

struct PdfItem {
    enum class Kind { Title, Heading, Card };
    Kind kind = Kind::Card;
    PdfBox box;
    std::string level;                  // Heading: the level
    bool continued = false;             // Heading: the level goes on from the page before
    const WinnerRecord* row = nullptr;  // Card: the winner; photo box at the top of `box`
};

using PdfPage = std::vector<PdfItem>;

// The title on the first page, then for each level (see LevelsInOrder) a heading and its
// winners' cards in rows, in the order drawn. A heading never ends a page alone; a level
// that runs onto another page repeats its heading there.
std::vector<PdfPage> LayOutPdf(const std::vector<WinnerRecord>& rows,
                               const std::vector<std::string>& levelOrder);

}  // namespace ld::exporting
