// The zip writer as Python's zipfile reads it: names in UTF-8, sizes and CRCs that check.
#include "export/zip_writer.h"

#include <gtest/gtest.h>

#include "../services/temp_folder.h"
#include "export_support.h"

namespace ld::exporting {
namespace {

TEST(ZipWriter, ChineseNamesEmptyAndLargeEntriesReadBackWithTheirChecksums) {
    if (!test::kReadersHere) GTEST_SKIP() << "no Python under Wine";
    std::string large;
    for (int i = 0; i < 200000; ++i) large += static_cast<char>(i * 7919 % 251);
    ZipWriter zip;
    ASSERT_TRUE(zip.add("名单/中奖人.xml", "<x>张三</x>"));
    ASSERT_TRUE(zip.add("empty", ""));
    ASSERT_TRUE(zip.add("large.bin", large));
    ld::test::TempFolder folder;
    folder.writeRaw("a.zip", zip.finish());
    folder.writeRaw("read.py",
                    "import sys, zipfile\n"
                    "z = zipfile.ZipFile(sys.argv[1])\n"
                    "print(z.testzip())\n"
                    "for i in z.infolist(): print(i.filename, i.file_size, len(z.read(i)))\n");
    EXPECT_EQ(
        test::RunTool("python3 '" + folder.path("read.py") + "' '" + folder.path("a.zip") + "'"),
        "None\n名单/中奖人.xml 13 13\nempty 0 0\nlarge.bin 200000 200000\n");
}

}  // namespace
}  // namespace ld::exporting
