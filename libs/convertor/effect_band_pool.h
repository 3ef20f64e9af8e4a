// A few threads that apply a large frame's effects over horizontal bands
// of it. The engine owns the pool: InitializeVideoConvertor makes it,
// DeInitializeVideoConvertor lets go of it, and it is joined when the last
// run holding it has let go too. Any number of readers may hand it work at
// once; the caller of Run works on its own bands as well, so a busy or full
// pool only makes a frame take longer, never wait for another's.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace qelo::convertor {

class EffectBandPool {
 public:
  explicit EffectBandPool(int threads);
  // Finishes the queued bands, then joins the threads.
  ~EffectBandPool();
  EffectBandPool(const EffectBandPool&) = delete;
  EffectBandPool& operator=(const EffectBandPool&) = delete;

  int Threads() const { return static_cast<int>(threads_.size()); }
  // Runs band(0) to band(count - 1), each once, on the pool's threads and
  // the calling one; returns when all of them are done. `band` must not
  // throw.
  void Run(int count, const std::function<void(int)>& band);

  // Bands waiting at most, over all callers; a caller that finds the queue
  // full runs the band itself.
  static constexpr size_t kQueueSlots = 16;

 private:
  struct Batch {
    const std::function<void(int)>* band;
    int unfinished;
  };
  struct Task {
    Batch* batch;
    int index;
  };

  void Work();
  // Runs one task outside the lock and counts it done.
  void Execute(const Task& task);

  std::mutex lock_;  // guards queue_, stopping_ and every batch's `unfinished`
  std::condition_variable queued_;    // a task was queued, or the pool stops
  std::condition_variable finished_;  // a batch's last task was done
  std::deque<Task> queue_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;  // last: they start once the rest exists
};

// The engine's pool, or null when there is none (before initialisation,
// after de-initialisation, or on a single processor).
std::shared_ptr<EffectBandPool> EngineBandPool();
void StartEngineBandPool();
void StopEngineBandPool();

}  // namespace qelo::convertor
