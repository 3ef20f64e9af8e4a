// The shell list: the items of one shell folder with the shell's icons and,
// in report view, the folder's detail columns. It opens folders (and
// shortcuts to folders) on a double click or Enter, runs the default
// command of files, goes up on Backspace, shows the shell's context menu,
// renames in place, carries out the default keys, drags and takes drops,
// filters files by masks, and refills after the change thread reports a
// change. Linked to a shell tree (the tree's ShellList), the tree's
// selection decides the folder and the list's navigation moves the tree.
// Everything runs on the GUI thread.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "ct_listvw.h"
#include "ct_shell_ctrls_change.h"
#include "ct_shell_ctrls_dragdrop.h"
#include "ct_shell_ctrls_locator.h"
#include "ct_shell_ctrls_menus.h"
#include "ct_shell_ctrls_tree.h"
#include "ct_shell_utils.h"
#include "ct_shell_utils_device.h"
#include "vcl/controls/timer.h"
#include "vcl/graphics/image_list.h"

namespace qelo::ct {

class TCtCustomShellList;

// Bits 6 and 11 have no effect; they keep the places of the options after them.
enum TCtShellListOption {
  sloAutoFill,
  sloVirtualFolders,
  sloDesignInteractive,
  sloDefaultKeyHandling,
  sloContextMenus,
  sloNoBrowse,
  sloUnused6,
  sloDynamicRefresh,
  sloFilesOnly,
  sloOleDrag,
  sloOleDrop,
  sloUnused11,
  sloShowHidden,
  sloStreamFolders
};
using TCtShellListOptions = vcl::TSet<TCtShellListOption>;
extern const vcl::EnumInfo kShellListOptionInfo;
inline constexpr TCtShellListOptions kDefaultShellListOptions{
    sloAutoFill, sloVirtualFolders, sloDefaultKeyHandling, sloContextMenus, sloDynamicRefresh,
    sloOleDrag,  sloOleDrop,        sloUnused11,           sloShowHidden,   sloStreamFolders};

// The column widths of the list's own columns ("Name", "Size", "Type",
// "Modified") for a folder without detail columns: the saved widths while
// the "DirectoryCols" value is as last read, else the value's four 16-bit
// words, else 200, 60, 100, 120. The value read is remembered.
std::array<int, 4> DefaultColumnWidths();

class TCtShellListData;
using TCtShListDeleteItemEvent =
    std::function<void(vcl::TObject* sender, vcl::TListItem* item, TCtShellListData* data)>;
// Fires before the default command of items runs; `allow` arrives true.
using TCtShListOpenDefaultEvent = std::function<void(vcl::TObject* sender, bool& allow)>;

// The data of every item: its list in the list's folder (owned), the
// absolute list and the texts made on first use.
class TCtShellListData : public vcl::TObject {
 public:
  // Takes ownership of `relative`.
  TCtShellListData(TCtCustomShellList* owner, LPITEMIDLIST relative);
  ~TCtShellListData() override;

  TCtCustomShellList* Owner() const { return owner_; }
  LPCITEMIDLIST RelativeIdList() const { return relative_.Get(); }
  LPCITEMIDLIST AbsoluteIdList();
  const std::string& DisplayName();
  shell::ULONG Attributes();
  bool IsFolder();
  bool IsLink();
  bool CanRename();
  std::string PathName();
  // The text of a details column: column 0 is empty (the caption shows it).
  std::string ColumnText(int column);
  // Takes ownership; the absolute list, the name and the texts are made again.
  void SetRelIdList(LPITEMIDLIST list);

 private:
  void ReadDefaultTexts();

  TCtCustomShellList* owner_;
  shell::IdListPtr relative_;
  shell::IdListPtr absolute_;
  std::optional<std::string> displayName_;
  std::string sizeText_, typeText_, modifiedText_;
  bool textsValid_ = false;
};

class TCtCustomShellList : public TCtCustomListView, private TCtShellDropSite, private TCtShellTreeListLink {
  QELO_VCL_CLASS()
 public:
  explicit TCtCustomShellList(vcl::TComponent* owner);
  ~TCtCustomShellList() override;

  // ---- properties
  TCtShellLocator* Folder() const { return folder_.get(); }
  void SetFolder(TCtShellLocator* folder);
  TCtShellListOptions Options() const { return options_; }
  void SetOptions(TCtShellListOptions options);
  // File masks separated by ';' ("*.mp4;*.avi"); "*" and "*.*" list all.
  const std::string& FileMask() const { return fileMask_; }
  void SetFileMask(const std::string& mask);
  // Column index + 1, negative for descending, 0 for the folder's own order.
  int SortColumn() const { return sortColumn_; }
  void SetSortColumn(int column);
  TCtCustomShellTree* ShellTree() const { return tree_; }
  // The list's side of the tree's ShellList link.
  TCtShellTreeListLink* TreeLink() { return this; }

