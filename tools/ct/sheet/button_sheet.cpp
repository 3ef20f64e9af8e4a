#include "button_sheet.h"

#include <string>
#include <utility>
#include <vector>

#include "ct_button.h"
#include "sheet_label.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/stdctrls.h"

namespace qelo::ct::sheet {

using namespace vcl;

namespace {

constexpr int kMargin = 12;
constexpr int kRowLabelWidth = 84;
constexpr int kButtonWidth = 92;
constexpr int kButtonHeight = 27;
constexpr int kColumnStep = kButtonWidth + 10;
constexpr int kRowStep = 40;

enum class State { Normal, Default, Focused, Hot, Pressed, Down, Disabled };

struct Sample {
  const char* caption;
  State state;
};

void RowLabel(TWinControl* parent, const std::string& text, int top) {
  AddSheetLabel(parent, text, Rect(kMargin, top + 6, kMargin + kRowLabelWidth, top + 6 + 18));
}

TCtButton* AddButton(TWinControl* parent, const char* caption, int column, int top) {
  auto* b = new TCtButton(parent);
  b->SetParent(parent);
  b->SetCaption(caption);
  b->SetBounds(kMargin + kRowLabelWidth + column * kColumnStep, top, kButtonWidth, kButtonHeight);
  return b;
}

// Puts the buttons in their states as input would, once the form is shown.
// A focused push button takes the default role from the default buttons;
// the sheet gives it back so that both looks show at once.
void ShowStates(const std::vector<std::pair<TCtButton*, State>>& buttons) {
  int group = 0;
  for (auto [b, state] : buttons) {
    switch (state) {
      case State::Normal: break;
      case State::Default: b->SetDefault(true); break;
      case State::Focused: b->SetFocus(); break;
      case State::Hot: b->Perform(CM_MOUSEENTER); break;
      case State::Pressed: b->Perform(win::WM_KEYDOWN, win::VK_SPACE, 0); break;
      case State::Down:  // each down button in a group of its own
        b->SetGroupIndex(++group);
        b->SetDown(true);
        break;
      case State::Disabled: b->SetEnabled(false); break;
    }
  }
  for (auto [b, state] : buttons)
    if (state == State::Default) b->Perform(CM_FOCUSCHANGED, 0, 0);
}

void AddRow(TWinControl* parent, const char* label, bool hotTrack, const Sample (&samples)[6], int top,
            std::vector<std::pair<TCtButton*, State>>& states) {
  RowLabel(parent, label, top);
  for (int i = 0; i < 6; ++i) {
    TCtButton* b = AddButton(parent, samples[i].caption, i, top);
    b->SetHotTrack(hotTrack);
    states.emplace_back(b, samples[i].state);
  }
}

void AddTextStyleRow(TWinControl* parent, int top) {
  RowLabel(parent, "Text styles", top);
  struct Style {
    const char* caption;
    TTextStyle style;
    bool light;
    TColor color;
  } styles[] = {{"Normal", tsNormal, false, clBtnFace},     {"Raised", tsRaised, false, clBtnFace},
                {"Recessed", tsRecessed, false, clBtnFace}, {"Shadow", tsShadow, false, clBtnFace},
                {"Light raised", tsRaised, true, clBtnFace}, {"Coloured", tsRecessed, false, 0x80C0FF}};
  for (int i = 0; i < 6; ++i) {
    TCtButton* b = AddButton(parent, styles[i].caption, i, top);
    b->SetTextStyle(styles[i].style);
    b->SetLightTextStyle(styles[i].light);
    b->SetColor(styles[i].color);
  }
}

}  // namespace

void AddButtonSheet(TWinControl* parent, int top) {
  const Sample classic[6] = {{"Normal", State::Normal},   {"Default", State::Default},
                             {"Focused", State::Focused}, {"Pressed", State::Pressed},
                             {"Down", State::Down},       {"Disabled", State::Disabled}};
  const Sample hotTrack[6] = {{"Normal", State::Normal},   {"Hot", State::Hot},
                              {"Default", State::Default}, {"Pressed", State::Pressed},
                              {"Down", State::Down},       {"Disabled", State::Disabled}};
  std::vector<std::pair<TCtButton*, State>> states;
  AddRow(parent, "Classic", false, classic, top, states);
  AddRow(parent, "Hot-track", true, hotTrack, top + kRowStep, states);
  AddTextStyleRow(parent, top + 2 * kRowStep);
  Application()->Post([states] { ShowStates(states); });
}

}  // namespace qelo::ct::sheet
