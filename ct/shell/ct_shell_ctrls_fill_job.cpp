#include "ct_shell_ctrls_fill_job.h"

#include <algorithm>
#include <numeric>
#include <thread>

#include "ct_shell_intf.h"

namespace qelo::ct {
namespace {

// Items a reader takes at a time: small enough that the first nodes can be
// added soon and the work is shared evenly, large enough that the shared
// state is seldom touched.
constexpr std::size_t kChunk = 64;

int ReaderCount() {
  const unsigned cores = std::thread::hardware_concurrency();
  return static_cast<int>(std::clamp(cores / 2, 1u, 4u));
}

}  // namespace

TCtShellFillJob::TCtShellFillJob(LPCITEMIDLIST folderList, std::vector<shell::IdListPtr> items,
                                 shell::ULONG attributeMask, win::HWND window, win::UINT readyMessage,
                                 win::WPARAM ticket)
    : folderList_(CopyIdList(ShellMalloc(), folderList)),
      mask_(attributeMask),
      window_(window),
      message_(readyMessage),
      ticket_(ticket) {
  listed_.resize(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) listed_[i].item = std::move(items[i]);
  chunkRead_.assign((listed_.size() + kChunk - 1) / kChunk, false);
  const int readers = ReaderCount();
  for (int i = 0; i < readers; ++i) {
    auto thread = std::make_unique<win::Thread>();
    const bool orderer = i == 0;
    if (thread->Start([this, orderer] { Run(orderer); })) threads_.push_back(std::move(thread));
    else if (orderer) Run(true);  // the system refused a thread: the work is done here
  }
}

TCtShellFillJob::~TCtShellFillJob() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stop_.store(true);
  }
  changed_.notify_all();
  threads_.clear();  // each thread ends after the item it is reading
}

std::size_t TCtShellFillJob::ReadyCount(bool tellWhenMore) {
  std::lock_guard<std::mutex> hold(lock_);
  if (tellWhenMore && ready_ < listed_.size()) tell_ = true;
  return ready_;
}

void TCtShellFillJob::WaitForAll() {
  std::unique_lock<std::mutex> hold(lock_);
  changed_.wait(hold, [this] { return ready_ == listed_.size() || stop_.load(); });
}

// The first thread puts the items in order; then every thread reads chunks
// of the order, front to back.
void TCtShellFillJob::Run(bool orderer) {
  if (orderer) {
    Order();
    std::lock_guard<std::mutex> hold(lock_);
    ordered_ = true;
    changed_.notify_all();
  } else {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [this] { return ordered_ || stop_.load(); });
  }
  // Each reader binds the folder for itself: folder objects are not shared
  // between threads.
  shell::ComPtr<IShellFolder> folder;
  const HRESULT bound = BindToShellFolder(folderList_.Get(), &folder);
  for (;;) {
    const std::size_t chunk = nextChunk_.fetch_add(1);
    if (chunk >= chunkRead_.size() || stop_.load()) return;
    ChunkRead(chunk, SUCCEEDED(bound) ? folder.Get() : nullptr, bound);
  }
}

// The order the tree sorts siblings in: the folder's CompareIDs by its first
// column, a stable sort of the listed order.
void TCtShellFillJob::Order() {
  order_.resize(listed_.size());
  std::iota(order_.begin(), order_.end(), std::size_t{0});
  shell::ComPtr<IShellFolder> folder;
  struct Stopped {};
  try {
    if (SUCCEEDED(BindToShellFolder(folderList_.Get(), &folder)))
      std::stable_sort(order_.begin(), order_.end(), [&](std::size_t a, std::size_t b) {
        if (stop_.load(std::memory_order_relaxed)) throw Stopped{};
        const HRESULT hr = folder->CompareIDs(0, listed_[a].item.Get(), listed_[b].item.Get());
        return SUCCEEDED(hr) && shell::CompareResultOrder(hr) < 0;
      });
  } catch (const Stopped&) {
    // the job is being dropped: the order is of no use
  }
}

// A read chunk that extends the run of read items from the front tells the
// window, when it asked.
void TCtShellFillJob::ChunkRead(std::size_t chunk, IShellFolder* folder, HRESULT bound) {
  const std::size_t first = chunk * kChunk, last = std::min(first + kChunk, listed_.size());
  for (std::size_t position = first; position < last; ++position) {
    if (stop_.load(std::memory_order_relaxed)) return;
    TCtListedItem& entry = Item(position);
    if (!folder) {
      entry.result = bound;
      continue;
    }
    LPCITEMIDLIST item = entry.item.Get();
    shell::ULONG attributes = mask_;
    entry.result = folder->GetAttributesOf(1, &item, &attributes);
    if (FAILED(entry.result)) continue;
    entry.attributes = attributes;
    entry.name = GetDisplayNameOf(folder, item, TCtNameKind::nkInFolder);
  }
  std::lock_guard<std::mutex> hold(lock_);
  chunkRead_[chunk] = true;
  const std::size_t before = ready_;
  while (frontChunk_ < chunkRead_.size() && chunkRead_[frontChunk_]) ++frontChunk_;
  ready_ = std::min(frontChunk_ * kChunk, listed_.size());
  if (ready_ == before) return;
  changed_.notify_all();
  if (tell_) {
    tell_ = false;
    win::PostMessage(window_, message_, ticket_, 0);
  }
}

}  // namespace qelo::ct
