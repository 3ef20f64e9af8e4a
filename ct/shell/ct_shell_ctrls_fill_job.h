// A large folder read for the shell tree off the window's thread. The items
// are listed on the window's thread (a directory read is quick); what takes
// long is asking each item for its attributes, since a folder's
// has-subfolder answer means reading that folder too. The job first puts
// the items in the folder's own order, then reads their attributes and
// in-folder names on a few threads, each with a folder object of its own,
// front to back in that order. The window's thread adds nodes for the items
// read so far while the rest are read; the job posts the window a message
// whenever more are ready and the window asked to be told.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ct_shell_utils.h"
#include "win/thread.h"
#include "win/window/window.h"

namespace qelo::ct {

// One item as the job read it.
struct TCtListedItem {
  shell::IdListPtr item;         // in its folder
  HRESULT result = shell::S_OK;  // of the attribute request
  shell::ULONG attributes = 0;
  std::string name;  // in-folder display name
};

class TCtShellFillJob {
 public:
  // Starts at once. `folderList` is the folder's absolute list (copied);
  // each item is asked for `attributeMask`. `readyMessage` is posted to
  // `window` with `ticket` as its first parameter.
  TCtShellFillJob(LPCITEMIDLIST folderList, std::vector<shell::IdListPtr> items, shell::ULONG attributeMask,
                  win::HWND window, win::UINT readyMessage, win::WPARAM ticket);
  // Stops the threads between two items and waits for them.
  ~TCtShellFillJob();
  TCtShellFillJob(const TCtShellFillJob&) = delete;
  TCtShellFillJob& operator=(const TCtShellFillJob&) = delete;

  std::size_t Count() const { return listed_.size(); }
  // How many items, from the first in the folder's order, are read. With
  // `tellWhenMore`, the window gets the ready message once more are.
  std::size_t ReadyCount(bool tellWhenMore = false);
  // Waits until all items are read (for callers that need the level now).
  void WaitForAll();
  // The item at `position` in the folder's order (CompareIDs by the name
  // column, ties in the order they were listed). Its list may be read once
  // any item is ready; the rest once `position` is below ReadyCount().
  TCtListedItem& Item(std::size_t position) { return listed_[order_[position]]; }

 private:
  void Run(bool orderer);
  void Order();
  void ChunkRead(std::size_t chunk, IShellFolder* folder, HRESULT bound);

  shell::IdListPtr folderList_;
  std::vector<TCtListedItem> listed_;  // in the order the folder listed them
  std::vector<std::size_t> order_;      // indexes into listed_, in the folder's order
  shell::ULONG mask_;
  win::HWND window_;
  win::UINT message_;
  win::WPARAM ticket_;

  std::atomic<std::size_t> nextChunk_{0};  // the next chunk (of the order) a reader takes
  std::atomic<bool> stop_{false};
  std::mutex lock_;  // guards what follows
  std::condition_variable changed_;
  bool ordered_ = false;
  std::vector<bool> chunkRead_;
  std::size_t frontChunk_ = 0;  // chunks before it are all read
  std::size_t ready_ = 0;
  bool tell_ = false;
  std::vector<std::unique_ptr<win::Thread>> threads_;
};

}  // namespace qelo::ct
