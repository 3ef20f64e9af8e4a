// The list view's state and behaviour behind its window procedure: items
// and columns (listview_items.cpp), groups, the rows items show in and
// owner data (listview_groups.cpp), geometry and painting
// (listview_paint.cpp), mouse, keyboard and label editing
// (listview_input.cpp), and message dispatch (listview.cpp).
#pragma once

#include <string>
#include <vector>

#include "win/controls/lists/control_data.h"
#include "win/controls/lists/listview.h"

namespace qelo::win::lists {

struct LvText {
  std::string text;
  bool callback = false;  // the parent answers LVN_GETDISPINFO
};

struct LvItem {
  std::vector<LvText> texts;  // by sub-item; 0 is the label
  int image = I_IMAGENONE;
  LPARAM param = 0;
  UINT state = 0;
  int indent = 0;
  int group = I_GROUPIDNONE;
};

struct LvGroup {
  int id = 0;
  std::string header;
  std::string footer;
  UINT state = LVGS_NORMAL;
  UINT align = LVGA_HEADER_LEFT;
  int titleImage = -1;
};

struct LvColumn {
  int fmt = LVCFMT_LEFT;
  int subItem = 0;
  int image = -1;
};

// What the parent may change at the custom-draw item and sub-item stages.
struct CellColours {
  COLORREF text = 0;
  COLORREF background = CLR_NONE;
};

class ListView {
 public:
  explicit ListView(HWND window) : window_(window) {}
  LRESULT Handle(UINT message, WPARAM w, LPARAM l);

