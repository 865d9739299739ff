#include "platform/qt/console_window.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/qt/console_cells.h"
#include "platform/qt/console_moderation.h"
#include "platform/qt/qt_gui.h"
#include "platform/qt/qt_text.h"

namespace ld::qt {

namespace {

QString Utf8(const char* text) { return QString::fromUtf8(text); }

constexpr int kRefreshMs = 200;

const char* const kStyle = R"(
QWidget#console { background: #eef1f5; }
QFrame#card { background: white; border: 1px solid #d9dee5; border-radius: 10px; }
QLabel#heading { font-size: 17px; font-weight: bold; color: #1f2937; }
QLabel#figure { font-size: 26px; font-weight: bold; color: #b71c1c; }
QLabel#muted { color: #6b7280; }
QPushButton#startStop { background: #c62828; color: white; border: none; border-radius: 12px;
    font-size: 30px; font-weight: bold; min-height: 96px; }
QPushButton#startStop:hover { background: #d32f2f; }
QPushButton#startStop:pressed { background: #a31515; }
QPushButton#startStop:disabled { background: #b6bbc2; color: #f3f4f6; }
QPushButton { background: white; border: 1px solid #c3c9d2; border-radius: 6px; padding: 7px 16px; }
QPushButton:hover { background: #f3f4f6; }
QPushButton:pressed { background: #e5e7eb; }
QPushButton:disabled { color: #9ca3af; }
QCheckBox { spacing: 8px; }
QCheckBox::indicator { width: 20px; height: 20px; }
QComboBox { min-height: 34px; font-size: 17px; padding: 0 8px; }
QTableWidget { border: none; alternate-background-color: #f8f9fb; }
QTableWidget::item { padding: 0 10px; }
QHeaderView::section { background: #f3f4f6; border: none; border-bottom: 1px solid #d9dee5;
    padding: 6px 10px; font-weight: bold; color: #374151; }
QMenuBar { background: white; border-bottom: 1px solid #d9dee5; padding: 2px 6px; }
QMenuBar::item { padding: 6px 14px; border-radius: 4px; }
QMenuBar::item:selected { background: #e5e7eb; }
)";

QFrame* Card() {
    auto* card = new QFrame;
    card->setObjectName(QStringLiteral("card"));
    return card;
}

QLabel* Label(const QString& text, const char* role = nullptr) {
    auto* label = new QLabel(text);
    if (role) label->setObjectName(QString::fromLatin1(role));
    return label;
}

// Columns from `numbers` on hold figures, aligned right.
QTableWidget* Table(const QStringList& headings, int numbers) {
    auto* table = new QTableWidget(0, static_cast<int>(headings.size()));
    table->setHorizontalHeaderLabels(headings);
    for (int column = 0; column < table->columnCount(); ++column) {
        table->horizontalHeaderItem(column)->setTextAlignment(
            Qt::AlignVCenter | (column >= numbers ? Qt::AlignRight : Qt::AlignLeft));
    }
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(32);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setFocusPolicy(Qt::NoFocus);
    table->setAlternatingRowColors(true);
    table->setShowGrid(false);
    table->horizontalHeader()->setHighlightSections(false);
    return table;
}

bool SameLevels(const std::vector<ConsoleLevel>& a, const std::vector<ConsoleLevel>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.name == y.name && x.drawn == y.drawn && x.total == y.total &&
               x.perDraw == y.perDraw && x.rule == y.rule && x.eligible == y.eligible;
    });
}

bool SameWinners(const std::vector<ConsoleWinner>& a, const std::vector<ConsoleWinner>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.time == y.time && x.level == y.level && x.name == y.name &&
               x.forfeited == y.forfeited && x.forfeitable == y.forfeitable;
    });
}

}  // namespace

ConsoleWindow::ConsoleWindow() : QWidget(nullptr, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("console"));
    setWindowTitle(Utf8("抽奖控制台"));
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(15);
    setFont(font);
    setAttribute(Qt::WA_WindowPropagation);  // the menus are windows of their own
    setStyleSheet(QString::fromUtf8(kStyle));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(14);
    buildMenus(layout);
    auto* columns = new QHBoxLayout;
    columns->setSpacing(14);
    auto* left = new QVBoxLayout;
    left->setSpacing(14);
    left->addWidget(buildDrawCard());
    moderation_ = new ModerationCard([this](const Text& participant, bool approve) {
        run([participant, approve](const ConsoleActions& a) {
            if (a.moderatePhoto && !participant.empty()) a.moderatePhoto(participant, approve);
        });
    });
    left->addWidget(buildProgressCard(), 1);
    columns->addLayout(left, 0);
    // Beside the levels, not above them: their table keeps its rows.
    auto* right = new QVBoxLayout;
    right->setSpacing(14);
    right->addWidget(moderation_);
    right->addWidget(buildWinnersCard(), 1);
    columns->addLayout(right, 1);
    layout->addLayout(columns, 1);
    layout->addWidget(buildEventCard());

    timer_.setInterval(kRefreshMs);
    connect(&timer_, &QTimer::timeout, this, [this] { refresh(); });
}

void ConsoleWindow::buildMenus(QVBoxLayout* layout) {
    auto* bar = new QMenuBar;
    for (const bool tools : {false, true}) {
        QMenu* menu = bar->addMenu(tools ? Utf8("活动工具") : Utf8("舞台菜单"));
        // Built as it opens, so it shows the checks and disabled items of this moment.
        connect(menu, &QMenu::aboutToShow, this, [this, menu, tools] { fillMenu(menu, tools); });
    }
    connect(bar, &QMenuBar::triggered, this, [this](QAction* action) {
        if (!action->data().isValid()) return;
        const int command = action->data().toInt();
        // Once the menu has closed: the command may ask a question of its own.
        QTimer::singleShot(0, this, [this, command] {
            run([command](const ConsoleActions& a) {
                if (a.runCommand) a.runCommand(command);
            });
        });
    });
    layout->setMenuBar(bar);
}

void ConsoleWindow::fillMenu(QMenu* menu, bool tools) {
    for (QMenu* sub : menu->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) sub->deleteLater();
    menu->clear();
    if (!actions_.view) return;
    const ConsoleView view = actions_.view();
    FillPopupMenu(menu, tools ? view.tools : view.stageMenu);
}

QWidget* ConsoleWindow::buildDrawCard() {
    QFrame* card = Card();
    auto* layout = new QVBoxLayout(card);
    layout->setContentsMargins(18, 14, 18, 18);
    layout->setSpacing(12);
    auto* levelRow = new QHBoxLayout;
    levelRow->addWidget(Label(Utf8("奖项"), "heading"));
    levels_ = new QComboBox;
    levels_->setPlaceholderText(Utf8("请选择奖项"));
    levels_->setMinimumWidth(260);
    connect(levels_, &QComboBox::activated, this, [this](int index) {
        run([index](const ConsoleActions& a) {
            if (a.chooseLevel) a.chooseLevel(index);
        });
    });
    levelRow->addWidget(levels_, 1);
    layout->addLayout(levelRow);
    progressText_ = Label(QString(), "muted");
    progressText_->setObjectName(QStringLiteral("progressText"));
    layout->addWidget(progressText_);

    startStop_ = new QPushButton;
    startStop_->setObjectName(QStringLiteral("startStop"));
    startStop_->setCursor(Qt::PointingHandCursor);
    connect(startStop_, &QPushButton::clicked, this, [this] { trigger(); });
    layout->addWidget(startStop_);

    auto* poolRow = new QHBoxLayout;
    poolRow->addWidget(Label(Utf8("奖池"), "muted"));
    pool_ = Label(QString(), "figure");
    poolRow->addWidget(pool_);
    poolRow->addWidget(Label(Utf8("人"), "muted"));
    poolRow->addStretch(1);
    auto* forfeit = new QPushButton(Utf8("放弃当前中奖人"));
    connect(forfeit, &QPushButton::clicked, this, [this] {
        run([](const ConsoleActions& a) {
            if (a.forfeit) a.forfeit();
        });
    });
    poolRow->addWidget(forfeit);
    layout->addLayout(poolRow);
    card->setMinimumWidth(360);
    return card;
}

QWidget* ConsoleWindow::buildProgressCard() {
    QFrame* card = Card();
    auto* layout = new QVBoxLayout(card);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->addWidget(Label(Utf8("各奖项进度"), "heading"));
    progress_ =
        Table({Utf8("奖项"), Utf8("已抽/总数"), Utf8("每次"), Utf8("可中奖"), Utf8("规则")}, 1);
    progress_->setObjectName(QStringLiteral("levels"));
    for (int column = 0; column < 4; ++column)
        progress_->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    progress_->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);
    progress_->horizontalHeaderItem(4)->setTextAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    card->setMinimumWidth(360);  // a long rule is cut short: the console fits an 800-wide screen
    layout->addWidget(progress_, 1);
    return card;
}

QWidget* ConsoleWindow::buildWinnersCard() {
    QFrame* card = Card();
    auto* layout = new QVBoxLayout(card);
    layout->setContentsMargins(18, 14, 18, 18);
    auto* top = new QHBoxLayout;
    winnersHeading_ = Label(Utf8("本场中奖名单"), "heading");
    top->addWidget(winnersHeading_);
    top->addStretch(1);
    auto* exportButton = new QPushButton(Utf8("导出中奖名单"));
    connect(exportButton, &QPushButton::clicked, this, [this] {
        run([](const ConsoleActions& a) {
            if (a.exportWinners) a.exportWinners();
        });
    });
    top->addWidget(exportButton);
    layout->addLayout(top);
    winners_ = Table({Utf8("时间"), Utf8("奖项"), Utf8("姓名"), QString()}, 4);
    winners_->setObjectName(QStringLiteral("winners"));
    winners_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    winners_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    winners_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    winners_->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Fixed);
    winners_->setColumnWidth(3, 76);
    layout->addWidget(winners_, 1);
    return card;
}

