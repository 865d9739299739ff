// The operator's console: the draw's state at a glance and every command, on the
// operator's own screen while the stage shows on the projector. It asks the application
// for the state a few times a second and touches only the widgets whose values changed.
#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>

#include "ui/gui.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QScreen;
class QTableWidget;
class QVBoxLayout;

namespace ld::qt {

class ModerationCard;

class ConsoleWindow : public QWidget {
public:
    ConsoleWindow();

    // Shows the console on `screen` with these actions; an open console moves there.
    void open(const ConsoleActions& actions, QScreen* screen);
    void placeOn(QScreen* screen);
    // A presenter clicker's key while the console is active: the start/stop button.
    void trigger();
    // Brings the widgets up to date with the application now.
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildDrawCard();
    QWidget* buildProgressCard();
    QWidget* buildWinnersCard();
    QWidget* buildEventCard();
    void buildMenus(QVBoxLayout* layout);
    void fillMenu(QMenu* menu, bool tools);
    void run(const std::function<void(const ConsoleActions&)>& action);
    void showSelector(const ConsoleView& view);
    void showLevels(const ConsoleView& view);
    void showWinners(const ConsoleView& view);

    ConsoleActions actions_;
    ConsoleView shown_;  // what the widgets show now
    bool filled_ = false;
    QTimer timer_;
    QComboBox* levels_ = nullptr;
    QPushButton* startStop_ = nullptr;
    QLabel* pool_ = nullptr;
    QTableWidget* progress_ = nullptr;
    QLabel* progressText_ = nullptr;
    QLabel* winnersHeading_ = nullptr;
    QTableWidget* winners_ = nullptr;
    QCheckBox* music_ = nullptr;
    QCheckBox* clickers_ = nullptr;
    QPushButton* checkin_ = nullptr;
    QLabel* checkinCount_ = nullptr;
    ModerationCard* moderation_ = nullptr;
};

}  // namespace ld::qt
