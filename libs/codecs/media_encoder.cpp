#include "media_encoder.h"

#include <cstring>
#include <string>

#include "codec_library.h"
#include "codec_tables.h"
#include "win/codepage.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace qelo::codecs {
namespace {

constexpr int kPcmFrameBytes = 10000;
constexpr int kMaxMuxDelay = AV_TIME_BASE * 7 / 10;

const AVCodec* FindEncoder(const EncoderChoice& choice) {
  if (choice.preferredEncoder)
    if (const AVCodec* named = avcodec_find_encoder_by_name(choice.preferredEncoder)) return named;
  return avcodec_find_encoder(choice.id);
}

AVSampleFormat SampleFormatForBits(int bitsPerSample) {
  return bitsPerSample == 8    ? AV_SAMPLE_FMT_U8
         : bitsPerSample == 32 ? AV_SAMPLE_FMT_S32
                               : AV_SAMPLE_FMT_S16;
}

// The wanted format when the encoder takes it, else the encoder's first.
AVPixelFormat ChoosePixelFormat(const AVCodec* encoder, AVPixelFormat wanted) {
  if (!encoder->pix_fmts) return wanted;
  for (const AVPixelFormat* f = encoder->pix_fmts; *f != AV_PIX_FMT_NONE; ++f)
    if (*f == wanted) return wanted;
  return encoder->pix_fmts[0];
}

AVSampleFormat ChooseSampleFormat(const AVCodec* encoder, AVSampleFormat input) {
  if (!encoder->sample_fmts) return input;
  for (const AVSampleFormat* f = encoder->sample_fmts; *f != AV_SAMPLE_FMT_NONE; ++f)
    if (*f == input) return input;
  for (const AVSampleFormat* f = encoder->sample_fmts; *f != AV_SAMPLE_FMT_NONE; ++f)
    if (av_get_packed_sample_fmt(*f) == input) return *f;
  return encoder->sample_fmts[0];
}

bool IsPcm16(AVCodecID id) {
  return id == AV_CODEC_ID_PCM_S16LE || id == AV_CODEC_ID_PCM_S16BE ||
         id == AV_CODEC_ID_PCM_U16LE || id == AV_CODEC_ID_PCM_U16BE;
}

// H.264 profiles by the numbers the catalogue writes (0 and 1) or by the
// standard's profile_idc.
const char* H264ProfileName(int profile) {
  switch (profile) {
    case 0:
    case FF_PROFILE_H264_BASELINE: return "baseline";
    case 1:
    case FF_PROFILE_H264_MAIN: return "main";
    case FF_PROFILE_H264_HIGH: return "high";
    default: return nullptr;
  }
}

void ApplyVideoCodecOptions(AVCodecContext* c, const FormatSettings& s) {
  switch (c->codec_id) {
    case AV_CODEC_ID_MPEG2VIDEO:
      c->max_b_frames = 2;
      break;
    case AV_CODEC_ID_MPEG1VIDEO:
      c->mb_decision = FF_MB_DECISION_RD;
      break;
    case AV_CODEC_ID_H264:
      if (const char* name = H264ProfileName(s.videoProfile))
        av_opt_set(c->priv_data, "profile", name, 0);
      if (s.videoLevel > 0) c->level = s.videoLevel;
      break;
    default:
      break;
  }
}

}  // namespace

EncoderContext::~EncoderContext() { FreeAll(); }

bool EncoderContext::Open(const FormatSettings* settings) {
  std::lock_guard<std::mutex> lock(lock_);
  if (!settings) {
    gLog.Write("Error parameter...");
    return false;
  }
  video_.packet.reset(av_packet_alloc());
  audio_.packet.reset(av_packet_alloc());
  if (!video_.packet || !audio_.packet || !CreateOutput(*settings)) return false;
  if (FFmpegVideoCodec(settings->videoCodecId).id != AV_CODEC_ID_NONE &&
      !AddVideoStream(*settings))
    return false;
  if (FFmpegAudioCodec(settings->audioCodecId).id != AV_CODEC_ID_NONE &&
      !AddAudioStream(*settings))
    return false;
  if (video_ && !OpenVideoEncoder()) return false;
  if (audio_ && !OpenAudioEncoder()) return false;
  av_dump_format(output_, 0, path_.c_str(), 1);
  return OpenFileAndWriteHeader();
}

