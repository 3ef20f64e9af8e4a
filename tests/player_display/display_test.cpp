// The display in a headless window: panes and their pixels, the crop overlay
// and the cropped second pane, mouse edits of the crop and the watermark with
// the host's messages, idle pictures, snapshots, and running without a
// renderer.
#include <sys/stat.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>

#include "common/media_fixture.h"
#include "common/temp_dir.h"
#include "display_fixture.h"
#include "gdiplus/encoders.h"
#include "idle_pictures.h"
#include "player_log.h"
#include "win/codepage.h"
#include "win/window/display.h"

namespace qelo::player::test {
namespace {

using win::WM_LBUTTONDOWN;
using win::WM_LBUTTONUP;
using win::WM_MOUSEMOVE;

bool IsGrey(uint32_t rgb, int low, int high) {
  for (int shift : {0, 8, 16}) {
    const int v = static_cast<int>(rgb >> shift & 0xFF);
    if (v < low || v > high) return false;
  }
  return true;
}

bool FileExists(const std::string& path) {
  struct stat s;
  return stat(path.c_str(), &s) == 0;
}

std::string CursorNow() { return win::CursorName(win::GetCursor()); }

// 782 x 282 two panes; frames decoded at 387 x 218 from a 1280 x 720 source:
// the pictures lie at y 32 to 250, the second from x 395.
class TwoPanes : public ::testing::Test {
 protected:
  void SetUp() override { window_.OpenFrames(387, 218, 1280, 720); }
  void EditCrop(const RelativeRect& crop) {
    window_.display.crop().SetCrop(crop);
    window_.display.crop().SetCropEditing(true);
    window_.display.UpdateCropGeometry();
    window_.display.RepaintVideo();
  }
  PlayerWindow window_{true, 782, 282};
};

TEST_F(TwoPanes, FirstPaneShadesOutsideTheCropAndSecondShowsTheCropFitted) {
  EditCrop({0, 0, 0.5, 0.5});  // the top-left (red) quadrant
  EXPECT_EQ(window_.Pixel(390, 100), 0xE8E8E8u) << "gap";
  EXPECT_EQ(window_.Pixel(100, 10), 0u) << "bar above the picture";
  EXPECT_EQ(window_.Pixel(50, 82), kTopLeft) << "inside the crop, untouched";
  EXPECT_TRUE(IsGrey(window_.Pixel(300, 212), 125, 130)) << std::hex << window_.Pixel(300, 212)
                                                          << ": white shaded half black";
  EXPECT_EQ(window_.Pixel(300, 70), 0x007F00u) << "green shaded half black";
  for (auto [x, y] : {std::pair{405, 42}, std::pair{588, 141}, std::pair{770, 240}})
    EXPECT_EQ(window_.Pixel(x, y), kTopLeft) << "second pane at " << x << ", " << y;
  std::filesystem::create_directories(QELO_SCREENSHOT_DIR);
  EXPECT_TRUE(win::SaveWindowScreenshot(window_.hwnd, QELO_SCREENSHOT_DIR "/player_two_panes.png"));
}

TEST_F(TwoPanes, RepaintingDoesNotShadeTheOverlayAgain) {
  EditCrop({0, 0, 0.5, 0.5});
  const uint32_t once = window_.Pixel(300, 212);
  for (int i = 0; i < 3; ++i) window_.display.RepaintVideo();
  EXPECT_EQ(window_.Pixel(300, 212), once);
  window_.display.crop().SetCropEditing(false);
  window_.display.RepaintVideo();
  EXPECT_EQ(window_.Pixel(300, 212), kBottomRight) << "no overlay once editing is off";
}

TEST_F(TwoPanes, ACropPastTheFrameShowsOnlyWhatLiesInside) {
  EditCrop({0.5, 0.5, 0.8, 0.8});  // set by the host, reaching past the frame
  EXPECT_EQ(window_.Pixel(588, 141), kBottomRight);
}

TEST_F(TwoPanes, ATextWatermarkShowsInTheSecondPaneInItsColourAndAlpha) {
  WatermarkState state{};
  state.kind = WATERMARK_TEXT;
  win::CopyToUtf16Field(state.text.text, QELO_WATERMARK_TEXT_CHARS, u"MMMM");
  win::CopyToUtf16Field(state.text.font.faceName, 32, u"DejaVu Sans");
  state.text.font.size = 20;
  state.text.font.style = 1;
  state.text.font.color = 0x00FF00;  // green, with no alpha of its own
  state.text.region = {0.1, 0.1, 0, 0};
  struct Case {
    int alpha;
    uint32_t strongest;  // the greenest text pixel over the red frame
  };
  for (const Case& c : {Case{255, 0x00FF00}, Case{128, 0x7F8000}}) {
    state.text.alpha = c.alpha;
    window_.display.watermark().Enable(&state);
    window_.display.RepaintVideo();
    const Screenshot shown(window_.hwnd);
    uint32_t strongest = 0;
    for (int y = 32 + 21; y < 32 + 60; ++y)
      for (int x = 395 + 40; x < 395 + 120; ++x) {
        const uint32_t rgb = shown.At(x, y);
        if ((rgb >> 8 & 0xFF) > (strongest >> 8 & 0xFF)) strongest = rgb;
      }
    EXPECT_NEAR(static_cast<int>(strongest >> 8 & 0xFF), static_cast<int>(c.strongest >> 8 & 0xFF), 2) << c.alpha;
    EXPECT_NEAR(static_cast<int>(strongest >> 16), static_cast<int>(c.strongest >> 16), 2) << c.alpha;
  }
}

TEST_F(TwoPanes, AFileWithoutPicturesShowsTheBackgroundOnly) {
  window_.display.CloseVideo();  // what stays open is a file without video
  win::InvalidateRect(window_.hwnd, nullptr, 0);
  PlayerWindow::Pump();
  EXPECT_EQ(window_.Pixel(50, 82), 0u) << "no stale frame";
  EXPECT_EQ(window_.Pixel(390, 100), 0xE8E8E8u);
  EXPECT_EQ(window_.Pixel(588, 141), 0u);
}

TEST(OnePane, PictureIsFittedWithBarsAndDrawsNoOverlay) {
  PlayerWindow window(false, 400, 300);
  window.OpenFrames(640, 360, 640, 360);  // lands at 0, 37 to 400, 262
  window.display.crop().SetCrop({0, 0, 0.5, 0.5});
  window.display.crop().SetCropEditing(true);
  window.display.UpdateCropGeometry();
  window.display.RepaintVideo();
  EXPECT_EQ(window.Pixel(200, 36), 0u);
  EXPECT_EQ(window.Pixel(200, 37), kTopRight);
  EXPECT_EQ(window.Pixel(100, 261), kBottomLeft);
  EXPECT_EQ(window.Pixel(100, 262), 0u);
  EXPECT_EQ(window.Pixel(300, 250), kBottomRight) << "no shade in one pane";
}

TEST(OnePane, AFrameOfAnotherShapeLeavesNothingOfTheLastInItsBars) {
  // Each frame fills the window first, then one of another shape opens:
  // its bars are black, not what the last frame left there.
  const struct {
    int width, height;
    int barX, barY;
  } shapes[] = {{400, 225, 10, 10}, {225, 300, 10, 140}};
  for (const auto& shape : shapes) {
    PlayerWindow window(false, 400, 300);
    window.OpenFrames(400, 300, 400, 300);
    EXPECT_EQ(window.Pixel(shape.barX, shape.barY), kTopLeft);
    window.OpenFrames(shape.width, shape.height, shape.width, shape.height);
    EXPECT_EQ(window.Pixel(shape.barX, shape.barY), 0u) << shape.width;
    EXPECT_EQ(window.Pixel(150, 120), kTopLeft) << shape.width;
  }
}

// 808 x 300 two panes with 400 x 300 frames from an 800 x 600 source: the
// picture fills the first pane exactly, the second starts at x 408.
class MouseEditing : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.OpenFrames(400, 300, 800, 600);
    window_.context.notifyWindow = host_.hwnd;
  }
  // The one crop message the last moves posted, as (left, top, width, height).
  std::array<int, 4> LastCropRect() {
    const auto posted = host_.Take(WM_PLAYER_CROP_RECT);
    if (posted.empty()) return {-1, -1, -1, -1};
    const auto w = static_cast<uint32_t>(posted.back().w), l = static_cast<uint32_t>(posted.back().l);
    return {static_cast<int>(w >> 16), static_cast<int>(w & 0xFFFF), static_cast<int>(l >> 16),
            static_cast<int>(l & 0xFFFF)};
  }
  PlayerWindow window_{true, 808, 300};
  HostWindow host_;
};

