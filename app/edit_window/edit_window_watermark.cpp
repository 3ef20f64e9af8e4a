// The edit window's Watermark page: none, a text (face, colour, size, bold,
// italic) or a picture (a PNG or JPEG file), its transparency and size; it
// is placed by dragging it on the output pane.
#include <algorithm>
#include <cstdio>

#include "edit_window.h"
#include "qelo/player_exports.h"

namespace qelo::app {

using namespace vcl;

namespace {

constexpr const char* kFaces[] = {"Arial", "Tahoma", "Verdana", "Times New Roman", "Courier New"};

struct NamedColour {
  const char* name;
  uint32_t rgb;  // 0xRRGGBB, as the font record keeps it
};
constexpr NamedColour kColours[] = {{"White", 0xFFFFFF}, {"Black", 0x000000},  {"Grey", 0x808080},
                                    {"Red", 0xFF0000},   {"Orange", 0xFF8000}, {"Yellow", 0xFFFF00},
                                    {"Green", 0x00C000}, {"Blue", 0x0050FF}};

// The text's size in points and the picture's width in percent of the frame.
constexpr int kMinPoints = 6, kMaxPoints = 96;
constexpr int kMinPercent = 5, kMaxPercent = 100;

constexpr int kBold = 1, kItalic = 2;

std::string ColourText(uint32_t rgb) {
  char text[16];
  std::snprintf(text, sizeof text, "#%06X", rgb & 0xFFFFFFu);
  return text;
}

// The item showing `text`, added at the end when the list lacks it.
int ItemFor(TStrings& items, const std::string& text) {
  const int found = items.IndexOf(text);
  return found >= 0 ? found : items.Add(text);
}

}  // namespace

void TfrmEditVideo::FillWatermarkPage() {
  TFlagScope scope(updating_);
  cbWmKind->Items()->Clear();
  for (const char* kind : {"None", "Text", "Picture"}) cbWmKind->Items()->Add(kind);
  cbWmKind->SetItemIndex(WatermarkChoiceOf(edited_));
  cbWmFont->Items()->Clear();
  for (const char* face : kFaces) cbWmFont->Items()->Add(face);
  cbWmFont->SetItemIndex(ItemFor(*cbWmFont->Items(), WatermarkFace(edited_)));
  cbWmColor->Items()->Clear();
  int colour = -1;
  for (const NamedColour& c : kColours) {
    const int item = cbWmColor->Items()->Add(c.name);
    if (c.rgb == (edited_.watermarkFont.color & 0xFFFFFFu)) colour = item;
  }
  cbWmColor->SetItemIndex(colour >= 0 ? colour : cbWmColor->Items()->Add(ColourText(edited_.watermarkFont.color)));
  edWmText->SetText(WatermarkText(edited_));
  edWmPicture->SetText(WatermarkImagePath(edited_));
  if (!ReadablePicture(WatermarkImagePath(edited_), &pictureWidth_, &pictureHeight_)) pictureWidth_ = pictureHeight_ = 0;
  chkWmBold->SetChecked((edited_.watermarkFont.style & kBold) != 0);
  chkWmItalic->SetChecked((edited_.watermarkFont.style & kItalic) != 0);
  tbTransparency->SetMax(100);
  ShowWatermarkControls();
}

void TfrmEditVideo::ShowWatermarkControls() {
  const TWatermarkChoice choice = WatermarkChoiceOf(edited_);
  for (TControl* c : std::initializer_list<TControl*>{LabWmText, edWmText, LabWmFont, cbWmFont, LabWmColor, cbWmColor,
                                                      chkWmBold, chkWmItalic})
    c->SetVisible(choice == wcText);
  for (TControl* c : std::initializer_list<TControl*>{LabWmPicture, edWmPicture, btnWmBrowse})
    c->SetVisible(choice == wcPicture);
  for (TControl* c : std::initializer_list<TControl*>{LabTransparency, tbTransparency, LabTransparencyValue, LabWmSize,
                                                      tbWmSize, LabWmSizeValue})
    c->SetVisible(choice != wcNone);
  ShowWatermarkValues();
}

void TfrmEditVideo::ShowWatermarkValues() {
  const TWatermarkChoice choice = WatermarkChoiceOf(edited_);
  TFlagScope scope(updating_);
  const int transparency = TransparencyOfAlpha(edited_.watermarkAlpha);
  tbTransparency->SetPosition(transparency);
  LabTransparencyValue->SetCaption(std::to_string(transparency) + "%");
  if (choice == wcPicture) {
    const int percent = std::clamp(static_cast<int>(edited_.watermarkRegion.width * 100 + 0.5), kMinPercent, kMaxPercent);
    tbWmSize->SetMax(kMaxPercent - kMinPercent);
    tbWmSize->SetPosition(percent - kMinPercent);
    LabWmSizeValue->SetCaption(std::to_string(percent) + "% wide");
  } else {
    const int points = std::clamp(static_cast<int>(edited_.watermarkFont.size), kMinPoints, kMaxPoints);
    tbWmSize->SetMax(kMaxPoints - kMinPoints);
    tbWmSize->SetPosition(points - kMinPoints);
    LabWmSizeValue->SetCaption(std::to_string(points) + " pt");
  }
  ShowWatermarkPosition();
}

void TfrmEditVideo::ShowWatermarkPosition() {
  if (WatermarkChoiceOf(edited_) == wcNone) {
    LabWmPosition->SetCaption("No watermark.");
    return;
  }
  const int x = static_cast<int>(edited_.watermarkRegion.left * SourceWidth() + 0.5);
  const int y = static_cast<int>(edited_.watermarkRegion.top * SourceHeight() + 0.5);
  LabWmPosition->SetCaption("At " + std::to_string(x) + ", " + std::to_string(y) +
                            " pixels of the picture; drag it on the output picture to move it.");
}

void TfrmEditVideo::WatermarkChanged() {
  ShowWatermarkPosition();
  PlaceWatermarkOnPreview();
  RefreshPreview();
}

void TfrmEditVideo::PlaceWatermarkOnPreview() {
  if (playerIndex_ < 0) return;
  WatermarkState state = PlayerWatermark(edited_);
  if (state.kind == WATERMARK_NONE || page_ != epWatermark) {
    QeloEnableWatermark(nullptr, playerIndex_);
    return;
  }
  if (state.kind == WATERMARK_TEXT) state.text.font.size = PreviewFontSize();
  QeloEnableWatermark(&state, playerIndex_);
}

void TfrmEditVideo::WatermarkDragged() {
  if (playerIndex_ < 0 || WatermarkChoiceOf(edited_) == wcNone) return;
  RelativeRect region{};
  QeloGetWatermarkRegion(&region, playerIndex_);
  RelativeRect moved = edited_.watermarkRegion;
  moved.left = region.left;
  moved.top = region.top;
  SetWatermarkRegion(edited_, moved);
  ShowWatermarkPosition();
  RefreshPreview();
}

void TfrmEditVideo::cbWmKindChange(TObject*) {
  if (updating_) return;
  const TWatermarkChoice before = WatermarkChoiceOf(edited_);
  const TWatermarkChoice choice = static_cast<TWatermarkChoice>(std::clamp(cbWmKind->ItemIndex(), 0, 2));
  if (choice == wcPicture && !ReadablePicture(WatermarkImagePath(edited_))) {
    // A picture is chosen first; without one the watermark stays as it was.
    btnWmBrowseClick(btnWmBrowse);
    if (WatermarkChoiceOf(edited_) != wcPicture) {
      TFlagScope scope(updating_);
      cbWmKind->SetItemIndex(before);
    }
    return;
  }
  SetWatermarkChoice(edited_, choice);
  ShowWatermarkControls();
  WatermarkChanged();
}

void TfrmEditVideo::edWmTextChange(TObject*) {
  if (updating_) return;
  SetWatermarkText(edited_, edWmText->Text());
  WatermarkChanged();
}

void TfrmEditVideo::cbWmFontChange(TObject*) {
  if (updating_) return;
  if (cbWmFont->ItemIndex() >= 0) SetWatermarkFace(edited_, cbWmFont->Items()->Get(cbWmFont->ItemIndex()));
  const int colour = cbWmColor->ItemIndex();
  if (colour >= 0 && colour < static_cast<int>(std::size(kColours)))
    edited_.watermarkFont.color = kColours[colour].rgb;
  WatermarkChanged();
}

void TfrmEditVideo::chkWmStyleClick(TObject*) {
  if (updating_) return;
  int32_t style = edited_.watermarkFont.style & ~(kBold | kItalic);
  if (chkWmBold->Checked()) style |= kBold;
  if (chkWmItalic->Checked()) style |= kItalic;
  edited_.watermarkFont.style = style;
  WatermarkChanged();
}

void TfrmEditVideo::tbTransparencyChange(TObject*, int64_t value) {
  if (updating_) return;
  edited_.watermarkAlpha = AlphaOfTransparency(static_cast<int>(value));
  LabTransparencyValue->SetCaption(std::to_string(value) + "%");
  WatermarkChanged();
}

void TfrmEditVideo::tbWmSizeChange(TObject*, int64_t value) {
  if (updating_) return;
  if (WatermarkChoiceOf(edited_) == wcPicture) {
    const int percent = static_cast<int>(value) + kMinPercent;
    SetWatermarkRegion(edited_, PictureRegion(edited_.watermarkRegion, percent / 100.0, pictureWidth_, pictureHeight_,
                                              SourceWidth(), SourceHeight()));
    LabWmSizeValue->SetCaption(std::to_string(percent) + "% wide");
  } else {
    edited_.watermarkFont.size = static_cast<int32_t>(value) + kMinPoints;
    LabWmSizeValue->SetCaption(std::to_string(edited_.watermarkFont.size) + " pt");
  }
  WatermarkChanged();
}

void TfrmEditVideo::btnWmBrowseClick(TObject*) {
  if (!odPicture->Execute()) return;
  const std::string path = odPicture->FileName();
  int width = 0, height = 0;
  if (!ReadablePicture(path, &width, &height)) {
    Application()->MessageBox("The picture cannot be read:\n" + path, "Information", MB_OK | MB_ICONWARNING);
    return;
  }
  if (!SetWatermarkImagePath(edited_, path)) {
    Application()->MessageBox("The picture's path is too long:\n" + path, "Information", MB_OK | MB_ICONWARNING);
    return;
  }
  pictureWidth_ = width;
  pictureHeight_ = height;
  SetWatermarkChoice(edited_, wcPicture);
  SetWatermarkRegion(edited_, PictureRegion(edited_.watermarkRegion, edited_.watermarkRegion.width, width, height,
                                            SourceWidth(), SourceHeight()));
  {
    TFlagScope scope(updating_);
    cbWmKind->SetItemIndex(wcPicture);
    edWmPicture->SetText(path);
  }
  ShowWatermarkControls();
  WatermarkChanged();
}

}  // namespace qelo::app
