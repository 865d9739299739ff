#include "platform/win32/batch_grid.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include "media/file_bytes.h"
#include "media/picture.h"
#include "platform/win32/control_view.h"
#include "platform/win32/win_text.h"

namespace ld::win {

namespace {

const COLORREF kGold = RGB(0xF6, 0xD3, 0x65);
const COLORREF kCardRed = RGB(0x7A, 0x0A, 0x10);
const COLORREF kCellBack = RGB(0x4A, 0x06, 0x0C);
constexpr UINT kLoaded = WM_APP + 41;  // the workers have answers
// Larger files are no photo a phone or camera makes; reading one would only hold a worker.
constexpr int64_t kLargestPhotoFile = 64ll << 20;
const wchar_t kClass[] = L"LdBatchGrid";

std::map<HWND, BatchGrid*>& Grids() {
    static std::map<HWND, BatchGrid*> grids;
    return grids;
}

// The whole picture in a cell of w x h device pixels, aspect kept, at the size it is drawn.
// Safe on any thread.
Image FitInCell(const Bytes& bytes, int w, int h) {
    const Size natural = ReadPictureSize(bytes);
    if (natural.width <= 0 || natural.height <= 0 || w <= 0 || h <= 0) return {};
    const double scale = std::min(static_cast<double>(w) / natural.width,
                                  static_cast<double>(h) / natural.height);
    const Size drawn{std::max(1, static_cast<int>(std::lround(natural.width * scale))),
                     std::max(1, static_cast<int>(std::lround(natural.height * scale)))};
    return DecodePictureForBox(bytes, drawn, BoxFit::Stretch).image;
}

HFONT CardFont(int pixels, UINT dpi) {
    FontValue font;
    font.face = Gbk("微软雅黑");
    font.pixels = pixels;
    font.bold = true;
    return FontFor(font, dpi);
}

// A long line gets smaller down to a size still read from the back of the room, and is cut
// short (by the drawing) only beyond that.
HFONT FitLine(HWND window, const std::wstring& text, int pixels, int width, UINT dpi) {
    constexpr int kSmallest = 18;
    HFONT font = CardFont(pixels, dpi);
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE natural{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &natural);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    const int room = Px(width, dpi);
    if (natural.cx > room && pixels > kSmallest)
        font = CardFont(std::max(kSmallest, static_cast<int>(pixels * room / natural.cx)), dpi);
    return font;
}

}  // namespace

// The workers' queue and their answers, shared with them: a grid that goes away leaves them
// to finish the photo in hand and stop.
struct BatchGrid::Loads {
    struct Job {
        size_t index;
        uint64_t request;
        std::string file;
        int width, height;  // the cell, device pixels
    };
    struct Answer {
        size_t index;
        uint64_t request;
        Image image;
    };
    std::mutex lock;
    std::condition_variable wake;
    std::deque<Job> jobs;
    std::vector<Answer> answers;
    std::map<size_t, uint64_t> wanted;  // per tile, the load it still wants
    bool stopping = false;
    HWND notify = nullptr;
    std::vector<std::thread> workers;

