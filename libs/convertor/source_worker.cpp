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
      bandPool_(bandPool),
      outputWidth_(group.format.width),
      outputHeight_(group.format.height),
      audioRing_(std::make_unique<std::array<AudioFrame, AUDIO_RING_SLOTS>>()) {
  thread_.Start([this] { SourceWorkerThread(this); });
}

SourceWorker::~SourceWorker() { StopSourceWorker(); }

void SourceWorker::SourceWorkerThread(SourceWorker* reader) {
  if (reader) reader->ReadSources();
}

void SourceWorker::StopSourceWorker() {
  RequestStop();
  thread_.Join();
  UnloadMedia();
}

void SourceWorker::RequestStop() {
  stopFlag_ = true;
  spaceEvent_.Set();
  dataEvent_.Set();
}

void SourceWorker::UnloadMedia() {
  if (mediaHandle_ < 0) return;
  decoder_.Unload(mediaHandle_);
  mediaHandle_ = -1;
}

void SourceWorker::ReadSources() {
  int64_t offset = 0;
  for (int k = 0; k < group_.sourceCount && !stopFlag_; ++k) {
    if (!ReadSource(k, offset)) {
      Fail();
      return;
    }
    offset += EntryLength(*group_.sources[k]);
  }
  FinishReading();
}

void SourceWorker::Fail() {
  failed_ = true;
  RequestStop();
}

void SourceWorker::FinishReading() {
  win::CriticalSectionLock hold(lock_);
  readingOver_ = true;
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
  StreamRead video, audio;
  while (WaitForWork()) {
    bool wantVideo, wantAudio;
    {
      win::CriticalSectionLock hold(lock_);
      wantVideo = !videoEnded_ && videoCount_ < VIDEO_RING_SLOTS;
      wantAudio = !audioEnded_ && audioCount_ < AUDIO_RING_SLOTS;
    }
    // Packets queued for a stream that has ended are thrown away.
    if (videoEnded_) decoder_.FlushVideo(mediaHandle_);
    if (audioEnded_) decoder_.FlushAudio(mediaHandle_);
    if (wantVideo) ReadVideoFrame(source, offset, shift, &video);
    // The group's last source, when it has no pictures, gets filler frames
    // as long as its sound (an earlier one's run until the next source).
    const bool picturesFollowSound =
        HasVideo(group_.format) && video.answeredEnd && !video.delivered && index == group_.sourceCount - 1;
    if (wantAudio) ReadAudioChunk(source, offset, shift, picturesFollowSound, &audio);
    if (videoEnded_ && audioEnded_) return ReadToItsEnd(source, video, audio);
  }
  return true;  // stopped
}

// A stream that gave frames and then answered its end was read up to where
// the file's reading stopped: the decoder tells whether that was the end of
// the file or a failure. So does a source that gave nothing at all. A
// source whose streams ended at its trim end (or that lacks a stream) asks
// nothing: what lies beyond was not wanted, however far ahead the file's
// reading got.
bool SourceWorker::ReadToItsEnd(const SourceEntry& source, const StreamRead& video, const StreamRead& audio) {
  const bool readUpToItsEnd = (video.delivered && video.answeredEnd) || (audio.delivered && audio.answeredEnd) ||
                              (!video.delivered && !audio.delivered);
  if (!readUpToItsEnd || !decoder_.ReadFailed(mediaHandle_)) return true;
  gLog.Write("failed to read file(%s) to its end",
             win::Utf16ToUtf8(win::Utf16Field(source.path, QELO_PATH_CHARS)).c_str());
  return false;
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
void SourceWorker::ReadVideoFrame(const SourceEntry& source, int64_t offset, int64_t shift, StreamRead* read) {
  OwnedFrame& slot = videoRing_[videoWrite_];
  slot.Reserve(decoder_.VideoBufferSize(mediaHandle_));
  if (!slot.frame.pixels || !decoder_.NextVideoFrame(&slot.frame, mediaHandle_)) {
    read->answeredEnd = true;
    EndStream(&videoEnded_, &videoEnd_, offset + EntryLength(source));
    return;
  }
  read->delivered = true;
  const bool pastTrimEnd = source.trimEnabled == 1 && slot.frame.pts >= source.trimEnd;
  slot.frame.pts += shift;
  slot.frame.nextPts += shift;
  const bool keep = slot.frame.pts >= 0;
  if (keep) CompositeFrame(source, &slot.frame, &cropFrame_, &imageCache_, bandPool_);
  Publish(keep, pastTrimEnd, &videoEnded_, &videoWrite_, &videoCount_, VIDEO_RING_SLOTS);
}

void SourceWorker::ReadAudioChunk(const SourceEntry& source, int64_t offset, int64_t shift, bool picturesFollowSound,
                                  StreamRead* read) {
  AudioFrame& slot = (*audioRing_)[audioWrite_];
  if (!decoder_.NextAudioChunk(&slot, mediaHandle_)) {
    read->answeredEnd = true;
    EndStream(&audioEnded_, &audioEnd_, offset + EntryLength(source));
    return;
  }
  read->delivered = true;
  const bool pastTrimEnd = source.trimEnabled == 1 && slot.pts >= source.trimEnd;
  slot.pts += shift;
  const bool keep = slot.pts >= 0;
  if (keep && picturesFollowSound && bytesPerSecond_ > 0) {
    win::CriticalSectionLock hold(lock_);
    videoEnd_ = std::max(videoEnd_, slot.pts + int64_t(slot.byteCount) * kUnitsPerSecond / bytesPerSecond_);
  }
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
  if (stopFlag_ || readingOver_ || (videoEnded_ && audioEnded_)) return false;
  return (videoEnded_ || videoCount_ == VIDEO_RING_SLOTS) && (audioEnded_ || audioCount_ == AUDIO_RING_SLOTS);
}

// With the ring empty: nothing after a stop; filler frames where the
// source's video ended before its entry did, up to the entry's end (not at
// it: a frame there would show past the entry), also when that source was
// the last one read, so what is handed out never depends on how far the
// reader got meanwhile; then the next source's frames, or nothing once
// every source was read.
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
    if (videoEnded_ && t < videoEnd_) {
      GiveFillerFrame(t, target);
      return Fetch::Filler;
    }
    if (readingOver_) return Fetch::None;
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

// As for video: silence covers a source's sound that ended before its entry.
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
      if (GiveSilence(target)) return Fetch::Filler;
    } else {
      spaceEvent_.Set();
    }
    if (readingOver_) return Fetch::None;
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
