#include "edit_window_fixture.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

#include <unistd.h>

#include "common/format_settings.h"
#include "common/media_fixture.h"
#include "common/process.h"
#include "qelo/codecs.h"
#include "qelo/convertor.h"
#include "qelo/player_exports.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/scripting.h"
#include "win/codepage.h"
#include "win/folders.h"
#include "win/window/display.h"

namespace qelo::app::test {

using namespace std::chrono_literals;

namespace {

// Waits for the end of a run on the engine's thread.
class RunEnd {
 public:
  static void Callback(int32_t, double, double, int32_t state, void* user) {
    auto* self = static_cast<RunEnd*>(user);
    if (state != ConvertAllDone && state != ConvertError && state != ConvertStopped) return;
    std::lock_guard hold(self->lock_);
    self->state_ = state;
    self->ended_.notify_all();
  }
  // The state that ended the run, or -1 when none came in time.
  int Wait(std::chrono::seconds limit) {
    std::unique_lock hold(lock_);
    ended_.wait_for(hold, limit, [&] { return state_ >= 0; });
    return state_;
  }

 private:
  std::mutex lock_;
  std::condition_variable ended_;
  int state_ = -1;
};

// A generous bit rate, so that the pictures survive the encoding close to
// their source.
FormatSettings Mpeg2(const std::string& output, int width, int height) {
  return qelo::test::Mpeg2Settings(output, width, height, 8000000);
}

uint32_t Rgb(win::COLORREF c) { return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF); }

int Channel(uint32_t c, int shift) { return static_cast<int>(c >> shift & 0xFF); }

}  // namespace

uint32_t Picture::Mean(int x, int y, int w, int h) const {
  uint64_t sum[3] = {0, 0, 0};
  int n = 0;
  for (int j = std::max(y, 0); j < std::min(y + h, height); ++j)
    for (int i = std::max(x, 0); i < std::min(x + w, width); ++i, ++n)
      for (int c = 0; c < 3; ++c) sum[c] += At(i, j) >> (16 - 8 * c) & 0xFF;
  if (n == 0) return 0;
  return static_cast<uint32_t>(sum[0] / n << 16 | sum[1] / n << 8 | sum[2] / n);
}

int ColourDistance(uint32_t a, uint32_t b) {
  int d = 0;
  for (int shift : {0, 8, 16}) d = std::max(d, std::abs(Channel(a, shift) - Channel(b, shift)));
  return d;
}

void EditWindowTest::SetUp() {
  setenv("QELO_HEADLESS", "1", 0);
  std::filesystem::create_directory_symlink(QELO_SKIN_DIR, dir.File("Skin"));
  setenv(win::kProgramFolderVariable, dir.path().c_str(), 1);
  setenv("QELO_REGISTRY_DIR", dir.File("config").c_str(), 1);
  vcl::Application()->Initialize();
  RegisterEditWindowClasses();
  ASSERT_EQ(InitializeQeloPlayer(nullptr), 1);
  ASSERT_EQ(InitializeVideoConvertor(nullptr), 1);
}

void EditWindowTest::TearDown() {
  if (window) window->Free();
  window = nullptr;
  QeloStopWorkGroup();
  DeInitializeQeloPlayer();
  DeInitializeVideoConvertor();
  unsetenv(win::kProgramFolderVariable);
  unsetenv("QELO_REGISTRY_DIR");
}

TWorkGroupClass* EditWindowTest::AddJob(const std::string& media, const std::string& name, int width, int height) {
  MediaInfo* info = nullptr;
  QeloMallocFileFormatInfo(&info);
  const int handle = QeloLoadMediaFile(win::Utf8ToUtf16(media).c_str(), info);
  TWorkGroupClass* job = nullptr;
  if (handle >= 0) {
    QeloUnloadMediaFile(handle);
    job = jobs.AddJob();
    const FormatSettings format = Mpeg2(dir.File(name), width, height);
    job->SetFormatSettings(&format);
    if (!job->AddSourceEntry(media, info)) {
      jobs.RemoveJob(job->groupId);
      job = nullptr;
    }
  }
  QeloFreeFileFormatInfo(info);
  return job;
}

TfrmEditVideo& EditWindowTest::OpenWindow(TWorkGroupClass& job, TEditPage page, int entry) {
  window = new TfrmEditVideo(vcl::Application());
  EXPECT_TRUE(window->Load(job, entry, page));
  window->Show();
  EXPECT_GE(window->PlayerIndex(), 0);
  EXPECT_TRUE(PumpUntil([&] { return window->FramesShown() > 0; })) << "the preview shows its first frame";
  return *window;
}

bool EditWindowTest::Edit(TWorkGroupClass& job, TEditPage page, const std::function<void(TfrmEditVideo&)>& actions,
                          bool confirm, int entry) {
  vcl::script::ModalScript modal;
  script = &modal;
  modal.Answer([&](vcl::TCustomForm& form) {
    window = &dynamic_cast<TfrmEditVideo&>(form);
    if (!window->SoundOnly()) {
      EXPECT_EQ(window->Page(), page);
      EXPECT_TRUE(PumpUntil([&] { return window->FramesShown() > 0; })) << "the preview shows its first frame";
    }
    actions(*window);
    if (window->ModalResult() == vcl::mrNone)
      vcl::script::Click(confirm ? static_cast<vcl::TControl&>(*window->btnOK) : *window->btnCancel);
    // A window that refused OK (it said why) is cancelled, so that no run
    // waits for ever.
    if (window->ModalResult() == vcl::mrNone) vcl::script::Click(*window->btnCancel);
  });
  const bool confirmed = EditJobEntry(job, entry, page);
  seen = modal.Seen();
  window = nullptr;
  script = nullptr;
  return confirmed;
}

