// Crop, watermark and snapshot through the exports, with mouse drags sent to
// the player window as a user's would be.
#include <cstring>
#include <filesystem>

#include "common/composed_window.h"
#include "common/media_fixture.h"
#include "common/temp_dir.h"
#include "player_fixture.h"
#include "win/codepage.h"

namespace qelo::test {
namespace {

using Editing = PlayerTest;

win::HWND PlayerWindowOf(win::HWND host) { return win::GetWindow(host, win::GW_CHILD); }

bool CropIs(int index, double width, double height) {
  RelativeRect crop{};
  QeloGetCrop(&crop, index);
  return crop.width == width && crop.height == height;
}

TEST_F(Editing, DraggingTheCropPostsItInTheFilesPixels) {
  const int index = MakeInstance(nullptr, false, 320, 240);
  ASSERT_TRUE(Open(VideoOnlyClip(1), index));
  const RelativeRect crop{0.25, 0.5, 0.5, 0.25};
  QeloSetCrop(&crop, index);
  QeloEnableCrop(1, index);
  win::HWND player = PlayerWindowOf(hosts_.back());
  // The 160 x 120 frame fills the 320 x 240 window; the crop is 80, 120,
  // 160 x 60 there. Grab it inside and move it right by a quarter.
  win::PostMessage(player, win::WM_LBUTTONDOWN, win::MK_LBUTTON, win::MAKELPARAM(160, 150));
  win::PostMessage(player, win::WM_MOUSEMOVE, win::MK_LBUTTON, win::MAKELPARAM(240, 150));
  win::PostMessage(player, win::WM_LBUTTONUP, 0, win::MAKELPARAM(240, 150));
  ASSERT_TRUE(WaitFor(WM_PLAYER_CROP_RECT, 3s));
  const HostMessage posted = Received(WM_PLAYER_CROP_RECT).back();
  EXPECT_EQ(posted.w, win::WPARAM(80 << 16 | 60));
  EXPECT_EQ(posted.l, win::LPARAM(80 << 16 | 30));
  RelativeRect moved{};
  QeloGetCrop(&moved, index);
  EXPECT_DOUBLE_EQ(moved.left, 0.5);
  EXPECT_DOUBLE_EQ(moved.top, 0.5);
}

TEST_F(Editing, ForcingTheAspectNarrowsTheCropAndClosingTheFileResetsIt) {
  const int index = MakeInstance(nullptr, false, 320, 240);
  ASSERT_TRUE(Open(VideoOnlyClip(1), index));
  const RelativeRect wide{0, 0.25, 1.0, 0.5};  // 320 x 120 window pixels
  QeloSetCrop(&wide, index);
  QeloForceClipAspect(CLIP_ASPECT_4_3, index);
  EXPECT_TRUE(WaitUntil([&] { return CropIs(index, 0.5, 0.5); }, 3s)) << "160 x 120 is 4:3";
  EXPECT_TRUE(Received(WM_PLAYER_CROP_RECT).empty());
  QeloDeInitFile(index);
  EXPECT_TRUE(CropIs(index, 1.0, 1.0));
}

TEST_F(Editing, WatermarkRecordsGoInWholeAndComeOutWhole) {
  const int index = MakeInstance();
  WatermarkState state;
  std::memset(&state, 0x5A, sizeof state);
  ASSERT_EQ(QeloGetWatermark(&state, index), 1);
  EXPECT_EQ(state.kind, WATERMARK_NONE);
  EXPECT_EQ(state.text.alpha, 0) << "no state gives a record of zeroes";

  TextWatermark text{};
  win::CopyToUtf16Field(text.text, QELO_WATERMARK_TEXT_CHARS, u"Preview");
  text.region = {0.1, 0.2, 0, 0};
  text.alpha = 200;
  text.font.size = 12;
  QeloSetWatermarkText(&text, index);
  ASSERT_EQ(QeloGetWatermark(&state, index), 1);
  EXPECT_EQ(state.kind, WATERMARK_TEXT);
  EXPECT_EQ(std::u16string(state.text.text), u"Preview");
  EXPECT_EQ(state.text.alpha, 200);

  const RelativeRect region{0.3, 0.4, 0.2, 0.1};
  QeloSetWatermarkRegion(&region, index);
  RelativeRect read{};
  ASSERT_EQ(QeloGetWatermarkRegion(&read, index), 1);
  EXPECT_DOUBLE_EQ(read.left, 0.3);
  EXPECT_DOUBLE_EQ(read.top, 0.4);

  QeloEnableWatermark(nullptr, index);
  QeloGetWatermark(&state, index);
  EXPECT_EQ(state.kind, WATERMARK_NONE);
}

TEST_F(Editing, ASnapshotIsAJpegOfTheShownFrameAndNeedsAFile) {
  TempDir dir;
  const std::string none = dir.File("none.jpg");
  const int index = MakeInstance();
  QeloSnapshot(win::Utf8ToUtf16(none).c_str(), index);
  EXPECT_FALSE(std::filesystem::exists(none)) << "no file open";

  ASSERT_TRUE(Open(VideoOnlyClip(1), index));
  QeloNextFrame(index);
  const std::string shot = dir.File("Snap_12-00-00-01.jpg");
  QeloSnapshot(win::Utf8ToUtf16(shot).c_str(), index);
  const ProbedFile probed = Probe(shot);
  ASSERT_TRUE(probed.ok);
  ASSERT_NE(probed.First("video"), nullptr);
  EXPECT_EQ(probed.First("video")->Get("codec_name"), "mjpeg");
  // The 160 x 120 frames are decoded fitted into the 320 x 240 pane.
  EXPECT_EQ(probed.First("video")->Number("width"), 320);
  EXPECT_EQ(probed.First("video")->Number("height"), 240);
}

TEST_F(Editing, FramesAreDecodedFittedIntoThePane) {
  TempDir dir;
  const struct {
    bool twoPane;
    int width, height;
    const char* logged;
    int frameWidth, frameHeight;
  } cases[] = {
      // Panes of (408 - 8) / 2 = 200 x 240; the 4:3 frames fit as 200 x 150.
      {true, 408, 240, "resize video size(200x150)", 200, 150},
      // One pane of 320 x 180: 240 x 180.
      {false, 320, 180, "resize video size(240x180)", 240, 180},
  };
  for (const auto& c : cases) {
    const int index = MakeInstance(nullptr, c.twoPane, c.width, c.height);
    ASSERT_TRUE(Open(VideoOnlyClip(1), index));
    EXPECT_TRUE(Logged(c.logged)) << c.logged;
    QeloNextFrame(index);
    const std::string shot = dir.File(std::to_string(index) + ".jpg");
    QeloSnapshot(win::Utf8ToUtf16(shot).c_str(), index);
    const ProbedFile probed = Probe(shot);
    ASSERT_TRUE(probed.ok);
    ASSERT_NE(probed.First("video"), nullptr);
    EXPECT_EQ(probed.First("video")->Number("width"), c.frameWidth) << c.logged;
    EXPECT_EQ(probed.First("video")->Number("height"), c.frameHeight) << c.logged;
  }
}

// A hook that fills its frame with blue of the alpha `user` points to.
void PaintBlue(VideoFrame* frame, void* user) {
  const uint32_t blue = uint32_t(*static_cast<const uint8_t*>(user)) << 24 | 0x0000FF;
  for (int y = 0; y < frame->height; ++y)
    for (int x = 0; x < frame->width; ++x) std::memcpy(frame->pixels + y * frame->stride + 4 * x, &blue, 4);
}

TEST_F(Editing, TheSecondPaneShowsTheHooksFrameWholeWhenTheHookDrawsTheOutput) {
  // Panes of 200 x 240 with frames of 200 x 150 from y 45; the second pane
  // from x 208. The crop's left half, of another shape, leaves black bars
  // at the sides when the player crops; a hook that draws the output has
  // cropped already, and its colours show whatever their alpha, as an
  // encoder takes them.
  const RelativeRect leftHalf{0, 0, 0.5, 1};
  constexpr win::COLORREF kBlue = 0xFF0000, kBlack = 0;  // 0x00BBGGRR
  const struct {
    int value;
    uint8_t alpha;
    win::COLORREF side, middle;
  } cases[] = {{0, 0xFF, kBlack, kBlue}, {QELO_HOOK_DRAWS_OUTPUT, 0xFF, kBlue, kBlue},
               {QELO_HOOK_DRAWS_OUTPUT, 0x00, kBlue, kBlue}};
  for (const auto& c : cases) {
    const int index = MakeInstance(nullptr, true, 408, 240);
    ASSERT_TRUE(Open(VideoOnlyClip(1), index));
    QeloSetCrop(&leftHalf, index);
    QeloSetCallBack(PaintBlue, c.value, const_cast<uint8_t*>(&c.alpha), index);
    QeloNextFrame(index);
    // The step may be painted before the crop reaches the window thread.
    win::COLORREF side = 0, middle = 0;
    const auto shows = [&] {
      const ComposedWindow screen(hosts_.back());
      side = screen.Pixel(208 + 10, 120);
      middle = screen.Pixel(208 + 100, 120);
      return side == c.side && middle == c.middle;
    };
    EXPECT_TRUE(WaitUntil(shows, 5s)) << c.value << " " << int(c.alpha) << std::hex << " side " << side << " middle "
                                      << middle;
    QeloDestroyPlayerInstance(index);
  }
}

}  // namespace
}  // namespace qelo::test
