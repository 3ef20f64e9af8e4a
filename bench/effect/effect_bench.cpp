// Speed of every effect on a 1920 x 1080 frame in every instruction-set
// form this processor runs, in megapixels per second, next to a plain
// memcpy of the same frame and the ffmpeg tool's own flips and noise on the
// same frames, all in one run. The machine may be shared: each figure is
// the best of several rounds, with the median beside it.
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "qelo/effect.h"
#include "qelo/effect_passes.h"

extern char** environ;

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kStride = kWidth * 4;
constexpr size_t kFrameBytes = size_t{kStride} * kHeight;
constexpr double kMegapixels = kWidth * kHeight / 1e6;
constexpr int kRounds = 15;
constexpr int kFfmpegFrames = 40;
constexpr int kFfmpegRuns = 5;

using Clock = std::chrono::steady_clock;

struct Rate {
  double best = 0, median = 0;  // megapixels per second
};

struct Subject {
  std::string name;
  EffectRecord effect;
  std::vector<Rate> byForm;  // indexed by form; 0 where the processor lacks it
};

// A picture with gradients in every channel, so that no effect meets only
// one value.
std::vector<uint8_t> MakePicture() {
  std::vector<uint8_t> picture(kFrameBytes);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      uint8_t* p = picture.data() + size_t{kStride} * y + 4 * x;
      p[0] = static_cast<uint8_t>(x);
      p[1] = static_cast<uint8_t>(y);
      p[2] = static_cast<uint8_t>(x + y);
      p[3] = 255;
    }
  }
  return picture;
}

// The best and the median of kRounds timings of `work`, each after `reset`.
template <typename Reset, typename Work>
Rate Measure(Reset reset, Work work) {
  std::vector<double> seconds;
  for (int round = 0; round < kRounds; ++round) {
    reset();
    const auto start = Clock::now();
    work();
    seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  std::sort(seconds.begin(), seconds.end());
  return {kMegapixels / seconds.front(), kMegapixels / seconds[kRounds / 2]};
}

std::string Narrow(const char16_t* text) {
  std::string narrow;
  for (; *text != 0; ++text) narrow.push_back(static_cast<char>(*text));
  return narrow;
}

bool IsTableEffect(int id) {
  switch (id) {
    case EFFECT_BRIGHTNESS: case EFFECT_CONTRAST: case EFFECT_GAMMA: case EFFECT_INVERT: case EFFECT_GRAY:
    case EFFECT_POSTERIZE: case EFFECT_SOLARIZE: case EFFECT_THRESHOLD:
      return true;
    default:
      return false;
  }
}

void TakeDefault(const EffectParamInfo* param, void* user) {
  auto* effect = static_cast<EffectRecord*>(user);
  int32_t& slot = effect->param1 == 0 ? effect->param1 : effect->param2;
  slot = param->defaultValue;
}

bool AddSubject(const EffectInfo* info, void* user) {
  Subject subject{Narrow(info->name), EffectRecord{}, {}};
  subject.effect.effectId = info->effectId;
  if (info->enumParams != nullptr) info->enumParams(info->effectId, TakeDefault, &subject.effect);
  static_cast<std::vector<Subject>*>(user)->push_back(subject);
  return true;
}

// Every listed effect at its defaults, and the unlisted wave at the
// defaults of its parameters.
std::vector<Subject> Subjects() {
  std::vector<Subject> subjects;
  QeloEnumEffect(AddSubject, &subjects);
  EffectRecord wave{};
  wave.effectId = EFFECT_WAVE;
  wave.param1 = 25;
  wave.param2 = 30;
  subjects.push_back({"Wave (unlisted)", wave, {}});
  return subjects;
}

const char* kFormNames[] = {"scalar", "plain", "AVX2", "AVX-512"};

// The CPU seconds (user and system) of one ffmpeg run that reads
// kFfmpegFrames copies of `frame` from a pipe; negative when it failed.
double FfmpegSeconds(const std::string& pixelFormat, const std::string& filter, const std::vector<uint8_t>& frame) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], 0);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
  const std::string size = std::to_string(kWidth) + "x" + std::to_string(kHeight);
  std::vector<std::string> args = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-threads", "1",
                                   "-filter_threads", "1", "-f", "rawvideo", "-pix_fmt", pixelFormat, "-s", size,
                                   "-i", "pipe:0", "-vf", filter, "-f", "null", "-"};
  // -nostdin stops ffmpeg reading keys from its input; the frames come
  // through pipe:0 all the same.
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t child;
  const int spawned = posix_spawnp(&child, "ffmpeg", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[0]);
  if (spawned != 0) {
    close(pipeEnds[1]);
    return -1;
  }
  bool written = true;
  for (int i = 0; i < kFfmpegFrames && written; ++i) {
    for (size_t done = 0; done < frame.size();) {
      const ssize_t n = write(pipeEnds[1], frame.data() + done, frame.size() - done);
      if (n <= 0) {
        written = false;
        break;
      }
      done += static_cast<size_t>(n);
    }
  }
  close(pipeEnds[1]);
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || !written) {
    return -1;
  }
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// ffmpeg's rate for `filter` alone: its run's CPU time less that of a run
// with the null filter, best of kFfmpegRuns each; 0 when ffmpeg failed,
// infinity when the difference is below what the clock shows.
double FfmpegRate(const std::string& pixelFormat, const std::string& filter, const std::vector<uint8_t>& frame) {
  double withFilter = 1e30, without = 1e30;
  for (int run = 0; run < kFfmpegRuns; ++run) {
    const double a = FfmpegSeconds(pixelFormat, filter, frame), b = FfmpegSeconds(pixelFormat, "null", frame);
    if (a < 0 || b < 0) return 0;
    withFilter = std::min(withFilter, a);
    without = std::min(without, b);
  }
  constexpr double kResolution = 0.005;  // the CPU clock's steps, and then some
  const double filterSeconds = withFilter - without;
  if (filterSeconds < kResolution) return std::numeric_limits<double>::infinity();
  return kFfmpegFrames * kMegapixels / filterSeconds;
}

