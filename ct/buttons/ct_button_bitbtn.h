// The push button with a picture: TCtButton with a glyph strip (one to four
// cells: up, disabled, down, stayed down) or an image of an image list
// beside its caption, and the stock kinds (OK, Cancel, Help, Yes, No, Close,
// Abort, Retry, Ignore, All) that set caption, picture, default or cancel
// role and modal result at once.
#pragma once

#include <memory>
#include <string>

#include "ct_button.h"
#include "vcl/controls/buttons.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/image_list.h"

namespace qelo::ct {

class TCtBitBtn : public TCtButton {
  QELO_VCL_CLASS()
 public:
  explicit TCtBitBtn(vcl::TComponent* owner);
  ~TCtBitBtn() override;

  // Assigning copies the strip and marks it as the button's own.
  vcl::TBitmap* Glyph() const { return glyph_.get(); }
  virtual void SetGlyph(const vcl::TBitmap* glyph);
  // Form files name the strip by its resource name.
  const std::string& GlyphName() const { return glyphName_; }
  void SetGlyphName(const std::string& name);
  // The kind while its roles, modal result and glyph still hold; bkCustom
  // (stored) as soon as one of them was changed.
  virtual vcl::TBitBtnKind Kind() const;
  virtual void SetKind(vcl::TBitBtnKind kind);
  vcl::TButtonLayout Layout() const { return layout_; }
  virtual void SetLayout(vcl::TButtonLayout value);
  // The picture's distance from the edge; -1 centres picture and caption
  // together, values below -1 are ignored.
  int Margin() const { return margin_; }
  virtual void SetMargin(int value);
  int NumGlyphs() const { return numGlyphs_; }
  virtual void SetNumGlyphs(int value);
  int Spacing() const { return spacing_; }
  virtual void SetSpacing(int value);
  vcl::TImageList* Images() const { return images_; }
  virtual void SetImages(vcl::TImageList* images);
  int ImageIndex() const { return imageIndex_; }
  virtual void SetImageIndex(int value);
  int DisabledIndex() const { return disabledIndex_; }
  virtual void SetDisabledIndex(int value);

  // The picture's size: the image list's when an image of it is shown,
  // else one cell of the strip.
  virtual vcl::TSize GetGlyphSize() const;
  // Where the picture is drawn, in the button's coordinates.
  virtual void GetGlyphRect(TRect& rect);
  // The caption's rectangle, less the picture's side.
  void GetCaptionRect(TRect& rect) override;
  // The glyph's palette.
  win::HPALETTE GetPalette() const override { return glyph_->Palette(); }

  // The caption of a kind ("OK", "&Help", ...); empty for bkCustom.
  static std::string KindCaption(vcl::TBitBtnKind kind);

 protected:
  virtual void DrawImage(const TRect& rect);
  virtual void DrawGlyph(const TRect& rect);
  void DrawButtonCaption() override;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  void ActionChange(vcl::TObject* sender, bool checkDefaults) override;
  // Margin and Spacing grow with the button; a centring Margin of -1 stays.
  void ChangeScale(int m, int d) override;

 private:
  bool HasPicture() const;
  bool ShowsImage() const;
  // The layout as drawn: blGlyphLeft becomes right under right-to-left
  // reading.
  vcl::TButtonLayout EffectiveLayout() const;
  bool PressedLook() const { return Pressed() || (GroupIndex() != 0 && Down()); }
  TRect MeasureCaption(const TRect& rect) const;
  int CaptionHeight(const TRect& rect) const;
  // The picture's offset from the top for stacked layouts with Margin -1.
  int StackedOffset(int captionHeight) const;
  void GlyphChanged();
  void ImagesChanged();

  std::unique_ptr<vcl::TBitmap> glyph_;
  std::string glyphName_;
  bool ownGlyph_ = false;     // the glyph is the user's, not the kind's
  mutable vcl::TBitBtnKind kind_ = vcl::bkCustom;
  vcl::TButtonLayout layout_ = vcl::blGlyphLeft;
  int margin_ = 2;
  int numGlyphs_ = 1;
  int spacing_ = 4;
  vcl::TImageList* images_ = nullptr;
  vcl::TChangeLink imagesLink_;
  int imageIndex_ = -1;
  int disabledIndex_ = -1;
};

// Registers TCtBitBtn with the class registry (once).
void RegisterCtBitBtnClasses();

}  // namespace qelo::ct
