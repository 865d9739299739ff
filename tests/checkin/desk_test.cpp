// The check-in desk: the name rules, the photo it stores, the name card, the same name from
// the same or another phone, and the log that remembers phones across a restart.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "../services/temp_folder.h"
#include "checkin/checkin_desk.h"
#include "media/exif_writer.h"
#include "media/jpeg_encoder.h"
#include "media/photo_preview.h"
#include "media/picture.h"
#include "services/csv.h"
#include "services/encoding.h"
#include "support/name_card_fonts.h"

namespace ld::checkin {
namespace {

// Name cards need fonts; they live to the end of the run.
class FontsEnvironment : public ::testing::Environment {
    void SetUp() override { fonts_ = std::make_unique<test::NameCardFonts>(); }
    // Before the program's exit: Qt's application cannot be destroyed that late.
    void TearDown() override { fonts_.reset(); }
    std::unique_ptr<test::NameCardFonts> fonts_;
};
[[maybe_unused]] const auto* const kFonts =
    ::testing::AddGlobalTestEnvironment(new FontsEnvironment);

// A phone photo: stored sideways, with the orientation that turns it upright.
std::string SidewaysPhoto(int width, int height) {
    Image image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = image.row(y) + static_cast<size_t>(x) * 4;
            p[0] = x < width / 2 ? 220 : 20;  // left half red
            p[3] = 255;
        }
    ExifBlock exif;
    exif.orientation = 6;
    JpegEncodeOptions options;
    options.segments.push_back({0xE1, MakeExifPayload(exif)});
    return EncodeJpeg(image, options);
}

class CheckinDesk : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(folder.diskPath("photo"));
        desk = makeDesk();
    }
    std::unique_ptr<Desk> makeDesk(const Text& pendingFolder = {}) {
        return std::make_unique<Desk>(
            DeskOptions{folder.path("photo"),
                        folder.path("log.csv"),
                        [this](const Text& who) { joined.push_back(who); },
                        {},
                        pendingFolder});
    }
    Outcome checkIn(const std::string& name, const std::string& phone,
                    const std::string& photo = "", const std::string& department = "") {
        return desk->submit({name, department, phone, "127.0.0.1", photo});
    }
    std::string stored(const std::string& utf8Name) {
        return folder.readRaw("photo/" + utf8Name + ".jpg");
    }

    test::TempFolder folder;
    std::unique_ptr<Desk> desk;
    std::vector<Text> joined;
};

TEST(CheckinNames, RulesAndTheirMessages) {
    EXPECT_EQ(CheckName("\xE3\x80\x80 张三 \t").value, "张三");     // full-width space trimmed
    EXPECT_TRUE(CheckName("一二三四五六七八九十一二三四五六").ok);  // 16
    EXPECT_EQ(CheckName("一二三四五六七八九十一二三四五六七").problem, "姓名不能超过16个字");
    EXPECT_EQ(CheckName("   ").problem, "请填写姓名");
    EXPECT_EQ(CheckName("", "部门").problem, "请填写部门");
    for (std::string bad :
         {"../x", "a/b", "a\\b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", "a.b"})
        EXPECT_FALSE(CheckName(bad).ok) << bad;
    EXPECT_EQ(CheckName(std::string("a\0b", 3)).problem, "姓名中不能有控制字符");
    EXPECT_FALSE(CheckName("a\nb").ok);
    EXPECT_FALSE(CheckName("\xF0\x9F\x98\x80").ok);  // an emoji: not in GBK
    EXPECT_FALSE(CheckName("\xF0\xA0\x80\x80").ok);  // U+20000: GB18030 only
    EXPECT_FALSE(CheckName("\xFF\xFE").ok);          // not UTF-8
    EXPECT_EQ(ParticipantOf("张三", "市场部"), Utf8ToGbk("张三（市场部）"));
}

