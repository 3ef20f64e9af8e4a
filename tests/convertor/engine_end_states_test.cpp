// What a run leaves behind and how it ends: a user's file at the output
// path is never written over nor removed, damaged stretches of a source are
// skipped, a source or an output lost during the run fails its group with
// its line, a source without pictures gets pictures as long as its sound,
// and a trim past a source's data ends the same way on every run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include "common/media_fixture.h"
#include "common/watchdog.h"
#include "convertor/engine_fixture.h"

namespace qelo::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

bool LoggedStartingWith(const std::string& start) {
  for (const std::string& line : EngineLog())
    if (line.rfind(start, 0) == 0) return true;
  return false;
}

std::string EngineLogText() {
  std::string text;
  for (const std::string& line : EngineLog()) text += "\n  " + line;
  return text;
}

enum class AtOutput { Nothing, UsersFile, LinkToUsersFile, TheSourceItself };
enum class SourceKind { Good, NotMedia, Missing, StoppedAtOnce };

const char* Name(AtOutput at) {
  switch (at) {
    case AtOutput::Nothing: return "nothing";
    case AtOutput::UsersFile: return "a user's file";
    case AtOutput::LinkToUsersFile: return "a link to a user's file";
    case AtOutput::TheSourceItself: return "the source itself";
  }
  return "";
}

const char* Name(SourceKind kind) {
  switch (kind) {
    case SourceKind::Good: return "good";
    case SourceKind::NotMedia: return "not media";
    case SourceKind::Missing: return "missing";
    case SourceKind::StoppedAtOnce: return "stopped at once";
  }
  return "";
}

// Whatever lies at the output path stays byte for byte (a link stays a link
// to the same file): the group ends with an error before anything is read.
// With nothing there the end state is the source's, and no empty file the
// engine made is left behind.
TEST_F(Engine, WhatLiesAtTheOutputPathIsNeverWrittenOverNorRemoved) {
  const std::string good = Clip("engine-a.mp4", 2), slow = Clip("engine-long.mp4", 30);
  ASSERT_FALSE(good.empty());
  ASSERT_FALSE(slow.empty());
  const std::string usersBytes = "the user's own file, not to be touched\n";
  for (AtOutput at : {AtOutput::Nothing, AtOutput::UsersFile, AtOutput::LinkToUsersFile, AtOutput::TheSourceItself}) {
    for (SourceKind kind : {SourceKind::Good, SourceKind::NotMedia, SourceKind::Missing, SourceKind::StoppedAtOnce}) {
      SCOPED_TRACE(std::string(Name(at)) + " at the output, source " + Name(kind));
      TempDir here;
      const std::string source = here.File("source.mp4");
      if (kind == SourceKind::Good) fs::copy_file(good, source);
      if (kind == SourceKind::StoppedAtOnce) fs::copy_file(slow, source);
      if (kind == SourceKind::NotMedia) Write(source, "no media in here\n");
      std::string output = here.File("output.mpg");
      const std::string users = here.File("users.dat");
      if (at == AtOutput::UsersFile) Write(output, usersBytes);
      if (at == AtOutput::LinkToUsersFile) {
        Write(users, usersBytes);
        fs::create_symlink(users, output);
      }
      if (at == AtOutput::TheSourceItself) output = source;
      const bool taken = fs::exists(fs::symlink_status(output));
      const std::string before = taken ? Bytes(output) : "";

      ClearEngineLog();
      Group group(Mpeg2(output), {Entry(source, (kind == SourceKind::StoppedAtOnce ? 30 : 2) * kSecond)});
      int state = -1;
      if (kind == SourceKind::StoppedAtOnce) {
        RegisterCallBackPorcess(&Recorder::Callback, &recorder_);
        QeloClearWorkGroup();
        ASSERT_EQ(QeloCreateWorkGroup(&group.group), 0);
        ASSERT_NE(QeloRunWorkGroup(), nullptr);
        QeloStopWorkGroup();
        state = recorder_.Calls().back().state;
      } else {
        state = ConvertAlone(group);
      }

      if (taken) {
        EXPECT_EQ(state, ConvertError);
        EXPECT_TRUE(Logged("Qelo Codecs: output file(" + output + ") exists already; it is never written over"))
            << EngineLogText();
        EXPECT_TRUE(Bytes(output) == before) << "the file at the output path changed";
        if (at == AtOutput::LinkToUsersFile) {
          EXPECT_TRUE(fs::is_symlink(output));
          EXPECT_EQ(fs::read_symlink(output), users);
          EXPECT_EQ(Bytes(users), usersBytes);
        }
        continue;
      }
      switch (kind) {
        case SourceKind::Good:
          EXPECT_EQ(state, ConvertAllDone);
          EXPECT_TRUE(Probe(output).ok);
          break;
        case SourceKind::NotMedia:
        case SourceKind::Missing:
          EXPECT_EQ(state, ConvertError);
          EXPECT_TRUE(Logged("Qelo VideoConvertor: failed to decode file(" + source + ")")) << EngineLogText();
          EXPECT_TRUE(Logged("Qelo Codecs: removed output without frame or sample(" + output + ")"))
              << EngineLogText();
          EXPECT_FALSE(fs::exists(fs::symlink_status(output)));
          break;
        case SourceKind::StoppedAtOnce:
          EXPECT_EQ(state, ConvertStopped);
          // Removed when nothing reached it; otherwise the part written stays.
          if (fs::exists(fs::symlink_status(output))) {
            EXPECT_GT(fs::file_size(output), 0u);
          }
          break;
      }
    }
  }
}

