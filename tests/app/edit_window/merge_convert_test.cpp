// Merged jobs converted by the engine: one file, as long as its parts,
// their pictures in the list's order, each part as edited.
#include "common/media_fixture.h"
#include "edit_window_fixture.h"
#include "merge_jobs.h"

namespace qelo::app::test {
namespace {

using MergeConvert = EditWindowTest;

// A clip of one colour.
std::string Plain(const std::string& colour, double seconds) {
  const std::string s = std::to_string(seconds);
  return qelo::test::CachedMedia("merge-" + colour + "-" + s + ".mp4",
                                 {"-f", "lavfi", "-i", "color=c=" + colour + ":size=320x240:rate=25:duration=" + s,
                                  "-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=" + s, "-ac", "2",
                                  "-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest"});
}

TEST_F(MergeConvert, ThreeFilesBecomeOneOutputOfTheirLengthsInListOrder) {
  TWorkGroupClass* red = AddJob(Plain("red", 1), "red.mpg");
  TWorkGroupClass* green = AddJob(Plain("lime", 2), "green.mpg");
  TWorkGroupClass* blue = AddJob(Plain("blue", 3), "blue.mpg");
  ASSERT_TRUE(red && green && blue);
  // The list shows blue, red, green; the middle one trimmed to its second
  // half second.
  SetTrim(*red->EntryAt(0), kSecond / 2, kSecond);
  const std::string output = OutputOf(*blue);
  const TMergeResult merged = MergeJobs(jobs, {blue->groupId, red->groupId, green->groupId});
  ASSERT_NE(merged.job, nullptr);
  ASSERT_EQ(jobs.Count(), 1);
  EXPECT_EQ(merged.job->GetTotalDuration(), 55 * kSecond / 10);
  ASSERT_TRUE(ConvertJobs());

  const qelo::test::ProbedFile out = qelo::test::Probe(output);
  ASSERT_TRUE(out.ok);
  ASSERT_NE(out.First("video"), nullptr);
  EXPECT_NEAR(out.First("video")->Number("duration"), 5.5, 0.04 + 1e-9);
  EXPECT_NEAR(qelo::test::CountVideoFrames(output) / 25.0, 5.5, 0.04 + 1e-9);
  ASSERT_NE(out.First("audio"), nullptr);
  // Frames well inside each part: blue to 3 s, red to 3.5 s, then green.
  struct Part {
    int frame;
    uint32_t colour;
  } parts[] = {{25, 0x0000FF}, {70, 0x0000FF}, {81, 0xFF0000}, {85, 0xFF0000}, {95, 0x00FF00}, {130, 0x00FF00}};
  for (const Part& part : parts) {
    const Picture frame = FrameOf(output, part.frame);
    ASSERT_EQ(frame.width, 320) << part.frame;
    EXPECT_LE(ColourDistance(frame.Mean(100, 80, 120, 80), part.colour), 30) << "frame " << part.frame;
  }
}

}  // namespace
}  // namespace qelo::app::test
