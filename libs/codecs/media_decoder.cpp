#include "media_decoder.h"

#include <cmath>
#include <cstring>
#include <filesystem>

#include "codec_library.h"
#include "win/codepage.h"

extern "C" {
#include <libavutil/display.h>
}

namespace qelo::codecs {
namespace {

// Bit rate assumed for Flash video whose container and codec report none.
constexpr int64_t kFlashVideoBitRate = 368000;

int BitsPerSample(AVSampleFormat format) {
  switch (av_get_packed_sample_fmt(format)) {
    case AV_SAMPLE_FMT_U8: return 8;
    case AV_SAMPLE_FMT_S32:
    case AV_SAMPLE_FMT_FLT: return 32;
    case AV_SAMPLE_FMT_DBL: return 64;
    default: return 16;
  }
}

int32_t ClampToInt32(int64_t v) {
  return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
}

StreamInfo* NewStreamInfo(int type, int64_t duration, AVCodecID codec) {
  auto* info = new StreamInfo{};
  info->type = type;
  info->duration = duration;
  const std::string name = std::string(avcodec_get_name(codec)).substr(0, 32);
  win::CopyToUtf16Field(info->codecName, 64, win::Utf8ToUtf16(name));
  info->valid = 1;
  return info;
}

void AppendStreamInfo(MediaInfo* info, StreamInfo* stream) {
  if (info->streamCount < 0 || info->streamCount >= QELO_MAX_STREAM_INFOS) {
    gLog.Write("media information is full; stream not described...");
    delete stream;
    return;
  }
  info->streams[info->streamCount++] = stream;
}

// A stream without a picture size, or without a sample rate or channels,
// cannot be decoded into anything: it is left out as if it were not there.
bool UsableVideo(const AVStream* stream) {
  const AVCodecParameters* p = stream->codecpar;
  if (p->width > 0 && p->height > 0) return true;
  gLog.Write("video stream %d has no picture size(%dx%d); left out...", stream->index, p->width,
             p->height);
  return false;
}

// Sound the resampler is not built for would be refused chunk by chunk: it
// is left out, with its line.
bool SoundInRange(int index, int rate, int channels) {
  if (DecodableSound(rate, channels)) return true;
  gLog.Write("audio stream %d has a sample rate or channels out of range(%d Hz, %d channels); "
             "left out...",
             index, rate, channels);
  return false;
}

bool UsableAudio(const AVStream* stream) {
  const AVCodecParameters* p = stream->codecpar;
  const int rate = p->sample_rate, channels = p->ch_layout.nb_channels;
  if (rate <= 0 || channels <= 0) {
    gLog.Write("audio stream %d has no sample rate or channels(%d Hz, %d channels); left out...",
               stream->index, rate, channels);
    return false;
  }
  return SoundInRange(stream->index, rate, channels);
}

// The clockwise turn, in degrees, that shows the stream's pictures upright:
// from its display matrix, else from its "rotate" tag. Quarter turns only.
int UprightTurn(const AVStream* stream) {
  double degrees = 0;
  const auto* matrix = reinterpret_cast<const int32_t*>(
      av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr));
  const AVDictionaryEntry* tag = av_dict_get(stream->metadata, "rotate", nullptr, 0);
  if (matrix)
    degrees = -av_display_rotation_get(matrix);  // the matrix turns counter-clockwise
  else if (tag)
    degrees = std::strtod(tag->value, nullptr);
  if (!std::isfinite(degrees)) return 0;
  const double turn = std::round(degrees / 90);
  if (std::fabs(degrees - turn * 90) > 1) {
    gLog.Write("rotation of %d degrees ignored: only quarter turns are shown...",
               static_cast<int>(std::lround(degrees)));
    return 0;
  }
  return static_cast<int>(std::fmod(std::fmod(turn, 4) + 4, 4)) * 90;
}

}  // namespace

double DecoderContext::Stream::Seconds(int64_t timestamp) const {
  return (static_cast<double>(timestamp) - static_cast<double>(startTime)) *
         av_q2d(stream->time_base);
}

