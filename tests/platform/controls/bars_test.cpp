#include <chrono>
#include <climits>
#include <thread>

#include "controls_fixture.h"
#include "win/controls/progress.h"
#include "win/controls/statusbar.h"
#include "win/controls/tooltips.h"

namespace qelo::win::test {
namespace {

class ProgressTest : public ControlsTest {};

TEST_F(ProgressTest, RangePositionAndStepAnswerTheirOldValues) {
  HWND bar = Make(PROGRESS_CLASS, 0, RECT{10, 10, 210, 30});
  struct Step {
    UINT message;
    WPARAM w;
    LPARAM l;
    LRESULT answer;
    LRESULT pos;
  } steps[] = {
      {PBM_SETRANGE32, 0, 50, MAKELPARAM(0, 100), 0},
      {PBM_SETPOS, 70, 0, 0, 50},                        // kept inside the range
      {PBM_DELTAPOS, static_cast<WPARAM>(-60), 0, 50, 0},
      {PBM_SETSTEP, 20, 0, 10, 0},
      {PBM_STEPIT, 0, 0, 0, 20},
      {PBM_STEPIT, 0, 0, 20, 40},
      {PBM_STEPIT, 0, 0, 40, 10},                        // past the end: starts over
      {PBM_GETRANGE, 1, 0, 0, 10},
      {PBM_GETRANGE, 0, 0, 50, 10},
      {PBM_SETRANGE, 0, MAKELPARAM(20, 30), MAKELPARAM(0, 50), 20},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    EXPECT_EQ(SendMessage(bar, steps[i].message, steps[i].w, steps[i].l), steps[i].answer) << "step " << i;
    EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), steps[i].pos) << "step " << i;
  }
}

TEST_F(ProgressTest, LargeStepsAndEmptyRangesStayInside) {
  HWND bar = Make(PROGRESS_CLASS, 0, RECT{10, 10, 210, 30});
  SendMessage(bar, PBM_SETRANGE32, 0, INT_MAX);
  SendMessage(bar, PBM_SETPOS, INT_MAX - 1, 0);
  SendMessage(bar, PBM_SETSTEP, 100, 0);
  SendMessage(bar, PBM_STEPIT, 0, 0);
  EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), 99);
  SendMessage(bar, PBM_SETRANGE32, 5, 5);
  SendMessage(bar, PBM_STEPIT, 0, 0);
  EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), 5);
  UpdateWindow(bar);  // nothing to divide by: draws no band
  EXPECT_EQ(Pixel(bar, POINT{100, 10}), GetSysColor(COLOR_BTNFACE));
}

