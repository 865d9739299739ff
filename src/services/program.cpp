// Program location: the folder of the running executable, which is also the current
// directory, so that data files and bare names such as "cjini.txt" resolve there.
#include "services/program.h"

#include <string>

#include "services/encoding.h"
#include "services/files.h"
#include "services/os.h"

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

}  // namespace

const Text& ProgramDirectory() { return g_programDirectory; }
const Text& ProgramFileName() { return g_programFileName; }

Text ProgramDirectoryShown() {
    Text shown = g_programDirectory;  // '/' is never a trail byte of GBK
    for (char& c : shown)
        if (c == '/') c = os::kFolderSeparator;
    return shown;
}

bool InitProgramLocation() {
    std::string executable = os::ExecutablePath();
    size_t slash = executable.rfind('/');
    if (slash == std::string::npos) return false;
    // "/luckydraw" lives in the root: the directory is then empty, and "" + "/peizhi.a"
    // still names the right file.
    std::string directory = executable.substr(0, slash);
    if (!os::ChangeDirectory(directory.empty() ? "/" : directory)) return false;
    g_programDirectory = DiskPathToGbk(directory);
    g_programFileName = FileNameToGbk(executable.substr(slash + 1));
    return true;
}

void SetProgramLocationForTest(const Text& directory, const Text& fileName) {
    g_programDirectory = directory;
    g_programFileName = fileName;
    // Like the real start-up, so bare names resolve in the test's folder. A test that
    // names a folder that does not exist keeps the current directory.
    os::ChangeDirectory(ResolveExistingPath(directory));
}

}  // namespace ld