DecoderContext::~DecoderContext() {
  RequestStop();
  reader_.Join();
  std::lock_guard<std::mutex> codecLock(CodecLock());
  video_.codec.reset();
  audio_.codec.reset();
  avformat_close_input(&format_);
  av_channel_layout_uninit(&convertedFromLayout_);
}

void DecoderContext::RequestStop() {
  std::lock_guard<std::mutex> lock(decoderLock_);
  stop_ = true;
  WakeEveryWaiter();
}

void DecoderContext::WakeEveryWaiter() {
  dataArrived_.notify_all();
  roomFreed_.notify_all();
  wakeReader_.notify_all();
}

// ---------------------------------------------------------------- opening

bool DecoderContext::Open(std::u16string_view path, MediaInfo* info) {
  path_ = win::Utf16ToUtf8(path);
  std::error_code error;
  if (!std::filesystem::is_regular_file(path_, error)) {
    gLog.Write("media file(%s)don't exist..", path_.c_str());
    return false;
  }
  if (!OpenInput(path_)) return false;
  if (info) info->bitRate = ClampToInt32(format_->bit_rate);
  for (unsigned i = 0; i < format_->nb_streams; ++i) {
    AVStream* stream = format_->streams[i];
    const AVMediaType type = stream->codecpar->codec_type;
    const bool isPicture = stream->disposition & AV_DISPOSITION_ATTACHED_PIC;
    if (type == AVMEDIA_TYPE_VIDEO && !isPicture && !video_.stream && UsableVideo(stream)) {
      if (!OpenVideoStream(stream) || !CheckVideoLength(path_)) return false;
    } else if (type == AVMEDIA_TYPE_AUDIO && !audio_.stream && UsableAudio(stream)) {
      if (!OpenAudioStream(stream)) return false;
    } else {
      stream->discard = AVDISCARD_ALL;
    }
  }
  if (!video_.Decodes() && !audio_.Decodes()) {
    gLog.Write("no audio or video stream exist...");
    return false;
  }
  if (info) DescribeStreams(info);
  RecordLength();
  if (!reader_.Start([this] { ReadPackets(); }, win::ThreadPriority::Idle)) {
    gLog.Write("failed to begin to read packet");
    return false;
  }
  return true;
}

bool DecoderContext::OpenInput(const std::string& path) {
  format_ = avformat_alloc_context();
  if (!format_) {
    gLog.Write("Failed to open media file(%s)", path.c_str());
    return false;
  }
  // A stop interrupts a read that is under way, so closing never waits on I/O.
  format_->interrupt_callback = {&DecoderContext::InterruptRead, this};
  if (avformat_open_input(&format_, path.c_str(), nullptr, nullptr) < 0) {
    gLog.Write("Failed to open media file(%s)", path.c_str());
    return false;  // avformat_open_input freed the context
  }
  format_->flags |= AVFMT_FLAG_GENPTS;
  {
    std::lock_guard<std::mutex> codecLock(CodecLock());
    if (avformat_find_stream_info(format_, nullptr) < 0) {
      gLog.Write("failed to find stream info...");
      return false;
    }
  }
  av_dump_format(format_, 0, path.c_str(), 0);
  return true;
}

bool DecoderContext::OpenDecoder(Stream& side, AVStream* stream, const char* noDecoder,
                                 const char* openFailed) {
  side.stream = stream;
  side.startTime = KnownOrZero(stream->start_time);
  std::lock_guard<std::mutex> codecLock(CodecLock());
  const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
  if (!decoder) {
    gLog.Write("%s", noDecoder);
    return false;
  }
  side.codec.reset(avcodec_alloc_context3(decoder));
  if (!side.codec || avcodec_parameters_to_context(side.codec.get(), stream->codecpar) < 0) {
    gLog.Write("%s", openFailed);
    return false;
  }
  side.codec->pkt_timebase = stream->time_base;
  side.codec->thread_count = 0;  // as many decoding threads as the machine has
  if (avcodec_open2(side.codec.get(), decoder, nullptr) < 0) {
    side.codec.reset();
    gLog.Write("%s", openFailed);
    return false;
  }
  return true;
}

