// One open file of a player instance: the codec bridge handle and a decoder
// thread (idle priority) that keeps a ring of 32 decoded frames and a ring of
// 8 sound chunks filled ahead of playback.
//
// Nothing here makes its caller wait for the decoder beyond a bound it names:
// takes find a frame or chunk or say there is none yet, and a seek is a
// request the decoder thread carries out before its next round. While the
// file is open, every codec bridge call but the audio flush of a frame step
// runs on the decoder thread. `lock_` guards the rings, the flags and the
// seek request; decoding runs outside it.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
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

// What a take found.
enum class Taken { Got, NotYet, Ended };

class MediaReader {
 public:
  MediaReader() = default;
  ~MediaReader();
  MediaReader(const MediaReader&) = delete;
  MediaReader& operator=(const MediaReader&) = delete;

  // Loads the file, asks for frames of wantWidth x wantHeight (0 x 0: the
  // source size) and 44,100 Hz 16-bit stereo sound, and starts the decoder
  // thread. `frameReady` is called on the decoder thread when a frame take
  // found nothing and since then a frame came or the video ended. False
  // (with a log line) when the file cannot be loaded.
  bool OpenPlayerMedia(const std::u16string& path, int32_t wantWidth, int32_t wantHeight,
                       std::function<void()> frameReady);
  // Tells the decoder thread to stop after its round; waits for nothing.
  void Stop();
  // Stops the decoder thread, waits for it and unloads the file.
  void ReleaseReader();

  const MediaFacts& facts() const { return facts_; }
  MediaInfo* mediaInfo() const { return mediaInfo_; }
  int mediaHandle() const { return mediaHandle_; }
  int64_t lastSeekPos() const;

  // Copies the next frame's time stamps and pixels into `target`, waiting at
  // most `wait` for the decoder. Ended at the end of the video, without a
  // video stream or when the target is too small; NotYet (and frameReady
  // later) while the decoder is behind.
  Taken TakeVideoFrame(VideoFrame* target, std::chrono::milliseconds wait = std::chrono::milliseconds(0));
  // Discards the queued frames due before `time`, always leaving the newest
  // queued frame. The count discarded.
  int DropVideoFramesBefore(int64_t time);
  // Copies the next sound chunk, waiting at most `wait` for the decoder; a
  // seek, a stop, or `giveUp` set and WakeSoundWaiters ends the wait. Ended
  // once the sound is over.
  Taken TakeAudioChunk(uint8_t* buffer, int32_t* byteCount, int64_t* pts,
                       std::chrono::milliseconds wait = std::chrono::milliseconds(0),
                       const std::atomic<bool>* giveUp = nullptr);
  // Wakes a take waiting for a chunk, to look at its `giveUp` again.
  void WakeSoundWaiters();
  // Whether the sound is over and every chunk was taken.
  bool SoundEnded() const;
  // Empties both rings and has the decoder seek to `position` before its
  // next round. With `showAt`, the frames that end at or before the position
  // are passed over (the last one is kept when the video ends first), so the
  // first frame after the seek is the one shown at the position.
  void SeekReader(int64_t position, bool showAt);
  void FlushAudio();

 private:
  struct Slots {
    VideoFrame* video = nullptr;
    int videoIndex = -1;
    AudioFrame* audio = nullptr;
    uint64_t generation = 0;
    bool seek = false;
    int64_t seekTo = 0;
  };

  // The facts of the file's streams, from its MediaInfo.
  void ScanStreams();
  void PlayerDecodeLoop();
  bool Wanted() const;
  Slots PickSlots();
  void DecodeRound();
  // Under the lock: stores what a round decoded; whether a frame taker is
  // to be told.
  bool StoreVideo(int index, bool got);
  void PublishVideo(int index);
  int64_t FrameEnd(const VideoFrame& frame) const;

  MediaFacts facts_;
  MediaInfo* mediaInfo_ = nullptr;
  int mediaHandle_ = -1;
  std::function<void()> frameReady_;

  mutable std::mutex lock_;
  // The decoder waits on spaceEvent_ while its rings are full (a take, a
  // drop, a seek or a stop wakes it) and on restartEvent_ once both streams
  // have ended (a seek or a stop wakes it); takers wait on dataEvent_ (a
  // frame or chunk stored, a stream ended, a seek or a stop).
  std::condition_variable spaceEvent_;
  std::condition_variable restartEvent_;
  std::condition_variable dataEvent_;

  std::array<VideoFrame, VIDEO_RING_SLOTS> videoRing_{};
  std::array<std::vector<uint8_t>, VIDEO_RING_SLOTS> videoPixels_;
  int videoCount_ = 0, videoReadIndex_ = 0, videoWriteIndex_ = 0;
  std::unique_ptr<std::array<AudioFrame, AUDIO_RING_SLOTS>> audioRing_;
  int audioCount_ = 0, audioReadIndex_ = 0, audioWriteIndex_ = 0;
  bool videoEnded_ = false, audioEnded_ = false;
  bool running_ = false;
  bool frameWanted_ = false;  // a video take found nothing
  // The seek asked for and not yet made; each seek starts a generation, and
  // what a round decoded for an older one is thrown away.
  bool seekPending_ = false;
  int64_t seekTarget_ = 0;
  uint64_t generation_ = 0;
  int64_t lastSeekPos_ = 0;
  // Frames ending at or before this are passed over (showAt seeks); -1 none.
  int64_t passOverUntil_ = -1;
  int heldIndex_ = -1;  // the last frame passed over, kept for a video that ends

  win::Thread decoderThread_;
};

}  // namespace qelo::player
