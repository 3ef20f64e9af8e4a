#include "skin_form.h"

#include <exception>

#include "log_bridge.h"
#include "qelo_png_button.h"
#include "vcl/controls/extctrls.h"
#include "vcl/sysutils.h"
#include "win/folders.h"

namespace qelo::controls {

using namespace vcl;

namespace {

constexpr int kRegionCorner = 9;
// Moves the window by its caption, with the mouse (SC_MOVE | HTCAPTION).
constexpr win::WPARAM kDragMove = 0xF012;
// The nine-grid lines of the common dialogs, from each edge of their skin.
constexpr int kCommonDialogGrid = 50;

std::string SkinPath(const std::string& name, const char* extension) {
  return win::ProgramFolder() + "Skin/UI/Image/" + name + extension;
}

// The image buttons of the main window that sit on its skin, with their
// pictures.
struct SkinnedButton {
  const char* name;
  const char* pictures;
};
constexpr SkinnedButton kMainWindowButtons[] = {
    {"btnSnapMenu", "main-Down"},
    {"btnProfile", "main-selectformat"},
    {"beOutpath", "main-selectoutpath"},
};

}  // namespace

std::string SkinPngPath(const std::string& name) { return SkinPath(name, ".png"); }
std::string SkinBmpPath(const std::string& name) { return SkinPath(name, ".BMP"); }

const ClassInfo& TSkinForm::StaticClass() {
  static const ClassInfo info = ClassBuilder<TSkinForm>("TSkinForm", TForm::StaticClass()).Done();
  return info;
}

TSkinForm::TSkinForm(TComponent* owner, const ClassInfo& windowClass)
    : TForm(owner), skinImage_(new TPngImage), logoImage_(new TPngImage) {
  SetBorderStyle(bsNone);
  const std::string logo = SkinPngPath("Logo-free");
  if (FileExists(logo)) {
    try {
      logoImage_->LoadFromFile(logo);
    } catch (const std::exception& error) {
      app::WriteLog("Skin: cannot load the logo \"" + logo + "\" (" + error.what() + ").", app::kLogWarning);
    }
  }
  SetDoubleBuffered(true);
  if (windowClass.name == "TfrmVideoConvertor")
    minButton_ = MakeCaptionButton("min", [this](TObject* sender) { MinimizeButtonClick(sender); });
  closeButton_ = MakeCaptionButton("close", [this](TObject* sender) { CloseButtonClick(sender); });
}

TSkinForm::~TSkinForm() {
  if (minButton_) minButton_->Free();
  closeButton_->Free();
  delete logoImage_;
  delete skinImage_;
}

ct::TCtBmpButton* TSkinForm::MakeCaptionButton(const std::string& pictures, TNotifyEvent click) {
  auto* button = new ct::TCtBmpButton(nullptr);
  button->SetParent(this);
  button->OnClick = std::move(click);
  LoadCaptionPicture(*button, ct::TCtButtonBitmaps::fcHot, SkinBmpPath(pictures + "-on"));
  LoadCaptionPicture(*button, ct::TCtButtonBitmaps::fcUp, SkinBmpPath(pictures + "-normal"));
  button->SetTop(kCaptionButtonMargin);
  return button;
}

// A picture that cannot be read is written to the log and the button goes
// without it: a missing skin file never keeps a window from being made.
void TSkinForm::LoadCaptionPicture(ct::TCtBmpButton& button, ct::TCtButtonBitmaps::Face face,
                                   const std::string& path) {
  TBitmap picture;
  try {
    picture.LoadFromFile(path);
  } catch (const std::exception& error) {
    app::WriteLog("Skin: cannot load the caption button picture \"" + path + "\" (" + error.what() +
                      "); the button is drawn without it.",
                  app::kLogWarning);
    return;
  }
  button.Bitmaps()->SetBitmap(face, &picture);
}

void TSkinForm::LoadSkinImage(const std::string& path) {
  if (FileExists(path)) {
    try {
      skinImage_->LoadFromFile(path);
    } catch (const std::exception& error) {
      app::WriteLog("Skin: cannot load \"" + path + "\" (" + error.what() + ").", app::kLogWarning);
      return;
    }
    if (skinImage_->Empty()) return;
    if (autoSizeToSkin_) SetBounds(Left(), Top(), skinImage_->Width(), skinImage_->Height());
  }
  // The window first: making it gives a form its size from the form file.
  HandleNeeded();
  FitToSize(Width(), Height());
}

void TSkinForm::SetNineGrid(int left, int top, int right, int bottom) {
  grid_ = TNineGrid{left, top, right, bottom};
  nineGrid_ = true;
  Invalidate();
}

TRect TSkinForm::GetNineGridRect(bool isSource, int piece) const {
  return NineGridRect(isSource, piece, grid_, TSize{skinImage_->Width(), skinImage_->Height()},
                      TSize{Width(), Height()});
}

void TSkinForm::LayoutCaptionButtons() { PlaceCaptionButtons(Width()); }

void TSkinForm::PlaceCaptionButtons(int windowWidth) {
  closeButton_->SetLeft(windowWidth - closeButton_->Width() - kCaptionButtonMargin);
  if (minButton_) minButton_->SetLeft(closeButton_->Left() - minButton_->Width() - kCaptionButtonGap);
}

void TSkinForm::CloseButtonClick(TObject*) { win::SendMessage(Handle(), win::WM_CLOSE, 0, 0); }

void TSkinForm::MinimizeButtonClick(TObject*) {
  win::SendMessage(Handle(), win::WM_SYSCOMMAND, win::SC_MINIMIZE, 0);
}

// The rounded shape and the caption buttons for a window of that size.
void TSkinForm::FitToSize(int width, int height) {
  PlaceCaptionButtons(width);
  win::SetWindowRgn(Handle(), win::CreateRoundRectRgn(0, 0, width + 1, height + 1, kRegionCorner, kRegionCorner),
                    1);
}

// A new window gets its shape and its buttons' places at once, as a size
// message would give them: sizes set before the window existed sent none.
void TSkinForm::CreateWnd() {
  TForm::CreateWnd();
  FitToSize(Width(), Height());
}

void TSkinForm::Paint() {
  TCanvas& canvas = *Canvas();
  if (nineGrid_) PaintNineGrid();
  else if (!skinImage_->Empty()) canvas.Draw(0, 0, skinImage_);
  if (!logoImage_->Empty()) canvas.Draw(2, 3, logoImage_);
}

// The corners and edges over the centre, each copied (stretched) from the
// skin as it stands.
void TSkinForm::PaintNineGrid() {
  if (skinImage_->Empty()) return;
  static constexpr int kOrder[kNineGridPieces] = {3, 4, 5, 6, 7, 8, 0, 2, 1};
  TCanvas& canvas = *Canvas();
  TCanvas& skin = *skinImage_->Canvas();
  for (int piece : kOrder) {
    const TRect source = GetNineGridRect(true, piece);
    const TRect dest = GetNineGridRect(false, piece);
    if (RectWidth(source) <= 0 || RectHeight(source) <= 0 || RectWidth(dest) <= 0 || RectHeight(dest) <= 0)
      continue;
    canvas.CopyRect(dest, skin, source);
  }
}

void TSkinForm::MoveByMouse() {
  win::ReleaseCapture();
  win::SendMessage(Handle(), win::WM_SYSCOMMAND, kDragMove, 0);
}

void TSkinForm::StartDrag(int y) {
  if (y >= kDragStripHeight || RectWidth(Screen()->WorkAreaRect()) == Width()) return;
  MoveByMouse();
}

void TSkinForm::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case win::WM_LBUTTONDOWN:
      StartDrag(win::GET_Y_LPARAM(m.LParam));
      return;
    case win::WM_SIZE:
      // The size comes with the message: the control's bounds follow the
      // window only once its move has been handled.
      if (HandleAllocated()) FitToSize(win::LOWORD(m.LParam), win::HIWORD(m.LParam));
      Invalidate();
      return;
    default:
      TForm::Dispatch(m);
  }
}

