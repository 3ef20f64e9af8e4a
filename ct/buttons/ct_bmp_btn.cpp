#include "ct_bmp_btn.h"

#include "ct_button_group.h"
#include "ct_common_frames.h"
#include "ct_common_types.h"
#include "ct_grafx_bitmaps.h"
#include "ct_grafx_parent.h"
#include "vcl/controls/text_drawing.h"
#include "vcl/graphics/picture.h"

namespace qelo::ct {

using namespace vcl;

const EnumInfo kButtonBorderInfo{"TButtonBorder", {"bbNone", "bbSingle", "bbButton"}};
const EnumInfo kBtnSizeInfo{"TBtnSize", {"bszNeither", "bszButtonToBitmap", "bszStretchToButton", "bszTileToButton"}};

// ---- TCtButtonBitmaps -----------------------------------------------------------

namespace {

struct FaceName {
  TCtButtonBitmaps::Face face;
  const char* name;
};
constexpr FaceName kFaceNames[] = {
    {TCtButtonBitmaps::fcUp, "Up"},         {TCtButtonBitmaps::fcUpAndFocused, "UpAndFocused"},
    {TCtButtonBitmaps::fcDisabled, "Disabled"}, {TCtButtonBitmaps::fcDown, "Down"},
    {TCtButtonBitmaps::fcStayDown, "StayDown"}, {TCtButtonBitmaps::fcHot, "Hot"},
};

}  // namespace

const ClassInfo& TCtButtonBitmaps::StaticClass() {
  using B = TCtButtonBitmaps;
  static const ClassInfo info = [] {
    ClassBuilder<B> builder("TCtButtonBitmaps", TPersistent::StaticClass());
    for (const FaceName& f : kFaceNames) {
      const Face face = f.face;
      builder.Image(
          f.name, [face](const B& b) { return b.ResourceName(face); },
          [face](B& b, const std::string& name) { b.SetResourceName(face, name); });
    }
    return builder.Color("TransparentColor", &B::TransparentColor, &B::SetTransparentColor).Done();
  }();
  return info;
}

TCtButtonBitmaps::TCtButtonBitmaps() {
  for (auto& face : faces_) {
    face = std::make_unique<TBitmap>();
    face->OnChange = [this](TObject*) { Changed(); };
  }
}

TCtButtonBitmaps::~TCtButtonBitmaps() = default;

void TCtButtonBitmaps::Changed() {
  if (OnChange) OnChange(this);
}

void TCtButtonBitmaps::SetBitmap(Face face, const TBitmap* bitmap) {
  resourceNames_[face].clear();
  if (bitmap)
    faces_[face]->Assign(bitmap);
  else
    faces_[face]->SetSize(0, 0);
}

void TCtButtonBitmaps::SetResourceName(Face face, const std::string& name) {
  if (name == resourceNames_[face]) return;
  TPicture picture;
  picture.SetResourceName(name);  // EResNotFound leaves the face as it was
  if (picture.Graphic())
    faces_[face]->Assign(picture.Graphic());
  else
    faces_[face]->SetSize(0, 0);
  resourceNames_[face] = name;
}

void TCtButtonBitmaps::SetTransparentColor(TColor color) {
  if (color == transparentColor_) return;
  transparentColor_ = color;
  Changed();
}

void TCtButtonBitmaps::Assign(const TPersistent* source) {
  const auto* other = dynamic_cast<const TCtButtonBitmaps*>(source);
  if (!other) return TPersistent::Assign(source);
  if (other == this) return;
  for (int i = 0; i < kFaceCount; ++i) {
    faces_[i]->Assign(other->faces_[i].get());
    resourceNames_[i] = other->resourceNames_[i];
  }
  SetTransparentColor(other->transparentColor_);
}

// ---- layout, face and disabled face ---------------------------------------------

TGlyphCaptionLayout LayoutGlyphAndCaption(const TRect& interior, TSize glyph, TSize caption, TButtonLayout layout,
                                          int margin, int spacing) {
  const TSize client{RectWidth(interior), RectHeight(interior)};
  const bool vertical = layout == blGlyphTop || layout == blGlyphBottom;
  TPoint glyphAt{}, captionAt{};
  // Across the axis both are centred.
  if (vertical) {
    glyphAt.x = client.cx / 2 - glyph.cx / 2;
    captionAt.x = client.cx / 2 - caption.cx / 2;
  } else {
    glyphAt.y = client.cy / 2 - glyph.cy / 2;
    captionAt.y = client.cy / 2 - caption.cy / 2;
  }
  const int room = vertical ? client.cy : client.cx;
  const int glyphLength = vertical ? glyph.cy : glyph.cx;
  const int captionLength = vertical ? caption.cy : caption.cx;
  if (caption.cx == 0 || glyph.cx == 0) spacing = 0;
  if (margin == -1 && spacing == -1) {
    margin = (room - (glyphLength + captionLength)) / 3;
    spacing = margin;
  } else if (margin == -1) {
    margin = room / 2 - (glyphLength + spacing + captionLength) / 2;
  } else if (spacing == -1) {
    spacing = (room - margin - glyphLength) / 2 - captionLength / 2;
  }
  switch (layout) {
    case blGlyphLeft:
      glyphAt.x = margin;
      captionAt.x = margin + glyph.cx + spacing;
      break;
    case blGlyphRight:
      glyphAt.x = client.cx - margin - glyph.cx;
      captionAt.x = glyphAt.x - spacing - caption.cx;
      break;
    case blGlyphTop:
      glyphAt.y = margin;
      captionAt.y = margin + glyph.cy + spacing;
      break;
    case blGlyphBottom:
      glyphAt.y = client.cy - margin - glyph.cy;
      captionAt.y = glyphAt.y - spacing - caption.cy;
      break;
  }
  TGlyphCaptionLayout result;
  const int x0 = interior.left, y0 = interior.top;
  result.caption = Rect(x0 + captionAt.x, y0 + captionAt.y, x0 + captionAt.x + caption.cx,
                        y0 + captionAt.y + caption.cy);
  if (glyph.cx != 0 || glyph.cy != 0)
    result.glyph = Rect(x0 + glyphAt.x, y0 + glyphAt.y, x0 + glyphAt.x + glyph.cx, y0 + glyphAt.y + glyph.cy);
  return result;
}

namespace {

void FrameIn(TCanvas& canvas, TRect& r, TColor color) {
  canvas.Brush()->SetColor(color);
  canvas.FrameRect(r);
  win::InflateRect(&r, -1, -1);
}

bool IsNewStyle(TButtonStyle style) { return style == bsNew || (style == bsAutoDetect && NewStyleControls()); }

}  // namespace

TRect PaintButtonFace(TCanvas& canvas, TRect r, int bevelWidth, TButtonStyle style, bool rounded, bool pressed,
                      bool focused) {
  const TColor saved = canvas.Brush()->Color();
  const TRect outer = r;
  if (IsNewStyle(style)) {
    // The new look keeps its two-pixel edge whatever the bevel width.
    if (focused) FrameIn(canvas, r, clWindowFrame);
    canvas.Brush()->SetColor(clBtnFace);
    canvas.FillRect(r);
    r = PaintButtonEdge(canvas, r, pressed);
  } else {
    FrameIn(canvas, r, clWindowFrame);
    if (rounded) {
      // The corner pixels of the black frame show the face instead.
      for (TPoint p : {Point(outer.left, outer.top), Point(outer.right - 1, outer.top),
                       Point(outer.left, outer.bottom - 1), Point(outer.right - 1, outer.bottom - 1)})
        canvas.SetPixel(p.x, p.y, clBtnFace);
    }
    if (focused) FrameIn(canvas, r, clWindowFrame);
    canvas.Brush()->SetColor(clBtnFace);
    canvas.FillRect(r);
    if (pressed)
      Frame3D(canvas, r, clBtnShadow, clBtnFace, bevelWidth);
    else
      Frame3D(canvas, r, clBtnHighlight, clBtnShadow, bevelWidth);
  }
  canvas.Brush()->SetColor(saved);
  return r;
}

void MakeDisabledFace(TBitmap& up, TBitmap& result) {
  const int w = up.Width(), h = up.Height();
  TBitmap colour;
  colour.Assign(&up);
  if (colour.Monochrome()) colour.SetPixelFormat(pfDevice);
  // One bit a pixel: set where `up` is black (the conversion's background
  // colour is the source canvas's brush colour).
  TBitmap mask;
  mask.SetMonochrome(true);
  mask.SetSize(w, h);
  colour.Canvas()->Brush()->SetColor(clBlack);
  win::BitBlt(mask.Canvas()->Handle(), 0, 0, w, h, colour.Canvas()->Handle(), 0, 0, win::SRCCOPY);

  result.SetPixelFormat(pfDevice);
  result.SetSize(w, h);
  TCanvas& c = *result.Canvas();
  c.Brush()->SetColor(clBtnFace);
  c.FillRect(Rect(0, 0, w, h));
  // Mask bits draw in the background (brush) colour, clear bits in the
  // text colour: the highlight one pixel down and right, then the shape.
  c.Brush()->SetColor(clBlack);
  c.Font()->SetColor(clWhite);
  win::HDC dc = c.Handle();
  win::HDC bits = mask.Canvas()->Handle();
  win::BitBlt(dc, 1, 1, w, h, bits, 0, 0, win::MERGEPAINT);
  win::BitBlt(dc, 0, 0, w, h, bits, 0, 0, win::SRCAND);
  c.Brush()->SetColor(clBtnShadow);
  c.Font()->SetColor(clBlack);
  dc = c.Handle();
  win::BitBlt(dc, 0, 0, w, h, bits, 0, 0, win::SRCPAINT);
}

// ---- TCtBmpButton ---------------------------------------------------------------

namespace {

// The checker of a stayed-down face, shared by every button while any
// exists.
struct SharedPattern {
  int instances = 0;
  std::unique_ptr<TBitmap> bitmap;
};

SharedPattern& Pattern() {
  static SharedPattern shared;
  return shared;
}

TBitmap& CheckerPattern() {
  std::unique_ptr<TBitmap>& bitmap = Pattern().bitmap;
  if (!bitmap) {
    bitmap = std::make_unique<TBitmap>(8, 8);
    TCanvas& c = *bitmap->Canvas();
    c.Brush()->SetColor(clBtnFace);
    c.FillRect(Rect(0, 0, 8, 8));
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        if (x % 2 == y % 2) c.SetPixel(x, y, clWhite);
  }
  return *bitmap;
}

}  // namespace

const ClassInfo& TCtBmpButton::StaticClass() {
  using B = TCtBmpButton;
  static const ClassInfo info =
      ClassBuilder<B>("TCtBmpButton", TCustomControl::StaticClass())
          .Boolean("AllowAllUp", &B::AllowAllUp, &B::SetAllowAllUp)
          .Integer("CaptionDownOffset", &B::CaptionDownOffset, &B::SetCaptionDownOffset)
          .Integer("ModalResult", &B::ModalResult, &B::SetModalResult, ModalResultIdent)
          .Integer("GroupIndex", &B::GroupIndex, &B::SetGroupIndex)
          .Boolean("Down", &B::Down, &B::SetDown)
          .Object<TCtButtonBitmaps>("Bitmaps", &B::Bitmaps)
          .Enum("ButtonBorder", kButtonBorderInfo, &B::ButtonBorder, &B::SetButtonBorder)
          .Boolean("ShowDownPattern", &B::ShowDownPattern, &B::SetShowDownPattern)
          .Boolean("ShowFocus", &B::ShowFocus, &B::SetShowFocus)
          .Enum("ButtonSize", kBtnSizeInfo, &B::ButtonSize, &B::SetButtonSize)
          .Enum("ButtonStyle", kButtonStyleInfo, &B::ButtonStyle, &B::SetButtonStyle)
          .Enum("Layout", kButtonLayoutInfo, &B::Layout, &B::SetLayout)
          .Integer("Margin", &B::Margin, &B::SetMargin)
          .Integer("Spacing", &B::Spacing, &B::SetSpacing)
          .Done();
  return info;
}

TCtBmpButton::TCtBmpButton(TComponent* owner)
    : TCustomControl(owner), bitmaps_(std::make_unique<TCtButtonBitmaps>()) {
  ++Pattern().instances;
  SetControlStyle(TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks});
  SetTabStop(true);
  SetBounds(0, 0, 80, 30);
  SetColor(clBtnFace);
  bitmaps_->OnChange = [this](TObject*) { BitmapsChanged(); };
}

