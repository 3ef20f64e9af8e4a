// The engine against the ffmpeg command-line tool on one job: a 20 s 1080p
// H.264 + AAC clip converted to MPEG-2 640x480 at 2 Mbit/s with MP2 sound.
// Prints both times and their ratio (engine / ffmpeg), and the engine's
// time with the wave effect on every frame beside its time without.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "bench_clip.h"
#include "common/process.h"
#include "common/temp_dir.h"
#include "qelo/convertor.h"
#include "win/codepage.h"

namespace {

constexpr int64_t kSecond = 10000000;

void Quiet(const char16_t*) {}

struct RunEnd {
  std::mutex mutex;
  std::condition_variable changed;
  int state = -1;
};

void OnProgress(int32_t, double, double, int32_t state, void* user) {
  auto* end = static_cast<RunEnd*>(user);
  if (state == ConvertProgress || state == ConvertGroupStarted || state == ConvertGroupDone) return;
  std::lock_guard<std::mutex> hold(end->mutex);
  end->state = state;
  end->changed.notify_all();
}

bool ConvertWithEngine(const std::string& clip, const std::string& output, const EffectRecord* effect) {
  SourceEntry source{};
  if (effect) {
    source.effectCount = 1;
    source.effects[0] = *effect;
  }
  qelo::win::CopyToUtf16Field(source.path, QELO_PATH_CHARS, qelo::win::Utf8ToUtf16(clip));
  source.sourceDuration = 20 * kSecond;
  WorkGroup group{};
  group.sourceCount = 1;
  group.sources[0] = &source;
  FormatSettings& f = group.format;
  qelo::win::CopyToUtf16Field(f.outputPath, QELO_PATH_CHARS, qelo::win::Utf8ToUtf16(output));
  f.formatId = FORMAT_MPEG2;
  f.videoCodecId = VCODEC_MPEG2;
  f.audioCodecId = ACODEC_MP2;
  f.width = 640, f.height = 480, f.frameRateNum = 25, f.frameRateDen = 1, f.videoBitRate = 2000000;
  f.sampleRate = 44100, f.channels = 2, f.bitsPerSample = 16, f.audioBitRate = 192000;

  RunEnd end;
  RegisterCallBackPorcess(OnProgress, &end);
  QeloClearWorkGroup();
  QeloCreateWorkGroup(&group);
  QeloRunWorkGroup();
  std::unique_lock<std::mutex> hold(end.mutex);
  end.changed.wait(hold, [&] { return end.state != -1; });
  return end.state == ConvertAllDone;
}

template <typename Work>
double Seconds(Work work, bool* ok) {
  const auto start = std::chrono::steady_clock::now();
  *ok = work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool ConvertWithFfmpeg(const std::string& clip, const std::string& output) {
  // The same picture: fitted into 640x480 on black bars, as the engine does.
  return qelo::test::RunProcess({"ffmpeg", "-y", "-hide_banner", "-loglevel", "error", "-i", clip, "-vf",
                                 "scale=640:360:flags=bicubic,pad=640:480:0:60", "-c:v", "mpeg2video", "-b:v", "2M",
                                 "-c:a", "mp2", "-b:a", "192k", "-ar", "44100", output})
             .exitCode == 0;
}

}  // namespace

int main() {
  qelo::test::TempDir dir;
  const std::string clip = qelo::bench::Make1080pClip(dir.path());
  if (clip.empty()) return 1;
  if (!InitializeVideoConvertor(Quiet)) {
    std::puts("the engine did not start");
    return 1;
  }
  EffectRecord wave{};
  wave.effectId = EFFECT_WAVE;
  wave.param1 = 25;  // the defaults of its parameters
  wave.param2 = 30;
  bool engineOk = false, waveOk = false, ffmpegOk = false;
  const double engine = Seconds([&] { return ConvertWithEngine(clip, dir.File("engine.mpg"), nullptr); }, &engineOk);
  const double withWave = Seconds([&] { return ConvertWithEngine(clip, dir.File("wave.mpg"), &wave); }, &waveOk);
  const double ffmpeg = Seconds([&] { return ConvertWithFfmpeg(clip, dir.File("ffmpeg.mpg")); }, &ffmpegOk);
  std::printf("1080p H.264 + AAC -> MPEG-2 640x480 2 Mbit/s + MP2 (20 s)\n");
  std::printf("engine %.2f s%s   ffmpeg %.2f s%s   ratio %.2f\n", engine, engineOk ? "" : " (FAILED)", ffmpeg,
              ffmpegOk ? "" : " (FAILED)", engine / ffmpeg);
  std::printf("engine with the wave on every frame %.2f s%s: %.0f%% of the speed without effects\n", withWave,
              waveOk ? "" : " (FAILED)", 100 * engine / withWave);
  QeloStopWorkGroup();
  DeInitializeVideoConvertor();
  return 0;
}
