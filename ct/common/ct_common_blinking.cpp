#include "ct_common_blinking.h"

#include <algorithm>

#include "vcl/controls/forms.h"

namespace qelo::ct {

namespace {

// Owned by the GUI thread, like every control that registers.
TCtBlinkingControlsList* gBlinkingControls = nullptr;

}  // namespace

TCtBlinkingControlsList::TCtBlinkingControlsList() : timer_(new vcl::TTimer(nullptr)) {
  timer_->SetInterval(intervalOff_);
  timer_->SetEnabled(true);
  timer_->SetOnTimer([this](vcl::TObject* sender) { TimerFired(sender); });
}

TCtBlinkingControlsList::~TCtBlinkingControlsList() { timer_->Free(); }

void TCtBlinkingControlsList::Add(vcl::TControl* control) {
  if (control && !Contains(control)) controls_.push_back(control);
}

void TCtBlinkingControlsList::Remove(vcl::TControl* control) { std::erase(controls_, control); }

bool TCtBlinkingControlsList::Contains(const vcl::TControl* control) const {
  return std::find(controls_.begin(), controls_.end(), control) != controls_.end();
}

void TCtBlinkingControlsList::TimerFired(vcl::TObject*) {
  blinkState_ = blinkState_ == 1 ? 0 : 1;
  timer_->SetInterval(blinkState_ == 1 ? intervalOn_ : intervalOff_);
  const int state = blinkState_;
  struct TickScope {
    TCtBlinkingControlsList& list;
    explicit TickScope(TCtBlinkingControlsList& l) : list(l) { ++list.ticking_; }
    ~TickScope() { --list.ticking_; }
  };
  {
    TickScope tick(*this);
    const std::vector<vcl::TControl*> asked = controls_;
    for (vcl::TControl* control : asked) {
      if (!Contains(control)) continue;
      if (control->Perform(CM_BLINKQUERY) == 1 && Contains(control))
        control->Perform(CM_BLINK, static_cast<vcl::WPARAM>(state));
    }
  }
  if (ticking_ == 0 && releasePending_) {
    releasePending_ = false;
    vcl::Application()->Post(FreeBlinkingControlsListIfEmpty);
  }
}

TCtBlinkingControlsList* BlinkingControlsList() {
  if (!gBlinkingControls) gBlinkingControls = new TCtBlinkingControlsList;
  return gBlinkingControls;
}

TCtBlinkingControlsList* ExistingBlinkingControlsList() { return gBlinkingControls; }

void FreeBlinkingControlsListIfEmpty() {
  TCtBlinkingControlsList* list = gBlinkingControls;
  if (!list || list->GetCount() != 0) return;
  if (list->ticking_ > 0) {
    list->releasePending_ = true;
    return;
  }
  gBlinkingControls = nullptr;
  list->Free();
}

}  // namespace qelo::ct
