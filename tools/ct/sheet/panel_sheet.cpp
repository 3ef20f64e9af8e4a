#include "panel_sheet.h"

#include <string>

#include "ct_panel.h"
#include "sheet_label.h"
#include "vcl/controls/stdctrls.h"

namespace qelo::ct::sheet {

using namespace vcl;

namespace {

constexpr int kMargin = 12;
constexpr int kLabelHeight = 18;
constexpr int kPanelWidth = 124, kPanelHeight = 80, kGap = 10;

TCtPanel* Panel(TWinControl* parent, const std::string& caption, int index, int top) {
  auto* panel = new TCtPanel(parent);
  panel->SetParent(parent);
  panel->SetBounds(kMargin + index * (kPanelWidth + kGap), top, kPanelWidth, kPanelHeight);
  panel->SetCaption(caption);
  return panel;
}

}  // namespace

void AddPanelSheet(TWinControl* parent, int top, int) {
  AddSheetLabel(parent, "Panels", Rect(kMargin, top, kMargin + 300, top + kLabelHeight));
  top += kLabelHeight + 4;

  Panel(parent, "Raised", 0, top);

  TCtPanel* lowered = Panel(parent, "Raised, lowered, top left", 1, top);
  lowered->SetBorderInner(fsLowered);
  lowered->SetBorderWidth(2);
  lowered->SetAlignment(taLeftJustify);
  lowered->SetAlignmentVertical(avTop);
  lowered->SetTextMargin(4);
  lowered->SetTextMarginVertical(2);

  TCtPanel* gradient = Panel(parent, "Gradient, bottom right", 2, top);
  gradient->SetBorderOuter(fsFlatRounded);
  gradient->SetVisualStyle(vsGradient);
  gradient->SetAlignment(taRightJustify);
  gradient->SetAlignmentVertical(avBottom);
  gradient->SetTextMargin(6);

  TCtPanel* grid = Panel(parent, "Dotted grid", 3, top);
  grid->SetBorderOuter(fsFlat);
  grid->SetColor(clWindow);
  grid->SetShowGrid(true);

  TCtPanel* lines = Panel(parent, "Grid lines", 4, top);
  lines->SetBorderOuter(fsFlatBold);
  lines->SetColor(clWindow);
  lines->SetShowGrid(true);
  lines->SetGridStyle(gsSolidLines);
  lines->SetGridXSize(16);
  lines->SetGridYSize(16);

  TCtPanel* disabled = Panel(parent, "Disabled", 5, top);
  disabled->SetBorderOuter(fsLowered);
  disabled->SetAlignmentVertical(avTop);
  disabled->SetTextMarginVertical(4);
  auto* inner = new TCtPanel(parent);
  inner->SetParent(disabled);
  inner->SetBounds(12, 30, 100, 38);
  inner->SetCaption("Child");
  disabled->SetEnabled(false);
}

}  // namespace qelo::ct::sheet
