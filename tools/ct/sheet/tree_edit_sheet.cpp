#include "tree_edit_sheet.h"

#include <string>

#include "ct_edit.h"
#include "ct_treevw.h"
#include "sheet_label.h"
#include "vcl/controls/stdctrls.h"
#include "vcl/strings.h"

namespace qelo::ct::sheet {

using namespace vcl;

namespace {

constexpr int kMargin = 12;
constexpr int kLabelHeight = 18;
constexpr int kTreeWidth = 200;
constexpr int kEditLabelWidth = 150;
constexpr int kEditWidth = 170;
constexpr int kEditHeight = 21;
constexpr int kEditStep = 26;

constexpr const char* kFolders[] = {"Documents", "\tClipshift", "\t\tConverted", "\t\tSnapshots", "\tHoliday videos",
                                    "Music", "\tConcerts", "Pictures"};

void Caption(TWinControl* parent, const std::string& text, int left, int top, int width) {
  AddSheetLabel(parent, text, Rect(left, top, left + width, top + kLabelHeight));
}

TCtCustomTreeView* AddTree(TWinControl* parent, const TRect& bounds) {
  auto* tree = new TCtCustomTreeView(parent);
  tree->SetBounds(bounds.left, bounds.top, RectWidth(bounds), RectHeight(bounds));
  tree->SetParent(parent);
  TStringList lines;
  for (const char* line : kFolders) lines.Add(line);
  tree->LoadFromStrings(lines);
  for (TTreeNode* node = tree->Items()->GetFirstNode(); node; node = node->GetNext())
    if (node->Level() == 0 && node->HasChildren()) node->Expand(true);
  return tree;
}

// The selected node keeps a dotted outline while the focus is elsewhere.
void OutlinedTree(TWinControl* parent, const TRect& bounds) {
  TCtCustomTreeView* tree = AddTree(parent, bounds);
  tree->SetFramingPreference(fpCustomFraming);
  tree->SetFrameVisible(true);
  tree->SetHideSelection(false);
  tree->SetItemHeight(18);
  TPen pen;
  pen.SetColor(clHighlight);
  pen.SetStyle(psDot);
  tree->SetSelectionPen(&pen);
  tree->SetSelected(tree->Items()->Item(2));
}

void DisabledTree(TWinControl* parent, const TRect& bounds) {
  TCtCustomTreeView* tree = AddTree(parent, bounds);
  tree->SetEnabled(false);
}

TCtEdit* AddEdit(TWinControl* parent, const std::string& label, const std::string& text, int left, int top) {
  Caption(parent, label, left, top + 3, kEditLabelWidth);
  auto* edit = new TCtEdit(parent);
  edit->SetBounds(left + kEditLabelWidth, top, kEditWidth, kEditHeight);
  edit->SetText(text);
  edit->SetParent(parent);
  return edit;
}

void Edits(TWinControl* parent, int left, int top) {
  AddEdit(parent, "TCtEdit", "holiday.avi", left, top);
  AddEdit(parent, "ReadOnly", "C:\\Videos", left, top + kEditStep)->SetReadOnly(true);
  AddEdit(parent, "Disabled", "no input", left, top + 2 * kEditStep)->SetEnabled(false);
  TCtEdit* framed = AddEdit(parent, "taRightJustify, frame", "00:03:07", left, top + 3 * kEditStep);
  framed->SetAlignment(taRightJustify);
  framed->SetFramingPreference(fpCustomFraming);
  framed->SetFrameVisible(true);
  AddEdit(parent, "Drop-down button", "MP4 Video", left, top + 4 * kEditStep)->SetDropDownEnabled(true);
  TCtEdit* flat = AddEdit(parent, "Flat drop-down button", "3GP Video", left, top + 5 * kEditStep);
  flat->SetDropDownEnabled(true);
  flat->SetFlatButton(true);
}

}  // namespace

void AddTreeEditSheet(TWinControl* parent, int top) {
  RegisterCtTreeViewClasses();
  RegisterCtEditClasses();
  const int treeTop = top + kLabelHeight + 4;
  const int treeHeight = kTreeEditSheetHeight - (treeTop - top) - kMargin;
  Caption(parent, "TCtCustomTreeView, framed", kMargin, top, kTreeWidth);
  OutlinedTree(parent, Rect(kMargin, treeTop, kMargin + kTreeWidth, treeTop + treeHeight));
  const int second = 2 * kMargin + kTreeWidth;
  Caption(parent, "TCtCustomTreeView, disabled", second, top, kTreeWidth);
  DisabledTree(parent, Rect(second, treeTop, second + kTreeWidth, treeTop + treeHeight));
  const int edits = second + kTreeWidth + 2 * kMargin;
  Caption(parent, "TCtEdit in its states", edits, top, kEditLabelWidth + kEditWidth);
  Edits(parent, edits, treeTop);
}

}  // namespace qelo::ct::sheet
