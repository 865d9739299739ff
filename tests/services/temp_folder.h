// A fresh folder per test, removed afterwards (with the permissions a test took away
// given back first), plus raw file helpers that bypass the services under test. Disk names
// here are as the services spell them: bytes on Linux, UTF-8 on Windows.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "platform_helpers.h"
#include "services/files.h"

namespace ld::test {

class TempFolder {
public:
    TempFolder() {
        const std::string base = DiskName(std::filesystem::temp_directory_path());
        std::mt19937 random{std::random_device{}()};
        for (int attempt = 0; attempt < 100 && root_.empty(); ++attempt) {
            const std::string candidate = base + "/ld-files-" + std::to_string(random() % 1000000);
            if (std::filesystem::create_directory(DiskPath(candidate))) root_ = candidate;
        }
        if (root_.empty()) ADD_FAILURE() << "no temporary folder";
        oldCwd_ = std::filesystem::current_path();
    }
    ~TempFolder() {
        SetWriteFailureAfterBytesForTest(-1);
        std::error_code ignored;
        std::filesystem::current_path(oldCwd_, ignored);
        using std::filesystem::perms;
        for (auto& entry : std::filesystem::recursive_directory_iterator(DiskPath(root_), ignored))
            std::filesystem::permissions(entry.path(), perms::owner_all, ignored);
        std::filesystem::remove_all(DiskPath(root_), ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Path on disk of a name inside the folder (the folder's own name is plain ASCII, so
    // this is also its GBK text).
    std::string path(const std::string& name = {}) const {
        return name.empty() ? root_ : root_ + "/" + name;
    }
    std::filesystem::path diskPath(const std::string& name = {}) const {
        return DiskPath(path(name));
    }

    void writeRaw(const std::string& name, const std::string& bytes) const {
        std::ofstream(diskPath(name), std::ios::binary) << bytes;
    }
    std::string readRaw(const std::string& name) const {
        std::ifstream in(diskPath(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Names in the folder, for checking that no temporary file was left behind.
    size_t entryCount() const {
        size_t count = 0;
        for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(diskPath()))
            ++count;
        return count;
    }
    // No owner write bit (Linux), the read-only attribute (Windows).
    void makeReadOnly(const std::string& name) const {
        using std::filesystem::perms;
        std::filesystem::permissions(diskPath(name),
                                     perms::owner_read | perms::group_read | perms::others_read);
    }

private:
    std::string root_;
    std::filesystem::path oldCwd_;
};

}  // namespace ld::test
