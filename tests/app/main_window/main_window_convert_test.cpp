// Conversion and preview from the main window, driven as a user would on the
// real libraries: Start with both progress bars and the done marks, the end
// question, Start again, the shut-down option, Stop and closing during a
// run; Play, Pause, Stop, the seek bar and snapshots.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "common/media_fixture.h"
#include "common/response_probe.h"
#include "ct_shell_dialogs_script.h"
#include "main_window_convert.h"
#include "main_window_settings.h"
#include "program_fixture.h"
#include "qelo/convertor.h"
#include "qelo/player.h"
#include "vcl/controls/msgbox.h"
#include "vcl/controls/scripting.h"
#include "win/window/display.h"

namespace qelo::app::test {
namespace {

namespace fs = std::filesystem;
using namespace vcl;

constexpr const char* kAllDoneQuestion =
    "Information: The selected file(s) has been successfully converted.  Do you want to open the destination "
    "folder now?";
constexpr const char* kNothingToDo = "Information: The selected video file(s) has been successfully converted.";
constexpr const char* kCancelQuestion = "Information: Do you want to cancel the conversion?";
constexpr int kRunTimeoutMs = 120'000;

TEST(ConvertPieces, EnginePercentsRoundHalfToEven) {
  const struct {
    double percent;
    int rounded;
  } cases[] = {{49.5, 50}, {48.5, 48}, {0.4, 0}, {0.5, 0}, {99.6, 100}, {100.0, 100}};
  for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.percent), c.rounded) << c.percent;
}

std::tm LocalTime(int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = 2026 - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

TEST(ConvertPieces, SnapshotNamesAreHourMinuteSecondAndMonth) {
  const struct {
    std::tm time;
    const char* name;
  } cases[] = {
      {LocalTime(3, 3, 14, 5, 9), "Snap_14-05-09-03.jpg"},
      {LocalTime(12, 11, 9, 30, 0), "Snap_09-30-00-12.jpg"},
      {LocalTime(1, 1, 0, 0, 0), "Snap_00-00-00-01.jpg"},
      {LocalTime(12, 31, 23, 59, 59), "Snap_23-59-59-12.jpg"},
      // The day and the year are not part of the name.
      {LocalTime(3, 28, 14, 5, 9), "Snap_14-05-09-03.jpg"},
  };
  for (const auto& c : cases) EXPECT_EQ(SnapshotFileName(c.time), c.name);
}

TEST(ConvertPieces, ASnapshotNameTakenAlreadyGetsTheNextNumber) {
  qelo::test::TempDir dir;
  const std::string folder = dir.File("snaps");
  fs::create_directories(folder);
  const std::tm time = LocalTime(3, 3, 14, 5, 9);
  // Each row: the files already there, the path the next snapshot takes.
  const struct {
    std::vector<std::string> existing;
    const char* next;
  } cases[] = {
      {{}, "Snap_14-05-09-03.jpg"},
      {{"Snap_14-05-09-03.jpg"}, "Snap_14-05-09-03 (2).jpg"},
      {{"Snap_14-05-09-03.jpg", "Snap_14-05-09-03 (2).jpg"}, "Snap_14-05-09-03 (3).jpg"},
      // A gap is filled; another time's file or a folder of the name count as they are.
      {{"Snap_14-05-09-03.jpg", "Snap_14-05-09-03 (3).jpg"}, "Snap_14-05-09-03 (2).jpg"},
      {{"Snap_14-05-09-04.jpg"}, "Snap_14-05-09-03.jpg"},
      {{"Snap_14-05-09-03.jpg/"}, "Snap_14-05-09-03 (2).jpg"},
  };
  for (const auto& c : cases) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const std::string& name : c.existing) {
      if (name.back() == '/') fs::create_directory(folder + "/" + name);
      else std::ofstream(folder + "/" + name) << "earlier";
    }
    EXPECT_EQ(UniqueSnapshotPath(folder, time), folder + "/" + c.next) << c.next;
  }
}

class MainWindowConvertTest : public ProgramTestBase {
 protected:
  std::string Outputs() const { return DocumentsFolder() + "/Clipshift/"; }

