// The engine's pool for banded effects: every band runs once, callers on
// several threads share it, and a frame's effects over bands come out as
// they do on one thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "convertor_log.h"
#include "effect_band_pool.h"
#include "frame_compositing.h"
#include "qelo/effect.h"
#include "win/codepage.h"

namespace qelo::test {
namespace {

using convertor::EffectBandPool;

std::mutex gLogMutex;
std::vector<std::string> gLines;
void Collect(const char16_t* line) {
  std::lock_guard<std::mutex> hold(gLogMutex);
  gLines.push_back(win::Utf16ToUtf8(line));
}

TEST(EffectBandPool, RunsEveryBandExactlyOnce) {
  for (const int threads : {0, 1, 3}) {
    EffectBandPool pool(threads);
    EXPECT_EQ(pool.Threads(), threads);
    // 40 bands do not all fit the queue: the caller runs the rest itself.
    for (const int count : {0, 1, 2, 5, 40}) {
      std::vector<std::atomic<int>> runs(count);
      pool.Run(count, [&](int band) { runs[band]++; });
      for (int band = 0; band < count; ++band) {
        EXPECT_EQ(runs[band], 1) << "band " << band << " of " << count << ", " << threads << " threads";
      }
    }
  }
}

TEST(EffectBandPool, CallersOnSeveralThreadsShareIt) {
  EffectBandPool pool(2);
  constexpr int kCallers = 4, kRounds = 50, kBands = 9;
  std::vector<std::thread> callers;
  std::atomic<int> wrong{0};
  for (int caller = 0; caller < kCallers; ++caller) {
    callers.emplace_back([&] {
      for (int round = 0; round < kRounds; ++round) {
        std::vector<std::atomic<int>> runs(kBands);
        pool.Run(kBands, [&](int band) { runs[band]++; });
        // Run returned: every band of this call is done, each once.
        for (const auto& count : runs) wrong += count != 1;
      }
    });
  }
  for (std::thread& caller : callers) caller.join();
  EXPECT_EQ(wrong, 0);
}

TEST(EffectBandPool, BandsGoOnAtOnceOnThePoolsThreads) {
  EffectBandPool pool(3);
  std::mutex lock;
  std::set<std::thread::id> seen;
  pool.Run(4, [&](int) {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    std::lock_guard<std::mutex> hold(lock);
    seen.insert(std::this_thread::get_id());
  });
  EXPECT_GE(seen.size(), 2u);
}

TEST(EffectBandPool, TheEnginesPoolLivesFromStartToStopAndWhileARunHoldsIt) {
  convertor::StopEngineBandPool();
  EXPECT_EQ(convertor::EngineBandPool(), nullptr);
  convertor::StartEngineBandPool();
  const std::shared_ptr<EffectBandPool> held = convertor::EngineBandPool();
  if (std::thread::hardware_concurrency() < 2) {
    EXPECT_EQ(held, nullptr);  // one processor: no helpers to pool
    return;
  }
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(convertor::EngineBandPool(), held);  // started once
  convertor::StartEngineBandPool();
  EXPECT_EQ(convertor::EngineBandPool(), held);
  convertor::StopEngineBandPool();
  EXPECT_EQ(convertor::EngineBandPool(), nullptr);
  // A run that still holds the pool goes on using it; it is joined when
  // the run lets go.
  std::atomic<int> done{0};
  held->Run(6, [&](int) { ++done; });
  EXPECT_EQ(done, 6);
}

TEST(EffectBandPool, FramesAreCutOnlyWhenLarge) {
  struct Case {
    int width, height, helpers, bands;
  } cases[] = {
      {640, 360, 3, 1},    // under two bands' pixels
      {640, 480, 3, 2},
      {1280, 720, 3, 4},   // one band per thread
      {1920, 1080, 1, 2},  // no more bands than threads
      {1280, 720, 0, 1},   // no helpers: one band
      {200000, 2, 3, 2},   // no more bands than rows
      {0, 720, 3, 1},
  };
  for (const Case& c : cases) {
    VideoFrame frame{};
    frame.width = c.width, frame.height = c.height;
    EXPECT_EQ(convertor::EffectBandCount(frame, c.helpers), c.bands) << c.width << " x " << c.height;
  }
}

struct BigFrame {
  std::vector<uint8_t> pixels;
  VideoFrame frame{};
  BigFrame(int width, int height) : pixels(size_t(width) * height * 4) {
    std::mt19937 random(width);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = i % 4 == 3 ? 255 : uint8_t(random());
    frame = VideoFrame{pixels.data(), width, height, width * 4, int32_t(pixels.size()), 0, 0};
  }
};

SourceEntry WithEffects(std::initializer_list<EffectRecord> effects) {
  SourceEntry source{};
  for (const EffectRecord& effect : effects) source.effects[source.effectCount++] = effect;
  return source;
}

EffectRecord Record(int id, int param1 = 0, int param2 = 0) {
  EffectRecord record{};
  record.effectId = id, record.param1 = param1, record.param2 = param2;
  return record;
}

TEST(EffectBands, AFramesEffectsOverBandsGiveTheOneThreadResult) {
  // Every effect whose result is not drawn from a fresh seed; the wave and
  // the vertical flip read or write rows outside their own band.
  const SourceEntry source = WithEffects({Record(EFFECT_WAVE, 25, 30), Record(EFFECT_FLIP_VERTICAL),
                                          Record(EFFECT_EMBOSS, 5), Record(EFFECT_3D_GRID, 50, 20),
                                          Record(EFFECT_VIDEO), Record(EFFECT_HALFTONE), Record(EFFECT_CONTRAST, 70),
                                          Record(EFFECT_FLIP_HORIZONTAL)});
  BigFrame alone(1280, 720), banded(1280, 720);
  convertor::ApplyEffects(source, &alone.frame, nullptr);
  EffectBandPool pool(3);
  convertor::ApplyEffects(source, &banded.frame, &pool);
  EXPECT_TRUE(banded.pixels == alone.pixels);
}

TEST(EffectBands, AnEffectThatFailsOnBandsIsLoggedOnceAndEndsTheChain) {
  convertor::gLog.SetCallback(Collect);
  gLines.clear();
  EffectBandPool pool(2);
  VideoFrame unusable{};
  unusable.width = 1280, unusable.height = 720, unusable.stride = 1280 * 4, unusable.bufferSize = 1280 * 720 * 4;
  convertor::ApplyEffects(WithEffects({Record(EFFECT_GRAY), Record(EFFECT_INVERT)}), &unusable, &pool);
  std::lock_guard<std::mutex> hold(gLogMutex);
  EXPECT_EQ(gLines, std::vector<std::string>{"Qelo VideoConvertor: Warning: Failed to do effect."});
}

}  // namespace
}  // namespace qelo::test
