// A stage built in code with every control type, to look at the widgets without the
// program's templates: qt_stage_demo [--fireworks N] [--message] [--font] [--input]
// [--panel] [--flat]
#include <QApplication>
#include <QBuffer>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QScreen>
#include <QTimer>

#include "framework/window_manager.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/qt_setup.h"
#include "services/text.h"

using namespace ld;

namespace {

Bytes Jpeg(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes.toStdString();
}

Bytes Gradient(int w, int h, QColor a, QColor b) {
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, w, h);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    p.fillRect(image.rect(), g);
    p.setBrush(QColor(255, 255, 255, 60));
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 12; ++i)
        p.drawEllipse(QPoint(w * i / 12, h / 3 + (i % 3) * h / 6), w / 20, w / 20);
    return Jpeg(image);
}

FontValue Font(const char* face, int pixels, bool bold) {
    FontValue f;
    f.face = Gbk(face);
    f.pixels = pixels;
    f.bold = bold;
    return f;
}

Control& Add(Window& w, ControlType type, const char* name, QRect r, Control* parent = nullptr) {
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

Control& Trans(Window& w, const char* name, QRect r, const char* text, FontValue font,
               uint32_t color, int align = 0) {
    Control& c = Add(w, ControlType::TransLabel, name, r);
    c.setText(prop::kText, Gbk(text));
    c.set(prop::kTransFont, font);
    c.setInt(prop::kTextColor, static_cast<int32_t>(color));
    c.setInt(prop::kAlignWord, align);
    return c;
}

void AddPanel(Window& w) {
    Control& shape = Add(w, ControlType::ShapeBox, "外形框1", {296, 176, 264, 392});
    shape.setInt(prop::kBackColor, 0x00F0F0F0);
    Control& close = Add(w, ControlType::Label, "标签8", {238, 2, 24, 18}, &shape);
    close.setText(prop::kText, Gbk("メ"));
    close.bind(ev::kLeftDown, [&shape](Control&, EventArgs&) { shape.setVisible(false); });
    shape.bind(ev::kLeftDown, [](Control& c, EventArgs&) { gui().moveLoop(c); });
    Control& group = Add(w, ControlType::GroupBox, "分组框1", {2, 22, 260, 370}, &shape);
    group.setText(prop::kCaption, Gbk("设置"));
    const char* levels[] = {"特等奖", "一等奖", "二等奖", "三等奖",
                            "四等奖", "五等奖", "六等奖", "七等奖"};
    const int rows[] = {34, 62, 88, 114, 141, 167, 191, 217};
    for (int i = 0; i < 8; ++i) {
        Add(w, ControlType::EditBox, "编辑框_奖项", {10, rows[i], 60, 20}, &group)
            .setText(prop::kText, Gbk(levels[i]));
        Add(w, ControlType::EditBox, "编辑框_奖项人数", {79, rows[i], 40, 20}, &group)
            .setText(prop::kText, ToText(i + 1));
        Control& marker = Add(w, ControlType::EditBox, "图片", {124, rows[i], 60, 20}, &group);
        marker.setText(prop::kText, " ");
        marker.setDisabled(true);
        Add(w, ControlType::Button, "浏览", {187, rows[i], 25, 20}, &group)
            .setText(prop::kCaption, Gbk("《"));
        Add(w, ControlType::Button, "清除", {216, rows[i], 35, 20}, &group)
            .setText(prop::kCaption, Gbk("清除"));
        Add(w, ControlType::EditBox, "编辑框_中奖人", {262, rows[i], 60, 20}, &group)
            .setText(prop::kText, Gbk("看不见"));
    }
    Add(w, ControlType::Label, "标签6", {7, 240, 144, 20}, &group)
        .setText(prop::kText, Gbk("照片框大小(像素：宽x高)："));
    Add(w, ControlType::EditBox, "编辑框_照片图片宽", {155, 240, 27, 20}, &group)
        .setText(prop::kText, "400");
    Add(w, ControlType::Label, "标签7", {181, 240, 17, 23}, &group).setText(prop::kText, Gbk("×"));
    Add(w, ControlType::EditBox, "编辑框_照片图片高", {197, 240, 27, 20}, &group)
        .setText(prop::kText, "300");
    Add(w, ControlType::Label, "标签9", {5, 260, 177, 20}, &group)
        .setText(prop::kText, Gbk("设置抽奖滚动速度(默认30毫秒):"));
    Add(w, ControlType::EditBox, "编辑框_滚动速度", {186, 260, 47, 23}, &group)
        .setText(prop::kText, "30");
    Add(w, ControlType::CheckBox, "选择框_是否允许重复抽奖", {9, 279, 227, 21}, &group)
        .setText(prop::kCaption, Gbk("允许重复抽奖(勾选为允许重复抽奖)"));
    Add(w, ControlType::CheckBox, "选择框_禁用特效", {9, 299, 254, 16}, &group)
        .setText(prop::kCaption, Gbk("禁用特效(中奖后有烟花效果随机播放)"));
    Add(w, ControlType::CheckBox, "选择框_不显示按钮", {9, 314, 241, 22}, &group)
        .setText(prop::kCaption, Gbk("不显示开始按钮(默认不勾选，显示按钮)"));
    Add(w, ControlType::Button, "按钮_保存", {73, 340, 107, 24}, &group)
        .setText(prop::kCaption, Gbk("保存"));
}

std::unique_ptr<Window> MainStage(bool panel) {
    auto w = std::make_unique<Window>(Gbk("MainWindow"), 0);
    Control& self = w->self();
    self.setLeft(50);
    self.setTop(50);
    self.setWidth(1000);
    self.setHeight(760);
    self.setInt(prop::kBackColor, 0x000000FF);
    self.setText(prop::kBackPicture, Gradient(1600, 900, QColor(140, 0, 20), QColor(230, 120, 0)));
    self.setText(prop::kCaption, Gbk("幸运抽奖"));
    Trans(*w, "透明标签_主标题", {32, 20, 976, 61}, "某某公司销售现场抽奖活动",
          Font("宋体", 64, true), 0x00FFFFFF);
    Trans(*w, "透明标签_副标题", {8, 120, 1024, 38},
          "----------2011年销售现场抽奖活动---------\r\n\r\n", Font("幼圆", 27, true), 0x00FFFFFF);
    Control& photo = Add(*w, ControlType::PicBox, "图片框_照片", {250, 170, 500, 400});
    photo.setInt(prop::kDisplayMode, 2);
    photo.setText(prop::kPicture, Gradient(600, 800, QColor(30, 60, 160), QColor(200, 220, 255)));
    Trans(*w, "透明标签_中奖人", {68, 344, 920, 80}, "张三", Font("宋体", 64, true), 0x0000FFFF);
    Trans(*w, "透明标签_恭喜", {-8, 580, 1016, 48}, "恭喜 张三 获得 一等奖！",
          Font("宋体", 48, true), 0x0000FFFF, 2);
    Trans(*w, "透明标签_抽取进度", {296, 704, 80, 40}, "已抽取 1/3", Font("宋体", 20, true),
          0x000080FF);
    Trans(*w, "透明标签_奖项等级", {51, 697, 125, 40}, "选择奖项等级：", Font("宋体", 19, false),
          0x00FFFFFF);
    Control& combo = Add(*w, ControlType::ComboBox, "组合框1", {180, 704, 108, 27});
    combo.setBool(prop::kDropDownList, true);
    for (const char* level : {"特等奖", "一等奖", "二等奖"}) combo.addItem(Gbk(level));
    combo.chooseItem(1);
    Control& button = Add(*w, ControlType::SuperBtn, "超级按钮", {416, 640, 200, 70});
    button.setText(prop::kSuperCaption, Gbk("开始抽奖"));
    button.setText(prop::kTooltip, Gbk("点击开始抽奖（或按空格键开始）"));
    button.set(prop::kFont, Font("隶书", 35, true));
    button.setText(prop::kFacePicture,
                   Gradient(200, 70, QColor(250, 210, 80), QColor(200, 40, 20)));
    Trans(*w, "透明标签_奖品名称", {790, 400, 0, 32}, "笔记本电脑", Font("", 29, true), 0x0000FFFF);
    Control& prize = Add(*w, ControlType::PicBox, "图片框_奖品", {790, 440, 180, 224});
    prize.setInt(prop::kDisplayMode, 2);
    prize.setText(prop::kPicture, Gradient(400, 300, QColor(20, 120, 40), QColor(220, 250, 200)));
    const QRect bars[] = {
        {789, 439, 180, 1}, {790, 664, 180, 1}, {789, 440, 1, 224}, {970, 440, 1, 224}};
    for (int i = 0; i < 4; ++i) {
        Control& bar = Add(*w, ControlType::SplitterBar, "分隔条", bars[i]);
        bar.setBool(prop::kVertical, i >= 2);
        bar.setInt(prop::kBackColor, 0x000000FF);
    }
    if (panel) AddPanel(*w);
    return w;
}

std::unique_ptr<Window> Celebration() {
    auto w = std::make_unique<Window>(Gbk("CelebrationWindow"), 2);
    w->self().setInt(prop::kBorder, 0);
    w->self().setWidth(QApplication::primaryScreen()->geometry().width());
    w->self().setHeight(QApplication::primaryScreen()->geometry().height());
    return w;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    qt::InstallFontSubstitutes();
    qt::LoadQtTranslations();
    qt::QtHost host;
    QStringList args = app.arguments();
    WindowManager manager([&](std::string_view name) -> std::unique_ptr<Window> {
        if (name == "MainWindow") return MainStage(args.contains("--panel"));
        if (name == "CelebrationWindow") return Celebration();
        return nullptr;
    });
    setWindowManager(&manager);
    if (args.contains("--flat")) host.gui.setFlatControlStyle(1);
    manager.loadWindow("MainWindow");
    int fireworks = args.indexOf("--fireworks");
    QTimer::singleShot(500, [&] {
        if (fireworks > 0) {
            manager.loadWindow("CelebrationWindow", manager.find("MainWindow"));
            host.gui.playAnimation(*manager.find("CelebrationWindow"),
                                   args.value(fireworks + 1).toInt());
        }
        if (args.contains("--message"))
            host.dialogs.showMessage(Gbk("是否保存当前抽奖进度？"),
                                     msg::kYesNoCancel | msg::kIconQuestion, Gbk("信息："));
        if (args.contains("--input")) {
            Text value;
            host.dialogs.inputBox(Gbk("请输入主标题"), Gbk("请输入主标题"),
                                  Gbk("某某公司现场抽奖仪式"), value, false);
        }
        if (args.contains("--font")) {
            FontChoice font{Gbk("宋体"), 36, true, false, false, false, 0x0000FFFF};
            host.dialogs.chooseFont(font);
        }
    });
    host.loop.runUntil([&] { return manager.loadedCount() == 0; });
    setWindowManager(nullptr);
    return 0;
}
