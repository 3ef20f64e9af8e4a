#include "ct_button_tool.h"

#include <algorithm>
#include <memory>

#include "ct_button_group.h"
#include "ct_common_types.h"
#include "ct_common_color.h"
#include "ct_common_frames.h"
#include "ct_common_system.h"
#include "ct_grafx_gradient.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/text_drawing.h"
#include "vcl/controls/themes.h"
#include "vcl/form_file.h"
#include "vcl/graphics/menu_popup.h"

namespace qelo::ct {

using namespace vcl;

const EnumInfo kCtToolStyleInfo{"TCtToolStyle", {"tsButton", "tsDropDown"}};

namespace {

// DT_CALCRECT, DT_WORDBREAK, DT_CENTER and DT_VCENTER with tab expansion:
// how the caption is measured before it is placed.
constexpr UINT kMeasureCaption = 0x455;
// The gap between image and caption, and round the content.
constexpr int kContentGap = 4;
// Room the drop-down menu takes beyond its widest caption.
constexpr int kMenuExtraWidth = 56;

TRect Inflated(TRect r, int dx, int dy) {
  win::InflateRect(&r, dx, dy);
  return r;
}

// The widest caption among the menu's visible items in the screen's menu
// font, plus the room for check marks, arrows and borders.
int EstimatedMenuWidth(const TPopupMenu& menu) {
  TBitmap scratch(1, 1);
  TCanvas& canvas = *scratch.Canvas();
  menu_popup::AssignMenuFont(*canvas.Font());
  int widest = 0;
  const TMenuItem& root = *menu.Items();
  for (int i = 0; i < root.Count(); ++i)
    if (root.Items(i)->Visible()) widest = std::max(widest, canvas.TextWidth(root.Items(i)->Caption()));
  return widest + kMenuExtraWidth;
}

}  // namespace

// ---- action link ------------------------------------------------------------------

TCtToolButtonActionLink::TCtToolButtonActionLink(TCtToolButton& client)
    : TControlActionLink(client), button_(client) {}

bool TCtToolButtonActionLink::IsCheckedLinked() const {
  return TControlActionLink::IsCheckedLinked() && button_.Down() == CustomAction()->Checked();
}

bool TCtToolButtonActionLink::IsImageIndexLinked() const {
  return TControlActionLink::IsImageIndexLinked() && button_.ImageIndex() == CustomAction()->ImageIndex();
}

void TCtToolButtonActionLink::SetChecked(bool checked) {
  if (IsCheckedLinked()) button_.SetDown(checked);
}

void TCtToolButtonActionLink::SetImageIndex(int index) {
  if (IsImageIndexLinked()) button_.SetImageIndex(index);
}

// ---- registration -----------------------------------------------------------------

namespace {

// Older forms named the selection colours after gradients and switched the
// gradient look on with a Boolean.
void AddObsoleteToolButtonProperties(ClassBuilder<TCtToolButton>& b) {
  using B = TCtToolButton;
  b.Defined("GradientColorStart",
            [](TObject& o, const FormValue& v) { static_cast<B&>(o).SetSelectionColorStart(FormColorValue(v)); })
      .Defined("GradientColorStop",
               [](TObject& o, const FormValue& v) { static_cast<B&>(o).SetSelectionColorStop(FormColorValue(v)); })
      .Defined("FrameColor",
               [](TObject& o, const FormValue& v) { static_cast<B&>(o).SetSelectionFrameColor(FormColorValue(v)); })
      .Defined("UseGradients",
               [](TObject& o, const FormValue& v) {
                 if (FormBooleanValue(v)) static_cast<B&>(o).SetVisualStyle(vsGradient);
               })
      .Skip("GradientColorDefault")
      .Skip("ThemeAware");
}

}  // namespace

const ClassInfo& TCtToolButton::StaticClass() {
  using B = TCtToolButton;
  static const ClassInfo info = [] {
    ClassBuilder<B> b("TCtToolButton", TGraphicControl::StaticClass());
    b.Boolean("AllowAllUp", &B::AllowAllUp, &B::SetAllowAllUp)
        .Enum("Alignment", kAlignmentInfo, &B::Alignment, &B::SetAlignment)
        .Integer("DisabledIndex", &B::DisabledIndex, &B::SetDisabledIndex)
        .Integer("DownIndex", &B::DownIndex, &B::SetDownIndex)
        .Integer("HotIndex", &B::HotIndex, &B::SetHotIndex)
        .Integer("ImageIndex", &B::ImageIndex, &B::SetImageIndex)
        .Component<TPopupMenu>("DropDownMenu", &B::DropDownMenu, &B::SetDropDownMenu)
        .Boolean("Down", &B::Down, &B::SetDown)
        .Stored("Down",
                [](const B& b) {
                  return !(b.ActionLink() && b.ActionLink()->IsCheckedLinked());
                })
        .Boolean("Flat", &B::Flat, &B::SetFlat)
        .Enum("GradientColorStyle", kCtGradientColorStyleInfo, &B::GradientColorStyle, &B::SetGradientColorStyle)
        .Integer("GroupIndex", &B::GroupIndex, &B::SetGroupIndex)
        .Component<TImageList>("Images", &B::Images, &B::SetImages)
        .Enum("Layout", kButtonLayoutInfo, &B::Layout, &B::SetLayout)
        .Color("SelectionColorStart", &B::SelectionColorStart, &B::SetSelectionColorStart)
        .Color("SelectionColorStop", &B::SelectionColorStop, &B::SetSelectionColorStop)
        .Color("SelectionFrameColor", &B::SelectionFrameColor, &B::SetSelectionFrameColor)
        .Boolean("ShowCaption", &B::ShowCaption, &B::SetShowCaption)
        .Enum("ToolStyle", kCtToolStyleInfo, &B::ToolStyle, &B::SetToolStyle)
        .Boolean("Transparent", &B::Transparent, &B::SetTransparent)
        .Stored("Width", [](const B& b) { return !b.SizeFromToolBar(true); })
        .Stored("Height", [](const B& b) { return !b.SizeFromToolBar(false); })
        .Boolean("UseToolbarButtonLayout", &B::UseToolbarButtonLayout, &B::SetUseToolbarButtonLayout)
        .Boolean("UseToolbarButtonSize", &B::UseToolbarButtonSize, &B::SetUseToolbarButtonSize)
        .Boolean("UseToolbarShowCaption", &B::UseToolbarShowCaption, &B::SetUseToolbarShowCaption)
        .Boolean("UseToolbarVisualStyle", &B::UseToolbarVisualStyle, &B::SetUseToolbarVisualStyle)
        .Enum("VisualStyle", kCtVisualStyleInfo, &B::VisualStyle, &B::SetVisualStyle)
        .Event("OnDropDown", &B::OnDropDown);
    AddObsoleteToolButtonProperties(b);
    return b.Done();
  }();
  return info;
}

TCtToolButton::TCtToolButton(TComponent* owner) : TGraphicControl(owner), tickSource_(win::GetTickCount) {
  SetControlStyle(TControlStyle{csCaptureMouse});
  resizingItself_ = true;
  SetBounds(0, 0, 25, 25);
  resizingItself_ = false;
  SetColor(clBtnFace);
  imageChangeLink_.OnChange = [this](TObject*) { ImagesChanged(); };
}

TCtToolButton::~TCtToolButton() {
  if (images_) images_->UnRegisterChanges(&imageChangeLink_);
}

// ---- properties -------------------------------------------------------------------

void TCtToolButton::SetAlignment(TAlignment value) {
  if (StoreChanged(alignment_, value)) Invalidate();
}
void TCtToolButton::SetDisabledIndex(int value) {
  if (StoreChanged(disabledIndex_, value)) Invalidate();
}
void TCtToolButton::SetDownIndex(int value) {
  if (StoreChanged(downIndex_, value)) Invalidate();
}
void TCtToolButton::SetHotIndex(int value) {
  if (StoreChanged(hotIndex_, value)) Invalidate();
}
void TCtToolButton::SetImageIndex(int value) {
  if (StoreChanged(imageIndex_, value)) Invalidate();
}
void TCtToolButton::SetGradientColorStyle(TCtGradientColorStyle value) {
  if (StoreChanged(gradientColorStyle_, value)) Invalidate();
}
void TCtToolButton::SetSelectionColorStart(TColor value) {
  if (StoreChanged(selectionColorStart_, value)) Invalidate();
}
void TCtToolButton::SetSelectionColorStop(TColor value) {
  if (StoreChanged(selectionColorStop_, value)) Invalidate();
}
void TCtToolButton::SetSelectionFrameColor(TColor value) {
  if (StoreChanged(selectionFrameColor_, value)) Invalidate();
}
void TCtToolButton::SetFlat(bool value) {
  if (StoreChanged(flat_, value)) Repaint();
}

void TCtToolButton::SetTransparent(bool value) {
  if (!StoreChanged(transparent_, value)) return;
  TControlStyle style = ControlStyle();
  SetControlStyle(value ? style.Exclude(csOpaque) : style.Include(csOpaque));
  Invalidate();
}

void TCtToolButton::SetLayout(TButtonLayout value) {
  if (!Reading()) useToolbarButtonLayout_ = false;
  if (StoreChanged(layout_, value)) Invalidate();
}

void TCtToolButton::SetShowCaption(bool value) {
  if (!Reading()) useToolbarShowCaption_ = false;
  if (StoreChanged(showCaption_, value)) Invalidate();
}

void TCtToolButton::SetVisualStyle(TCtVisualStyle value) {
  if (!Reading()) useToolbarVisualStyle_ = false;
  if (StoreChanged(visualStyle_, value)) Invalidate();
}

void TCtToolButton::SetBounds(int left, int top, int width, int height) {
  if (!resizingItself_ && !Reading() && (width != Width() || height != Height())) useToolbarButtonSize_ = false;
  TGraphicControl::SetBounds(left, top, width, height);
}

// A size change the button makes itself keeps following the tool bar.
void TCtToolButton::SetOwnBounds(int width, int height) {
  resizingItself_ = true;
  SetBounds(Left(), Top(), width, height);
  resizingItself_ = false;
}

void TCtToolButton::ResizeBy(int dx) { SetOwnBounds(Width() + dx, Height()); }

// ---- the tool bar -----------------------------------------------------------------

void TCtToolButton::SetUseToolbarButtonLayout(bool value) {
  if (StoreChanged(useToolbarButtonLayout_, value) && value) AskToolBar(CM_TOOLBARBUTTONLAYOUT);
}
void TCtToolButton::SetUseToolbarButtonSize(bool value) {
  if (StoreChanged(useToolbarButtonSize_, value) && value) AskToolBar(CM_TOOLBARBUTTONSIZE);
}
void TCtToolButton::SetUseToolbarShowCaption(bool value) {
  if (StoreChanged(useToolbarShowCaption_, value) && value) AskToolBar(CM_TOOLBARSHOWCAPTION);
}
void TCtToolButton::SetUseToolbarVisualStyle(bool value) {
  if (StoreChanged(useToolbarVisualStyle_, value) && value) AskToolBar(CM_TOOLBARVISUALSTYLE);
}

bool TCtToolButton::ToolBarButtonSize(TSize& size) const {
  return Parent() && Parent()->Perform(CM_TOOLBARBUTTONSIZE, 0, reinterpret_cast<LPARAM>(&size)) != 0;
}

bool TCtToolButton::SizeFromToolBar(bool width) const {
  TSize size{};
  return ToolBarButtonSize(size) && (width ? Width() == size.cx : Height() == size.cy);
}

// The answers are taken as the tool bar's, not as values set by hand: the
// switches stay on. Nothing is asked while the form is read; Loaded asks.
void TCtToolButton::AskToolBar(UINT request) {
  if (!Parent() || Reading()) return;
  auto ask = [this, request](auto& value) {
    return Parent()->Perform(request, 0, reinterpret_cast<LPARAM>(&value)) != 0;
  };
  switch (request) {
    case CM_TOOLBARBUTTONLAYOUT: {
      TButtonLayout layout = layout_;
      if (useToolbarButtonLayout_ && ask(layout) && StoreChanged(layout_, layout)) Invalidate();
      return;
    }
    case CM_TOOLBARSHOWCAPTION: {
      bool show = showCaption_;
      if (useToolbarShowCaption_ && ask(show) && StoreChanged(showCaption_, show)) Invalidate();
      return;
    }
    case CM_TOOLBARVISUALSTYLE: {
      TCtToolBarStyle style{visualStyle_, gradientColorStyle_};
      if (!useToolbarVisualStyle_ || !ask(style)) return;
      const bool changed = StoreChanged(visualStyle_, style.visualStyle);
      if (StoreChanged(gradientColorStyle_, style.gradientColorStyle) || changed) Invalidate();
      return;
    }
    case CM_TOOLBARBUTTONSIZE: {
      TSize size{Width(), Height()};
      if (useToolbarButtonSize_ && ToolBarButtonSize(size)) SetOwnBounds(size.cx, size.cy);
      return;
    }
    default: return;
  }
}

void TCtToolButton::AskToolBarForAll() {
  for (UINT request : {CM_TOOLBARBUTTONLAYOUT, CM_TOOLBARSHOWCAPTION, CM_TOOLBARVISUALSTYLE, CM_TOOLBARBUTTONSIZE})
    AskToolBar(request);
}

void TCtToolButton::SetParent(TWinControl* parent) {
  if (parent == Parent()) return;
  TGraphicControl::SetParent(parent);
  AskToolBarForAll();
}

// Switching to tsButton gives back the arrow part's width, but never more
// than the button has: a button no wider than the arrow part keeps its
// width instead of vanishing.
void TCtToolButton::SetToolStyle(TCtToolStyle value) {
  if (!StoreChanged(toolStyle_, value)) return;
  SetGroupIndex(0);
  if (!Reading()) {
    if (value == tsDropDown) ResizeBy(kArrowWidth);
    else if (Width() > kArrowWidth) ResizeBy(-kArrowWidth);
  }
  Invalidate();
}

void TCtToolButton::SetDropDownMenu(TPopupMenu* menu) {
  if (menu == dropDownMenu_) return;
  if (dropDownMenu_ && dropDownMenu_ != PopupMenu()) dropDownMenu_->RemoveFreeNotification(this);
  dropDownMenu_ = menu;
  if (menu) menu->FreeNotification(this);
}

void TCtToolButton::SetImages(TImageList* images) {
  if (ChangeImageList(images_, images, imageChangeLink_, *this)) ImagesChanged();
}

// The button grows to hold an image of the list.
void TCtToolButton::ImagesChanged() {
  if (images_ && !Reading()) {
    resizingItself_ = true;
    SetBounds(Left(), Top(), std::max(Width(), images_->Width()), std::max(Height(), images_->Height()));
    resizingItself_ = false;
  }
  Repaint();
}

void TCtToolButton::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == dropDownMenu_) dropDownMenu_ = nullptr;
  if (component == images_) {
    images_ = nullptr;
    Invalidate();
  }
}

