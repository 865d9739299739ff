// The 奖项规则 window: the levels on the left; for the chosen one, its groups with check
// boxes and the names left out, typed or pasted.
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/dialogs.h"
#include "platform/qt/qt_text.h"

namespace ld::qt {

namespace {

QString Utf8(const char* text) { return QString::fromUtf8(text); }

// What the page of one level shows, kept while another level is chosen.
struct Page {
    QListWidget* groups = nullptr;
    QPlainTextEdit* excluded = nullptr;
    QWidget* widget = nullptr;
};

Page BuildPage(const Dialogs::LevelRuleFields& level) {
    Page page;
    page.widget = new QWidget;
    auto* layout = new QVBoxLayout(page.widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(Utf8("可以中奖的部门（都不勾选：所有人）：")));
    page.groups = new QListWidget;
    page.groups->setObjectName(QStringLiteral("groups"));
    for (size_t i = 0; i < level.groups.size(); ++i) {
        auto* item = new QListWidgetItem(ToQString(level.groups[i]), page.groups);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        const bool checked = i < level.checked.size() && level.checked[i];
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }
    if (level.groups.empty()) {
        auto* none = new QListWidgetItem(Utf8("（名单里没有部门）"), page.groups);
        none->setFlags(Qt::NoItemFlags);
    }
    layout->addWidget(page.groups, 1);
    layout->addWidget(new QLabel(Utf8("不参与本奖项的人（逗号、顿号或换行分隔）：")));
    page.excluded = new QPlainTextEdit(ToQString(level.excluded));
    page.excluded->setObjectName(QStringLiteral("excluded"));
    page.excluded->setMaximumHeight(110);
    layout->addWidget(page.excluded);
    return page;
}

void Take(const Page& page, Dialogs::LevelRuleFields& level) {
    for (size_t i = 0; i < level.groups.size() && i < level.checked.size(); ++i) {
        const QListWidgetItem* item = page.groups->item(static_cast<int>(i));
        level.checked[i] = item && item->checkState() == Qt::Checked;
    }
    level.excluded = FromQLines(page.excluded->toPlainText());
}

}  // namespace

bool QtDialogs::levelRulesForm(const Text& caption, const Text& note,
                               std::vector<LevelRuleFields>& levels) {
    QPointer<QDialog> dialog(new QDialog(DialogOwner()));
    dialog->setWindowTitle(ToQString(caption));
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->resize(640, 460);
    auto* levelList = new QListWidget;
    levelList->setObjectName(QStringLiteral("levels"));
    levelList->setMaximumWidth(160);
    auto* pages = new QVBoxLayout;
    std::vector<Page> built;
    for (const LevelRuleFields& level : levels) {
        levelList->addItem(ToQString(level.level));
        built.push_back(BuildPage(level));
        pages->addWidget(built.back().widget);
        built.back().widget->hide();
    }
    QObject::connect(levelList, &QListWidget::currentRowChanged, dialog, [&built](int row) {
        for (size_t i = 0; i < built.size(); ++i)
            built[i].widget->setVisible(static_cast<int>(i) == row);
    });
    levelList->setCurrentRow(0);
    auto* columns = new QHBoxLayout;
    columns->addWidget(levelList);
    columns->addLayout(pages, 1);
    auto* label = new QLabel(ToQLines(note));
    label->setWordWrap(true);
    auto* buttons = new QDialogButtonBox;
    QPushButton* save = buttons->addButton(Utf8("保存"), QDialogButtonBox::AcceptRole);
    buttons->addButton(Utf8("取消"), QDialogButtonBox::RejectRole);
    save->setDefault(true);
    save->setObjectName(QStringLiteral("save"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(label);
    layout->addLayout(columns, 1);
    layout->addWidget(buttons);
    const bool accepted = dialog->exec() == QDialog::Accepted && dialog;
    if (accepted) {
        for (size_t i = 0; i < levels.size(); ++i) Take(built[i], levels[i]);
    }
    delete dialog.data();
    return accepted;
}

}  // namespace ld::qt
