// The one place where GBK text meets the UTF-8 world (file names, the toolkit).
// GB18030 is used as the codec: byte-identical to GBK for every GBK character and
// lossless for everything else.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ld {

// GBK/GB18030 bytes to UTF-8. Bytes that do not convert become U+FFFD.
std::string GbkToUtf8(std::string_view gbk);
// UTF-8 to GB18030 bytes; nullopt when the input is not valid UTF-8.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);
bool IsValidUtf8(std::string_view bytes);

// A name read from the file system: UTF-8 names are converted to GBK; a name that is not
// valid UTF-8 (copied from a Windows archive, say) is taken as GBK bytes as it stands.
std::string FileNameToGbk(std::string_view onDisk);
// A GBK relative name for the file system: converted to UTF-8.
std::string GbkToFileName(std::string_view gbk);

}  // namespace ld
