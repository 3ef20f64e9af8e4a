#include "qelo_png_button.h"

#include <string>
#include <vector>

#include "common/log_reading.h"
#include "controls_fixture.h"
#include "outside/qelo_log.h"
#include "win/codepage.h"

namespace qelo::controls::test {
namespace {

constexpr unsigned kNormal = 0x3060C0, kOn = 0x40C040, kDown = 0xC04040, kDisabled = 0x909090;

class PngButtonTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    button = new TQeloPngButton(form);
    button->SetName("btnProfile");
    button->SetCaption("");  // the name became the caption
    button->SetParent(form);
    button->SetLeft(40);
    button->SetTop(30);
    button->OnClick = [this](vcl::TObject*) { ++clicks; };
  }
  std::string Solid(const char* name, unsigned rgb, int w = 60, int h = 24) {
    return WriteSolidPng(dir.File(name), w, h, rgb);
  }
  unsigned Shown() {
    button->Repaint();
    Pump();
    return FormPixel(button->Left() + 30, button->Top() + 12);
  }
  TQeloPngButton* button = nullptr;
  int clicks = 0;
};

TEST_F(PngButtonTest, EachStateShowsItsPictureAndTheButtonTakesTheNormalOnesSize) {
  button->SetFileNomal(Solid("normal.png", kNormal));
  button->SetFileOn(Solid("on.png", kOn));
  button->SetFileDown(Solid("down.png", kDown));
  button->SetFileDis(Solid("dis.png", kDisabled));
  EXPECT_EQ(button->Width(), 60);
  EXPECT_EQ(button->Height(), 24);
  EXPECT_EQ(Shown(), kNormal);
  MoveTo(*button, 10, 10);
  EXPECT_EQ(button->State(), TQeloPngButton::stMouseOver);
  EXPECT_EQ(Shown(), kOn);
  Press(*button, 10, 10);
  EXPECT_EQ(Shown(), kDown);
  Release(*button, 10, 10);
  EXPECT_EQ(button->State(), TQeloPngButton::stNormal);
  EXPECT_EQ(Shown(), kNormal);
  MoveTo(*button, 200, 200);
  button->SetEnabled(false);
  EXPECT_EQ(Shown(), kDisabled);
}

TEST_F(PngButtonTest, MissingStatePicturesFallBackToTheNormalOne) {
  button->SetFileNomal(Solid("normal.png", kNormal));
  MoveTo(*button, 10, 10);
  EXPECT_EQ(Shown(), kNormal);
  Press(*button, 10, 10);
  EXPECT_EQ(button->State(), TQeloPngButton::stPressed);
  EXPECT_EQ(Shown(), kNormal);
  Release(*button, 10, 10);
  button->SetEnabled(false);
  EXPECT_EQ(Shown(), kNormal);
}

TEST_F(PngButtonTest, TheClickFiresOnThePressOnlyEvenWhenReleasedOutside) {
  button->SetFileNomal(Solid("normal.png", kNormal));
  Press(*button, 10, 10);
  EXPECT_EQ(clicks, 1);
  Release(*button, 300, 300);
  EXPECT_EQ(clicks, 1);
  Press(*button, 5, 5);
  Release(*button, 5, 5);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(win::GetCapture(), nullptr);
}

TEST_F(PngButtonTest, StretchedPicturesKeepTheirEndsAndStretchTheMiddle) {
  // 60 columns: 25 red, 10 green, 25 blue; on a 300-pixel button the ends
  // stay 25 wide and the 10 middle columns cover 250.
  button->SetButtonSize(bsStrechToButton);
  button->SetBounds(20, 60, 300, 24);
  button->SetFileNomal(WriteBandedPng(dir.File("slices.png"), 60, 24, {0, 25, 35}, {0xFF0000, 0x00FF00, 0x0000FF}));
  EXPECT_EQ(button->Width(), 300);
  button->Repaint();
  Pump();
  const int x = button->Left(), y = button->Top() + 12;
  EXPECT_EQ(FormPixel(x + 0, y), 0xFF0000u);
  EXPECT_EQ(FormPixel(x + 24, y), 0xFF0000u);
  EXPECT_EQ(FormPixel(x + 25, y), 0x00FF00u);
  EXPECT_EQ(FormPixel(x + 274, y), 0x00FF00u);
  EXPECT_EQ(FormPixel(x + 275, y), 0x0000FFu);
  EXPECT_EQ(FormPixel(x + 299, y), 0x0000FFu);
}

