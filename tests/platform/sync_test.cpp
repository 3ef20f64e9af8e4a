#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "win/sync.h"
#include "win/thread.h"

#include <sys/resource.h>
#include <unistd.h>

namespace qelo::win {
namespace {

using namespace std::chrono_literals;

TEST(ManualResetEvent, StaysSetForEveryWaiterUntilReset) {
  ManualResetEvent event;
  EXPECT_FALSE(event.WaitFor(20ms));
  event.Set();
  EXPECT_TRUE(event.WaitFor(0ms));
  EXPECT_TRUE(event.WaitFor(0ms));
  event.Reset();
  EXPECT_FALSE(event.IsSet());
  EXPECT_TRUE(ManualResetEvent(true).WaitFor(0ms));
}

TEST(ManualResetEvent, BoundedWaitReturnsAfterItsTimeout) {
  ManualResetEvent event;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(event.WaitFor(50ms));
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, 50ms);
  EXPECT_LT(waited, 5s);
}

TEST(ManualResetEvent, WakesAWaiterOnAnotherThread) {
  ManualResetEvent event;
  Thread t;
  ASSERT_TRUE(t.Start([&] { event.Set(); }));
  EXPECT_TRUE(event.WaitFor(10s));
  t.Join();
}

TEST(Thread, BoundedJoinLeavesARunningThreadOwned) {
  ManualResetEvent release;
  Thread t;
  ASSERT_TRUE(t.Start([&] { release.Wait(); }));
  EXPECT_FALSE(t.Start([] {}));  // one body per thread object
  EXPECT_FALSE(t.JoinFor(30ms));
  EXPECT_TRUE(t.Started());
  release.Set();
  EXPECT_TRUE(t.JoinFor(10s));
  EXPECT_FALSE(t.Started());
  EXPECT_TRUE(t.Start([] {}));  // reusable once joined
  t.Join();
}

TEST(Thread, IdlePriorityLowersOnlyTheNewThread) {
  std::atomic<int> niceInThread{-100};
  Thread t;
  ASSERT_TRUE(t.Start([&] { niceInThread = getpriority(PRIO_PROCESS, gettid()); },
                      ThreadPriority::Idle));
  t.Join();
  EXPECT_EQ(niceInThread.load(), 19);
  EXPECT_NE(getpriority(PRIO_PROCESS, gettid()), 19);
}

TEST(CriticalSection, CanBeEnteredAgainByItsOwner) {
  CriticalSection cs;
  CriticalSectionLock outer(cs);
  EXPECT_TRUE(cs.try_lock());
  cs.unlock();
}

}  // namespace
}  // namespace qelo::win
