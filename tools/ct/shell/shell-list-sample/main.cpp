// The shell list in report view on a small folder of its own made in a
// private temporary folder: a few folders and video files of different
// sizes, sorted by name, with the first file selected. With --screenshot
// PATH it saves the window as a PNG once the list is filled and ends;
// otherwise it runs until closed.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "ct_shell_ctrls_unit.h"
#include "ct_shell_intf.h"
#include "ct_shell_ctrls_list.h"
#include "ct_shell_utils.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/scripting.h"
#include "win/window/display.h"

namespace {

using namespace qelo::vcl;
using namespace qelo::ct;

// Videos/ with a few folders and files; sizes differ so that the Size
// column shows more than one figure.
std::string MakeFolder(const std::string& root) {
  const std::string videos = root + "/Videos";
  for (const char* folder : {"Holiday 2009", "Music clips", "Recordings"})
    std::filesystem::create_directories(videos + "/" + folder);
  const struct {
    const char* name;
    std::size_t bytes;
  } files[] = {{"beach.avi", 3 * 1024 * 1024}, {"birthday party.mp4", 800 * 1024},
               {"concert.mkv", 12 * 1024}, {"notes.txt", 300}};
  for (const auto& file : files) {
    std::ofstream out(videos + "/" + file.name, std::ios::binary);
    out << std::string(file.bytes, 'x');
  }
  return videos;
}

bool SaveList(TForm& form, const std::string& path) {
  qelo::win::HBITMAP picture = qelo::win::ComposeWindow(form.Handle());
  if (!picture) return false;
  const bool saved = qelo::win::SaveBitmapToPng(picture, path) != 0;
  qelo::win::DeleteObject(picture);
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  std::string screenshot;
  for (int i = 1; i + 1 < argc; i += 2)
    if (std::strcmp(argv[i], "--screenshot") == 0) screenshot = argv[i + 1];
  char pattern[] = "/tmp/qelo-shell-list-XXXXXX";
  if (!mkdtemp(pattern)) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string root = pattern;
  int status = 0;
  try {
    Application()->Initialize();
    InitializeCtShellIntf();
    InitializeCtShellUtils();
    InitializeShellCtrls();
    RegisterCtShellListClasses();
    const std::string videos = MakeFolder(root);
    TForm* form = nullptr;
    Application()->CreateForm(form);
    form->SetCaption("Clipshift shell list: " + videos);
    form->SetClientWidth(620);
    form->SetClientHeight(240);
    auto* list = new TCtShellList(form);
    list->SetAlign(alClient);
    list->SetViewStyle(vsReport);
    list->SetParent(form);
    TCtShellLocator folder;
    folder.SetPathName(videos);
    list->SetFolder(&folder);
    form->Show();
    script::Pump();
    for (int i = 0; i < list->Items()->Count(); ++i)
      if (list->Items()->Item(i)->Caption() == "beach.avi") list->Items()->Item(i)->SetSelected(true);
    script::Pump();
    if (!screenshot.empty()) {
      if (!SaveList(*form, screenshot)) {
        std::fprintf(stderr, "could not save %s\n", screenshot.c_str());
        status = 1;
      }
    } else {
      Application()->Run();
    }
    Application()->DestroyComponents();
    FinalizeShellCtrls();
    FinalizeCtShellUtils();
    FinalizeCtShellIntf();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "shell list sample: %s\n", e.what());
    status = 1;
  }
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return status;
}
