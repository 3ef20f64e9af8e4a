#include "codecs/codec_test_support.h"

#include <filesystem>
#include <mutex>

#include "common/media_fixture.h"
#include "common/temp_dir.h"
#include "win/codepage.h"

extern "C" {
#include <libavutil/log.h>
}

namespace qelo::test {
namespace {

std::mutex gLogMutex;
std::vector<std::string> gLines;

void CollectLine(const char16_t* line) {
  std::lock_guard<std::mutex> lock(gLogMutex);
  gLines.push_back(win::Utf16ToUtf8(line));
}

TempDir& SuiteDir() {
  static auto* dir = new TempDir;  // removed by the OS's temp cleaning if a test aborts
  return *dir;
}

}  // namespace

void InitializeCodecsForTests() {
  static std::once_flag once;
  std::call_once(once, [] {
    av_log_set_level(AV_LOG_ERROR);  // keep FFmpeg's format dumps out of test output
    QeloInitializeCodecs(CollectLine);
    std::atexit([] { delete &SuiteDir(); });
  });
}

std::vector<std::string> LoggedLines() {
  std::lock_guard<std::mutex> lock(gLogMutex);
  return gLines;
}

void ClearLog() {
  std::lock_guard<std::mutex> lock(gLogMutex);
  gLines.clear();
}

bool Logged(const std::string& line) {
  for (const auto& l : LoggedLines())
    if (l == line) return true;
  return false;
}

std::string FixturePath(const std::string& name) { return SuiteDir().File(name); }

std::string Fixture(const std::string& name, const std::vector<std::string>& ffmpegArgs) {
  return CachedMedia(name, ffmpegArgs);
}

std::u16string U16(const std::string& text) { return win::Utf8ToUtf16(text); }

OwnedFrame::OwnedFrame(int bytes) : buffer(bytes > 0 ? bytes : 0) {
  frame.pixels = buffer.data();
  frame.bufferSize = bytes;
}

int Load(const std::string& path, MediaInfo* info) {
  return QeloLoadMediaFile(U16(path).c_str(), info);
}

void OpenFileTest::SetUp() {
  InitializeCodecsForTests();
  ClearLog();
}

void OpenFileTest::TearDown() {
  if (handle_ >= 0) QeloUnloadMediaFile(handle_);
}

void OpenFileTest::Open(const std::string& path) {
  handle_ = Load(path);
  ASSERT_GE(handle_, 0) << path;
}

}  // namespace qelo::test
