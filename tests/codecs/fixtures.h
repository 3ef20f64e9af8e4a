// The generated media files the codec bridge suites read.
#pragma once

#include <string>

namespace qelo::test {

// 2 s, 320x240 at 25 fps H.264 (with B-frames) + 44.1 kHz stereo AAC, in MP4.
std::string VideoAudioClip();
// 2 s, 160x120 at 10 fps MPEG-4 part 2, no audio, in AVI.
std::string VideoOnlyClip();
// 2 s, 22,050 Hz mono 16-bit PCM in WAV.
std::string AudioOnlyClip();
// 1 s, 720x576 MPEG-2 with sample aspect 16:15.
std::string WideSampleAspectClip();
// 90 s of 16x16 video at 1 fps and 8 kHz AMR audio (4,500 audio packets:
// more than the audio queue holds).
std::string ManyAudioPacketsClip();
// 4 s, 320x240 at 25 fps H.264 + MP2 in MPEG-TS (its start time is not 0).
std::string TransportStreamClip();
// 4 s, 160x120 at 25 fps H.264 whose only key frame is the first + AAC, in MP4.
std::string SingleKeyFrameClip();

}  // namespace qelo::test
