#include "skin_form_nine_grid.h"

#include <algorithm>

namespace qelo::controls {

namespace {

// Where the grid lines of one axis fall in the image and in the window.
struct AxisLines {
  int first, second, end;
};

AxisLines ImageLines(int first, int second, int size) {
  const int end = std::max(size, 0);
  const int a = std::clamp(first, 0, end);
  return {a, std::clamp(second, a, end), end};
}

// The image's fixed edges keep their size in the window, unless the window
// is smaller than both together: then each gets its share of the window.
AxisLines WindowLines(const AxisLines& image, int size) {
  const int end = std::max(size, 0);
  int head = image.first;
  int tail = image.end - image.second;
  if (head + tail > end) {
    head = static_cast<int>(static_cast<long long>(end) * head / (head + tail));
    tail = end - head;
  }
  return {head, end - tail, end};
}

// The span of column (or row) 0, 1 or 2 between the lines.
void Span(const AxisLines& lines, int index, int& from, int& to) {
  const int stops[] = {0, lines.first, lines.second, lines.end};
  from = stops[index];
  to = stops[index + 1];
}

}  // namespace

vcl::TRect NineGridRect(bool isSource, int piece, const TNineGrid& grid, vcl::TSize imageSize,
                        vcl::TSize windowSize) {
  // Column and row of each piece: 0 left or top, 1 middle, 2 right or bottom.
  static constexpr int kColumn[kNineGridPieces] = {0, 2, 1, 0, 2, 1, 0, 1, 2};
  static constexpr int kRow[kNineGridPieces] = {0, 0, 0, 2, 2, 2, 1, 1, 1};
  if (piece < 0 || piece >= kNineGridPieces) return vcl::Rect(0, 0, 0, 0);
  AxisLines across = ImageLines(grid.left, grid.right, imageSize.cx);
  AxisLines down = ImageLines(grid.top, grid.bottom, imageSize.cy);
  if (!isSource) {
    across = WindowLines(across, windowSize.cx);
    down = WindowLines(down, windowSize.cy);
  }
  vcl::TRect r;
  Span(across, kColumn[piece], r.left, r.right);
  Span(down, kRow[piece], r.top, r.bottom);
  return r;
}

}  // namespace qelo::controls
