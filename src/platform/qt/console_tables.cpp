// The console's two tables: the levels with their progress and rules, this run's winners
// with 放弃 on each row that may give up.
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "platform/qt/console_cells.h"
#include "platform/qt/console_window.h"
#include "platform/qt/qt_text.h"

namespace ld::qt {

namespace {

QString Utf8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

void ConsoleWindow::showLevels(const ConsoleView& view) {
    const int rows = static_cast<int>(view.levels.size());
    progress_->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        const ConsoleLevel& level = view.levels[static_cast<size_t>(row)];
        const Qt::Alignment right = Qt::AlignVCenter | Qt::AlignRight;
        SetCell(progress_, row, 0, ToQString(level.name));
        SetCell(progress_, row, 1, QStringLiteral("%1/%2").arg(level.drawn).arg(level.total),
                right);
        SetCell(progress_, row, 2, QString::number(level.perDraw), right);
        SetCell(progress_, row, 3, QString::number(level.eligible), right);
        SetCell(progress_, row, 4, ToQString(level.rule));
        for (int column = 0; column < progress_->columnCount(); ++column) {
            QTableWidgetItem* item = progress_->item(row, column);
            QFont font = item->font();
            const bool selected = row == view.selectedLevel;
            if (font.bold() == selected) continue;
            font.setBold(selected);
            item->setFont(font);
            item->setForeground(selected ? QColor(0xb7, 0x1c, 0x1c) : QColor(0x1f, 0x29, 0x37));
        }
    }
}

void ConsoleWindow::showWinners(const ConsoleView& view) {
    const int rows = static_cast<int>(view.winners.size());
    const auto forfeited = std::count_if(view.winners.begin(), view.winners.end(),
                                         [](const ConsoleWinner& w) { return w.forfeited; });
    winnersHeading_->setText(
        forfeited > 0
            ? Utf8("本场中奖名单（%1 人，放弃 %2 人）").arg(rows - forfeited).arg(forfeited)
            : Utf8("本场中奖名单（%1 人）").arg(rows));
    winners_->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        const ConsoleWinner& w = view.winners[static_cast<size_t>(row)];
        SetCell(winners_, row, 0, ToQString(w.time));
        SetCell(winners_, row, 1, ToQString(w.level));
        SetCell(winners_, row, 2, ToQString(w.name));
        if (!w.forfeitable) {
            winners_->removeCellWidget(row, 3);
            continue;
        }
        if (winners_->cellWidget(row, 3)) continue;
        auto* forfeit = new QPushButton(Utf8("放弃"));
        forfeit->setStyleSheet(QStringLiteral("padding: 0 10px;"));
        forfeit->setObjectName(QStringLiteral("forfeit%1").arg(row));
        connect(forfeit, &QPushButton::clicked, this, [this, row] {
            // Once the click is over: the routine asks its question in a dialog.
            QTimer::singleShot(0, this, [this, row] {
                run([row](const ConsoleActions& a) {
                    if (a.forfeitWinner) a.forfeitWinner(row);
                });
            });
        });
        winners_->setCellWidget(row, 3, forfeit);
    }
}

}  // namespace ld::qt
