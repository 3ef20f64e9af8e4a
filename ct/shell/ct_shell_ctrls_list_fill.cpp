// The shell list's filling: enumerating the folder, the filters and file
// masks, the columns and their widths, sorting, refreshing and watching
// the folder for changes.
#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>

#include "ct_shell_ctrls_unit.h"
#include "ct_shell_intf.h"
#include "ct_shell_ctrls_list.h"
#include "ct_shell_utils_lists.h"
#include "registry/registry.h"
#include "shell/change_notify.h"
#include "shell/errors.h"
#include "shell/namespace.h"
#include "shell/special_folders.h"
#include "shell/volumes.h"
#include "vcl/controls/forms.h"
#include "vcl/dialogs/message_dlg.h"
#include "vcl/sysutils.h"
#include "win/window/scrollbars.h"

namespace qelo::ct {

using namespace vcl;

namespace {

// What an item is added by: file-system, folder, file-system ancestor,
// removable, stream, hidden, share, link and ghosted.
constexpr shell::ULONG kAddAttributes = 0x724B8000;
constexpr HRESULT kNoMoreItems = static_cast<HRESULT>(0x80070103);
constexpr std::size_t kCollectStep = 500;
constexpr std::array<int, 4> kDefaultWidths{200, 60, 100, 120};
constexpr int kCharWidth = 7;
constexpr shell::DWORD kWatchFilter = shell::FILE_NOTIFY_CHANGE_FILE_NAME | shell::FILE_NOTIFY_CHANGE_DIR_NAME |
                                      shell::FILE_NOTIFY_CHANGE_ATTRIBUTES | shell::FILE_NOTIFY_CHANGE_SIZE |
                                      shell::FILE_NOTIFY_CHANGE_LAST_WRITE;

std::string UpperCased(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The masks of a ';'-separated text; empty parts are dropped.
std::vector<std::string> SplitMasks(const std::string& text) {
  std::vector<std::string> masks;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find(';', start), text.size());
    if (std::string mask = TrimmedText(text.substr(start, end - start)); !mask.empty()) masks.push_back(mask);
    start = end + 1;
  }
  return masks;
}

// The files (not folders) of `folder` that match the mask, without regard
// to case, as the file system names them; false when the folder cannot be read.
bool CollectMatchingFiles(const std::string& folder, const std::string& mask, std::set<std::string>* names) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return false;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || fnmatch(mask.c_str(), name.c_str(), FNM_CASEFOLD) != 0) continue;
    bool isDirectory = entry->d_type == DT_DIR;
    if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
      struct stat st;
      isDirectory = stat((folder + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    if (!isDirectory) names->insert(UpperCased(name));
  }
  closedir(dir);
  return true;
}

// The "DirectoryCols" value's bytes whatever its type (the settings store
// holds no binary values); empty when there is none.
std::vector<uint8_t> ReadDirectoryCols() {
  reg::Key key = reg::kNoKey;
  if (reg::OpenKey(reg::HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer",
                   reg::kQueryValue, &key) != reg::Status::kOk)
    return {};
  std::uint32_t size = 0;
  std::vector<uint8_t> value;
  if (reg::QueryValue(key, "DirectoryCols", nullptr, nullptr, &size) == reg::Status::kOk && size > 0) {
    value.resize(size);
    if (reg::QueryValue(key, "DirectoryCols", nullptr, value.data(), &size) != reg::Status::kOk) value.clear();
    else value.resize(size);
  }
  reg::CloseKey(key);
  return value;
}

}  // namespace

// A value shorter than four words holds no widths: it is not read past its end.
std::array<int, 4> DefaultColumnWidths() {
  std::vector<uint8_t> value = ReadDirectoryCols();
  const std::optional<std::array<int, 4>> fromValue = DirectoryColsWidths(value);
  if (value.size() > kDirectoryColsMaxBytes) value.resize(kDirectoryColsMaxBytes);
  std::vector<uint8_t>& remembered = RememberedDirectoryCols();
  std::array<int, 4> widths = kDefaultWidths;
  std::optional<std::vector<int32_t>> saved = LoadColumnWidths();
  if (value == remembered && saved && !saved->empty()) {
    for (std::size_t i = 0; i < widths.size() && i < saved->size(); ++i) widths[i] = (*saved)[i];
  } else if (fromValue) {
    widths = *fromValue;
  }
  remembered = std::move(value);
  return widths;
}

