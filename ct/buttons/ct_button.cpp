#include "ct_button.h"

#include "ct_button_group.h"
#include "ct_common_borders.h"
#include "ct_common_color.h"
#include "ct_common_frames.h"
#include "ct_common_glyphs.h"
#include "ct_common_types.h"
#include "ct_grafx_gradient.h"
#include "ct_grafx_parent.h"
#include "vcl/controls/stdctrls.h"
#include "vcl/controls/text_drawing.h"
#include "vcl/controls/themes.h"
#include "vcl/form_file.h"

namespace qelo::ct {

using namespace vcl;

namespace {

// DT_CALCRECT, DT_WORDBREAK, DT_EXPANDTABS, DT_CENTER and DT_VCENTER: how
// a caption is measured before it is placed.
constexpr UINT kMeasureCaption = 0x455;

TRect Inflated(TRect r, int dx, int dy) {
  win::InflateRect(&r, dx, dy);
  return r;
}

}  // namespace

// ---- TCtCustomButton ----------------------------------------------------------

const ClassInfo& TCtCustomButton::StaticClass() {
  using B = TCtCustomButton;
  static const ClassInfo info =
      ClassBuilder<B>("TCtCustomButton", TCustomControl::StaticClass())
          .Enum("AlignmentVertical", kAlignmentVerticalInfo, &B::AlignmentVertical, &B::SetAlignmentVertical)
          .Boolean("HotTrack", &B::HotTrack, &B::SetHotTrack)
          .Color("HotTrackColor", &B::HotTrackColor, &B::SetHotTrackColor)
          .Enum("HotTrackColorType", kCtHotTrackColorTypeInfo, &B::HotTrackColorType, &B::SetHotTrackColorType)
          .Color("HighlightColor", &B::HighlightColor, &B::SetHighlightColor)
          .Boolean("LightTextStyle", &B::LightTextStyle, &B::SetLightTextStyle)
          .Enum("TextStyle", kTextStyleInfo, &B::TextStyle, &B::SetTextStyle)
          .Color("TextHighlightColor", &B::TextHighlightColor, &B::SetTextHighlightColor)
          .Color("TextShadowColor", &B::TextShadowColor, &B::SetTextShadowColor)
          .Integer("TextShadowDepth", &B::TextShadowDepth, &B::SetTextShadowDepth)
          .Boolean("ThemeAware", &B::ThemeAware, &B::SetThemeAware)
          .Done();
  return info;
}

TCtCustomButton::TCtCustomButton(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(TControlStyle{csCaptureMouse, csSetCaption, csOpaque, csDoubleClicks, csReplicatable, csReflector});
  SetTabStop(true);
  SetBounds(0, 0, 115, 17);
}

// Every setter stores a changed value and repaints.
void TCtCustomButton::SetAlignmentVertical(TAlignmentVertical value) {
  if (StoreChanged(alignmentVertical_, value)) RepaintButton();
}
void TCtCustomButton::SetHotTrack(bool value) {
  if (StoreChanged(hotTrack_, value)) RepaintButton();
}
void TCtCustomButton::SetHotTrackColor(TColor value) {
  if (StoreChanged(hotTrackColor_, value)) RepaintButton();
}
void TCtCustomButton::SetHotTrackColorType(TCtHotTrackColorType value) {
  if (StoreChanged(hotTrackColorType_, value)) RepaintButton();
}
void TCtCustomButton::SetHighlightColor(TColor value) {
  if (StoreChanged(highlightColor_, value)) RepaintButton();
}
void TCtCustomButton::SetLightTextStyle(bool value) {
  if (StoreChanged(lightTextStyle_, value)) RepaintButton();
}
void TCtCustomButton::SetTextStyle(TTextStyle value) {
  if (StoreChanged(textStyle_, value)) RepaintButton();
}
void TCtCustomButton::SetTextHighlightColor(TColor value) {
  if (StoreChanged(textHighlightColor_, value)) RepaintButton();
}
void TCtCustomButton::SetTextShadowColor(TColor value) {
  if (StoreChanged(textShadowColor_, value)) RepaintButton();
}
void TCtCustomButton::SetTextShadowDepth(int value) {
  if (StoreChanged(textShadowDepth_, value)) RepaintButton();
}
void TCtCustomButton::SetThemeAware(bool value) {
  if (StoreChanged(themeAware_, value)) RepaintButton();
}
void TCtCustomButton::SetTransparent(bool value) {
  if (StoreChanged(transparent_, value)) RepaintButton();
}

bool TCtCustomButton::UseThemes() const { return themeAware_ && ThemeServices()->ThemesEnabled(); }

void TCtCustomButton::DrawBackground(win::HDC) {}

void TCtCustomButton::GetHotTrackRect(TRect& rect) { rect = ClientRect(); }

// The press and the release agree on where the button ends: a point on the
// row below the last (y = height) or the column right of it is outside.
bool TCtCustomButton::InClient(int x, int y) const {
  return x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight();
}

void TCtCustomButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && Enabled()) {
    if (CanFocus()) SetFocus();
    // The focus may not come (a form that cannot be activated, an OnExit
    // elsewhere that keeps it): then the button neither presses nor tracks.
    if (Focused()) {
      pressed_ = true;
      StateChanged();
      tracking_ = true;
    }
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TCtCustomButton::MouseMove(TShiftState shift, int x, int y) {
  if (tracking_) {
    const bool inside = InClient(x, y);
    if (inside != pressed_) {
      pressed_ = inside;
      StateChanged();
    }
  }
  TCustomControl::MouseMove(shift, x, y);
}

void TCtCustomButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && tracking_) {
    tracking_ = false;
    pressed_ = false;
    if (InClient(x, y)) Clicked();
    StateChanged();
  }
  TCustomControl::MouseUp(button, shift, x, y);
}

