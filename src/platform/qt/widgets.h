// One widget class per control type. Each draws its control from the model and turns input
// back into model changes and events; none knows which screen it is on. ControlView comes
// first among the bases: it must outlive the widget's own tear-down, which still sends
// events to the input relay.
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
class TransLabelWidget : public ControlView, public QWidget {
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

class LabelWidget : public ControlView, public QLabel {
public:
    LabelWidget(Control& control, QWidget* parent);
    QWidget* widget() override { return this; }
    void sync(int index) override;
    bool passive() const override { return true; }
};

// Display modes: 0 top-left at natural size, 1 stretched, 2 centred and shrunk to fit.
class PicBoxWidget : public ControlView, public QWidget {
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
class SuperButtonWidget : public ControlView, public QAbstractButton {
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
class SplitterBarWidget : public ControlView, public QWidget {
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
class EditBoxWidget : public ControlView, public QWidget {
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

class ButtonWidget : public ControlView, public QPushButton {
public:
    ButtonWidget(Control& control, QWidget* parent);
    QWidget* widget() override { return this; }
    void sync(int index) override;
};

class CheckBoxWidget : public ControlView, public QCheckBox {
public:
    CheckBoxWidget(Control& control, QWidget* parent);
    QWidget* widget() override { return this; }
    void sync(int index) override;
};

class ComboBoxWidget : public ControlView, public QComboBox {
public:
    ComboBoxWidget(Control& control, QWidget* parent);
    QWidget* widget() override { return this; }
    void sync(int index) override;
    void syncItems() override;

private:
    void showChosen();
};

class ListBoxWidget : public ControlView, public QListWidget {
public:
    ListBoxWidget(Control& control, QWidget* parent);
    QWidget* widget() override { return this; }
    void sync(int index) override;
    void syncItems() override;
};

// A container: its children live inside it and are cut off at its edges.
class GroupBoxWidget : public ControlView, public QGroupBox {
public:
    GroupBoxWidget(Control& control, QWidget* parent);
    QWidget* widget() override { return this; }
    void sync(int index) override;
    bool passive() const override { return true; }
};

// A filled, framed rectangle that contains other controls.
class ShapeBoxWidget : public ControlView, public QWidget {
public:
    ShapeBoxWidget(Control& control, QWidget* parent);
    QWidget* widget() override { return this; }
    bool passive() const override { return true; }

protected:
    void paintEvent(QPaintEvent*) override;
};

}  // namespace ld::qt
