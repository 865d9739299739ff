// The PDF's glyphs are drawn by Qt on Linux, which needs the font database of a GUI
// application; it lives to the end of the run.
#include <gtest/gtest.h>

#include <QGuiApplication>

namespace {

class GuiEnvironment : public ::testing::Environment {
    void SetUp() override {
        static int argc = 1;
        static char name[] = "export_tests";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
    }
};
[[maybe_unused]] const auto* const kGui = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace
