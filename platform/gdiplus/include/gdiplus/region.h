// Regions: an infinite or rectangular start combined with rectangles and
// other regions. Points are inside when their pixel centre is.
#pragma once

#include <memory>
#include <vector>

#include "gdiplus/types.h"

namespace qelo::gdiplus {

enum class CombineMode { Replace, Intersect, Union, Xor, Exclude };

class Region {
 public:
  Region();  // infinite
  explicit Region(const RectF& rect);

  void MakeEmpty();
  void Combine(CombineMode mode, const RectF& rect);
  void Combine(CombineMode mode, const Region& other);
  void Union(const RectF& rect) { Combine(CombineMode::Union, rect); }
  void Intersect(const RectF& rect) { Combine(CombineMode::Intersect, rect); }
  void Xor(const RectF& rect) { Combine(CombineMode::Xor, rect); }
  void Exclude(const RectF& rect) { Combine(CombineMode::Exclude, rect); }
  void Union(const Region& other) { Combine(CombineMode::Union, other); }
  void Intersect(const Region& other) { Combine(CombineMode::Intersect, other); }
  void Xor(const Region& other) { Combine(CombineMode::Xor, other); }
  void Exclude(const Region& other) { Combine(CombineMode::Exclude, other); }

  bool IsInfinite() const { return start_ == Start::Infinite && steps_.empty(); }
  // Whether the pixel whose centre is (x + 0.5, y + 0.5) lies inside.
  bool IsVisible(int x, int y) const;
  // A rectangle that holds every inside point (not always the tightest).
  RectF GetBounds() const;

  // How the region is built, for rasterising it.
  enum class Start { Empty, Infinite };
  struct Step {
    CombineMode mode;
    RectF rect;                             // used when `region` is null
    std::shared_ptr<const Region> region;   // a frozen copy of another region
  };
  Start GetStart() const { return start_; }
  const std::vector<Step>& GetSteps() const { return steps_; }

 private:
  void Append(Step step);

  Start start_ = Start::Infinite;
  std::vector<Step> steps_;
};

}  // namespace qelo::gdiplus
