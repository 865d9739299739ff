// The scrambling of the settings password and the designated winners in peizhi.a: two
// characters of a fixed key text per byte, with a random 0..5 mixed into every byte, so the
// same text never looks the same twice but always reads back.
#pragma once

#include <string_view>

#include "services/text.h"

namespace ld {

// The 62 distinct letters and digits every scrambled text is made of. A peizhi.a written
// with another key text does not read back.
extern const std::string_view kScrambleKey;

Text ScrambleText(std::string_view plain);
Text UnscrambleText(std::string_view scrambled);

}  // namespace ld
