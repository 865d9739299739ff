// The configuration services over our own INI layer, with the semantics of the Windows
// private-profile functions (see profile.cpp for the details that matter to the byte).
#pragma once

#include <optional>

#include "services/text.h"

namespace ld {

constexpr int kProfileBufferSize = 10240;  // so a value reads back as at most 10239 bytes

// `file` is a GBK path. Leading bytes <= 0x20 are skipped in file, section and key; if any
// is empty after that the result is empty (not the default). A missing file, section or
// key gives the default.
Text ReadConfigText(const Text& file, const Text& section, const Text& key,
                    const Text& defaultValue = {});

// Key omitted: deletes the section. Value omitted: deletes the key. The file is rewritten
// atomically; false when it could not be written. CR and LF inside a value are written as
// spaces, so a value can never inject lines.
bool WriteConfigText(const Text& file, const Text& section, const std::optional<Text>& key,
                     const std::optional<Text>& value);

}  // namespace ld