  // Pumps until the run ends.
  static void WaitForRunEnd(TfrmVideoConvertor& window) {
    ASSERT_TRUE(script::PumpUntil([&] { return !window.Converting(); }, kRunTimeoutMs));
    script::Pump();
  }
};

TEST_F(MainWindowConvertTest, StartConvertsTheCheckedJobsWithProgressAndDoneMarks) {
  const std::string first = Clip("in", "first.avi");
  const std::string second = Clip("in", "second.avi");
  int defaultWidth = 0;
  int defaultHeight = 0;
  RunProgram([&](TfrmVideoConvertor& window) {
    ASSERT_TRUE(AddFiles(window, {first, second}).empty());
    // The first job's frame size changed as the settings dialog changes it.
    FormatSettings& chosen = window.Jobs().JobAt(0)->GetFormatSettings();
    chosen.width = 320;
    chosen.height = 240;
    defaultWidth = window.Jobs().JobAt(1)->GetFormatSettings().width;
    defaultHeight = window.Jobs().JobAt(1)->GetFormatSettings().height;
    script::ModalScript modal;
    int totalAtEnd = -1;
    int jobAtEnd = -1;
    modal.Answer([&](TCustomForm& box) {  // the end question: the bars as it comes, then No
      totalAtEnd = window.pbTotalProgress->Percent();
      jobAtEnd = window.pbWgProgress->Percent();
      dynamic_cast<TMessageForm&>(box).ButtonFor(mrNo)->Click();
    });
    script::Click(*window.BtnStart);  // a one-second clip's run may end within the click
    WaitForRunEnd(window);
    EXPECT_EQ(modal.Seen(), std::vector<std::string>{kAllDoneQuestion});
    EXPECT_EQ(totalAtEnd, 100) << "the whole run's bar is full when the question comes";
    EXPECT_EQ(jobAtEnd, 100);
    EXPECT_EQ(window.pbTotalProgress->Percent(), 0) << "the bars go back to 0 when the run ends";
    EXPECT_TRUE(window.BtnStart->Visible());
    EXPECT_FALSE(window.BtnStartStop->Visible());
    EXPECT_TRUE(window.lvMediaFile->Enabled());
    for (int i = 0; i < window.Jobs().Count(); ++i) EXPECT_EQ(window.Jobs().JobAt(i)->done, 1) << i;

    script::ModalScript again;
    again.Answer(mrOk);
    script::Click(*window.BtnStart);
    EXPECT_EQ(again.Seen(), std::vector<std::string>{kNothingToDo});
    EXPECT_FALSE(window.Converting()) << "done jobs are not converted again";
  });
  const struct {
    const char* name;
    int width, height;
  } outputs[] = {{"first.mpg", 320, 240}, {"second.mpg", defaultWidth, defaultHeight}};
  for (const auto& [name, width, height] : outputs) {
    const qelo::test::ProbedFile probed = qelo::test::Probe(Outputs() + name);
    ASSERT_TRUE(probed.ok) << name;
    const qelo::test::ProbedStream* video = probed.First("video");
    ASSERT_NE(video, nullptr) << name;
    EXPECT_EQ(video->Get("codec_name"), "mpeg2video");
    EXPECT_EQ(video->Get("width"), std::to_string(width)) << name;
    EXPECT_EQ(video->Get("height"), std::to_string(height)) << name;
    EXPECT_NEAR(probed.Duration(), 1.0, 0.25) << name;
  }
  EXPECT_FALSE(ShutDownRequested());
}

