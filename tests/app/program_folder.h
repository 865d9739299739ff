// A fresh program directory per test: the program "lives" in a temporary folder, which is
// removed afterwards. Raw helpers read and write files beside the services under test;
// their names are UTF-8, as the file system spells them.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "services/files.h"
#include "services/program.h"

namespace ld::test {

class ProgramFolder {
public:
    ProgramFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ld-app-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp failed";
        root_ = pattern;
        oldCwd_ = std::filesystem::current_path();
        SetProgramLocationForTest(root_, "luckydraw");
    }
    ~ProgramFolder() {
        SetWriteFailureAfterBytesForTest(-1);
        SetFileOperationFailureForTest(0);
        std::error_code ignored;
        std::filesystem::current_path(oldCwd_, ignored);
        std::filesystem::remove_all(root_, ignored);
    }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    std::string path(const std::string& name) const { return root_ + "/" + name; }
    bool exists(const std::string& name) const { return std::filesystem::exists(path(name)); }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Every file below the folder, hidden ones too, by relative path, with its bytes.
    std::map<std::string, std::string> snapshot() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root_)) {
            if (!entry.is_regular_file()) continue;
            std::string name = std::filesystem::relative(entry.path(), root_).string();
            files[name] = read(name);
        }
        return files;
    }

private:
    std::string root_;
    std::filesystem::path oldCwd_;
};

}  // namespace ld::test
