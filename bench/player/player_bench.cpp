// Cost of preview playback: a 20 s 1080p H.264 + AAC clip played in one
// headless instance at real time. Prints the process CPU seconds per second
// of playback and the frames shown late (more than one, and more than two,
// frame intervals after their time counted from the first frame) or never
// shown, next to the CPU the ffmpeg tool spends
// decoding the same clip at real time (-re, to the null output).
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "bench_clip.h"
#include "common/process.h"
#include "common/temp_dir.h"
#include "qelo/player_exports.h"
#include "win/codepage.h"
#include "win/window/window.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace win = qelo::win;

constexpr double kClipSeconds = 20.0;
constexpr int64_t kInterval = 400000;  // 25 fps, 100-ns units

double CpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Shown {
  int64_t pts;
  Clock::time_point at;
};

struct ShownFrames {
  std::mutex lock;
  std::vector<Shown> frames;
  static void Hook(VideoFrame* frame, void* self) {
    auto* shown = static_cast<ShownFrames*>(self);
    std::lock_guard guard(shown->lock);
    shown->frames.push_back({frame->pts, Clock::now()});
  }
};

void Quiet(const char16_t*) {}

win::LRESULT HostProc(win::HWND window, win::UINT message, win::WPARAM w, win::LPARAM l) {
  return win::DefWindowProc(window, message, w, l);
}

// Plays the clip to its end; false when it could not be opened or did not end.
bool PlayClip(const std::string& clip, ShownFrames* shown, double* wall, double* cpu) {
  win::WNDCLASS windowClass;
  windowClass.lpfnWndProc = HostProc;
  windowClass.lpszClassName = "Bench Host";
  win::RegisterClass(windowClass);
  win::HWND host = win::CreateWindowEx(0, "Bench Host", "host", win::WS_POPUP | win::WS_VISIBLE, 0, 0,
                                       640, 360, nullptr, nullptr);
  InitializeQeloPlayer(Quiet);
  const int index = QeloCreatePlayerInstance(host, 0);
  QeloSetMsgHandle(host, index);
  QeloSetCallBack(ShownFrames::Hook, 0, shown, index);
  MediaInfo* info = nullptr;
  bool ended = false;
  if (QeloInitFile(win::Utf8ToUtf16(clip).c_str(), &info, index) == 1) {
    const double cpuStart = CpuSeconds(RUSAGE_SELF);
    const auto start = Clock::now();
    QeloPlay(index);
    while (!ended && Since(start) < 3 * kClipSeconds) {
      win::MSG message;
      if (win::GetMessage(&message, nullptr, 0, 0) <= 0) break;
      ended = message.message == WM_PLAYER_END;
      win::DispatchMessage(&message);
    }
    *wall = Since(start);
    *cpu = CpuSeconds(RUSAGE_SELF) - cpuStart;
    QeloSetCallBack(nullptr, 0, nullptr, index);
  }
  DeInitializeQeloPlayer();
  win::DestroyWindow(host);
  return ended;
}

}  // namespace

int main() {
  setenv("QELO_HEADLESS", "1", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  qelo::test::TempDir dir;
  const std::string clip = qelo::bench::Make1080pClip(dir.path());
  if (clip.empty()) return 1;

  const double childCpuStart = CpuSeconds(RUSAGE_CHILDREN);
  const auto ffmpegStart = Clock::now();
  const auto ffmpeg = qelo::test::RunProcess(
      {"ffmpeg", "-hide_banner", "-loglevel", "error", "-re", "-i", clip, "-f", "null", "-"});
  const double ffmpegWall = Since(ffmpegStart);
  const double ffmpegCpu = CpuSeconds(RUSAGE_CHILDREN) - childCpuStart;
  if (ffmpeg.exitCode != 0) std::puts("ffmpeg failed");

  ShownFrames shown;
  double wall = 0, cpu = 0;
  const bool ended = PlayClip(clip, &shown, &wall, &cpu);
  if (!ended) std::puts("playback did not reach the end");

  // Frames during playback: a rewind to the first frame after the end is not
  // one of them.
  std::vector<Shown>& frames = shown.frames;
  if (frames.size() > 1 && frames.back().pts < frames[frames.size() - 2].pts) frames.pop_back();
  const int expected = int(kClipSeconds * 25);
  int late = 0, lateTwice = 0;
  std::vector<double> lags;
  if (!frames.empty()) {
    const Clock::time_point origin = frames.front().at;
    for (const Shown& frame : frames) {
      const double due = double(frame.pts) / 1e7;
      const double at = std::chrono::duration<double>(frame.at - origin).count();
      lags.push_back(at - due);
      if (at - due > double(kInterval) / 1e7) ++late;
      if (at - due > 2 * double(kInterval) / 1e7) ++lateTwice;
      if (std::getenv("PLAYER_BENCH_TRACE")) std::printf("%.3f %.3f\n", due, at - due);
    }
  }
  const int dropped = std::max(0, expected - int(frames.size()));
  std::sort(lags.begin(), lags.end());
  const double medianLag = lags.empty() ? 0 : lags[lags.size() / 2];
  const double maxLag = lags.empty() ? 0 : lags.back();
  std::printf("clip: 20 s, 1920x1080 H.264 25 fps + AAC 44.1 kHz stereo\n");
  std::printf("player: %.2f s wall, %.2f CPU s, %.3f CPU s per s of playback, %zu frames shown, "
              "%d late by more than one frame interval (%d by more than two), %d dropped\n",
              wall, cpu, cpu / wall, frames.size(), late, lateTwice, dropped);
  std::printf("player lag behind the first frame's schedule: median %.0f ms, max %.0f ms\n",
              medianLag * 1000, maxLag * 1000);
  std::printf("ffmpeg -re -f null: %.2f s wall, %.2f CPU s, %.3f CPU s per s\n", ffmpegWall, ffmpegCpu,
              ffmpegCpu / ffmpegWall);
  std::printf("ratio (player / ffmpeg CPU per s): %.2f\n", (cpu / wall) / (ffmpegCpu / ffmpegWall));
  return ended ? 0 : 1;
}
