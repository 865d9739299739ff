// A fresh program directory per test: the program "lives" in a temporary folder, which is
// removed afterwards. Raw helpers read and write files beside the services under test;
// their names are UTF-8, as the file system spells them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>

#include "../services/disk_path.h"
#include "services/files.h"
#include "services/program.h"

namespace ld::test {

class ProgramFolder {
public:
    ProgramFolder() {
        const std::string base = DiskName(std::filesystem::temp_directory_path());
        std::mt19937 random{std::random_device{}()};
        for (int attempt = 0; attempt < 100 && root_.empty(); ++attempt) {
            const std::string candidate = base + "/ld-app-" + std::to_string(random() % 1000000);
            if (std::filesystem::create_directory(DiskPath(candidate))) root_ = candidate;
        }
        if (root_.empty()) ADD_FAILURE() << "no temporary folder";
        oldCwd_ = std::filesystem::current_path();
        SetProgramLocationForTest(root_, "luckydraw");
    }
    ~ProgramFolder() {
        SetWriteFailureAfterBytesForTest(-1);
        SetFileOperationFailureForTest(0);
        std::error_code ignored;
        std::filesystem::current_path(oldCwd_, ignored);
        using std::filesystem::perms;
        for (auto& entry : std::filesystem::recursive_directory_iterator(DiskPath(root_), ignored))
            std::filesystem::permissions(entry.path(), perms::owner_all, ignored);
        std::filesystem::remove_all(DiskPath(root_), ignored);
    }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    // The disk name of a name in the folder, as the services spell it (UTF-8 names: the
    // folder's own is ASCII), and the same as a path for the standard library.
    std::string path(const std::string& name) const { return root_ + "/" + name; }
    std::filesystem::path diskPath(const std::string& name) const { return DiskPath(path(name)); }
    bool exists(const std::string& name) const { return std::filesystem::exists(diskPath(name)); }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(diskPath(name), std::ios::binary) << bytes;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(diskPath(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Every file below the folder, hidden ones too, by relative path, with its bytes.
    std::map<std::string, std::string> snapshot() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(DiskPath(root_))) {
            if (!entry.is_regular_file()) continue;
            std::string name = DiskName(std::filesystem::relative(entry.path(), DiskPath(root_)));
            files[name] = read(name);
        }
        return files;
    }

    // No write bit for anyone (Linux), the read-only attribute (Windows); and back.
    void makeReadOnly(const std::string& name) const {
        using std::filesystem::perms;
        std::filesystem::permissions(diskPath(name),
                                     perms::owner_read | perms::group_read | perms::others_read);
    }
    void makeWritable(const std::string& name) const {
        std::filesystem::permissions(diskPath(name), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
    }

private:
    std::string root_;
    std::filesystem::path oldCwd_;
};

}  // namespace ld::test
