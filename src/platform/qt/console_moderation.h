// The console's card for moderated check-in photos: the oldest waiting photo, whose it is,
// how many wait, and 通过 / 拒绝. Hidden while moderation is off and nothing waits.
#pragma once

#include <QFrame>
#include <functional>

#include "ui/gui.h"

class QLabel;
class QPushButton;

namespace ld::qt {

class ModerationCard : public QFrame {
public:
    // `decide` gets the participant shown and whether the photo goes through.
    explicit ModerationCard(std::function<void(const Text&, bool)> decide);
    void show(const ConsoleView& view);

private:
    std::function<void(const Text&, bool)> decide_;
    QLabel* photo_ = nullptr;
    QLabel* name_ = nullptr;
    QLabel* count_ = nullptr;
    QPushButton* approve_ = nullptr;
    QPushButton* refuse_ = nullptr;
    Text shownName_;
    bool filled_ = false;
};

}  // namespace ld::qt