void TCtToolButton::Loaded() {
  TGraphicControl::Loaded();
  AskToolBarForAll();
  if (images_) ImagesChanged();
}

// ---- groups -----------------------------------------------------------------------

void TCtToolButton::SetDown(bool value) {
  if (!Grouped()) value = false;
  if (value == down_) return;
  if (down_ && !allowAllUp_) return;  // the group keeps one button down
  down_ = value;
  if (value) {
    if (state_ == ButtonState::Up) Invalidate();
    state_ = ButtonState::Exclusive;
    BroadcastGroup();
  } else {
    state_ = ButtonState::Up;
    Repaint();
  }
}

// A drop-down button has no group.
void TCtToolButton::SetGroupIndex(int value) {
  if (toolStyle_ == tsDropDown) value = 0;
  if (!StoreChanged(groupIndex_, value)) return;
  BroadcastGroup();
}

void TCtToolButton::SetAllowAllUp(bool value) {
  if (!StoreChanged(allowAllUp_, value)) return;
  BroadcastGroup();
}

void TCtToolButton::BroadcastGroup() {
  if (Grouped() && Parent()) BroadcastButtonGroup(*this, CM_BUTTONPRESSED, groupIndex_);
}

void TCtToolButton::GroupMessage(TMessage& m) {
  if (!Grouped() || static_cast<int>(m.WParam) != groupIndex_) return;
  auto* sender = dynamic_cast<TCtToolButton*>(ButtonGroupSender(*this, m));
  if (!sender) return;
  if (sender->Down() && down_) {
    down_ = false;
    state_ = ButtonState::Up;
    Invalidate();
  }
  allowAllUp_ = sender->AllowAllUp();
}

