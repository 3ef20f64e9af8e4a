#include "combo_sheet.h"

#include <string>

#include "ct_cmbo_bx.h"
#include "vcl/controls/scripting.h"
#include "vcl/controls/stdctrls.h"
#include "win/window/display.h"

namespace qelo::ct::sheet {

using namespace vcl;

namespace {

constexpr int kMargin = 12;
constexpr int kLabelHeight = 18;
constexpr int kSamples = 7;
constexpr const char* kCodecs[] = {"MPEG-4 Video", "H.264 / AVC", "Windows Media Video 9", "Motion JPEG"};

TCtComboBox* g_hot = nullptr;      // the sample under the mouse
TCtComboBox* g_edit = nullptr;     // the sample with an edit field
TCtComboBox* g_dropped = nullptr;  // the sample with its list open

// A labelled combo box of the codecs in the settings dialog's style:
// csDropDownList, a visible frame that hot-tracks in fsFlat.
TCtComboBox* Sample(TWinControl* parent, const std::string& caption, int index, int top, int width) {
  const int comboWidth = (width - (kSamples + 1) * kMargin) / kSamples;
  const int left = kMargin + index * (comboWidth + kMargin);
  auto* label = new TLabel(parent);
  label->SetParent(parent);
  label->SetBounds(left, top, comboWidth, kLabelHeight);
  label->SetCaption(caption);
  auto* combo = new TCtComboBox(parent);
  combo->SetStyle(csDropDownList);
  combo->SetBounds(left, top + kLabelHeight + 4, comboWidth, 21);
  for (const char* codec : kCodecs) combo->Add(codec);
  combo->SetParent(parent);
  combo->SetItemIndex(index % 4);
  combo->SetFramingPreference(fpCustomFraming);
  combo->SetFrameHotStyle(fsFlat);
  return combo;
}

}  // namespace

void AddComboBoxSheet(TWinControl* parent, int top, int width) {
  RegisterCtComboBoxClasses();
  Sample(parent, "TCtComboBox: closed", 0, top, width);
  Sample(parent, "read-only", 1, top, width)->SetReadOnly(true);
  Sample(parent, "disabled", 2, top, width)->SetEnabled(false);
  TCtComboBox* flat = Sample(parent, "flat button, framed", 3, top, width);
  flat->SetFlatButtons(true);
  flat->SetFrameVisible(true);
  g_hot = Sample(parent, "flat, under the mouse", 4, top, width);
  g_hot->SetFlatButtons(true);
  g_hot->SetFrameHotTrack(true);
  g_edit = Sample(parent, "edit field, completed", 5, top, width);
  g_edit->SetStyle(csDropDown);
  g_dropped = Sample(parent, "dropped down, focused", 6, top, width);
  g_dropped->SetFlatButtons(true);
  g_dropped->SetFrameHotTrack(true);
}

void ActivateComboBoxSheet() {
  if (!g_hot || !g_edit || !g_dropped) return;
  g_edit->SetText("mo");  // completes to the item it starts
  script::MoveMouse(*g_hot, Point(30, 10));
  script::Focus(*g_dropped);
  g_dropped->SetDroppedDown(true);
  script::Pump();
}

void PaintOpenComboList(win::HBITMAP formPicture, win::HWND form) {
  if (!g_dropped || !g_dropped->DroppedDown()) return;
  const win::HWND list = g_dropped->ListHandle();
  win::HBITMAP listPicture = win::ComposeWindow(list);
  if (!listPicture) return;
  win::RECT formRect, listRect;
  win::GetWindowRect(form, &formRect);
  win::GetWindowRect(list, &listRect);
  win::HDC to = win::CreateCompatibleDC(nullptr);
  win::HDC from = win::CreateCompatibleDC(nullptr);
  win::HGDIOBJ oldTo = win::SelectObject(to, formPicture);
  win::HGDIOBJ oldFrom = win::SelectObject(from, listPicture);
  win::BitBlt(to, listRect.left - formRect.left, listRect.top - formRect.top, listRect.right - listRect.left,
              listRect.bottom - listRect.top, from, 0, 0, win::SRCCOPY);
  win::SelectObject(to, oldTo);
  win::SelectObject(from, oldFrom);
  win::DeleteDC(to);
  win::DeleteDC(from);
  win::DeleteObject(listPicture);
}

}  // namespace qelo::ct::sheet
