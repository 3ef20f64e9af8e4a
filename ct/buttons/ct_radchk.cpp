#include "ct_radchk.h"

#include <algorithm>

#include "ct_common_color.h"
#include "ct_common_frames.h"
#include "ct_common_types.h"
#include "ct_grafx_bitmaps.h"
#include "ct_grafx_parent.h"
#include "vcl/controls/text_drawing.h"
#include "vcl/controls/themes.h"
#include "vcl/form_file.h"
#include "vcl/graphics/picture.h"
#include "win/controls/button.h"

namespace qelo::ct {

using namespace vcl;

const EnumInfo kLeftRightInfo{"TLeftRight", {"taLeftJustify", "taRightJustify"}};

namespace {

// The size of a glyph while no custom glyphs are drawn.
constexpr int kStandardGlyphSize = 13;
// Between the glyph and the caption.
constexpr int kCaptionGap = 4;

TRect Inflated(TRect r, int dx, int dy) {
  win::InflateRect(&r, dx, dy);
  return r;
}

}  // namespace

// ---- action link ------------------------------------------------------------------

TCtCheckedActionLink::TCtCheckedActionLink(TCtCustomGlyphButton& client)
    : TWinControlActionLink(client), button_(client) {}

bool TCtCheckedActionLink::IsCheckedLinked() const {
  return TWinControlActionLink::IsCheckedLinked() && button_.Checked() == CustomAction()->Checked();
}

void TCtCheckedActionLink::SetChecked(bool checked) {
  if (IsCheckedLinked()) button_.SetCheckedByAction(checked);
}

// ---- glyph button -----------------------------------------------------------------

const ClassInfo& TCtCustomGlyphButton::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TCtCustomGlyphButton>("TCtCustomGlyphButton", TCtCustomButton::StaticClass()).Done();
  return info;
}

TCtCustomGlyphButton::TCtCustomGlyphButton(TComponent* owner)
    : TCtCustomButton(owner),
      customGlyphs_(std::make_unique<TBitmap>()),
      controllerLink_(*this),
      background_(std::make_unique<TBitmap>()) {
  SetControlStyle(ControlStyle().Include(csSetCaption).Include(csReplicatable));
  customGlyphs_->OnChange = [this](TObject*) { CustomGlyphsChanged(); };
  imagesLink_.OnChange = [this](TObject*) { CustomGlyphsChanged(); };
}

TCtCustomGlyphButton::~TCtCustomGlyphButton() {
  if (customGlyphImages_) customGlyphImages_->UnRegisterChanges(&imagesLink_);
}

// ---- properties

void TCtCustomGlyphButton::SetAlignment(TAlignment value) {
  if (value == taCenter) value = taRightJustify;  // a glyph button has two sides only
  if (!StoreChanged(alignment_, value)) return;
  AdjustSize();
  Invalidate();
}

void TCtCustomGlyphButton::SetAutoSize(bool value) {
  if (StoreChanged(autoSize_, value) && value) AdjustSize();
}

void TCtCustomGlyphButton::SetFrameColor(TColor value) { StoreAndInvalidate(frameColor_, value); }
void TCtCustomGlyphButton::SetTransparentColor(TColor value) { StoreAndInvalidate(transparentColor_, value); }
void TCtCustomGlyphButton::SetWinMaskColor(TColor value) { StoreAndInvalidate(winMaskColor_, value); }
void TCtCustomGlyphButton::SetFillColor(TColor value) { StoreAndInvalidate(fillColor_, value); }
void TCtCustomGlyphButton::SetFocusColor(TColor value) { StoreAndInvalidate(focusColor_, value); }
void TCtCustomGlyphButton::SetDisabledColor(TColor value) { StoreAndInvalidate(disabledColor_, value); }
void TCtCustomGlyphButton::SetReadOnly(bool value) { StoreAndInvalidate(readOnly_, value); }
void TCtCustomGlyphButton::SetReadOnlyColorOnFocus(bool value) { StoreAndInvalidate(readOnlyColorOnFocus_, value); }
void TCtCustomGlyphButton::SetReadOnlyColor(TColor value) { StoreAndInvalidate(readOnlyColor_, value); }
void TCtCustomGlyphButton::SetHotTrackStyle(THotTrackStyle value) { StoreAndInvalidate(hotTrackStyle_, value); }