// ---- actions ----------------------------------------------------------------------

void TCtToolButton::AssignTo(TPersistent* dest) const {
  TGraphicControl::AssignTo(dest);
  if (auto* action = dynamic_cast<TCustomAction*>(dest)) {
    action->SetChecked(down_);
    action->SetImageIndex(imageIndex_);
  }
}

void TCtToolButton::ActionChange(TObject* sender, bool checkDefaults) {
  TGraphicControl::ActionChange(sender, checkDefaults);
  auto* action = dynamic_cast<TCustomAction*>(sender);
  if (!action) return;
  if (!checkDefaults || !down_) SetDown(action->Checked());
  if (!checkDefaults || imageIndex_ == -1) SetImageIndex(action->ImageIndex());
}

TControlActionLinkClass TCtToolButton::GetActionLinkClass() const {
  return [](TControl& client) -> TControlActionLink* {
    return new TCtToolButtonActionLink(static_cast<TCtToolButton&>(client));
  };
}

// ---- mouse ------------------------------------------------------------------------

bool TCtToolButton::OnArrowPart(int x) const {
  return UseRightToLeftReading() ? x < kArrowWidth + 1 : x >= Width() - kArrowWidth;
}

void TCtToolButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !Enabled()) return;
  if (toolStyle_ == tsDropDown) {
    const bool onlyLeft = !shift.Contains(ssRight) && !shift.Contains(ssMiddle);
    if (dropDownMenu_ && onlyLeft && (OnArrowPart(x) || !HasClickHandler())) return DropDownPress();
    if (!clickArmed_) {
      clickArmed_ = true;
      return;
    }
    if (!down_) {
      state_ = ButtonState::Down;
      Invalidate();
    }
    tracking_ = true;
    return;
  }
  if (!down_ || state_ == ButtonState::Exclusive) {
    state_ = ButtonState::Down;
    Invalidate();
  }
  tracking_ = true;
}

