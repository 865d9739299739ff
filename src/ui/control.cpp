#include "ui/control.h"

#include "ui/window.h"

namespace ld {

const char* ControlTypeName(ControlType type) {
    switch (type) {
        case ControlType::Window: return "window";
        case ControlType::MenuItem: return "menu";
        case ControlType::EditBox: return "EditBox";
        case ControlType::PicBox: return "PicBox";
        case ControlType::ShapeBox: return "ShapeBox";
        case ControlType::GroupBox: return "GroupBox";
        case ControlType::Label: return "Label";
        case ControlType::Button: return "Button";
        case ControlType::CheckBox: return "CheckBox";
        case ControlType::ComboBox: return "ComboBox";
        case ControlType::ListBox: return "ListBox";
        case ControlType::CommonDlg: return "CommonDlg";
        case ControlType::Timer: return "Timer";
        case ControlType::TransLabel: return "TransLabel";
        case ControlType::SuperBtn: return "SuperBtn";
        case ControlType::SplitterBar: return "SplitterBar";
    }
    return "?";
}

bool IsKnownControlType(uint32_t code) {
    switch (static_cast<ControlType>(code)) {
        case ControlType::Window:
        case ControlType::MenuItem:
        case ControlType::EditBox:
        case ControlType::PicBox:
        case ControlType::ShapeBox:
        case ControlType::GroupBox:
        case ControlType::Label:
        case ControlType::Button:
        case ControlType::CheckBox:
        case ControlType::ComboBox:
        case ControlType::ListBox:
        case ControlType::CommonDlg:
        case ControlType::Timer:
        case ControlType::TransLabel:
        case ControlType::SuperBtn:
        case ControlType::SplitterBar: return true;
    }
    return false;
}

Control::Control(Window& window, ControlType type, Text name)
    : window_(window), type_(type), name_(std::move(name)) {}

Value Control::get(int index) const {
    switch (index) {
        case prop::kLeft: return left_;
        case prop::kTop: return top_;
        case prop::kWidth: return width_;
        case prop::kHeight: return height_;
        case prop::kTag: return tag_;
        case prop::kVisible: return visible_;
        case prop::kDisable: return disabled_;
        case prop::kMousePointer: return mousePointer_;
        default: break;
    }
    auto it = props_.find(index);
    return it == props_.end() ? Value{} : it->second;
}

namespace {

int32_t AsInt(const Value& v) {
    if (auto p = std::get_if<int32_t>(&v)) return *p;
    if (auto p = std::get_if<bool>(&v)) return *p ? 1 : 0;
    if (auto p = std::get_if<double>(&v)) return SaturateToInt32(*p);
    if (auto p = std::get_if<Text>(&v)) return ToInt32(*p);
    return 0;
}

bool AsBool(const Value& v) {
    if (auto p = std::get_if<bool>(&v)) return *p;
    if (auto p = std::get_if<Text>(&v)) return *p == kTrueWord;
    return AsInt(v) != 0;
}

Text AsText(const Value& v) {
    if (auto p = std::get_if<Text>(&v)) return *p;
    if (auto p = std::get_if<int32_t>(&v)) return ToText(*p);
    if (auto p = std::get_if<bool>(&v)) return ToText(*p);
    if (auto p = std::get_if<double>(&v)) return ToText(*p);
    return {};
}

}  // namespace

void Control::set(int index, Value value) {
    switch (index) {
        case prop::kLeft: left_ = AsInt(value); break;
        case prop::kTop: top_ = AsInt(value); break;
        case prop::kWidth: width_ = AsInt(value); break;
        case prop::kHeight: height_ = AsInt(value); break;
        case prop::kTag: tag_ = AsText(value); break;
        case prop::kVisible: visible_ = AsBool(value); break;
        case prop::kDisable: disabled_ = AsBool(value); break;
        case prop::kMousePointer: mousePointer_ = AsInt(value); break;
        default:
            if (type_ == ControlType::ComboBox && index == prop::kComboText) {
                // The combo's text is the chosen item's text; a text that is no item
                // leaves nothing chosen but is still what the selector reads.
                Text t = AsText(value);
                chosen_ = -1;
                for (size_t i = 0; i < items_.size(); ++i) {
                    if (items_[i] == t) {
                        chosen_ = static_cast<int>(i);
                        break;
                    }
                }
                props_[index] = std::move(t);
            } else {
                props_[index] = std::move(value);
            }
            break;
    }
    notify(index);
}

int32_t Control::getInt(int index) const { return AsInt(get(index)); }
bool Control::getBool(int index) const { return AsBool(get(index)); }
Text Control::getText(int index) const { return AsText(get(index)); }
FontValue Control::getFont(int index) const {
    Value v = get(index);
    if (auto p = std::get_if<FontValue>(&v)) return *p;
    return {};
}

int Control::textIndex() const {
    switch (type_) {
        case ControlType::EditBox:
        case ControlType::Label:
        case ControlType::TransLabel: return prop::kText;
        case ControlType::ComboBox: return prop::kComboText;
        case ControlType::SuperBtn: return prop::kSuperCaption;
        default: return prop::kCaption;
    }
}

int Control::fontIndex() const {
    switch (type_) {
        case ControlType::Label: return prop::kLabelFont;
        case ControlType::TransLabel: return prop::kTransFont;
        default: return prop::kFont;
    }
}

int Control::addItem(Text item) {
    items_.push_back(std::move(item));
    for (auto* o : window_.observers()) o->itemsChanged(*this);
    return static_cast<int>(items_.size()) - 1;
}

void Control::clearItems() {
    items_.clear();
    chosen_ = -1;
    if (type_ == ControlType::ComboBox) props_[prop::kComboText] = Text();
    for (auto* o : window_.observers()) o->itemsChanged(*this);
    if (type_ == ControlType::ComboBox) notify(prop::kComboText);
}

void Control::chooseItem(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) {
        chosen_ = -1;
        props_[prop::kComboText] = Text();
    } else {
        chosen_ = index;
        props_[prop::kComboText] = items_[static_cast<size_t>(index)];
    }
    notify(prop::kComboText);
}

void Control::bind(int eventNumber, Handler handler) {
    if (handler)
        handlers_[eventNumber] = std::move(handler);
    else
        handlers_.erase(eventNumber);
}

bool Control::isBound(int eventNumber) const { return handlers_.count(eventNumber) != 0; }

bool Control::raise(int eventNumber, EventArgs& args) {
    auto it = handlers_.find(eventNumber);
    if (it == handlers_.end()) return false;
    Handler h = it->second;  // the handler may rebind or destroy bindings while it runs
    h(*this, args);
    return true;
}

void Control::notify(int index) {
    for (auto* o : window_.observers()) o->propertyChanged(*this, index);
}

}  // namespace ld