void TCtCustomGlyphButton::SetTransparent(bool value) {
  TCtCustomButton::SetTransparent(value);
  MarkBackgroundStale();
}

void TCtCustomGlyphButton::SetHotTrack(bool value) {
  TCtCustomButton::SetHotTrack(value);
  Invalidate();
}

void TCtCustomGlyphButton::SetFrameController(TCtFrameController* controller) {
  controllerLink_.SetController(controller);
}

void TCtCustomGlyphButton::SetCheckedByAction(bool checked) {
  setByAction_ = true;
  try {
    SetChecked(checked);
  } catch (...) {
    setByAction_ = false;
    throw;
  }
  setByAction_ = false;
}

// ---- custom glyphs

void TCtCustomGlyphButton::SetCustomGlyphs(const TBitmap* glyphs) {
  if (glyphs) customGlyphs_->Assign(glyphs);
  else customGlyphs_->SetSize(0, 0);
}

void TCtCustomGlyphButton::SetCustomGlyphsName(const std::string& name) {
  customGlyphsName_ = name;
  TPicture picture;
  picture.SetResourceName(name);
  SetCustomGlyphs(picture.Graphic() ? picture.Bitmap() : nullptr);
}

void TCtCustomGlyphButton::SetCustomGlyphImages(TImageList* images) {
  if (ChangeImageList(customGlyphImages_, images, imagesLink_, *this)) CustomGlyphsChanged();
}

bool TCtCustomGlyphButton::HasCustomGlyphSource() const {
  if (customGlyphImages_)
    return customGlyphImages_->Width() > 0 && customGlyphImages_->Height() > 0 && customGlyphImages_->Count() > 0;
  return !customGlyphs_->Empty();
}

// A change of the strip or of the list decides again whether custom glyphs
// are drawn.
void TCtCustomGlyphButton::CustomGlyphsChanged() {
  MarkBackgroundStale();
  const bool use = HasCustomGlyphSource();
  if (use != useCustomGlyphs_) {
    SetUseCustomGlyphs(use);
  } else {
    SizeGlyphs();
    AdjustSize();
  }
  Invalidate();
}

// Custom glyphs take the list's size or one cell of the strip; without a
// source to draw from the glyph keeps the standard size.
void TCtCustomGlyphButton::SizeGlyphs() {
  glyphWidth_ = glyphHeight_ = kStandardGlyphSize;
  if (!useCustomGlyphs_ || !HasCustomGlyphSource()) return;
  if (customGlyphImages_) {
    glyphWidth_ = customGlyphImages_->Width();
    glyphHeight_ = customGlyphImages_->Height();
  } else {
    glyphWidth_ = customGlyphs_->Width() / glyphCells_;
    glyphHeight_ = customGlyphs_->Height();
  }
}

void TCtCustomGlyphButton::SetUseCustomGlyphs(bool value) {
  useCustomGlyphs_ = value;
  SizeGlyphs();
  AdjustSize();
  Invalidate();
}

void TCtCustomGlyphButton::Notification(TComponent* component, TOperation operation) {
  TCtCustomButton::Notification(component, operation);
  controllerLink_.Notification(component, operation);
  if (operation == opRemove && component == customGlyphImages_) SetCustomGlyphImages(nullptr);
}

// ---- frame controller

