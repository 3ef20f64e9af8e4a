// The source reader of one group: a thread that decodes the group's sources
// one after another, moves their times onto the group's timeline, composites
// every frame and fills two rings that the conversion thread empties.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "decoder_api.h"
#include "frame_compositing.h"
#include "owned_frame.h"
#include "qelo/convertor.h"
#include "win/sync.h"
#include "win/thread.h"

namespace qelo::convertor {

constexpr int VIDEO_RING_SLOTS = 32;
constexpr int AUDIO_RING_SLOTS = 8;

// What a fetch hands back. `Got`: a frame or chunk of a source. `Filler`: a
// filler frame or silence, standing in where a source's stream ended before
// its entry did. `None`: the stream has nothing more (all sources read, or a
// stop, or a failure). `Later`: the reader waits for room in the other
// stream's full ring, so this stream cannot move until that one is emptied.
enum class Fetch { Got, Filler, None, Later };

class SourceWorker {
 public:
  // Starts the reading thread at once. `group`, `decoder` and the band pool
  // (where there is one) outlive it.
  SourceWorker(const WorkGroup& group, DecoderApi& decoder, EffectBandPool* bandPool = nullptr);
  ~SourceWorker();  // StopSourceWorker: stops the reader and waits for it
  SourceWorker(const SourceWorker&) = delete;
  SourceWorker& operator=(const SourceWorker&) = delete;

  // Ends reading soon, from any thread: the reading thread leaves at its
  // next step (also while it drops what lies before a trim start) and every
  // fetch answers None once its ring is empty, so nothing waits on the
  // reader afterwards.
  void RequestStop();
  // A source could not be opened, or could not be read to its end (each
  // with its log line): the group is not whole.
  bool Failed() const { return failed_; }

  // The frame whose display interval holds `t`; filler frames where the
  // current source's video ended before its length.
  Fetch FetchVideoFrame(int64_t t, OwnedFrame* target);
  // The next chunk; silence where the current source's audio ended early.
  Fetch FetchAudioChunk(AudioFrame* target);
  // Throws the oldest frame or chunk away, so that the reader can go on
  // when its stream's encoder has already closed.
  void DiscardOldestVideoFrame();
  void DiscardOldestAudioChunk();

 private:
  // How reading one stream of a source went: what the decoder answered.
  struct StreamRead {
    bool delivered = false;  // it gave at least one frame or chunk
    bool answeredEnd = false;  // it answered that nothing more comes
  };

  // The reading thread's entry: runs ReadSources (a null reader returns at
  // once).
  static void SourceWorkerThread(SourceWorker* reader);
  void ReadSources();
  // Stops the reader, waits for its thread and unloads the media file that
  // is open.
  void StopSourceWorker();
  // Reads source `index` until both of its streams ended; false when it
  // could not be opened or read to its end (the failure is logged).
  bool ReadSource(int index, int64_t offset);
  // After a source's streams ended: whether it was read to its end.
  bool ReadToItsEnd(const SourceEntry& source, const StreamRead& video, const StreamRead& audio);
  void Fail();
  bool WaitForWork();
  void ReadVideoFrame(const SourceEntry& source, int64_t offset, int64_t shift, StreamRead* read);
  // `picturesFollowSound`: the filler frames standing for the source's
  // missing pictures last as long as the sound it gives.
  void ReadAudioChunk(const SourceEntry& source, int64_t offset, int64_t shift, bool picturesFollowSound,
                      StreamRead* read);
  void EndStream(bool* ended, int64_t* end, int64_t at);
  void Publish(bool keep, bool pastTrimEnd, bool* ended, int* write, int* count, int slots);
  void FinishReading();
  void UnloadMedia();
  // Under the lock: the reader is waiting for room in a ring.
  bool ReaderWaitsForSpace() const;
  bool WaitForData(std::unique_lock<win::CriticalSection>& hold);
  static void CopyFrame(const VideoFrame& from, OwnedFrame* target);
  void GiveFillerFrame(int64_t t, OwnedFrame* target) const;
  bool GiveSilence(AudioFrame* target);

  const WorkGroup& group_;
  DecoderApi& decoder_;
  const int32_t bytesPerSecond_;
  const int32_t sampleFrameBytes_;

  EffectBandPool* const bandPool_;

  // Owned by the reading thread.
  int mediaHandle_ = -1;
  int32_t outputWidth_, outputHeight_;
  OwnedFrame cropFrame_;  // scratch frame of the crop
  WatermarkImageCache imageCache_;

  // Guards the rings, their counters, the ended flags and the end times.
  win::CriticalSection lock_;
  win::ManualResetEvent dataEvent_;   // set by the reader; the fetches wait on it
  win::ManualResetEvent spaceEvent_;  // set by the fetches; the reader waits on it
  // Set by RequestStop (any thread) and by a failure: reading ends now and
  // nothing more is handed out.
  std::atomic<bool> stopFlag_{false};
  std::atomic<bool> failed_{false};  // written by the reading thread only
  // Every source was read: filler and silence still cover the last ended
  // streams up to their entry's end, then the fetches answer None.
  bool readingOver_ = false;

  std::array<OwnedFrame, VIDEO_RING_SLOTS> videoRing_;
  int videoCount_ = 0, videoRead_ = 0, videoWrite_ = 0;
  std::unique_ptr<std::array<AudioFrame, AUDIO_RING_SLOTS>> audioRing_;
  int audioCount_ = 0, audioRead_ = 0, audioWrite_ = 0;
  bool videoEnded_ = false, audioEnded_ = false;
  int64_t audioClock_ = 0;  // audio handed out in this group; the consumer's
  int64_t audioEnd_ = 0, videoEnd_ = 0;

  win::Thread thread_;  // last: starts after every member above exists
};

}  // namespace qelo::convertor
