// The tool button of the control library: a windowless button for tool
// bars with an image from an image list (and images of their own for the
// hot, down and disabled looks), an optional caption, flat hot tracking,
// grouped toggling (message CM_BUTTONPRESSED, 45080) and a drop-down style
// whose arrow part on the right opens a popup menu under the button.
//
// A drop-down button remembers when its menu last closed: a press within
// 100 ms of that (the click that closed the menu reaching the button) does
// not open the menu again.
//
// On a tool bar the button takes the tool bar's layout, caption setting,
// styles and button size, each while its UseToolbar* switch is on: it asks
// its parent with one request message per setting (below) when it gets a
// parent, when its form is loaded and when the tool bar sends it the same
// message to say that setting changed. A parent that is no tool bar leaves
// the requests unanswered and the button keeps its own values.
#pragma once

#include <cstdint>
#include <functional>

#include "ct_common_color.h"
#include "ct_common_types.h"
#include "vcl/controls/buttons.h"
#include "vcl/controls/controls.h"
#include "vcl/graphics/image_list.h"

namespace qelo::ct {

using vcl::TColor;
using vcl::TRect;

enum TCtToolStyle { tsButton, tsDropDown };
extern const vcl::EnumInfo kCtToolStyleInfo;

// The requests of a tool button to its tool bar: lParam points at the
// value (the type named beside each), which a tool bar fills in, answering
// 1; wParam is 0. Sent by the tool bar to a button, each tells it that the
// setting changed.
constexpr vcl::UINT CM_TOOLBARBUTTONLAYOUT = vcl::CM_BASE + 1002;  // vcl::TButtonLayout
constexpr vcl::UINT CM_TOOLBARSHOWCAPTION = vcl::CM_BASE + 1003;   // bool
constexpr vcl::UINT CM_TOOLBARVISUALSTYLE = vcl::CM_BASE + 1004;   // TCtToolBarStyle
constexpr vcl::UINT CM_TOOLBARBUTTONSIZE = vcl::CM_BASE + 1005;    // vcl::TSize
struct TCtToolBarStyle {
  TCtVisualStyle visualStyle = vsWinXP;
  TCtGradientColorStyle gradientColorStyle = gcsSystem;
};

class TCtToolButton;

// Binds a tool button's Down to the action's check mark and its ImageIndex
// to the action's image, each while the two agree.
class TCtToolButtonActionLink : public vcl::TControlActionLink {
 public:
  explicit TCtToolButtonActionLink(TCtToolButton& client);

  bool IsCheckedLinked() const override;
  bool IsImageIndexLinked() const override;
  void SetChecked(bool checked) override;
  void SetImageIndex(int index) override;

 private:
  TCtToolButton& button_;
};

class TCtToolButton : public vcl::TGraphicControl {
  QELO_VCL_CLASS()
 public:
  // The width of the drop-down arrow part.
  static constexpr int kArrowWidth = 14;
  // How soon after a menu closed a press on the button is taken for the
  // click that closed it.
  static constexpr uint32_t kDropDownDebounceMs = 100;

