// Disk paths (UTF-8 on Windows, the file system's bytes on Linux) as std::filesystem paths
// and back. A std::string path would be taken in the Windows code page there, which
// garbles or refuses Chinese folder names.
#pragma once

#include <filesystem>
#include <string>

namespace ld {

std::filesystem::path ToFsPath(const std::string& diskPath);
std::string FromFsPath(const std::filesystem::path& path);

}  // namespace ld
