// The bytes of the bridge's frames: however the bridge decodes and scales
// (threads, the scaler writing straight into the caller's frame or not),
// every frame is the one picture that FFmpeg's decoder and one bicubic
// scale from the decoded format to 32-bit BGRA give, turned upright where
// the file says so.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "codecs/codec_test_support.h"
#include "codecs/fixtures.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace qelo::test {
namespace {

using Picture = std::vector<uint8_t>;

// Turns a tightly packed 32-bit picture clockwise by `degrees`.
Picture Turned(const Picture& from, int width, int height, int degrees) {
  if (degrees == 0) return from;
  Picture to(from.size());
  const bool sideways = degrees != 180;
  const int toWidth = sideways ? height : width, toHeight = sideways ? width : height;
  for (int y = 0; y < toHeight; ++y) {
    for (int x = 0; x < toWidth; ++x) {
      const int fromX = degrees == 90 ? y : degrees == 180 ? width - 1 - x : width - 1 - y;
      const int fromY = degrees == 90 ? height - 1 - x : degrees == 180 ? height - 1 - y : x;
      std::memcpy(&to[(size_t(y) * toWidth + x) * 4], &from[(size_t(fromY) * width + fromX) * 4], 4);
    }
  }
  return to;
}

struct FormatCloser {
  void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct CodecFreer {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFreer {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFreer {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct ScalerFreer {
  void operator()(SwsContext* s) const { sws_freeContext(s); }
};

// The decoded picture scaled, by one plain bicubic scale into a picture of
// FFmpeg's own, to width x height (before the turn), then turned.
Picture ScaledAndTurned(const AVFrame* decoded, int width, int height, int degrees) {
  std::unique_ptr<SwsContext, ScalerFreer> scaler(
      sws_getContext(decoded->width, decoded->height, AVPixelFormat(decoded->format), width, height,
                     AV_PIX_FMT_BGRA, SWS_BICUBIC, nullptr, nullptr, nullptr));
  std::unique_ptr<AVFrame, FrameFreer> scaled(av_frame_alloc());
  scaled->format = AV_PIX_FMT_BGRA;
  scaled->width = width;
  scaled->height = height;
  if (!scaler || av_frame_get_buffer(scaled.get(), 0) < 0) return {};
  sws_scale(scaler.get(), decoded->data, decoded->linesize, 0, decoded->height, scaled->data,
            scaled->linesize);
  Picture tight(size_t(width) * height * 4);
  for (int y = 0; y < height; ++y)
    std::memcpy(&tight[size_t(y) * width * 4], scaled->data[0] + size_t(y) * scaled->linesize[0],
                size_t(width) * 4);
  return Turned(tight, width, height, degrees);
}

// Every picture of the file's video stream, in the order shown, delivered
// at width x height (the upright size).
std::vector<Picture> ReferenceFrames(const std::string& path, int width, int height, int degrees) {
  AVFormatContext* opened = nullptr;
  if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0) return {};
  std::unique_ptr<AVFormatContext, FormatCloser> format(opened);
  if (avformat_find_stream_info(format.get(), nullptr) < 0) return {};
  const AVCodec* decoder = nullptr;
  const int index = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
  if (index < 0) return {};
  std::unique_ptr<AVCodecContext, CodecFreer> codec(avcodec_alloc_context3(decoder));
  avcodec_parameters_to_context(codec.get(), format->streams[index]->codecpar);
  codec->thread_count = 1;
  if (avcodec_open2(codec.get(), decoder, nullptr) < 0) return {};
  const bool sideways = degrees == 90 || degrees == 270;
  const int scaledWidth = sideways ? height : width, scaledHeight = sideways ? width : height;

  std::vector<Picture> pictures;
  std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
  std::unique_ptr<AVFrame, FrameFreer> decoded(av_frame_alloc());
  auto receive = [&] {
    while (avcodec_receive_frame(codec.get(), decoded.get()) == 0)
      pictures.push_back(ScaledAndTurned(decoded.get(), scaledWidth, scaledHeight, degrees));
  };
  while (av_read_frame(format.get(), packet.get()) >= 0) {
    if (packet->stream_index == index && avcodec_send_packet(codec.get(), packet.get()) == 0) receive();
    av_packet_unref(packet.get());
  }
  avcodec_send_packet(codec.get(), nullptr);
  receive();
  return pictures;
}

size_t DifferingBytes(const Picture& a, const Picture& b) {
  if (a.size() != b.size()) return std::max(a.size(), b.size());
  size_t count = 0;
  for (size_t i = 0; i < a.size(); ++i) count += a[i] != b[i];
  return count;
}

using FrameBytes = OpenFileTest;

TEST_F(FrameBytes, EveryFrameIsOneBicubicScaleOfTheDecodedPicture) {
  struct Clip {
    const char* label;
    std::string path;
    int degrees;  // the clockwise turn that shows the file upright
  } clips[] = {
      {"H.264 with B-frames", VideoAudioClip(), 0},
      {"MPEG-4 part 2", VideoOnlyClip(), 0},
      {"MPEG-2 with a wide sample aspect", WideSampleAspectClip(), 0},
      {"MJPEG with full chroma", Orange444Clip(), 0},
      {"a size no multiple of 16", OddSizeClip(), 0},
      {"turned a quarter counter-clockwise", TurnedClip(90), 270},
      {"turned a half", TurnedClip(180), 180},
      {"turned a quarter clockwise", TurnedClip(270), 90},
  };
  // Asked sizes as fractions of the display size: as shown, smaller (an
  // odd width among them) and larger.
  const struct {
    int num, den;
  } scales[] = {{1, 1}, {1, 2}, {5, 8}, {3, 2}};
  for (const Clip& clip : clips) {
    SCOPED_TRACE(clip.label);
    for (const auto& scale : scales) {
      SCOPED_TRACE(scale.num * 100 / scale.den);
      MediaInfo* info = QeloMallocFileFormatInfo(nullptr);
      handle_ = Load(clip.path, info);
      ASSERT_GE(handle_, 0);
      int32_t width = info->streams[0]->displayWidth * scale.num / scale.den;
      int32_t height = info->streams[0]->displayHeight * scale.num / scale.den;
      QeloFreeFileFormatInfo(info);
      ASSERT_EQ(QeloResizeVideoSize(&width, &height, handle_), 1);
      OwnedFrame f(QeloGetVideoBuffersize(handle_));
      std::vector<Picture> delivered;
      while (QeloGetNextVideoFrame(&f.frame, handle_) == 1) delivered.push_back(f.buffer);
      ASSERT_FALSE(delivered.empty());
      const auto reference = ReferenceFrames(clip.path, f.frame.width, f.frame.height, clip.degrees);
      ASSERT_EQ(delivered.size(), reference.size());
      for (size_t i = 0; i < delivered.size(); ++i)
        ASSERT_EQ(DifferingBytes(delivered[i], reference[i]), 0u)
            << "frame " << i << " of " << f.frame.width << "x" << f.frame.height;
      QeloUnloadMediaFile(handle_);
      handle_ = -1;
    }
  }
}

}  // namespace
}  // namespace qelo::test
