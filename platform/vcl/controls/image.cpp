#include "vcl/controls/extctrls.h"

namespace qelo::vcl {

const ClassInfo& TImage::StaticClass() {
  static const ClassInfo info = ClassBuilder<TImage>("TImage", TGraphicControl::StaticClass())
                                    .Image("Picture", &TImage::PictureName, &TImage::SetPictureName)
                                    .Boolean("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize)
                                    .Boolean("Center", &TImage::Center, &TImage::SetCenter)
                                    .Boolean("Stretch", &TImage::Stretch, &TImage::SetStretch)
                                    .Boolean("Proportional", &TImage::Proportional, &TImage::SetProportional)
                                    .Boolean("Transparent", &TImage::Transparent, &TImage::SetTransparent)
                                    .Done();
  return info;
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(new TPicture) {
  TControlStyle style = ControlStyle();
  style.Include(csReplicatable);
  SetControlStyle(style);
  picture_->OnChange = [this](TObject* sender) { PictureChanged(sender); };
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { delete picture_; }

void TImage::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  PictureChanged(picture_);
}

void TImage::SetCenter(bool value) {
  if (value == center_) return;
  center_ = value;
  Invalidate();
}

void TImage::SetStretch(bool value) {
  if (value == stretch_) return;
  stretch_ = value;
  Invalidate();
}

void TImage::SetProportional(bool value) {
  if (value == proportional_) return;
  proportional_ = value;
  Invalidate();
}

void TImage::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  if (TGraphic* g = picture_->Graphic()) g->SetTransparent(value);
  Invalidate();
}

void TImage::PictureChanged(TObject*) {
  TGraphic* g = picture_->Graphic();
  if (g && transparent_) g->SetTransparent(true);
  if (autoSize_ && g && !g->Empty()) SetBounds(Left(), Top(), g->Width(), g->Height());
  Invalidate();
}

TRect TImage::DestRect() const {
  const int pw = picture_->Width(), ph = picture_->Height();
  const int cw = Width(), ch = Height();
  int w = pw, h = ph;
  if (stretch_ || (proportional_ && (pw > cw || ph > ch))) {
    if (proportional_ && pw > 0 && ph > 0) {
      // The larger of the two ratios decides, so the picture fits inside.
      if (static_cast<int64_t>(cw) * ph > static_cast<int64_t>(ch) * pw) {
        h = ch;
        w = static_cast<int>(static_cast<int64_t>(pw) * ch / ph);
      } else {
        w = cw;
        h = static_cast<int>(static_cast<int64_t>(ph) * cw / pw);
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r = Rect(0, 0, w, h);
  if (center_) win::OffsetRect(&r, (cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  TGraphic* g = picture_->Graphic();
  if (!g || g->Empty()) return;
  Canvas()->StretchDraw(DestRect(), g);
}

}  // namespace qelo::vcl
