// The note of work that takes a while: its text and a bar, in the bottom right corner of the
// window dialogs go over (the stage, or the console when it is open), so that it hides no
// winner. It takes neither the activation nor the keyboard: Enter and the clickers go on
// reaching the stage.
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QVBoxLayout>
#include <QWidget>

#include "platform/qt/dialogs.h"
#include "platform/qt/qt_text.h"

namespace ld::qt {

namespace {

QPointer<QWidget>& Note() {
    static QPointer<QWidget> note;
    return note;
}

QWidget* BuildNote(QWidget* owner) {
    auto* note = new QWidget(owner, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint |
                                        Qt::WindowDoesNotAcceptFocus);
    note->setObjectName(QStringLiteral("progressNote"));
    note->setAttribute(Qt::WA_ShowWithoutActivating);
    note->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(note);
    auto* text = new QLabel;
    text->setObjectName(QStringLiteral("text"));
    text->setMinimumWidth(320);
    layout->addWidget(text);
    auto* bar = new QProgressBar;
    bar->setObjectName(QStringLiteral("bar"));
    bar->setRange(0, 100);
    layout->addWidget(bar);
    return note;
}

void PlaceNote(QWidget& note) {
    QWidget* owner = note.parentWidget();
    if (!owner) return;
    const QRect area = owner->window()->geometry();
    const int margin = 24;
    note.move(area.right() - note.frameGeometry().width() - margin,
              area.bottom() - note.frameGeometry().height() - margin);
}

}  // namespace

void QtDialogs::showProgress(const Text& caption, const Text& text, int percent) {
    QPointer<QWidget>& note = Note();
    if (!note) note = BuildNote(DialogOwner());
    note->setWindowTitle(ToQString(caption));
    note->findChild<QLabel*>(QStringLiteral("text"))->setText(ToQString(text));
    note->findChild<QProgressBar*>(QStringLiteral("bar"))->setValue(percent);
    if (!note->isVisible()) {
        note->adjustSize();
        note->show();
        PlaceNote(*note);
    }
}

void QtDialogs::closeProgress() {
    if (QPointer<QWidget>& note = Note()) note->close();
}

}  // namespace ld::qt
