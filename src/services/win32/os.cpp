// The operating-system facts of os.h on Windows.
#include "services/os.h"

// clang-format off
#include <windows.h>
#include <bcrypt.h>  // needs windows.h first
// clang-format on

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "services/win32/wide.h"

namespace ld::os {

const char kFolderSeparator = '\\';

std::string ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::string utf8 = win32::Narrow(path);
    for (char& c : utf8) {
        if (c == '\\') c = '/';  // the program's paths use '/', which Windows also takes
    }
    return utf8;
}

bool ChangeDirectory(const std::string& diskPath) {
    // "C:" alone is the drive's current folder, not its root, where a program there lives.
    const bool driveOnly = diskPath.size() == 2 && diskPath[1] == ':';
    return ::SetCurrentDirectoryW(win32::Widen(driveOnly ? diskPath + "/" : diskPath).c_str());
}

std::tm LocalTime(time_t time) {
    std::tm local{};
    localtime_s(&local, &time);
    return local;
}

time_t ProcessStartTime() {
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    return static_cast<time_t>(win32::UnixSeconds(created));
}

void RandomBytes(unsigned char* bytes, size_t size) {
    while (size > 0) {
        const ULONG chunk = size > 0x10000 ? 0x10000 : static_cast<ULONG>(size);
        if (BCRYPT_SUCCESS(
                ::BCryptGenRandom(nullptr, bytes, chunk, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
            bytes += chunk;
            size -= chunk;
        }
    }
}

// The CRT's own strtod reads no hexadecimal, "inf" or "nan"; MinGW's C99 one does, with the
// decimal point of the process locale, which is put in for '.' (and a point of the locale
// that was in the text taken out of it, as the C locale would).
double ParseNumberInCLocale(const char* text) {
    const char* point = std::localeconv()->decimal_point;
    if (!point || std::string_view(point) == "." || std::strlen(point) != 1)
        return ::__mingw_strtod(text, nullptr);
    std::string copy(text);
    for (char& c : copy) {
        if (c == *point)
            c = '\x01';  // stops the number there
        else if (c == '.')
            c = *point;
    }
    return ::__mingw_strtod(copy.c_str(), nullptr);
}

}  // namespace ld::os
