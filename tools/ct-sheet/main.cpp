// The control library's sheet: one form showing the library's painters
// and controls in their styles and states, each labelled. With
// --screenshot PATH it saves the form as a PNG once it is painted and
// ends; otherwise it runs until closed.
#include <cstdio>
#include <cstring>
#include <string>

#include "bars_sheet.h"
#include "button_sheet.h"
#include "listview_sheet.h"
#include "painter_sheet.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/scripting.h"
#include "win/window/display.h"

using namespace qelo::vcl;

int main(int argc, char** argv) {
  std::string screenshot;
  for (int i = 1; i + 1 < argc; i += 2)
    if (std::strcmp(argv[i], "--screenshot") == 0) screenshot = argv[i + 1];
  try {
    Application()->Initialize();
    // The sheet is taller than a usual screen; without a display it gets a
    // screen that holds all of it, so that the screenshot shows every part.
    qelo::win::SetHeadlessScreenSize({1600, 2400});
    TForm* form = nullptr;
    Application()->CreateForm(form);
    form->SetCaption("Clipshift control library");
    form->SetColor(clBtnFace);
    using namespace qelo::ct::sheet;
    const int width = TPainterSheet::SectionsWidth();
    const int paintersHeight = TPainterSheet::SectionsHeight();
    form->SetClientWidth(width);
    auto* painters = new TPainterSheet(form);
    painters->SetParent(form);
    painters->SetBounds(0, 0, width, paintersHeight);
    int top = paintersHeight;
    AddListViewSheet(form, top, width);
    top += kListViewSheetHeight;
    AddButtonSheet(form, top);
    top += kButtonSheetHeight;
    AddBarsSheet(form, top, width);
    top += kBarsSheetHeight;
    form->SetClientHeight(top);
    form->Show();
    if (!screenshot.empty()) {
      script::Pump();
      if (!qelo::win::SaveWindowScreenshot(form->Handle(), screenshot)) {
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
