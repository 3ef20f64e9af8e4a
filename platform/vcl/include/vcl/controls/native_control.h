// What the framework's wrappers of native controls share: the font handed
// to the window, and the answer to the window's colour request (CN_CTLCOLOR*):
// the control's font colour on the control's own colour.
#pragma once

#include "vcl/controls/controls.h"

namespace qelo::vcl {

// Sends the control's font to its window (when it has one).
void SendFontToWindow(TWinControl& control, bool redraw);

// A brush of the control's colour, remade when the colour changes; owned by
// the control that answers with it.
class ControlColorBrush {
 public:
  ControlColorBrush() = default;
  ~ControlColorBrush();
  ControlColorBrush(const ControlColorBrush&) = delete;
  ControlColorBrush& operator=(const ControlColorBrush&) = delete;

  // Sets the text and background colours on the request's DC and answers
  // the brush to fill with.
  LRESULT Answer(const TControl& control, const TMessage& request);
  // Answers the message when it is a colour request (see IsColorRequest);
  // false when it is some other message.
  bool AnswerColorRequest(const TControl& control, TMessage& m);

 private:
  win::HBRUSH brush_ = nullptr;
  win::COLORREF color_ = 0;
};

// Whether a message is one of the colour requests reflected to a control.
constexpr bool IsColorRequest(UINT msg) {
  return msg == CN_CTLCOLOREDIT || msg == CN_CTLCOLORLISTBOX || msg == CN_CTLCOLORBTN || msg == CN_CTLCOLORSTATIC;
}

}  // namespace qelo::vcl