// ---- filling -------------------------------------------------------------------------

void TCtCustomShellList::FillFolder() {
  if (!HandleAllocated()) return;
  if (Busy()) {
    refreshPending_ = true;
    return;
  }
  TScreenCursorScope hourglass;
  ClearSelection();
  ClearItems();
  shell::ComPtr<IShellFolder> folder;
  LPCITEMIDLIST list = folder_->IdList();
  if (HRESULT hr = BindToShellFolder(list, &folder); FAILED(hr)) throw vcl::Exception(shell::SystemErrorText(hr));
  BuildFileMask();
  try {
    FillList(folder.Get(), list);
  } catch (...) {
    ClearFileMask();
    throw;
  }
  ClearFileMask();
  SortItems();
  if (Items()->Count() > 0) Items()->Item(0)->SetFocused(true);
  if (ViewStyle() == vsIcon || ViewStyle() == vsSmallIcon) {
    win::SendMessage(WindowHandle(), win::WM_HSCROLL, win::SB_TOP, 0);
    win::SendMessage(WindowHandle(), win::WM_VSCROLL, win::SB_TOP, 0);
  }
  if (options_.Contains(sloDynamicRefresh) && !Designing()) SetChangeWatch();
}

// The folder becomes the list's at once (its items' lists join it); when
// the fill raises, the previous folder is the list's again.
void TCtCustomShellList::FillList(IShellFolder* folder, LPCITEMIDLIST folderList) {
  Items()->BeginUpdate();
  DoFillStart();
  shell::ComPtr<IShellFolder> previousFolder = std::move(shellFolder_);
  shell::IdListPtr previousList(folderList_.Release());
  try {
    Bracketed(*this, &TCtCustomShellList::DoFillComplete, [&] {
      shellFolder_ = shell::ComPtr<IShellFolder>::Share(folder);
      folderList_.Reset(CopyIdList(ShellMalloc(), folderList));
      details_.Reset();
      detailsAsked_ = false;
      RebuildColumns();
      std::vector<shell::IdListPtr> items;
      EnumerateInto(folder, ShellOwnerWindow(), items);
      for (shell::IdListPtr& item : items) AddNewShellItem(folder, std::move(item));
    });
  } catch (...) {
    shellFolder_ = std::move(previousFolder);
    folderList_.Reset(previousList.Release());
    details_.Reset();
    detailsAsked_ = false;
    Items()->EndUpdate();
    throw;
  }
  Items()->EndUpdate();
}

// Every item is collected before any is listed; an enumeration that cannot
// start, or ends with E_FAIL, lists nothing and says nothing.
void TCtCustomShellList::EnumerateInto(IShellFolder* folder, win::HWND owner, std::vector<shell::IdListPtr>& items) {
  shell::DWORD flags = shell::SHCONTF_FOLDERS | shell::SHCONTF_NONFOLDERS;
  if (options_.Contains(sloShowHidden)) flags |= shell::SHCONTF_INCLUDEHIDDEN;
  shell::ComPtr<shell::IEnumIDList> enumerator;
  if (FAILED(folder->EnumObjects(owner, flags, enumerator.Put())) || !enumerator) return;
  const HRESULT next = CollectItems(*enumerator.Get(), items, kCollectStep);
  if (next == shell::S_FALSE || next == kNoMoreItems) return;
  items.clear();
  if (next == shell::E_FAIL) return;
  throw vcl::Exception(shell::SystemErrorText(next));
}

void TCtCustomShellList::AddNewShellItem(IShellFolder* folder, shell::IdListPtr item) {
  try {
    if (!ShouldAdd(folder, folderList_.Get(), item.Get())) return;
    InsertShellItem(new TCtShellListData(this, item.Release()), 0);
  } catch (...) {
    ShowMessage("Exception in AddNewShellItem");
    throw;
  }
}

