// Basic vocabulary of the form framework: colours, sets over enumerations,
// event types and the exceptions the framework raises.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>

namespace qelo::vcl {

class TObject;

// 0x00BBGGRR for an RGB colour; 0xFF000000 + index for a system colour.
using TColor = uint32_t;

using TNotifyEvent = std::function<void(TObject* sender)>;

// A set over the ordinals 0 to 31 of an enumeration, carried as a bit mask
// (bit n = ordinal n).
template <class E>
class TSet {
 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> members) {
    for (E m : members) Include(m);
  }
  static constexpr TSet FromMask(uint32_t mask) {
    TSet s;
    s.mask_ = mask;
    return s;
  }
  constexpr uint32_t Mask() const { return mask_; }
  constexpr bool Contains(E m) const { return (mask_ & Bit(m)) != 0; }
  constexpr bool Empty() const { return mask_ == 0; }
  constexpr TSet& Include(E m) {
    mask_ |= Bit(m);
    return *this;
  }
  constexpr TSet& Exclude(E m) {
    mask_ &= ~Bit(m);
    return *this;
  }
  friend constexpr bool operator==(TSet a, TSet b) { return a.mask_ == b.mask_; }

 private:
  static constexpr uint32_t Bit(E m) { return uint32_t{1} << static_cast<unsigned>(m); }
  uint32_t mask_ = 0;
};

// Sets a flag for as long as the scope lasts, also when an event handler
// throws: the guard of a control against its own notifications.
class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& flag_;
};

// Errors of the framework. Each carries its full message.
struct Exception : std::runtime_error {
  using std::runtime_error::runtime_error;
};
struct EConvertError : Exception {
  using Exception::Exception;
};
struct EComponentError : Exception {
  using Exception::Exception;
};
struct EPropertyError : Exception {
  using Exception::Exception;
};
struct EReadError : Exception {
  using Exception::Exception;
};
struct EResNotFound : Exception {
  using Exception::Exception;
};
struct EStringListError : Exception {
  using Exception::Exception;
};
struct EFOpenError : Exception {
  using Exception::Exception;
};
struct EFCreateError : Exception {
  using Exception::Exception;
};
// An object is not of the class a checked cast asks for.
struct EInvalidCast : Exception {
  using Exception::Exception;
};

}  // namespace qelo::vcl
