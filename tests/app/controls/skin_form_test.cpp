// The skinned base window: its caption buttons and their places, dragging by
// the top strip, the rounded shape, the skin painted once or in nine pieces,
// the skins chosen by window class, and skin files that are missing.
#include "skin_form.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/log_reading.h"
#include "controls_fixture.h"
#include "edit_layout.h"
#include "outside/qelo_log.h"
#include "qelo_png_button.h"
#include "vcl/controls/extctrls.h"
#include "vcl/controls/scripting.h"
#include "win/codepage.h"
#include "win/folders.h"
#include "win/window/display.h"

namespace qelo::controls::test {
namespace {

namespace fs = std::filesystem;
using vcl::TComponent;
using vcl::TMessage;

// A skinned window of a chosen class name that writes down the system
// commands it is sent instead of carrying them out (a move would wait for
// the mouse).
template <const char* kClassName>
class SkinWindow : public TSkinForm {
 public:
  static const vcl::ClassInfo& StaticClass() {
    static const vcl::ClassInfo info = vcl::ClassBuilder<SkinWindow>(kClassName, TSkinForm::StaticClass()).Done();
    return info;
  }
  const vcl::ClassInfo& ClassType() const override { return StaticClass(); }
  explicit SkinWindow(TComponent* owner) : TSkinForm(owner, StaticClass()) {}

  std::vector<win::WPARAM> sysCommands;
  bool recordSysCommands = true;

 protected:
  void Dispatch(TMessage& m) override {
    if (m.Msg == win::WM_SYSCOMMAND && recordSysCommands) {
      sysCommands.push_back(m.WParam);
      return;
    }
    TSkinForm::Dispatch(m);
  }
};

constexpr char kMainWindow[] = "TfrmVideoConvertor";
constexpr char kSettings[] = "TfrmSettings";
constexpr char kAbout[] = "TfrmAbout";
constexpr char kEditWindow[] = "TfrmEditVideo";
constexpr char kProgress[] = "TfrmProgress";
constexpr char kOther[] = "TfrmSomethingElse";

// Colours of the nine cells of a 300 x 200 test skin cut at 50, 50, 250, 150.
constexpr unsigned kCell[3][3] = {{0xC00000, 0x00C000, 0x0000C0},
                                  {0xC0C000, 0x00C0C0, 0xC000C0},
                                  {0x804000, 0x408000, 0x004080}};

// Windows made by a test; the program folder is the test's folder, with a
// skin folder the test fills, and the log is written there too.
class SkinFormTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    setenv(win::kProgramFolderVariable, dir.path().c_str(), 1);
    fs::create_directories(SkinFolder());
    InitializeQeloLog(win::Utf8ToUtf16(dir.path()).c_str());
  }
  void TearDown() override {
    for (vcl::TForm* w : windows_) w->Free();
    Pump();
    DeInitializeQeloLog();
    unsetenv(win::kProgramFolderVariable);
    ControlTest::TearDown();
  }

  std::string SkinFolder() const { return dir.File("Skin/UI/Image"); }
  // The program's own skin file of that name, copied into the test's skin.
  void CopySkinFile(const std::string& file) {
    fs::copy_file(std::string(QELO_SKIN_DIR) + "/UI/Image/" + file, SkinFolder() + "/" + file,
                  fs::copy_options::overwrite_existing);
  }
  void CopyCaptionButtons() {
    for (const char* f : {"close-normal.BMP", "close-on.BMP", "min-normal.BMP", "min-on.BMP"}) CopySkinFile(f);
  }
  // A 300 x 200 skin whose nine cells have the colours of kCell.
  std::string WriteCellSkin(const std::string& name) {
    vcl::TBitmap bitmap(300, 200);
    const int columns[] = {0, 50, 250, 300}, rows[] = {0, 50, 150, 200};
    for (int r = 0; r < 3; ++r)
      for (int y = rows[r]; y < rows[r + 1]; ++y) {
        uint32_t* line = bitmap.ScanLine(y);
        for (int c = 0; c < 3; ++c)
          for (int x = columns[c]; x < columns[c + 1]; ++x) line[x] = 0xFF000000u | kCell[r][c];
      }
    const std::string path = SkinFolder() + "/" + name + ".png";
    bitmap.SaveToFile(path);
    return path;
  }

