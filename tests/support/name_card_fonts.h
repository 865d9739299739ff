// Name cards and PDF text are drawn with Qt's fonts on Linux, which need the font database
// of a GUI application while they are drawn; Windows draws them with GDI and needs nothing.
#pragma once

#ifdef _WIN32

namespace ld::test {
struct NameCardFonts {
    NameCardFonts() {}  // user-provided: a variable held only for its lifetime is no warning
};
}  // namespace ld::test

#else

#include <QGuiApplication>
#include <memory>

namespace ld::test {
class NameCardFonts {
public:
    NameCardFonts() {
        if (!QGuiApplication::instance()) app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }

private:
    int argc_ = 1;
    char name_[6] = "tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};
}  // namespace ld::test

#endif
