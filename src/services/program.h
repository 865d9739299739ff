// Where the program lives. Set once at start-up; the current directory is made the
// program directory at the same moment, so bare names such as "cjini.txt" resolve there.
#pragma once

#include "services/text.h"

namespace ld {

// Directory of the executable (GBK, no trailing slash) and its own file name.
const Text& ProgramDirectory();
const Text& ProgramFileName();
// The directory as the operator knows it, for messages: the system's own separators.
Text ProgramDirectoryShown();
// From the running executable (/proc/self/exe, GetModuleFileNameW), and makes it the current
// directory. Returns false when it failed.
bool InitProgramLocation();
// Tests put the program anywhere they like; the current directory follows when the folder
// exists, as at start-up.
void SetProgramLocationForTest(const Text& directory, const Text& fileName);

}  // namespace ld
