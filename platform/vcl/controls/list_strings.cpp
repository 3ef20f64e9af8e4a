#include "vcl/controls/list_strings.h"

#include <algorithm>

#include "win/controls/combobox.h"
#include "win/controls/listbox.h"

namespace qelo::vcl {

const NativeListMessages kListBoxMessages{win::LB_ADDSTRING,  win::LB_INSERTSTRING, win::LB_DELETESTRING,
                                          win::LB_RESETCONTENT, win::LB_GETCOUNT,   win::LB_GETTEXT,
                                          win::LB_GETTEXTLEN, win::LB_GETITEMDATA,  win::LB_SETITEMDATA,
                                          win::LB_FINDSTRINGEXACT};
const NativeListMessages kComboBoxMessages{win::CB_ADDSTRING,  win::CB_INSERTSTRING, win::CB_DELETESTRING,
                                           win::CB_RESETCONTENT, win::CB_GETCOUNT,   win::CB_GETLBTEXT,
                                           win::CB_GETLBTEXTLEN, win::CB_GETITEMDATA, win::CB_SETITEMDATA,
                                           win::CB_FINDSTRINGEXACT};

const ClassInfo& TNativeListStrings::StaticClass() {
  static const ClassInfo info = ClassBuilder<TNativeListStrings>("TNativeListStrings", TStrings::StaticClass()).Done();
  return info;
}

TNativeListStrings::TNativeListStrings(TWinControl& control, const NativeListMessages& messages)
    : control_(control), messages_(messages) {}

LRESULT TNativeListStrings::Send(UINT msg, WPARAM w, LPARAM l) const {
  return win::SendMessage(control_.WindowHandle(), msg, w, l);
}

void TNativeListStrings::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit) IndexError(index);
}

int TNativeListStrings::Count() const {
  return Live() ? static_cast<int>(Send(messages_.count, 0, 0)) : saved_.Count();
}

std::string TNativeListStrings::Get(int index) const {
  if (!Live()) return saved_.Get(index);
  CheckIndex(index, Count());
  std::string text(static_cast<size_t>(Send(messages_.getTextLength, static_cast<WPARAM>(index), 0)) + 1, '\0');
  Send(messages_.getText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(text.size() - 1);
  return text;
}

TObject* TNativeListStrings::GetObject(int index) const {
  if (!Live()) return saved_.GetObject(index);
  CheckIndex(index, Count());
  return reinterpret_cast<TObject*>(Send(messages_.getData, static_cast<WPARAM>(index), 0));
}

void TNativeListStrings::PutObject(int index, TObject* object) {
  if (!Live()) return saved_.PutObject(index, object);
  CheckIndex(index, Count());
  Send(messages_.setData, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(object));
}

// The window's answer to an insertion: the index, or a failure.
int TNativeListStrings::Placed(LRESULT result) const {
  if (result < 0) throw EStringListError("The list cannot take another item");
  return static_cast<int>(result);
}

void TNativeListStrings::Insert(int index, const std::string& text) { InsertObject(index, text, nullptr); }

void TNativeListStrings::InsertObject(int index, const std::string& text, TObject* object) {
  if (!Live()) return saved_.InsertObject(index, text, object);
  CheckIndex(index, Count() + 1);
  const int at = Placed(Send(messages_.insert, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str())));
  if (object) PutObject(at, object);
}

int TNativeListStrings::Add(const std::string& text) { return AddObject(text, nullptr); }

int TNativeListStrings::AddObject(const std::string& text, TObject* object) {
  if (!Live()) return saved_.AddObject(text, object);
  const int at = Placed(Send(messages_.add, 0, reinterpret_cast<LPARAM>(text.c_str())));
  if (object) PutObject(at, object);
  return at;
}

void TNativeListStrings::Delete(int index) {
  if (!Live()) return saved_.Delete(index);
  CheckIndex(index, Count());
  Send(messages_.remove, static_cast<WPARAM>(index), 0);
}

void TNativeListStrings::Clear() {
  if (!Live()) return saved_.Clear();
  Send(messages_.reset, 0, 0);
}

int TNativeListStrings::IndexOf(const std::string& text) const {
  if (!Live()) return saved_.IndexOf(text);
  // The window finds case-insensitively, as the list's IndexOf does.
  return static_cast<int>(Send(messages_.findExact, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str())));
}

void TNativeListStrings::WindowMade() {
  for (int i = 0; i < saved_.Count(); ++i) {
    const int at = Placed(Send(messages_.add, 0, reinterpret_cast<LPARAM>(saved_.Get(i).c_str())));
    if (TObject* object = saved_.GetObject(i)) Send(messages_.setData, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(object));
  }
  saved_.Clear();
}

void TNativeListStrings::WindowGoing() {
  saved_.Clear();
  const int n = Count();
  for (int i = 0; i < n; ++i) saved_.AddObject(Get(i), GetObject(i));
}

// ---- owner-drawn items --------------------------------------------------------------

void PaintOwnerDrawnItem(TWinControl& control, TCanvas& canvas, const win::DRAWITEMSTRUCT& item,
                         const std::function<void(int, const TRect&, TOwnerDrawState)>& draw) {
  const TOwnerDrawState state = OwnerDrawState(item.itemState);
  TCanvasContextScope context(canvas, item.hDC);
  canvas.Font()->Assign(control.Font());
  canvas.Brush()->SetColor(control.Color());
  const auto index = static_cast<int>(item.itemID);
  if (index >= 0 && state.Contains(odSelected)) {
    canvas.Brush()->SetColor(clHighlight);
    canvas.Font()->SetColor(clHighlightText);
  }
  if (index >= 0) draw(index, item.rcItem, state);
  else canvas.FillRect(item.rcItem);
  if (state.Contains(odFocused)) canvas.DrawFocusRect(item.rcItem);
}

void MeasureOwnerDrawnItem(win::MEASUREITEMSTRUCT& item, int defaultHeight,
                           const std::function<void(int, int&)>& measure) {
  int height = defaultHeight;
  measure(static_cast<int>(item.itemID), height);
  item.itemHeight = static_cast<UINT>(std::max(height, 1));
}

void DrawItemText(TCanvas& canvas, const TRect& rect, const std::string& text) {
  canvas.FillRect(rect);
  canvas.TextOut(rect.left + 2, rect.top, text);
}

}  // namespace qelo::vcl
