// The file list draws nothing itself: the window draws each row (check
// mark, kind pictures, the tree lines of a merged job's files, the texts,
// the "Output Format" cell that opens the profile drop-down) and each
// header cell.
#include "main_window.h"
#include "main_window_rows.h"

namespace qelo::app {

using namespace vcl;

namespace {

constexpr TColor kSelectedRowColor = 0xA56E3A;
constexpr TColor kFormatCellFrameColor = 0x8A8580;
constexpr unsigned kLeftText = win::DT_LEFT | win::DT_VCENTER | win::DT_SINGLELINE | win::DT_NOPREFIX;
constexpr unsigned kCentredText = win::DT_CENTER | win::DT_VCENTER | win::DT_SINGLELINE | win::DT_NOPREFIX;
// Room the merged file rows keep for their tree lines, either side.
constexpr int kTreeIndent = 20;
constexpr int kTreeArm = 10;

void DrawCellText(TCanvas& canvas, const std::string& text, TRect r, unsigned format) {
  canvas.Brush()->SetStyle(bsClear);
  win::DrawText(canvas.Handle(), text, &r, format | win::DT_END_ELLIPSIS);
}

std::string SubItem(const TListItem& item, int index) {
  const TStrings& texts = *item.SubItems();
  return index < texts.Count() ? texts.Get(index) : std::string();
}

TRect Narrowed(TRect r, int by) {
  r.left += by;
  r.right -= by;
  return r;
}

}  // namespace

void TfrmVideoConvertor::lvMediaFileCustomDrawItem(TCustomListView* sender, TListItem* item, TCustomDrawState state,
                                                   bool& defaultDraw) {
  defaultDraw = false;
  TCanvas& canvas = *sender->Canvas();
  const uint32_t data = RowData(item);
  const uint32_t kind = RowKindOf(data);
  const TWorkGroupClass* job = jobs_.JobById(RowGroupId(data));
  const TRect row = item->DisplayRect(drBounds);
  const bool selected = state.Contains(cdsSelected) || item->Selected();
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(selected ? kSelectedRowColor : clWhite);
  canvas.FillRect(row);

  int x = 0;
  if (kind != rkMergedFile) {
    TPngImage& mark = job && job->checked ? listImages_.checked : listImages_.unchecked;
    DrawRowImage(canvas, mark, x, row);
    x = mark.Width() + 4;
  }
  if (kind == rkMergedHeader) {
    DrawRowImage(canvas, listImages_.group, x, row);
    x += listImages_.group.Width() + 2;
    DrawRowImage(canvas, listImages_.merge, x, row);
    x += listImages_.merge.Width() + 2;
  } else {
    if (kind == rkMergedFile) {
      x += kTreeIndent;
      DrawRowTree(canvas, row, x, job && RowFileIndex(data) >= job->EntryCount() - 1);
      x += kTreeIndent;
    } else {
      x = kTreeIndent;
    }
    DrawRowImage(canvas, listImages_.video, x, row);
    x += listImages_.video.Width() + 2;
  }

  canvas.Font()->SetColor(selected ? clWhite : clBlack);
  TRect caption = ColumnRect(*item, 0);
  caption.left = row.left + x;
  DrawCellText(canvas, item->Caption(), caption, kLeftText);
  for (int sub : {0, 1, 3}) DrawCellText(canvas, SubItem(*item, sub), Narrowed(ColumnRect(*item, sub + 1), 2), kCentredText);
  DrawFormatCell(canvas, *item, item->Index() == hotRow_);
}

void TfrmVideoConvertor::DrawRowImage(TCanvas& canvas, const TPngImage& image, int x, const TRect& row) {
  if (image.Empty()) return;
  canvas.Draw(row.left + x, row.top + (RectHeight(row) - image.Height()) / 2, const_cast<TPngImage*>(&image));
}

// A merged job's files hang from a dotted line: down through every file,
// ending half-way at the last, with an arm to each file's picture.
void TfrmVideoConvertor::DrawRowTree(TCanvas& canvas, const TRect& row, int x, bool lastFile) {
  const int lineX = row.left + x + kTreeArm;
  const int middle = row.top + RectHeight(row) / 2;
  canvas.Pen()->SetColor(clGray);
  canvas.Pen()->SetStyle(psDot);
  canvas.MoveTo(lineX, row.top);
  canvas.LineTo(lineX, lastFile ? middle : row.bottom);
  canvas.MoveTo(lineX, middle);
  canvas.LineTo(lineX + kTreeArm, middle);
  canvas.Pen()->SetStyle(psSolid);
}

void TfrmVideoConvertor::DrawFormatCell(TCanvas& canvas, const TListItem& item, bool hot) {
  const TRect cell = FormatCellRect(item);
  const std::string text = SubItem(item, 2);
  if (!hot) {
    DrawCellText(canvas, text, Narrowed(cell, 2), kLeftText);
    return;
  }
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(clWhite);
  canvas.FillRect(cell);
  canvas.Brush()->SetColor(kFormatCellFrameColor);
  canvas.FrameRect(cell);
  TPngImage& arrow = listImages_.down;
  const int arrowLeft = cell.right - 2 - arrow.Width();
  if (!arrow.Empty()) canvas.Draw(arrowLeft, cell.top + (RectHeight(cell) - arrow.Height()) / 2, &arrow);
  canvas.Font()->SetColor(clBlack);
  TRect textRect = Narrowed(cell, 2);
  textRect.right = std::min(textRect.right, arrowLeft - 2);
  DrawCellText(canvas, text, textRect, kLeftText);
}

void TfrmVideoConvertor::lvMediaFileDrawHeader(TObject*, TCanvas* canvas, int index, const TRect& rect) {
  TRect r = rect;
  r.left -= index == 0 ? 2 : 3;
  r.top -= 2;
  r.right += 2;
  r.bottom += 1;
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(clWhite);
  canvas->FillRect(r);
  canvas->Brush()->SetColor(lvMediaFile->FrameColor());
  canvas->FrameRect(r);
  canvas->Font()->SetColor(clBlack);
  const TListColumns& columns = *lvMediaFile->Columns();
  if (index >= 0 && index < columns.Count()) DrawCellText(*canvas, columns.Items(index)->Caption(), r, kCentredText);
}

}  // namespace qelo::app
