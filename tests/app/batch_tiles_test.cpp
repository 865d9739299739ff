// What the tiles of a batch draw's grid show: distinct people while the grid rolls, and in
// the largest grid on a small screen names with their departments whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "draw_fixture.h"
#include "services/profile.h"
#include "ui/batch_layout.h"

namespace ld::test {
namespace {

class BatchTiles : public DrawTest {
protected:
    void perDraw(const std::string& level, int count) {
        WriteConfigText(ConfigStore::path(), "zbt", Gbk(level + "每次人数"), ToText(count));
    }
    const BatchGridView& grid() { return *host.gui.batchGrid; }
};

TEST_F(BatchTiles, RollingTilesShowDistinctPeopleEvenWhenThePoolHasNoMore) {
    disableEffects(true);
    setLevel(1, "特等奖", "12");
    perDraw("特等奖", 12);
    state().poolText.clear();
    for (int i = 1; i <= 12; ++i) {
        const std::string name = "p" + std::to_string(i);
        writePhoto(name, PhotoWithPreview(static_cast<uint8_t>(20 * i)));
        state().poolText += name + "\r\n";
    }
    choose("特等奖");
    click();
    ASSERT_TRUE(host.gui.batchGrid);
    ASSERT_EQ(grid().tiles.size(), 12u);
    app::RollPreviews().waitIdle();
    for (int tick = 0; tick < 20; ++tick) {
        host.loop.advance(30);
        std::set<Bytes> shown;
        for (const BatchTile& tile : grid().tiles) shown.insert(tile.picture);
        EXPECT_EQ(shown.size(), 12u) << "tick " << tick;
        EXPECT_FALSE(shown.contains(Bytes())) << "tick " << tick;
    }
}

// A CJK character is one em wide in the card fonts of both hosts; others half of one.
int EmWidth(std::string_view gbk, int pixels) {
    int width = 0;
    for (size_t at = 0; at < gbk.size(); ++at) {
        const bool wide = static_cast<unsigned char>(gbk[at]) >= 0x81 && at + 1 < gbk.size();
        width += wide ? pixels : pixels / 2;
        at += wide ? 1 : 0;
    }
    return width;
}

TEST_F(BatchTiles, FourCharacterNamesAndDepartmentsWholeInFiftyTilesBesideThePrize) {
    host.screen.w = 1366;
    host.screen.h = 768;
    startAgain({});
    disableEffects(true);
    std::filesystem::create_directories(folder.diskPath("奖品图片"));
    folder.write("奖品图片/1.jpg", SolidJpeg(300, 200));
    setLevel(1, "特等奖", "100");
    perDraw("特等奖", 50);
    const char* const family[] = {"欧阳", "司马", "上官", "诸葛", "东方", "皇甫", "慕容", "令狐"};
    const char* const given[] = {"娜娜", "建国", "晓明", "思远", "雨桐", "子涵", "嘉怡", "浩然"};
    const char* const groups[] = {"市场营销", "人力资源", "研发中心", "财务管理"};
    state().poolText.clear();
    for (int i = 0; i < 60; ++i)
        state().poolText += Gbk(std::string(family[i / 8]) + given[i % 8] + "（" +
                                groups[i % 4] + "）\r\n");
    choose("特等奖");
    ASSERT_TRUE(control("图片框_奖品").visible());
    drawOne();
    ASSERT_TRUE(host.gui.batchGrid);
    ASSERT_EQ(grid().tiles.size(), 50u);
    // The grid keeps beside the prize picture.
    const Control& prize = control("图片框_奖品");
    EXPECT_TRUE(grid().left + grid().width < prize.left() || grid().left > prize.left() + prize.width());

    const BatchLayout layout = LayOutBatch({grid().width, grid().height}, 50, grid().departments);
    EXPECT_LE(layout.card.width, grid().width);
    EXPECT_LE(layout.card.height, grid().height);
    for (int i = 0; i < 50; ++i) {
        const BatchTile& tile = grid().tiles[static_cast<size_t>(i)];
        const TileName fit = FitTileName(layout, tile.name, tile.department, EmWidth);
        EXPECT_EQ(fit.name.text + Gbk("（") + fit.department.text + Gbk("）"), tile.name);
        EXPECT_EQ(TextLength(fit.name.text), 8);
        EXPECT_LE(EmWidth(fit.name.text, fit.name.pixels), LineRoom(layout.nameLine(i)));
        EXPECT_LE(EmWidth(fit.department.text, fit.department.pixels),
                  LineRoom(layout.departmentLine(i)));
        EXPECT_GE(fit.name.pixels, kSmallestNamePixels);
        EXPECT_GT(fit.name.pixels, fit.department.pixels);
    }
}

}  // namespace
}  // namespace ld::test
