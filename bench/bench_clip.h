// The clips the conversion benchmarks work on, made by the ffmpeg tool, and
// the timing of one side of a benchmark against the ffmpeg tool.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qelo::bench {

// 20 s of 1080p H.264 at 25 fps with 44.1 kHz stereo AAC, written into
// `folder`; its path, or "" (with a line on stdout) when ffmpeg failed.
std::string Make1080pClip(const std::string& folder);

// 5 s of a desktop-like picture at `width` x `height` in `pixelFormat`
// (yuv420p, yuv444p), H.264 at 25 fps with 44.1 kHz stereo AAC, as a screen
// recorder writes it; its path, or "" as above.
std::string MakeScreenRecording(const std::string& folder, int width, int height,
                                const std::string& pixelFormat);

// Median times of two ways of doing the same work (ours and theirs: the
// ffmpeg tool's, or another setting of ours), run in turn so that the load
// of the machine falls on both alike. `ok` is false when any run failed.
// Processor time counts every thread of this process and of the children
// that ended meanwhile, so that a loaded machine shows the work as well as
// the wait.
struct Timing {
  double median = 0, low = 0, high = 0;  // wall-clock seconds
  double processor = 0;                  // median processor seconds, all threads
};
struct Comparison {
  Timing ours, theirs;
  bool ok = true;
  double Ratio() const { return ours.median / theirs.median; }
};
constexpr int kRuns = 5;
Comparison Compare(const std::function<bool()>& ours, const std::function<bool()>& theirs,
                   int runs = kRuns);

// Two lines: the work, then both medians with their ranges and the ratio of
// the medians.
void Report(const std::string& what, const char* oursName, const char* theirsName,
            const Comparison& c);

// Runs `ffmpeg -y -hide_banner -loglevel error <args...>`; true when it
// succeeded.
bool FfmpegRuns(const std::vector<std::string>& args);

}  // namespace qelo::bench
