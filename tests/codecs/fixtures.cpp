#include "codecs/fixtures.h"

#include "codecs/codec_test_support.h"

namespace qelo::test {

std::string VideoAudioClip() {
  return Fixture("video_audio.mp4",
                 {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=2", "-f", "lavfi",
                  "-i", "sine=frequency=440:sample_rate=44100:duration=2", "-ac", "2", "-c:v",
                  "libx264", "-bf", "2", "-g", "25", "-pix_fmt", "yuv420p", "-c:a", "aac"});
}

std::string VideoOnlyClip() {
  return Fixture("video_only.avi", {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=10:duration=2",
                                    "-c:v", "mpeg4", "-g", "10"});
}

std::string AudioOnlyClip() {
  return Fixture("audio_only.wav",
                 {"-f", "lavfi", "-i", "sine=frequency=1000:sample_rate=22050:duration=2", "-c:a",
                  "pcm_s16le"});
}

std::string WideSampleAspectClip() {
  return Fixture("sample_aspect.mpg", {"-f", "lavfi", "-i", "testsrc2=size=720x576:rate=25:duration=1",
                                       "-vf", "setsar=16/15", "-c:v", "mpeg2video"});
}

std::string ManyAudioPacketsClip() {
  return Fixture("many_audio_packets.mkv",
                 {"-f", "lavfi", "-i", "testsrc2=size=16x16:rate=1:duration=90", "-f", "lavfi", "-i",
                  "sine=sample_rate=8000:duration=90", "-c:v", "mpeg4", "-c:a",
                  "libopencore_amrnb", "-ac", "1"});
}

std::string TransportStreamClip() {
  return Fixture("stream.ts", {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=4",
                               "-f", "lavfi", "-i", "sine=sample_rate=48000:duration=4", "-c:v",
                               "libx264", "-g", "25", "-pix_fmt", "yuv420p", "-c:a", "mp2"});
}

std::string SingleKeyFrameClip() {
  return Fixture("single_key_frame.mp4",
                 {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=4", "-f", "lavfi",
                  "-i", "sine=sample_rate=44100:duration=4", "-c:v", "libx264", "-x264-params",
                  "keyint=1000:scenecut=0", "-pix_fmt", "yuv420p", "-c:a", "aac"});
}

}  // namespace qelo::test
