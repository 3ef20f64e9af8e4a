// The engine through its exports, on generated files: a whole conversion
// checked with ffprobe, the callback order, stopping, deep copies and the
// table's limit.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

#include "common/media_fixture.h"
#include "common/watchdog.h"
#include "convertor/engine_fixture.h"
#include "qelo/effect.h"
#include "win/codepage.h"

namespace qelo::test {
namespace {

using namespace std::chrono_literals;

// A white text watermark of `points` in `face` at the region's corner.
void GiveWhiteText(SourceEntry& e, const char16_t* text, const char16_t* face, int points, RelativeRect region) {
  e.textWatermarkEnabled = 1;
  win::CopyToUtf16Field(e.watermarkText, QELO_WATERMARK_TEXT_CHARS, text);
  win::CopyToUtf16Field(e.watermarkFont.faceName, 32, face);
  e.watermarkFont.size = points;
  e.watermarkFont.color = 0xFFFFFF;
  e.watermarkRegion = region;
}

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

// Standard error taken into a file while it lives.
class CapturedStandardError {
 public:
  explicit CapturedStandardError(const std::string& path) : path_(path) {
    std::fflush(stderr);
    saved_ = ::dup(2);
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(file, 2);
    ::close(file);
  }
  ~CapturedStandardError() { Restore(); }
  // What was written, standard error given back.
  std::string Text() {
    Restore();
    std::ifstream in(path_);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  void Restore() {
    if (saved_ < 0) return;
    std::fflush(stderr);
    ::dup2(saved_, 2);
    ::close(saved_);
    saved_ = -1;
  }
  std::string path_;
  int saved_ = -1;
};

// A run over the suite's kinds of clip (MP4, AVI, MPEG transport stream,
// raw AAC sound, whose length FFmpeg can only estimate) writes nothing on
// standard error: FFmpeg's warnings are in the log, as lines of their own.
TEST_F(Engine, FfmpegMessagesGoToTheLogAndNeverToStandardError) {
  const std::string mp4 = Clip("engine-a.mp4", 2);
  const std::string avi = CachedMedia("engine-messages.avi", {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=2",
                                                             "-f", "lavfi", "-i", "sine=duration=2", "-shortest"});
  const std::string ts = CachedMedia("engine-messages.ts", {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=2",
                                                           "-f", "lavfi", "-i", "sine=duration=2", "-shortest"});
  const std::string aac = CachedMedia("engine-messages.aac", {"-f", "lavfi", "-i", "sine=duration=2", "-c:a", "aac"});
  for (const std::string& clip : {mp4, avi, ts, aac}) ASSERT_FALSE(clip.empty());
  Group pictures(Mpeg2(dir_.File("joined.mpg")),
                 {Entry(mp4, 2 * kSecond), Entry(avi, 2 * kSecond), Entry(ts, 2 * kSecond)});
  Group sound(Mp3(dir_.File("sound.mp3")), {Entry(aac, 2 * kSecond)});
  std::string written;
  {
    CapturedStandardError captured(dir_.File("stderr.txt"));
    QeloClearWorkGroup();
    ASSERT_EQ(QeloCreateWorkGroup(&pictures.group), 0);
    ASSERT_EQ(QeloCreateWorkGroup(&sound.group), 1);
    Watchdog watchdog(120s, "the conversion");
    RunAndWait();
    written = captured.Text();
  }
  EXPECT_EQ(recorder_.States().back().second, ConvertAllDone);
  EXPECT_EQ(written, "") << "standard error";
  std::vector<std::string> ffmpegLines;
  for (const std::string& line : EngineLog())
    if (line.rfind("Qelo Codecs: FFmpeg ", 0) == 0) ffmpegLines.push_back(line);
  const auto found = [&](const std::string& part) {
    return std::any_of(ffmpegLines.begin(), ffmpegLines.end(),
                       [&](const std::string& line) { return line.find(part) != std::string::npos; });
  };
  EXPECT_TRUE(found("FFmpeg warning: [aac @ ")) << "the raw sound's estimated length";
  EXPECT_TRUE(found("Estimating duration from bitrate, this may be inaccurate"));
  // The muxer's message of three lines, as one.
  EXPECT_TRUE(found("FFmpeg warning: [mpeg @ "));
  EXPECT_TRUE(found("using default size of 230KB If you want the mpeg file"));
  for (const std::string& line : ffmpegLines) {
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    EXPECT_NE(line.back(), ' ') << line;
  }
}

TEST_F(Engine, AGroupWithoutSoundAsksNoSoundFormatAndWritesPicturesOnly) {
  const std::string clip = Clip("engine-silent.mp4", 1);
  ASSERT_FALSE(clip.empty());
  FormatSettings format = Mpeg2(dir_.File("pictures.mpg"));
  format.audioCodecId = ACODEC_NONE;
  format.sampleRate = format.channels = format.bitsPerSample = format.audioBitRate = 0;
  Group pictures(format, {Entry(clip, kSecond)});
  ClearEngineLog();
  QeloClearWorkGroup();
  ASSERT_EQ(QeloCreateWorkGroup(&pictures.group), 0);
  RunAndWait();
  EXPECT_EQ(recorder_.States().back(), (std::pair<int, int>{0, ConvertAllDone}));
  const ProbedFile out = Probe(dir_.File("pictures.mpg"));
  ASSERT_TRUE(out.ok);
  ASSERT_EQ(out.streams.size(), 1u);
  EXPECT_NE(out.First("video"), nullptr);
  for (const std::string& line : EngineLog()) EXPECT_EQ(line.find("invalid audio format"), std::string::npos) << line;
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

// The second run starts over at the first group, whose output the first
// run left behind: that file is never written over, so the group fails.
TEST_F(Engine, ASecondRunStopsTheFirstAndStartsOverAllGroups) {
  const std::string longClip = Clip("engine-long.mp4", 30);
  const std::string first = dir_.File("first.mpg");
  Group slow(Mpeg2(first, 720, 576), {Entry(longClip, 30 * kSecond)});
  ASSERT_EQ(QeloCreateWorkGroup(&slow.group), 0);
  ASSERT_NE(QeloRunWorkGroup(), nullptr);
  ASSERT_TRUE(recorder_.WaitForProgress(1.0));
  {
    Watchdog watchdog(10s, "stopping the first run");
    slow.group.format = Mp3(dir_.File("first.mp3"));  // the engine's copy is what it converts
    slow.group.sources[0]->sourceDuration = 2 * kSecond;
    ASSERT_NE(QeloRunWorkGroup(), nullptr);
  }
  const auto leftByTheFirstRun = std::filesystem::file_size(first);
  ASSERT_TRUE(recorder_.WaitForEnds(2));
  QeloStopWorkGroup();
  const auto states = recorder_.States();
  ASSERT_GE(states.size(), 2u);
  EXPECT_EQ(states[states.size() - 2], (std::pair<int, int>{0, ConvertStopped}));
  EXPECT_EQ(states.back(), (std::pair<int, int>{0, ConvertError}));
  EXPECT_EQ(std::filesystem::file_size(first), leftByTheFirstRun);
  EXPECT_TRUE(Probe(first).ok);
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