TEST_F(MainWindowConvertTest, TheShutDownOptionCallsTheStandInAsksNothingAndGivesTheWindowBack) {
  const std::string clip = Clip("in", "clip.avi");
  win::HWND handle = nullptr;
  RunProgram([&](TfrmVideoConvertor& window) {
    handle = window.Handle();
    EXPECT_FALSE(PostProgressMessage(handle, 0, 99, 0, 0)) << "a state without a message posts nothing";
    ASSERT_TRUE(AddFiles(window, {clip}).empty());
    script::Click(*window.chkAutoShutdown);
    ASSERT_TRUE(window.chkAutoShutdown->Checked());
    script::ModalScript modal;
    script::Click(*window.BtnStart);
    WaitForRunEnd(window);
    EXPECT_TRUE(modal.Seen().empty()) << "the shut-down asks nothing";
    EXPECT_EQ(modal.Unanswered(), 0);
    EXPECT_TRUE(window.BtnStart->Visible());
    EXPECT_TRUE(window.lvMediaFile->Enabled()) << "the window is not left busy";
  });
  EXPECT_TRUE(ShutDownRequested());
  EXPECT_FALSE(PostProgressMessage(handle, 0, ConvertProgress, 50, 50)) << "the engine's late post to a closed window is dropped";
}

TEST_F(MainWindowConvertTest, StopAndCloseDuringARunAskFirst) {
  const std::string longClip = qelo::test::MakeVideoAudio(Folder("in"), "long.avi", 30.0, 320, 240, 25);
  ASSERT_FALSE(longClip.empty());
  RunProgram([&](TfrmVideoConvertor& window) {
    ASSERT_TRUE(AddFiles(window, {longClip}).empty());
    // The buttons' handlers are called directly: a click's pump would run
    // until the queue is empty, which on a slow (sanitizer) build may be
    // the end of the run.
    window.BtnStartClick(window.BtnStart);
    ASSERT_TRUE(window.Converting());
    EXPECT_TRUE(window.BtnStartStop->Visible());
    EXPECT_FALSE(window.BtnStart->Visible());
    EXPECT_FALSE(window.lvMediaFile->Enabled()) << "the window is busy during the run";
    EXPECT_FALSE(window.btnAddMediaFile->Enabled());
    {
      script::ModalScript modal;
      modal.Answer(mrNo);
      window.Close();
      EXPECT_EQ(modal.Seen(), std::vector<std::string>{kCancelQuestion});
      EXPECT_TRUE(window.Visible()) << "answered No, the window stays";
      EXPECT_TRUE(window.Converting()) << "answered No, the run goes on";
    }
    {
      script::ModalScript modal;
      modal.Answer(mrNo);
      window.BtnStartClick(window.BtnStartStop);
      EXPECT_EQ(modal.Seen(), std::vector<std::string>{kCancelQuestion});
      EXPECT_TRUE(window.Converting());
    }
    script::ModalScript modal;
    modal.Answer(mrYes);
    window.BtnStartClick(window.BtnStartStop);
    EXPECT_FALSE(window.Converting()) << "Stop answered Yes ends the run at once";
    EXPECT_TRUE(window.BtnStart->Visible());
    EXPECT_TRUE(window.lvMediaFile->Enabled());
    EXPECT_EQ(window.Jobs().JobAt(0)->done, 0);
    script::Pump();  // messages the engine posted before it stopped change nothing
    EXPECT_FALSE(window.Converting());
    EXPECT_TRUE(window.BtnStart->Visible());
  });
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A name free when the job was added may be taken at Start: by a file
// someone placed there, or by the job's own earlier output when it is
// converted again after an edit (the settings dialog takes its done mark).
// The file stays as it is; the job writes a fresh name, shown in its row's
// Destination File cell and logged.
TEST_F(MainWindowConvertTest, AnOutputNameTakenByStartIsLeftAloneAndTheJobWritesAnotherName) {
  const std::string clip = Clip("in", "clip.avi");
  const std::string placed = "placed here after the job was added\n";
  struct Converted {
    std::string taken, written, bytesBefore;
  };
  std::vector<Converted> runs;
  RunProgram([&](TfrmVideoConvertor& window) {
    ASSERT_TRUE(AddFiles(window, {clip}).empty());
    TWorkGroupClass& job = *window.Jobs().JobAt(0);
    ASSERT_EQ(Texts(window, 4).at(0), fs::path(job.GetOutputName()).filename().string());
    std::ofstream(job.GetOutputName(), std::ios::binary) << placed;
    for (int run = 0; run < 2; ++run) {
      SCOPED_TRACE(run == 0 ? "a file placed after adding" : "the job's own earlier output");
      if (run == 1) job.done = 0;
      const std::string taken = job.GetOutputName();
      runs.push_back({taken, "", Bytes(taken)});
      script::ModalScript modal;
      modal.Answer(mrNo);
      script::Click(*window.BtnStart);
      WaitForRunEnd(window);
      EXPECT_EQ(modal.Seen(), std::vector<std::string>{kAllDoneQuestion});
      runs.back().written = job.GetOutputName();
      EXPECT_NE(runs.back().written, taken);
      EXPECT_EQ(Texts(window, 4).at(0), fs::path(runs.back().written).filename().string());
    }
  });
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].bytesBefore, placed);
  EXPECT_EQ(runs[1].taken, runs[0].written);
  const std::vector<std::string> log = Log();
  for (const Converted& run : runs) {
    EXPECT_TRUE(Bytes(run.taken) == run.bytesBefore) << run.taken << " changed";
    EXPECT_TRUE(qelo::test::Probe(run.written).ok) << run.written;
    const std::string line =
        "Info: The output file " + run.taken + " exists already; the job writes " + run.written + " instead.";
    EXPECT_TRUE(std::find(log.begin(), log.end(), line) != log.end()) << "not logged: " << line;
  }
}