QWidget* ConsoleWindow::buildEventCard() {
    QFrame* card = Card();
    auto* layout = new QHBoxLayout(card);
    layout->setContentsMargins(18, 10, 18, 10);
    layout->setSpacing(24);
    music_ = new QCheckBox(Utf8("背景音乐"));
    connect(music_, &QCheckBox::clicked, this, [this] {
        run([](const ConsoleActions& a) {
            if (a.toggleMusic) a.toggleMusic();
        });
    });
    clickers_ = new QCheckBox(Utf8("翻页笔"));
    clickers_->setToolTip(Utf8("翻页笔的上下翻页键和 B 键与回车键一样开始、停止抽奖"));
    connect(clickers_, &QCheckBox::clicked, this, [this] {
        run([](const ConsoleActions& a) {
            if (a.toggleClickers) a.toggleClickers();
        });
    });
    checkin_ = new QPushButton;
    connect(checkin_, &QPushButton::clicked, this, [this] {
        run([](const ConsoleActions& a) {
            if (a.toggleCheckin) a.toggleCheckin();
        });
    });
    checkinCount_ = Label(QString(), "muted");
    layout->addWidget(music_);
    layout->addWidget(clickers_);
    layout->addStretch(1);
    layout->addWidget(Label(Utf8("现场签到"), "heading"));
    layout->addWidget(checkinCount_);
    layout->addWidget(checkin_);
    return card;
}

