// A stage window with the photo box alone (Qt host, offscreen), realised and on screen, for
// timing what a roll tick does on the UI thread: set the tick's picture and paint the box.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "services/text.h"

namespace ld {
class Control;
class Window;
class WindowManager;
namespace qt {
class QtHost;
}
}  // namespace ld

namespace ld::bench {

constexpr int kBoxWidth = 400, kBoxHeight = 300;  // the photo box at start-up

// p50 and p99 of a tick, in milliseconds.
struct Figures {
    double p50 = 0, p99 = 0;
};
// Times `tick` `ticks` times on the UI thread, after a few untimed ones that fill the caches,
// letting Qt handle its events between two, as between two timer ticks.
Figures TimeTicks(int ticks, const std::function<void(int)>& tick);

class BenchStage {
public:
    BenchStage();
    ~BenchStage();
    BenchStage(const BenchStage&) = delete;
    BenchStage& operator=(const BenchStage&) = delete;

    // What a tick does after it has its bytes: set the picture and paint the box now.
    void show(Bytes picture);
    // The naive tick paints an image it decoded itself into the box.
    QWidget* widget() const { return widget_; }
    // The box shows a picture: its centre is not see-through.
    bool showsPicture() const;

private:
    std::unique_ptr<qt::QtHost> host_;
    std::unique_ptr<WindowManager> manager_;
    Window* window_ = nullptr;
    Control* box_ = nullptr;
    QWidget* widget_ = nullptr;
};

}  // namespace ld::bench
