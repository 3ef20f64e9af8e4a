// What the engine's per-frame drawing costs on a 1080p frame: the crop
// (clear and fitted draw), the output scaling, a text watermark with its
// font made anew, and an image watermark blended at its own size.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "gdiplus/graphics.h"
#include "gdiplus/startup.h"

namespace {

using namespace qelo::gdiplus;

constexpr int kWidth = 1920, kHeight = 1080;

struct Frame {
  Frame(int w, int h) : pixels(static_cast<std::size_t>(w) * h, 0xFF336699),
                        bitmap(w, h, 4 * w, PixelFormat::Argb32, reinterpret_cast<uint8_t*>(pixels.data())) {}
  std::vector<uint32_t> pixels;
  Bitmap bitmap;
};

void Crop(benchmark::State& state) {
  Frame source(kWidth, kHeight), target(kWidth, kHeight);
  for (auto _ : state) {
    Graphics graphics(&target.bitmap);
    graphics.Clear(Color(0));
    // The middle two thirds, fitted back into the frame.
    graphics.DrawImage(source.bitmap, RectF{0, 0, kWidth, kHeight}, RectF{320, 180, 1280, 720});
    benchmark::DoNotOptimize(target.pixels.data());
  }
}
BENCHMARK(Crop)->Unit(benchmark::kMillisecond);

void ScaleToOutput(benchmark::State& state) {
  Frame source(kWidth, kHeight), target(640, 480);
  for (auto _ : state) {
    Graphics graphics(&target.bitmap);
    graphics.Clear(Color(0xFF000000));
    graphics.DrawImage(source.bitmap, RectF{0, 60, 640, 360});
    benchmark::DoNotOptimize(target.pixels.data());
  }
}
BENCHMARK(ScaleToOutput)->Unit(benchmark::kMillisecond);

void TextWatermark(benchmark::State& state) {
  Frame frame(kWidth, kHeight);
  for (auto _ : state) {
    FontFamily family("DejaVu Sans");
    Font font(&family, 36, FontStyleBold);
    Graphics graphics(&frame.bitmap);
    graphics.DrawString("Clipshift watermark", font, {192, 108}, SolidBrush(Color(0x80FFFFFF)));
    benchmark::DoNotOptimize(frame.pixels.data());
  }
}
BENCHMARK(TextWatermark)->Unit(benchmark::kMillisecond);

void ImageWatermark(benchmark::State& state) {
  Frame frame(kWidth, kHeight), picture(480, 270);
  for (uint32_t& p : picture.pixels) p = 0x80FFFFFF;
  for (auto _ : state) {
    Graphics graphics(&frame.bitmap);
    graphics.DrawImage(picture.bitmap, 96, 54);
    benchmark::DoNotOptimize(frame.pixels.data());
  }
}
BENCHMARK(ImageWatermark)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  uintptr_t token = 0;
  if (Startup(&token) != Status::Ok) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Shutdown(token);
  return 0;
}
