// The real draw screen under the test host: the program's own templates and handlers, a
// fresh program folder, a fresh application state. Files can be laid out before `start()`,
// which loads the draw screen (and so runs its start-up).
#pragma once

#include <gtest/gtest.h>

#include "app/common/app_state.h"
#include "app/handlers.h"
#include "framework/builtin_templates.h"
#include "framework/template_library.h"
#include "program_folder.h"
#include "support/test_host.h"

namespace ld::test {

class StageTest : public ::testing::Test {
protected:
    void SetUp() override {
        app::RegisterHandlers(routines);
        Text error;
        ASSERT_TRUE(library.load(BuiltInTemplateBlock(), BuiltInHandlerNames(), routines, &error))
            << error;
        setTemplates(&library);
        setWindowManager(&manager);
        app::InitialiseApplication();
    }
    void TearDown() override {
        for (const auto& w : library.windows()) manager.destroyWindow(w.name);
        setWindowManager(nullptr);
        setTemplates(nullptr);
    }

    // Loads the draw screen; its created event runs start-up.
    Window& start() {
        EXPECT_TRUE(manager.loadWindow(app::kMainWindow));
        host.loop.runPosted();
        return manager.window(app::kMainWindow);
    }
    Control& control(std::string_view utf8Name) { return app::StageControl(utf8Name); }
    // Raises an event of a control of the draw screen, as the host does for user input.
    void raise(std::string_view utf8Name, int event, EventArgs args = {}) {
        control(utf8Name).raise(event, args);
        host.loop.runPosted();
    }

    ProgramFolder folder;
    TestHost host;
    HandlerTable routines;
    TemplateLibrary library;
    WindowManager manager{library.factory()};
};

}  // namespace ld::test
