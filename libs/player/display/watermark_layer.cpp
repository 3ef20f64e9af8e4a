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
    watermarkOn_ = true;
  } else {
    state_.reset();
    watermarkOn_ = false;
  }
  ApplyWatermarkKind();
}

void WatermarkLayer::GetState(WatermarkState* out) const {
  if (state_) *out = *state_;
  else std::memset(out, 0, sizeof *out);
}

void WatermarkLayer::SetImage(const ImageWatermark& image) {
  state_ = ClearedState(WATERMARK_IMAGE);
  state_->image = image;
  ApplyWatermarkKind();
}

void WatermarkLayer::SetText(const TextWatermark& text) {
  state_ = ClearedState(WATERMARK_TEXT);
  state_->text = text;
  ApplyWatermarkKind();
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
  LayoutWatermark();
  MeasureWatermark();
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
  SetupTextWatermark();
  MeasureWatermark();
}

void WatermarkLayer::SetTransparent(int alpha) {
  if (!state_) return;
  if (state_->kind == WATERMARK_TEXT) {
    state_->text.alpha = alpha;
    if (watermarkBrush_) watermarkBrush_->SetColor(TextColor(state_->text));
  } else if (state_->kind == WATERMARK_IMAGE) {
    state_->image.alpha = alpha;
    ScalePicture();  // from the source again, so alphas never compound
  }
}

void WatermarkLayer::Reset() {
  watermarkOn_ = false;
  state_.reset();
  DropObjects();
  watermarkX_ = watermarkY_ = 0;
  watermarkBounds_ = {};
}

void WatermarkLayer::SetVideoRect(const RectF& videoRect) {
  videoRect_ = videoRect;
  LayoutWatermark();
  MeasureWatermark();
}

gdiplus::Argb WatermarkLayer::textColor() const { return watermarkBrush_ ? watermarkBrush_->GetColor().GetValue() : 0; }

void WatermarkLayer::DropObjects() {
  watermarkFont_.reset();
  watermarkBrush_.reset();
  watermarkSource_.reset();
  watermarkScaled_.reset();
}

void WatermarkLayer::ApplyWatermarkKind() {
  const int kind = state_ ? state_->kind : WATERMARK_NONE;
  DropObjects();
  if (kind == WATERMARK_IMAGE) LoadWatermarkPicture();
  if (kind == WATERMARK_TEXT) SetupTextWatermark();
  LayoutWatermark();
  MeasureWatermark();
}

void WatermarkLayer::SetupTextWatermark() {
  const TextWatermark& text = state_->text;
  if (watermarkBrush_) watermarkBrush_->SetColor(TextColor(text));
  else watermarkBrush_ = std::make_unique<gdiplus::SolidBrush>(TextColor(text));
  watermarkFont_ = MakeFont(text.font);
}

void WatermarkLayer::LoadWatermarkPicture() {
  watermarkSource_.reset();
  watermarkScaled_.reset();  // a picture that fails to load leaves none behind
  auto loaded = std::make_unique<gdiplus::Bitmap>(FieldText(state_->image.imagePath));
  if (loaded->GetLastStatus() == gdiplus::Status::Ok) watermarkSource_ = std::move(loaded);
}

void WatermarkLayer::LayoutWatermark() {
  if (state_ && state_->kind == WATERMARK_IMAGE) ScalePicture();
  const RelativeRect* region = Region();
  if (region == nullptr) return;
  watermarkX_ = static_cast<float>(videoRect_.Width * region->left + videoRect_.X);
  watermarkY_ = static_cast<float>(videoRect_.Height * region->top + videoRect_.Y);
}

void WatermarkLayer::ScalePicture() {
  watermarkScaled_.reset();
  if (!watermarkSource_ || !state_ || state_->kind != WATERMARK_IMAGE) return;
  const RelativeRect& region = state_->image.region;
  const double tw = videoRect_.Width * region.width, th = videoRect_.Height * region.height;
  const int width = static_cast<int>(std::trunc(tw)), height = static_cast<int>(std::trunc(th));
  if (width <= 0 || height <= 0) return;
  auto scaled = std::make_unique<gdiplus::Bitmap>(width, height);
  const double sw = watermarkSource_->GetWidth(), sh = watermarkSource_->GetHeight();
  RectF fitted{0, 0, static_cast<float>(width), static_cast<float>(height)};
  if (sh * tw > sw * th) {
    fitted.Width = static_cast<float>(std::trunc(sw * th / sh));
    fitted.X = static_cast<float>(std::trunc((tw - fitted.Width) * 0.5));
  } else {
    fitted.Height = static_cast<float>(std::trunc(sh * tw / sw));
    fitted.Y = static_cast<float>(std::trunc((th - fitted.Height) * 0.5));
  }
  gdiplus::Graphics graphics(scaled.get());
  if (fitted.Width <= 0 || fitted.Height <= 0 || graphics.DrawImage(*watermarkSource_, fitted) != gdiplus::Status::Ok) return;
  watermarkScaled_ = std::move(scaled);
  ApplyWatermarkAlpha(state_->image.alpha);
}

