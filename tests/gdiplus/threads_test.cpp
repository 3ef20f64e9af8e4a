// Fonts and text from several threads at once, as the engine's reading
// thread and a player's window thread do: the shared font-match cache and
// each thread's own font map give the same pixels as one thread alone.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "canvas.h"
#include "gdiplus/graphics.h"

namespace qelo::test {
namespace {

using namespace qelo::gdiplus;

std::vector<uint32_t> DrawCaption(const std::string& familyName, int frame) {
  FontFamily named(familyName);
  const FontFamily* family = named.GetLastStatus() == Status::Ok ? &named : FontFamily::GenericSansSerif();
  Font font(family, 11, FontStyleBold);
  Canvas canvas(120, 30, 0xFF202020);
  Graphics(&canvas.bitmap).DrawString("Frame " + std::to_string(frame % 3), font, {3, 4}, SolidBrush(Color(0xC0FFFFFF)));
  return canvas.pixels;
}

class TextThreads : public GdiplusTest {};

TEST_F(TextThreads, ConcurrentDrawingMatchesDrawingAlone) {
  const std::vector<std::string> families{"DejaVu Sans", "DejaVu Serif", "Qelo Missing Face"};
  std::vector<std::vector<std::vector<uint32_t>>> expected(families.size());
  for (std::size_t f = 0; f < families.size(); ++f) {
    for (int frame = 0; frame < 3; ++frame) expected[f].push_back(DrawCaption(families[f], frame));
  }
  constexpr int kThreads = 4, kFrames = 12;
  std::vector<int> mismatches(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int frame = 0; frame < kFrames; ++frame) {
        const std::size_t f = static_cast<std::size_t>(t + frame) % families.size();
        if (DrawCaption(families[f], frame) != expected[f][frame % 3]) ++mismatches[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches, std::vector<int>(kThreads, 0));
}

}  // namespace
}  // namespace qelo::test
