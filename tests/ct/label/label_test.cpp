// Labels: angles and rotations, the size fitted to turned text, condensed
// captions, the text styles' copies, curved text, blinking, the fly-by
// colour, the frame controller, and the link label's click.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../vcl/window_pixel.h"
#include "controls_fixture.h"
#include "ct_common_blinking.h"
#include "ct_label.h"
#include "shell/launch.h"
#include "ct_label_open_with.h"
#include "vcl/controls/listbox.h"
#include "vcl/controls/scripting.h"
#include "vcl/controls/text_drawing.h"
#include "vcl/form_reader.h"

namespace qelo::ct {
namespace {

using namespace vcl;
using vcl::test::FormTest;

// Before the desktop's first use: a home of the tests' own, with one
// program that opens web pages, so that choosing a program for them never
// touches the user's settings.
struct DesktopHome {
  DesktopHome();
  ~DesktopHome() { std::filesystem::remove_all(path); }
  std::string path;
};

DesktopHome::DesktopHome() {
  char folder[] = "/tmp/qelo-label-desktop-XXXXXX";
  if (!mkdtemp(folder)) return;
  path = folder;
  const std::string& home = path;
  const std::string applications = home + "/data/applications";
  std::filesystem::create_directories(applications);
  std::filesystem::create_directories(home + "/config");
  std::ofstream(applications + "/qelo-test-browser.desktop") << "[Desktop Entry]\n"
                                                                "Type=Application\n"
                                                                "Name=Qelo Test Browser\n"
                                                                "Exec=true %u\n"
                                                                "MimeType=text/html;\n";
  // The desktop reads which programs open a type from the folder's cache.
  std::ofstream(applications + "/mimeinfo.cache") << "[MIME Cache]\ntext/html=qelo-test-browser.desktop;\n";
  setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
}

const DesktopHome kDesktopHome;

class LabelTest : public FormTest {
 protected:
  template <class L = TCtLabel>
  L* MakeLabel(const std::string& caption, int left = 10, int top = 10) {
    auto* label = new L(form);
    label->SetParent(form);
    label->SetBounds(left, top, 65, 17);
    label->Font()->SetSize(10);
    label->SetCaption(caption);
    return label;
  }
  // The pixels the label shows, row by row, read from the form's window.
  std::vector<win::COLORREF> Shown(TControl& c) {
    script::Pump();
    std::vector<win::COLORREF> pixels;
    for (int y = 0; y < c.Height(); ++y)
      for (int x = 0; x < c.Width(); ++x) pixels.push_back(qelo::test::WindowPixel(form->Handle(), c.Left() + x, c.Top() + y));
    return pixels;
  }
  int CountShown(TControl& c, TColor color) {
    int n = 0;
    for (win::COLORREF p : Shown(c)) n += p == ColorToRGB(color);
    return n;
  }
};

// The size of a text in a font as the platform measures it.
TSize MeasuredText(const TFont& font, const std::string& text) {
  TCanvas canvas;
  win::HDC dc = win::CreateDisplayDC();
  canvas.SetHandle(dc);
  canvas.Font()->Assign(&font);
  TRect r = Rect(0, 0, 10000, 0);
  DrawCanvasText(canvas, text, r, win::DT_CALCRECT | win::DT_EXPANDTABS);
  canvas.SetHandle(nullptr);
  win::DeleteDC(dc);
  return TSize{RectWidth(r), RectHeight(r)};
}

// ---- angles and rotation ----

TEST_F(LabelTest, AnglesOfAnySizeComeIntoTheCircle) {
  struct Case {
    int set, stored;
  };
  const Case cases[] = {{-90, 270}, {400, 40}, {-400, 320}, {-720, 0}, {360, 0}, {719, 359}, {-1, 359}, {45, 45}};
  TCtLabel* label = MakeLabel("Angle");
  for (const Case& c : cases) {
    label->SetAngle(c.set);
    EXPECT_EQ(label->Angle(), c.stored) << c.set;
  }
}

TEST_F(LabelTest, RotationAndAngleFollowEachOther) {
  TCtLabel* label = MakeLabel("Turn");
  label->SetAngle(45);
  EXPECT_EQ(label->Rotation(), roFlat) << "an angle turns a plain label";
  EXPECT_EQ(label->Angle(), 45);
  label->SetRotation(roCurve);
  label->SetCenterPoint(cpLowerLeft);
  label->SetAngle(30);
  label->SetRotation(roFlat);
  EXPECT_EQ(label->Angle(), 0);
  EXPECT_EQ(label->CenterPoint(), cpCenter);
  label->SetAngle(60);
  label->SetRotation(roNone);
  EXPECT_EQ(label->Angle(), 0);
}

TEST_F(LabelTest, FormFileKeepsTheAngleWhateverOrderItsPropertiesCome) {
  RegisterCtLabelClasses();
  TForm* loaded = new TForm(nullptr);
  ReadComponentText(*loaded,
                    "object frmLoaded: TForm\n"
                    "  object lblTurned: TCtLabel\n"
                    "    Angle = -90\n"
                    "    Rotation = roFlat\n"
                    "    CenterPoint = cpUpperLeft\n"
                    "    FrameSides = [sdLeft, sdTop]\n"
                    "    Caption = 'Turned'\n"
                    "  end\n"
                    "  object lblPlain: TCtLabel\n"
                    "    Angle = 90\n"
                    "    Caption = 'Plain'\n"
                    "  end\n"
                    "end\n",
                    "loaded.form");
  auto& turned = script::Find<TCtLabel>(*loaded, "lblTurned");
  EXPECT_EQ(turned.Angle(), 270);
  EXPECT_EQ(turned.Rotation(), roFlat);
  EXPECT_EQ(turned.CenterPoint(), cpUpperLeft);
  auto& plain = script::Find<TCtLabel>(*loaded, "lblPlain");
  EXPECT_EQ(plain.Rotation(), roFlat) << "an angle without a rotation is read as turned";
  EXPECT_GT(plain.Height(), plain.Width()) << "and sized as turned once the form is read";
  loaded->Free();
}

// ---- fitted size ----

TEST(RotatedBoxSizeTest, TheTurnedBoxInEveryQuadrant) {
  struct Case {
    int angle;
    TSize expected;
  };
  // A 100 x 20 box: cos 30 = 0.866, sin 30 = 0.5.
  const Case cases[] = {{0, {100, 20}},    {30, {97, 67}},   {90, {20, 100}},  {120, {67, 97}},
                        {180, {100, 20}},  {210, {97, 67}},  {270, {20, 100}}, {300, {67, 97}}};
  for (const Case& c : cases) {
    const TSize s = RotatedBoxSize(100, 20, c.angle);
    EXPECT_EQ(s.cx, c.expected.cx) << c.angle;
    EXPECT_EQ(s.cy, c.expected.cy) << c.angle;
  }
}

TEST_F(LabelTest, FitsTurnedTextInAllFourQuadrants) {
  const std::string caption = "Clipshift converts";
  for (int angle : {30, 90, 120, 210, 270, 300}) {
    TCtLabel* label = MakeLabel(caption);
    label->SetAngle(angle);
    const TSize text = MeasuredText(*label->Font(), caption);
    const TSize expected = RotatedBoxSize(text.cx, text.cy, angle);
    EXPECT_EQ(label->Width(), expected.cx) << angle;
    EXPECT_EQ(label->Height(), expected.cy) << angle;
    const bool steep = (angle > 45 && angle < 135) || (angle > 225 && angle < 315);
    EXPECT_EQ(label->Height() > label->Width(), steep) << angle << ": a steep line is taller than wide";
    label->Free();
  }
}

TEST_F(LabelTest, FittedSizeHoldsTheFrameTheMarginAndTheShadow) {
  const std::string caption = "Output folder";
  struct Case {
    const char* name;
    TFrameStyleEx outer, inner;
    int borderWidth, margin;
    TTextStyle style;
    int extra;  // on each of width and height
  };
  const Case cases[] = {
      {"plain", fsNone, fsNone, 0, 0, tsNormal, 0},
      {"flat", fsFlat, fsNone, 0, 0, tsNormal, 2},
      {"flat bold takes its two lines", fsFlatBold, fsNone, 0, 0, tsNormal, 4},
      {"rounded takes its two lines", fsFlatRounded, fsNone, 0, 0, tsNormal, 4},
      {"raised and lowered", fsRaised, fsLowered, 0, 0, tsNormal, 8},
      {"border width and margin", fsFlat, fsNone, 3, 2, tsNormal, 2 + 6 + 4},
      {"shadow", fsNone, fsNone, 0, 0, tsShadow, 2},
  };
  const TSize text = MeasuredText(*MakeLabel(caption)->Font(), caption);
  for (const Case& c : cases) {
    TCtLabel* label = MakeLabel(caption);
    label->SetBorderOuter(c.outer);
    label->SetBorderInner(c.inner);
    label->SetBorderWidth(c.borderWidth);
    label->SetTextMargin(c.margin);
    label->SetTextStyle(c.style);
    EXPECT_EQ(label->Width(), text.cx + c.extra) << c.name;
    EXPECT_EQ(label->Height(), text.cy + c.extra) << c.name;
    TRect r;
    label->GetTextRect(r, true);
    EXPECT_EQ(RectWidth(r) - (c.style == tsShadow ? 2 : 0), text.cx) << c.name << ": the text rectangle holds the text";
    label->Free();
  }
}

TEST_F(LabelTest, RightAlignedLabelKeepsItsRightEdge) {
  TCtLabel* label = MakeLabel("Short");
  label->SetAlignment(taRightJustify);
  const int right = label->Left() + label->Width();
  label->SetCaption("A much longer caption");
  EXPECT_EQ(label->Left() + label->Width(), right);
}

// ---- condensed captions ----

// The longest start of `text` that fits `width` with "..." after it.
std::string EndCondensed(TCanvas& canvas, const std::string& text, int width) {
  std::string kept;
  for (size_t n = 1; n <= text.size(); ++n) {
    if (canvas.TextWidth(text.substr(0, n) + "...") > width) break;
    kept = text.substr(0, n);
  }
  return kept + "...";
}

// The last path element kept whole, the start shortened before it.
std::string PathCondensed(TCanvas& canvas, const std::string& path, int width) {
  const std::string tail = path.substr(path.find_last_of('/'));
  std::string kept;
  for (size_t n = 1; n < path.size() - tail.size(); ++n) {
    if (canvas.TextWidth(path.substr(0, n) + "..." + tail) > width) break;
    kept = path.substr(0, n);
  }
  return kept + "..." + tail;
}

TEST_F(LabelTest, CondensedCaptionEndsWithTheLongestStartThatFitsAndAnEllipsis) {
  struct Case {
    TCtCondenseCaption condense;
    std::string caption;
  };
  const Case cases[] = {{ccAtEnd, "Converting every checked file"},
                        {ccWithinPath, "/home/user/Videos/Holiday/clip.avi"}};
  for (const Case& c : cases) {
    TCtLabel* label = MakeLabel(c.caption);
    label->SetCondenseCaption(c.condense);
    EXPECT_FALSE(label->AutoSize()) << "a condensed label never fits itself";
    label->SetBounds(10, 10, 150, 20);

    // The same text, condensed by hand, drawn plainly where the label draws.
    TBitmap expected(150, 20);
    TCanvas& canvas = *expected.Canvas();
    canvas.Brush()->SetColor(label->Color());
    canvas.FillRect(Rect(0, 0, 150, 20));
    canvas.Font()->Assign(label->Font());
    const std::string shown = c.condense == ccAtEnd ? EndCondensed(canvas, c.caption, 150)
                                                    : PathCondensed(canvas, c.caption, 150);
    ASSERT_NE(shown, c.caption + "...");
    canvas.Brush()->SetStyle(bsClear);
    TRect r = Rect(0, 0, 150, 20);
    DrawCanvasText(canvas, shown, r, win::DT_EXPANDTABS);

    const std::vector<win::COLORREF> drawn = Shown(*label);
    int differing = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 150; ++x) differing += drawn[y * 150 + x] != canvas.Pixels(x, y);
    EXPECT_EQ(differing, 0) << "shown as \"" << shown << "\"";
    label->Free();
  }
}

// ---- text styles ----

TEST_F(LabelTest, TextStylesDrawTheirShadowAndHighlightCopies) {
  struct Case {
    TTextStyle style;
    bool light;
    bool shadow, highlight;
  };
  const Case cases[] = {{tsNormal, false, false, false}, {tsRaised, false, true, true}, {tsRaised, true, false, true},
                        {tsRecessed, false, true, true}, {tsRecessed, true, false, true}, {tsShadow, false, true, false}};
  for (const Case& c : cases) {
    TCtLabel* label = MakeLabel("HHHH");
    label->Font()->SetSize(14);
    label->Font()->SetStyle({fsBold});
    label->SetShadowColor(clRed);
    label->SetHighlightColor(clLime);
    label->SetTextStyle(c.style);
    label->SetLightTextStyle(c.light);
    EXPECT_EQ(CountShown(*label, clRed) > 0, c.shadow) << kTextStyleInfo.NameOf(c.style) << " light " << c.light;
    EXPECT_EQ(CountShown(*label, clLime) > 0, c.highlight) << kTextStyleInfo.NameOf(c.style) << " light " << c.light;
    EXPECT_GT(CountShown(*label, clWindowText), 0) << "the text itself";
    label->Free();
  }
}

TEST_F(LabelTest, DisabledLabelDrawsOnlyGreyText) {
  TCtLabel* label = MakeLabel("HHHH");
  label->Font()->SetStyle({fsBold});
  label->SetTextStyle(tsRaised);
  label->SetHighlightColor(clLime);
  label->SetEnabled(false);
  EXPECT_EQ(CountShown(*label, clLime), 0);
  EXPECT_GT(CountShown(*label, clGrayText), 0);
}

// ---- curved text ----

TEST_F(LabelTest, CurvedTextFollowsAnEllipseAndNeedsRoomForOne) {
  TCtLabel* label = MakeLabel("Clipshift");
  label->SetAutoSize(false);
  label->SetRotation(roCurve);
  label->SetAngle(60);
  label->SetBounds(10, 10, 120, 120);
  const int drawn = CountShown(*label, clWindowText);
  EXPECT_GT(drawn, 0);

  // Radii of 0 and below: nothing is set along them, and nothing breaks.
  for (TCenterPoint point : {cpCenter, cpUpperCenter, cpLeftCenter, cpLowerRight}) {
    label->SetCenterPoint(point);
    label->SetBorderWidth(40);
    label->SetBounds(10, 10, 60, 60);
    EXPECT_EQ(CountShown(*label, clWindowText), 0) << kCenterPointInfo.NameOf(point);
    label->SetBorderWidth(0);
  }
}

// ---- blinking and fly-by ----

TEST_F(LabelTest, BlinkingSwitchesTheTextColourOnTheSharedTick) {
  TCtLabel* a = MakeLabel("Blink");
  TCtLabel* b = MakeLabel("Still", 10, 40);
  a->Font()->SetColor(clNavy);
  a->SetBlinkColor(clRed);
  a->SetBlinking(true);
  EXPECT_EQ(a->Perform(CM_BLINKQUERY), 1);
  EXPECT_EQ(b->Perform(CM_BLINKQUERY), 0);
  BlinkingControlsList()->TimerFired(nullptr);
  BlinkingControlsList()->TimerFired(nullptr);
  const TColor first = a->TextColor();
  BlinkingControlsList()->TimerFired(nullptr);
  EXPECT_NE(a->TextColor(), first) << "every tick flips it";
  a->Perform(CM_BLINK, 1);
  EXPECT_EQ(a->TextColor(), clRed);
  EXPECT_GT(CountShown(*a, clRed), 0);
  a->SetBlinking(false);
  EXPECT_EQ(a->TextColor(), clNavy) << "stopping shows the font colour again";
  EXPECT_EQ(CountShown(*a, clRed), 0);

  a->SetBlinkIntervalOn(250);
  EXPECT_EQ(b->BlinkIntervalOn(), 250) << "one interval for all labels";
}

TEST_F(LabelTest, FlyByColourShowsWhileTheMouseIsOver) {
  TCtLabel* label = MakeLabel("Hover");
  label->Font()->SetColor(clNavy);
  label->SetFlyByEnabled(true);
  label->SetFlyByColor(clRed);
  script::MoveMouse(*label, Point(3, 3));
  EXPECT_EQ(label->Font()->Color(), clRed);
  script::MoveMouse(*form, Point(300, 250));
  EXPECT_EQ(label->Font()->Color(), clNavy);

  script::MoveMouse(*label, Point(3, 3));
  label->SetFlyByEnabled(false);
  EXPECT_EQ(label->Font()->Color(), clNavy) << "switching fly-by off restores the colour at once";
}

// ---- frame controller ----

TEST_F(LabelTest, TakesTheFrameOfAVisibleControllerOnly) {
  auto* controller = new TCtFrameController(form);
  controller->SetFrameStyle(fsFlatBold);
  TCtLabel* label = MakeLabel("Framed");
  label->SetFrameController(controller);
  EXPECT_EQ(label->BorderOuter(), fsNone) << "the controller's frame is not visible";
  controller->SetFrameVisible(true);
  EXPECT_EQ(label->BorderOuter(), fsFlatBold);
  controller->SetFrameStyle(fsRaised);
  EXPECT_EQ(label->BorderOuter(), fsRaised);
  controller->Free();
  EXPECT_EQ(label->FrameController(), nullptr);
}

// ---- link label ----

class URLLabelTest : public LabelTest {
 protected:
  void SetUp() override {
    LabelTest::SetUp();
    shell::SetLaunchRecorderForTesting([this](const std::string& uri) {
      opened.push_back(uri);
      return answer;
    });
  }
  void TearDown() override {
    shell::SetLaunchRecorderForTesting({});
    for (int i = Screen()->FormCount() - 1; i >= 0; --i)
      if (Screen()->Forms(i)->Name() == kOpenWithFormName) Screen()->Forms(i)->Free();
    LabelTest::TearDown();
  }
  std::vector<std::string> opened;
  bool answer = true;
};

TEST_F(URLLabelTest, ClickOpensTheAddressAsOneArgumentAndMarksTheLinkVisited) {
  auto* link = MakeLabel<TCtURLLabel>("Clipshift home page");
  link->SetURL("  https://example.org/a b?x=1&y=\"2\";rm -rf ~  ");
  int clicks = 0;
  link->OnClick = [&](TObject*) {
    ++clicks;
    EXPECT_TRUE(opened.empty()) << "OnClick runs first";
  };
  EXPECT_EQ(link->Font()->Color(), clHighlight);
  EXPECT_TRUE(link->Font()->Style().Contains(fsUnderline));
  EXPECT_EQ(link->Cursor(), crCtHandPoint);
  script::Click(*link);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(opened, (std::vector<std::string>{"https://example.org/a b?x=1&y=\"2\";rm -rf ~"}));
  EXPECT_TRUE(link->Visited());
  EXPECT_EQ(link->Font()->Color(), link->VisitedColor());
}

TEST_F(URLLabelTest, BlankAddressOpensTheCaptionAndAFailedOpenLeavesItUnvisited) {
  auto* link = MakeLabel<TCtURLLabel>("mailto:support@example.org");
  link->SetURL("   ");
  answer = false;
  script::Click(*link);
  EXPECT_EQ(opened, (std::vector<std::string>{"mailto:support@example.org"}));
  EXPECT_FALSE(link->Visited());
  EXPECT_EQ(link->Font()->Color(), link->UnvisitedColor());

  auto* empty = MakeLabel<TCtURLLabel>("", 10, 60);
  empty->SetBounds(10, 60, 40, 17);
  script::Click(*empty);
  EXPECT_EQ(opened.size(), 1u) << "nothing to open";
}

TCustomForm* OpenWithDialog() {
  for (int i = 0; i < Screen()->FormCount(); ++i)
    if (Screen()->Forms(i)->Name() == kOpenWithFormName) return Screen()->Forms(i);
  return nullptr;
}

std::string DefaultsFile() {
  std::ifstream file(kDesktopHome.path + "/config/mimeapps.list");
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST_F(URLLabelTest, WebPageNoProgramOpenedBringsUpTheOpenWithDialogForSuchPages) {
  answer = false;
  auto* link = MakeLabel<TCtURLLabel>("Help");
  link->SetURL("https://example.org/help/INDEX.HTM");
  script::Click(*link);
  EXPECT_FALSE(link->Visited());
  TCustomForm* dialog = OpenWithDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->Visible()) << "shown without holding up the click";
  auto& programs = script::Find<TListBox>(*dialog, "lstPrograms");
  const int ours = programs.Items()->IndexOf("Qelo Test Browser");
  std::filesystem::create_directories(QELO_SCREENSHOT_DIR);
  EXPECT_TRUE(win::SaveWindowScreenshot(dialog->Handle(), QELO_SCREENSHOT_DIR "/open-with.png"));
  ASSERT_GE(ours, 0);
  programs.SetItemIndex(ours);
  script::Click(script::Find<TButton>(*dialog, "btnOk"));
  script::Pump();
  EXPECT_EQ(OpenWithDialog(), nullptr) << "the dialog closes and frees itself";
  EXPECT_NE(DefaultsFile().find("text/html=qelo-test-browser.desktop"), std::string::npos) << DefaultsFile();
}

TEST_F(URLLabelTest, OnlyAnUnopenedHtmPageAsksForAProgram) {
  struct Case {
    const char* target;
    bool opens;
    bool asks;
  } cases[] = {
      {"https://example.org/page.htm", true, false},
      {"https://example.org/page.html", false, false},
      {"/no/such/folder/readme.txt", false, false},
      {"/no/such/folder/page.htm", false, true},
  };
  for (const Case& c : cases) {
    answer = c.opens;
    auto* link = MakeLabel<TCtURLLabel>("Link");
    link->SetURL(c.target);
    script::Click(*link);
    TCustomForm* dialog = OpenWithDialog();
    EXPECT_EQ(dialog != nullptr, c.asks) << c.target;
    if (dialog) {
      script::Click(script::Find<TButton>(*dialog, "btnCancel"));
      script::Pump();
      EXPECT_EQ(OpenWithDialog(), nullptr) << "Cancel closes it";
    }
    link->Free();
  }
}

TEST_F(URLLabelTest, VisitedColourOutlastsTheFlyByColour) {
  auto* link = MakeLabel<TCtURLLabel>("https://example.org");
  link->SetFlyByEnabled(true);
  link->SetFlyByColor(clRed);
  script::MoveMouse(*link, Point(3, 3));
  EXPECT_EQ(link->Font()->Color(), clRed);
  script::Click(*link);
  EXPECT_EQ(link->Font()->Color(), clRed) << "still under the mouse";
  script::MoveMouse(*form, Point(300, 250));
  EXPECT_EQ(link->Font()->Color(), link->VisitedColor());
}

}  // namespace
}  // namespace qelo::ct