bool TCtCustomShellList::ShouldAdd(IShellFolder* folder, LPCITEMIDLIST folderList, LPCITEMIDLIST item) {
  shell::ULONG attributes = kAddAttributes;
  if (FAILED(folder->GetAttributesOf(1, &item, &attributes))) return false;
  if (!options_.Contains(sloVirtualFolders) &&
      !(attributes & (shell::SFGAO_FILESYSTEM | shell::SFGAO_FILESYSANCESTOR)))
    return false;
  if (options_.Contains(sloFilesOnly) && tree_ && IsFolderAttribute(attributes)) return false;
  return DoAddItem(folder, folderList, attributes, item);
}

bool TCtCustomShellList::IsFolderAttribute(shell::ULONG attributes) const {
  if (!(attributes & shell::SFGAO_FOLDER)) return false;
  const bool streamsTold = Shell32FileVersion().mostSignificant > 0x5FFFF;
  return !streamsTold || !(attributes & shell::SFGAO_STREAM) || options_.Contains(sloStreamFolders);
}

bool TCtCustomShellList::DoAddItem(IShellFolder* folder, LPCITEMIDLIST folderList, shell::ULONG attributes,
                                   LPCITEMIDLIST item) {
  bool allow = true;
  if (maskNames_ && !IsFolderAttribute(attributes)) {
    const std::string parsing = GetDisplayNameOf(folder, item, TCtNameKind::nkForParsing);
    allow = MatchesFileMask(ExtractFileName(parsing), attributes);
  }
  if (OnAddItem) OnAddItem(this, folder, folderList, item, attributes, allow);
  return allow;
}

void TCtCustomShellList::InsertShellItem(TCtShellListData* data, shell::ULONG) {
  ownData_.insert(data);
  TListItem* item = Items()->Add();
  item->SetData(data);
  item->SetCaption(data->DisplayName());
  const shell::ULONG attributes = data->Attributes();
  win::LVITEM state;
  state.stateMask = win::LVIS_OVERLAYMASK | win::LVIS_CUT;
  if (attributes & shell::SFGAO_SHARE) state.state = win::INDEXTOOVERLAYMASK(1);
  else if (attributes & shell::SFGAO_LINK) state.state = win::INDEXTOOVERLAYMASK(2);
  if (attributes & shell::SFGAO_GHOSTED) state.state |= win::LVIS_CUT;
  const auto index = static_cast<win::WPARAM>(item->Index());
  win::SendMessage(WindowHandle(), win::LVM_SETITEMSTATE, index, reinterpret_cast<win::LPARAM>(&state));
  const int subItems = columnMode_ == ColumnMode::kDetails ? std::max(0, Columns()->Count() - 1) : 3;
  for (int sub = 1; sub <= subItems; ++sub) {
    win::LVITEM text;
    text.iSubItem = sub;
    text.pszText = win::LPSTR_TEXTCALLBACK;
    win::SendMessage(WindowHandle(), win::LVM_SETITEMTEXT, index, reinterpret_cast<win::LPARAM>(&text));
  }
}

// ---- file masks ------------------------------------------------------------------------

void TCtCustomShellList::BuildFileMask() {
  maskNames_.reset();
  const std::string path = folder_->GetPathName();
  if (fileMask_.empty() || fileMask_ == "*" || fileMask_ == "*.*" || path.empty()) return;
  maskNames_.emplace();
  for (const std::string& mask : SplitMasks(fileMask_))
    if (!CollectMatchingFiles(path, mask, &*maskNames_)) break;
}

bool TCtCustomShellList::MatchesFileMask(const std::string& name, shell::ULONG attributes) {
  if (IsFolderAttribute(attributes) || !maskNames_) return true;
  return maskNames_->count(UpperCased(name)) > 0;
}

void TCtCustomShellList::ClearFileMask() { maskNames_.reset(); }

// ---- columns ---------------------------------------------------------------------------

void TCtCustomShellList::SaveColumnWidthsIfKept() {
  if (!keepWidths_ || Columns()->Count() == 0) return;
  std::vector<int32_t> widths;
  for (int i = 0; i < Columns()->Count(); ++i) widths.push_back(Columns()->Items(i)->Width());
  SaveColumnWidths(widths);
}