  // ---- operations
  void FillFolder();
  // Fills again, keeping the selected and focused items that are still there.
  void RefreshItems();
  void GoUp(int levels);
  void OpenItem(vcl::TListItem* item);
  void OpenSelection();
  HRESULT DoCommandOnSelection(const char* verb);
  HRESULT DoCommandOnFolder(const char* verb);
  int SelectedCount() const { return SelCount(); }
  int SelectedEffects();
  TCtShellListData* ListData(vcl::TListItem* item) const;
  IShellFolder* ShellFolder() const { return shellFolder_.Get(); }
  LPCITEMIDLIST FolderIdList() const { return folderList_.Get(); }
  // The folder's detail columns, asked for on first use; null without.
  shell::IShellDetails* ShellDetails();
  std::string FolderPath() const { return IdListToPath(folderList_.Get()); }
  win::HWND ShellOwnerWindow();
  void SelectAll();
  bool CanEdit(vcl::TListItem* item) override;

  TCtShAddItemEvent OnAddItem;
  TCtShListDeleteItemEvent OnDeleteItem;
  // Asked first for an item's icon: a handler that sets the item's
  // ImageIndex (1 or more) decides; otherwise the shell's icon shows.
  vcl::TLVNotifyEvent OnGetImageIndex;
  TCtShPopupHintEvent OnPopupHint;
  TCtShListOpenDefaultEvent OnOpenDefault;
  vcl::TNotifyEvent OnFillStart;
  vcl::TNotifyEvent OnFillComplete;
  vcl::TNotifyEvent OnFolderChanged;

 protected:
  // ---- virtual operations of the shell list
  virtual shell::ComPtr<shell::IDropSource> CreateDropSource(int buttonKind);
  HRESULT DragEnter(IDataObject* data, uint32_t keys, win::POINT point, uint32_t* effect) override;
  HRESULT DragOver(uint32_t keys, win::POINT point, uint32_t* effect) override;
  HRESULT DragLeave() override;
  HRESULT Drop(IDataObject* data, uint32_t keys, win::POINT point, uint32_t* effect) override;
  virtual bool DoAddItem(IShellFolder* folder, LPCITEMIDLIST folderList, shell::ULONG attributes,
                         LPCITEMIDLIST item);
  virtual void DeviceChanged(TCtDeviceChangeHandler* sender, const win::MSG& message);
  virtual void FillList(IShellFolder* folder, LPCITEMIDLIST folderList);
  virtual void BuildFileMask();
  virtual bool MatchesFileMask(const std::string& name, shell::ULONG attributes);
  virtual void ClearFileMask();
  virtual bool CanOpenDefault();
  virtual void DoFillComplete();
  virtual void DoFillStart();
  virtual void DoFolderChanged();
  // The UI object `iid` of the selected items (of one item) in the list's folder.
  virtual HRESULT GetSelectionUIObject(shell::REFIID iid, void** object);
  virtual HRESULT GetItemUIObject(vcl::TListItem* item, shell::REFIID iid, void** object);
  virtual void SetChangeWatch();
  // The delay timer's work: a change the linked tree holds back, then a refresh.
  void DelayTimerFired();

  // ---- the framework's and the list view's
  void Loaded() override;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void ColClick(vcl::TListColumn* column) override;
  void KeyDown(uint16_t& key, vcl::TShiftState shift) override;
  void KeyPress(char16_t& key) override;
  void MouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  void DoItemContextMenu(vcl::TListItem* item, vcl::TPoint& p, vcl::TPopupMenu*& menu) override;
  bool DoMouseWheelDown(vcl::TShiftState shift, vcl::TPoint mousePos) override;
  bool DoMouseWheelUp(vcl::TShiftState shift, vcl::TPoint mousePos) override;
  void Dispatch(vcl::TMessage& message) override;

 private:
  // The tree's ShellList link.
  vcl::TComponent* LinkComponent() override { return this; }
  void TreeLinked(TCtCustomShellTree* tree) override;
  void TreeFolderChanged(TCtShellLocator& folder) override;
  void TreeNodeSelected(vcl::TTreeNode* node) override;
  bool TreeExpandsSelection() override { return options_.Contains(sloFilesOnly); }
  void TreeChangeFlushed() override {}

  enum class ColumnMode { kNone, kDetails, kDefault };
  // What a drag is over: an item of the list's folder, an item that is not
  // (no shell data), or the space beside the items (while the list's own
  // items are dragged, or others).
  enum class DropPlace { kItem, kForeignItem, kEmptySpace, kOwnEmptySpace };
  // Posted by a double click: the selection opens once the window is done with it.
  static constexpr win::UINT kOpenSelectionMessage = win::WM_USER + 0x201;
  // Shell extensions ask their host window for its shell browser.
  static constexpr win::UINT kGetShellBrowser = win::WM_USER + 7;

