// The program's own templates, loaded with a routine for every handler name that records
// which routine ran for which control, so tests see every binding without the application.
#pragma once

#include <gtest/gtest.h>

#include "framework/builtin_templates.h"
#include "framework/template_library.h"
#include "support/test_host.h"

namespace ld::test {

inline std::vector<std::string> NamesIn(std::string_view table) {
    std::vector<std::string> names;
    for (size_t at = 0; at < table.size();) {
        size_t end = table.find('\0', at);
        names.emplace_back(table.substr(at, end - at));
        at = end + 1;
    }
    return names;
}

// "Routine@control" for each routine run; the window's own unit has no name.
inline void RegisterRecorders(HandlerTable& table, std::vector<std::string>& log) {
    for (const std::string& name : NamesIn(BuiltInHandlerNames()))
        table.add(name, [&log, name](Control& sender, EventArgs&) {
            log.push_back(name + "@" + sender.name());
        });
}

class BuiltInTemplates : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterRecorders(routines, log);
        Text error;
        ASSERT_TRUE(library.load(BuiltInTemplateBlock(), BuiltInHandlerNames(), routines, &error))
            << error;
        setTemplates(&library);
        setWindowManager(&manager);
    }
    void TearDown() override {
        for (const auto& w : library.windows()) manager.destroyWindow(w.name);
        setWindowManager(nullptr);
        setTemplates(nullptr);
    }
    Window& load(std::string_view name) {
        EXPECT_TRUE(manager.loadWindow(name));
        return manager.window(name);
    }

    TestHost host;
    std::vector<std::string> log;
    HandlerTable routines;
    TemplateLibrary library;
    WindowManager manager{library.factory()};
};

}  // namespace ld::test
