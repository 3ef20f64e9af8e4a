// What the list, tree and header controls share: their errors, owner-draw
// and custom-draw states and stages, and a canvas lent to a DC for the
// length of one drawing event.
#pragma once

#include "vcl/controls/controls.h"
#include "vcl/controls/owner_draw.h"
#include "win/controls/basic_common.h"

#include <functional>
#include <string>

namespace qelo::vcl {

struct EListError : Exception {
  using Exception::Exception;
};
struct ETreeViewError : Exception {
  using Exception::Exception;
};

enum TCustomDrawTarget { dtControl, dtItem, dtSubItem };
enum TCustomDrawStage { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };
enum TCustomDrawStateItem { cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot };
using TCustomDrawState = TSet<TCustomDrawStateItem>;
// The state of a custom-draw item (CDIS_* bits) and the stage of a draw stage.
TCustomDrawState CustomDrawState(win::UINT itemState);
TCustomDrawStage CustomDrawStage(win::DWORD drawStage);

// Copies text into a window's buffer of `size` bytes (a notification's
// text), never splitting a UTF-8 sequence.
void CopyText(const std::string& text, char* buffer, int size);

// Puts a canvas on a DC (saving the DC's state) and takes it off again.
class TCanvasOnDC {
 public:
  TCanvasOnDC(TCanvas& canvas, win::HDC dc);
  ~TCanvasOnDC();
  TCanvasOnDC(const TCanvasOnDC&) = delete;
  TCanvasOnDC& operator=(const TCanvasOnDC&) = delete;

 private:
  TCanvas& canvas_;
  win::HDC dc_;
  int saved_;
};

// Runs an item stage's drawing event on `canvas` lent to the stage's DC,
// starting with the control's font and colour. Answers CDRF_SKIPDEFAULT
// when the event drew the item itself (it returned false), and
// CDRF_NEWFONT, with the canvas's colours in `text` and `back` and its
// font selected, when the event changed the font or colours.
win::LRESULT ItemDrawStage(TCanvas& canvas, const TControl& control, win::HDC dc, win::COLORREF& text,
                           win::COLORREF& back, const std::function<bool()>& event);
}  // namespace qelo::vcl
