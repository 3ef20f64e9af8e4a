#include "win/codepage.h"

#include <gtest/gtest.h>

namespace qelo::win {
namespace {

TEST(Codepage, RoundTripsEveryPlane) {
  const std::string text = "plain \xC3\xA9t\xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x8E\xAC end";
  const std::u16string wide = Utf8ToUtf16(text);
  EXPECT_EQ(wide, u"plain \u00e9t\u00e9 \u4e2d \U0001F3AC end");
  EXPECT_EQ(Utf16ToUtf8(wide), text);
}

TEST(Codepage, MalformedInputBecomesReplacementCharacters) {
  struct Case {
    std::string in;
    std::u16string out;
  } cases[] = {
      {"a\xFF" "b", u"a\uFFFDb"},
      {"\xC3", u"\uFFFD"},                 // cut short
      {"\xC0\xAF", u"\uFFFD\uFFFD"},       // over-long form
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToUtf16(c.in), c.out) << c.in;
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800') + u"x"), "\xEF\xBF\xBDx");
}

TEST(Codepage, FieldCopyIsBoundedAndNeverSplitsAPair) {
  char16_t field[4] = {u'z', u'z', u'z', u'z'};
  EXPECT_EQ(CopyToUtf16Field(field, 4, u"abcdef"), 3u);
  EXPECT_EQ(std::u16string(field), u"abc");
  EXPECT_EQ(CopyToUtf16Field(field, 4, u"ab\U0001F3AC"), 2u);  // the pair would not fit whole
  EXPECT_EQ(std::u16string(field), u"ab");
  const char16_t unterminated[3] = {u'x', u'y', u'z'};
  EXPECT_EQ(Utf16Field(unterminated, 3), u"xyz");
}

TEST(Codepage, Utf8TruncationKeepsWholeCharacters) {
  EXPECT_EQ(TruncateUtf8("ab\xE4\xB8\xAD", 4), "ab");
  EXPECT_EQ(TruncateUtf8("ab\xE4\xB8\xAD", 5), "ab\xE4\xB8\xAD");
  EXPECT_EQ(TruncateUtf8("abc", 2), "ab");
}

}  // namespace
}  // namespace qelo::win
