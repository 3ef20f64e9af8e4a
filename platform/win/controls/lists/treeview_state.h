// The tree view's state and behaviour behind its window procedure: nodes
// (treeview_items.cpp), geometry and painting (treeview_paint.cpp), mouse,
// keyboard and label editing (treeview_input.cpp), message dispatch
// (treeview.cpp).
#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "win/controls/lists/control_data.h"
#include "controls/lists/label_measurer.h"
#include "win/controls/lists/treeview.h"

namespace qelo::win {

struct TreeNode {
  TreeNode* parent = nullptr;
  std::vector<std::unique_ptr<TreeNode>> children;
  std::string text;
  bool textCallback = false;
  int image = 0;
  int selectedImage = 0;
  int childrenFlag = 0;  // cChildren: 1 has children, I_CHILDRENCALLBACK asks
  LPARAM param = 0;
  UINT state = 0;
  int textWidth = kUnmeasured;  // the text's width in the control's font, once measured

  static constexpr int kUnmeasured = -1;
  static constexpr int kMeasuring = -2;  // handed to the measuring thread
};

}  // namespace qelo::win

namespace qelo::win::lists {

// Posted to the tree view by its measuring thread.
constexpr UINT kLabelsMeasured = TVM_FIRST + 0x80;

class TreeView {
 public:
  explicit TreeView(HWND window) : window_(window) { root_.state = TVIS_EXPANDED; }
  LRESULT Handle(UINT message, WPARAM w, LPARAM l);
  // Whether labels are being measured off the window's thread.
  bool Measuring() const { return measurer_ && measurer_->Busy(); }

 private:
  // ---- nodes (treeview_items.cpp)
  bool Valid(HTREEITEM item) const { return item && nodes_.count(item); }
  DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtr(window_, GWL_STYLE)); }
  HTREEITEM Insert(const TVINSERTSTRUCT* in);
  bool Delete(HTREEITEM item);
  void DeleteChildren(TreeNode* node);
  void Forget(TreeNode* node);
  LRESULT GetItem(TVITEM* out);
  LRESULT SetItem(const TVITEM* in);
  std::string Text(HTREEITEM item);
  int Image(HTREEITEM item, bool selected);
  bool HasChildren(HTREEITEM item);
  TVITEM Describe(HTREEITEM item) const;
  bool Expand(HTREEITEM item, UINT code);
  bool Select(HTREEITEM item, UINT action);
  void ToggleCheck(HTREEITEM item);
  HTREEITEM Next(UINT code, HTREEITEM item);
  static size_t IndexInParent(const TreeNode* node);
  int Level(const TreeNode* node) const;
  bool Sort(HTREEITEM parent, bool recurse, const TVSORTCB* callback);
  LRESULT Notify(UINT code, NMHDR* header) { return SendNotify(window_, code, header); }

  // ---- geometry and painting (treeview_paint.cpp)
  const std::vector<TreeNode*>& VisibleRows();
  void LayoutChanged();
  int Row(const TreeNode* node);  // -1 when hidden under a collapsed node
  // Whether every ancestor is expanded (the node has a row).
  bool Shown(const TreeNode* node) const;
  int ItemHeight() const;
  int DefaultItemHeight() const;
  int TextWidth(const std::string& text) const;
  // The node's text width, measured once (text asked for by callback is
  // measured each time).
  int NodeTextWidth(TreeNode* node);
  int ContentLeft(const TreeNode* node) const;  // where the state image starts
  int StateWidth() const;
  int ImageWidth() const;
  int LabelLeft(const TreeNode* node) const;
  RECT TextRect(HTREEITEM item);
  LRESULT GetItemRect(bool textOnly, RECT* r);
  TVHITTESTINFO HitTest(POINT p);
  int RowsPerPage() const;
  void Scroll(int rows, int dx = 0);
  void EnsureVisible(HTREEITEM item);
  void ClampScroll();
  void UpdateScrollBars();
  void ScrollBarRequest(int bar, int code, int position);
  int ContentWidth();
  // The widths the measuring thread sent back.
  void TakeMeasuredWidths();
  void Paint(HDC given);
  void PaintRow(HDC dc, TreeNode* node, int row, LRESULT prepaint);
  void DrawLines(HDC dc, TreeNode* node, const RECT& row);
  void DrawButton(HDC dc, TreeNode* node, const RECT& row);
  LRESULT CustomDraw(DWORD stage, HDC dc, RECT rc, TreeNode* node, COLORREF* text,
                     COLORREF* background);

  // ---- input and label editing (treeview_input.cpp)
  void ButtonDown(POINT p, bool doubleClick);
  void ButtonUp();
  void RightButtonDown(POINT p);
  void RightButtonUp(POINT p);
  void MouseMove(POINT p, WPARAM keys);
  void KeyDown(int key);
  void SelectRow(int row);
  HWND EditLabel(HTREEITEM item);

  HWND window_;
  TreeNode root_;                 // holds the top-level nodes
  std::set<TreeNode*> nodes_;     // every live node, to check handles
  std::vector<TreeNode*> rows_;   // expanded nodes in display order
  bool rowsDirty_ = true;
  TreeNode* selected_ = nullptr;
  TreeNode* dropHilite_ = nullptr;
  TreeNode* editItem_ = nullptr;
  TreeNode* downItem_ = nullptr;
  HWND edit_ = nullptr;
  HWND tooltips_ = nullptr;
  HFONT font_ = nullptr;
  HIMAGELIST images_ = nullptr;
  HIMAGELIST stateImages_ = nullptr;
  int itemHeight_ = -1;  // -1: from the font and images
  int indent_ = 19;
  COLORREF background_ = CLR_NONE;  // CLR_NONE: the system colours
  COLORREF textColour_ = CLR_NONE;
  COLORREF lineColour_ = CLR_NONE;
  int top_ = 0;      // first row shown
  int scrollX_ = 0;  // pixels scrolled to the right
  bool leftDown_ = false;
  bool rightDown_ = false;
  bool editOnUp_ = false;
  bool updatingBars_ = false;
  // WM_SETREDRAW: while off, changes only mark the layout as stale; it is
  // brought up to date once when redrawing is switched on again.
  bool redraw_ = true;
  bool layoutPending_ = false;
  int contentWidth_ = -1;  // -1: to be measured again
  mutable std::optional<int> fontHeight_;  // the font's cell height, once asked
  // Measures labels when more are new at once than are quickly measured here.
  std::unique_ptr<LabelMeasurer> measurer_;
  POINT downPoint_;
  char dispText_[1024] = {};
};

}  // namespace qelo::win::lists