TEST_F(MouseEditing, NothingIsHandledWhileNotEditing) {
  window_.Mouse(WM_LBUTTONDOWN, 200, 150);
  window_.Mouse(WM_MOUSEMOVE, 250, 150);
  EXPECT_FALSE(window_.display.dragging());
  EXPECT_EQ(win::GetCapture(), nullptr);
  EXPECT_TRUE(host_.Take(WM_PLAYER_CROP_RECT).empty());
}

TEST_F(MouseEditing, CursorShowsWhatAPressWouldDrag) {
  window_.display.crop().SetCrop({0.25, 0.25, 0.5, 0.5});  // window 100, 75, 200 x 150
  window_.display.crop().SetCropEditing(true);
  window_.display.UpdateCropGeometry();
  const std::pair<std::pair<int, int>, const char*> cases[] = {
      {{199, 77}, win::IDC_SIZENS},  {{199, 222}, win::IDC_SIZENS}, {{102, 150}, win::IDC_SIZEWE},
      {{297, 150}, win::IDC_SIZEWE}, {{150, 100}, win::IDC_HAND},   {{20, 20}, win::IDC_ARROW},
  };
  for (const auto& [at, cursor] : cases) {
    window_.Mouse(WM_MOUSEMOVE, at.first, at.second);
    EXPECT_EQ(CursorNow(), cursor) << at.first << ", " << at.second;
  }
}