void TCtCustomButton::MouseOverChanged(bool over) {
  if (ComponentState().Contains(csDesigning)) return;
  mouseOver_ = over;
  if ((hotTrack_ || UseThemes()) && HandleAllocated()) {
    TRect r;
    GetHotTrackRect(r);
    win::InvalidateRect(WindowHandle(), &r, false);
  }
}

// A disabled button gives up the focus and any press in progress.
void TCtCustomButton::EnabledChanged() {
  if (!Enabled()) {
    tracking_ = pressed_ = false;
    if (TCustomForm* form = Parent() ? ParentForm() : nullptr) form->DefocusControl(this);
  }
  if (HandleAllocated() && !ComponentState().Contains(csDesigning))
    win::EnableWindow(WindowHandle(), Enabled());
  Repaint();
}

// Double buffering erases only the buffer (lParam 1), never the window.
void TCtCustomButton::EraseBackground(TMessage& m) {
  if (!transparent_) return TCustomControl::Dispatch(m);
  if (DoubleBuffered() && m.LParam != 1) {
    m.Result = 1;
    return;
  }
  DrawBackground(reinterpret_cast<win::HDC>(m.WParam));
  m.Result = 1;
}

void TCtCustomButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_MOUSEENTER:
      TCustomControl::Dispatch(m);
      return MouseOverChanged(true);
    case CM_MOUSELEAVE:
      TCustomControl::Dispatch(m);
      return MouseOverChanged(false);
    case win::WM_SETFOCUS:
    case win::WM_KILLFOCUS:
      TCustomControl::Dispatch(m);
      return RepaintButton();
    case CM_ENABLEDCHANGED: return EnabledChanged();
    case CM_TEXTCHANGED:
      TCustomControl::Dispatch(m);
      return Repaint();
    case win::WM_ERASEBKGND: return EraseBackground(m);
    default: TCustomControl::Dispatch(m);
  }
}

void TCtCustomButton::DrawCaptionText(TCanvas& canvas, TRect rect, int dx, int dy, TColor color, UINT flags) {
  win::OffsetRect(&rect, dx, dy);
  canvas.Font()->SetColor(color);
  DrawCanvasText(canvas, Caption(), rect, flags);
}