  template <const char* kClassName>
  SkinWindow<kClassName>& Make(int width = 300, int height = 200) {
    auto* w = new SkinWindow<kClassName>(nullptr);
    windows_.push_back(w);
    w->SetBounds(0, 0, width, height);
    return *w;
  }
  static void Show(vcl::TForm& w) {
    w.Show();
    Pump();
  }
  static unsigned At(vcl::TForm& w, int x, int y) { return Pixel(w.Handle(), x, y); }
  std::vector<std::string> Log() const { return qelo::test::LogTexts(dir.path()); }

 private:
  std::vector<vcl::TForm*> windows_;
};

TEST_F(SkinFormTest, OnlyTheMainWindowHasAMinimiseButtonLeftOfTheCloseButton) {
  CopyCaptionButtons();
  auto& main = Make<kMainWindow>(300, 200);
  auto& settings = Make<kSettings>(300, 200);
  auto& about = Make<kAbout>(300, 200);
  ASSERT_TRUE(main.HasMinButton());
  EXPECT_FALSE(settings.HasMinButton());
  EXPECT_FALSE(about.HasMinButton());
  EXPECT_EQ(settings.MinButton(), nullptr);
  for (TSkinForm* w : {static_cast<TSkinForm*>(&main), static_cast<TSkinForm*>(&settings)}) {
    w->LayoutCaptionButtons();
    ct::TCtBmpButton& close = *w->CloseButton();
    EXPECT_EQ(close.Width(), 26);  // the picture's size
    EXPECT_EQ(close.Height(), 20);
    EXPECT_EQ(close.Left(), 300 - 26 - 5);
    EXPECT_EQ(close.Top(), 5);
    EXPECT_EQ(close.Parent(), w);
  }
  ct::TCtBmpButton& min = *main.MinButton();
  EXPECT_EQ(min.Left(), main.CloseButton()->Left() - 26 - 2);
  EXPECT_EQ(min.Top(), 5);
  // A size set before the window exists places them when it is made, and
  // a new size of a shown window places them again.
  main.SetBounds(0, 0, 500, 240);
  Show(main);
  EXPECT_EQ(main.CloseButton()->Left(), 500 - 26 - 5);
  EXPECT_EQ(min.Left(), 500 - 26 - 5 - 26 - 2);
  main.SetBounds(0, 0, 420, 240);
  Pump();
  EXPECT_EQ(main.CloseButton()->Left(), 420 - 26 - 5);
  EXPECT_EQ(min.Left(), 420 - 26 - 5 - 26 - 2);
}

TEST_F(SkinFormTest, MissingCaptionButtonPicturesAreLoggedAndTheWindowIsMadeWithoutThem) {
  SkinWindow<kMainWindow>* made = nullptr;
  ASSERT_NO_THROW(made = &Make<kMainWindow>(300, 200));
  ASSERT_NE(made->CloseButton(), nullptr);
  EXPECT_TRUE(made->CloseButton()->Bitmaps()->IsEmpty(ct::TCtButtonBitmaps::fcUp));
  Show(*made);
  const std::vector<std::string> log = Log();
  ASSERT_EQ(log.size(), 4u);
  const char* files[] = {"min-on.BMP", "min-normal.BMP", "close-on.BMP", "close-normal.BMP"};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(log[i].rfind("Warning: Skin: cannot load the caption button picture \"" + SkinFolder() + "/" + files[i],
                           0),
              0u)
        << log[i];
    EXPECT_NE(log[i].find("the button is drawn without it."), std::string::npos) << log[i];
  }
}

TEST_F(SkinFormTest, TheTopStripDragsTheWindowUnlessItFillsTheWorkArea) {
  CopyCaptionButtons();
  struct Case {
    int width, y;
    bool drags;
  } cases[] = {{300, 0, true}, {300, 24, true}, {300, 25, false}, {300, 120, false},
               // As wide as the work area (the headless screen is 1280 wide).
               {1280, 10, false}, {1279, 10, true}};
  for (const Case& c : cases) {
    auto& w = Make<kOther>(c.width, 200);
    Show(w);
    Press(w, 100, c.y);
    Release(w, 100, c.y);
    EXPECT_EQ(w.sysCommands, c.drags ? std::vector<win::WPARAM>{0xF012} : std::vector<win::WPARAM>{})
        << c.width << " " << c.y;
    EXPECT_EQ(win::GetCapture(), nullptr);
    w.Hide();
  }
  EXPECT_EQ(vcl::RectWidth(vcl::Screen()->WorkAreaRect()), 1280);
}