void TCtCustomGlyphButton::UpdateFrameFromController() {
  TCtFrameController* controller = controllerLink_.Controller();
  if (!controller || !controller->FrameVisible()) return;
  SetHotTrack(true);
  const TCtFrameControllerNotifications mask = controllerLink_.Notifications();
  if (mask.Contains(fcpColor)) SetFillColor(controller->Color());
  if (mask.Contains(fcpFrameColor)) SetFrameColor(controller->FrameColor());
  if (mask.Contains(fcpFocusColor)) SetFocusColor(controller->FocusColor());
  if (mask.Contains(fcpDisabledColor)) SetDisabledColor(controller->DisabledColor());
  if (mask.Contains(fcpReadOnlyColor)) SetReadOnlyColor(controller->ReadOnlyColor());
  if (mask.Contains(fcpReadOnlyColorOnFocus)) SetReadOnlyColorOnFocus(controller->ReadOnlyColorOnFocus());
  if (mask.Contains(fcpFrameHotTrack)) SetHotTrackStyle(controller->FrameHotTrack() ? htsFrame : htsInterior);
  if (mask.Contains(fcpFrameHotColor) && hotTrackStyle_ == htsFrame) SetHotTrackColor(controller->FrameHotColor());
  Invalidate();
}

// ---- actions

void TCtCustomGlyphButton::Click() {
  if (auto* action = dynamic_cast<TCustomAction*>(Action())) action->SetChecked(GetChecked());
  TCtCustomButton::Click();
}

void TCtCustomGlyphButton::ActionChange(TObject* sender, bool checkDefaults) {
  TCtCustomButton::ActionChange(sender, checkDefaults);
  auto* action = dynamic_cast<TCustomAction*>(sender);
  if (action && (!checkDefaults || !GetChecked())) SetCheckedByAction(action->Checked());
}

TControlActionLinkClass TCtCustomGlyphButton::GetActionLinkClass() const {
  return [](TControl& client) -> TControlActionLink* {
    return new TCtCheckedActionLink(static_cast<TCtCustomGlyphButton&>(client));
  };
}

// ---- size and place

TAlignment TCtCustomGlyphButton::GetControlsAlignment() const {
  return UseRightToLeftAlignment() && alignment_ == taRightJustify ? taLeftJustify : taRightJustify;
}

bool TCtCustomGlyphButton::GlyphOnLeft() const {
  return UseRightToLeftAlignment() != (alignment_ == taRightJustify);
}

TRect TCtCustomGlyphButton::GlyphRect() const {
  const int x = GlyphOnLeft() ? 0 : Width() - glyphWidth_;
  int y = 2;
  if (AlignmentVertical() == avCenter) y = (Height() - glyphHeight_) / 2;
  if (AlignmentVertical() == avBottom) y = Height() - glyphHeight_ - 2;
  return Rect(x, y, x + glyphWidth_, y + glyphHeight_);
}

// The caption wraps in the room beside the glyph; the control then takes
// the caption's measured size plus the glyph, keeping the edge away from
// the caption in place.
void TCtCustomGlyphButton::AdjustSize() {
  if (!autoSize_ || adjusting_ || !HandleAllocated() || ComponentState().Contains(csReading) ||
      ComponentState().Contains(csLoading))
    return;
  TRect r = Inflated(ClientRect(), -1, -1);
  const int least = r.left + (ComponentState().Contains(csDesigning) ? 100 : 2);
  r.right = std::max(r.right - (glyphWidth_ + kCaptionGap), least);
  TBitmap scratch(1, 1);
  TCanvas& c = *scratch.Canvas();
  c.Font()->Assign(Font());
  DrawCanvasText(c, Caption(), r, win::DT_CALCRECT | win::DT_WORDBREAK | win::DT_EXPANDTABS);
  const int width = RectWidth(r) + glyphWidth_ + 6;
  const int height = std::max(glyphHeight_ + 2, RectHeight(r) + 2);
  const int left = GlyphOnLeft() ? Left() : Left() + Width() - width;
  adjusting_ = true;
  SetBounds(left, Top(), width, height);
  adjusting_ = false;
}

void TCtCustomGlyphButton::CreateWnd() {
  TCtCustomButton::CreateWnd();
  AdjustSize();
}

void TCtCustomGlyphButton::Loaded() {
  TCtCustomButton::Loaded();
  CustomGlyphsChanged();
  AdjustSize();
}

// ---- painting

void TCtCustomGlyphButton::DrawBackground(win::HDC dc) {
  if (Transparent()) PaintParentBackground(this, dc, false);
}

