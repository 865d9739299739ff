#include "export/pdf_layout.h"

#include "export/export_rows.h"

namespace ld::exporting {
namespace {

using namespace pdf;

constexpr double kContentWidth = kPageWidth - 2 * kMargin;
constexpr double kContentBottom = kFooterY - 3;
constexpr double kTitleHeight = 24;
constexpr double kHeadingHeight = 11;
constexpr double kCardHeight = kPhotoHeight + 1.5 + kNameHeight + kOrdinalHeight;
constexpr double kRowHeight = kCardHeight + 4;
constexpr double kLevelGap = 4;

class Layout {
public:
    std::vector<PdfPage> pages{PdfPage{}};

    void title() {
        place(Item(PdfItem::Kind::Title, {kMargin, y_, kContentWidth, kTitleHeight}));
        y_ += kTitleHeight;
    }

    void level(const std::string& name, const std::vector<const WinnerRecord*>& winners) {
        if (y_ + kHeadingHeight + kRowHeight > kContentBottom) newPage();
        heading(name, false);
        const double columnWidth = kContentWidth / kColumns;
        for (size_t i = 0; i < winners.size(); ++i) {
            const size_t column = i % kColumns;
            if (column == 0 && i > 0) y_ += kRowHeight;
            if (column == 0 && y_ + kCardHeight > kContentBottom) {
                newPage();
                heading(name, true);
            }
            PdfItem card = Item(PdfItem::Kind::Card,
                                {kMargin + column * columnWidth, y_, columnWidth, kCardHeight});
            card.row = winners[i];
            place(card);
        }
        y_ += kRowHeight + kLevelGap;
    }

private:
    double y_ = kMargin;

    static PdfItem Item(PdfItem::Kind kind, PdfBox box) {
        PdfItem item;
        item.kind = kind;
        item.box = box;
        return item;
    }

    void place(PdfItem item) { pages.back().push_back(std::move(item)); }

    void newPage() {
        pages.emplace_back();
        y_ = kMargin;
    }

    void heading(const std::string& name, bool continued) {
        PdfItem item = Item(PdfItem::Kind::Heading, {kMargin, y_, kContentWidth, kHeadingHeight});
        item.level = name;
        item.continued = continued;
        place(item);
        y_ += kHeadingHeight + 2;
    }
};

}  // namespace

std::vector<PdfPage> LayOutPdf(const std::vector<WinnerRecord>& rows,
                               const std::vector<std::string>& levelOrder) {
    Layout layout;
    layout.title();
    for (const auto& level : LevelsInOrder(rows, levelOrder)) {
        std::vector<const WinnerRecord*> winners;
        for (const auto& row : rows)
            if (row.level == level) winners.push_back(&row);
        layout.level(level, winners);
    }
    return layout.pages;
}

}  // namespace ld::exporting
