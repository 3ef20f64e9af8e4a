#include "codecs/fixtures.h"

#include <fstream>
#include <random>

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

std::string X264DefaultsTransportStream() {
  return Fixture("x264_defaults.ts",
                 {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=6", "-f", "lavfi",
                  "-i", "sine=duration=6", "-c:v", "libx264", "-pix_fmt", "yuv420p"});
}

std::string SingleKeyFrameClip() {
  return Fixture("single_key_frame.mp4",
                 {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=4", "-f", "lavfi",
                  "-i", "sine=sample_rate=44100:duration=4", "-c:v", "libx264", "-x264-params",
                  "keyint=1000:scenecut=0", "-pix_fmt", "yuv420p", "-c:a", "aac"});
}

std::string Orange444Clip() {
  return Fixture("orange.avi", {"-f", "lavfi", "-i", "color=c=0xFF8000:size=64x48:rate=10:duration=1",
                                "-c:v", "mjpeg", "-q:v", "1", "-pix_fmt", "yuvj444p"});
}

std::string OddSizeClip() {
  return Fixture("odd_width.avi", {"-f", "lavfi", "-i", "testsrc2=size=62x46:rate=10:duration=1",
                                   "-c:v", "mpeg4", "-pix_fmt", "yuv420p"});
}

std::string LandscapeClip() {
  return Fixture("landscape.mp4", {"-f", "lavfi", "-i", "testsrc2=size=64x48:rate=10:duration=1",
                                   "-c:v", "libx264", "-pix_fmt", "yuv420p"});
}

std::string TurnedClip(int degrees) {
  const std::string turn = std::to_string(degrees);
  return Fixture("rotate" + turn + ".mp4",
                 {"-i", LandscapeClip(), "-c", "copy", "-metadata:s:v", "rotate=" + turn});
}

std::string TooWideSampleAspectClip() {
  return Fixture("wide_sar.nut", {"-f", "lavfi", "-i", "color=c=red:size=20000x2:rate=5:duration=3",
                                  "-vf", "setsar=sar=120000/1:max=1000000", "-c:v", "rawvideo",
                                  "-pix_fmt", "gray"});
}

namespace {

const std::vector<std::string> kSmallPicture = {"-f", "lavfi", "-i",
                                                "testsrc2=size=64x48:rate=10:duration=2"};
const std::vector<std::string> kSmallSound = {"-f", "lavfi", "-i", "sine=duration=2"};

std::string SmallClip(const std::string& name, bool picture, bool sound,
                      const std::vector<std::string>& codecs) {
  std::vector<std::string> args;
  if (picture) args.insert(args.end(), kSmallPicture.begin(), kSmallPicture.end());
  if (sound) args.insert(args.end(), kSmallSound.begin(), kSmallSound.end());
  args.insert(args.end(), codecs.begin(), codecs.end());
  return Fixture(name, args);
}

}  // namespace

std::vector<ContainerClip> ContainerClips() {
  return {
      {"mp4", VideoAudioClip()},
      {"avi", VideoOnlyClip()},
      {"wav", AudioOnlyClip()},
      {"ts", TransportStreamClip()},
      {"mkv", SmallClip("small.mkv", true, true, {"-c:v", "mpeg4", "-c:a", "libvorbis"})},
      {"mov", SmallClip("small.mov", true, true, {"-c:v", "mpeg4", "-c:a", "pcm_s16le"})},
      {"flv", SmallClip("small.flv", true, true, {})},
      {"ogg", SmallClip("small.ogg", true, true, {"-c:v", "libtheora", "-c:a", "libvorbis"})},
      {"nut", SmallClip("small.nut", true, true, {"-c:v", "ffv1", "-c:a", "flac"})},
      {"wmv", SmallClip("small.wmv", true, true, {"-c:v", "wmv2", "-c:a", "wmav2"})},
      {"mp3", SmallClip("small.mp3", false, true, {"-c:a", "libmp3lame"})},
      {"flac", SmallClip("small.flac", false, true, {})},
      {"gif", SmallClip("small.gif", true, false, {})},
  };
}

std::vector<ContainerClip> SeekClips() {
  const std::vector<std::string> picture = {"-f", "lavfi", "-i",
                                            "testsrc2=size=64x48:rate=10:duration=2"};
  const std::vector<std::string> tone = {"-f", "lavfi", "-i",
                                         "aevalsrc=0.5*sin(2*PI*(200*t+400*t*t)):s=44100:d=2"};
  auto clip = [&](const std::string& label, const std::string& name, bool withPicture,
                  const std::vector<std::string>& codecs) {
    std::vector<std::string> args;
    if (withPicture) args = picture;
    args.insert(args.end(), tone.begin(), tone.end());
    args.insert(args.end(), codecs.begin(), codecs.end());
    return ContainerClip{label, Fixture("seek_" + name, args)};
  };
  const std::vector<std::string> h264 = {"-c:v", "libx264", "-pix_fmt", "yuv420p"};
  auto with = [](std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  return {
      clip("MP4", "clip.mp4", true, with(h264, {"-c:a", "aac"})),
      clip("MOV", "clip.mov", true, {"-c:v", "mpeg4", "-c:a", "pcm_s16le"}),
      clip("3GP", "clip.3gp", true,
           {"-c:v", "mpeg4", "-c:a", "libopencore_amrnb", "-ar", "8000", "-ac", "1"}),
      clip("MKV", "clip.mkv", true, with(h264, {"-c:a", "libvorbis"})),
      clip("AVI", "clip.avi", true, {"-c:v", "mpeg4", "-c:a", "libmp3lame"}),
      clip("FLV", "clip.flv", true, {}),
      clip("ASF/WMV", "clip.wmv", true, {"-c:v", "wmv2", "-c:a", "wmav2"}),
      clip("MPEG-PS", "clip.mpg", true, {"-c:v", "mpeg2video", "-c:a", "mp2"}),
      clip("MPEG-TS", "clip.ts", true, with(h264, {"-c:a", "aac"})),
      clip("Ogg", "clip.ogg", true, {"-c:v", "libtheora", "-c:a", "libvorbis"}),
      clip("Ogg Vorbis", "vorbis.ogg", false, {"-c:a", "libvorbis"}),
      clip("MP3", "clip.mp3", false, {"-c:a", "libmp3lame"}),
      clip("WAV", "clip.wav", false, {"-c:a", "pcm_s16le"}),
  };
}

std::string Truncated(const std::string& source, long bytes, const std::string& name) {
  std::ifstream in(source, std::ios::binary);
  std::string head(static_cast<size_t>(bytes), '\0');
  in.read(head.data(), bytes);
  head.resize(static_cast<size_t>(in.gcount()));
  const std::string path = FixturePath(name);
  std::ofstream(path, std::ios::binary) << head;
  return path;
}

std::string RandomBytes(long bytes, unsigned seed, const std::string& name) {
  std::mt19937 generator(seed);
  std::string data(static_cast<size_t>(bytes), '\0');
  for (char& byte : data) byte = static_cast<char>(generator());
  const std::string path = FixturePath(name);
  std::ofstream(path, std::ios::binary) << data;
  return path;
}

}  // namespace qelo::test