// One person, one spelling; a name that only looks like another, or shows as boxes, is refused.
TEST(CheckinNames, LookAlikesAreOneNameOrRefused) {
    EXPECT_EQ(CheckName("王\uF92C").value, "王\u90CE");  // compatibility ideograph
    EXPECT_EQ(CheckName("\U0002F800").value, "\u4E3D");  // its supplement, beyond GBK
    EXPECT_EQ(CheckName("Lu\u0308\u0301").value, "L\u01D8");  // ǘ sent decomposed
    EXPECT_EQ(CheckName("l\u00FC\u0301").value, "l\u01D8");   // half composed
    EXPECT_EQ(CheckName("\u304B\u3099").value, "\u304C");      // が
    EXPECT_EQ(CheckName("\u0418\u0306\u043E").value, "\u0419\u043E");
    EXPECT_EQ(CheckName("\uE000\uE001").problem, "姓名中有本程序无法显示的字符，请换一种写法");
    EXPECT_EQ(CheckName("\u0410nna").problem, "姓名中不能混用拉丁字母与西里尔字母或希腊字母");
    EXPECT_FALSE(CheckName("J\u03BFhn").ok);  // Greek omicron
    EXPECT_TRUE(CheckName("\u0410\u043D\u043D\u0430").ok);  // all Cyrillic
    EXPECT_TRUE(CheckName("Anna\u00B7\u674E").ok);
}

TEST_F(CheckinDesk, APhotoIsStoredUprightSmallWithAPreviewTheRollFinds) {
    const Outcome outcome = checkIn(" 张三 ", "phone-a", SidewaysPhoto(2400, 1200), "市场部");
    ASSERT_EQ(outcome.status, Outcome::Status::Joined) << outcome.message;
    EXPECT_EQ(outcome.message, "签到成功，祝您好运！");
    const std::string photo = stored("张三（市场部）");
    EXPECT_EQ(photo, outcome.photo);
    EXPECT_EQ(ReadPictureSize(photo), (Size{800, 1600}));  // turned, long side 1600
    const Image upright = DecodePicture(photo);
    EXPECT_GT(upright.pixel(400, 100)[0], 150);  // the red half is now on top
    EXPECT_LT(upright.pixel(400, 1500)[0], 100);
    const PhotoPreview preview = LoadPhotoPreview(folder.path("photo/张三（市场部）.jpg"));
    EXPECT_TRUE(preview.embedded);
    EXPECT_EQ(joined, std::vector<Text>{*Utf8ToGbk("张三（市场部）")});
    EXPECT_EQ(folder.entryCount(), 2u);  // photo/ and the log: no temporary file left
}

TEST_F(CheckinDesk, WithoutAPhotoANameCardStandsIn) {
    const Outcome outcome = checkIn("李四", "phone-b");
    ASSERT_EQ(outcome.status, Outcome::Status::Joined);
    EXPECT_TRUE(outcome.nameCard);
    EXPECT_EQ(ReadPictureSize(stored("李四")), (Size{960, 1280}));
    EXPECT_TRUE(LoadPhotoPreview(folder.path("photo/李四.jpg")).embedded);
}

TEST_F(CheckinDesk, TheSameNameFromTheSamePhoneReplacesFromAnotherIsRefused) {
    ASSERT_EQ(checkIn("王五", "phone-a").status, Outcome::Status::Joined);
    const Outcome again = checkIn("王五", "phone-a", SidewaysPhoto(300, 200));
    EXPECT_EQ(again.status, Outcome::Status::Replaced);
    EXPECT_EQ(stored("王五"), again.photo);
    const Outcome other = checkIn("王五", "phone-b");
    EXPECT_EQ(other.status, Outcome::Status::Refused);
    EXPECT_EQ(other.message, "该姓名已签到，如果您与他人同名，请填写部门");
    EXPECT_EQ(joined.size(), 1u);  // a replacement adds no pool line

    // The log remembers the phone after a restart; a photo put in by hand is never replaced.
    folder.writeRaw("photo/赵六.JPG", "by hand");
    desk = makeDesk();
    EXPECT_EQ(checkIn("王五", "phone-a").status, Outcome::Status::Replaced);
    EXPECT_EQ(checkIn("赵六", "phone-a").status, Outcome::Status::Refused);
    EXPECT_EQ(checkIn("赵六", "").status, Outcome::Status::Refused);
    EXPECT_EQ(folder.readRaw("photo/赵六.JPG"), "by hand");
}

