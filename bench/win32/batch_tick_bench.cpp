// The batch tick benchmark (see batch_tick.h) on the Win32 host; it needs a display (under
// Wine: an X server).   batch_tick_bench.exe [ticks]
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "batch_tick.h"
#include "framework/window_manager.h"
#include "platform/win32/batch_grid.h"
#include "platform/win32/control_view.h"
#include "platform/win32/stage_window.h"
#include "platform/win32/win_host.h"

namespace ld::bench {
namespace {

COLORREF PixelOf(HWND hwnd, int x, int y) {
    HDC dc = GetDC(hwnd);
    const COLORREF pixel = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return pixel;
}

class WinBatchTickStage : public BatchTickStage {
public:
    WinBatchTickStage() : manager_(StageModel) {
        setWindowManager(&manager_);
        manager_.loadWindow("MainWindow");
        window_ = manager_.find("MainWindow");
        stage_ = host_.gui.stageOf(*window_);
        stage_->showFirstTime();
        window_->self().setWidth(1920);
        window_->self().setHeight(1080);
        pump();
        box_ = &window_->control(Gbk(kBoxName));
        boxHwnd_ = host_.gui.viewOf(*box_)->hwnd();
        emptyBox_ = PixelOf(boxHwnd_, kBoxWidth / 2, kBoxHeight / 2);
    }
    ~WinBatchTickStage() override {
        manager_.destroyWindow("MainWindow");
        setWindowManager(nullptr);
    }
    bool realised() const { return stage_ && IsWindowVisible(stage_->hwnd()); }

    void showInBox(Bytes picture) override {
        box_->setText(prop::kPicture, std::move(picture));
        RedrawWindow(boxHwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    void showGrid(const BatchGridView& view) override {
        host_.gui.showBatchGrid(*window_, view);
        UpdateWindow(win::BatchGridOf(stage_->hwnd())->hwnd());
    }
    void pump() override {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // The box's centre is no longer what it was before the first picture.
    bool boxShowsPicture() override {
        const COLORREF centre = PixelOf(boxHwnd_, kBoxWidth / 2, kBoxHeight / 2);
        return centre != CLR_INVALID && centre != emptyBox_;
    }
    // The centre of the first photo cell is no longer the empty cell's backing.
    bool gridShowsPicture() override {
        const win::BatchGrid& grid = *win::BatchGridOf(stage_->hwnd());
        const BatchBox cell = grid.layout().photoCell(0);
        const UINT dpi = stage_->dpi();
        const COLORREF centre =
            PixelOf(grid.hwnd(), MulDiv(cell.left + cell.width / 2, static_cast<int>(dpi), 96),
                    MulDiv(cell.top + cell.height / 2, static_cast<int>(dpi), 96));
        return centre != CLR_INVALID && centre != RGB(0x4A, 0x06, 0x0C);
    }
    const BatchLayout& gridLayout() override {
        return win::BatchGridOf(stage_->hwnd())->layout();
    }

private:
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

int main(int argc, char** argv) {
    // As the program: WIC decodes on this thread's single-threaded apartment.
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const int ticks = argc > 1 ? std::max(20, std::atoi(argv[1])) : 300;
    ld::bench::WinBatchTickStage stage;
    if (!stage.realised()) {
        std::fprintf(stderr, "no window on screen (Wine needs a display)\n");
        return 1;
    }
    return ld::bench::RunBatchTick(stage, ticks);
}