bool DecoderContext::OpenVideoStream(AVStream* stream) {
  if (!OpenDecoder(video_, stream, "failed to find decoder", "can't initialize video decoder..."))
    return false;
  picture_.reset(av_frame_alloc());
  if (!picture_) {
    gLog.Write("Failed to alloc decode frame...");
    return false;
  }
  const AVRational guessed = av_guess_frame_rate(format_, stream, nullptr);
  if (guessed.num > 0 && guessed.den > 0) frameRate_ = guessed;
  PrepareDisplaySize();
  turn_ = UprightTurn(stream);
  if (turn_ == 90 || turn_ == 270) std::swap(displayWidth_, displayHeight_);
  return true;
}

// The display width follows the sample aspect, rounded to the nearest
// pixel; an aspect that would make a picture no frame can hold (narrower
// than a pixel, or wider than FFmpeg or a frame's byte count allows) is
// ignored, and the coded size is shown.
void DecoderContext::PrepareDisplaySize() {
  const int width = video_.codec->width, height = video_.codec->height;
  const AVRational aspect = av_guess_sample_aspect_ratio(format_, video_.stream, nullptr);
  displayHeight_ = height;
  displayWidth_ = width;
  if (aspect.num == 0 || aspect.den == 0 || height <= 0) return;
  const long double stretched =
      std::round(static_cast<long double>(width) * aspect.num / aspect.den);
  if (stretched >= 1 && stretched <= INT32_MAX &&
      FrameBytes(static_cast<int>(stretched), height) > 0) {
    displayWidth_ = static_cast<int>(stretched);
    return;
  }
  gLog.Write("sample aspect %d:%d ignored: the picture would be too %s...", aspect.num,
             aspect.den, stretched < 1 ? "narrow" : "wide");
}

bool DecoderContext::CheckVideoLength(const std::string& path) {
  const AVStream* stream = video_.stream;
  if (stream->duration != AV_NOPTS_VALUE) {
    if (stream->duration <= 0) {
      gLog.Write("video stream length must over zero.");
      return false;
    }
    return true;
  }
  int64_t bitRate = format_->bit_rate;
  if (bitRate <= 0) bitRate = stream->codecpar->bit_rate;
  if (bitRate <= 0 && stream->codecpar->codec_id == AV_CODEC_ID_FLV1) bitRate = kFlashVideoBitRate;
  if (bitRate <= 0) {
    gLog.Write("can't Estimate video file length.");
    return false;
  }
  std::error_code error;
  const auto fileSize = static_cast<int64_t>(std::filesystem::file_size(path, error));
  estimatedLength_ = error ? 0 : fileSize * 8 / bitRate;
  if (estimatedLength_ <= 0) {
    gLog.Write("video length lower one second.");
    return false;
  }
  lengthEstimated_ = true;
  return true;
}

bool DecoderContext::OpenAudioStream(AVStream* stream) {
  if (!OpenDecoder(audio_, stream, "failed to find audio decoder....",
                   "failed to initialize audio decoder..."))
    return false;
  // The decoder reads its own header (a FLAC stream's, say), which a damaged
  // file may have claim a rate the container did not: the stream is then
  // left out as one the container describes so would be.
  if (!SoundInRange(stream->index, audio_.codec->sample_rate, audio_.codec->ch_layout.nb_channels)) {
    audio_.codec.reset();
    audio_.stream = nullptr;
    stream->discard = AVDISCARD_ALL;
    return true;
  }
  samples_.reset(av_frame_alloc());
  if (!samples_) {
    gLog.Write("failed to initialize audio decoder...");
    return false;
  }
  // Until a format is chosen, chunks come interleaved in the stream's own
  // sample format, rate and channel count.
  outFormat_ = av_get_packed_sample_fmt(audio_.codec->sample_fmt);
  outRate_ = audio_.codec->sample_rate;
  outChannels_ = audio_.codec->ch_layout.nb_channels;
  return true;
}