TEST_F(MouseEditing, DraggingTheLeftEdgeAndMovingTheCropTellTheHost) {
  window_.display.crop().SetCrop({0.25, 0.25, 0.5, 0.5});
  window_.display.crop().SetCropEditing(true);
  window_.display.UpdateCropGeometry();

  window_.Mouse(WM_LBUTTONDOWN, 102, 150);  // the left handle
  EXPECT_EQ(window_.display.dragMode(), DragMode::LeftEdge);
  EXPECT_EQ(win::GetCapture(), window_.hwnd);
  window_.Mouse(WM_MOUSEMOVE, 2, 150);
  EXPECT_EQ(LastCropRect(), (std::array<int, 4>{0, 150, 600, 300}));
  window_.Mouse(WM_MOUSEMOVE, -100, 150);  // past the frame's border
  EXPECT_EQ(LastCropRect(), (std::array<int, 4>{0, 150, 600, 300})) << "the right edge stays";
  window_.Mouse(WM_LBUTTONUP, -100, 150);
  EXPECT_FALSE(window_.display.dragging());
  EXPECT_EQ(win::GetCapture(), nullptr);

  window_.Mouse(WM_LBUTTONDOWN, 200, 150);  // inside: move
  EXPECT_EQ(window_.display.dragMode(), DragMode::MoveCrop);
  window_.Mouse(WM_MOUSEMOVE, 300, 210);
  EXPECT_EQ(LastCropRect(), (std::array<int, 4>{200, 270, 600, 300}));
  window_.Mouse(WM_MOUSEMOVE, 900, 900);
  EXPECT_EQ(LastCropRect(), (std::array<int, 4>{200, 300, 600, 300})) << "held inside the frame";
  window_.Mouse(WM_LBUTTONUP, 900, 900);
  EXPECT_EQ(window_.Pixel(50, 50), 0x7F0000u) << "the repaint shaded the uncovered red corner";
}

