#include "decoder_api.h"

#include "qelo/codecs.h"

namespace qelo::convertor {
namespace {

class BridgeDecoder final : public DecoderApi {
 public:
  int Load(const char16_t* path) override { return QeloLoadMediaFile(path, nullptr); }
  void Unload(int handle) override { QeloUnloadMediaFile(handle); }
  int VideoBufferSize(int handle) override { return QeloGetVideoBuffersize(handle); }
  bool NextVideoFrame(VideoFrame* frame, int handle) override {
    return QeloGetNextVideoFrame(frame, handle) == 1;
  }
  bool NextAudioChunk(AudioFrame* chunk, int handle) override {
    return QeloGetNextAudioFrame(chunk, handle) == 1;
  }
  void FlushVideo(int handle) override { QeloFlushVideo(handle); }
  void FlushAudio(int handle) override { QeloFlushAudio(handle); }
  void ResizeVideo(int32_t* width, int32_t* height, int handle) override {
    QeloResizeVideoSize(width, height, handle);
  }
  void Resample(int sampleRate, int bitsPerSample, int channels, int handle) override {
    QeloResample(sampleRate, bitsPerSample, channels, handle);
  }
  void Seek(int64_t time, int handle) override { QeloSeekMediaFile(time, handle); }
  bool ReadFailed(int handle) override { return QeloMediaReadFailed(handle) == 1; }
};

}  // namespace

DecoderApi& CodecBridgeDecoder() {
  static BridgeDecoder bridge;
  return bridge;
}

}  // namespace qelo::convertor
