// Fonts, pens and brushes: values with change notification, handles made on
// demand and given up when a change makes them stale.
#include <cmath>
#include <optional>
#include <utility>

#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/graphics.h"

namespace qelo::vcl {
namespace {

constexpr std::pair<TFontCharset, const char*> kCharsetNames[] = {
    {ANSI_CHARSET, "ANSI_CHARSET"},
    {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
    {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
    {OEM_CHARSET, "OEM_CHARSET"},
};

std::optional<int64_t> CharsetFromIdent(std::string_view name) {
  for (const auto& [value, ident] : kCharsetNames)
    if (SameText(name, ident)) return value;
  return std::nullopt;
}

// Gives up a stale handle once every listener has taken it out of its
// context (the platform refuses to delete a selected object).
template <class Handle>
void RetireHandle(Handle& handle, const std::function<void()>& notify) {
  Handle stale = std::exchange(handle, nullptr);
  notify();
  if (stale) win::DeleteObject(stale);
}

}  // namespace

const EnumInfo kFontStyleInfo{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
const EnumInfo kFontPitchInfo{"TFontPitch", {"fpDefault", "fpVariable", "fpFixed"}};
const EnumInfo kPenStyleInfo{"TPenStyle", {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot",
                                           "psClear", "psInsideFrame"}};
const EnumInfo kPenModeInfo{"TPenMode",
                            {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy",
                             "pmMergePenNot", "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen",
                             "pmMerge", "pmNotMerge", "pmMask", "pmNotMask", "pmXor", "pmNotXor"}};
const EnumInfo kBrushStyleInfo{"TBrushStyle", {"bsSolid", "bsClear"}};

TColor ColorToRGB(TColor color) {
  if (IsSystemColor(color)) return win::GetSysColor(static_cast<int>(color & 0xFF));
  return color;
}

int PenModeToRop2(TPenMode mode) {
  static constexpr int kRop2[] = {
      win::R2_BLACK,       win::R2_WHITE,       win::R2_NOP,         win::R2_NOT,
      win::R2_COPYPEN,     win::R2_NOTCOPYPEN,  win::R2_MERGEPENNOT, win::R2_MASKPENNOT,
      win::R2_MERGENOTPEN, win::R2_MASKNOTPEN,  win::R2_MERGEPEN,    win::R2_NOTMERGEPEN,
      win::R2_MASKPEN,     win::R2_NOTMASKPEN,  win::R2_XORPEN,      win::R2_NOTXORPEN};
  return kRop2[mode];
}

// ---- TFont ---------------------------------------------------------------------

const ClassInfo& TFont::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TFont>("TFont", TGraphicsObject::StaticClass())
          .Integer("Charset", &TFont::Charset, &TFont::SetCharset, CharsetFromIdent)
          .Color("Color", &TFont::Color, &TFont::SetColor)
          .Integer("Height", &TFont::Height, &TFont::SetHeight)
          .String("Name", &TFont::Name, &TFont::SetName)
          .Enum("Pitch", kFontPitchInfo, &TFont::Pitch, &TFont::SetPitch)
          .Integer("Size", &TFont::Size, &TFont::SetSize)
          .Set("Style", kFontStyleInfo, &TFont::Style, &TFont::SetStyle)
          .Done();
  return info;
}

TFont::TFont() = default;

TFont::~TFont() {
  if (handle_) win::DeleteObject(handle_);
}

void TFont::FontChanged(bool handleStale) {
  if (handleStale)
    RetireHandle(handle_, [this] { Changed(); });
  else
    Changed();
}

void TFont::SetName(const std::string& name) {
  if (name.empty() || name == name_) return;
  name_ = name;
  FontChanged(true);
}

void TFont::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  FontChanged(true);
}

int TFont::Size() const {
  return -static_cast<int>(std::lround(height_ * 72.0 / kPixelsPerInch));
}

void TFont::SetSize(int points) {
  SetHeight(-static_cast<int>(std::lround(points * static_cast<double>(kPixelsPerInch) / 72.0)));
}

void TFont::SetStyle(TFontStyles style) {
  if (style == style_) return;
  style_ = style;
  FontChanged(true);
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  FontChanged(false);
}

void TFont::SetCharset(TFontCharset charset) {
  if (charset == charset_) return;
  charset_ = charset;
  FontChanged(true);
}

void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == pitch_) return;
  pitch_ = pitch;
  FontChanged(true);
}

void TFont::SetOrientation(int tenths) {
  if (tenths == orientation_) return;
  orientation_ = tenths;
  FontChanged(true);
}

win::LOGFONT TFont::LogFont() const {
  win::LOGFONT log;
  log.lfHeight = height_;
  log.lfWeight = style_.Contains(fsBold) ? win::FW_BOLD : win::FW_NORMAL;
  log.lfItalic = style_.Contains(fsItalic);
  log.lfUnderline = style_.Contains(fsUnderline);
  log.lfStrikeOut = style_.Contains(fsStrikeOut);
  log.lfCharSet = charset_;
  log.lfPitchAndFamily = pitch_ == fpFixed      ? win::FIXED_PITCH
                         : pitch_ == fpVariable ? win::VARIABLE_PITCH
                                                : win::DEFAULT_PITCH;
  log.lfFaceName = name_;
  log.lfEscapement = orientation_;
  return log;
}

win::HFONT TFont::Handle() const {
  if (!handle_) {
    const win::LOGFONT log = LogFont();
    handle_ = win::CreateFontIndirect(&log);
  }
  return handle_;
}

