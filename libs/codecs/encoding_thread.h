// A thread of an encoder's own that encodes the pictures handed to it, so
// that the caller converts the next picture meanwhile. A few pictures take
// turns: the caller borrows a free one, fills it and queues it; the thread
// encodes the queued ones in order and frees them again.
//
// Threads: the caller (always the one holding the encoder's lock) and the
// encoding thread; `lock_` guards the pictures' turns and the failure flag.
#pragma once

#include <array>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "ffmpeg_ptr.h"
#include "win/thread.h"

namespace qelo::codecs {

class EncodingThread {
 public:
  // `encode` sends one picture to the encoder and writes what comes out;
  // false when that failed (it logs its own line).
  explicit EncodingThread(std::function<bool(AVFrame*)> encode);
  // Drops what is still queued and ends the thread.
  ~EncodingThread();
  EncodingThread(const EncodingThread&) = delete;
  EncodingThread& operator=(const EncodingThread&) = delete;

  // A picture to fill, waiting while every picture is queued or being
  // encoded. Its buffer may still be the encoder's (see av_frame_is_writable).
  AVFrame* Borrow();
  // Hands the borrowed picture back unfilled.
  void GiveBack(AVFrame* picture);
  // Queues the borrowed picture for encoding.
  void Queue(AVFrame* picture);
  // True, once, when a picture failed to be encoded since the last call.
  bool TakeFailure();
  // Returns when every queued picture is encoded; the thread has ended.
  void Finish();

 private:
  enum class Turn { Free, Borrowed, Queued, Encoding };
  static constexpr int kPictures = 3;

  void Run();
  int IndexOf(const AVFrame* picture) const;
  void End(bool dropQueued);

  std::function<bool(AVFrame*)> encode_;
  std::mutex lock_;
  std::condition_variable changed_;
  std::array<FramePtr, kPictures> pictures_;
  std::array<Turn, kPictures> turns_{};
  std::deque<int> queued_;
  bool failed_ = false;
  bool ending_ = false, dropQueued_ = false;
  win::Thread thread_;  // last: started after every member above exists
};

}  // namespace qelo::codecs
