// Teardown ends in bounded time whatever the instances are doing: a watchdog
// aborts the case when it hangs.
#include "common/watchdog.h"
#include "player_fixture.h"

namespace qelo::test {
namespace {

using Teardown = PlayerTest;

TEST_F(Teardown, DestroyingAPlayingInstanceEndsAndTakesItsWindow) {
  FrameLog& frames = NewFrameLog();
  const int index = MakeInstance(&frames);
  ASSERT_TRUE(Open(VideoAudioClip(4), index));
  QeloPlay(index);
  ASSERT_TRUE(WaitUntil([&] { return frames.Count() > 10; }, 5s));
  win::HWND player = win::GetWindow(hosts_.back(), win::GW_CHILD);
  {
    Watchdog watchdog(std::chrono::seconds(20), "destroying a playing instance");
    EXPECT_EQ(QeloDestroyPlayerInstance(index), 1);
  }
  EXPECT_FALSE(win::IsWindow(player));
  EXPECT_EQ(QeloPlay(index), 0);
}

TEST_F(Teardown, DestroyingAnInstanceWhoseHostIsGoneEnds) {
  const int index = MakeInstance();
  ASSERT_TRUE(Open(VideoAudioClip(2), index));
  QeloPlay(index);
  Pump(300ms);
  win::DestroyWindow(hosts_.back());
  hosts_.pop_back();
  Watchdog watchdog(std::chrono::seconds(20), "destroying an instance without its host");
  EXPECT_EQ(QeloDestroyPlayerInstance(index), 1);
}

TEST_F(Teardown, DeInitialisingTearsDownTheInstancesLeftThenStartsAfresh) {
  std::vector<win::HWND> players;
  for (int i = 0; i < 3; ++i) {
    const int index = MakeInstance();
    ASSERT_TRUE(Open(i == 1 ? AudioOnlyClip(3) : VideoAudioClip(3), index));
    QeloPlay(index);
    players.push_back(win::GetWindow(hosts_.back(), win::GW_CHILD));
  }
  QeloPause(2);
  Pump(300ms);
  {
    Watchdog watchdog(std::chrono::seconds(20), "de-initialising with instances left");
    EXPECT_EQ(DeInitializeQeloPlayer(), 1);
  }
  for (win::HWND player : players) EXPECT_FALSE(win::IsWindow(player));
  // Initialised again, the library has an empty table and opens files.
  ASSERT_EQ(InitializeQeloPlayer(nullptr), 1);
  const int index = MakeInstance();
  EXPECT_EQ(index, 0);
  EXPECT_TRUE(Open(VideoOnlyClip(1), index));
}

}  // namespace
}  // namespace qelo::test