TEST_F(SkinFormTest, AnUnstretchedSkinOnItsOwnSizeAndOnlyTheMiddleStretchedOnALargerWindow) {
  const std::string skin = WriteCellSkin("frm-Common");
  for (auto [width, height] : {std::pair{300, 200}, std::pair{400, 300}}) {
    auto& w = Make<kOther>(width, height);
    w.LoadSkinImage(skin);
    w.SetNineGrid(50, 50, 250, 150);
    Show(w);
    const int dR = width - 50, dB = height - 50;
    // A point well inside each cell of the window, away from the caption button.
    const int xs[] = {40, (50 + dR) / 2, dR + 10}, ys[] = {40, (50 + dB) / 2, dB + 20};
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c)
        EXPECT_EQ(At(w, xs[c], ys[r]), kCell[r][c]) << width << " cell " << r << "," << c;
    // Each piece ends exactly at its line.
    EXPECT_EQ(At(w, 49, 100), kCell[1][0]);
    EXPECT_EQ(At(w, 50, 100), kCell[1][1]);
    EXPECT_EQ(At(w, dR - 1, 100), kCell[1][1]);
    EXPECT_EQ(At(w, dR, 100), kCell[1][2]);
    EXPECT_EQ(At(w, 100, dB), kCell[2][1]);
    // The corner outside the rounded shape shows nothing.
    EXPECT_EQ(At(w, 0, 0), 0x000000u);
    if (width == 400) Screenshot(w.Handle(), "skin-form-nine-grid");
  }
}

TEST_F(SkinFormTest, WithoutANineGridTheSkinIsDrawnOnceAndTheLogoOverIt) {
  const std::string skin = WriteCellSkin("edit");
  WriteSolidPng(SkinFolder() + "/Logo-free.png", 28, 28, 0x123456);
  auto& w = Make<kOther>(400, 300);
  ASSERT_FALSE(w.LogoImage()->Empty());
  w.LoadSkinImage(skin);
  Show(w);
  EXPECT_EQ(At(w, 2, 3), 0x123456u);
  EXPECT_EQ(At(w, 29, 30), 0x123456u);
  EXPECT_EQ(At(w, 31, 40), kCell[0][0]);
  EXPECT_EQ(At(w, 299, 199), kCell[2][2]);
  EXPECT_EQ(At(w, 200, 100), kCell[1][1]);  // unstretched: the middle cell stays 50..249
  EXPECT_EQ(At(w, 260, 100), kCell[1][2]);
}

TEST_F(SkinFormTest, LoadingTheSkinSizesTheWindowAndCutsItToARoundedShape) {
  CopyCaptionButtons();
  const std::string skin = WriteCellSkin("frm-Common");
  std::ofstream(dir.File("damaged.png")) << "not a picture";
  struct Case {
    const char* what;
    std::string path;
    bool autoSize;
    int width, height;  // afterwards, from 400 x 300
    bool rounded;       // the window is cut anew; otherwise it keeps the shape it had
  } cases[] = {
      {"auto size", skin, true, 300, 200, true},
      {"kept size", skin, false, 400, 300, true},
      {"missing file", dir.File("nothing.png"), true, 400, 300, true},
      {"damaged file", dir.File("damaged.png"), true, 400, 300, false},
  };
  for (const Case& c : cases) {
    auto& w = Make<kSettings>(400, 300);
    // A shape of another kind, to see whether loading replaces it.
    win::SetWindowRgn(w.Handle(), win::CreateRectRgn(0, 0, 10, 10), 1);
    w.CloseButton()->SetLeft(0);
    w.SetAutoSizeToSkin(c.autoSize);
    w.LoadSkinImage(c.path);
    EXPECT_EQ(w.Width(), c.width) << c.what;
    EXPECT_EQ(w.Height(), c.height) << c.what;
    EXPECT_EQ(w.CloseButton()->Left(), c.rounded ? c.width - 26 - 5 : 0) << c.what;
    win::HRGN region = win::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(win::GetWindowRgn(w.Handle(), region), win::ERROR) << c.what;
    EXPECT_EQ(win::PtInRegion(region, 0, 0) != 0, !c.rounded) << c.what;
    EXPECT_EQ(win::PtInRegion(region, c.width / 2, c.height / 2) != 0, c.rounded) << c.what;
    if (c.rounded) {
      EXPECT_FALSE(win::PtInRegion(region, c.width, 0)) << c.what;
      EXPECT_TRUE(win::PtInRegion(region, 5, 1)) << c.what;
      EXPECT_TRUE(win::PtInRegion(region, c.width - 1, c.height / 2)) << c.what;
      EXPECT_FALSE(win::PtInRegion(region, c.width + 2, c.height / 2)) << c.what;
    }
    win::DeleteObject(region);
  }
  EXPECT_NE(Log().back().find("damaged.png"), std::string::npos);
}