void TFont::SetHandle(win::HFONT handle) {
  win::LOGFONT log;
  if (handle == handle_ || !win::GetObject(handle, sizeof log, &log)) return;
  if (!log.lfFaceName.empty()) name_ = log.lfFaceName;
  height_ = log.lfHeight;
  style_ = TFontStyles{};
  if (log.lfWeight >= win::FW_BOLD) style_.Include(fsBold);
  if (log.lfItalic) style_.Include(fsItalic);
  if (log.lfUnderline) style_.Include(fsUnderline);
  if (log.lfStrikeOut) style_.Include(fsStrikeOut);
  charset_ = log.lfCharSet;
  pitch_ = log.lfPitchAndFamily == win::FIXED_PITCH      ? fpFixed
           : log.lfPitchAndFamily == win::VARIABLE_PITCH ? fpVariable
                                                         : fpDefault;
  orientation_ = log.lfEscapement;
  // Listeners take the old handle out of their contexts before it goes.
  win::HFONT stale = std::exchange(handle_, handle);
  Changed();
  if (stale) win::DeleteObject(stale);
}

void TFont::Assign(const TPersistent* source) {
  const auto* font = dynamic_cast<const TFont*>(source);
  if (!font) return TGraphicsObject::Assign(source);
  const bool stale = name_ != font->name_ || height_ != font->height_ || style_ != font->style_ ||
                     charset_ != font->charset_ || pitch_ != font->pitch_ || orientation_ != font->orientation_;
  if (!stale && color_ == font->color_) return;
  name_ = font->name_;
  height_ = font->height_;
  style_ = font->style_;
  charset_ = font->charset_;
  pitch_ = font->pitch_;
  orientation_ = font->orientation_;
  color_ = font->color_;
  FontChanged(stale);
}

// ---- TPen ----------------------------------------------------------------------

const ClassInfo& TPen::StaticClass() {
  static const ClassInfo info = ClassBuilder<TPen>("TPen", TGraphicsObject::StaticClass())
                                    .Color("Color", &TPen::Color, &TPen::SetColor)
                                    .Enum("Mode", kPenModeInfo, &TPen::Mode, &TPen::SetMode)
                                    .Enum("Style", kPenStyleInfo, &TPen::Style, &TPen::SetStyle)
                                    .Integer("Width", &TPen::Width, &TPen::SetWidth)
                                    .Done();
  return info;
}

TPen::~TPen() {
  if (handle_) win::DeleteObject(handle_);
}

void TPen::PenChanged(bool handleStale) {
  if (handleStale)
    RetireHandle(handle_, [this] { Changed(); });
  else
    Changed();
}

void TPen::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  PenChanged(true);
}

void TPen::SetWidth(int width) {
  width = std::max(width, 1);
  if (width == width_) return;
  width_ = width;
  PenChanged(true);
}

void TPen::SetStyle(TPenStyle style) {
  if (style == style_) return;
  style_ = style;
  PenChanged(true);
}

void TPen::SetMode(TPenMode mode) {
  if (mode == mode_) return;
  mode_ = mode;
  PenChanged(false);
}

win::HPEN TPen::Handle() const {
  if (!handle_) {
    static constexpr int kStyles[] = {win::PS_SOLID,   win::PS_DASH, win::PS_DOT,
                                      win::PS_DASHDOT, win::PS_DASHDOTDOT, win::PS_NULL,
                                      win::PS_INSIDEFRAME};
    handle_ = win::CreatePen(kStyles[style_], width_, ColorToRGB(color_));
  }
  return handle_;
}

void TPen::Assign(const TPersistent* source) {
  const auto* pen = dynamic_cast<const TPen*>(source);
  if (!pen) return TGraphicsObject::Assign(source);
  const bool stale = color_ != pen->color_ || width_ != pen->width_ || style_ != pen->style_;
  if (!stale && mode_ == pen->mode_) return;
  color_ = pen->color_;
  width_ = pen->width_;
  style_ = pen->style_;
  mode_ = pen->mode_;
  PenChanged(stale);
}

// ---- TBrush --------------------------------------------------------------------

const ClassInfo& TBrush::StaticClass() {
  static const ClassInfo info = ClassBuilder<TBrush>("TBrush", TGraphicsObject::StaticClass())
                                    .Color("Color", &TBrush::Color, &TBrush::SetColor)
                                    .Enum("Style", kBrushStyleInfo, &TBrush::Style, &TBrush::SetStyle)
                                    .Done();
  return info;
}

TBrush::~TBrush() {
  if (handle_) win::DeleteObject(handle_);
}

void TBrush::BrushChanged() { RetireHandle(handle_, [this] { Changed(); }); }

void TBrush::SetColor(TColor color) {
  if (color == color_ && style_ == bsSolid) return;
  color_ = color;
  style_ = bsSolid;
  BrushChanged();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == style_) return;
  style_ = style;
  BrushChanged();
}

// The same bitmap again re-reads its pixels once a handle was made of them.
void TBrush::SetBitmap(TBitmap* bitmap) {
  if (bitmap == bitmap_ && !handle_) return;
  bitmap_ = bitmap;
  BrushChanged();
}

win::HBRUSH TBrush::Handle() const {
  if (style_ == bsClear) return static_cast<win::HBRUSH>(win::GetStockObject(win::NULL_BRUSH));
  if (!handle_) {
    handle_ = bitmap_ && !bitmap_->Empty() ? win::CreatePatternBrush(bitmap_->Handle())
                                           : win::CreateSolidBrush(ColorToRGB(color_));
  }
  return handle_;
}

void TBrush::Assign(const TPersistent* source) {
  const auto* brush = dynamic_cast<const TBrush*>(source);
  if (!brush) return TGraphicsObject::Assign(source);
  if (color_ == brush->color_ && style_ == brush->style_ && bitmap_ == brush->bitmap_) return;
  color_ = brush->color_;
  style_ = brush->style_;
  bitmap_ = brush->bitmap_;
  BrushChanged();
}

}  // namespace qelo::vcl