// Widths are kept (and taken from the saved ones) for file-system folders
// only: other folders have other columns.
void TCtCustomShellList::RebuildColumns() {
  SaveColumnWidthsIfKept();
  Columns()->Clear();
  const bool fileSystem = !FolderPath().empty();
  if (shell::IShellDetails* details = ShellDetails()) {
    columnMode_ = ColumnMode::kDetails;
    const std::optional<std::vector<int32_t>> saved = fileSystem ? LoadColumnWidths() : std::nullopt;
    for (shell::UINT i = 0;; ++i) {
      shell::SHELLDETAILS heading;
      if (FAILED(details->GetDetailsOf(nullptr, i, &heading))) break;
      TListColumn* column = Columns()->Add();
      column->SetCaption(shell::TakeStrRet(&heading.str, nullptr));
      column->SetAlignment(heading.fmt == shell::LVCFMT_RIGHT    ? taRightJustify
                           : heading.fmt == shell::LVCFMT_CENTER ? taCenter
                                                                  : taLeftJustify);
      const bool stored = saved && i < saved->size();
      column->SetWidth(stored ? (*saved)[i] : heading.cxChar * kCharWidth);
    }
  } else {
    columnMode_ = ColumnMode::kDefault;
    const std::array<int, 4> widths = DefaultColumnWidths();
    static constexpr const char* kCaptions[] = {"Name", "Size", "Type", "Modified"};
    for (std::size_t i = 0; i < widths.size(); ++i) {
      TListColumn* column = Columns()->Add();
      column->SetCaption(kCaptions[i]);
      if (i == 1) column->SetAlignment(taRightJustify);
      column->SetWidth(widths[i]);
    }
  }
  keepWidths_ = fileSystem;
  const int count = Columns()->Count();
  const int sort = sortColumn_ < 0 ? -sortColumn_ : sortColumn_;
  if (sort > count) sortColumn_ = 1;
  ShowSortMark();
}

// ---- sorting -----------------------------------------------------------------------------

void TCtCustomShellList::ShowSortMark() {
  if (sortColumn_ == 0) return SetHeaderSortColumn(-1);
  SetHeaderSortColumn((sortColumn_ < 0 ? -sortColumn_ : sortColumn_) - 1);
  SetHeaderSortDescending(sortColumn_ < 0);
}

void TCtCustomShellList::SetSortColumn(int column) {
  sortSetByClick_ = true;
  const bool changed = column != sortColumn_;
  sortColumn_ = column;
  ShowSortMark();
  if (changed) SortItems();
}

void TCtCustomShellList::ColClick(TListColumn* column) {
  sortSetByClick_ = false;
  TCtCustomListView::ColClick(column);
  if (sortSetByClick_ || AlphaSortAll() || !column) return;
  const int clicked = column->Index() + 1;
  SetSortColumn(sortColumn_ == clicked ? -clicked : clicked);
}

int TCtCustomShellList::CompareItems(TListItem* a, TListItem* b) {
  TCtShellListData* first = ListData(a);
  TCtShellListData* second = ListData(b);
  if (!first || !second || !shellFolder_) return 0;
  const int column = (sortColumn_ < 0 ? -sortColumn_ : sortColumn_) - 1;
  const HRESULT hr = shellFolder_->CompareIDs(column, first->RelativeIdList(), second->RelativeIdList());
  if (FAILED(hr)) return 0;
  const int order = shell::CompareResultOrder(hr);
  return sortColumn_ < 0 ? -order : order;
}

void TCtCustomShellList::SortItems() {
  if (sortColumn_ == 0 || Items()->Count() < 2) return;
  CustomSort([](TListItem* a, TListItem* b, intptr_t self) {
    return reinterpret_cast<TCtCustomShellList*>(self)->CompareItems(a, b);
  }, reinterpret_cast<intptr_t>(this));
}

// ---- refreshing ------------------------------------------------------------------------

// The items are compared with a fresh listing of the folder (through the
// folder when it has no path, byte for byte otherwise): vanished ones go,
// new ones come, and the others are read again, their texts made anew. The
// selection, the focus and the view's place stay with the items that stay.
void TCtCustomShellList::RefreshItems() {
  if (!HandleAllocated()) return;
  if (Busy()) {
    refreshPending_ = true;
    return;
  }
  if (Items()->Count() == 0 || !shellFolder_) return FillFolder();
  TScreenCursorScope hourglass;
  const shell::ComPtr<IShellFolder> folder = shellFolder_;
  BuildFileMask();
  try {
    UpdateItems(folder.Get());
  } catch (...) {
    ClearFileMask();
    throw;
  }
  ClearFileMask();
}

