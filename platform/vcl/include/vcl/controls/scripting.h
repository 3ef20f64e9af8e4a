// Driving forms without a person: find a form's components by name, give
// them input as a user would (through the window system's pointer and
// keyboard), pump messages until a condition holds, and answer modal runs
// (message boxes and dialogs) from a queue of scripted answers.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "vcl/controls/forms.h"
#include "vcl/graphics/menus.h"
#include "win/controls/menus.h"

namespace qelo::vcl::script {

// The component of that name owned by `root` (or `root` itself);
// EComponentError when there is none or it is of another class.
TComponent& Find(TComponent& root, std::string_view name);
template <class T>
T& Find(TComponent& root, std::string_view name) {
  TComponent& c = Find(root, name);
  if (auto* t = dynamic_cast<T*>(&c)) return *t;
  throw EComponentError(std::string(name) + " is a " + c.ClassName() + ", not a " + T::StaticClass().name);
}

// Pointer input at a point of the control (its centre by default); the
// control must be showing (EInvalidOperation otherwise). Each call handles
// the messages it caused before it returns.
void Click(TControl& control);
void RightClick(TControl& control);
void DoubleClick(TControl& control);
void MoveMouse(TControl& control, TPoint clientPoint);
void MoveMouseToScreen(TPoint screenPoint);
// Turns the wheel by `delta` (WHEEL_DELTA a notch, positive away from the
// user) with the pointer over the control's centre; the focused window
// gets the message.
void TurnWheel(TControl& control, int delta);
// Keys to the focused window: a press and release with the shift keys held.
void PressKey(uint16_t key, TShiftState shift = {});
void TypeText(const std::string& utf8);
// Gives the control the focus (through its form).
void Focus(TWinControl& control);

// Handles every waiting message.
void Pump();
// Pumps until `condition` holds or `timeoutMs` passed; whether it held.
bool PumpUntil(const std::function<bool()>& condition, int timeoutMs);

// While it lives, every modal run takes the next answer of its queue once
// the run has started: a modal result (a message box's button of that
// result is clicked; other forms get it as ModalResult) or a step that acts
// on the form. A run with no answer left is ended with mrCancel (a message
// box without a cancel button by its last button) and counted, so a script
// never hangs. The window system's own message boxes are answered from the
// same queue by the button of the result; a step, which needs a form,
// leaves such a box unanswered.
class ModalScript {
 public:
  ModalScript();
  ~ModalScript();
  ModalScript(const ModalScript&) = delete;
  ModalScript& operator=(const ModalScript&) = delete;

  void Answer(TModalResult result);
  void Answer(std::function<void(TCustomForm& form)> step);
  int Pending() const { return static_cast<int>(answers_.size()); }
  int Unanswered() const { return unanswered_; }
  // What the answered runs showed: a message box as "caption: text",
  // another form by its name.
  const std::vector<std::string>& Seen() const { return seen_; }

 private:
  struct Step {
    TModalResult result = mrNone;  // mrNone: `act` answers
    std::function<void(TCustomForm&)> act;
  };
  void Begin(TCustomForm& form);
  void BeginBox(win::HWND box);

  std::deque<Step> answers_;
  std::vector<std::string> seen_;
  int unanswered_ = 0;
  std::function<void(TCustomForm&)> previous_;
  std::function<void(win::HWND)> previousBox_;
};

// While it lives, every popup menu that tracks takes the next answer of its
// queue once its first level is shown: the item of that name (a sub-item of
// the menu itself) is clicked with the mouse as a user would, or the menu
// is dismissed with Escape. An item that is hidden or disabled cannot be
// chosen: the menu is dismissed and that is noted. A menu with no answer
// left is dismissed and counted, so a script never hangs.
class PopupScript {
 public:
  PopupScript();
  ~PopupScript();
  PopupScript(const PopupScript&) = delete;
  PopupScript& operator=(const PopupScript&) = delete;

  void Choose(std::string itemName);
  void Dismiss();
  int Pending() const { return static_cast<int>(answers_.size()); }
  int Unanswered() const { return unanswered_; }
  // Each menu as "menu: item"; "menu: item (disabled)" or "menu: item (not
  // shown)" when it could not be chosen, "menu: -" when dismissed.
  const std::vector<std::string>& Seen() const { return seen_; }

 private:
  void Begin(TMenuItem* root);

  std::deque<std::string> answers_;  // item names; empty: dismiss
  std::vector<std::string> seen_;
  int unanswered_ = 0;
  std::function<void(win::HMENU)> previous_;
};

}  // namespace qelo::vcl::script
