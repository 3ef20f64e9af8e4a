// Version tests against a table of platform versions, and monitor geometry.
#include <gtest/gtest.h>

#include "controls_fixture.h"
#include "ct_common_system.h"

namespace qelo::ct {
namespace {

struct VersionCase {
  const char* name;
  win::OSVERSIONINFO version;
  uint32_t exactKinds;    // bit n: IsExactWinVersion(n)
  uint32_t atLeastKinds;  // bit n: IsWinVersionAtLeast(n)
};

constexpr uint32_t Kinds(std::initializer_list<int> kinds) {
  uint32_t mask = 0;
  for (int k : kinds) mask |= 1u << k;
  return mask;
}

class VersionTable : public testing::TestWithParam<VersionCase> {};

TEST_P(VersionTable, ExactAndAtLeastKinds) {
  const VersionCase& c = GetParam();
  for (int kind = 0; kind <= 9; ++kind) {
    EXPECT_EQ(IsExactWinVersion(static_cast<uint8_t>(kind), c.version), ((c.exactKinds >> kind) & 1) != 0)
        << c.name << " exact kind " << kind;
    EXPECT_EQ(IsWinVersionAtLeast(static_cast<uint8_t>(kind), c.version), ((c.atLeastKinds >> kind) & 1) != 0)
        << c.name << " at least kind " << kind;
  }
}

constexpr uint32_t k9x = win::VER_PLATFORM_WIN32_WINDOWS, kNt = win::VER_PLATFORM_WIN32_NT;

// Minor versions below 10 on a later major version still count as later
// than 98 (4.10) and Me (4.90).
INSTANTIATE_TEST_SUITE_P(
    Platforms, VersionTable,
    testing::Values(VersionCase{"95", {4, 0, 950, k9x}, Kinds({0}), Kinds({0})},
                    VersionCase{"98", {4, 10, 1998, k9x}, Kinds({2}), Kinds({0, 2})},
                    VersionCase{"Me", {4, 90, 3000, k9x}, Kinds({3}), Kinds({0, 2, 3})},
                    VersionCase{"NT 3.51", {3, 51, 1057, kNt}, Kinds({1}), 0},
                    VersionCase{"NT 4", {4, 0, 1381, kNt}, Kinds({1}), Kinds({0, 1})},
                    VersionCase{"2000", {5, 0, 2195, kNt}, Kinds({4}), Kinds({0, 1, 2, 3, 4})},
                    VersionCase{"XP", {5, 1, 2600, kNt}, Kinds({5}), Kinds({0, 1, 2, 3, 4, 5})},
                    VersionCase{"2003", {5, 2, 3790, kNt}, Kinds({6}), Kinds({0, 1, 2, 3, 4, 5, 6})},
                    VersionCase{"Vista", {6, 0, 6000, kNt}, Kinds({7}), Kinds({0, 1, 2, 3, 4, 5, 6, 7})},
                    VersionCase{"Win32s", {3, 10, 0, win::VER_PLATFORM_WIN32s}, 0, 0}),
    [](const testing::TestParamInfo<VersionCase>& info) {
      std::string name = info.param.name;
      std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
      return name;
    });

TEST(Version, ThePlatformIsXp) {
  EXPECT_TRUE(IsExactWinVersion(kWinXP));
  EXPECT_TRUE(IsWinVersionAtLeast(kWinXP));
  EXPECT_FALSE(IsWinVersionAtLeast(kWin2003));
  EXPECT_FALSE(IsWinVersionAtLeast(kWinVista));
  win::DLLVERSIONINFO controls;
  ASSERT_TRUE(win::GetCommonControlsVersion(&controls));
  EXPECT_EQ(controls.dwMajorVersion, 6u);
  EXPECT_EQ(controls.dwMinorVersion, 0u);
}

using Monitors = vcl::test::FormTest;

TEST_F(Monitors, OneMonitorCoversTheScreen) {
  const TRect screen = vcl::Screen()->DesktopRect();
  const TRect work = GetMonitorWorkArea(form);
  EXPECT_TRUE(win::EqualRect(&work, &screen));
  EXPECT_EQ(GetMonitorWorkAreaWidth(form), screen.right - screen.left);

  const std::optional<TMonitor> inside = FindMonitorAtPoint(TPoint{screen.right - 1, screen.bottom - 1});
  ASSERT_TRUE(inside.has_value());
  const TRect whole = GetMonitorRect(*inside), workRect = GetMonitorWorkRect(*inside);
  EXPECT_TRUE(win::EqualRect(&whole, &screen));
  EXPECT_TRUE(win::EqualRect(&workRect, &work));
  EXPECT_FALSE(FindMonitorAtPoint(TPoint{screen.right, 0}).has_value());
  EXPECT_FALSE(FindMonitorAtPoint(TPoint{-1, 0}).has_value());
}

}  // namespace
}  // namespace qelo::ct
