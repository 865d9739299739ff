#include "app/common/job_runner.h"

#include <exception>
#include <memory>
#include <thread>
#include <utility>

#include "services/encoding.h"
#include "services/host.h"

namespace ld::app {

namespace {

struct Job {
    JobKind kind;
    std::atomic<bool> stop = false;
    std::atomic<bool> over = false;  // the work has returned
    JobDone done;                    // set by the worker before `over`
    std::thread worker;
    bool progressShown = false;  // UI thread only

    ~Job() {
        // Only a program ending with a job still running gets here with a live worker.
        stop = true;
        if (worker.joinable()) worker.join();
    }
};

std::shared_ptr<Job>& Current() {
    static std::shared_ptr<Job> job;
    return job;
}

thread_local std::weak_ptr<Job> ownJob;  // on a worker: the job it works for

JobDone Failure(const Text& caption, const char* what) {
    return [caption, what = Utf8ToGbk(what).value_or(Text(what))] {
        host().dialogs->showMessage(caption + Gbk("没有完成，出现了错误：\r\n") + what,
                                    msg::kIconStop, caption);
    };
}

void Run(Job& job, const JobWork& work) {
    JobDone done;
    try {
        done = work(job.stop);
    } catch (const std::exception& e) {
        done = Failure(job.kind.caption, e.what());
    } catch (...) {
        done = Failure(job.kind.caption, "unknown");
    }
    job.done = std::move(done);
    job.over = true;
}

// UI thread: the job is over or about to be; the next may start from its completion.
void Complete() {
    std::shared_ptr<Job> job = std::exchange(Current(), nullptr);
    job->worker.join();
    if (job->progressShown) host().dialogs->closeProgress();
    if (job->done) job->done();
}

}  // namespace

bool JobBusy(const Text& caption) {
    if (!Current()) return false;
    host().dialogs->showMessage(Current()->kind.busy, msg::kOk, caption);
    return true;
}

bool StartJob(const JobKind& kind, JobWork work) {
    if (JobBusy(kind.caption)) return false;
    auto job = std::make_shared<Job>();
    job->kind = kind;
    // The completion belongs to this job only: a job settled meanwhile by the exit or the
    // reset has already run it.
    std::weak_ptr<Job> owner = job;
    job->worker = std::thread([raw = job.get(), owner, work = std::move(work)] {
        ownJob = owner;
        Run(*raw, work);
        host().loop->post([owner] {
            if (std::shared_ptr<Job> live = owner.lock(); live && live == Current()) Complete();
        });
    });
    Current() = job;  // the worker's post runs on this thread, after this handler
    return true;
}

bool JobRunning() { return Current() != nullptr; }

void ReportJobProgress(const Text& text, int percent) {
    if (ownJob.expired()) return;
    // A report that arrives after the job's end (the exit waited for it) shows nothing.
    host().loop->post([owner = ownJob, text, percent] {
        const std::shared_ptr<Job> live = owner.lock();
        if (!live || live != Current()) return;
        live->progressShown = true;
        host().dialogs->showProgress(live->kind.caption, text, percent);
    });
}

void WaitForJob() {
    if (Current()) Complete();
}

void SettleJobBeforeExit() {
    const std::shared_ptr<Job> job = Current();
    if (!job) return;
    if (job->kind.stoppable) {
        job->stop = true;
    } else if (!job->over) {
        host().dialogs->showMessage(job->kind.busy + Gbk("完成后程序再退出。"), msg::kOk,
                                    job->kind.caption);
    }
    WaitForJob();
}

}  // namespace ld::app
