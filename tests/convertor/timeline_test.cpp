// The source reader's timeline, with made-up sources: entries end to end,
// trimming and seeking, repeated and dropped frames, filler frames, silence,
// and the reader never left waiting on a full ring the consumer cannot empty.
#include <gtest/gtest.h>

#include <future>
#include <vector>

#include "convertor/fake_decoder.h"
#include "common/watchdog.h"
#include "source_worker.h"

namespace qelo::test {
namespace {

using convertor::Fetch;
using convertor::OwnedFrame;
using convertor::SourceWorker;
using namespace std::chrono_literals;

constexpr int64_t kSecond = 10000000;
constexpr int64_t kFrame = 400000;  // the groups' 25 fps

struct Picture {
  int64_t t, pts;
  int width, height;
  int index;  // the source frame's index, from its pixels; -1 for a filler frame
};
struct Chunk {
  int64_t pts;
  int bytes;
  bool silent;
};

// Takes from a reader as the conversion thread does: the stream whose clock
// is behind, the other one when the reader waits for room in its ring.
class Consumer {
 public:
  explicit Consumer(SourceWorker& reader, int bytesPerSecond = 32000)
      : reader_(reader), bytesPerSecond_(bytesPerSecond), chunk_(std::make_unique<AudioFrame>()) {}

  Fetch Video() {
    const Fetch f = reader_.FetchVideoFrame(videoClock, &frame_);
    if (f == Fetch::None) videoDone = true;
    if (f != Fetch::Got && f != Fetch::Filler) return f;
    const VideoFrame& v = frame_.frame;
    pictures.push_back({videoClock, v.pts, v.width, v.height, f == Fetch::Filler ? -1 : v.pixels[0]});
    videoClock += kFrame;
    return f;
  }
  Fetch Audio() {
    const Fetch f = reader_.FetchAudioChunk(chunk_.get());
    if (f == Fetch::None) audioDone = true;
    if (f != Fetch::Got && f != Fetch::Filler) return f;
    chunks.push_back({chunk_->pts, chunk_->byteCount, f == Fetch::Filler});
    audioBytes += chunk_->byteCount;
    audioClock = audioBytes * kSecond / bytesPerSecond_;
    return f;
  }
  // Steps until both streams are done or a clock would pass its limit.
  void Run(int64_t videoLimit = INT64_MAX, int64_t audioLimit = INT64_MAX) {
    Watchdog watchdog(20s, "reading the sources");
    for (;;) {
      const bool videoOpen = !videoDone && videoClock <= videoLimit;
      const bool audioOpen = !audioDone && audioClock < audioLimit;
      if (!videoOpen && !audioOpen) return;
      const bool audio = audioOpen && (!videoOpen || audioClock < videoClock);
      if ((audio ? Audio() : Video()) == Fetch::Later) {
        if (audio ? videoOpen : audioOpen) {
          audio ? Video() : Audio();
        } else {
          return;
        }
      }
    }
  }
  // The last picture a source gave (filler frames may follow it).
  const Picture& LastSourcePicture() const {
    for (auto p = pictures.rbegin(); p != pictures.rend(); ++p)
      if (p->index >= 0) return *p;
    return pictures.front();
  }
  const Picture* At(int64_t t) const {
    for (const Picture& p : pictures)
      if (p.t == t) return &p;
    return nullptr;
  }

  std::vector<Picture> pictures;
  std::vector<Chunk> chunks;
  int64_t videoClock = 0, audioClock = 0, audioBytes = 0;
  bool videoDone = false, audioDone = false;

