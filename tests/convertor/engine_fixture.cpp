#include "convertor/engine_fixture.h"

#include "common/format_settings.h"
#include "common/media_fixture.h"
#include "win/codepage.h"

namespace qelo::test {

using namespace std::chrono_literals;

void Recorder::Callback(int32_t group, double file, double total, int32_t state, void* user) {
  auto* self = static_cast<Recorder*>(user);
  std::function<void()> hook;
  if (state == ConvertProgress) {
    std::lock_guard<std::mutex> hold(self->mutex_);
    hook = std::exchange(self->hook_, nullptr);
  }
  if (hook) hook();
  // Notified under the lock: a waiter that then frees the recorder cannot
  // do so while this thread still touches it.
  std::lock_guard<std::mutex> hold(self->mutex_);
  self->calls_.push_back({group, file, total, state});
  self->changed_.notify_all();
}

bool Recorder::WaitForEnds(int count, std::chrono::seconds limit) {
  std::unique_lock<std::mutex> hold(mutex_);
  return changed_.wait_for(hold, limit, [&] { return Ends() >= count; });
}

bool Recorder::WaitForProgress(double percent) {
  std::unique_lock<std::mutex> hold(mutex_);
  return changed_.wait_for(hold, 60s, [&] {
    return !calls_.empty() && calls_.back().state == ConvertProgress && calls_.back().file >= percent;
  });
}

std::vector<Call> Recorder::Calls() {
  std::lock_guard<std::mutex> hold(mutex_);
  return calls_;
}

std::vector<std::pair<int, int>> Recorder::States() {
  std::vector<std::pair<int, int>> states;
  for (const Call& c : Calls())
    if (states.empty() || c.state != ConvertProgress || states.back() != std::pair{c.group, c.state})
      states.push_back({c.group, c.state});
  return states;
}

void Recorder::AtFirstProgress(std::function<void()> hook) {
  std::lock_guard<std::mutex> hold(mutex_);
  hook_ = std::move(hook);
}

int Recorder::EndCount() {
  std::lock_guard<std::mutex> hold(mutex_);
  return Ends();
}

int Recorder::Ends() const {
  int n = 0;
  for (const Call& c : calls_) n += c.state == ConvertAllDone || c.state == ConvertError || c.state == ConvertStopped;
  return n;
}

namespace {
std::mutex gLogMutex;
std::vector<std::string> gLog;
}  // namespace

void CollectLine(const char16_t* line) {
  std::lock_guard<std::mutex> hold(gLogMutex);
  gLog.push_back(win::Utf16ToUtf8(line));
}

bool Logged(const std::string& line) {
  std::lock_guard<std::mutex> hold(gLogMutex);
  for (const auto& l : gLog)
    if (l == line) return true;
  return false;
}

void ClearEngineLog() {
  std::lock_guard<std::mutex> hold(gLogMutex);
  gLog.clear();
}

std::vector<std::string> EngineLog() {
  std::lock_guard<std::mutex> hold(gLogMutex);
  return gLog;
}

std::string Clip(const std::string& name, int seconds) {
  return CachedMedia(name, {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=" + std::to_string(seconds),
                            "-f", "lavfi", "-i",
                            "sine=frequency=440:sample_rate=44100:duration=" + std::to_string(seconds), "-ac", "2",
                            "-c:v", "libx264", "-g", "25", "-c:a", "aac", "-shortest"});
}

SourceEntry Entry(const std::string& path, int64_t duration) {
  SourceEntry e{};
  win::CopyToUtf16Field(e.path, QELO_PATH_CHARS, win::Utf8ToUtf16(path));
  e.sourceDuration = duration;
  e.watermarkAlpha = 255;
  return e;
}

FormatSettings Mpeg2(const std::string& output, int width, int height) {
  return Mpeg2Settings(output, width, height, 800000);
}

FormatSettings Mp3(const std::string& output) {
  FormatSettings f{};
  win::CopyToUtf16Field(f.outputPath, QELO_PATH_CHARS, win::Utf8ToUtf16(output));
  f.formatId = FORMAT_MP3;
  f.videoCodecId = -1;
  f.audioCodecId = ACODEC_MP3;
  f.sampleRate = 44100, f.channels = 2, f.bitsPerSample = 16, f.audioBitRate = 128000;
  return f;
}

Group::Group(const FormatSettings& format, std::vector<SourceEntry> sources) : entries(std::move(sources)) {
  group.format = format;
  group.sourceCount = int32_t(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) group.sources[i] = &entries[i];
}

std::string Group::Output() const {
  return win::Utf16ToUtf8(win::Utf16Field(group.format.outputPath, QELO_PATH_CHARS));
}

void Engine::SetUpTestSuite() { ASSERT_EQ(InitializeVideoConvertor(CollectLine), 1); }

void Engine::SetUp() {
  QeloStopWorkGroup();
  RegisterCallBackPorcess(&Recorder::Callback, &recorder_);
}

void Engine::TearDown() { QeloStopWorkGroup(); }

void Engine::RunAndWait(int ends) {
  ASSERT_NE(QeloRunWorkGroup(), nullptr);
  ASSERT_TRUE(recorder_.WaitForEnds(ends));
}

int Engine::ConvertAlone(Group& group) {
  const size_t before = recorder_.Calls().size();
  RegisterCallBackPorcess(&Recorder::Callback, &recorder_);
  QeloClearWorkGroup();
  EXPECT_EQ(QeloCreateWorkGroup(&group.group), 0);
  const int ends = recorder_.EndCount();
  EXPECT_NE(QeloRunWorkGroup(), nullptr);
  EXPECT_TRUE(recorder_.WaitForEnds(ends + 1, std::chrono::seconds(120)));
  QeloClearWorkGroup();  // waits for the run's thread: its last line is written
  const std::vector<Call> calls = recorder_.Calls();
  return calls.size() > before ? calls.back().state : -1;
}

}  // namespace qelo::test
