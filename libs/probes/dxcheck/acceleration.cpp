#include "dxcheck/acceleration.h"

#include <cstdint>

#include "registry/registry.h"

namespace qelo::probes {
namespace {

namespace reg = qelo::reg;

struct Switch {
  const char* key;
  const char* value;
};

constexpr Switch kDirect3D{"SOFTWARE\\Microsoft\\Direct3D\\Drivers", "SoftwareOnly"};
constexpr Switch kDirectDraw{"SOFTWARE\\Microsoft\\DirectDraw", "EmulationOnly"};

// True when the switch's value can be read and is 0; its type is not looked at.
bool ReadsZero(const Switch& which) {
  reg::Key key = reg::kNoKey;
  if (reg::OpenKey(reg::HKEY_LOCAL_MACHINE, which.key, reg::kQueryValue, &key) != reg::Status::kOk)
    return false;
  std::uint32_t value = 1;
  std::uint32_t size = sizeof value;
  const bool read = reg::QueryValue(key, which.value, nullptr, &value, &size) == reg::Status::kOk;
  reg::CloseKey(key);
  return read && value == 0;
}

bool WriteZero(const Switch& which) {
  reg::Key key = reg::kNoKey;
  if (reg::OpenKey(reg::HKEY_LOCAL_MACHINE, which.key, reg::kSetValue, &key) != reg::Status::kOk)
    return false;
  const std::uint32_t zero = 0;
  const bool written = reg::SetValue(key, which.value, reg::ValueType::kDword, &zero,
                                     sizeof zero) == reg::Status::kOk;
  reg::CloseKey(key);
  return written;
}

}  // namespace

bool AccelerationSwitchedOn() { return ReadsZero(kDirect3D) && ReadsZero(kDirectDraw); }

bool SwitchAccelerationOn() { return WriteZero(kDirect3D) && WriteZero(kDirectDraw); }

}  // namespace qelo::probes
