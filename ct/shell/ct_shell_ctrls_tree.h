// The shell tree: the namespace as a tree of folders below a base folder
// (the desktop unless BaseFolder names another), filled level by level as
// nodes are first expanded. It keeps the selected folder in a locator,
// drives a linked shell list, renames in place, makes new folders, shows
// the shell's context menus, carries out the default keys, drags and takes
// drops, and refreshes itself after the change thread reports a change.
// Everything runs on the GUI thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "ct_shell_ctrls_change.h"
#include "ct_shell_ctrls_dragdrop.h"
#include "ct_shell_ctrls_fill_job.h"
#include "ct_shell_ctrls_locator.h"
#include "ct_shell_ctrls_menus.h"
#include "ct_shell_utils.h"
#include "ct_shell_utils_device.h"
#include "ct_shell_utils_lists.h"
#include "ct_treevw.h"
#include "shell/context_menu.h"
#include "vcl/controls/timer.h"

namespace qelo::ct {

class TCtCustomShellTree;
class TCtCustomShellList;

constexpr win::UINT WM_SHELLAUTOFILL = 0x467;
// A form designer asks whether a click at the point (LParam) goes to the
// control itself; nonzero: it does.
constexpr win::UINT CM_DESIGNHITTEST = vcl::CM_BASE + 28;

enum TCtShellTreeOption {
  stoAutoFill,
  stoVirtualFolders,
  stoDesignInteractive,
  stoDefaultKeyHandling,
  stoContextMenus,
  stoDynamicRefresh,
  stoIncludeNonFolders,
  stoOleDrag,
  stoOleDrop,
  stoShowHidden
};
using TCtShellTreeOptions = vcl::TSet<TCtShellTreeOption>;
extern const vcl::EnumInfo kShellTreeOptionInfo;
inline constexpr TCtShellTreeOptions kDefaultShellTreeOptions{
    stoAutoFill,     stoVirtualFolders, stoDefaultKeyHandling, stoContextMenus, stoDynamicRefresh,
    stoOleDrag,      stoOleDrop,        stoShowHidden};

// An item about to be added: `allowAdd` arrives true.
using TCtShAddItemEvent =
    std::function<void(vcl::TObject* sender, shell::IShellFolder* parentFolder, shell::LPCITEMIDLIST parentAbsolute,
                       shell::LPCITEMIDLIST itemRelative, shell::ULONG attributes, bool& allowAdd)>;
class TCtShellTreeData;
using TCtShTreeDeleteItemEvent =
    std::function<void(vcl::TObject* sender, vcl::TTreeNode* node, TCtShellTreeData* data)>;
using TCtShTreeInsertItemEvent = std::function<void(vcl::TObject* sender, vcl::TTreeNode* node)>;
using TCtShPopupHintEvent = std::function<void(vcl::TObject* sender, const std::string& hint)>;

// The data of a node that stands for a shell item. It owns its lists and
// folder objects; absolute lists and folders are made on first use.
class TCtShellTreeData : public vcl::TObject {
 public:
  TCtShellTreeData(TCtCustomShellTree* owner, TCtShellTreeData* parent);
  ~TCtShellTreeData() override;

  TCtCustomShellTree* Owner() const { return owner_; }
  TCtShellTreeData* ParentData() const { return parent_; }
  bool IsRoot() const { return parent_ == nullptr; }
  // The item in its parent folder.
  LPCITEMIDLIST RelativeIdList() const { return relative_.Get(); }
  // The item from the desktop: the parent's absolute list and the relative one.
  LPCITEMIDLIST AbsoluteIdList();
  // The folder that holds the item. At the root it is bound anew on every
  // call (one item: the desktop; more: the parent list's folder; the
  // desktop itself: the folder of the desktop directory's parent).
  IShellFolder* ParentShellFolder();
  // The item as a folder; null when it cannot be bound.
  IShellFolder* ShellFolder();
  // The root keeps the folder the fill bound for it.
  void SetShellFolder(IShellFolder* folder);
  bool CanRename();
  // The item's file-system path; empty when it has none.
  std::string PathName();

  // With a parent the list is the relative one; at the root it is the
  // absolute list and the relative one is its last item.
  void SetIdLists(TCtShellTreeData* parent, LPCITEMIDLIST list);
  // After a rename: the new relative list, the absolute one made again.
  void ReplaceRelIdList(LPCITEMIDLIST list);
  // Drops the absolute list and the item's own folder (made again on use).
  void ResetAbsolute();
  // The absolute list joined anew from the parent's; the folder stays.
  void RejoinAbsolute();
  HRESULT GetDropTarget(win::HWND owner, shell::IDropTarget** target);
  // The fill off the window's thread that made the node (0: none).
  uint64_t FillTicket() const { return fillTicket_; }
  void SetFillTicket(uint64_t ticket) { fillTicket_ = ticket; }