// Scales each pixel's own alpha, so the transparent margins around a fitted
// picture stay transparent.
void WatermarkLayer::ApplyWatermarkAlpha(int alpha) {
  if (alpha == 255 || !watermarkScaled_) return;
  const uint32_t a = static_cast<uint32_t>(std::clamp(alpha, 0, 255));
  for (int y = 0; y < watermarkScaled_->GetHeight(); ++y) {
    uint8_t* row = watermarkScaled_->Scan0() + static_cast<ptrdiff_t>(y) * watermarkScaled_->Stride();
    for (int x = 0; x < watermarkScaled_->GetWidth(); ++x) row[4 * x + 3] = static_cast<uint8_t>((row[4 * x + 3] * a + 127) / 255);
  }
}

void WatermarkLayer::MeasureWatermark() {
  const int kind = state_ ? state_->kind : WATERMARK_NONE;
  if (kind == WATERMARK_TEXT && watermarkFont_) {
    gdiplus::Graphics graphics(scratch_.get());
    RectF measured;
    graphics.MeasureString(FieldText(state_->text.text), *watermarkFont_, {watermarkX_, watermarkY_}, &measured);
    watermarkBounds_ = {watermarkX_, watermarkY_, measured.Width, measured.Height};
  } else if (kind == WATERMARK_IMAGE) {
    const RelativeRect& region = state_->image.region;
    watermarkBounds_ = {watermarkX_, watermarkY_, static_cast<float>(videoRect_.Width * region.width),
               static_cast<float>(videoRect_.Height * region.height)};
  }
}

gdiplus::PointF WatermarkLayer::Origin(int width, int height) const {
  const RelativeRect* region = Region();
  if (region == nullptr) return {};
  return {static_cast<float>(width * region->left), static_cast<float>(height * region->top)};
}

void WatermarkLayer::DrawWatermark(gdiplus::Graphics& graphics, int videoWidth, int videoHeight,
                          const gdiplus::Pen& framePen) const {
  if (!state_) return;
  const gdiplus::PointF at = Origin(videoWidth, videoHeight);
  if (state_->kind == WATERMARK_TEXT && watermarkFont_ && watermarkBrush_) {
    const std::string text = FieldText(state_->text.text);
    if (!text.empty()) graphics.DrawString(text, *watermarkFont_, at, *watermarkBrush_);
  } else if (state_->kind == WATERMARK_IMAGE && watermarkScaled_) {
    graphics.DrawImage(*watermarkScaled_, at.X, at.Y);
  }
  DrawOutline(graphics, videoWidth, videoHeight, framePen);
}

void WatermarkLayer::DrawOutline(gdiplus::Graphics& graphics, int videoWidth, int videoHeight,
                                 const gdiplus::Pen& framePen) const {
  if (!state_) return;
  const gdiplus::PointF at = Origin(videoWidth, videoHeight);
  gdiplus::Pen pen = framePen;
  if (state_->kind == WATERMARK_TEXT && watermarkFont_) {
    const std::string text = FieldText(state_->text.text);
    if (text.empty()) return;
    RectF measured;
    graphics.MeasureString(text, *watermarkFont_, at, &measured);
    pen.SetDashStyle(gdiplus::DashStyle::Dash);
    graphics.DrawRectangle(pen, measured);
  } else if (state_->kind == WATERMARK_IMAGE && watermarkScaled_) {
    const RelativeRect& region = state_->image.region;
    pen.SetDashStyle(gdiplus::DashStyle::Solid);
    graphics.DrawRectangle(pen, {at.X, at.Y, static_cast<float>(videoWidth * region.width),
                                 static_cast<float>(videoHeight * region.height)});
  }
}

void WatermarkLayer::BeginMove() {
  watermarkAtDragStartX_ = watermarkX_;
  watermarkAtDragStartY_ = watermarkY_;
}

WatermarkLayer::Offset WatermarkLayer::MoveBy(int dx, int dy) {
  const RectF& vr = videoRect_;
  watermarkX_ = std::max(std::min(watermarkAtDragStartX_ + dx, vr.X + vr.Width - watermarkBounds_.Width), vr.X);
  watermarkY_ = std::max(std::min(watermarkAtDragStartY_ + dy, vr.Y + vr.Height - watermarkBounds_.Height), vr.Y);
  watermarkBounds_.X = watermarkX_;
  watermarkBounds_.Y = watermarkY_;
  const Offset offset{static_cast<int>(std::trunc(watermarkX_ - vr.X)), static_cast<int>(std::trunc(watermarkY_ - vr.Y))};
  RelativeRect* region = Region();
  if (region && vr.Width > 0 && vr.Height > 0) {
    region->left = offset.x / static_cast<double>(vr.Width);
    region->top = offset.y / static_cast<double>(vr.Height);
  }
  return offset;
}

}  // namespace qelo::player
