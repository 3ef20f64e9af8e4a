// The named-colour table: forty palette colours, then the system colours
// in index order without index 25, each under its exact name.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ct_common_color_names.h"
#include "vcl/colors.h"

namespace qelo::ct {
namespace {

TEST(ColorNames, FortyPaletteColoursThenTheSystemColoursWithoutIndex25) {
  std::set<std::string_view> names;
  for (int i = 0; i < kColorDataCount; ++i) {
    const TColorData& entry = kColorData[static_cast<size_t>(i)];
    EXPECT_FALSE(entry.Name.empty()) << i;
    names.insert(entry.Name);
    if (i < 40) {
      EXPECT_FALSE(vcl::IsSystemColor(entry.Color)) << entry.Name;
      EXPECT_EQ(entry.Color & 0xFF000000u, 0u) << entry.Name;
    } else {
      const int index = i - 40 < 25 ? i - 40 : i - 39;
      EXPECT_EQ(entry.Color, vcl::SystemColor(index)) << entry.Name;
    }
  }
  EXPECT_EQ(names.size(), static_cast<size_t>(kColorDataCount));  // no name twice
}

TEST(ColorNames, EntriesCarryTheirExactNames) {
  struct Case {
    int index;
    vcl::TColor color;
    const char* name;
  } cases[] = {
      {0, 0x000000, "Black"},           {1, 0x003399, "Brown"},
      {7, 0x333333, "Gray 80%"},        {17, 0x0099FF, "Light Orange"},
      {31, 0xC0C0C0, "Gray 25%"},       {39, 0xFFFFFF, "White"},
      {40, 0xFF000000, "Scroll Bar"},   {52, 0xFF00000C, "App WorkSpace"},
      {61, 0xFF000015, "3D Dark Shadow"}, {64, 0xFF000018, "Info Background"},
      {65, 0xFF00001A, "Hot Light"},    {69, 0xFF00001E, "Menu Bar"},
  };
  for (const Case& c : cases) {
    const TColorData& entry = kColorData[static_cast<size_t>(c.index)];
    EXPECT_EQ(entry.Color, c.color) << c.index;
    EXPECT_EQ(entry.Name, c.name) << c.index;
  }
}

}  // namespace
}  // namespace qelo::ct
