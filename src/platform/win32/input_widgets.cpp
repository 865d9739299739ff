#include <algorithm>

#include "platform/win32/widgets.h"
#include "platform/win32/win_text.h"

namespace ld::win {

namespace {
void SetFont(HWND hwnd, const FontValue& font, UINT dpi) {
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(font, dpi)), TRUE);
}
}  // namespace

HWND CreateChild(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent) {
    // Hidden and empty: the first sync places and shows it.
    return CreateWindowExW(exStyle, className, L"", WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 0, 0,
                           parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

EditBoxView::EditBoxView(Control& control, HWND parent) : ControlView(control) {
    DWORD style = WS_TABSTOP | ES_AUTOHSCROLL;
    if (control.getBool(prop::kMultiLine))
        style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL;
    else if (control.getBool(prop::kPasswordChar))
        style |= ES_PASSWORD;
    attach(CreateChild(L"EDIT", style, WS_EX_CLIENTEDGE, parent));
    if (control.getBool(prop::kPasswordChar)) SendMessageW(hwnd(), EM_SETPASSWORDCHAR, L'*', 0);
}

void EditBoxView::command(WORD code) {
    if (code != EN_CHANGE || setting_ || stale_ || detached()) return;
    taking_ = true;
    control().setText(prop::kText, WindowText(hwnd()));
    taking_ = false;
}

void EditBoxView::syncText() {
    if (taking_) return;
    // The hidden buffers hold whole participant lists and change on every draw: a box that
    // is not shown takes its text when it is.
    if (!control().visible()) {
        stale_ = true;
        return;
    }
    stale_ = false;
    const Text text = control().getText(prop::kText);
    if (WindowText(hwnd()) == text) return;
    setting_ = true;
    SetWindowTextW(hwnd(), Wide(text).c_str());
    setting_ = false;
}

void EditBoxView::sync(int index) {
    const bool all = index == kAllProperties;
    // The text first: a box that appears shows its text at once.
    if (all || index == prop::kText || index == prop::kVisible) syncText();
    ControlView::sync(index);
    if (all || index == prop::kFont) SetFont(hwnd(), control().getFont(prop::kFont), dpi());
}

ButtonView::ButtonView(Control& control, HWND parent) : ControlView(control) {
    attach(CreateChild(L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0, parent));
}

void ButtonView::command(WORD code) {
    if (code == BN_CLICKED && !detached()) control().raise(ev::kClicked);
}

void ButtonView::sync(int index) {
    ControlView::sync(index);
    const bool all = index == kAllProperties;
    if (all || index == prop::kCaption)
        SetWindowTextW(hwnd(), Wide(control().getText(prop::kCaption)).c_str());
    if (all || index == prop::kFont) SetFont(hwnd(), control().getFont(prop::kFont), dpi());
}

CheckBoxView::CheckBoxView(Control& control, HWND parent) : ControlView(control) {
    attach(CreateChild(L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0, parent));
}

void CheckBoxView::command(WORD code) {
    if (code != BN_CLICKED || detached()) return;
    // The clicked event comes after the check state has flipped.
    control().setBool(prop::kChecked, SendMessageW(hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED);
    if (!detached()) control().raise(ev::kClicked);
}

void CheckBoxView::sync(int index) {
    ControlView::sync(index);
    const bool all = index == kAllProperties;
    if (all || index == prop::kCaption)
        SetWindowTextW(hwnd(), Wide(control().getText(prop::kCaption)).c_str());
    if (all || index == prop::kFont) SetFont(hwnd(), control().getFont(prop::kFont), dpi());
    if (all || index == prop::kChecked)
        SendMessageW(hwnd(), BM_SETCHECK,
                     control().getBool(prop::kChecked) ? BST_CHECKED : BST_UNCHECKED, 0);
}

ComboBoxView::ComboBoxView(Control& control, HWND parent) : ControlView(control) {
    const DWORD kind = control.getBool(prop::kDropDownList) ? CBS_DROPDOWNLIST : CBS_DROPDOWN;
    attach(CreateChild(L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL | kind, 0, parent));
}

RECT ComboBoxView::viewRect() const {
    RECT r = modelRect();
    r.bottom += 240;  // room for the open list
    return r;
}

bool ComboBoxView::dropped() const { return SendMessageW(hwnd(), CB_GETDROPPEDSTATE, 0, 0) != 0; }

void ComboBoxView::choose() {
    const int index = static_cast<int>(SendMessageW(hwnd(), CB_GETCURSEL, 0, 0));
    // A closed list that changes with the arrow keys tells both its change and its end:
    // one choice, one event. Choosing the same item again later raises it again.
    const LONG time = GetMessageTime();
    if (time == lastChoiceTime_ && index == lastChoice_) return;
    lastChoiceTime_ = time;
    lastChoice_ = index;
    control().chooseItem(index);
    if (!detached()) control().raise(ev::kItemChosen);
}

void ComboBoxView::command(WORD code) {
    if (detached() || filling_) return;
    switch (code) {
        case CBN_SELENDOK:
            choose();
            break;
        case CBN_SELCHANGE:
            if (!dropped()) choose();
            break;
        case CBN_EDITCHANGE:
            control().setText(prop::kComboText, WindowText(hwnd()));
            break;
        default:
            break;
    }
}

void ComboBoxView::syncItems() {
    filling_ = true;
    SendMessageW(hwnd(), CB_RESETCONTENT, 0, 0);
    for (const Text& item : control().items())
        SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
    filling_ = false;
    showChosen();
}

void ComboBoxView::showChosen() {
    filling_ = true;
    SendMessageW(hwnd(), CB_SETCURSEL, static_cast<WPARAM>(control().chosenItem()), 0);
    if (!control().getBool(prop::kDropDownList))
        SetWindowTextW(hwnd(), Wide(control().getText(prop::kComboText)).c_str());
    filling_ = false;
}

void ComboBoxView::sync(int index) {
    ControlView::sync(index);
    const bool all = index == kAllProperties;
    if (all || index == prop::kFont) SetFont(hwnd(), control().getFont(prop::kFont), dpi());
    if (all) syncItems();
    if (index == prop::kComboText) showChosen();
}

ListBoxView::ListBoxView(Control& control, HWND parent) : ControlView(control) {
    attach(CreateChild(L"LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                       WS_EX_CLIENTEDGE, parent));
}

void ListBoxView::syncItems() {
    const auto& items = control().items();
    // Items are only ever appended or cleared: append what is new, rebuild otherwise.
    auto count = static_cast<size_t>(SendMessageW(hwnd(), LB_GETCOUNT, 0, 0));
    if (count > items.size()) {
        SendMessageW(hwnd(), LB_RESETCONTENT, 0, 0);
        count = 0;
    }
    for (size_t i = count; i < items.size(); ++i)
        SendMessageW(hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(items[i]).c_str()));
}

void ListBoxView::sync(int index) {
    ControlView::sync(index);
    const bool all = index == kAllProperties;
    if (all) syncItems();
    if (all || index == prop::kFont) SetFont(hwnd(), control().getFont(prop::kFont), dpi());
}

ControlView* CreateControlView(Control& control, HWND parent) {
    switch (control.type()) {
        case ControlType::TransLabel:
            return new TransLabelView(control, parent);
        case ControlType::Label:
            return new LabelView(control, parent);
        case ControlType::PicBox:
            return new PicBoxView(control, parent);
        case ControlType::SuperBtn:
            return new SuperButtonView(control, parent);
        case ControlType::SplitterBar:
            return new SplitterBarView(control, parent);
        case ControlType::EditBox:
            return new EditBoxView(control, parent);
        case ControlType::Button:
            return new ButtonView(control, parent);
        case ControlType::CheckBox:
            return new CheckBoxView(control, parent);
        case ControlType::ComboBox:
            return new ComboBoxView(control, parent);
        case ControlType::ListBox:
            return new ListBoxView(control, parent);
        case ControlType::GroupBox:
            return new GroupBoxView(control, parent);
        case ControlType::ShapeBox:
            return new ShapeBoxView(control, parent);
        default:
            return nullptr;  // Timer, CommonDlg, MenuItem: nothing to show
    }
}

}  // namespace ld::win
