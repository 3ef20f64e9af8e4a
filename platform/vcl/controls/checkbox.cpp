#include "vcl/controls/checkbox.h"

#include "vcl/controls/text_drawing.h"
#include "win/controls/button.h"

namespace qelo::vcl {

const EnumInfo kCheckBoxStateInfo{"TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"}};

namespace {

constexpr win::WPARAM kNativeCheck[] = {win::BST_UNCHECKED, win::BST_CHECKED, win::BST_INDETERMINATE};

}  // namespace

const ClassInfo& TCustomCheckBox::StaticClass() {
  static const ClassInfo info = ClassBuilder<TCustomCheckBox>("TCustomCheckBox", TButtonControl::StaticClass()).Done();
  return info;
}

const ClassInfo& TCheckBox::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TCheckBox>("TCheckBox", TCustomCheckBox::StaticClass())
          .Enum("Alignment", kAlignmentInfo, &TCheckBox::Alignment, &TCheckBox::SetAlignment)
          .Boolean("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed)
          .Boolean("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked)
          .Enum("State", kCheckBoxStateInfo, &TCheckBox::State, &TCheckBox::SetState)
          .Done();
  return info;
}

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 97, 17);
}

void TCustomCheckBox::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  p.WinClassName = win::WC_BUTTON;
  // The control decides the next state itself, so the window never checks
  // on its own.
  p.Style |= win::BS_3STATE;
  if (alignment_ == taLeftJustify) p.Style |= win::BS_LEFTTEXT;
}

void TCustomCheckBox::CreateWnd() {
  const win::INITCOMMONCONTROLSEX classes{sizeof(win::INITCOMMONCONTROLSEX), win::ICC_STANDARD_CLASSES};
  win::InitCommonControlsEx(&classes);
  TButtonControl::CreateWnd();
  SendFontToWindow(*this, false);
  win::SendMessage(WindowHandle(), win::BM_SETCHECK, kNativeCheck[state_], 0);
}

void TCustomCheckBox::SetState(TCheckBoxState state) {
  if (state == state_) return;
  state_ = state;
  if (HandleAllocated()) win::SendMessage(WindowHandle(), win::BM_SETCHECK, kNativeCheck[state_], 0);
  if (!ComponentState().Contains(csReading) && !ComponentState().Contains(csLoading)) Click();
}

void TCustomCheckBox::SetAlignment(TLeftRight value) {
  if (value == alignment_) return;
  alignment_ = value;
  RecreateWnd();
}

void TCustomCheckBox::Toggle() {
  switch (state_) {
    case cbUnchecked: SetState(allowGrayed_ ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TCustomCheckBox::Dispatch(TMessage& m) {
  if (brush_.AnswerColorRequest(*this, m)) return;
  switch (m.Msg) {
    case CN_COMMAND:
      if (win::HIWORD(m.WParam) == win::BN_CLICKED) Toggle();
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(static_cast<char16_t>(m.WParam), Caption()) && CanFocus()) {
        SetFocus();
        Toggle();
        m.Result = 1;
      }
      return;
    case CM_FONTCHANGED:
      SendFontToWindow(*this, true);
      TButtonControl::Dispatch(m);
      return;
    default: TButtonControl::Dispatch(m);
  }
}

// ---- group box -------------------------------------------------------------------

const ClassInfo& TCustomGroupBox::StaticClass() {
  static const ClassInfo info = ClassBuilder<TCustomGroupBox>("TCustomGroupBox", TCustomControl::StaticClass()).Done();
  return info;
}

const ClassInfo& TGroupBox::StaticClass() {
  static const ClassInfo info = ClassBuilder<TGroupBox>("TGroupBox", TCustomGroupBox::StaticClass())
                                    .Skip("ParentBackground")
                                    .Done();
  return info;
}

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
  TControlStyle style = ControlStyle();
  style.Include(csAcceptsControls).Include(csOpaque).Include(csReplicatable).Include(csDoubleClicks);
  SetControlStyle(style);
  SetBounds(0, 0, 185, 105);
}

int TCustomGroupBox::CaptionHeight() const {
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  win::HGDIOBJ old = win::SelectObject(dc, Font()->Handle());
  win::TEXTMETRIC metrics{};
  win::GetTextMetrics(dc, &metrics);
  win::SelectObject(dc, old);
  win::DeleteDC(dc);
  return metrics.tmHeight;
}

void TCustomGroupBox::AdjustClientRect(TRect& rect) const {
  TCustomControl::AdjustClientRect(rect);
  rect.top += CaptionHeight();
  win::InflateRect(&rect, -2, -2);
}

void TCustomGroupBox::Paint() {
  TCanvas& canvas = *Canvas();
  const TRect client = ClientRect();
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(Color());
  canvas.FillRect(client);
  const int h = CaptionHeight();
  TRect frame = client;
  frame.top += h / 2;
  win::DrawEdge(canvas.Handle(), &frame, win::EDGE_ETCHED, win::BF_RECT);
  if (Caption().empty()) return;
  TRect text = Rect(8, 0, client.right - 8, h);
  const win::UINT flags = win::DT_SINGLELINE | win::DT_LEFT;
  DrawCanvasText(canvas, Caption(), text, flags | win::DT_CALCRECT);
  // The caption sits on a gap of its own in the frame line.
  TRect gap = Rect(text.left - 2, 0, text.right + 2, h);
  canvas.FillRect(gap);
  canvas.Brush()->SetStyle(bsClear);
  if (!Enabled()) canvas.Font()->SetColor(clGrayText);
  DrawCanvasText(canvas, Caption(), text, flags);
}

void TCustomGroupBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_DIALOGCHAR:
      // The caption's accelerator moves the focus to the first control inside.
      if (IsAccel(static_cast<char16_t>(m.WParam), Caption()) && CanFocus()) {
        if (TWinControl* first = FindNextControl(nullptr, true, true, false)) first->SetFocus();
        m.Result = 1;
        return;
      }
      return TCustomControl::Dispatch(m);
    case CM_FONTCHANGED:
      Realign();
      return TCustomControl::Dispatch(m);
    case CM_TEXTCHANGED:
      Invalidate();
      return TCustomControl::Dispatch(m);
    case win::WM_ERASEBKGND:
      m.Result = 1;
      return;
    default: TCustomControl::Dispatch(m);
  }
}

}  // namespace qelo::vcl
