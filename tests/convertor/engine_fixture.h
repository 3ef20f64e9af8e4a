// The engine through its exports, on generated files: a recorder of the
// callbacks, the engine's log, the callers' records and the suite's fixture.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "common/temp_dir.h"
#include "qelo/convertor.h"

namespace qelo::test {

constexpr int64_t kSecond = 10000000;

struct Call {
  int group;
  double file, total;
  int state;
};

// Collects the callbacks of runs; the conversion thread only appends (and
// runs the hook, when one is set, on each progress call).
class Recorder {
 public:
  static void Callback(int32_t group, double file, double total, int32_t state, void* user);
  // Waits for `count` calls that end a run (all done, error, stopped).
  bool WaitForEnds(int count, std::chrono::seconds limit = std::chrono::seconds(60));
  bool WaitForProgress(double percent);
  std::vector<Call> Calls();
  // The states in order, progress calls folded into one.
  std::vector<std::pair<int, int>> States();
  // Runs on the conversion thread at the first progress call of a run.
  void AtFirstProgress(std::function<void()> hook);
  int EndCount();

 private:
  int Ends() const;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Call> calls_;
  std::function<void()> hook_;
};

// The engine's log lines, collected by the callback the suite initialises it
// with.
void CollectLine(const char16_t* line);
bool Logged(const std::string& line);
void ClearEngineLog();
std::vector<std::string> EngineLog();

// A clip with sound of `seconds` (320x240 H.264 at 25 fps, AAC), cached.
std::string Clip(const std::string& name, int seconds);

SourceEntry Entry(const std::string& path, int64_t duration);
FormatSettings Mpeg2(const std::string& output, int width = 320, int height = 240);
FormatSettings Mp3(const std::string& output);

// A caller's group over its own entries.
struct Group {
  WorkGroup group{};
  std::vector<SourceEntry> entries;
  Group(const FormatSettings& format, std::vector<SourceEntry> sources);
  std::string Output() const;
};

class Engine : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;
  void RunAndWait(int ends = 1);
  // Converts the group alone; the last state it reported. The run's thread
  // has ended on return, so every line it logs is there.
  int ConvertAlone(Group& group);
  Recorder recorder_;
  TempDir dir_;
};

}  // namespace qelo::test
