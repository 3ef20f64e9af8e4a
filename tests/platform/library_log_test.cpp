#include "log/library_log.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "win/codepage.h"

namespace qelo::log {
namespace {

std::mutex gLinesMutex;
std::vector<std::u16string> gLines;

void Collect(const char16_t* line) {
  std::lock_guard<std::mutex> lock(gLinesMutex);
  gLines.emplace_back(line);
}

class LibraryLogTest : public ::testing::Test {
 protected:
  void SetUp() override { gLines.clear(); }
  LibraryLog log_{"Qelo Codecs: "};
};

TEST_F(LibraryLogTest, WithoutCallbackNothingIsDelivered) {
  log_.Write("lost %d", 1);
  EXPECT_TRUE(gLines.empty());
}

TEST_F(LibraryLogTest, PrefixesAndConvertsEachLine) {
  log_.SetCallback(Collect);
  log_.Write("failed to load media file(%s)", "/tmp/caf\xC3\xA9.avi");
  ASSERT_EQ(gLines.size(), 1u);
  EXPECT_EQ(gLines[0], u"Qelo Codecs: failed to load media file(/tmp/caf\u00e9.avi)");
}

TEST_F(LibraryLogTest, LongLinesKeepAtMost1023BytesWithoutSplittingACharacter) {
  log_.SetCallback(Collect);
  const std::string longText(2000, 'x');
  log_.Write("%s", longText.c_str());
  ASSERT_EQ(gLines.size(), 1u);
  EXPECT_EQ(gLines[0].size(), 1023u);
  EXPECT_EQ(gLines[0].substr(0, 13), u"Qelo Codecs: ");

  gLines.clear();
  // 1009 ASCII bytes after the 13-byte prefix leave one byte: a two-byte
  // character there must be dropped, not cut.
  const std::string text = std::string(1009, 'y') + "\xC3\xA9";
  log_.Write("%s", text.c_str());
  ASSERT_EQ(gLines.size(), 1u);
  EXPECT_EQ(win::Utf16ToUtf8(gLines[0]).size(), 1022u);
}

}  // namespace
}  // namespace qelo::log