void TCtCustomGlyphButton::RebuildBackground(TBitmap& frame) {
  background_->SetSize(frame.Width(), frame.Height());
  TCanvas& c = *background_->Canvas();
  c.Brush()->SetColor(Color());
  c.FillRect(ClientRect());
  if (Transparent()) PaintParentBackgroundCanvas(this, c, false);
  backgroundStale_ = false;
}

void TCtCustomGlyphButton::Paint() {
  if (ComponentState().Contains(csDestroying) || Width() <= 0 || Height() <= 0) return;
  TBitmap frame(Width(), Height());
  TCanvas& c = *frame.Canvas();
  c.Font()->Assign(Font());
  c.Brush()->SetColor(Color());
  if (backgroundStale_ || background_->Width() != Width() || background_->Height() != Height())
    RebuildBackground(frame);
  c.Draw(0, 0, background_.get());
  DrawGlyph(c);
  PaintCaptionAndFocus(c);
  Canvas()->Draw(0, 0, &frame);
}

// The caption beside the glyph, and the focus outline round the text.
void TCtCustomGlyphButton::PaintCaptionAndFocus(TCanvas& c) {
  TRect r = Inflated(ClientRect(), -1, -1);
  if (GlyphOnLeft()) r.left += glyphWidth_ + kCaptionGap;
  else r.right -= glyphWidth_ + kCaptionGap;
  UINT flags = win::DT_WORDBREAK | win::DT_EXPANDTABS;
  if (UseRightToLeftAlignment()) flags |= win::DT_RIGHT;
  DrawCaption(c, r, flags);
  if (!Focused() || Caption().empty()) return;
  // The text's own extent, placed as DrawCaption places it.
  TRect text = r;
  DrawCanvasText(c, Caption(), text, win::DT_CALCRECT | flags);
  const int height = RectHeight(text);
  if (AlignmentVertical() == avCenter) win::OffsetRect(&text, 0, (r.top + r.bottom - height) / 2 - text.top);
  if (AlignmentVertical() == avBottom) win::OffsetRect(&text, 0, r.bottom - height - 1 - text.top);
  if (flags & win::DT_RIGHT) win::OffsetRect(&text, r.right - text.right, 0);
  PaintFocusOutline(c, Inflated(text, 1, 1));
}

void TCtCustomGlyphButton::ReplaceColor(TBitmap& bitmap, TColor from, TColor to) const {
  TBitmap copy;
  copy.Assign(&bitmap);
  TCanvas& c = *bitmap.Canvas();
  c.Brush()->SetColor(to);
  const TRect all = Rect(0, 0, bitmap.Width(), bitmap.Height());
  c.BrushCopy(all, &copy, all, from);
}

// The glyph over what lies under it: TransparentColor shows the background
// (the cache, or the control's colour), and WinMaskColor pixels of custom
// glyphs show the window colour.
void TCtCustomGlyphButton::DrawGlyph(TCanvas& canvas) {
  const TRect place = GlyphRect();
  const TRect cell = Rect(0, 0, glyphWidth_, glyphHeight_);
  TBitmap glyph(glyphWidth_, glyphHeight_);
  TBitmap shown(glyphWidth_, glyphHeight_);
  GetGlyph(glyph);
  if (Transparent()) {
    shown.Canvas()->CopyRect(cell, canvas, place);
    DrawBitmapTransparent(*shown.Canvas(), glyph, cell, transparentColor_, cell);
  } else {
    shown.Assign(&glyph);
    ReplaceColor(shown, transparentColor_, Color());
  }
  if (useCustomGlyphs_) ReplaceColor(shown, winMaskColor_, clWindow);
  else if (Transparent()) AdjustTransparentGlyph(shown);
  canvas.Draw(place.left, place.top, &shown);
}

void TCtCustomGlyphButton::CopyGlyphCell(int cell, TCanvas& target, int height, int width, TBitmap& strip) {
  target.CopyRect(Rect(0, 0, width, height), *strip.Canvas(), Rect(cell * width, 0, (cell + 1) * width, height));
}

