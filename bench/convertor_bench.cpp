// The engine against the ffmpeg command-line tool on the same jobs: a 20 s
// 1080p H.264 + AAC clip converted to MPEG-2 640x480 at 2 Mbit/s with MP2
// sound, and 5 s screen recordings (sizes no multiple of 16, 4:4:4 chroma,
// and the common sizes beside them) converted to MPEG-4 640x480 with MP3
// sound in AVI. Each side runs five times, in turn; the medians and their
// ratio (engine / ffmpeg) are printed, and the engine's time with the wave
// effect on every frame beside its time without. With an argument, only the
// jobs whose titles hold it run (and no wave).
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "bench_clip.h"
#include "common/temp_dir.h"
#include "qelo/convertor.h"
#include "win/codepage.h"

namespace {

using qelo::bench::Compare;
using qelo::bench::FfmpegRuns;

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

// One job: a clip, the engine's output format and the ffmpeg tool's
// arguments for the same output (fitted into the frame on black bars, as
// the engine does).
struct Job {
  std::string title;
  std::string clip;
  int seconds;
  FormatSettings format;
  std::vector<std::string> ffmpegArgs;  // between the input and the output
};

// 640x480 at 25 fps with 44.1 kHz stereo 16-bit sound.
FormatSettings Format640x480(FormatId container, int videoCodec, int videoBitRate, int audioCodec, int audioBitRate) {
  FormatSettings f{};
  f.formatId = container;
  f.videoCodecId = videoCodec;
  f.audioCodecId = audioCodec;
  f.width = 640, f.height = 480, f.frameRateNum = 25, f.frameRateDen = 1, f.videoBitRate = videoBitRate;
  f.sampleRate = 44100, f.channels = 2, f.bitsPerSample = 16, f.audioBitRate = audioBitRate;
  return f;
}

const char* kFitInto640x480 =
    "scale=640:480:force_original_aspect_ratio=decrease:flags=bicubic,pad=640:480:(ow-iw)/2:(oh-ih)/2";

bool ConvertWithEngine(const Job& job, const std::string& output, const EffectRecord* effect) {
  std::remove(output.c_str());  // outputs are created, never overwritten
  SourceEntry source{};
  if (effect) {
    source.effectCount = 1;
    source.effects[0] = *effect;
  }
  qelo::win::CopyToUtf16Field(source.path, QELO_PATH_CHARS, qelo::win::Utf8ToUtf16(job.clip));
  source.sourceDuration = job.seconds * kSecond;
  WorkGroup group{};
  group.sourceCount = 1;
  group.sources[0] = &source;
  group.format = job.format;
  qelo::win::CopyToUtf16Field(group.format.outputPath, QELO_PATH_CHARS, qelo::win::Utf8ToUtf16(output));

  RunEnd end;
  RegisterCallBackPorcess(OnProgress, &end);
  QeloClearWorkGroup();
  QeloCreateWorkGroup(&group);
  QeloRunWorkGroup();
  std::unique_lock<std::mutex> hold(end.mutex);
  end.changed.wait(hold, [&] { return end.state != -1; });
  return end.state == ConvertAllDone;
}

bool ConvertWithFfmpeg(const Job& job, const std::string& output) {
  std::vector<std::string> args = {"-i", job.clip};
  args.insert(args.end(), job.ffmpegArgs.begin(), job.ffmpegArgs.end());
  args.push_back(output);
  return FfmpegRuns(args);
}

std::vector<Job> Jobs(const std::string& folder, const std::string& only) {
  std::vector<Job> jobs;
  const std::vector<std::string> mpeg2 = {"-vf", "scale=640:360:flags=bicubic,pad=640:480:0:60", "-c:v", "mpeg2video",
                                          "-b:v", "2M", "-c:a", "mp2", "-b:a", "192k", "-ar", "44100"};
  const std::vector<std::string> mpeg4 = {"-vf", kFitInto640x480, "-r", "25", "-c:v", "mpeg4", "-b:v", "1M",
                                          "-c:a", "libmp3lame", "-b:a", "128k", "-ar", "44100", "-ac", "2"};
  const std::string hd = "1080p H.264 + AAC -> MPEG-2 640x480 2 Mbit/s + MP2 (20 s)";
  if (hd.find(only) != std::string::npos)
    jobs.push_back({hd, qelo::bench::Make1080pClip(folder), 20,
                    Format640x480(FORMAT_MPEG2, VCODEC_MPEG2, 2000000, ACODEC_MP2, 192000), mpeg2});
  struct Screen {
    int width, height;
    const char* pixelFormat;
  } screens[] = {{1022, 766, "yuv420p"}, {1023, 767, "yuv444p"}, {1024, 768, "yuv420p"}, {1366, 768, "yuv420p"}};
  for (const Screen& s : screens) {
    const std::string title = "screen recording " + std::to_string(s.width) + "x" + std::to_string(s.height) + " " +
                              s.pixelFormat + " H.264 + AAC -> MPEG-4 640x480 + MP3 in AVI (5 s)";
    if (title.find(only) == std::string::npos) continue;
    jobs.push_back({title, qelo::bench::MakeScreenRecording(folder, s.width, s.height, s.pixelFormat), 5,
                    Format640x480(FORMAT_AVI, VCODEC_MPEG4, 1000000, ACODEC_MP3, 128000), mpeg4});
  }
  return jobs;
}

// The engine's time with the wave on every frame beside its time without.
void CompareWave(const Job& job, const qelo::test::TempDir& dir) {
  EffectRecord wave{};
  wave.effectId = EFFECT_WAVE;
  wave.param1 = 25;  // the defaults of its parameters
  wave.param2 = 30;
  const auto waved = Compare([&] { return ConvertWithEngine(job, dir.File("wave.mpg"), &wave); },
                             [&] { return ConvertWithEngine(job, dir.File("plain.mpg"), nullptr); });
  qelo::bench::Report(job.title + ", the wave on every frame", "with", "without", waved);
  std::printf("  with the wave: %.0f%% of the speed without effects\n", 100 / waved.Ratio());
}

}  // namespace

int main(int argc, char** argv) {
  const std::string only = argc > 1 ? argv[1] : "";
  qelo::test::TempDir dir;
  const std::vector<Job> jobs = Jobs(dir.path(), only);
  for (const Job& job : jobs)
    if (job.clip.empty()) return 1;
  if (!InitializeVideoConvertor(Quiet)) {
    std::puts("the engine did not start");
    return 1;
  }
  const std::string engineOut = dir.File("engine.out"), ffmpegOut = dir.File("ffmpeg.out");
  for (const Job& job : jobs) {
    const std::string extension = job.format.formatId == FORMAT_AVI ? ".avi" : ".mpg";
    const auto c = Compare([&] { return ConvertWithEngine(job, engineOut + extension, nullptr); },
                           [&] { return ConvertWithFfmpeg(job, ffmpegOut + extension); });
    qelo::bench::Report(job.title, "engine", "ffmpeg", c);
  }

  if (only.empty() && !jobs.empty()) CompareWave(jobs.front(), dir);
  QeloStopWorkGroup();
  DeInitializeVideoConvertor();
  return 0;
}
