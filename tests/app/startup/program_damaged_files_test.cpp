// The real program started on damaged settings files and registry stores:
// it reaches its main window as on a good start, the log names the file and
// the reason, and what could not be used is kept aside without replacing a
// copy kept on an earlier start.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "main_window.h"
#include "main_window_settings.h"
#include "program_fixture.h"

namespace qelo::app {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

using DamagedFilesTest = test::ProgramTestBase;

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::string& path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(path, error));
}

TEST_F(DamagedFilesTest, StartUpReachesTheMainWindowAndTheLogSaysWhatWasWrong) {
  const std::string settings = SettingsFile();
  const std::string store = RegistryFolder() + "/registry.dat";
  struct Case {
    const char* name;
    std::string file;  // the settings file or the store
    std::function<void(const std::string& file)> make;
    std::string said;  // what the log says after the file's name
    bool keptAside;
  };
  const auto fifo = [](const std::string& file) { mkfifo(file.c_str(), 0600); };
  const auto zero = [](const std::string& file) { fs::create_symlink("/dev/zero", file); };
  const auto folder = [](const std::string& file) { fs::create_directories(file); };
  const auto text = [](std::string bytes) {
    return [bytes](const std::string& file) { std::ofstream(file, std::ios::binary) << bytes; };
  };
  const std::vector<Case> cases = {
      {"settings: a FIFO", settings, fifo, " cannot be read (it is a FIFO)", true},
      {"settings: a link to /dev/zero", settings, zero, " cannot be read (it is a link to a character device)", true},
      {"settings: a folder", settings, folder, " cannot be read (it is a folder)", false},
      {"settings: three lines", settings, text("/a\r\n0\r\n/b\r\n"), " has 3 lines instead of 6", true},
      {"settings: garbage", settings, text(std::string(100000, '\xA7')),
       " cannot be read (it is larger than 65536 bytes)", true},
      {"store: a FIFO", store, fifo, " cannot be read (it is a FIFO)", true},
      {"store: a link to /dev/zero", store, zero, " cannot be read (it is a link to a character device)", true},
      {"store: a folder", store, folder, " cannot be read or written (it is a folder)", false},
      {"store: its lock file a folder", store,
       [](const std::string& file) { fs::create_directories(fs::path(file).parent_path() / "registry.lock"); },
       " cannot be written (its lock file ", false},
      {"store: its folder a file", store,
       [](const std::string& file) {
         fs::remove_all(fs::path(file).parent_path());
         std::ofstream(fs::path(file).parent_path()) << "in the way";
       },
       " cannot be read or written (its folder ", false},
      {"store: garbage", store, text("qelo-registry 1\nkey :HKEY\xFF\xFE\n"), " is damaged", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const std::string& path : {settings, settings + ".damaged", settings + ".damaged-2", RegistryFolder(),
                                    ProgramFolder() + "QeloLog.log"})
      fs::remove_all(path);
    fs::create_directories(RegistryFolder());
    // A copy kept on an earlier start.
    std::ofstream(c.file + ".damaged") << "kept before";
    c.make(c.file);

    const Clock::time_point start = Clock::now();
    Clock::duration reached{};
    RunProgram([&](TfrmVideoConvertor&) { reached = Clock::now() - start; });
    EXPECT_LT(reached, std::chrono::seconds(5));

    const std::vector<std::string> log = Log();
    const std::string named = (c.file == store ? "Warning: The registry store " : "Warning: The settings file ") +
                              c.file + c.said;
    std::string line;
    for (const std::string& l : log)
      if (l.rfind(named, 0) == 0) line = l;
    EXPECT_FALSE(line.empty()) << "no line starts with: " << named;
    if (c.keptAside) {
      EXPECT_NE(line.find("it is kept as " + c.file + ".damaged-2,"), std::string::npos) << line;
      EXPECT_TRUE(Exists(c.file + ".damaged-2"));
    }
    if (Exists(c.file + ".damaged")) EXPECT_EQ(ReadBytes(c.file + ".damaged"), "kept before");
    else EXPECT_EQ(c.name, std::string("store: its folder a file"));
    EXPECT_EQ(log.back(), "Info: " + EndLine());
    if (c.file == settings && c.keptAside) {
      const auto lines = SettingsFileLines();
      ASSERT_TRUE(lines.has_value()) << "the rebuilt settings are saved";
      EXPECT_EQ(lines->size(), 6u);
    }
  }
}

}  // namespace
}  // namespace qelo::app
