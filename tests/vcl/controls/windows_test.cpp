// The windows behind windowed controls: the message hook, default
// handling, recreating a window, painting of windowless children, cursors,
// and where forms appear.
#include "controls_fixture.h"
#include "../window_pixel.h"

namespace qelo::vcl::test {
namespace {

using WindowsTest = FormTest;

win::COLORREF ScreenPixel(TCustomForm& f, int x, int y) {
  return qelo::test::WindowPixel(f.Handle(), x, y);
}

TEST_F(WindowsTest, ReplacedWindowProcSeesEveryMessageAndCanPassItOn) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(0, 0, 100, 100);
  std::vector<UINT> seen;
  auto inherited = panel->WindowProc;
  bool swallowClicks = true;
  int clicks = 0;
  panel->OnClick = [&](TObject*) { ++clicks; };
  panel->WindowProc = [&](TMessage& m) {
    seen.push_back(m.Msg);
    if (swallowClicks && m.Msg == win::WM_LBUTTONUP) return;
    inherited(m);
  };
  script::Click(*panel);
  EXPECT_EQ(clicks, 0) << "the hook kept the button release";
  EXPECT_NE(std::find(seen.begin(), seen.end(), CM_MOUSEENTER), seen.end()) << "notifications pass the hook too";
  swallowClicks = false;
  script::Click(*panel);
  EXPECT_EQ(clicks, 1);
  panel->WindowProc = inherited;
}

// WM_PRINTCLIENT draws what a paint would draw into the given context,
// windowless children included, and leaves the window's own update alone.
TEST_F(WindowsTest, PrintClientDrawsIntoTheGivenContextWithoutValidating) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(0, 0, 60, 40);
  panel->SetBevelOuter(bvNone);
  panel->SetColor(clYellow);
  panel->SetCaption("");
  auto* child = new TPanel(form);  // a windowed child is not printed
  child->SetParent(panel);
  child->SetBounds(0, 0, 10, 10);
  child->SetColor(clBlue);
  script::Pump();
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  win::HBITMAP bitmap = win::CreateBitmap(60, 40, 1, 32, nullptr);
  win::HGDIOBJ old = win::SelectObject(dc, bitmap);
  win::InvalidateRect(panel->Handle(), nullptr, 1);
  win::SendMessage(panel->Handle(), win::WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                   win::PRF_CLIENT | win::PRF_ERASEBKGND);
  EXPECT_EQ(win::GetPixel(dc, 30, 20), win::RGB(255, 255, 0));
  EXPECT_EQ(win::GetPixel(dc, 5, 5), win::RGB(255, 255, 0));
  win::RECT update;
  EXPECT_TRUE(win::GetUpdateRect(panel->Handle(), &update, 0)) << "still due to be painted";
  win::SelectObject(dc, old);
  win::DeleteObject(bitmap);
  win::DeleteDC(dc);
}

TEST_F(WindowsTest, UnhandledMessagesReachTheWindowsDefaultProcedure) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(10, 10, 100, 100);
  // The default procedure answers hit tests; the framework has no method for them.
  const LRESULT hit = panel->Perform(win::WM_NCHITTEST, 0, win::MAKELPARAM(20, 20));
  EXPECT_EQ(hit, win::HTCLIENT);
  // A notification nobody handles answers 0 and reaches no window.
  EXPECT_EQ(panel->Perform(CM_BASE + 200), 0);
}

TEST_F(WindowsTest, RecreatedFormWindowTakesItsChildrenAlong) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  auto* inner = new TPanel(form);
  inner->SetParent(panel);
  win::HWND oldForm = form->WindowHandle();
  win::HWND oldInner = inner->WindowHandle();
  ASSERT_TRUE(win::IsWindow(oldInner));
  form->SetBorderStyle(bsDialog);
  EXPECT_FALSE(win::IsWindow(oldForm));
  EXPECT_FALSE(win::IsWindow(oldInner));
  ASSERT_TRUE(inner->HandleAllocated());
  EXPECT_EQ(win::GetParent(inner->WindowHandle()), panel->WindowHandle());
  EXPECT_EQ(win::GetParent(panel->WindowHandle()), form->WindowHandle());
  EXPECT_TRUE(win::IsWindowVisible(inner->WindowHandle()));
  EXPECT_EQ(TWinControl::FromHandle(inner->WindowHandle()), inner);
  EXPECT_EQ(TWinControl::FromHandle(oldInner), nullptr) << "a destroyed window is forgotten";
}

// Windowless children paint on their parent at their place, over the
// parent's background, with and without double buffering.
TEST_F(WindowsTest, WindowlessChildrenPaintAtTheirPlaceOnTheirParent) {
  for (bool buffered : {false, true}) {
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBevelOuter(bvNone);
    panel->SetBounds(20, 20, 200, 100);
    panel->SetColor(clYellow);
    panel->SetDoubleBuffered(buffered);
    auto* label = new TLabel(form);
    label->SetParent(panel);
    label->SetAutoSize(false);
    label->SetBounds(50, 30, 40, 20);
    label->SetColor(clBlue);
    form->Repaint();
    script::Pump();
    EXPECT_EQ(ScreenPixel(*form, 20 + 55, 20 + 35), win::RGB(0, 0, 255)) << "buffered " << buffered;
    EXPECT_EQ(ScreenPixel(*form, 20 + 45, 20 + 35), win::RGB(255, 255, 0)) << "buffered " << buffered;
    EXPECT_EQ(ScreenPixel(*form, 20 + 95, 20 + 35), win::RGB(255, 255, 0)) << "clipped to its bounds";
    panel->Free();
  }
}

