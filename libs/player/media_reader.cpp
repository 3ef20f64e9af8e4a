#include "media_reader.h"

#include <cstring>

#include "player_log.h"
#include "qelo/codecs.h"
#include "win/codepage.h"

namespace qelo::player {

namespace {

// The sound format every chunk is resampled to.
constexpr int kSampleRate = 44100;
constexpr int kBitsPerSample = 16;
constexpr int kChannels = 2;

}  // namespace

MediaReader::~MediaReader() { Release(); }

bool MediaReader::Open(const std::u16string& path, int32_t wantWidth, int32_t wantHeight) {
  mediaInfo_ = QeloMallocFileFormatInfo(nullptr);
  mediaHandle_ = QeloLoadMediaFile(path.c_str(), mediaInfo_);
  if (mediaHandle_ < 0) {
    PlayerLog().Write("failed to load media file(%s)", win::Utf16ToUtf8(path).c_str());
    return false;
  }
  for (int i = 0; i < mediaInfo_->streamCount && i < QELO_MAX_STREAM_INFOS; ++i) {
    const StreamInfo* stream = mediaInfo_->streams[i];
    if (!stream) continue;
    if (stream->type == STREAM_AUDIO) {
      facts_.hasAudio = true;
    } else if (stream->type == STREAM_VIDEO) {
      facts_.hasVideo = true;
      facts_.sourceWidth = stream->displayWidth;
      facts_.sourceHeight = stream->displayHeight;
      facts_.frameRateNum = stream->frameRateNum;
      facts_.frameRateDen = stream->frameRateDen;
      PlayerLog().Write("video size(%dx%d)", facts_.sourceWidth, facts_.sourceHeight);
    }
  }
  facts_.outputWidth = wantWidth;
  facts_.outputHeight = wantHeight;
  QeloResizeVideoSize(&facts_.outputWidth, &facts_.outputHeight, mediaHandle_);
  facts_.videoBufferSize = QeloGetVideoBuffersize(mediaHandle_);
  if (facts_.hasAudio) {
    QeloResample(kSampleRate, kBitsPerSample, kChannels, mediaHandle_);
    // The chunks arrive resampled, so the sound clock runs at the resampled
    // rate whatever the file's own format is.
    facts_.audioBytesPerSecond = kSampleRate * kBitsPerSample / 8 * kChannels;
    audioRing_ = std::make_unique<std::array<AudioFrame, AUDIO_RING_SLOTS>>();
  }
  videoEnded_ = !facts_.hasVideo;
  audioEnded_ = !facts_.hasAudio;
  running_ = true;
  // Normal priority: playback is real time, and at idle priority any busy
  // process on the machine starves the decoder, and with it the sound.
  if (!decoderThread_.Start([this] { DecodeLoop(); })) {
    running_ = false;
    PlayerLog().Write("failed to create decoder thread...");
    return false;
  }
  return true;
}

void MediaReader::Release() {
  {
    std::lock_guard guard(lock_);
    running_ = false;
  }
  spaceChanged_.notify_all();
  dataChanged_.notify_all();
  decoderThread_.Join();
  if (mediaHandle_ >= 0) QeloUnloadMediaFile(mediaHandle_);
  mediaHandle_ = -1;
  QeloFreeFileFormatInfo(mediaInfo_);
  mediaInfo_ = nullptr;
}

int64_t MediaReader::lastSeekPos() const {
  std::lock_guard guard(lock_);
  return lastSeekPos_;
}

void MediaReader::DecodeLoop() {
  for (;;) {
    {
      std::unique_lock guard(lock_);
      spaceChanged_.wait(guard, [this] {
        const bool wanted = (!videoEnded_ && videoCount_ < VIDEO_RING_SLOTS) ||
                            (!audioEnded_ && audioCount_ < AUDIO_RING_SLOTS);
        return !running_ || wanted;
      });
      if (!running_) return;
    }
    DecodeRound();
  }
}

// Sound first, then video, as long as each ring has room.
bool MediaReader::DecodeRound() {
  std::lock_guard round(roundLock_);
  VideoFrame* videoSlot = nullptr;
  AudioFrame* audioSlot = nullptr;
  {
    std::lock_guard guard(lock_);
    if (!running_) return false;
    if (!audioEnded_ && audioCount_ < AUDIO_RING_SLOTS) audioSlot = &(*audioRing_)[audioWriteIndex_];
    if (!videoEnded_ && videoCount_ < VIDEO_RING_SLOTS) {
      videoSlot = &videoRing_[videoWriteIndex_];
      std::vector<uint8_t>& pixels = videoPixels_[videoWriteIndex_];
      if (pixels.size() != size_t(facts_.videoBufferSize)) pixels.assign(facts_.videoBufferSize, 0);
      videoSlot->pixels = pixels.data();
      videoSlot->bufferSize = facts_.videoBufferSize;
    }
  }
  // The slots picked are outside the taken range, and no seek can run until
  // this round ends, so they are filled without the lock.
  const bool gotAudio = audioSlot && QeloGetNextAudioFrame(audioSlot, mediaHandle_) == 1;
  const bool gotVideo = videoSlot && QeloGetNextVideoFrame(videoSlot, mediaHandle_) == 1;
  {
    std::lock_guard guard(lock_);
    if (audioSlot) {
      audioEnded_ = !gotAudio;
      if (gotAudio) {
        audioWriteIndex_ = (audioWriteIndex_ + 1) % AUDIO_RING_SLOTS;
        ++audioCount_;
      }
    }
    if (videoSlot) {
      videoEnded_ = !gotVideo;
      if (gotVideo) {
        videoWriteIndex_ = (videoWriteIndex_ + 1) % VIDEO_RING_SLOTS;
        ++videoCount_;
      }
    }
  }
  dataChanged_.notify_all();
  return true;
}

bool MediaReader::TakeVideoFrame(VideoFrame* target) {
  if (!facts_.hasVideo || !target || !target->pixels) return false;
  std::unique_lock guard(lock_);
  dataChanged_.wait(guard, [this] { return videoCount_ > 0 || videoEnded_ || !running_; });
  if (videoCount_ == 0) return false;
  const VideoFrame& slot = videoRing_[videoReadIndex_];
  if (target->bufferSize < slot.bufferSize) {
    PlayerLog().Write("video buffer size small...");
    return false;
  }
  target->pts = slot.pts;
  target->nextPts = slot.nextPts;
  std::memcpy(target->pixels, slot.pixels, size_t(slot.bufferSize));
  videoReadIndex_ = (videoReadIndex_ + 1) % VIDEO_RING_SLOTS;
  --videoCount_;
  guard.unlock();
  spaceChanged_.notify_all();
  return true;
}

int MediaReader::DropVideoFramesBefore(int64_t time) {
  int dropped = 0;
  {
    std::lock_guard guard(lock_);
    while (videoCount_ > 1 && videoRing_[videoReadIndex_].pts < time) {
      videoReadIndex_ = (videoReadIndex_ + 1) % VIDEO_RING_SLOTS;
      --videoCount_;
      ++dropped;
    }
  }
  if (dropped) spaceChanged_.notify_all();
  return dropped;
}

bool MediaReader::TakeAudioChunk(uint8_t* buffer, int32_t* byteCount, int64_t* pts) {
  if (!facts_.hasAudio) return false;
  std::unique_lock guard(lock_);
  dataChanged_.wait(guard, [this] { return audioCount_ > 0 || audioEnded_ || !running_; });
  if (audioCount_ == 0) return false;
  const AudioFrame& slot = (*audioRing_)[audioReadIndex_];
  const int32_t bytes = std::min(std::max(slot.byteCount, 0), QELO_AUDIO_FRAME_BYTES);
  std::memcpy(buffer, slot.data, size_t(bytes));
  *byteCount = bytes;
  *pts = slot.pts;
  audioReadIndex_ = (audioReadIndex_ + 1) % AUDIO_RING_SLOTS;
  --audioCount_;
  guard.unlock();
  spaceChanged_.notify_all();
  return true;
}

bool MediaReader::Seek(int64_t position) {
  if (mediaHandle_ < 0) return false;
  std::lock_guard round(roundLock_);
  {
    std::lock_guard guard(lock_);
    if (QeloSeekMediaFile(position, mediaHandle_) != 1) return false;
    lastSeekPos_ = position;
    videoCount_ = videoReadIndex_ = videoWriteIndex_ = 0;
    audioCount_ = audioReadIndex_ = audioWriteIndex_ = 0;
    videoEnded_ = !facts_.hasVideo;
    audioEnded_ = !facts_.hasAudio;
  }
  spaceChanged_.notify_all();
  return true;
}

void MediaReader::FlushAudio() {
  if (mediaHandle_ >= 0) QeloFlushAudio(mediaHandle_);
}

}  // namespace qelo::player