TEST_F(PngButtonTest, TheBackgroundComesFromTheSkinAtTheFirstPaintsPlace) {
  // A skin whose left half is yellow and right half cyan.
  vcl::TPngImage skin;
  FillPng(skin, 600, 400, 0xFFFF00);
  for (int row = 0; row < 400; ++row)
    for (int col = 300; col < 600; ++col) skin.ScanLine(row)[col] = 0xFF00FFFFu;
  button->SetButtonSize(bszneither);
  button->SetBounds(280, 30, 60, 24);
  button->SetBackgroundImage(&skin);
  button->SetBackgroundImage(nullptr);  // ignored
  button->Repaint();
  Pump();
  EXPECT_EQ(button->BackgroundOrigin().x, 280);
  EXPECT_EQ(FormPixel(285, 40), 0xFFFF00u);  // the skin's columns 280 .. 299
  EXPECT_EQ(FormPixel(325, 40), 0x00FFFFu);  // and 300 ..
  button->SetLeft(100);  // moved after the first paint: the origin stays
  button->Repaint();
  Pump();
  EXPECT_EQ(button->BackgroundOrigin().x, 280);
  EXPECT_EQ(FormPixel(145, 40), 0x00FFFFu);
}

TEST_F(PngButtonTest, AMissingPictureIsLoggedAndTheButtonStillDraws) {
  ASSERT_EQ(InitializeQeloLog(win::Utf8ToUtf16(dir.path()).c_str()), 1);
  button->SetFileNomal(Solid("normal.png", kNormal));
  const std::string missing = dir.File("Skin/UI/Image/main-selectformat-on.png");
  EXPECT_NO_THROW(button->SetFileOn(missing));
  EXPECT_NO_THROW(button->SetFileNomal(dir.File("gone.png")));
  EXPECT_EQ(button->FileOn(), missing);
  MoveTo(*button, 10, 10);
  EXPECT_NE(Shown(), kNormal);  // no picture left to show
  DeInitializeQeloLog();
  const auto log = qelo::test::LogTexts(dir.path());
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].rfind("Warning: Image button btnProfile: cannot load its picture \"" + missing + "\" (", 0), 0u)
      << log[0];
  EXPECT_NE(log[0].find("); it is drawn without it."), std::string::npos) << log[0];
}

TEST_F(PngButtonTest, IconAndCaptionAreDrawnOverThePicture) {
  button->SetFileNomal(Solid("normal.png", kNormal, 200, 32));
  vcl::TPngImage icon;
  FillPng(icon, 16, 16, 0xFF8000);
  button->SetShowImage(&icon);
  button->SetShowImgX(8);
  button->SetShowImgY(8);
  button->SetTextX(30);
  button->SetTextY(9);
  button->Font()->SetColor(vcl::clWhite);
  button->SetCaption("MP4 Video");
  button->Repaint();
  Pump();
  EXPECT_EQ(FormPixel(button->Left() + 15, button->Top() + 15), 0xFF8000u);
  bool textDrawn = false;
  for (int x = 30; x < 100 && !textDrawn; ++x)
    for (int y = 9; y < 24 && !textDrawn; ++y) textDrawn = FormPixel(button->Left() + x, button->Top() + y) != kNormal;
  EXPECT_TRUE(textDrawn);
  Screenshot(form->Handle(), "app-png-button");
}

TEST_F(PngButtonTest, FormFilesCreateItByClassName) {
  const vcl::ClassInfo* info = vcl::FindClass("TQeloPngButton");
  ASSERT_NE(info, nullptr);
  auto* made = dynamic_cast<TQeloPngButton*>(info->Create(form));
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->Width(), 100);
  EXPECT_EQ(made->Height(), 40);
  EXPECT_EQ(vcl::GetEnumProp(*made, "ButtonSize"), "bsButtonToBitmap");
  vcl::SetEnumProp(*made, "ButtonSize", "bsStrechToButton");
  EXPECT_EQ(made->ButtonSize(), bsStrechToButton);
  EXPECT_EQ(vcl::GetOrdProp(*made, "ShowImgX"), 5);
  EXPECT_EQ(vcl::GetOrdProp(*made, "ShowImgY"), 2);
  vcl::SetStrProp(*made, "FileNomal", Solid("n.png", kNormal));
  EXPECT_EQ(made->FileNomal(), dir.File("n.png"));
}

}  // namespace
}  // namespace qelo::controls::test
