// The decoding calls the source reader makes, behind an interface so that
// the timeline rules can be exercised with made-up streams.
#pragma once

#include <cstdint>

#include "qelo/media.h"

namespace qelo::convertor {

class DecoderApi {
 public:
  virtual ~DecoderApi() = default;
  virtual int Load(const char16_t* path) = 0;  // handle, -1 on failure
  virtual void Unload(int handle) = 0;
  virtual int VideoBufferSize(int handle) = 0;
  virtual bool NextVideoFrame(VideoFrame* frame, int handle) = 0;
  virtual bool NextAudioChunk(AudioFrame* chunk, int handle) = 0;
  virtual void FlushVideo(int handle) = 0;
  virtual void FlushAudio(int handle) = 0;
  virtual void ResizeVideo(int32_t* width, int32_t* height, int handle) = 0;
  virtual void Resample(int sampleRate, int bitsPerSample, int channels, int handle) = 0;
  virtual void Seek(int64_t time, int handle) = 0;
  // Reading the file stopped on a failure, not at its end.
  virtual bool ReadFailed(int handle) = 0;
};

// The codec bridge itself.
DecoderApi& CodecBridgeDecoder();

}  // namespace qelo::convertor
