// Drawing from several threads at once: each thread paints its own bitmap
// with fonts and brushes shared between them, as a painting thread and a
// worker making snapshots would.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "canvas.h"

namespace qelo::test {
namespace {

std::vector<COLORREF> PaintSheet(HFONT font, HBRUSH brush) {
  Canvas canvas(120, 40);
  HGDIOBJ old = SelectObject(canvas.dc(), font);
  RECT r{0, 0, 120, 40};
  FillRect(canvas.dc(), &r, brush);
  SetBkMode(canvas.dc(), TRANSPARENT);
  DrawText(canvas.dc(), "Shared &font on many threads", &r, DT_WORDBREAK | DT_CENTER);
  Ellipse(canvas.dc(), 2, 2, 30, 30);
  SelectObject(canvas.dc(), old);
  return canvas.Pixels();
}

TEST(GdiThreads, ThreadsDrawingWithSharedObjectsGetTheSamePictures) {
  LOGFONT log;
  log.lfFaceName = "Verdana";
  log.lfHeight = -12;
  HFONT font = CreateFontIndirect(&log);
  HBRUSH brush = CreateSolidBrush(RGB(200, 220, 240));
  const std::vector<COLORREF> expected = PaintSheet(font, brush);
  constexpr int kThreads = 4;
  std::vector<std::vector<COLORREF>> results(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 5; ++round) results[t] = PaintSheet(font, brush);
      LOGFONT own;
      own.lfFaceName = "Tahoma";
      own.lfHeight = 10 + t;
      DeleteObject(CreateFontIndirect(&own));
    });
  }
  for (std::thread& t : threads) t.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(results[t], expected) << "thread " << t;
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_TRUE(DeleteObject(brush));
}

}  // namespace
}  // namespace qelo::test