 private:
  TCtCustomShellTree* owner_;
  TCtShellTreeData* parent_;
  shell::IdListPtr relative_;
  shell::IdListPtr absolute_;
  shell::ComPtr<IShellFolder> rootParentFolder_;
  shell::ComPtr<IShellFolder> folder_;
  uint64_t fillTicket_ = 0;
};

// What a shell list linked to a tree (ShellList) hears from the tree and
// asks of it. The shell list implements it; the tree holds no other view
// of the list.
class TCtShellTreeListLink {
 public:
  // The list as a component, for free notification.
  virtual vcl::TComponent* LinkComponent() = 0;
  // The tree the list is linked to now (null: none).
  virtual void TreeLinked(TCtCustomShellTree* tree) = 0;
  // The tree's selected folder, for the list to show.
  virtual void TreeFolderChanged(TCtShellLocator& folder) = 0;
  // The tree's selected node changed (the node carries shell data).
  virtual void TreeNodeSelected(vcl::TTreeNode* node) = 0;
  // Whether the tree also expands the folder it selects for the list.
  virtual bool TreeExpandsSelection() = 0;
  // A change the tree held back was carried out now.
  virtual void TreeChangeFlushed() = 0;

 protected:
  ~TCtShellTreeListLink() = default;
};

class TCtCustomShellTree : public TCtCustomTreeView, private TCtShellDropSite {
  QELO_VCL_CLASS()
 public:
  explicit TCtCustomShellTree(vcl::TComponent* owner);
  ~TCtCustomShellTree() override;

  void SetParent(vcl::TWinControl* parent) override;

  // ---- properties
  TCtShellLocator* BaseFolder() const { return baseFolder_.get(); }
  void SetBaseFolder(TCtShellLocator* folder);
  TCtShellTreeOptions Options() const { return options_; }
  void SetOptions(TCtShellTreeOptions options);
  TCtShellTreeListLink* ShellList() const { return shellList_; }
  void SetShellList(TCtShellTreeListLink* list);
  // The published ShellList: the linked list as a control.
  TCtCustomShellList* ShellListControl() const;
  void SetShellListControl(TCtCustomShellList* list);
  TCtShellLocator* SelectedFolder() const { return selectedFolder_.get(); }
  // Copies into the locator; while loading or while own selection changes
  // run, the locator only goes to the linked list.
  void SetSelectedFolder(TCtShellLocator* folder);
  std::string SelectedPathName();

  // ---- operations
  void FillTree();
  void RefreshNodes();
  void SelectIdList(LPCITEMIDLIST absolute);
  void GoUp(int levels);
  bool CreateNewFolder();
  HRESULT DoCommandForNode(vcl::TTreeNode* node, const char* verb);
  vcl::TTreeNode* FindChildNode(vcl::TTreeNode* parent, LPCITEMIDLIST relative);
  int GetAllowedEffects(vcl::TTreeNode* node);
  TCtShellTreeData* TreeData(vcl::TTreeNode* node) const;
  win::HWND ShellOwnerWindow();
  // Runs a held-back selection change or refresh now; `passOn` tells the
  // linked list.
  void FlushDelayedChange(bool passOn);
  // Shell calls made meanwhile show no messages of the shell's.
  void BeginSilent() { ++silent_; }
  void EndSilent() { --silent_; }
  // A level of more items than this has their attributes read off the
  // window's thread and its nodes added in slices between other messages.
  std::size_t SyncFillLimit() const { return syncFillLimit_; }
  void SetSyncFillLimit(std::size_t items) { syncFillLimit_ = items; }
  // Whether such a level is still being filled.
  bool FillsPending() const { return !pendingFills_.empty(); }
  // Completes every such fill now.
  void FinishPendingFills();

  TCtShAddItemEvent OnAddItem;
  TCtShTreeDeleteItemEvent OnDeleteItem;
  TCtShTreeInsertItemEvent OnInsertItem;
  TCtShPopupHintEvent OnPopupHint;
  vcl::TNotifyEvent OnFillStart;
  vcl::TNotifyEvent OnFillComplete;

