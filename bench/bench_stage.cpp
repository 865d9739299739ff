#include "bench_stage.h"

#include <QApplication>
#include <QImage>

#include "framework/window_manager.h"
#include "platform/qt/control_view.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/stage_window.h"

namespace ld::bench {

Figures TimeTicks(int ticks, const std::function<void(int)>& tick) {
    return TimeTicks(ticks, tick, [] { QApplication::processEvents(); });
}

BenchStage::BenchStage()
    : host_(std::make_unique<qt::QtHost>()),
      manager_(std::make_unique<WindowManager>(StageModel)) {
    setWindowManager(manager_.get());
    manager_->loadWindow("MainWindow");
    window_ = manager_->find("MainWindow");
    host_->gui.stageOf(*window_)->showFirstTime();
    QApplication::processEvents();
    box_ = &window_->control(Gbk(kBoxName));
    widget_ = host_->gui.viewOf(*box_)->widget();
}

BenchStage::~BenchStage() {
    manager_->destroyWindow("MainWindow");
    setWindowManager(nullptr);
}

void BenchStage::show(Bytes picture) {
    box_->setText(prop::kPicture, std::move(picture));
    widget_->repaint();
}

bool BenchStage::showsPicture() const {
    return widget_->grab().toImage().pixelColor(kBoxWidth / 2, kBoxHeight / 2).alpha() > 0;
}

}  // namespace ld::bench