TEST_F(SkinFormTest, TheCommonDialogsGridIsMeasuredInTheSkinNotInTheWindow) {
  WriteCellSkin("frm-Common");
  struct Case {
    int width, height;
  } cases[] = {{300, 200}, {400, 300}, {520, 360}};
  for (const Case& c : cases) {
    auto& w = Make<kSettings>(c.width, c.height);
    w.ApplySkin();
    ASSERT_TRUE(w.NineGrid());
    EXPECT_EQ(w.Grid().left, 50);
    EXPECT_EQ(w.Grid().top, 50);
    EXPECT_EQ(w.Grid().right, 250) << c.width;
    EXPECT_EQ(w.Grid().bottom, 150) << c.height;
    EXPECT_EQ(w.Width(), c.width);  // common dialogs keep their size
    Show(w);
    EXPECT_EQ(At(w, c.width - 10, c.height - 10), kCell[2][2]) << c.width;
    EXPECT_EQ(At(w, c.width / 2, c.height / 2), kCell[1][1]) << c.width;
  }
}

TEST_F(SkinFormTest, EachWindowClassGetsItsSkin) {
  for (const char* f : {"main-free.png", "edit.png", "frm-Common.png", "FreeClipshift.png", "main-Down-normal.png",
                        "main-Down-on.png", "main-selectformat-normal.png", "main-selectformat-on.png",
                        "main-selectoutpath-normal.png", "main-selectoutpath-on.png"})
    CopySkinFile(f);

  auto& main = Make<kMainWindow>(200, 100);
  auto* designBackground = new vcl::TImage(&main);
  designBackground->SetName("Image1");
  designBackground->SetParent(&main);
  auto* profile = new TQeloPngButton(&main);
  profile->SetName("btnProfile");
  profile->SetParent(&main);
  main.ApplySkin();
  EXPECT_EQ(main.Width(), 940);
  EXPECT_EQ(main.Height(), 524);
  EXPECT_FALSE(main.NineGrid());
  EXPECT_FALSE(designBackground->Visible());
  EXPECT_EQ(profile->FileNomal(), SkinPngPath("main-selectformat-normal"));
  EXPECT_EQ(profile->FileOn(), SkinPngPath("main-selectformat-on"));
  EXPECT_EQ(profile->Width(), 330);  // sized to its picture

  auto& edit = Make<kEditWindow>(200, 100);
  edit.ApplySkin();
  EXPECT_EQ(edit.Width(), skin::edit_window::kWidth);
  EXPECT_EQ(edit.Height(), skin::edit_window::kHeight);

  auto& about = Make<kAbout>(420, 300);
  auto* picture = new vcl::TImage(&about);
  picture->SetName("Img");
  picture->SetParent(&about);
  about.ApplySkin();
  EXPECT_TRUE(about.NineGrid());
  EXPECT_EQ(about.Grid().right, 250);
  EXPECT_EQ(about.Width(), 420);
  EXPECT_EQ(picture->Picture()->Width(), 96);

  for (TSkinForm* w : {static_cast<TSkinForm*>(&Make<kProgress>(200, 100)),
                       static_cast<TSkinForm*>(&Make<kOther>(200, 100))}) {
    w->ApplySkin();
    EXPECT_TRUE(w->GetSkinImage()->Empty()) << w->ClassName();
    EXPECT_EQ(w->Width(), 200);
  }
}

TEST_F(SkinFormTest, TheCaptionButtonsCloseAndMinimiseTheWindow) {
  CopyCaptionButtons();
  auto& w = Make<kMainWindow>(300, 200);
  w.recordSysCommands = false;
  Show(w);
  vcl::script::Click(*w.MinButton());
  EXPECT_TRUE(win::IsIconic(w.Handle()));
  win::ShowWindow(w.Handle(), win::SW_RESTORE);
  Pump();
  ASSERT_TRUE(w.Visible());
  vcl::script::Click(*w.CloseButton());
  EXPECT_FALSE(w.Visible());
}

}  // namespace
}  // namespace qelo::controls::test
