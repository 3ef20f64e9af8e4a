#include "bench_clip.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <sys/resource.h>

#include "common/media_fixture.h"
#include "common/process.h"

namespace qelo::bench {
namespace {

// Processor time of this process and of its ended children, in seconds.
double ProcessorSeconds() {
  double total = 0;
  for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    rusage usage{};
    getrusage(who, &usage);
    total += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
             double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  }
  return total;
}

struct Run {
  double wall = 0, processor = 0;
};

Run Measure(const std::function<bool()>& work, bool* ok) {
  const double processor = ProcessorSeconds();
  const auto start = std::chrono::steady_clock::now();
  if (!work()) *ok = false;
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
          ProcessorSeconds() - processor};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

Timing Summarise(const std::vector<Run>& runs) {
  if (runs.empty()) return {};
  std::vector<double> walls, processors;
  for (const Run& r : runs) {
    walls.push_back(r.wall);
    processors.push_back(r.processor);
  }
  return {Median(walls), *std::min_element(walls.begin(), walls.end()),
          *std::max_element(walls.begin(), walls.end()), Median(processors)};
}

}  // namespace

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

std::string MakeScreenRecording(const std::string& folder, int width, int height, const std::string& pixelFormat) {
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  const std::string clip = folder + "/screen-" + size + "-" + pixelFormat + ".mp4";
  std::printf("making the 5 s %s %s screen recording...\n", size.c_str(), pixelFormat.c_str());
  // The test source makes even sizes only: odd ones are cut from the next.
  const std::string source = std::to_string(width + width % 2) + "x" + std::to_string(height + height % 2);
  const std::string cut = "format=" + pixelFormat + ",crop=" + std::to_string(width) + ":" + std::to_string(height) + ":0:0";
  if (qelo::test::MakeMedia({"-f", "lavfi", "-i", "testsrc2=size=" + source + ":rate=25:duration=5", "-f", "lavfi",
                             "-i", "sine=frequency=440:sample_rate=44100:duration=5", "-ac", "2", "-vf", cut, "-c:v",
                             "libx264", "-preset", "veryfast", "-c:a", "aac", "-shortest"},
                            clip))
    return clip;
  std::puts("ffmpeg could not make the recording");
  return "";
}

Comparison Compare(const std::function<bool()>& ours, const std::function<bool()>& theirs, int runs) {
  Comparison c;
  std::vector<Run> oursTimes, theirsTimes;
  for (int i = 0; i < runs; ++i) {
    oursTimes.push_back(Measure(ours, &c.ok));
    theirsTimes.push_back(Measure(theirs, &c.ok));
  }
  c.ours = Summarise(oursTimes);
  c.theirs = Summarise(theirsTimes);
  return c;
}

void Report(const std::string& what, const char* oursName, const char* theirsName, const Comparison& c) {
  std::printf("%s\n  %s %6.2f s (%.2f to %.2f, processor %.2f s)   %s %6.2f s (%.2f to %.2f, processor %.2f s)"
              "   ratio of medians %.2f%s\n",
              what.c_str(), oursName, c.ours.median, c.ours.low, c.ours.high, c.ours.processor, theirsName,
              c.theirs.median, c.theirs.low, c.theirs.high, c.theirs.processor, c.Ratio(),
              c.ok ? "" : "   (A RUN FAILED)");
  std::fflush(stdout);
}

bool FfmpegRuns(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {"ffmpeg", "-y", "-hide_banner", "-loglevel", "error"};
  argv.insert(argv.end(), args.begin(), args.end());
  return qelo::test::RunProcess(argv).exitCode == 0;
}

}  // namespace qelo::bench
