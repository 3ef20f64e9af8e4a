// The edit window's Crop page: the crop in the source's pixels, typed or
// dragged on the original pane, a shape to keep, and a reset.
#include <charconv>
#include <cmath>

#include "edit_window.h"
#include "qelo/player_exports.h"

namespace qelo::app {

using namespace vcl;

namespace {

struct AspectChoice {
  TCropAspect aspect;
  const char* caption;
};
constexpr AspectChoice kAspects[] = {
    {caFree, "Free"}, {caOutput, "Output"}, {caFourThree, "4:3"}, {caSixteenNine, "16:9"}, {caSource, "Source picture"}};

bool ReadPixels(const ct::TCtEdit& field, int& value) {
  const std::string text = field.Text();
  size_t first = text.find_first_not_of(' ');
  size_t last = text.find_last_not_of(' ');
  if (first == std::string::npos) return false;
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  const auto [stop, error] = std::from_chars(begin, end, value);
  return error == std::errc() && stop == end;
}

bool Near(double a, double b) { return std::fabs(a - b) < 0.01; }

}  // namespace

void TfrmEditVideo::FillCropPage() {
  LabCropSize->SetCaption("pixels of " + std::to_string(SourceWidth()) + " x " + std::to_string(SourceHeight()));
  TFlagScope scope(updating_);
  cbAspect->Items()->Clear();
  for (const AspectChoice& choice : kAspects) {
    std::string caption = choice.caption;
    if (choice.aspect == caOutput) caption += " (" + std::to_string(outputWidth_) + " x " + std::to_string(outputHeight_) + ")";
    cbAspect->Items()->Add(caption);
  }
  cbAspect->SetItemIndex(caFree);
  ShowCropNumbers();
}

void TfrmEditVideo::ShowCropNumbers() {
  const TPixelRect px = CropPixels(EffectiveCrop(edited_), SourceWidth(), SourceHeight());
  edCropLeft->SetText(std::to_string(px.left));
  edCropTop->SetText(std::to_string(px.top));
  edCropWidth->SetText(std::to_string(px.width));
  edCropHeight->SetText(std::to_string(px.height));
}

void TfrmEditVideo::ApplyCrop(const RelativeRect& crop) {
  const TCropAspect aspect = static_cast<TCropAspect>(cbAspect->ItemIndex());
  SetCrop(edited_, ForceCropAspect(crop, AspectOf(aspect), SourceWidth(), SourceHeight()));
  const RelativeRect shown = EffectiveCrop(edited_);
  if (playerIndex_ >= 0) QeloSetCrop(&shown, playerIndex_);
  ShowCropNumbers();
  RefreshPreview();
}

void TfrmEditVideo::edCropExit(TObject*) {
  TPixelRect px;
  if (!ReadPixels(*edCropLeft, px.left) || !ReadPixels(*edCropTop, px.top) || !ReadPixels(*edCropWidth, px.width) ||
      !ReadPixels(*edCropHeight, px.height)) {
    // Not a number: the fields show the crop as it is.
    ShowCropNumbers();
    return;
  }
  const TPixelRect now = CropPixels(EffectiveCrop(edited_), SourceWidth(), SourceHeight());
  if (px == now) return;
  const RelativeRect typed = CropFromPixels(px, SourceWidth(), SourceHeight());
  // A typed corner stays where it was typed; a typed size keeps its size.
  const bool cornerTyped = px.left != now.left || px.top != now.top;
  ApplyCrop(cornerTyped ? SoundCropKeepingCorner(typed) : typed);
}

void TfrmEditVideo::CropDragged() {
  if (playerIndex_ < 0) return;
  RelativeRect crop;
  QeloGetCrop(&crop, playerIndex_);
  const TCropAspect aspect = static_cast<TCropAspect>(cbAspect->ItemIndex());
  if (aspect != caFree && PlayerClipAspect() == CLIP_ASPECT_FREE) {
    // A shape the player cannot keep by itself: the crop is brought back to
    // it after each move.
    ApplyCrop(crop);
    return;
  }
  SetCrop(edited_, crop);
  ShowCropNumbers();
  RefreshPreview();
}

double TfrmEditVideo::AspectOf(TCropAspect aspect) const {
  switch (aspect) {
    case caOutput: return double(outputWidth_) / std::max(outputHeight_, 1);
    case caFourThree: return 4.0 / 3.0;
    case caSixteenNine: return 16.0 / 9.0;
    case caSource: return double(SourceWidth()) / SourceHeight();
    case caFree: break;
  }
  return 0;
}

int TfrmEditVideo::PlayerClipAspect() const {
  const TCropAspect aspect = static_cast<TCropAspect>(cbAspect->ItemIndex());
  const double ratio = AspectOf(aspect);
  if (aspect == caFree || !(ratio > 0)) return CLIP_ASPECT_FREE;
  if (Near(ratio, 4.0 / 3.0)) return CLIP_ASPECT_4_3;
  if (Near(ratio, 16.0 / 9.0)) return CLIP_ASPECT_16_9;
  if (Near(ratio, double(SourceWidth()) / SourceHeight())) return CLIP_ASPECT_PICTURE;
  return CLIP_ASPECT_FREE;
}

void TfrmEditVideo::ApplyAspect() {
  // The player keeps the shape while the crop is dragged; the crop set after
  // it has the shape already.
  if (playerIndex_ >= 0) QeloForceClipAspect(PlayerClipAspect(), playerIndex_);
  ApplyCrop(EffectiveCrop(edited_));
}

void TfrmEditVideo::cbAspectChange(TObject*) {
  if (!updating_) ApplyAspect();
}

void TfrmEditVideo::btnCropResetClick(TObject*) {
  {
    TFlagScope scope(updating_);
    cbAspect->SetItemIndex(caFree);
  }
  if (playerIndex_ >= 0) QeloForceClipAspect(CLIP_ASPECT_FREE, playerIndex_);
  ApplyCrop(WholeFrame());
}

}  // namespace qelo::app