TCtBmpButton::~TCtBmpButton() {
  if (--Pattern().instances == 0) Pattern().bitmap.reset();
}

// ---- setters ----

void TCtBmpButton::SetAllowAllUp(bool value) {
  if (!StoreChanged(allowAllUp_, value)) return;
  UpdateGroup();
}

void TCtBmpButton::SetButtonBorder(TButtonBorder value) {
  if (!StoreChanged(buttonBorder_, value)) return;
  AdjustToBitmap();
  Invalidate();
}

void TCtBmpButton::SetButtonSize(TBtnSize value) {
  if (!StoreChanged(buttonSize_, value)) return;
  AdjustToBitmap();
  Invalidate();
}

void TCtBmpButton::SetButtonStyle(TButtonStyle value) {
  if (!StoreChanged(buttonStyle_, value)) return;
  AdjustToBitmap();
  Invalidate();
}

void TCtBmpButton::SetCaptionDownOffset(int value) {
  if (!StoreChanged(captionDownOffset_, value)) return;
  Invalidate();
}

// A button leaving every group cannot stay down.
void TCtBmpButton::SetGroupIndex(int value) {
  if (!StoreChanged(groupIndex_, value)) return;
  if (value == 0) down_ = false;
  UpdateGroup();
}

void TCtBmpButton::SetLayout(TButtonLayout value) {
  if (!StoreChanged(layout_, value)) return;
  Invalidate();
}

