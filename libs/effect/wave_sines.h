// The sines of the wave effect, kept between calls.
//
// The wave's sine depends only on a pixel's distance from the centre, so
// it is the same for the four pixels placed alike about the centre and the
// same in every frame of one size: it is computed once per frame size and
// period for a quarter of the picture and shared by every call that needs
// it, on any thread.
#pragma once

#include <memory>
#include <vector>

namespace qelo::effect {

// Where a pixel lies from the centre, and the scale factors that make the
// rings round on a picture that is not square.
struct WaveGeometry {
  WaveGeometry(int width, int height);
  double halfWidth, halfHeight;
  double scaleX, scaleY;
  // Index of the pixel's distance from the centre column (or row): the
  // same for a pixel and its mirror image.
  static int FoldedIndex(int position, double half);
};

class WaveSines {
 public:
  WaveSines(int width, int height, double period);
  bool Fits(int width, int height, double period) const {
    return width == width_ && height == height_ && period == period_;
  }
  // The folded sines of row y (from the bottom): pixel x's sine is entry
  // FoldedColumn(x) of it.
  const double* FoldedRow(int y) const;
  // Pixels from the first one at or past the centre read the folded row
  // forward from entry 0, those before it backward from entry `FirstFolded()`.
  int FirstPast() const { return (width_ + 1) / 2; }
  int FirstFolded() const { return width_ / 2; }
  int FoldedColumn(int x) const { return x < FirstPast() ? FirstFolded() - x : x - FirstPast(); }
  // The sine for pixel (x, y), exactly as the per-pixel rule computes it.
  static double SineAt(const WaveGeometry& geometry, double period, int x, int y);

 private:
  int width_, height_;
  double period_;
  int columns_;  // folded columns: width / 2 + 1
  std::vector<double> sines_;  // folded rows x folded columns
};

// The table of a frame size and period: a kept one, or one made now. Throws
// std::bad_alloc.
std::shared_ptr<const WaveSines> WaveSinesFor(int width, int height, double period);
// Lets go of the kept tables.
void ReleaseWaveSines();

}  // namespace qelo::effect
