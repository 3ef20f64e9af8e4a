#include <filesystem>

#include "controls_fixture.h"
#include "platform/window/composed_pixel.h"
#include "win/controls/button.h"
#include "win/controls/message_box.h"

namespace qelo::win::test {
namespace {

class MessageBoxTest : public ControlsTest {
 public:
  void TearDown() override {
    SetMessageBoxHook(nullptr);
    ControlsTest::TearDown();
  }

  // Shows a box owned by the parent; `input` runs once it is up.
  int Show(const std::string& text, UINT flags, std::function<void(HWND box)> input) {
    SetMessageBoxHook([this, input](HWND box) {
      box_ = box;
      input(box);
    });
    return MessageBox(parent_, text, "Caption", flags);
  }

  static void Tap(int key) {
    InjectKey(key, true);
    InjectKey(key, false);
  }
  static void ClickButton(HWND box, int answer) {
    HWND button = MessageBoxButton(box, answer);
    ASSERT_NE(button, nullptr);
    RECT r;
    GetWindowRect(button, &r);
    const POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    InjectMouseMove(p);
    InjectMouseButton(MouseButton::Left, true, p);
    InjectMouseButton(MouseButton::Left, false, p);
  }

  HWND box_ = nullptr;
};

struct AnswerCase {
  const char* name;
  UINT flags;
  std::function<void(HWND box)> input;
  int answer;
};

TEST_F(MessageBoxTest, ButtonsKeysAndTheCloseBoxGiveTheirAnswers) {
  const AnswerCase cases[] = {
      {"Enter presses the default OK", MB_OK, [](HWND) { Tap(VK_RETURN); }, IDOK},
      {"a lone OK answers Escape", MB_OK, [](HWND) { Tap(VK_ESCAPE); }, IDOK},
      {"Escape is Cancel", MB_OKCANCEL, [](HWND) { Tap(VK_ESCAPE); }, IDCANCEL},
      {"a click on No", MB_YESNO, [](HWND box) { ClickButton(box, IDNO); }, IDNO},
      {"the second button as default", MB_YESNO | MB_DEFBUTTON2, [](HWND) { Tap(VK_RETURN); }, IDNO},
      {"Yes/No ignores Escape and the close box; Tab then Enter presses No", MB_YESNO,
       [](HWND box) {
         Tap(VK_ESCAPE);
         PostMessage(box, WM_CLOSE, 0, 0);
         Tap(VK_TAB);
         Tap(VK_RETURN);
       },
       IDNO},
      {"the close box is Cancel", MB_YESNOCANCEL, [](HWND box) { PostMessage(box, WM_CLOSE, 0, 0); }, IDCANCEL},
  };
  for (const AnswerCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Show("Continue?", c.flags | MB_ICONQUESTION, c.input), c.answer);
    EXPECT_FALSE(IsWindow(box_)) << "the box is gone when it answers";
  }
}

TEST_F(MessageBoxTest, TheOwnersWindowIsDisabledWhileItRunsAndGetsItsFocusBack) {
  HWND button = Make(WC_BUTTON, BS_PUSHBUTTON, RECT{10, 10, 90, 34}, "Here");
  SetFocus(button);
  bool ownerEnabled = true;
  std::string shown;
  Show("Delete \"clip.mp4\"?", MB_YESNO | MB_ICONQUESTION, [&](HWND box) {
    ownerEnabled = IsWindowEnabled(parent_);
    shown = GetWindowText(box) + ": " + MessageBoxText(box);
    EXPECT_TRUE(IsChild(box, GetFocus())) << "the default button has the focus";
    ClickButton(box, IDYES);
  });
  EXPECT_FALSE(ownerEnabled);
  EXPECT_EQ(shown, "Caption: Delete \"clip.mp4\"?");
  EXPECT_TRUE(IsWindowEnabled(parent_));
  EXPECT_EQ(GetFocus(), button);
}

TEST_F(MessageBoxTest, AQuitMessageEndsTheBoxAndReachesTheOuterLoop) {
  EXPECT_EQ(Show("Working", MB_OK, [](HWND) { PostQuitMessage(3); }), 0);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(m.wParam, 3u);
}

// A long text wraps to lines below the screen's width, the box stays on the
// work area with its text above the buttons, and the icon shows its colour.
TEST_F(MessageBoxTest, TheBoxIsSizedToItsWrappedTextAndTheScreen) {
  std::string text = "Cannot delete \"/home/user/My Videos/";
  for (int i = 0; i < 40; ++i) text += "a rather long folder name/";
  text += "clip.mp4\".\n\nThe folder is read-only.";
  RECT frame{}, work{}, ok{};
  COLORREF icon = CLR_INVALID, face = CLR_INVALID;
  Show(text, MB_OK | MB_ICONERROR, [&](HWND box) {
    GetWindowRect(box, &frame);
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(MessageBoxButton(box, IDOK), &ok);
    POINT origin{0, 0};
    ClientToScreen(box, &origin);
    icon = PixelAt(box, origin.x - frame.left + 12 + 5, origin.y - frame.top + 12 + 16);  // on the disc, left of the sign
    face = PixelAt(box, origin.x - frame.left + 4, origin.y - frame.top + 4);
    std::filesystem::create_directories(QELO_SCREENSHOT_DIR);
    EXPECT_TRUE(SaveWindowScreenshot(box, QELO_SCREENSHOT_DIR "/message_box.png"));
    Tap(VK_RETURN);
  });
  EXPECT_GE(frame.left, work.left);
  EXPECT_LE(frame.right, work.right);
  EXPECT_GE(frame.top, work.top);
  EXPECT_LE(frame.bottom, work.bottom);
  EXPECT_LT(frame.right - frame.left, 520) << "wrapped at a comfortable width";
  EXPECT_GT(frame.bottom - frame.top, 120) << "as tall as its lines";
  EXPECT_GT(ok.top, frame.top + 100) << "the button is below the text";
  EXPECT_EQ(icon, RGB(255, 0, 0));
  EXPECT_EQ(face, GetSysColor(COLOR_BTNFACE));
}

}  // namespace
}  // namespace qelo::win::test
