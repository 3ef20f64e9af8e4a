// A made-up decoder for the source reader: each "file" is a script of how
// long its video and audio run, at which frame interval and chunk length,
// and where a seek lands. Frames carry their index in every pixel byte.
#pragma once

#include <future>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "decoder_api.h"
#include "qelo/convertor.h"

namespace qelo::test {

struct FakeSource {
  int width = 8, height = 4;
  int64_t videoLength = 0;  // 100-ns units; 0: no video stream
  int64_t frameInterval = 400000;
  int64_t audioLength = 0;  // 0: no audio stream
  int64_t chunkDuration = 1000000;
  int64_t seekShortfall = 0;  // a seek lands this much before its target
  bool readFails = false;     // reading the file stops on a failure at its end
  std::shared_future<void> openGate{};  // when valid, opening waits for it
  std::shared_future<void> audioEndGate{};  // when valid, the sound's end is answered after it
};

class FakeDecoder final : public convertor::DecoderApi {
 public:
  void Add(const std::u16string& path, const FakeSource& source);
  std::vector<int64_t> Seeks() const;

  int Load(const char16_t* path) override;
  void Unload(int handle) override;
  int VideoBufferSize(int handle) override;
  bool NextVideoFrame(VideoFrame* frame, int handle) override;
  bool NextAudioChunk(AudioFrame* chunk, int handle) override;
  void FlushVideo(int) override {}
  void FlushAudio(int) override {}
  void ResizeVideo(int32_t* width, int32_t* height, int handle) override;
  void Resample(int sampleRate, int bitsPerSample, int channels, int handle) override;
  void Seek(int64_t time, int handle) override;
  bool ReadFailed(int handle) override;

 private:
  struct Open {
    FakeSource source;
    int64_t videoAt = 0, audioAt = 0;
    int bytesPerSecond = 0;
    int frameIndex = 0;
  };
  mutable std::mutex mutex_;
  std::map<std::u16string, FakeSource> sources_;
  std::map<int, Open> open_;
  std::vector<int64_t> seeks_;
  int nextHandle_ = 0;
};

// A group over the fake sources: output `width` x `height` (video codec
// MPEG-2, or none when `video` is false), 16,000 Hz mono 16-bit sound
// (32,000 bytes a second) in MP2.
struct FakeGroup {
  WorkGroup group{};
  std::vector<SourceEntry> entries;
  FakeGroup(int width, int height, bool video = true);
  // Appends an entry for `path` of `duration`, trimmed when trimEnd > 0.
  SourceEntry& Add(const std::u16string& path, int64_t duration, int64_t trimStart = 0, int64_t trimEnd = 0);
  const WorkGroup& Finish();  // points `group.sources` at the entries
};

}  // namespace qelo::test
