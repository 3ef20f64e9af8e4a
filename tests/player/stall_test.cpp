// The host's thread is never held up by the player for long: while a
// 1080p clip is sought far from its key frame, stepped, played, closed in
// the middle of a seek and destroyed, the host keeps calling the exports
// that take the instance's lock and keeps answering a posted message within
// 100 ms. The clip has one key frame, so each seek decodes up to its target.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

#include "common/media_fixture.h"
#include "common/response_probe.h"
#include "player_fixture.h"

namespace qelo::test {
namespace {

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
// Sanitizers make every copy of a 1080p frame many times slower: the bound
// then only tells a stretch of copies from a wait for a decode to its end.
constexpr auto kAnswerBound = std::chrono::milliseconds(2000);
#else
constexpr auto kAnswerBound = std::chrono::milliseconds(100);
#endif

std::string FullHdClip() {
  return CachedMedia("player-1080p-3.mp4",
                     {"-f", "lavfi", "-i", "testsrc2=size=1920x1080:rate=25:duration=3", "-f", "lavfi", "-i",
                      "sine=frequency=440:sample_rate=44100:duration=3", "-ac", "2", "-c:v", "libx264", "-preset",
                      "ultrafast", "-pix_fmt", "yuv420p", "-shortest"});
}

void Seek(int64_t position, int index) {
  QeloSeek(uint32_t(position & 0xFFFFFFFF), int32_t(position >> 32), index);
}

// The longest time each kind of call held the host's thread.
class CallTimes {
 public:
  template <typename Call>
  void Time(const std::string& name, Call call) {
    const auto start = std::chrono::steady_clock::now();
    call();
    const auto took = std::chrono::steady_clock::now() - start;
    longest_[name] = std::max(longest_[name], std::chrono::duration_cast<std::chrono::microseconds>(took));
  }
  void Print() const {
    for (const auto& [name, took] : longest_) std::printf("  %-24s %7.1f ms\n", name.c_str(), took.count() / 1000.0);
  }

 private:
  std::map<std::string, std::chrono::microseconds> longest_;
};

struct PreviewKind {
  const char* name;
  bool twoPane;
  int width, height;
};

class Stalls : public PlayerTest {
 protected:
  // Seeks, steps, plays, closes in a seek and destroys an instance of
  // `kind` on `clip`; the longest the host waited for a posted message
  // meanwhile.
  std::chrono::microseconds LongestWait(const PreviewKind& kind, const std::string& clip);
};

std::chrono::microseconds Stalls::LongestWait(const PreviewKind& kind, const std::string& clip) {
  FrameLog& frames = NewFrameLog();
  const int index = MakeInstance(&frames, kind.twoPane, kind.width, kind.height);
  EXPECT_GE(index, 0);
  EXPECT_TRUE(Open(clip, index));
  CallTimes times;
  RelativeRect crop{};
  // Between the calls the host handles its messages and keeps asking for
  // the crop, which takes the instance's lock, for `time` or until `done`.
  const auto busyHost = [&](std::chrono::milliseconds time, const std::function<bool()>& done) {
    return WaitUntil([&] {
      times.Time("QeloGetCrop", [&] { QeloGetCrop(&crop, index); });
      return done();
    }, time);
  };
  const auto never = [] { return false; };
  std::chrono::microseconds longest{0};
  int answered = 0;
  {
    ResponseProbe probe;
    // One call at a time, as a user's clicks come, each while the seek
    // before it may still be decoding its way to its target.
    for (const int64_t target : {2 * kSecond, kSecond / 2, 2 * kSecond + 15 * kFrame}) {
      times.Time("QeloSeek", [&] { Seek(target, index); });
      busyHost(20ms, never);
      times.Time("QeloNextFrame", [&] { QeloNextFrame(index); });
      busyHost(20ms, never);
      times.Time("QeloPreviousFrame", [&] { QeloPreviousFrame(index); });
      busyHost(300ms, never);
    }
    EXPECT_TRUE(busyHost(20s, [&] { return frames.Count() > 0; })) << "the paused seeks and steps show frames";
    const size_t shownPaused = frames.Count();
    times.Time("QeloPlay", [&] { QeloPlay(index); });
    busyHost(600ms, never);
    EXPECT_TRUE(busyHost(20s, [&] { return frames.Count() > shownPaused; })) << "playing shows frames";
    times.Time("QeloSeek", [&] { Seek(kSecond, index); });
    busyHost(400ms, never);
    times.Time("QeloNextFrame", [&] { QeloNextFrame(index); });
    busyHost(100ms, never);
    // Closed while a seek decodes its way to the target.
    Seek(2 * kSecond + 20 * kFrame, index);
    times.Time("QeloDeInitFile", [&] { QeloDeInitFile(index); });
    busyHost(100ms, never);
    probe.Stop();
    longest = probe.Longest();
    answered = probe.Answered();
  }
  // Opening is the host's own work, outside what is watched; then the
  // instance is destroyed in the same state.
  times.Time("QeloInitFile", [&] { EXPECT_TRUE(Open(clip, index)); });
  {
    ResponseProbe probe;
    Seek(2 * kSecond + 20 * kFrame, index);
    times.Time("QeloDestroyPlayerInstance", [&] { QeloDestroyPlayerInstance(index); });
    busyHost(100ms, never);
    probe.Stop();
    longest = std::max(longest, probe.Longest());
    answered += probe.Answered();
  }
  std::printf("%s: the host waited at most %.1f ms for a posted message (%d answered); longest calls:\n", kind.name,
              longest.count() / 1000.0, answered);
  times.Print();
  EXPECT_GT(answered, 100);
  return longest;
}

// A machine busy with other work may hold the host's own thread up now and
// then; a wait for the player is there in every run, so the best of three
// runs is held to the bound.
TEST_F(Stalls, TheHostAnswersWithin100MsWhileA1080pPreviewIsSoughtSteppedAndClosed) {
  const std::string clip = FullHdClip();
  ASSERT_FALSE(clip.empty());
  const PreviewKind kinds[] = {{"one pane, frames at 1080p", false, 352, 225}, {"two panes", true, 782, 282}};
  for (const PreviewKind& kind : kinds) {
    SCOPED_TRACE(kind.name);
    std::chrono::microseconds best = std::chrono::microseconds::max();
    for (int run = 0; run < 3 && best >= kAnswerBound; ++run) best = std::min(best, LongestWait(kind, clip));
    EXPECT_LT(best, kAnswerBound);
  }
}

}  // namespace
}  // namespace qelo::test
