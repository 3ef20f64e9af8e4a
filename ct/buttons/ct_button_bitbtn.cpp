#include "ct_button_bitbtn.h"

#include <algorithm>

#include "ct_button_kind_glyphs.h"
#include "ct_common_types.h"
#include "ct_resources.h"
#include "ct_grafx_bitmaps.h"
#include "vcl/controls/actions.h"
#include "vcl/controls/text_drawing.h"
#include "vcl/graphics/picture.h"

namespace qelo::ct {

using namespace vcl;

namespace {

// DT_CALCRECT, DT_WORDBREAK, DT_EXPANDTABS, DT_CENTER and DT_VCENTER.
constexpr UINT kMeasureCaption = 0x455;
// TCtButton's caption rectangle lies this far inside the client area.
constexpr int kCaptionInset = 5;

struct KindInfo {
  const char* caption;
  TModalResult result;
  bool isDefault;
  bool cancel;
};

constexpr KindInfo kKinds[] = {
    {"", mrNone, false, false},        // bkCustom
    {"OK", mrOk, true, false},         // bkOK
    {"Cancel", mrCancel, false, true},  // bkCancel
    {"&Help", mrNone, false, false},   // bkHelp
    {"&Yes", mrYes, true, false},      // bkYes
    {"&No", mrNo, false, true},        // bkNo
    {"&Close", mrNone, false, false},  // bkClose
    {"Abort", mrAbort, false, false},  // bkAbort
    {"&Retry", mrRetry, false, false},  // bkRetry
    {"&Ignore", mrIgnore, false, false},  // bkIgnore
    {"&All", mrAll, false, false},     // bkAll
};

const KindInfo& InfoOf(TBitBtnKind kind) { return kKinds[static_cast<size_t>(kind)]; }

}  // namespace

std::string TCtBitBtn::KindCaption(TBitBtnKind kind) { return InfoOf(kind).caption; }

const ClassInfo& TCtBitBtn::StaticClass() {
  using B = TCtBitBtn;
  static const ClassInfo info = [] {
    ClassBuilder<B> b("TCtBitBtn", TCtButton::StaticClass());
    const auto custom = [](const B& button) { return button.Kind() == bkCustom; };
    b.Image("Glyph", &B::GlyphName, &B::SetGlyphName)
        .Stored("Glyph", custom)
        .Enum("Kind", kBitBtnKindInfo, &B::Kind, &B::SetKind)
        .Enum("Layout", kButtonLayoutInfo, &B::Layout, &B::SetLayout)
        .Integer("Margin", &B::Margin, &B::SetMargin)
        .Integer("NumGlyphs", &B::NumGlyphs, &B::SetNumGlyphs)
        .Stored("NumGlyphs", custom)
        .Integer("Spacing", &B::Spacing, &B::SetSpacing)
        .Component<TImageList>("Images", &B::Images, &B::SetImages)
        .Integer("ImageIndex", &B::ImageIndex, &B::SetImageIndex)
        .Integer("DisabledIndex", &B::DisabledIndex, &B::SetDisabledIndex)
        .Stored("Cancel", custom)
        .Stored("Default", custom)
        .Stored("ModalResult", custom)
        .Stored("Caption", [](const B& button) { return button.Caption() != KindCaption(button.Kind()); });
    return b.Done();
  }();
  return info;
}

TCtBitBtn::TCtBitBtn(TComponent* owner) : TCtButton(owner), glyph_(std::make_unique<TBitmap>()) {
  RegisterCtPictureResources();
  glyph_->OnChange = [this](TObject*) { GlyphChanged(); };
  imagesLink_.OnChange = [this](TObject*) { ImagesChanged(); };
}

TCtBitBtn::~TCtBitBtn() {
  if (images_) images_->UnRegisterChanges(&imagesLink_);
}

// ---- glyph and kind ---------------------------------------------------------------

void TCtBitBtn::SetGlyph(const TBitmap* glyph) {
  if (glyph) glyph_->Assign(glyph);
  else glyph_->SetSize(0, 0);
  ownGlyph_ = true;
  GlyphChanged();
}

// A picture of any kind (the library's are PNG images) becomes the strip.
void TCtBitBtn::SetGlyphName(const std::string& name) {
  glyphName_ = name;
  TPicture picture;
  picture.SetResourceName(name);
  if (!picture.Graphic()) return SetGlyph(nullptr);
  TBitmap strip;
  strip.Assign(picture.Graphic());
  SetGlyph(&strip);
}

// A strip of square cells tells how many cells it has.
void TCtBitBtn::GlyphChanged() {
  const int w = glyph_->Width(), h = glyph_->Height();
  if (h != 0 && w % h == 0) {
    const int cells = w / h;
    numGlyphs_ = cells >= 1 && cells <= 4 ? cells : 1;
  }
  Invalidate();
}

TBitBtnKind TCtBitBtn::Kind() const {
  if (kind_ == bkCustom) return kind_;
  const KindInfo& k = InfoOf(kind_);
  if (Default() != k.isDefault || Cancel() != k.cancel || ModalResult() != k.result || ownGlyph_) kind_ = bkCustom;
  return kind_;
}

void TCtBitBtn::SetKind(TBitBtnKind kind) {
  if (kind == Kind()) return;
  // A repaint on the way reads the kind: it is stored once all its values hold.
  kind_ = bkCustom;
  if (kind != bkCustom) {
    const KindInfo& k = InfoOf(kind);
    SetDefault(k.isDefault);
    SetCancel(k.cancel);
    if (!ComponentState().Contains(csReading) || Caption().empty()) SetCaption(k.caption);
    SetModalResult(k.result);
    glyph_->Assign(LoadKindGlyph(kind));
    numGlyphs_ = 2;
    ownGlyph_ = false;
  }
  kind_ = kind;
  Invalidate();
}

// ---- other properties -------------------------------------------------------------

void TCtBitBtn::SetLayout(TButtonLayout value) {
  if (StoreChanged(layout_, value)) Invalidate();
}

void TCtBitBtn::SetMargin(int value) {
  if (value < -1) return;
  if (StoreChanged(margin_, value)) Invalidate();
}

void TCtBitBtn::SetNumGlyphs(int value) {
  if (value < 1 || value > 4) return;
  if (StoreChanged(numGlyphs_, value)) Invalidate();
}

void TCtBitBtn::SetSpacing(int value) {
  if (StoreChanged(spacing_, value)) Invalidate();
}

void TCtBitBtn::ChangeScale(int m, int d) {
  if (margin_ >= 0) SetMargin(win::MulDiv(margin_, m, d));
  SetSpacing(win::MulDiv(spacing_, m, d));
  TCtButton::ChangeScale(m, d);
}

void TCtBitBtn::SetImageIndex(int value) {
  if (StoreChanged(imageIndex_, value)) Invalidate();
}

void TCtBitBtn::SetDisabledIndex(int value) {
  if (StoreChanged(disabledIndex_, value)) Invalidate();
}

void TCtBitBtn::SetImages(TImageList* images) {
  if (ChangeImageList(images_, images, imagesLink_, *this)) Invalidate();
}

void TCtBitBtn::ImagesChanged() { Repaint(); }

void TCtBitBtn::Notification(TComponent* component, TOperation operation) {
  TCtButton::Notification(component, operation);
  if (operation == opRemove && component == images_) SetImages(nullptr);
}

void TCtBitBtn::ActionChange(TObject* sender, bool checkDefaults) {
  TCtButton::ActionChange(sender, checkDefaults);
  auto* action = dynamic_cast<TCustomAction*>(sender);
  if (action && (!checkDefaults || imageIndex_ == -1)) SetImageIndex(action->ImageIndex());
}

// ---- placement --------------------------------------------------------------------

// A kind's picture wins over the list's image.
bool TCtBitBtn::ShowsImage() const { return Kind() == bkCustom && images_ && imageIndex_ != -1; }

bool TCtBitBtn::HasPicture() const { return ShowsImage() || !glyph_->Empty(); }

TButtonLayout TCtBitBtn::EffectiveLayout() const {
  return layout_ == blGlyphLeft && UseRightToLeftReading() ? blGlyphRight : layout_;
}

TSize TCtBitBtn::GetGlyphSize() const {
  if (ShowsImage()) return TSize{images_->Width(), images_->Height()};
  if (glyph_->Empty()) return TSize{0, 0};
  return TSize{glyph_->Width() / numGlyphs_, glyph_->Height()};
}

// Measured on a canvas of its own: placement is asked for outside painting too.
TRect TCtBitBtn::MeasureCaption(const TRect& rect) const {
  TBitmap scratch(1, 1);
  TCanvas& c = *scratch.Canvas();
  c.Font()->Assign(Font());
  TRect measured = rect;
  DrawCanvasText(c, Caption(), measured, kMeasureCaption);
  return measured;
}

int TCtBitBtn::CaptionHeight(const TRect& rect) const { return RectHeight(MeasureCaption(rect)); }

// Picture, spacing and caption stacked and centred in the button's height.
int TCtBitBtn::StackedOffset(int captionHeight) const {
  return (Height() - captionHeight - GetGlyphSize().cy - spacing_) / 2;
}

void TCtBitBtn::GetCaptionRect(TRect& rect) {
  TCtButton::GetCaptionRect(rect);
  if (!HasPicture()) return;
  const TSize g = GetGlyphSize();
  const int shiftY = rect.top - kCaptionInset;  // the pressed look's shift
  if (margin_ >= 0) {
    switch (EffectiveLayout()) {
      case blGlyphLeft: rect.left += margin_ + g.cx + spacing_; break;
      case blGlyphRight: rect.right -= margin_ + g.cx + spacing_; break;
      case blGlyphTop: rect.top += margin_ + g.cy + spacing_; break;
      case blGlyphBottom: rect.bottom -= margin_ + g.cy + spacing_; break;
    }
    return;
  }
  const TButtonLayout layout = EffectiveLayout();
  if (layout == blGlyphLeft) {
    rect.left += g.cx + spacing_ - 1;
    return;
  }
  if (layout == blGlyphRight) {
    rect.right -= g.cx + spacing_ - 1;
    return;
  }
  const int h = CaptionHeight(rect);
  const int offset = StackedOffset(h);
  rect.top = (layout == blGlyphTop ? offset + g.cy + spacing_ : offset) + shiftY;
  rect.bottom = rect.top + h;
}

void TCtBitBtn::GetGlyphRect(TRect& rect) {
  TRect base;
  TCtButton::GetCaptionRect(base);
  win::OffsetRect(&base, kCaptionInset - base.left, kCaptionInset - base.top);  // the pressed shift undone
  const TSize g = GetGlyphSize();
  const TButtonLayout layout = EffectiveLayout();
  int x = 0, y = 0;
  if (layout == blGlyphLeft || layout == blGlyphRight) {
    y = base.top + (RectHeight(base) - g.cy + 1) / 2;
    if (margin_ >= 0) {
      x = layout == blGlyphLeft ? base.left + margin_ : base.right - margin_ - g.cx;
    } else {
      // Beside the caption's text, wherever the text is drawn.
      TRect caption;
      GetCaptionRect(caption);
      const TRect measured = MeasureCaption(caption);
      const int tw = std::min(RectWidth(measured), RectWidth(caption));
      TAlignment alignment = Alignment();
      if (UseRightToLeftAlignment() && alignment != taCenter)
        alignment = alignment == taLeftJustify ? taRightJustify : taLeftJustify;
      const int textLeft = alignment == taLeftJustify    ? caption.left
                           : alignment == taRightJustify ? caption.right - tw
                                                         : caption.left + (RectWidth(caption) - tw) / 2;
      x = layout == blGlyphLeft ? std::max(base.left, textLeft - spacing_ - g.cx)
                                : std::min(base.right - g.cx, textLeft + tw + spacing_);
    }
  } else {
    x = base.left + (RectWidth(base) - g.cx + 1) / 2;
    if (margin_ >= 0) {
      y = layout == blGlyphTop ? base.top + margin_ : base.bottom - margin_ - g.cy;
    } else {
      const int h = CaptionHeight(base);
      const int offset = StackedOffset(h);
      y = layout == blGlyphTop ? offset : offset + h + spacing_;
    }
  }
  if (PressedLook()) {
    if (UseThemes()) x += 2;
    else {
      x += 1;
      y += 1;
    }
  }
  rect = Rect(x, y, x + g.cx, y + g.cy);
}

// ---- drawing ----------------------------------------------------------------------

void TCtBitBtn::DrawButtonCaption() {
  TCtButton::DrawButtonCaption();
  if (!HasPicture()) return;
  TRect r;
  GetGlyphRect(r);
  if (ShowsImage()) DrawImage(r);
  else DrawGlyph(r);
}

void TCtBitBtn::DrawImage(const TRect& rect) {
  int index = imageIndex_;
  bool enabledLook = Enabled();
  if (disabledIndex_ != -1) {
    index = Enabled() ? imageIndex_ : disabledIndex_;
    enabledLook = true;
  }
  if (index < 0 || index >= images_->Count()) return;  // nothing for an image the list lacks
  images_->Draw(Canvas(), rect.left, rect.top, index, enabledLook);
}

// The cell of the state, over what the button shows under it, with the
// strip's own transparent colour left out.
void TCtBitBtn::DrawGlyph(const TRect& rect) {
  const bool exclusive = GroupIndex() != 0 && Down();
  int cell = 0;
  if (numGlyphs_ == 4 && exclusive) cell = 3;
  else if (numGlyphs_ >= 3 && PressedLook()) cell = 2;
  else if (numGlyphs_ >= 2 && !Enabled()) cell = 1;
  const int w = RectWidth(rect), h = RectHeight(rect);
  if (w <= 0 || h <= 0 || (cell + 1) * w > glyph_->Width()) return;
  TBitmap under(w, h);
  TCanvas& c = *under.Canvas();
  c.Brush()->SetColor(Color());
  const TRect all = Rect(0, 0, w, h);
  c.CopyRect(all, *Canvas(), rect);
  DrawBitmapTransparent(c, *glyph_, all, glyph_->TransparentColor(), Rect(cell * w, 0, (cell + 1) * w, h));
  Canvas()->Draw(rect.left, rect.top, &under);
}

void RegisterCtBitBtnClasses() {
  RegisterClasses({&TCtBitBtn::StaticClass()});
}

}  // namespace qelo::ct
