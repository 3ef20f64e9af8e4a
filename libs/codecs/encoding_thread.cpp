#include "encoding_thread.h"

#include <algorithm>
#include <utility>

namespace qelo::codecs {

EncodingThread::EncodingThread(std::function<bool(AVFrame*)> encode) : encode_(std::move(encode)) {
  for (FramePtr& picture : pictures_) picture.reset(av_frame_alloc());
  turns_.fill(Turn::Free);
}

EncodingThread::~EncodingThread() { End(true); }

int EncodingThread::IndexOf(const AVFrame* picture) const {
  for (int i = 0; i < kPictures; ++i)
    if (pictures_[i].get() == picture) return i;
  return -1;
}

AVFrame* EncodingThread::Borrow() {
  if (std::none_of(pictures_.begin(), pictures_.end(), [](const FramePtr& p) { return p != nullptr; }))
    return nullptr;  // no picture could be allocated
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    for (int i = 0; i < kPictures; ++i) {
      if (turns_[i] == Turn::Free && pictures_[i]) {
        turns_[i] = Turn::Borrowed;
        return pictures_[i].get();
      }
    }
    changed_.wait(hold);
  }
}

void EncodingThread::GiveBack(AVFrame* picture) {
  std::lock_guard<std::mutex> hold(lock_);
  const int i = IndexOf(picture);
  if (i >= 0) turns_[i] = Turn::Free;
}

void EncodingThread::Queue(AVFrame* picture) {
  std::unique_lock<std::mutex> hold(lock_);
  const int i = IndexOf(picture);
  if (i < 0) return;
  if (!thread_.Started() && !thread_.Start([this] { Run(); })) {
    // No thread to be had: the picture is encoded here and now.
    turns_[i] = Turn::Encoding;
    hold.unlock();
    const bool encoded = encode_(picture);
    hold.lock();
    turns_[i] = Turn::Free;
    failed_ = failed_ || !encoded;
    return;
  }
  turns_[i] = Turn::Queued;
  queued_.push_back(i);
  changed_.notify_all();
}

void EncodingThread::Run() {
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    changed_.wait(hold, [this] { return ending_ || !queued_.empty(); });
    if (dropQueued_ || queued_.empty()) return;
    const int i = queued_.front();
    queued_.pop_front();
    turns_[i] = Turn::Encoding;
    hold.unlock();
    const bool encoded = encode_(pictures_[i].get());
    hold.lock();
    turns_[i] = Turn::Free;
    failed_ = failed_ || !encoded;
    changed_.notify_all();
  }
}

bool EncodingThread::TakeFailure() {
  std::lock_guard<std::mutex> hold(lock_);
  return std::exchange(failed_, false);
}

void EncodingThread::Finish() { End(false); }

void EncodingThread::End(bool dropQueued) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    ending_ = true;
    dropQueued_ = dropQueued;
    changed_.notify_all();
  }
  thread_.Join();
  std::lock_guard<std::mutex> hold(lock_);
  for (int i : queued_) turns_[i] = Turn::Free;
  queued_.clear();
  ending_ = dropQueued_ = false;
}

}  // namespace qelo::codecs