// A press on the arrow (or anywhere on a button that only drops down)
// opens the menu, unless the menu closed less than the debounce time ago:
// that press is the click that closed it, and it only arms the button.
// The menu's loop took the release, so the release's handling follows here.
void TCtToolButton::DropDownPress() {
  const uint32_t now = tickSource_();
  if (droppedDown_ && now - lastDropDown_ < kDropDownDebounceMs) {
    clickArmed_ = true;
    lastDropDown_ = 0;
    droppedDown_ = false;
    ReleaseMouse();
  } else {
    state_ = ButtonState::DropDownPressed;
    Repaint();
    DropDown();
    clickArmed_ = false;
    lastDropDown_ = tickSource_();
    droppedDown_ = true;
    ReleaseMouse();
  }
  win::POINT cursor{};
  win::GetCursorPos(&cursor);
  const TPoint p = ScreenToClient(Point(cursor.x, cursor.y));
  FinishMouseUp(p.x, p.y);
}

// The parent holds the mouse for the press; the menu took the release, so
// the parent lets go here.
void TCtToolButton::ReleaseMouse() {
  if (Parent()) Parent()->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(this));
  win::ReleaseCapture();
}

void TCtToolButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (tracking_) {
    const bool inside = x >= 0 && x < Width() && y >= 0 && y < Height();
    const ButtonState next = down_ ? ButtonState::Exclusive : inside ? ButtonState::Down : ButtonState::Up;
    if (next != state_) {
      state_ = next;
      Invalidate();
    }
  } else if (!mouseInside_) {
    UpdateHotState();
  }
}

void TCtToolButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (button == mbLeft) FinishMouseUp(x, y);
}

void TCtToolButton::FinishMouseUp(int x, int y) {
  const bool inside = x >= 0 && x < Width() && y >= 0 && y < Height();
  if (tracking_) {
    tracking_ = false;
    bool counted = inside;
    if (!Grouped()) {
      state_ = ButtonState::Up;
      mouseInside_ = false;
      if (inside) Repaint();
    } else if (inside) {
      const bool wasDown = down_;
      SetDown(!down_);
      counted = down_ != wasDown;
      if (down_) state_ = ButtonState::Exclusive;
      Invalidate();
    } else {
      if (down_) state_ = ButtonState::Exclusive;
      Repaint();
    }
    if (counted) Click();
  }
  if (HotTracking() && Enabled()) UpdateHotState();
  if (toolStyle_ == tsDropDown) {
    if (!inside) clickArmed_ = true;
    state_ = ButtonState::Up;
    Repaint();
  }
}

void TCtToolButton::Click() {
  if (toolStyle_ == tsButton || clickArmed_) TGraphicControl::Click();
}

// Whether the cursor is over this button now: its parent's window is the
// one under the cursor and this is the parent's child there.
void TCtToolButton::UpdateHotState() {
  bool inside = false;
  win::POINT cursor{};
  if (Parent() && Parent()->HandleAllocated() && win::GetCursorPos(&cursor) &&
      win::WindowFromPoint(cursor) == Parent()->WindowHandle()) {
    const TPoint p = Parent()->ScreenToClient(Point(cursor.x, cursor.y));
    inside = Parent()->ControlAtPos(p, true) == this;
  }
  if (inside != mouseInside_) Perform(inside ? CM_MOUSEENTER : CM_MOUSELEAVE);
}

void TCtToolButton::MouseEnter() {
  if (ComponentState().Contains(csDesigning)) return;
  mouseInside_ = true;
  if (HotTracking() && Enabled()) Repaint();
}

// While the menu shows, the button keeps its hot look.
void TCtToolButton::MouseLeave() {
  if (menuShowing_) return;
  mouseInside_ = false;
  if (HotTracking() && Enabled()) Repaint();
}

// ---- drop-down menu ---------------------------------------------------------------

TPoint TCtToolButton::DropDownMenuOrigin(const TRect& button, int menuWidth, const TRect& workArea,
                                         bool rightToLeft) {
  TPoint origin = Point(rightToLeft ? button.right : button.left, button.bottom);
  if (origin.x + menuWidth > workArea.right) origin.x = button.right - menuWidth;
  return origin;
}