// The damaged stretch holds false start codes that the decoder refuses
// packet after packet; the pictures after it are real ones. The output
// holds a picture for every one the ffmpeg tool decodes, and no filler
// frame stands before the source's last picture.
TEST_F(Engine, DamagedStretchesAreSkippedAndThePicturesAfterThemKept) {
  for (const std::string extension : {".ts", ".mkv"}) {
    SCOPED_TRACE(extension);
    const std::string damaged = DamagedClip(extension);
    ASSERT_FALSE(damaged.empty());
    const std::vector<double> times = FrameTimes(damaged);
    ASSERT_FALSE(times.empty());
    const double lastPicture =
        *std::max_element(times.begin(), times.end()) - *std::min_element(times.begin(), times.end());
    const std::string output = dir_.File("from-damaged" + std::string(extension) + ".mpg");
    Group group(Mpeg2(output), {Entry(damaged, 4 * kSecond)});
    EXPECT_EQ(ConvertAlone(group), ConvertAllDone);

    // The filler frames are black; the test pattern never is.
    const std::vector<double> brightness = FrameBrightness(output);
    ASSERT_FALSE(brightness.empty());
    constexpr double kBlack = 30, kFrameSeconds = 0.04;
    int pictures = 0, fillerBeforeTheLastPicture = 0;
    for (size_t i = 0; i < brightness.size(); ++i) {
      pictures += brightness[i] > kBlack;
      fillerBeforeTheLastPicture += brightness[i] <= kBlack && (i + 1) * kFrameSeconds < lastPicture;
    }
    EXPECT_GE(pictures, int(times.size())) << "of " << brightness.size() << " frames";
    EXPECT_EQ(fillerBeforeTheLastPicture, 0) << "the source's last picture is at " << lastPicture << " s";
  }
}

