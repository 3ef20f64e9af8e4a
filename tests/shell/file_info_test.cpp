// Icons, type names and attributes for showing items; shell links over
// symbolic links; the version facts; device changes as window messages.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>

#include "fd_count.h"
#include "shell/file_info.h"
#include "shell/namespace.h"
#include "shell/shell_link.h"
#include "shell/special_folders.h"
#include "shell/system_icons.h"
#include "shell/version.h"
#include "shell/volumes.h"
#include "shell_fixture.h"
#include "win/gdi/gdi.h"

namespace qelo::shell {
namespace {

using test::MakeDir;
using test::WriteFile;

class FileInfo : public ::testing::Test {
 protected:
  void SetUp() override {
    stick_ = home.Path("stick");
    MakeDir(stick_);
    std::string stick = stick_;
    SetVolumeSourceForTesting([stick] { return std::vector<Volume>{{stick, "STICK", DRIVE_REMOVABLE}}; });
  }
  void TearDown() override { SetVolumeSourceForTesting({}); }

  int IconOf(const std::string& path, UINT extra = SHGFI_SMALLICON) {
    SHFILEINFO info;
    info.iIcon = -1;
    uintptr_t list = SHGetFileInfo(path, 0, &info, SHGFI_SYSICONINDEX | extra);
    EXPECT_EQ(list, reinterpret_cast<uintptr_t>(SystemImageList((extra & SHGFI_SMALLICON) != 0))) << path;
    return info.iIcon;
  }
  int IconOfList(LPCITEMIDLIST list) {
    SHFILEINFO info;
    SHGetFileInfo(list, 0, &info, SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    return info.iIcon;
  }

  test::FakeHome home;
  std::string stick_;
};

TEST_F(FileInfo, EachKindOfItemHasItsIcon) {
  MakeDir(home.Path("folder"));
  struct Case {
    const char* name;
    int icon;
  };
  const Case files[] = {{"film.mp4", kIconVideo},  {"FILM.MKV", kIconVideo}, {"song.mp3", kIconAudio},
                        {"photo.png", kIconImage}, {"notes.txt", kIconText}, {"bundle.zip", kIconArchive},
                        {"strange.qqqz", kIconFile}, {"noextension", kIconFile}};
  for (const Case& c : files) {
    WriteFile(home.Path(c.name), "x");
    EXPECT_EQ(IconOf(home.Path(c.name)), c.icon) << c.name;
  }
  EXPECT_EQ(IconOf(home.Path("folder")), kIconFolder);
  EXPECT_EQ(IconOf(home.Path("folder"), SHGFI_SMALLICON | SHGFI_OPENICON), kIconFolderOpen);
  EXPECT_EQ(IconOf(home.Path("folder"), SHGFI_LARGEICON), kIconFolder);
  EXPECT_EQ(IconOf(stick_), kIconDriveRemovable);
  EXPECT_EQ(IconOf("/"), kIconDriveFixed);

  IdListPtr computer, profile, desktop;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, computer.Put()), S_OK);
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_PROFILE, profile.Put()), S_OK);
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, desktop.Put()), S_OK);
  EXPECT_EQ(IconOfList(computer.Get()), kIconComputer);
  EXPECT_EQ(IconOfList(profile.Get()), kIconHome);
  EXPECT_EQ(IconOfList(desktop.Get()), kIconDesktop);
  EXPECT_EQ(IconOfList(nullptr), kIconDesktop);  // null is the desktop's empty list
}

TEST_F(FileInfo, NamesTypesAndAttributes) {
  MakeDir(home.Path("Clips"));
  WriteFile(home.Path("Clips/a.txt"), "x");
  SHFILEINFO info;
  ASSERT_NE(SHGetFileInfo(home.Path("Clips"), 0, &info, SHGFI_DISPLAYNAME | SHGFI_TYPENAME | SHGFI_ATTRIBUTES), 0u);
  EXPECT_EQ(info.szDisplayName, "Clips");
  EXPECT_EQ(info.szTypeName, "Folder");
  EXPECT_TRUE(info.dwAttributes & SFGAO_FOLDER);
  info.dwAttributes = SFGAO_FOLDER | SFGAO_STREAM;
  ASSERT_NE(SHGetFileInfo(home.Path("Clips/a.txt"), 0, &info, SHGFI_ATTRIBUTES | SHGFI_ATTR_SPECIFIED | SHGFI_TYPENAME), 0u);
  EXPECT_EQ(info.dwAttributes, SFGAO_STREAM);
  EXPECT_FALSE(info.szTypeName.empty());
  EXPECT_NE(info.szTypeName, "Folder");
  EXPECT_EQ(SHGetFileInfo(home.Path("missing"), 0, &info, SHGFI_TYPENAME), 0u);
}

TEST_F(FileInfo, FileAttributesNeedNoFile) {
  SHFILEINFO info;
  EXPECT_EQ(SHGetFileInfo("", 0, &info, SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON),
            reinterpret_cast<uintptr_t>(SystemImageList(true)));
  EXPECT_EQ(info.iIcon, kIconFile);
  SHGetFileInfo("/nowhere/clip.avi", 0, &info, SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES);
  EXPECT_EQ(info.iIcon, kIconVideo);
  SHGetFileInfo("/nowhere/dir", FILE_ATTRIBUTE_DIRECTORY, &info, SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES);
  EXPECT_EQ(info.iIcon, kIconFolder);
}

