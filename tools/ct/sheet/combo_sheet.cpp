#include "combo_sheet.h"

#include <string>

#include "ct_cmbo_bx.h"
#include "sheet_label.h"
#include "vcl/controls/scripting.h"
#include "vcl/controls/stdctrls.h"
#include "win/window/display.h"

namespace qelo::ct::sheet {

using namespace vcl;

namespace {

constexpr int kMargin = 12;
constexpr int kColumns = 3;
constexpr int kLabelHeight = 16;
constexpr int kRowStep = 44;
constexpr const char* kCodecs[] = {"MPEG-4 Video", "H.264 / AVC", "Windows Media Video 9", "Motion JPEG"};

TCtComboBox* g_hot = nullptr;      // the sample under the mouse
TCtComboBox* g_edit = nullptr;     // the sample with an edit field
TCtComboBox* g_dropped = nullptr;  // the sample with its list open

// A labelled combo box of the codecs in the settings dialog's style:
// csDropDownList with a frame that hot-tracks in fsFlat.
TCtComboBox* Sample(TWinControl* parent, const TRect& area, int index, const std::string& caption) {
  const int width = (RectWidth(area) - (kColumns - 1) * kMargin) / kColumns;
  const int left = area.left + (index % kColumns) * (width + kMargin);
  const int top = area.top + (index / kColumns) * kRowStep;
  AddSheetLabel(parent, caption, Rect(left, top, left + width, top + kLabelHeight));
  auto* combo = new TCtComboBox(parent);
  combo->SetStyle(csDropDownList);
  combo->SetBounds(left, top + kLabelHeight + 2, width, 21);
  for (const char* codec : kCodecs) combo->Add(codec);
  combo->SetParent(parent);
  combo->SetItemIndex(index % 4);
  combo->SetFramingPreference(fpCustomFraming);
  combo->SetFrameHotStyle(fsFlat);
  return combo;
}

}  // namespace

void AddComboBoxSheet(TWinControl* parent, const TRect& area) {
  RegisterCtComboBoxClasses();
  Sample(parent, area, 0, "TCtComboBox: closed");
  Sample(parent, area, 1, "read-only")->SetReadOnly(true);
  Sample(parent, area, 2, "disabled")->SetEnabled(false);
  g_hot = Sample(parent, area, 3, "flat button, under the mouse");
  g_hot->SetFlatButtons(true);
  g_hot->SetFrameHotTrack(true);
  g_edit = Sample(parent, area, 4, "edit field, completed");
  g_edit->SetStyle(csDropDown);
  g_dropped = Sample(parent, area, 5, "flat button, dropped down");
  g_dropped->SetFlatButtons(true);
  g_dropped->SetFrameVisible(true);
  g_dropped->SetDropDownCount(2);  // the list scrolls
}

void ActivateComboBoxSheet() {
  if (!g_hot || !g_edit || !g_dropped) return;
  g_edit->SetText("mo");  // completes to the item it starts
  g_hot->Perform(CM_MOUSEENTER);
  g_dropped->SetDroppedDown(true);
  script::Pump();
}

void PaintOpenComboList(win::HBITMAP formPicture, win::HWND form) {
  if (g_dropped && g_dropped->DroppedDown()) win::ComposePopupOnto(formPicture, form, g_dropped->ListHandle());
}

}  // namespace qelo::ct::sheet
