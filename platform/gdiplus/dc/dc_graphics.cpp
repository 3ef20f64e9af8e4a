#include "gdiplus/dc_graphics.h"

namespace qelo::gdiplus {

DcGraphics::DcGraphics(win::HDC dc) : target_(dc) {
  win::RECT box;
  void* bits = nullptr;
  if (win::GetClipBox(dc, &box) != win::ERROR && box.right > 0 && box.bottom > 0) {
    win::BITMAPINFOHEADER info;
    info.biWidth = box.right;
    info.biHeight = -box.bottom;
    bitmap_ = win::CreateDIBSection(nullptr, &info, win::DIB_RGB_COLORS, &bits);
  }
  if (bitmap_ == nullptr) {
    graphics_ = std::make_unique<Graphics>(nullptr, 0, 0, 0);
    return;
  }
  width_ = box.right;
  height_ = box.bottom;
  staging_ = win::CreateCompatibleDC(nullptr);
  old_ = win::SelectObject(staging_, bitmap_);
  win::BitBlt(staging_, 0, 0, width_, height_, dc, 0, 0, win::SRCCOPY);
  graphics_ = std::make_unique<Graphics>(static_cast<uint8_t*>(bits), width_, height_, 4 * width_);
}

DcGraphics::~DcGraphics() {
  if (staging_ == nullptr) return;
  win::BitBlt(target_, 0, 0, width_, height_, staging_, 0, 0, win::SRCCOPY);
  win::SelectObject(staging_, old_);
  win::DeleteDC(staging_);
  win::DeleteObject(bitmap_);
}

Status DcGraphics::GetLastStatus() const {
  return staging_ ? graphics_->GetLastStatus() : Status::InvalidParameter;
}

}  // namespace qelo::gdiplus
