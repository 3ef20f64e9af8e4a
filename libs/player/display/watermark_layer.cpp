#include "watermark_layer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "win/codepage.h"

namespace qelo::player {
namespace {

using gdiplus::RectF;

template <size_t N>
std::string FieldText(const char16_t (&field)[N]) {
  return win::Utf16ToUtf8(win::Utf16Field(field, N));
}

// The alpha goes into the top byte, over the font colour's red, green and
// blue (the colour's own top byte means nothing).
gdiplus::Color TextColor(const TextWatermark& text) {
  const uint32_t alpha = static_cast<uint32_t>(std::clamp(text.alpha, 0, 255));
  return gdiplus::Color(alpha << 24 | (text.font.color & 0xFFFFFFu));
}

std::unique_ptr<gdiplus::Font> MakeFont(const WatermarkFont& font) {
  const gdiplus::FontFamily family(FieldText(font.faceName));
  const gdiplus::FontFamily* use = family.GetLastStatus() == gdiplus::Status::Ok
                                       ? &family
                                       : gdiplus::FontFamily::GenericSansSerif();
  auto made = std::make_unique<gdiplus::Font>(use, static_cast<float>(font.size), font.style, gdiplus::Unit::Point);
  if (made->GetLastStatus() != gdiplus::Status::Ok) return nullptr;
  return made;
}

std::unique_ptr<WatermarkState> ClearedState(int32_t kind) {
  auto state = std::make_unique<WatermarkState>();
  std::memset(state.get(), 0, sizeof(WatermarkState));
  state->kind = kind;
  return state;
}

}  // namespace

WatermarkLayer::WatermarkLayer() : scratch_(std::make_unique<gdiplus::Bitmap>(1, 1)) {}

WatermarkLayer::~WatermarkLayer() = default;

void WatermarkLayer::Enable(const WatermarkState* state) {
  if (state) {
    state_ = std::make_unique<WatermarkState>(*state);
    on_ = true;
  } else {
    state_.reset();
    on_ = false;
  }
  ApplyKind();
}

void WatermarkLayer::GetState(WatermarkState* out) const {
  if (state_) *out = *state_;
  else std::memset(out, 0, sizeof *out);
}

void WatermarkLayer::SetImage(const ImageWatermark& image) {
  state_ = ClearedState(WATERMARK_IMAGE);
  state_->image = image;
  ApplyKind();
}

void WatermarkLayer::SetText(const TextWatermark& text) {
  state_ = ClearedState(WATERMARK_TEXT);
  state_->text = text;
  ApplyKind();
}

RelativeRect* WatermarkLayer::Region() const {
  if (!state_) return nullptr;
  if (state_->kind == WATERMARK_TEXT) return &state_->text.region;
  if (state_->kind == WATERMARK_IMAGE) return &state_->image.region;
  return nullptr;
}

void WatermarkLayer::SetRegion(const RelativeRect& region) {
  RelativeRect* mine = Region();
  if (mine == nullptr) return;
  *mine = region;
  Layout();
  Measure();
}

bool WatermarkLayer::GetRegion(RelativeRect* out) const {
  if (!state_) return false;
  const RelativeRect* mine = Region();
  *out = mine ? *mine : RelativeRect{};
  return true;
}

void WatermarkLayer::SetFont(const WatermarkFont& font) {
  if (!state_ || state_->kind != WATERMARK_TEXT) return;
  state_->text.font = font;
  SetupText();
  Measure();
}

void WatermarkLayer::SetTransparent(int alpha) {
  if (!state_) return;
  if (state_->kind == WATERMARK_TEXT) {
    state_->text.alpha = alpha;
    if (brush_) brush_->SetColor(TextColor(state_->text));
  } else if (state_->kind == WATERMARK_IMAGE) {
    state_->image.alpha = alpha;
    ScalePicture();  // from the source again, so alphas never compound
  }
}

void WatermarkLayer::Reset() {
  on_ = false;
  state_.reset();
  DropObjects();
  x_ = y_ = 0;
  bounds_ = {};
}

void WatermarkLayer::SetVideoRect(const RectF& videoRect) {
  videoRect_ = videoRect;
  Layout();
  Measure();
}

gdiplus::Argb WatermarkLayer::textColor() const { return brush_ ? brush_->GetColor().GetValue() : 0; }

void WatermarkLayer::DropObjects() {
  font_.reset();
  brush_.reset();
  source_.reset();
  scaled_.reset();
}

void WatermarkLayer::ApplyKind() {
  const int kind = state_ ? state_->kind : WATERMARK_NONE;
  DropObjects();
  if (kind == WATERMARK_IMAGE) LoadPicture();
  if (kind == WATERMARK_TEXT) SetupText();
  Layout();
  Measure();
}

void WatermarkLayer::SetupText() {
  const TextWatermark& text = state_->text;
  if (brush_) brush_->SetColor(TextColor(text));
  else brush_ = std::make_unique<gdiplus::SolidBrush>(TextColor(text));
  font_ = MakeFont(text.font);
}

void WatermarkLayer::LoadPicture() {
  source_.reset();
  scaled_.reset();  // a picture that fails to load leaves none behind
  auto loaded = std::make_unique<gdiplus::Bitmap>(FieldText(state_->image.imagePath));
  if (loaded->GetLastStatus() == gdiplus::Status::Ok) source_ = std::move(loaded);
}

void WatermarkLayer::Layout() {
  if (state_ && state_->kind == WATERMARK_IMAGE) ScalePicture();
  const RelativeRect* region = Region();
  if (region == nullptr) return;
  x_ = static_cast<float>(videoRect_.Width * region->left + videoRect_.X);
  y_ = static_cast<float>(videoRect_.Height * region->top + videoRect_.Y);
}

void WatermarkLayer::ScalePicture() {
  scaled_.reset();
  if (!source_ || !state_ || state_->kind != WATERMARK_IMAGE) return;
  const RelativeRect& region = state_->image.region;
  const double tw = videoRect_.Width * region.width, th = videoRect_.Height * region.height;
  const int width = static_cast<int>(std::trunc(tw)), height = static_cast<int>(std::trunc(th));
  if (width <= 0 || height <= 0) return;
  auto scaled = std::make_unique<gdiplus::Bitmap>(width, height);
  const double sw = source_->GetWidth(), sh = source_->GetHeight();
  RectF fitted{0, 0, static_cast<float>(width), static_cast<float>(height)};
  if (sh * tw > sw * th) {
    fitted.Width = static_cast<float>(std::trunc(sw * th / sh));
    fitted.X = static_cast<float>(std::trunc((tw - fitted.Width) * 0.5));
  } else {
    fitted.Height = static_cast<float>(std::trunc(sh * tw / sw));
    fitted.Y = static_cast<float>(std::trunc((th - fitted.Height) * 0.5));
  }
  gdiplus::Graphics graphics(scaled.get());
  if (fitted.Width <= 0 || fitted.Height <= 0 || graphics.DrawImage(*source_, fitted) != gdiplus::Status::Ok) return;
  scaled_ = std::move(scaled);
  ApplyAlpha(state_->image.alpha);
}

// Scales each pixel's own alpha, so the transparent margins around a fitted
// picture stay transparent.
void WatermarkLayer::ApplyAlpha(int alpha) {
  if (alpha == 255 || !scaled_) return;
  const uint32_t a = static_cast<uint32_t>(std::clamp(alpha, 0, 255));
  for (int y = 0; y < scaled_->GetHeight(); ++y) {
    uint8_t* row = scaled_->Scan0() + static_cast<ptrdiff_t>(y) * scaled_->Stride();
    for (int x = 0; x < scaled_->GetWidth(); ++x) row[4 * x + 3] = static_cast<uint8_t>((row[4 * x + 3] * a + 127) / 255);
  }
}

void WatermarkLayer::Measure() {
  const int kind = state_ ? state_->kind : WATERMARK_NONE;
  if (kind == WATERMARK_TEXT && font_) {
    gdiplus::Graphics graphics(scratch_.get());
    RectF measured;
    graphics.MeasureString(FieldText(state_->text.text), *font_, {x_, y_}, &measured);
    bounds_ = {x_, y_, measured.Width, measured.Height};
  } else if (kind == WATERMARK_IMAGE) {
    const RelativeRect& region = state_->image.region;
    bounds_ = {x_, y_, static_cast<float>(videoRect_.Width * region.width),
               static_cast<float>(videoRect_.Height * region.height)};
  }
}

gdiplus::PointF WatermarkLayer::Origin(int width, int height) const {
  const RelativeRect* region = Region();
  if (region == nullptr) return {};
  return {static_cast<float>(width * region->left), static_cast<float>(height * region->top)};
}

void WatermarkLayer::Draw(gdiplus::Graphics& graphics, int videoWidth, int videoHeight,
                          const gdiplus::Pen& framePen) const {
  if (!state_) return;
  const gdiplus::PointF at = Origin(videoWidth, videoHeight);
  if (state_->kind == WATERMARK_TEXT && font_ && brush_) {
    const std::string text = FieldText(state_->text.text);
    if (!text.empty()) graphics.DrawString(text, *font_, at, *brush_);
  } else if (state_->kind == WATERMARK_IMAGE && scaled_) {
    graphics.DrawImage(*scaled_, at.X, at.Y);
  }
  DrawOutline(graphics, videoWidth, videoHeight, framePen);
}

void WatermarkLayer::DrawOutline(gdiplus::Graphics& graphics, int videoWidth, int videoHeight,
                                 const gdiplus::Pen& framePen) const {
  if (!state_) return;
  const gdiplus::PointF at = Origin(videoWidth, videoHeight);
  gdiplus::Pen pen = framePen;
  if (state_->kind == WATERMARK_TEXT && font_) {
    const std::string text = FieldText(state_->text.text);
    if (text.empty()) return;
    RectF measured;
    graphics.MeasureString(text, *font_, at, &measured);
    pen.SetDashStyle(gdiplus::DashStyle::Dash);
    graphics.DrawRectangle(pen, measured);
  } else if (state_->kind == WATERMARK_IMAGE && scaled_) {
    const RelativeRect& region = state_->image.region;
    pen.SetDashStyle(gdiplus::DashStyle::Solid);
    graphics.DrawRectangle(pen, {at.X, at.Y, static_cast<float>(videoWidth * region.width),
                                 static_cast<float>(videoHeight * region.height)});
  }
}

void WatermarkLayer::BeginMove() {
  atDragStartX_ = x_;
  atDragStartY_ = y_;
}

WatermarkLayer::Offset WatermarkLayer::MoveBy(int dx, int dy) {
  const RectF& vr = videoRect_;
  x_ = std::max(std::min(atDragStartX_ + dx, vr.X + vr.Width - bounds_.Width), vr.X);
  y_ = std::max(std::min(atDragStartY_ + dy, vr.Y + vr.Height - bounds_.Height), vr.Y);
  bounds_.X = x_;
  bounds_.Y = y_;
  const Offset offset{static_cast<int>(std::trunc(x_ - vr.X)), static_cast<int>(std::trunc(y_ - vr.Y))};
  RelativeRect* region = Region();
  if (region && vr.Width > 0 && vr.Height > 0) {
    region->left = offset.x / static_cast<double>(vr.Width);
    region->top = offset.y / static_cast<double>(vr.Height);
  }
  return offset;
}

}  // namespace qelo::player
