// The grid of a batch draw: several winners' photos with their names on one card, in place
// of the single photo, and the congratulation line under them. A child of the stage, made on first
// use. Every roll tick hands it all tiles; only tiles whose picture changed are decoded again, when
// painted. At the stop each winner's whole photo is read and decoded at the tile's size on a worker
// thread and replaces the preview once ready.
#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QThreadPool>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "ui/batch_layout.h"
#include "ui/gui.h"

namespace ld::qt {

inline QRect ToQRect(const BatchBox& b) { return QRect(b.left, b.top, b.width, b.height); }
inline QSize ToQSize(BatchSize s) { return QSize(s.width, s.height); }

class BatchGrid : public QWidget {
public:
    explicit BatchGrid(QWidget* stage);
    ~BatchGrid() override;

    // `view`'s area is in the stage's coordinates.
    void show(const BatchGridView& view);
    // Hidden, and every tile forgotten: a later grid starts afresh.
    void dismiss();

    const BatchLayout& layout() const { return layout_; }
    // Whole photos asked for whose answer has not come back yet (tests wait on it).
    int wholePhotosPending() const { return pending_; }

    // A picture decoded for a photo cell.
    struct Shown {
        QImage image;   // at device pixels, drawn as it is
        QRectF target;  // in the photo cell, logical pixels
    };

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Tile {
        Bytes picture;
        Text name, department;
        std::string photoFile;
        QFont nameFont, departmentFont;
        QString shownName, shownDepartment;  // elided where still too wide
        Shown preview;
        bool previewDecoded = false, previewSmooth = false;
        Shown whole;                // the whole photo once read; replaces the preview
        uint64_t wholeRequest = 0;  // the load whose answer this tile waits for
        bool stopped() const { return !name.empty() || !photoFile.empty(); }
    };

    void arrange(QRect area, int count, bool departments);
    void paintCard();
    void takeTile(size_t index, const BatchTile& tile);
    void takeCaption(const Text& caption);
    void fitName(Tile& tile, int index);
    void requestWholePhoto(size_t index);
    void wholePhotoReady(size_t index, uint64_t request, const Shown& shown);
    void forgetRequests();
    void decodePreviews(const QRect& dirty);

    BatchLayout layout_;
    QRect area_;
    qreal ratio_ = 0;
    Text caption_;
    QString captionShown_;
    QFont captionFont_;
    std::vector<Tile> tiles_;
    QImage card_;           // the card with its empty cells, painted once per layout
    QRect dirty_;           // what the update being taken changed
    QThreadPool loaders_;   // whole photos
    QThreadPool decoders_;  // previews, with the UI thread waiting
    // Per tile, the load it still wants; shared with the loads so that a stale one skips
    // its work. Replaced whenever the tiles are.
    std::shared_ptr<std::vector<std::atomic<uint64_t>>> wanted_;
    uint64_t lastRequest_ = 0;
    int pending_ = 0;
};

}  // namespace ld::qt
