// Shows the edit window for a media file, as the program opens it, and saves
// each of its pages as a PNG file, with something set on each (a crop, two
// effects, a white text watermark, a trim), then closes it. What is set
// stays, so from the Watermark page on the output pane shows the crop, the
// text and the effects together, as the engine draws them: the inverted
// picture with the text inverted too. For CI's screenshots on a virtual
// display:
//
//   qelo_edit_window_screenshot --media FILE --screenshot-prefix PREFIX
//
// writes PREFIX-crop.png, PREFIX-effect.png, PREFIX-watermark.png and
// PREFIX-trim.png. Exits with 0, or 2 when a picture was not saved.
#include <cstdio>
#include <cstring>
#include <string>

#include "edit_window.h"
#include "qelo/codecs.h"
#include "qelo/convertor.h"
#include "qelo/player_exports.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/scripting.h"
#include "win/codepage.h"
#include "win/window/display.h"

using namespace qelo;

namespace {

// A one-file job of the media file, as the main window makes it.
bool AddFile(app::TWorkGroupClassArray& jobs, const std::string& media) {
  MediaInfo* info = nullptr;
  QeloMallocFileFormatInfo(&info);
  const int handle = QeloLoadMediaFile(win::Utf8ToUtf16(media).c_str(), info);
  bool added = false;
  if (handle >= 0) {
    QeloUnloadMediaFile(handle);
    app::TWorkGroupClass* job = jobs.AddJob();
    job->GetFormatSettings().width = 640;
    job->GetFormatSettings().height = 480;
    added = job->AddSourceEntry(media, info);
  }
  QeloFreeFileFormatInfo(info);
  return added;
}

void Choose(vcl::TListBox& list, const char* item) { list.SetItemIndex(list.Items()->IndexOf(item)); }

// What each page shows set.
void SetUpPage(app::TfrmEditVideo& w, app::TEditPage page) {
  using vcl::script::Click;
  w.ShowPage(page);
  switch (page) {
    case app::epCrop:
      w.edCropLeft->SetText("40");
      w.edCropTop->SetText("30");
      w.edCropWidth->SetText("240");
      w.edCropExit(w.edCropWidth);
      w.edCropHeight->SetText("180");
      w.edCropExit(w.edCropHeight);
      break;
    case app::epEffect:
      Choose(*w.lbEffects, "Invert");
      Click(*w.btnEffectAdd);
      Choose(*w.lbEffects, "Contrast");
      Click(*w.btnEffectAdd);
      w.tbParam1->SetPosition(70);
      break;
    case app::epWatermark:
      w.cbWmKind->SetItemIndex(app::wcText);
      w.cbWmKindChange(w.cbWmKind);
      w.edWmText->SetText("Clipshift");
      w.tbWmSize->SetPosition(28 - 6);
      break;
    case app::epTrim:
      w.edTrimStart->SetText("1.5");
      w.edTrimExit(w.edTrimStart);
      w.edTrimEnd->SetText("4");
      w.edTrimExit(w.edTrimEnd);
      break;
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string media, prefix;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--media") == 0) media = argv[i + 1];
    if (std::strcmp(argv[i], "--screenshot-prefix") == 0) prefix = argv[i + 1];
  }
  if (media.empty() || prefix.empty()) {
    std::fprintf(stderr, "usage: %s --media FILE --screenshot-prefix PREFIX\n", argv[0]);
    return 2;
  }
  std::printf("display: %s\n", win::DisplayName());
  vcl::Application()->Initialize();
  app::RegisterEditWindowClasses();
  InitializeQeloPlayer(nullptr);
  InitializeVideoConvertor(nullptr);
  int status = 0;
  {
    app::TWorkGroupClassArray jobs;
    if (!AddFile(jobs, media)) {
      std::fprintf(stderr, "cannot open %s\n", media.c_str());
      DeInitializeVideoConvertor();
      DeInitializeQeloPlayer();
      return 2;
    }
    auto* window = new app::TfrmEditVideo(vcl::Application());
    window->Load(*jobs.JobAt(0), 0, app::epCrop);
    window->Show();
    vcl::script::PumpUntil([&] { return window->FramesShown() > 0; }, 10000);
    struct Page {
      app::TEditPage page;
      const char* name;
    } const pages[] = {{app::epCrop, "crop"}, {app::epEffect, "effect"}, {app::epWatermark, "watermark"},
                       {app::epTrim, "trim"}};
    for (const Page& page : pages) {
      SetUpPage(*window, page.page);
      // The preview takes the changes on its own thread.
      const int shown = window->FramesShown();
      vcl::script::PumpUntil([&] { return window->FramesShown() > shown; }, 2000);
      vcl::script::PumpUntil([] { return false; }, 300);
      const std::string path = prefix + "-" + page.name + ".png";
      if (!win::SaveWindowScreenshot(window->Handle(), path)) {
        std::fprintf(stderr, "could not save %s\n", path.c_str());
        status = 2;
      }
    }
    window->Free();
  }
  DeInitializeVideoConvertor();
  DeInitializeQeloPlayer();
  return status;
}
