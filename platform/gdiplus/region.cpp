#include "gdiplus/region.h"

#include <algorithm>
#include <cmath>

namespace qelo::gdiplus {
namespace {

constexpr float kFar = 1e9f;
constexpr RectF kEverywhere{-kFar, -kFar, 2 * kFar, 2 * kFar};

bool Contains(const RectF& r, float x, float y) {
  return x >= r.X && x < r.X + r.Width && y >= r.Y && y < r.Y + r.Height;
}

bool IsEmpty(const RectF& r) { return !(r.Width > 0 && r.Height > 0); }

RectF Hull(const RectF& a, const RectF& b) {
  if (IsEmpty(a)) return b;
  if (IsEmpty(b)) return a;
  const float x0 = std::min(a.X, b.X), y0 = std::min(a.Y, b.Y);
  const float x1 = std::max(a.X + a.Width, b.X + b.Width), y1 = std::max(a.Y + a.Height, b.Y + b.Height);
  return {x0, y0, x1 - x0, y1 - y0};
}

RectF Overlap(const RectF& a, const RectF& b) {
  const float x0 = std::max(a.X, b.X), y0 = std::max(a.Y, b.Y);
  const float x1 = std::min(a.X + a.Width, b.X + b.Width), y1 = std::min(a.Y + a.Height, b.Y + b.Height);
  if (x1 <= x0 || y1 <= y0) return {};
  return {x0, y0, x1 - x0, y1 - y0};
}

bool StepContains(const Region::Step& step, float x, float y) {
  return step.region ? step.region->IsVisible(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)))
                     : Contains(step.rect, x, y);
}

RectF StepBounds(const Region::Step& step) { return step.region ? step.region->GetBounds() : step.rect; }

}  // namespace

Region::Region() = default;

Region::Region(const RectF& rect) : start_(Start::Empty) { Append({CombineMode::Union, rect, nullptr}); }

void Region::MakeEmpty() {
  start_ = Start::Empty;
  steps_.clear();
}

void Region::Combine(CombineMode mode, const RectF& rect) { Append({mode, rect, nullptr}); }

void Region::Combine(CombineMode mode, const Region& other) {
  Append({mode, {}, std::make_shared<const Region>(other)});
}

void Region::Append(Step step) {
  if (step.mode == CombineMode::Replace) {
    MakeEmpty();
    step.mode = CombineMode::Union;
  }
  steps_.push_back(std::move(step));
}

bool Region::IsVisible(int px, int py) const {
  const float x = px + 0.5f, y = py + 0.5f;
  bool inside = start_ == Start::Infinite;
  for (const Step& step : steps_) {
    const bool inStep = StepContains(step, x, y);
    switch (step.mode) {
      case CombineMode::Replace:
      case CombineMode::Union: inside = inside || inStep; break;
      case CombineMode::Intersect: inside = inside && inStep; break;
      case CombineMode::Xor: inside = inside != inStep; break;
      case CombineMode::Exclude: inside = inside && !inStep; break;
    }
  }
  return inside;
}

RectF Region::GetBounds() const {
  RectF bounds = start_ == Start::Infinite ? kEverywhere : RectF{};
  for (const Step& step : steps_) {
    const RectF shape = StepBounds(step);
    switch (step.mode) {
      case CombineMode::Replace:
      case CombineMode::Union:
      case CombineMode::Xor: bounds = Hull(bounds, shape); break;
      case CombineMode::Intersect: bounds = Overlap(bounds, shape); break;
      case CombineMode::Exclude: break;
    }
  }
  return bounds;
}

}  // namespace qelo::gdiplus
