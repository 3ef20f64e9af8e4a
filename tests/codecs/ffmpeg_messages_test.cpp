// FFmpeg's own messages in the codec bridge's log: pieces joined into their
// line, one line a message, the levels kept apart, repeats counted, and
// lines from several threads at once each whole.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "codecs/codec_test_support.h"

extern "C" {
#include <libavutil/log.h>
}

namespace qelo::test {
namespace {

class FfmpegMessages : public ::testing::Test {
 protected:
  void SetUp() override {
    InitializeCodecsForTests();
    level_ = av_log_get_level();
    av_log_set_level(AV_LOG_INFO);
    ClearLog();
  }
  void TearDown() override { av_log_set_level(level_); }
  int level_ = AV_LOG_INFO;
};

// Each case is one thread's messages; every call below is one av_log call.
TEST_F(FfmpegMessages, EachMessageIsOneLineOfTheLog) {
  const struct {
    const char* what;
    std::vector<std::pair<int, std::string>> calls;
    std::vector<std::string> lines;
  } cases[] = {
      {"pieces of one line", {{AV_LOG_WARNING, "first part, "}, {AV_LOG_WARNING, "second part\n"}},
       {"Qelo Codecs: FFmpeg warning: first part, second part"}},
      {"a message of several lines", {{AV_LOG_WARNING, "one\ntwo\r\nthree\n"}},
       {"Qelo Codecs: FFmpeg warning: one two three"}},
      {"errors and worse", {{AV_LOG_ERROR, "broken\n"}, {AV_LOG_FATAL, "gone\n"}},
       {"Qelo Codecs: FFmpeg error: broken", "Qelo Codecs: FFmpeg error: gone"}},
      {"information and below are left out",
       {{AV_LOG_INFO, "Input #0\n"}, {AV_LOG_VERBOSE, "more\n"}, {AV_LOG_DEBUG, "much more\n"}},
       {}},
      {"control characters", {{AV_LOG_WARNING, "title \x01\x1b[1m\n"}},
       {"Qelo Codecs: FFmpeg warning: title ??[1m"}},
  };
  for (const auto& c : cases) {
    ClearLog();
    std::thread([&] {
      for (const auto& [level, text] : c.calls) av_log(nullptr, level, "%s", text.c_str());
    }).join();
    EXPECT_EQ(LoggedLines(), c.lines) << c.what;
  }
}

// The same message again and again, its numbers aside, is written once,
// then counted when another comes.
TEST_F(FfmpegMessages, RepeatsAreCountedNotWritten) {
  std::thread([] {
    for (int i = 0; i < 5; ++i) av_log(nullptr, AV_LOG_ERROR, "buffer underflow st=%d bufi=%d\n", i % 2, 300 + i);
    av_log(nullptr, AV_LOG_WARNING, "%s", "something else\n");
    av_log(nullptr, AV_LOG_WARNING, "%s", "and another\n");
  }).join();
  EXPECT_EQ(LoggedLines(), (std::vector<std::string>{"Qelo Codecs: FFmpeg error: buffer underflow st=0 bufi=300",
                                                     "Qelo Codecs: FFmpeg: the message above came 4 more times",
                                                     "Qelo Codecs: FFmpeg warning: something else",
                                                     "Qelo Codecs: FFmpeg warning: and another"}));
}

// Threads writing their lines in pieces at the same time get each line
// whole.
TEST_F(FfmpegMessages, LinesOfThreadsAtOnceStayWhole) {
  constexpr int kThreads = 4, kLines = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([t] {
      // Two kinds of line by turns, so that none repeats the one before.
      for (int i = 0; i < kLines; ++i) {
        av_log(nullptr, AV_LOG_WARNING, "thread %d ", t);
        av_log(nullptr, AV_LOG_WARNING, i % 2 ? "odd line %d\n" : "even line %d\n", i);
      }
    });
  for (std::thread& t : threads) t.join();
  const std::vector<std::string> lines = LoggedLines();
  ASSERT_EQ(lines.size(), size_t{kThreads * kLines});
  for (const std::string& line : lines) {
    int t = -1, i = -1;
    char kind[8] = {};
    EXPECT_EQ(std::sscanf(line.c_str(), "Qelo Codecs: FFmpeg warning: thread %d %7s line %d", &t, kind, &i), 3)
        << line;
    EXPECT_EQ(std::string(kind), i % 2 ? "odd" : "even") << line;
  }
}

}  // namespace
}  // namespace qelo::test
