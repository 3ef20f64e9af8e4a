// Output settings the engine's and the edit window's tests convert to.
#pragma once

#include <string>

#include "qelo/convertor.h"
#include "win/codepage.h"

namespace qelo::test {

// MPEG-2 video at `width` x `height`, 25 frames a second, with MP2 sound at
// 44.1 kHz stereo, written to `output`.
inline FormatSettings Mpeg2Settings(const std::string& output, int width, int height, int videoBitRate) {
  FormatSettings f{};
  win::CopyToUtf16Field(f.outputPath, QELO_PATH_CHARS, win::Utf8ToUtf16(output));
  f.formatId = FORMAT_MPEG2;
  f.videoCodecId = VCODEC_MPEG2;
  f.audioCodecId = ACODEC_MP2;
  f.width = width, f.height = height, f.frameRateNum = 25, f.frameRateDen = 1;
  f.videoBitRate = videoBitRate;
  f.sampleRate = 44100, f.channels = 2, f.bitsPerSample = 16, f.audioBitRate = 128000;
  return f;
}

}  // namespace qelo::test
