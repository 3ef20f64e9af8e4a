// Speed of the shell stand-in: listing a folder of 10,000 files with the
// display name, attributes and small icon index of each (what a shell list
// asks per item); the delay from a file created in a watched folder to the
// watch being signalled, and to the change thread's message reaching the
// control's window.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "ct_shell_ctrls_change.h"
#include "shell/change_notify.h"
#include "shell/file_info.h"
#include "shell/namespace.h"

namespace {

using namespace qelo::shell;
namespace win = qelo::win;

constexpr int kFiles = 10000;
// The attributes a shell list asks of every item.
constexpr ULONG kListAttributes = 0x704F0037;

// A private folder removed at the end of the program.
class BenchFolder {
 public:
  BenchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qelo-bench-XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~BenchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

const std::string& TenThousandFiles() {
  static BenchFolder folder;
  static bool made = [] {
    for (int i = 0; i < kFiles; ++i) {
      const char* extension = i % 3 == 0 ? ".mp4" : i % 3 == 1 ? ".mp3" : ".txt";
      std::ofstream(folder.path() + "/clip " + std::to_string(i) + extension) << "x";
    }
    return true;
  }();
  (void)made;
  return folder.path();
}

void BM_ListFolderWithNamesAttributesAndIcons(benchmark::State& state) {
  const std::string& path = TenThousandFiles();
  ComPtr<IShellFolder> desktop;
  SHGetDesktopFolder(desktop.Put());
  IdListPtr folderList;
  SHParsePath(path, folderList.Put());
  for (auto _ : state) {
    ComPtr<IShellFolder> folder;
    desktop->BindToObject(folderList.Get(), nullptr, IID_IShellFolder, folder.PutVoid());
    ComPtr<IEnumIDList> items;
    folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items.Put());
    int count = 0;
    LPITEMIDLIST item = nullptr;
    while (items->Next(1, &item, nullptr) == S_OK) {
      IdListPtr owned(item);
      STRRET name;
      folder->GetDisplayNameOf(item, SHGDN_NORMAL, &name);
      benchmark::DoNotOptimize(TakeStrRet(&name, item));
      LPCITEMIDLIST one[] = {item};
      ULONG attributes = kListAttributes;
      folder->GetAttributesOf(1, one, &attributes);
      IdListPtr absolute(ILCombine(folderList.Get(), item));
      SHFILEINFO info;
      SHGetFileInfo(absolute.Get(), 0, &info, SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
      benchmark::DoNotOptimize(info.iIcon);
      ++count;
    }
    if (count != kFiles) state.SkipWithError("not every file was listed");
  }
  state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_ListFolderWithNamesAttributesAndIcons)->Unit(benchmark::kMillisecond);

void BM_ChangeSignalDelay(benchmark::State& state) {
  BenchFolder folder;
  HANDLE watch = FindFirstChangeNotification(folder.path(), 0, FILE_NOTIFY_CHANGE_FILE_NAME);
  int n = 0;
  for (auto _ : state) {
    std::string file = folder.path() + "/new " + std::to_string(n++);
    auto start = std::chrono::steady_clock::now();
    std::ofstream(file) << "x";
    if (WaitForSingleObject(watch, 5000) != WAIT_OBJECT_0) state.SkipWithError("no change seen");
    auto seen = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(seen - start).count());
    FindNextChangeNotification(watch);
  }
  FindCloseChangeNotification(watch);
}
BENCHMARK(BM_ChangeSignalDelay)->UseManualTime()->Unit(benchmark::kMicrosecond);

win::LRESULT ChangeOwnerProc(win::HWND window, win::UINT message, win::WPARAM w, win::LPARAM l) {
  return win::DefWindowProc(window, message, w, l);
}

void BM_ChangeMessageDelay(benchmark::State& state) {
  setenv("QELO_HEADLESS", "1", 0);
  BenchFolder folder;
  win::WNDCLASS c;
  c.lpfnWndProc = ChangeOwnerProc;
  c.lpszClassName = "ShellBenchOwner";
  win::RegisterClass(c);
  win::HWND window = win::CreateWindowEx(0, "ShellBenchOwner", "", win::WS_POPUP, 0, 0, 1, 1, nullptr, nullptr);
  qelo::ct::TChangeHandlerThread thread(window, qelo::ct::WM_SHELLCHANGED);
  int slot = -1;
  thread.AddWatch(folder.path(), FILE_NOTIFY_CHANGE_FILE_NAME, &slot, false);
  int n = 0;
  for (auto _ : state) {
    std::string file = folder.path() + "/new " + std::to_string(n++);
    auto start = std::chrono::steady_clock::now();
    std::ofstream(file) << "x";
    win::MSG m;
    bool seen = false;
    while (!seen && win::GetMessage(&m, window, 0, 0) > 0) seen = m.message == qelo::ct::WM_SHELLCHANGED;
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  win::DestroyWindow(window);
}
BENCHMARK(BM_ChangeMessageDelay)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
