// TQeloComBobox: the two-column drop-down from which the user picks an
// output profile (a group, left) and a file format (an item of it, right).
// Moving over a group shows its items at once; clicking an item hides the
// popup and reports the group and the item. Arrow areas scroll a column
// while the mouse rests on them; the wheel scrolls the column under it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vcl/controls/controls.h"
#include "vcl/controls/timer.h"
#include "vcl/graphics/png_image.h"
#include "vcl/strings.h"

namespace qelo::controls {

// An item's icon as PNG bytes; the bytes stay the giver's.
class TComboxItemIcon : public vcl::TObject {
 public:
  TComboxItemIcon(const void* data, int size) : IconData(data), IconSize(size) {}
  const void* IconData;
  int IconSize;
};

// One group of the drop-down with its items.
class TComboxStrList {
 public:
  TComboxStrList() = default;
  ~TComboxStrList();
  TComboxStrList(const TComboxStrList&) = delete;
  TComboxStrList& operator=(const TComboxStrList&) = delete;

  // Appends to Names, Descriptions and IconFiles (an empty path carrying
  // the item's icon record).
  void AddItem(const std::string& name, const std::string& description, const void* iconData, int iconSize);
  int ItemCount() const { return Names.Count(); }
  const TComboxItemIcon* ItemIcon(int index) const;

  std::string Caption;
  // Preferred over IconData when the file exists.
  std::string IconFile;
  vcl::TStringList Names;
  vcl::TStringList Descriptions;
  vcl::TStringList IconFiles;
  // The group's icon as PNG bytes, the giver's.
  const void* IconData = nullptr;
  int IconSize = 0;
};

using TComboxSelectEvent =
    std::function<void(vcl::TObject* sender, const std::string& caption, int groupIndex, int itemIndex)>;

class TQeloComBobox : public vcl::TCustomControl {
  QELO_VCL_CLASS()
 public:
  // Where the mouse rests to scroll, and where the timer then scrolls.
  enum TScrollDir { sdGroupsDown = 0, sdGroupsUp = 1, sdItemsDown = 2, sdItemsUp = 3, sdNone = 4 };
  // The areas of GetAreaRect.
  enum TAreaKind {
    akGroupRow = 0, akItemRow = 1, akItemDescription = 2, akGroupsUp = 3, akGroupsDown = 4,
    akItemsUp = 5, akItemsDown = 6
  };
  static constexpr vcl::TColor kHotGroupColor = 0x6A240A;
  static constexpr vcl::TColor kHotItemColor = 0xA56E3A;
  static constexpr vcl::TColor kColumnBackground = 0xD8E9EC;
  static constexpr int kScrollIntervalMs = 300;
  static constexpr int kGroupRowHeight = 25;
  static constexpr int kItemRowHeight = 50;

  explicit TQeloComBobox(vcl::TComponent* owner);
  ~TQeloComBobox() override;

  // Brush of the frame and the normal rows; Pen of the frame and the
  // separator. Both are copied; a change repaints.
  vcl::TBrush* Brush() const { return brush_; }
  void SetBrush(const vcl::TBrush* brush) { brush_->Assign(brush); }
  vcl::TPen* Pen() const { return pen_; }
  void SetPen(const vcl::TPen* pen) { pen_->Assign(pen); }
  // Width of the group column; x of the separator.
  int TypeWidth() const { return typeWidth_; }
  void SetTypeWidth(int value);

  TComboxStrList* AddGroup();
  void ClearGroups();
  int GroupCount() const { return static_cast<int>(groups_.size()); }
  TComboxStrList* Group(int index) const;

  // Shows the popup at a screen point below a button of that height, with
  // `parent` as its parent; it opens above the button when it does not fit
  // below, and moves left to stay on the work area.
  void PopupAt(int x, int y, vcl::TWinControl* parent, int buttonHeight);
  void HidePopup();
  void DestroyPopup() { Free(); }

  vcl::TRect GetAreaRect(int row, TAreaKind kind) const;
  // Visible rows: Round((Height - 12) / 25 - 0.5) and the same with 50,
  // rounding halves to even.
  int GroupRows() const;
  int ItemRows() const;

  int HotGroup() const { return hotGroup_; }
  int HotItem() const { return hotItem_; }
  int FirstGroup() const { return firstGroup_; }
  int FirstItem() const { return firstItem_; }
  TScrollDir ScrollDir() const { return scrollDir_; }
  bool Scrolling() const;
  int SelGroup() const { return selGroup_; }
  int SelItem() const { return selItem_; }

  TComboxSelectEvent OnSelectItem;

 protected:
  void CreateParams(vcl::TCreateParams& params) override;
  void Paint() override;
  void Dispatch(vcl::TMessage& message) override;
  // Escape hides the popup.
  void KeyDown(uint16_t& key, vcl::TShiftState shift) override;

 private:
  void MouseMoved(vcl::TPoint point);
  void LeftButtonDown(vcl::TPoint point);
  void Wheel(int delta);
  void ScrollStep(TScrollDir direction);
  void TimerTick(vcl::TObject*);
  int LastItemIndex() const;  // of the hot group; -1 when it has none
  TComboxStrList* HotGroupList() const;
  void PaintGroups(vcl::TCanvas& canvas);
  void PaintItems(vcl::TCanvas& canvas);
  void PaintArrows(vcl::TCanvas& canvas);
  void PaintArrow(vcl::TCanvas& canvas, TAreaKind kind, vcl::TPngImage& arrow);
  void PrepareRow(vcl::TCanvas& canvas, const vcl::TRect& hotArea, bool hot, vcl::TColor hotColor);

  vcl::TBrush* brush_;
  vcl::TPen* pen_;
  int typeWidth_ = 200;
  std::vector<std::unique_ptr<TComboxStrList>> groups_;
  int hotGroup_ = 0;
  int hotItem_ = 0;
  int firstGroup_ = 0;
  int firstItem_ = 0;
  TScrollDir scrollDir_ = sdNone;
  vcl::TTimer* timer_;
  int selGroup_ = -1;
  int selItem_ = -1;
  vcl::TPoint lastMouse_{-1, -1};
  vcl::TPngImage groupMarker_, downArrow_, upArrow_, arrowBackground_;
};

}  // namespace qelo::controls
