// TQeloPngButton: a button drawn entirely from PNG files, one picture per
// state (normal, mouse over, pressed, disabled), with an optional icon and
// a caption. It shows the part of its form's skin picture that lies under
// it as its background, so the pictures' transparency shows the skin.
#pragma once

#include <string>

#include "vcl/controls/controls.h"
#include "vcl/graphics/picture.h"

namespace qelo::controls {

// How the state picture is drawn: the button takes the normal picture's
// size; the picture is stretched to the button in three slices; or it is
// drawn at its own size and the button's size is left alone.
enum TButtonSize { bsButtonToBitmap, bsStrechToButton, bszneither };
extern const vcl::EnumInfo kButtonSizeInfo;

class TQeloPngButton : public vcl::TCustomControl {
  QELO_VCL_CLASS()
 public:
  enum TState { stNormal = 0, stMouseOver = 1, stPressed = 2 };
  // Width of the fixed end slices, and the caption's right margin, when
  // stretched.
  static constexpr int kEdgeWidth = 25;

  explicit TQeloPngButton(vcl::TComponent* owner);
  ~TQeloPngButton() override;

  // The icon over the state picture (a copy is kept).
  vcl::TPngImage* ShowImage() const { return showImage_->Png(); }
  void SetShowImage(const vcl::TPngImage* image);
  int ShowImgX() const { return showImgX_; }
  void SetShowImgX(int value);
  int ShowImgY() const { return showImgY_; }
  void SetShowImgY(int value);
  int TextX() const { return textX_; }
  void SetTextX(int value);
  int TextY() const { return textY_; }
  void SetTextY(int value);

  // Setting a path loads its picture. A file that cannot be read is written
  // to the log and leaves that state without a picture (the normal one is
  // drawn instead), so a missing skin file never stops a window.
  const std::string& FileNomal() const { return fileNormal_; }
  void SetFileNomal(const std::string& path);
  const std::string& FileOn() const { return fileOn_; }
  void SetFileOn(const std::string& path);
  const std::string& FileDown() const { return fileDown_; }
  void SetFileDown(const std::string& path);
  const std::string& FileDis() const { return fileDis_; }
  void SetFileDis(const std::string& path);

  // Stored only: drawing does not read it.
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  TButtonSize ButtonSize() const { return buttonSize_; }
  void SetButtonSize(TButtonSize value);

  // The picture the background is copied from (the giver keeps it).
  void SetBackgroundImage(vcl::TPngImage* image);

  TState State() const { return state_; }
  // The picture drawn now: the state's, else the normal one.
  vcl::TPngImage* CurrentPicture();
  // Where the background is taken from: the button's place at its first
  // paint.
  vcl::TPoint BackgroundOrigin() const { return backgroundOrigin_; }

 protected:
  void Paint() override;
  void Dispatch(vcl::TMessage& message) override;

 private:
  void LoadStatePicture(std::string& field, vcl::TPngImage& picture, const std::string& path);
  void SizeToNormalPicture();
  void SetState(TState state);
  template <class T>
  void Store(T& field, T value);
  const std::string& ShowImageName() const { return showImage_->ResourceName(); }
  void SetShowImageName(const std::string& name) { showImage_->SetResourceName(name); }

  vcl::TPicture* showImage_;
  int showImgX_ = 5;
  int showImgY_ = 2;
  int textX_ = 0;
  int textY_ = 0;
  std::string fileNormal_, fileOn_, fileDown_, fileDis_;
  vcl::TPngImage normal_, on_, down_, disabled_;
  bool stretch_ = false;
  TButtonSize buttonSize_ = bsButtonToBitmap;
  TState state_ = stNormal;
  vcl::TPngImage* background_ = nullptr;
  vcl::TPoint backgroundOrigin_{0, 0};
  bool painted_ = false;
};

}  // namespace qelo::controls
