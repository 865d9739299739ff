// The batch draw's grid on the stage: fifty tiles laid out legibly in the area, the whole
// photos read on workers replacing the previews, stale loads dropped.
#include "platform/qt/batch_grid.h"

#include <QFile>
#include <QTemporaryDir>

#include "qt_stage.h"
#include "services/text.h"

namespace ld::qt::test {
namespace {

const QRect kArea(10, 140, 1900, 800);

class BatchGridTest : public QtStageTest {
protected:
    BatchGridTest() {
        define("Stage", [](Window& w) {
            w.self().setWidth(1920);
            w.self().setHeight(1080);
        });
        window = &load("Stage");
    }

    void show(std::vector<BatchTile> tiles) {
        BatchGridView view;
        view.left = kArea.x();
        view.top = kArea.y();
        view.width = kArea.width();
        view.height = kArea.height();
        view.tiles = std::move(tiles);
        gui.showBatchGrid(*window, view);
    }
    BatchGrid& grid() { return *stage(*window).batchGrid(); }
    QColor photoCentre(int tile) {
        return PixelOf(&grid(), ToQRect(grid().layout().photoCell(tile)).center());
    }
    // Every answer from the workers is in and painted.
    bool loadsDone() {
        const bool done =
            QTest::qWaitFor([this] { return grid().wholePhotosPending() == 0; }, 5000);
        QCoreApplication::processEvents();
        return done;
    }

    Window* window = nullptr;
};

QRect Tile(const BatchLayout& l, int i) {
    return ToQRect(l.photoCell(i)) | ToQRect(l.nameLine(i)) | ToQRect(l.departmentLine(i));
}

bool Inside(const BatchLayout& l, QSize area) {
    for (int i = 0; i < l.count; ++i) {
        if (!QRect(QPoint(), ToQSize(l.card)).contains(Tile(l, i))) return false;
        for (int j = 0; j < i; ++j)
            if (Tile(l, i).intersects(Tile(l, j))) return false;
    }
    return l.card.width <= area.width() && l.card.height <= area.height() &&
           l.captionLine().top > Tile(l, l.count - 1).bottom();
}

TEST_F(BatchGridTest, FiftyTilesFitTheAreaLegiblyAndLeaveTheMouseToTheStage) {
    std::vector<BatchTile> tiles(50,
                                 {ImageBytes({160, 120}, Qt::red), Gbk("欧阳娜娜（市场部）"), ""});
    show(tiles);
    const BatchLayout& l = grid().layout();
    ASSERT_EQ(l.count, 50);
    EXPECT_TRUE(kArea.contains(grid().geometry()));
    EXPECT_TRUE(Inside(l, kArea.size()));
    // Read from the back of a hall: upright photos of a useful size, names at 18 px or more.
    EXPECT_GE(l.photo.width, 110);
    EXPECT_NEAR(l.photo.width * 4, l.photo.height * 3, 4);
    EXPECT_GE(l.namePixels, 18);
    // Right presses and Ctrl + drags over the grid find the stage, not the grid.
    const QPoint overTile = grid().mapToParent(ToQRect(l.photoCell(0)).center());
    EXPECT_EQ(stage(*window).childAt(overTile), nullptr);

    // Other counts and shapes of area hold together too.
    for (QSize area : {QSize(1900, 800), QSize(640, 360), QSize(300, 900)})
        for (int count : {1, 2, 7, 13, 50})
            for (bool departments : {false, true})
                EXPECT_TRUE(Inside(LayOutBatch({area.width(), area.height()}, count, departments), area))
                    << count << " in " << area.width() << (departments ? " with departments" : "");

    gui.hideBatchGrid(*window);
    EXPECT_TRUE(grid().isHidden());
    show(std::vector<BatchTile>(5, tiles[0]));
    EXPECT_TRUE(grid().isVisible());
    EXPECT_EQ(grid().layout().count, 5);
}

TEST_F(BatchGridTest, WholePhotoReplacesThePreviewAndStaleOrBrokenLoadsKeepIt) {
    QTemporaryDir dir;
    const std::string photo = dir.filePath("甲.jpg").toStdString();
    const std::string noPicture = dir.filePath("乙.jpg").toStdString();
    {
        QFile f(QString::fromStdString(photo));
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray::fromStdString(ImageBytes({1600, 1200}, Qt::green)));
        QFile g(QString::fromStdString(noPicture));
        g.open(QIODevice::WriteOnly);
        g.write("not a picture at all");
    }
    const Bytes red = ImageBytes({160, 120}, Qt::red), blue = ImageBytes({160, 120}, Qt::blue);
    auto isRed = [](QColor c) { return c.red() > 200 && c.green() < 60; };
    auto isGreen = [](QColor c) { return c.green() > 200 && c.red() < 60; };
    auto isBlue = [](QColor c) { return c.blue() > 200 && c.red() < 60; };

    show({{red, Gbk("甲"), photo},
          {red, Gbk("丙"), dir.filePath("missing.jpg").toStdString()},
          {red, Gbk("乙"), noPicture}});
    EXPECT_TRUE(isRed(photoCentre(0)));  // the preview at once
    ASSERT_TRUE(loadsDone());
    EXPECT_TRUE(isGreen(photoCentre(0)));
    EXPECT_TRUE(isRed(photoCentre(1)));
    EXPECT_TRUE(isRed(photoCentre(2)));

    // The next roll starts before the next stop's photo is read: that photo never shows.
    show({{blue, {}, {}}, {blue, {}, {}}, {blue, {}, {}}});
    show({{red, Gbk("甲"), photo}, {red, {}, {}}, {red, {}, {}}});
    show({{blue, {}, {}}, {blue, {}, {}}, {blue, {}, {}}});
    ASSERT_TRUE(loadsDone());
    EXPECT_TRUE(isBlue(photoCentre(0)));
}

}  // namespace
}  // namespace ld::qt::test