void TCtBmpButton::SetMargin(int value) {
  if (value == margin_ || value < -1) return;
  margin_ = value;
  Invalidate();
}

void TCtBmpButton::SetShowDownPattern(bool value) {
  if (!StoreChanged(showDownPattern_, value)) return;
  Invalidate();
}

void TCtBmpButton::SetShowFocus(bool value) {
  if (!StoreChanged(showFocus_, value)) return;
  Invalidate();
}

void TCtBmpButton::SetSpacing(int value) {
  if (!StoreChanged(spacing_, value)) return;
  Invalidate();
}

// A grouped button that is down cannot be raised by itself unless its
// group allows all up.
void TCtBmpButton::SetDown(bool value) {
  if (groupIndex_ == 0) value = false;
  if (value == down_ || (down_ && !allowAllUp_)) return;
  down_ = value;
  SetState(value ? State::Exclusive : State::Up);
  if (value) UpdateGroup();
}

void TCtBmpButton::BitmapsChanged() {
  disabledFace_.reset();
  AdjustToBitmap();
  Invalidate();
}

// ---- size ----

bool TCtBmpButton::NewStyle() const { return IsNewStyle(buttonStyle_); }

int TCtBmpButton::BorderWidthOfStyle() const {
  switch (buttonBorder_) {
    case bbNone: return 0;
    case bbSingle: return 1;
    case bbButton: return NewStyle() ? 2 : 3;
  }
  return 0;
}