 private:
  SourceWorker& reader_;
  const int bytesPerSecond_;
  OwnedFrame frame_;
  std::unique_ptr<AudioFrame> chunk_;
};

class Timeline : public ::testing::Test {
 protected:
  FakeDecoder decoder_;
};

TEST_F(Timeline, EntriesFollowOneAnotherOnOneTimeline) {
  decoder_.Add(u"a", {.videoLength = 10 * kSecond, .audioLength = 10 * kSecond});
  decoder_.Add(u"b", {.videoLength = 5 * kSecond, .audioLength = 5 * kSecond});
  FakeGroup g(8, 4);
  g.Add(u"a", 10 * kSecond);
  g.Add(u"b", 5 * kSecond);
  SourceWorker reader(g.Finish(), decoder_);
  Consumer c(reader);
  c.Run();

  // 15 s at 25 fps, every one a source's frame: no filler frame stands at
  // an entry's end, however far the reader got meanwhile.
  ASSERT_EQ(c.pictures.size(), 375u);
  for (const Picture& p : c.pictures) {
    EXPECT_EQ(p.pts, p.t);
    EXPECT_EQ(p.index, int((p.t < 10 * kSecond ? p.t : p.t - 10 * kSecond) / kFrame) & 0xFF) << p.t;
  }
  ASSERT_EQ(c.chunks.size(), 150u);  // of 0.1 s each
  for (size_t i = 0; i < c.chunks.size(); ++i) EXPECT_EQ(c.chunks[i].pts, int64_t(i) * kSecond / 10);
  EXPECT_EQ(c.audioClock, 15 * kSecond);
}

TEST_F(Timeline, ATrimmedEntryIsSoughtShiftedAndEndsAtItsTrimEnd) {
  decoder_.Add(u"a", {.videoLength = 10 * kSecond, .audioLength = 10 * kSecond});
  decoder_.Add(u"b", {.videoLength = 20 * kSecond, .audioLength = 20 * kSecond});
  FakeGroup g(8, 4);
  g.Add(u"a", 10 * kSecond);
  g.Add(u"b", 20 * kSecond, 5 * kSecond, 8 * kSecond);
  SourceWorker reader(g.Finish(), decoder_);
  Consumer c(reader);
  c.Run();

  EXPECT_EQ(decoder_.Seeks(), std::vector<int64_t>{5 * kSecond});
  const Picture* at11 = c.At(11 * kSecond);
  ASSERT_NE(at11, nullptr);
  EXPECT_EQ(at11->index, 150);  // source time 6 s
  // The first frame at or after the trim end (8 s, frame 200) is used, and
  // is the entry's last.
  const Picture& last = c.LastSourcePicture();
  EXPECT_EQ(last.index, 200 & 0xFF);
  EXPECT_EQ(last.pts, 13 * kSecond);
  EXPECT_LT(last.t, 13 * kSecond + kFrame);
}

TEST_F(Timeline, TimesBeforeATrimStartAreDropped) {
  // The seek lands half a second early, as seeks to key frames do.
  decoder_.Add(u"a", {.videoLength = 10 * kSecond, .audioLength = 10 * kSecond, .seekShortfall = 5000000});
  FakeGroup g(8, 4);
  g.Add(u"a", 10 * kSecond, 2 * kSecond, 4 * kSecond);
  SourceWorker reader(g.Finish(), decoder_);
  Consumer c(reader);
  c.Run();

  ASSERT_FALSE(c.pictures.empty());
  EXPECT_EQ(c.pictures.front().pts, 0);
  EXPECT_EQ(c.pictures.front().index, 50);  // source time 2 s
  ASSERT_FALSE(c.chunks.empty());
  EXPECT_EQ(c.chunks.front().pts, 0);  // the chunks from 1.5 s to 1.9 s went
}

TEST_F(Timeline, FramesRepeatOrAreSkippedToMatchTheOutputRate) {
  struct Case {
    int64_t sourceInterval;
    std::vector<int> indexes;  // of the first five output frames
  } cases[] = {
      {2 * kFrame, {0, 0, 1, 1, 2}},  // half the output rate: each twice
      {kFrame / 2, {0, 2, 4, 6, 8}},  // twice the output rate: every second
  };
  for (const Case& k : cases) {
    FakeDecoder decoder;
    decoder.Add(u"a", {.videoLength = 2 * kSecond, .frameInterval = k.sourceInterval, .audioLength = 2 * kSecond});
    FakeGroup g(8, 4);
    g.Add(u"a", 2 * kSecond);
    SourceWorker reader(g.Finish(), decoder);
    Consumer c(reader);
    c.Run();
    ASSERT_GE(c.pictures.size(), 5u);
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(c.pictures[i].index, k.indexes[i]) << k.sourceInterval << " " << i;
  }
}

// The next source is held back, so the reader stays on the first one.
struct HeldSource {
  std::promise<void> release;
  FakeSource script;
  HeldSource() { script.openGate = release.get_future().share(); }
};

TEST_F(Timeline, FillerFramesCoverVideoThatEndsBeforeItsEntry) {
  HeldSource next;
  next.script.videoLength = next.script.audioLength = kSecond;
  decoder_.Add(u"a", {.width = 6, .height = 4, .videoLength = 3 * kSecond, .audioLength = 5 * kSecond});
  decoder_.Add(u"b", next.script);
  FakeGroup g(8, 4);
  g.Add(u"a", 5 * kSecond);
  g.Add(u"b", kSecond);
  SourceWorker reader(g.Finish(), decoder_);
  Consumer c(reader);
  c.Run(5 * kSecond - kFrame, 5 * kSecond);

  for (const Picture& p : c.pictures) {
    if (p.t < 3 * kSecond) {
      EXPECT_GE(p.index, 0) << p.t;
    } else {
      // Black, transparent, at the size the decoder was giving.
      EXPECT_EQ(p.index, -1) << p.t;
      EXPECT_EQ(p.pts, p.t);
      EXPECT_EQ(p.width, 6);
      EXPECT_EQ(p.height, 4);
    }
  }
  EXPECT_EQ(c.pictures.back().t, 5 * kSecond - kFrame);  // the entry's last frame time
  next.release.set_value();
  c.Run();
  EXPECT_EQ(c.LastSourcePicture().pts, 5 * kSecond + kSecond - kFrame);
}

TEST_F(Timeline, SilenceComesInWholeSampleFramesOfAtMostOneSecond) {
  struct Case {
    FakeGroup group;
    int64_t entry;
    std::vector<int> silence;  // bytes of each silent chunk
  };
  FakeGroup mono(8, 4);  // 32,000 bytes a second
  FakeGroup stereo(8, 4);
  stereo.group.format.sampleRate = 44100;
  stereo.group.format.channels = 2;  // 176,400 bytes a second, 4 a sample frame
  Case cases[] = {
      {mono, 5 * kSecond, {32000, 32000, 16000}},
      // 2.5 s and 10 us of silence: 441,001.76 bytes, cut to whole frames.
      {stereo, 5 * kSecond + 100, {176400, 176400, 88200}},
  };
  for (Case& k : cases) {
    HeldSource next;
    next.script.audioLength = kSecond;
    FakeDecoder decoder;
    decoder.Add(u"a", {.videoLength = 5 * kSecond, .audioLength = 5 * kSecond / 2});
    decoder.Add(u"b", next.script);
    k.group.Add(u"a", k.entry);
    k.group.Add(u"b", kSecond);
    SourceWorker reader(k.group.Finish(), decoder);
    const int bytesPerSecond = k.group.group.format.sampleRate * k.group.group.format.channels * 2;
    Consumer c(reader, bytesPerSecond);
    c.Run(5 * kSecond - kFrame, 5 * kSecond);
    std::vector<int> silence;
    for (const Chunk& chunk : c.chunks)
      if (chunk.silent) silence.push_back(chunk.bytes);
    EXPECT_EQ(silence, k.silence) << bytesPerSecond;
    next.release.set_value();
    c.Run();
  }
}

TEST_F(Timeline, AFullAudioRingNeverLeavesTheVideoWaitingForever) {
  // The first source's sound runs on past its entry while its video ended:
  // the reader waits for room in the audio ring, the video for the next
  // source. The video fetch says so instead of waiting.
  decoder_.Add(u"a", {.videoLength = kSecond, .audioLength = 3 * kSecond, .chunkDuration = 100000});
  decoder_.Add(u"b", {.videoLength = kSecond, .audioLength = kSecond});
  FakeGroup g(8, 4);
  g.Add(u"a", kSecond);
  g.Add(u"b", kSecond);
  SourceWorker reader(g.Finish(), decoder_);
  Consumer c(reader);
  {
    Watchdog watchdog(10s, "the video fetch");
    while (c.videoClock < kSecond) ASSERT_EQ(c.Video(), Fetch::Got);
    EXPECT_EQ(c.Video(), Fetch::Later);
  }
  c.Run();
  EXPECT_TRUE(c.videoDone);
  EXPECT_TRUE(c.audioDone);
  EXPECT_EQ(c.LastSourcePicture().pts, kSecond + kSecond - kFrame);  // the second source's last frame
}

// A source whose data ends at 0.18 s, trimmed to 0.5 s .. 1.2 s: nothing of
// it lies in its entry, and its streams end at once. The conversion thread
// asks for pictures either while the reader still waits for the sound's end
// (held here) or after the reader has finished: it gets the same answers.
TEST_F(Timeline, WhatIsHandedOutDoesNotDependOnWhenTheReaderFinishes) {
  const int64_t entryEnd = 7000000;  // 0.7 s
  std::vector<std::vector<Fetch>> answers;
  for (const bool askBeforeTheEnd : {true, false}) {
    SCOPED_TRACE(askBeforeTheEnd ? "asked before the reader finished" : "asked after");
    std::promise<void> soundEnd;
    FakeSource script{.videoLength = 1800000, .audioLength = 1800000};
    script.audioEndGate = soundEnd.get_future().share();
    FakeDecoder decoder;
    decoder.Add(u"a", script);
    FakeGroup g(8, 4);
    g.Add(u"a", kSecond, kSecond / 2, kSecond * 12 / 10);
    SourceWorker reader(g.Finish(), decoder);
    Consumer c(reader);
    std::vector<Fetch> got;
    if (askBeforeTheEnd) {
      while (c.videoClock < entryEnd) got.push_back(c.Video());
    } else {
      soundEnd.set_value();
      c.Run(-1);  // the sound only, to its end: the reader has finished by then
    }
    if (askBeforeTheEnd) {
      soundEnd.set_value();
      c.Run(-1);
    }
    while (!c.videoDone) got.push_back(c.Video());
    got.push_back(c.Video());  // the end stays
    answers.push_back(got);
    EXPECT_EQ(c.audioClock, entryEnd) << "silence over the whole entry";
    for (const Chunk& chunk : c.chunks) EXPECT_TRUE(chunk.silent);
  }
  EXPECT_EQ(answers[0], answers[1]);
  const size_t fillers = size_t(entryEnd / kFrame) + 1;  // 0 s to 0.68 s
  ASSERT_EQ(answers[0].size(), fillers + 2);
  for (size_t i = 0; i < fillers; ++i) EXPECT_EQ(answers[0][i], Fetch::Filler) << i;
  EXPECT_EQ(answers[0][fillers], Fetch::None);
}

TEST_F(Timeline, AGroupWithoutVideoNeverSeeks) {
  decoder_.Add(u"a", {.videoLength = 10 * kSecond, .audioLength = 10 * kSecond});
  FakeGroup g(8, 4, /*video=*/false);
  g.Add(u"a", 10 * kSecond, 2 * kSecond, 4 * kSecond);
  SourceWorker reader(g.Finish(), decoder_);
  Consumer c(reader);
  c.Run();
  EXPECT_TRUE(decoder_.Seeks().empty());
  EXPECT_TRUE(c.pictures.empty());
  // From the start of the source: the chunks before the trim start have
  // negative times and are dropped, the one at the trim end is the last.
  ASSERT_EQ(c.chunks.size(), 21u);  // 2 s to 4 s in 0.1 s chunks
  EXPECT_EQ(c.chunks.front().pts, 0);
  EXPECT_EQ(c.chunks.back().pts, 2 * kSecond);
}

}  // namespace
}  // namespace qelo::test
