// The generated media files the codec bridge suites read.
#pragma once

#include <string>
#include <vector>

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
// 6 s, 160x120 at 25 fps H.264 with x264's default key-frame interval (one
// key frame) + MP2, in MPEG-TS (its start time is not 0).
std::string X264DefaultsTransportStream();
// 4 s, 160x120 at 25 fps H.264 whose only key frame is the first + AAC, in MP4.
std::string SingleKeyFrameClip();

// 1 s, 64x48 solid orange MJPEG with full (4:4:4) chroma, in AVI.
std::string Orange444Clip();
// 1 s, 62x46 MPEG-4 part 2 (a size no multiple of 16 or of the scaler's
// blocks), in AVI.
std::string OddSizeClip();
// 1 s, 64x48 H.264 in MP4, coded as it is shown.
std::string LandscapeClip();
// LandscapeClip with the "rotate" tag `degrees` (90, 180, 270) in its
// display matrix: shown upright turned that far counter-clockwise.
std::string TurnedClip(int degrees);

// 3 s of 20000x2 grey rawvideo in NUT whose sample aspect 120000:1 would
// make it wider than any frame can hold.
std::string TooWideSampleAspectClip();

// One small clip of each container the bridge is asked to read (1 to 2 s,
// 64x48 where there is video), to run one check over all of them.
struct ContainerClip {
  std::string label;
  std::string path;
};
std::vector<ContainerClip> ContainerClips();

// 2 s of 64x48 pictures at 10 fps with a rising tone (no stretch of it
// like another), in each container the catalogue reads, with the codecs
// usual in it; Ogg twice, with and without pictures.
std::vector<ContainerClip> SeekClips();

// The first `bytes` bytes of `source`, as the suite's own file `name`.
std::string Truncated(const std::string& source, long bytes, const std::string& name);
// `bytes` pseudo-random bytes (the same for one seed) as the file `name`.
std::string RandomBytes(long bytes, unsigned seed, const std::string& name);

}  // namespace qelo::test
