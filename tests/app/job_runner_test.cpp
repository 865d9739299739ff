// Long work on a worker: its end runs on the UI thread, one job at a time, and a job that
// fails is told to the operator and leaves the way free for the next.
#include "app/common/job_runner.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "support/test_host.h"

namespace ld {
namespace {

TEST(JobRunner, AFailedJobIsToldAndTheNextOneRuns) {
    test::TestHost host;
    const app::JobKind kind{Gbk("导出中奖名单"), Gbk("正在导出中奖名单，请稍候。")};
    ASSERT_TRUE(app::StartJob(kind, [](const std::atomic<bool>&) -> app::JobDone {
        throw std::runtime_error("disk full");
    }));
    EXPECT_FALSE(app::StartJob(kind, [](const std::atomic<bool>&) { return app::JobDone(); }));
    app::WaitForJob();
    ASSERT_EQ(host.dialogs.messages.size(), 2u);
    EXPECT_EQ(host.dialogs.messages[0].text, kind.busy);
    EXPECT_NE(host.dialogs.messages[1].text.find("disk full"), Text::npos);
    EXPECT_EQ(host.dialogs.messages[1].caption, kind.caption);

    bool done = false;
    ASSERT_TRUE(app::StartJob(
        kind, [&](const std::atomic<bool>&) { return app::JobDone([&] { done = true; }); }));
    app::WaitForJob();
    EXPECT_TRUE(done);
    host.loop.runPosted();  // the worker's late post finds its job settled
    EXPECT_FALSE(app::JobRunning());
}

// The note goes before what the job ends with is told, and a report that comes after the end
// (the exit waited for the job) brings no note back.
TEST(JobRunner, ItsProgressShowsUntilItEnds) {
    test::TestHost host;
    const app::JobKind kind{Gbk("导出中奖名单"), Gbk("正在导出中奖名单，请稍候。")};
    bool noteOpenAtEnd = true;
    ASSERT_TRUE(app::StartJob(kind, [&](const std::atomic<bool>&) {
        app::ReportJobProgress(Gbk("一半"), 50);
        return app::JobDone([&] { noteOpenAtEnd = host.dialogs.progressOpen; });
    }));
    while (app::JobRunning()) {
        host.loop.runPosted();
        std::this_thread::yield();
    }
    ASSERT_EQ(host.dialogs.progressShown.size(), 1u);
    EXPECT_EQ(host.dialogs.progressShown[0], std::make_pair(Gbk("一半"), 50));
    EXPECT_FALSE(noteOpenAtEnd);

    ASSERT_TRUE(app::StartJob(kind, [](const std::atomic<bool>&) {
        app::ReportJobProgress(Gbk("快完了"), 99);
        return app::JobDone();
    }));
    app::WaitForJob();
    host.loop.runPosted();
    EXPECT_EQ(host.dialogs.progressShown.size(), 1u);
    EXPECT_FALSE(host.dialogs.progressOpen);
}

}  // namespace
}  // namespace ld
