// The PDF as a reader extracts it (poppler): title, levels in order with their winners,
// page numbers, and photos that are there, broken or missing.
#include <gtest/gtest.h>

#include <regex>

#include "../services/temp_folder.h"
#include "export/export_rows.h"
#include "export/winners_pdf.h"
#include "export_support.h"
#include "media/jpeg_encoder.h"

namespace ld::exporting {
namespace {

using test::Winner;

std::string Photo() {
    Image image(300, 400);
    for (size_t i = 0; i < image.rgba.size(); i += 4) {
        image.rgba[i] = 200;
        image.rgba[i + 3] = 255;
    }
    return EncodeJpeg(image);
}

class PdfExport : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(!test::kReadersHere ||
                    (test::HaveTool("pdftotext") && test::HaveTool("pdfimages")))
            << "poppler-utils is missing (scripts/install-deps.sh installs it)";
        std::filesystem::create_directory(folder.path("photo"));
        folder.writeRaw("photo/有照片.jpg", Photo());
        folder.writeRaw("photo/坏照片.jpg", "\xFF\xD8 not really a JPEG");
    }
    bool write(const std::vector<WinnerRecord>& rows, const std::vector<std::string>& order,
               const std::vector<std::string>& verifiedLines = {}) {
        return WriteWinnersPdf(folder.path("名单.pdf"), "2026 年会 · 幸运大抽奖", rows, order,
                               folder.path("photo"), {}, verifiedLines);
    }
    // Kept for the Linux readers under `kept`; the file to read is this program's, or the
    // one the Windows program kept.
    void keep() { test::KeepFile(folder.diskPath("名单.pdf"), kept); }
    std::string pdf() { return test::FileToRead(folder.path("名单.pdf"), kept); }
    std::string text() { return test::RunTool("pdftotext -layout '" + pdf() + "' -"); }
    ld::test::TempFolder folder;
    std::string kept = "winners.pdf";
};

// 60 winners drawn from the lowest level up, a forfeit among them, photos of every kind.
std::vector<WinnerRecord> SixtyWinners() {
    const char* levels[] = {"三等奖", "二等奖", "一等奖", "特等奖"};
    const int counts[] = {30, 20, 8, 2};
    const char* photos[] = {"有照片.jpg", "坏照片.jpg", "不存在.jpg", "", "../有照片.jpg"};
    std::vector<WinnerRecord> log;
    int n = 0;
    for (int l = 0; l < 4; ++l)
        for (int i = 1; i <= counts[l]; ++i, ++n) {
            char name[32];
            std::snprintf(name, sizeof name, "参与者%02d", n);
            log.push_back(Winner(levels[l], i, name, photos[n % 5]));
        }
    log.push_back(Winner("二等奖", 3, "参与者32", "", true));
    return ExportRows(log);
}

TEST_F(PdfExport, LevelsInOrderWithTheirWinnersAndPageNumbersOnEveryPage) {
    const auto rows = SixtyWinners();
    ASSERT_TRUE(write(rows, {"特等奖", "一等奖", "二等奖", "三等奖"}));
    keep();
    if (!test::kReadersHere) GTEST_SKIP() << test::kNoReaders;
    const std::string all = text();
    EXPECT_NE(all.find("2026 年会 · 幸运大抽奖"), std::string::npos);

    // Where each level's headings are; a name must follow a heading of its own level.
    std::vector<std::pair<size_t, std::string>> headings;
    for (const char* level : {"特等奖", "一等奖", "二等奖", "三等奖"})
        for (size_t at = all.find(level); at != std::string::npos; at = all.find(level, at + 1))
            headings.emplace_back(at, level);
    std::sort(headings.begin(), headings.end());
    std::vector<std::string> firstSeen;
    for (const auto& heading : headings)
        if (firstSeen.empty() || firstSeen.back() != heading.second)
            firstSeen.push_back(heading.second);
    EXPECT_EQ(firstSeen, (std::vector<std::string>{"特等奖", "一等奖", "二等奖", "三等奖"}));
    for (const auto& row : rows) {
        const size_t at = all.find(row.name);
        ASSERT_NE(at, std::string::npos) << row.name;
        auto before =
            std::lower_bound(headings.begin(), headings.end(), std::pair(at, std::string()));
        ASSERT_NE(before, headings.begin()) << row.name;
        EXPECT_EQ(std::prev(before)->second, row.level) << row.name;
    }
    EXPECT_NE(all.find("第 3 位 · 放弃"), std::string::npos);

    // pdftotext ends every page with a form feed; it drops the spaces Qt does not draw.
    const auto pages = std::count(all.begin(), all.end(), '\f');
    ASSERT_GE(pages, 2);
    size_t pageStart = 0;
    for (int page = 1; page <= pages; ++page) {
        const size_t pageEnd = all.find('\f', pageStart);
        std::string onPage = all.substr(pageStart, pageEnd - pageStart);
        std::erase(onPage, ' ');
        const std::string footer =
            "第" + std::to_string(page) + "页/共" + std::to_string(pages) + "页";
        EXPECT_NE(onPage.find(footer), std::string::npos) << footer;
        pageStart = pageEnd + 1;
    }

    // Only the readable photo is embedded; broken, missing, empty and outside names get the
    // drawn placeholder.
    const std::string images = test::RunTool("pdfimages -list '" + pdf() + "'");
    const auto imageLines = std::count(images.begin(), images.end(), '\n') - 2;  // two header lines
    EXPECT_EQ(imageLines, 12);
}

