// The sealed list of a verified draw: the prize table and the names, frozen at 开始公证 and
// written as one canonical text, whose SHA-256 is the fingerprint shown to the hall.
//
// The text (UTF-8, LF line ends), version 1:
//   luckydraw sealed list v1
//   level<TAB><name><TAB><count><TAB><per draw><TAB><groups><TAB><excluded>   one per level
//   name<TAB><participant>                                                    one per name
// Levels in prize order; groups and excluded names joined by "、" in the order given; the
// names sorted by their UTF-8 bytes (duplicates kept), so the same pool gives the same text
// whatever order it was read in.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "services/sha256.h"

namespace ld::verify {

struct SealedLevel {
    std::string name;
    int count = 0;
    int perDraw = 1;
    std::vector<std::string> groups;    // who may win it; empty: everybody
    std::vector<std::string> excluded;  // who may not

    bool operator==(const SealedLevel&) const = default;
};

struct SealedList {
    std::vector<SealedLevel> levels;
    std::vector<std::string> names;  // sorted by CanonicalText

    bool operator==(const SealedList&) const = default;
};

std::string CanonicalText(const SealedList& list);
// The list a canonical text holds; nothing when it is not one (any line out of form).
std::optional<SealedList> ParseSealedList(std::string_view text);

Digest Fingerprint(const SealedList& list);
// The first 16 hex digits in groups of four, as the stage shows them: "1a2b 3c4d 5e6f 7a8b".
std::string ShortFingerprint(const Digest& fingerprint);

}  // namespace ld::verify
