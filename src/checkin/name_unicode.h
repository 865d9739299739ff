// What Unicode lets two different-looking strings be, for names: the same name written two
// ways (composed or not, a compatibility ideograph or its unified form) must be one
// participant, and a name whose letters only look like another's, or that shows as boxes,
// is refused.
#pragma once

#include <string>
#include <string_view>

namespace ld::checkin {

// The name in NFC, for every character GBK can hold: compatibility ideographs and other
// singletons replaced, decomposed pinyin vowels, kana and Cyrillic letters composed. Valid
// UTF-8 in and out.
std::string ComposedName(std::string_view utf8);

// Private-use characters (they show as boxes anywhere else).
bool HasPrivateUse(std::string_view utf8);
// Latin letters together with Cyrillic or Greek ones: `Аnna` passing for `Anna`.
bool MixesLookAlikeScripts(std::string_view utf8);

}  // namespace ld::checkin
