// The tree view of the form framework over the native "SysTreeView32"
// class: nodes with text, data, images and children, expanding and
// collapsing, selection, label editing, custom drawing and image indexes
// asked for when a node is drawn.
//
// The framework's nodes hold the tree; each node is pushed to the window
// (its lParam is the TTreeNode) whenever the window exists, and what the
// user changes there (expansion, selection) is kept across a re-creation.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "vcl/controls/custom_draw.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/image_list.h"
#include "win/controls/lists/treeview.h"

namespace qelo::vcl {

class TCustomTreeView;
class TTreeNodes;
class TTreeNode;

using TTVCompare = std::function<int(TTreeNode* first, TTreeNode* second)>;

class TTreeNode : public TPersistent {
 public:
  explicit TTreeNode(TTreeNodes* owner) : owner_(owner) {}

  TTreeNodes* Owner() const { return owner_; }
  TCustomTreeView* TreeView() const;
  // The node in the window; null while the tree has no window.
  win::HTREEITEM ItemId() const { return handle_; }

  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);
  void* Data() const { return data_; }
  void SetData(void* data) { data_ = data; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);
  int SelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(int index);
  // Shows an expand button before any child exists (filled on expanding).
  bool HasChildren() const { return hasChildren_ || !children_.empty(); }
  void SetHasChildren(bool value);
  // Drawn dimmed, as items cut to the clipboard are.
  bool Cut() const { return cut_; }
  void SetCut(bool value);
  // The image list's overlay (0 to 3) drawn over the node's image; -1 none.
  int OverlayIndex() const { return overlayIndex_; }
  void SetOverlayIndex(int index);
  // The node's place in tree order: 0 for the first node.
  int AbsoluteIndex() const;

  bool Expanded() const;
  void SetExpanded(bool value) { value ? Expand(false) : Collapse(false); }
  void Expand(bool recurse);
  void Collapse(bool recurse);
  bool Selected() const;
  void SetSelected(bool value);
  bool Focused() const { return Selected(); }

  TTreeNode* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(children_.size()); }
  TTreeNode* Item(int index) const;
  int Index() const;
  // 0 for a top-level node.
  int Level() const;
  TTreeNode* GetFirstChild() const { return children_.empty() ? nullptr : children_.front(); }
  TTreeNode* getNextSibling() const;
  TTreeNode* getPrevSibling() const;
  // The next node in tree order (children first).
  TTreeNode* GetNext() const;

  // The node's rectangle (or only its text's) in client coordinates; empty
  // without a window or while the node is hidden in a collapsed parent.
  TRect DisplayRect(bool textOnly) const;
  // Starts the label edit; false when refused or impossible.
  bool EditText();
  void MakeVisible();
  // Frees the node and its children.
  void Delete();
  void DeleteChildren();
  // Puts the children in the order of `compare` (negative: the first node
  // goes before the second), and with `recurse` their children too; the
  // order of equal nodes stays.
  bool CustomSort(const TTVCompare& compare, bool recurse = false);

 private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  std::vector<TTreeNode*>& Siblings() const;
  void PushFields(win::UINT mask) const;
  win::UINT StateBits() const;

  TTreeNodes* owner_;
  TTreeNode* parent_ = nullptr;
  std::vector<TTreeNode*> children_;
  win::HTREEITEM handle_ = nullptr;
  std::string text_;
  void* data_ = nullptr;
  int imageIndex_ = -1;
  int selectedIndex_ = -1;
  bool hasChildren_ = false;
  bool cut_ = false;
  int overlayIndex_ = -1;
  bool expanded_ = false;  // kept here while there is no window
};

class TTreeNodes : public TPersistent {
 public:
  explicit TTreeNodes(TCustomTreeView* owner) : owner_(owner) {}
  ~TTreeNodes() override;

  TCustomTreeView* Owner() const { return owner_; }
  // A new last sibling of `sibling` (a top-level node when it is null).
  TTreeNode* Add(TTreeNode* sibling, const std::string& text) { return AddObject(sibling, text, nullptr); }
  TTreeNode* AddObject(TTreeNode* sibling, const std::string& text, void* data);
  // A new last child of `parent` (a top-level node when it is null).
  TTreeNode* AddChild(TTreeNode* parent, const std::string& text) { return AddChildObject(parent, text, nullptr); }
  TTreeNode* AddChildObject(TTreeNode* parent, const std::string& text, void* data);
  // A new node just before `sibling` (the last top-level node when null).
  TTreeNode* Insert(TTreeNode* sibling, const std::string& text);
  void Delete(TTreeNode* node);
  void Clear();
  void BeginUpdate();
  void EndUpdate();

  // Every node, in tree order.
  int Count() const;
  TTreeNode* Item(int index) const;
  TTreeNode* operator[](int index) const { return Item(index); }
  TTreeNode* GetFirstNode() const { return roots_.empty() ? nullptr : roots_.front(); }
  // The node of a window item; null for none.
  TTreeNode* GetNode(win::HTREEITEM item) const;

 private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  TTreeNode* InsertAt(TTreeNode* parent, size_t position, const std::string& text, void* data);
  void PushNode(TTreeNode* node) const;
  void Release(TTreeNode* node);

  TCustomTreeView* owner_;
  std::vector<TTreeNode*> roots_;
  int updateCount_ = 0;
};

using TTVChangingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowChange)>;
using TTVChangedEvent = std::function<void(TObject* sender, TTreeNode* node)>;
using TTVExpandingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowExpansion)>;
using TTVCollapsingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowCollapse)>;
using TTVExpandedEvent = std::function<void(TObject* sender, TTreeNode* node)>;
using TTVEditingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowEdit)>;
using TTVEditedEvent = std::function<void(TObject* sender, TTreeNode* node, std::string& text)>;
using TTVCustomDrawEvent = std::function<void(TCustomTreeView* sender, const TRect& rect, bool& defaultDraw)>;
using TTVCustomDrawItemEvent =
    std::function<void(TCustomTreeView* sender, TTreeNode* node, TCustomDrawState state, bool& defaultDraw)>;

class TCustomTreeView : public TWinControl {
  QELO_VCL_CLASS()
 public:
  explicit TCustomTreeView(TComponent* owner);
  ~TCustomTreeView() override;

  TTreeNodes* Items() { return &items_; }
  TTreeNode* Selected() const;
  void SetSelected(TTreeNode* node);
  TTreeNode* GetNodeAt(int x, int y) const;
  // The node shown as the target of a drag (null: none).
  TTreeNode* DropTarget() const;
  void SetDropTarget(TTreeNode* node);
  // Whether a label is being edited.
  bool IsEditing() const;
  // Sorts the top-level nodes (and, with recurse, every level).
  bool CustomSort(const TTVCompare& compare, bool recurse = false);
  // Pixels a level is indented by.
  int Indent() const { return indent_; }
  void SetIndent(int value);

  TImageList* Images() const { return images_; }
  void SetImages(TImageList* images);
  bool ShowLines() const { return showLines_; }
  void SetShowLines(bool v) { SetStyleFlag(showLines_, v); }
  // bsSingle: a sunken two-pixel edge in the non-client area.
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle style);
  bool ShowButtons() const { return showButtons_; }
  void SetShowButtons(bool v) { SetStyleFlag(showButtons_, v); }
  bool ShowRoot() const { return showRoot_; }
  void SetShowRoot(bool v) { SetStyleFlag(showRoot_, v); }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v) { SetStyleFlag(readOnly_, v); }
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool v) { SetStyleFlag(hideSelection_, v); }
  bool AutoExpand() const { return autoExpand_; }
  void SetAutoExpand(bool v) { SetStyleFlag(autoExpand_, v); }
  // A right click selects the node under the mouse.
  bool RightClickSelect() const { return rightClickSelect_; }
  void SetRightClickSelect(bool v) { rightClickSelect_ = v; }

  void Dispatch(TMessage& message) override;
  TCanvas* Canvas() const { return canvas_.get(); }

  TTVChangingEvent OnChanging;
  TTVChangedEvent OnChange;
  TTVExpandingEvent OnExpanding;
  TTVExpandedEvent OnExpanded;
  TTVCollapsingEvent OnCollapsing;
  TTVExpandedEvent OnCollapsed;
  TTVEditingEvent OnEditing;
  TTVEditedEvent OnEdited;
  TTVExpandedEvent OnGetImageIndex;
  TTVExpandedEvent OnGetSelectedIndex;
  TTVExpandedEvent OnDeletion;
  TTVCustomDrawEvent OnCustomDraw;
  TTVCustomDrawItemEvent OnCustomDrawItem;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;

  virtual bool CanChange(TTreeNode* node);
  virtual void Change(TTreeNode* node);
  virtual bool CanExpand(TTreeNode* node);
  virtual void Expand(TTreeNode* node);
  virtual bool CanCollapse(TTreeNode* node);
  virtual void Collapse(TTreeNode* node);
  virtual bool CanEdit(TTreeNode* node);
  virtual void Edit(TTreeNode* node, std::string& text);
  virtual void Delete(TTreeNode* node);
  virtual void GetImageIndex(TTreeNode* node);
  virtual void GetSelectedIndex(TTreeNode* node);
  virtual bool CustomDraw(const TRect& rect);
  virtual bool CustomDrawItem(TTreeNode* node, TCustomDrawState state);
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TTreeNode;
  friend class TTreeNodes;
  win::LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const;
  void SetStyleFlag(bool& field, bool value);
  void PushImages() const;
  void NotifyMessage(TMessage& m);
  win::LRESULT ExpandingMessage(const win::NMTREEVIEW& n);
  void DispInfoMessage(win::NMTVDISPINFO& info);
  win::LRESULT EndEditMessage(win::NMTVDISPINFO& info);
  win::LRESULT CustomDrawMessage(win::NMTVCUSTOMDRAW& draw);
  void RightClick();
  void SaveStates(TTreeNode* node);
  void SortChildren(TTreeNode* parent, std::vector<TTreeNode*>& nodes, const TTVCompare& compare, bool recurse);

  TTreeNodes items_;
  TImageList* images_ = nullptr;
  TChangeLink imageLink_;
  bool showLines_ = true, showButtons_ = true, showRoot_ = true, readOnly_ = false;
  bool hideSelection_ = true, autoExpand_ = false, rightClickSelect_ = false;
  TBorderStyle borderStyle_ = bsSingle;
  int indent_ = 19;
  TTreeNode* savedSelection_ = nullptr;  // the selection while there is no window
  bool pushing_ = false;                 // nodes are being pushed to the window: no events
  std::unique_ptr<TCanvas> canvas_;
};

class TTreeView : public TCustomTreeView {
  QELO_VCL_CLASS()
 public:
  using TCustomTreeView::TCustomTreeView;
};

}  // namespace qelo::vcl
