#pragma once

namespace ld::win {

// Sets up the Win32 host and runs the program until it ends; returns the exit code.
int RunProgram();

}  // namespace ld::win
