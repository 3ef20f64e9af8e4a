// The engine through its exports, on generated files: a whole conversion
// checked with ffprobe, the callback order, stopping, deep copies and the
// table's limit.
#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <vector>

#include "common/media_fixture.h"
#include "common/temp_dir.h"
#include "common/watchdog.h"
#include "qelo/convertor.h"
#include "qelo/effect.h"
#include "win/codepage.h"

namespace qelo::test {
namespace {

using namespace std::chrono_literals;
constexpr int64_t kSecond = 10000000;

struct Call {
  int group;
  double file, total;
  int state;
};

// Collects the callbacks of runs; the conversion thread only appends.
class Recorder {
 public:
  static void Callback(int32_t group, double file, double total, int32_t state, void* user) {
    auto* self = static_cast<Recorder*>(user);
    std::lock_guard<std::mutex> hold(self->mutex_);
    self->calls_.push_back({group, file, total, state});
    self->changed_.notify_all();
  }
  // Waits for `count` calls that end a run (all done, error, stopped).
  bool WaitForEnds(int count, std::chrono::seconds limit = 60s) {
    std::unique_lock<std::mutex> hold(mutex_);
    return changed_.wait_for(hold, limit, [&] { return Ends() >= count; });
  }
  bool WaitForProgress(double percent) {
    std::unique_lock<std::mutex> hold(mutex_);
    return changed_.wait_for(hold, 60s, [&] {
      return !calls_.empty() && calls_.back().state == ConvertProgress && calls_.back().file >= percent;
    });
  }
  std::vector<Call> Calls() {
    std::lock_guard<std::mutex> hold(mutex_);
    return calls_;
  }
  // The states in order, progress calls folded into one.
  std::vector<std::pair<int, int>> States() {
    std::vector<std::pair<int, int>> states;
    for (const Call& c : Calls())
      if (states.empty() || c.state != ConvertProgress || states.back() != std::pair{c.group, c.state})
        states.push_back({c.group, c.state});
    return states;
  }

 private:
  int Ends() const {
    int n = 0;
    for (const Call& c : calls_) n += c.state == ConvertAllDone || c.state == ConvertError || c.state == ConvertStopped;
    return n;
  }
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Call> calls_;
};

std::mutex gLogMutex;
std::vector<std::string> gLog;
void CollectLine(const char16_t* line) {
  std::lock_guard<std::mutex> hold(gLogMutex);
  gLog.push_back(win::Utf16ToUtf8(line));
}
bool Logged(const std::string& line) {
  std::lock_guard<std::mutex> hold(gLogMutex);
  for (const auto& l : gLog)
    if (l == line) return true;
  return false;
}

std::string Clip(const std::string& name, int seconds) {
  return CachedMedia(name, {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=" + std::to_string(seconds),
                            "-f", "lavfi", "-i",
                            "sine=frequency=440:sample_rate=44100:duration=" + std::to_string(seconds), "-ac", "2",
                            "-c:v", "libx264", "-g", "25", "-c:a", "aac", "-shortest"});
}

SourceEntry Entry(const std::string& path, int64_t duration) {
  SourceEntry e{};
  win::CopyToUtf16Field(e.path, QELO_PATH_CHARS, win::Utf8ToUtf16(path));
  e.sourceDuration = duration;
  e.watermarkAlpha = 255;
  return e;
}

// A white text watermark of `points` in `face` at the region's corner.
void GiveWhiteText(SourceEntry& e, const char16_t* text, const char16_t* face, int points, RelativeRect region) {
  e.textWatermarkEnabled = 1;
  win::CopyToUtf16Field(e.watermarkText, QELO_WATERMARK_TEXT_CHARS, text);
  win::CopyToUtf16Field(e.watermarkFont.faceName, 32, face);
  e.watermarkFont.size = points;
  e.watermarkFont.color = 0xFFFFFF;
  e.watermarkRegion = region;
}

FormatSettings Mpeg2(const std::string& output, int width = 320, int height = 240) {
  FormatSettings f{};
  win::CopyToUtf16Field(f.outputPath, QELO_PATH_CHARS, win::Utf8ToUtf16(output));
  f.formatId = FORMAT_MPEG2;
  f.videoCodecId = VCODEC_MPEG2;
  f.audioCodecId = ACODEC_MP2;
  f.width = width, f.height = height, f.frameRateNum = 25, f.frameRateDen = 1;
  f.videoBitRate = 800000;
  f.sampleRate = 44100, f.channels = 2, f.bitsPerSample = 16, f.audioBitRate = 128000;
  return f;
}

FormatSettings Mp3(const std::string& output) {
  FormatSettings f{};
  win::CopyToUtf16Field(f.outputPath, QELO_PATH_CHARS, win::Utf8ToUtf16(output));
  f.formatId = FORMAT_MP3;
  f.videoCodecId = -1;
  f.audioCodecId = ACODEC_MP3;
  f.sampleRate = 44100, f.channels = 2, f.bitsPerSample = 16, f.audioBitRate = 128000;
  return f;
}

// A caller's group over its own entries.
struct Group {
  WorkGroup group{};
  std::vector<SourceEntry> entries;
  explicit Group(const FormatSettings& format, std::vector<SourceEntry> sources) : entries(std::move(sources)) {
    group.format = format;
    group.sourceCount = int32_t(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) group.sources[i] = &entries[i];
  }
};

class Engine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(InitializeVideoConvertor(CollectLine), 1); }
  void SetUp() override {
    QeloStopWorkGroup();
    RegisterCallBackPorcess(&Recorder::Callback, &recorder_);
  }
  void TearDown() override { QeloStopWorkGroup(); }
  void RunAndWait(int ends = 1) {
    ASSERT_NE(QeloRunWorkGroup(), nullptr);
    ASSERT_TRUE(recorder_.WaitForEnds(ends));
  }
  Recorder recorder_;
  TempDir dir_;
};