TEST_F(MouseEditing, WithNoFileOpenTheCropMessageCarriesZeroes) {
  window_.Close();
  window_.display.crop().SetCropEditing(true);
  window_.display.UpdateCropGeometry();
  window_.Mouse(WM_LBUTTONDOWN, 396, 150);  // right handle of the whole-frame crop
  window_.Mouse(WM_MOUSEMOVE, 296, 150);
  EXPECT_EQ(LastCropRect(), (std::array<int, 4>{0, 0, 0, 0}));
  window_.Mouse(WM_LBUTTONUP, 296, 150);
}

TEST_F(MouseEditing, TheWatermarkIsDraggedInTheSecondPaneAndHeldInThePicture) {
  const qelo::test::TempDir dir;
  gdiplus::Bitmap picture(20, 10);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) reinterpret_cast<uint32_t*>(picture.Scan0() + y * picture.Stride())[x] = 0xFFFF0000;
  const std::string path = dir.File("mark.png");
  ASSERT_EQ(picture.Save(path, gdiplus::FindEncoder("image/png")->id), gdiplus::Status::Ok);
  WatermarkState state{};
  state.kind = WATERMARK_IMAGE;
  win::CopyToUtf16Field(state.image.imagePath, QELO_PATH_CHARS, win::Utf8ToUtf16(path));
  state.image.region = {0.1, 0.1, 0.2, 0.2};  // 40, 30, 80 x 60 in the window
  state.image.alpha = 255;
  window_.display.watermark().Enable(&state);

  window_.Mouse(WM_LBUTTONDOWN, 50, 40);
  EXPECT_EQ(window_.display.dragMode(), DragMode::None) << "the first pane does not grab it";
  window_.Mouse(WM_LBUTTONUP, 50, 40);

  window_.Mouse(WM_LBUTTONDOWN, 408 + 50, 40);
  EXPECT_EQ(window_.display.dragMode(), DragMode::MoveWatermark);
  EXPECT_EQ(CursorNow(), win::IDC_HAND);
  window_.Mouse(WM_MOUSEMOVE, 408 + 550, 50);
  const auto posted = host_.Take(WM_PLAYER_WATERMARK_MOVED);
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].w, 640u) << "x 320 of 400 in the 800-pixel source";
  EXPECT_EQ(posted[0].l, 80) << "y 40 of 300 in the 600-pixel source";
  window_.Mouse(WM_LBUTTONUP, 408 + 550, 50);
  RelativeRect region;
  ASSERT_TRUE(window_.display.watermark().GetRegion(&region));
  EXPECT_DOUBLE_EQ(region.left, 0.8);
  // Drawn at frame 320, 40: the 2:1 picture fills 80 x 40 from y 50.
  EXPECT_EQ(window_.Pixel(408 + 360, 70), 0xFF0000u);
  EXPECT_EQ(window_.Pixel(408 + 300, 70), kTopRight) << "the frame beside it";
}

TEST(IdlePictures, BothResourcesArePresentAndShownWithoutAFile) {
  const auto two = LoadIdlePicture(kIdlePictureTwoPane);
  const auto one = LoadIdlePicture(kIdlePictureOnePane);
  ASSERT_NE(two, nullptr);
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(two->GetWidth(), 782);
  EXPECT_EQ(two->GetHeight(), 282);
  EXPECT_EQ(one->GetWidth(), 352);
  EXPECT_EQ(one->GetHeight(), 225);

  const auto pixelOf = [](const gdiplus::Bitmap& b, int x, int y) {
    return reinterpret_cast<const uint32_t*>(b.Scan0() + y * b.Stride())[x] & 0xFFFFFF;
  };
  struct Case {
    bool twoPane;
    int w, h;
    const gdiplus::Bitmap* picture;
  };
  for (const Case& c : {Case{true, 782, 282, two.get()}, Case{false, 352, 225, one.get()}}) {
    PlayerWindow window(c.twoPane, c.w, c.h);
    win::InvalidateRect(window.hwnd, nullptr, 0);
    PlayerWindow::Pump();
    for (auto [x, y] : {std::pair{c.w / 2, c.h / 2}, std::pair{c.w - 10, c.h - 10}, std::pair{3, 3}})
      EXPECT_EQ(window.Pixel(x, y), pixelOf(*c.picture, x, y)) << c.w << " at " << x << ", " << y;
  }
}

