#include "main_window_list_images.h"

#include <exception>

#include "log_bridge.h"
#include "vcl/sysutils.h"

namespace qelo::app {

namespace {

void LoadPicture(vcl::TPngImage& picture, const std::string& path) {
  try {
    if (!vcl::FileExists(path)) throw vcl::Exception("there is no such file");
    picture.LoadFromFile(path);
  } catch (const std::exception& error) {
    WriteLog("The file list's picture \"" + path + "\" cannot be read (" + error.what() + ").", kLogWarning);
  }
}

}  // namespace

void TListImages::Load(const std::string& programFolder) {
  const std::string folder = programFolder + "Skin/Control/";
  LoadPicture(checked, folder + "checked.png");
  LoadPicture(unchecked, folder + "unchecked.png");
  LoadPicture(video, folder + "video.png");
  LoadPicture(group, folder + "group.png");
  LoadPicture(merge, folder + "merge.png");
  LoadPicture(down, folder + "down.png");
}

}  // namespace qelo::app
