// Reading a file dialog's filter into its pairs, and matching names.
#include <gtest/gtest.h>

#include "vcl/dialogs/file_filter.h"

namespace qelo::vcl::test {
namespace {

TEST(FileFilter, ReadsPairsAndTrimsTheirMasks) {
  struct Case {
    const char* filter;
    std::vector<std::pair<std::string, std::vector<std::string>>> expected;
  } cases[] = {
      {"", {}},
      {"All File(*.*)|*.*", {{"All File(*.*)", {"*.*"}}}},
      {"Real Video(*.rm, *.rmvb)|*.rm; *.rmvb|MPEG-4 File(*.mp4)|*.mp4",
       {{"Real Video(*.rm, *.rmvb)", {"*.rm", "*.rmvb"}}, {"MPEG-4 File(*.mp4)", {"*.mp4"}}}},
      {"Gif\\Tiff File|*.gif;;*.tif ; ", {{"Gif\\Tiff File", {"*.gif", "*.tif"}}}},
      // Malformed: a description without its pattern at the end is dropped.
      {"Video|*.mp4|Orphan", {{"Video", {"*.mp4"}}}},
      {"Orphan", {}},
      // An empty description shows the pattern; an empty pattern keeps its
      // place so that the later pairs keep their indexes.
      {"|*.avi|Nothing| |Last|*.ts", {{"*.avi", {"*.avi"}}, {"Nothing", {}}, {"Last", {"*.ts"}}}},
      {"||", {{"", {}}}},
  };
  for (const Case& c : cases) {
    const std::vector<TFileFilter> parsed = ParseFileFilter(c.filter);
    ASSERT_EQ(parsed.size(), c.expected.size()) << c.filter;
    for (size_t i = 0; i < parsed.size(); ++i) {
      EXPECT_EQ(parsed[i].description, c.expected[i].first) << c.filter << " #" << i;
      EXPECT_EQ(parsed[i].masks, c.expected[i].second) << c.filter << " #" << i;
    }
  }
}

TEST(FileFilter, MasksMatchWithoutRegardToCase) {
  struct Case {
    const char* name;
    const char* mask;
    bool matches;
  } cases[] = {
      {"clip.yuv", "*.YUV", true},       {"CLIP.MP4", "*.mp4", true},
      {"clip.mp4.txt", "*.mp4", false},  {"clip.mp4", "*.mp", false},
      {"README", "*.*", true},           {"a.b.c", "*.c", true},
      {"clip1.ts", "clip?.ts", true},    {"clip12.ts", "clip?.ts", false},
      {"abcab", "*ab", true},            {"", "*", true},
      {"x", "", false},                  {"movie.mpeg", "*.mp*g", true},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchesMask(c.name, c.mask), c.matches) << c.name << " ~ " << c.mask;
  const TFileFilter mpg = ParseFileFilter("MPG|*.mpg; *.mpeg; *.m2v").front();
  EXPECT_TRUE(MatchesFilter("a.M2V", mpg));
  EXPECT_FALSE(MatchesFilter("a.mp4", mpg));
  EXPECT_FALSE(MatchesFilter("a.mp4", TFileFilter{"none", {}}));
}

}  // namespace
}  // namespace qelo::vcl::test
