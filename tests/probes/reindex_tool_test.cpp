// The re-index tool on its own, started the way QeloWMVIndex starts it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/media_fixture.h"
#include "common/process.h"
#include "common/temp_dir.h"
#include "common/watchdog.h"
#include "probes/wmv_fixture.h"
#include "wmvindex/index_tool.h"

namespace qelo::test {
namespace {

using qelo::probes::IndexArguments;

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(IndexArguments, AreTheToolSourceAndDestinationWithTheirFlags) {
  EXPECT_EQ(IndexArguments("/p/reindex.exe", "/in/a b.wmv", "/out/\"c\".wmv"),
            (std::vector<std::string>{"/p/reindex.exe", "-i", "/in/a b.wmv", "-o", "/out/\"c\".wmv",
                                      "-sionly"}));
}

TEST(ReindexTool, CopiesAStreamedFileWithAFullHeader) {
  TempDir dir;
  const std::string source = MakeStreamedWmv(dir.File("streamed.wmv"));
  ASSERT_FALSE(source.empty());
  ASSERT_TRUE(std::isnan(Probe(source).Duration()));
  const std::string destination = dir.File("indexed.wmv");
  ASSERT_EQ(RunProcess(IndexArguments(QELO_REINDEX_TOOL, source, destination)).exitCode, 0);
  const ProbedFile copy = Probe(destination);
  ASSERT_TRUE(copy.ok);
  EXPECT_NEAR(copy.Duration(), 2.0, 0.15);
  EXPECT_EQ(copy.streams.size(), 2u);
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"indexed.wmv", "streamed.wmv"}));
}

TEST(ReindexTool, SourceCanBeItsOwnDestination) {
  TempDir dir;
  const std::string source = MakeStreamedWmv(dir.File("clip.wmv"));
  ASSERT_FALSE(source.empty());
  ASSERT_EQ(RunProcess(IndexArguments(QELO_REINDEX_TOOL, source, dir.path() + "/./clip.wmv")).exitCode,
            0);
  EXPECT_NEAR(Probe(source).Duration(), 2.0, 0.15);
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"clip.wmv"}));
}

TEST(ReindexTool, FailuresLeaveTheDestinationAsItWas) {
  TempDir dir;
  const std::string wmv = CachedWmv();
  ASSERT_FALSE(wmv.empty());
  std::ofstream(dir.File("notes.txt")) << "not a video";
  ASSERT_TRUE(MakeMedia({"-f", "lavfi", "-i", "testsrc2=size=64x48:rate=10:duration=1"},
                        dir.File("clip.mp4")));
  std::ofstream(dir.File("kept.wmv")) << "keep me";
  struct Case {
    std::vector<std::string> arguments;
    int exitCode;
  };
  const std::string kept = dir.File("kept.wmv");
  const Case cases[] = {
      {IndexArguments(QELO_REINDEX_TOOL, dir.File("notes.txt"), kept), 1},
      {IndexArguments(QELO_REINDEX_TOOL, dir.File("clip.mp4"), kept), 1},
      {IndexArguments(QELO_REINDEX_TOOL, dir.File("missing.wmv"), kept), 1},
      {{QELO_REINDEX_TOOL, "-i", wmv, "-sionly"}, 2},
      {{QELO_REINDEX_TOOL, "-i", wmv, "-o", kept, "-fast"}, 2},
      {{QELO_REINDEX_TOOL, "-i", wmv, "-o"}, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunProcess(c.arguments).exitCode, c.exitCode) << c.arguments[2];
    EXPECT_EQ(ReadFileBytes(kept), "keep me");
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"clip.mp4", "kept.wmv", "notes.txt"}));
  }
}

// A FIFO (or any file that is not a regular one) would block the tool for
// ever: it is refused at once, with its message.
TEST(ReindexTool, ASourceThatIsNotARegularFileIsRefused) {
  TempDir dir;
  const std::string fifo = dir.File("pipe.wmv");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    std::string source, message;
  } cases[] = {{fifo, "reindex: " + fifo + " is not a regular file\n"},
               {dir.path(), "reindex: " + dir.path() + " is not a regular file\n"}};
  Watchdog watchdog(std::chrono::seconds(30), "the tool on a FIFO");
  for (const Case& c : cases) {
    const ProcessResult result = RunProcess(IndexArguments(QELO_REINDEX_TOOL, c.source, dir.File("out.wmv")));
    EXPECT_EQ(result.exitCode, 1) << c.source;
    EXPECT_EQ(result.errors, c.message);
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"pipe.wmv"}));
  }
}

// Starts the tool and sends it `signal` as soon as its temporary copy
// appears beside the destination; the wait status.
int KillWhileCopying(const std::string& source, const std::string& destination, int signal) {
  const int watch = inotify_init1(IN_CLOEXEC);
  if (watch < 0) return -1;
  inotify_add_watch(watch, std::filesystem::path(destination).parent_path().c_str(), IN_CREATE);
  const std::vector<std::string> arguments = IndexArguments(QELO_REINDEX_TOOL, source, destination);
  std::vector<char*> argv;
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  int status = -1;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0) {
    const std::string prefix = std::filesystem::path(destination).filename().string() + ".reindex-";
    alignas(inotify_event) char buffer[4096];
    for (bool seen = false; !seen;) {
      const ssize_t n = read(watch, buffer, sizeof buffer);
      if (n <= 0) break;
      for (ssize_t at = 0; at < n;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        seen = seen || (event->len > 0 && std::string(event->name).rfind(prefix, 0) == 0);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    kill(pid, signal);
    waitpid(pid, &status, 0);
  }
  close(watch);
  return status;
}

// Killed in the middle of a copy, the tool takes its temporary copy with it
// and leaves the destination as it was.
TEST(ReindexTool, ATerminatedCopyLeavesNoTemporaryFile) {
  const std::string large = CachedMedia(
      "reindex-large.wmv", {"-f", "lavfi", "-i", "testsrc2=size=640x360:rate=25:duration=20", "-f",
                            "lavfi", "-i", "sine=duration=20", "-c:v", "wmv2", "-b:v", "8M", "-c:a",
                            "wmav2"});
  ASSERT_FALSE(large.empty());
  Watchdog watchdog(std::chrono::seconds(60), "killing the tool");
  for (const int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    // On a loaded machine the copy may end before the signal arrives: then
    // it is tried again.
    bool killed = false;
    for (int attempt = 0; attempt < 5 && !killed; ++attempt) {
      TempDir dir;
      const std::string destination = dir.File("indexed.wmv");
      std::ofstream(destination) << "keep me";
      const int status = KillWhileCopying(large, destination, signal);
      killed = WIFSIGNALED(status) && WTERMSIG(status) == signal;
      if (!killed) continue;
      EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"indexed.wmv"}));
      EXPECT_EQ(ReadFileBytes(destination), "keep me");
    }
    EXPECT_TRUE(killed);
  }
}

}  // namespace
}  // namespace qelo::test
