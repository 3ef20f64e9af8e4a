#include "bench_clip.h"

#include <cstdio>

#include "common/media_fixture.h"

namespace qelo::bench {

std::string Make1080pClip(const std::string& folder) {
  const std::string clip = folder + "/clip-1080p.mp4";
  std::puts("making the 20 s 1080p H.264 + AAC clip...");
  if (qelo::test::MakeMedia({"-f", "lavfi", "-i", "testsrc2=size=1920x1080:rate=25:duration=20", "-f", "lavfi",
                             "-i", "sine=frequency=440:sample_rate=44100:duration=20", "-ac", "2", "-c:v", "libx264",
                             "-preset", "veryfast", "-c:a", "aac", "-shortest"},
                            clip))
    return clip;
  std::puts("ffmpeg could not make the clip");
  return "";
}

}  // namespace qelo::bench