 protected:
  // ---- virtual operations of the shell tree
  virtual shell::ComPtr<shell::IDropSource> CreateDropSource(int buttonKind);
  HRESULT DragEnter(IDataObject* data, uint32_t keys, win::POINT point, uint32_t* effect) override;
  HRESULT DragOver(uint32_t keys, win::POINT point, uint32_t* effect) override;
  HRESULT DragLeave() override;
  HRESULT Drop(IDataObject* data, uint32_t keys, win::POINT point, uint32_t* effect) override;
  virtual void DragScrollAndExpand(vcl::TPoint clientPoint);
  virtual HRESULT AddNewShellItem(IShellFolder* folder, LPCITEMIDLIST parentAbsolute, LPCITEMIDLIST item,
                                  vcl::TTreeNode* parentNode);
  virtual bool DoAddItem(IShellFolder* folder, LPCITEMIDLIST parentAbsolute, shell::ULONG attributes,
                         LPCITEMIDLIST item);
  virtual void DeviceChanged(TCtDeviceChangeHandler* sender, const win::MSG& message);
  virtual void FillNode(IShellFolder* folder, vcl::TTreeNode* node);
  virtual void DoInsertItem(vcl::TTreeNode* node);
  virtual void FillNodeIfNeeded(vcl::TTreeNode* node);
  virtual void DoFillComplete();
  virtual void DoFillStart();
  virtual void DoSendTo(vcl::TTreeNode* node, int index);
  virtual void SetChangeWatch(const std::string& path);
  virtual void ShowShellContextMenu(vcl::TTreeNode* node, vcl::TPoint clientPoint);

