#pragma once

namespace ld::qt {

// Sets up the Qt host and runs the program until it ends; returns the exit code.
int RunProgram(int argc, char** argv);

}  // namespace ld::qt
