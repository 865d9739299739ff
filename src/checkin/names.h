// The rules for a name (and a department) that attendees type on their phones or that a
// name list brings: it becomes a photo's file name, a line of the pool and of the results,
// all GBK text, so it must be short, printable and representable in GBK.
#pragma once

#include <string>
#include <string_view>

#include "services/text.h"

namespace ld::checkin {

constexpr int kMaxNameCharacters = 16;

struct NameCheck {
    bool ok = false;
    std::string value;    // UTF-8, trimmed
    std::string problem;  // UTF-8, which rule was broken, for the attendee
};

// Composes (NFC) and trims spaces (the full-width one too), then checks: 1 to 16 characters,
// GBK only and no private-use ones, no control characters, none of / \ : * ? " < > | and no
// "." (a name ends at its first dot), no Latin letters mixed with Cyrillic or Greek ones.
NameCheck CheckName(std::string_view utf8, std::string_view what = "姓名");

// Spaces, tabs and the full-width space trimmed from both ends.
std::string TrimName(std::string_view utf8);

// The participant: the name, or "name（department）" with full-width parentheses, in GBK.
// Both parts must have passed CheckName.
Text ParticipantOf(const std::string& name, const std::string& department);

}  // namespace ld::checkin
