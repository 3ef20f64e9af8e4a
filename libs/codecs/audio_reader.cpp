// Audio chunks of a media file: decoding, timing and conversion to the
// interleaved PCM format chosen by the caller.
#include <algorithm>
#include <cstring>

#include "codec_library.h"
#include "media_decoder.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace qelo::codecs {
namespace {

constexpr const char* kAudioSkipped = "undecodable audio packet skipped";

// The resampler mixes a stream into a channel count only when the count has
// a standard speaker layout (1 to 8, 16, 24).
bool HasStandardLayout(int channels) {
  if (channels <= 0) return false;
  AVChannelLayout layout{};
  av_channel_layout_default(&layout, channels);
  const bool standard = layout.order == AV_CHANNEL_ORDER_NATIVE;
  av_channel_layout_uninit(&layout);
  return standard;
}

AVSampleFormat SampleFormatForBits(int bitsPerSample) {
  switch (bitsPerSample) {
    case 8: return AV_SAMPLE_FMT_U8;
    case 16: return AV_SAMPLE_FMT_S16;
    case 32: return AV_SAMPLE_FMT_S32;
    default: return AV_SAMPLE_FMT_NONE;
  }
}

AVChannelLayout LayoutOf(const AVChannelLayout& layout) {
  AVChannelLayout copy{};
  if (layout.order == AV_CHANNEL_ORDER_UNSPEC || av_channel_layout_copy(&copy, &layout) < 0)
    av_channel_layout_default(&copy, layout.nb_channels);
  return copy;
}

}  // namespace

int DecoderContext::OutputFrameBytes() const {
  return outChannels_ * av_get_bytes_per_sample(outFormat_);
}

int DecoderContext::Resample(int sampleRate, int bitsPerSample, int channels) {
  const AVSampleFormat format = SampleFormatForBits(bitsPerSample);
  if (sampleRate < kMinSampleRate || sampleRate > kMaxSampleRate || !HasStandardLayout(channels) ||
      format == AV_SAMPLE_FMT_NONE) {
    gLog.Write("invalid audio format(%d Hz, %d bits, %d channels)...", sampleRate, bitsPerSample,
               channels);
    return 0;
  }
  std::lock_guard<std::mutex> lock(audioLock_);
  outRate_ = sampleRate;
  outChannels_ = channels;
  outFormat_ = format;
  converterValid_ = false;
  // Bytes converted to the former format are not handed out in the new one.
  pending_.clear();
  pendingOffset_ = 0;
  return 1;
}

int DecoderContext::GetNextAudioFrame(AudioFrame* frame) {
  if (!frame) {
    gLog.Write("Error parameter....");
    return 0;
  }
  std::memset(frame->data, 0, sizeof frame->data);
  frame->byteCount = 0;
  if (!audio_.Decodes()) {
    gLog.Write("no audio stream exist...");
    return 0;
  }
  std::lock_guard<std::mutex> lock(audioLock_);
  // Samples converted before a seek belong to the old position, and so does
  // the resampler's delay line.
  if (FlushIfSought(audio_, &audioClock_)) {
    pending_.clear();
    pendingOffset_ = 0;
    converterValid_ = false;
  }
  const int frameBytes = OutputFrameBytes();
  if (frameBytes <= 0 || !DecodeSamplesFromTarget()) {
    gLog.Write("no more audio frame exist...");
    return 0;
  }
  // A chunk holds whole sample frames; what does not fit waits for the next
  // call.
  const size_t room = QELO_AUDIO_FRAME_BYTES / frameBytes * frameBytes;
  const size_t count = std::min(room, pending_.size() - pendingOffset_);
  std::memcpy(frame->data, pending_.data() + pendingOffset_, count);
  frame->byteCount = static_cast<int32_t>(count);
  frame->pts = SecondsToUnits(pendingTime_);
  pendingOffset_ += count;
  pendingTime_ += static_cast<double>(count / frameBytes) / outRate_;
  return 1;
}

bool DecoderContext::DecodeSamplesFromTarget() {
  do {
    if (!HasPendingSamples() && !DecodeNextSamples()) return false;
  } while (!SkipSamplesBeforeTarget());
  return true;
}

bool DecoderContext::SkipSamplesBeforeTarget() {
  const double early = audio_.seekTarget - pendingTime_;
  if (early <= kSeekTolerance) {
    audio_.seekTarget = kNoSeekTarget;
    return true;
  }
  const size_t frameBytes = OutputFrameBytes();
  const size_t left = (pending_.size() - pendingOffset_) / frameBytes;
  const auto skipped = std::min(left, static_cast<size_t>(std::llround(early * outRate_)));
  pendingOffset_ += skipped * frameBytes;
  pendingTime_ += static_cast<double>(skipped) / outRate_;
  if (skipped < left) audio_.seekTarget = kNoSeekTarget;
  return HasPendingSamples();
}

