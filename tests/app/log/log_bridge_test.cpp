#include "log_bridge.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/log_reading.h"
#include "common/temp_dir.h"
#include "outside/qelo_log.h"
#include "win/codepage.h"

namespace qelo::app {
namespace {

TEST(LogBridgeTest, EachLevelHasItsPrefixAndUnknownLevelsAreInformation) {
  test::TempDir dir;
  ASSERT_EQ(InitializeQeloLog(win::Utf8ToUtf16(dir.path()).c_str()), 1);
  WriteLog("Failed to Create Player Instance.");
  WriteLog("disk nearly full", kLogWarning);
  WriteLog("Failed to Initialize Codecs.", kLogError);
  WriteLog("level three", 3);
  WriteLog("level minus one", -1);
  WriteLog("caf\xC3\xA9", kLogInfo);
  DeInitializeQeloLog();
  WriteLog("after the log closed", kLogError);  // dropped, quietly
  EXPECT_EQ(test::LogTexts(dir.path()),
            (std::vector<std::string>{"Info: Failed to Create Player Instance.", "Warning: disk nearly full",
                                      "Error: Failed to Initialize Codecs.", "Info: level three",
                                      "Info: level minus one", "Info: caf\xC3\xA9"}));
}

}  // namespace
}  // namespace qelo::app