TEST_F(Engine, TwoSourcesBecomeOneFileThenAnAudioOnlyGroupIsWritten) {
  const std::string a = Clip("engine-a.mp4", 2), b = Clip("engine-b.mp4", 4);
  ASSERT_FALSE(a.empty());
  ASSERT_FALSE(b.empty());
  SourceEntry first = Entry(a, 2 * kSecond);
  first.cropEnabled = 1;
  first.cropRect = {0.1, 0.1, 0.8, 0.8};
  GiveWhiteText(first, u"Clipshift", u"DejaVu Sans", 12, {0.05, 0.05, 0.5, 0.2});
  first.effectCount = 1;
  first.effects[0].effectId = EFFECT_GRAY;
  SourceEntry second = Entry(b, 4 * kSecond);
  second.trimEnabled = 1;
  second.trimStart = 1 * kSecond;
  second.trimEnd = 3 * kSecond;
  const std::string video = dir_.File("joined.mpg"), audio = dir_.File("sound.mp3");
  Group joined(Mpeg2(video, 352, 288), {first, second});
  Group sound(Mp3(audio), {Entry(a, 2 * kSecond)});

  QeloClearWorkGroup();
  ASSERT_EQ(QeloCreateWorkGroup(&joined.group), 0);
  {
    Watchdog watchdog(120s, "the conversion");
    RunAndWait();
  }
  EXPECT_EQ(recorder_.States().back(), (std::pair<int, int>{0, ConvertAllDone}));
  const ProbedFile out = Probe(video);
  ASSERT_TRUE(out.ok);
  const ProbedStream* v = out.First("video");
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->Get("codec_name"), "mpeg2video");
  EXPECT_EQ(v->Number("width"), 352);
  EXPECT_EQ(v->Number("height"), 288);
  ASSERT_NE(out.First("audio"), nullptr);
  EXPECT_EQ(out.First("audio")->Get("codec_name"), "mp2");
  // 2 s and the trimmed 2 s, within one frame; the sound may run a little
  // past (whole encoder frames, the decoders' own padding).
  EXPECT_NEAR(CountVideoFrames(video) / 25.0, 4.0, 0.04 + 1e-9);
  EXPECT_NEAR(v->Number("duration"), 4.0, 0.04 + 1e-9);
  EXPECT_NEAR(out.Duration(), 4.0, 0.15);

  RegisterCallBackPorcess(&Recorder::Callback, &recorder_);
  QeloClearWorkGroup();
  ASSERT_EQ(QeloCreateWorkGroup(&sound.group), 0);
  RunAndWait(2);
  const ProbedFile mp3 = Probe(audio);
  ASSERT_TRUE(mp3.ok);
  EXPECT_EQ(mp3.streams.size(), 1u);
  ASSERT_NE(mp3.First("audio"), nullptr);
  EXPECT_NEAR(mp3.Duration(), 2.0, 0.1);
}

