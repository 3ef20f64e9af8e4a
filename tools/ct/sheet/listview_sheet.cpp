#include "listview_sheet.h"

#include <string>
#include <vector>

#include "ct_listvw.h"
#include "sheet_label.h"
#include "vcl/controls/stdctrls.h"

namespace qelo::ct::sheet {

using namespace vcl;

namespace {

constexpr int kMargin = 12;
constexpr int kLabelHeight = 18;
constexpr TColor kSelectedRow = 0xA56E3A;  // the file list's selected rows

struct Row {
  const char* name;
  const char* length;
  const char* format;
};
constexpr Row kRows[] = {{"holiday.avi", "00:03:07", "MP4 Video"},
                         {"interview.wmv", "01:12:40", "AVI Video"},
                         {"clip.mov", "00:00:42", "3GP Video"},
                         {"concert.mkv", "02:05:11", "MP4 Video"}};

void Caption(TWinControl* parent, const std::string& text, int left, int top) {
  AddSheetLabel(parent, text, Rect(left, top, left + 300, top + kLabelHeight));
}

TCtListView* MakeList(TWinControl* parent, const TRect& bounds) {
  auto* list = new TCtListView(parent);
  list->SetBounds(bounds.left, bounds.top, RectWidth(bounds), RectHeight(bounds));
  list->SetViewStyle(vsReport);
  list->SetRowSelect(true);
  for (auto [caption, width, alignment] :
       {std::tuple{"Source File", 112, taLeftJustify}, std::tuple{"Length", 80, taRightJustify},
        std::tuple{"Output Format", 80, taLeftJustify}}) {
    TListColumn* column = list->Columns()->Add();
    column->SetCaption(caption);
    column->SetWidth(width);
    column->SetAlignment(alignment);
  }
  for (const Row& row : kRows) {
    TListItem* item = list->Items()->Add();
    item->SetCaption(row.name);
    item->SubItems()->Add(row.length);
    item->SubItems()->Add(row.format);
  }
  list->SetParent(parent);
  list->ResizeLastColumn();
  return list;
}

// The control draws the header with the sort mark; the first two rows are
// drawn by the program, the others by the platform.
void SortedList(TWinControl* parent, const TRect& bounds) {
  TCtListView* list = MakeList(parent, bounds);
  list->SetFramingPreference(fpCustomFraming);
  list->SetFrameColor(clBtnShadow);
  list->SetFrameVisible(true);
  list->SetAlphaSortAll(true);
  list->CustomSort(
      [](TListItem* a, TListItem* b, intptr_t column) {
        return CompareListItemsDescending(a, b, static_cast<int>(column));
      },
      1);
  list->SetHeaderSortColumn(1);
  list->SetHeaderSortDescending(true);
  list->Items()->Item(2)->SetSelected(true);
  list->OnCustomDrawItem = [](TCustomListView* sender, TListItem* item, TCustomDrawState, bool& defaultDraw) {
    if (item->Index() > 1) return;
    TCanvas& c = *sender->Canvas();
    const TRect r = item->DisplayRect(drBounds);
    c.Brush()->SetColor(TColor(0xD8F0FF));  // light amber
    c.FillRect(r);
    c.Font()->SetColor(clMaroon);
    c.Brush()->SetStyle(bsClear);
    c.TextOut(r.left + 6, r.top + 1, item->Caption() + "  (drawn by the program)");
    defaultDraw = false;
  };
}

// The file list's look: white header cells framed in the frame colour with
// centred captions, and white rows with the selected one in blue.
void FileList(TWinControl* parent, const TRect& bounds) {
  TCtListView* list = MakeList(parent, bounds);
  list->SetFramingPreference(fpCustomFraming);
  list->SetFrameStyle(fsNone);
  list->SetFrameSides({});
  list->SetHeaderDefaultDrawing(false);
  list->Items()->Item(1)->SetSelected(true);
  list->OnDrawHeader = [list](TObject*, TCanvas* c, int index, const TRect& rect) {
    TRect r = rect;
    r.left -= index == 0 ? 2 : 3;
    r.top -= 2;
    r.right += 2;
    r.bottom += 1;
    c->Brush()->SetColor(clWhite);
    c->FillRect(r);
    c->Brush()->SetColor(list->FrameColor());
    c->FrameRect(r);
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetColor(clBlack);
    const std::string caption = list->Columns()->Items(index)->Caption();
    c->TextOut((r.left + r.right - c->TextWidth(caption)) / 2, (r.top + r.bottom - c->TextHeight(caption)) / 2,
               caption);
  };
  list->OnCustomDrawItem = [](TCustomListView* sender, TListItem* item, TCustomDrawState, bool& defaultDraw) {
    TCanvas& c = *sender->Canvas();
    const TRect r = item->DisplayRect(drBounds);
    const bool selected = item->Selected();
    c.Brush()->SetColor(selected ? kSelectedRow : clWhite);
    c.FillRect(r);
    c.Font()->SetColor(selected ? clWhite : clBlack);
    c.Brush()->SetStyle(bsClear);
    int left = r.left;
    for (int i = 0; i <= item->SubItems()->Count(); ++i) {
      const int width = sender->Columns()->Items(i)->Width();
      const std::string text = i == 0 ? item->Caption() : item->SubItems()->Get(i - 1);
      const int x = i == 0 ? left + 20 : left + (width - c.TextWidth(text)) / 2;
      c.TextRect(Rect(left + 2, r.top, left + width - 2, r.bottom), x, r.top + 1, text);
      left += width;
    }
    defaultDraw = false;
  };
}

}  // namespace

void AddListViewSheet(TWinControl* parent, int top, int width) {
  RegisterCtListViewClasses();
  const int listWidth = (width - 3 * kMargin) / 2;
  const int listTop = top + kLabelHeight + 4;
  const int listHeight = kListViewSheetHeight - (listTop - top) - kMargin;
  Caption(parent, "TCtListView: sorted by Length, two rows drawn by the program", kMargin, top);
  SortedList(parent, Rect(kMargin, listTop, kMargin + listWidth, listTop + listHeight));
  Caption(parent, "TCtListView: header and rows drawn as the file list does", 2 * kMargin + listWidth, top);
  FileList(parent, Rect(2 * kMargin + listWidth, listTop, 2 * kMargin + 2 * listWidth, listTop + listHeight));
}

}  // namespace qelo::ct::sheet
