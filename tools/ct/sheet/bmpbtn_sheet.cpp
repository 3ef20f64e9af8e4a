#include "bmpbtn_sheet.h"

#include <memory>
#include <string>

#include "ct_bmp_btn.h"
#include "sheet_label.h"
#include "vcl/controls/stdctrls.h"

namespace qelo::ct::sheet {

using namespace vcl;

namespace {

constexpr int kMargin = 12;
constexpr int kLabelHeight = 18;
constexpr int kColumn = 100;

void Caption(TWinControl* parent, const std::string& text, int left, int top) {
  AddSheetLabel(parent, text, Rect(left, top, left + kColumn - 4, top + kLabelHeight));
}

// A face of our own, `width` x 24: a rounded bar in `fill` with a dark
// outline and a white play mark, on the transparent olive.
std::unique_ptr<TBitmap> Face(TColor fill, int width = 64) {
  auto face = std::make_unique<TBitmap>(width, 24);
  TCanvas& c = *face->Canvas();
  c.Brush()->SetColor(clOlive);
  c.FillRect(Rect(0, 0, width, 24));
  c.Pen()->SetColor(clBlack);
  c.Brush()->SetColor(fill);
  c.RoundRect(1, 1, width - 1, 23, 10, 10);
  c.Pen()->SetColor(clWhite);
  c.Brush()->SetColor(clWhite);
  const int x = width / 2 - 4;
  const TPoint mark[] = {{x, 7}, {x, 17}, {x + 10, 12}};
  c.Polygon(mark);
  return face;
}

TCtBmpButton* Button(TWinControl* parent, int left, int top) {
  auto* b = new TCtBmpButton(parent);
  b->SetParent(parent);
  b->SetLeft(left);
  b->SetTop(top);
  b->Bitmaps()->SetUp(Face(0xB06020).get());
  b->Bitmaps()->SetHot(Face(0xE0A050).get());
  b->Bitmaps()->SetDown(Face(0x703010).get());
  b->Bitmaps()->SetStayDown(Face(0x208040).get());
  return b;
}

// The faces as the main window's image buttons show them: sized to the
// bitmap, no border.
void FaceRow(TWinControl* parent, int top) {
  int left = kMargin;
  Caption(parent, "Up", left, top);
  Button(parent, left, top + kLabelHeight);
  left += kColumn;
  Caption(parent, "Hot", left, top);
  Button(parent, left, top + kLabelHeight)->Perform(CM_MOUSEENTER);
  left += kColumn;
  Caption(parent, "Stayed down", left, top);
  TCtBmpButton* grouped = Button(parent, left, top + kLabelHeight);
  grouped->SetGroupIndex(1);
  grouped->SetDown(true);
  left += kColumn;
  Caption(parent, "Disabled", left, top);
  TCtBmpButton* disabled = Button(parent, left, top + kLabelHeight);
  disabled->Bitmaps()->SetDisabled(Face(clGray).get());
  disabled->SetEnabled(false);
  left += kColumn;
  Caption(parent, "Made disabled", left, top);
  Button(parent, left, top + kLabelHeight)->SetEnabled(false);
}

// Glyph and caption with the three borders, and the face tiled.
void BorderRow(TWinControl* parent, int top) {
  auto glyph = Face(0xB06020, 24);
  struct Sample {
    const char* caption;
    TButtonBorder border;
    TButtonStyle style;
    bool enabled;
  };
  const Sample samples[] = {{"&Start", bbNone, bsAutoDetect, true},
                            {"Single", bbSingle, bsAutoDetect, true},
                            {"Button", bbButton, bsAutoDetect, true},
                            {"Old look", bbButton, bsWin31, true},
                            {"Stop", bbButton, bsAutoDetect, false}};
  int left = kMargin;
  for (const Sample& s : samples) {
    auto* b = new TCtBmpButton(parent);
    b->SetParent(parent);
    b->SetButtonSize(bszNeither);
    b->SetButtonBorder(s.border);
    b->SetButtonStyle(s.style);
    b->Bitmaps()->SetUp(glyph.get());
    b->SetCaption(s.caption);
    b->SetBounds(left, top, kColumn - 8, 34);
    b->SetEnabled(s.enabled);
    left += kColumn;
  }
  auto* tiled = Button(parent, left, top);
  tiled->SetButtonSize(bszTileToButton);
  tiled->Bitmaps()->SetUp(glyph.get());
  tiled->SetBounds(left, top, 88, 34);
  tiled->SetButtonBorder(bbSingle);
}

}  // namespace

void AddBmpButtonSheet(TWinControl* parent, int top, int) {
  Caption(parent, "Bitmap buttons", kMargin, top);
  FaceRow(parent, top + kLabelHeight + 4);
  BorderRow(parent, top + 2 * kLabelHeight + 4 + 24 + 16);
}

}  // namespace qelo::ct::sheet
