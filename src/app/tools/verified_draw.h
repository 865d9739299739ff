// The verified draw (公证抽奖), off by default: the list sealed with a fingerprint, the
// program's commitment, the hall's digits, every pick keyed by the seed, a chained record and
// the secret revealed at the end, so that anyone can replay the event (see verify/).
#pragma once

#include <string>
#include <vector>

namespace ld::app {

// What the exports print for the room while a verified event is on or has ended: the
// fingerprint, the commitment, the digits, the secret once revealed, and how to verify.
// UTF-8 lines; empty when the mode has not been used.
std::vector<std::string> VerifiedExportLines();

// 活动工具 → 公证抽奖 (checked while an event is open): seals the list and asks the hall for
// its digits; on an open event, asks for the digits still missing or ends it.
bool VerifiedDrawChecked();
void ToggleVerifiedDraw();
// 活动工具 → 公证信息: the whole fingerprint, commitment and digits, and how many people
// checked in after the seal (the caption says it too).
std::string VerifiedInfoCaption();
void ShowVerifiedInfo();

}  // namespace ld::app
