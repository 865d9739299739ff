// A stage window with the photo box alone (Qt host, offscreen), realised and on screen, for
// timing what a roll tick does on the UI thread: set the tick's picture and paint the box.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "services/text.h"
#include "stage_model.h"
#include "tick_timer.h"

namespace ld {
class Control;
class Window;
class WindowManager;
namespace qt {
class QtHost;
}
}  // namespace ld

namespace ld::bench {

// TimeTicks with Qt handling its events between two ticks.
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