void TCtCustomShellList::UpdateItems(IShellFolder* folder) {
  std::vector<shell::IdListPtr> fresh;
  EnumerateInto(folder, nullptr, fresh);
  IShellFolder* comparer = FolderPath().empty() ? folder : nullptr;
  Items()->BeginUpdate();
  DoFillStart();
  try {
    Bracketed(*this, &TCtCustomShellList::DoFillComplete, [&] {
      TCtPidlList known;  // the items' own lists: not freed here
      known.SetShellFolder(comparer);
      for (int i = 0; i < Items()->Count(); ++i)
        if (TCtShellListData* data = ListData(Items()->Item(i)))
          known.AddObject(const_cast<shell::LPITEMIDLIST>(data->RelativeIdList()), Items()->Item(i));
      known.SetSorted(true);
      TCtPidlList found;
      found.SetShellFolder(comparer);
      found.SetMalloc(ShellMalloc());
      for (shell::IdListPtr& item : fresh) found.Add(item.Release());
      for (int i = found.Count() - 1; i >= 0; --i) {
        const int k = known.IndexOf(found.Pidls(i));
        if (k < 0) continue;
        auto* item = static_cast<TListItem*>(known.Objects(k));
        TCtShellListData* data = ListData(item);
        known.Delete(k);
        data->SetRelIdList(CopyIdList(ShellMalloc(), found.Pidls(i)));
        item->SetCaption(data->DisplayName());
        found.Delete(i);
      }
      for (int i = known.Count() - 1; i >= 0; --i) static_cast<TListItem*>(known.Objects(i))->Delete();
      const int before = Items()->Count();
      for (int i = 0; i < found.Count(); ++i)
        AddNewShellItem(folder, shell::IdListPtr(CopyIdList(ShellMalloc(), found.Pidls(i))));
      if (Items()->Count() != before) SortItems();
    });
  } catch (...) {
    Items()->EndUpdate();
    throw;
  }
  Items()->EndUpdate();
}

void TCtCustomShellList::RunPendingRefresh() {
  if (!refreshPending_) return;
  refreshPending_ = false;
  RefreshItems();
}

// ---- watching ------------------------------------------------------------------------------

void TCtCustomShellList::SetChangeWatch() {
  if (!HandleAllocated()) return;
  if (!changeThread_) changeThread_ = std::make_unique<TChangeHandlerThread>(WindowHandle(), WM_SHELLCHANGED);
  changeThread_->RemoveAllWatches();
  const std::string path = FolderPath();
  if (path.empty()) return;
  int slot = -1;
  changeThread_->AddWatch(path, kWatchFilter, &slot, false);
}

void TCtCustomShellList::StopWatching() {
  if (changeThread_) changeThread_->RemoveAllWatches();
}

// Many notifications in a row restart one timer: one refresh.
void TCtCustomShellList::ShellChanged() {
  if (ignoreNextChange_ || modalOperation_) {
    ignoreNextChange_ = false;
    return;
  }
  delayTimer_->SetEnabled(false);
  delayTimer_->SetInterval(ShellChangeRefreshDelayMs(Focused()));
  delayTimer_->SetEnabled(true);
}

// A selection change the linked tree holds back goes first.
void TCtCustomShellList::DelayTimerFired() {
  delayTimer_->SetEnabled(false);
  if (tree_) tree_->FlushDelayedChange(false);
  RefreshItems();
}

// Drives come and go in Computer: a list showing it reads it again.
void TCtCustomShellList::DeviceChanged(TCtDeviceChangeHandler*, const win::MSG& message) {
  if (!IsDriveArrivalOrRemoval(message)) return;
  RefreshDrives();
  if (IdListToSpecialFolder(folder_->IdList()) != shell::CSIDL_DRIVES) return;
  const TDriveRefreshPause pause;
  FillFolder();
}

// ---- notifications -------------------------------------------------------------------------

void TCtCustomShellList::DoFillStart() {
  if (OnFillStart) OnFillStart(this);
}

void TCtCustomShellList::DoFillComplete() {
  if (OnFillComplete) OnFillComplete(this);
}

void TCtCustomShellList::DoFolderChanged() {
  if (OnFolderChanged) OnFolderChanged(this);
}

}  // namespace qelo::ct