bool EditWindowTest::PumpUntil(const std::function<bool()>& condition, int timeoutMs) {
  return vcl::script::PumpUntil(condition, timeoutMs);
}

bool EditWindowTest::ShowFrame(int64_t position) {
  const int shown = window->FramesShown();
  window->tbTrim->SetPosition(position / 10000);
  return PumpUntil([&] { return window->FramesShown() > shown; });
}

bool EditWindowTest::WaitForRefresh(int shownBefore) {
  return PumpUntil([&] { return window->FramesShown() > shownBefore; });
}

void EditWindowTest::SaveScreenshot(const std::string& name) {
  vcl::script::Pump();
  std::filesystem::create_directories(QELO_SCREENSHOT_DIR);
  EXPECT_TRUE(win::SaveWindowScreenshot(window->Handle(), std::string(QELO_SCREENSHOT_DIR) + "/" + name));
}

uint32_t EditWindowTest::PreviewPixel(int x, int y) {
  win::HBITMAP picture = win::ComposeWindow(window->pnlPreview->Handle());
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  win::HGDIOBJ old = win::SelectObject(dc, picture);
  const win::COLORREF c = win::GetPixel(dc, x, y);
  win::SelectObject(dc, old);
  win::DeleteDC(dc);
  win::DeleteObject(picture);
  return Rgb(c);
}

bool EditWindowTest::PreviewPixelBecomes(int x, int y, const std::function<bool(uint32_t)>& test) {
  return PumpUntil([&] { return test(PreviewPixel(x, y)); }, 5000);
}

void EditWindowTest::DragOnPreview(int fromX, int fromY, int toX, int toY) {
  const vcl::TPoint from = window->pnlPreview->ClientToScreen(vcl::TPoint{fromX, fromY});
  const vcl::TPoint to = window->pnlPreview->ClientToScreen(vcl::TPoint{toX, toY});
  win::InjectMouseMove(win::POINT{from.x, from.y});
  win::InjectMouseButton(win::MouseButton::Left, true, win::POINT{from.x, from.y});
  // In steps, as a hand moves it; the player reports each move.
  constexpr int kSteps = 4;
  for (int i = 1; i <= kSteps; ++i) {
    const win::POINT p{from.x + (to.x - from.x) * i / kSteps, from.y + (to.y - from.y) * i / kSteps};
    win::InjectMouseMove(p);
    vcl::script::Pump();
  }
  win::InjectMouseButton(win::MouseButton::Left, false, win::POINT{to.x, to.y});
  // The player's window thread handles the moves on its own; its messages
  // to the window follow.
  for (int i = 0; i < 20; ++i) {
    vcl::script::Pump();
    std::this_thread::sleep_for(10ms);
  }
}

bool EditWindowTest::ConvertJobs() {
  RunEnd end;
  RegisterCallBackPorcess(&RunEnd::Callback, &end);
  QeloClearWorkGroup();
  for (int i = 0; i < jobs.Count(); ++i) EXPECT_GE(QeloCreateWorkGroup(jobs.GetGroupData(i)), 0);
  if (!QeloRunWorkGroup()) return false;
  const int state = end.Wait(180s);
  QeloStopWorkGroup();
  return state == ConvertAllDone;
}

Picture EditWindowTest::FrameOf(const std::string& path, int frame) {
  Picture picture;
  const qelo::test::ProbedFile probed = qelo::test::Probe(path);
  const qelo::test::ProbedStream* video = probed.First("video");
  if (!video) return picture;
  picture.width = static_cast<int>(video->Number("width"));
  picture.height = static_cast<int>(video->Number("height"));
  // The clip may be a fixture other test processes read at the same time:
  // each writes its frame to a file of its own.
  const std::string raw = path + "." + std::to_string(getpid()) + ".frame.rgb";
  const qelo::test::ProcessResult r = qelo::test::RunProcess(
      {"ffmpeg", "-y", "-hide_banner", "-loglevel", "error", "-i", path, "-vf",
       "select=eq(n\\," + std::to_string(frame) + ")", "-vsync", "0", "-frames:v", "1", "-f", "rawvideo", "-pix_fmt",
       "rgb24", raw});
  std::ifstream in(raw, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::filesystem::remove(raw);
  const size_t count = static_cast<size_t>(picture.width) * picture.height;
  if (r.exitCode != 0 || bytes.size() < count * 3) return Picture{};
  picture.pixels.resize(count);
  for (size_t i = 0; i < count; ++i)
    picture.pixels[i] = uint32_t(uint8_t(bytes[3 * i])) << 16 | uint32_t(uint8_t(bytes[3 * i + 1])) << 8 |
                        uint8_t(bytes[3 * i + 2]);
  return picture;
}

std::string EditWindowTest::OutputOf(TWorkGroupClass& job) { return job.GetOutputName(); }

}  // namespace qelo::app::test