TEST_F(Engine, AGroupWithoutSoundAsksNoSoundFormatAndWritesPicturesOnly) {
  const std::string clip = Clip("engine-silent.mp4", 1);
  ASSERT_FALSE(clip.empty());
  FormatSettings format = Mpeg2(dir_.File("pictures.mpg"));
  format.audioCodecId = ACODEC_NONE;
  format.sampleRate = format.channels = format.bitsPerSample = format.audioBitRate = 0;
  Group pictures(format, {Entry(clip, kSecond)});
  {
    std::lock_guard<std::mutex> hold(gLogMutex);
    gLog.clear();
  }
  QeloClearWorkGroup();
  ASSERT_EQ(QeloCreateWorkGroup(&pictures.group), 0);
  RunAndWait();
  EXPECT_EQ(recorder_.States().back(), (std::pair<int, int>{0, ConvertAllDone}));
  const ProbedFile out = Probe(dir_.File("pictures.mpg"));
  ASSERT_TRUE(out.ok);
  ASSERT_EQ(out.streams.size(), 1u);
  EXPECT_NE(out.First("video"), nullptr);
  std::lock_guard<std::mutex> hold(gLogMutex);
  for (const std::string& line : gLog) EXPECT_EQ(line.find("invalid audio format"), std::string::npos) << line;
}

TEST_F(Engine, CallbacksComeInTheirOrderWithPercentsUpToAHundred) {
  const std::string a = Clip("engine-a.mp4", 2);
  Group one(Mpeg2(dir_.File("one.mpg")), {Entry(a, 2 * kSecond)});
  Group two(Mp3(dir_.File("two.mp3")), {Entry(a, 2 * kSecond), Entry(a, 2 * kSecond)});
  ASSERT_EQ(QeloCreateWorkGroup(&one.group), 0);
  ASSERT_EQ(QeloCreateWorkGroup(&two.group), 1);
  RunAndWait();
  const std::vector<std::pair<int, int>> expected = {
      {0, ConvertGroupStarted}, {0, ConvertProgress}, {0, ConvertGroupDone},  {1, ConvertGroupStarted},
      {1, ConvertProgress},     {1, ConvertGroupDone}, {0, ConvertAllDone}};
  EXPECT_EQ(recorder_.States(), expected);
  double lastTotal = 0;
  for (const Call& c : recorder_.Calls()) {
    if (c.state != ConvertProgress) {
      EXPECT_EQ(c.file, 0);
      EXPECT_EQ(c.total, 0);
      continue;
    }
    EXPECT_LE(c.file, 100.0);
    EXPECT_LE(c.total, 100.0);
    EXPECT_GE(c.total, lastTotal);
    lastTotal = c.total;
  }
  EXPECT_EQ(lastTotal, 100.0);
  // The first group is a third of the run (its streams may run up to half a
  // second past its end).
  for (const Call& c : recorder_.Calls()) {
    if (c.state == ConvertProgress && c.group == 0) {
      EXPECT_LE(c.total, 2.5 / 6 * 100);
    }
  }
}

TEST_F(Engine, ARunOverNoGroupIsAllDoneAtOnce) {
  RunAndWait();
  const std::vector<Call> calls = recorder_.Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].group, 0);
  EXPECT_EQ(calls[0].state, ConvertAllDone);
  EXPECT_EQ(calls[0].file, 0);
  EXPECT_EQ(calls[0].total, 0);
}

