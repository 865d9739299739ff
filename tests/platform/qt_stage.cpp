#include "qt_stage.h"

#include <QBuffer>
#include <QFile>
#include <QPixmap>
#include <QTemporaryFile>
#include <cstdio>

#include "platform/qt/qt_setup.h"
#include "services/text.h"

namespace ld::qt::test {

namespace {

// The offscreen platform says so whenever a window asks it for a grab or a raise.
void QuietPlatformNotes(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (message.isEmpty() || message.startsWith(QStringLiteral("This plugin does not support")))
        return;
    if (type != QtDebugMsg) fprintf(stderr, "%s\n", qPrintable(message));
}

// Two screens side by side, the first the offscreen platform's usual one: the tests of the
// stage's screen and the console need a second one.
void UseTwoOffscreenScreens() {
    static QTemporaryFile config;
    const char* const screens = R"({"screens": [
        {"name": "first", "x": 0, "y": 0, "width": 800, "height": 600, "logicalDpi": 96},
        {"name": "second", "x": 800, "y": 0, "width": 1024, "height": 768, "logicalDpi": 96}]})";
    if (!config.open() || config.write(screens) < 0 || !config.flush()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
}

// One QApplication for the whole test program, offscreen unless told otherwise.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        if (platform.isEmpty() || platform == "offscreen") UseTwoOffscreenScreens();
        qInstallMessageHandler(QuietPlatformNotes);
        static int argc = 1;
        static char name[] = "platform_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        InstallFontSubstitutes();
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    QApplication* app_ = nullptr;
};

[[maybe_unused]] const auto* const g_environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

QtStageTest::QtStageTest()
    : manager([this](std::string_view name) -> std::unique_ptr<Window> {
          auto it = builders.find(std::string(name));
          if (it == builders.end()) return nullptr;
          auto w = std::make_unique<Window>(Text(name), 0);
          w->self().setWidth(400);
          w->self().setHeight(300);
          it->second(*w);
          return w;
      }) {
    setHost(Host{&dialogs, &shell, &sound, &screen, &loop});
    setGui(&gui);
    setWindowManager(&manager);
}

QtStageTest::~QtStageTest() {
    for (const auto& [name, build] : builders) manager.destroyWindow(name);
    setWindowManager(nullptr);
    setGui(nullptr);
    setHost(Host{});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void QtStageTest::define(const std::string& name, std::function<void(Window&)> build) {
    builders[name] = std::move(build);
}

Window& QtStageTest::load(const std::string& name, Window* parent) {
    EXPECT_TRUE(manager.loadWindow(name, parent));
    Window& w = *manager.find(name);
    StageWindow& s = stage(w);
    s.showFirstTime();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&s));
    return w;
}

void QtStageTest::activate(Window& w) {
    stage(w).activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&stage(w)));
}

Control& QtStageTest::add(Window& w, ControlType type, const char* name, QRect r, Control* parent) {
    Control& c = w.add(type, Gbk(name));
    c.setLeft(r.x());
    c.setTop(r.y());
    c.setWidth(r.width());
    c.setHeight(r.height());
    if (parent) {
        c.setParent(parent);
        parent->addChild(&c);
    }
    return c;
}

Bytes ImageBytes(QSize size, QColor color, const char* format) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes.toStdString();
}

QColor PixelOf(QWidget* widget, QPoint at) {
    QImage image = widget->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor((QPointF(at) * ratio).toPoint());
}

}  // namespace ld::qt::test
