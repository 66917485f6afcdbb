// The watcher's thread and stop event: a suspended thread waits for its resume, the owner may
// let go of a running thread, and the event semantics are those asked for.
#include "framework/CEvent.h"
#include "framework/CWinThread.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

struct ThreadProbe {
    CEvent started{FALSE, TRUE};
    CEvent release{FALSE, TRUE};
    CEvent finished{FALSE, TRUE};
    std::atomic<int> runs{0};
};

UINT WaitForRelease(void* param) {
    auto* probe = static_cast<ThreadProbe*>(param);
    ++probe->runs;
    probe->started.SetEvent();
    probe->release.Lock();
    probe->finished.SetEvent();
    return 42;
}

} // namespace

TEST(Event, ManualResetStaysSignalledAutoResetLetsOneWaiterThrough) {
    CEvent manual(FALSE, TRUE);
    EXPECT_FALSE(manual.Lock(0));
    EXPECT_TRUE(manual.SetEvent());
    EXPECT_TRUE(manual.Lock(0));
    EXPECT_TRUE(manual.Lock(0));
    EXPECT_TRUE(manual.ResetEvent());
    EXPECT_FALSE(manual.Lock(0));

    CEvent automatic;
    EXPECT_TRUE(automatic.SetEvent());
    EXPECT_TRUE(automatic.Lock(0));
    EXPECT_FALSE(automatic.Lock(0));

    CEvent initiallySet(TRUE, TRUE);
    EXPECT_TRUE(initiallySet.Lock(0));
}

TEST(Event, TwoEventsCanBeWaitedForTogether) {
    CEvent stop(FALSE, TRUE);
    CEvent notify;
    notify.SetEvent();
    HANDLE both[] = {stop, notify};
    EXPECT_EQ(WAIT_OBJECT_0 + 1, WaitForMultipleObjects(2, both, FALSE, 0));
    stop.SetEvent();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, both, FALSE, 0));
}

TEST(WorkerThread, RunsTheFunctionAndReportsItsResult) {
    ThreadProbe probe;
    auto thread = AfxBeginThread(WaitForRelease, &probe);
    ASSERT_NE(nullptr, thread);
    EXPECT_TRUE(probe.started.Lock(5000));
    DWORD code = 0;
    EXPECT_TRUE(thread->GetExitCodeThread(&code));
    EXPECT_EQ(STILL_ACTIVE, code);
    probe.release.SetEvent();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread->m_hThread, 5000));
    EXPECT_TRUE(thread->GetExitCodeThread(&code));
    EXPECT_EQ(42u, code);
    EXPECT_EQ(1, probe.runs);
}

TEST(WorkerThread, SuspendedThreadWaitsForItsResume) {
    ThreadProbe probe;
    auto thread =
        AfxBeginThread(WaitForRelease, &probe, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, thread);
    EXPECT_FALSE(probe.started.Lock(200));
    EXPECT_EQ(1u, thread->ResumeThread());
    EXPECT_TRUE(probe.started.Lock(5000));
    probe.release.SetEvent();
    EXPECT_TRUE(probe.finished.Lock(5000));
}

TEST(WorkerThread, ThreadNeverResumedNeverRuns) {
    ThreadProbe probe;
    {
        auto thread =
            AfxBeginThread(WaitForRelease, &probe, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
        ASSERT_NE(nullptr, thread);
    }
    Sleep(100);
    EXPECT_EQ(0, probe.runs);
}

TEST(WorkerThread, OwnerMayLetGoOfARunningThread) {
    ThreadProbe probe;
    {
        auto thread = AfxBeginThread(WaitForRelease, &probe, THREAD_PRIORITY_BELOW_NORMAL);
        ASSERT_NE(nullptr, thread);
        EXPECT_EQ(THREAD_PRIORITY_BELOW_NORMAL, GetThreadPriority(thread->m_hThread));
        EXPECT_TRUE(probe.started.Lock(5000));
    }
    probe.release.SetEvent();
    EXPECT_TRUE(probe.finished.Lock(5000));
}
