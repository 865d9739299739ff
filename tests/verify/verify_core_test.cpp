// The verified draw's core: the sealed list's one text and fingerprint, and picks that a
// standard tool recomputes and that stay fair.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>

#include "verify/keyed_pick.h"
#include "verify/sealed_list.h"

namespace ld::verify {
namespace {

SealedList Sample() {
    SealedList list;
    list.levels.push_back({"特等奖", 1, 1, {"销售部", "财务部"}, {"张三"}});
    list.levels.push_back({"一等奖", 5, 5, {}, {}});
    list.names = {"王五（销售部）", "Anna", "李四", "张三（财务部）", "李四"};
    return list;
}

TEST(SealedList, OneTextWhateverTheOrderAndEveryByteCounts) {
    SealedList list = Sample();
    const std::string text = CanonicalText(list);
    EXPECT_EQ(text,
              "luckydraw sealed list v1\n"
              "level\t特等奖\t1\t1\t销售部、财务部\t张三\n"
              "level\t一等奖\t5\t5\t\t\n"
              "name\tAnna\n"
              "name\t张三（财务部）\n"
              "name\t李四\n"
              "name\t李四\n"
              "name\t王五（销售部）\n");
    std::reverse(list.names.begin(), list.names.end());
    EXPECT_EQ(Fingerprint(list), Sha256Of(text));
    const std::optional<SealedList> read = ParseSealedList(text);
    ASSERT_TRUE(read);
    EXPECT_EQ(CanonicalText(*read), text);
    // Anything but the canonical text is refused, so one list has one fingerprint.
    const std::vector<std::string> others = {
        text.substr(0, text.size() - 1), text + "\n",
        "luckydraw sealed list v1\nname\tb\nname\ta\n",
        "luckydraw sealed list v1\nname\ta\nlevel\tx\t1\t1\t\t\n",
        "luckydraw sealed list v1\nlevel\tx\t-1\t1\t\t\n"};
    for (const std::string& other : others) EXPECT_FALSE(ParseSealedList(other)) << other;
    list.names[0] += " ";
    EXPECT_NE(Fingerprint(list), Sha256Of(text));
    EXPECT_EQ(ShortFingerprint(Sha256Of("")), "e3b0 c442 98fc 1c14");
}

// The same numbers as Python's hashlib and hmac give for the documented formulas.
TEST(KeyedPick, AStandardToolGetsTheSamePicks) {
    Digest secret;
    std::iota(secret.begin(), secret.end(), uint8_t{0});
    const Digest seed = EventSeed(secret, "123456789012345678", Sha256Of(""));
    EXPECT_EQ(Hex(seed), "25c8d9e19978e77e32d4a457c19b661c8c934a6a906fe3b2d33fcf2e06d57920");
    std::vector<size_t> top, first;
    for (uint64_t k = 1; k <= 8; ++k) {
        top.push_back(KeyedPick(seed, "特等奖", k, 7));
        first.push_back(KeyedPick(seed, "一等奖", k, 3));
    }
    EXPECT_EQ(top, (std::vector<size_t>{4, 1, 0, 2, 1, 6, 6, 4}));
    EXPECT_EQ(first, (std::vector<size_t>{2, 0, 1, 2, 1, 0, 0, 2}));
    EXPECT_EQ(KeyedPick(seed, "特等奖", 1, 1), 0u);
}

// Chi-square at the 0.1 % level: single picks among 10 names (9 degrees of freedom, 27.88),
// and the ordered pairs of a batch of two from 5 names without putting back (19, 43.82).
TEST(KeyedPick, NamesAndPairsAreEquallyLikely) {
    const Digest seed = Sha256Of("fairness");
    std::vector<int> names(10, 0);
    const int picks = 20000;
    for (int k = 1; k <= picks; ++k) ++names[KeyedPick(seed, "特等奖", static_cast<uint64_t>(k), 10)];
    double chi = 0;
    for (int seen : names) chi += (seen - picks / 10.0) * (seen - picks / 10.0) / (picks / 10.0);
    EXPECT_LT(chi, 27.88);

    std::map<std::pair<size_t, size_t>, int> pairs;
    const int batches = 10000;
    for (int b = 0; b < batches; ++b) {
        std::vector<size_t> pool = {0, 1, 2, 3, 4};
        const size_t first = pool[KeyedPick(seed, "一等奖", 2 * static_cast<uint64_t>(b) + 1, 5)];
        pool.erase(std::find(pool.begin(), pool.end(), first));
        const size_t second = pool[KeyedPick(seed, "一等奖", 2 * static_cast<uint64_t>(b) + 2, 4)];
        ++pairs[{first, second}];
    }
    ASSERT_EQ(pairs.size(), 20u);
    chi = 0;
    for (const auto& [pair, seen] : pairs)
        chi += (seen - batches / 20.0) * (seen - batches / 20.0) / (batches / 20.0);
    EXPECT_LT(chi, 43.82);
}

}  // namespace
}  // namespace ld::verify