// A colour bitmap selected into a memory context (a bitmap "compatible"
// with a fresh memory context would be monochrome).
win::HBITMAP ColourBitmap(int width, int height) {
  win::BITMAPINFOHEADER info;
  info.biWidth = width;
  info.biHeight = -height;
  void* bits = nullptr;
  return win::CreateDIBSection(nullptr, &info, win::DIB_RGB_COLORS, &bits);
}

win::COLORREF PixelAt(win::HIMAGELIST list, int index, UINT style, int x, int y) {
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  win::HBITMAP bitmap = ColourBitmap(32, 32);
  win::HGDIOBJ old = win::SelectObject(dc, bitmap);
  win::RECT all{0, 0, 32, 32};
  win::HBRUSH white = win::CreateSolidBrush(win::RGB(255, 255, 255));
  win::FillRect(dc, &all, white);
  win::ImageList_Draw(list, index, dc, 0, 0, style);
  win::COLORREF pixel = win::GetPixel(dc, x, y);
  win::SelectObject(dc, old);
  win::DeleteObject(white);
  win::DeleteObject(bitmap);
  win::DeleteDC(dc);
  return pixel;
}

TEST(SystemImageLists, HoldEveryIconAtBothSizesWithTheOverlays) {
  for (bool small : {true, false}) {
    win::HIMAGELIST list = SystemImageList(small);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(SystemImageList(small), list);
    EXPECT_EQ(win::ImageList_GetImageCount(list), kSystemIconCount);
    int cx = 0, cy = 0;
    win::ImageList_GetIconSize(list, &cx, &cy);
    EXPECT_EQ(cx, small ? 16 : 32);
    EXPECT_EQ(cy, cx);
    // The overlays mark the lower left of the icon they are drawn over.
    int scale = small ? 1 : 2;
    EXPECT_NE(PixelAt(list, kIconFolder, win::ILD_NORMAL, 3 * scale, 13 * scale),
              PixelAt(list, kIconFolder, win::ILD_NORMAL | win::INDEXTOOVERLAYMASK(kLinkOverlay), 3 * scale, 13 * scale));
    EXPECT_NE(PixelAt(list, kIconFile, win::ILD_NORMAL, 3 * scale, 11 * scale),
              PixelAt(list, kIconFile, win::ILD_NORMAL | win::INDEXTOOVERLAYMASK(kShareOverlay), 3 * scale, 11 * scale));
  }
}

TEST(SystemImageLists, SheetForTheEye) {
  constexpr int kGap = 6, kWidth = kSystemIconCount * (32 + kGap) + kGap, kHeight = 16 + 32 + 3 * kGap;
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  win::HBITMAP sheet = ColourBitmap(kWidth, kHeight);
  win::HGDIOBJ old = win::SelectObject(dc, sheet);
  win::RECT all{0, 0, kWidth, kHeight};
  win::HBRUSH white = win::CreateSolidBrush(win::RGB(255, 255, 255));
  win::FillRect(dc, &all, white);
  for (int i = 0; i < kSystemIconCount; ++i) {
    int x = kGap + i * (32 + kGap);
    win::ImageList_Draw(SystemImageList(true), i, dc, x, kGap, win::ILD_TRANSPARENT);
    win::ImageList_Draw(SystemImageList(false), i, dc, x, 16 + 2 * kGap, win::ILD_TRANSPARENT);
  }
  win::SelectObject(dc, old);
  std::string dir = QELO_SCREENSHOT_DIR;
  std::filesystem::create_directories(dir);
  EXPECT_TRUE(win::SaveBitmapToPng(sheet, dir + "/shell-icons.png"));
  win::DeleteObject(white);
  win::DeleteObject(sheet);
  win::DeleteDC(dc);
}

