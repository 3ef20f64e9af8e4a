#include "canvas.h"

#include <algorithm>
#include <filesystem>

namespace qelo::test {

Canvas::Canvas(int width, int height, COLORREF fill, bool mono)
    : width_(width),
      height_(height),
      bitmap_(CreateBitmap(width, height, 1, mono ? 1 : 32, nullptr)),
      dc_(CreateCompatibleDC(nullptr)) {
  SelectObject(dc_, bitmap_);
  Fill(fill);
}

Canvas::~Canvas() {
  DeleteDC(dc_);
  DeleteObject(bitmap_);
}

COLORREF Canvas::At(int x, int y) const {
  // A second context onto the same bitmap, without clip or origin.
  RECT whole{0, 0, width_, height_};
  HDC view = CreateSurfaceDC(bitmap_, whole);
  const COLORREF c = GetPixel(view, x, y);
  DeleteDC(view);
  return c;
}

std::vector<COLORREF> Canvas::Pixels() const {
  RECT whole{0, 0, width_, height_};
  HDC view = CreateSurfaceDC(bitmap_, whole);
  std::vector<COLORREF> out;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) out.push_back(GetPixel(view, x, y));
  }
  DeleteDC(view);
  return out;
}

void Canvas::Fill(COLORREF color) {
  RECT whole{0, 0, width_, height_};
  HDC view = CreateSurfaceDC(bitmap_, whole);
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(view, &whole, brush);
  DeleteObject(brush);
  DeleteDC(view);
}

RECT Canvas::InkBox(COLORREF background) const {
  const std::vector<COLORREF> pixels = Pixels();
  RECT box{width_, height_, 0, 0};
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      if (pixels[static_cast<size_t>(y) * width_ + x] == background) continue;
      box = {std::min<int>(box.left, x), std::min<int>(box.top, y), std::max<int>(box.right, x + 1),
             std::max<int>(box.bottom, y + 1)};
    }
  }
  return IsRectEmpty(&box) ? RECT{} : box;
}

int Canvas::Count(COLORREF color) const {
  const std::vector<COLORREF> pixels = Pixels();
  return static_cast<int>(std::count(pixels.begin(), pixels.end(), color));
}

std::string Canvas::Picture(COLORREF background) const {
  const std::vector<COLORREF> pixels = Pixels();
  std::string out = "\n";
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) out += pixels[static_cast<size_t>(y) * width_ + x] == background ? '.' : '#';
    out += '\n';
  }
  return out;
}

std::string ScreenshotPath(const std::string& name) {
  std::filesystem::create_directories(QELO_SCREENSHOT_DIR);
  return std::string(QELO_SCREENSHOT_DIR) + "/" + name;
}

}  // namespace qelo::test
