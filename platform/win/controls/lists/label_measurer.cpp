#include "controls/lists/label_measurer.h"

#include <algorithm>
#include <utility>

namespace qelo::win::lists {
namespace {

// Labels measured between two messages to the window.
constexpr std::size_t kPart = 1024;

}  // namespace

LabelMeasurer::LabelMeasurer(HWND window, UINT doneMessage, HFONT font)
    : window_(window), message_(doneMessage), measure_(font) {
  thread_.Start([this] { Run(); });
}

LabelMeasurer::~LabelMeasurer() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.Join();
}

void LabelMeasurer::Measure(std::vector<Label> labels) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    for (Label& label : labels) waiting_.push_back(std::move(label));
  }
  wake_.notify_all();
}

std::vector<LabelMeasurer::Label> LabelMeasurer::Take() {
  std::lock_guard<std::mutex> hold(lock_);
  return std::exchange(done_, {});
}

bool LabelMeasurer::Busy() {
  std::lock_guard<std::mutex> hold(lock_);
  return !waiting_.empty() || measuring_ > 0 || !done_.empty();
}

void LabelMeasurer::Run() {
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    wake_.wait(hold, [this] { return stop_ || !waiting_.empty(); });
    if (stop_) return;
    const std::size_t count = std::min(kPart, waiting_.size());
    std::vector<Label> part(std::make_move_iterator(waiting_.begin()),
                            std::make_move_iterator(waiting_.begin() + static_cast<std::ptrdiff_t>(count)));
    waiting_.erase(waiting_.begin(), waiting_.begin() + static_cast<std::ptrdiff_t>(count));
    measuring_ = part.size();
    hold.unlock();
    for (Label& label : part) label.width = measure_.Width(label.text);
    hold.lock();
    measuring_ = 0;
    if (stop_) return;
    for (Label& label : part) done_.push_back(std::move(label));
    PostMessage(window_, message_, 0, 0);
  }
}

}  // namespace qelo::win::lists
