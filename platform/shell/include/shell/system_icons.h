// The system image lists: the icons of the namespace's items at 16 and 32
// pixels, drawn by this layer (folders, drives by kind, special folders,
// files by the kind their extension names) with the share overlay as
// overlay 1 and the link overlay as overlay 2. The two lists are made on
// first use and live as long as the process: their users never destroy them.
#pragma once

#include <string_view>

#include "win/controls/lists/imagelist.h"

namespace qelo::shell {

// Indexes of the icons in both lists.
enum SystemIcon : int {
  kIconFile,
  kIconFolder,
  kIconFolderOpen,
  kIconComputer,
  kIconHome,
  kIconDesktop,
  kIconDriveFixed,
  kIconDriveRemovable,
  kIconDriveRemote,
  kIconDriveOptical,
  kIconDriveRam,
  kIconVideo,
  kIconAudio,
  kIconImage,
  kIconText,
  kIconArchive,
  kIconShareOverlay,
  kIconLinkOverlay,
  kSystemIconCount
};

constexpr int kShareOverlay = 1;
constexpr int kLinkOverlay = 2;

// The list of 16-pixel (small) or 32-pixel icons.
win::HIMAGELIST SystemImageList(bool small);

// The icon of a file by the content type its name's extension stands for.
int FileIconIndex(std::string_view fileName);

// One icon drawn anew into a bitmap of its own (the caller deletes it);
// null for an index outside the lists.
win::HBITMAP DrawSystemIcon(int index, int size);

// The shell's own images by resource number, as programs load the overlay
// pictures: 29 the share overlay, 30 the link overlay. Null for others.
constexpr int kShellShareOverlayResource = 29;
constexpr int kShellLinkOverlayResource = 30;
win::HBITMAP LoadShellImage(int resourceId, int size);

}  // namespace qelo::shell