// ---- skins by window class ------------------------------------------------------

void TSkinForm::ApplySkin() {
  const std::string& windowClass = ClassType().name;
  if (windowClass == "TfrmVideoConvertor") {
    SkinMainWindow();
  } else if (windowClass == "TfrmEditVideo") {
    autoSizeToSkin_ = true;
    LoadSkinImage(SkinPngPath("edit"));
  } else if (windowClass == "TfrmAbout") {
    SkinAboutBox();
  } else if (windowClass == "TfrmSettings") {
    SkinCommonDialog();
  }
}

void TSkinForm::SkinMainWindow() {
  SetMainCaptions();
  if (auto* designBackground = dynamic_cast<TControl*>(FindComponent("Image1"))) designBackground->SetVisible(false);
  autoSizeToSkin_ = true;
  LoadSkinImage(SkinPngPath("main-free"));
  for (const SkinnedButton& b : kMainWindowButtons) {
    auto* button = dynamic_cast<TQeloPngButton*>(FindComponent(b.name));
    if (!button) continue;
    button->SetFileNomal(SkinPngPath(std::string(b.pictures) + "-normal"));
    button->SetFileOn(SkinPngPath(std::string(b.pictures) + "-on"));
    button->SetBackgroundImage(skinImage_);
  }
}

void TSkinForm::SkinAboutBox() {
  LoadSkinImage(SkinPngPath("frm-Common"));
  if (auto* picture = dynamic_cast<TImage*>(FindComponent("Img"))) {
    const std::string path = SkinPngPath("FreeClipshift");
    try {
      picture->Picture()->LoadFromFile(path);
    } catch (const std::exception& error) {
      app::WriteLog("Skin: cannot load \"" + path + "\" (" + error.what() + ").", app::kLogWarning);
    }
  }
  SetNineGridToSkin();
}

void TSkinForm::SkinCommonDialog() {
  LoadSkinImage(SkinPngPath("frm-Common"));
  SetNineGridToSkin();
}

// The grid lines lie in the skin picture, so they are measured from its
// edges, whatever size the window has.
void TSkinForm::SetNineGridToSkin() {
  SetNineGrid(kCommonDialogGrid, kCommonDialogGrid, skinImage_->Width() - kCommonDialogGrid,
              skinImage_->Height() - kCommonDialogGrid);
}

}  // namespace qelo::controls