void TCtCustomButton::DrawCaption(TCanvas& canvas, TRect rect, UINT flags) {
  canvas.Brush()->SetStyle(bsClear);
  canvas.Font()->Assign(Font());
  TRect measured = rect;
  const int height = DrawCanvasText(canvas, Caption(), measured, kMeasureCaption);
  switch (alignmentVertical_) {
    case avTop: break;
    case avCenter: rect.top = (rect.top + rect.bottom - height) / 2; break;
    case avBottom: rect.top = rect.bottom - height - 1; break;
  }
  rect.bottom = rect.top + height;
  if (UseRightToLeftReading()) flags |= win::DT_RTLREADING;

  if (!Enabled()) {
    DrawCaptionText(canvas, rect, 0, 0, ColorsAreSimilar(Color(), clGrayText) ? cl3DDkShadow : clGrayText, flags);
    return;
  }
  int mainShift = 0;
  switch (textStyle_) {
    case tsNormal: break;
    case tsRaised:
      if (!lightTextStyle_) DrawCaptionText(canvas, rect, 1, 1, textShadowColor_, flags);
      DrawCaptionText(canvas, rect, -1, -1, textHighlightColor_, flags);
      break;
    case tsRecessed:
      DrawCaptionText(canvas, rect, 1, 1, textHighlightColor_, flags);
      if (!lightTextStyle_) DrawCaptionText(canvas, rect, -1, -1, textShadowColor_, flags);
      break;
    case tsShadow:
      // Right-aligned text has no room to its right: the shadow only drops
      // and the text moves left instead.
      if (flags & win::DT_RIGHT) {
        DrawCaptionText(canvas, rect, 0, textShadowDepth_, textShadowColor_, flags);
        mainShift = -textShadowDepth_;
      } else {
        DrawCaptionText(canvas, rect, textShadowDepth_, textShadowDepth_, textShadowColor_, flags);
      }
      break;
  }
  DrawCaptionText(canvas, rect, mainShift, 0, Font()->Color(), flags);
}

// ---- TCtButton ---------------------------------------------------------------

const ClassInfo& TCtButton::StaticClass() {
  using B = TCtButton;
  static const ClassInfo info =
      ClassBuilder<B>("TCtButton", TCtCustomButton::StaticClass())
          .Enum("Alignment", kAlignmentInfo, &B::Alignment, &B::SetAlignment)
          .Boolean("AllowAllUp", &B::AllowAllUp, &B::SetAllowAllUp)
          .Boolean("Cancel", &B::Cancel, &B::SetCancel)
          .Boolean("Default", &B::Default, &B::SetDefault)
          .Boolean("DropDownOnEnter", &B::DropDownOnEnter, &B::SetDropDownOnEnter)
          .Integer("GroupIndex", &B::GroupIndex, &B::SetGroupIndex)
          .Boolean("Down", &B::Down, &B::SetDown)
          .Color("FrameColor", &B::FrameColor, &B::SetFrameColor)
          .Integer("ModalResult", &B::ModalResult, &B::SetModalResult, ModalResultIdent)
          .Boolean("ShowDownPattern", &B::ShowDownPattern, &B::SetShowDownPattern)
          .Boolean("ShowFocusRect", &B::ShowFocusRect, &B::SetShowFocusRect)
          // Older forms said FrameFlat for the hot-track look.
          .Defined("FrameFlat",
                   [](TObject& self, const FormValue& value) {
                     static_cast<TCtButton&>(self).SetHotTrack(FormBooleanValue(value));
                   })
          .Done();
  return info;
}

TCtButton::TCtButton(TComponent* owner) : TCtCustomButton(owner) {
  SetBounds(0, 0, 75, 25);
  SetColor(clBtnFace);
}

void TCtButton::SetAlignment(TAlignment value) {
  if (StoreChanged(alignment_, value)) Invalidate();
}
void TCtButton::SetFrameColor(TColor value) {
  if (StoreChanged(frameColor_, value)) Invalidate();
}
void TCtButton::SetShowDownPattern(bool value) {
  if (StoreChanged(showDownPattern_, value)) Invalidate();
}
void TCtButton::SetShowFocusRect(bool value) {
  if (StoreChanged(showFocusRect_, value)) Invalidate();
}

// The hot-track look has rounded corners that show the parent: it is
// transparent, and the whole button is erased and painted again.
void TCtButton::SetHotTrack(bool value) {
  if (value == HotTrack()) return;
  TCtCustomButton::SetHotTrack(value);
  SetTransparent(value);
  if (HandleAllocated()) win::InvalidateRect(WindowHandle(), nullptr, true);
}

void TCtButton::SetDefault(bool value) {
  if (!StoreChanged(default_, value)) return;
  if (!HandleAllocated()) return;
  // Every button of the form works out again which one Enter clicks.
  if (TCustomForm* form = ParentForm()) {
    form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
  } else {
    SetActive(value);
  }
}

