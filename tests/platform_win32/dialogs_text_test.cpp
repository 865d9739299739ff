// What the Win32 dialogs are given and give back: the program's file filter in the file
// dialogs' form, the message box's answers as the program counts them, and Windows font
// names standing in for faces the machine lacks.
#include <gtest/gtest.h>

#include "platform/win32/dialogs.h"
#include "platform/win32/win_text.h"

namespace ld::win {
namespace {

TEST(Win32Dialogs, TheFilterBecomesPairsEndingInTwoNulls) {
    using namespace std::string_literals;
    EXPECT_EQ(ToDialogFilter(Gbk("图形文件(*.jpg)|*.jpg")),
              L"\x56FE\x5F62\x6587\x4EF6(*.jpg)\0*.jpg\0\0"s);
    EXPECT_EQ(ToDialogFilter(Gbk("文本(*.txt)|*.txt|所有文件|*.*|")),
              L"\x6587\x672C(*.txt)\0*.txt\0\x6240\x6709\x6587\x4EF6\0*.*\0\0"s);
    EXPECT_EQ(ToDialogFilter(Text()), L"*.*\0*.*\0\0"s);
}

TEST(Win32Dialogs, AnswersCountFromZeroAsTheProgramDoes) {
    EXPECT_EQ(AnswerOf(IDOK), msg::kAnswerOk);
    EXPECT_EQ(AnswerOf(IDCANCEL), msg::kAnswerCancel);
    EXPECT_EQ(AnswerOf(IDYES), msg::kAnswerYes);
    EXPECT_EQ(AnswerOf(IDNO), msg::kAnswerNo);
    EXPECT_EQ(AnswerOf(0), msg::kAnswerCancel);  // the box could not be shown
}

TEST(Win32Fonts, AFaceTheMachineLacksGetsAnInstalledOne) {
    const std::wstring missing = ResolvedFace(L"No Such Face 42");
    EXPECT_NE(missing, L"No Such Face 42");
    EXPECT_EQ(ResolvedFace(missing), missing);  // what stands in is installed itself
    EXPECT_NE(FontFor(FontValue{Gbk("隶书"), 24}, 96), nullptr);
}

}  // namespace
}  // namespace ld::win