bool DecoderContext::DecodeNextSamples() {
  for (;;) {
    switch (Receive(audio_, samples_.get(), kAudioSkipped)) {
      case Received::Frame:
        // Sound that cannot be converted is left out (its line says why),
        // and decoding goes on.
        if (ConvertSamples(samples_.get()) && HasPendingSamples()) return true;
        continue;
      case Received::Ended:
        return DrainConverterOrEnd();
      case Received::NeedsInput:
        break;
    }
    switch (FeedDecoder(audio_, &audioClock_, kAudioSkipped)) {
      case Fed::End:
        return DrainConverterOrEnd();
      case Fed::Flushed:
        converterValid_ = false;  // its delay line holds samples of the old position
        break;
      case Fed::Packet:
        break;
    }
  }
}

bool DecoderContext::DrainConverterOrEnd() {
  if (DrainConverter()) return true;
  gLog.Write("finish decode....");
  return false;
}

bool DecoderContext::EnsureConverter(const AVFrame* decoded) {
  const auto format = static_cast<AVSampleFormat>(decoded->format);
  if (converterValid_ && format == convertedFrom_ && decoded->sample_rate == convertedFromRate_ &&
      av_channel_layout_compare(&decoded->ch_layout, &convertedFromLayout_) == 0)
    return true;
  converter_.reset();
  convertedFrom_ = format;
  convertedFromRate_ = decoded->sample_rate;
  av_channel_layout_uninit(&convertedFromLayout_);
  av_channel_layout_copy(&convertedFromLayout_, &decoded->ch_layout);
  converterValid_ = true;
  const bool passThrough = format == outFormat_ && decoded->sample_rate == outRate_ &&
                           decoded->ch_layout.nb_channels == outChannels_;
  if (passThrough) return true;

  // A damaged stream may claim a rate or a channel count no resampler
  // should be built for (building one can take minutes): its sound is left out.
  if (!DecodableSound(decoded->sample_rate, decoded->ch_layout.nb_channels)) {
    gLog.Write("decoded sound out of range(%d Hz, %d channels)...", decoded->sample_rate,
               decoded->ch_layout.nb_channels);
    converter_.reset();
    converterValid_ = false;
    return false;
  }
  AVChannelLayout inLayout = LayoutOf(decoded->ch_layout);
  AVChannelLayout outLayout{};
  if (outChannels_ == inLayout.nb_channels)
    av_channel_layout_copy(&outLayout, &inLayout);
  else
    av_channel_layout_default(&outLayout, outChannels_);
  SwrContext* converter = nullptr;
  int result = swr_alloc_set_opts2(&converter, &outLayout, outFormat_, outRate_, &inLayout, format,
                                   decoded->sample_rate, 0, nullptr);
  av_channel_layout_uninit(&inLayout);
  av_channel_layout_uninit(&outLayout);
  converter_.reset(converter);
  if (result >= 0) {
    av_opt_set_int(converter, "filter_size", 16, 0);
    av_opt_set_int(converter, "phase_shift", 10, 0);
    av_opt_set_int(converter, "linear_interp", 0, 0);
    av_opt_set_double(converter, "cutoff", 0.8, 0);
    result = swr_init(converter);
  }
  if (result < 0) {
    gLog.Write("failed to open audio resampler...");
    converter_.reset();
    converterValid_ = false;
    return false;
  }
  return true;
}

bool DecoderContext::ConvertSamples(const AVFrame* decoded) {
  if (!EnsureConverter(decoded)) return false;
  if (decoded->best_effort_timestamp != AV_NOPTS_VALUE)
    audioClock_ = audio_.Seconds(decoded->best_effort_timestamp);
  pendingTime_ = audioClock_;
  audioClock_ += static_cast<double>(decoded->nb_samples) / decoded->sample_rate;
  const int frameBytes = OutputFrameBytes();
  pending_.clear();
  pendingOffset_ = 0;
  if (!converter_) {
    const auto* bytes = decoded->extended_data[0];
    pending_.assign(bytes, bytes + static_cast<size_t>(decoded->nb_samples) * frameBytes);
    return true;
  }
  // The resampler's filter holds samples back: the first one out is older
  // than the first one in.
  pendingTime_ -= static_cast<double>(swr_get_delay(converter_.get(), 1000000)) / 1000000;
  const int room = swr_get_out_samples(converter_.get(), decoded->nb_samples);
  pending_.resize(static_cast<size_t>(std::max(room, 0)) * frameBytes);
  uint8_t* out = pending_.data();
  const int converted = swr_convert(converter_.get(), &out, room,
                                    const_cast<const uint8_t**>(decoded->extended_data),
                                    decoded->nb_samples);
  pending_.resize(static_cast<size_t>(std::max(converted, 0)) * frameBytes);
  return true;
}

// The resampler keeps a few samples back for its filter; at the end of the
// stream they are let out.
bool DecoderContext::DrainConverter() {
  if (!converter_) return false;
  const int frameBytes = OutputFrameBytes();
  const int room = swr_get_out_samples(converter_.get(), 0);
  if (room <= 0) return false;
  pending_.resize(static_cast<size_t>(room) * frameBytes);
  pendingOffset_ = 0;
  uint8_t* out = pending_.data();
  const int converted = swr_convert(converter_.get(), &out, room, nullptr, 0);
  pending_.resize(static_cast<size_t>(std::max(converted, 0)) * frameBytes);
  pendingTime_ = audioClock_ - static_cast<double>(std::max(converted, 0)) / outRate_;
  return HasPendingSamples();
}

}  // namespace qelo::codecs