// How long the window's thread may leave a message unanswered. Sanitizer
// builds run every step many times slower (the window's painting too).
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr std::chrono::milliseconds kAnswerBound{1000};
#else
constexpr std::chrono::milliseconds kAnswerBound{100};
#endif

// A group without pictures is never sought: its reader decodes and drops
// the 40 minutes of sound before the trim start. Stop, and closing the
// window, reach it there: the window's thread answers all the while. A
// loaded machine can hold any thread up for a moment, so the best of three
// runs counts; the stall this guards against lasted seconds.
TEST_F(MainWindowConvertTest, StopAndCloseKeepTheWindowAnsweringWhileTheReaderDropsSoundBeforeATrimStart) {
  const std::string sound = qelo::test::LongSound(2400);
  ASSERT_FALSE(sound.empty());
  for (const bool closing : {false, true}) {
    SCOPED_TRACE(closing ? "closing the window" : "Stop");
    auto best = std::chrono::microseconds::max();
    for (int run = 0; run < 3 && best >= kAnswerBound; ++run) {
      RunProgram([&](TfrmVideoConvertor& window) {
        ASSERT_TRUE(AddFiles(window, {sound}).empty());
        TWorkGroupClass& job = *window.Jobs().JobAt(window.Jobs().Count() - 1);
        FormatSettings& format = job.GetFormatSettings();
        format.formatId = FORMAT_MP3;
        format.videoCodecId = VCODEC_NONE;
        format.audioCodecId = ACODEC_MP3;
        SourceEntry& entry = *job.EntryAt(0);
        entry.trimEnabled = 1;
        entry.trimStart = 2390LL * 10'000'000;
        entry.trimEnd = 2395LL * 10'000'000;
        window.BtnStartClick(window.BtnStart);
        ASSERT_TRUE(window.Converting());
        std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the reader is dropping sound by now
        qelo::test::ResponseProbe probe;
        script::ModalScript modal;
        modal.Answer(mrYes);
        if (closing)
          window.Close();
        else
          window.BtnStartClick(window.BtnStartStop);
        EXPECT_EQ(modal.Seen(), std::vector<std::string>{kCancelQuestion});
        EXPECT_FALSE(window.Converting());
        vcl::script::PumpUntil([] { return false; }, 20);  // the last probe in flight is answered
        probe.Stop();
        best = std::min(best, probe.Longest());
      });
    }
    EXPECT_LT(best, kAnswerBound) << "the window's thread did not answer for "
                                  << std::chrono::duration_cast<std::chrono::milliseconds>(best).count() << " ms";
  }
}

