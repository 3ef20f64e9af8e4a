// The framed tree view of the control library, over the framework's tree
// view: the framed-control protocol (the frame in the non-client band, the
// state colours), a settable node height, an outline around the selected
// node while the control has no focus, wheel steps of the system's line
// count, node context menus from a right click, the menu key and Shift+F10
// (offered to OnNodeContextMenu first, never shown twice for one click),
// expanding that selects, and the tree as indented text lines.
//
// The shell tree derives from this class and publishes its properties;
// nothing in this unit places a tree of its own on a form.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "ct_common_framed.h"
#include "vcl/controls/treeview.h"
#include "vcl/strings.h"

namespace qelo::ct {

using TCtTvOnNodeContextMenuEvent =
    std::function<void(vcl::TObject* sender, vcl::TTreeNode* node, vcl::TPoint& pos, vcl::TPopupMenu*& menu)>;

class TCtCustomTreeView : public TCtFramedControl<vcl::TCustomTreeView> {
  QELO_VCL_CLASS()
 public:
  explicit TCtCustomTreeView(vcl::TComponent* owner);
  ~TCtCustomTreeView() override;

  // The selected node as menu handlers see it: while the menu of a right
  // click is open and RightClickSelect is on, the right-clicked node;
  // otherwise the tree's selection (none while there is no window).
  vcl::TTreeNode* GetSelected() const;
  void SetSelected(vcl::TTreeNode* node) { TCtFramedControl::SetSelected(node); }

  // Replaces the nodes by the lines: a line's level is the count of its
  // leading tabs and blanks. A line more than one level deeper than the
  // one before raises ETreeViewError; the nodes made before it stay.
  virtual void LoadFromStrings(vcl::TStrings& lines);
  // Adds a line per node in tree order: a tab per level, then the text.
  // A text that would not read back as it is (one that begins with a blank,
  // a tab or a double quote) is written in double quotes, inner quotes
  // doubled.
  virtual void SaveToStrings(vcl::TStrings& lines);

  virtual bool GetAutoExpand() const { return AutoExpand(); }
  // Turning AutoExpand on turns SelectOnExpand off.
  virtual void SetAutoExpand(bool value);
  // Expanding or collapsing a node also selects it; turning it on turns
  // AutoExpand off.
  bool SelectOnExpand() const { return selectOnExpand_; }
  virtual void SetSelectOnExpand(bool value);
  // The outline of the selected node while the control has no focus; a
  // change of the pen repaints the control.
  vcl::TPen* SelectionPen() const { return selectionPen_.get(); }
  virtual void SetSelectionPen(const vcl::TPen* pen);
  // The height of a node in pixels; 0 or less is the platform's height (a
  // negative height reads back as 0 once the window exists).
  int ItemHeight() const { return itemHeight_; }
  virtual void SetItemHeight(int value);

  // Showing the frame or not makes the window again.
  void SetFrameVisible(bool value) override;

  TCtTvOnNodeContextMenuEvent OnNodeContextMenu;

 protected:
  virtual void ApplyItemHeight();
  void CreateParams(vcl::TCreateParams& params) override;
  void CreateWnd() override;
  void Loaded() override;
  void Dispatch(vcl::TMessage& message) override;
  void Expand(vcl::TTreeNode* node) override;
  void Collapse(vcl::TTreeNode* node) override;
  void Delete(vcl::TTreeNode* node) override;
  void KeyDown(uint16_t& key, vcl::TShiftState shift) override;
  bool DoMouseWheelDown(vcl::TShiftState shift, vcl::TPoint mousePos) override;
  bool DoMouseWheelUp(vcl::TShiftState shift, vcl::TPoint mousePos) override;

  // The menu of the selected node at the centre of its text, or the
  // control's own menu at its client origin when no node is selected.
  virtual void ShowNodeContextMenuAtSelection();
  // Offers the node's menu (PopupMenu) at a client point to
  // DoNodeContextMenu and pops up what it leaves.
  virtual void ShowNodeContextMenu(vcl::TTreeNode* node, vcl::TPoint p);
  // Fires OnNodeContextMenu, which may move the point and change the menu.
  virtual void DoNodeContextMenu(vcl::TTreeNode* node, vcl::TPoint& p, vcl::TPopupMenu*& menu);

 private:
  bool Designing() const { return ComponentState().Contains(vcl::csDesigning); }
  void RightClick(vcl::TMessage& m);
  void ContextMenuMessage(vcl::TMessage& m);
  void RightButtonUp(vcl::TMessage& m);
  void PopUp(vcl::TPopupMenu* menu, vcl::TPoint clientPoint);
  void PaintSelectionOutline(win::HDC given);
  bool LabelEditFocused() const;
  void ScrollByWheel(bool down);

  bool selectOnExpand_ = false;
  std::unique_ptr<vcl::TPen> selectionPen_;
  int itemHeight_ = 0;
  vcl::TTreeNode* rightClickedNode_ = nullptr;  // while its menu is shown
  bool contextMenuShown_ = false;  // the right-button release that follows shows no other menu
  vcl::TCanvas outlineCanvas_;
};

// Registers TCtCustomTreeView (once) so that form files can place it.
void RegisterCtTreeViewClasses();

}  // namespace qelo::ct
