# Cross-compiles the Windows program with Debian's MinGW-w64 (x86_64, POSIX thread model so
# that std::thread and std::mutex work). Everything is linked statically: the .exe needs
# only the DLLs that come with Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LD_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LD_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LD_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LD_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LD_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wide (UTF-16) Windows API everywhere; Windows 10 interfaces.
add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0A00 WINVER=0x0A00 NOMINMAX
                        WIN32_LEAN_AND_MEAN)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine (see scripts/wine-run.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