void TCtToolButton::DropDown() {
  if (!dropDownMenu_) return;
  TPopupMenu* menu = dropDownMenu_;
  menuShowing_ = true;
  if (OnDropDown) OnDropDown(menu);
  const TPoint topLeft = ClientToScreen(Point(0, 0));
  const TRect onScreen = Rect(topLeft.x, topLeft.y, topLeft.x + Width(), topLeft.y + Height());
  const TPoint corner = Point(UseRightToLeftReading() ? onScreen.right : onScreen.left, onScreen.bottom);
  const std::optional<TMonitor> monitor = FindMonitorAtPoint(corner);
  const TRect workArea = monitor ? GetMonitorWorkRect(*monitor) : Screen()->WorkAreaRect();
  const TPoint origin = DropDownMenuOrigin(onScreen, EstimatedMenuWidth(*menu), workArea, UseRightToLeftReading());
  menu->SetPopupComponent(this);
  menu->Popup(origin.x, origin.y);
  if (Grouped() && !down_) Click();
  menuShowing_ = false;
}

// ---- keyboard ---------------------------------------------------------------------

void TCtToolButton::DialogChar(TMessage& m) {
  if (!IsAccel(static_cast<char16_t>(m.WParam), Caption()) || !Enabled() || !Visible() || !Parent() ||
      !Parent()->Showing())
    return TGraphicControl::Dispatch(m);
  // A key is never the press that closed a menu: it always clicks.
  if (toolStyle_ == tsDropDown && !HasClickHandler()) {
    DropDown();
  } else {
    clickArmed_ = true;
    Click();
  }
  m.Result = 1;
}

void TCtToolButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_BUTTONPRESSED: return GroupMessage(m);
    case CM_TOOLBARBUTTONLAYOUT:
    case CM_TOOLBARSHOWCAPTION:
    case CM_TOOLBARVISUALSTYLE:
    case CM_TOOLBARBUTTONSIZE:
      return AskToolBar(m.Msg);
    case CM_DIALOGCHAR: return DialogChar(m);
    case CM_MOUSEENTER:
      TGraphicControl::Dispatch(m);
      return MouseEnter();
    case CM_MOUSELEAVE:
      TGraphicControl::Dispatch(m);
      return MouseLeave();
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
      TGraphicControl::Dispatch(m);
      return Repaint();
    default: TGraphicControl::Dispatch(m);
  }
}

// ---- painting ---------------------------------------------------------------------

struct TCtToolButton::ContentLayout {
  TPoint image{};
  TRect caption{};
};

bool TCtToolButton::PressedState() const {
  return state_ == ButtonState::Down || state_ == ButtonState::Exclusive || state_ == ButtonState::DropDownPressed;
}

bool TCtToolButton::ContentPressed() const {
  return state_ == ButtonState::Down || state_ == ButtonState::Exclusive ||
         (state_ == ButtonState::DropDownPressed && !HasClickHandler());
}

TRect TCtToolButton::ArrowRect() const {
  if (UseRightToLeftReading()) return Rect(0, 0, kArrowWidth, Height());
  return Rect(Width() - kArrowWidth, 0, Width(), Height());
}

void TCtToolButton::UpdateStateFromEnabled() {
  if (!Enabled()) {
    state_ = ButtonState::Disabled;
    tracking_ = false;
  } else if (state_ == ButtonState::Disabled) {
    state_ = down_ && Grouped() ? ButtonState::Exclusive : ButtonState::Up;
  }
}

void TCtToolButton::Paint() {
  UpdateStateFromEnabled();
  TCanvas& c = *Canvas();
  const TRect client = ClientRect();
  if (!transparent_) {
    c.Brush()->SetColor(Color());
    c.FillRect(client);
  }
  const TRect inner = PaintFaceAndFrame(client);
  const bool classicLook = visualStyle_ == vsClassic || !ThemeServices()->ThemesEnabled();
  if (state_ == ButtonState::Exclusive && visualStyle_ != vsGradient && classicLook && !(flat_ && Hot()))
    PaintDownChecker(inner);

  TRect area = client;
  if (toolStyle_ == tsDropDown) {
    const TRect arrow = ArrowRect();
    PaintArrowPart(arrow);
    if (UseRightToLeftReading()) area.left = arrow.right;
    else area.right = arrow.left;
  }
  area = Inflated(area, -2, -2);
  const bool hasImage = images_ && imageIndex_ != -1;
  ContentLayout layout = LayOutContent(area, hasImage ? images_->Width() : 0, hasImage ? images_->Height() : 0);
  if (ContentPressed() && visualStyle_ != vsGradient) {
    const int dy = ThemeServices()->ThemesEnabled() ? 0 : 1;
    layout.image.x += 1;
    layout.image.y += dy;
    win::OffsetRect(&layout.caption, 1, dy);
  }
  if (hasImage) PaintImage(layout.image.x, layout.image.y);
  if (showCaption_ && !Caption().empty()) PaintCaption(layout.caption);
}

