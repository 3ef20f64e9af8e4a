// The control library's sheet: one form showing the library's painters
// and controls in their styles and states, each labelled. With
// --screenshot PATH it saves the form as a PNG once it is painted and
// ends; otherwise it runs until closed.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "bmpbtn_sheet.h"
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
    using namespace qelo::ct::sheet;
    const int width = TPainterSheet::SectionsWidth();
    const int paintersHeight = TPainterSheet::SectionsHeight();
    const int height = paintersHeight + kListViewSheetHeight + kBmpButtonSheetHeight;
    Application()->Initialize();
    TForm* form = nullptr;
    Application()->CreateForm(form);
    // Without a display the screen is made large enough for the whole sheet
    // (a form is kept within the screen).
    qelo::win::SetHeadlessScreenSize(qelo::win::SIZE{std::max(1280, width + 16), std::max(1024, height + 64)});
    form->SetCaption("Clipshift control library");
    form->SetColor(clBtnFace);
    form->SetClientWidth(width);
    form->SetClientHeight(height);
    auto* painters = new TPainterSheet(form);
    painters->SetParent(form);
    painters->SetBounds(0, 0, width, paintersHeight);
    int top = paintersHeight;
    AddListViewSheet(form, top, width);
    top += kListViewSheetHeight;
    AddBmpButtonSheet(form, top, width);
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