TEST_F(WindowsTest, CursorComesFromTheScreenTableAndTheScreenCursorWins) {
  constexpr TCursor kCustom = 26000;
  Screen()->SetCursors(kCustom, win::LoadCursor(nullptr, win::IDC_HAND));
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetAutoSize(false);
  label->SetBounds(10, 10, 50, 20);
  label->SetCursor(kCustom);
  script::MoveMouse(*label, Point(5, 5));
  EXPECT_EQ(win::CursorName(win::GetCursor()), win::IDC_HAND);
  script::MoveMouse(*form, Point(200, 200));
  EXPECT_EQ(win::CursorName(win::GetCursor()), win::IDC_ARROW);
  Screen()->SetCursor(crHourGlass);
  script::MoveMouse(*label, Point(6, 6));
  EXPECT_EQ(win::CursorName(win::GetCursor()), win::IDC_WAIT);
  Screen()->SetCursor(crDefault);
  Screen()->SetCursors(kCustom, nullptr);
  EXPECT_EQ(win::CursorName(Screen()->Cursors(kCustom)), win::IDC_ARROW) << "an unknown id is the arrow";
}

TEST_F(WindowsTest, KeyPreviewShowsKeysToTheFormFirst) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetTabStop(true);
  std::vector<std::string> order;
  panel->OnKeyDown = [&](TObject*, uint16_t&, TShiftState) { order.push_back("panel"); };
  form->OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) {
    order.push_back("form");
    if (key == 'X') key = 0;  // the form keeps this one
  };
  script::Focus(*panel);
  script::PressKey('A');
  form->SetKeyPreview(true);
  script::PressKey('A');
  script::PressKey('X');
  const std::vector<std::string> expected = {"panel", "form", "panel", "form"};
  EXPECT_EQ(order, expected);
}

// The client size a form file gives holds whatever frame the border style
// puts round it, and the style decides the window's frame.
TEST(FormBorderTest, ClientSizeHoldsForEveryBorderStyle) {
  Application()->Initialize();
  for (TFormBorderStyle style : {bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin}) {
    auto* f = new TForm(nullptr);
    f->SetBorderStyle(style);
    f->SetClientWidth(250);
    f->SetClientHeight(120);
    f->Show();
    EXPECT_EQ(f->ClientWidth(), 250) << "style " << style;
    EXPECT_EQ(f->ClientHeight(), 120) << "style " << style;
    const auto windowStyle = static_cast<win::DWORD>(win::GetWindowLongPtr(f->WindowHandle(), win::GWL_STYLE));
    EXPECT_EQ((windowStyle & win::WS_CAPTION) == win::WS_CAPTION, style != bsNone) << "style " << style;
    EXPECT_EQ((windowStyle & win::WS_THICKFRAME) != 0, style == bsSizeable || style == bsSizeToolWin);
    f->Free();
  }
}

TEST_F(WindowsTest, MaximisedFormFillsTheWorkAreaAndRestores) {
  form->SetBorderStyle(bsSizeable);
  form->SetBounds(10, 10, 300, 200);
  form->SetWindowState(wsMaximized);
  const TRect work = Screen()->WorkAreaRect();
  EXPECT_EQ(form->Width(), RectWidth(work));
  EXPECT_EQ(form->Height(), RectHeight(work));
  form->SetWindowState(wsNormal);
  EXPECT_EQ(form->Width(), 300);
  EXPECT_EQ(form->Height(), 200);
}

struct PositionCase {
  const char* name;
  TPosition position;
  TPoint expected;  // top left of a 200 x 100 form; the main form is 400 x 300 at (100, 50)
};

class PositionTest : public ::testing::TestWithParam<PositionCase> {};

TEST_P(PositionTest, FormIsPlacedWhenFirstShown) {
  Application()->Initialize();
  win::SetHeadlessScreenSize(win::SIZE{800, 600});
  TForm* mainForm = nullptr;
  Application()->CreateForm(mainForm);
  if (Application()->MainForm() != mainForm) GTEST_SKIP() << "another test made the main form";
  mainForm->SetBounds(100, 50, 400, 300);
  auto* f = new TForm(nullptr);
  f->SetBounds(7, 9, 200, 100);
  f->SetPosition(GetParam().position);
  f->Show();
  EXPECT_EQ(f->Left(), GetParam().expected.x);
  EXPECT_EQ(f->Top(), GetParam().expected.y);
  f->Free();
  mainForm->Free();
}

INSTANTIATE_TEST_SUITE_P(Positions, PositionTest,
                         ::testing::Values(PositionCase{"Designed", poDesigned, Point(7, 9)},
                                           PositionCase{"ScreenCenter", poScreenCenter, Point(300, 250)},
                                           PositionCase{"MainFormCenter", poMainFormCenter, Point(200, 150)}),
                         [](const ::testing::TestParamInfo<PositionCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qelo::vcl::test