void ConsoleWindow::open(const ConsoleActions& actions, QScreen* screen) {
    actions_ = actions;
    filled_ = false;
    refresh();
    placeOn(screen);
    show();
    raise();
}

void ConsoleWindow::placeOn(QScreen* screen) {
    if (!screen || (isVisible() && this->screen() == screen)) return;
    const QRect free = screen->availableGeometry();
    // Room to work beside it on a large screen; most of a laptop's, with its frame.
    const QSize size(std::min(1280, free.width() - 40), std::min(820, free.height() - 80));
    setScreen(screen);
    setGeometry(QRect(free.center() - QPoint(size.width() / 2, size.height() / 2), size));
}

void ConsoleWindow::trigger() {
    run([](const ConsoleActions& a) {
        if (a.startOrStop) a.startOrStop();
    });
}

void ConsoleWindow::run(const std::function<void(const ConsoleActions&)>& action) {
    // A copy: the action may open the console again, with new actions, while it runs.
    const ConsoleActions actions = actions_;
    QPointer<ConsoleWindow> self(this);
    action(actions);
    if (self && self->isVisible()) self->refresh();
}

void ConsoleWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    timer_.start();
}

void ConsoleWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    timer_.stop();
}

void ConsoleWindow::refresh() {
    if (!actions_.view) return;
    ConsoleView view = actions_.view();
    const bool all = !filled_;
    showSelector(view);  // compared with the list itself: the operator may have it open
    if (all || !SameLevels(view.levels, shown_.levels) ||
        view.selectedLevel != shown_.selectedLevel)
        showLevels(view);
    if (all || view.progressText != shown_.progressText)
        progressText_->setText(ToQString(view.progressText));
    if (all || view.buttonCaption != shown_.buttonCaption)
        startStop_->setText(ToQString(view.buttonCaption));
    if (all || view.buttonEnabled != shown_.buttonEnabled)
        startStop_->setEnabled(view.buttonEnabled);
    if (all || view.poolSize != shown_.poolSize) pool_->setText(QString::number(view.poolSize));
    if (all || !SameWinners(view.winners, shown_.winners)) showWinners(view);
    if (all || view.musicOn != shown_.musicOn) music_->setChecked(view.musicOn);
    if (all || view.clickersOn != shown_.clickersOn) clickers_->setChecked(view.clickersOn);
    if (all || view.checkinOpen != shown_.checkinOpen)
        checkin_->setText(view.checkinOpen ? Utf8("关闭签到") : Utf8("开启签到"));
    if (all || view.checkinOpen != shown_.checkinOpen || view.checkinCount != shown_.checkinCount ||
        view.checkinRefused != shown_.checkinRefused) {
        QString text = view.checkinOpen || view.checkinCount > 0
                           ? Utf8("已签到 %1 人").arg(view.checkinCount)
                           : Utf8("未开启");
        // Refusals mean phones that did not get in: the operator looks into 签到记录.csv.
        if (view.checkinRefused > 0) text += Utf8("，拒绝 %1 次").arg(view.checkinRefused);
        checkinCount_->setText(text);
        checkinCount_->setToolTip(view.checkinRefused > 0 ? Utf8("被拒绝的请求记在 签到记录.csv 中")
                                                          : QString());
    }
    moderation_->show(view);
    // The menus are built as they open; only the state above is kept.
    view.stageMenu.clear();
    view.tools.clear();
    shown_ = std::move(view);
    filled_ = true;
}

void ConsoleWindow::showSelector(const ConsoleView& view) {
    // An open list is the operator's: it does not change under the mouse.
    if (levels_->view()->isVisible()) return;
    QStringList names;
    for (const ConsoleLevel& level : view.levels) names << ToQString(level.name);
    QStringList listed;
    for (int i = 0; i < levels_->count(); ++i) listed << levels_->itemText(i);
    if (names != listed) {
        levels_->clear();
        levels_->addItems(names);
    }
    if (levels_->currentIndex() != view.selectedLevel) levels_->setCurrentIndex(view.selectedLevel);
}

}  // namespace ld::qt
