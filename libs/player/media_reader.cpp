#include "media_reader.h"

#include <pthread.h>

#include <cstring>
#include <utility>

#include "player_log.h"
#include "qelo/codecs.h"
#include "win/codepage.h"

namespace qelo::player {

namespace {

// The sound format every chunk is resampled to.
constexpr int kSampleRate = 44100;
constexpr int kBitsPerSample = 16;
constexpr int kChannels = 2;

constexpr int64_t kSecond = 10000000;

}  // namespace

MediaReader::~MediaReader() { ReleaseReader(); }

bool MediaReader::OpenPlayerMedia(const std::u16string& path, int32_t wantWidth, int32_t wantHeight,
                                  std::function<void()> frameReady) {
  frameReady_ = std::move(frameReady);
  mediaInfo_ = QeloMallocFileFormatInfo(nullptr);
  mediaHandle_ = QeloLoadMediaFile(path.c_str(), mediaInfo_);
  if (mediaHandle_ < 0) {
    gLog.Write("failed to load media file(%s)", win::Utf16ToUtf8(path).c_str());
    return false;
  }
  ScanStreams();
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
  if (!decoderThread_.Start([this] { PlayerDecodeLoop(); }, win::ThreadPriority::Idle)) {
    running_ = false;
    gLog.Write("failed to create decoder thread...");
    return false;
  }
  return true;
}

void MediaReader::ScanStreams() {
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
      gLog.Write("video size(%dx%d)", facts_.sourceWidth, facts_.sourceHeight);
    }
  }
}

void MediaReader::Stop() {
  {
    std::lock_guard guard(lock_);
    running_ = false;
  }
  spaceEvent_.notify_all();
  restartEvent_.notify_all();
  dataEvent_.notify_all();
}

