// Drawing with the 2-D layer on a window-system device context: the
// context's pixels from its logical origin to the far corner of its clip box
// are copied into a staging surface, drawn on there, and copied back (within
// the context's clip) when the object ends.
#pragma once

#include <memory>

#include "gdiplus/graphics.h"
#include "win/gdi/gdi.h"

namespace qelo::gdiplus {

class DcGraphics {
 public:
  explicit DcGraphics(win::HDC dc);
  ~DcGraphics();
  DcGraphics(const DcGraphics&) = delete;
  DcGraphics& operator=(const DcGraphics&) = delete;

  // Ok when the staging surface was made; drawing on a failed one does
  // nothing and reports its status.
  Status GetLastStatus() const;
  Graphics& graphics() { return *graphics_; }

 private:
  win::HDC target_;
  win::HDC staging_ = nullptr;
  win::HBITMAP bitmap_ = nullptr;
  win::HGDIOBJ old_;
  int width_ = 0, height_ = 0;
  std::unique_ptr<Graphics> graphics_;
};

}  // namespace qelo::gdiplus
