#include "format_defaults.h"

#include <cstring>

namespace qelo::fileformat {
namespace {

constexpr int kBitsPerKilobit = 1000;

// The default item of a list; null for an empty list.
const ValueItem* DefaultItem(const ValueList& list) {
  return list.count > 0 ? list.items[list.def] : nullptr;
}

int32_t DefaultValue(const ValueList& list) {
  const ValueItem* item = DefaultItem(list);
  return item ? item->value : 0;
}

int32_t DefaultValue2(const ValueList& list) {
  const ValueItem* item = DefaultItem(list);
  return item ? item->value2 : 0;
}

// The AMR codecs' bit rates are written in bit/s, every other in kbit/s.
bool BitRateInBits(int32_t audioCodecId) {
  return audioCodecId == ACODEC_AMR_NB || audioCodecId == ACODEC_AMR_WB;
}

void FillVideo(const VideoCodecDesc& codec, FormatSettings* s) {
  s->videoCodecId = codec.id;
  s->videoBitRate = DefaultValue(codec.bitrate) * kBitsPerKilobit;
  s->width = DefaultValue(codec.resolution);
  s->height = DefaultValue2(codec.resolution);
  s->frameRateNum = DefaultValue(codec.fps);
  s->frameRateDen = DefaultValue2(codec.fps);
  s->videoProfile = DefaultValue(codec.profile);
  s->videoLevel = DefaultValue(codec.level);
}

void FillAudio(const AudioCodecDesc& codec, FormatSettings* s) {
  s->audioCodecId = codec.id;
  const int32_t bitRate = DefaultValue(codec.bitrate);
  s->audioBitRate = BitRateInBits(codec.id) ? bitRate : bitRate * kBitsPerKilobit;
  s->sampleRate = DefaultValue(codec.sampleRate);
  s->channels = DefaultValue(codec.channel);
  s->bitsPerSample = DefaultValue(codec.sampleBits);
}

}  // namespace

void FillFormatDefaults(const ProfileDesc& profile, const FileFormatDesc& format,
                        FormatSettings* settings) {
  std::memset(settings, 0, sizeof *settings);
  settings->formatId = format.formatId;
  settings->videoCodecId = VCODEC_NONE;
  settings->audioCodecId = ACODEC_NONE;
  if (format.video.count > 0 && profile.property != kGeneralAudio)
    FillVideo(*format.video.codecs.video[format.video.def], settings);
  if (format.audio.count > 0) FillAudio(*format.audio.codecs.audio[format.audio.def], settings);
}

}  // namespace qelo::fileformat
