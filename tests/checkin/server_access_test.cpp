// Who gets an answer from the check-in server, and which one: the token, the routes, the
// headers every answer carries, and what a check-in hands to the desk.
#include "server_fixture.h"
#include "services/text.h"

namespace ld::checkin::testing {
namespace {

TEST_F(ServerTest, WithoutTheRightTokenEveryRouteIsForbiddenInChinese) {
    startServer();
    const std::string wrong(kToken, sizeof kToken - 2);
    for (const std::string& request :
         {Get("/"), Get("/?t=" + wrong + "0"), Get("/?t=" + wrong), Get("/app.js?t="),
          Post("/checkin?name=x", "photo"), Post("/checkin?t=" + wrong + "e&name=x", "photo"),
          Get("/?T=" + std::string(kToken))}) {
        Reply reply = Exchange(port_, request);
        EXPECT_EQ(reply.status, 403) << request;
        EXPECT_NE(reply.body.find("二维码"), std::string::npos);
        EXPECT_EQ(reply.header("Content-Type"), "text/html; charset=utf-8");
    }
    EXPECT_TRUE(submissions().empty());
}

TEST_F(ServerTest, OnlyThePagesRoutesExist) {
    startServer();
    const std::string t = std::string("?t=") + kToken;
    EXPECT_EQ(Exchange(port_, Get("/etc/passwd" + t)).status, 404);
    EXPECT_EQ(Exchange(port_, Get("/../CMakeLists.txt" + t)).status, 404);
    EXPECT_EQ(Exchange(port_, Get("/index.html" + t)).status, 404);
    EXPECT_EQ(Exchange(port_, Get("/checkin" + t)).status, 405);
    EXPECT_EQ(Exchange(port_, Post("/" + t, "")).status, 405);
    Reply del = Exchange(port_, "DELETE /" + t + " HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_EQ(del.status, 405);
    EXPECT_EQ(del.header("Allow"), "GET, HEAD");
    EXPECT_EQ(Exchange(port_, "OPTIONS /checkin" + t + " HTTP/1.1\r\nHost: x\r\n\r\n").status, 405);
    EXPECT_TRUE(submissions().empty());
}

TEST_F(ServerTest, EveryAnswerCarriesTheSafetyHeaders) {
    startServer();
    const std::string t = std::string("?t=") + kToken;
    for (const std::string& request :
         {Get("/" + t), Get("/"), Get("/nothing" + t), Post(checkinTarget(), "")}) {
        Reply reply = Exchange(port_, request);
        ASSERT_NE(reply.status, 0) << request;
        const std::string csp = reply.header("Content-Security-Policy");
        EXPECT_NE(csp.find("default-src 'none'"), std::string::npos) << request;
        EXPECT_NE(csp.find("script-src '"), std::string::npos);
        EXPECT_EQ(csp.find("unsafe-inline"), std::string::npos);
        EXPECT_EQ(reply.header("X-Content-Type-Options"), "nosniff");
        EXPECT_EQ(reply.header("Cache-Control"), "no-store");
    }
}

// One response holds the whole page, so a crowded Wi-Fi never leaves a phone an unstyled
// page: its style and script run inline by the nonce its policy names, and only by it.
TEST_F(ServerTest, ThePageComesWholeInOneAnswerAndGivesThePhoneAnIdentifier) {
    startServer();
    Reply page = Exchange(port_, Get(std::string("/?t=") + kToken));
    ASSERT_EQ(page.status, 200);
    const std::string csp = page.header("Content-Security-Policy");
    const size_t at = csp.find("script-src 'nonce-");
    ASSERT_NE(at, std::string::npos) << csp;
    const std::string nonce = csp.substr(at + 18, 32);
    EXPECT_NE(csp.find("style-src 'nonce-" + nonce + "'"), std::string::npos) << csp;
    EXPECT_NE(page.body.find("<style nonce=\"" + nonce + "\">"), std::string::npos);
    EXPECT_NE(page.body.find("<script nonce=\"" + nonce + "\">"), std::string::npos);
    EXPECT_EQ(page.body.find("<link rel=\"stylesheet\""), std::string::npos);
    EXPECT_EQ(page.body.find(" src="), std::string::npos) << "nothing loaded apart";
    EXPECT_NE(page.body.find(std::string("data-token=\"") + kToken), std::string::npos);
    EXPECT_EQ(page.body.find("{{"), std::string::npos);
    EXPECT_NE(Exchange(port_, Get(std::string("/?t=") + kToken)).header("Content-Security-Policy"),
              csp)
        << "a new nonce for every page";
    EXPECT_EQ(page.body.find("http"), std::string::npos) << "nothing from outside";
    const std::string cookie = page.header("Set-Cookie");
    EXPECT_EQ(cookie.rfind("ld_phone=", 0), 0u) << cookie;
    EXPECT_NE(cookie.find("SameSite=Strict"), std::string::npos);

    // A phone that has one keeps it.
    Reply again = Exchange(port_, Get(std::string("/?t=") + kToken,
                                      "Cookie: ld_phone=" + cookie.substr(9, 32) + "\r\n"));
    EXPECT_EQ(again.header("Set-Cookie"), "");
}

TEST_F(ServerTest, ACheckInReachesTheDeskWithThePhoneAndTheAddress) {
    startServer();
    answer_.participant = Gbk("张伟（销售部）");
    answer_.photo = std::string("\xFF\xD8stored\xFF\xD9", 10);
    const std::string phone = "00112233445566778899aabbccddeeff";
    Reply reply = Exchange(port_, Post(checkinTarget("&name=%E5%BC%A0%E4%BC%9F&dept=a%2Bb%20c"),
                                       std::string("\xFF\xD8photo\0bytes", 13),
                                       "Cookie: other=1; ld_phone=" + phone + "\r\n"));
    ASSERT_EQ(reply.status, 200);
    ASSERT_EQ(submissions().size(), 1u);
    const Submission s = submissions()[0];
    EXPECT_EQ(s.name, "张伟");
    EXPECT_EQ(s.department, "a+b c");
    EXPECT_EQ(s.phoneId, phone);
    EXPECT_EQ(s.clientAddress, "127.0.0.1");
    EXPECT_EQ(s.photo, std::string("\xFF\xD8photo\0bytes", 13));
    EXPECT_EQ(reply.header("Content-Type"), "application/json; charset=utf-8");
    EXPECT_NE(reply.body.find("\"status\":\"joined\""), std::string::npos) << reply.body;
    EXPECT_NE(reply.body.find("\"name\":\"张伟（销售部）\""), std::string::npos);
    EXPECT_NE(reply.body.find("\"photo\":\"/9hzdG9yZWT/2Q==\""), std::string::npos);
    EXPECT_EQ(reply.header("Set-Cookie"), "");
}

TEST_F(ServerTest, ACheckInWithoutCookieOrPhotoGetsAnIdentifierAndARefusalItsMessage) {
    startServer();
    answer_ = Outcome{Outcome::Status::Refused, "该姓名已签到，如果您与他人同名，请填写部门", "",
                      "", false};
    Reply reply = Exchange(port_, Post(checkinTarget(), ""));
    EXPECT_EQ(reply.status, 422);
    EXPECT_NE(reply.body.find("\"message\":\"该姓名已签到，如果您与他人同名，请填写部门\""),
              std::string::npos)
        << reply.body;
    ASSERT_EQ(submissions().size(), 1u);
    const Submission s = submissions()[0];
    EXPECT_TRUE(s.photo.empty());
    EXPECT_EQ(s.phoneId.size(), 32u);
    EXPECT_NE(reply.header("Set-Cookie").find("ld_phone=" + s.phoneId), std::string::npos);
}

}  // namespace
}  // namespace ld::checkin::testing
