// The six pictures the file list's rows are drawn with, files under the
// program's folder (Skin/Control/). They are read once, when the window is
// made, not at every paint; a picture that is missing or cannot be read is
// written to the log and its place stays empty.
#pragma once

#include <string>

#include "vcl/graphics/png_image.h"

namespace qelo::app {

struct TListImages {
  vcl::TPngImage checked;
  vcl::TPngImage unchecked;
  vcl::TPngImage video;
  vcl::TPngImage group;
  vcl::TPngImage merge;
  vcl::TPngImage down;

  // Reads the pictures from `folder` + "Skin/Control/".
  void Load(const std::string& programFolder);
};

}  // namespace qelo::app
