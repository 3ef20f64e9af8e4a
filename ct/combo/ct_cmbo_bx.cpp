// The framed combo box: making it, its states and colours, the messages it
// takes from the framework and the window, the wheel and the form-file
// registration. The keys are in ct_cmbo_bx_keys.cpp, the painting in
// ct_cmbo_bx_paint.cpp, the values in ct_cmbo_bx_values.cpp.
#include "ct_cmbo_bx.h"

#include <algorithm>

#include "ct_common_types.h"
#include "win/controls/combobox.h"
#include "win/controls/edit.h"

namespace qelo::ct {

namespace {

int g_searchDelay = 1500;

}  // namespace

int ComboSearchDelay() { return g_searchDelay; }
void SetComboSearchDelay(int milliseconds) { g_searchDelay = std::max(1, milliseconds); }

const vcl::ClassInfo& TCtCustomComboBox::StaticClass() {
  static const vcl::ClassInfo info =
      vcl::ClassBuilder<TCtCustomComboBox>("TCtCustomComboBox", vcl::TCustomComboBox::StaticClass()).Done();
  return info;
}

TCtCustomComboBox::TCtCustomComboBox(vcl::TComponent* owner)
    : Base(owner), searchTimer_(new vcl::TTimer(this)) {
  // The control completes and searches itself.
  vcl::TCustomComboBox::SetAutoComplete(false);
  SetFlatButtons(false);
  searchTimer_->SetEnabled(false);
  searchTimer_->SetInterval(ComboSearchDelay());
  searchTimer_->SetOnTimer([this](vcl::TObject* sender) { SearchTimerFired(sender); });
  // The caption does not start as the control's name.
  vcl::TControlStyle style = ControlStyle();
  SetControlStyle(style.Exclude(vcl::csSetCaption));
}

TCtCustomComboBox::~TCtCustomComboBox() {
  // The window goes while the timer and the canvas still live.
  DestroyHandle();
}

int TCtCustomComboBox::FindItem(const std::string& text) const {
  if (!HandleAllocated()) {
    for (int i = 0; i < Items()->Count(); ++i)
      if (vcl::SameText(Items()->Get(i).substr(0, text.size()), text)) return i;
    return -1;
  }
  const auto found = win::SendMessage(WindowHandle(), win::CB_FINDSTRING, static_cast<win::WPARAM>(-1),
                                      reinterpret_cast<win::LPARAM>(text.c_str()));
  return found < 0 ? -1 : static_cast<int>(found);
}

int TCtCustomComboBox::IndexOfItem(const std::string& text) const { return Items()->IndexOf(text); }

void TCtCustomComboBox::InvalidKey() {
  if (beepOnInvalidKey_) win::MessageBeep(0);
}

// ---- read-only mode and colours ---------------------------------------------------

void TCtCustomComboBox::SetReadOnly(bool value) {
  if (!StoreChanged(readOnly_, value)) return;
  if (HasEdit()) win::SendMessage(EditHandle(), win::EM_SETREADONLY, value ? 1 : 0, 0);
  UpdateColors();
  Invalidate();
}

vcl::TColor TCtCustomComboBox::StateColor() const {
  if (!Enabled()) return DisabledColor();
  if (focused_) return readOnly_ && ReadOnlyColorOnFocus() ? ReadOnlyColor() : FocusColor();
  return readOnly_ ? ReadOnlyColor() : NormalColor();
}

void TCtCustomComboBox::SetFrameVisible(bool value) {
  Base::SetFrameVisible(value);
  SetCtl3D(!value);
}

void TCtCustomComboBox::UpdateFrame(bool mouse, bool value) {
  if (!mouse) focused_ = value;
  UpdateFrameState(mouse, value);  // redraws the whole frame while hot tracking
  if (FlatButtons() && !FrameHotTrack()) RedrawHotParts();
}

// The frame lives in the client area: the window paints it again (without
// erasing) when it next paints.
void TCtCustomComboBox::RepaintFrame() {
  if (!HandleAllocated() || ComponentState().Contains(vcl::csLoading)) return;
  win::InvalidateRect(WindowHandle(), nullptr, 0);
}

// Only the button changes with the hot state of flat buttons.
void TCtCustomComboBox::RedrawHotParts() {
  if (!HandleAllocated() || DroppedDown()) return;
  const int button = win::GetSystemMetrics(win::SM_CXVSCROLL) + 2;
  const vcl::TRect r = UseRightToLeftAlignment() ? vcl::Rect(0, 0, button, Height())
                                                 : vcl::Rect(Width() - button, 0, Width(), Height());
  win::InvalidateRect(WindowHandle(), &r, 0);
}

void TCtCustomComboBox::Loaded() {
  Base::Loaded();
  UpdateColors();
  UpdateFrame(false, false);
}

// ---- events --------------------------------------------------------------------------

void TCtCustomComboBox::DeleteItem(vcl::TObject* item) {
  if (OnDeleteItem) OnDeleteItem(this, item);
}
void TCtCustomComboBox::DoMatch() {
  if (OnMatch) OnMatch(this);
}
void TCtCustomComboBox::DoNotInList() {
  if (OnNotInList) OnNotInList(this);
}
void TCtCustomComboBox::DoSelEndCancel() {
  if (OnSelEndCancel) OnSelEndCancel(this);
}
void TCtCustomComboBox::DoSelEndOk() {
  if (OnSelEndOk) OnSelEndOk(this);
}

void TCtCustomComboBox::CloseUp() {
  vcl::TCustomComboBox::CloseUp();
  Invalidate();
}

// ---- messages ------------------------------------------------------------------------

void TCtCustomComboBox::WndProc(vcl::TMessage& m) {
  // Keys of the edit field have passed ComboWndProc already.
  if (!HandlingChildKey()) {
    switch (m.Msg) {
      case win::WM_KEYDOWN:
      case win::WM_CHAR:
        if (!HasEdit() && ListKey(m)) return;
        break;
      case win::WM_KILLFOCUS: searchText_.clear(); break;
      case win::WM_LBUTTONDOWN:
      case win::WM_LBUTTONDBLCLK:
        if (readOnly_) return;
        break;
      default: break;
    }
  }
  Base::WndProc(m);
}

void TCtCustomComboBox::Dispatch(vcl::TMessage& m) {
  using Combo = vcl::TCustomComboBox;
  switch (m.Msg) {
    case vcl::CN_COMMAND: return Command(m);
    case vcl::CN_DELETEITEM: return ItemDeleted(m);
    case vcl::CN_DRAWITEM: return DrawOwnerItem(m);
    case vcl::CM_TEXTCHANGED:
      Base::Dispatch(m);
      return TextChanged();
    // The state changes come after the framework's handling, so that the
    // focused flag is set when the colours are chosen.
    case vcl::CM_ENTER:
      Combo::Dispatch(m);
      return UpdateFrame(false, true);
    case vcl::CM_EXIT:
      Combo::Dispatch(m);
      UpdateFrame(false, false);
      if (Style() == vcl::csDropDown && !Text().empty() && IndexOfItem(Text()) < 0) DoNotInList();
      return;
    case vcl::CM_MOUSEENTER:
      Combo::Dispatch(m);
      if (!Designing()) UpdateFrame(true, true);
      return;
    case vcl::CM_MOUSELEAVE:
      Combo::Dispatch(m);
      return UpdateFrame(true, false);
    // There is no non-client band: the frame is painted with the client area.
    case win::WM_NCPAINT: return Combo::Dispatch(m);
    case win::WM_PAINT:
      Combo::Dispatch(m);
      return PaintClientFrame();
    case win::WM_SIZE:
      Combo::Dispatch(m);
      if (FrameVisible() && !UseThemes()) Invalidate();
      return;
    default: return Base::Dispatch(m);
  }
}

void TCtCustomComboBox::Command(vcl::TMessage& m) {
  Base::Dispatch(m);
  switch (win::HIWORD(m.WParam)) {
    case win::CBN_SELENDOK:
      internalChange_ = true;
      return DoSelEndOk();
    case win::CBN_SELENDCANCEL: return DoSelEndCancel();
    default: return;
  }
}

// An item with data leaves the list; its data is told once and then
// forgotten.
void TCtCustomComboBox::ItemDeleted(vcl::TMessage& m) {
  auto* item = reinterpret_cast<win::DELETEITEMSTRUCT*>(m.LParam);
  if (item && item->itemData) {
    DeleteItem(reinterpret_cast<vcl::TObject*>(item->itemData));
    item->itemData = 0;
  }
  Base::Dispatch(m);
}

// ---- wheel ---------------------------------------------------------------------------

bool TCtCustomComboBox::DoMouseWheelDown(vcl::TShiftState, vcl::TPoint) { return WheelStep(1); }
bool TCtCustomComboBox::DoMouseWheelUp(vcl::TShiftState, vcl::TPoint) { return WheelStep(-1); }

// An open list scrolls by the wheel lines; a closed box steps its choice,
// stopping at the first and the last item.
bool TCtCustomComboBox::WheelStep(int step) {
  if (readOnly_ || !HandleAllocated()) return true;
  const win::HWND window = WindowHandle();
  if (DroppedDown()) {
    int lines = vcl::WheelScrollLines();
    if (lines < 0) lines = DropDownCount();
    const auto top = static_cast<int>(win::SendMessage(window, win::CB_GETTOPINDEX, 0, 0));
    win::SendMessage(window, win::CB_SETTOPINDEX, static_cast<win::WPARAM>(std::max(0, top + step * lines)), 0);
    return true;
  }
  if (Items()->Count() == 0) return true;
  const int index = ItemIndex();
  const int next = std::clamp(index + step, 0, Items()->Count() - 1);
  if (next == index) return true;
  SetItemIndex(next);
  Click();
  Change();
  return true;
}

// ---- registration --------------------------------------------------------------------

void RegisterCtComboBoxClasses() {
  RegisterCtCommonClasses();
  vcl::RegisterClasses({&TCtComboBox::StaticClass()});
}

}  // namespace qelo::ct
