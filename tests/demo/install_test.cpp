// The portable folder that `cmake --install` makes for the event computer: the program, an
// empty photo folder, the guides and a desktop entry; and the program starts from it with
// the demo event laid in, using that folder as its data folder.
#include <chrono>
#include <thread>

#include "demo_fixture.h"

namespace ld::test {
namespace {

namespace fs = std::filesystem;

class PortableFolder : public DemoEventTest {
protected:
    void SetUp() override {
        DemoEventTest::SetUp();
        target_ = std::make_unique<ScratchFolder>("ld-install");
        installed_ = target_->path() / "抽奖";  // a folder name like an operator's
        ASSERT_EQ(RunProcess({LD_CMAKE_COMMAND, "--install", LD_BUILD_DIR, "--prefix",
                              installed_.string()}),
                  0);
    }

    std::unique_ptr<ScratchFolder> target_;
    fs::path installed_;
};

TEST_F(PortableFolder, HoldsTheProgramAnEmptyPhotoFolderAndTheGuides) {
    const fs::path program = installed_ / "luckydraw";
    ASSERT_TRUE(fs::is_regular_file(program));
    EXPECT_NE(fs::status(program).permissions() & fs::perms::owner_exec, fs::perms::none);
    ASSERT_TRUE(fs::is_directory(installed_ / "photo"));
    EXPECT_TRUE(fs::is_empty(installed_ / "photo"));
    EXPECT_TRUE(fs::is_regular_file(installed_ / "README.md"));
    EXPECT_NE(ReadFile(installed_ / "操作指南.md").find("抽奖"), std::string::npos);

    // The menu entry points into this folder, wherever it was installed.
    const std::string entry = ReadFile(installed_ / "luckydraw.desktop");
    EXPECT_NE(entry.find("[Desktop Entry]"), std::string::npos);
    EXPECT_NE(entry.find("Exec=\"" + program.string() + "\""), std::string::npos) << entry;
    EXPECT_NE(entry.find("Icon=" + (installed_ / "luckydraw.svg").string()), std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(installed_ / "luckydraw.svg"));
}

TEST_F(PortableFolder, ProgramStartsThereWithTheDemoLaidIn) {
    fs::copy(folder(), installed_, fs::copy_options::recursive | fs::copy_options::skip_existing);
    const pid_t pid = StartProcess({(installed_ / "luckydraw").string()},
                                   {"QT_QPA_PLATFORM=offscreen", "SDL_AUDIODRIVER=dummy"});
    ASSERT_NE(pid, 0);
    // A smoke check, not a time limit: the program cannot be told to exit yet, so it must
    // get through start-up (which writes title.txt into its own folder, the participants
    // listed) and still be running a moment later; then it is killed.
    const fs::path startupCopy = installed_ / "title.txt";
    while (!fs::exists(startupCopy) && StillRunning(pid)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const bool running = StillRunning(pid);
    KillProcess(pid);
    EXPECT_TRUE(running);
    const std::string listed = ReadFile(startupCopy);
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), static_cast<long>(roster().size()));
}

}  // namespace
}  // namespace ld::test