void DecoderContext::DescribeStreams(MediaInfo* info) const {
  info->bitRate = ClampToInt32(format_->bit_rate);
  // A stream's own length: its start time (a transport stream's may be
  // seconds) is no part of it.
  auto lengthOf = [this](const Stream& side) -> int64_t {
    if (lengthEstimated_) return estimatedLength_;
    if (side.stream->duration != AV_NOPTS_VALUE)
      return SaturatedInt64(static_cast<double>(side.stream->duration) *
                            av_q2d(side.stream->time_base));
    return format_->duration != AV_NOPTS_VALUE ? format_->duration / AV_TIME_BASE : 0;
  };
  if (video_.Decodes()) {
    StreamInfo* s = NewStreamInfo(STREAM_VIDEO, lengthOf(video_), video_.codec->codec_id);
    s->frameRateNum = frameRate_.num;
    s->frameRateDen = frameRate_.den;
    s->displayWidth = displayWidth_;
    s->displayHeight = displayHeight_;
    AppendStreamInfo(info, s);
  }
  if (audio_.Decodes()) {
    StreamInfo* s = NewStreamInfo(STREAM_AUDIO, lengthOf(audio_), audio_.codec->codec_id);
    s->sampleRate = audio_.codec->sample_rate;
    s->bitRate = ClampToInt32(audio_.stream->codecpar->bit_rate);
    s->bitsPerSample = BitsPerSample(audio_.codec->sample_fmt);
    s->channels = audio_.codec->ch_layout.nb_channels;
    AppendStreamInfo(info, s);
  }
}

// ---------------------------------------------------------- reader thread

int DecoderContext::InterruptRead(void* context) {
  return static_cast<DecoderContext*>(context)->stop_.load() ? 1 : 0;
}

// However reading ends, the frame readers that wait for a packet are told,
// so that none of them waits for a reader that is gone.
void DecoderContext::ReadPackets() {
  ReadUntilStopped();
  std::lock_guard<std::mutex> lock(decoderLock_);
  readerEnded_ = true;
  WakeEveryWaiter();
}

void DecoderContext::ReadUntilStopped() {
  PacketPtr packet(av_packet_alloc());
  if (!packet) {
    gLog.Write("failed to begin to read packet");
    return;
  }
  std::unique_lock<std::mutex> lock(decoderLock_);
  const int64_t sizeAtStart = format_->pb ? avio_size(format_->pb) : -1;
  while (!stop_) {
    endOfFile_ = false;
    if (MustWaitForRoom()) {
      roomFreed_.wait(lock);
      continue;
    }
    const int result = av_read_frame(format_, packet.get());
    if (result < 0) {
      readFailed_ = !stop_ && ReadStoppedOnError(result, sizeAtStart);
      endOfFile_ = true;
      dataArrived_.notify_all();  // readers waiting for data learn of the end
      wakeReader_.wait(lock, [this] { return stop_ || wakeRequested_; });
      if (wakeRequested_) readFailed_ = false;  // a seek: reading goes on from elsewhere
      wakeRequested_ = false;
      continue;
    }
    QueuePacket(packet.get());
    av_packet_unref(packet.get());
    dataArrived_.notify_all();
    // Let the frame readers in between two packets.
    lock.unlock();
    lock.lock();
  }
}

