// Small operating-system facts the services need, one implementation per platform
// (posix/os.cpp, win32/os.cpp). Not part of the services' interface.
#pragma once

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace ld::os {

// What the system's own paths have between folders ('/' is used throughout the program).
extern const char kFolderSeparator;
// The running executable's disk path (see disk.h), '/' between folders; empty on failure.
std::string ExecutablePath();
bool ChangeDirectory(const std::string& diskPath);
// When this process started, in seconds since 1970; 0 when it cannot be told.
time_t ProcessStartTime();
// The local calendar time of `time`; thread-safe.
std::tm LocalTime(time_t time);
// Fills `size` bytes from the operating system's random source.
void RandomBytes(unsigned char* bytes, size_t size);

// strtod in the C locale, whatever the process locale is (Qt sets it).
double ParseNumberInCLocale(const char* text);

// GB18030 to UTF-8: with `strict` nullopt at the first byte that does not convert, else
// that byte becomes U+FFFD and the conversion goes on.
std::optional<std::string> Gb18030ToUtf8(std::string_view gbk, bool strict);
// Valid UTF-8 to GB18030; nullopt when it cannot be converted.
std::optional<std::string> Utf8ToGb18030(std::string_view utf8);

}  // namespace ld::os
