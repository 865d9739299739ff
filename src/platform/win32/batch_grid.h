// The grid of a batch draw: several winners' photos with their names on one card, in place
// of the single photo, and the congratulation line in a band under them. A child window of
// the stage, made on first use. Every roll tick hands it all tiles; only tiles whose picture
// changed are decoded again. At the stop each winner's whole photo is read and decoded at
// the tile's size on a worker thread and replaces the preview once ready. Drawn into a
// back buffer of the card's size, which a paint only copies.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/card_surface.h"
#include "platform/win32/pictures.h"
#include "ui/batch_layout.h"
#include "ui/gui.h"

namespace ld::win {

class BatchGrid {
public:
    explicit BatchGrid(HWND stage);
    ~BatchGrid();
    BatchGrid(const BatchGrid&) = delete;
    BatchGrid& operator=(const BatchGrid&) = delete;

    // `view`'s area is in the stage's logical coordinates.
    void show(const BatchGridView& view);
    // Hidden, and every tile forgotten: a later grid starts afresh.
    void dismiss();

    HWND hwnd() const { return hwnd_; }
    // The stage's screen's; a change lays the grid out again at the next show.
    void setDpi(UINT dpi) {
        if (dpi != dpi_) area_ = {};
        dpi_ = dpi;
    }
    // Whole photos asked for whose answer has not come back yet.
    int wholePhotosPending() const { return pending_; }
    const BatchLayout& layout() const { return layout_; }

    struct Loads;  // the whole photos asked of the workers and their answers

private:
    struct Tile {
        Bytes picture;
        Text name, department;
        std::string photoFile;
        bool whole = false;  // the whole photo is on the card
        uint64_t wholeRequest = 0;
        bool previewSmooth = false;
        bool stopped() const { return !name.empty() || !photoFile.empty(); }
    };

    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    void arrange(const RECT& area, int count, bool departments);
    void paintCard();
    void takeTile(size_t index, const BatchTile& tile);
    void drawPhoto(int index, const Image& image);
    void drawName(int index);
    void drawCaption();
    HFONT captionFont_ = nullptr;
    void requestWholePhoto(size_t index);
    void takeLoads();
    void invalidate(const BatchBox& box);
    RECT device(const BatchBox& box) const;

    HWND stage_;
    HWND hwnd_ = nullptr;
    UINT dpi_ = 96;
    BatchLayout layout_;
    RECT area_{};
    Text caption_;
    std::vector<Tile> tiles_;
    Surface card_;  // the card with its empty cells, painted once per layout
    Surface back_;  // the card as shown, device pixels
    std::shared_ptr<Loads> loads_;
    uint64_t lastRequest_ = 0;
    int pending_ = 0;
};

// The stage window's grid, made on first use; it goes with the stage's window.
void ShowBatchGrid(HWND stage, UINT dpi, const BatchGridView& view);
void HideBatchGrid(HWND stage);
BatchGrid* BatchGridOf(HWND stage);

}  // namespace ld::win
