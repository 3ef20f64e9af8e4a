#include <chrono>
#include <thread>

#include "controls_fixture.h"
#include "win/window/scrollbars.h"

namespace qelo::win::test {
namespace {

// A scrolled window records each WM_VSCROLL as (request, position, the
// track position the bar reports meanwhile).
struct Scroll {
  int code, pos, trackPos;
  friend bool operator==(const Scroll&, const Scroll&) = default;
};
std::ostream& operator<<(std::ostream& out, const Scroll& s) {
  return out << '{' << s.code << ", " << s.pos << ", " << s.trackPos << '}';
}

class ScrollBarTest : public ControlsTest {
 public:
  static constexpr RECT kArea{10, 10, 210, 170};  // 200 x 160, the bar 16 wide at the right

  HWND MakeScrolled(DWORD style = WS_VSCROLL) {
    HWND w = Windows::Get().Create(WS_CHILD | WS_VISIBLE | style, kArea, parent_,
                                   [this](HWND window, UINT message, WPARAM wp, LPARAM, bool* handled) -> LRESULT {
                                     if (message != WM_VSCROLL) {
                                       *handled = false;
                                       return 0;
                                     }
                                     SCROLLINFO info;
                                     info.fMask = SIF_TRACKPOS;
                                     GetScrollInfo(window, SB_VERT, &info);
                                     scrolls_.push_back({LOWORD(wp), HIWORD(wp), info.nTrackPos});
                                     return 0;
                                   });
    Pump();
    return w;
  }
  void SetBar(HWND w, int min, int max, UINT page, int pos, UINT extra = 0) {
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | extra;
    info.nMin = min;
    info.nMax = max;
    info.nPage = page;
    info.nPos = pos;
    SetScrollInfo(w, SB_VERT, &info, 1);
    Pump();
  }
  // A point on the bar, in window coordinates of the scrolled window.
  void PressBar(HWND w, int y, std::initializer_list<int> movesTo = {}) {
    RECT r;
    GetWindowRect(w, &r);
    const int x = r.right - 8;
    InjectMouseMove(POINT{x, r.top + y});
    InjectMouseButton(MouseButton::Left, true, POINT{x, r.top + y});
    int last = y;
    for (int to : movesTo) {
      InjectMouseMove(POINT{x, r.top + to});
      last = to;
    }
    InjectMouseButton(MouseButton::Left, false, POINT{x, r.top + last});
    Pump();
  }
  std::vector<Scroll> TakeScrolls() { return std::exchange(scrolls_, {}); }

