#include "bench_stage.h"

#include <QApplication>
#include <QImage>
#include <chrono>
#include <vector>

#include "framework/window_manager.h"
#include "ratio_reporter.h"
#include "platform/qt/control_view.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/stage_window.h"

namespace ld::bench {

Figures TimeTicks(int ticks, const std::function<void(int)>& tick) {
    using Clock = std::chrono::steady_clock;
    for (int i = 0; i < 3; ++i) tick(i);
    std::vector<double> ms;
    for (int i = 0; i < ticks; ++i) {
        const auto start = Clock::now();
        tick(i);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        QApplication::processEvents();
    }
    return {Percentile(ms, 0.50), Percentile(ms, 0.99)};
}

BenchStage::BenchStage()
    : host_(std::make_unique<qt::QtHost>()),
      manager_(std::make_unique<WindowManager>([](std::string_view name) {
          auto w = std::make_unique<Window>(Text(name), 0);
          w->self().setWidth(1280);
          w->self().setHeight(800);
          Control& box = w->add(ControlType::PicBox, Gbk("图片框_照片"));
          box.setLeft(440);
          box.setTop(200);
          box.setWidth(kBoxWidth);
          box.setHeight(kBoxHeight);
          box.setInt(prop::kDisplayMode, 2);
          return w;
      })) {
    setWindowManager(manager_.get());
    manager_->loadWindow("MainWindow");
    window_ = manager_->find("MainWindow");
    host_->gui.stageOf(*window_)->showFirstTime();
    QApplication::processEvents();
    box_ = &window_->control(Gbk("图片框_照片"));
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