void TCtButton::SetDown(bool value) {
  if (!Grouped()) value = false;
  if (value == down_) return;
  if (down_ && !allowAllUp_ && Grouped()) return;  // the group keeps one button down
  down_ = value;
  Invalidate();
  if (value) BroadcastGroup();
}

void TCtButton::SetGroupIndex(int value) {
  if (!StoreChanged(groupIndex_, value)) return;
  if (Grouped() && Parent()) BroadcastGroup();
  Invalidate();
}

void TCtButton::SetAllowAllUp(bool value) {
  if (!StoreChanged(allowAllUp_, value)) return;
  if (Grouped() && Parent()) BroadcastGroup();
}

void TCtButton::BroadcastGroup() { BroadcastButtonGroup(*this, CM_CTBUTTONPRESSED, groupIndex_); }

void TCtButton::GroupMessage(TMessage& m) {
  if (static_cast<int>(m.WParam) != groupIndex_ || !Grouped()) return;
  auto* sender = dynamic_cast<TCtButton*>(ButtonGroupSender(*this, m));
  if (!sender) return;
  if (sender->Down() && down_) {
    down_ = false;
    Invalidate();
  }
  allowAllUp_ = sender->AllowAllUp();
}

void TCtButton::SetActive(bool value) {
  if (StoreChanged(active_, value)) Repaint();
}

void TCtButton::CreateWnd() {
  TCtCustomButton::CreateWnd();
  active_ = default_;
}

void TCtButton::Click() {
  if (TCustomForm* form = ParentForm()) form->SetModalResult(modalResult_);
  TCtCustomButton::Click();
}

void TCtButton::Clicked() {
  if (Grouped()) {
    SetDown(!down_);
  } else {
    StateChanged();
  }
  clicking_ = true;
  try {
    Click();
  } catch (...) {
    clicking_ = false;
    throw;
  }
  clicking_ = false;
}

void TCtButton::KeyDown(uint16_t& key, TShiftState shift) {
  TCtCustomButton::KeyDown(key, shift);
  if (key != win::VK_SPACE || shift.Contains(ssAlt)) return;
  spacePressed_ = true;
  SetPressed(true);
  StateChanged();
}

// Space clicks on its release, and only after a press seen here: a release
// whose press went elsewhere (or came with Alt) clicks nothing.
void TCtButton::KeyUp(uint16_t& key, TShiftState shift) {
  TCtCustomButton::KeyUp(key, shift);
  if (key != win::VK_SPACE) return;
  SetPressed(false);
  const bool wasPressed = spacePressed_;
  spacePressed_ = false;
  if (wasPressed) Clicked();
  StateChanged();
}

void TCtButton::DialogKey(TMessage& m) {
  const auto key = static_cast<uint16_t>(m.WParam);
  const bool noShift = TShiftState::FromMask(static_cast<uint32_t>(m.LParam)).Empty();
  const bool mine = (key == win::VK_RETURN && active_) || (key == win::VK_ESCAPE && cancel_);
  if (!mine || !noShift || !CanFocus()) return TCtCustomButton::Dispatch(m);
  Click();
  m.Result = 1;
}

void TCtButton::DialogChar(TMessage& m) {
  if (!IsAccel(static_cast<char16_t>(m.WParam), Caption()) || !CanFocus()) return TCtCustomButton::Dispatch(m);
  Click();
  m.Result = 1;
}

// The focused push button is the one Enter clicks; with the focus anywhere
// else it is the Default one.
void TCtButton::FocusChanged(TMessage& m) {
  auto* focused = reinterpret_cast<TWinControl*>(m.LParam);
  const bool pushButton = dynamic_cast<TCtButton*>(focused) || dynamic_cast<TButton*>(focused);
  SetActive(pushButton ? focused == this : default_);
}

void TCtButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_DIALOGKEY: return DialogKey(m);
    case CM_DIALOGCHAR: return DialogChar(m);
    case CM_FOCUSCHANGED: return FocusChanged(m);
    case CM_CTBUTTONPRESSED: return GroupMessage(m);
    case win::WM_KILLFOCUS:
      spacePressed_ = false;
      SetPressed(false);
      return TCtCustomButton::Dispatch(m);
    default: TCtCustomButton::Dispatch(m);
  }
}

// ---- painting -----------------------------------------------------------------

TColor TCtButton::ParentFaceColor() const { return Parent() ? Parent()->Color() : clBtnFace; }

