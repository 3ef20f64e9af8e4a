// One open file of a player instance: the codec bridge handle and a decoder
// thread (normal priority) that keeps a ring of 32 decoded frames and a ring of
// 8 sound chunks filled ahead of playback.
//
// Locks: `lock_` guards the rings and flags; `roundLock_` is held by the
// decoder thread for each decode-and-store round and by a seek, so a seek
// never interleaves with a round and no frame decoded before the seek is
// stored after it. Decoding runs outside `lock_`, so takers are not held up
// by it. Order: roundLock_ before lock_; the instance lock comes before both.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "qelo/media.h"
#include "win/thread.h"

namespace qelo::player {

constexpr int VIDEO_RING_SLOTS = 32;
constexpr int AUDIO_RING_SLOTS = 8;

struct MediaFacts {
  bool hasVideo = false;
  bool hasAudio = false;
  int32_t audioBytesPerSecond = 0;  // of the resampled sound the chunks carry
  int32_t sourceWidth = 0, sourceHeight = 0;
  int32_t outputWidth = 0, outputHeight = 0;  // decoded frame size
  int32_t videoBufferSize = 0;
  int32_t frameRateNum = 0, frameRateDen = 0;
};

class MediaReader {
 public:
  MediaReader() = default;
  ~MediaReader();
  MediaReader(const MediaReader&) = delete;
  MediaReader& operator=(const MediaReader&) = delete;

  // Loads the file, asks for frames of wantWidth x wantHeight (0 x 0: the
  // source size) and 44,100 Hz 16-bit stereo sound, and starts the decoder
  // thread. False (with a log line) when the file cannot be loaded.
  bool Open(const std::u16string& path, int32_t wantWidth, int32_t wantHeight);
  // Stops and joins the decoder thread and unloads the file.
  void Release();

  const MediaFacts& facts() const { return facts_; }
  MediaInfo* mediaInfo() const { return mediaInfo_; }
  int mediaHandle() const { return mediaHandle_; }
  int64_t lastSeekPos() const;

  // Copies the next frame's time stamps and pixels into `target`, waiting
  // for the decoder when the ring is empty. False at the end of the video,
  // without a video stream or when the target is too small.
  bool TakeVideoFrame(VideoFrame* target);
  // Discards, without waiting, the queued frames due before `time`, always
  // leaving the newest queued frame. The count discarded.
  int DropVideoFramesBefore(int64_t time);
  // Copies the next sound chunk; false at the end of the sound.
  bool TakeAudioChunk(uint8_t* buffer, int32_t* byteCount, int64_t* pts);
  // Seeks the file and empties both rings.
  bool Seek(int64_t position);
  void FlushAudio();

 private:
  void DecodeLoop();
  bool DecodeRound();

  MediaFacts facts_;
  MediaInfo* mediaInfo_ = nullptr;
  int mediaHandle_ = -1;

  mutable std::mutex lock_;
  std::mutex roundLock_;
  std::condition_variable dataChanged_;   // a frame or chunk arrived, or a stream ended
  std::condition_variable spaceChanged_;  // a slot was taken, a seek happened, or stop

  std::array<VideoFrame, VIDEO_RING_SLOTS> videoRing_{};
  std::array<std::vector<uint8_t>, VIDEO_RING_SLOTS> videoPixels_;
  int videoCount_ = 0, videoReadIndex_ = 0, videoWriteIndex_ = 0;
  std::unique_ptr<std::array<AudioFrame, AUDIO_RING_SLOTS>> audioRing_;
  int audioCount_ = 0, audioReadIndex_ = 0, audioWriteIndex_ = 0;
  bool videoEnded_ = false, audioEnded_ = false;
  bool running_ = false;
  int64_t lastSeekPos_ = 0;

  win::Thread decoderThread_;
};

}  // namespace qelo::player
