// The re-index tool on its own, started the way QeloWMVIndex starts it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "common/media_fixture.h"
#include "common/process.h"
#include "common/temp_dir.h"
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

}  // namespace
}  // namespace qelo::test
