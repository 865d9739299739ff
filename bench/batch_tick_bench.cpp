// The batch tick benchmark (see batch_tick.h) on the Qt host.
//   QT_QPA_PLATFORM=offscreen batch_tick_bench [ticks]
#include <QApplication>
#include <QImage>
#include <algorithm>
#include <cstdlib>

#include "batch_tick.h"
#include "bench_stage.h"
#include "framework/window_manager.h"
#include "platform/qt/batch_grid.h"
#include "platform/qt/qt_setup.h"
#include "platform/qt/stage_window.h"

namespace ld::bench {
namespace {

class QtBatchTickStage : public BatchTickStage {
public:
    QtBatchTickStage() : window_(*windows().find("MainWindow")) {
        window_.self().setWidth(1920);
        window_.self().setHeight(1080);
        QApplication::processEvents();
        stageWindow_ = dynamic_cast<qt::StageWindow*>(stage_.widget()->window());
    }
    void showInBox(Bytes picture) override { stage_.show(std::move(picture)); }
    void showGrid(const BatchGridView& view) override {
        gui().showBatchGrid(window_, view);
        QCoreApplication::sendPostedEvents(stageWindow_, QEvent::UpdateRequest);
    }
    void pump() override { QApplication::processEvents(); }
    bool boxShowsPicture() override { return stage_.showsPicture(); }
    // The centre of the first photo cell is no longer the empty cell's backing.
    bool gridShowsPicture() override {
        qt::BatchGrid& grid = *stageWindow_->batchGrid();
        const QImage drawn = grid.grab().toImage();
        const QRect cell = qt::ToQRect(grid.layout().photoCell(0));
        const QColor centre = drawn.pixelColor(cell.center() * drawn.devicePixelRatio());
        return centre.alpha() == 255 && centre != QColor(0x4A, 0x06, 0x0C);
    }
    const BatchLayout& gridLayout() override { return stageWindow_->batchGrid()->layout(); }

private:
    BenchStage stage_;
    Window& window_;
    qt::StageWindow* stageWindow_ = nullptr;
};

}  // namespace
}  // namespace ld::bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ld::qt::InstallFontSubstitutes();
    const int ticks = argc > 1 ? std::max(20, std::atoi(argv[1])) : 300;
    ld::bench::QtBatchTickStage stage;
    return ld::bench::RunBatchTick(stage, ticks);
}