// Nothing reached the encoder: the output, which holds only a header, is
// removed; the group fails as before.
TEST_F(Engine, SourcesThatCannotBeOpenedFailTheGroupAndLeaveNoOutput) {
  const std::string video = dir_.File("missing.mpg"), sound = dir_.File("missing.mp3");
  Group missingVideo(Mpeg2(video), {Entry("/no/such/clip.mp4", 2 * kSecond)});
  Group missingSound(Mp3(sound), {Entry("/no/such/clip.mp4", 2 * kSecond)});
  for (Group* group : {&missingVideo, &missingSound}) {
    const std::string output = win::Utf16ToUtf8(win::Utf16Field(group->group.format.outputPath, QELO_PATH_CHARS));
    SCOPED_TRACE(output);
    RegisterCallBackPorcess(&Recorder::Callback, &recorder_);
    QeloClearWorkGroup();
    ASSERT_EQ(QeloCreateWorkGroup(&group->group), 0);
    RunAndWait(group == &missingVideo ? 1 : 2);
    QeloClearWorkGroup();  // the line follows the callback: wait for the thread
    EXPECT_EQ(recorder_.States().back(), (std::pair<int, int>{0, ConvertError}));
    EXPECT_TRUE(Logged("Qelo VideoConvertor: failed to decode file(/no/such/clip.mp4)"));
    EXPECT_TRUE(Logged("Qelo VideoConvertor: failed to coverter video"));
    EXPECT_TRUE(Logged("Qelo VideoConvertor: removed output without frame or sample(" + output + ")"));
    EXPECT_FALSE(std::filesystem::exists(output));
  }
}

TEST_F(Engine, AStopEndsTheRunSoonClosesTheFileAndLeavesTheEngineReady) {
  const std::string longClip = Clip("engine-long.mp4", 30);
  const std::string output = dir_.File("stopped.mpg");
  Group slow(Mpeg2(output, 720, 576), {Entry(longClip, 30 * kSecond)});
  ASSERT_EQ(QeloCreateWorkGroup(&slow.group), 0);
  ASSERT_NE(QeloRunWorkGroup(), nullptr);
  ASSERT_TRUE(recorder_.WaitForProgress(1.0));
  {
    Watchdog watchdog(10s, "stopping a run");
    QeloStopWorkGroup();
  }
  const auto states = recorder_.States();
  EXPECT_EQ(states.back(), (std::pair<int, int>{0, ConvertStopped}));
  for (const auto& s : states) EXPECT_NE(s.second, ConvertAllDone);
  EXPECT_TRUE(Probe(output).ok);  // closed with its trailer

  Recorder again;
  RegisterCallBackPorcess(&Recorder::Callback, &again);
  Group quick(Mp3(dir_.File("after.mp3")), {Entry(Clip("engine-a.mp4", 2), 2 * kSecond)});
  ASSERT_EQ(QeloCreateWorkGroup(&quick.group), 0);
  ASSERT_NE(QeloRunWorkGroup(), nullptr);
  ASSERT_TRUE(again.WaitForEnds(1));
  EXPECT_EQ(again.States().back(), (std::pair<int, int>{0, ConvertAllDone}));
}

TEST_F(Engine, ASecondRunStopsTheFirstAndStartsOverAllGroups) {
  const std::string longClip = Clip("engine-long.mp4", 30);
  Group slow(Mpeg2(dir_.File("first.mpg"), 720, 576), {Entry(longClip, 30 * kSecond)});
  Group quick(Mp3(dir_.File("second.mp3")), {Entry(Clip("engine-a.mp4", 2), 2 * kSecond)});
  ASSERT_EQ(QeloCreateWorkGroup(&slow.group), 0);
  ASSERT_NE(QeloRunWorkGroup(), nullptr);
  ASSERT_TRUE(recorder_.WaitForProgress(1.0));
  {
    Watchdog watchdog(10s, "stopping the first run");
    slow.group.format = Mp3(dir_.File("first.mp3"));  // the engine's copy is what it converts
    slow.group.sources[0]->sourceDuration = 2 * kSecond;
    ASSERT_NE(QeloRunWorkGroup(), nullptr);
  }
  ASSERT_TRUE(recorder_.WaitForProgress(0.0));
  QeloStopWorkGroup();
  const auto states = recorder_.States();
  ASSERT_GE(states.size(), 4u);
  const auto stopped = std::find(states.begin(), states.end(), std::pair<int, int>{0, ConvertStopped});
  ASSERT_NE(stopped, states.end());
  ASSERT_NE(stopped + 1, states.end());
  EXPECT_EQ(*(stopped + 1), (std::pair<int, int>{0, ConvertGroupStarted}));
  EXPECT_FALSE(Probe(dir_.File("first.mp3")).ok);
}

