// One output file: a container with at most one video and one audio stream,
// made from a FormatSettings record. Video frames come as 32-bit pixels;
// audio comes as interleaved PCM in the settings' rate, channel count and
// sample width, cut here into the encoder's frames.
//
// Every public call takes the encoder lock for its whole work; codec opening
// and closing also take the library's codec lock, inside it. Video pictures
// are converted by AddVideoFrame and encoded on the context's encoding
// thread, which writes its packets under the muxing lock as the callers
// write sound.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "encoding_thread.h"
#include "ffmpeg_ptr.h"
#include "output_file.h"
#include "packet_queue.h"
#include "picture_scaler.h"
#include "qelo/media.h"

namespace qelo::codecs {

class EncoderContext {
 public:
  EncoderContext() = default;
  EncoderContext(const EncoderContext&) = delete;
  EncoderContext& operator=(const EncoderContext&) = delete;
  // Frees everything without finishing the file (no trailer is written).
  // A file that received no frame and no sample is removed.
  ~EncoderContext();

  // Builds the container and its streams and writes the header; false after
  // one log line naming the failed step.
  bool Open(const FormatSettings* settings);

  int AddVideoFrame(int width, int height, int pixelFormat, const uint8_t* pixels);
  int AddAudio(const uint8_t* pcm, int byteCount);
  int CloseAudio();
  // Drains both encoders, writes the trailer and frees everything. 0 (with
  // its line) when the file could not be written whole, or is no longer at
  // its path (its folder removed or replaced). A file that received no frame
  // and no sample, or holds no byte (a full disk), is removed: the encoder
  // made it, and it holds nothing.
  int Finish();

 private:
  struct Output {
    AVStream* stream = nullptr;
    CodecContextPtr codec;
    int64_t nextPts = 0;  // in the codec's time base: frames for video, samples for audio
    PacketPtr packet;     // what the encoder hands out, one at a time
    explicit operator bool() const { return codec != nullptr; }
  };

  bool CreateOutput(const FormatSettings& settings);
  bool AddVideoStream(const FormatSettings& settings);
  bool AddAudioStream(const FormatSettings& settings);
  bool OpenVideoEncoder();
  // Gives the picture a new buffer in the encoder's format and size.
  bool NewPictureBuffer(AVFrame* picture);
  bool ConvertInto(AVFrame* picture, const uint8_t* pixels, int width, int height);
  bool OpenAudioEncoder();
  bool OpenFileAndWriteHeader();
  // Flushes and closes the file, removing it when it holds nothing; false
  // when it could not be written whole or has left its path.
  bool CloseFile();
  bool Encode(Output& out, AVFrame* frame, const char* encodeFailed, const char* writeFailed);
  bool EncodeAudioFrame(const uint8_t* pcm, int samples);
  int FrameBytes() const { return samplesPerFrame_ * inputFrameBytes_; }
  void FreeAll();

  std::mutex lock_;
  std::string path_;
  AVFormatContext* output_ = nullptr;
  OutputFile file_;
  bool receivedMedia_ = false;  // a frame or samples were taken
  std::mutex muxLock_;  // the muxer takes one packet at a time

  Output video_;
  std::unique_ptr<EncodingThread> videoThread_;  // its pictures are in the encoder's pixel format
  // 32-bit pixels to the encoder's format, made on the first frame. The
  // colour of each pixel is taken whole and the bicubic filter halves it,
  // rather than averaging pixel pairs first (which has no fast path).
  PictureScaler converter_{SWS_BICUBIC | SWS_FULL_CHR_H_INP};

  Output audio_;
  FramePtr audioFrame_;  // in the encoder's sample format
  ResamplerPtr sampleConverter_;  // only when the encoder takes another sample format
  AVSampleFormat inputFormat_ = AV_SAMPLE_FMT_S16;
  int inputFrameBytes_ = 0;  // channels x bytes per sample of the caller's PCM
  int samplesPerFrame_ = 0;
  std::vector<uint8_t> sampleBuffer_;  // bytes of an unfinished audio frame
  int pending_ = 0;
};

}  // namespace qelo::codecs
