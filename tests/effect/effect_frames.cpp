#include "effect/effect_frames.h"

#include <string.h>

namespace qelo::test {

std::ostream& operator<<(std::ostream& out, const Px& px) {
  return out << "{b " << int{px.b} << ", g " << int{px.g} << ", r " << int{px.r} << ", a "
             << int{px.a} << "}";
}

TestFrame::TestFrame(int width, int height, int padding, const std::vector<Px>& rowsTopDown) {
  const int stride = 4 * width + padding;
  buffer_.assign(static_cast<size_t>(stride) * height + kGuardBytes, kSentinel);
  frame_.pixels = buffer_.data();
  frame_.width = width;
  frame_.height = height;
  frame_.stride = stride;
  frame_.bufferSize = stride * height;
  frame_.pts = 1234;
  frame_.nextPts = 5678;
  for (int row = 0; row < height; ++row) {
    for (int x = 0; x < width; ++x) {
      memcpy(buffer_.data() + row * stride + 4 * x, &rowsTopDown.at(row * width + x), 4);
    }
  }
}

TestFrame::TestFrame(int width, int height, int padding, Px fill)
    : TestFrame(width, height, padding,
                std::vector<Px>(static_cast<size_t>(width) * height, fill)) {}

TestFrame::TestFrame(const TestFrame& other) : buffer_(other.buffer_), frame_(other.frame_) {
  frame_.pixels = buffer_.data();
}

TestFrame& TestFrame::operator=(const TestFrame& other) {
  buffer_ = other.buffer_;
  frame_ = other.frame_;
  frame_.pixels = buffer_.data();
  return *this;
}

Px TestFrame::At(int x, int rowFromTop) const {
  Px px;
  memcpy(&px, buffer_.data() + rowFromTop * frame_.stride + 4 * x, 4);
  return px;
}

std::vector<Px> TestFrame::Pixels() const {
  std::vector<Px> pixels;
  for (int row = 0; row < frame_.height; ++row) {
    for (int x = 0; x < frame_.width; ++x) pixels.push_back(At(x, row));
  }
  return pixels;
}

bool TestFrame::UntouchedOutsidePixels() const {
  const int rowBytes = 4 * frame_.width;
  for (size_t i = 0; i < buffer_.size(); ++i) {
    const bool inPixels = rowBytes > 0 && i < static_cast<size_t>(frame_.bufferSize) &&
                          static_cast<int>(i % frame_.stride) < rowBytes;
    if (!inPixels && buffer_[i] != kSentinel) return false;
  }
  return true;
}

EffectRecord Effect(int id, int param1, int param2) {
  EffectRecord record{};
  record.effectId = id;
  record.param1 = param1;
  record.param2 = param2;
  return record;
}

}  // namespace qelo::test