TEST(ShellLinks, SymbolicLinksReadAsLinks) {
  test::FakeHome home;
  std::string longFolder = home.Path(std::string(200, 'd'));
  MakeDir(longFolder);
  MakeDir(longFolder + "/" + std::string(120, 't'));
  std::string target = longFolder + "/" + std::string(120, 't');  // longer than 260 characters
  test::MakeSymlink(target, home.Path("to folder"));
  test::MakeSymlink(std::string(200, 'd') + "/" + std::string(120, 't'), home.Path("relative"));
  test::MakeSymlink(home.Path("nothing"), home.Path("broken"));
  WriteFile(home.Path("plain"), "x");

  auto read = [](const std::string& path, std::string* out, WIN32_FIND_DATA* data) {
    ComPtr<IShellLink> link;
    ComPtr<IPersistFile> file;
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLink, link.PutVoid()), S_OK);
    EXPECT_EQ(link.As(IID_IPersistFile, &file), S_OK);
    HRESULT hr = file->Load(path, 0);
    if (FAILED(hr)) return hr;
    if (HRESULT resolved = link->Resolve(nullptr, SLR_NO_UI); FAILED(resolved)) return resolved;
    return link->GetPath(out, data, 0);
  };
  std::string path;
  WIN32_FIND_DATA data;
  EXPECT_EQ(read(home.Path("to folder"), &path, &data), S_OK);
  EXPECT_EQ(path, target);
  EXPECT_EQ(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(data.cFileName, std::string(120, 't'));
  EXPECT_EQ(read(home.Path("relative"), &path, &data), S_OK);
  EXPECT_EQ(path, target);
  EXPECT_EQ(read(home.Path("broken"), &path, &data), HRESULT_FROM_WIN32(2));
  EXPECT_EQ(read(home.Path("plain"), &path, &data), E_FAIL);
  EXPECT_TRUE(FAILED(read(home.Path("missing"), &path, &data)));

  ComPtr<IShellLink> link;
  EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, 0, IID_IShellLink, link.PutVoid()), S_OK);
  ComPtr<IUnknown> other;
  EXPECT_EQ(CoCreateInstance(IID{"SomethingElse"}, nullptr, 0, IID_IUnknown, other.PutVoid()),
            CLASS_E_CLASSNOTAVAILABLE);
}

TEST(ShellVersion, ReportsSixPointZero) {
  win::DLLVERSIONINFO version;
  ASSERT_TRUE(GetShellVersion(&version));
  EXPECT_EQ(version.dwMajorVersion, 6u);
  EXPECT_EQ(version.dwMinorVersion, 0u);
  for (const char* file : {"shell32.dll", "COMCTL32.DLL"}) {
    uint32_t handle = 0;
    uint32_t size = GetFileVersionInfoSize(file, &handle);
    ASSERT_GT(size, 0u) << file;
    std::vector<unsigned char> buffer(size);
    ASSERT_TRUE(GetFileVersionInfo(file, handle, size, buffer.data()));
    void* value = nullptr;
    uint32_t length = 0;
    ASSERT_TRUE(VerQueryValue(buffer.data(), "\\", &value, &length));
    EXPECT_EQ(static_cast<VS_FIXEDFILEINFO*>(value)->dwFileVersionMS, 0x00060000u) << file;
    EXPECT_FALSE(GetFileVersionInfo(file, handle, size - 1, buffer.data()));
  }
  EXPECT_EQ(GetFileVersionInfoSize("netapi32.dll", nullptr), 0u);
}

std::vector<win::WPARAM> deviceEvents;

win::LRESULT RecordDeviceChanges(win::HWND window, win::UINT message, win::WPARAM w, win::LPARAM l) {
  if (message == WM_DEVICECHANGE) deviceEvents.push_back(w);
  return win::DefWindowProc(window, message, w, l);
}

void PumpFor(std::chrono::milliseconds span) {
  auto end = std::chrono::steady_clock::now() + span;
  do {
    win::MSG msg;
    while (win::PeekMessage(&msg, nullptr, 0, 0, win::PM_REMOVE)) win::DispatchMessage(&msg);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  } while (std::chrono::steady_clock::now() < end);
}

TEST(DeviceChanges, VolumesComingAndGoingReachRegisteredWindows) {
  win::WNDCLASS windowClass;
  windowClass.lpfnWndProc = RecordDeviceChanges;
  windowClass.lpszClassName = "ShellDeviceChangeTest";
  ASSERT_TRUE(win::RegisterClass(windowClass));
  win::HWND window = win::CreateWindowEx(0, "ShellDeviceChangeTest", "", win::WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  int descriptors = test::OpenDescriptorCount();

  // The monitor thread may read the volumes too, should the real mount table change meanwhile.
  std::mutex volumesLock;
  std::vector<Volume> volumes;
  auto setVolumes = [&](std::vector<Volume> now) {
    std::lock_guard<std::mutex> hold(volumesLock);
    volumes = std::move(now);
  };
  SetVolumeSourceForTesting([&] {
    std::lock_guard<std::mutex> hold(volumesLock);
    return volumes;
  });
  RegisterDeviceChangeWindow(window);
  setVolumes({{"/media/stick", "STICK", DRIVE_REMOVABLE}});
  CheckVolumeChanges();
  PumpFor(std::chrono::milliseconds(50));
  EXPECT_EQ(deviceEvents, (std::vector<win::WPARAM>{DBT_DEVICEARRIVAL}));
  CheckVolumeChanges();  // nothing changed: no message
  setVolumes({});
  CheckVolumeChanges();
  PumpFor(std::chrono::milliseconds(50));
  EXPECT_EQ(deviceEvents, (std::vector<win::WPARAM>{DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE}));

  UnregisterDeviceChangeWindow(window);
  setVolumes({{"/media/other", "OTHER", DRIVE_REMOVABLE}});
  CheckVolumeChanges();
  PumpFor(std::chrono::milliseconds(50));
  EXPECT_EQ(deviceEvents.size(), 2u);
  EXPECT_EQ(test::OpenDescriptorCount(), descriptors);  // the monitor thread closed what it opened
  SetVolumeSourceForTesting({});
  win::DestroyWindow(window);
}

}  // namespace
}  // namespace qelo::shell
