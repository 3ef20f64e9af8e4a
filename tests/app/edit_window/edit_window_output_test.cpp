// The edit window's preview: its output pane is the engine's output, and a
// file of sound alone plays with its bar moving to its end.
//
// At one time stamp the pane's pixels and the engine's frame before
// encoding (the engine's own decode at the output size and its compositing)
// are compared pixel for pixel. The job's output size is the pane's picture
// size, so neither is scaled.
#include <cstdio>
#include <cstring>

#include "common/media_fixture.h"
#include "edit_layout.h"
#include "edit_window_fixture.h"
#include "gdiplus/bitmap.h"
#include "gdiplus/encoders.h"
#include "gdiplus/graphics.h"
#include "qelo/codecs.h"
#include "qelo/convertor.h"
#include "qelo/effect.h"
#include "win/codepage.h"
#include "win/gdi/gdi.h"
#include "win/window/display.h"

namespace qelo::app::test {
namespace {

namespace layout = skin::edit_window;

// A 320 x 240 source fits a pane of 387 x 282 as 376 x 282, 5 pixels in;
// where it is on the window.
constexpr int kWidth = 376, kHeight = 282;
constexpr int kPictureLeft = layout::kSecondPaneX + (layout::kPaneWidth - kWidth) / 2;
constexpr int kPictureTop = layout::kPreview.y;

std::string PatternClip() {
  return qelo::test::CachedMedia("edit-pattern-3.mp4",
                                 {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=3", "-f", "lavfi", "-i",
                                  "sine=frequency=440:sample_rate=44100:duration=3", "-ac", "2", "-c:v", "libx264",
                                  "-g", "25", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest"});
}

// The engine's frame at `time` before encoding: the file decoded at the
// output size as the engine's reader asks for it, through the engine's
// compositing.
Picture EngineFrame(const std::string& media, const SourceEntry& entry, int64_t time) {
  Picture picture;
  const int handle = QeloLoadMediaFile(win::Utf8ToUtf16(media).c_str(), nullptr);
  if (handle < 0) return picture;
  int32_t width = kWidth, height = kHeight;
  QeloResizeVideoSize(&width, &height, handle);
  std::vector<uint8_t> pixels(size_t(QeloGetVideoBuffersize(handle)));
  VideoFrame frame{pixels.data(), width, height, width * 4, int32_t(pixels.size()), 0, 0};
  QeloSeekMediaFile(time, handle);
  bool found = false;
  while (!found && QeloGetNextVideoFrame(&frame, handle) == 1) found = frame.nextPts > time;
  QeloUnloadMediaFile(handle);
  if (!found || QeloCompositeFrame(&entry, &frame) != 1) return picture;
  picture.width = width, picture.height = height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = &pixels[size_t(y) * frame.stride + size_t(x) * 4];
      picture.pixels.push_back(uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
    }
  return picture;
}

// The output pane's picture as the screen shows it.
Picture PanePicture(TfrmEditVideo& window) {
  Picture picture{kWidth, kHeight, {}};
  win::HBITMAP composed = win::ComposeWindow(window.Handle());
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  win::HGDIOBJ old = win::SelectObject(dc, composed);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const win::COLORREF c = win::GetPixel(dc, kPictureLeft + x, kPictureTop + y);
      picture.pixels.push_back(uint32_t(c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF));
    }
  win::SelectObject(dc, old);
  win::DeleteDC(dc);
  win::DeleteObject(composed);
  return picture;
}

int LargestDifference(const Picture& a, const Picture& b, int* where) {
  int largest = 0;
  for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i) {
    const int d = ColourDistance(a.pixels[i], b.pixels[i]);
    if (d > largest) largest = d, *where = int(i);
  }
  return largest;
}

// A 60 x 40 picture on a transparent background: a red block with clear
// margins on every side.
std::string LogoWithClearMargins(const std::string& path) {
  gdiplus::Bitmap logo(60, 40);
  const uint32_t red = 0xFFE01010;
  for (int y = 10; y < 30; ++y)
    for (int x = 15; x < 45; ++x) std::memcpy(logo.Scan0() + y * logo.Stride() + 4 * x, &red, 4);
  return logo.Save(path, gdiplus::FindEncoder("image/png")->id) == gdiplus::Status::Ok ? path : "";
}

TEST_F(EditWindowTest, TheOutputPaneIsTheEnginesFrameAtTheSameTime) {
  const std::string logo = LogoWithClearMargins(dir.File("logo.png"));
  ASSERT_FALSE(logo.empty());
  const struct {
    const char* name;
    std::function<void(SourceEntry&)> set;
  } cases[] = {
      {"a crop, a white text and two effects",
       [](SourceEntry& e) {
         SetCrop(e, RelativeRect{0.1, 0.1, 0.5, 0.8});
         SetWatermarkChoice(e, wcText);
         SetWatermarkText(e, "CLIP 42");
         e.watermarkFont.size = 24;
         e.watermarkFont.color = 0xFFFFFF;
         e.watermarkAlpha = 200;
         e.watermarkRegion = RelativeRect{0.3, 0.4, 0.5, 0.2};
         e.effectCount = 2;
         e.effects[0] = EffectRecord{EFFECT_INVERT, 0, 0, {}};
         e.effects[1] = EffectRecord{EFFECT_BRIGHTNESS, 70, 0, {}};
       }},
      {"a half-transparent picture with clear margins",
       [&logo](SourceEntry& e) {
         SetWatermarkChoice(e, wcPicture);
         ASSERT_TRUE(SetWatermarkImagePath(e, logo));
         e.watermarkAlpha = 128;
         e.watermarkRegion = RelativeRect{0.45, 0.5, 0.4, 0.4};
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TWorkGroupClass* job = AddJob(PatternClip(), std::string("pane-") + c.name + ".mpg", kWidth, kHeight);
    ASSERT_NE(job, nullptr);
    c.set(*job->EntryAt(0));
    TfrmEditVideo& w = OpenWindow(*job, epEffect);
    const int64_t shownAt = kSecond + kSecond / 5;
    ASSERT_TRUE(ShowFrame(shownAt));
    ASSERT_TRUE(PumpUntil([&] { return w.PreviewPosition() == shownAt; }));
    const Picture pane = PanePicture(w);
    const Picture engine = EngineFrame(PatternClip(), *job->EntryAt(0), shownAt);
    ASSERT_EQ(engine.width, kWidth);
    ASSERT_EQ(engine.height, kHeight);
    int where = 0;
    const int largest = LargestDifference(pane, engine, &where);
    std::printf("%s: the pane and the engine's frame at %.2f s differ by at most %d (at %d, %d)\n", c.name,
                double(shownAt) / kSecond, largest, where % kWidth, where / kWidth);
    EXPECT_LE(largest, 2) << std::hex << pane.pixels[where] << " " << engine.pixels[where];
    window->Free();
    window = nullptr;
  }
}

TEST_F(EditWindowTest, AnAudioOnlyPreviewMovesTheBarAndEnds) {
  const std::string sound = qelo::test::MakeAudioOnly(dir.path(), "tone.wav", 3.0);
  TWorkGroupClass* job = AddJob(sound, "tone.mpg");
  ASSERT_NE(job, nullptr);
  window = new TfrmEditVideo(vcl::Application());
  ASSERT_TRUE(window->Load(*job, 0, epTrim));
  window->Show();
  ASSERT_GE(window->PlayerIndex(), 0);
  vcl::script::Click(*window->btnPlay);
  EXPECT_TRUE(PumpUntil([&] { return window->PreviewPosition() >= kSecond; }))
      << "the sound's position moves the bar";
  EXPECT_GE(window->tbTrim->Position(), 1000);
  EXPECT_TRUE(PumpUntil([&] { return !window->Playing(); })) << "the end of the sound stops the buttons";
  EXPECT_TRUE(window->btnPlay->Enabled());
  EXPECT_FALSE(window->btnPause->Enabled());
}

}  // namespace
}  // namespace qelo::app::test
