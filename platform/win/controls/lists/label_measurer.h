// Label widths measured on a thread of the control's own. A control that
// gets many new labels at once (a tree level of thousands of folders) would
// otherwise spend its window's thread measuring each with the text shaper.
// The control hands the labels over; the thread measures them with a copy
// of the control's font and posts `doneMessage` to the control's window
// each time a part of them is ready.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "gdi/text.h"
#include "win/thread.h"
#include "win/window/window.h"

namespace qelo::win::lists {

class LabelMeasurer {
 public:
  struct Label {
    const void* key = nullptr;  // what the label belongs to, for the control
    std::string text;
    int width = 0;
  };

  LabelMeasurer(HWND window, UINT doneMessage, HFONT font);
  // Stops after the label being measured and waits for the thread.
  ~LabelMeasurer();
  LabelMeasurer(const LabelMeasurer&) = delete;
  LabelMeasurer& operator=(const LabelMeasurer&) = delete;

  void Measure(std::vector<Label> labels);
  // The labels measured since the last call.
  std::vector<Label> Take();
  // Whether labels handed over are not measured or not taken yet.
  bool Busy();

 private:
  void Run();

  HWND window_;
  UINT message_;
  TextMeasure measure_;
  std::mutex lock_;  // guards the three queues below and stop_
  std::condition_variable wake_;
  std::deque<Label> waiting_;
  std::size_t measuring_ = 0;  // labels the thread holds now
  std::vector<Label> done_;
  bool stop_ = false;
  Thread thread_;
};

}  // namespace qelo::win::lists