// Each case loses something at the first progress call of the run, on the
// conversion thread, while the source reader is well inside the first
// source.
TEST_F(Engine, ASourceOrAnOutputLostDuringTheRunFailsTheGroupWithItsLine) {
  const std::string clip = Clip("engine-b.mp4", 4), sound = LongSound(300);
  ASSERT_FALSE(clip.empty());
  ASSERT_FALSE(sound.empty());
  struct Case {
    const char* name;
    bool soundOnly;  // a 300 s sound, converted to 8 kHz mono WAV; else two clips to MPEG-2
    bool secondSourceMissing;
    std::function<void(const std::string& source, const std::string& second, const std::string& outputFolder)> lose;
    std::function<std::vector<std::string>(const std::string& source, const std::string& second,
                                           const std::string& output)>
        lines;
  } cases[] = {
      {"the source truncated", true, false,
       [](const std::string& source, const std::string&, const std::string&) {
         fs::resize_file(source, fs::file_size(source) * 6 / 10);
       },
       [](const std::string& source, const std::string&, const std::string&) {
         return std::vector<std::string>{"Qelo Codecs: media file(" + source + ") became shorter while it was read(",
                                         "Qelo VideoConvertor: failed to read file(" + source + ") to its end",
                                         "Qelo VideoConvertor: failed to coverter video"};
       }},
      {"the second source missing", false, true, [](const std::string&, const std::string&, const std::string&) {},
       [](const std::string&, const std::string& second, const std::string&) {
         return std::vector<std::string>{"Qelo Codecs: media file(" + second + ")don't exist..",
                                         "Qelo VideoConvertor: failed to decode file(" + second + ")",
                                         "Qelo VideoConvertor: failed to coverter video"};
       }},
      {"the second source deleted", false, false,
       [](const std::string&, const std::string& second, const std::string&) { fs::remove(second); },
       [](const std::string&, const std::string& second, const std::string&) {
         return std::vector<std::string>{"Qelo VideoConvertor: failed to decode file(" + second + ")",
                                         "Qelo VideoConvertor: failed to coverter video"};
       }},
      {"the output folder removed", false, false,
       [](const std::string&, const std::string&, const std::string& folder) { fs::remove_all(folder); },
       [](const std::string&, const std::string&, const std::string& output) {
         return std::vector<std::string>{"Qelo Codecs: output file(" + output + ") is no longer at its path...",
                                         "Qelo VideoConvertor: failed to Close Encoder."};
       }},
      {"the output folder replaced by a file", false, false,
       [](const std::string&, const std::string&, const std::string& folder) {
         fs::remove_all(folder);
         Write(folder, "a file where the folder was\n");
       },
       [](const std::string&, const std::string&, const std::string& output) {
         return std::vector<std::string>{"Qelo Codecs: output file(" + output + ") is no longer at its path...",
                                         "Qelo VideoConvertor: failed to Close Encoder."};
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir here;
    const std::string source = here.File(c.soundOnly ? "sound.mkv" : "first.mp4");
    const std::string second = here.File("second.mp4");
    fs::copy_file(c.soundOnly ? sound : clip, source);
    if (!c.secondSourceMissing) fs::copy_file(clip, second);
    const std::string folder = here.File("out");
    fs::create_directory(folder);
    std::vector<SourceEntry> entries = {Entry(source, (c.soundOnly ? 300 : 4) * kSecond)};
    if (!c.soundOnly) entries.push_back(Entry(second, kSecond));
    FormatSettings format = Mpeg2(folder + "/joined.mpg");
    if (c.soundOnly) {
      format = Mp3(folder + "/sound.wav");
      format.formatId = FORMAT_WAV;
      format.audioCodecId = ACODEC_PCM_S16LE;
      format.sampleRate = 8000, format.channels = 1;
    }
    Group group(format, entries);
    const std::string output = group.Output();
    ClearEngineLog();
    recorder_.AtFirstProgress([&] { c.lose(source, second, folder); });
    {
      Watchdog watchdog(120s, c.name);
      EXPECT_EQ(ConvertAlone(group), ConvertError);
    }
    for (const std::string& line : c.lines(source, second, output))
      EXPECT_TRUE(LoggedStartingWith(line)) << line << EngineLogText();
  }
}

// Files written by this process may not grow past `bytes`, as on a disk
// with only that much room left, for as long as it lives.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &before_);
    rlimit limited = before_;
    limited.rlim_cur = bytes;
    signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the process
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &before_);
    signal(SIGXFSZ, SIG_DFL);
  }

 private:
  rlimit before_{};
};

