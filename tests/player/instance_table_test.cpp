// The instance table: eight instances at most, destroying one moves the
// later ones down, and every export answers an index outside the table with
// 0 and does nothing.
#include <functional>

#include "player_fixture.h"

namespace qelo::test {
namespace {

using InstanceTable = PlayerTest;

TEST_F(InstanceTable, TheNinthInstanceIsRefusedUntilOneIsDestroyed) {
  for (int i = 0; i < MAX_PLAYER_INSTANCES; ++i) ASSERT_EQ(MakeInstance(), i);
  EXPECT_EQ(MakeInstance(), -1);
  EXPECT_TRUE(Logged("too many player instance exist..."));
  EXPECT_EQ(QeloDestroyPlayerInstance(3), 1);
  EXPECT_EQ(MakeInstance(), MAX_PLAYER_INSTANCES - 1);
}

TEST_F(InstanceTable, EachInstanceIsAChildWindowOverItsHost) {
  const int index = MakeInstance(nullptr, false, 300, 200);
  ASSERT_EQ(index, 0);
  win::HWND child = win::GetWindow(hosts_.back(), win::GW_CHILD);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(win::GetClassName(child), "Play Class");
  EXPECT_NE(win::GetWindowThreadProcessId(child, nullptr), win::GetCurrentThreadId());
  win::RECT client;
  ASSERT_TRUE(win::GetClientRect(child, &client));
  EXPECT_EQ(client.right - client.left, 300);
  EXPECT_EQ(client.bottom - client.top, 200);
  ASSERT_EQ(QeloDestroyPlayerInstance(index), 1);
  EXPECT_FALSE(win::IsWindow(child)) << "destroying the instance destroys its window";
  EXPECT_EQ(win::GetWindow(hosts_.back(), win::GW_CHILD), nullptr);
}

TEST_F(InstanceTable, ResizingMovesTheWindowToTheCornerWithTheNewSize) {
  const int index = MakeInstance(nullptr, false, 300, 200);
  win::HWND child = win::GetWindow(hosts_.back(), win::GW_CHILD);
  ASSERT_EQ(QeloResizeWnd(120, 90, index), 1);
  EXPECT_TRUE(WaitUntil([&] {
    win::RECT client;
    return win::GetClientRect(child, &client) && client.right == 120 && client.bottom == 90;
  }, 2s));
  win::POINT corner{0, 0};
  win::MapWindowPoints(child, hosts_.back(), &corner, 1);
  EXPECT_EQ(corner.x, 0);
  EXPECT_EQ(corner.y, 0);
}

TEST_F(InstanceTable, AnInstanceOverNoWindowHasNoWindowAndTakesNoCommands) {
  const int index = QeloCreatePlayerInstance(nullptr, 0);
  ASSERT_EQ(index, 0);
  EXPECT_EQ(QeloPlay(index), 0);
  // Nothing was posted to the calling thread in its place.
  win::MSG message;
  EXPECT_FALSE(win::PeekMessage(&message, nullptr, 0, 0, win::PM_REMOVE));
  EXPECT_EQ(QeloDestroyPlayerInstance(index), 1);
}

TEST_F(InstanceTable, DestroyingAnInstanceMovesTheLaterOnesDown) {
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(MakeInstance(), i);
    const RelativeRect crop{0.1 * i, 0, 0.5, 0.5};
    QeloSetCrop(&crop, i);
  }
  ASSERT_EQ(QeloDestroyPlayerInstance(0), 1);
  for (int i = 0; i < 2; ++i) {
    RelativeRect crop{};
    ASSERT_EQ(QeloGetCrop(&crop, i), 1);
    EXPECT_DOUBLE_EQ(crop.left, 0.1 * (i + 1)) << "index " << i << " is the former " << i + 1;
    EXPECT_EQ(QeloPlay(i), 1);
  }
  RelativeRect crop{};
  EXPECT_EQ(QeloGetCrop(&crop, 2), 0);
  // The survivors still play files.
  EXPECT_TRUE(Open(VideoOnlyClip(1), 1));
}

TEST_F(InstanceTable, EveryExportAnswersAnIndexOutsideTheTableWithZero) {
  ASSERT_EQ(MakeInstance(), 0);
  RelativeRect rect{0.5, 0.5, 0.5, 0.5};
  RelativeRect untouched = rect;
  WatermarkState state{};
  state.kind = 7;
  TextWatermark text{};
  ImageWatermark image{};
  WatermarkFont font{};
  MediaInfo* info = nullptr;
  const std::u16string path = u"/nonexistent.mp4";
  const std::vector<std::pair<const char*, std::function<int(int)>>> exports = {
      {"QeloDestroyPlayerInstance", [](int i) { return QeloDestroyPlayerInstance(i); }},
      {"QeloInitStream", [](int i) { return QeloInitStream(1, i); }},
      {"QeloInitFile", [&](int i) { return QeloInitFile(path.c_str(), &info, i); }},
      {"QeloDeInitFile", [](int i) { return QeloDeInitFile(i); }},
      {"QeloPlay", [](int i) { return QeloPlay(i); }},
      {"QeloPause", [](int i) { return QeloPause(i); }},
      {"QeloStop", [](int i) { return QeloStop(i); }},
      {"QeloSeek", [](int i) { return QeloSeek(5, 1, i); }},
      {"QeloResizeWnd", [](int i) { return QeloResizeWnd(10, 10, i); }},
      {"QeloNextFrame", [](int i) { return QeloNextFrame(i); }},
      {"QeloPreviousFrame", [](int i) { return QeloPreviousFrame(i); }},
      {"QeloSetCallBack", [](int i) { return QeloSetCallBack(FrameLog::Hook, 1, nullptr, i); }},
      {"QeloSetMsgHandle", [](int i) { return QeloSetMsgHandle(nullptr, i); }},
      {"QeloSetCrop", [&](int i) { return QeloSetCrop(&rect, i); }},
      {"QeloGetCrop", [&](int i) { return QeloGetCrop(&rect, i); }},
      {"QeloEnableCrop", [](int i) { return QeloEnableCrop(1, i); }},
      {"QeloForceClipAspect", [](int i) { return QeloForceClipAspect(2, i); }},
      {"QeloSnapshot", [](int i) { return QeloSnapshot(u"/tmp/never.jpg", i); }},
      {"QeloEnableWatermark", [&](int i) { return QeloEnableWatermark(&state, i); }},
      {"QeloGetWatermark", [&](int i) { return QeloGetWatermark(&state, i); }},
      {"QeloSetWatermarkImage", [&](int i) { return QeloSetWatermarkImage(&image, i); }},
      {"QeloSetWatermarkText", [&](int i) { return QeloSetWatermarkText(&text, i); }},
      {"QeloSetWatermarkRegion", [&](int i) { return QeloSetWatermarkRegion(&rect, i); }},
      {"QeloGetWatermarkRegion", [&](int i) { return QeloGetWatermarkRegion(&rect, i); }},
      {"QeloSetWatermarkFont", [&](int i) { return QeloSetWatermarkFont(&font, i); }},
      {"QeloSetWatermarkTransparent", [](int i) { return QeloSetWatermarkTransparent(9, i); }},
  };
  for (int bad : {-1, 1, MAX_PLAYER_INSTANCES}) {
    for (const auto& [name, call] : exports) EXPECT_EQ(call(bad), 0) << name << " with " << bad;
  }
  EXPECT_EQ(info, nullptr);
  EXPECT_EQ(state.kind, 7);
  EXPECT_DOUBLE_EQ(rect.left, untouched.left);
  // The one instance was left alone.
  RelativeRect crop{};
  ASSERT_EQ(QeloGetCrop(&crop, 0), 1);
  EXPECT_DOUBLE_EQ(crop.width, 1.0);
}

TEST_F(InstanceTable, StreamFlagZeroIsAnError) {
  ASSERT_EQ(MakeInstance(), 0);
  EXPECT_EQ(QeloInitStream(0, 0), 0);
  EXPECT_TRUE(Logged("Error parameter..."));
}

}  // namespace
}  // namespace qelo::test
