#include "platform/qt/batch_grid.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QSemaphore>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <tuple>

#include "media/file_bytes.h"
#include "media/picture.h"
#include "platform/qt/pictures.h"
#include "platform/qt/qt_text.h"

namespace ld::qt {

namespace {

const QColor kGold(0xF6, 0xD3, 0x65);
const QColor kCardRed(0x7A, 0x0A, 0x10, 225);
const QColor kCellBack(0x4A, 0x06, 0x0C, 235);
// Larger files are no photo a phone or camera makes; reading one would only hold a worker.
constexpr int64_t kLargestPhotoFile = 64ll << 20;

// The whole picture in the cell, aspect kept and centred, decoded at the size it is drawn
// and in the painter's own format, so that painting is a plain copy. A rolling tile shows
// for one tick: it takes the nearest pixels instead of resampling smoothly. Safe on any
// thread.
BatchGrid::Shown FitInCell(const Bytes& bytes, QSize cell, qreal ratio, bool smooth) {
    const Size natural = ReadPictureSize(bytes);
    if (natural.width <= 0 || natural.height <= 0 || cell.isEmpty()) return {};
    const double scale = std::min(static_cast<double>(cell.width()) / natural.width,
                                  static_cast<double>(cell.height()) / natural.height);
    const QSize drawn(std::max(1, static_cast<int>(std::lround(natural.width * scale))),
                      std::max(1, static_cast<int>(std::lround(natural.height * scale))));
    // Whole pixels: an image put at a fractional place is resampled on every paint.
    const QRectF target((cell.width() - drawn.width()) / 2, (cell.height() - drawn.height()) / 2,
                        drawn.width(), drawn.height());
    if (smooth) {
        QImage image = DrawPictureInBox(bytes, drawn, BoxFit::Stretch, ratio).image;
        if (image.isNull()) return {};
        return {image.convertToFormat(QImage::Format_ARGB32_Premultiplied), target};
    }
    const QSize device = (QSizeF(drawn) * ratio).toSize().expandedTo(QSize(1, 1));
    // A JPEG comes at the nearest DCT scale at or above the size.
    Image decoded = DecodePicture(bytes, device.width(), device.height());
    if (decoded.empty()) return {};
    QImage image = QImage(decoded.rgba.data(), decoded.width, decoded.height,
                          static_cast<qsizetype>(decoded.stride()), QImage::Format_RGBA8888)
                       .convertToFormat(QImage::Format_ARGB32_Premultiplied)
                       .scaled(device, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    image.setDevicePixelRatio(ratio);
    return {image, target};
}

BatchGrid::Shown LoadWholePhoto(const std::string& file, QSize cell, qreal ratio) {
    const std::optional<FileStamp> stamp = StatFile(file);
    if (!stamp || stamp->size <= 0 || stamp->size > kLargestPhotoFile) return {};
    return FitInCell(ReadFileBytes(file, static_cast<size_t>(kLargestPhotoFile)), cell, ratio,
                     true);
}

QFont CardFont(int pixels) {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

// A long line gets smaller down to a size still read from the back of the room, and is cut
// short only beyond that.
std::pair<QFont, QString> FitLine(const QString& text, int pixels, int width) {
    constexpr int kSmallest = 18;
    QFont font = CardFont(pixels);
    const int natural = QFontMetrics(font).horizontalAdvance(text);
    if (natural > width && pixels > kSmallest)
        font.setPixelSize(std::max(kSmallest, pixels * width / natural));
    return {font, QFontMetrics(font).elidedText(text, Qt::ElideRight, width)};
}

// A line at the size the layout chose, cut short if it is still too wide.
std::pair<QFont, QString> SizedLine(const TileLine& line, int width) {
    if (line.text.empty()) return {};
    QFont font = CardFont(line.pixels);
    return {font, QFontMetrics(font).elidedText(ToQString(line.text), Qt::ElideRight, width)};
}

int LineWidth(std::string_view text, int pixels) {
    return QFontMetrics(CardFont(pixels)).horizontalAdvance(ToQString(Text(text)));
}

}  // namespace

BatchGrid::BatchGrid(QWidget* stage) : QWidget(stage) {
    // Right presses and Ctrl + drags on the stage behind it still reach the stage.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    // One worker fewer than the cores: the celebration plays on the UI thread meanwhile.
    loaders_.setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
    decoders_.setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
    QWidget::hide();
}

BatchGrid::~BatchGrid() {
    forgetRequests();
    loaders_.clear();
    loaders_.waitForDone();
    decoders_.waitForDone();
}

void BatchGrid::forgetRequests() {
    if (wanted_)
        for (auto& request : *wanted_) request.store(0);
    wanted_.reset();
}

void BatchGrid::dismiss() {
    forgetRequests();
    tiles_.clear();
    area_ = {};
    card_ = {};
    QWidget::hide();
}

void BatchGrid::show(const BatchGridView& view) {
    if (view.tiles.empty()) return dismiss();
    const QRect area(view.left, view.top, std::max(0, view.width), std::max(0, view.height));
    if (area != area_ || view.tiles.size() != tiles_.size() || devicePixelRatioF() != ratio_ ||
        view.departments != (layout_.departmentHeight > 0))
        arrange(area, static_cast<int>(view.tiles.size()), view.departments);
    for (size_t i = 0; i < tiles_.size(); ++i) takeTile(i, view.tiles[i]);
    takeCaption(view.caption);
    // One rectangle around all changes: painting through dozens of small ones (a roll tick
    // changes every cell) costs more than painting the gaps between them.
    update(dirty_);
    dirty_ = {};
    if (isHidden()) QWidget::show();
}

void BatchGrid::arrange(QRect area, int count, bool departments) {
    forgetRequests();
    area_ = area;
    ratio_ = devicePixelRatioF();
    layout_ = LayOutBatch({area.width(), area.height()}, count, departments);
    tiles_.assign(static_cast<size_t>(count), Tile{});
    wanted_ = std::make_shared<std::vector<std::atomic<uint64_t>>>(tiles_.size());
    caption_.clear();
    captionShown_.clear();
    setGeometry(QRect(QPoint(area.x() + (area.width() - ToQSize(layout_.card).width()) / 2,
                             area.y() + (area.height() - ToQSize(layout_.card).height()) / 2),
                      ToQSize(layout_.card)));
    paintCard();
    update();
}

// The card, the cells' backing and their gold frames do not change with the tiles: painted
// once, so that a tick only blits them.
void BatchGrid::paintCard() {
    card_ = QImage(ToQSize(layout_.card) * ratio_, QImage::Format_ARGB32_Premultiplied);
    card_.setDevicePixelRatio(ratio_);
    card_.fill(Qt::transparent);
    QPainter p(&card_);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal radius = std::clamp(layout_.margin * 0.8, 8.0, 18.0);
    QPainterPath frame;
    frame.addRoundedRect(QRectF(QPointF(0, 0), ToQSize(layout_.card)).adjusted(1.5, 1.5, -1.5, -1.5), radius,
                         radius);
    p.fillPath(frame, kCardRed);
    p.setPen(QPen(kGold, 3));
    p.drawPath(frame);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (int i = 0; i < layout_.count; ++i) {
        const QRect cell = ToQRect(layout_.photoCell(i));
        p.fillRect(cell.adjusted(-2, -2, 2, 2), kGold);
        p.fillRect(cell, kCellBack);
    }
}

void BatchGrid::takeTile(size_t index, const BatchTile& tile) {
    Tile& t = tiles_[index];
    const int i = static_cast<int>(index);
    if (t.picture != tile.picture) {
        t.picture = tile.picture;
        t.previewDecoded = false;
        t.preview = {};
        if (t.whole.image.isNull()) dirty_ |= ToQRect(layout_.photoCell(i));
    }
    if (t.name != tile.name || t.department != tile.department) {
        t.name = tile.name;
        t.department = tile.department;
        fitName(t, i);
    }
    if (t.photoFile != tile.photoFile) {
        t.photoFile = tile.photoFile;
        if (!t.whole.image.isNull()) dirty_ |= ToQRect(layout_.photoCell(i));
        t.whole = {};
        requestWholePhoto(index);
    }
    // The stop's preview stays on screen until the whole photo comes: resampled smoothly.
    if (t.stopped() && t.previewDecoded && !t.previewSmooth) {
        t.previewDecoded = false;
        dirty_ |= ToQRect(layout_.photoCell(i));
    }
}

void BatchGrid::fitName(Tile& t, int index) {
    const TileName fit = FitTileName(layout_, t.name, t.department, LineWidth);
    std::tie(t.nameFont, t.shownName) = SizedLine(fit.name, LineRoom(layout_.nameLine(index)));
    std::tie(t.departmentFont, t.shownDepartment) =
        SizedLine(fit.department, LineRoom(layout_.departmentLine(index)));
    dirty_ |= ToQRect(layout_.nameLine(index)) | ToQRect(layout_.departmentLine(index));
}

void BatchGrid::takeCaption(const Text& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    std::tie(captionFont_, captionShown_) =
        FitLine(ToQString(caption), layout_.captionPixels, ToQRect(layout_.captionLine()).width());
    dirty_ |= ToQRect(layout_.captionLine());
}

void BatchGrid::requestWholePhoto(size_t index) {
    Tile& t = tiles_[index];
    if (t.photoFile.empty()) {
        t.wholeRequest = 0;
        (*wanted_)[index].store(0);  // a load still queued for it is skipped
        return;
    }
    const uint64_t request = ++lastRequest_;
    t.wholeRequest = request;
    (*wanted_)[index].store(request);
    ++pending_;
    QPointer<BatchGrid> guard(this);
    loaders_.start([guard, wanted = wanted_, index, request, file = t.photoFile,
                    cell = ToQSize(layout_.photo), ratio = ratio_] {
        // Skipped when the tile moved on (the next roll, another grid) before its turn.
        Shown shown =
            (*wanted)[index].load() == request ? LoadWholePhoto(file, cell, ratio) : Shown{};
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [guard, index, request, shown] {
                if (guard) guard->wholePhotoReady(index, request, shown);
            },
            Qt::QueuedConnection);
    });
}

void BatchGrid::wholePhotoReady(size_t index, uint64_t request, const Shown& shown) {
    --pending_;
    // A file that is missing or no picture keeps the preview.
    if (index >= tiles_.size() || tiles_[index].wholeRequest != request || shown.image.isNull())
        return;
    tiles_[index].whole = shown;
    update(ToQRect(layout_.photoCell(static_cast<int>(index))));
}

// A roll tick changes every tile: the UI thread and the decoders share the work, each
// taking the next tile still to do, and the paint goes on once all are done.
void BatchGrid::decodePreviews(const QRect& dirty) {
    std::vector<Tile*> stale;
    for (size_t i = 0; i < tiles_.size(); ++i) {
        Tile& t = tiles_[i];
        if (t.whole.image.isNull() && !t.previewDecoded &&
            ToQRect(layout_.photoCell(static_cast<int>(i))).intersects(dirty))
            stale.push_back(&t);
    }
    std::atomic<size_t> next{0};
    const auto work = [&stale, &next, cell = ToQSize(layout_.photo), ratio = ratio_] {
        for (size_t k; (k = next.fetch_add(1)) < stale.size();) {
            Tile& t = *stale[k];
            t.preview = FitInCell(t.picture, cell, ratio, t.stopped());
            t.previewSmooth = t.stopped();
            t.previewDecoded = true;
        }
    };
    const int helpers =
        static_cast<int>(std::min<size_t>(decoders_.maxThreadCount(), stale.size() / 4));
    QSemaphore done;
    for (int h = 0; h < helpers; ++h)
        decoders_.start([&work, &done] {
            work();
            done.release();
        });
    work();
    done.acquire(helpers);
}

void BatchGrid::paintEvent(QPaintEvent* event) {
    if (tiles_.empty()) return;
    const QRect dirty = event->rect();
    decodePreviews(dirty);
    QPainter p(this);
    p.drawImage(QPoint(0, 0), card_);
    p.setPen(Qt::white);
    for (size_t i = 0; i < tiles_.size(); ++i) {
        const int index = static_cast<int>(i);
        const QRect cell = ToQRect(layout_.photoCell(index));
        if (cell.intersects(dirty)) {
            const Tile& t = tiles_[i];
            const Shown& shown = t.whole.image.isNull() ? t.preview : t.whole;
            if (!shown.image.isNull())
                p.drawImage(shown.target.translated(cell.topLeft()), shown.image);
        }
        const QRect name = ToQRect(layout_.nameLine(index));
        if (!tiles_[i].shownName.isEmpty() && name.intersects(dirty)) {
            p.setFont(tiles_[i].nameFont);
            p.drawText(name, Qt::AlignCenter, tiles_[i].shownName);
        }
        const QRect department = ToQRect(layout_.departmentLine(index));
        if (!tiles_[i].shownDepartment.isEmpty() && department.intersects(dirty)) {
            p.setFont(tiles_[i].departmentFont);
            p.setPen(kGold);
            p.drawText(department, Qt::AlignCenter, tiles_[i].shownDepartment);
            p.setPen(Qt::white);
        }
    }
    if (!captionShown_.isEmpty() && ToQRect(layout_.captionLine()).intersects(dirty)) {
        p.setFont(captionFont_);
        p.setPen(kGold);
        p.drawText(ToQRect(layout_.captionLine()), Qt::AlignCenter, captionShown_);
    }
}

}  // namespace ld::qt
