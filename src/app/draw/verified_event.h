// A verified event as the draw engine meets it: while one is open, every winner is the keyed
// pick of the seed among the sealed names still in the draw, and every seal, seed, stop,
// forfeit, resume and recovery is appended to the chained record (公证记录.jsonl) at once.
// The files, in the program folder:
//   公证记录.jsonl   the record (see verify/audit_record.h)
//   公证名单.txt     the sealed list's canonical text (see verify/sealed_list.h)
//   .公证密钥        the secret (hex) until it is revealed, so that a crash does not lose it
// An event is open while the record has no reveal entry. Nothing here is used, and no file
// is made, until the operator seals a list.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "services/sha256.h"
#include "services/text.h"
#include "verify/audit_record.h"
#include "verify/sealed_list.h"

namespace ld::app {

struct VerifiedEvent {
    verify::SealedList list;
    Digest fingerprint{}, secret{}, commitment{};
    std::string digits;          // the hall's, once given
    std::optional<Digest> seed;  // from the digits on
    uint64_t picks = 0;          // k of the latest pick
    std::vector<std::string> pool;  // the sealed names not drawn yet, sorted (UTF-8)
    verify::AuditEntry last;        // the chain's end
    std::string unwritten;          // lines whose append failed, written before the next
    std::string failedWrite;        // what that append tried: the record may end in part of it
    int linesBefore = 0;            // results lines at the seal
    bool revealed = false;
};

// The files in the program folder.
Text VerifiedRecordPath();
Text VerifiedListPath();
Text VerifiedSecretPath();

// The open event, if any.
VerifiedEvent* OpenVerifiedEvent();
bool VerifiedDrawOn();
// Set by the commands and by start-up.
void SetVerifiedEvent(std::optional<VerifiedEvent> event);

// The sealed list of the draw as it stands: the pool's names and the named levels with
// their counts, per-draw counts and rules.
verify::SealedList SealCurrentDraw();
// Seals `list`: a fresh secret, the files written, the seal entry appended. Nothing on
// failure, with the reason in `problem`.
std::optional<VerifiedEvent> SealEvent(const verify::SealedList& list, int resultsLines,
                                       std::string& problem);
// The hall's digits: the seed entry appended and the seed set.
bool SetSeedDigits(VerifiedEvent& event, const std::string& digits);
// Appends one entry to the record (with any lines that failed before); false when it could
// not be written, the line kept for the next try.
bool AppendEntry(VerifiedEvent& event, const std::string& type,
                 const std::vector<std::pair<std::string, std::string>>& fields,
                 const std::vector<std::pair<std::string, std::vector<std::string>>>& lists = {});
// The reveal: the secret appended, the secret's file removed.
bool RevealSecret(VerifiedEvent& event);

// Why a start or stop of the selected level (the selector's text, its level number) may not go
// on in the open event: no seed yet, or a level, count, per-draw count or rule that differs
// from the sealed one. Empty when it may.
Text VerifiedStopRefusal(const Text& selector, std::optional<int> level);
// How many undrawn sealed names the level's sealed rule allows.
size_t VerifiedEligibleCount(const VerifiedEvent& event, const Text& level);
// The index into the pool of the next pick of the level (UTF-8); the event is left as it is.
std::optional<size_t> PeekPick(const VerifiedEvent& event, const std::string& levelName);
// Takes that pick out of the pool; its name.
std::string TakePick(VerifiedEvent& event, size_t index);
// The next pick of `level` (GBK) among the undrawn sealed names its rule allows, taken out
// of the event's pool; nothing when nobody is left.
std::optional<Text> NextVerifiedPick(VerifiedEvent& event, const Text& level);
// The stop entry: the winners (GBK) and their 1-based lines in 抽奖结果.txt.
void RecordVerifiedStop(VerifiedEvent& event, const Text& level, const std::vector<Text>& winners,
                        int firstLine);
// How many names of the draw's pool the seal did not take: check-ins after it. Counted by
// line ends, as the console asks five times a second.
size_t CheckedInAfterSeal(const VerifiedEvent& event, const Text& poolText);
// Keeps only the names of the sealed list (a check-in after the seal waits for the next).
std::vector<Text> SealedNamesOnly(const VerifiedEvent& event, const std::vector<Text>& names);

// Start-up: the open event of the record, continued with a resume or recovery entry, and
// brought level with the results (a stop whose results line was written but whose entry was
// lost in a crash is appended again, as its pick says). A record that cannot go on is kept
// in history/ and the operator told why. After a fresh start the event ends: its secret is
// revealed.
void ContinueVerifiedEvent(bool continued, bool recovered, const Text& resultsText);

// The record, the sealed list and a copy of 抽奖结果.txt moved together into
// history/公证-<time>/, where the verifier finds them side by side; the folder, or nothing
// when a file could not be moved (the operator is told).
std::optional<Text> ArchiveVerifiedFiles();
bool VerifiedFilesPresent();
// Ends the open event, if any: the secret revealed, the band removed. False when the record
// could not take the reveal: the event stays open.
bool EndVerifiedEvent();
// The stage's band: the short fingerprint, the commitment and the digits; none when no
// event is open.
void ShowVerifiedBand();
Text VerifiedBandText(const VerifiedEvent& event);
// A forfeit of the open event.
void RecordVerifiedForfeit(const Text& level, const Text& name);

// 1-based number of lines in a results text (CR LF lines).
int ResultsLineCount(const Text& resultsText);

}  // namespace ld::app
