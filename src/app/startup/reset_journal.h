// The reset changes several files. Once it is committed (its journal written), a crash must
// not leave half an event behind, nor a recovery record that would bring the rehearsal back:
// the next start finishes the reset from the journal, before anything reads the files.
#pragma once

#include <optional>
#include <vector>

#include "services/text.h"

namespace ld::app {

struct ResetJournal {
    bool hadBackground = false;  // 底图.jpg was there, to become 底图_bak.jpg
    Bytes newConfig;             // peizhi.a as the reset makes it
};

bool WriteResetJournal(const ResetJournal& journal);
bool DeleteResetJournal();

// The files the reset erases (relative names); 底图_bak.jpg is the last.
const std::vector<Text>& ErasedByReset();
// Where the reset moves a file before it erases it: .ld-reset-<name>.
Text SetAsideName(const Text& name);

// At start-up: a reset that was committed is finished; what an uncommitted one set aside
// is put back. When a committed reset cannot be finished the operator is told and the
// program ends, as running on half an event would be worse.
void FinishInterruptedReset();

}  // namespace ld::app
