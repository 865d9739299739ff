// What the export tests share: a few winners, and running the tools that read the files back.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
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
