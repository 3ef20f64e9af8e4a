// The edit window on the real libraries, headless: a program folder with the
// skin, the framework, the codec bridge, the player and the engine; jobs of
// media files made by ffmpeg; the window shown with its preview; the job
// converted; frames of files read back as pixels by ffmpeg.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/temp_dir.h"
#include "edit_window.h"
#include "vcl/controls/scripting.h"
#include "work_group_class.h"

namespace qelo::app::test {

constexpr int64_t kSecond = QELO_TIME_UNITS_PER_SECOND;

// One frame as 0xRRGGBB pixels, rows top down.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  // The mean colour of a box, as 0xRRGGBB.
  uint32_t Mean(int x, int y, int w, int h) const;
};

// How far apart two colours are: the largest difference of one channel.
int ColourDistance(uint32_t a, uint32_t b);

class EditWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A one-file job of `media` probed by the codec bridge, converted to an
  // MPEG-2 file of `width` x `height` at 25 frames a second (`name` in the
  // test's folder); null when the file cannot be probed.
  TWorkGroupClass* AddJob(const std::string& media, const std::string& name, int width = 320, int height = 240);
  // The window for the job's entry at `page`, shown, its preview showing a
  // frame.
  TfrmEditVideo& OpenWindow(TWorkGroupClass& job, TEditPage page, int entry = 0);
  // EditJobEntry for the job at `page`: once the window's preview shows a
  // frame (at once for a file with sound only), `actions` drive it, then OK (or Cancel) is clicked; what
  // EditJobEntry answered. While it runs, `window` is the window and
  // `script` answers the modal runs it starts (open dialog, message boxes).
  bool Edit(TWorkGroupClass& job, TEditPage page, const std::function<void(TfrmEditVideo&)>& actions,
            bool confirm = true, int entry = 0);
  // Pumps the window's messages until `condition` holds (at most 10 s).
  bool PumpUntil(const std::function<bool()>& condition, int timeoutMs = 10000);
  // The preview's frame at `position` is shown (the window heard of it).
  bool ShowFrame(int64_t position);
  // The preview shows a new frame after a change (the window heard of it).
  bool WaitForRefresh(int shownBefore);
  // The window's picture as the screen shows it, saved as a screenshot.
  void SaveScreenshot(const std::string& name);
  // A pixel of the preview panel, in its own coordinates (0xRRGGBB).
  uint32_t PreviewPixel(int x, int y);
  // Polls the preview's pixel until it passes `test` (the player paints on
  // its own thread); whether it did within 5 s.
  bool PreviewPixelBecomes(int x, int y, const std::function<bool(uint32_t)>& test);
  // The mouse pressed at one point of the preview, moved to another and
  // released there; the window handles what the player tells it.
  void DragOnPreview(int fromX, int fromY, int toX, int toY);
  // Converts every job with the engine; true when all were done.
  bool ConvertJobs();
  // Frame number `frame` (from 0) of a media file, decoded by ffmpeg.
  static Picture FrameOf(const std::string& path, int frame);
  // The output path of a job.
  static std::string OutputOf(TWorkGroupClass& job);

  qelo::test::TempDir dir;
  TWorkGroupClassArray jobs;
  TfrmEditVideo* window = nullptr;
  vcl::script::ModalScript* script = nullptr;
  // What the modal runs showed during the last Edit.
  std::vector<std::string> seen;
};

}  // namespace qelo::app::test