  bool Designing() const { return ComponentState().Contains(vcl::csDesigning); }
  bool Busy() const { return modalOperation_ || IsEditing(); }
  bool IsEditing() const;
  void FolderLocatorChanged();
  void ClearItems();
  void FreeItemData(vcl::TListItem* item);
  // The folder rule of item data, from attributes already asked for.
  bool IsFolderAttribute(shell::ULONG attributes) const;
  void ShowSortMark();
  bool ShouldAdd(IShellFolder* folder, LPCITEMIDLIST folderList, LPCITEMIDLIST item);
  void InsertShellItem(TCtShellListData* data, shell::ULONG attributes);
  void EnumerateInto(IShellFolder* folder, win::HWND owner, std::vector<shell::IdListPtr>& items);
  // Adds the item through InsertShellItem when ShouldAdd lets it; a failure
  // is told with "Exception in AddNewShellItem" and goes on.
  void AddNewShellItem(IShellFolder* folder, shell::IdListPtr item);
  // Compares the items with a fresh listing of the folder.
  void UpdateItems(IShellFolder* folder);
  void ScrollByWheel(bool down);
  shell::IUnknown* ShellBrowser();
  void RebuildColumns();
  void SaveColumnWidthsIfKept();
  void SortItems();
  int CompareItems(vcl::TListItem* a, vcl::TListItem* b);
  void BrowseTo(LPCITEMIDLIST absolute);
  void RunDefaultCommand(const std::vector<LPCITEMIDLIST>& items);
  std::vector<LPCITEMIDLIST> SelectedIdLists();
  HRESULT CommandOnItems(IShellFolder* folder, const std::vector<LPCITEMIDLIST>& items, const char* verb);
  void RefreshAfterVerb();
  bool HandleDefaultKey(vcl::TShortCut shortCut);
  void ShowShellContextMenu(vcl::TPoint clientPoint);
  void RunMenuCommand(IContextMenu* menuObject, shell::UINT id);
  void DoSendTo(int index);
  void GetDispInfo(win::NMLVDISPINFO& info);
  void NotifyMessage(vcl::TMessage& m);
  void EndLabelEdit(vcl::TMessage& m);
  void RenameItem(vcl::TListItem* item, std::string text);
  void ShellChanged();
  void RunPendingRefresh();
  void StopWatching();
  void BeginOleDrag(const win::NMLISTVIEW& notification, bool rightButton);
  shell::ComPtr<IDataObject> SelectionDataObject();
  shell::ComPtr<shell::IDropTarget> DropTargetAt(win::POINT point, DropPlace* over, vcl::TListItem** highlight);
  void ShowDropHighlight(vcl::TListItem* item);
  void RegisterDropTarget();
  void RevokeDropTarget();
  void ReleaseWindowHelpers();

  std::unique_ptr<TCtShellLocator> folder_;
  shell::ComPtr<IShellFolder> shellFolder_;
  shell::IdListPtr folderList_;
  shell::ComPtr<shell::IShellDetails> details_;
  bool detailsAsked_ = false;
  TCtShellListOptions options_ = kDefaultShellListOptions;
  TCtCustomShellTree* tree_ = nullptr;
  std::unique_ptr<vcl::TImageList> smallImages_;
  std::unique_ptr<vcl::TImageList> largeImages_;
  std::unique_ptr<vcl::TTimer> delayTimer_;
  std::unique_ptr<TChangeHandlerThread> changeThread_;
  shell::ComPtr<shell::IDropTarget> dropTarget_;
  std::unordered_set<const TCtShellListData*> ownData_;
  int sortColumn_ = 1;
  bool sortSetByClick_ = false;
  std::string fileMask_;
  std::optional<std::set<std::string>> maskNames_;  // upper-cased file names the masks found
  ColumnMode columnMode_ = ColumnMode::kNone;
  bool keepWidths_ = false;
  bool ignoreNextChange_ = false;
  bool modalOperation_ = false;
  bool refreshPending_ = false;
  bool dragging_ = false;
  bool folderChanging_ = false;  // inside the folder's change event
  bool menuShown_ = false;  // a shell menu was shown for the right button now going up
  int dragButton_ = 0;
  TCtShellDragOver dragOver_;
  vcl::TListItem* dropHighlight_ = nullptr;
  TCtShellMenuTracker menuTracker_;
};

class TCtShellList : public TCtCustomShellList {
  QELO_VCL_CLASS()
 public:
  using TCtCustomShellList::TCtCustomShellList;
};

// Registers TCtShellList (once) so that form files can place it.
void RegisterCtShellListClasses();

}  // namespace qelo::ct
