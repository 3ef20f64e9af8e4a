// The real program, in a process of its own, asked to close by SIGTERM,
// SIGINT or SIGHUP: idle, previewing a clip, converting one, with the close
// question of a run open (nobody there to answer it), or still starting
// with a window of start-up open. Each time it ends within 5 s through its
// normal close: a run is stopped, the settings file is written (once the
// main window was made) and the log gets its end line.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "common/log_reading.h"
#include "common/media_fixture.h"
#include "common/process.h"
#include "common/temp_dir.h"
#include "common/text_lines.h"
#include "main_window_settings.h"
#include "program_sandbox.h"
#include "startup.h"

namespace qelo::app {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Long enough that no build, however slow, finishes converting it before
// the signal comes; small, so that it is made quickly.
constexpr double kClipSeconds = 300;

TEST(ProgramSignals, EachEndsTheProgramThroughItsCloseWithinFiveSeconds) {
  const qelo::test::TempDir dir;
  const test::ProgramSandbox sandbox(dir.path(), QELO_SKIN_DIR);
  const std::string clip = qelo::test::CachedMedia(
      "signals-clip-300.avi", {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=300", "-f", "lavfi",
                               "-i", "sine=frequency=440:duration=300", "-shortest"});
  ASSERT_FALSE(clip.empty());
  struct Case {
    const char* state;
    int signal;
  };
  const Case cases[] = {{"idle", SIGTERM},       {"idle", SIGINT},       {"idle", SIGHUP},
                        {"previewing", SIGTERM}, {"previewing", SIGINT}, {"converting", SIGTERM},
                        {"converting", SIGINT},  {"asking", SIGTERM},    {"asking", SIGINT},
                        {"starting", SIGTERM}};
  // Start-up shows its DirectX window when the system reports DirectX 8.1.
  const std::string oldDirectX = dir.File("dxdiag.conf");
  std::ofstream(oldDirectX) << "property dwDirectXVersionMajor u32 8\nproperty dwDirectXVersionMinor u32 1\n"
                               "property szDirectXVersionLetter string a\n";
  const std::string settings = sandbox.ProgramFolder() + kSettingsFileName;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.state) + ", " + strsignal(c.signal));
    fs::remove(settings);
    fs::remove(sandbox.ProgramFolder() + "QeloLog.log");
    fs::remove_all(sandbox.DocumentsFolder() + "/Clipshift");

    const bool starting = std::string(c.state) == "starting";
    if (starting) setenv("QELO_DXDIAG_CONFIG", oldDirectX.c_str(), 1);
    qelo::test::ChildProcess program({QELO_SCRIPTED_PROGRAM, "--state", c.state, "--clip", clip});
    unsetenv("QELO_DXDIAG_CONFIG");
    ASSERT_TRUE(program.Started());
    const std::string ready = program.ReadLine(60'000);
    ASSERT_EQ(ready.rfind("ready", 0), 0u) << "the program did not reach the state: " << ready;
    const std::string output = ready.size() > 6 ? ready.substr(6) : "";

    const Clock::time_point signalled = Clock::now();
    ASSERT_TRUE(program.Signal(c.signal));
    const int status = program.Wait(5'000);
    const double seconds = std::chrono::duration<double>(Clock::now() - signalled).count();
    ASSERT_EQ(status, 0) << "still running or killed after " << seconds << " s";

    EXPECT_EQ(qelo::test::CrLfLines(settings).size(), starting ? 0u : 6u)
        << "the settings file is written with the window";
    const std::vector<std::string> log = qelo::test::LogTexts(sandbox.ProgramFolder());
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "Info: " + EndLine());
    if (!output.empty()) {
      // Stopped, not finished: the output is shorter than the clip (or,
      // stopped before anything was written, gone).
      const qelo::test::ProbedFile converted = qelo::test::Probe(output);
      if (converted.ok) {
        EXPECT_LT(converted.Duration(), kClipSeconds - 1) << output;
      }
    }
  }
}

}  // namespace
}  // namespace qelo::app
