// The id families of the shared records turned into a container and into
// FFmpeg codecs.
#pragma once

extern "C" {
#include <libavcodec/codec_id.h>
}

namespace qelo::codecs {

struct EncoderChoice {
  AVCodecID id = AV_CODEC_ID_NONE;
  const char* preferredEncoder = nullptr;  // FFmpeg encoder name tried before the codec's default
};

// The extension handed to FFmpeg's output-format guess; null for ids outside
// 0..25.
const char* ContainerExtension(int formatId);

// AV_CODEC_ID_NONE for ids outside the table: the output then has no stream
// of that kind.
EncoderChoice FFmpegVideoCodec(int videoCodecId);
EncoderChoice FFmpegAudioCodec(int audioCodecId);

}  // namespace qelo::codecs
