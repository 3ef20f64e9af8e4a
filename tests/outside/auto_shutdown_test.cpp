#include "outside/auto_shutdown.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/log_reading.h"
#include "common/process.h"
#include "common/temp_dir.h"
#include "outside/qelo_log.h"
#include "win/codepage.h"

namespace qelo::test {
namespace {

// Every case decides for itself what replaces the power-off; none may ever
// reach a real login manager, so the system bus is always one of ours (or
// none at all).
class AutoShutDownTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + dir_.File("no-bus")).c_str(), 1);
    unsetenv("QELO_SHUTDOWN_COMMAND");
    ASSERT_EQ(InitializeQeloLog(win::Utf8ToUtf16(dir_.path()).c_str()), 1);
  }
  void TearDown() override {
    DeInitializeQeloLog();
    unsetenv("QELO_SHUTDOWN_COMMAND");
  }
  static void UseCommand(const std::string& command) {
    setenv("QELO_SHUTDOWN_COMMAND", command.c_str(), 1);
  }
  std::vector<std::string> Log() const { return LogTexts(dir_.path()); }

  TempDir dir_;
};

TEST_F(AutoShutDownTest, TheCommandRunsAsAnArgumentVectorWithoutAShell) {
  UseCommand("touch '" + dir_.File("with blank") + "' " + dir_.File("a;touch") + " " +
             dir_.File("$HOME"));
  EXPECT_EQ(QeloShutDown(0), 1);
  EXPECT_TRUE(std::filesystem::exists(dir_.File("with blank")));
  EXPECT_TRUE(std::filesystem::exists(dir_.File("a;touch")));
  EXPECT_TRUE(std::filesystem::exists(dir_.File("$HOME")));
  EXPECT_EQ(Log(), (std::vector<std::string>{"QeloAutoShutDown: ran the shut-down command \"touch\"."}));
}

// The reason GLib gives for a command it cannot split is its own wording;
// only the start and the end of the line are ours.
struct FailingCommand {
  const char* name;
  const char* command;
  const char* lineStart;
  const char* lineEnd;
};

class AutoShutDownFailureTest : public AutoShutDownTest,
                                public ::testing::WithParamInterface<FailingCommand> {};

TEST_P(AutoShutDownFailureTest, AFailingCommandIsReportedAndLogged) {
  UseCommand(GetParam().command);
  EXPECT_EQ(QeloShutDown(0), 0);
  const auto log = Log();
  ASSERT_EQ(log.size(), 1u);
  const std::string start = GetParam().lineStart, end = GetParam().lineEnd;
  EXPECT_EQ(log[0].substr(0, start.size()), start) << log[0];
  ASSERT_GE(log[0].size(), start.size() + end.size()) << log[0];
  EXPECT_EQ(log[0].substr(log[0].size() - end.size()), end) << log[0];
}

INSTANTIATE_TEST_SUITE_P(
    Commands, AutoShutDownFailureTest,
    ::testing::Values(
        FailingCommand{"ExitStatus", "false", "QeloAutoShutDown: the shut-down command \"false\" failed (status 1).", ""},
        FailingCommand{"NotFound", "qelo-no-such-program-here --now",
                       "QeloAutoShutDown: cannot start the shut-down command \"qelo-no-such-program-here\" "
                       "(error 2).",
                       ""},
        FailingCommand{"UnclosedQuote", "touch 'unclosed", "QeloAutoShutDown: cannot read the shut-down command \"touch 'unclosed\" (",
                       "); nothing was run."},
        FailingCommand{"Empty", "", "QeloAutoShutDown: cannot read the shut-down command \"\" (", "); nothing was run."}),
    [](const ::testing::TestParamInfo<FailingCommand>& info) { return std::string(info.param.name); });

TEST_F(AutoShutDownTest, AnUnknownModeIsRefusedWithoutRunningAnything) {
  UseCommand("touch " + dir_.File("ran"));
  EXPECT_EQ(QeloShutDown(1), 0);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("ran")));
  EXPECT_EQ(Log(), (std::vector<std::string>{"QeloAutoShutDown: unknown shut-down mode; the computer stays on."}));
}

TEST_F(AutoShutDownTest, WithoutASystemBusTheRequestIsRefusedWithALogLine) {
  EXPECT_EQ(QeloShutDown(0), 0);
  const auto log = Log();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].rfind("QeloAutoShutDown: cannot reach the system bus (", 0), 0u) << log[0];
  EXPECT_NE(log[0].find("); the computer stays on."), std::string::npos) << log[0];
}

// A private message bus with a stand-in login manager on it, as the system bus.
class FakeLoginManagerTest : public AutoShutDownTest {
 protected:
  void StartManager(const char* answer) {
    bus_ = std::make_unique<ChildProcess>(std::vector<std::string>{
        "dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=1",
        "--address=unix:dir=" + dir_.path()});
    const std::string address = bus_->ReadLine(10000);
    if (address.empty()) GTEST_SKIP() << "dbus-daemon cannot be started here";
    setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);
    manager_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{QELO_FAKE_LOGIND, address, answer, dir_.File("asked")});
    ASSERT_EQ(manager_->ReadLine(10000), "ready");
  }
  std::string Asked() const {
    std::ifstream file(dir_.File("asked"));
    std::string line;
    std::getline(file, line);
    return line;
  }

  std::unique_ptr<ChildProcess> bus_;
  std::unique_ptr<ChildProcess> manager_;
};

TEST_F(FakeLoginManagerTest, AnAcceptedRequestAsksLogindToPowerOffWithoutInteraction) {
  StartManager("accept");
  if (IsSkipped()) return;
  EXPECT_EQ(QeloShutDown(0), 1);
  EXPECT_EQ(manager_->Wait(10000), 0);
  EXPECT_EQ(Asked(), "PowerOff interactive=false");
  EXPECT_EQ(Log(), (std::vector<std::string>{"QeloAutoShutDown: the login manager is powering the computer off."}));
}

TEST_F(FakeLoginManagerTest, ARefusedRequestIsLoggedWithTheManagersReason) {
  StartManager("refuse");
  if (IsSkipped()) return;
  EXPECT_EQ(QeloShutDown(0), 0);
  EXPECT_EQ(Asked(), "PowerOff interactive=false");
  EXPECT_EQ(Log(), (std::vector<std::string>{
                       "QeloAutoShutDown: the login manager refused to power the computer off "
                       "(GDBus.Error:org.freedesktop.DBus.Error.AccessDenied: Permission denied by the test)."}));
}

}  // namespace
}  // namespace qelo::test