// 𠮷 (U+20BB7) is two UTF-16 units: the text layer must map its one glyph to both.
TEST_F(PdfExport, CharactersBeyondTheBasicPlaneExtractWhole) {
    kept = "winners-beyond-bmp.pdf";
    ASSERT_TRUE(write(ExportRows({Winner("一等奖", 1, "𠮷田")}), {"一等奖"}));
    keep();
    if (!test::kReadersHere) GTEST_SKIP() << test::kNoReaders;
    EXPECT_NE(text().find("𠮷田"), std::string::npos) << text();
}

std::vector<std::string> Pages(const std::string& text) {
    std::vector<std::string> pages;
    for (size_t start = 0, end; (end = text.find('\f', start)) != std::string::npos;
         start = end + 1)
        pages.push_back(text.substr(start, end - start));
    return pages;
}

std::string WithoutSpace(std::string text) {
    std::erase_if(text, [](char c) { return c == ' ' || c == '\n'; });
    return text;
}

// The verified draw's lines make a last page, counted in the page numbers; the long line is
// wrapped onto the page, but no fingerprint or file name is cut. The winners' pages read as
// they do without the lines.
TEST_F(PdfExport, VerifiedLinesMakeALastPageCountedInThePageNumbers) {
    const auto rows =
        ExportRows({Winner("一等奖", 1, "张三", "有照片.jpg"), Winner("二等奖", 1, "李四")});
    const std::string hex = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";
    const std::vector<std::string> lines = {
        "公证抽奖", "名单指纹：" + hex, "承诺（密钥的 SHA-256）：" + hex,
        "现场数字：123456 789012 345678",
        "复核方法：luckydraw --verify 公证记录.jsonl，或 python3 verify_draw.py 公证记录.jsonl "
        "公证名单.txt 抽奖结果.txt"};
    kept = "winners-plain.pdf";
    ASSERT_TRUE(write(rows, {}));
    keep();
    const std::string plain = test::kReadersHere ? text() : "";
    kept = "winners-verified.pdf";
    ASSERT_TRUE(write(rows, {}, lines));
    keep();
    if (!test::kReadersHere) GTEST_SKIP() << test::kNoReaders;

    const std::vector<std::string> before = Pages(plain), after = Pages(text());
    ASSERT_EQ(before.size(), 1u);
    ASSERT_EQ(after.size(), 2u);
    std::string renumbered = WithoutSpace(before[0]);
    renumbered.replace(renumbered.find("共1页"), std::string("共1页").size(), "共2页");
    EXPECT_EQ(WithoutSpace(after[0]), renumbered);
    const std::string last = WithoutSpace(after[1]);
    EXPECT_EQ(last.find("公证抽奖"), 0u) << after[1];
    for (const auto& line : lines)
        EXPECT_NE(last.find(WithoutSpace(line)), std::string::npos) << line;
    EXPECT_NE(last.find("第2页/共2页"), std::string::npos);
    EXPECT_NE(after[1].find(hex), std::string::npos) << after[1];
    EXPECT_NE(after[1].find("抽奖结果.txt"), std::string::npos) << after[1];
}

}  // namespace
}  // namespace ld::exporting