void MediaReader::ReleaseReader() {
  Stop();
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

bool MediaReader::Wanted() const {
  // A frame being passed over keeps its slot, so the next one needs another.
  const int videoRoom = VIDEO_RING_SLOTS - (heldIndex_ >= 0 ? 1 : 0);
  return seekPending_ || (!videoEnded_ && videoCount_ < videoRoom) ||
         (!audioEnded_ && audioCount_ < AUDIO_RING_SLOTS);
}

void MediaReader::PlayerDecodeLoop() {
  pthread_setname_np(pthread_self(), "PlayerDecode");
  for (;;) {
    {
      std::unique_lock guard(lock_);
      const auto work = [this] { return !running_ || Wanted(); };
      if (videoEnded_ && audioEnded_) restartEvent_.wait(guard, work);
      else spaceEvent_.wait(guard, work);
      if (!running_) return;
    }
    DecodeRound();
  }
}

// Under the lock: the seek to make and the slots to fill in this round,
// sound before video, as long as each ring has room.
MediaReader::Slots MediaReader::PickSlots() {
  Slots slots;
  slots.generation = generation_;
  if (seekPending_) {
    slots.seek = true;
    slots.seekTo = seekTarget_;
    seekPending_ = false;
  }
  if (!audioEnded_ && audioCount_ < AUDIO_RING_SLOTS) slots.audio = &(*audioRing_)[audioWriteIndex_];
  const int videoRoom = VIDEO_RING_SLOTS - (heldIndex_ >= 0 ? 1 : 0);
  if (!videoEnded_ && videoCount_ < videoRoom) {
    // A frame held back sits at the write index; the next one goes after it.
    const int index = heldIndex_ >= 0 ? (videoWriteIndex_ + 1) % VIDEO_RING_SLOTS : videoWriteIndex_;
    std::vector<uint8_t>& pixels = videoPixels_[index];
    if (pixels.size() != size_t(facts_.videoBufferSize)) pixels.assign(facts_.videoBufferSize, 0);
    slots.video = &videoRing_[index];
    slots.video->pixels = pixels.data();
    slots.video->bufferSize = facts_.videoBufferSize;
    slots.videoIndex = index;
  }
  return slots;
}

// The slots picked are outside the taken range, and a seek only ever empties
// the rings, so they are filled without the lock; a round that a seek
// overtook keeps nothing.
void MediaReader::DecodeRound() {
  Slots slots;
  {
    std::lock_guard guard(lock_);
    if (!running_) return;
    slots = PickSlots();
  }
  if (slots.seek && QeloSeekMediaFile(slots.seekTo, mediaHandle_) != 1) gLog.Write("failed to seek file...");
  const bool gotAudio = slots.audio && QeloGetNextAudioFrame(slots.audio, mediaHandle_) == 1;
  const bool gotVideo = slots.video && QeloGetNextVideoFrame(slots.video, mediaHandle_) == 1;
  bool tell = false;
  {
    std::lock_guard guard(lock_);
    if (slots.generation != generation_) return;
    if (slots.audio) {
      audioEnded_ = !gotAudio;
      if (gotAudio) {
        audioWriteIndex_ = (audioWriteIndex_ + 1) % AUDIO_RING_SLOTS;
        ++audioCount_;
      }
    }
    if (slots.video) tell = StoreVideo(slots.videoIndex, gotVideo);
  }
  dataEvent_.notify_all();
  if (tell && frameReady_) frameReady_();
}

int64_t MediaReader::FrameEnd(const VideoFrame& frame) const {
  if (facts_.frameRateNum > 0) return frame.pts + kSecond * facts_.frameRateDen / facts_.frameRateNum;
  return frame.nextPts;
}

void MediaReader::PublishVideo(int index) {
  if (index != videoWriteIndex_) {
    std::swap(videoRing_[index], videoRing_[videoWriteIndex_]);
    std::swap(videoPixels_[index], videoPixels_[videoWriteIndex_]);
  }
  videoWriteIndex_ = (videoWriteIndex_ + 1) % VIDEO_RING_SLOTS;
  ++videoCount_;
}

bool MediaReader::StoreVideo(int index, bool got) {
  if (!got) {
    // A video that ends before the position sought shows its last frame.
    if (heldIndex_ >= 0) PublishVideo(heldIndex_);
    videoEnded_ = true;
  } else if (passOverUntil_ >= 0 && FrameEnd(videoRing_[index]) <= passOverUntil_) {
    if (index != videoWriteIndex_) {
      std::swap(videoRing_[index], videoRing_[videoWriteIndex_]);
      std::swap(videoPixels_[index], videoPixels_[videoWriteIndex_]);
    }
    heldIndex_ = videoWriteIndex_;
    return false;
  } else {
    PublishVideo(index);
    videoEnded_ = false;
  }
  heldIndex_ = -1;
  passOverUntil_ = -1;
  const bool tell = frameWanted_;
  frameWanted_ = false;
  return tell;
}

Taken MediaReader::TakeVideoFrame(VideoFrame* target, std::chrono::milliseconds wait) {
  if (!facts_.hasVideo || !target || !target->pixels) return Taken::Ended;
  std::unique_lock guard(lock_);
  if (wait.count() > 0)
    dataEvent_.wait_for(guard, wait, [this] { return videoCount_ > 0 || videoEnded_ || !running_; });
  if (videoCount_ == 0) {
    if (videoEnded_) return Taken::Ended;
    frameWanted_ = true;
    return Taken::NotYet;
  }
  const VideoFrame& slot = videoRing_[videoReadIndex_];
  if (target->bufferSize < slot.bufferSize) {
    gLog.Write("video buffer size small...");
    return Taken::Ended;
  }
  target->pts = slot.pts;
  target->nextPts = slot.nextPts;
  std::memcpy(target->pixels, slot.pixels, size_t(slot.bufferSize));
  videoReadIndex_ = (videoReadIndex_ + 1) % VIDEO_RING_SLOTS;
  --videoCount_;
  guard.unlock();
  spaceEvent_.notify_all();
  return Taken::Got;
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
  if (dropped) spaceEvent_.notify_all();
  return dropped;
}

Taken MediaReader::TakeAudioChunk(uint8_t* buffer, int32_t* byteCount, int64_t* pts,
                                  std::chrono::milliseconds wait, const std::atomic<bool>* giveUp) {
  if (!facts_.hasAudio) return Taken::Ended;
  std::unique_lock guard(lock_);
  const uint64_t generation = generation_;
  if (wait.count() > 0)
    dataEvent_.wait_for(guard, wait, [&] {
      return audioCount_ > 0 || audioEnded_ || !running_ || generation_ != generation ||
             (giveUp && giveUp->load());
    });
  if (audioCount_ == 0) return audioEnded_ ? Taken::Ended : Taken::NotYet;
  const AudioFrame& slot = (*audioRing_)[audioReadIndex_];
  const int32_t bytes = std::min(std::max(slot.byteCount, 0), QELO_AUDIO_FRAME_BYTES);
  std::memcpy(buffer, slot.data, size_t(bytes));
  *byteCount = bytes;
  *pts = slot.pts;
  audioReadIndex_ = (audioReadIndex_ + 1) % AUDIO_RING_SLOTS;
  --audioCount_;
  guard.unlock();
  spaceEvent_.notify_all();
  return Taken::Got;
}

void MediaReader::WakeSoundWaiters() {
  // Through the lock, so a take between its test and its wait is not missed.
  { std::lock_guard guard(lock_); }
  dataEvent_.notify_all();
}

bool MediaReader::SoundEnded() const {
  std::lock_guard guard(lock_);
  return facts_.hasAudio && audioEnded_ && audioCount_ == 0;
}

void MediaReader::SeekReader(int64_t position, bool showAt) {
  {
    std::lock_guard guard(lock_);
    seekPending_ = true;
    seekTarget_ = position;
    ++generation_;
    lastSeekPos_ = position;
    videoCount_ = videoReadIndex_ = videoWriteIndex_ = 0;
    audioCount_ = audioReadIndex_ = audioWriteIndex_ = 0;
    videoEnded_ = !facts_.hasVideo;
    audioEnded_ = !facts_.hasAudio;
    passOverUntil_ = showAt && facts_.hasVideo ? position : -1;
    heldIndex_ = -1;
  }
  spaceEvent_.notify_all();
  restartEvent_.notify_all();
  dataEvent_.notify_all();
}

void MediaReader::FlushAudio() {
  if (mediaHandle_ >= 0) QeloFlushAudio(mediaHandle_);
}

}  // namespace qelo::player
