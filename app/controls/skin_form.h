// TSkinForm: the borderless skinned window the program's own windows derive
// from. It paints a skin picture (once, or stretched in nine pieces), cuts
// the window to a rounded rectangle, is dragged by its top strip, and carries
// its own close button (and, on the main window, a minimise button). The
// skin pictures are files under Skin/UI/Image/ in the program's folder.
#pragma once

#include <string>

#include "ct_bmp_btn.h"
#include "skin_form_nine_grid.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/png_image.h"

namespace qelo::controls {

// The program folder + "Skin/UI/Image/" + name + ".png" (".BMP").
std::string SkinPngPath(const std::string& name);
std::string SkinBmpPath(const std::string& name);

class TSkinForm : public vcl::TForm {
  QELO_VCL_CLASS()
 public:
  // The strip at the top (y 0 to 24) that drags the window.
  static constexpr int kDragStripHeight = 25;
  // The caption buttons' distance from the right and top edges, and the gap
  // between the minimise and the close button.
  static constexpr int kCaptionButtonMargin = 5;
  static constexpr int kCaptionButtonGap = 2;

  // `windowClass` is the class of the window being made (the derived
  // class's StaticClass(): while this constructor runs the object is not yet
  // of that class); only "TfrmVideoConvertor" gets a minimise button.
  explicit TSkinForm(vcl::TComponent* owner, const vcl::ClassInfo& windowClass = StaticClass());
  ~TSkinForm() override;

  // Loads the window's background from a PNG file. A missing file loads
  // nothing; a file that loads empty (or cannot be read) changes nothing
  // more. Otherwise the window takes the picture's size when
  // AutoSizeToSkin is on. Unless it loaded empty, the caption buttons are
  // placed and the window is cut to its rounded shape.
  void LoadSkinImage(const std::string& path);
  bool AutoSizeToSkin() const { return autoSizeToSkin_; }
  void SetAutoSizeToSkin(bool flag) { autoSizeToSkin_ = flag; }
  vcl::TPngImage* GetSkinImage() const { return skinImage_; }
  vcl::TPngImage* LogoImage() const { return logoImage_; }

  // Paints the skin in nine pieces from now on, cut at these lines.
  void SetNineGrid(int left, int top, int right, int bottom);
  bool NineGrid() const { return nineGrid_; }
  const TNineGrid& Grid() const { return grid_; }
  // A piece (0 to 8) in the skin picture or in the window.
  vcl::TRect GetNineGridRect(bool isSource, int piece) const;

  ct::TCtBmpButton* CloseButton() const { return closeButton_; }
  // Null unless HasMinButton.
  ct::TCtBmpButton* MinButton() const { return minButton_; }
  bool HasMinButton() const { return minButton_ != nullptr; }
  // The close button 5 pixels from the right edge, the minimise button 2
  // pixels left of it.
  void LayoutCaptionButtons();
  // Hands the mouse to the window system, which moves the window with it
  // until the button is released.
  void MoveByMouse();
  void CloseButtonClick(vcl::TObject* sender);
  void MinimizeButtonClick(vcl::TObject* sender);

  // Skins the window by its class name; each derived window's FormCreate
  // calls it once.
  void ApplySkin();

 protected:
  void CreateWnd() override;
  void Paint() override;
  void Dispatch(vcl::TMessage& message) override;
  // The main window's captions, set when it is skinned.
  virtual void SetMainCaptions() {}

 private:
  ct::TCtBmpButton* MakeCaptionButton(const std::string& pictures, vcl::TNotifyEvent click);
  void LoadCaptionPicture(ct::TCtBmpButton& button, ct::TCtButtonBitmaps::Face face, const std::string& path);
  void PlaceCaptionButtons(int windowWidth);
  void PaintNineGrid();
  void FitToSize(int width, int height);
  void StartDrag(int y);
  void SkinMainWindow();
  void SkinAboutBox();
  void SkinCommonDialog();
  void SetNineGridToSkin();

  vcl::TPngImage* skinImage_;
  vcl::TPngImage* logoImage_;
  ct::TCtBmpButton* closeButton_ = nullptr;
  ct::TCtBmpButton* minButton_ = nullptr;
  bool nineGrid_ = false;
  TNineGrid grid_;
  bool autoSizeToSkin_ = false;
};

}  // namespace qelo::controls
