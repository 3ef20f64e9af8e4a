#include "player_fixture.h"

#include <algorithm>
#include <cstdlib>

#include "common/media_fixture.h"
#include "win/codepage.h"

namespace qelo::test {

namespace {

std::mutex gLogLock;
std::vector<std::string> gLogLines;

void CollectLog(const char16_t* line) {
  std::lock_guard guard(gLogLock);
  gLogLines.push_back(win::Utf16ToUtf8(line));
}

std::string Pattern(double seconds) {
  return "testsrc2=size=160x120:rate=25:duration=" + std::to_string(seconds);
}

std::string Tone(double seconds) {
  return "sine=frequency=440:sample_rate=44100:duration=" + std::to_string(seconds);
}

win::LRESULT HostProc(win::HWND window, win::UINT message, win::WPARAM w, win::LPARAM l) {
  return win::DefWindowProc(window, message, w, l);
}

void RegisterHostClass() {
  static bool done = [] {
    win::WNDCLASS windowClass;
    windowClass.lpfnWndProc = HostProc;
    windowClass.lpszClassName = "Player Test Host";
    return win::RegisterClass(windowClass) != 0;
  }();
  (void)done;
}

}  // namespace

std::string VideoAudioClip(double seconds) {
  return CachedMedia("player-av-" + std::to_string(seconds) + ".mp4",
                     {"-f", "lavfi", "-i", Pattern(seconds), "-f", "lavfi", "-i", Tone(seconds),
                      "-ac", "2", "-pix_fmt", "yuv420p", "-g", "1", "-shortest"});
}

std::string VideoOnlyClip(double seconds) {
  return CachedMedia("player-v-" + std::to_string(seconds) + ".mp4",
                     {"-f", "lavfi", "-i", Pattern(seconds), "-pix_fmt", "yuv420p", "-g", "1"});
}

std::string AudioOnlyClip(double seconds) {
  return CachedMedia("player-a-" + std::to_string(seconds) + ".m4a",
                     {"-f", "lavfi", "-i", Tone(seconds), "-ac", "2"});
}

std::string VideoWithShortSoundClip(double seconds, double soundSeconds) {
  return CachedMedia("player-av-" + std::to_string(seconds) + "-" + std::to_string(soundSeconds) + ".mp4",
                     {"-f", "lavfi", "-i", Pattern(seconds), "-f", "lavfi", "-i", Tone(soundSeconds), "-ac", "2",
                      "-pix_fmt", "yuv420p", "-g", "1"});
}

void FrameLog::Hook(VideoFrame* frame, void* self) {
  auto* log = static_cast<FrameLog*>(self);
  std::lock_guard guard(log->lock_);
  log->times_.push_back(frame->pts);
  if (log->extra_) log->extra_(*frame);
}

std::vector<int64_t> FrameLog::Times() const {
  std::lock_guard guard(lock_);
  return times_;
}

size_t FrameLog::Count() const {
  std::lock_guard guard(lock_);
  return times_.size();
}

int64_t FrameLog::Last() const {
  std::lock_guard guard(lock_);
  return times_.empty() ? -1 : times_.back();
}

void FrameLog::OnFrame(std::function<void(const VideoFrame&)> extra) {
  std::lock_guard guard(lock_);
  extra_ = std::move(extra);
}

void PlayerTest::SetUp() {
  {
    std::lock_guard guard(gLogLock);
    gLogLines.clear();
  }
  ASSERT_EQ(InitializeQeloPlayer(CollectLog), 1);
}

void PlayerTest::TearDown() {
  if (!deinitialized_) DeInitializeQeloPlayer();
  for (win::HWND host : hosts_) win::DestroyWindow(host);
}

win::HWND PlayerTest::MakeHost(int width, int height) {
  RegisterHostClass();
  win::HWND host = win::CreateWindowEx(0, "Player Test Host", "host", win::WS_POPUP | win::WS_VISIBLE,
                                       0, 0, width, height, nullptr, nullptr);
  if (host) hosts_.push_back(host);
  return host;
}

int PlayerTest::MakeInstance(FrameLog* frames, bool twoPane, int width, int height) {
  win::HWND host = MakeHost(width, height);
  const int index = QeloCreatePlayerInstance(host, twoPane ? 1 : 0);
  if (index < 0) return index;
  QeloSetMsgHandle(host, index);
  if (frames) QeloSetCallBack(FrameLog::Hook, 0, frames, index);
  return index;
}

bool PlayerTest::Open(const std::string& path, int index, MediaInfo** info) {
  MediaInfo* ignored = nullptr;
  return !path.empty() &&
         QeloInitFile(win::Utf8ToUtf16(path).c_str(), info ? info : &ignored, index) == 1;
}

void PlayerTest::Pump(std::chrono::milliseconds time) {
  WaitUntil([] { return false; }, time);
}

bool PlayerTest::WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    win::MSG message;
    while (win::PeekMessage(&message, nullptr, 0, 0, win::PM_REMOVE)) {
      if (message.message >= WM_PLAYER_POSITION && message.message <= WM_PLAYER_WATERMARK_MOVED)
        received_.push_back({message.message, message.wParam, message.lParam});
      win::DispatchMessage(&message);
    }
    if (done()) return true;
    const auto now = std::chrono::steady_clock::now();
    if (now >= end) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
    win::MsgWaitForMultipleObjects(0, nullptr, 0, win::DWORD(std::min<long long>(left, 5)),
                                   win::QS_ALLINPUT);
  }
}

bool PlayerTest::WaitFor(win::UINT message, std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return !Received(message).empty(); }, timeout);
}

std::vector<HostMessage> PlayerTest::Received(win::UINT message) const {
  std::vector<HostMessage> found;
  for (const HostMessage& m : received_)
    if (m.message == message) found.push_back(m);
  return found;
}

std::vector<std::string> PlayerTest::LogLines() {
  std::lock_guard guard(gLogLock);
  return gLogLines;
}

bool PlayerTest::Logged(const std::string& line) {
  const auto lines = LogLines();
  return std::find(lines.begin(), lines.end(), "Qelo Player: " + line) != lines.end();
}

}  // namespace qelo::test
