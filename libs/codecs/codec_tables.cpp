#include "codec_tables.h"

#include <iterator>

#include "qelo/media.h"

namespace qelo::codecs {
namespace {

constexpr const char* kContainerExtensions[FORMAT_ID_COUNT] = {
    ".mpg", ".mpg", ".mpg", ".mpg", ".mpg", ".mp4", ".mov", ".3gp", ".3g2",
    ".avi", ".wmv", ".asf", ".rm",  ".rmvb", ".flv", ".ogg", ".mp3", ".wav",
    ".ape", ".wma", ".mkv", ".dv",  ".aac", ".ac3", ".aiff", ".flac",
};

constexpr EncoderChoice kVideoCodecs[VIDEO_CODEC_ID_COUNT] = {
    {AV_CODEC_ID_MPEG1VIDEO},
    {AV_CODEC_ID_MPEG2VIDEO},
    {AV_CODEC_ID_MPEG4},
    {AV_CODEC_ID_H263},
    {AV_CODEC_ID_MPEG4, "libxvid"},  // Xvid: MPEG-4 part 2 through the Xvid encoder
    {AV_CODEC_ID_H264, "libx264"},
    {AV_CODEC_ID_WMV1},
    {AV_CODEC_ID_WMV2},
    {AV_CODEC_ID_WMV3},
    {AV_CODEC_ID_RV10},
    {AV_CODEC_ID_RV20},
    {AV_CODEC_ID_RV30},
    {AV_CODEC_ID_RV40},
    {AV_CODEC_ID_CAVS},
    {AV_CODEC_ID_THEORA, "libtheora"},
    {AV_CODEC_ID_MSMPEG4V1},
    {AV_CODEC_ID_MSMPEG4V2},
    {AV_CODEC_ID_MSMPEG4V3},
    {AV_CODEC_ID_MJPEG},
    {AV_CODEC_ID_FLV1},
    {AV_CODEC_ID_DVVIDEO},
};

constexpr EncoderChoice kAudioCodecs[AUDIO_CODEC_ID_COUNT] = {
    {AV_CODEC_ID_MP2},
    {AV_CODEC_ID_MP3, "libmp3lame"},
    {AV_CODEC_ID_AC3},
    {AV_CODEC_ID_AAC},
    {AV_CODEC_ID_AMR_NB, "libopencore_amrnb"},
    {AV_CODEC_ID_AMR_WB, "libvo_amrwbenc"},
    {AV_CODEC_ID_WMAV1},
    {AV_CODEC_ID_WMAV2},
    {AV_CODEC_ID_ADPCM_MS},
    {AV_CODEC_ID_ADPCM_IMA_WAV},
    {AV_CODEC_ID_VORBIS, "libvorbis"},
    {AV_CODEC_ID_RA_144},
    {AV_CODEC_ID_RA_288},
    {AV_CODEC_ID_DTS},
    {AV_CODEC_ID_DVAUDIO},
    {AV_CODEC_ID_APE},
    {AV_CODEC_ID_PCM_DVD},  // the PCM codec numbered after signed 16-bit planar PCM
    {AV_CODEC_ID_PCM_S16LE},
    {AV_CODEC_ID_PCM_S16BE},
    {AV_CODEC_ID_FLAC},
};

template <typename T, size_t N>
const T* Lookup(const T (&table)[N], int id) {
  return static_cast<unsigned>(id) < N ? &table[id] : nullptr;
}

}  // namespace

const char* ContainerExtension(int formatId) {
  const auto* ext = Lookup(kContainerExtensions, formatId);
  return ext ? *ext : nullptr;
}

EncoderChoice FFmpegVideoCodec(int videoCodecId) {
  const auto* c = Lookup(kVideoCodecs, videoCodecId);
  return c ? *c : EncoderChoice{};
}

EncoderChoice FFmpegAudioCodec(int audioCodecId) {
  const auto* c = Lookup(kAudioCodecs, audioCodecId);
  return c ? *c : EncoderChoice{};
}

}  // namespace qelo::codecs