// ---- input

void TCtCustomGlyphButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  mouseDown_ = true;
  TCtCustomButton::MouseDown(button, shift, x, y);
}

void TCtCustomGlyphButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCtCustomButton::MouseUp(button, shift, x, y);
  mouseDown_ = false;
}

// The Enter that becomes a Tab is the control's own: OnKeyPress never
// sees it.
void TCtCustomGlyphButton::KeyPress(char16_t& key) {
  if (tabOnEnter_ && key == u'\r') {
    key = 0;
    if (HandleAllocated()) win::PostMessage(WindowHandle(), win::WM_KEYDOWN, win::VK_TAB, 0);
    return;
  }
  TCtCustomButton::KeyPress(key);
}

void TCtCustomGlyphButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case win::WM_ERASEBKGND:
    case win::WM_SIZE:
      MarkBackgroundStale();
      return TCtCustomButton::Dispatch(m);
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_PARENTCOLORCHANGED:
      MarkBackgroundStale();
      TCtCustomButton::Dispatch(m);
      return Invalidate();
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      TCtCustomButton::Dispatch(m);
      AdjustSize();
      return Invalidate();
    default: TCtCustomButton::Dispatch(m);
  }
}

// ---- check box --------------------------------------------------------------------

const ClassInfo& TCtCustomCheckBox::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TCtCustomCheckBox>("TCtCustomCheckBox", TCtCustomGlyphButton::StaticClass()).Done();
  return info;
}

TCtCustomCheckBox::TCtCustomCheckBox(TComponent* owner) : TCtCustomGlyphButton(owner) {
  SetAlignmentVertical(avTop);
  SetGlyphCells(9);
}

void TCtCustomCheckBox::SetState(TCheckBoxState value) {
  if (!StoreChanged(state_, value)) return;
  Repaint();
  if (!SetByAction()) Click();
}

