// Where pictures go in the player window: one pane filling the window, or two
// panes side by side with an 8-pixel gap; pictures fitted with their aspect
// and centred.
#pragma once

#include "gdiplus/types.h"
#include "win/gdi/gdi.h"

namespace qelo::player {

constexpr int kPaneGap = 8;

struct PaneLayout {
  int windowWidth = 0;
  int windowHeight = 0;
  bool twoPane = false;

  // (windowWidth - 8) / 2 with two panes, else the window width.
  int paneWidth() const;
  // Where the second pane starts: paneWidth() + 8; 0 with one pane.
  int pane2Offset() const;
  // The frame size to decode at: the first pane's. The decoder scales each
  // picture once, fitted into it, and the panes show the frames unscaled.
  win::SIZE DecodeSize() const;
};

// Fits a w x h picture into `pane`, centred, in whole pixels. Leaves
// `target` alone and returns false when w or h is 0 or the pane is empty.
bool FitAspect(win::RECT* target, const win::RECT& pane, int w, int h);

// The picture rectangle in the first pane and its copy in the second (the
// same with one pane), in window coordinates. Empty for an empty frame.
struct VideoRects {
  gdiplus::RectF videoRect;
  gdiplus::RectF videoRect2;
};
VideoRects ComputeVideoRects(const PaneLayout& layout, int frameWidth, int frameHeight);

// Holds the left and top edges, not the right and bottom ones.
bool Contains(const gdiplus::RectF& r, float x, float y);

}  // namespace qelo::player
