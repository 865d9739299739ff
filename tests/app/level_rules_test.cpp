// Who may win a level: the groups and the names left out, the 奖项规则 window that keeps
// them, and a fair pick within what the rules allow.
#include "app/draw/level_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "app/draw/draw_engine.h"
#include "app/tools/event_tools.h"
#include "app/tools/level_rules_window.h"
#include "app/tools/operator_desk.h"
#include "draw_fixture.h"
#include "services/profile.h"

namespace ld::test {
namespace {

double ChiSquare(const std::vector<int>& counts, double expected) {
    double sum = 0;
    for (int c : counts) sum += (c - expected) * (c - expected) / expected;
    return sum;
}

class LevelRules : public DrawTest {
protected:
    void SetUp() override {
        DrawTest::SetUp();
        disableEffects(true);
    }
    void rule(const std::string& key, const std::string& value) {
        WriteConfigText(ConfigStore::path(), "zbt", Gbk(key), Gbk(value));
    }
    Text stored(const std::string& key) {
        return ReadConfigText(ConfigStore::path(), "zbt", Gbk(key), "absent");
    }
};

TEST_F(LevelRules, GroupsAndListsAsOperatorsWriteThem) {
    EXPECT_EQ(app::GroupOf(Gbk("张三（销售部）")), Gbk("销售部"));
    EXPECT_EQ(app::GroupOf(Gbk("张三（一）（销售部）")), Gbk("销售部"));
    EXPECT_EQ(app::GroupOf(Gbk("张三")), "");
    EXPECT_EQ(app::GroupOf(Gbk("张三（　销售部 ）")), Gbk("销售部"));  // spaces of either width
    EXPECT_EQ(app::GroupOf(Gbk("张三（啊）")), Gbk("啊"));  // B0 A1: not a space's bytes
    EXPECT_EQ(app::GroupOf(Gbk("（销售部）")), "");  // a name, not a group
    EXPECT_EQ(app::GroupOf(Gbk("张三(销售部)")), "");
    // "、" and "，" are split as characters, never inside another character's bytes.
    EXPECT_EQ(app::SplitRuleList(Gbk(" 甲 、乙,丙，\r\n丁\t\t戊;; ")),
              (std::vector<Text>{Gbk("甲"), Gbk("乙"), Gbk("丙"), Gbk("丁"), Gbk("戊")}));
    app::LevelRule rule;
    rule.groups = {Gbk("销售部")};
    rule.excluded = {Gbk("李四"), Gbk("王五（销售部）")};
    EXPECT_TRUE(rule.allows(Gbk("张三（销售部）")));
    EXPECT_FALSE(rule.allows(Gbk("李四（销售部）")));  // by the name without its group
    EXPECT_FALSE(rule.allows(Gbk("李四（ 销售部　）")));
    EXPECT_FALSE(rule.allows(Gbk("王五（销售部）")));
    EXPECT_FALSE(rule.allows(Gbk("赵六（财务部）")));
    EXPECT_FALSE(rule.allows(Gbk("孙七")));  // in no group
}

TEST_F(LevelRules, TheWindowWritesOnlyWhatIsSet) {
    setLevel(1, "特等奖", "1");
    setLevel(2, "一等奖", "3");
    setPool({"甲（销售部）", "乙（财务部）", "丙", "丁（销售部）"});
    rule("舞台屏幕", "1");  // the file exists with a key of its own
    const Text before = folder.read("peizhi.a");

    // Saved untouched: not one byte changes.
    host.dialogs.rulesAnswers = {ScriptedDialogs::RulesEdit([](auto&) {})};
    app::EditLevelRules();
    ASSERT_EQ(host.dialogs.rulesShown.size(), 1u);
    const auto& shown = host.dialogs.rulesShown[0];
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].level, Gbk("一等奖"));
    EXPECT_EQ(shown[1].groups, (std::vector<Text>{Gbk("销售部"), Gbk("财务部")}));
    EXPECT_EQ(shown[1].checked, (std::vector<bool>{false, false}));
    EXPECT_EQ(folder.read("peizhi.a"), before);

    host.dialogs.rulesAnswers = {ScriptedDialogs::RulesEdit([](auto& levels) {
        levels[1].checked = {true, false};
        levels[1].excluded = Gbk("丁，戊");
    })};
    app::EditLevelRules();
    EXPECT_EQ(stored("一等奖参与部门"), Gbk("销售部"));
    EXPECT_EQ(stored("一等奖不参与"), Gbk("丁、戊"));
    EXPECT_EQ(stored("特等奖参与部门"), "absent");
    EXPECT_EQ(stored("特等奖不参与"), "absent");

