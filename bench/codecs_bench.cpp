// Speed of the codec bridge against the ffmpeg command-line tool on the same
// work: a 20 s 1080p H.264 + AAC clip (a) decoded and scaled to 640x360
// BGRA, (b) transcoded to MPEG-2 640x360 at 2 Mbit/s with MP2 sound. Each
// side runs five times, in turn; the medians and their ratio (bridge /
// ffmpeg) are printed.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_clip.h"
#include "common/temp_dir.h"
#include "qelo/codecs.h"
#include "win/codepage.h"

namespace {

using qelo::bench::Compare;
using qelo::bench::FfmpegRuns;
using qelo::bench::Report;

void Quiet(const char16_t*) {}

struct OpenClip {
  int handle = -1;
  int width = 640, height = 480;
  std::vector<uint8_t> pixels;
  VideoFrame frame{};

  explicit OpenClip(const std::string& path) {
    handle = QeloLoadMediaFile(qelo::win::Utf8ToUtf16(path).c_str(), nullptr);
    if (handle < 0) return;
    QeloResizeVideoSize(&width, &height, handle);
    pixels.resize(size_t(std::max(QeloGetVideoBuffersize(handle), 0)));
    frame.pixels = pixels.data();
    frame.bufferSize = int32_t(pixels.size());
  }
  ~OpenClip() {
    if (handle >= 0) QeloUnloadMediaFile(handle);
  }
  bool NextPicture() { return QeloGetNextVideoFrame(&frame, handle) == 1; }
};

bool DecodeAndScale(const std::string& clip, int* frames) {
  OpenClip in(clip);
  if (in.handle < 0) return false;
  *frames = 0;
  while (in.NextPicture()) ++*frames;
  return *frames > 0;
}

FormatSettings Mpeg2Settings(const std::string& out, int width, int height) {
  FormatSettings s{};
  qelo::win::CopyToUtf16Field(s.outputPath, QELO_PATH_CHARS, qelo::win::Utf8ToUtf16(out));
  s.formatId = FORMAT_MPEG2;
  s.videoCodecId = VCODEC_MPEG2;
  s.audioCodecId = ACODEC_MP2;
  s.width = width, s.height = height, s.frameRateNum = 25, s.frameRateDen = 1;
  s.videoBitRate = 2000000;
  s.sampleRate = 44100, s.channels = 2, s.bitsPerSample = 16, s.audioBitRate = 192000;
  return s;
}

bool Transcode(const std::string& clip, const std::string& out) {
  std::remove(out.c_str());  // outputs are created, never overwritten
  OpenClip in(clip);
  if (in.handle < 0 || !QeloResample(44100, 16, 2, in.handle)) return false;
  const FormatSettings settings = Mpeg2Settings(out, in.width, in.height);
  const int encoder = QeloInitializeEncoder(&settings);
  if (encoder < 0) return false;
  static AudioFrame chunk;
  bool soundLeft = true;
  int64_t soundAt = 0;
  while (in.NextPicture()) {
    QeloAddVideoFrame(in.frame.width, in.frame.height, 1, in.frame.pixels, in.frame.stride * in.frame.height,
                      encoder);
    while (soundLeft && soundAt <= in.frame.nextPts) {
      soundLeft = QeloGetNextAudioFrame(&chunk, in.handle) == 1;
      if (soundLeft) {
        QeloAddAudioFrame(chunk.data, chunk.byteCount, encoder);
        soundAt = chunk.pts;
      }
    }
  }
  while (QeloGetNextAudioFrame(&chunk, in.handle) == 1) QeloAddAudioFrame(chunk.data, chunk.byteCount, encoder);
  QeloCloseVideo(encoder);
  QeloCloseAudio(encoder);
  return QeloDeInitializeEncoder(encoder) == 1;
}

}  // namespace

int main() {
  qelo::test::TempDir dir;
  const std::string clip = qelo::bench::Make1080pClip(dir.path());
  if (clip.empty()) return 1;
  QeloInitializeCodecs(Quiet);

  int frames = 0, width = 640, height = 480;
  {
    OpenClip probe(clip);
    width = probe.width, height = probe.height;
  }
  const std::string scale = "scale=" + std::to_string(width) + ":" + std::to_string(height) + ":flags=bicubic";
  const auto decode = Compare([&] { return DecodeAndScale(clip, &frames); },
                              [&] { return FfmpegRuns({"-i", clip, "-an", "-vf", scale, "-pix_fmt", "bgra", "-f", "null", "-"}); });
  std::printf("decode and scale to %dx%d BGRA: %d pictures\n", width, height, frames);
  Report("(a) decode + scale", "bridge", "ffmpeg", decode);

  const std::string bridgeOut = dir.File("bridge.mpg"), ffmpegOut = dir.File("cli.mpg");
  const auto transcode =
      Compare([&] { return Transcode(clip, bridgeOut); },
              [&] {
                return FfmpegRuns({"-i", clip, "-vf", scale, "-c:v", "mpeg2video", "-b:v", "2M", "-c:a", "mp2", "-b:a",
                                   "192k", "-ar", "44100", ffmpegOut});
              });
  Report("(b) transcode to MPEG-2 2 Mbit/s + MP2", "bridge", "ffmpeg", transcode);
  QeloDeInitializeCodecs(0);
  return 0;
}
