#include "platform/qt/qt_setup.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

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

}  // namespace ld::qt
