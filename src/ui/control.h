// The toolkit-free control model. Controls are the live state of the program: handlers
// read and write properties by index (or through the typed helpers), every change is
// announced to the window's observers, and the host draws from the model.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <variant>
#include <vector>

#include "services/text.h"

namespace ld {

class Window;

enum class ControlType : uint32_t {
    Window = 0x00010001,
    MenuItem = 0x00010003,
    EditBox = 0x00010005,
    PicBox = 0x00010006,
    ShapeBox = 0x00010007,
    GroupBox = 0x00010009,
    Label = 0x0001000A,
    Button = 0x0001000B,
    CheckBox = 0x0001000C,
    ComboBox = 0x0001000E,
    ListBox = 0x0001000F,
    CommonDlg = 0x0001001F,
    Timer = 0x00010020,
    TransLabel = 0x00020005,
    SuperBtn = 0x00030001,
    SplitterBar = 0x00030003,
};
const char* ControlTypeName(ControlType type);
bool IsKnownControlType(uint32_t code);

// A font value. Template fonts carry a pixel height, fonts from the configuration or the
// font dialog a point size; both stay exact and are converted only when drawn.
struct FontValue {
    Text face;            // GBK; empty means the default face
    int32_t pixels = 0;   // character height in pixels (template fonts)
    double points = 0;    // size in points (configuration and dialog fonts)
    bool bold = false, italic = false, underline = false, strikeOut = false;

    // 96-DPI logical pixels: round(pt * 96 / 72) for point sizes.
    int32_t pixelSize() const {
        return points > 0 ? static_cast<int32_t>(std::lround(points * 96.0 / 72.0)) : pixels;
    }
    // Element 5 of the font value: the size in points.
    double sizePoints() const { return points > 0 ? points : pixels * 72.0 / 96.0; }
    bool operator==(const FontValue&) const = default;
};

using Value = std::variant<std::monostate, bool, int32_t, double, Text, FontValue>;

// Property indices. 0..7 belong to every control; the type-specific ones are the indices
// the application addresses; the 100+ ones are template values only the host reads.
namespace prop {
constexpr int kLeft = 0, kTop = 1, kWidth = 2, kHeight = 3, kTag = 4, kVisible = 5,
              kDisable = 6, kMousePointer = 7;
// window
constexpr int kBorder = 9, kBackPicture = 11;
// EditBox, Label, TransLabel
constexpr int kText = 8;  // EditBox text, Label caption, TransLabel text
constexpr int kLabelFont = 15;
constexpr int kTransFont = 10, kTextColor = 11;
// PicBox
constexpr int kPicture = 10;
// Timer
constexpr int kInterval = 8;
// CheckBox
constexpr int kChecked = 18;
// ComboBox
constexpr int kComboText = 9;
// SuperBtn
constexpr int kSuperCaption = 22;
// CommonDlg
constexpr int kDialogKind = 8, kFileName = 10, kFilter = 11, kFontColor = 20, kBold = 21,
              kItalic = 22, kUnderline = 23, kStrikeOut = 24, kFontName = 25, kFontSize = 26;
// Template values that the host draws.
constexpr int kCaption = 100;      // window, Button, CheckBox, GroupBox caption
constexpr int kFont = 101;         // font of types without an application index
constexpr int kBackColor = 102;    // 0x00BBGGRR; 0xFF000000 is the system colour
constexpr int kForeColor = 103;
constexpr int kIcon = 104;         // ICO file bytes
constexpr int kTooltip = 105;
constexpr int kFacePicture = 106;  // SuperBtn face (JPEG bytes)
constexpr int kMultiLine = 107;    // EditBox
constexpr int kPasswordChar = 108; // EditBox: masked entry
constexpr int kDisplayMode = 109;  // PicBox: 0 top-left, 1 stretched, 2 centred/shrunk
constexpr int kAlignWord = 110;    // TransLabel: 0 from the left, 2 centred
constexpr int kVertical = 111;     // SplitterBar: true for a vertical bar
constexpr int kDropDownList = 112; // ComboBox without an edit field
}  // namespace prop

constexpr uint32_t kSystemColor = 0xFF000000u;

// Event numbers of the template.
namespace ev {
constexpr int kLeftDown = -1, kLeftUp = -2, kDoubleClick = -3, kRightDown = -4, kRightUp = -5,
              kMouseMove = -6, kGotFocus = -7, kLostFocus = -8, kCharTyped = -11, kWheel = -12;
constexpr int kCreated = 0, kMayClose = 1, kDestroying = 2, kActivated = 5, kDeactivated = 6,
              kFirstActivation = 8;                    // window
constexpr int kClicked = 0;                            // Button, SuperBtn, CheckBox
constexpr int kTick = 0;                               // Timer
constexpr int kNotification = 0;                       // Label
constexpr int kPositionChanged = 0;                    // SplitterBar
constexpr int kItemChosen = 0;                         // ComboBox
}  // namespace ev

// Key state bits of mouse events.
namespace keys {
constexpr int kCtrl = 1, kShift = 2, kAlt = 4;
}

struct EventArgs {
    int x = 0, y = 0, keyState = 0;  // mouse events
    int oldPos = 0, newPos = 0;      // SplitterBar position changed
    bool allow = true;               // window may-be-closed: the handler's answer
};

class Control;
using Handler = std::function<void(Control& sender, EventArgs& args)>;

class Control {
public:
    Control(Window& window, ControlType type, Text name);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    ControlType type() const { return type_; }
    const Text& name() const { return name_; }
    Window& window() const { return window_; }
    Control* parent() const { return parent_; }  // nullptr: the window's client area
    void setParent(Control* parent) { parent_ = parent; }
    const std::vector<Control*>& children() const { return children_; }
    void addChild(Control* child) { children_.push_back(child); }

