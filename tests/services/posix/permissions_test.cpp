// Linux only: permission bits, symbolic links and the umask through whole-file writes
// (Windows files have attributes instead).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>

#include "../temp_folder.h"
#include "services/files.h"

namespace ld {
namespace {
std::atomic<int> g_umaskClearings{0};
}  // namespace
}  // namespace ld

// Every umask() call in this program comes through here, so a test sees a mask of 0 even
// when it lasts only a moment.
extern "C" mode_t umask(mode_t mask) noexcept {
    if (mask == 0) ++ld::g_umaskClearings;
    return static_cast<mode_t>(::syscall(SYS_umask, mask));
}

namespace ld {
namespace {

using test::TempFolder;

mode_t PermissionsOf(const std::string& diskPath) {
    struct stat info {};
    ::stat(diskPath.c_str(), &info);
    return info.st_mode & 07777;
}

TEST(WholeFiles, ReplacementKeepsPermissionBitsAndSymbolicLinks) {
    TempFolder folder;
    folder.writeRaw("data.txt", "old");
    ::chmod(folder.path("data.txt").c_str(), 0640);
    ASSERT_EQ(::symlink("data.txt", folder.path("link.txt").c_str()), 0);

    EXPECT_TRUE(WriteWholeFile(folder.path("link.txt"), "new"));
    EXPECT_EQ(folder.readRaw("data.txt"), "new");
    EXPECT_EQ(PermissionsOf(folder.path("data.txt")), 0640u);
    struct stat info {};
    ASSERT_EQ(::lstat(folder.path("link.txt").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
}

// umask() can only be read by setting it. A writer that set it to 0 for a moment, on one
// thread, gave files that other threads made meanwhile world-writable bits, or left the
// process at 0 for good when two writers overlapped.
TEST(WholeFiles, WritesNeverClearTheUmask) {
    TempFolder folder;
    const mode_t original = ::umask(022);
    const int before = g_umaskClearings.load();
    ASSERT_TRUE(WriteWholeFile(folder.path("a.txt"), "x"));
    ASSERT_TRUE(AppendToFile(folder.path("b.txt"), "x"));
    ASSERT_TRUE(CopyFileTo(folder.path("a.txt"), folder.path("c.txt")));
    EXPECT_EQ(g_umaskClearings.load(), before);
    EXPECT_EQ(::umask(original), 022u);
}

}  // namespace
}  // namespace ld
