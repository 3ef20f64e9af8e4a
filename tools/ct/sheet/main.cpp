// The control library's sheet: one form showing the library's painters
// and controls in their styles and states, each labelled. With
// --screenshot PATH it saves the form as a PNG once it is painted and
// ends; otherwise it runs until closed. --page glyph shows the glyph
// buttons' page (check boxes, push buttons with pictures, tool buttons)
// instead, --page dock the docking page (panels as dock sites).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "bars_sheet.h"
#include "bmpbtn_sheet.h"
#include "button_sheet.h"
#include "combo_sheet.h"
#include "dock_sheet.h"
#include "glyph_sheet.h"
#include "label_sheet.h"
#include "listview_sheet.h"
#include "painter_sheet.h"
#include "panel_sheet.h"
#include "tree_edit_sheet.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/scripting.h"
#include "win/window/display.h"

using namespace qelo::vcl;

namespace {

// The right edge of the rightmost of the form's controls from `first` on.
int RightmostEdge(const TWinControl& form, int first) {
  int right = 0;
  for (int i = first; i < form.ControlCount(); ++i)
    right = std::max(right, form.Controls(i)->Left() + form.Controls(i)->Width());
  return right;
}

// The form as the screen shows it, with the open drop-down list over it.
bool SaveSheet(TForm& form, const std::string& path) {
  qelo::win::HBITMAP picture = qelo::win::ComposeWindow(form.Handle());
  if (!picture) return false;
  qelo::ct::sheet::PaintOpenComboList(picture, form.Handle());
  const bool saved = qelo::win::SaveBitmapToPng(picture, path) != 0;
  qelo::win::DeleteObject(picture);
  return saved;
}

void BuildGlyphPage(TForm& form) {
  form.SetCaption("Clipshift control library: glyph buttons");
  form.SetClientWidth(qelo::ct::sheet::kGlyphSheetWidth);
  form.SetClientHeight(qelo::ct::sheet::kGlyphSheetHeight);
  qelo::ct::sheet::AddGlyphSheet(&form);
}

void BuildDockPage(TForm& form) {
  form.SetCaption("Clipshift control library: docking");
  form.SetClientWidth(qelo::ct::sheet::kDockSheetWidth);
  form.SetClientHeight(qelo::ct::sheet::kDockSheetHeight);
  qelo::ct::sheet::AddDockSheet(&form);
}

void BuildMainPage(TForm* form) {
  const int width = qelo::ct::sheet::TPainterSheet::SectionsWidth();
  const int paintersHeight = qelo::ct::sheet::TPainterSheet::SectionsHeight();
  const int listsBottom = paintersHeight + qelo::ct::sheet::kListViewSheetHeight;
  const int buttonsBottom =
      listsBottom + std::max(qelo::ct::sheet::kButtonSheetHeight, qelo::ct::sheet::kComboBoxSheetHeight);
  const int labelsTop = buttonsBottom + qelo::ct::sheet::kBmpButtonSheetHeight;
  const int panelsTop = labelsTop + qelo::ct::sheet::kLabelSheetHeight;
  const int treesTop = panelsTop + qelo::ct::sheet::kPanelSheetHeight;
  const int barsTop = treesTop + qelo::ct::sheet::kTreeEditSheetHeight;
  const int height = barsTop + qelo::ct::sheet::kBarsSheetHeight;
  // Without a display the screen is made large enough for the whole sheet
  // (a form is kept within the screen).
  qelo::win::SetHeadlessScreenSize(qelo::win::SIZE{std::max(1280, width + 16), std::max(1024, height + 64)});
  form->SetClientWidth(width);
  form->SetClientHeight(height);
  auto* painters = new qelo::ct::sheet::TPainterSheet(form);
  painters->SetParent(form);
  painters->SetBounds(0, 0, width, paintersHeight);
  qelo::ct::sheet::AddListViewSheet(form, paintersHeight, width);
  const int firstButton = form->ControlCount();
  qelo::ct::sheet::AddButtonSheet(form, listsBottom);
  // The combo boxes share the buttons' band, to their right.
  const int buttonsRight = RightmostEdge(*form, firstButton);
  qelo::ct::sheet::AddComboBoxSheet(
      form, Rect(buttonsRight + 24, listsBottom, width - 12, listsBottom + qelo::ct::sheet::kComboBoxSheetHeight));
  qelo::ct::sheet::AddBmpButtonSheet(form, buttonsBottom, width);
  qelo::ct::sheet::AddLabelSheet(form, labelsTop, width);
  qelo::ct::sheet::AddPanelSheet(form, panelsTop, width);
  qelo::ct::sheet::AddTreeEditSheet(form, treesTop);
  qelo::ct::sheet::AddBarsSheet(form, barsTop, width);
}

}  // namespace

int main(int argc, char** argv) {
  std::string screenshot, page;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--screenshot") == 0) screenshot = argv[i + 1];
    if (std::strcmp(argv[i], "--page") == 0) page = argv[i + 1];
  }
  try {
    Application()->Initialize();
    TForm* form = nullptr;
    Application()->CreateForm(form);
    form->SetCaption("Clipshift control library");
    form->SetColor(clBtnFace);
    const bool glyphPage = page == "glyph", dockPage = page == "dock";
    if (glyphPage) BuildGlyphPage(*form);
    else if (dockPage) BuildDockPage(*form);
    else BuildMainPage(form);
    form->Show();
    if (glyphPage) qelo::ct::sheet::ShowGlyphSheetStates();
    else if (dockPage) qelo::ct::sheet::ShowDockSheetStates();
    else qelo::ct::sheet::ActivateComboBoxSheet();
    if (!screenshot.empty()) {
      script::Pump();
      if (!SaveSheet(*form, screenshot)) {
        std::fprintf(stderr, "could not save %s\n", screenshot.c_str());
        return 1;
      }
      Application()->DestroyComponents();
      return 0;
    }
    Application()->Run();
    Application()->DestroyComponents();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ct sheet: %s\n", e.what());
    return 1;
  }
  return 0;
}
