// One open media file: probes it, opens one video and one audio decoder,
// demultiplexes on a reader thread of its own into two bounded packet queues,
// and decodes frames and PCM chunks from them.
//
// Threads: the reader thread fills the queues; a video reader and an audio
// reader (the callers of GetNextVideoFrame / GetNextAudioFrame, possibly two
// threads) take from them. `decoderLock_` guards the queues, the end-of-file
// flag and the demultiplexer; each stream's decoding state belongs to its
// reader and is guarded by `videoLock_` / `audioLock_`, always taken before
// `decoderLock_`.
#pragma once

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "ffmpeg_ptr.h"
#include "packet_queue.h"
#include "picture_scaler.h"
#include "qelo/media.h"
#include "win/thread.h"

namespace qelo::codecs {

class DecoderContext {
 public:
  DecoderContext() = default;
  DecoderContext(const DecoderContext&) = delete;
  DecoderContext& operator=(const DecoderContext&) = delete;
  // Stops the reader thread and frees everything.
  ~DecoderContext();

  // Opens the file and appends its streams to `info` (may be null). False
  // after one log line naming the failed step.
  bool Open(std::u16string_view path, MediaInfo* info);

  // Wakes every waiting reader and ends reading; later reads fail. The
  // context itself is freed by its last user.
  void RequestStop();

  int Seek(int64_t time);
  // 1 when the packet reader stopped on a failure other than the end of the
  // file (a read error, a file that became shorter while it was read).
  int ReadFailed();
  void FlushVideoQueue();
  void FlushAudioQueue();

  int VideoBufferSize();
  // 1, or 0 (with its line) for a size no frame can hold.
  int Resize(int32_t* width, int32_t* height);
  int Resample(int sampleRate, int bitsPerSample, int channels);
  int GetNextVideoFrame(VideoFrame* frame);
  int GetNextAudioFrame(AudioFrame* frame);

 private:
  // One decoded stream.
  struct Stream {
    explicit Stream(int maxPackets) : queue(maxPackets) {}
    AVStream* stream = nullptr;
    CodecContextPtr codec;
    int64_t startTime = 0;  // in the stream's time base; 0 when unknown
    PacketQueue queue;      // guarded by decoderLock_
    bool waiting = false;   // its reader waits for a packet; guarded by decoderLock_
    bool drainSent = false;  // end of input was sent to the decoder
    int64_t skipped = 0;     // packets and pieces its decoder refused
    // After a seek: what is decoded before this time (seconds from the
    // stream's start) is not handed out. Guarded by the stream's reader.
    double seekTarget = kNoSeekTarget;
    bool Decodes() const { return codec != nullptr; }
    double Seconds(int64_t timestamp) const;
  };

  static constexpr double kNoSeekTarget = -HUGE_VAL;
  // A picture or sample this close after a seek's target counts as at it:
  // targets are often stamps the bridge handed out, truncated to 100 ns.
  static constexpr double kSeekTolerance = 0.0001;
  // Sound decoders need the packets before a seek's target to get going
  // (an MPEG audio decoder's bit reservoir, the overlap of transform
  // codecs): sound is decoded from this long (100-ns units) before it.
  static constexpr int64_t kSoundPreroll = 2500000;

  enum class Taken { Packet, FlushMarker, End };
  enum class Fed { Packet, Flushed, End };
  enum class Received { Frame, NeedsInput, Ended };

  // Opening.
  bool OpenInput(const std::string& path);
  bool OpenDecoder(Stream& side, AVStream* stream, const char* noDecoder, const char* openFailed);
  bool OpenVideoStream(AVStream* stream);
  bool OpenAudioStream(AVStream* stream);
  bool CheckVideoLength(const std::string& path);
  void DescribeStreams(MediaInfo* info) const;
  void PrepareDisplaySize();

  // Reader thread.
  void ReadPackets();
  void ReadUntilStopped();
  // Under the decoder lock, at the demultiplexer's last answer `result`:
  // true (with its line) when reading stopped on a failure, not at the end.
  bool ReadStoppedOnError(int result, int64_t sizeAtStart);
  // Wakes every thread that waits on the decoder lock's conditions.
  void WakeEveryWaiter();
  bool MustWaitForRoom();
  void QueuePacket(const AVPacket* packet);
  // A time (100-ns units from the stream's start) in the stream's own base.
  static int64_t StreamTime(const Stream& side, int64_t time);
  // Where decoding of a stream resumes for a seek to `time`, in its base.
  int64_t ResumeTime(const Stream& side, int64_t time) const;
  bool SeekInsideQueues(Stream& primary, int64_t time);
  bool SeekDemuxerToKey(Stream& primary, int64_t time);
  int64_t SeekLead() const;
  bool ReadToKeyAtOrBefore(const Stream& primary, int64_t target);
  // Puts a flush marker carrying the target first in each stream's queue.
  void MarkSeek(double target);
  void EmptyQueues();
  // A seek target inside the file: from its start to its length, when known.
  int64_t ClampToLength(int64_t time) const;
  void RecordLength();
  static int InterruptRead(void* context);

