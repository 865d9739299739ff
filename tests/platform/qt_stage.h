// Widget tests run the real Qt host (offscreen) on windows built in the test: the window
// manager creates them, the Qt Gui realises them, QTest drives the mouse and keyboard.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <functional>
#include <memory>

#include "framework/window_manager.h"
#include "platform/qt/control_view.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/event_loop.h"
#include "platform/qt/qt_gui.h"
#include "platform/qt/shell.h"
#include "platform/qt/stage_window.h"
#include "support/test_host.h"

namespace ld::qt::test {

class QtStageTest : public ::testing::Test {
protected:
    QtStageTest();
    ~QtStageTest() override;

    // Makes the factory answer `name` with windows built by `build`.
    void define(const std::string& name, std::function<void(Window&)> build);
    // Loads a defined window and waits until it is on screen.
    Window& load(const std::string& name, Window* parent = nullptr);
    StageWindow& stage(const Window& w) { return *gui.stageOf(w); }
    QWidget* widgetOf(const Control& c) { return gui.viewOf(c)->widget(); }
    // The window is the active one (offscreen windows activate on request).
    void activate(Window& w);

    // A control with position and size, optionally inside a container.
    static Control& add(Window& w, ControlType type, const char* name, QRect r,
                        Control* parent = nullptr);

    QtEventLoop loop;
    QtDialogs dialogs;
    ld::test::RecordingShell shell;
    ld::test::RecordingSound sound;
    QtScreen screen;
    QtGui gui{loop};
    std::map<std::string, std::function<void(Window&)>> builders;
    WindowManager manager;
};

// JPEG or PNG bytes of a plain image in one colour.
Bytes ImageBytes(QSize size, QColor color, const char* format = "JPG");
// The colour of one logical pixel of a widget as drawn (children included).
QColor PixelOf(QWidget* widget, QPoint at);

}  // namespace ld::qt::test
