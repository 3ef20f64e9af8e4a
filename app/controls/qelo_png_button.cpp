#include "qelo_png_button.h"

#include "log_bridge.h"
#include "png_parts.h"

namespace qelo::controls {

using namespace vcl;

const EnumInfo kButtonSizeInfo{"TButtonSize", {"bsButtonToBitmap", "bsStrechToButton", "bszneither"}};

const ClassInfo& TQeloPngButton::StaticClass() {
  using T = TQeloPngButton;
  static const ClassInfo info = ClassBuilder<T>("TQeloPngButton", TCustomControl::StaticClass())
                                    .Image("ShowImage", &T::ShowImageName, &T::SetShowImageName)
                                    .Integer("ShowImgX", &T::ShowImgX, &T::SetShowImgX)
                                    .Integer("ShowImgY", &T::ShowImgY, &T::SetShowImgY)
                                    .Integer("TextX", &T::TextX, &T::SetTextX)
                                    .Integer("TextY", &T::TextY, &T::SetTextY)
                                    .String("FileNomal", &T::FileNomal, &T::SetFileNomal)
                                    .String("FileOn", &T::FileOn, &T::SetFileOn)
                                    .String("FileDown", &T::FileDown, &T::SetFileDown)
                                    .String("FileDis", &T::FileDis, &T::SetFileDis)
                                    .Boolean("Stretch", &T::Stretch, &T::SetStretch)
                                    .Enum("ButtonSize", kButtonSizeInfo, &T::ButtonSize, &T::SetButtonSize)
                                    .Done();
  return info;
}

TQeloPngButton::TQeloPngButton(TComponent* owner) : TCustomControl(owner), showImage_(new TPicture) {
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                csDoubleClicks, csReplicatable});
  SetDoubleBuffered(true);
  SetParentColor(false);
  SetParentFont(false);
  SetBounds(0, 0, 100, 40);
  showImage_->OnChange = [this](TObject*) { Invalidate(); };
}

TQeloPngButton::~TQeloPngButton() { delete showImage_; }

template <class T>
void TQeloPngButton::Store(T& field, T value) {
  if (field == value) return;
  field = value;
  Invalidate();
}

void TQeloPngButton::SetShowImage(const TPngImage* image) { showImage_->SetGraphic(image); }
void TQeloPngButton::SetShowImgX(int value) { Store(showImgX_, value); }
void TQeloPngButton::SetShowImgY(int value) { Store(showImgY_, value); }
void TQeloPngButton::SetTextX(int value) { Store(textX_, value); }
void TQeloPngButton::SetTextY(int value) { Store(textY_, value); }
void TQeloPngButton::SetStretch(bool value) { Store(stretch_, value); }

void TQeloPngButton::SetButtonSize(TButtonSize value) {
  if (value == buttonSize_) return;
  buttonSize_ = value;
  SizeToNormalPicture();
  Invalidate();
}

void TQeloPngButton::LoadStatePicture(std::string& field, TPngImage& picture, const std::string& path) {
  field = path;
  try {
    picture.LoadFromFile(path);
  } catch (const Exception& error) {
    picture.SetWidth(0);
    picture.SetHeight(0);
    app::WriteLog("Image button " + Name() + ": cannot load its picture \"" + path + "\" (" + error.what() +
                      "); it is drawn without it.",
                  app::kLogWarning);
  }
  Invalidate();
}

void TQeloPngButton::SetFileNomal(const std::string& path) {
  LoadStatePicture(fileNormal_, normal_, path);
  SizeToNormalPicture();
}
void TQeloPngButton::SetFileOn(const std::string& path) { LoadStatePicture(fileOn_, on_, path); }
void TQeloPngButton::SetFileDown(const std::string& path) { LoadStatePicture(fileDown_, down_, path); }
void TQeloPngButton::SetFileDis(const std::string& path) { LoadStatePicture(fileDis_, disabled_, path); }

void TQeloPngButton::SizeToNormalPicture() {
  if (buttonSize_ == bsButtonToBitmap && !normal_.Empty()) SetBounds(Left(), Top(), normal_.Width(), normal_.Height());
}

void TQeloPngButton::SetBackgroundImage(TPngImage* image) {
  if (!image) return;
  background_ = image;
  Invalidate();
}

TPngImage* TQeloPngButton::CurrentPicture() {
  TPngImage* pick = &normal_;
  if (!Enabled()) pick = &disabled_;
  else if (state_ == stMouseOver) pick = &on_;
  else if (state_ == stPressed) pick = &down_;
  return pick->Empty() ? &normal_ : pick;
}

void TQeloPngButton::Paint() {
  TCanvas& canvas = *Canvas();
  canvas.Brush()->SetStyle(bsClear);
  canvas.Pen()->SetStyle(psClear);
  if (!painted_) {
    backgroundOrigin_ = Point(Left(), Top());
    painted_ = true;
  }
  if (background_) {
    const TRect source = Rect(backgroundOrigin_.x, backgroundOrigin_.y, backgroundOrigin_.x + Width(),
                              backgroundOrigin_.y + Height());
    DrawPngPart(canvas, *background_, source, Rect(0, 0, Width(), Height()));
  }
  TPngImage& pick = *CurrentPicture();
  if (!pick.Empty()) {
    if (buttonSize_ == bsStrechToButton) {
      DrawThreeSlices(canvas, pick, 0, 0, Width(), kEdgeWidth);
    } else {
      SizeToNormalPicture();
      canvas.Draw(0, 0, &pick);
    }
  }
  if (TPngImage* icon = ShowImage(); !icon->Empty()) canvas.Draw(showImgX_, showImgY_, icon);
  if (Caption().empty()) return;
  canvas.Font()->Assign(Font());
  canvas.Brush()->SetStyle(bsClear);
  if (buttonSize_ == bsStrechToButton) {
    // A caption too long for the button (a deep folder) keeps its end, and
    // a few pixels off the right slice.
    constexpr int kTextGap = 4;
    win::RECT room{textX_, textY_, Width() - kEdgeWidth - kTextGap, Height()};
    win::DrawText(canvas.Handle(), Caption(), &room, win::DT_SINGLELINE | win::DT_NOPREFIX | win::DT_PATH_ELLIPSIS);
  } else
    canvas.TextOut(textX_, textY_, Caption());
}

void TQeloPngButton::SetState(TState state) {
  state_ = state;
  Invalidate();
}

void TQeloPngButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    // The click fires on the press, and only there: the framework's own
    // press and release handling (which clicks on the release) is not run.
    case win::WM_LBUTTONDOWN:
      win::SetCapture(Handle());
      SetState(stPressed);
      if (OnClick) OnClick(this);
      return;
    case win::WM_LBUTTONUP:
      if (win::GetCapture() == WindowHandle()) win::ReleaseCapture();
      SetState(stNormal);
      return;
    case CM_MOUSEENTER:
      SetState(stMouseOver);
      break;
    case CM_MOUSELEAVE:
      SetState(stNormal);
      break;
    default:
      break;
  }
  TCustomControl::Dispatch(m);
}

}  // namespace qelo::controls