    // Shown again with what is stored; cancelled, nothing changes.
    host.dialogs.rulesAnswers = {std::nullopt};
    app::EditLevelRules();
    EXPECT_EQ(host.dialogs.rulesShown[2][1].checked, (std::vector<bool>{true, false}));
    EXPECT_EQ(host.dialogs.rulesShown[2][1].excluded, Gbk("丁、戊"));

    // The console's line and count for each level.
    const ConsoleView view = app::CurrentConsoleView();
    EXPECT_EQ(view.levels[0].rule, Gbk("全部参与"));
    EXPECT_EQ(view.levels[0].eligible, 4);
    EXPECT_EQ(view.levels[1].rule, Gbk("部门：销售部；不参与：2 人"));
    EXPECT_EQ(view.levels[1].eligible, 1);
}

TEST_F(LevelRules, ALevelWithNobodyAllowedRefusesToStart) {
    setLevel(1, "特等奖", "3");
    designate(1, 1, "丙");
    setPool({"甲（销售部）", "乙（财务部）", "丙", "丁（销售部）", "戊（销售部）"});
    rule("特等奖参与部门", "市场部");
    choose("特等奖");
    const Text pool = state().poolText;
    click();
    EXPECT_TRUE(
        lastMessageIs("本奖项没有可以中奖的人：奖项规则允许的人都已中奖或不在名单中。\r\n"
                      "请在“奖项规则”中检查参与部门和不参与名单。",
                      16, "奖项规则"));
    EXPECT_EQ(caption(), Gbk("开始抽奖"));
    EXPECT_EQ(state().poolText, pool);

    // Designated winners are not bound: the third draw shows 丙 though no group allows him.
    rule("特等奖参与部门", "销售部");
    for (int i = 0; i < 3; ++i) drawOne();
    EXPECT_EQ(control("透明标签_中奖人").text(), Gbk("丙"));
    ASSERT_EQ(state().pickLogList.size(), 3u);
    for (const Text& pick : state().pickLogList) EXPECT_EQ(app::GroupOf(pick), Gbk("销售部"));
}

// Uniform within the allowed names, for single stops and for batches (names and pairs);
// nobody else ever. Each stop writes its files, so the counts are kept small. 0.1 % critical
// values: 20.52 (5 degrees), 36.12 (14 degrees).
TEST_F(LevelRules, FairWithinTheAllowedNamesAlone) {
    allowRepeats(true);
    app::SeedWinnerPickerForTest(5);
    setLevel(1, "特等奖", "1000000");
    setLevel(2, "一等奖", "1000000");
    WriteConfigText(ConfigStore::path(), "zbt", Gbk("一等奖每次人数"), "3");
    std::vector<Text> allowed;
    for (int i = 0; i < 6; ++i) {
        const Text name = "a" + std::to_string(i) + Gbk("（销售部）");
        allowed.push_back(name);
        state().poolText += name + "\r\n";
        state().poolText += "b" + std::to_string(i) + Gbk("（财务部）") + "\r\n";
    }
    state().poolText += Gbk("c（销售部）\r\nd\r\n");
    rule("特等奖参与部门", "销售部");
    rule("特等奖不参与", "c");
    rule("一等奖参与部门", "销售部");
    rule("一等奖不参与", "c");
    const auto index = [&](const Text& name) {
        const auto at = std::find(allowed.begin(), allowed.end(), name);
        return at == allowed.end() ? size_t{99} : static_cast<size_t>(at - allowed.begin());
    };

    choose("特等奖");
    std::vector<int> singles(6);
    for (int stop = 0; stop < 600; ++stop) {
        drawOne();
        const size_t i = index(state().pickedName);
        ASSERT_LT(i, 6u) << state().pickedName;
        ++singles[i];
    }
    EXPECT_LT(ChiSquare(singles, 100), 20.52);

    choose("一等奖");
    std::vector<int> names(6), pairs(15);
    for (int stop = 0; stop < 300; ++stop) {
        const size_t before = state().pickLogList.size();
        drawOne();
        ASSERT_EQ(state().pickLogList.size(), before + 3);
        std::vector<size_t> batch;
        for (size_t k = before; k < before + 3; ++k) batch.push_back(index(state().pickLogList[k]));
        std::sort(batch.begin(), batch.end());
        ASSERT_LT(batch.back(), 6u);
        for (size_t i = 0; i < 3; ++i) {
            ++names[batch[i]];
            for (size_t j = i + 1; j < 3; ++j)
                ++pairs[batch[i] * 5 - batch[i] * (batch[i] + 1) / 2 + batch[j] - 1];
        }
    }
    EXPECT_LT(ChiSquare(names, 150), 20.52);
    EXPECT_LT(ChiSquare(pairs, 60), 36.12);
}

}  // namespace
}  // namespace ld::test