// Image and caption side by side (or stacked) and centred in `area`, with
// a gap between them when both show; then moved to an edge by Alignment,
// four pixels from it.
TCtToolButton::ContentLayout TCtToolButton::LayOutContent(const TRect& area, int iw, int ih) const {
  ContentLayout l;
  const int areaWidth = RectWidth(area), areaHeight = RectHeight(area);
  int leftmost = 0;
  if (!showCaption_ || Caption().empty()) {
    l.image = Point(area.left + (areaWidth - iw) / 2, area.top + (areaHeight - ih) / 2);
    leftmost = l.image.x;
  } else {
    const bool sideBySide = layout_ == blGlyphLeft || layout_ == blGlyphRight;
    const int gap = iw > 0 ? kContentGap : 0;
    TRect measured = area;
    if (layout_ == blGlyphLeft) measured.left += iw + gap;
    if (layout_ == blGlyphRight) measured.right -= iw + gap;
    if (layout_ == blGlyphTop) measured.top += ih + gap;
    if (layout_ == blGlyphBottom) measured.bottom -= ih + gap;
    TCanvas& c = *Canvas();
    c.Font()->Assign(Font());
    DrawCanvasText(c, Caption(), measured, kMeasureCaption);
    const int tw = RectWidth(measured), th = RectHeight(measured);
    TPoint caption;
    if (sideBySide) {
      const int rest = areaWidth - iw - tw - gap;
      l.image.y = area.top + (areaHeight - ih) / 2;
      caption.y = area.top + (areaHeight - th) / 2;
      if (layout_ == blGlyphLeft) {
        l.image.x = area.left + rest / 2;
        caption.x = l.image.x + iw + gap;
      } else {
        l.image.x = area.right - iw - rest / 2;
        caption.x = l.image.x - gap - tw;
      }
    } else {
      const int rest = areaHeight - ih - th - gap;
      l.image.x = area.left + (areaWidth - iw) / 2;
      caption.x = area.left + (areaWidth - tw) / 2;
      if (layout_ == blGlyphTop) {
        l.image.y = area.top + rest / 2;
        caption.y = l.image.y + ih + gap;
      } else {
        l.image.y = area.bottom - ih - rest / 2;
        caption.y = l.image.y - gap - th;
      }
    }
    l.caption = Rect(caption.x, caption.y, caption.x + tw, caption.y + th);
    leftmost = iw > 0 ? std::min(l.image.x, caption.x) : caption.x;
  }
  const int d = leftmost - kContentGap;
  const int shift = alignment_ == taLeftJustify ? -d : alignment_ == taRightJustify ? d : 0;
  l.image.x += shift;
  win::OffsetRect(&l.caption, shift, 0);
  return l;
}

TRect TCtToolButton::PaintFaceAndFrame(const TRect& client) {
  TCanvas& c = *Canvas();
  const bool pressed = PressedState();
  if (visualStyle_ == vsWinXP && ThemeServices()->ThemesEnabled()) {
    TThemedElementDetails details;
    if (flat_) {
      const bool split = toolStyle_ == tsDropDown && HasClickHandler();
      if (split) {
        details = ThemeServices()->GetElementDetails(pressed ? ttbSplitButtonPressed
                                                     : Hot() ? ttbSplitButtonHot
                                                             : ttbSplitButtonNormal);
      } else {
        details = ThemeServices()->GetElementDetails(
            state_ == ButtonState::Down || state_ == ButtonState::DropDownPressed ? ttbButtonPressed
            : state_ == ButtonState::Exclusive ? (Hot() ? ttbButtonCheckedHot : ttbButtonChecked)
            : Hot()                            ? ttbButtonHot
                                               : ttbButtonNormal);
      }
    } else {
      details = ThemeServices()->GetElementDetails(!Enabled() ? tbPushButtonDisabled
                                                   : pressed  ? tbPushButtonPressed
                                                   : Hot()    ? tbPushButtonHot
                                                              : tbPushButtonNormal);
    }
    ThemeServices()->DrawElement(c.Handle(), details, client);
    return client;
  }
  if (HotTracking()) {
    if (!pressed && !Hot() && !ComponentState().Contains(csDesigning)) return client;
    if (visualStyle_ == vsGradient) return PaintGradientFace(client);
    return PaintBorder(c, client, pressed ? fsStatus : fsPopup);
  }
  return PaintBorder(c, client, pressed ? fsLowered : fsButtonUp);
}

