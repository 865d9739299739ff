// UTF-8 disk paths to the UTF-16 of the Windows API and back, and Windows' errors as errno
// values. Shared by the files in win32/ only.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace ld::win32 {

// Invalid sequences become U+FFFD; disk paths are always valid UTF-8 here.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
// The errno value closest to a GetLastError() code, so that callers see ENOENT and the like.
int ErrnoOf(DWORD error);
// Seconds since 1970 of a FILETIME.
long long UnixSeconds(const FILETIME& time);

}  // namespace ld::win32
