// A fresh folder per test, removed afterwards (with the permissions a test took away
// given back first), plus raw file helpers that bypass the services under test.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "services/files.h"

namespace ld::test {

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ld-files-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp failed";
        root_ = pattern;
        oldCwd_ = std::filesystem::current_path();
    }
    ~TempFolder() {
        SetWriteFailureAfterBytesForTest(-1);
        std::error_code ignored;
        std::filesystem::current_path(oldCwd_, ignored);
        for (auto& entry : std::filesystem::recursive_directory_iterator(root_, ignored))
            ::chmod(entry.path().c_str(), 0700);
        std::filesystem::remove_all(root_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Path on disk of a name inside the folder (the folder's own name is plain ASCII, so
    // this is also its GBK text).
    std::string path(const std::string& name = {}) const {
        return name.empty() ? root_ : root_ + "/" + name;
    }

    void writeRaw(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    std::string readRaw(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Names in the folder, for checking that no temporary file was left behind.
    size_t entryCount() const {
        size_t count = 0;
        for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(root_)) ++count;
        return count;
    }

private:
    std::string root_;
    std::filesystem::path oldCwd_;
};

inline bool RunningAsRoot() { return ::geteuid() == 0; }

}  // namespace ld::test
