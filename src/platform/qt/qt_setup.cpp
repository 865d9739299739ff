#include "platform/qt/qt_setup.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

#include "platform/qt/qt_gui.h"

namespace ld::qt {

namespace {

const QString kSans = QStringLiteral("Noto Sans CJK SC");
const QString kSerif = QStringLiteral("Noto Serif CJK SC");

QStringList Faces(std::initializer_list<QString> preferred) {
    QStringList faces;
    for (const QString& f : preferred) faces << f;
    // Whatever else the machine has for Chinese, in case Noto is missing.
    faces << QStringLiteral("Droid Sans Fallback") << QStringLiteral("WenQuanYi Micro Hei")
          << QStringLiteral("AR PL UMing CN");
    return faces;
}

}  // namespace

void InstallFontSubstitutes() {
    const QStringList serif = Faces({kSerif, kSans});
    const QStringList sans = Faces({kSans, kSerif});
    for (const char* face :
         {"宋体", "新宋体", "SimSun", "NSimSun", "仿宋", "仿宋_GB2312", "FangSong", "隶书", "LiSu",
          "楷体", "楷体_GB2312", "KaiTi", "华文行楷", "华文新魏"})
        QFont::insertSubstitutions(QString::fromUtf8(face), serif);
    for (const char* face : {"幼圆", "YouYuan", "黑体", "SimHei", "微软雅黑", "Microsoft YaHei",
                             "MS Shell Dlg", "MS Shell Dlg 2", "System", "Tahoma", "Arial"})
        QFont::insertSubstitutions(QString::fromUtf8(face), sans);
    // The default face of the Windows controls: 宋体 at 9 points, that is 12 pixels.
    QFont base(QFontDatabase::families().contains(kSans) ? kSans : QApplication::font().family());
    base.setPixelSize(12);
    QApplication::setFont(base);
}

void LoadQtTranslations() {
    auto* translator = new QTranslator(qApp);
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qt"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

QString FlatStyleSheet(int style) {
    if (style <= 0) return {};
    // Three shades of the same flat look: thin single-colour frames, no bevels.
    const char* frame = style == 1 ? "#8c8c8c" : style == 2 ? "#5b7db1" : "#404040";
    return QStringLiteral(
               "QPushButton { border: 1px solid %1; background: #f4f4f4; padding: 1px 4px; }"
               "QPushButton:hover { background: #e6eef8; }"
               "QPushButton:pressed { background: #d4dcea; }"
               "QPushButton:disabled { color: #a0a0a0; border-color: #c8c8c8; }"
               "QLineEdit, QPlainTextEdit, QListWidget { border: 1px solid %1; background: white; }"
               "QLineEdit:disabled { background: #f0f0f0; color: #808080; }"
               "QComboBox { border: 1px solid %1; background: white; padding: 0 4px; }"
               "QComboBox::drop-down { border-left: 1px solid %1; width: 16px; }"
               "QComboBox::down-arrow { width: 0; height: 0; border-left: 4px solid transparent;"
               " border-right: 4px solid transparent; border-top: 5px solid %1; }"
               "QCheckBox::indicator { width: 12px; height: 12px; border: 1px solid %1;"
               " background: white; }"
               "QCheckBox::indicator:checked { background: %1; }"
               "QGroupBox { border: 1px solid %1; margin-top: 8px; }"
               "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 2px; }")
        .arg(QLatin1String(frame));
}

void QtGui::setFlatControlStyle(int style) { qApp->setStyleSheet(FlatStyleSheet(style)); }

}  // namespace ld::qt
