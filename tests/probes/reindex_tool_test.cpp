// The re-index tool on its own, started the way QeloWMVIndex starts it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/media_fixture.h"
#include "common/process.h"
#include "common/temp_dir.h"
#include "common/watchdog.h"
#include "probes/wmv_fixture.h"
#include "temporary_copy.h"
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

// True while the process has a file open in `folder` (its copy in progress,
// named or not).
bool WritesInto(pid_t pid, const std::string& folder) {
  std::error_code error;
  const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
  for (std::filesystem::directory_iterator it(fds, error), end; !error && it != end; it.increment(error)) {
    std::error_code linkError;
    const std::string target = std::filesystem::read_symlink(it->path(), linkError).string();
    if (!linkError && target.rfind(folder + "/", 0) == 0) return true;
  }
  return false;
}

// Starts the tool and sends it `signal` as soon as it writes its copy; the
// wait status.
int KillWhileCopying(const std::string& source, const std::string& destination, int signal) {
  const std::vector<std::string> arguments = IndexArguments(QELO_REINDEX_TOOL, source, destination);
  std::vector<char*> argv;
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  const std::string folder = std::filesystem::path(destination).parent_path().string();
  while (!WritesInto(pid, folder) && waitpid(pid, nullptr, WNOHANG) == 0) usleep(500);
  kill(pid, signal);
  int status = -1;
  waitpid(pid, &status, 0);
  return status;
}

// Killed in the middle of a copy by any signal, SIGKILL included, the tool
// leaves nothing beside the destination, which stays as it was (or, when
// the signal came just after the copy took its place, is the whole copy).
TEST(ReindexTool, AKilledCopyLeavesNoFileBesideTheDestination) {
  const std::string large = CachedMedia(
      "reindex-large.wmv", {"-f", "lavfi", "-i", "testsrc2=size=640x360:rate=25:duration=20", "-f",
                            "lavfi", "-i", "sine=duration=20", "-c:v", "wmv2", "-b:v", "8M", "-c:a",
                            "wmav2"});
  ASSERT_FALSE(large.empty());
  Watchdog watchdog(std::chrono::seconds(120), "killing the tool");
  for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGUSR1, SIGALRM, SIGPIPE, SIGKILL}) {
    SCOPED_TRACE(strsignal(signal));
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
      if (ReadFileBytes(destination) != "keep me") {
        EXPECT_NEAR(Probe(destination).Duration(), 20.0, 0.5);
      }
    }
    EXPECT_TRUE(killed);
  }
}

// Where no unnamed file can be made, the copy has a name beside the
// destination: every signal that ends the process removes it first.
TEST(TemporaryCopy, ANamedCopyIsRemovedByEverySignalThatEndsTheProcess) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGPIPE, SIGVTALRM,
                           SIGXCPU, SIGABRT, SIGRTMIN + 3}) {
    SCOPED_TRACE(strsignal(signal));
    TempDir dir;
    const std::string destination = dir.File("indexed.wmv");
    std::ofstream(destination) << "keep me";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const rlimit noCore{0, 0};
      setrlimit(RLIMIT_CORE, &noCore);  // SIGQUIT, SIGABRT and SIGXCPU would dump one
      reindex::TemporaryCopy copy;
      if (!copy.Open(destination, false) || copy.kind() != reindex::TemporaryCopy::Kind::kNamed) _exit(3);
      if (write(copy.fd(), "part", 4) != 4 || Names(dir.path()).size() != 2) _exit(4);
      kill(getpid(), signal);
      _exit(5);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), signal);
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"indexed.wmv"}));
    EXPECT_EQ(ReadFileBytes(destination), "keep me");
  }
}

// A copy of either kind takes the destination's place whole, replacing
// what was there or not, and leaves nothing else; a signal that the caller
// ignores stays ignored.
TEST(TemporaryCopy, CommitPutsTheCopyInPlace) {
  for (const bool allowUnnamed : {true, false}) {
    for (const bool existing : {true, false}) {
      SCOPED_TRACE(std::string(allowUnnamed ? "unnamed" : "named") + (existing ? ", replacing" : ""));
      TempDir dir;
      const std::string destination = dir.File("indexed.wmv");
      if (existing) std::ofstream(destination) << "old";
      signal(SIGUSR2, SIG_IGN);
      {
        reindex::TemporaryCopy copy;
        ASSERT_TRUE(copy.Open(destination, allowUnnamed));
        EXPECT_EQ(copy.kind(), allowUnnamed ? reindex::TemporaryCopy::Kind::kUnnamed
                                            : reindex::TemporaryCopy::Kind::kNamed);
        ASSERT_EQ(write(copy.fd(), "whole copy", 10), 10);
        EXPECT_EQ(Names(dir.path()).size(), size_t{existing} + size_t{!allowUnnamed});
        raise(SIGUSR2);
        ASSERT_TRUE(copy.Commit());
      }
      signal(SIGUSR2, SIG_DFL);
      EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"indexed.wmv"}));
      EXPECT_EQ(ReadFileBytes(destination), "whole copy");
    }
  }
}

}  // namespace
}  // namespace qelo::test
