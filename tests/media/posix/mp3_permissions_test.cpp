// A music file without read permission is reported as access denied (Windows has no
// permission bits to take away).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "media/mp3_file.h"
#include "media/sound_fixtures.h"

namespace ld::media {
namespace {

TEST(Mp3File, AFileWithoutReadPermissionIsAccessDenied) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads anything";
    fixtures::TempDir dir;
    const std::string locked = dir.write("locked.mp3", "data");
    chmod(locked.c_str(), 0);
    EXPECT_EQ(Mp3File::open(locked).error(), mp3_error::kAccessDenied);
}

}  // namespace
}  // namespace ld::media
