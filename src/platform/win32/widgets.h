// One window class per control type. Each draws its control from the model and turns input
// back into model changes and events; none knows which screen it is on. The system's own
// controls (EDIT, BUTTON, COMBOBOX, LISTBOX, STATIC) serve where the program's controls are
// the standard ones; the others are our classes, painted off-screen.
#pragma once

#include "platform/win32/control_view.h"
#include "platform/win32/pictures.h"

namespace ld::win {

// Creates the window of a control inside `parent`; nullptr for controls without one
// (Timer, CommonDlg, MenuItem).
ControlView* CreateControlView(Control& control, HWND parent);
// Makes a view's window: a child of `parent` with our relay.
HWND CreateChild(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent);

// Text drawn straight over the parent's background, in its font and colour, with no box.
// It is not clipped to its width: a label of width 0 still shows its text.
class TransLabelView : public ControlView {
public:
    TransLabelView(Control& control, HWND parent);
    void sync(int index) override;
    RECT viewRect() const override;
    bool passive() const override { return true; }
    bool handle(UINT, WPARAM, LPARAM, LRESULT&) override;

private:
    UINT format() const;
    RECT textRect() const;  // logical, relative to the model's origin
    // The window covers only its letters (and its box where a mouse event is bound): a
    // window paints all of its area, so an empty label would otherwise hide its neighbours.
    void updateRegion();
};

class LabelView : public ControlView {
public:
    LabelView(Control& control, HWND parent);
    void sync(int index) override;
    bool passive() const override { return true; }
    HBRUSH colors(HDC dc) override;
    ~LabelView() override;

private:
    HBRUSH back_ = nullptr;
};

// Display modes: 0 top-left at natural size, 1 stretched, 2 centred and shrunk to fit.
class PicBoxView : public ControlView {
public:
    PicBoxView(Control& control, HWND parent);
    void sync(int index) override;
    bool passive() const override { return true; }
    bool handle(UINT, WPARAM, LPARAM, LRESULT&) override;
    const DrawnPicture& drawn();

private:
    int generation_ = 0, decodedGeneration_ = -1;
    SIZE decodedSize_{};
    UINT decodedDpi_ = 0;
    DrawnPicture drawn_;
};

// The picture-faced start button: face, caption, font, tooltip, the rounded window region
// and the space bar while it has the focus.
class SuperButtonView : public ControlView {
public:
    SuperButtonView(Control& control, HWND parent);
    void sync(int index) override;
    bool handle(UINT, WPARAM, LPARAM, LRESULT&) override;

private:
    void paint(HDC dc);
    void updateRegion();
    void click();
    Image face_, greyFace_;
    Bitmap scaled_;
    bool scaledGrey_ = false;
    bool down_ = false, spaceDown_ = false, hover_ = false;
    HWND tooltip_ = nullptr;
};

// A bar of one pixel that the user drags across its length; the drop reports the old and
// the new position.
class SplitterBarView : public ControlView {
public:
    SplitterBarView(Control& control, HWND parent);
    void sync(int index) override;
    RECT viewRect() const override;
    bool passive() const override { return true; }
    bool handle(UINT, WPARAM, LPARAM, LRESULT&) override;

private:
    bool vertical() const;
    int position() const;
    bool dragging_ = false;
    POINT dragStart_{};
};

// Single-line or multi-line; masked for passwords. The program's text follows every edit.
class EditBoxView : public ControlView {
public:
    EditBoxView(Control& control, HWND parent);
    void sync(int index) override;
    void command(WORD code) override;

private:
    void syncText();
    bool stale_ = false, taking_ = false, setting_ = false;
};

class ButtonView : public ControlView {
public:
    ButtonView(Control& control, HWND parent);
    void sync(int index) override;
    void command(WORD code) override;
};

class CheckBoxView : public ControlView {
public:
    CheckBoxView(Control& control, HWND parent);
    void sync(int index) override;
    void command(WORD code) override;
};

class ComboBoxView : public ControlView {
public:
    ComboBoxView(Control& control, HWND parent);
    void sync(int index) override;
    void syncItems() override;
    void command(WORD code) override;
    // The drop-down list is part of the window: it reaches below the field.
    RECT viewRect() const override;
    bool dropped() const;

private:
    void showChosen();
    void choose();
    bool filling_ = false;
    LONG lastChoiceTime_ = -1;
    int lastChoice_ = -2;
};

class ListBoxView : public ControlView {
public:
    ListBoxView(Control& control, HWND parent);
    void sync(int index) override;
    void syncItems() override;
};

// A container: its children live inside it and are cut off at its edges.
class GroupBoxView : public ControlView {
public:
    GroupBoxView(Control& control, HWND parent);
    void sync(int index) override;
    bool passive() const override { return true; }
    bool handle(UINT, WPARAM, LPARAM, LRESULT&) override;
    HBRUSH backBrush() override;
};

// A filled, framed rectangle that contains other controls (the settings panel).
class ShapeBoxView : public ControlView {
public:
    ShapeBoxView(Control& control, HWND parent);
    ~ShapeBoxView() override;
    void sync(int index) override;
    bool passive() const override { return true; }
    bool handle(UINT, WPARAM, LPARAM, LRESULT&) override;
    HBRUSH backBrush() override;

private:
    void paint(HDC dc);
    HBRUSH brush_ = nullptr;
    COLORREF brushColor_ = CLR_INVALID;
};

}  // namespace ld::win
