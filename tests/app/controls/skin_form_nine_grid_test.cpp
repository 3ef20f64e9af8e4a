// The nine pieces of a skin: where each lies in the picture and in the
// window, and that no piece is ever negative whatever the grid or the size.
#include "skin_form_nine_grid.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>

namespace qelo::controls {
namespace {

using vcl::Rect;
using vcl::TRect;

std::string Text(const TRect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

constexpr TNineGrid kCommonGrid{50, 50, 250, 150};
constexpr vcl::TSize kCommonImage{300, 200};

TEST(NineGrid, PiecesOfA300By200SkinOnItsOwnSizeAndOnALargerWindow) {
  struct Case {
    int piece;
    TRect source, sameSize, larger;  // larger: a 400 x 300 window
  } cases[] = {
      {0, Rect(0, 0, 50, 50), Rect(0, 0, 50, 50), Rect(0, 0, 50, 50)},
      {1, Rect(250, 0, 300, 50), Rect(250, 0, 300, 50), Rect(350, 0, 400, 50)},
      {2, Rect(50, 0, 250, 50), Rect(50, 0, 250, 50), Rect(50, 0, 350, 50)},
      {3, Rect(0, 150, 50, 200), Rect(0, 150, 50, 200), Rect(0, 250, 50, 300)},
      {4, Rect(250, 150, 300, 200), Rect(250, 150, 300, 200), Rect(350, 250, 400, 300)},
      {5, Rect(50, 150, 250, 200), Rect(50, 150, 250, 200), Rect(50, 250, 350, 300)},
      {6, Rect(0, 50, 50, 150), Rect(0, 50, 50, 150), Rect(0, 50, 50, 250)},
      {7, Rect(50, 50, 250, 150), Rect(50, 50, 250, 150), Rect(50, 50, 350, 250)},
      {8, Rect(250, 50, 300, 150), Rect(250, 50, 300, 150), Rect(350, 50, 400, 250)},
      {-1, Rect(0, 0, 0, 0), Rect(0, 0, 0, 0), Rect(0, 0, 0, 0)},
      {9, Rect(0, 0, 0, 0), Rect(0, 0, 0, 0), Rect(0, 0, 0, 0)},
  };
  for (const Case& c : cases) {
    // The picture's pieces do not depend on the window.
    EXPECT_EQ(Text(NineGridRect(true, c.piece, kCommonGrid, kCommonImage, {300, 200})), Text(c.source)) << c.piece;
    EXPECT_EQ(Text(NineGridRect(true, c.piece, kCommonGrid, kCommonImage, {400, 300})), Text(c.source)) << c.piece;
    EXPECT_EQ(Text(NineGridRect(false, c.piece, kCommonGrid, kCommonImage, {300, 200})), Text(c.sameSize)) << c.piece;
    EXPECT_EQ(Text(NineGridRect(false, c.piece, kCommonGrid, kCommonImage, {400, 300})), Text(c.larger)) << c.piece;
  }
}

TEST(NineGrid, GridLinesOutsideTheSkinOrCrossedAreTakenIntoIt) {
  struct Case {
    const char* what;
    TNineGrid grid;
    int piece;
    TRect source, dest;  // dest: on a 400 x 300 window
  } cases[] = {
      // Lines measured from a 400 x 300 window on a 300 x 200 skin: the right
      // and bottom strips are empty, the rest stretches.
      {"beyond the skin", {50, 50, 350, 250}, 1, Rect(300, 0, 300, 50), Rect(400, 0, 400, 50)},
      {"beyond the skin", {50, 50, 350, 250}, 7, Rect(50, 50, 300, 200), Rect(50, 50, 400, 300)},
      {"crossed", {200, 150, 100, 50}, 2, Rect(200, 0, 200, 150), Rect(200, 0, 300, 150)},
      {"crossed", {200, 150, 100, 50}, 4, Rect(200, 150, 300, 200), Rect(300, 250, 400, 300)},
      {"negative", {-10, -10, 250, 150}, 0, Rect(0, 0, 0, 0), Rect(0, 0, 0, 0)},
      {"negative", {-10, -10, 250, 150}, 7, Rect(0, 0, 250, 150), Rect(0, 0, 350, 250)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Text(NineGridRect(true, c.piece, c.grid, kCommonImage, {400, 300})), Text(c.source))
        << c.what << " " << c.piece;
    EXPECT_EQ(Text(NineGridRect(false, c.piece, c.grid, kCommonImage, {400, 300})), Text(c.dest))
        << c.what << " " << c.piece;
  }
}

TEST(NineGrid, AWindowSmallerThanTheFixedEdgesSharesItBetweenThem) {
  // 50 + 50 pixels of edges in a 60 x 40 window: 30 each across, 20 each down.
  EXPECT_EQ(Text(NineGridRect(false, 0, kCommonGrid, kCommonImage, {60, 40})), "0,0,30,20");
  EXPECT_EQ(Text(NineGridRect(false, 4, kCommonGrid, kCommonImage, {60, 40})), "30,20,60,40");
  EXPECT_EQ(Text(NineGridRect(false, 7, kCommonGrid, kCommonImage, {60, 40})), "30,20,30,20");
  // Unequal edges keep their proportion.
  EXPECT_EQ(Text(NineGridRect(false, 1, TNineGrid{20, 0, 240, 200}, kCommonImage, {40, 200})), "10,0,40,0");
}

// Over many grids and sizes the window's pieces never turn negative, stay in
// the window and cover it exactly.
TEST(NineGrid, WindowPiecesAreNeverNegativeAndTileTheWindow) {
  const TNineGrid grids[] = {kCommonGrid, {0, 0, 300, 200}, {150, 100, 150, 100}, {290, 190, 10, 10},
                             {-5, 400, 600, -7}, {50, 50, 350, 250}, {0, 0, 0, 0}};
  const vcl::TSize images[] = {{300, 200}, {1, 1}, {0, 0}, {97, 13}};
  const vcl::TSize windows[] = {{300, 200}, {400, 300}, {60, 40}, {1, 1}, {0, 0}, {299, 1000}, {-4, -4}};
  for (const TNineGrid& g : grids)
    for (vcl::TSize image : images)
      for (vcl::TSize window : windows) {
        const long long w = std::max(window.cx, 0), h = std::max(window.cy, 0);
        long long area = 0;
        for (int piece = 0; piece < kNineGridPieces; ++piece) {
          for (bool source : {true, false}) {
            const TRect r = NineGridRect(source, piece, g, image, window);
            const int limitX = source ? std::max(image.cx, 0) : int(w), limitY = source ? std::max(image.cy, 0) : int(h);
            ASSERT_TRUE(r.left >= 0 && r.top >= 0 && r.right >= r.left && r.bottom >= r.top && r.right <= limitX &&
                        r.bottom <= limitY)
                << Text(r) << " piece " << piece << (source ? " source" : " window") << " grid " << g.left << ","
                << g.top << "," << g.right << "," << g.bottom << " image " << image.cx << "x" << image.cy
                << " window " << window.cx << "x" << window.cy;
            if (!source) area += (long long)(r.right - r.left) * (r.bottom - r.top);
          }
        }
        EXPECT_EQ(area, w * h);
      }
}

}  // namespace
}  // namespace qelo::controls
