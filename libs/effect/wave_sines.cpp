#include "wave_sines.h"

#include <math.h>

#include <algorithm>
#include <mutex>
#include <numbers>

namespace qelo::effect {
namespace {

// Tables kept: a conversion at one size, and one more user of the
// library at another. The oldest goes first.
constexpr size_t kKeptTables = 2;

struct KeptTables {
  std::mutex lock;  // guards `tables`; taken by any caller, never while a table is made
  std::vector<std::shared_ptr<const WaveSines>> tables;  // newest last
};

KeptTables& Kept() {
  static KeptTables kept;
  return kept;
}

}  // namespace

WaveGeometry::WaveGeometry(int width, int height)
    : halfWidth(width / 2.0),
      halfHeight(height / 2.0),
      scaleX(width < height ? static_cast<double>(height) / width : 1.0),
      scaleY(height < width ? static_cast<double>(width) / height : 1.0) {}

// x - half is a whole or a half number; its magnitude, rounded down, counts
// the same for x and its mirror image.
int WaveGeometry::FoldedIndex(int position, double half) { return static_cast<int>(fabs(position - half)); }

double WaveSines::SineAt(const WaveGeometry& geometry, double period, int x, int y) {
  const double dx = geometry.scaleX * (x - geometry.halfWidth);
  const double dy = geometry.scaleY * (y - geometry.halfHeight);
  const double radius = sqrt(dx * dx + dy * dy);
  return sin(2.0 * std::numbers::pi * radius / period);
}

// The folded entry (column a, row b) is computed at the pixel right of and
// above the centre by a and b; the negated offsets of the mirror images
// square to the same distance.
WaveSines::WaveSines(int width, int height, double period)
    : width_(width), height_(height), period_(period), columns_(width / 2 + 1) {
  const WaveGeometry geometry(width, height);
  const int rows = height / 2 + 1;
  sines_.resize(static_cast<size_t>(rows) * columns_);
  const int firstX = (width + 1) / 2, firstY = (height + 1) / 2;  // the first pixel at or past the centre
  for (int b = 0; b < rows; ++b) {
    // Rows and columns past the picture's edge stand for the mirror images
    // of the pixels before the centre; their offsets are the same.
    for (int a = 0; a < columns_; ++a) {
      sines_[static_cast<size_t>(b) * columns_ + a] = SineAt(geometry, period, firstX + a, firstY + b);
    }
  }
}

const double* WaveSines::FoldedRow(int y) const {
  const int folded = WaveGeometry::FoldedIndex(y, height_ / 2.0);
  return sines_.data() + static_cast<size_t>(folded) * columns_;
}

std::shared_ptr<const WaveSines> WaveSinesFor(int width, int height, double period) {
  KeptTables& kept = Kept();
  {
    std::lock_guard<std::mutex> hold(kept.lock);
    for (const auto& table : kept.tables) {
      if (table->Fits(width, height, period)) return table;
    }
  }
  auto made = std::make_shared<const WaveSines>(width, height, period);
  std::lock_guard<std::mutex> hold(kept.lock);
  if (kept.tables.size() >= kKeptTables) kept.tables.erase(kept.tables.begin());
  kept.tables.push_back(made);
  return made;
}

void ReleaseWaveSines() {
  KeptTables& kept = Kept();
  std::lock_guard<std::mutex> hold(kept.lock);
  kept.tables.clear();
}

}  // namespace qelo::effect
