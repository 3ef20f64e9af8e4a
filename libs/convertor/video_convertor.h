// One run of the engine: a conversion thread that converts the run's groups
// one after another, each through a source reader and one encoder, and
// reports progress through the registered callback.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "decoder_api.h"
#include "effect_band_pool.h"
#include "owned_frame.h"
#include "qelo/convertor.h"
#include "source_worker.h"
#include "win/thread.h"

namespace qelo::convertor {

class CVideoConvertor {
 public:
  // `groups` stay alive (and unchanged) as long as the run exists. With a
  // band pool, the readers apply the effects of large frames on it.
  CVideoConvertor(std::vector<const WorkGroup*> groups, ConvertCallback callback, void* userData,
                  DecoderApi& decoder = CodecBridgeDecoder(), std::shared_ptr<EffectBandPool> bandPool = nullptr);
  // Stops the run: the step in progress finishes, the output is closed and
  // ConvertStopped reported; then waits for the thread. The group's reader
  // is told first, so a conversion thread that waits for it is let go at
  // once.
  ~CVideoConvertor();
  CVideoConvertor(const CVideoConvertor&) = delete;
  CVideoConvertor& operator=(const CVideoConvertor&) = delete;

  // Starts the conversion thread; its handle, or null when it did not start.
  QeloThreadHandle Start();

 private:
  enum class Step { Done, Later };

  // The conversion thread's entry: runs RunConversion (a null run returns
  // at once).
  static void ConversionThread(CVideoConvertor* run);
  void RunConversion();
  // Converts group `index`; false when the run ends with it.
  bool ConvertGroup(int index, int64_t doneLength, int64_t totalLength);
  bool PrepareGroup(int index, const WorkGroup& group);
  // Replaces the group's reader (none ends it), under readerLock_.
  void ReplaceReader(std::unique_ptr<SourceWorker> reader);
  // After the group's output was closed: how the group ended, reported and
  // logged; true when it is done.
  bool GroupSucceeded(int index, bool closed);
  void EncodeSteps(int index, int64_t doneLength, int64_t totalLength);
  Step EncodeVideoStep();
  Step EncodeAudioStep();
  bool WriteVideoFrame(const VideoFrame& frame);
  void CloseVideoStream();
  void CloseAudioStream();
  void RelieveReader(bool audioWaited);
  void Notify(int group, double filePercent, double totalPercent, ConvertState state) const;

  const std::vector<const WorkGroup*> groups_;
  const int groupCount_;  // the table's count when the run started
  const ConvertCallback callback_;
  void* const userData_;
  DecoderApi& decoder_;
  const std::shared_ptr<EffectBandPool> bandPool_;  // held for the readers, as long as the run lives

  // Owned by the conversion thread while it runs; replaced under
  // readerLock_, which the destroying thread takes to tell the reader to stop.
  std::mutex readerLock_;
  std::unique_ptr<SourceWorker> reader_;
  int encoderHandle_ = -1;
  OwnedFrame outputFrame_;
  OwnedFrame fetchedFrame_;
  std::unique_ptr<AudioFrame> audioChunk_;
  int64_t audioClock_ = 0, videoClock_ = 0, frameDuration_ = 0;
  int32_t bytesPerSecond_ = 0;
  bool videoDone_ = false, audioDone_ = false;
  // How far the sources' own pictures and sound reached in the group's
  // output, filler frames and silence left out: what the group holds.
  int64_t videoContent_ = 0, audioContent_ = 0;
  int64_t audioBytes_ = 0, groupLength_ = 0;

  std::atomic<bool> stopRequested_{false};  // written by the destroying thread, under readerLock_
  win::Thread thread_;
};

}  // namespace qelo::convertor