// The demultiplexer answers the end of the file also when the file became
// shorter than it was when reading began (truncated while it was read), and
// some I/O errors show only in the file's own error: both are failures, told
// apart from the end with their line. A file that ends early but reads
// cleanly ends as any file does.
bool DecoderContext::ReadStoppedOnError(int result, int64_t sizeAtStart) {
  const int ioError = format_->pb ? format_->pb->error : 0;
  if (result != AVERROR_EOF || (ioError < 0 && ioError != AVERROR_EOF)) {
    char reason[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(result != AVERROR_EOF ? result : ioError, reason, sizeof reason);
    gLog.Write("failed to read media file(%s): %s", path_.c_str(), reason);
    return true;
  }
  const int64_t sizeNow = format_->pb ? avio_size(format_->pb) : -1;
  if (sizeAtStart < 0 || sizeNow < 0 || sizeNow >= sizeAtStart) return false;
  gLog.Write("media file(%s) became shorter while it was read(%lld of %lld bytes)", path_.c_str(),
             static_cast<long long>(sizeNow), static_cast<long long>(sizeAtStart));
  return true;
}

int DecoderContext::ReadFailed() {
  std::lock_guard<std::mutex> lock(decoderLock_);
  return readFailed_ ? 1 : 0;
}

void DecoderContext::QueuePacket(const AVPacket* packet) {
  Stream* side = video_.Decodes() && packet->stream_index == video_.stream->index   ? &video_
                 : audio_.Decodes() && packet->stream_index == audio_.stream->index ? &audio_
                                                                                    : nullptr;
  if (side) side->queue.Append(packet);
}

// A full queue holds the reader back until its packets are taken. When the
// other stream's reader waits on an empty queue meanwhile, nobody would take
// them: the oldest packets of the full queue are dropped instead, so that a
// caller that reads one stream of a two-stream file is never stalled.
bool DecoderContext::MustWaitForRoom() {
  auto blocks = [this](Stream& full, const Stream& other) {
    if (!full.Decodes() || !full.queue.Full()) return false;
    if (!(other.waiting && other.queue.empty())) return true;
    if (!dropLogged_) {
      gLog.Write("one stream is read alone; dropping the oldest packets of the other...");
      dropLogged_ = true;
    }
    full.queue.DropOldestGroup();
    return false;
  };
  const bool videoBlocks = blocks(video_, audio_);
  const bool audioBlocks = blocks(audio_, video_);
  return videoBlocks || audioBlocks;
}

DecoderContext::Taken DecoderContext::TakePacket(Stream& side, QueuedPacket* entry) {
  std::unique_lock<std::mutex> lock(decoderLock_);
  for (;;) {
    if (stop_) return Taken::End;
    if (!side.queue.empty()) {
      *entry = side.queue.Take();
      roomFreed_.notify_all();
      return entry->IsFlushMarker() ? Taken::FlushMarker : Taken::Packet;
    }
    if (endOfFile_ || readerEnded_) return Taken::End;
    side.waiting = true;
    roomFreed_.notify_all();
    dataArrived_.wait_for(lock, std::chrono::milliseconds(1000));
    side.waiting = false;
  }
}

DecoderContext::Fed DecoderContext::FeedDecoder(Stream& side, double* clock, const char* skipped) {
  QueuedPacket entry;
  switch (TakePacket(side, &entry)) {
    case Taken::End:
      if (side.drainSent || stop_) return Fed::End;
      // Ask the decoder for the pictures or samples it still holds.
      avcodec_send_packet(side.codec.get(), nullptr);
      side.drainSent = true;
      return Fed::Packet;
    case Taken::FlushMarker:
      FlushDecoder(side, entry, clock);
      return Fed::Flushed;
    case Taken::Packet:
      break;
  }
  const int result = avcodec_send_packet(side.codec.get(), entry.packet.get());
  if (result < 0 && result != AVERROR(EAGAIN)) LogSkipped(side, skipped, result);
  return Fed::Packet;
}

void DecoderContext::FlushDecoder(Stream& side, const QueuedPacket& marker, double* clock) {
  avcodec_flush_buffers(side.codec.get());
  side.drainSent = false;
  *clock = marker.seek.clock;
  side.seekTarget = marker.seek.target;
  if (&side == &video_) ReleaseHeldPictures();
}

bool DecoderContext::FlushIfSought(Stream& side, double* clock) {
  QueuedPacket marker;
  {
    std::lock_guard<std::mutex> lock(decoderLock_);
    if (!side.queue.HeadIsFlushMarker()) return false;
    marker = side.queue.Take();
    roomFreed_.notify_all();
  }
  FlushDecoder(side, marker, clock);
  return true;
}

// A drained decoder gives up what it still holds one by one, a damaged
// picture as an error: the ones after it still come.
DecoderContext::Received DecoderContext::Receive(Stream& side, AVFrame* frame, const char* skipped) {
  for (int errors = 0;;) {
    const int result = avcodec_receive_frame(side.codec.get(), frame);
    if (result == 0) return Received::Frame;
    if (result == AVERROR_EOF) return Received::Ended;
    if (result == AVERROR(EAGAIN)) return Received::NeedsInput;
    LogSkipped(side, skipped, result);
    if (!side.drainSent || ++errors >= kMaxDrainErrors) return Received::NeedsInput;
  }
}

// A packet the decoder refuses is left out and the next one is decoded: a
// damaged stretch never ends a stream whose later packets decode.
void DecoderContext::LogSkipped(Stream& side, const char* skipped, int result) {
  ++side.skipped;
  if (side.skipped > kSkipsLoggedEach && side.skipped % kSkipsLoggedOnceIn != 0) return;
  char reason[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(result, reason, sizeof reason);
  gLog.Write("%s(%s; %lld so far)", skipped, reason, static_cast<long long>(side.skipped));
}

// ------------------------------------------------------------------ seeking

int DecoderContext::Seek(int64_t time) {
  std::lock_guard<std::mutex> lock(decoderLock_);
  time = ClampToLength(time);
  Stream* primary = video_.Decodes() ? &video_ : audio_.Decodes() ? &audio_ : nullptr;
  if (!primary || (!SeekInsideQueues(*primary, time) && !SeekDemuxerToKey(*primary, time))) {
    // Nothing moved: the reader and the queues stay as they were, and so
    // does the end of the file, which the frame readers may wait for.
    gLog.Write("failed to seek file...");
    WakeEveryWaiter();
    return 0;
  }
  MarkSeek(static_cast<double>(time) / QELO_TIME_UNITS_PER_SECOND);
  endOfFile_ = false;
  wakeRequested_ = true;
  WakeEveryWaiter();
  return 1;
}

int64_t DecoderContext::StreamTime(const Stream& side, int64_t time) {
  return SaturatedAdd(av_rescale_q(time, AVRational{1, QELO_TIME_UNITS_PER_SECOND},
                                   side.stream->time_base),
                      side.startTime);
}

int64_t DecoderContext::ResumeTime(const Stream& side, int64_t time) const {
  if (&side == &audio_) time = std::max<int64_t>(0, time - kSoundPreroll);
  return StreamTime(side, time);
}

// The target is already queued, and each stream's queue holds a key packet
// at or before where its decoding resumes: no demultiplexer seek is needed.
bool DecoderContext::SeekInsideQueues(Stream& primary, int64_t time) {
  const int64_t target = StreamTime(primary, time);
  int64_t first = 0, last = 0;
  if (!primary.queue.DtsRange(&first, &last) || target < first || target > last) return false;
  for (const Stream* side : {&video_, &audio_})
    if (side->Decodes() && !side->queue.HasKeyAt(ResumeTime(*side, time))) return false;
  for (Stream* side : {&video_, &audio_})
    if (side->Decodes()) side->queue.DropBeforeKeyAt(ResumeTime(*side, time));
  return true;
}

// Lands on a key packet shown at or before the target, never after it.
// Some demultiplexers (MPEG program and transport streams) only estimate
// where a time lies: they may land after it, or inside a group of pictures
// (even when asked for the stream's start time, whose first packets may be
// decoded earlier). Packets are read from the landing up to the first key
// packet of the primary stream; when none comes at or before the target the
// seek is made again further back, past the start if need be, and in the
// end decoding starts at the start of the file. Packets read on the way
// stay queued.
bool DecoderContext::SeekDemuxerToKey(Stream& primary, int64_t time) {
  const int64_t target = StreamTime(primary, time);
  const int64_t start = primary.startTime;
  int64_t step = av_rescale_q(1, AVRational{1, 1}, primary.stream->time_base);
  int64_t aim = StreamTime(primary, std::max<int64_t>(0, time - SeekLead()));
  for (int attempt = 0; attempt < kMaxSeekAttempts; ++attempt) {
    if (av_seek_frame(format_, primary.stream->index, aim, AVSEEK_FLAG_BACKWARD) < 0) {
      if (attempt == 0) return false;
      break;  // some demultiplexers refuse a time before the start
    }
    EmptyQueues();
    if (ReadToKeyAtOrBefore(primary, target)) {
      primary.queue.DropBeforeFirstKey();
      return true;
    }
    if (aim < start) return true;  // read from the start of the file
    aim = SaturatedAdd(target, -step);
    step = SaturatedAdd(step, step);
  }
  if (av_seek_frame(format_, primary.stream->index, start, AVSEEK_FLAG_BACKWARD) >= 0)
    EmptyQueues();
  return true;
}

// How far before its target a demultiplexer seek aims. The sound comes
// from about the landing on, and needs its preroll. The Ogg demultiplexer
// stamps the packets of a stream's last page wrongly when a seek lands on
// that page: its seeks aim a page's length (at most a second as FFmpeg
// writes Ogg) earlier, so that reading enters the last page from the one
// before it.
int64_t DecoderContext::SeekLead() const {
  int64_t lead = audio_.Decodes() ? kSoundPreroll : 0;
  if (std::strcmp(format_->iformat->name, "ogg") == 0) lead += QELO_TIME_UNITS_PER_SECOND;
  return lead;
}

// Reads and queues packets up to the first key packet of `primary`; false
// when a packet of it after `target` comes first, the file ends or a queue
// fills.
bool DecoderContext::ReadToKeyAtOrBefore(const Stream& primary, int64_t target) {
  PacketPtr packet(av_packet_alloc());
  if (!packet) return false;
  while (!video_.queue.Full() && !audio_.queue.Full() &&
         av_read_frame(format_, packet.get()) >= 0) {
    QueuePacket(packet.get());
    const bool ours = packet->stream_index == primary.stream->index;
    const bool key = packet->flags & AV_PKT_FLAG_KEY;
    // A key packet counts by when it is shown, the others by when they are
    // decoded: a later key packet is decoded after them.
    const int64_t first = key ? packet->pts : packet->dts;
    const int64_t time = first != AV_NOPTS_VALUE ? first : key ? packet->dts : packet->pts;
    av_packet_unref(packet.get());
    if (!ours) continue;
    if (time != AV_NOPTS_VALUE && time > target) return false;
    if (key) return true;
  }
  return false;
}

// Each stream's clock resumes at its first queued stamp; one without any
// takes the target's whole second.
void DecoderContext::MarkSeek(double target) {
  for (Stream* side : {&video_, &audio_}) {
    if (!side->Decodes()) continue;
    int64_t stamp = 0;
    const double clock = side->queue.FirstStamp(&stamp) ? side->Seconds(stamp) : std::trunc(target);
    side->queue.PutFlushMarkerFirst({clock, target});
  }
}

void DecoderContext::EmptyQueues() {
  video_.queue.Empty();
  audio_.queue.Empty();
}

int64_t DecoderContext::ClampToLength(int64_t time) const {
  if (time < 0) return 0;
  return length_ >= 0 && time > length_ ? length_ : time;
}

// The file's length: the container's, else the longest of its decoded
// streams', else the estimate made when it was opened.
void DecoderContext::RecordLength() {
  if (format_->duration != AV_NOPTS_VALUE && format_->duration > 0) {
    length_ = av_rescale(format_->duration, QELO_TIME_UNITS_PER_SECOND, AV_TIME_BASE);
    return;
  }
  for (const Stream* side : {&video_, &audio_}) {
    if (!side->Decodes() || side->stream->duration == AV_NOPTS_VALUE) continue;
    const int64_t units = av_rescale_q(side->stream->duration, side->stream->time_base,
                                       AVRational{1, QELO_TIME_UNITS_PER_SECOND});
    length_ = std::max(length_, units);
  }
  if (length_ < 0 && lengthEstimated_)
    length_ = SaturatedInt64(static_cast<double>(estimatedLength_) * QELO_TIME_UNITS_PER_SECOND);
}

void DecoderContext::FlushVideoQueue() {
  std::lock_guard<std::mutex> lock(decoderLock_);
  video_.queue.Empty();
  roomFreed_.notify_all();
}

void DecoderContext::FlushAudioQueue() {
  std::lock_guard<std::mutex> lock(decoderLock_);
  audio_.queue.Empty();
  roomFreed_.notify_all();
}

}  // namespace qelo::codecs
