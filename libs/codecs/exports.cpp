// The flat entry points of QeloCodecs: argument and handle checks, then
// dispatch to the decoder and encoder contexts.
#include <mutex>

#include "codec_library.h"
#include "ffmpeg_messages.h"
#include "format_context.h"
#include "handle_table.h"
#include "media_decoder.h"
#include "media_encoder.h"
#include "qelo/codecs.h"
#include "win/codepage.h"

using qelo::codecs::DecoderContext;
using qelo::codecs::EncoderContext;
using qelo::codecs::gLog;

namespace {

using DecoderTable = qelo::codecs::HandleTable<DecoderContext, QELO_MAX_MEDIA_FILES>;
using EncoderTable = qelo::codecs::HandleTable<EncoderContext, QELO_MAX_ENCODERS>;

// The program, the player and the engine each initialise the library and
// each de-initialise it again. Every initialise counts one user and every
// de-initialise releases one; only the last release frees the tables, so one
// user's de-initialisation never frees what another still uses, and the
// tables are freed once.
std::mutex gUsersLock;  // guards gUsers; taken by the two calls below only
int gUsers = 0;

// The tables live as long as the process: a file still open at exit is never
// closed under a thread that still reads it.
DecoderTable& Decoders() {
  static auto* table = new DecoderTable;
  return *table;
}

EncoderTable& Encoders() {
  static auto* table = new EncoderTable;
  return *table;
}

std::shared_ptr<DecoderContext> DecoderOrLog(int handle) {
  auto decoder = Decoders().Get(handle);
  if (!decoder) gLog.Write("error decoder handle...");
  return decoder;
}

std::shared_ptr<EncoderContext> EncoderOrLog(int handle) {
  auto encoder = Encoders().Get(handle);
  if (!encoder) gLog.Write("error encoder handle(%d)", handle);
  return encoder;
}

}  // namespace

int QeloInitializeCodecs(LogCallback callback) {
  std::lock_guard lock(gUsersLock);
  if (gUsers++ > 0) return 2;
  gLog.SetCallback(callback);
  qelo::codecs::RouteFfmpegMessages();
  return 1;
}

int QeloDeInitializeCodecs(int) {
  {
    std::lock_guard lock(gUsersLock);
    if (gUsers > 0 && --gUsers > 0) return 1;
  }
  // A context still in use by another thread is freed when that call ends.
  for (auto& encoder : Encoders().RemoveAll()) encoder.reset();
  for (auto& decoder : Decoders().RemoveAll()) decoder->RequestStop();
  return 1;
}

MediaInfo* QeloMallocFileFormatInfo(MediaInfo** info) {
  auto* created = new MediaInfo{};
  if (info) *info = created;
  return created;
}

void QeloFreeFileFormatInfo(MediaInfo* info) {
  if (!info) return;
  for (int i = 0; i < info->streamCount && i < QELO_MAX_STREAM_INFOS; ++i) delete info->streams[i];
  delete info;
}

int QeloLoadMediaFile(const char16_t* path, MediaInfo* info) {
  if (Decoders().Full()) {
    gLog.Write("too many media file loaded...");
    return -1;
  }
  const std::u16string_view pathText(path ? path : u"");
  auto decoder = std::make_shared<DecoderContext>();
  if (!decoder->Open(pathText, info)) {
    gLog.Write("failed to load media file(%s)", qelo::win::Utf16ToUtf8(pathText).c_str());
    return -1;
  }
  const int handle = Decoders().Add(decoder);
  if (handle < 0) gLog.Write("too many media file loaded...");
  return handle;
}

int QeloUnloadMediaFile(int handle) {
  auto decoder = Decoders().Remove(handle);
  if (!decoder) {
    gLog.Write("error decoder handle...");
    return 0;
  }
  decoder->RequestStop();
  return 1;
}

int QeloGetVideoBuffersize(int handle) {
  auto decoder = Decoders().Get(handle);
  return decoder ? decoder->VideoBufferSize() : 0;
}

int QeloGetNextVideoFrame(VideoFrame* frame, int handle) {
  auto decoder = DecoderOrLog(handle);
  return decoder ? decoder->GetNextVideoFrame(frame) : 0;
}

int QeloGetNextAudioFrame(AudioFrame* frame, int handle) {
  auto decoder = DecoderOrLog(handle);
  return decoder ? decoder->GetNextAudioFrame(frame) : 0;
}

int QeloFlushAudio(int handle) {
  auto decoder = DecoderOrLog(handle);
  if (!decoder) return 0;
  decoder->FlushAudioQueue();
  return 1;
}

int QeloFlushVideo(int handle) {
  auto decoder = DecoderOrLog(handle);
  if (!decoder) return 0;
  decoder->FlushVideoQueue();
  return 1;
}

int QeloResizeVideoSize(int32_t* width, int32_t* height, int handle) {
  auto decoder = Decoders().Get(handle);
  if (!decoder || !width || !height) return 0;
  return decoder->Resize(width, height);
}

int QeloResample(int sampleRate, int bitsPerSample, int channels, int handle) {
  auto decoder = Decoders().Get(handle);
  return decoder ? decoder->Resample(sampleRate, bitsPerSample, channels) : 0;
}

int QeloSeekMediaFile(int64_t time, int handle) {
  auto decoder = DecoderOrLog(handle);
  return decoder ? decoder->Seek(time) : 0;
}

int QeloMediaReadFailed(int handle) {
  auto decoder = DecoderOrLog(handle);
  return decoder ? decoder->ReadFailed() : 0;
}

int QeloInitializeEncoder(const FormatSettings* settings) {
  if (Encoders().Full()) {
    gLog.Write("too many encoder exist...");
    return -1;
  }
  auto encoder = std::make_shared<EncoderContext>();
  if (!encoder->Open(settings)) {
    gLog.Write("failed to initialize encoder...");
    return -1;
  }
  const int handle = Encoders().Add(encoder);
  if (handle < 0) gLog.Write("too many encoder exist...");
  return handle;
}

int QeloAddVideoFrame(int width, int height, int pixelFormat, const uint8_t* pixels, int,
                      int handle) {
  auto encoder = EncoderOrLog(handle);
  return encoder ? encoder->AddVideoFrame(width, height, pixelFormat, pixels) : 0;
}

int QeloCloseVideo(int handle) { return EncoderOrLog(handle) ? 1 : 0; }

int QeloAddAudioFrame(const uint8_t* pcm, int byteCount, int handle) {
  auto encoder = EncoderOrLog(handle);
  return encoder ? encoder->AddAudio(pcm, byteCount) : 0;
}

int QeloCloseAudio(int handle) {
  auto encoder = EncoderOrLog(handle);
  return encoder ? encoder->CloseAudio() : 0;
}

int QeloDeInitializeEncoder(int handle) {
  auto encoder = Encoders().Remove(handle);
  if (!encoder) {
    gLog.Write("error encoder handle(%d)", handle);
    return 0;
  }
  return encoder->Finish();
}

int QeloGetDefaultFmtContext(int formatId, FormatSettings* settings) {
  return qelo::codecs::MakeFormatContext(formatId)->FillDefaults(settings);
}

int QeloCheckFmtContext(FormatSettings* settings) {
  if (!settings) return 0;
  return qelo::codecs::MakeFormatContext(settings->formatId)->Check(settings);
}
