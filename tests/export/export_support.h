// What the export tests share: a few winners, and running the tools that read the files back.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "export/winner_record.h"

namespace ld::exporting::test {

inline WinnerRecord Winner(std::string level, int ordinal, std::string name, std::string photo = "",
                           bool forfeited = false) {
    return {"2026-12-08T20:15:03",
            std::move(level),
            ordinal,
            std::move(name),
            std::move(photo),
            120,
            forfeited};
}

// The readers that check the files (openpyxl, poppler) are Linux programs: the Windows test
// program makes its files, keeps them where LD_EXPORT_KEEP_DIR says and skips the reading;
// the Linux test program then reads those (LD_EXPORT_READ_DIR) in place of its own. See
// tests/export/check_windows_exports.sh.
#ifdef _WIN32
constexpr bool kReadersHere = false;
#else
constexpr bool kReadersHere = true;
#endif
constexpr const char* kNoReaders =
    "no Linux reader under Wine: check_windows_exports.sh reads this file on Linux";

// Keeps a copy of the file at `diskPath` as `name` in LD_EXPORT_KEEP_DIR, if it is set.
inline void KeepFile(const std::filesystem::path& diskPath, const std::string& name) {
    if (const char* dir = std::getenv("LD_EXPORT_KEEP_DIR"))
        std::filesystem::copy_file(diskPath, std::filesystem::path(dir) / name,
                                   std::filesystem::copy_options::overwrite_existing);
}

// The file to read: `name` in LD_EXPORT_READ_DIR if that is set, else `path`.
inline std::string FileToRead(const std::string& path, const std::string& name) {
    const char* dir = std::getenv("LD_EXPORT_READ_DIR");
    return dir ? std::string(dir) + "/" + name : path;
}

inline bool HaveTool(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// The tool's standard output; a failing exit status fails the test.
inline std::string RunTool(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot run " << command;
        return out;
    }
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, got);
    EXPECT_EQ(::pclose(pipe), 0) << command;
    return out;
}

}  // namespace ld::exporting::test