// A listed person may bring their selfie once: it replaces their card, they stay one entry,
// also after a restart. A photo put in by hand counts by the name before its first dot.
TEST_F(CheckinDesk, AListedPersonsSelfieReplacesTheirCardOnce) {
    ASSERT_EQ(desk->addFromList("刘备", " 销售部 ").status, Outcome::Status::Joined);
    ASSERT_EQ(desk->addFromList("关羽", "").status, Outcome::Status::Joined);
    const std::string card = stored("关羽");
    EXPECT_EQ(checkIn("关羽", "phone-a").message,
              "您已在名单中，无需再签到。如想在大屏幕上显示自己的照片，请选择照片后再提交。");
    desk = makeDesk();
    const Outcome selfie = checkIn("关羽", "phone-a", SidewaysPhoto(300, 200));
    EXPECT_EQ(selfie.status, Outcome::Status::Replaced);
    EXPECT_EQ(stored("关羽"), selfie.photo);
    EXPECT_NE(stored("关羽"), card);
    EXPECT_EQ(checkIn("关羽", "phone-b", SidewaysPhoto(300, 200)).message,
              "该姓名已签到，如果您与他人同名，请填写部门");
    // Sent again without a photo, the selfie stays.
    const Outcome again = checkIn("关羽", "phone-a");
    EXPECT_EQ(again.status, Outcome::Status::Replaced);
    EXPECT_EQ(again.photo, selfie.photo);
    EXPECT_EQ(stored("关羽"), selfie.photo);
    // The department was trimmed: the card is 刘备（销售部）, and the selfie finds it.
    EXPECT_EQ(checkIn("刘备", "phone-c", SidewaysPhoto(300, 200), "销售部").status,
              Outcome::Status::Replaced);
    EXPECT_EQ(joined.size(), 2u);

    folder.writeRaw("photo/张飞.销售部.jpg", "by hand");
    EXPECT_EQ(checkIn("张飞", "phone-d").status, Outcome::Status::Refused);
    EXPECT_EQ(desk->addFromList("张飞", "").status, Outcome::Status::Exists);
}

// Moderated: the photo waits for the operator, the newcomer joins with a name card at once,
// and someone already in keeps the photo they have.
TEST_F(CheckinDesk, AModeratedPhotoWaitsAndANameCardStandsIn) {
    desk = makeDesk(folder.path("pending"));
    const Outcome first = checkIn("王五", "phone-a", SidewaysPhoto(300, 200));
    ASSERT_EQ(first.status, Outcome::Status::Joined) << first.message;
    EXPECT_EQ(folder.readRaw("pending/王五.jpg"), first.photo);  // the phone sees its photo
    EXPECT_EQ(ReadPictureSize(stored("王五")), (Size{960, 1280}));  // the card
    EXPECT_EQ(joined.size(), 1u);
    const std::string card = stored("王五");
    const Outcome again = checkIn("王五", "phone-a", SidewaysPhoto(200, 300));
    EXPECT_EQ(again.status, Outcome::Status::Replaced);
    EXPECT_EQ(folder.readRaw("pending/王五.jpg"), again.photo);
    EXPECT_EQ(stored("王五"), card);
}