void TCtButton::Paint() {
  const TRect client = ClientRect();
  const int focusInset = HotTrack() || UseThemes() ? 3 : 4;
  TRect focusRect = Inflated(client, -focusInset, -focusInset);
  if (PressedLook()) win::OffsetRect(&focusRect, 1, 1);
  TRect face;
  if (UseThemes()) {
    face = PaintThemed(client);
  } else if (HotTrack()) {
    face = PaintHotTrackLook(client);
  } else {
    face = PaintClassicLook(client);
  }
  if (DownLook() && showDownPattern_) PaintDownPattern(face);
  DrawButtonCaption();
  if (Focused() && showFocusRect_) PaintFocusOutline(*Canvas(), focusRect);
}

TRect TCtButton::PaintThemed(const TRect& client) {
  TThemedButton piece = tbPushButtonDefaulted;
  if (!Enabled()) {
    piece = tbPushButtonDisabled;
  } else if (PressedLook()) {
    piece = tbPushButtonPressed;
  } else if (MouseOver()) {
    piece = tbPushButtonHot;
  } else if (Grouped() || !(active_ || Focused()) || Pressed()) {
    piece = tbPushButtonNormal;
  }
  const TThemedElementDetails details = ThemeServices()->GetElementDetails(piece);
  ThemeServices()->DrawParentBackground(WindowHandle(), Canvas()->Handle(), &details, true);
  ThemeServices()->DrawElement(Canvas()->Handle(), details, client);
  return client;
}

// The outer ring shades the parent's colour: dark above and left, light
// below and right, each edge two pixels short of the corners with one pixel
// set inside each corner; the frame inside it leaves its corner pixels out.
TRect TCtButton::PaintHotTrackLook(TRect r) {
  TCanvas& c = *Canvas();
  const TColor parent = ParentFaceColor();
  const TColor dark = Enabled() ? DarkenColor(parent, 20) : parent;
  const TColor light = Enabled() ? LightenColor(parent, 20) : parent;
  c.Pen()->SetColor(dark);
  c.MoveTo(r.left + 2, r.top);
  c.LineTo(r.right - 2, r.top);
  c.MoveTo(r.left, r.top + 2);
  c.LineTo(r.left, r.bottom - 2);
  c.SetPixel(r.left + 1, r.top + 1, dark);
  c.SetPixel(r.right - 2, r.top + 1, dark);
  c.SetPixel(r.left + 1, r.bottom - 2, dark);
  c.Pen()->SetColor(light);
  c.MoveTo(r.right - 1, r.top + 2);
  c.LineTo(r.right - 1, r.bottom - 2);
  c.MoveTo(r.left + 2, r.bottom - 1);
  c.LineTo(r.right - 2, r.bottom - 1);
  c.SetPixel(r.right - 2, r.bottom - 2, light);
  r = Inflated(r, -1, -1);

  TColor frame = frameColor_;
  if (!Enabled()) frame = Color() == clBtnFace ? LightenColor(clBtnShadow, 30) : DarkenColor(Color(), 80);
  r = PaintSquareFlat(c, r, frame);

  if (!Enabled()) {
    c.Brush()->SetColor(Color());
    c.FillRect(r);
    return r;
  }
  PaintHotTrackFace(r);
  PaintHotTrackRing(r);
  return r;
}

void TCtButton::PaintHotTrackFace(const TRect& face) {
  TCanvas& c = *Canvas();
  if (PressedLook()) {
    c.Brush()->SetColor(DarkenColor(Color(), 10));
    c.FillRect(face);
    return;
  }
  c.Pen()->SetColor(DarkenColor(Color(), 20));
  c.MoveTo(face.left, face.bottom - 2);
  c.LineTo(face.right, face.bottom - 2);
  c.Pen()->SetColor(DarkenColor(Color(), 30));
  c.MoveTo(face.left, face.bottom - 1);
  c.LineTo(face.right, face.bottom - 1);
  const TRect upper = Rect(face.left, face.top, face.right, face.bottom - 2);
  if (FullColorDisplay()) {
    PaintGradient(c, upper, gdHorizontalEnd, LightenColor(Color(), 30), DarkenColor(Color(), 10), 1);
  } else {
    c.Brush()->SetColor(Color());
    c.FillRect(upper);
  }
}

