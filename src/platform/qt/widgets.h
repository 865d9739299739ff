// One widget class per control type. Each draws its control from the model and turns input
// back into model changes and events; none knows which screen it is on.
#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include "platform/qt/control_view.h"
#include "platform/qt/pictures.h"

class QLineEdit;
class QPlainTextEdit;

namespace ld::qt {

// Creates the widget of a control inside `parent`; nullptr for controls without one
// (Timer, CommonDlg).
ControlView* CreateControlView(Control& control, QWidget* parent);

// Text drawn straight over the window's background, in its font and colour, with no box.
// It is not clipped to its width: a label of width 0 still shows its text.
class TransLabelWidget : public QWidget, public ControlView {
public:
    TransLabelWidget(Control& control, QWidget* parent);
    QWidget* widget() override { return this; }
    void sync(int index) override;
    QRect viewRect() const override;
    bool passive() const override { return true; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int alignment() const;
    QRect textRect() const;  // relative to the model's origin
};

class LabelWidget : public QLabel, public ControlView {
public:
    LabelWidget(Control& control, QWidget* parent);
    QWidget* widget() override { return this; }
    void sync(int index) override;
    bool passive() const override { return true; }
};

// Display modes: 0 top-left at natural size, 1 stretched, 2 centred and shrunk to fit.
class PicBoxWidget : public QWidget, public ControlView {
public:
    PicBoxWidget(Control& control, QWidget* parent);
    QWidget* widget() override { return this; }
    void sync(int index) override;
    bool passive() const override { return true; }
    // What is drawn now (for tests): null when the picture is empty or no picture.
    const DrawnPicture& drawn();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int generation_ = 0, decodedGeneration_ = -1;
    QSize decodedSize_;
    qreal decodedRatio_ = 0;
    DrawnPicture drawn_;
};

// The picture-faced start button: face, caption, font, tooltip, a rounded outline and the
// space bar while it has the focus.
class SuperButtonWidget : public QAbstractButton, public ControlView {
public:
    SuperButtonWidget(Control& control, QWidget* parent);
    QWidget* widget() override { return this; }
    void sync(int index) override;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    void updateMask();
    QImage face_;
    QImage faceScaled_;
};

// A bar of one pixel that the user drags across its length; the drop reports the old and
// the new position.
class SplitterBarWidget : public QWidget, public ControlView {
public:
    SplitterBarWidget(Control& control, QWidget* parent);
    QWidget* widget() override { return this; }
    void sync(int index) override;
    QRect viewRect() const override;
    bool passive() const override { return true; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    bool vertical() const;
    int position() const;
    int dragOffset(QPointF global) const;
    bool dragging_ = false;
    QPointF dragStart_;
};

// Single-line or multi-line; masked for passwords. The program's text follows every edit.
class EditBoxWidget : public QWidget, public ControlView {
public:
    EditBoxWidget(Control& control, QWidget* parent);
    QWidget* widget() override { return this; }
    void sync(int index) override;
    QWidget* editor() const;

protected:
    void showEvent(QShowEvent*) override;

private:
    void syncText();
    void takeText();
    QLineEdit* line_ = nullptr;
    QPlainTextEdit* lines_ = nullptr;
    bool textStale_ = false;
    bool taking_ = false;
};

class ButtonWidget : public QPushButton, public ControlView {
public:
    ButtonWidget(Control& control, QWidget* parent);
    QWidget* widget() override { return this; }
    void sync(int index) override;
};

class CheckBoxWidget : public QCheckBox, public ControlView {
public:
    CheckBoxWidget(Control& control, QWidget* parent);
    QWidget* widget() override { return this; }
    void sync(int index) override;
};

class ComboBoxWidget : public QComboBox, public ControlView {
public:
    ComboBoxWidget(Control& control, QWidget* parent);
    QWidget* widget() override { return this; }
    void sync(int index) override;
    void syncItems() override;

private:
    void showChosen();
};

class ListBoxWidget : public QListWidget, public ControlView {
public:
    ListBoxWidget(Control& control, QWidget* parent);
    QWidget* widget() override { return this; }
    void sync(int index) override;
    void syncItems() override;
};

// A container: its children live inside it and are cut off at its edges.
class GroupBoxWidget : public QGroupBox, public ControlView {
public:
    GroupBoxWidget(Control& control, QWidget* parent);
    QWidget* widget() override { return this; }
    void sync(int index) override;
    bool passive() const override { return true; }
};

// A filled, framed rectangle that contains other controls.
class ShapeBoxWidget : public QWidget, public ControlView {
public:
    ShapeBoxWidget(Control& control, QWidget* parent);
    QWidget* widget() override { return this; }
    bool passive() const override { return true; }

protected:
    void paintEvent(QPaintEvent*) override;
};

}  // namespace ld::qt