  explicit TCtToolButton(vcl::TComponent* owner);
  ~TCtToolButton() override;

  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value);
  vcl::TAlignment Alignment() const { return alignment_; }
  void SetAlignment(vcl::TAlignment value);
  int DisabledIndex() const { return disabledIndex_; }
  void SetDisabledIndex(int value);
  int DownIndex() const { return downIndex_; }
  void SetDownIndex(int value);
  int HotIndex() const { return hotIndex_; }
  void SetHotIndex(int value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  vcl::TPopupMenu* DropDownMenu() const { return dropDownMenu_; }
  void SetDropDownMenu(vcl::TPopupMenu* menu);
  bool Down() const { return down_; }
  void SetDown(bool value);
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  TCtGradientColorStyle GradientColorStyle() const { return gradientColorStyle_; }
  void SetGradientColorStyle(TCtGradientColorStyle value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  vcl::TImageList* Images() const { return images_; }
  void SetImages(vcl::TImageList* images);
  vcl::TButtonLayout Layout() const { return layout_; }
  void SetLayout(vcl::TButtonLayout value);
  TColor SelectionColorStart() const { return selectionColorStart_; }
  void SetSelectionColorStart(TColor value);
  TColor SelectionColorStop() const { return selectionColorStop_; }
  void SetSelectionColorStop(TColor value);
  TColor SelectionFrameColor() const { return selectionFrameColor_; }
  void SetSelectionFrameColor(TColor value);
  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool value);
  TCtToolStyle ToolStyle() const { return toolStyle_; }
  void SetToolStyle(TCtToolStyle value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  TCtVisualStyle VisualStyle() const { return visualStyle_; }
  void SetVisualStyle(TCtVisualStyle value);
  // What the button takes from a tool bar it sits on; each is cleared when
  // its value is set by hand, and setting one asks the tool bar again.
  bool UseToolbarButtonLayout() const { return useToolbarButtonLayout_; }
  void SetUseToolbarButtonLayout(bool value);
  bool UseToolbarButtonSize() const { return useToolbarButtonSize_; }
  void SetUseToolbarButtonSize(bool value);
  bool UseToolbarShowCaption() const { return useToolbarShowCaption_; }
  void SetUseToolbarShowCaption(bool value);
  bool UseToolbarVisualStyle() const { return useToolbarVisualStyle_; }
  void SetUseToolbarVisualStyle(bool value);
  // Whether the width (or the height) is the tool bar's button size, which
  // a form need not keep.
  bool SizeFromToolBar(bool width) const;

  // Fired before the menu opens, with the menu as sender.
  vcl::TNotifyEvent OnDropDown;

  // Opens the drop-down menu under the button (nothing without one).
  void DropDown();
  // Runs for tsButton, and for tsDropDown while a click is armed.
  void Click() override;
  void SetBounds(int left, int top, int width, int height) override;
  void SetParent(vcl::TWinControl* parent) override;
  void Dispatch(vcl::TMessage& message) override;

  // The clock of the drop-down debounce, in milliseconds (tests put in a
  // clock of their own).
  void SetTickSource(std::function<uint32_t()> source) { tickSource_ = std::move(source); }

  // Where the drop-down menu opens: at the button's bottom-left corner on
  // the screen (bottom-right under right-to-left reading), moved left to
  // end at the button's right edge when a menu `menuWidth` wide would pass
  // the right edge of `workArea`.
  static vcl::TPoint DropDownMenuOrigin(const TRect& buttonOnScreen, int menuWidth, const TRect& workArea,
                                        bool rightToLeft);

 protected:
  enum class ButtonState { Up, Disabled, Down, Exclusive, DropDownPressed };

  void Paint() override;
  void MouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  void MouseMove(vcl::TShiftState shift, int x, int y) override;
  void MouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  void Loaded() override;
  void AssignTo(vcl::TPersistent* dest) const override;
  void ActionChange(vcl::TObject* sender, bool checkDefaults) override;
  vcl::TControlActionLinkClass GetActionLinkClass() const override;

  ButtonState State() const { return state_; }

 private:
  struct ContentLayout;

  bool Reading() const { return ComponentState().Contains(vcl::csReading); }
  bool Grouped() const { return groupIndex_ != 0; }
  bool HasClickHandler() const { return OnClick || Action(); }
  // Flat, or a look other than the classic one: the face shows only when
  // hot or pressed.
  bool HotTracking() const { return flat_ || visualStyle_ != vsClassic; }
  bool Hot() const { return mouseInside_ && Enabled(); }
  bool PressedState() const;
  // Down, stayed down, or the menu of a button without a click of its own
  // pressed: the content moves and the down image shows.
  bool ContentPressed() const;
  bool OnArrowPart(int x) const;
  TRect ArrowRect() const;

  void ResizeBy(int dx);
  void SetOwnBounds(int width, int height);
  // Asks the tool bar for one setting (a CM_TOOLBAR* request) and takes
  // its answer while the setting's switch is on; AskToolBarForAll asks for
  // each.
  void AskToolBar(vcl::UINT request);
  void AskToolBarForAll();
  // The button size the tool bar answers; false when there is none.
  bool ToolBarButtonSize(vcl::TSize& size) const;
  void ImagesChanged();
  void BroadcastGroup();
  void GroupMessage(vcl::TMessage& m);
  void DialogChar(vcl::TMessage& m);
  void MouseEnter();
  void MouseLeave();
  // Tells the button whether the cursor is over it now.
  void UpdateHotState();
  void DropDownPress();
  void ReleaseMouse();
  void FinishMouseUp(int x, int y);
  void UpdateStateFromEnabled();

  TRect PaintFaceAndFrame(const TRect& client);
  TRect PaintGradientFace(const TRect& client);
  void PaintArrowPart(const TRect& arrow);
  void PaintDownChecker(const TRect& inner);
  ContentLayout LayOutContent(const TRect& area, int imageWidth, int imageHeight) const;
  void PaintImage(int x, int y);
  void PaintCaption(const TRect& rect);

  bool allowAllUp_ = false;
  vcl::TAlignment alignment_ = vcl::taCenter;
  int disabledIndex_ = -1;
  int downIndex_ = -1;
  int hotIndex_ = -1;
  int imageIndex_ = -1;
  vcl::TPopupMenu* dropDownMenu_ = nullptr;
  bool down_ = false;
  bool flat_ = true;
  TCtGradientColorStyle gradientColorStyle_ = gcsSystem;
  int groupIndex_ = 0;
  vcl::TImageList* images_ = nullptr;
  vcl::TChangeLink imageChangeLink_;
  vcl::TButtonLayout layout_ = vcl::blGlyphLeft;
  TColor selectionColorStart_ = vcl::clBtnFace;
  TColor selectionColorStop_ = vcl::clBtnShadow;
  TColor selectionFrameColor_ = vcl::cl3DDkShadow;
  bool showCaption_ = false;
  TCtToolStyle toolStyle_ = tsButton;
  bool transparent_ = true;
  bool useToolbarButtonLayout_ = true;
  bool useToolbarButtonSize_ = true;
  bool useToolbarShowCaption_ = true;
  bool useToolbarVisualStyle_ = true;
  TCtVisualStyle visualStyle_ = vsWinXP;

  ButtonState state_ = ButtonState::Up;
  bool tracking_ = false;
  bool mouseInside_ = false;
  bool menuShowing_ = false;
  bool clickArmed_ = true;
  bool resizingItself_ = false;  // a size change of the button's own, not by hand
  uint32_t lastDropDown_ = 0;
  bool droppedDown_ = false;     // lastDropDown_ holds a time
  std::function<uint32_t()> tickSource_;
};

// Registers the tool button with the class registry (once).
void RegisterCtToolButtonClasses();

}  // namespace qelo::ct