// Hot: a ring in the hot-track colours; else, for the button Enter would
// click or the focused one, a ring in the focus colours.
void TCtButton::PaintHotTrackRing(const TRect& face) {
  TCanvas& c = *Canvas();
  if (MouseOver()) {
    if (HotTrackColorType() == htctActual) {
      PaintGradientRing(c, face, gdHorizontalEnd, MixColors(clWhite, HotTrackColor(), 190), HotTrackColor());
    } else {
      const TColor complement = ComplementColor(HotTrackColor(), 180);
      PaintGradientRing(c, face, gdHorizontalEnd, complement, DarkenColor(complement, 30));
    }
    return;
  }
  if (Grouped() || !(active_ || Focused()) || Pressed()) return;
  const TColor light = LightenColor(Color(), 30);
  TColor highlight = HighlightColor();
  if (ColorsAreSimilar(highlight, clBtnFace)) highlight = DarkenColor(highlight, 30);
  PaintGradientRing(c, face, gdHorizontalEnd, MixColors(highlight, light, 60), MixColors(highlight, light, 160));
}

TRect TCtButton::PaintClassicLook(TRect r) {
  TCanvas& c = *Canvas();
  if ((!Grouped() && (active_ || Focused()) && !Pressed()) || clicking_) r = PaintBoxOutline(c, r, clWindowFrame);
  if (Color() == clBtnFace) {
    r = Grouped() ? PaintBorder(c, r, PressedLook() ? fsLowered : fsButtonUp) : PaintButtonEdge(c, r, Pressed());
  } else if (!Grouped()) {
    r = PaintColorButtonBorder(c, r, Color(), Pressed());
  } else {
    r = PressedLook() ? PaintColorBorder(c, r, Color(), fsLowered) : PaintColorButtonBorder(c, r, Color(), false);
  }
  c.Brush()->SetColor(Color());
  c.FillRect(r);
  return r;
}

void TCtButton::MakeDownPattern(TBitmap& bitmap) {
  bitmap.SetSize(8, 8);
  TCanvas& c = *bitmap.Canvas();
  c.Brush()->SetColor(Color());
  c.FillRect(Rect(0, 0, 8, 8));
  const TColor checker = Color() == clSilver ? clGray : clSilver;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      if ((x + y) % 2 == 0) c.SetPixel(x, y, checker);
}

void TCtButton::PaintDownPattern(const TRect& face) {
  if (!downPattern_) downPattern_ = std::make_unique<TBitmap>();
  MakeDownPattern(*downPattern_);
  TBrush* brush = Canvas()->Brush();
  brush->SetBitmap(downPattern_.get());
  Canvas()->FillRect(face);
  brush->SetBitmap(nullptr);
}

void TCtButton::GetCaptionRect(TRect& rect) {
  rect = Inflated(ClientRect(), -5, -5);
  if (!HotTrack() && !UseThemes() && PressedLook()) win::OffsetRect(&rect, 1, 1);
}

void TCtButton::DrawButtonCaption() {
  TCanvas& c = *Canvas();
  c.Font()->Assign(Font());
  c.Brush()->SetColor(Color());
  TRect r;
  GetCaptionRect(r);
  TAlignment alignment = alignment_;
  if (UseRightToLeftAlignment() && alignment != taCenter)
    alignment = alignment == taLeftJustify ? taRightJustify : taLeftJustify;
  UINT flags = win::DT_WORDBREAK | win::DT_EXPANDTABS;
  flags |= alignment == taLeftJustify ? win::DT_LEFT : alignment == taRightJustify ? win::DT_RIGHT : win::DT_CENTER;
  DrawCaption(c, r, flags);
}

// Only the rounded corners show the parent: the face and the two crosses
// through it are clipped away before the parent paints.
void TCtButton::DrawBackground(win::HDC dc) {
  const int inset = Enabled() ? 1 : 2;
  const TRect inner = Inflated(ClientRect(), -inset, -inset);
  const TRect wide = Inflated(inner, 1, -1);
  const TRect tall = Inflated(wide, -2, 2);
  const int saved = win::SaveDC(dc);
  for (const TRect& r : {inner, wide, tall}) win::ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
  PaintParentBackground(this, dc, false);
  win::RestoreDC(dc, saved);
}

void RegisterCtButtonClasses() {
  RegisterClasses({&TCtButton::StaticClass()});
}

}  // namespace qelo::ct
