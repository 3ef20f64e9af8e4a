// Speed of the codec bridge against the ffmpeg command-line tool on the same
// work: a 20 s 1080p H.264 + AAC clip (a) decoded and scaled to 640x480
// BGRA, (b) transcoded to MPEG-2 640x480 at 2 Mbit/s with MP2 sound.
// Prints both times and their ratio (bridge / ffmpeg).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench_clip.h"
#include "common/process.h"
#include "common/temp_dir.h"
#include "qelo/codecs.h"
#include "win/codepage.h"

namespace {

using qelo::test::RunProcess;

void Quiet(const char16_t*) {}

double Seconds(const std::function<bool()>& work, bool* ok) {
  const auto start = std::chrono::steady_clock::now();
  *ok = work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool FfmpegRuns(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {"ffmpeg", "-y", "-hide_banner", "-loglevel", "error"};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProcess(argv).exitCode == 0;
}

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

void Report(const char* what, double bridge, bool bridgeOk, double ffmpeg, bool ffmpegOk) {
  std::printf("%-42s bridge %7.2f s%s   ffmpeg %7.2f s%s   ratio %.2f\n", what, bridge, bridgeOk ? "" : " (FAILED)",
              ffmpeg, ffmpegOk ? "" : " (FAILED)", bridge / ffmpeg);
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
  const std::string size = std::to_string(width) + ":" + std::to_string(height);
  bool bridgeOk = false, ffmpegOk = false;
  const double decode = Seconds([&] { return DecodeAndScale(clip, &frames); }, &bridgeOk);
  const double decodeCli = Seconds(
      [&] {
        return FfmpegRuns({"-i", clip, "-an", "-vf", "scale=" + size + ":flags=bicubic", "-pix_fmt", "bgra", "-f",
                           "null", "-"});
      },
      &ffmpegOk);
  std::printf("decode and scale to %dx%d BGRA: %d pictures\n", width, height, frames);
  Report("(a) decode + scale", decode, bridgeOk, decodeCli, ffmpegOk);

  const double encode = Seconds([&] { return Transcode(clip, dir.File("bridge.mpg")); }, &bridgeOk);
  const double encodeCli = Seconds(
      [&] {
        return FfmpegRuns({"-i", clip, "-vf", "scale=" + size + ":flags=bicubic", "-c:v", "mpeg2video", "-b:v",
                           "2M", "-c:a", "mp2", "-b:a", "192k", "-ar", "44100", dir.File("cli.mpg")});
      },
      &ffmpegOk);
  Report("(b) transcode to MPEG-2 2 Mbit/s + MP2", encode, bridgeOk, encodeCli, ffmpegOk);
  QeloDeInitializeCodecs(0);
  return 0;
}
