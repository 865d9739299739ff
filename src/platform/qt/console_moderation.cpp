#include "platform/qt/console_moderation.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/qt_text.h"

namespace ld::qt {

namespace {

constexpr int kPhotoHeight = 150;

QString Utf8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

ModerationCard::ModerationCard(std::function<void(const Text&, bool)> decide)
    : decide_(std::move(decide)) {
    setObjectName(QStringLiteral("card"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(18, 12, 18, 12);
    layout->setSpacing(14);
    photo_ = new QLabel;
    photo_->setFixedSize(kPhotoHeight * 3 / 4, kPhotoHeight);
    photo_->setAlignment(Qt::AlignCenter);
    layout->addWidget(photo_);
    auto* right = new QVBoxLayout;
    auto* heading = new QLabel(Utf8("照片审核"));
    heading->setObjectName(QStringLiteral("heading"));
    count_ = new QLabel;
    count_->setObjectName(QStringLiteral("muted"));
    name_ = new QLabel;
    name_->setObjectName(QStringLiteral("figure"));
    approve_ = new QPushButton(Utf8("通过"));
    refuse_ = new QPushButton(Utf8("拒绝"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(approve_);
    buttons->addWidget(refuse_);
    right->addWidget(heading);
    right->addWidget(count_);
    right->addWidget(name_);
    right->addStretch(1);
    right->addLayout(buttons);
    layout->addLayout(right, 1);
    // The name shown when the button was pressed: the queue may have moved meanwhile.
    connect(approve_, &QPushButton::clicked, this, [this] { decide_(shownName_, true); });
    connect(refuse_, &QPushButton::clicked, this, [this] { decide_(shownName_, false); });
}

void ModerationCard::show(const ConsoleView& view) {
    setVisible(view.moderationOn || view.pendingPhotos > 0);
    count_->setText(view.pendingPhotos > 0 ? Utf8("等待审核 %1 张").arg(view.pendingPhotos)
                                           : Utf8("没有等待审核的照片"));
    approve_->setEnabled(view.pendingPhotos > 0);
    refuse_->setEnabled(view.pendingPhotos > 0);
    if (filled_ && view.pendingName == shownName_) return;
    filled_ = true;
    shownName_ = view.pendingPhotos > 0 ? view.pendingName : Text();
    name_->setText(ToQString(shownName_));
    QPixmap picture;
    if (!shownName_.empty())
        picture.loadFromData(reinterpret_cast<const uchar*>(view.pendingPhoto.data()),
                             static_cast<uint>(view.pendingPhoto.size()));
    photo_->setPixmap(picture.isNull() ? QPixmap()
                                       : picture.scaled(photo_->size(), Qt::KeepAspectRatio,
                                                        Qt::SmoothTransformation));
}

}  // namespace ld::qt
