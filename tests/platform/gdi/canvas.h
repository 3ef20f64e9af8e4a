// A memory context on a small 32-bit bitmap for pixel tests.
#pragma once

#include <string>
#include <vector>

#include "win/gdi/gdi.h"

namespace qelo::test {

using namespace qelo::win;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill = kWhite, bool mono = false);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  int width() const { return width_; }
  int height() const { return height_; }

  // Reads through a context of its own, so the tested context's clip and
  // origin do not matter.
  COLORREF At(int x, int y) const;
  std::vector<COLORREF> Pixels() const;
  void Fill(COLORREF color);
  // The bounding box of pixels differing from `background` (empty if none).
  RECT InkBox(COLORREF background = kWhite) const;
  int Count(COLORREF color) const;
  // A picture of the bitmap ('.' for `background`, '#' else) for messages.
  std::string Picture(COLORREF background = kWhite) const;

 private:
  int width_;
  int height_;
  HBITMAP bitmap_;
  HDC dc_;
};

// RAII for a created object selected into a context.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), object_(object), previous_(SelectObject(dc, object)) {}
  ~Selected() {
    SelectObject(dc_, previous_);
    DeleteObject(object_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ object_;
  HGDIOBJ previous_;
};

// Where screenshots of test sheets go (a CI artefact folder).
std::string ScreenshotPath(const std::string& name);

}  // namespace qelo::test
