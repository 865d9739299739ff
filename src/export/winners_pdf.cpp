#include "export/winners_pdf.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cstdint>

#include "export/pdf_layout.h"
#include "export/pdf_text_layer.h"
#include "media/file_bytes.h"
#include "media/picture.h"
#include "services/atomic_write.h"

namespace ld::exporting {
namespace {

using namespace pdf;

constexpr int kResolution = 300;               // dots per inch of the page's coordinates
constexpr double kPhotoDpi = 200;              // thumbnails sharp in print, files still small
constexpr int64_t kPhotoByteLimit = 64 << 20;  // larger is no phone photo
const QColor kInk(0x22, 0x22, 0x22), kGrey(0x80, 0x80, 0x80), kRed(0xB0, 0x1E, 0x23);
const QString kFontFamily = QStringLiteral("Noto Sans CJK SC");

double Dots(double mm) { return mm * kResolution / 25.4; }

QRectF DotsRect(const PdfBox& b) { return {Dots(b.x), Dots(b.y), Dots(b.width), Dots(b.height)}; }

// One line of text: line breaks from a hand-edited file would spill over the layout.
QString OneLine(const std::string& text) {
    QString line = QString::fromUtf8(text);
    for (QChar& c : line)
        if (c == u'\r' || c == u'\n' || c == u'\t') c = u' ';
    return line;
}

QFont Font(double points, bool bold = false) {
    QFont font(kFontFamily);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Draws `text` centred in `rect`, shrunk down to `minPoints` and then cut with an ellipsis
// when it is still too wide.
void DrawFitted(QPainter& painter, const QRectF& rect, const QString& text, QFont font,
                double minPoints, Qt::Alignment align = Qt::AlignCenter) {
    while (font.pointSizeF() > minPoints &&
           QFontMetricsF(font, painter.device()).horizontalAdvance(text) > rect.width())
        font.setPointSizeF(font.pointSizeF() - 0.5);
    const QFontMetricsF metrics(font, painter.device());
    painter.setFont(font);
    painter.drawText(rect, align, metrics.elidedText(text, Qt::ElideRight, rect.width()));
}

// The name on one line, shrunk a little if need be; a long one on two smaller lines, and only
// what does not fit even then is cut with an ellipsis. Its owner must recognise it.
void DrawName(QPainter& painter, const QRectF& box, const QString& name, QFont font) {
    constexpr double kOneLineMin = 8.5, kTwoLines = 7.5;
    while (font.pointSizeF() > kOneLineMin &&
           QFontMetricsF(font, painter.device()).horizontalAdvance(name) > box.width())
        font.setPointSizeF(font.pointSizeF() - 0.5);
    if (QFontMetricsF(font, painter.device()).horizontalAdvance(name) <= box.width()) {
        painter.setFont(font);
        painter.drawText(box, Qt::AlignCenter, name);
        return;
    }
    font.setPointSizeF(kTwoLines);
    const QFontMetricsF metrics(font, painter.device());
    const int flags = Qt::AlignCenter | Qt::TextWrapAnywhere;
    if (metrics.boundingRect(box, flags, name).height() <= box.height()) {
        painter.setFont(font);
        painter.drawText(box, flags, name);
        return;
    }
    DrawFitted(painter, box, name, font, kTwoLines);
}

// The photo at the thumbnail's size, upright and cropped to fill it; null when there is no
// usable file. Only a plain name inside the photo folder is read: the name may come from a
// hand-edited file.
QImage Thumbnail(const std::string& photoFolder, const std::string& photoFile, QSize size) {
    if (photoFile.empty() || photoFile == "." || photoFile == ".." ||
        photoFile.find('/') != std::string::npos)
        return {};
    const std::string path = photoFolder + "/" + photoFile;
    const auto stamp = StatFile(path);  // regular files only: a pipe would block the read
    if (!stamp || stamp->size > kPhotoByteLimit) return {};
    const PlacedPicture placed =
        DecodePictureForBox(ReadFileBytes(path), {size.width(), size.height()}, BoxFit::Cover);
    if (placed.image.empty()) return {};
    const Image& image = placed.image;
    QImage wrapped(image.rgba.data(), image.width, image.height,
                   static_cast<qsizetype>(image.stride()), QImage::Format_RGBA8888);
    QImage photo(size, QImage::Format_RGB32);
    photo.fill(Qt::white);
    {
        QPainter onto(&photo);
        onto.drawImage(placed.x, placed.y, wrapped);
    }
    return photo;
}

// A head and shoulders in grey, where a photo is missing or cannot be read.
void DrawPlaceholder(QPainter& painter, const QRectF& box) {
    painter.fillRect(box, QColor(0xEE, 0xEE, 0xEE));
    painter.save();
    painter.setClipRect(box);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xC8, 0xC8, 0xC8));
    const double w = box.width();
    const QPointF centre(box.center().x(), box.top() + box.height() * 0.4);
    painter.drawEllipse(centre, w * 0.2, w * 0.2);
    painter.drawEllipse(QPointF(box.center().x(), box.bottom() + w * 0.12), w * 0.42, w * 0.42);
    painter.restore();
}

void DrawTitle(QPainter& painter, const PdfBox& box, const std::string& title, int winners,
               int forfeited) {
    const QRectF r = DotsRect(box);
    painter.setPen(kInk);
    DrawFitted(painter, QRectF(r.left(), r.top(), r.width(), Dots(12)), OneLine(title),
               Font(20, true), 12);
    QString summary = QStringLiteral("中奖名单 · 共 %1 人").arg(winners);
    if (forfeited > 0) summary += QStringLiteral("（另有 %1 人放弃）").arg(forfeited);
    painter.setPen(kGrey);
    DrawFitted(painter, QRectF(r.left(), r.top() + Dots(12), r.width(), Dots(7)), summary, Font(11),
               11);
    painter.setPen(QPen(kRed, Dots(0.5)));
    painter.drawLine(QPointF(r.left(), r.bottom() - Dots(3)),
                     QPointF(r.right(), r.bottom() - Dots(3)));
}

void DrawHeading(QPainter& painter, const PdfItem& item, int winners) {
    const QRectF r = DotsRect(item.box);
    QString text = OneLine(item.level);
    if (item.continued) text += QStringLiteral("（续）");
    painter.setPen(kRed);
    painter.fillRect(QRectF(r.left(), r.top() + Dots(2), Dots(1.5), r.height() - Dots(4)), kRed);
    const QRectF textBox(r.left() + Dots(4), r.top(), r.width() - Dots(40), r.height());
    DrawFitted(painter, textBox, text, Font(14, true), 9, Qt::AlignLeft | Qt::AlignVCenter);
    painter.setPen(kGrey);
    painter.setFont(Font(10));
    painter.drawText(r, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("%1 人").arg(winners));
    painter.setPen(QPen(QColor(0xDD, 0xDD, 0xDD), Dots(0.3)));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
}

void DrawCard(QPainter& painter, const PdfItem& item, const std::string& photoFolder) {
    const WinnerRecord& row = *item.row;
    const QRectF r = DotsRect(item.box);
    const QRectF photoBox(r.center().x() - Dots(kPhotoWidth) / 2, r.top(), Dots(kPhotoWidth),
                          Dots(kPhotoHeight));
    const QSize pixels(qRound(kPhotoWidth / 25.4 * kPhotoDpi),
                       qRound(kPhotoHeight / 25.4 * kPhotoDpi));
    const QImage photo = Thumbnail(photoFolder, row.photoFile, pixels);
    if (photo.isNull()) {
        DrawPlaceholder(painter, photoBox);
    } else {
        painter.drawImage(photoBox, photo);
    }
    if (row.forfeited) painter.fillRect(photoBox, QColor(255, 255, 255, 150));
    painter.setPen(QPen(QColor(0xCC, 0xCC, 0xCC), Dots(0.2)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(photoBox);

    const QRectF nameBox(r.left() + Dots(1), photoBox.bottom() + Dots(1.5), r.width() - Dots(2),
                         Dots(kNameHeight));
    QFont nameFont = Font(11, true);
    nameFont.setStrikeOut(row.forfeited);
    painter.setPen(row.forfeited ? kGrey : kInk);
    DrawName(painter, nameBox, OneLine(row.name), nameFont);

    const QRectF ordinalBox(nameBox.left(), nameBox.bottom(), nameBox.width(),
                            Dots(kOrdinalHeight));
    QString ordinal = QStringLiteral("第 %1 位").arg(row.ordinal);
    if (row.forfeited) ordinal += QStringLiteral(" · 放弃");
    painter.setPen(row.forfeited ? kRed : kGrey);
    DrawFitted(painter, ordinalBox, ordinal, Font(8), 6);
}

void DrawFooter(QPainter& painter, int page, int pages) {
    painter.setPen(kGrey);
    painter.setFont(Font(9));
    const QRectF box(Dots(kMargin), Dots(kFooterY), Dots(kPageWidth - 2 * kMargin), Dots(6));
    painter.drawText(box, Qt::AlignCenter,
                     QStringLiteral("第 %1 页 / 共 %2 页").arg(page).arg(pages));
}

int CountOfLevel(const std::vector<WinnerRecord>& rows, const std::string& level) {
    int count = 0;
    for (const auto& row : rows) count += row.level == level && !row.forfeited;
    return count;
}

bool Paint(QPdfWriter& writer, const std::string& title, const std::vector<WinnerRecord>& rows,
           const std::vector<PdfPage>& pages, const std::string& photoFolder) {
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    int forfeited = 0;
    for (const auto& row : rows) forfeited += row.forfeited;
    const int pageCount = static_cast<int>(pages.size());
    bool ok = true;
    for (int p = 0; p < pageCount; ++p) {
        if (p > 0) ok = writer.newPage() && ok;
        for (const PdfItem& item : pages[p]) {
            switch (item.kind) {
                case PdfItem::Kind::Title:
                    DrawTitle(painter, item.box, title, static_cast<int>(rows.size()) - forfeited,
                              forfeited);
                    break;
                case PdfItem::Kind::Heading:
                    DrawHeading(painter, item, CountOfLevel(rows, item.level));
                    break;
                case PdfItem::Kind::Card:
                    DrawCard(painter, item, photoFolder);
                    break;
            }
        }
        DrawFooter(painter, p + 1, pageCount);
    }
    return painter.end() && ok;
}

}  // namespace

bool WriteWinnersPdf(const std::string& fsPath, const std::string& title,
                     const std::vector<WinnerRecord>& rows,
                     const std::vector<std::string>& levelOrder, const std::string& photoFolder) {
    // Text needs the font database, which only a GUI application sets up.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return false;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        writer.setResolution(kResolution);
        writer.setTitle(QString::fromUtf8(title));
        writer.setCreator(QStringLiteral("luckydraw"));
        if (!Paint(writer, title, rows, LayOutPdf(rows, levelOrder), photoFolder)) return false;
    }
    QByteArray pdf = buffer.data();
    ReadRadicalsAsIdeographs(pdf, RadicalIdeographs({Font(10), Font(10, true)}));
    return WriteDiskFile(fsPath, std::string_view(pdf.constData(), pdf.size())).ok();
}

}  // namespace ld::exporting
