#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "common/temp_dir.h"
#include "vcl/strings.h"

namespace qelo::vcl::test {
namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> Lines(const TStrings& s) {
  std::vector<std::string> out;
  for (int i = 0; i < s.Count(); ++i) out.push_back(s.Get(i));
  return out;
}

TEST(StringFiles, ByteOrderMarkSelectsTheEncodingAndAnyLineBreakEndsALine) {
  struct Case {
    const char* what;
    std::string bytes;
    TEncoding encoding;
  } cases[] = {
      {"no mark", "caf\xC3\xA9\r\nb\rc\n\nd", TEncoding::Default},
      {"UTF-8", "\xEF\xBB\xBF" "caf\xC3\xA9\nb\r\nc\r\n\r\nd\r\n", TEncoding::UTF8},
      {"UTF-16 LE", std::string("\xFF\xFE" "c\0a\0f\0\xE9\0\r\0\n\0b\0\r\0c\0\n\0\n\0d\0", 26), TEncoding::Unicode},
      {"UTF-16 BE", std::string("\xFE\xFF\0c\0a\0f\0\xE9\0\n\0b\0\r\0c\0\r\0\n\0\n\0d", 26),
       TEncoding::BigEndianUnicode},
  };
  qelo::test::TempDir dir;
  for (const Case& c : cases) {
    WriteBytes(dir.File("in.txt"), c.bytes);
    TStringList list;
    list.LoadFromFile(dir.File("in.txt"));
    EXPECT_EQ(Lines(list), std::vector<std::string>({"caf\xC3\xA9", "b", "c", "", "d"})) << c.what;
    EXPECT_EQ(list.Encoding(), c.encoding) << c.what;
  }
}

TEST(StringFiles, SavedInTheChosenEncodingAndLineBreak) {
  struct Case {
    TEncoding encoding;
    const char* lineBreak;
    std::string bytes;
  } cases[] = {
      {TEncoding::Default, "\r\n", "a\xC3\xA9\r\nz\r\n"},
      {TEncoding::Default, "\n", "a\xC3\xA9\nz\n"},
      {TEncoding::UTF8, "\r\n", "\xEF\xBB\xBF" "a\xC3\xA9\r\nz\r\n"},
      {TEncoding::Unicode, "\n", std::string("\xFF\xFE" "a\0\xE9\0\n\0z\0\n\0", 12)},
      {TEncoding::BigEndianUnicode, "\n", std::string("\xFE\xFF\0a\0\xE9\0\n\0z\0\n", 12)},
  };
  qelo::test::TempDir dir;
  for (const Case& c : cases) {
    TStringList list;
    list.Add("a\xC3\xA9");
    list.Add("z");
    list.SetLineBreak(c.lineBreak);
    list.SaveToFile(dir.File("out.txt"), c.encoding);
    EXPECT_EQ(ReadBytes(dir.File("out.txt")), c.bytes);
    TStringList back;
    back.LoadFromFile(dir.File("out.txt"));
    EXPECT_EQ(Lines(back), Lines(list));
  }
}

TEST(StringFiles, SaveKeepsTheLoadedEncodingAndReplacesTheWholeFile) {
  qelo::test::TempDir dir;
  std::string path = dir.File("settings.dat");
  WriteBytes(path, "\xEF\xBB\xBF" "one\r\ntwo\r\nthree\r\n");
  TStringList list;
  list.LoadFromFile(path);
  list.Delete(2);
  list.SaveToFile(path);
  EXPECT_EQ(ReadBytes(path), "\xEF\xBB\xBF" "one\r\ntwo\r\n");
}

TEST(StringFiles, FailuresLeaveListAndFilesAsTheyWere) {
  qelo::test::TempDir dir;
  TStringList list;
  list.Add("kept");
  EXPECT_THROW(list.LoadFromFile(dir.File("missing.txt")), EFOpenError);
  EXPECT_EQ(Lines(list), std::vector<std::string>({"kept"}));
  EXPECT_THROW(list.SaveToFile(dir.File("no/such/folder.txt")), EFCreateError);
  // A folder in the way cannot be replaced; nothing is left beside it.
  std::filesystem::create_directory(dir.File("taken"));
  EXPECT_THROW(list.SaveToFile(dir.File("taken")), EFCreateError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(StringFiles, OddTrailingByteOfUtf16BecomesAReplacementCharacter) {
  qelo::test::TempDir dir;
  WriteBytes(dir.File("odd.txt"), std::string("\xFF\xFE" "a\0b", 5));
  TStringList list;
  list.LoadFromFile(dir.File("odd.txt"));
  EXPECT_EQ(Lines(list), std::vector<std::string>({"a\xEF\xBF\xBD"}));
}

TEST(StringLists, TextSplitsAndJoins) {
  TStringList list;
  list.SetText("");
  EXPECT_EQ(list.Count(), 0);
  list.SetText("x\r\n\r\ny");
  EXPECT_EQ(Lines(list), std::vector<std::string>({"x", "", "y"}));
  EXPECT_EQ(list.Text(), "x\r\n\r\ny\r\n");
  list.SetText("\n");
  EXPECT_EQ(Lines(list), std::vector<std::string>({""}));
}

TEST(StringLists, SortedListsKeepOrderAndFollowTheirDuplicatesRule) {
  struct Case {
    TDuplicates duplicates;
    std::vector<std::string> expected;
    bool throws;
  } cases[] = {
      {dupIgnore, {"apple", "Banana", "cherry"}, false},
      {dupAccept, {"apple", "BANANA", "Banana", "cherry"}, false},
      {dupError, {"apple", "Banana", "cherry"}, true},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(c.duplicates);
    for (const char* s : {"cherry", "Banana", "apple"}) list.Add(s);
    if (c.throws)
      EXPECT_THROW(list.Add("BANANA"), EStringListError);
    else
      list.Add("BANANA");
    EXPECT_EQ(Lines(list), c.expected);
    int index = -1;
    EXPECT_TRUE(list.Find("BaNaNa", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(list.Find("blueberry", index));
    EXPECT_EQ(index, static_cast<int>(c.expected.size()) - 1);
    EXPECT_THROW(list.Insert(0, "zzz"), EStringListError);
    EXPECT_THROW(list.Put(0, "zzz"), EStringListError);
  }
}

TEST(StringLists, RefusedChangesOfSortedListsLoseNothing) {
  TObject first, second;
  TStringList list;
  list.SetSorted(true);
  list.AddObject("b", &first);
  list.AddObject("a", nullptr);
  EXPECT_EQ(list.AddObject("B", &second), 1);  // ignored duplicate
  EXPECT_EQ(list.GetObject(1), &first);
  EXPECT_THROW(list.Move(0, 1), EStringListError);
  EXPECT_EQ(Lines(list), std::vector<std::string>({"a", "b"}));
  list.SetSorted(false);
  list.Move(0, 1);
  EXPECT_EQ(Lines(list), std::vector<std::string>({"b", "a"}));
  EXPECT_THROW(list.Move(0, 2), EStringListError);
  EXPECT_EQ(list.Count(), 2);
}

TEST(StringLists, CaseSensitivityDecidesOrderAndSearch) {
  TStringList list;
  for (const char* s : {"b", "B", "a"}) list.Add(s);
  EXPECT_EQ(list.IndexOf("A"), 2);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf("A"), -1);
  list.SetSorted(true);
  EXPECT_EQ(Lines(list), std::vector<std::string>({"B", "a", "b"}));
}

TEST(StringLists, ObjectsTravelWithTheirLines) {
  TObject one, two, three;
  TStringList list;
  list.AddObject("c", &three);
  list.AddObject("a", &one);
  list.AddObject("b", &two);
  list.Sort();
  EXPECT_EQ(list.GetObject(0), &one);
  EXPECT_EQ(list.GetObject(2), &three);
  // A caller's own order: "b" first, the rest as they are.
  list.CustomSort([](TStringList& l, int a, int b) {
    return l.Get(a) == "b" ? -1 : (l.Get(b) == "b" ? 1 : 0);
  });
  EXPECT_EQ(Lines(list), std::vector<std::string>({"b", "a", "c"}));
  EXPECT_EQ(list.GetObject(0), &two);
  list.Move(0, 2);
  EXPECT_EQ(list.GetObject(2), &two);
  list.Exchange(0, 1);
  EXPECT_EQ(Lines(list), std::vector<std::string>({"c", "a", "b"}));
  EXPECT_EQ(list.IndexOfObject(&one), 1);

  TStringList copy;
  copy.Add("old");
  copy.Assign(&list);
  EXPECT_TRUE(copy.Equals(list));
  EXPECT_EQ(copy.GetObject(1), &one);
  TComponent notStrings(nullptr);
  EXPECT_THROW(copy.Assign(&notStrings), EConvertError);
  EXPECT_TRUE(copy.Equals(list));
}

TEST(StringLists, IndexesOutsideTheListAreErrors) {
  TStringList list;
  list.Add("only");
  struct Case {
    const char* what;
    std::function<void()> action;
  } cases[] = {
      {"get", [&] { list.Get(1); }},         {"get negative", [&] { list.Get(-1); }},
      {"object", [&] { list.GetObject(1); }}, {"delete", [&] { list.Delete(1); }},
      {"insert past end", [&] { list.Insert(2, "x"); }}, {"exchange", [&] { list.Exchange(0, 3); }},
  };
  for (const Case& c : cases) EXPECT_THROW(c.action(), EStringListError) << c.what;
  list.Insert(1, "end");  // at the end is fine
  EXPECT_EQ(list.Count(), 2);
}

TEST(StringLists, ChangeEventsWaitForTheOutermostEndUpdate) {
  TStringList list;
  int changing = 0, changed = 0;
  list.OnChanging = [&](TObject*) { ++changing; };
  list.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    ++changed;
  };
  list.Add("a");
  EXPECT_EQ(changing, 1);
  EXPECT_EQ(changed, 1);
  list.BeginUpdate();
  list.BeginUpdate();
  list.Add("b");
  list.Delete(0);
  list.EndUpdate();
  EXPECT_EQ(changed, 1);
  list.EndUpdate();
  EXPECT_EQ(changing, 2);
  EXPECT_EQ(changed, 2);
  list.EndUpdate();  // unbalanced: ignored
  EXPECT_EQ(list.UpdateCount(), 0);
  list.SetText("x\ny\nz");
  EXPECT_EQ(changed, 3);  // one report for the whole text
}

}  // namespace
}  // namespace qelo::vcl::test