TEST_F(CheckinDesk, BadUploadsAreRefusedAndEveryCheckinIsLogged) {
    EXPECT_EQ(checkIn("甲", "p", "just some text").message,
              "无法识别这张照片，请换一张照片，或不带照片签到");
    const std::string photo = SidewaysPhoto(200, 100);
    EXPECT_EQ(checkIn("乙", "p", photo.substr(0, photo.size() / 2)).message,
              "照片没有传完整，请重新发送");
    EXPECT_EQ(checkIn("../x", "p").status, Outcome::Status::Refused);
    EXPECT_TRUE(joined.empty());
    EXPECT_EQ(folder.entryCount(), 2u);
    std::filesystem::directory_iterator photos(folder.diskPath("photo"));
    EXPECT_EQ(photos, std::filesystem::directory_iterator());  // nothing written there
    // Both refused names are free for a good check-in afterwards.
    EXPECT_EQ(checkIn("甲", "p").status, Outcome::Status::Joined);

    const std::string log = folder.readRaw("log.csv");
    EXPECT_TRUE(log.starts_with("\xEF\xBB\xBF时间,姓名,部门,客户端地址,手机标识,结果\r\n"));
    EXPECT_NE(log.find(",甲,,127.0.0.1,p,拒绝：无法识别这张照片"), std::string::npos);
    EXPECT_NE(log.find(",甲,,127.0.0.1,p,签到成功\r\n"), std::string::npos);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 5);
}

// Names typed on a phone reach a spreadsheet through the log: none may run there as a
// formula, and the log still gives the phones back their names after a restart.
TEST_F(CheckinDesk, NamesThatLookLikeFormulasAreLoggedInertAndReadBack) {
    ASSERT_EQ(checkIn("@SUM(A1)", "phone-a", "", "-2+3").status, Outcome::Status::Joined);
    checkIn("=HYPERLINK(\"http://x\",\"y\")", "phone-b");
    checkIn("+cmd|' /C calc'!A0", "phone-c");
    const std::string log = folder.readRaw("log.csv");
    int guarded = 0;
    for (const auto& row : ParseCsv(log))
        for (const std::string& field : row) {
            EXPECT_EQ(std::string_view("=+-@").find(field.empty() ? 'x' : field[0]),
                      std::string_view::npos)
                << field;
            guarded += field.starts_with("'");
        }
    EXPECT_EQ(guarded, 4);
    desk = makeDesk();
    EXPECT_EQ(checkIn("@SUM(A1)", "phone-a", "", "-2+3").status, Outcome::Status::Replaced);
}

// Requests the server refused before the desk are logged so the operator sees trouble; a
// flood of nameless ones (connections turned away) is one line a minute per address.
TEST_F(CheckinDesk, RefusalsAreCountedAndLoggedAFloodOnce) {
    desk->refused({"张三", "", "phone-a", "10.0.0.9", ""}, "签到太频繁（429）");
    for (int i = 0; i < 50; ++i) desk->refused({"", "", "", "10.0.0.8", ""}, "连接太多（503）");
    desk->refused({"", "", "", "10.0.0.7", ""}, "连接太多（503）");
    EXPECT_EQ(desk->refusedCount(), 52);
    const std::string log = folder.readRaw("log.csv");
    EXPECT_NE(log.find(",张三,,10.0.0.9,phone-a,拒绝：签到太频繁（429）\r\n"), std::string::npos);
    EXPECT_NE(log.find(",,,10.0.0.8,,拒绝：连接太多（503）\r\n"), std::string::npos);
    EXPECT_NE(log.find(",,,10.0.0.7,,拒绝：连接太多（503）\r\n"), std::string::npos);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4);
}

TEST_F(CheckinDesk, ConcurrentCheckinsOfOneNameLetOneIn) {
    std::atomic<int> joinedCount = 0;
    std::vector<std::thread> phones;
    for (int i = 0; i < 6; ++i) {
        phones.emplace_back([&, i] {
            if (checkIn("钱七", "phone-" + std::to_string(i)).status == Outcome::Status::Joined)
                ++joinedCount;
        });
    }
    for (auto& t : phones) t.join();
    EXPECT_EQ(joinedCount, 1);
    EXPECT_EQ(joined.size(), 1u);
}

}  // namespace
}  // namespace ld::checkin