// The picture as planes green, blue, red, alpha (ffmpeg's planar RGB with
// alpha), for its noise filter without a conversion in front of it.
std::vector<uint8_t> Planar(const std::vector<uint8_t>& picture) {
  const size_t pixels = size_t{kWidth} * kHeight;
  std::vector<uint8_t> planes(4 * pixels);
  constexpr int kChannelOfPlane[] = {1, 0, 2, 3};
  for (size_t i = 0; i < pixels; ++i) {
    for (int plane = 0; plane < 4; ++plane) planes[plane * pixels + i] = picture[4 * i + kChannelOfPlane[plane]];
  }
  return planes;
}

void PrintRate(const Rate& rate, double copyRate) {
  if (rate.best == 0) {
    printf(" %22s", "-");
  } else {
    printf(" %7.0f (%5.0f) %5.1f%%", rate.best, rate.median, 100 * rate.best / copyRate);
  }
}

}  // namespace

int main() {
  signal(SIGPIPE, SIG_IGN);
  const std::vector<uint8_t> picture = MakePicture();
  std::vector<uint8_t> pixels(kFrameBytes), copy(kFrameBytes);
  const auto restore = [&] { memcpy(pixels.data(), picture.data(), kFrameBytes); };
  const double copyRate = Measure([] {}, [&] { memcpy(copy.data(), picture.data(), kFrameBytes); }).best;

  std::vector<int> forms;
  for (int form = QELO_EFFECT_FORM_SCALAR; form <= QELO_EFFECT_FORM_AVX512; ++form) {
    if (QeloEffectFormAvailable(form)) forms.push_back(form);
  }
  std::vector<Subject> subjects = Subjects();
  for (Subject& subject : subjects) subject.byForm.resize(QELO_EFFECT_FORM_AVX512 + 1);
  for (int form : forms) {
    QeloEffectUseForm(form);
    for (Subject& subject : subjects) {
      VideoFrame frame{pixels.data(), kWidth, kHeight, kStride, static_cast<int32_t>(kFrameBytes), 0, 0};
      subject.byForm[form] = Measure(restore, [&] { QeloDoEffect(&frame, &subject.effect, 0); });
    }
  }
  QeloEffectUseForm(QELO_EFFECT_FORM_BEST);
  const int best = QeloEffectActiveForm();

  printf("%d x %d frame; megapixels per second, best of %d rounds (median), share of memcpy\n", kWidth, kHeight,
         kRounds);
  printf("%-18s %10.0f MP/s\n", "memcpy", copyRate);
  printf("%-18s", "effect");
  for (int form : forms) printf(" %22s", kFormNames[form]);
  printf("\n");
  for (const Subject& subject : subjects) {
    printf("%-18s", subject.name.c_str());
    for (int form : forms) PrintRate(subject.byForm[form], copyRate);
    printf("%s\n", IsTableEffect(subject.effect.effectId) ? "  table effect" : "");
  }

  // ffmpeg on the same frames: the flips work on them as they are; its
  // noise filter has no packed-RGB path, so it is timed on these frames
  // (with the conversions ffmpeg puts around it) and on their planes.
  const std::vector<uint8_t> planes = Planar(picture);
  const double hflip = FfmpegRate("bgra", "hflip", picture);
  const double vflip = FfmpegRate("bgra", "vflip", picture);
  const double noise = FfmpegRate("bgra", "noise=alls=50:allf=t", picture);
  const double planarNoise = FfmpegRate("gbrap", "noise=alls=50:allf=t", planes);
  printf("\nffmpeg, one thread, %d frames through a pipe, CPU time less that of -vf null, best of %d:\n",
         kFfmpegFrames, kFfmpegRuns);
  const auto printFfmpeg = [&](const char* name, double rate) {
    if (rate == 0) {
      printf("%-34s failed to run\n", name);
    } else if (std::isinf(rate)) {
      printf("%-34s no cost the CPU clock shows\n", name);
    } else {
      printf("%-34s %10.0f MP/s  %5.1f%% of memcpy\n", name, rate, 100 * rate / copyRate);
    }
  };
  printFfmpeg("hflip", hflip);
  printFfmpeg("vflip", vflip);
  printFfmpeg("noise (same frames, converted)", noise);
  printFfmpeg("noise (the frames as planes)", planarNoise);

  bool tables = true, flips = true, noiseAndWave = true;
  for (const Subject& subject : subjects) {
    const int id = subject.effect.effectId;
    const double fastest = subject.byForm[best].best;
    if (IsTableEffect(id) && QeloEffectFormAvailable(QELO_EFFECT_FORM_AVX2)) {
      tables = tables && subject.byForm[QELO_EFFECT_FORM_AVX2].best >= copyRate / 4;
    }
    if (id == EFFECT_FLIP_HORIZONTAL || id == EFFECT_FLIP_VERTICAL) flips = flips && fastest >= copyRate / 2;
    if (id == EFFECT_NOISIFY || id == EFFECT_WAVE) noiseAndWave = noiseAndWave && fastest >= noise;
  }
  printf("\ntable effects in AVX2 at a quarter of memcpy or more: %s\n", tables ? "yes" : "no");
  printf("flips (%s) at half of memcpy or more: %s\n", kFormNames[best], flips ? "yes" : "no");
  printf("Noisify and the wave (%s) at ffmpeg's noise rate on the same frames or more: %s\n", kFormNames[best],
         noiseAndWave ? "yes" : "no");
  return 0;
}
