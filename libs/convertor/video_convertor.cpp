#include "video_convertor.h"

#include <algorithm>

#include "convertor_log.h"
#include "frame_compositing.h"
#include "qelo/codecs.h"
#include "work_group.h"

namespace qelo::convertor {
namespace {

constexpr int64_t kRunOver = 5000000;  // a stream may run half a second past its group
constexpr int kPixelFormatArgb = 1;

// One output frame in 100-ns units: 25/1 gives 400,000, 30000/1001 333,666.
int64_t FrameDuration(const FormatSettings& format) {
  if (!HasVideo(format)) return 0;
  if (format.frameRateNum <= 0 || format.frameRateDen <= 0) return -1;
  return int64_t(double(int64_t(format.frameRateDen) * QELO_TIME_UNITS_PER_SECOND) / format.frameRateNum);
}

double Percent(int64_t part, int64_t whole) {
  if (whole <= 0) return 100.0;
  return std::min(100.0, double(part * 100) / double(whole));
}

}  // namespace

CVideoConvertor::CVideoConvertor(std::vector<const WorkGroup*> groups, ConvertCallback callback, void* userData,
                                 DecoderApi& decoder, std::shared_ptr<EffectBandPool> bandPool)
    : groups_(std::move(groups)),
      groupCount_(int(groups_.size())),
      callback_(callback),
      userData_(userData),
      decoder_(decoder),
      bandPool_(std::move(bandPool)),
      audioChunk_(std::make_unique<AudioFrame>()) {}

CVideoConvertor::~CVideoConvertor() {
  {
    std::lock_guard<std::mutex> hold(readerLock_);
    stopRequested_ = true;
    if (reader_) reader_->RequestStop();
  }
  thread_.Join();
  ReplaceReader(nullptr);
}

// The old reader is destroyed outside the lock: it waits for its thread.
void CVideoConvertor::ReplaceReader(std::unique_ptr<SourceWorker> reader) {
  std::unique_ptr<SourceWorker> old;
  std::lock_guard<std::mutex> hold(readerLock_);
  old.swap(reader_);
  reader_ = std::move(reader);
  if (reader_ && stopRequested_) reader_->RequestStop();
}

QeloThreadHandle CVideoConvertor::Start() {
  if (!thread_.Start([this] { ConversionThread(this); })) return nullptr;
  return &thread_;
}

void CVideoConvertor::ConversionThread(CVideoConvertor* run) {
  if (run) run->RunConversion();
}

void CVideoConvertor::Notify(int group, double filePercent, double totalPercent, ConvertState state) const {
  // A run started without a registered callback reports to nobody.
  if (callback_) callback_(group, filePercent, totalPercent, state, userData_);
}

void CVideoConvertor::RunConversion() {
  int64_t totalLength = 0;
  for (const WorkGroup* group : groups_) totalLength += GroupLength(*group);
  int64_t doneLength = 0;
  for (int i = 0; i < groupCount_; ++i) {
    if (!ConvertGroup(i, doneLength, totalLength)) return;
    doneLength += groupLength_;
    Notify(i, 0, 0, ConvertGroupDone);
  }
  ReplaceReader(nullptr);
  Notify(0, 0, 0, ConvertAllDone);
}

bool CVideoConvertor::ConvertGroup(int index, int64_t doneLength, int64_t totalLength) {
  const WorkGroup& group = *groups_[index];
  if (!PrepareGroup(index, group)) return false;
  Notify(index, 0, 0, ConvertGroupStarted);
  EncodeSteps(index, doneLength, totalLength);
  return GroupSucceeded(index, QeloDeInitializeEncoder(encoderHandle_) != 0);
}

// A group fails when a source could not be read whole, or when the
// sources' own pictures and sound (filler left out) reach less than half
// of its length.
bool CVideoConvertor::GroupSucceeded(int index, bool closed) {
  if (!closed) {
    Notify(index, 0, 0, ConvertError);
    gLog.Write("failed to Close Encoder.");
    return false;
  }
  if (stopRequested_) {
    Notify(index, 0, 0, ConvertStopped);
    return false;
  }
  const int64_t half = groupLength_ / 2;
  if (reader_->Failed() || (videoContent_ < half && audioContent_ < half)) {
    Notify(index, 0, 0, ConvertError);
    gLog.Write("failed to coverter video");
    return false;
  }
  return true;
}

bool CVideoConvertor::PrepareGroup(int index, const WorkGroup& group) {
  ReplaceReader(nullptr);
  audioBytes_ = 0;
  ReplaceReader(std::make_unique<SourceWorker>(group, decoder_, bandPool_.get()));
  frameDuration_ = FrameDuration(group.format);
  bytesPerSecond_ = BytesPerSecond(group.format);
  groupLength_ = GroupLength(group);
  if (frameDuration_ < 0) {
    // A zero frame rate would never move the video clock.
    Notify(index, 0, 0, ConvertError);
    gLog.Write("CVideoConvertor::RunConversion--invalid frame rate %d/%d", group.format.frameRateNum,
               group.format.frameRateDen);
    return false;
  }
  encoderHandle_ = QeloInitializeEncoder(&group.format);
  if (encoderHandle_ == -1) {
    Notify(index, 0, 0, ConvertError);
    gLog.Write("CVideoConvertor::RunConversion--failed QeloInitializeEncoder");
    return false;
  }
  audioClock_ = videoClock_ = 0;
  videoContent_ = audioContent_ = 0;
  videoDone_ = !HasVideo(group.format);
  audioDone_ = false;
  if (!videoDone_) {
    const int width = std::max(group.format.width, 0), height = std::max(group.format.height, 0);
    outputFrame_.Reserve(width * height * 4);
    outputFrame_.frame.width = width;
    outputFrame_.frame.height = height;
    outputFrame_.frame.stride = width * 4;
  }
  return true;
}

void CVideoConvertor::EncodeSteps(int index, int64_t doneLength, int64_t totalLength) {
  while (!stopRequested_ && !(videoDone_ && audioDone_)) {
    // On equal clocks video goes first; a finished stream never blocks.
    const bool audioStep = (audioClock_ < videoClock_ && !audioDone_) || (audioClock_ >= videoClock_ && videoDone_);
    if ((audioStep ? EncodeAudioStep() : EncodeVideoStep()) == Step::Later) RelieveReader(audioStep);
    // Once the pictures are over the sound's clock counts, never going back;
    // the run counts a group up to its length (its streams may run past it).
    const int64_t clock = videoDone_ ? std::max(audioClock_, videoClock_) : videoClock_;
    const double filePercent = Percent(clock, groupLength_);
    const double totalPercent = Percent(doneLength + std::min(clock, groupLength_), totalLength);
    Notify(index, filePercent, totalPercent, ConvertProgress);
  }
}

// The reader waits for room in the ring of the stream that did not wait:
// empty that ring by one, into the encoder or, when its stream is closed,
// away.
void CVideoConvertor::RelieveReader(bool audioWaited) {
  if (audioWaited) {
    if (videoDone_)
      reader_->DiscardOldestVideoFrame();
    else
      EncodeVideoStep();
  } else {
    if (audioDone_)
      reader_->DiscardOldestAudioChunk();
    else
      EncodeAudioStep();
  }
}

CVideoConvertor::Step CVideoConvertor::EncodeVideoStep() {
  if (videoClock_ >= groupLength_ + kRunOver) {
    CloseVideoStream();
    return Step::Done;
  }
  const Fetch fetched = reader_->FetchVideoFrame(videoClock_, &fetchedFrame_);
  if (fetched == Fetch::Later) return Step::Later;
  if (fetched == Fetch::None) {
    CloseVideoStream();
    return Step::Done;
  }
  videoClock_ += frameDuration_;
  if (!WriteVideoFrame(fetchedFrame_.frame)) {
    CloseVideoStream();
    return Step::Done;
  }
  if (fetched == Fetch::Got) videoContent_ = videoClock_;
  return Step::Done;
}

bool CVideoConvertor::WriteVideoFrame(const VideoFrame& frame) {
  const VideoFrame* out = &frame;
  if (out->width != outputFrame_.frame.width || out->height != outputFrame_.frame.height) {
    if (out->pixels) ScaleToOutput(&outputFrame_.frame, *out);
    out = &outputFrame_.frame;
  }
  return QeloAddVideoFrame(out->width, out->height, kPixelFormatArgb, out->pixels, out->bufferSize,
                           encoderHandle_) != 0;
}

void CVideoConvertor::CloseVideoStream() {
  QeloCloseVideo(encoderHandle_);
  videoDone_ = true;
}

void CVideoConvertor::CloseAudioStream() {
  QeloCloseAudio(encoderHandle_);
  audioDone_ = true;
}

CVideoConvertor::Step CVideoConvertor::EncodeAudioStep() {
  if (audioClock_ >= groupLength_ + kRunOver) {
    CloseAudioStream();
    return Step::Done;
  }
  const Fetch fetched = reader_->FetchAudioChunk(audioChunk_.get());
  if (fetched == Fetch::Later) return Step::Later;
  if (fetched == Fetch::None || QeloAddAudioFrame(audioChunk_->data, audioChunk_->byteCount, encoderHandle_) == 0) {
    CloseAudioStream();
    return Step::Done;
  }
  audioBytes_ += audioChunk_->byteCount;
  audioClock_ = bytesPerSecond_ != 0 ? audioBytes_ * QELO_TIME_UNITS_PER_SECOND / bytesPerSecond_ : audioChunk_->pts;
  if (fetched == Fetch::Got) audioContent_ = audioClock_;
  return Step::Done;
}

}  // namespace qelo::convertor
