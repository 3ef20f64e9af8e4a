#include "vcl/sysutils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/temp_dir.h"
#include "vcl/types.h"

namespace qelo::vcl {
namespace {

TEST(CompareTextTest, IgnoresTheCaseOfLettersOnly) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  } cases[] = {{"apple", "Banana", -1}, {"APPLE", "apple", 0}, {"ab", "A", 1}, {"", "", 0},
               {"", "a", -1},          {"a_", "A-", 1},       {"\xC3\xA9", "\xC3\x89", 1}};
  for (const Case& c : cases) {
    const int r = CompareText(c.a, c.b);
    EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " / " << c.b;
  }
}

TEST(StrToIntTest, TakesSignedDecimalIntegersWithin32Bits) {
  EXPECT_EQ(StrToInt("0"), 0);
  EXPECT_EQ(StrToInt("65539"), 65539);
  EXPECT_EQ(StrToInt("+7"), 7);
  EXPECT_EQ(StrToInt("-2147483648"), -2147483648LL);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("007"), 7);
}

TEST(StrToIntTest, RefusesEverythingElseWithTheConversionError) {
  for (const char* text : {"", " 1", "1 ", "1\r", "12a", "0x10", "$10", "+", "-", "--1", "+-1",
                           "2147483648", "-2147483649", "99999999999999999999", "1.0"}) {
    try {
      StrToInt(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const EConvertError& error) {
      EXPECT_EQ(error.what(), "'" + std::string(text) + "' is not a valid integer value");
    }
  }
}

struct PathCase {
  const char* path;
  const char* folder;
  const char* name;
  const char* extension;
  const char* asMp4;
};

TEST(FileNameTest, PartsAndExtensionChangesOfPaths) {
  const PathCase cases[] = {
      {"/home/u/Videos/clip.avi", "/home/u/Videos/", "clip.avi", ".avi", "/home/u/Videos/clip.mp4"},
      {"/home/u/clip(1).tar.gz", "/home/u/", "clip(1).tar.gz", ".gz", "/home/u/clip(1).tar.mp4"},
      {"/home/u.v/clip", "/home/u.v/", "clip", "", "/home/u.v/clip.mp4"},
      {"/home/u/.profile", "/home/u/", ".profile", "", "/home/u/.profile.mp4"},
      {"clip.", "", "clip.", ".", "clip.mp4"},
      {"/out/", "/out/", "", "", "/out/.mp4"},
      {"", "", "", "", ".mp4"},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(ExtractFilePath(c.path), c.folder);
    EXPECT_EQ(ExtractFileName(c.path), c.name);
    EXPECT_EQ(ExtractFileExt(c.path), c.extension);
    EXPECT_EQ(ChangeFileExt(c.path, ".mp4"), c.asMp4);
  }
  EXPECT_EQ(ChangeFileExt("/v/clip.avi", ""), "/v/clip");
}

TEST(FileSystemTest, FilesFoldersAndFolderCreation) {
  test::TempDir dir;
  std::ofstream(dir.File("clip.mp4")) << "x";
  std::filesystem::create_symlink(dir.File("clip.mp4"), dir.File("link.mp4"));
  std::filesystem::create_symlink(dir.File("gone.mp4"), dir.File("dangling.mp4"));

  EXPECT_TRUE(FileExists(dir.File("clip.mp4")));
  EXPECT_TRUE(FileExists(dir.File("link.mp4")));
  EXPECT_FALSE(FileExists(dir.File("dangling.mp4")));
  EXPECT_FALSE(FileExists(dir.path()));
  EXPECT_FALSE(FileExists(dir.File("none")));
  EXPECT_TRUE(DirectoryExists(dir.path()));
  EXPECT_FALSE(DirectoryExists(dir.File("clip.mp4")));

  EXPECT_TRUE(ForceDirectories(dir.File("Clipshift/Temp/")));
  EXPECT_TRUE(DirectoryExists(dir.File("Clipshift/Temp")));
  EXPECT_TRUE(ForceDirectories(dir.File("Clipshift")));  // already there
  EXPECT_FALSE(ForceDirectories(dir.File("clip.mp4/Temp")));  // a file is in the way
  EXPECT_FALSE(ForceDirectories(""));
}

TEST(FormatDateTimeTest, MinutesFollowHoursElsewhereMonths) {
  std::tm t{};
  t.tm_year = 2024 - 1900;
  t.tm_mon = 2;  // March
  t.tm_mday = 3;
  t.tm_hour = 14;
  t.tm_min = 5;
  t.tm_sec = 9;
  EXPECT_EQ(FormatDateTime("hh-mm-ss-mm", t), "14-05-09-03");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd", t), "2024-03-03");
  EXPECT_EQ(FormatDateTime("yy/m/d h:n:s", t), "24/3/3 14:5:9");
  EXPECT_EQ(FormatDateTime("hh:nn mm", t), "14:05 03");
  EXPECT_EQ(FormatDateTime("HH-MM", t), "14-05");
  t.tm_hour = 9;
  t.tm_min = 30;
  t.tm_sec = 0;
  t.tm_mon = 11;
  EXPECT_EQ(FormatDateTime("hh-mm-ss-mm", t), "09-30-00-12");
}

}  // namespace
}  // namespace qelo::vcl
