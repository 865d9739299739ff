// Program location: the folder of the running executable, which is also the current
// directory, so that data files and bare names such as "cjini.txt" resolve there.
#include "services/program.h"

#include <unistd.h>

#include <string>

#include "services/encoding.h"
#include "services/files.h"

namespace ld {

namespace {

Text g_programDirectory;
Text g_programFileName;

// Each component on its own, so one raw (non-UTF-8) folder name does not keep the others
// from being converted; the file services find raw components again.
Text DiskPathToGbk(std::string_view diskPath) {
    Text gbk;
    size_t start = 0;
    while (start <= diskPath.size()) {
        size_t slash = diskPath.find('/', start);
        if (slash == std::string_view::npos) slash = diskPath.size();
        gbk += FileNameToGbk(diskPath.substr(start, slash - start));
        if (slash < diskPath.size()) gbk += '/';
        start = slash + 1;
    }
    return gbk;
}

std::string ExecutablePath() {
    std::string path(256, '\0');
    for (;;) {
        ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0) return {};
        if (static_cast<size_t>(length) < path.size()) {
            path.resize(static_cast<size_t>(length));
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

const Text& ProgramDirectory() { return g_programDirectory; }
const Text& ProgramFileName() { return g_programFileName; }

bool InitProgramLocation() {
    std::string executable = ExecutablePath();
    size_t slash = executable.rfind('/');
    if (slash == std::string::npos) return false;
    // "/luckydraw" lives in the root: the directory is then empty, and "" + "/peizhi.a"
    // still names the right file.
    std::string directory = executable.substr(0, slash);
    if (::chdir(directory.empty() ? "/" : directory.c_str()) != 0) return false;
    g_programDirectory = DiskPathToGbk(directory);
    g_programFileName = FileNameToGbk(executable.substr(slash + 1));
    return true;
}

void SetProgramLocationForTest(const Text& directory, const Text& fileName) {
    g_programDirectory = directory;
    g_programFileName = fileName;
    // Like the real start-up, so bare names resolve in the test's folder. A test that
    // names a folder that does not exist keeps the current directory.
    if (::chdir(ResolveExistingPath(directory).c_str()) != 0) {
    }
}

}  // namespace ld