void TCtBmpButton::AdjustToBitmap() {
  if (ComponentState().Contains(csLoading) || buttonSize_ != bszButtonToBitmap || bitmaps_->IsEmpty(TCtButtonBitmaps::fcUp))
    return;
  const int b = BorderWidthOfStyle();
  SetBounds(Left(), Top(), bitmaps_->Up()->Width() + 2 * b, bitmaps_->Up()->Height() + 2 * b);
}

void TCtBmpButton::Loaded() {
  TCustomControl::Loaded();
  AdjustToBitmap();
}

// ---- state, keys and mouse ----

void TCtBmpButton::SetState(State state) {
  if (state == state_) return;
  state_ = state;
  Repaint();
}

// The press and the release test agree: the row below the last (y =
// height) and the column right of the last are outside.
bool TCtBmpButton::Inside(int x, int y) const { return x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight(); }

void TCtBmpButton::BeginPress(Press source) {
  if (!down_) SetState(State::Down);
  press_ = source;
}

void TCtBmpButton::KeyDown(uint16_t& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == win::VK_RETURN) {
    Click();
  } else if (key == win::VK_SPACE && Enabled() && press_ == Press::None) {
    BeginPress(Press::SpaceKey);
  }
}

// Only the release of the Space key ends a press the Space key began; the
// release of another key changes nothing.
void TCtBmpButton::KeyUp(uint16_t& key, TShiftState shift) {
  TCustomControl::KeyUp(key, shift);
  if (key != win::VK_SPACE || press_ != Press::SpaceKey) return;
  press_ = Press::None;
  SetState(down_ ? State::Exclusive : State::Up);
  Release(true);
}

void TCtBmpButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (Enabled() && !Focused() && Visible() && CanFocus()) SetFocus();
  if (button == mbLeft && Enabled() && Focused() && press_ == Press::None) BeginPress(Press::Mouse);
  TCustomControl::MouseDown(button, shift, x, y);
}

void TCtBmpButton::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (press_ != Press::Mouse) return;
  SetState(down_ ? State::Exclusive : Inside(x, y) ? State::Down : State::Up);
}

void TCtBmpButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && press_ == Press::Mouse) {
    press_ = Press::None;
    UpdateGroup();
    Release(Inside(x, y));
  }
  TCustomControl::MouseUp(button, shift, x, y);
}

void TCtBmpButton::Release(bool click) {
  if (groupIndex_ == 0) {
    Repaint();
  } else if (click) {
    SetDown(!down_);
  } else {
    SetState(down_ ? State::Exclusive : State::Up);
  }
  if (click) Click();
}

void TCtBmpButton::Click() {
  if (TCustomForm* form = ParentForm()) form->SetModalResult(modalResult_);
  TCustomControl::Click();
}

void TCtBmpButton::DblClick() {
  if (down_) TCustomControl::DblClick();
}

// ---- groups ----

void TCtBmpButton::UpdateGroup() {
  if (groupIndex_ != 0 && Parent())
    BroadcastButtonGroup(*this, CM_CTBMPBUTTONPRESSED, groupIndex_);
  else
    SetState(State::Up);
}

void TCtBmpButton::GroupMessage(TMessage& m) {
  if (groupIndex_ == 0 || m.WParam != static_cast<WPARAM>(groupIndex_)) return;
  auto* sender = dynamic_cast<TCtBmpButton*>(ButtonGroupSender(*this, m));
  if (!sender) return;
  if (sender->down_ && down_) {
    down_ = false;
    SetState(State::Up);
  }
  allowAllUp_ = sender->allowAllUp_;
}

// ---- messages ----

void TCtBmpButton::DialogChar(TMessage& m) {
  if (IsAccel(static_cast<char16_t>(m.WParam), Caption()) && Enabled()) {
    Click();
    m.Result = 1;
    return;
  }
  TCustomControl::Dispatch(m);
}

void TCtBmpButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case win::WM_SIZE:
      TCustomControl::Dispatch(m);
      return AdjustToBitmap();
    case win::WM_SETFOCUS:
    case win::WM_KILLFOCUS:
      TCustomControl::Dispatch(m);
      focused_ = m.Msg == win::WM_SETFOCUS;
      // A Space press whose release will go to another window ends here.
      if (!focused_ && press_ == Press::SpaceKey) {
        press_ = Press::None;
        SetState(down_ ? State::Exclusive : State::Up);
      }
      return Invalidate();
    case win::WM_ERASEBKGND: m.Result = 1; return;
    case CM_ENABLEDCHANGED:
      TCustomControl::Dispatch(m);
      SyncEnabledState();
      return Invalidate();
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
    case CM_SYSCOLORCHANGE:
      TCustomControl::Dispatch(m);
      return Invalidate();
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      TCustomControl::Dispatch(m);
      if (m.Msg == CM_MOUSEENTER && ComponentState().Contains(csDesigning)) return;
      mouseInside_ = m.Msg == CM_MOUSEENTER;
      if (!bitmaps_->IsEmpty(TCtButtonBitmaps::fcHot)) Invalidate();
      return;
    case CM_DIALOGCHAR: return DialogChar(m);
    case CM_CTBMPBUTTONPRESSED: return GroupMessage(m);
    default: TCustomControl::Dispatch(m);
  }
}

// ---- painting ----

// A disabled button drops any press in progress; enabled again it shows
// its toggled state.
void TCtBmpButton::SyncEnabledState() {
  if (!Enabled() && !ComponentState().Contains(csDesigning)) {
    state_ = State::Disabled;
    press_ = Press::None;
  } else if (state_ == State::Disabled && Enabled()) {
    state_ = down_ ? State::Down : State::Up;
  }
}

TRect TCtBmpButton::PaintBorder(TCanvas& canvas) {
  TRect interior = ClientRect();
  switch (buttonBorder_) {
    case bbNone:
      PaintParentBackgroundCanvas(this, canvas, false);
      if (ComponentState().Contains(csDesigning)) {
        canvas.Pen()->SetStyle(psDot);
        canvas.Brush()->SetStyle(bsClear);
        canvas.Rectangle(interior);
        canvas.Pen()->SetStyle(psSolid);
        canvas.Brush()->SetColor(Color());
      }
      break;
    case bbSingle:
      canvas.FillRect(interior);
      canvas.Brush()->SetColor(clBlack);
      canvas.FrameRect(interior);
      canvas.Brush()->SetColor(Color());
      win::InflateRect(&interior, -1, -1);
      break;
    case bbButton: {
      const bool pressed = state_ == State::Down || state_ == State::Exclusive;
      interior = PaintButtonFace(canvas, interior, NewStyle() ? 1 : 2, buttonStyle_, !NewStyle(), pressed,
                                 focused_ && showFocus_);
      win::InflateRect(&interior, -1, -1);
      break;
    }
  }
  return interior;
}

void TCtBmpButton::PaintDownPattern(TCanvas& canvas, TRect interior) {
  if (showDownPattern_) canvas.Brush()->SetBitmap(&CheckerPattern());
  if (buttonBorder_ != bbNone) {
    const int narrow = NewStyle() ? 2 : 1;
    const int bevel = NewStyle() ? 1 : 2;
    interior.right -= narrow;
    interior.bottom -= narrow;
    win::InflateRect(&interior, bevel, bevel);
    canvas.FillRect(interior);
  }
  canvas.Brush()->SetBitmap(nullptr);
}