  // Hands the next entry of a stream's queue to its reader, waiting while
  // the queue is empty and the file not at its end.
  Taken TakePacket(Stream& side, QueuedPacket* entry);
  // Sends the next packet (or, once, the end of input) to the stream's
  // decoder. A flush marker flushes the decoder and moves `clock` to the
  // seek's time. A packet the decoder refuses is skipped with the line
  // `skipped`; only the end of the stream (or a stop) ends the feeding.
  Fed FeedDecoder(Stream& side, double* clock, const char* skipped);
  void FlushDecoder(Stream& side, const QueuedPacket& marker, double* clock);
  // A seek leaves a flush marker at the head of the queue while the decoder
  // may still hold pictures or samples of the old position: before anything
  // is received from the decoder the marker is taken and the decoder flushed.
  // True when it was.
  bool FlushIfSought(Stream& side, double* clock);
  // Takes the next picture or samples from the stream's decoder into
  // `frame`: Frame, NeedsInput (feed it the next packet), or Ended once a
  // drained decoder has given up all it held. A piece the decoder cannot
  // decode is skipped with the line `skipped`.
  Received Receive(Stream& side, AVFrame* frame, const char* skipped);
  // Counts a packet or a decoded piece that is left out; its line, with the
  // reason and the count, for the first few and then for every thousandth,
  // so that a long damaged file does not flood the log.
  static void LogSkipped(Stream& side, const char* skipped, int result);
  static constexpr int64_t kSkipsLoggedEach = 10;
  static constexpr int64_t kSkipsLoggedOnceIn = 1000;
  // Errors a drained decoder may answer before its end is taken for it.
  static constexpr int kMaxDrainErrors = 64;
  static constexpr int kMaxSeekAttempts = 8;

  // Video.
  // A decoded picture held back with its times.
  struct HeldPicture {
    FramePtr frame;
    double time = 0, clock = 0;
    bool held = false;
  };
  // Bytes of one delivered 32-bit picture; 0 for a size no frame can hold.
  static int FrameBytes(int width, int height);
  // The next picture to hand out: after a seek, the one shown at its target.
  bool DecodePictureAtTarget();
  bool Hold(HeldPicture& into);
  bool Restore(HeldPicture& from);
  void ReleaseHeldPictures();
  bool DecodeNextPicture();
  void SynchroniseVideo();
  void DeliveredSize(int* width, int* height) const;
  bool EnsureScaledPicture(int width, int height);
  bool TakesScalerRows(const uint8_t* pixels, int width) const;
  void ScalePicture(uint8_t* pixels, int width, int height);

  // Audio.
  // The next samples to hand out: after a seek, from its target on.
  bool DecodeSamplesFromTarget();
  // Drops the pending samples before the seek's target; false when none
  // are left.
  bool SkipSamplesBeforeTarget();
  bool DecodeNextSamples();
  bool ConvertSamples(const AVFrame* decoded);
  bool DrainConverter();
  // At the end of the samples: what the resampler still holds, else the end.
  bool DrainConverterOrEnd();
  bool EnsureConverter(const AVFrame* decoded);
  bool HasPendingSamples() const { return pendingOffset_ < pending_.size(); }
  int OutputFrameBytes() const;

  std::string path_;
  AVFormatContext* format_ = nullptr;
  std::atomic<bool> stop_{false};

  std::mutex decoderLock_;
  std::condition_variable dataArrived_;   // a packet was queued, or reading ended
  std::condition_variable roomFreed_;     // a packet was taken, or a reader starves
  std::condition_variable wakeReader_;    // a seek or a stop after the end of the file
  bool endOfFile_ = false;
  bool readerEnded_ = false;  // the reader thread returned: no packet will come any more
  bool readFailed_ = false;  // reading stopped on a failure, not at the end of the file
  bool wakeRequested_ = false;
  bool dropLogged_ = false;
  Stream video_{16384};
  Stream audio_{4096};
  win::Thread reader_;

  bool lengthEstimated_ = false;
  int64_t estimatedLength_ = 0;  // whole seconds
  int64_t length_ = -1;          // of the whole file in 100-ns units; -1 when unknown

  // Video reader state, guarded by videoLock_.
  std::mutex videoLock_;
  FramePtr picture_;
  PictureScaler scaler_;
  FramePtr scaled_;  // the scaler's output, in padded rows, when not the caller's frame
  AVRational frameRate_{25, 1};
  int displayWidth_ = 0, displayHeight_ = 0;  // turned upright
  int turn_ = 0;  // clockwise quarter turns, in degrees, that show the picture upright
  // While reading up to a seek's target: the last picture at or before it,
  // and the first one after it, handed out on the call after.
  HeldPicture atTarget_, afterTarget_;
  int outputWidth_ = 0, outputHeight_ = 0;  // 0 x 0: frames come at the display size
  double frameTime_ = 0, videoClock_ = 0;
  // Set by a seek's flush marker until the next picture comes out.
  bool pictureAfterSeek_ = false;

  // Audio reader state, guarded by audioLock_.
  std::mutex audioLock_;
  FramePtr samples_;
  ResamplerPtr converter_;
  bool converterValid_ = false;  // converter_ (or none) fits the current input and output
  AVSampleFormat convertedFrom_ = AV_SAMPLE_FMT_NONE;
  int convertedFromRate_ = 0;
  AVChannelLayout convertedFromLayout_{};
  AVSampleFormat outFormat_ = AV_SAMPLE_FMT_NONE;
  int outRate_ = 0, outChannels_ = 0;
  std::vector<uint8_t> pending_;  // converted bytes not yet handed out
  size_t pendingOffset_ = 0;
  double pendingTime_ = 0;
  double audioClock_ = 0;
};

}  // namespace qelo::codecs