TEST_F(MainWindowConvertTest, PlayPauseStopSeekAndSnapshotInThePreview) {
  const std::string clip = qelo::test::MakeVideoAudio(Folder("in"), "clip.avi", 3.0, 160, 120, 10);
  ASSERT_FALSE(clip.empty());
  RunProgram([&](TfrmVideoConvertor& window) {
    ASSERT_TRUE(AddFiles(window, {clip}).empty());
    SelectRows(*window.lvMediaFile, {0});
    EXPECT_TRUE(window.BtnPlay->Enabled());
    EXPECT_FALSE(window.btnSnapshot->Enabled());

    script::Click(*window.BtnPlay);
    ASSERT_NE(window.PreviewSource(), nullptr);
    EXPECT_EQ(window.tbPlayer->Max(), 3000) << "whole seconds, in milliseconds";
    EXPECT_FALSE(window.BtnPlay->Enabled());
    EXPECT_TRUE(window.btnPause->Enabled());
    EXPECT_TRUE(window.btnSnapshot->Enabled());
    ASSERT_TRUE(script::PumpUntil([&] { return window.tbPlayer->Position() > 0; }, 10'000))
        << "the player's position messages move the seek bar";

    const std::string snapshots = window.SettingsLines().Get(slSnapshotFolder);
    script::Click(*window.btnSnapshot);
    ASSERT_TRUE(script::PumpUntil(
        [&] {
          if (!fs::is_directory(snapshots)) return false;
          for (const auto& entry : fs::directory_iterator(snapshots))
            if (entry.path().extension() == ".jpg") return true;
          return false;
        },
        10'000));
    for (const auto& entry : fs::directory_iterator(snapshots)) {
      if (entry.path().extension() != ".jpg") continue;
      EXPECT_TRUE(std::regex_match(entry.path().filename().string(),
                                     std::regex(R"(Snap_\d\d-\d\d-\d\d-\d\d( \(\d+\))?\.jpg)")))
          << entry.path();
    }

    script::Click(*window.btnPause);
    EXPECT_TRUE(window.BtnPlay->Enabled());
    EXPECT_FALSE(window.btnPause->Enabled());

    // A position message moves the bar without seeking back to it.
    const int64_t units = 23'450'000;  // 2.345 s in 100-ns units
    window.Perform(WM_PLAYER_POSITION, static_cast<win::WPARAM>(units >> 32),
                   static_cast<win::LPARAM>(units & 0xFFFFFFFF));
    EXPECT_EQ(window.tbPlayer->Position(), 2345);

    script::Click(*window.btnStop);
    EXPECT_EQ(window.tbPlayer->Position(), 0);
    EXPECT_TRUE(window.BtnPlay->Enabled());
    EXPECT_FALSE(window.btnStop->Enabled());

    script::Click(*window.BtnPlay);
    EXPECT_TRUE(window.btnPause->Enabled()) << "Play again on the same row plays the open file";
    ASSERT_TRUE(script::PumpUntil([&] { return !window.btnStop->Enabled(); }, 15'000))
        << "the end of the file stops the buttons";
    EXPECT_EQ(window.tbPlayer->Position(), 0);

    SelectRows(*window.lvMediaFile, {});
    EXPECT_EQ(window.PreviewSource(), nullptr) << "another selection closes the preview";
  });
}

// A file of sound alone moves the seek bar as it plays and, at its end,
// puts the buttons back as a picture's end does.
TEST_F(MainWindowConvertTest, AnAudioOnlyPreviewMovesTheSeekBarAndEnds) {
  const std::string sound = qelo::test::MakeAudioOnly(Folder("in"), "tone.wav", 3.0);
  ASSERT_FALSE(sound.empty());
  RunProgram([&](TfrmVideoConvertor& window) {
    ASSERT_TRUE(AddFiles(window, {sound}).empty());
    SelectRows(*window.lvMediaFile, {0});
    script::Click(*window.BtnPlay);
    ASSERT_NE(window.PreviewSource(), nullptr);
    EXPECT_FALSE(window.BtnPlay->Enabled());
    ASSERT_TRUE(script::PumpUntil([&] { return window.tbPlayer->Position() >= 1000; }, 10'000))
        << "the sound's position moves the bar";
    ASSERT_TRUE(script::PumpUntil([&] { return !window.btnStop->Enabled(); }, 15'000))
        << "the end of the sound stops the buttons";
    EXPECT_TRUE(window.BtnPlay->Enabled());
    EXPECT_FALSE(window.btnPause->Enabled());
    EXPECT_EQ(window.tbPlayer->Position(), 0);
  });
}

// Drags the seek bar's thumb to `x` with the left button, as a user would.
void DragThumb(controls::TQeloTrackBar& bar, int x) {
  const TRect thumb = bar.GetPartRect(bar.BitmapTrack());
  const int y = (thumb.top + thumb.bottom) / 2;
  const auto at = [&](int px) {
    const TPoint p = bar.ClientToScreen(Point(px, y));
    return win::POINT{p.x, p.y};
  };
  win::InjectMouseMove(at((thumb.left + thumb.right) / 2));
  win::InjectMouseButton(win::MouseButton::Left, true, at((thumb.left + thumb.right) / 2));
  script::Pump();
  win::InjectMouseMove(at(x));
  script::Pump();
  win::InjectMouseButton(win::MouseButton::Left, false, at(x));
  script::Pump();
}

// While playing, a drag of the thumb seeks: the ten-second clip ends well
// before ten seconds have passed since Play.
TEST_F(MainWindowConvertTest, DraggingTheSeekBarSeeksThePlayingFile) {
  const std::string clip = qelo::test::MakeVideoAudio(Folder("in"), "clip.avi", 10.0, 160, 120, 10);
  ASSERT_FALSE(clip.empty());
  RunProgram([&](TfrmVideoConvertor& window) {
    ASSERT_TRUE(AddFiles(window, {clip}).empty());
    SelectRows(*window.lvMediaFile, {0});
    const auto played = std::chrono::steady_clock::now();
    script::Click(*window.BtnPlay);
    ASSERT_EQ(window.tbPlayer->Max(), 10000);
    DragThumb(*window.tbPlayer, window.tbPlayer->ClientWidth() * 9 / 10);
    EXPECT_GE(window.tbPlayer->Position(), 8000) << "the thumb follows the drag";
    ASSERT_TRUE(script::PumpUntil([&] { return !window.btnStop->Enabled(); }, 20'000));
    const auto toEnd =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - played).count();
    EXPECT_LT(toEnd, 6000) << "playing on from the dragged place, not from the start";
    EXPECT_EQ(window.tbPlayer->Position(), 0) << "the end puts the bar back";
  });
}

// A file the player cannot open leaves the buttons stopped and is tried
// again at the next Play, once it can be opened.
TEST_F(MainWindowConvertTest, AFailedPreviewOpenIsTriedAgainAtTheNextPlay) {
  const std::string clip = Clip("in", "clip.avi");
  RunProgram([&](TfrmVideoConvertor& window) {
    ASSERT_TRUE(AddFiles(window, {clip}).empty());
    SelectRows(*window.lvMediaFile, {0});
    fs::rename(clip, clip + ".away");
    script::Click(*window.BtnPlay);
    EXPECT_EQ(window.PreviewSource(), nullptr);
    EXPECT_TRUE(window.BtnPlay->Enabled()) << "a failed open leaves the buttons stopped";
    EXPECT_FALSE(window.btnStop->Enabled());
    EXPECT_FALSE(window.btnPause->Enabled());

    fs::rename(clip + ".away", clip);
    script::Click(*window.BtnPlay);
    EXPECT_NE(window.PreviewSource(), nullptr) << "the file is opened at the second Play";
    EXPECT_TRUE(window.btnPause->Enabled());
    script::Click(*window.btnStop);
  });
}

// Removing the previewed row closes the preview before its entry goes, so a
// file added afterwards (whose entry may take the freed place) is opened
// afresh instead of playing the removed one.
TEST_F(MainWindowConvertTest, RemovingThePreviewedRowClosesItsFileFirst) {
  const std::string longer = qelo::test::MakeVideoAudio(Folder("in"), "longer.avi", 3.0, 160, 120, 10);
  ASSERT_FALSE(longer.empty());
  const std::string shorter = Clip("in", "shorter.avi");
  RunProgram([&](TfrmVideoConvertor& window) {
    ASSERT_TRUE(AddFiles(window, {longer}).empty());
    SelectRows(*window.lvMediaFile, {0});
    script::Click(*window.BtnPlay);
    ASSERT_EQ(window.tbPlayer->Max(), 3000);
    window.miDeleteClick(nullptr);
    EXPECT_EQ(window.PreviewSource(), nullptr);
    EXPECT_FALSE(window.btnStop->Enabled()) << "nothing is open";

    ASSERT_TRUE(AddFiles(window, {shorter}).empty());
    SelectRows(*window.lvMediaFile, {0});
    script::Click(*window.BtnPlay);
    EXPECT_NE(window.PreviewSource(), nullptr);
    EXPECT_EQ(window.tbPlayer->Max(), 1000) << "the new file is the one open";
    EXPECT_TRUE(window.btnPause->Enabled());
    script::Click(*window.btnStop);
  });
}

// A run that fails says so once and gives the window back; jobs done before
// the failure keep their mark, and Start again submits only the rest.
TEST_F(MainWindowConvertTest, AFailedRunSaysSoAndStartAgainSubmitsOnlyTheJobsNotDone) {
  const std::string good = Clip("in", "good.avi");
  const std::string spoilt = Clip("in", "spoilt.avi");
  RunProgram([&](TfrmVideoConvertor& window) {
    ASSERT_TRUE(AddFiles(window, {good, spoilt}).empty());
    std::ofstream(spoilt, std::ios::trunc) << "no longer a video";
    {
      script::ModalScript modal;
      modal.Answer(mrOk);
      script::Click(*window.BtnStart);
      WaitForRunEnd(window);
      EXPECT_EQ(modal.Seen(), std::vector<std::string>{"Information: Failed to convert video file."});
    }
    EXPECT_EQ(window.Jobs().JobAt(0)->done, 1);
    EXPECT_EQ(window.Jobs().JobAt(1)->done, 0);
    EXPECT_TRUE(window.BtnStart->Visible());
    EXPECT_TRUE(window.lvMediaFile->Enabled());

    ASSERT_TRUE(fs::copy_file(good, spoilt, fs::copy_options::overwrite_existing));
    script::ModalScript modal;
    modal.Answer(mrNo);
    script::Click(*window.BtnStart);
    WaitForRunEnd(window);
    EXPECT_EQ(modal.Seen(), std::vector<std::string>{kAllDoneQuestion});
    EXPECT_EQ(window.Jobs().JobAt(1)->done, 1);
  });
  EXPECT_TRUE(qelo::test::Probe(Outputs() + "spoilt.mpg").ok);
}

// The output folder and the snapshot folder are chosen through the folder
// dialog; a cancelled dialog keeps the folder.
TEST_F(MainWindowConvertTest, TheFolderDialogChoosesTheOutputAndTheSnapshotFolder) {
  const std::string outputs = Folder("outputs");
  const std::string snapshots = Folder("snapshots");
  RunProgram([&](TfrmVideoConvertor& window) {
    {
      script::ModalScript modal;
      ct::script::AnswerSelectFolder(modal, outputs);
      script::Click(*window.beOutpath);
      EXPECT_EQ(modal.Unanswered(), 0);
    }
    EXPECT_EQ(window.beOutpath->Caption(), outputs);
    EXPECT_EQ(window.SettingsLines().Get(slOutputFolder), outputs);
    {
      script::ModalScript modal;
      ct::script::AnswerSelectFolder(modal, snapshots, mrCancel);
      script::Click(*window.beOutpath);
    }
    EXPECT_EQ(window.beOutpath->Caption(), outputs) << "Cancel keeps the folder";
    {
      script::ModalScript modal;
      ct::script::AnswerSelectFolder(modal, snapshots);
      window.miSetOutpathClick(window.miSetOutpath);
    }
    EXPECT_EQ(window.SettingsLines().Get(slSnapshotFolder), snapshots);
  });
  const auto lines = SettingsFileLines();
  ASSERT_TRUE(lines.has_value());
  EXPECT_EQ(lines->at(slSnapshotFolder), snapshots);
  EXPECT_EQ(lines->at(slOutputFolder), outputs);
}

}  // namespace
}  // namespace qelo::app::test
