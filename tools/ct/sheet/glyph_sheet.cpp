#include "glyph_sheet.h"

#include <functional>
#include <string>
#include <vector>

#include "ct_button_bitbtn.h"
#include "ct_button_tool.h"
#include "ct_radchk.h"
#include "sheet_label.h"
#include "vcl/controls/stdctrls.h"
#include "vcl/graphics/image_list.h"

namespace qelo::ct::sheet {

using namespace vcl;

namespace {

constexpr int kMargin = 12;
constexpr int kRowLabelWidth = 110;
constexpr int kLeft = kMargin + kRowLabelWidth;

// What ShowGlyphSheetStates does once the form shows.
std::vector<std::function<void()>>& PendingStates() {
  static std::vector<std::function<void()>> pending;
  return pending;
}

void AddLabel(TWinControl* parent, const std::string& text, int left, int top, int width) {
  AddSheetLabel(parent, text, Rect(left, top, left + width, top + 16), false);
}

// ---- check boxes

TCtCheckBox* AddCheckBox(TWinControl* parent, const char* caption, int left, int top) {
  auto* box = new TCtCheckBox(parent);
  box->SetParent(parent);
  box->SetBounds(left, top, 110, 17);
  box->SetCaption(caption);
  return box;
}

int AddCheckBoxRows(TWinControl* parent, int top) {
  AddLabel(parent, "Check boxes", kMargin, top + 1, kRowLabelWidth);
  AddLabel(parent, "Hot tracked", kMargin, top + 31, kRowLabelWidth);
  for (bool hot : {false, true}) {
    const int y = hot ? top + 30 : top;
    int x = kLeft;
    auto next = [&](const char* caption) {
      TCtCheckBox* box = AddCheckBox(parent, caption, x, y);
      box->SetHotTrack(hot);
      x += 118;
      return box;
    };
    next("Unchecked");
    next("Checked")->SetChecked(true);
    TCtCheckBox* grayed = next("Grayed");
    grayed->SetAllowGrayed(true);
    grayed->SetState(cbGrayed);
    TCtCheckBox* disabled = next("Disabled");
    disabled->SetChecked(true);
    disabled->SetEnabled(false);
    TCtCheckBox* readOnly = next("Read-only");
    readOnly->SetReadOnly(true);
    readOnly->SetChecked(true);
    TCtCheckBox* focused = next(hot ? "Pressed" : "&Focused");
    if (hot) PendingStates().push_back([focused] { focused->Perform(win::WM_KEYDOWN, win::VK_SPACE, 0); });
    else PendingStates().push_back([focused] { focused->SetFocus(); });
    TCtCheckBox* pointed = next(hot ? "Under the mouse" : "Text left");
    if (hot) PendingStates().push_back([pointed] { pointed->Perform(CM_MOUSEENTER); });
    else pointed->SetAlignment(taLeftJustify);
  }
  TCtCheckBox* shutdown = AddCheckBox(parent, "Shutdown when done", kLeft, top + 60);
  shutdown->SetWidth(300);
  TCtCheckBox* wrapped =
      AddCheckBox(parent, "A longer caption that wraps onto a second line beside its glyph", kLeft + 252, top + 60);
  wrapped->SetWidth(240);
  return top + 100;
}

// ---- push buttons with pictures

TCtBitBtn* AddBitBtn(TWinControl* parent, int left, int top, int width = 86, int height = 27) {
  auto* b = new TCtBitBtn(parent);
  b->SetParent(parent);
  b->SetBounds(left, top, width, height);
  return b;
}

int AddBitBtnRows(TWinControl* parent, int top) {
  AddLabel(parent, "Kinds", kMargin, top + 6, kRowLabelWidth);
  int x = kLeft;
  for (int k = bkOK; k <= bkAll; ++k) {
    TCtBitBtn* b = AddBitBtn(parent, x, top, 80);
    b->SetKind(static_cast<TBitBtnKind>(k));
    b->SetDefault(false);  // only the frames of the look, not the default ring
    x += 84;
  }
  const int layoutsTop = top + 40;
  AddLabel(parent, "Layouts, states", kMargin, layoutsTop + 14, kRowLabelWidth);
  x = kLeft;
  const std::pair<TButtonLayout, const char*> layouts[] = {
      {blGlyphLeft, "Left"}, {blGlyphRight, "Right"}, {blGlyphTop, "Top"}, {blGlyphBottom, "Bottom"}};
  for (auto [layout, caption] : layouts) {
    TCtBitBtn* b = AddBitBtn(parent, x, layoutsTop, 86, layout == blGlyphTop || layout == blGlyphBottom ? 50 : 27);
    b->SetKind(bkOK);
    b->SetDefault(false);
    b->SetCaption(caption);
    b->SetLayout(layout);
    x += 96;
  }
  TCtBitBtn* centred = AddBitBtn(parent, x, layoutsTop, 110);
  centred->SetKind(bkRetry);
  centred->SetCaption("Centred");
  centred->SetMargin(-1);
  x += 120;
  TCtBitBtn* disabled = AddBitBtn(parent, x, layoutsTop);
  disabled->SetKind(bkCancel);
  disabled->SetCaption("Disabled");
  disabled->SetEnabled(false);
  x += 96;
  TCtBitBtn* hot = AddBitBtn(parent, x, layoutsTop);
  hot->SetKind(bkYes);
  hot->SetCaption("Hot");
  hot->SetHotTrack(true);
  PendingStates().push_back([hot] { hot->Perform(CM_MOUSEENTER); });
  x += 96;
  TCtBitBtn* pressed = AddBitBtn(parent, x, layoutsTop);
  pressed->SetKind(bkNo);
  pressed->SetCaption("Pressed");
  PendingStates().push_back([pressed] { pressed->Perform(win::WM_KEYDOWN, win::VK_SPACE, 0); });
  return layoutsTop + 66;
}

// ---- tool buttons

// A folder, a greyed folder, a cross and a greyed cross, 16 by 16.
TImageList* MakeToolImages(TComponent* owner) {
  auto* images = new TImageList(owner);
  for (int i = 0; i < 4; ++i) {
    TBitmap cell(16, 16);
    TCanvas& c = *cell.Canvas();
    c.Brush()->SetColor(clOlive);
    c.FillRect(Rect(0, 0, 16, 16));
    const bool greyed = i % 2 == 1;
    if (i < 2) {
      c.Pen()->SetColor(greyed ? clGray : clMaroon);
      c.Brush()->SetColor(greyed ? clSilver : clYellow);
      c.Rectangle(1, 3, 7, 6);
      c.Rectangle(1, 5, 15, 14);
    } else {
      c.Pen()->SetColor(greyed ? clGray : clRed);
      c.Brush()->SetColor(greyed ? clGray : clRed);
      c.Polygon(std::vector<TPoint>{{2, 4}, {4, 2}, {13, 11}, {11, 13}});
      c.Polygon(std::vector<TPoint>{{11, 2}, {13, 4}, {4, 13}, {2, 11}});
    }
    images->AddMasked(&cell, clOlive);
  }
  return images;
}

TCtToolButton* AddToolButton(TWinControl* parent, TImageList* images, int left, int top, int width = 25) {
  auto* b = new TCtToolButton(parent);
  b->SetParent(parent);
  b->SetBounds(left, top, width, 25);
  b->SetImages(images);
  b->SetImageIndex(0);
  b->SetDisabledIndex(1);
  return b;
}

int AddToolButtonRows(TWinControl* parent, int top) {
  TImageList* images = MakeToolImages(parent);
  auto* menu = new TPopupMenu(parent);
  for (const char* caption : {"New folder", "Delete"}) {
    auto* item = new TMenuItem(menu);
    item->SetCaption(caption);
    menu->Items()->Add(item);
  }
  const std::pair<TCtVisualStyle, const char*> styles[] = {
      {vsClassic, "Tool, classic"}, {vsWinXP, "Tool, flat"}, {vsGradient, "Tool, gradient"}};
  int y = top;
  for (auto [style, name] : styles) {
    AddLabel(parent, name, kMargin, y + 5, kRowLabelWidth);
    int x = kLeft;
    // Each column as wide as its heading.
    auto add = [&](const char* column, int columnWidth, int width = 25) {
      if (y == top) AddLabel(parent, column, x, top - 18, columnWidth);
      TCtToolButton* b = AddToolButton(parent, images, x, y, width);
      b->SetVisualStyle(style);
      x += columnWidth + 8;
      return b;
    };
    add("Normal", 60);
    TCtToolButton* hot = add("Hot", 60);
    PendingStates().push_back([hot] { hot->Perform(CM_MOUSEENTER); });
    TCtToolButton* down = add("Stayed down", 90);
    down->SetGroupIndex(static_cast<int>(style) + 1);  // one group a row
    down->SetDown(true);
    add("Disabled", 70)->SetEnabled(false);
    TCtToolButton* drop = add("Drop-down", 80);
    drop->SetToolStyle(tsDropDown);
    drop->SetDropDownMenu(menu);
    TCtToolButton* dropHot = add("Drop-down, hot", 110);
    dropHot->SetToolStyle(tsDropDown);
    dropHot->SetDropDownMenu(menu);
    PendingStates().push_back([dropHot] { dropHot->Perform(CM_MOUSEENTER); });
    TCtToolButton* caption = add("With caption", 129, 121);
    caption->SetCaption("Create Folder");
    caption->SetShowCaption(true);
    TCtToolButton* captionHot = add("Caption, hot", 100, 92);
    captionHot->SetCaption("&Delete");
    captionHot->SetShowCaption(true);
    captionHot->SetImageIndex(2);
    captionHot->SetDisabledIndex(3);
    PendingStates().push_back([captionHot] { captionHot->Perform(CM_MOUSEENTER); });
    if (style == vsClassic) {
      TCtToolButton* raised = add("Not flat", 60);
      raised->SetFlat(false);
    }
    y += 34;
  }
  return y;
}

}  // namespace

void AddGlyphSheet(TWinControl* parent) {
  int top = kMargin;
  top = AddCheckBoxRows(parent, top);
  top = AddBitBtnRows(parent, top);
  AddToolButtonRows(parent, top + 20);
}

void ShowGlyphSheetStates() {
  for (const auto& show : PendingStates()) show();
  PendingStates().clear();
}

}  // namespace qelo::ct::sheet
