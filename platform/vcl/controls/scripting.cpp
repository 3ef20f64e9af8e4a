#include "vcl/controls/scripting.h"

#include "vcl/controls/msgbox.h"
#include "vcl/graphics/menu_popup.h"
#include "win/controls/button.h"
#include "win/controls/message_box.h"
#include "win/window/display.h"

namespace qelo::vcl::script {

TComponent& Find(TComponent& root, std::string_view name) {
  if (SameText(root.Name(), name)) return root;
  if (TComponent* c = root.FindComponent(name)) return *c;
  throw EComponentError("No component named " + std::string(name) + " in " + root.Name());
}

namespace {

win::POINT ScreenPointOf(TControl& control, TPoint clientPoint) {
  if (!control.Showing()) throw EInvalidOperation(control.Name() + " is not showing");
  const TPoint p = control.ClientToScreen(clientPoint);
  return win::POINT{p.x, p.y};
}

TPoint Centre(const TControl& control) { return Point(control.Width() / 2, control.Height() / 2); }

void Press(TControl& control, win::MouseButton button, int times) {
  const win::POINT p = ScreenPointOf(control, Centre(control));
  win::InjectMouseMove(p);
  for (int i = 0; i < times; ++i) {
    win::InjectMouseButton(button, true, p);
    win::InjectMouseButton(button, false, p);
  }
  Pump();
}

int ShiftKey(TShiftStateItem item) {
  switch (item) {
    case ssShift: return win::VK_SHIFT;
    case ssCtrl: return win::VK_CONTROL;
    case ssAlt: return win::VK_MENU;
    default: return 0;
  }
}

}  // namespace

void Click(TControl& control) { Press(control, win::MouseButton::Left, 1); }
void RightClick(TControl& control) { Press(control, win::MouseButton::Right, 1); }
void DoubleClick(TControl& control) { Press(control, win::MouseButton::Left, 2); }

void MoveMouse(TControl& control, TPoint clientPoint) {
  win::InjectMouseMove(ScreenPointOf(control, clientPoint));
  Pump();
}

void TurnWheel(TControl& control, int delta) {
  win::InjectMouseWheel(delta, ScreenPointOf(control, Centre(control)));
  Pump();
}

void MoveMouseToScreen(TPoint screenPoint) {
  win::InjectMouseMove(win::POINT{screenPoint.x, screenPoint.y});
  Pump();
}

void PressKey(uint16_t key, TShiftState shift) {
  const TShiftStateItem modifiers[] = {ssShift, ssCtrl, ssAlt};
  for (TShiftStateItem m : modifiers)
    if (shift.Contains(m)) win::InjectKey(ShiftKey(m), true);
  win::InjectKey(key, true);
  // The key is handled while the shift keys are still down.
  Pump();
  win::InjectKey(key, false);
  for (TShiftStateItem m : modifiers)
    if (shift.Contains(m)) win::InjectKey(ShiftKey(m), false);
  Pump();
}

void TypeText(const std::string& utf8) {
  win::InjectText(utf8);
  Pump();
}

void Focus(TWinControl& control) {
  control.SetFocus();
  Pump();
}

void Pump() { Application()->ProcessMessages(); }

bool PumpUntil(const std::function<bool()>& condition, int timeoutMs) {
  const win::DWORD start = win::GetTickCount();
  for (;;) {
    Pump();
    if (condition()) return true;
    const win::DWORD waited = win::GetTickCount() - start;
    if (waited >= static_cast<win::DWORD>(timeoutMs)) return false;
    win::MsgWaitForMultipleObjects(0, nullptr, 0, static_cast<win::DWORD>(timeoutMs) - waited, win::QS_ALLINPUT);
  }
}

// ---- modal runs ------------------------------------------------------------------

ModalScript::ModalScript()
    : previous_(Application()->OnModalBegin),
      previousBox_(win::SetMessageBoxHook([this](win::HWND box) { BeginBox(box); })) {
  Application()->OnModalBegin = [this](TCustomForm& form) { Begin(form); };
}

ModalScript::~ModalScript() {
  Application()->OnModalBegin = previous_;
  win::SetMessageBoxHook(previousBox_);
}

void ModalScript::Answer(TModalResult result) { answers_.push_back(Step{result, nullptr}); }

void ModalScript::Answer(std::function<void(TCustomForm&)> step) { answers_.push_back(Step{mrNone, std::move(step)}); }

// The answer runs from the modal loop, once the form is up.
void ModalScript::Begin(TCustomForm& form) {
  auto* box = dynamic_cast<TMessageForm*>(&form);
  seen_.push_back(box ? box->Caption() + ": " + box->Text() : form.Name());
  std::function<void(TCustomForm&)> answer;
  if (answers_.empty()) {
    ++unanswered_;
    // A message box may have no cancel button to close it: its last
    // button answers then.
    answer = [](TCustomForm& f) {
      auto* box = dynamic_cast<TMessageForm*>(&f);
      if (box && !box->ButtonFor(mrCancel)) box->Buttons().back()->Click();
      else f.SetModalResult(mrCancel);
    };
  } else if (const TModalResult result = answers_.front().result; result != mrNone) {
    answers_.pop_front();
    answer = [result](TCustomForm& f) {
      auto* box = dynamic_cast<TMessageForm*>(&f);
      if (TButton* button = box ? box->ButtonFor(result) : nullptr) button->Click();
      else f.SetModalResult(result);
    };
  } else {
    answer = std::move(answers_.front().act);
    answers_.pop_front();
  }
  TCustomForm* target = &form;
  Application()->Post([target, answer] { answer(*target); });
}

// The button is clicked from the box's loop, as a user would click it: the
// result's button, else Cancel, else the last button (Yes/No boxes have no
// other way out).
void ModalScript::BeginBox(win::HWND box) {
  seen_.push_back(win::GetWindowText(box) + ": " + win::MessageBoxText(box));
  win::HWND button = nullptr;
  if (!answers_.empty() && answers_.front().result != mrNone)
    button = win::MessageBoxButton(box, answers_.front().result);
  if (!answers_.empty()) answers_.pop_front();
  if (!button) {
    ++unanswered_;
    button = win::MessageBoxButton(box, win::IDCANCEL);
    for (int answer : {win::IDOK, win::IDNO})
      if (!button) button = win::MessageBoxButton(box, answer);
  }
  win::PostMessage(button, win::BM_CLICK, 0, 0);
}

// ---- popup menus -----------------------------------------------------------------

namespace {

TMenuItem* FindSubItem(TMenuItem& root, std::string_view name) {
  for (int i = 0; i < root.Count(); ++i)
    if (SameText(root.Items(i)->Name(), name)) return root.Items(i);
  return nullptr;
}

std::string MenuName(TMenuItem& root) {
  TMenu* menu = root.GetParentMenu();
  return menu ? menu->Name() : root.Name();
}

// Escape to the menu, which holds the keyboard while it tracks.
void DismissMenu() {
  win::InjectKey(win::VK_ESCAPE, true);
  win::InjectKey(win::VK_ESCAPE, false);
}

void ClickItem(const TRect& box) {
  const win::POINT p{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
  win::InjectMouseMove(p);
  win::InjectMouseButton(win::MouseButton::Left, true, p);
  win::InjectMouseButton(win::MouseButton::Left, false, p);
}

}  // namespace

PopupScript::PopupScript()
    : previous_(win::menu_popup::SetTrackBeginHook([this](win::HMENU menu) { Begin(menu_popup::TrackedRoot(menu)); })) {}

PopupScript::~PopupScript() { win::menu_popup::SetTrackBeginHook(previous_); }

void PopupScript::Choose(std::string itemName) { answers_.push_back(std::move(itemName)); }

void PopupScript::Dismiss() { answers_.emplace_back(); }

// The answer runs from the menu's own loop, once its window is up. A menu
// of the window system's own (null root) has no named items.
void PopupScript::Begin(TMenuItem* root) {
  std::string name;
  if (answers_.empty()) {
    ++unanswered_;
  } else {
    name = std::move(answers_.front());
    answers_.pop_front();
  }
  const std::string menu = root ? MenuName(*root) : std::string();
  TMenuItem* item = name.empty() || !root ? nullptr : FindSubItem(*root, name);
  TRect box{};
  if (item && item->Enabled() && menu_popup::TrackingItemRect(*item, &box)) {
    seen_.push_back(menu + ": " + name);
    Application()->Post([box] { ClickItem(box); });
    return;
  }
  std::string why = " (not shown)";
  if (item && !item->Enabled()) why = " (disabled)";
  seen_.push_back(menu + ": " + (name.empty() ? "-" : name + why));
  Application()->Post(DismissMenu);
}

}  // namespace qelo::vcl::script