    // By index. Reading an index the control does not hold gives an empty value.
    Value get(int index) const;
    void set(int index, Value value);

    // Typed helpers over the indexed store.
    int32_t getInt(int index) const;
    bool getBool(int index) const;
    Text getText(int index) const;
    FontValue getFont(int index) const;
    void setInt(int index, int32_t v) { set(index, Value{v}); }
    void setBool(int index, bool v) { set(index, Value{v}); }
    void setText(int index, Text v) { set(index, Value{std::move(v)}); }

    int32_t left() const { return left_; }
    int32_t top() const { return top_; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    bool visible() const { return visible_; }
    bool disabled() const { return disabled_; }
    const Text& tag() const { return tag_; }
    void setLeft(int32_t v) { set(prop::kLeft, Value{v}); }
    void setTop(int32_t v) { set(prop::kTop, Value{v}); }
    void setWidth(int32_t v) { set(prop::kWidth, Value{v}); }
    void setHeight(int32_t v) { set(prop::kHeight, Value{v}); }
    void setVisible(bool v) { set(prop::kVisible, Value{v}); }
    void setDisabled(bool v) { set(prop::kDisable, Value{v}); }

    // The type's main text: EditBox text, Label caption, TransLabel text, ComboBox text,
    // SuperBtn caption, Button/CheckBox/GroupBox/window caption.
    int textIndex() const;
    Text text() const { return getText(textIndex()); }
    void setTextValue(Text v) { setText(textIndex(), std::move(v)); }
    // The type's font property index.
    int fontIndex() const;

    // ComboBox and ListBox items.
    const std::vector<Text>& items() const { return items_; }
    int addItem(Text item);
    void clearItems();
    // ComboBox: choose an item (-1: none); the combo text follows.
    void chooseItem(int index);
    int chosenItem() const { return chosen_; }

    // Events. A control raises only the events its template binds.
    void bind(int eventNumber, Handler handler);
    bool isBound(int eventNumber) const;
    // Runs the bound handler; false when none is bound.
    bool raise(int eventNumber, EventArgs& args);
    bool raise(int eventNumber) {
        EventArgs args;
        return raise(eventNumber, args);
    }

private:
    void notify(int index);

    Window& window_;
    ControlType type_;
    Text name_;
    Control* parent_ = nullptr;
    std::vector<Control*> children_;
    int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    Text tag_;
    bool visible_ = true, disabled_ = false;
    int32_t mousePointer_ = 0;
    std::map<int, Value> props_;
    std::vector<Text> items_;
    int chosen_ = -1;
    std::map<int, Handler> handlers_;
};

}  // namespace ld
