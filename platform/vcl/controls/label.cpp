#include "vcl/controls/forms.h"
#include "vcl/controls/stdctrls.h"
#include "vcl/controls/text_drawing.h"

namespace qelo::vcl {

const EnumInfo kTextLayoutInfo{"TTextLayout", {"tlTop", "tlCenter", "tlBottom"}};

const ClassInfo& TCustomLabel::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TCustomLabel>("TCustomLabel", TGraphicControl::StaticClass())
          .Enum("Alignment", kAlignmentInfo, &TCustomLabel::Alignment, &TCustomLabel::SetAlignment)
          .Boolean("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize)
          .Enum("Layout", kTextLayoutInfo, &TCustomLabel::Layout, &TCustomLabel::SetLayout)
          .Boolean("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap)
          .Boolean("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent)
          .Boolean("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar)
          .Component<TWinControl>("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl)
          .Done();
  return info;
}

const ClassInfo& TLabel::StaticClass() {
  static const ClassInfo info = ClassBuilder<TLabel>("TLabel", TCustomLabel::StaticClass()).Done();
  return info;
}

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  TControlStyle style = ControlStyle();
  style.Include(csOpaque).Include(csReplicatable);
  SetControlStyle(style);
  SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  AdjustBounds();
}

void TCustomLabel::SetLayout(TTextLayout value) {
  if (value == layout_) return;
  layout_ = value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
  if (value == Transparent()) return;
  TControlStyle style = ControlStyle();
  if (value) style.Exclude(csOpaque);
  else style.Include(csOpaque);
  SetControlStyle(style);
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
  if (value == showAccelChar_) return;
  showAccelChar_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* control) {
  if (control == focusControl_) return;
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
  focusControl_ = control;
  if (control) control->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

win::UINT TCustomLabel::TextFlags() const {
  win::UINT flags = win::DT_EXPANDTABS;
  if (wordWrap_) flags |= win::DT_WORDBREAK;
  if (!showAccelChar_) flags |= win::DT_NOPREFIX;
  if (alignment_ == taRightJustify) flags |= win::DT_RIGHT;
  if (alignment_ == taCenter) flags |= win::DT_CENTER;
  return flags;
}

void TCustomLabel::DoDrawText(TRect& r, win::UINT flags) {
  std::string text = GetLabelText();
  // An empty line still has a height to measure.
  if ((flags & win::DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&"))) text += ' ';
  TCanvas& canvas = *Canvas();
  canvas.Font()->Assign(Font());
  canvas.Brush()->SetStyle(bsClear);
  if (!Enabled()) canvas.Font()->SetColor(clGrayText);
  DrawCanvasText(canvas, text, r, flags);
}

void TCustomLabel::Paint() {
  TCanvas& canvas = *Canvas();
  if (!Transparent()) {
    canvas.Brush()->SetColor(Color());
    canvas.Brush()->SetStyle(bsSolid);
    canvas.FillRect(ClientRect());
  }
  TRect r = ClientRect();
  if (layout_ != tlTop) {
    TRect measured = r;
    DoDrawText(measured, TextFlags() | win::DT_CALCRECT);
    const int h = RectHeight(measured);
    r.top = layout_ == tlBottom ? r.bottom - h : (r.top + r.bottom - h) / 2;
  }
  DoDrawText(r, TextFlags());
}

void TCustomLabel::AdjustBounds() {
  if (!autoSize_ || ComponentState().Contains(csLoading)) return;
  TRect r = ClientRect();
  if (!wordWrap_) r.right = r.left + 10000;
  win::HDC dc = win::CreateDisplayDC();
  Canvas()->SetHandle(dc);
  DoDrawText(r, TextFlags() | win::DT_CALCRECT);
  Canvas()->SetHandle(nullptr);
  win::DeleteDC(dc);
  int left = Left();
  if (alignment_ == taRightJustify && !UseRightToLeftAlignment()) left = Left() + Width() - RectWidth(r);
  SetBounds(left, Top(), RectWidth(r), RectHeight(r));
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      AdjustBounds();
      Invalidate();
      return;
    case CM_DIALOGCHAR: {
      if (showAccelChar_ && IsAccel(static_cast<char16_t>(m.WParam), Caption()) && focusControl_ &&
          focusControl_->CanFocus()) {
        focusControl_->SetFocus();
        m.Result = 1;
      }
      return;
    }
    default: TGraphicControl::Dispatch(m);
  }
}

}  // namespace qelo::vcl
