// Cost of preview playback: a 20 s 1080p H.264 + AAC clip played in one
// headless instance at real time. Prints the process CPU seconds per second
// of playback, and how far each frame shown lags the sound clock the player
// follows (the sound SDL's disk driver has taken, read from the size of the
// file it writes): the lag distribution, the frames late by more than one
// (and more than two) frame intervals and the frames never shown. Next to it,
// the CPU the ffmpeg tool spends decoding the same clip at real time (-re, to
// the null output).
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string>
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

constexpr double kSoundBytesPerSecond = 44100.0 * 2 * 2;
// SDL takes the sound 1,024 sample frames at a time, so the sound playing
// lies within one such buffer before what was taken.
constexpr double kSoundBuffer = 1024 / 44100.0;

// Seconds of sound the disk driver has taken so far, less one buffer: the
// sound clock has surely reached this.
double SoundClock(const std::string& soundFile) {
  struct stat info {};
  if (stat(soundFile.c_str(), &info) != 0) return 0;
  return std::max(0.0, double(info.st_size) / kSoundBytesPerSecond - kSoundBuffer);
}

struct Shown {
  int64_t pts;
  double sound;  // the sound clock when the frame was shown, seconds
};

struct ShownFrames {
  std::string soundFile;
  std::mutex lock;
  std::vector<Shown> frames;
  static void Hook(VideoFrame* frame, void* self) {
    auto* shown = static_cast<ShownFrames*>(self);
    const double sound = SoundClock(shown->soundFile);
    std::lock_guard guard(shown->lock);
    shown->frames.push_back({frame->pts, sound});
  }
};

double Percentile(const std::vector<double>& sorted, double fraction) {
  if (sorted.empty()) return 0;
  return sorted[std::min(sorted.size() - 1, size_t(fraction * double(sorted.size())))];
}

// Prints how far the frames shown lagged the sound and how many were late
// or never shown.
void ReportLateness(std::vector<Shown> frames, int expected) {
  // A rewind to the first frame after the end is not part of playback.
  if (frames.size() > 1 && frames.back().pts < frames[frames.size() - 2].pts) frames.pop_back();
  const double interval = double(kInterval) / 1e7;
  int late = 0, lateTwice = 0;
  std::set<int64_t> distinct;
  std::vector<double> lags;
  const double bounds[] = {0, interval, 2 * interval, 0.2, 0.5};
  int buckets[std::size(bounds) + 1] = {};
  for (const Shown& frame : frames) {
    const double lag = frame.sound - double(frame.pts) / 1e7;
    lags.push_back(lag);
    distinct.insert((frame.pts + kInterval / 2) / kInterval);
    if (lag > interval) ++late;
    if (lag > 2 * interval) ++lateTwice;
    size_t bucket = 0;
    while (bucket < std::size(bounds) && lag > bounds[bucket]) ++bucket;
    ++buckets[bucket];
    if (std::getenv("PLAYER_BENCH_TRACE")) std::printf("%.3f %.3f\n", double(frame.pts) / 1e7, lag);
  }
  std::sort(lags.begin(), lags.end());
  const int dropped = std::max(0, expected - int(distinct.size()));
  std::printf("frames: %zu shown, %d late by more than one frame interval (%d by more than two), "
              "%d never shown\n",
              frames.size(), late, lateTwice, dropped);
  std::printf("lag behind the sound clock: min %.0f ms, median %.0f ms, p90 %.0f ms, p99 %.0f ms, "
              "max %.0f ms\n",
              Percentile(lags, 0) * 1000, Percentile(lags, 0.5) * 1000, Percentile(lags, 0.9) * 1000,
              Percentile(lags, 0.99) * 1000, lags.empty() ? 0 : lags.back() * 1000);
  std::printf("lag histogram: <=0 ms %d, 0-40 ms %d, 40-80 ms %d, 80-200 ms %d, 200-500 ms %d, "
              ">500 ms %d\n",
              buckets[0], buckets[1], buckets[2], buckets[3], buckets[4], buckets[5]);
}

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
  shown.soundFile = dir.File("sound.raw");
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", shown.soundFile.c_str(), 1);
  double wall = 0, cpu = 0;
  const bool ended = PlayClip(clip, &shown, &wall, &cpu);
  if (!ended) std::puts("playback did not reach the end");

  std::printf("clip: 20 s, 1920x1080 H.264 25 fps + AAC 44.1 kHz stereo\n");
  std::printf("player: %.2f s wall, %.2f CPU s, %.3f CPU s per s of playback, sound taken %.2f s\n",
              wall, cpu, cpu / wall, SoundClock(shown.soundFile) + kSoundBuffer);
  ReportLateness(shown.frames, int(kClipSeconds * 25));
  std::printf("ffmpeg -re -f null: %.2f s wall, %.2f CPU s, %.3f CPU s per s\n", ffmpegWall, ffmpegCpu,
              ffmpegCpu / ffmpegWall);
  std::printf("ratio (player / ffmpeg CPU per s): %.2f\n", (cpu / wall) / (ffmpegCpu / ffmpegWall));
  return ended ? 0 : 1;
}