 private:
  // ---- items and columns (listview_items.cpp)
  bool ValidItem(int index) const { return index >= 0 && index < Count(); }
  int Count() const { return static_cast<int>(items_.size()); }
  DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtr(window_, GWL_STYLE)); }
  bool HasCheckBoxes() const { return exStyle_ & LVS_EX_CHECKBOXES; }
  LRESULT InsertItem(const LVITEM* in);
  LRESULT DeleteItem(int index);
  LRESULT DeleteAllItems();
  LRESULT GetItem(LVITEM* out);
  LRESULT SetItem(const LVITEM* in);
  LRESULT GetItemText(int index, LVITEM* out);
  LRESULT SetItemText(int index, const LVITEM* in);
  // The text of a sub-item, asking the parent when it is a callback.
  std::string Text(int index, int subItem);
  int Image(int index);
  // Send LVN_ITEMCHANGING (which may refuse) and LVN_ITEMCHANGED.
  bool ChangeItem(int index, UINT changed, UINT newState, UINT stateMask,
                  const LvItem& replacement);
  bool ChangeState(int index, UINT state, UINT mask);
  bool SetItemState(int index, UINT state, UINT mask);
  LRESULT SetItemStates(WPARAM index, const LVITEM* in);
  int FocusedItem() const;
  int SelectedCount() const;
  void SelectOnly(int index);
  void SelectRange(int from, int to);
  void DeselectAll();
  void ToggleCheck(int index);
  LRESULT NextItem(int start, UINT flags) const;
  LRESULT FindItem(int start, const LVFINDINFO* find);
  LRESULT SortItems(LPARAM sortParam, PFNLVCOMPARE compare);
  LRESULT SetExtendedStyle(DWORD mask, DWORD style);
  LRESULT InsertColumn(int index, const LVCOLUMN* in);
  LRESULT GetColumn(int index, LVCOLUMN* out);
  LRESULT SetColumn(int index, const LVCOLUMN* in);
  LRESULT DeleteColumn(int index);
  LRESULT SetColumnWidth(int index, int width);
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  int ColumnWidth(int index) const;
  LRESULT Notify(UINT code, NMHDR* header) { return SendNotify(window_, code, header); }
  LRESULT NotifyItem(UINT code, int index, int subItem = 0);

  // ---- groups, rows and owner data (listview_groups.cpp)
  bool OwnerData() const { return (Style() & LVS_OWNERDATA) != 0; }
  // The rows shown top to bottom: items, and with the group view the
  // groups' header rows. Without the group view row n is item n.
  int RowCount() const;
  int RowOfItem(int index) const;  // -1: the item does not show
  int ItemAtRow(int row) const;    // -1: a header row, or no row
  int GroupAtRow(int row) const;   // -1: an item's row, or no row
  // The item `steps` rows of items away from `from` (headers skipped),
  // kept to the first and last shown items.
  int StepItem(int from, int steps) const;
  int FirstShownItem() const;
  int LastShownItem() const;
  void RowsChanged() { rowsValid_ = false; }
  const std::vector<int>& Rows() const;
  int GroupIndex(int id) const;
  LRESULT InsertGroup(int place, const LVGROUP* in);
  LRESULT SetGroupInfo(int id, const LVGROUP* in);
  LRESULT GetGroupInfo(int id, LVGROUP* out) const;
  LRESULT RemoveGroup(int id);
  LRESULT RemoveAllGroups();
  LRESULT EnableGroupView(bool on);
  void PaintGroupHeader(HDC dc, int group, const RECT& row);
  LRESULT SetItemCount(int count);
  void HintCache(int firstRow, int lastRow);
  LRESULT FindOwnerDataItem(int start, const LVFINDINFO* find);
  void SelectOwnerDataRange(int low, int high);

  // ---- geometry and painting (listview_paint.cpp)
  void CreateHeader();
  void LayoutHeader();
  int HeaderHeight() const;
  int RowHeight() const;
  int StateWidth() const;
  int SmallImageWidth() const;
  int TextHeight() const;
  int TextWidth(const std::string& text) const;
  int ColumnLeft(int column) const;
  int TotalWidth() const;
  int RowsPerPage() const;
  RECT RowRect(int index) const;
  RECT CellRect(int index, int column) const;
  RECT PartRect(int index, int part) const;  // LVIR_* of the item's label column
  RECT StateRect(int index) const;
  LRESULT GetItemRect(int index, RECT* r) const;
  LRESULT GetSubItemRect(int index, RECT* r) const;
  LVHITTESTINFO HitTest(POINT p) const;
  void InvalidateItem(int index);
  void Scroll(int dx, int dyRows);
  void EnsureVisible(int index);
  void ClampScroll();
  void UpdateScrollBars();
  void ScrollBarRequest(int bar, int code, int position);
  void Paint(HDC given);
  void PaintRows(HDC dc, const RECT& update, LRESULT prepaint);
  void PaintItem(HDC dc, int index, LRESULT prepaint);
  void OwnerDrawItem(HDC dc, int index);
  void DrawCell(HDC dc, int index, int column, const CellColours& colours);
  void DrawLabelColumn(HDC dc, int index, const RECT& cell, const CellColours& colours);
  void DrawGridLines(HDC dc);
  LRESULT CustomDraw(DWORD stage, HDC dc, RECT rc, int index, int subItem, CellColours* colours);
  bool Highlighted(int index) const;

  // ---- input and label editing (listview_input.cpp)
  void ButtonDown(POINT p, WPARAM keys, bool doubleClick);
  void ButtonUp(POINT p);
  void RightButtonDown(POINT p);
  void RightButtonUp(POINT p);
  void MouseMove(POINT p, WPARAM keys);
  void KeyDown(int key);
  void MoveFocus(int to);
  LRESULT NotifyActivate(UINT code, POINT p);
  void AskInfoTip(int index);
  HWND EditLabel(int index);
  void CancelEdit();
  LRESULT HeaderNotify(WPARAM w, NMHDR* n);

  HWND window_;
  HWND header_ = nullptr;
  HWND edit_ = nullptr;
  int editItem_ = -1;
  std::vector<LvItem> items_;
  std::vector<LvColumn> columns_;
  std::vector<LvGroup> groups_;
  bool groupView_ = false;
  mutable std::vector<int> rows_;  // with the group view: >= 0 an item, < 0 the header of group -row - 1
  mutable bool rowsValid_ = false;
  HIMAGELIST groupImages_ = nullptr;
  DWORD exStyle_ = 0;
  HFONT font_ = nullptr;
  HIMAGELIST images_[3] = {nullptr, nullptr, nullptr};
  COLORREF background_ = GetSysColor(COLOR_WINDOW);
  COLORREF textBackground_ = GetSysColor(COLOR_WINDOW);
  COLORREF textColour_ = GetSysColor(COLOR_WINDOWTEXT);
  int top_ = 0;       // first row shown
  int scrollX_ = 0;   // pixels scrolled to the right
  int anchor_ = -1;   // where shift-selection starts
  int hot_ = -1;
  int tipItem_ = -1;  // item whose info tip was asked for last
  int hoverTime_ = -1;
  bool leftDown_ = false;
  bool rightDown_ = false;
  bool editOnUp_ = false;
  bool updatingBars_ = false;
  int downItem_ = -1;
  POINT downPoint_;
  char dispText_[1024] = {};
};

}  // namespace qelo::win::lists
