// Shared pieces of the codec bridge suites: the log collector handed to
// QeloInitializeCodecs, generated fixtures and frame buffers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "qelo/codecs.h"

namespace qelo::test {

// Initialises the bridge once per process with a collecting callback.
void InitializeCodecsForTests();

// Lines logged since the last ClearLog(), without their prefix check.
std::vector<std::string> LoggedLines();
void ClearLog();
bool Logged(const std::string& line);  // an exact line, prefix included

// A path in the suite's private folder; fixtures are made once per process.
std::string FixturePath(const std::string& name);
// Makes (once) a fixture from ffmpeg arguments; "" when ffmpeg failed.
std::string Fixture(const std::string& name, const std::vector<std::string>& ffmpegArgs);

std::u16string U16(const std::string& text);

struct OwnedFrame {
  std::vector<uint8_t> buffer;
  VideoFrame frame{};
  explicit OwnedFrame(int bytes);
};

// Loads a file; -1 on failure. The MediaInfo, when asked for, is freed by
// the caller with QeloFreeFileFormatInfo.
int Load(const std::string& path, MediaInfo* info = nullptr);

// A suite that opens one media file per case and unloads it afterwards.
class OpenFileTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  void Open(const std::string& path);

  int handle_ = -1;
};

}  // namespace qelo::test
