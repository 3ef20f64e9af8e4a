// The canvas: drawing calls on a device context with lazily selected pen,
// brush and font.
#include <fstream>
#include <iterator>
#include <vector>

#include "vcl/graphics/graphics.h"

namespace qelo::vcl {

const ClassInfo& TCanvas::StaticClass() {
  static const ClassInfo info = ClassBuilder<TCanvas>("TCanvas", TPersistent::StaticClass()).Done();
  return info;
}

TCanvas::TCanvas() : font_(new TFont), pen_(new TPen), brush_(new TBrush) {
  font_->OnChange = [this](TObject* sender) { FontChanged(sender); };
  pen_->OnChange = [this](TObject* sender) { PenChanged(sender); };
  brush_->OnChange = [this](TObject* sender) { BrushChanged(sender); };
}

TCanvas::~TCanvas() {
  DeselectHandles();
  delete font_;
  delete pen_;
  delete brush_;
}

win::HDC TCanvas::Handle() {
  RequiredState({csHandleValid, csFontValid, csPenValid, csBrushValid});
  return dc_;
}

void TCanvas::EnsureHandle() {
  if (!dc_) CreateHandle();
  if (!dc_) throw EInvalidOperation("Canvas does not allow drawing");
}

void TCanvas::SetHandle(win::HDC dc) {
  if (dc == dc_) return;
  DeselectHandles();
  dc_ = dc;
  state_ = dc ? TCanvasState{csHandleValid} : TCanvasState{};
}

void TCanvas::DeselectHandles() {
  if (!dc_) return;
  if (state_.Contains(csPenValid)) win::SelectObject(dc_, win::GetStockObject(win::BLACK_PEN));
  if (state_.Contains(csBrushValid)) win::SelectObject(dc_, win::GetStockObject(win::WHITE_BRUSH));
  if (state_.Contains(csFontValid)) win::SelectObject(dc_, win::GetStockObject(win::SYSTEM_FONT));
  state_.Exclude(csPenValid).Exclude(csBrushValid).Exclude(csFontValid);
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::RequiredState(TCanvasState required) {
  EnsureHandle();
  if (required.Contains(csFontValid) && !state_.Contains(csFontValid)) SelectFont();
  if (required.Contains(csPenValid) && !state_.Contains(csPenValid)) SelectPen();
  if (required.Contains(csBrushValid) && !state_.Contains(csBrushValid)) SelectBrush();
}

void TCanvas::SelectFont() {
  win::SelectObject(dc_, font_->Handle());
  win::SetTextColor(dc_, ColorToRGB(font_->Color()));
  state_.Include(csFontValid);
}

void TCanvas::SelectPen() {
  win::SelectObject(dc_, pen_->Handle());
  win::SetROP2(dc_, PenModeToRop2(pen_->Mode()));
  state_.Include(csPenValid);
}

void TCanvas::SelectBrush() {
  win::SelectObject(dc_, brush_->Handle());
  if (brush_->Style() == bsClear) {
    win::SetBkMode(dc_, win::TRANSPARENT);
  } else {
    win::SetBkColor(dc_, ColorToRGB(brush_->Color()));
    win::SetBkMode(dc_, win::OPAQUE);
  }
  state_.Include(csBrushValid);
}

// Each object is taken out of the context before its stale handle goes.
void TCanvas::FontChanged(TObject*) {
  if (dc_ && state_.Contains(csFontValid)) {
    win::SelectObject(dc_, win::GetStockObject(win::SYSTEM_FONT));
    state_.Exclude(csFontValid);
  }
}

void TCanvas::PenChanged(TObject*) {
  if (dc_ && state_.Contains(csPenValid)) {
    win::SelectObject(dc_, win::GetStockObject(win::BLACK_PEN));
    state_.Exclude(csPenValid);
  }
}

void TCanvas::BrushChanged(TObject*) {
  if (dc_ && state_.Contains(csBrushValid)) {
    win::SelectObject(dc_, win::GetStockObject(win::WHITE_BRUSH));
    state_.Exclude(csBrushValid);
  }
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

// ---- drawing ---------------------------------------------------------------------

namespace {
constexpr TCanvasState kShapeState{csHandleValid, csPenValid, csBrushValid};
constexpr TCanvasState kTextState{csHandleValid, csFontValid, csBrushValid};
}  // namespace

TPoint TCanvas::PenPos() {
  RequiredState({csHandleValid});
  TPoint p;
  win::MoveToEx(dc_, 0, 0, &p);
  win::MoveToEx(dc_, p.x, p.y, nullptr);
  return p;
}

void TCanvas::MoveTo(int x, int y) {
  RequiredState({csHandleValid});
  win::MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  Changing();
  RequiredState(kShapeState);
  win::LineTo(dc_, x, y);
  Changed();
}

void TCanvas::Polyline(std::span<const TPoint> points) {
  Changing();
  RequiredState(kShapeState);
  win::Polyline(dc_, points.data(), static_cast<int>(points.size()));
  Changed();
}

void TCanvas::Polygon(std::span<const TPoint> points) {
  Changing();
  RequiredState(kShapeState);
  win::Polygon(dc_, points.data(), static_cast<int>(points.size()));
  Changed();
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  Changing();
  RequiredState(kShapeState);
  win::Rectangle(dc_, left, top, right, bottom);
  Changed();
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int ellipseWidth,
                        int ellipseHeight) {
  Changing();
  RequiredState(kShapeState);
  win::RoundRect(dc_, left, top, right, bottom, ellipseWidth, ellipseHeight);
  Changed();
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  Changing();
  RequiredState(kShapeState);
  win::Ellipse(dc_, left, top, right, bottom);
  Changed();
}

void TCanvas::FillRect(const TRect& r) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  win::FillRect(dc_, &r, brush_->Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& r) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  win::FrameRect(dc_, &r, brush_->Handle());
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& r) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  win::DrawFocusRect(dc_, &r);
  Changed();
}

TColor TCanvas::Pixels(int x, int y) {
  RequiredState({csHandleValid});
  return win::GetPixel(dc_, x, y);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  win::SetPixel(dc_, x, y, ColorToRGB(color));
  Changed();
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  Changing();
  RequiredState(kTextState);
  win::TextOut(dc_, x, y, text);
  Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, std::string_view text) {
  Changing();
  RequiredState(kTextState);
  unsigned options = win::ETO_CLIPPED;
  if (brush_->Style() != bsClear) options |= win::ETO_OPAQUE;
  win::ExtTextOut(dc_, x, y, options, &r, text);
  Changed();
}

TSize TCanvas::TextExtent(std::string_view text) {
  RequiredState({csHandleValid, csFontValid});
  TSize size;
  win::GetTextExtentPoint32(dc_, text, &size);
  return size;
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  graphic->Draw(*this, Rect(x, y, x + graphic->Width(), y + graphic->Height()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  graphic->Draw(*this, r);
  Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  source.RequiredState({csHandleValid, csBrushValid});
  win::StretchBlt(dc_, dest.left, dest.top, RectWidth(dest), RectHeight(dest), source.dc_,
                  sourceRect.left, sourceRect.top, RectWidth(sourceRect), RectHeight(sourceRect),
                  copyMode_);
  Changed();
}

void TCanvas::Lock() {
  lock_.lock();
  ++lockCount_;
}

void TCanvas::Unlock() {
  --lockCount_;
  lock_.unlock();
}

bool TCanvas::TryLock() {
  if (!lock_.try_lock()) return false;
  ++lockCount_;
  return true;
}

// ---- TGraphic ----------------------------------------------------------------------

const ClassInfo& TGraphic::StaticClass() {
  static const ClassInfo info = ClassBuilder<TGraphic>("TGraphic", TPersistent::StaticClass()).Done();
  return info;
}

void TGraphic::SetTransparent(bool transparent) {
  if (transparent == transparent_) return;
  transparent_ = transparent;
  Changed();
}

void TGraphic::SetModified(bool modified) {
  if (modified)
    Changed();
  else
    modified_ = false;
}

void TGraphic::Changed() {
  modified_ = true;
  if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw EFOpenError("Cannot open file \"" + path + "\".");
  LoadFromStream(file);
}

void TGraphic::LoadFromStream(std::istream& stream) {
  const std::vector<char> data{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
  LoadFromMemory(data.data(), data.size());
}

}  // namespace qelo::vcl
