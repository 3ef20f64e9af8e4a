#include "ui_script.h"

#include <map>

namespace qelo::test {
namespace {

thread_local std::map<win::UINT_PTR, TimedSteps*> running;

}  // namespace

TimedSteps::TimedSteps(std::vector<std::function<void()>> steps, unsigned intervalMs) : steps_(std::move(steps)) {
  timer_ = win::SetTimer(nullptr, 0, intervalMs, &TimedSteps::Tick);
  running[timer_] = this;
}

TimedSteps::~TimedSteps() {
  win::KillTimer(nullptr, timer_);
  running.erase(timer_);
}

void TimedSteps::Tick(win::HWND, win::UINT, win::UINT_PTR id, win::DWORD) {
  auto it = running.find(id);
  if (it == running.end()) return;
  TimedSteps* self = it->second;
  if (self->next_ < self->steps_.size()) self->steps_[self->next_++]();
}

void PumpMessages() {
  win::MSG m;
  while (win::PeekMessage(&m, nullptr, 0, 0, win::PM_REMOVE)) win::DispatchMessage(&m);
}

}  // namespace qelo::test
