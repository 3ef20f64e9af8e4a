// Build-time tool: draws the program's skin and the pictures of its controls
// and forms.
//
//   qelo_make_skin windows FOLDER    the windows' skins (Skin/UI/Image)
//   qelo_make_skin list FOLDER       the file list's pictures (Skin/Control)
//   qelo_make_skin dropdown FOLDER   the drop-down's pictures (resources)
//   qelo_make_skin seekbar FOLDER    the seek bar's pictures (resources)
//   qelo_make_skin faces FOLDER      the bitmap buttons' faces (resources)
//   qelo_make_skin folderdialog FOLDER  the folder dialog's pictures (resources)
//   qelo_make_skin kindglyphs FOLDER    the push buttons' stock pictures (resources)
//   qelo_make_skin icons FOLDER      the program's icon at every size (an icon theme's folders)
//
// The folder must exist. Everything is drawn here, flat, from the palette
// and the main window's layout table.
#include <cstdio>
#include <cstring>

#include "skins.h"

int main(int argc, char** argv) {
  using namespace qelo::skin;
  struct Mode {
    const char* name;
    bool (*write)(const std::string&);
  };
  static constexpr Mode kModes[] = {{"windows", WriteWindowSkins},
                                    {"list", WriteListPictures},
                                    {"dropdown", WriteDropDownPictures},
                                    {"seekbar", WriteSeekBarPictures},
                                    {"faces", WriteButtonFaces},
                                    {"folderdialog", WriteFolderDialogPictures},
                                    {"kindglyphs", WriteKindGlyphs},
                                    {"icons", WriteAppIcons}};
  if (argc == 3) {
    for (const Mode& mode : kModes) {
      if (std::strcmp(argv[1], mode.name) != 0) continue;
      if (mode.write(argv[2])) return 0;
      std::fprintf(stderr, "%s: cannot write every picture into %s\n", argv[0], argv[2]);
      return 1;
    }
  }
  std::fprintf(stderr, "usage: %s windows|list|dropdown|seekbar|faces|folderdialog|kindglyphs|icons FOLDER\n", argv[0]);
  return 2;
}
