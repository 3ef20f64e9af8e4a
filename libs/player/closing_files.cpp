#include "closing_files.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "media_reader.h"

namespace qelo::player {
namespace {

struct ClosingFile {
  std::thread thread;
  std::shared_ptr<std::atomic<bool>> released;
};

// Guards the list, which the host's thread changes (closing, opening,
// teardown) and library shutdown empties.
std::mutex gLock;
std::vector<ClosingFile>& Files() {
  static std::vector<ClosingFile> files;
  return files;
}

}  // namespace

void ReleaseInBackground(std::unique_ptr<MediaReader> reader) {
  auto released = std::make_shared<std::atomic<bool>>(false);
  std::thread thread([reader = std::move(reader), released] {
    reader->ReleaseReader();
    released->store(true);
  });
  std::lock_guard guard(gLock);
  std::erase_if(Files(), [](ClosingFile& file) {
    if (!file.released->load()) return false;
    file.thread.join();
    return true;
  });
  Files().push_back({std::move(thread), std::move(released)});
}

void WaitForClosingFiles() {
  std::vector<ClosingFile> files;
  {
    std::lock_guard guard(gLock);
    files.swap(Files());
  }
  for (ClosingFile& file : files) file.thread.join();
}

}  // namespace qelo::player
