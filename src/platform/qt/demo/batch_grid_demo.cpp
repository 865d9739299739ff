// The batch grid on a 1920 x 1080 stage with 5, 12 and 50 tiles, rolling (previews, no
// names) and stopped (names, whole photos), saved as PNG files to look at:
//   QT_QPA_PLATFORM=offscreen batch_grid_demo <photo folder> [<background.jpg>] [<out dir>]
// Without photos it draws coloured stand-ins.
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <cstdio>

#include "framework/window_manager.h"
#include "media/file_bytes.h"
#include "media/photo_preview.h"
#include "platform/qt/batch_grid.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/qt_setup.h"
#include "platform/qt/stage_window.h"
#include "services/text.h"

using namespace ld;

namespace {

struct Person {
    Bytes preview;
    Text name;
    std::string file;
};

Bytes StandIn(int i) {
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((i * 37) % 360, 160, 200));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 85);
    return bytes.toStdString();
}

std::vector<Person> People(const QString& folder) {
    std::vector<Person> people;
    const QStringList files = QDir(folder).entryList({"*.jpg", "*.JPG"}, QDir::Files, QDir::Name);
    for (const QString& f : files) {
        const std::string path = QDir(folder).filePath(f).toStdString();
        people.push_back(
            {LoadPhotoPreview(path).picture, Gbk(QFileInfo(f).baseName().toStdString()), path});
    }
    if (people.empty())
        for (int i = 0; i < 50; ++i) people.push_back({StandIn(i), Gbk("张伟"), ""});
    // The longest names an event has: they must shorten, not spill.
    people[1 % people.size()].name = Gbk("欧阳娜娜（市场部）");
    people[3 % people.size()].name = Gbk("司马相如（财务部）");
    return people;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    qt::InstallFontSubstitutes();
    const std::vector<Person> people = People(argc > 1 ? argv[1] : "");
    const Bytes background = argc > 2 ? ReadFileBytes(argv[2]) : Bytes();
    const QString out = argc > 3 ? argv[3] : "/tmp/batch-shots";
    QDir().mkpath(out);

    qt::QtHost host;
    WindowManager manager([&](std::string_view name) {
        auto w = std::make_unique<Window>(Text(name), 0);
        w->self().setWidth(1920);
        w->self().setHeight(1080);
        w->self().setInt(prop::kBackColor, 0x00202080);
        w->self().setText(prop::kBackPicture, background);
        return w;
    });
    setWindowManager(&manager);
    manager.loadWindow("Stage");
    Window& window = *manager.find("Stage");
    qt::StageWindow* stage = host.gui.stageOf(window);
    stage->showFirstTime();
    QApplication::processEvents();

    for (int count : {5, 12, 50}) {
        for (bool stopped : {false, true}) {
            BatchGridView view;
            view.left = 10;
            view.top = 140;
            view.width = 1900;
            view.height = 800;
            if (stopped) view.caption = Gbk("恭喜以上获得一等奖！");
            for (int i = 0; i < count; ++i) {
                const Person& p = people[static_cast<size_t>(i) % people.size()];
                view.tiles.push_back(
                    {p.preview, stopped ? p.name : Text(), stopped ? p.file : std::string()});
            }
            host.gui.showBatchGrid(window, view);
            QElapsedTimer waited;
            waited.start();
            while (stage->batchGrid()->wholePhotosPending() > 0 && waited.elapsed() < 20000)
                QApplication::processEvents(QEventLoop::AllEvents, 50);
            const QString file = QStringLiteral("%1/grid-%2-%3.png")
                                     .arg(out)
                                     .arg(count)
                                     .arg(stopped ? "stop" : "roll");
            stage->grab().save(file);
            std::printf("%s\n", qPrintable(file));
        }
        host.gui.hideBatchGrid(window);
    }
    manager.destroyWindow("Stage");
    setWindowManager(nullptr);
    return 0;
}
