#include "outside/qelo_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/log_reading.h"
#include "common/temp_dir.h"
#include "win/codepage.h"

namespace qelo::test {
namespace {

class QeloLogTest : public ::testing::Test {
 protected:
  void TearDown() override { DeInitializeQeloLog(); }
  bool Open(const std::string& folder) {
    return InitializeQeloLog(win::Utf8ToUtf16(folder).c_str()) == 1;
  }
  TempDir dir_;
};

TEST_F(QeloLogTest, EachCallIsOneStampedLineAppendedToTheFileInTheFolder) {
  ASSERT_TRUE(Open(dir_.path() + "/"));
  QeloLogTextW(u"Info: first");
  QeloLogTextW(u"Error: second");
  DeInitializeQeloLog();

  std::ifstream file(dir_.File("QeloLog.log"));
  std::string line;
  ASSERT_TRUE(std::getline(file, line));
  EXPECT_TRUE(std::regex_match(line, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} Info: first)")))
      << line;
  EXPECT_EQ(LogTexts(dir_.path()), (std::vector<std::string>{"Info: first", "Error: second"}));
}

TEST_F(QeloLogTest, ReopeningKeepsEarlierLinesAndAFolderWithoutSlashWorks) {
  ASSERT_TRUE(Open(dir_.path()));
  QeloLogTextW(u"run one");
  DeInitializeQeloLog();
  ASSERT_TRUE(Open(dir_.path()));
  QeloLogTextW(u"run two");
  EXPECT_EQ(LogTexts(dir_.path()), (std::vector<std::string>{"run one", "run two"}));
}

TEST_F(QeloLogTest, LineBreaksInsideALineBecomeBlanksAndTextIsStoredAsUtf8) {
  ASSERT_TRUE(Open(dir_.path()));
  QeloLogTextW(u"Qelo Codecs: failed to load\r\nnext\tpart caf\u00e9 \xD800!");
  EXPECT_EQ(LogTexts(dir_.path()),
            (std::vector<std::string>{"Qelo Codecs: failed to load  next part caf\xC3\xA9 \xEF\xBF\xBD!"}));
}

TEST_F(QeloLogTest, LinesOutsideAnOpenLogAreDroppedQuietly) {
  QeloLogTextW(u"before");
  QeloLogTextW(nullptr);
  EXPECT_EQ(InitializeQeloLog(nullptr), 0);
  EXPECT_EQ(InitializeQeloLog(u""), 0);
  EXPECT_EQ(InitializeQeloLog(win::Utf8ToUtf16(dir_.File("missing/folder")).c_str()), 0);
  QeloLogTextW(u"into nothing");
  ASSERT_TRUE(Open(dir_.path()));
  QeloLogTextW(u"kept");
  DeInitializeQeloLog();
  DeInitializeQeloLog();
  QeloLogTextW(u"after");
  EXPECT_EQ(LogTexts(dir_.path()), (std::vector<std::string>{"kept"}));
  EXPECT_FALSE(std::filesystem::exists(dir_.File("missing")));
}

TEST_F(QeloLogTest, OpeningAnotherFolderMovesTheLogThere) {
  TempDir other;
  ASSERT_TRUE(Open(dir_.path()));
  QeloLogTextW(u"here");
  ASSERT_TRUE(Open(other.path()));
  QeloLogTextW(u"there");
  EXPECT_EQ(LogTexts(dir_.path()), (std::vector<std::string>{"here"}));
  EXPECT_EQ(LogTexts(other.path()), (std::vector<std::string>{"there"}));
}

// Libraries log from their own threads while the program closes the log.
TEST_F(QeloLogTest, LinesFromManyThreadsStayWholeWhileTheLogCloses) {
  ASSERT_TRUE(Open(dir_.path()));
  constexpr int kThreads = 8;
  constexpr int kLines = 300;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < kLines; ++i) {
        const std::u16string line = win::Utf8ToUtf16("thread " + std::to_string(t) + " line " +
                                                     std::to_string(i) + std::string(100, '.'));
        QeloLogTextW(line.c_str());
      }
    });
  }
  std::thread closer([] { DeInitializeQeloLog(); });
  for (auto& thread : threads) thread.join();
  closer.join();

  const std::regex whole(R"(thread \d line \d+\.{100})");
  std::set<std::string> distinct;
  for (const std::string& text : LogTexts(dir_.path())) {
    EXPECT_TRUE(std::regex_match(text, whole)) << text;
    distinct.insert(text);
  }
  EXPECT_LE(distinct.size(), static_cast<size_t>(kThreads * kLines));
  EXPECT_EQ(distinct.size(), LogTexts(dir_.path()).size());
}

}  // namespace
}  // namespace qelo::test