TEST_F(Engine, TheEngineKeepsDeepCopiesOfTheCallersRecords) {
  const std::string a = Clip("engine-a.mp4", 2);
  const std::string output = dir_.File("copied.mp3");
  {
    auto caller = std::make_unique<Group>(Mp3(output), std::vector<SourceEntry>{Entry(a, 2 * kSecond)});
    ASSERT_EQ(QeloCreateWorkGroup(&caller->group), 0);
    caller->entries[0] = Entry("/no/such/clip.mp4", kSecond);
    caller->group.format = Mp3(dir_.File("changed.mp3"));
  }  // and freed
  RunAndWait();
  EXPECT_EQ(recorder_.States().back(), (std::pair<int, int>{0, ConvertAllDone}));
  EXPECT_NEAR(Probe(output).Duration(), 2.0, 0.1);
  EXPECT_FALSE(Probe(dir_.File("changed.mp3")).ok);
}

TEST_F(Engine, TheTableHoldsAHundredAndTwentyEightGroups) {
  for (int i = 0; i < MAX_WORK_GROUPS; ++i) ASSERT_EQ(QeloCreateWorkGroup(nullptr), i);
  EXPECT_EQ(QeloCreateWorkGroup(nullptr), -1);
  QeloClearWorkGroup();
  EXPECT_EQ(QeloCreateWorkGroup(nullptr), 0);
}

TEST_F(Engine, AfterAStopARunHasNoCallbackUntilOneIsRegistered) {
  QeloStopWorkGroup();
  ASSERT_NE(QeloRunWorkGroup(), nullptr);
  QeloClearWorkGroup();  // waits for the run's thread
  EXPECT_TRUE(recorder_.Calls().empty());
}

// What a preview draws through the export is the chain of a conversion, in
// its order: a white text drawn first and then inverted shows black on the
// inverted grey, never white.
TEST_F(Engine, ThePreviewsCompositingDrawsTheWatermarkBeforeTheEffects) {
  constexpr int kWidth = 96, kHeight = 48;
  std::vector<uint32_t> pixels(kWidth * kHeight, 0xFF808080u);
  VideoFrame frame{reinterpret_cast<uint8_t*>(pixels.data()), kWidth, kHeight, kWidth * 4,
                   int32_t(pixels.size() * 4), 0, 0};
  SourceEntry entry = Entry("/no/such/clip.mp4", kSecond);
  GiveWhiteText(entry, u"MMM", u"Sans", 20, {0.05, 0.05, 0.5, 0.5});
  entry.effectCount = 1;
  entry.effects[0].effectId = EFFECT_INVERT;
  ASSERT_EQ(QeloCompositeFrame(&entry, &frame), 1);
  int black = 0, white = 0;
  for (uint32_t p : pixels) {
    black += (p & 0xFFFFFF) < 0x202020;
    white += (p & 0xF0F0F0) == 0xF0F0F0;
  }
  EXPECT_GT(black, 40) << "the inverted text";
  EXPECT_EQ(white, 0);
  EXPECT_EQ(pixels.back() & 0xFFFFFF, 0x7F7F7Fu) << "the inverted grey";
  EXPECT_EQ(QeloCompositeFrame(nullptr, &frame), 0);
  EXPECT_EQ(QeloCompositeFrame(&entry, nullptr), 0);
}

}  // namespace
}  // namespace qelo::test
