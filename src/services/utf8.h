// UTF-8 to code points and back, for text that is cut, measured or composed by character.
#pragma once

#include <string>
#include <string_view>

namespace ld {

// The code points of `text`; a byte that starts no valid sequence gives U+FFFD.
std::u32string DecodeUtf8(std::string_view text);

std::string EncodeUtf8(const std::u32string& text);

}  // namespace ld
