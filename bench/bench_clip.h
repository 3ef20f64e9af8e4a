// The clip both conversion benchmarks work on: 20 s of 1080p H.264 at 25 fps
// with 44.1 kHz stereo AAC, made by the ffmpeg tool.
#pragma once

#include <string>

namespace qelo::bench {

// Writes the clip into `folder`; its path, or "" (with a line on stdout)
// when ffmpeg failed.
std::string Make1080pClip(const std::string& folder);

}  // namespace qelo::bench