// The selection colours: a frame, then a top-to-bottom gradient whose
// direction and shades tell hot, pressed and stayed-down apart.
TRect TCtToolButton::PaintGradientFace(const TRect& client) {
  TCanvas& c = *Canvas();
  TColor frame = selectionFrameColor_, start = selectionColorStart_, stop = selectionColorStop_;
  if (gradientColorStyle_ != gcsCustom) GetToolButtonSelectionColors(gradientColorStyle_, frame, start, stop);
  if (ComponentState().Contains(csDesigning) && !PressedState() && !Hot())
    return PaintBoxCorners(c, client, frame, 3);
  const TRect inner = PaintBoxOutline(c, client, frame);
  TColor first = start, second = stop;
  switch (state_) {
    case ButtonState::Down:
    case ButtonState::DropDownPressed:
      std::swap(first, second);
      break;
    case ButtonState::Exclusive:
      if (!mouseInside_) {
        first = DarkenColor(stop, 40);
        second = start;
      } else if (tracking_) {
        std::swap(first, second);
      }
      break;
    default: break;
  }
  PaintGradient(c, inner, gdHorizontalEnd, first, second, 1);
  return inner;
}

// The arrow part: a separating line while hot or pressed, and a small
// arrow pointing down.
void TCtToolButton::PaintArrowPart(const TRect& arrow) {
  TCanvas& c = *Canvas();
  if (Hot() || PressedState()) {
    const int x = UseRightToLeftReading() ? arrow.right - 2 : arrow.left;
    const bool gradient = visualStyle_ == vsGradient && HotTracking();
    TColor frame = selectionFrameColor_, start = selectionColorStart_, stop = selectionColorStop_;
    if (gradient && gradientColorStyle_ != gcsCustom) GetToolButtonSelectionColors(gradientColorStyle_, frame, start, stop);
    c.Pen()->SetColor(gradient ? frame : clBtnShadow);
    c.MoveTo(x, arrow.top + 1);
    c.LineTo(x, arrow.bottom - 1);
    if (!gradient) {
      c.Pen()->SetColor(clBtnHighlight);
      c.MoveTo(x + 1, arrow.top + 1);
      c.LineTo(x + 1, arrow.bottom - 1);
    }
  }
  const int shift = state_ == ButtonState::DropDownPressed && visualStyle_ != vsGradient ? 1 : 0;
  const int cx = (arrow.left + arrow.right) / 2 + shift;
  const int cy = (arrow.top + arrow.bottom) / 2 - 1 + shift;
  c.Brush()->SetColor(Enabled() ? clBtnText : clBtnShadow);
  for (int row = 0; row < 3; ++row) c.FillRect(Rect(cx - 2 + row, cy + row, cx + 3 - row, cy + row + 1));
}

// The stayed-down look of the classic styles: a checker of the face colour
// and a lighter shade.
void TCtToolButton::PaintDownChecker(const TRect& inner) {
  TBitmap pattern(8, 8);
  TCanvas& p = *pattern.Canvas();
  p.Brush()->SetColor(transparent_ ? clBtnFace : Color());
  p.FillRect(Rect(0, 0, 8, 8));
  const TColor light = transparent_ ? clBtnHighlight : LightenColor(Color(), 20);
  for (int y = 0; y < 8; ++y)
    for (int x = y % 2; x < 8; x += 2) p.SetPixel(x, y, light);
  TBrush* brush = Canvas()->Brush();
  brush->SetBitmap(&pattern);
  Canvas()->FillRect(inner);
  brush->SetBitmap(nullptr);
}

void TCtToolButton::PaintImage(int x, int y) {
  int index = imageIndex_;
  bool enabledLook = true;
  const int hotOrNormal = Hot() && hotIndex_ != -1 ? hotIndex_ : imageIndex_;
  if (ContentPressed() && downIndex_ != -1) {
    index = downIndex_;
  } else if (disabledIndex_ == -1) {
    index = hotOrNormal;
    enabledLook = Enabled();
  } else {
    index = Enabled() ? hotOrNormal : disabledIndex_;
  }
  // An index the list does not hold shows no image.
  if (index < 0 || index >= images_->Count()) return;
  images_->Draw(Canvas(), x, y, index, enabledLook);
}

void TCtToolButton::PaintCaption(const TRect& rect) {
  TCanvas& c = *Canvas();
  c.Brush()->SetStyle(bsClear);
  c.Font()->Assign(Font());
  if (!Enabled()) c.Font()->SetColor(clBtnShadow);
  else if (state_ == ButtonState::Down && visualStyle_ != vsGradient) c.Font()->SetColor(clHighlightText);
  UINT flags = win::DT_CENTER | win::DT_VCENTER | win::DT_WORDBREAK | win::DT_EXPANDTABS;
  if (UseRightToLeftReading()) flags |= win::DT_RTLREADING;
  TRect r = rect;
  DrawCanvasText(c, Caption(), r, flags);
}

void RegisterCtToolButtonClasses() {
  RegisterClasses({&TCtToolButton::StaticClass()});
}

}  // namespace qelo::ct