  std::vector<Scroll> scrolls_;
};

TEST_F(ScrollBarTest, KeepsPositionAndPageWithinTheRange) {
  HWND w = MakeScrolled();
  struct Case {
    int min, max;
    UINT page;
    int pos;
    UINT expectedPage;
    int expectedPos;
  } cases[] = {
      {0, 100, 10, 50, 10, 50},  {0, 100, 10, 95, 10, 91}, {0, 100, 10, -5, 10, 0},
      {0, 100, 0, 100, 0, 100},  {0, 9, 50, 3, 10, 0},     {-20, 20, 5, -30, 5, -20},
  };
  for (const Case& c : cases) {
    SetBar(w, c.min, c.max, c.page, c.pos);
    SCROLLINFO info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(w, SB_VERT, &info));
    EXPECT_EQ(info.nPage, c.expectedPage) << c.max << " " << c.page << " " << c.pos;
    EXPECT_EQ(info.nPos, c.expectedPos) << c.max << " " << c.page << " " << c.pos;
    EXPECT_EQ(GetScrollPos(w, SB_VERT), c.expectedPos);
  }
  DestroyWindow(w);
  EXPECT_EQ(GetScrollPos(w, SB_VERT), 0);
  SCROLLINFO info;
  info.fMask = SIF_ALL;
  EXPECT_FALSE(GetScrollInfo(w, SB_VERT, &info));
}

TEST_F(ScrollBarTest, ABarShowsWhenThereIsSomethingToScrollAndNarrowsTheClientArea) {
  HWND w = MakeScrolled(0);
  RECT client;
  GetClientRect(w, &client);
  EXPECT_EQ(client.right, 200);
  SetBar(w, 0, 100, 20, 0);
  EXPECT_TRUE(GetWindowLongPtr(w, GWL_STYLE) & WS_VSCROLL);
  GetClientRect(w, &client);
  EXPECT_EQ(client.right, 200 - GetSystemMetrics(SM_CXVSCROLL));
  SetBar(w, 0, 100, 101, 0);
  EXPECT_FALSE(GetWindowLongPtr(w, GWL_STYLE) & WS_VSCROLL);
  SetBar(w, 0, 100, 101, 0, SIF_DISABLENOSCROLL);
  EXPECT_TRUE(GetWindowLongPtr(w, GWL_STYLE) & WS_VSCROLL);
  ShowScrollBar(w, SB_VERT, 0);
  GetClientRect(w, &client);
  EXPECT_EQ(client.right, 200);
}

TEST_F(ScrollBarTest, ArrowsAndTrackSendTheirRequestsThenTheEnd) {
  HWND w = MakeScrolled();
  SetBar(w, 0, 100, 10, 0);  // the thumb sits at the top of the track
  struct Case {
    const char* part;
    int y;
    int code;
  } cases[] = {{"up arrow", 5, SB_LINEUP}, {"down arrow", 155, SB_LINEDOWN}, {"track below the thumb", 120, SB_PAGEDOWN}};
  for (const Case& c : cases) {
    PressBar(w, c.y);
    EXPECT_EQ(TakeScrolls(), (std::vector<Scroll>{{c.code, 0, 0}, {SB_ENDSCROLL, 0, 0}})) << c.part;
    EXPECT_EQ(GetCapture(), nullptr);
  }
  SetBar(w, 0, 100, 10, 91);
  PressBar(w, 40);
  EXPECT_EQ(TakeScrolls(), (std::vector<Scroll>{{SB_PAGEUP, 0, 91}, {SB_ENDSCROLL, 0, 91}}));
}

TEST_F(ScrollBarTest, DraggingTheThumbTracksThenSetsThePosition) {
  HWND w = MakeScrolled();
  SetBar(w, 0, 100, 10, 0);
  // Track 16..144 (128 px), thumb 12 px: 116 px of travel for positions 0..91.
  PressBar(w, 20, {78, 158});
  const std::vector<Scroll> scrolls = TakeScrolls();
  ASSERT_EQ(scrolls.size(), 4u);
  EXPECT_EQ(scrolls[0].code, SB_THUMBTRACK);
  EXPECT_NEAR(scrolls[0].pos, 45, 1);
  EXPECT_EQ(scrolls[0].trackPos, scrolls[0].pos);
  EXPECT_EQ(scrolls[1], (Scroll{SB_THUMBTRACK, 91, 91}));
  EXPECT_EQ(scrolls[2].code, SB_THUMBPOSITION);
  EXPECT_EQ(scrolls[2].pos, 91);
  EXPECT_EQ(scrolls[3].code, SB_ENDSCROLL);
  EXPECT_EQ(GetScrollPos(w, SB_VERT), 0) << "the window sets the position itself";
}

TEST_F(ScrollBarTest, AReleaseOverAnotherWindowEndsTheDrag) {
  HWND w = MakeScrolled();
  SetBar(w, 0, 100, 10, 0);
  RECT r;
  GetWindowRect(w, &r);
  InjectMouseMove(POINT{r.right - 8, r.top + 20});
  InjectMouseButton(MouseButton::Left, true, POINT{r.right - 8, r.top + 20});
  InjectMouseMove(POINT{r.right + 60, r.top + 20});
  InjectMouseButton(MouseButton::Left, false, POINT{r.right + 60, r.top + 20});
  Pump();
  const std::vector<Scroll> scrolls = TakeScrolls();
  ASSERT_FALSE(scrolls.empty());
  EXPECT_EQ(scrolls.back().code, SB_ENDSCROLL);
  EXPECT_EQ(GetCapture(), nullptr);
  SCROLLINFO info;
  info.fMask = SIF_TRACKPOS;
  GetScrollInfo(w, SB_VERT, &info);
  EXPECT_EQ(info.nTrackPos, 0) << "no drag is left running";
}

TEST_F(ScrollBarTest, HoldingAnArrowRepeatsUntilTheButtonIsReleased) {
  HWND w = MakeScrolled();
  SetBar(w, 0, 100, 10, 0);
  RECT r;
  GetWindowRect(w, &r);
  const POINT arrow{r.right - 8, r.bottom - 5};
  InjectMouseMove(arrow);
  InjectMouseButton(MouseButton::Left, true, arrow);
  std::thread user([arrow] {
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    InjectMouseButton(MouseButton::Left, false, arrow);
  });
  Pump();
  user.join();
  const std::vector<Scroll> scrolls = TakeScrolls();
  ASSERT_GE(scrolls.size(), 4u);
  for (size_t i = 0; i + 1 < scrolls.size(); ++i) EXPECT_EQ(scrolls[i].code, SB_LINEDOWN);
  EXPECT_EQ(scrolls.back().code, SB_ENDSCROLL);
}

TEST_F(ScrollBarTest, DrawsTheThumbWhereThePositionIs) {
  HWND w = MakeScrolled();
  SetBar(w, 0, 100, 50, 0);
  auto at = [&](int y) {
    RECT r;
    GetWindowRect(w, &r);
    RECT p;
    GetWindowRect(parent_, &p);
    return PixelAt(parent_, r.right - p.left - 8, r.top - p.top + y);
  };
  UpdateWindow(w);
  EXPECT_EQ(at(30), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(at(130), GetSysColor(COLOR_SCROLLBAR));
  SetScrollPos(w, SB_VERT, 51, 1);
  EXPECT_EQ(at(30), GetSysColor(COLOR_SCROLLBAR));
  EXPECT_EQ(at(130), GetSysColor(COLOR_BTNFACE));
}

}  // namespace
}  // namespace qelo::win::test
