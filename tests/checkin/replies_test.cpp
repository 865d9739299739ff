// The parts of the server's answers that hostile input reaches: the cookie a client sends
// and the JSON that carries names back to the page.
#include <gtest/gtest.h>

#include "checkin/checkin_replies.h"

namespace ld::checkin {
namespace {

TEST(PhoneCookie, OnlyOurOwnWellFormedIdentifierIsTaken) {
    const std::string id = "0123456789abcdef0123456789abcdef";
    EXPECT_EQ(PhoneIdFromCookies("ld_phone=" + id), id);
    EXPECT_EQ(PhoneIdFromCookies("a=b; ld_phone=" + id + "; c=d"), id);
    EXPECT_EQ(PhoneIdFromCookies("xld_phone=" + id), "");
    EXPECT_EQ(PhoneIdFromCookies("ld_phone=" + id.substr(1)), "");
    EXPECT_EQ(PhoneIdFromCookies("ld_phone=" + id + "0"), "");
    EXPECT_EQ(PhoneIdFromCookies("ld_phone=../../" + id.substr(6)), "");
    EXPECT_EQ(PhoneIdFromCookies("ld_phone=0123456789ABCDEF0123456789ABCDEF"), "");
    EXPECT_EQ(PhoneIdFromCookies(""), "");
    EXPECT_NE(NewPhoneId(), NewPhoneId());
    EXPECT_EQ(PhoneIdFromCookies("ld_phone=" + NewPhoneId()).size(), 32u);
}

TEST(CheckinJson, ANameCannotBreakOutOfItsString) {
    EXPECT_EQ(JsonString("a\"b\\c"), R"("a\"b\\c")");
    EXPECT_EQ(JsonString(std::string("x\0\x1f\n", 4)), R"("x\u0000\u001f\n")");
    EXPECT_EQ(JsonString("</script><b>&"), R"("\u003c/script\u003e\u003cb\u003e\u0026")");
    EXPECT_EQ(JsonString("张伟"), "\"张伟\"");
}

TEST(CheckinJson, PhotoBase64EndsRightForEveryLength) {
    EXPECT_EQ(Base64(""), "");
    EXPECT_EQ(Base64("f"), "Zg==");
    EXPECT_EQ(Base64("fo"), "Zm8=");
    EXPECT_EQ(Base64("foo"), "Zm9v");
    EXPECT_EQ(Base64("\xff\xfe\xfd\xfc"), "//79/A==");
}

}  // namespace
}  // namespace ld::checkin