// A disk with no room at all leaves no empty file behind; one that fills up
// part of the way leaves the part written. Either way the group fails.
TEST_F(Engine, AFullDiskFailsTheGroupAndLeavesNoEmptyFile) {
  const std::string clip = Clip("engine-a.mp4", 2);
  ASSERT_FALSE(clip.empty());
  const struct {
    const char* name;
    rlim_t room;
  } cases[] = {{"no room at all", 0}, {"room for 100,000 bytes", 100000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string output = dir_.File("full-disk-" + std::to_string(c.room) + ".mpg");
    Group group(Mpeg2(output), {Entry(clip, 2 * kSecond)});
    ClearEngineLog();
    {
      FileSizeLimit limit(c.room);
      EXPECT_EQ(ConvertAlone(group), ConvertError);
    }
    EXPECT_TRUE(LoggedStartingWith("Qelo Codecs: failed to write file(" + output + "): ")) << EngineLogText();
    EXPECT_TRUE(Logged("Qelo VideoConvertor: failed to Close Encoder.")) << EngineLogText();
    if (c.room == 0) {
      EXPECT_FALSE(fs::exists(fs::symlink_status(output)));
    } else {
      ASSERT_TRUE(fs::exists(output));
      EXPECT_GT(fs::file_size(output), 0u);
    }
  }
}

// A 5.02 s sound, entered as the program enters it: its whole seconds.
TEST_F(Engine, ASourceWithoutPicturesGetsPicturesAsLongAsItsSound) {
  const std::string flac = CachedMedia(
      "sound-5.02.flac", {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=5.02", "-ac", "2"});
  ASSERT_FALSE(flac.empty());
  const std::string output = dir_.File("pictures-for-sound.mpg");
  Group group(Mpeg2(output), {Entry(flac, 5 * kSecond)});
  ASSERT_EQ(ConvertAlone(group), ConvertAllDone);
  const double sound = StreamSeconds(output, "audio");
  const double pictures = CountVideoFrames(output) / 25.0;
  EXPECT_NEAR(sound, 5.02, 0.05);
  EXPECT_GE(pictures, sound - 0.04) << "pictures as long as the sound, to within one frame";
  EXPECT_LE(pictures, sound + 0.04);
}

// The source's data ends at 0.18 s and the trim asks for 0.5 s to 1.2 s:
// nothing of the source lies in its entry. Whether the conversion thread
// asks for a frame before or after the reader has finished, the group holds
// only filler, and fails.
TEST_F(Engine, ATrimPastTheSourcesDataEndsTheSameWayOnEveryRun) {
  const std::string brief =
      CachedMedia("brief-0.18.mp4", {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=0.18", "-f", "lavfi",
                                     "-i", "sine=sample_rate=44100:duration=0.18", "-c:v", "libx264", "-c:a", "aac"});
  ASSERT_FALSE(brief.empty());
  for (int run = 0; run < 12; ++run) {
    SCOPED_TRACE(run);
    SourceEntry entry = Entry(brief, kSecond);
    entry.trimEnabled = 1;
    entry.trimStart = kSecond / 2;
    entry.trimEnd = kSecond * 12 / 10;
    Group group(Mpeg2(dir_.File("trimmed-" + std::to_string(run) + ".mpg"), 160, 120), {entry});
    ClearEngineLog();
    EXPECT_EQ(ConvertAlone(group), ConvertError);
    EXPECT_TRUE(Logged("Qelo VideoConvertor: failed to coverter video")) << EngineLogText();
  }
}

// The reader drops 40 minutes of sound before the trim start (no seek in a
// group without pictures); a stop reaches it there at once.
TEST_F(Engine, AStopReachesTheReaderWhileItDropsSoundBeforeATrimStart) {
  const std::string sound = LongSound(2400);
  ASSERT_FALSE(sound.empty());
  SourceEntry entry = Entry(sound, 2400 * kSecond);
  entry.trimEnabled = 1;
  entry.trimStart = 2390 * kSecond;
  entry.trimEnd = 2395 * kSecond;
  Group group(Mp3(dir_.File("late.mp3")), {entry});
  ASSERT_EQ(QeloCreateWorkGroup(&group.group), 0);
  ASSERT_NE(QeloRunWorkGroup(), nullptr);
  std::this_thread::sleep_for(200ms);  // the reader is dropping sound by now
  const auto asked = std::chrono::steady_clock::now();
  QeloStopWorkGroup();
  const auto took = std::chrono::steady_clock::now() - asked;
  EXPECT_LT(took, 500ms) << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms";
  EXPECT_EQ(recorder_.States().back(), (std::pair<int, int>{0, ConvertStopped}));
}

}  // namespace
}  // namespace qelo::test