void TCtCustomCheckBox::Clicked() {
  if (MouseIsDown() && ReadOnly()) return;
  switch (state_) {
    case cbUnchecked: SetState(allowGrayed_ ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

int TCtCustomCheckBox::GlyphImageIndex(TCheckBoxState state, bool enabled, bool pressed, bool hot, bool hotTrack,
                                       int imageCount) {
  if (!enabled) return 6 + static_cast<int>(state);
  // The hot images follow the nine others; a list that stops short of one
  // shows the normal image instead.
  auto hotImage = [&](int index) { return hot && imageCount > index; };
  switch (state) {
    case cbUnchecked:
      if (pressed) return 3;
      return hotImage(9) && hotTrack ? 9 : 0;
    case cbChecked:
      if (pressed) return 4;
      return hotImage(10) && hotTrack ? 10 : 1;
    case cbGrayed:
      if (pressed) return 5;
      return hotImage(11) ? 11 : 2;
  }
  return 0;
}

int TCtCustomCheckBox::GlyphCellIndex(TCheckBoxState state, bool enabled, bool pressed) {
  if (!enabled) return 6 + static_cast<int>(state);
  return static_cast<int>(state) + (pressed ? 3 : 0);
}

void TCtCustomCheckBox::GetGlyph(TBitmap& glyph) {
  TCanvas& c = *glyph.Canvas();
  const TRect cell = Rect(0, 0, GlyphWidth(), GlyphHeight());
  if (UseCustomGlyphs() && CustomGlyphImages()) {
    c.Brush()->SetColor(TransparentColor());
    c.FillRect(cell);
    TImageList& images = *CustomGlyphImages();
    const int index = GlyphImageIndex(state_, Enabled(), Pressed(), MouseOver(), HotTrack(), images.Count());
    if (index < images.Count()) images.Draw(&c, 0, 0, index);
    return;
  }
  if (UseCustomGlyphs() && !CustomGlyphs()->Empty()) {
    CopyGlyphCell(GlyphCellIndex(state_, Enabled(), Pressed()), c, GlyphHeight(), GlyphWidth(), *CustomGlyphs());
    return;
  }
  if (UseThemes()) {
    static constexpr TThemedButton kNormal[] = {tbCheckBoxUncheckedNormal, tbCheckBoxCheckedNormal,
                                                tbCheckBoxMixedNormal};
    // Normal, hot, pressed and disabled follow one another per state.
    int piece = kNormal[state_];
    if (!Enabled()) piece += 3;
    else if (Pressed()) piece += 2;
    else if (MouseOver()) piece += 1;
    c.Brush()->SetColor(Color());
    c.FillRect(cell);
    ThemeServices()->DrawElement(c.Handle(), ThemeServices()->GetElementDetails(static_cast<TThemedButton>(piece)),
                                 cell);
    return;
  }
  if (HotTrack()) return PaintCheckPainterGlyph(glyph);
  PaintClassicGlyph(glyph);
}

void TCtCustomCheckBox::PaintCheckPainterGlyph(TBitmap& glyph) {
  TCheckGlyph g;
  if (HotTrackColorType() == htctActual) {
    g.HotFrameColor = HotTrackColor();
    g.HotFillColor = MixColors(clWhite, HotTrackColor(), 190);
  } else {
    const TColor complement = ComplementColor(HotTrackColor(), 180);
    g.HotFrameColor = DarkenColor(complement, 30);
    g.HotFillColor = complement;
  }
  g.State = static_cast<TCheckGlyphState>(state_);
  g.DrawState = !Enabled() ? cdsDisabled : Pressed() ? cdsPressed : MouseOver() ? cdsHot : cdsNormal;
  g.Focused = Focused();
  g.HotTrackStyle = HotTrackStyle();
  g.FrameColor = FrameColor();
  g.CheckColor = HighlightColor();  // the tick
  g.Color = FillColor();
  g.FocusColor = FocusColor();
  g.DisabledColor = DisabledColor();
  g.ReadOnly = ReadOnly();
  g.ReadOnlyColorOnFocus = ReadOnlyColorOnFocus();
  g.ReadOnlyColor = ReadOnlyColor();
  TCanvas& c = *glyph.Canvas();
  c.Brush()->SetColor(TransparentColor());
  c.FillRect(Rect(0, 0, GlyphWidth(), GlyphHeight()));
  PaintCheckGlyph(c, Rect(0, 0, GlyphWidth(), GlyphHeight()), g);
}

void TCtCustomCheckBox::PaintClassicGlyph(TBitmap& glyph) {
  unsigned state = win::DFCS_BUTTONCHECK;
  if (state_ == cbChecked) state |= win::DFCS_CHECKED;
  if (state_ == cbGrayed) state |= win::DFCS_CHECKED | win::DFCS_BUTTON3STATE;
  if (Pressed()) state |= win::DFCS_PUSHED;
  if (!Enabled()) state |= win::DFCS_INACTIVE;
  TCanvas& c = *glyph.Canvas();
  c.Brush()->SetColor(TransparentColor());
  win::RECT r = Rect(0, 0, GlyphWidth(), GlyphHeight());
  c.FillRect(r);
  win::DrawFrameControl(c.Handle(), &r, win::DFC_BUTTON, state);
}

// Space presses the box and its release clicks it; Esc in between cancels.
// Only the release of Space itself ends the press.
void TCtCustomCheckBox::KeyDown(uint16_t& key, TShiftState shift) {
  TCtCustomGlyphButton::KeyDown(key, shift);
  if (ReadOnly()) return;
  if (key == win::VK_SPACE) {
    spacePending_ = true;
    SetPressed(true);
    Repaint();
  } else if (key == win::VK_ESCAPE) {
    spacePending_ = false;
    SetPressed(false);
    Repaint();
  }
}

void TCtCustomCheckBox::KeyUp(uint16_t& key, TShiftState shift) {
  TCtCustomGlyphButton::KeyUp(key, shift);
  if (ReadOnly() || key != win::VK_SPACE) return;
  SetPressed(false);
  const bool pending = spacePending_;
  spacePending_ = false;
  if (pending) Clicked();
  Repaint();
}

// A press that loses the focus ends without a click.
void TCtCustomCheckBox::DoExit() {
  TCtCustomGlyphButton::DoExit();
  spacePending_ = false;
  SetPressed(false);
  Repaint();
}

void TCtCustomCheckBox::DialogChar(TMessage& m) {
  if (!IsAccel(static_cast<char16_t>(m.WParam), Caption()) || !CanFocus()) return TCtCustomGlyphButton::Dispatch(m);
  SetFocus();
  if (Focused() && !ReadOnly()) {
    Clicked();
    Repaint();
  }
  m.Result = 1;
}

void TCtCustomCheckBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_DIALOGCHAR: return DialogChar(m);
    case win::BM_GETCHECK:
      m.Result = state_ == cbChecked ? win::BST_CHECKED : state_ == cbGrayed ? win::BST_INDETERMINATE
                                                                              : win::BST_UNCHECKED;
      return;
    default: TCtCustomGlyphButton::Dispatch(m);
  }
}

// ---- published check box ----------------------------------------------------------

const ClassInfo& TCtCheckBox::StaticClass() {
  using B = TCtCheckBox;
  static const ClassInfo info = [] {
    ClassBuilder<B> b("TCtCheckBox", TCtCustomCheckBox::StaticClass());
    b.Enum("Alignment", kLeftRightInfo, &B::Alignment, &B::SetAlignment)
        .Boolean("AllowGrayed", &B::AllowGrayed, &B::SetAllowGrayed)
        .Boolean("AutoSize", &B::AutoSize, &B::SetAutoSize)
        .Boolean("Checked", &B::Checked, &B::SetChecked)
        .Stored("Checked",
                [](const B& box) {
                  return !(box.ActionLink() && box.ActionLink()->IsCheckedLinked());
                })
        .Enum("State", kCheckBoxStateInfo, &B::State, &B::SetState)
        .Image("CustomGlyphs", &B::CustomGlyphsName, &B::SetCustomGlyphsName)
        .Component<TImageList>("CustomGlyphImages", &B::CustomGlyphImages, &B::SetCustomGlyphImages)
        .Color("DisabledColor", &B::DisabledColor, &B::SetDisabledColor)
        .Color("FillColor", &B::FillColor, &B::SetFillColor)
        .Color("FocusColor", &B::FocusColor, &B::SetFocusColor)
        .Color("FrameColor", &B::FrameColor, &B::SetFrameColor);
    PublishFrameControllerProperties(b)
        .Enum("HotTrackStyle", kHotTrackStyleInfo, &B::HotTrackStyle, &B::SetHotTrackStyle)
        .Boolean("ReadOnly", &B::ReadOnly, &B::SetReadOnly)
        .Color("ReadOnlyColor", &B::ReadOnlyColor, &B::SetReadOnlyColor)
        .Boolean("ReadOnlyColorOnFocus", &B::ReadOnlyColorOnFocus, &B::SetReadOnlyColorOnFocus)
        .Boolean("TabOnEnter", &B::TabOnEnter, &B::SetTabOnEnter)
        .Boolean("Transparent", &B::Transparent, &B::SetTransparent)
        .Color("TransparentColor", &B::TransparentColor, &B::SetTransparentColor)
        .Boolean("UseCustomGlyphs", &B::UseCustomGlyphs, &B::SetUseCustomGlyphs)
        .Color("WinMaskColor", &B::WinMaskColor, &B::SetWinMaskColor)
        // Older forms said Flat for hot tracking.
        .Defined("Flat", [](TObject& self, const FormValue& value) {
          static_cast<B&>(self).SetHotTrack(FormBooleanValue(value));
        });
    return b.Done();
  }();
  return info;
}

TCtCheckBox::TCtCheckBox(TComponent* owner) : TCtCustomCheckBox(owner) {
  SetColor(clWindow);
  SetParentColor(true);
}

void RegisterCtRadChkClasses() {
  RegisterClasses({&TCtCheckBox::StaticClass()});
}

}  // namespace qelo::ct
