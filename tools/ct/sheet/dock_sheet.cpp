#include "dock_sheet.h"

#include "ct_panel.h"
#include "vcl/controls/edit.h"

namespace qelo::ct::sheet {

using namespace vcl;

namespace {

TEdit* focusedEdit = nullptr;

TCtPanel* NewSite(TWinControl* parent, TAlign align, int size) {
  auto* site = new TCtPanel(parent);
  site->SetParent(parent);
  site->SetAlign(align);
  if (align == alLeft || align == alRight) site->SetWidth(size);
  else site->SetHeight(size);
  site->SetBorderOuter(fsLowered);
  site->SetDockSite(true);
  site->SetUseDockManager(true);
  return site;
}

// A docked control: a panel holding an edit, so that it can hold the focus.
TCtPanel* NewTool(TWinControl* owner, const std::string& caption, TColor colour) {
  auto* tool = new TCtPanel(owner);
  tool->SetParent(owner);
  tool->SetBounds(0, 0, 120, 80);
  tool->SetCaption(caption);
  tool->SetBorderOuter(fsNone);
  tool->SetColor(colour);
  tool->SetAlignmentVertical(avBottom);
  auto* edit = new TEdit(owner);
  edit->SetParent(tool);
  edit->SetBounds(6, 6, 100, 22);
  edit->SetText(caption);
  if (!focusedEdit) focusedEdit = edit;
  return tool;
}

}  // namespace

void AddDockSheet(TWinControl* parent) {
  TCtPanel* bar = NewSite(parent, alTop, 84);
  TCtPanel* side = NewSite(parent, alLeft, 220);
  TCtPanel* plain = NewSite(parent, alClient, 0);
  plain->SetShowDockClientCaptions(false);
  plain->SetCaption("Framework grabbers");

  TCtPanel* tree = NewTool(parent, "Folders", clWindow);
  TCtPanel* properties = NewTool(parent, "Properties", 0xF8F0E8);
  tree->ManualDock(side);
  properties->ManualDock(side, tree, alBottom);
  TCtPanel* search = NewTool(parent, "Search", clWindow);
  TCtPanel* filter = NewTool(parent, "Filter", 0xF8F0E8);
  search->ManualDock(bar);
  filter->ManualDock(bar, search, alRight);
  NewTool(parent, "Preview", clWindow)->ManualDock(plain);
}

void ShowDockSheetStates() {
  if (focusedEdit && focusedEdit->CanFocus()) focusedEdit->SetFocus();
}

}  // namespace qelo::ct::sheet
