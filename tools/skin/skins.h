// What the skin generator draws, by where it goes. Each writes its files
// into the folder given and says whether all were written.
#pragma once

#include <string>

namespace qelo::skin {

// Skin/UI/Image beside the program: the windows' skins, the logo, the
// caption-button bitmaps and the image buttons' pictures.
bool WriteWindowSkins(const std::string& folder);
// Skin/Control beside the program: the file list's pictures.
bool WriteListPictures(const std::string& folder);
// The drop-down's own pictures, carried as resources of type "pngtype".
bool WriteDropDownPictures(const std::string& folder);
// Pictures the program's forms name: the seek bar's six ("seektrack",
// "seekbg", "seekstart", "seekend", "seekclip", "seekclipbg") and the faces
// of the bitmap buttons ("<control>Up", "<control>Hot", "<control>Disabled").
bool WriteSeekBarPictures(const std::string& folder);
bool WriteButtonFaces(const std::string& folder);
// The program's icon for the desktop, in the layout of an icon theme:
// "<size>x<size>/apps/clipshift.png" under the folder, at each size below.
inline constexpr int kAppIconSizes[] = {16, 32, 48, 64, 128, 256};
inline constexpr const char* kAppIconName = "clipshift";
bool WriteAppIcons(const std::string& folder);
// The folder dialog's tool-button pictures ("newfolder", "delete" and
// their "-disabled" forms).
bool WriteFolderDialogPictures(const std::string& folder);
// The stock pictures of the push button with a glyph, one per kind ("ok",
// "cancel", "help", "yes", "no", "close", "abort", "retry", "ignore",
// "all"): two 18 by 18 cells each, the picture and its greyed form.
bool WriteKindGlyphs(const std::string& folder);

}  // namespace qelo::skin