    void work() {
        for (;;) {
            Job job;
            {
                std::unique_lock<std::mutex> hold(lock);
                wake.wait(hold, [this] { return stopping || !jobs.empty(); });
                if (stopping) return;
                job = std::move(jobs.front());
                jobs.pop_front();
                // Skipped when the tile moved on (the next roll, another grid) before its turn.
                if (wanted[job.index] != job.request) {
                    answers.push_back({job.index, job.request, {}});
                    PostMessageW(notify, kLoaded, 0, 0);
                    continue;
                }
            }
            Image image;
            const std::optional<FileStamp> stamp = StatFile(job.file);
            if (stamp && stamp->size > 0 && stamp->size <= kLargestPhotoFile)
                image = FitInCell(ReadFileBytes(job.file, static_cast<size_t>(kLargestPhotoFile)),
                                  job.width, job.height);
            std::lock_guard<std::mutex> hold(lock);
            answers.push_back({job.index, job.request, std::move(image)});
            PostMessageW(notify, kLoaded, 0, 0);
        }
    }
};

BatchGrid::BatchGrid(HWND stage) : stage_(stage), loads_(std::make_shared<Loads>()) {
    hwnd_ = CreateCardWindow(kClass, Proc, stage, WS_CLIPSIBLINGS, this);
    loads_->notify = hwnd_;
    // One worker fewer than the cores: the celebration plays on the UI thread meanwhile.
    // (The count may be unknown: 0.)
    const unsigned cores = std::thread::hardware_concurrency();
    const unsigned workers = cores > 2 ? cores - 1 : 1;
    for (unsigned i = 0; i < workers; ++i)
        loads_->workers.emplace_back([loads = loads_] { loads->work(); });
}

BatchGrid::~BatchGrid() {
    {
        std::lock_guard<std::mutex> hold(loads_->lock);
        loads_->stopping = true;
        loads_->jobs.clear();
    }
    loads_->wake.notify_all();
    for (std::thread& t : loads_->workers) t.join();
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

LRESULT CALLBACK BatchGrid::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<BatchGrid*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
        case WM_NCHITTEST:
            // Right presses and Ctrl + drags on the stage behind it still reach the stage.
            return HTTRANSPARENT;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (self && self->back_.dc())
                BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                       ps.rcPaint.bottom - ps.rcPaint.top, self->back_.dc(), ps.rcPaint.left,
                       ps.rcPaint.top, SRCCOPY);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case kLoaded:
            if (self) self->takeLoads();
            return 0;
        case WM_NCDESTROY:
            // The stage's window went first: the grid goes with it.
            if (self) {
                self->hwnd_ = nullptr;
                Grids().erase(self->stage_);
                delete self;
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

RECT BatchGrid::device(const BatchBox& b) const {
    return RECT{Px(b.left, dpi_), Px(b.top, dpi_), Px(b.right(), dpi_), Px(b.bottom(), dpi_)};
}

void BatchGrid::invalidate(const BatchBox& box) {
    const RECT r = device(box);
    InvalidateRect(hwnd_, &r, FALSE);
}

void BatchGrid::dismiss() {
    {
        std::lock_guard<std::mutex> hold(loads_->lock);
        loads_->wanted.clear();
        loads_->jobs.clear();
    }
    pending_ = 0;
    tiles_.clear();
    area_ = {};
    ShowWindow(hwnd_, SW_HIDE);
}

void BatchGrid::show(const BatchGridView& view) {
    if (view.tiles.empty()) return dismiss();
    const RECT area{view.left, view.top, view.left + std::max(0, view.width),
                    view.top + std::max(0, view.height)};
    if (!EqualRect(&area, &area_) || view.tiles.size() != tiles_.size() ||
        view.departments != (layout_.departmentHeight > 0))
        arrange(area, static_cast<int>(view.tiles.size()), view.departments);
    for (size_t i = 0; i < tiles_.size(); ++i) takeTile(i, view.tiles[i]);
    if (view.caption != caption_) {
        caption_ = view.caption;
        drawCaption();
    }
    if (!IsWindowVisible(hwnd_)) {
        SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    }
}

void BatchGrid::arrange(const RECT& area, int count, bool departments) {
    {
        std::lock_guard<std::mutex> hold(loads_->lock);
        loads_->wanted.clear();
        loads_->jobs.clear();
    }
    pending_ = 0;
    area_ = area;
    layout_ = LayOutBatch({area.right - area.left, area.bottom - area.top}, count, departments);
    tiles_.assign(static_cast<size_t>(count), Tile{});
    caption_.clear();
    const int left = area.left + (area.right - area.left - layout_.card.width) / 2;
    const int top = area.top + (area.bottom - area.top - layout_.card.height) / 2;
    SetWindowPos(hwnd_, HWND_TOP, Px(left, dpi_), Px(top, dpi_), Px(layout_.card.width, dpi_),
                 Px(layout_.card.height, dpi_), SWP_NOACTIVATE);
    paintCard();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

// The card, the cells' backing and their gold frames do not change with the tiles: painted
// once, over what the stage shows there, so that a tick only copies them.
void BatchGrid::paintCard() {
    const int w = Px(layout_.card.width, dpi_), h = Px(layout_.card.height, dpi_);
    card_.make(hwnd_, w, h);
    back_.make(hwnd_, w, h);
    HDC dc = card_.dc();
    FillColor(dc, RECT{0, 0, w, h}, kCardRed);
    PaintParentBackground(hwnd_, dc);
    const int radius = Px(std::clamp(layout_.margin * 8 / 10, 8, 18), dpi_) * 2;
    const int frame = std::max(1, Px(3, dpi_));
    // The red card with round corners, translucent over the stage.
    HRGN round = CreateRoundRectRgn(1, 1, w, h, radius, radius);
    SelectClipRgn(dc, round);
    BlendColor(dc, RECT{0, 0, w, h}, kCardRed, 225);
    SelectClipRgn(dc, nullptr);
    DeleteObject(round);
    GoldFrame(dc, RECT{0, 0, w, h}, kGold, frame, radius);
    const int border = std::max(1, Px(2, dpi_));
    for (int i = 0; i < layout_.count; ++i) {
        RECT cell = device(layout_.photoCell(i));
        RECT outer = cell;
        InflateRect(&outer, border, border);
        FillColor(dc, outer, kGold);
        FillColor(dc, cell, kCellBack);
    }
    BitBlt(back_.dc(), 0, 0, w, h, dc, 0, 0, SRCCOPY);
}

void BatchGrid::takeTile(size_t index, const BatchTile& tile) {
    Tile& t = tiles_[index];
    const int i = static_cast<int>(index);
    const bool stoppedBefore = t.stopped();
    bool redrawPhoto = false;
    if (t.picture != tile.picture) {
        t.picture = tile.picture;
        redrawPhoto = !t.whole;
    }
    if (t.name != tile.name || t.department != tile.department) {
        t.name = tile.name;
        t.department = tile.department;
        drawName(i);
    }
    if (t.photoFile != tile.photoFile) {
        t.photoFile = tile.photoFile;
        redrawPhoto = redrawPhoto || t.whole;
        t.whole = false;
        requestWholePhoto(index);
    }
    // The stop's preview stays on screen until the whole photo comes.
    if (t.stopped() != stoppedBefore && !t.whole) redrawPhoto = true;
    if (redrawPhoto) {
        const RECT cell = device(layout_.photoCell(i));
        drawPhoto(i, FitInCell(t.picture, cell.right - cell.left, cell.bottom - cell.top));
    }
}

void BatchGrid::drawPhoto(int index, const Image& image) {
    const RECT cell = device(layout_.photoCell(index));
    BitBlt(back_.dc(), cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top,
           card_.dc(), cell.left, cell.top, SRCCOPY);
    if (!image.empty()) {
        Bitmap bitmap(image);
        bitmap.draw(back_.dc(), cell.left + (cell.right - cell.left - image.width) / 2,
                    cell.top + (cell.bottom - cell.top - image.height) / 2);
    }
    invalidate(layout_.photoCell(index));
}

void BatchGrid::drawName(int index) {
    const Tile& t = tiles_[static_cast<size_t>(index)];
    const BatchBox nameBox = layout_.nameLine(index), departmentBox = layout_.departmentLine(index);
    const BatchBox both{nameBox.left, nameBox.top, nameBox.width,
                        nameBox.height + departmentBox.height};
    const RECT lines = device(both);
    BitBlt(back_.dc(), lines.left, lines.top, lines.right - lines.left, lines.bottom - lines.top,
           card_.dc(), lines.left, lines.top, SRCCOPY);
    if (!t.name.empty()) {
        HDC dc = GetDC(hwnd_);
        const UINT dpi = dpi_;
        // Logical pixels, as the layout counts.
        const auto width = [dc, dpi](std::string_view text, int pixels) {
            const std::wstring wide = Wide(Text(text));
            HGDIOBJ old = SelectObject(dc, CardFont(pixels, dpi));
            SIZE size{};
            GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
            SelectObject(dc, old);
            return MulDiv(size.cx, 96, static_cast<int>(dpi));
        };
        const TileName fit = FitTileName(layout_, t.name, t.department, width);
        ReleaseDC(hwnd_, dc);
        // The drawing cuts short what is still too wide.
        CentredLine(back_.dc(), Wide(fit.name.text), device(nameBox),
                    CardFont(fit.name.pixels, dpi_), RGB(255, 255, 255));
        if (!fit.department.text.empty())
            CentredLine(back_.dc(), Wide(fit.department.text), device(departmentBox),
                        CardFont(fit.department.pixels, dpi_), kGold);
    }
    invalidate(both);
}

void BatchGrid::drawCaption() {
    const BatchBox box = layout_.captionLine();
    const RECT line = device(box);
    BitBlt(back_.dc(), line.left, line.top, line.right - line.left, line.bottom - line.top,
           card_.dc(), line.left, line.top, SRCCOPY);
    if (!caption_.empty()) {
        const std::wstring text = Wide(caption_);
        captionFont_ = FitLine(hwnd_, text, layout_.captionPixels, box.width, dpi_);
        CentredLine(back_.dc(), text, line, captionFont_, kGold);
    }
    invalidate(box);
}

void BatchGrid::requestWholePhoto(size_t index) {
    Tile& t = tiles_[index];
    std::lock_guard<std::mutex> hold(loads_->lock);
    if (t.photoFile.empty()) {
        t.wholeRequest = 0;
        loads_->wanted[index] = 0;  // a load still queued for it is skipped
        return;
    }
    const uint64_t request = ++lastRequest_;
    t.wholeRequest = request;
    loads_->wanted[index] = request;
    const RECT cell = device(layout_.photoCell(static_cast<int>(index)));
    loads_->jobs.push_back(
        {index, request, t.photoFile, cell.right - cell.left, cell.bottom - cell.top});
    ++pending_;
    loads_->wake.notify_one();
}

void BatchGrid::takeLoads() {
    std::vector<Loads::Answer> answers;
    {
        std::lock_guard<std::mutex> hold(loads_->lock);
        answers.swap(loads_->answers);
    }
    for (Loads::Answer& a : answers) {
        pending_ = std::max(0, pending_ - 1);
        // A file that is missing or no picture keeps the preview.
        if (a.index >= tiles_.size() || tiles_[a.index].wholeRequest != a.request ||
            a.image.empty())
            continue;
        tiles_[a.index].whole = true;
        drawPhoto(static_cast<int>(a.index), a.image);
    }
}

BatchGrid* BatchGridOf(HWND stage) {
    auto it = Grids().find(stage);
    return it == Grids().end() ? nullptr : it->second;
}

void ShowBatchGrid(HWND stage, UINT dpi, const BatchGridView& view) {
    if (!stage) return;
    BatchGrid* grid = BatchGridOf(stage);
    if (!grid) {
        grid = new BatchGrid(stage);
        Grids()[stage] = grid;
    }
    grid->setDpi(dpi);
    grid->show(view);
}

void HideBatchGrid(HWND stage) {
    if (BatchGrid* grid = BatchGridOf(stage)) grid->dismiss();
}

}  // namespace ld::win
