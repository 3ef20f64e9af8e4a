// Speed of every effect on a 1920 x 1080 frame, in megapixels per second,
// next to the rate of a plain memcpy of the same frame in the same run.
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "qelo/effect.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kStride = kWidth * 4;
constexpr size_t kFrameBytes = size_t{kStride} * kHeight;
constexpr double kMegapixels = kWidth * kHeight / 1e6;
constexpr int kRounds = 15;

using Clock = std::chrono::steady_clock;

struct Subject {
  std::string name;
  EffectRecord effect;
  bool tableEffect;  // held to a quarter of the memcpy rate
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

// The median of kRounds timings of `work`, each preceded by `reset`.
template <typename Reset, typename Work>
double MedianSeconds(Reset reset, Work work) {
  std::vector<double> seconds;
  for (int round = 0; round < kRounds; ++round) {
    reset();
    const auto start = Clock::now();
    work();
    seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  std::nth_element(seconds.begin(), seconds.begin() + kRounds / 2, seconds.end());
  return seconds[kRounds / 2];
}

std::string Narrow(const char16_t* text) {
  std::string narrow;
  for (; *text != 0; ++text) narrow.push_back(static_cast<char>(*text));
  return narrow;
}

bool IsTableEffect(int id) {
  switch (id) {
    case EFFECT_BRIGHTNESS: case EFFECT_CONTRAST: case EFFECT_GAMMA: case EFFECT_INVERT:
    case EFFECT_GRAY: case EFFECT_POSTERIZE: case EFFECT_THRESHOLD:
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
  Subject subject{Narrow(info->name), EffectRecord{}, IsTableEffect(info->effectId)};
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
  subjects.push_back({"Wave (unlisted)", wave, false});
  return subjects;
}

}  // namespace

int main() {
  const std::vector<uint8_t> picture = MakePicture();
  std::vector<uint8_t> pixels(kFrameBytes);
  const auto restore = [&] { memcpy(pixels.data(), picture.data(), kFrameBytes); };

  const double copyRate = kMegapixels / MedianSeconds([] {}, restore);
  printf("%d x %d frame, median of %d rounds\n", kWidth, kHeight, kRounds);
  printf("%-18s %10.1f MP/s\n", "memcpy", copyRate);

  bool goalMet = true;
  for (const Subject& subject : Subjects()) {
    VideoFrame frame{pixels.data(), kWidth, kHeight, kStride,
                     static_cast<int32_t>(kFrameBytes), 0, 0};
    const double rate =
        kMegapixels / MedianSeconds(restore, [&] { QeloDoEffect(&frame, &subject.effect, 0); });
    const double share = rate / copyRate;
    const bool short_ = subject.tableEffect && share < 0.25;
    goalMet = goalMet && !short_;
    printf("%-18s %10.1f MP/s  %5.1f%% of memcpy%s\n", subject.name.c_str(), rate, 100 * share,
           subject.tableEffect ? (short_ ? "  table effect: BELOW a quarter" : "  table effect")
                               : "");
  }
  printf("table effects at a quarter of memcpy or more: %s\n", goalMet ? "yes" : "no");
  return 0;
}
