#include "bars_sheet.h"

#include <string>

#include "ct_panel_group_box.h"
#include "ct_panel_status_bar.h"
#include "ct_prgres.h"
#include "sheet_label.h"
#include "vcl/controls/checkbox.h"
#include "vcl/controls/stdctrls.h"

namespace qelo::ct::sheet {

using namespace vcl;

namespace {

constexpr int kMargin = 12;
constexpr int kLabelHeight = 18;
constexpr int kBoxWidth = 124, kBoxHeight = 76, kGap = 10;

void Title(TWinControl* parent, const std::string& text, int left, int top) {
  AddSheetLabel(parent, text, Rect(left, top, left + 300, top + kLabelHeight));
}

void AddGroupBoxes(TWinControl* parent, int top) {
  const TCtGroupBoxStyle styles[] = {gsStandard, gsCustom, gsTopLine, gsFlat, gsBanner, gsUnderline};
  for (int i = 0; i < 6; ++i) {
    auto* box = new TCtGroupBox(parent);
    box->SetParent(parent);
    box->SetBounds(kMargin + i * (kBoxWidth + kGap), top, kBoxWidth, kBoxHeight);
    box->SetGroupStyle(styles[i]);
    box->SetCaption("&" + kCtGroupBoxStyleInfo.NameOf(styles[i]));
    if (styles[i] == gsCustom) box->SetBorderOuter(fsRaised);
    auto* inside = new TCheckBox(parent);
    inside->SetParent(box);
    inside->SetBounds(8, 0, 108, 18);
    inside->SetAlign(alTop);
    inside->SetCaption("Keep the size");
  }
}

TCtProgressBar* Bar(TWinControl* parent, const TRect& r, TBarStyle style, uint16_t percent) {
  auto* bar = new TCtProgressBar(parent);
  bar->SetParent(parent);
  bar->SetBounds(r.left, r.top, RectWidth(r), RectHeight(r));
  bar->SetBarStyle(style);
  bar->SetPercent(percent);
  return bar;
}

void AddProgressBars(TWinControl* parent, int top) {
  const int left = kMargin, width = 250;
  Bar(parent, Rect(left, top, left + width, top + 22), bsTraditional, 40);
  Bar(parent, Rect(left, top + 30, left + width, top + 52), bsLED, 65);
  Bar(parent, Rect(left, top + 60, left + width, top + 82), bsGradient, 80);
  TCtProgressBar* parts = Bar(parent, Rect(left + width + 16, top, left + 2 * width + 16, top + 22), bsTraditional, 0);
  parts->SetShowParts(true);
  parts->SetTotalParts(12);
  parts->SetPartsComplete(5);
  // The main window's two bars of a run: the whole run and the current job.
  TCtProgressBar* run = Bar(parent, Rect(left + width + 16, top + 34, left + 2 * width + 16, top + 46), bsTraditional, 33);
  run->SetBorderOuter(fsFlat);
  run->SetFlatColor(clWindowText);
  TCtProgressBar* job = Bar(parent, Rect(left + width + 16, top + 54, left + 2 * width + 16, top + 66), bsTraditional, 75);
  job->SetBorderOuter(fsFlat);
  job->SetBorderColor(TColor{0xA56E3A});
  job->SetThemeAware(false);
  const int column = left + 2 * width + 40;
  Bar(parent, Rect(column, top, column + 40, top + 82), bsTraditional, 70);
  Bar(parent, Rect(column + 52, top, column + 74, top + 82), bsLED, 45);
  Bar(parent, Rect(column + 86, top, column + 126, top + 82), bsGradient, 30);
}

// A status bar sits at the bottom of its parent: each gets a panel of its
// own to sit in.
TCtStatusBar* StatusBarIn(TWinControl* parent, const TRect& r) {
  auto* holder = new TCtPanel(parent);
  holder->SetParent(parent);
  holder->SetBounds(r.left, r.top, RectWidth(r), RectHeight(r));
  holder->SetBorderOuter(fsFlat);
  holder->SetColor(clWindow);
  auto* bar = new TCtStatusBar(parent);
  bar->SetParent(holder);
  return bar;
}

void Pane(TCtStatusBar* bar, const std::string& caption, int width) {
  auto* pane = new TCtPanel(bar);
  pane->SetParent(bar);
  pane->SetAlign(alLeft);
  pane->SetWidth(width);
  pane->SetBorderOuter(fsStatus);
  pane->SetCaption(caption);
}

void AddStatusBars(TWinControl* parent, int top, int width) {
  TCtStatusBar* panes = StatusBarIn(parent, Rect(kMargin, top, width - kMargin, top + 44));
  Pane(panes, "3 files", 110);
  Pane(panes, "Output: ~/Videos", 200);
  auto* progress = new TCtProgressBar(parent);
  progress->SetParent(panes);
  progress->SetAlign(alClient);
  progress->SetPercent(64);
  TCtStatusBar* simple = StatusBarIn(parent, Rect(kMargin, top + 52, width - kMargin, top + 96));
  simple->SetVisualStyle(vsClassic);
  simple->SetSimpleCaption("Converting clip 3 of 7");
  simple->SetSimpleStatus(true);
}

}  // namespace

void AddBarsSheet(TWinControl* parent, int top, int width) {
  Title(parent, "Group boxes", kMargin, top);
  top += kLabelHeight + 4;
  AddGroupBoxes(parent, top);
  top += kBoxHeight + 10;
  Title(parent, "Progress bars", kMargin, top);
  top += kLabelHeight + 4;
  AddProgressBars(parent, top);
  top += 92;
  Title(parent, "Status bars", kMargin, top);
  top += kLabelHeight + 4;
  AddStatusBars(parent, top, width);
}

}  // namespace qelo::ct::sheet
