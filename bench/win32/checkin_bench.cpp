// The check-in storm while the stage rolls (see checkin_storm.h) on the Win32 host; it needs
// a display (under Wine: an X server). The Qt program's extra storms (the former limits,
// the dripping addresses) test the server, not the host, and stay there.
//   checkin_bench.exe
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdio>

#include "checkin_storm.h"
#include "framework/window_manager.h"
#include "platform/win32/control_view.h"
#include "platform/win32/stage_window.h"
#include "platform/win32/win_host.h"
#include "stage_model.h"

namespace ld::bench {
namespace {

class WinRollStage : public RollStage {
public:
    WinRollStage() : manager_(StageModel) {
        setWindowManager(&manager_);
        manager_.loadWindow("MainWindow");
        window_ = manager_.find("MainWindow");
        stage_ = host_.gui.stageOf(*window_);
        stage_->showFirstTime();
        pump();
        box_ = &window_->control(Gbk(kBoxName));
        boxHwnd_ = host_.gui.viewOf(*box_)->hwnd();
        emptyBox_ = centre();
    }
    ~WinRollStage() override {
        manager_.destroyWindow("MainWindow");
        setWindowManager(nullptr);
    }
    bool realised() const { return stage_ && IsWindowVisible(stage_->hwnd()); }

    void show(Bytes picture) override {
        box_->setText(prop::kPicture, std::move(picture));
        RedrawWindow(boxHwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    void pump() override {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // The box's centre is no longer what it was before the first picture.
    bool showsPicture() override {
        const COLORREF now = centre();
        return now != CLR_INVALID && now != emptyBox_;
    }

private:
    COLORREF centre() const {
        HDC dc = GetDC(boxHwnd_);
        const COLORREF pixel = GetPixel(dc, kBoxWidth / 2, kBoxHeight / 2);
        ReleaseDC(boxHwnd_, dc);
        return pixel;
    }

    win::WinHost host_;
    WindowManager manager_;
    Window* window_ = nullptr;
    win::StageWindow* stage_ = nullptr;
    Control* box_ = nullptr;
    HWND boxHwnd_ = nullptr;
    COLORREF emptyBox_ = CLR_INVALID;
};

}  // namespace
}  // namespace ld::bench

int main() {
    // As the program: WIC decodes on this thread's single-threaded apartment.
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    ld::bench::WinRollStage stage;
    if (!stage.realised()) {
        std::fprintf(stderr, "no window on screen (Wine needs a display)\n");
        return 1;
    }
    ld::bench::StormRun run;
    if (!ld::bench::RunStorm(stage, run)) return 1;
    ld::bench::PrintStorm(run);
    ld::bench::PrintRoll(run);
    return 0;
}
