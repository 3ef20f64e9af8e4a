// Solid brushes and pens with dash styles.
#pragma once

#include "gdiplus/types.h"

namespace qelo::gdiplus {

class SolidBrush {
 public:
  explicit SolidBrush(Color color) : color_(color) {}
  Color GetColor() const { return color_; }
  void SetColor(Color color) { color_ = color; }

 private:
  Color color_;
};

// Dash patterns are in multiples of the pen width: dash 3 on 1 off, dot 1 on
// 1 off, dash-dot 3 1 1 1, dash-dot-dot 3 1 1 1 1 1.
enum class DashStyle { Solid, Dash, Dot, DashDot, DashDotDot };

class Pen {
 public:
  explicit Pen(Color color, float width = 1.0f) : color_(color), width_(width) {}
  Color GetColor() const { return color_; }
  void SetColor(Color color) { color_ = color; }
  float GetWidth() const { return width_; }
  DashStyle GetDashStyle() const { return dash_; }
  void SetDashStyle(DashStyle dash) { dash_ = dash; }

 private:
  Color color_;
  float width_;
  DashStyle dash_ = DashStyle::Solid;
};

}  // namespace qelo::gdiplus
