// The mounted volumes that stand for the platform's drives: the root file
// system ("/", always there and fixed) and every mount that the desktop
// shows to the user (removable media, network shares, extra disks), read
// through GIO's mount table. A volume's root plays the part of a drive root;
// the drive kind comes from what GIO and the file-system type say.
//
// Device arrival and removal reach windows as WM_DEVICECHANGE: a monitor
// thread watches the system's mount table while any window is registered.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "win/window/window.h"

namespace qelo::shell {

// Drive kinds, numbered as GetDriveType answers them.
enum DriveType : unsigned {
  DRIVE_UNKNOWN = 0,
  DRIVE_NO_ROOT_DIR = 1,
  DRIVE_REMOVABLE = 2,
  DRIVE_FIXED = 3,
  DRIVE_REMOTE = 4,
  DRIVE_CDROM = 5,
  DRIVE_RAMDISK = 6,
};

struct Volume {
  std::string root;   // absolute, no trailing slash except for "/"
  std::string label;  // what the user sees
  DriveType type = DRIVE_FIXED;
};

// "/" first, then the others ordered by root.
std::vector<Volume> MountedVolumes();
// The volume whose root is the longest that holds the absolute path.
Volume VolumeOf(const std::string& absolutePath);
// The kind of the volume with exactly that root; DRIVE_NO_ROOT_DIR when no
// volume has it.
DriveType GetDriveType(const std::string& root);

// Tests give the volume list themselves (an empty function restores the
// mount table). "/" is added when the list lacks it.
void SetVolumeSourceForTesting(std::function<std::vector<Volume>()> source);

constexpr win::UINT WM_DEVICECHANGE = 0x0219;
constexpr win::WPARAM DBT_DEVICEARRIVAL = 0x8000;
constexpr win::WPARAM DBT_DEVICEREMOVECOMPLETE = 0x8004;

// Windows registered here get WM_DEVICECHANGE posted (lParam 0) once for
// every volume that appears or goes. The monitor thread runs while at least
// one window is registered.
void RegisterDeviceChangeWindow(win::HWND window);
void UnregisterDeviceChangeWindow(win::HWND window);
// How many windows are registered now (for tests).
int DeviceChangeWindowCount();
// Compares the volumes with those of the last check and posts the changes
// (the monitor thread calls it when the mount table changes; tests call it
// after changing their volume source).
void CheckVolumeChanges();

}  // namespace qelo::shell