TBitmap* TCtBmpButton::FaceBitmap() {
  using F = TCtButtonBitmaps;
  const F& b = *bitmaps_;
  const bool hasUp = !b.IsEmpty(F::fcUp);
  if (!hasUp && !(state_ == State::Disabled && !b.IsEmpty(F::fcDisabled))) return nullptr;
  switch (state_) {
    case State::Up:
      if (mouseInside_ && !b.IsEmpty(F::fcHot)) return b.Hot();
      if (focused_ && showFocus_ && !b.IsEmpty(F::fcUpAndFocused)) return b.UpAndFocused();
      return b.Up();
    case State::Disabled:
      if (!b.IsEmpty(F::fcDisabled)) return b.Disabled();
      if (!disabledFace_) {
        disabledFace_ = std::make_unique<TBitmap>();
        MakeDisabledFace(*b.Up(), *disabledFace_);
      }
      return disabledFace_.get();
    case State::Down: return b.IsEmpty(F::fcDown) ? b.Up() : b.Down();
    case State::Exclusive:
      if (!b.IsEmpty(F::fcStayDown)) return b.StayDown();
      return b.IsEmpty(F::fcDown) ? b.Up() : b.Down();
  }
  return nullptr;
}

void TCtBmpButton::DrawFace(TCanvas& canvas, TBitmap& face, const TRect& interior, const TRect& glyphRect) {
  const TColor transparent = bitmaps_->TransparentColor();
  const TRect whole = Rect(0, 0, face.Width(), face.Height());
  switch (buttonSize_) {
    case bszNeither: return DrawBitmapTransparentMasked(canvas, face, glyphRect, transparent, whole);
    case bszButtonToBitmap: return DrawBitmapTransparent(canvas, face, interior, transparent, whole);
    case bszStretchToButton: return StretchBitmapTransparent(canvas, face, interior, transparent);
    case bszTileToButton: return TileBitmapTransparent(canvas, face, interior, transparent);
  }
}

void TCtBmpButton::DrawButtonCaption(TCanvas& canvas, TRect r) {
  constexpr UINT kFlags = win::DT_CENTER | win::DT_VCENTER | win::DT_SINGLELINE;
  canvas.Brush()->SetStyle(bsClear);
  if (state_ == State::Disabled) {
    TRect shadow = r;
    win::OffsetRect(&shadow, 1, 1);
    canvas.Font()->SetColor(clWhite);
    DrawCanvasText(canvas, Caption(), shadow, kFlags);
    canvas.Font()->SetColor(clGray);
    DrawCanvasText(canvas, Caption(), r, kFlags);
  } else {
    if (state_ == State::Down || state_ == State::Exclusive) win::OffsetRect(&r, captionDownOffset_, captionDownOffset_);
    DrawCanvasText(canvas, Caption(), r, kFlags);
  }
  if (focused_ && showFocus_) {
    canvas.Brush()->SetColor(clBtnFace);
    win::InflateRect(&r, 2, 2);
    canvas.DrawFocusRect(r);
  }
}

void TCtBmpButton::Paint() {
  SyncEnabledState();
  const TRect client = ClientRect();
  TBitmap buffer(RectWidth(client), RectHeight(client));
  TCanvas& c = *buffer.Canvas();
  c.Font()->Assign(Font());
  c.Brush()->SetColor(Color());
  TRect interior = PaintBorder(c);
  if (state_ == State::Exclusive) PaintDownPattern(c, interior);

  TBitmap* face = FaceBitmap();
  const TSize glyph = face && buttonSize_ == bszNeither ? TSize{face->Width(), face->Height()} : TSize{};
  TSize text{};
  if (!Caption().empty()) {
    TRect measured = Rect(0, 0, RectWidth(interior), 0);
    DrawCanvasText(c, Caption(), measured, win::DT_CALCRECT | win::DT_SINGLELINE);
    text = TSize{RectWidth(measured), RectHeight(measured)};
  }
  const TGlyphCaptionLayout placed = LayoutGlyphAndCaption(interior, glyph, text, layout_, margin_, spacing_);
  if (buttonSize_ == bszNeither) interior = placed.glyph;
  if (face) DrawFace(c, *face, interior, placed.glyph);
  if (!Caption().empty()) DrawButtonCaption(c, placed.caption);
  Canvas()->Draw(0, 0, &buffer);
}

void RegisterCtBmpButtonClasses() {
  RegisterClasses({&TCtBmpButton::StaticClass()});
}

}  // namespace qelo::ct