TEST(Snapshot, WritesAJpegOfTheFramesSizeAndNothingWithoutAFile) {
  const qelo::test::TempDir dir;
  PlayerWindow window(true, 782, 282);
  window.OpenFrames(387, 218, 1280, 720);
  const std::string path = dir.File("Snap_01-02-03-04.jpg");
  ASSERT_TRUE(window.display.SaveSnapshot(path));
  const qelo::test::ProbedFile probed = qelo::test::Probe(path);
  ASSERT_TRUE(probed.ok);
  const qelo::test::ProbedStream* video = probed.First("video");
  ASSERT_NE(video, nullptr);
  EXPECT_EQ(video->Get("codec_name"), "mjpeg");
  EXPECT_EQ(video->Number("width"), 387);
  EXPECT_EQ(video->Number("height"), 218);
  const gdiplus::Bitmap decoded(path);
  ASSERT_EQ(decoded.GetLastStatus(), gdiplus::Status::Ok);
  const uint32_t topLeft = reinterpret_cast<const uint32_t*>(decoded.Scan0() + 40 * decoded.Stride())[40];
  EXPECT_GT(topLeft >> 16 & 0xFF, 200u);
  EXPECT_LT(topLeft >> 8 & 0xFF, 60u);

  window.Close();
  const std::string none = dir.File("none.jpg");
  EXPECT_FALSE(window.display.SaveSnapshot(none));
  EXPECT_FALSE(FileExists(none));
}

std::mutex g_logMutex;
std::u16string g_log;
void CollectLog(const char16_t* line) {
  std::lock_guard lock(g_logMutex);
  g_log += line;
  g_log += u'\n';
}

TEST(NoRenderer, TheDisplayLogsWhyAndStillEditsWithoutDrawing) {
  gLog.SetCallback(&CollectLog);
  ddraw::SetDirectDrawCreateFails(true);
  {
    PlayerWindow window(true, 808, 300);
    ddraw::SetDirectDrawCreateFails(false);
    EXPECT_FALSE(window.display.HasRenderer());
    window.OpenFrames(400, 300, 800, 600);
    window.display.crop().SetCropEditing(true);
    window.display.UpdateCropGeometry();
    window.Mouse(WM_LBUTTONDOWN, 396, 150);
    window.Mouse(WM_MOUSEMOVE, 296, 150);
    window.Mouse(WM_LBUTTONUP, 296, 150);
    EXPECT_NEAR(window.display.crop().crop().width, 0.75, 1e-9);
    PlayerWindow::Pump();
  }
  gLog.SetCallback(nullptr);
  std::lock_guard lock(g_logMutex);
  EXPECT_NE(g_log.find(u"Qelo Player: failed to initialize directdraw."), std::u16string::npos);
}

TEST(FrameSet, BuffersHoldAWholeFrameAndPanesCopyTheDecodedOne) {
  FrameSet frames;
  EXPECT_FALSE(frames.AllocateFrames(0, 4, 1000));
  ASSERT_TRUE(frames.AllocateFrames(8, 4, 10));  // a reader's size too small for the frame
  EXPECT_EQ(frames.decodedFrame().bufferSize, 128);
  EXPECT_EQ(frames.outputFrame().stride, 32);
  PaintQuadrants(frames.decodedFrame());
  frames.decodedFrame().pts = 400000;
  frames.CopyFramePanes(true, true);
  for (VideoFrame* f : {&frames.hookFrame(), &frames.outputFrame(), &frames.pristineFrame()}) {
    EXPECT_EQ(f->pts, 400000);
    EXPECT_EQ(std::memcmp(f->pixels, frames.decodedFrame().pixels, 128), 0);
  }
  std::memset(frames.decodedFrame().pixels, 0, 128);
  frames.RestoreDecoded();
  EXPECT_EQ(std::memcmp(frames.pristineFrame().pixels, frames.decodedFrame().pixels, 128), 0);
  frames.DropBitmaps();
  EXPECT_EQ(frames.decodedBitmap(), nullptr);
  EXPECT_TRUE(frames.HasPixels()) << "buffers stay until freed";
}

}  // namespace
}  // namespace qelo::player::test
