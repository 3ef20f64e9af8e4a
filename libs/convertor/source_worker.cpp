#include "source_worker.h"

#include <algorithm>
#include <cstring>

#include "convertor_log.h"
#include "win/codepage.h"
#include "work_group.h"

namespace qelo::convertor {
namespace {

constexpr int64_t kFillerFrameDuration = 500000;  // half a second
constexpr int64_t kUnitsPerSecond = QELO_TIME_UNITS_PER_SECOND;

int Next(int index, int slots) { return (index + 1) % slots; }

}  // namespace

SourceWorker::SourceWorker(const WorkGroup& group, DecoderApi& decoder, EffectBandPool* bandPool)
    : group_(group),
      decoder_(decoder),
      bytesPerSecond_(BytesPerSecond(group.format)),
      sampleFrameBytes_(BytesPerSampleFrame(group.format)),
      outputWidth_(group.format.width),
      outputHeight_(group.format.height),
      compositor_(bandPool),
      audioRing_(std::make_unique<std::array<AudioFrame, AUDIO_RING_SLOTS>>()) {
  thread_.Start([this] { ReadSources(); });
}

SourceWorker::~SourceWorker() {
  stopFlag_ = true;
  spaceEvent_.Set();
  dataEvent_.Set();
  thread_.Join();
  UnloadMedia();
}

void SourceWorker::UnloadMedia() {
  if (mediaHandle_ < 0) return;
  decoder_.Unload(mediaHandle_);
  mediaHandle_ = -1;
}

void SourceWorker::ReadSources() {
  int64_t offset = 0;
  for (int k = 0; k < group_.sourceCount && !stopFlag_; ++k) {
    if (!ReadSource(k, offset)) break;
    offset += EntryLength(*group_.sources[k]);
  }
  StopReading();
}

void SourceWorker::StopReading() {
  stopFlag_ = true;
  dataEvent_.Set();
}

bool SourceWorker::ReadSource(int index, int64_t offset) {
  const SourceEntry& source = *group_.sources[index];
  UnloadMedia();
  mediaHandle_ = decoder_.Load(source.path);
  if (mediaHandle_ < 0) {
    gLog.Write("failed to decode file(%s)", win::Utf16ToUtf8(win::Utf16Field(source.path, QELO_PATH_CHARS)).c_str());
    return false;
  }
  const bool trimmed = source.trimEnabled == 1;
  {
    win::CriticalSectionLock hold(lock_);
    videoEnded_ = !HasVideo(group_.format);
    audioEnded_ = false;
    if (!videoEnded_) {
      outputWidth_ = group_.format.width;
      outputHeight_ = group_.format.height;
      decoder_.ResizeVideo(&outputWidth_, &outputHeight_, mediaHandle_);
    }
  }
  if (HasVideo(group_.format) && trimmed && source.trimStart > 0) decoder_.Seek(source.trimStart, mediaHandle_);
  // A group without sound asks no PCM format (its rate and channels may be 0).
  if (HasAudio(group_.format))
    decoder_.Resample(group_.format.sampleRate, group_.format.bitsPerSample, group_.format.channels, mediaHandle_);

  const int64_t shift = offset - (trimmed ? source.trimStart : 0);
  while (WaitForWork()) {
    bool video, audio;
    {
      win::CriticalSectionLock hold(lock_);
      video = !videoEnded_ && videoCount_ < VIDEO_RING_SLOTS;
      audio = !audioEnded_ && audioCount_ < AUDIO_RING_SLOTS;
    }
    // Packets queued for a stream that has ended are thrown away.
    if (videoEnded_) decoder_.FlushVideo(mediaHandle_);
    if (audioEnded_) decoder_.FlushAudio(mediaHandle_);
    if (video) ReadVideoFrame(source, offset, shift);
    if (audio) ReadAudioChunk(source, offset, shift);
    if (videoEnded_ && audioEnded_) break;
  }
  return true;
}

bool SourceWorker::WaitForWork() {
  for (;;) {
    if (stopFlag_) return false;
    {
      win::CriticalSectionLock hold(lock_);
      if ((!videoEnded_ && videoCount_ < VIDEO_RING_SLOTS) || (!audioEnded_ && audioCount_ < AUDIO_RING_SLOTS))
        return true;
    }
    spaceEvent_.Wait();
    spaceEvent_.Reset();
  }
}

// The slot at videoWrite_ is the reader's own until it is counted, so the
// decoding and compositing run without the lock.
void SourceWorker::ReadVideoFrame(const SourceEntry& source, int64_t offset, int64_t shift) {
  OwnedFrame& slot = videoRing_[videoWrite_];
  slot.Reserve(decoder_.VideoBufferSize(mediaHandle_));
  if (!slot.frame.pixels || !decoder_.NextVideoFrame(&slot.frame, mediaHandle_)) {
    EndStream(&videoEnded_, &videoEnd_, offset + EntryLength(source));
    return;
  }
  const bool pastTrimEnd = source.trimEnabled == 1 && slot.frame.pts >= source.trimEnd;
  slot.frame.pts += shift;
  slot.frame.nextPts += shift;
  const bool keep = slot.frame.pts >= 0;
  if (keep) compositor_.Composite(source, &slot.frame);
  Publish(keep, pastTrimEnd, &videoEnded_, &videoWrite_, &videoCount_, VIDEO_RING_SLOTS);
}

void SourceWorker::ReadAudioChunk(const SourceEntry& source, int64_t offset, int64_t shift) {
  AudioFrame& slot = (*audioRing_)[audioWrite_];
  if (!decoder_.NextAudioChunk(&slot, mediaHandle_)) {
    EndStream(&audioEnded_, &audioEnd_, offset + EntryLength(source));
    return;
  }
  const bool pastTrimEnd = source.trimEnabled == 1 && slot.pts >= source.trimEnd;
  slot.pts += shift;
  const bool keep = slot.pts >= 0;
  Publish(keep, pastTrimEnd, &audioEnded_, &audioWrite_, &audioCount_, AUDIO_RING_SLOTS);
}

void SourceWorker::EndStream(bool* ended, int64_t* end, int64_t at) {
  win::CriticalSectionLock hold(lock_);
  *end = at;
  *ended = true;
  dataEvent_.Set();
}

// Counts the slot just filled when it is kept; a frame or chunk at or past
// the trim end is the stream's last.
void SourceWorker::Publish(bool keep, bool pastTrimEnd, bool* ended, int* write, int* count, int slots) {
  win::CriticalSectionLock hold(lock_);
  if (pastTrimEnd) *ended = true;
  if (keep) {
    *write = Next(*write, slots);
    ++*count;
  }
  if (keep || pastTrimEnd) dataEvent_.Set();
}

bool SourceWorker::ReaderWaitsForSpace() const {
  if (stopFlag_ || (videoEnded_ && audioEnded_)) return false;
  return (videoEnded_ || videoCount_ == VIDEO_RING_SLOTS) && (audioEnded_ || audioCount_ == AUDIO_RING_SLOTS);
}

Fetch SourceWorker::FetchVideoFrame(int64_t t, OwnedFrame* target) {
  if (!HasVideo(group_.format)) return Fetch::None;
  std::unique_lock<win::CriticalSection> hold(lock_);
  for (;;) {
    while (videoCount_ > 0 && t >= videoRing_[videoRead_].frame.nextPts) {
      videoRead_ = Next(videoRead_, VIDEO_RING_SLOTS);
      --videoCount_;
      spaceEvent_.Set();
    }
    if (videoCount_ > 0) {
      // The frame stays: it serves every time inside its display interval.
      CopyFrame(videoRing_[videoRead_].frame, target);
      return Fetch::Got;
    }
    if (stopFlag_) {
      dataEvent_.Set();
      return Fetch::None;
    }
    // The source's video ended before its entry did: black until its end.
    if (videoEnded_ && t <= videoEnd_) {
      GiveFillerFrame(t, target);
      return Fetch::Got;
    }
    spaceEvent_.Set();
    if (!WaitForData(hold)) return Fetch::Later;
  }
}

// Waits, without the lock, for the reader's next frame, chunk or end; false
// at once when the reader itself waits for room, which only the other
// stream's fetch can make.
bool SourceWorker::WaitForData(std::unique_lock<win::CriticalSection>& hold) {
  if (ReaderWaitsForSpace()) return false;
  hold.unlock();
  dataEvent_.Wait();
  dataEvent_.Reset();
  hold.lock();
  return true;
}

void SourceWorker::CopyFrame(const VideoFrame& from, OwnedFrame* target) {
  target->Reserve(from.bufferSize);
  target->frame.width = from.width;
  target->frame.height = from.height;
  target->frame.stride = from.stride;
  target->frame.pts = from.pts;
  target->frame.nextPts = from.nextPts;
  if (from.bufferSize > 0) std::memcpy(target->frame.pixels, from.pixels, size_t(from.bufferSize));
}

void SourceWorker::GiveFillerFrame(int64_t t, OwnedFrame* target) const {
  const int width = std::max(outputWidth_, 0), height = std::max(outputHeight_, 0);
  target->Reserve(width * height * 4);
  std::fill(target->buffer.begin(), target->buffer.end(), uint8_t(0));
  target->frame.width = width;
  target->frame.height = height;
  target->frame.stride = width * 4;
  target->frame.pts = t;
  target->frame.nextPts = t + kFillerFrameDuration;
}

Fetch SourceWorker::FetchAudioChunk(AudioFrame* target) {
  std::unique_lock<win::CriticalSection> hold(lock_);
  for (;;) {
    if (audioCount_ > 0) {
      const AudioFrame& oldest = (*audioRing_)[audioRead_];
      std::memset(target, 0, sizeof *target);
      target->byteCount = oldest.byteCount;
      target->pts = oldest.pts;
      std::memcpy(target->data, oldest.data, size_t(std::clamp(oldest.byteCount, 0, QELO_AUDIO_FRAME_BYTES)));
      if (bytesPerSecond_ > 0) audioClock_ += int64_t(oldest.byteCount) * kUnitsPerSecond / bytesPerSecond_;
      audioRead_ = Next(audioRead_, AUDIO_RING_SLOTS);
      --audioCount_;
      spaceEvent_.Set();
      return Fetch::Got;
    }
    if (stopFlag_) {
      dataEvent_.Set();
      return Fetch::None;
    }
    if (audioEnded_) {
      if (GiveSilence(target)) return Fetch::Got;
    } else {
      spaceEvent_.Set();
    }
    if (!WaitForData(hold)) return Fetch::Later;
  }
}

// Up to one second of silence, in whole sample frames so that the PCM stays
// aligned for the rest of the output.
bool SourceWorker::GiveSilence(AudioFrame* target) {
  if (audioClock_ >= audioEnd_ || bytesPerSecond_ <= 0) return false;
  int64_t bytes = std::min<int64_t>((audioEnd_ - audioClock_) * bytesPerSecond_ / kUnitsPerSecond, bytesPerSecond_);
  bytes = std::min<int64_t>(bytes, QELO_AUDIO_FRAME_BYTES);
  bytes -= bytes % sampleFrameBytes_;
  if (bytes <= 0) return false;
  std::memset(target->data, 0, sizeof target->data);
  target->byteCount = int32_t(bytes);
  audioClock_ += bytes * kUnitsPerSecond / bytesPerSecond_;
  return true;
}

void SourceWorker::DiscardOldestVideoFrame() {
  win::CriticalSectionLock hold(lock_);
  if (videoCount_ == 0) return;
  videoRead_ = Next(videoRead_, VIDEO_RING_SLOTS);
  --videoCount_;
  spaceEvent_.Set();
}

void SourceWorker::DiscardOldestAudioChunk() {
  win::CriticalSectionLock hold(lock_);
  if (audioCount_ == 0) return;
  audioRead_ = Next(audioRead_, AUDIO_RING_SLOTS);
  --audioCount_;
  spaceEvent_.Set();
}

}  // namespace qelo::convertor