  // ---- the framework's and the tree view's
  void Loaded() override;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  void CreateParams(vcl::TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void GetImageIndex(vcl::TTreeNode* node) override;
  void GetSelectedIndex(vcl::TTreeNode* node) override;
  bool CanExpand(vcl::TTreeNode* node) override;
  bool CanEdit(vcl::TTreeNode* node) override;
  void Change(vcl::TTreeNode* node) override;
  void Delete(vcl::TTreeNode* node) override;
  void Edit(vcl::TTreeNode* node, std::string& text) override;
  void KeyDown(uint16_t& key, vcl::TShiftState shift) override;
  void DoNodeContextMenu(vcl::TTreeNode* node, vcl::TPoint& p, vcl::TPopupMenu*& menu) override;
  void Dispatch(vcl::TMessage& message) override;
  void SetDragMode(vcl::TDragMode mode) override;

 private:
  // Holds a count up for as long as it lives.
  class CountScope {
   public:
    explicit CountScope(int& count) : count_(count) { ++count_; }
    ~CountScope() { --count_; }
    CountScope(const CountScope&) = delete;
    CountScope& operator=(const CountScope&) = delete;

   private:
    int& count_;
  };

  // A level filled from a job off the window's thread: its node, the job,
  // the next item to add, how many items a slice takes, and whether the
  // level was sorted meanwhile.
  struct PendingFill {
    vcl::TTreeNode* node = nullptr;
    std::unique_ptr<TCtShellFillJob> job;
    uint64_t ticket = 0;
    std::size_t next = 0;
    std::size_t slice = 0;
    bool resort = false;
  };
  // A child that the level's own fill did not make (a step of selecting a
  // path): where it goes among the fill's items.
  struct ForeignChild {
    vcl::TTreeNode* node = nullptr;
    std::size_t before = 0;  // the first of the fill's items that follows it
    bool same = false;       // that item is this child's own item
  };

  // The delay timer's Tag: what it does when it fires.
  static constexpr int kDeferredSelection = 1;
  static constexpr int kDeferredRefresh = 2;
  static constexpr int kSelectionDelayMs = 500;
  // More of a job's items are read; the timer adds the next slice.
  static constexpr win::UINT kFillReadyMessage = win::WM_USER + 0x202;
  static constexpr win::UINT_PTR kFillSliceTimer = 0x5346;

  bool Designing() const { return ComponentState().Contains(vcl::csDesigning); }
  bool Busy() const { return modalOperation_ || IsEditing(); }
  shell::DWORD EnumerationFlags() const;
  void ClearNodes();
  void FreeNodeData();
  void BaseFolderChanged();
  void SelectedFolderChanged();
  void SortChildren(vcl::TTreeNode* node);
  int CompareNodes(vcl::TTreeNode* a, vcl::TTreeNode* b);
  void NavigateToNode(vcl::TTreeNode* node);
  void DelayTimerFired();
  void RestartDelayTimer(int tag, int interval);
  void RefreshNode(vcl::TTreeNode* node, vcl::TTreeNode*& remembered);
  void StartWatching();
  void StopWatching();
  bool EditChildNamed(vcl::TTreeNode* parent, const std::string& name);
  void ResetBelow(vcl::TTreeNode* node);
  void CompareWithShell(vcl::TTreeNode* node, TCtShellTreeData* data, vcl::TTreeNode*& remembered);
  // True when the level goes on being filled off the window's thread.
  bool FillLevel(IShellFolder* folder, vcl::TTreeNode* node);
  shell::ULONG ItemAttributeMask() const;
  // The node-making half of AddNewShellItem, with the attributes (and, when
  // known, the name) already read; a node goes before `before` (null: last).
  // Null when the item is not offered or is refused.
  vcl::TTreeNode* AddShellItemNode(IShellFolder* folder, LPCITEMIDLIST parentAbsolute, LPCITEMIDLIST item,
                                   shell::ULONG attributes, const std::string* name, vcl::TTreeNode* parentNode,
                                   vcl::TTreeNode* before);
  void StartFill(vcl::TTreeNode* node, std::vector<shell::IdListPtr> items);
  PendingFill* PendingFillOf(vcl::TTreeNode* node);
  void ContinueFills();
  // Adds items of the fill until its slice is used up (all of them when
  // `whole`); true once every item is in.
  bool AddFilledItems(PendingFill& fill, bool whole);
  std::vector<ForeignChild> ForeignChildren(PendingFill& fill);
  void EndFill(vcl::TTreeNode* node);
  // Drops the fills of the node (null: all), telling the fill's end.
  void CancelFills(vcl::TTreeNode* node);
  vcl::TTreeNode* MakeRootNode(IShellFolder* folder);
  void WalkToIdList(TCtIdListArray& base, TCtIdListArray& wanted);
  void RunMenuCommand(vcl::TTreeNode* node, IContextMenu* menuObject, shell::UINT id);
  void ShellChanged();
  void ShellAutoFill();
  void BeginOleDrag(const win::NMTREEVIEW& notification, bool rightButton);
  shell::ComPtr<IDataObject> NodeDataObject(vcl::TTreeNode* node);
  vcl::TTreeNode* NodeAtScreen(win::POINT point);
  void ShowDropHighlight(vcl::TTreeNode* node);
  void RegisterDropTarget();
  void RevokeDropTarget();
  void ReleaseWindowHelpers();
  // Paints with the image lists' background in the control's colour.
  void PaintOnOwnColour(vcl::TMessage& m);
  bool DesignHitTest(vcl::TPoint p);
  bool HandleDefaultKey(vcl::TShortCut shortCut);
  void ApplyDragStyle();

  std::unique_ptr<TCtShellLocator> baseFolder_;
  std::unique_ptr<TCtShellLocator> selectedFolder_;
  TCtShellTreeOptions options_ = kDefaultShellTreeOptions;
  TCtShellTreeListLink* shellList_ = nullptr;
  vcl::TComponent* shellListComponent_ = nullptr;  // the linked list, for its free notification
  std::unique_ptr<vcl::TImageList> images_;
  std::unique_ptr<vcl::TTimer> delayTimer_;
  std::unordered_set<const TCtShellTreeData*> ownData_;  // the node data this tree made
  std::unique_ptr<TChangeHandlerThread> changeThread_;
  shell::ComPtr<shell::IDropTarget> dropTarget_;  // while the window is registered for drops
  bool navigateNow_ = false;
  int suppress_ = 0;
  int silent_ = 0;
  bool ignoreNextChange_ = false;
  bool modalOperation_ = false;
  bool refreshPending_ = false;
  bool loading_ = false;
  bool recreating_ = false;
  bool reparenting_ = false;
  vcl::TTreeNode* dragNode_ = nullptr;
  shell::ComPtr<IDataObject> dragData_;
  TCtShellDragOver dragOver_;
  win::DWORD lastMove_ = 0;
  vcl::TPoint hoverPoint_{};
  vcl::TTreeNode* lastInserted_ = nullptr;
  TCtShellMenuTracker menuTracker_;
  std::vector<PendingFill> pendingFills_;
  uint64_t lastTicket_ = 0;
  std::size_t syncFillLimit_ = 256;
};

class TCtShellTree : public TCtCustomShellTree {
  QELO_VCL_CLASS()
 public:
  using TCtCustomShellTree::TCtCustomShellTree;
};

// Registers TCtShellTree (once) so that form files can place it.
void RegisterCtShellTreeClasses();

}  // namespace qelo::ct
