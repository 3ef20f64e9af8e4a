// The edit window driven as a user drives it, headless, on the real
// libraries: its layout, its pages, the preview and what OK and Cancel do
// to the job.
#include "edit_window_fixture.h"

#include "common/media_fixture.h"
#include "edit_layout.h"
#include "vcl/controls/scripting.h"

namespace qelo::app::test {
namespace {

namespace layout = skin::edit_window;

// Where the layout table places a control: left, top, width, height.
void ExpectPlaced(vcl::TControl& control, const skin::Placed& p) {
  EXPECT_EQ(control.Left(), p.box.x) << p.name;
  EXPECT_EQ(control.Top(), p.box.y) << p.name;
  EXPECT_EQ(control.Width(), p.box.w) << p.name;
  EXPECT_EQ(control.Height(), p.box.h) << p.name;
}
using vcl::script::Click;

std::string Clip(int seconds = 5) {
  return qelo::test::CachedMedia("edit-clip-" + std::to_string(seconds) + ".mp4",
                                 {"-f", "lavfi", "-i",
                                  "testsrc2=size=320x240:rate=25:duration=" + std::to_string(seconds), "-f", "lavfi",
                                  "-i", "sine=frequency=440:sample_rate=44100:duration=" + std::to_string(seconds),
                                  "-ac", "2", "-c:v", "libx264", "-g", "25", "-pix_fmt", "yuv420p", "-c:a", "aac",
                                  "-shortest"});
}

TEST_F(EditWindowTest, EachPageIsShownAndTheControlsSitWhereTheSkinHasRoomForThem) {
  TWorkGroupClass* job = AddJob(Clip(), "out.mpg");
  ASSERT_NE(job, nullptr);
  TfrmEditVideo& w = OpenWindow(*job, epCrop);
  EXPECT_EQ(w.Width(), layout::kWidth);
  EXPECT_EQ(w.Height(), layout::kHeight);
  for (const skin::Placed& p : layout::kControls) {
    auto* control = dynamic_cast<vcl::TControl*>(w.FindComponent(p.name));
    ASSERT_NE(control, nullptr) << p.name;
    ExpectPlaced(*control, p);
  }
  for (const skin::Placed& p : layout::kPageControls) {
    auto* control = dynamic_cast<vcl::TControl*>(w.FindComponent(p.name));
    ASSERT_NE(control, nullptr) << p.name;
    ExpectPlaced(*control, p);
  }
  struct Page {
    TEditPage page;
    vcl::TControl* panel;
    const char* screenshot;
  } pages[] = {{epCrop, w.pnlCrop, "edit-window-crop.png"},
               {epEffect, w.pnlEffect, "edit-window-effect.png"},
               {epWatermark, w.pnlWatermark, "edit-window-watermark.png"},
               {epTrim, w.pnlTrim, "edit-window-trim.png"}};
  for (const Page& page : pages) {
    w.ShowPage(page.page);
    EXPECT_TRUE(page.panel->Visible());
    SaveScreenshot(page.screenshot);
  }
}

}  // namespace
}  // namespace qelo::app::test