TEST_F(ProgressTest, DrawsTheBandUpToThePosition) {
  HWND bar = Make(PROGRESS_CLASS, PBS_SMOOTH, RECT{10, 10, 210, 30});
  SendMessage(bar, PBM_SETPOS, 50, 0);
  EXPECT_EQ(Pixel(bar, POINT{50, 10}), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(Pixel(bar, POINT{150, 10}), GetSysColor(COLOR_BTNFACE));
  SendMessage(bar, PBM_SETBARCOLOR, 0, RGB(0, 200, 0));
  EXPECT_EQ(Pixel(bar, POINT{50, 10}), RGB(0, 200, 0));
}

class StatusBarTest : public ControlsTest {
 public:
  HWND MakeStatus(DWORD style = 0, HWND parent = nullptr) {
    HWND bar = CreateWindowEx(0, STATUSCLASSNAME, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                              parent ? parent : parent_, nullptr);
    SetWindowLongPtr(bar, GWLP_ID, 100);
    Pump();
    return bar;
  }
};

TEST_F(StatusBarTest, SitsAlongTheBottomOfItsParentAndFollowsItsSize) {
  HWND bar = MakeStatus();
  RECT r;
  GetWindowRect(bar, &r);
  const int height = r.bottom - r.top;
  EXPECT_GT(height, 10);
  EXPECT_EQ(r.bottom, 300);
  EXPECT_EQ(r.right - r.left, 400);
  SetWindowPos(parent_, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
  SendMessage(bar, WM_SIZE, 0, 0);  // passed on by the parent
  GetWindowRect(bar, &r);
  EXPECT_EQ(r.bottom, 200);
  EXPECT_EQ(r.right - r.left, 300);
}

TEST_F(StatusBarTest, PartsHoldTextsAndKinds) {
  HWND bar = MakeStatus();
  const int32_t rights[] = {100, 250, -1};
  ASSERT_TRUE(SendMessage(bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(rights)));
  RECT r;
  ASSERT_TRUE(SendMessage(bar, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&r)));
  EXPECT_EQ(r.left, 102);
  EXPECT_EQ(r.right, 250);
  SendMessage(bar, SB_GETRECT, 2, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.right, 400);
  EXPECT_FALSE(SendMessage(bar, SB_GETRECT, 3, reinterpret_cast<LPARAM>(&r)));

  EXPECT_TRUE(SendMessage(bar, SB_SETTEXT, 1 | SBT_POPOUT, reinterpret_cast<LPARAM>("Ready")));
  char text[16];
  EXPECT_EQ(SendMessage(bar, SB_GETTEXT, 1, reinterpret_cast<LPARAM>(text)), MAKELPARAM(5, SBT_POPOUT));
  EXPECT_STREQ(text, "Ready");
  EXPECT_FALSE(SendMessage(bar, SB_SETTEXT, 5, reinterpret_cast<LPARAM>("x")));
  int32_t back[4] = {};
  EXPECT_EQ(SendMessage(bar, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(back)), 3);
  EXPECT_EQ(back[2], -1);
  const int32_t tooMany[1] = {10};
  EXPECT_FALSE(SendMessage(bar, SB_SETPARTS, 0, reinterpret_cast<LPARAM>(tooMany)));
  EXPECT_FALSE(SendMessage(bar, SB_SETPARTS, kStatusMaxParts + 1, reinterpret_cast<LPARAM>(tooMany)));

  SendMessage(bar, SB_SIMPLE, 1, 0);
  EXPECT_EQ(SendMessage(bar, SB_ISSIMPLE, 0, 0), 1);
  SendMessage(bar, SB_SETTEXT, SB_SIMPLEID, reinterpret_cast<LPARAM>("Busy"));
  SendMessage(bar, SB_GETTEXT, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Ready") << "the simple line has a text of its own";
}

TEST_F(StatusBarTest, AClickTellsWhichPart) {
  HWND bar = MakeStatus();
  const int32_t rights[] = {100, -1};
  SendMessage(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(rights));
  UINT_PTR part = 99;
  onNote_ = [&](const Note& n, LPARAM l) {
    if (n.code == NM_CLICK) part = reinterpret_cast<const NMMOUSE*>(l)->dwItemSpec;
  };
  Click(bar, POINT{150, 5});
  EXPECT_EQ(part, 1u);
}

TEST_F(StatusBarTest, TheSizeGripShowsOnlyInASizableWindow) {
  HWND sizable = Windows::Get().Create(WS_VISIBLE | WS_THICKFRAME, RECT{0, 0, 300, 200});
  struct Case {
    HWND parent;
    LRESULT cornerHit;
  } cases[] = {{sizable, HTBOTTOMRIGHT}, {nullptr, HTCLIENT}};
  for (const Case& c : cases) {
    HWND bar = MakeStatus(SBARS_SIZEGRIP, c.parent);
    RECT r;
    GetWindowRect(bar, &r);
    EXPECT_EQ(SendMessage(bar, WM_NCHITTEST, 0, MAKELPARAM(r.right - 2, r.bottom - 2)), c.cornerHit);
    EXPECT_EQ(SendMessage(bar, WM_NCHITTEST, 0, MAKELPARAM(r.left + 2, r.bottom - 2)), HTCLIENT);
    DestroyWindow(bar);
  }
  DestroyWindow(sizable);
}

class ToolTipTest : public ControlsTest {
 public:
  void SetUp() override {
    ControlsTest::SetUp();
    tool_ = Windows::Get().Create(WS_CHILD | WS_VISIBLE, RECT{50, 50, 150, 100}, parent_);
    tip_ = CreateWindowEx(WS_EX_TOPMOST, TOOLTIPS_CLASS, "", WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, nullptr, nullptr);
    ASSERT_NE(tip_, nullptr);
    SendMessage(tip_, TTM_SETDELAYTIME, TTDT_INITIAL, 30);
    TOOLINFO info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = parent_;
    info.uId = reinterpret_cast<UINT_PTR>(tool_);
    info.lpszText = LPSTR_TEXTCALLBACK;
    ASSERT_TRUE(SendMessage(tip_, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&info)));
    onNote_ = [](const Note& n, LPARAM l) {
      if (n.code == TTN_GETDISPINFO) reinterpret_cast<NMTTDISPINFO*>(l)->lpszText = "Adds files to the list";
    };
  }
  void TearDown() override {
    if (IsWindow(tip_)) DestroyWindow(tip_);
    ControlsTest::TearDown();
  }
  void Rest() {
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    Pump();
  }
  std::vector<UINT> Codes() {
    std::vector<UINT> codes;
    for (const Note& n : TakeNotes()) codes.push_back(n.code);
    return codes;
  }

  HWND tool_ = nullptr;
  HWND tip_ = nullptr;
};

TEST_F(ToolTipTest, ShowsAfterTheDelayAndPopsWhenThePointerLeaves) {
  MoveTo(tool_, POINT{10, 10});
  EXPECT_FALSE(IsWindowVisible(tip_)) << "not before the delay";
  Rest();
  ASSERT_TRUE(IsWindowVisible(tip_));
  EXPECT_EQ(Codes(), (std::vector<UINT>{TTN_GETDISPINFO, TTN_SHOW}));
  RECT r, tool;
  GetWindowRect(tip_, &r);
  GetWindowRect(tool_, &tool);
  EXPECT_GT(r.top, tool.top + 10) << "below the pointer";
  EXPECT_GT(r.right - r.left, 40) << "as wide as its text";
  EXPECT_EQ(PixelAt(tip_, 2, 2), GetSysColor(COLOR_INFOBK));
  MoveTo(parent_, POINT{300, 250});
  EXPECT_FALSE(IsWindowVisible(tip_));
  EXPECT_EQ(Codes(), std::vector<UINT>{TTN_POP});
}

TEST_F(ToolTipTest, AClickPopsTheTipUntilThePointerComesBack) {
  MoveTo(tool_, POINT{10, 10});
  Rest();
  ASSERT_TRUE(IsWindowVisible(tip_));
  Click(tool_, POINT{12, 10});
  EXPECT_FALSE(IsWindowVisible(tip_));
  MoveTo(tool_, POINT{20, 10});
  Rest();
  EXPECT_FALSE(IsWindowVisible(tip_));
  MoveTo(parent_, POINT{300, 250});
  MoveTo(tool_, POINT{20, 10});
  Rest();
  EXPECT_TRUE(IsWindowVisible(tip_));
}

TEST_F(ToolTipTest, NoTipWhileInactiveOrOnceTheToolIsGone) {
  SendMessage(tip_, TTM_ACTIVATE, 0, 0);
  MoveTo(tool_, POINT{10, 10});
  Rest();
  EXPECT_FALSE(IsWindowVisible(tip_));
  SendMessage(tip_, TTM_ACTIVATE, 1, 0);
  MoveTo(parent_, POINT{300, 250});
  MoveTo(tool_, POINT{10, 10});
  Rest();
  ASSERT_TRUE(IsWindowVisible(tip_));
  TOOLINFO info;
  info.hwnd = parent_;
  info.uId = reinterpret_cast<UINT_PTR>(tool_);
  SendMessage(tip_, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_FALSE(IsWindowVisible(tip_));
  EXPECT_EQ(SendMessage(tip_, TTM_GETTOOLCOUNT, 0, 0), 0);
}

TEST_F(ToolTipTest, TheToolsWindowOutlivesItsToolTip) {
  DestroyWindow(tip_);
  Windows::Get().Clear(tool_);
  MoveTo(tool_, POINT{10, 10});
  Rest();
  const std::vector<UINT> seen = Windows::Get().Seen(tool_);
  EXPECT_NE(std::find(seen.begin(), seen.end(), WM_MOUSEMOVE), seen.end());
  DestroyWindow(tool_);
}

TEST_F(ToolTipTest, FixedTextsAreKeptAndUpdated) {
  TOOLINFO info;
  info.hwnd = parent_;
  info.uId = 7;
  info.rect = RECT{0, 0, 40, 40};
  info.lpszText = const_cast<char*>("first");
  SendMessage(tip_, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_FALSE(SendMessage(tip_, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&info))) << "one tool per id";
  info.lpszText = const_cast<char*>("second");
  SendMessage(tip_, TTM_UPDATETIPTEXT, 0, reinterpret_cast<LPARAM>(&info));
  char buffer[4];
  info.lpszText = buffer;
  SendMessage(tip_, TTM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(&info));
  EXPECT_STREQ(buffer, "sec");
}

}  // namespace
}  // namespace qelo::win::test