bool EncoderContext::CreateOutput(const FormatSettings& s) {
  path_ = win::Utf16ToUtf8(win::Utf16Field(s.outputPath, QELO_PATH_CHARS));
  const char* extension = ContainerExtension(s.formatId);
  const AVOutputFormat* format =
      extension ? av_guess_format(nullptr, (std::string("output") + extension).c_str(), nullptr)
                : nullptr;
  if (!format) {
    gLog.Write("Error file format id...");
    return false;
  }
  if (avformat_alloc_output_context2(&output_, format, nullptr, path_.c_str()) < 0 || !output_) {
    gLog.Write("Failed to alloc format context...");
    return false;
  }
  // Room for interleaving, as the program streams (MPEG) expect of a muxer.
  output_->max_delay = kMaxMuxDelay;
  return true;
}

bool EncoderContext::AddVideoStream(const FormatSettings& s) {
  EncoderChoice choice = FFmpegVideoCodec(s.videoCodecId);
  if (s.videoCodecId == VCODEC_XVID && s.formatId == FORMAT_AVI)
    choice = {AV_CODEC_ID_MPEG4, nullptr};  // AVI takes the built-in MPEG-4 part 2
  const AVCodec* encoder = FindEncoder(choice);
  if (!encoder) {
    gLog.Write("failed to find encoder...");
    return false;
  }
  AVStream* stream = avformat_new_stream(output_, nullptr);
  CodecContextPtr c(avcodec_alloc_context3(encoder));
  if (!stream || !c) {
    gLog.Write("failed to create video stream...");
    return false;
  }
  stream->id = 0;
  c->bit_rate = s.videoBitRate;
  c->width = s.width;
  c->height = s.height;
  c->time_base = AVRational{s.frameRateDen, s.frameRateNum};
  c->framerate = AVRational{s.frameRateNum, s.frameRateDen};
  c->gop_size = 12;
  // As many encoding threads as the machine has (slices, or whole frames
  // where the encoder works so), as the decoders have.
  c->thread_count = 0;
  c->pix_fmt = ChoosePixelFormat(
      encoder, s.videoCodecId == VCODEC_DVVIDEO ? AV_PIX_FMT_YUV422P : AV_PIX_FMT_YUV420P);
  c->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
  ApplyVideoCodecOptions(c.get(), s);
  if (output_->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  // The Xvid encoder wants a sample aspect; square pixels are what the
  // frames have. (The built-in MPEG-4 encoder keeps its own IDCT: the Xvid
  // one trips its SIMD quantiser in this FFmpeg.)
  if (std::strcmp(encoder->name, "libxvid") == 0)
    c->sample_aspect_ratio = stream->sample_aspect_ratio = AVRational{1, 1};
  stream->time_base = c->time_base;
  video_.stream = stream;
  video_.codec = std::move(c);
  return true;
}

bool EncoderContext::AddAudioStream(const FormatSettings& s) {
  const AVCodec* encoder = FindEncoder(FFmpegAudioCodec(s.audioCodecId));
  if (!encoder) {
    gLog.Write("can't find audio encoder...");
    return false;
  }
  AVStream* stream = avformat_new_stream(output_, nullptr);
  CodecContextPtr c(avcodec_alloc_context3(encoder));
  if (!stream || !c || s.channels <= 0 || s.sampleRate <= 0) {
    gLog.Write("Failed to create audio stream");
    return false;
  }
  stream->id = 1;
  inputFormat_ = SampleFormatForBits(s.bitsPerSample);
  c->bit_rate = s.audioBitRate;
  c->sample_rate = s.sampleRate;
  c->sample_fmt = ChooseSampleFormat(encoder, inputFormat_);
  av_channel_layout_default(&c->ch_layout, s.channels);
  c->time_base = AVRational{1, s.sampleRate};
  c->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
  if (output_->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  stream->time_base = c->time_base;
  audio_.stream = stream;
  audio_.codec = std::move(c);
  return true;
}

bool EncoderContext::OpenVideoEncoder() {
  AVCodecContext* c = video_.codec.get();
  {
    std::lock_guard<std::mutex> codecLock(CodecLock());
    if (avcodec_open2(c, c->codec, nullptr) < 0) {
      gLog.Write("failed to initialize encoder...");
      return false;
    }
  }
  avcodec_parameters_from_context(video_.stream->codecpar, c);
  videoThread_ = std::make_unique<EncodingThread>([this](AVFrame* picture) {
    return Encode(video_, picture, "failed to encode video.", "failed to write encode frame....");
  });
  AVFrame* first = videoThread_->Borrow();
  if (!first) {
    gLog.Write("failed malloc frame ");
    return false;
  }
  const bool allocated = NewPictureBuffer(first);
  videoThread_->GiveBack(first);
  if (!allocated) {
    gLog.Write("failed to malloc frame buf...");
    return false;
  }
  return true;
}

bool EncoderContext::NewPictureBuffer(AVFrame* picture) {
  const AVCodecContext* c = video_.codec.get();
  av_frame_unref(picture);
  picture->format = c->pix_fmt;
  picture->width = c->width;
  picture->height = c->height;
  return av_frame_get_buffer(picture, 0) >= 0;
}

bool EncoderContext::OpenAudioEncoder() {
  AVCodecContext* c = audio_.codec.get();
  {
    std::lock_guard<std::mutex> codecLock(CodecLock());
    if (avcodec_open2(c, c->codec, nullptr) < 0) {
      gLog.Write("failed to initialize audio encoder...");
      return false;
    }
  }
  avcodec_parameters_from_context(audio_.stream->codecpar, c);
  const int channels = c->ch_layout.nb_channels;
  samplesPerFrame_ = c->frame_size > 1 ? c->frame_size : kPcmFrameBytes / channels;
  if (c->frame_size <= 1 && IsPcm16(c->codec_id)) samplesPerFrame_ /= 2;
  inputFrameBytes_ = channels * av_get_bytes_per_sample(inputFormat_);
  audioFrame_.reset(av_frame_alloc());
  if (audioFrame_) {
    audioFrame_->format = c->sample_fmt;
    audioFrame_->sample_rate = c->sample_rate;
    audioFrame_->nb_samples = samplesPerFrame_;
    av_channel_layout_copy(&audioFrame_->ch_layout, &c->ch_layout);
  }
  if (!audioFrame_ || av_frame_get_buffer(audioFrame_.get(), 0) < 0) {
    gLog.Write("Out of memory when alloc samples...");
    return false;
  }
  sampleBuffer_.assign(FrameBytes(), 0);
  pending_ = 0;
  if (c->sample_fmt == inputFormat_) return true;
  SwrContext* converter = nullptr;
  if (swr_alloc_set_opts2(&converter, &c->ch_layout, c->sample_fmt, c->sample_rate, &c->ch_layout,
                          inputFormat_, c->sample_rate, 0, nullptr) < 0 ||
      swr_init(converter) < 0) {
    swr_free(&converter);
    gLog.Write("failed to initialize audio encoder...");
    return false;
  }
  sampleConverter_.reset(converter);
  return true;
}

bool EncoderContext::OpenFileAndWriteHeader() {
  if (!(output_->oformat->flags & AVFMT_NOFILE)) {
    if (!file_.Create(path_)) return false;
    output_->pb = file_.Io();
  }
  if (avformat_write_header(output_, nullptr) < 0) {
    gLog.Write("failed to write file header...");
    return false;
  }
  return true;
}

bool EncoderContext::CloseFile() {
  if (!file_.IsOpen()) return true;
  bool whole = file_.Flush();
  if (!file_.StillAtPath()) {
    gLog.Write("output file(%s) is no longer at its path...", path_.c_str());
    whole = false;
  } else if ((!receivedMedia_ || file_.Empty()) && file_.Remove()) {
    gLog.Write("removed output without frame or sample(%s)", path_.c_str());
  }
  file_.Close();
  if (output_) output_->pb = nullptr;
  return whole;
}

// Sends one frame (or, with null, the end of the stream) and writes every
// packet the encoder has ready.
bool EncoderContext::Encode(Output& out, AVFrame* frame, const char* encodeFailed,
                            const char* writeFailed) {
  int result = avcodec_send_frame(out.codec.get(), frame);
  if (result < 0 && result != AVERROR_EOF) {
    gLog.Write("%s", encodeFailed);
    return false;
  }
  AVPacket* packet = out.packet.get();
  for (;;) {
    result = avcodec_receive_packet(out.codec.get(), packet);
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return true;
    if (result < 0) {
      gLog.Write("%s", encodeFailed);
      return false;
    }
    // A picture lasts one tick of the codec's time base; without a duration
    // the muxer cannot tell how long the last one is shown.
    if (packet->duration <= 0 && &out == &video_) packet->duration = 1;
    av_packet_rescale_ts(packet, out.codec->time_base, out.stream->time_base);
    packet->stream_index = out.stream->index;
    std::lock_guard<std::mutex> muxing(muxLock_);
    if (av_interleaved_write_frame(output_, packet) < 0) {
      gLog.Write("%s", writeFailed);
      return false;
    }
  }
}

// The picture is converted here, from the caller's pixels, and encoded on
// the encoding thread while the caller goes on; an encoding or writing
// failure there (logged when it happens) is answered by the next call.
int EncoderContext::AddVideoFrame(int width, int height, int pixelFormat, const uint8_t* pixels) {
  std::lock_guard<std::mutex> lock(lock_);
  if (!video_) return 0;
  if (pixelFormat != 1) {
    gLog.Write("only support argb32 pixel format...");
    return 0;
  }
  if (!pixels || !videoThread_) {
    gLog.Write("Error parameter....avframe, data");
    return 0;
  }
  AVCodecContext* c = video_.codec.get();
  if (width != c->width || height != c->height) {
    gLog.Write("frame size %dx%d differs from the output's %dx%d...", width, height, c->width,
               c->height);
    return 0;
  }
  if (!output_) {
    gLog.Write("Error parameter...Format context...");
    return 0;
  }
  if (videoThread_->TakeFailure()) return 0;
  if (!converter_.Ensure(width, height, AV_PIX_FMT_BGRA, width, height, c->pix_fmt)) {
    gLog.Write("failed to convert image....");
    return 0;
  }
  AVFrame* picture = videoThread_->Borrow();
  if (!ConvertInto(picture, pixels, width, height)) {
    videoThread_->GiveBack(picture);
    return 0;
  }
  picture->pts = video_.nextPts++;
  videoThread_->Queue(picture);
  receivedMedia_ = true;
  return 1;
}

// The encoder may still hold the picture's last buffer (B-frames,
// look-ahead): the picture then gets a new one. Every byte of it is written,
// so nothing is copied into it.
bool EncoderContext::ConvertInto(AVFrame* picture, const uint8_t* pixels, int width, int height) {
  if (!av_frame_is_writable(picture) && !NewPictureBuffer(picture)) {
    gLog.Write("failed to malloc frame buf...");
    return false;
  }
  const FramePtr source = WrapPixels(pixels, width * 4, width, height, AV_PIX_FMT_BGRA);
  if (!source || !converter_.Scale(source.get(), picture)) {
    gLog.Write("failed to convert image....");
    return false;
  }
  return true;
}

bool EncoderContext::EncodeAudioFrame(const uint8_t* pcm, int samples) {
  AVFrame* frame = audioFrame_.get();
  if (av_frame_make_writable(frame) < 0) {
    gLog.Write("failed to write audio frame...");
    return false;
  }
  frame->nb_samples = samples;
  if (sampleConverter_)
    swr_convert(sampleConverter_.get(), frame->extended_data, samples, &pcm, samples);
  else
    std::memcpy(frame->extended_data[0], pcm, static_cast<size_t>(samples) * inputFrameBytes_);
  frame->pts = audio_.nextPts;
  audio_.nextPts += samples;
  receivedMedia_ = true;
  return Encode(audio_, frame, "failed to write audio frame...", "failed to write audio frame...");
}

int EncoderContext::AddAudio(const uint8_t* pcm, int byteCount) {
  std::lock_guard<std::mutex> lock(lock_);
  if (!audio_) return 0;
  if (!pcm || byteCount < 0) {
    gLog.Write("Error parameter...");
    return 0;
  }
  const int frameBytes = FrameBytes();
  int remaining = byteCount;
  // A whole frame may stay pending: it goes out once more bytes follow, or
  // at CloseAudio.
  while (pending_ + remaining > frameBytes) {
    const uint8_t* source = pcm;
    if (pending_ > 0) {
      const int fill = frameBytes - pending_;
      std::memcpy(sampleBuffer_.data() + pending_, pcm, fill);
      pcm += fill, remaining -= fill;
      pending_ = 0;
      source = sampleBuffer_.data();
    } else {
      pcm += frameBytes, remaining -= frameBytes;
    }
    if (!EncodeAudioFrame(source, samplesPerFrame_)) return 0;
  }
  std::memcpy(sampleBuffer_.data() + pending_, pcm, remaining);
  pending_ += remaining;
  return 1;
}

int EncoderContext::CloseAudio() {
  std::lock_guard<std::mutex> lock(lock_);
  if (!audio_) return 0;
  if (pending_ == 0) return 1;
  const AVCodecContext* c = audio_.codec.get();
  const bool takesShortFrame =
      c->codec->capabilities & (AV_CODEC_CAP_VARIABLE_FRAME_SIZE | AV_CODEC_CAP_SMALL_LAST_FRAME);
  int samples = pending_ / inputFrameBytes_;
  if (!takesShortFrame || samples == 0) {
    // The encoder takes whole frames only: the rest of the last one is
    // silence, never bytes left over from an earlier frame.
    uint8_t* tail = sampleBuffer_.data() + static_cast<size_t>(samples) * inputFrameBytes_;
    const int channels = c->ch_layout.nb_channels;
    av_samples_set_silence(&tail, 0, samplesPerFrame_ - samples, channels, inputFormat_);
    samples = samplesPerFrame_;
  }
  pending_ = 0;
  return EncodeAudioFrame(sampleBuffer_.data(), samples) ? 1 : 0;
}

int EncoderContext::Finish() {
  std::lock_guard<std::mutex> lock(lock_);
  if (!output_) return 1;
  if (videoThread_) videoThread_->Finish();
  // Encoders that hold frames back (B-frames, look-ahead) give them up now.
  if (video_) Encode(video_, nullptr, "failed to encode video.", "failed to write encode frame....");
  if (audio_) Encode(audio_, nullptr, "failed to write audio frame...", "failed to write audio frame...");
  const bool written = av_write_trailer(output_) == 0;
  if (!written) gLog.Write("failed to write file trailer...");
  const bool closed = CloseFile();
  FreeAll();
  return written && closed ? 1 : 0;
}

void EncoderContext::FreeAll() {
  videoThread_.reset();  // before the encoder it uses
  {
    std::lock_guard<std::mutex> codecLock(CodecLock());
    video_.codec.reset();
    audio_.codec.reset();
  }
  converter_.Reset();
  audioFrame_.reset();
  sampleConverter_.reset();
  CloseFile();
  avformat_free_context(output_);
  output_ = nullptr;
}

}  // namespace qelo::codecs
