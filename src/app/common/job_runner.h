// Work too long for the UI thread (an export with hundreds of photos, a name list of hundreds
// of name cards) runs on a worker thread while the stage stays alive; what it ends with runs
// later on the UI thread, posted there, as any other event. The work may tell how far it is:
// the operator sees it in a note that is not modal, closed when the job ends. One job at a
// time: another is refused with a word to the operator. An exception from the work is told
// to the operator, not the end of the program. The exit and the reset settle a running job
// first, so that nothing is cut off half made.
#pragma once

#include <atomic>
#include <functional>

#include "services/text.h"

namespace ld::app {

// What the UI thread does once the work is over.
using JobDone = std::function<void()>;
// The work, on the worker. It may look at `stop` between safe steps and end early.
using JobWork = std::function<JobDone(const std::atomic<bool>& stop)>;

struct JobKind {
    Text caption;            // of the messages about the job
    Text busy;               // told when another job is asked for meanwhile
    bool stoppable = false;  // the work looks at `stop`
};

// True, and the operator told the running job's `busy` text, while a job runs.
bool JobBusy(const Text& caption);
// False when another job is running (JobBusy).
bool StartJob(const JobKind& kind, JobWork work);
bool JobRunning();
// From the work, on the worker: how far it is, shown in a note with the job's caption (the
// UI thread updates it when it gets there). Nothing outside a job's worker.
void ReportJobProgress(const Text& text, int percent);
// Waits for the running job, if any, and runs what it ends with now.
void WaitForJob();
// Before the program ends: a stoppable job is stopped, another is waited for after a notice.
void SettleJobBeforeExit();

}  // namespace ld::app
