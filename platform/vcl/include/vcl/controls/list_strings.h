// Items of a native list (a list box, a combo box's list): while the window
// exists they live in the window, each line's object as the item's data;
// while it does not, in a string list that the window takes over when it is
// made and gets back when it goes. Owner-drawn items share the painting.
#pragma once

#include "vcl/controls/native_control.h"
#include "vcl/controls/owner_draw.h"
#include "vcl/strings.h"
#include "win/controls/basic_common.h"

namespace qelo::vcl {

// The messages of one kind of native list.
struct NativeListMessages {
  UINT add, insert, remove, reset, count, getText, getTextLength, getData, setData, findExact;
};
extern const NativeListMessages kListBoxMessages;
extern const NativeListMessages kComboBoxMessages;

class TNativeListStrings : public TStrings {
  QELO_VCL_CLASS()
 public:
  TNativeListStrings(TWinControl& control, const NativeListMessages& messages);

  int Count() const override;
  std::string Get(int index) const override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  void Insert(int index, const std::string& text) override;
  void InsertObject(int index, const std::string& text, TObject* object) override;
  // A sorted list places the line where it belongs and answers that index.
  int Add(const std::string& text) override;
  int AddObject(const std::string& text, TObject* object) override;
  void Delete(int index) override;
  void Clear() override;
  int IndexOf(const std::string& text) const override;

  void SetSorted(bool sorted) { saved_.SetSorted(sorted); }
  // The window was made: it takes the kept lines. The window goes: the
  // lines are kept again.
  void WindowMade();
  void WindowGoing();

 private:
  bool Live() const { return control_.HandleAllocated(); }
  LRESULT Send(UINT msg, WPARAM w, LPARAM l) const;
  void CheckIndex(int index, int limit) const;
  int Placed(LRESULT result) const;

  TWinControl& control_;
  const NativeListMessages& messages_;
  TStringList saved_;
};

using TDrawItemEvent = std::function<void(TWinControl* control, int index, TRect rect, TOwnerDrawState state)>;
using TMeasureItemEvent = std::function<void(TWinControl* control, int index, int& height)>;

// Paints one owner-drawn item (CN_DRAWITEM): the canvas is put on the
// item's DC with the control's font and colour (the highlight colours for a
// selected item), `draw` paints, and a focused item gets its focus outline.
void PaintOwnerDrawnItem(TWinControl& control, TCanvas& canvas, const win::DRAWITEMSTRUCT& item,
                         const std::function<void(int index, const TRect& rect, TOwnerDrawState state)>& draw);
// Answers the height of one owner-drawn item (CN_MEASUREITEM): `measure`
// may change the given default height; the answer is at least one pixel.
void MeasureOwnerDrawnItem(win::MEASUREITEMSTRUCT& item, int defaultHeight,
                           const std::function<void(int index, int& height)>& measure);
// What an item shows when nobody draws it: its text on the brush.
void DrawItemText(TCanvas& canvas, const TRect& rect, const std::string& text);

}  // namespace qelo::vcl
