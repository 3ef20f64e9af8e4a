#include "effect_band_pool.h"

#include <algorithm>
#include <system_error>

namespace qelo::convertor {

// A thread the system refuses leaves a smaller pool; with none at all the
// callers run every band themselves.
EffectBandPool::EffectBandPool(int threads) {
  try {
    for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
  } catch (const std::system_error&) {
  }
}

EffectBandPool::~EffectBandPool() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stopping_ = true;
  }
  queued_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void EffectBandPool::Run(int count, const std::function<void(int)>& band) {
  if (count <= 0) return;
  Batch batch{&band, count};
  int ownFrom = count;  // bands from here on did not fit the queue
  {
    std::lock_guard<std::mutex> hold(lock_);
    for (int index = 1; index < count; ++index) {
      if (queue_.size() >= kQueueSlots) {
        ownFrom = index;
        break;
      }
      queue_.push_back({&batch, index});
    }
  }
  queued_.notify_all();
  Execute({&batch, 0});
  for (int index = ownFrom; index < count; ++index) Execute({&batch, index});
  std::unique_lock<std::mutex> hold(lock_);
  // Help with what is still queued, then wait for the bands in other hands.
  while (batch.unfinished > 0 && !queue_.empty()) {
    const Task task = queue_.front();
    queue_.pop_front();
    hold.unlock();
    Execute(task);
    hold.lock();
  }
  finished_.wait(hold, [&] { return batch.unfinished == 0; });
}

void EffectBandPool::Execute(const Task& task) {
  (*task.batch->band)(task.index);
  bool last;
  {
    std::lock_guard<std::mutex> hold(lock_);
    last = --task.batch->unfinished == 0;
  }
  if (last) finished_.notify_all();
}

void EffectBandPool::Work() {
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    queued_.wait(hold, [this] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) return;  // stopping, and nothing left to do
    const Task task = queue_.front();
    queue_.pop_front();
    hold.unlock();
    Execute(task);
    hold.lock();
  }
}

namespace {

// Three helpers at most: with the reader's own thread four bands go on at
// once, while the conversion thread and the decoder keep cores of their own.
constexpr unsigned kMostHelpers = 3;

struct EnginePool {
  std::mutex lock;  // guards `pool`: set on the caller's thread, read by runs being made
  std::shared_ptr<EffectBandPool> pool;
};

EnginePool& Engine() {
  static EnginePool engine;
  return engine;
}

}  // namespace

std::shared_ptr<EffectBandPool> EngineBandPool() {
  std::lock_guard<std::mutex> hold(Engine().lock);
  return Engine().pool;
}

void StartEngineBandPool() {
  const unsigned processors = std::thread::hardware_concurrency();
  const unsigned helpers = std::min(kMostHelpers, processors > 1 ? processors - 1 : 0);
  std::lock_guard<std::mutex> hold(Engine().lock);
  if (Engine().pool || helpers == 0) return;
  try {
    Engine().pool = std::make_shared<EffectBandPool>(static_cast<int>(helpers));
  } catch (const std::bad_alloc&) {
    // No pool: every frame's effects run on its reader's thread.
  }
}

void StopEngineBandPool() {
  std::shared_ptr<EffectBandPool> last;
  {
    std::lock_guard<std::mutex> hold(Engine().lock);
    last.swap(Engine().pool);
  }
  // Joined here unless a run still holds the pool; then when that run ends.
}

}  // namespace qelo::convertor
