// Clipshift installed into a temporary prefix with `cmake --install`: the
// program, its libraries, skin, launcher, desktop entry and icons are in
// place, and the installed program starts headless and closes down cleanly,
// keeping its settings and log beside itself, or in the user's config folder
// when it may not write its own folder (a system-wide install).
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "common/log_reading.h"
#include "common/process.h"
#include "common/temp_dir.h"
#include "common/text_lines.h"
#include "startup.h"

namespace qelo::app {
namespace {

namespace fs = std::filesystem;

constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};

// The keys of the desktop entry's main group.
std::map<std::string, std::string> DesktopEntry(const std::string& path) {
  std::ifstream in(path);
  std::map<std::string, std::string> keys;
  bool inGroup = false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] == '[') inGroup = line == "[Desktop Entry]";
    const size_t equals = line.find('=');
    if (inGroup && equals != std::string::npos) keys[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return keys;
}

// Width and height from a PNG file's header; 0 x 0 when it is not one.
std::pair<uint32_t, uint32_t> PngSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char header[24] = {};
  in.read(reinterpret_cast<char*>(header), sizeof header);
  if (!in || std::string(reinterpret_cast<char*>(header + 1), 3) != "PNG") return {0, 0};
  auto big = [&header](int at) {
    return uint32_t{header[at]} << 24 | uint32_t{header[at + 1]} << 16 | uint32_t{header[at + 2]} << 8 | header[at + 3];
  };
  return {big(16), big(20)};
}

class InstalledProgram : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    prefix_ = new test::TempDir;
    // Users other than the installer reach the installed files.
    fs::permissions(prefix_->path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                         fs::perms::others_read | fs::perms::others_exec);
    const test::ProcessResult install =
        test::RunProcess({QELO_CMAKE, "--install", QELO_BUILD_DIR, "--prefix", prefix_->path()});
    installed_ = install.exitCode == 0;
    if (!installed_)
      std::fprintf(stderr, "cmake --install failed:\n%s%s", install.output.c_str(), install.errors.c_str());
  }
  static void TearDownTestSuite() {
    delete prefix_;
    prefix_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(installed_) << "the build must be complete before it is installed"; }

  static std::string Prefix() { return prefix_->path(); }
  static std::string ProgramFolder() { return Prefix() + "/lib/clipshift/"; }

  // Starts the installed command with a home of its own, waits until its
  // main window is being made, asks it to close as the session's end
  // would, and expects it ended within 5 s with status 0. `asUser` (not 0)
  // runs it as that user.
  void StartAndClose(const std::string& home, uid_t asUser = 0) {
    fs::create_directories(home);
    std::vector<std::string> command = {Prefix() + "/bin/clipshift"};
    if (asUser != 0) {
      const std::string id = std::to_string(asUser);
      command.insert(command.begin(), {"setpriv", "--reuid=" + id, "--regid=" + id, "--clear-groups"});
      for (const auto& entry : fs::recursive_directory_iterator(home)) chown(entry.path().c_str(), asUser, asUser);
      chown(home.c_str(), asUser, asUser);
    }
    std::vector<std::string> environment = {"PATH=/usr/bin:/bin",      "HOME=" + home,
                                            "QELO_HEADLESS=1",         "SDL_AUDIODRIVER=dummy",
                                            "SDL_VIDEODRIVER=dummy",   "QELO_SHUTDOWN_COMMAND=true"};
    // A sanitized build's program keeps the options (and suppressions) it runs with.
    for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS", "TSAN_OPTIONS"})
      if (const char* value = std::getenv(name)) environment.push_back(std::string(name) + "=" + value);
    test::ChildProcess program(command, environment);
    ASSERT_TRUE(program.Started());
    // The main window's creation makes the temporary folder and marks it.
    const std::string mark = home + "/Documents/Clipshift/Temp/.clipshift-temp";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!fs::exists(mark) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(fs::exists(mark)) << "the installed program made no main window";
    ASSERT_TRUE(program.Signal(SIGTERM));
    EXPECT_EQ(program.Wait(5'000), 0);
  }

  static test::TempDir* prefix_;
  static bool installed_;
};

test::TempDir* InstalledProgram::prefix_ = nullptr;
bool InstalledProgram::installed_ = false;

TEST_F(InstalledProgram, HasItsProgramLibrariesSkinLauncherDesktopEntryAndIcons) {
  std::error_code error;
  EXPECT_TRUE(fs::is_symlink(Prefix() + "/bin/clipshift"));
  EXPECT_EQ(fs::canonical(Prefix() + "/bin/clipshift", error), fs::canonical(ProgramFolder() + "Clipshift", error));
  for (const char* file : {"libQeloCodecs.so", "libQeloEffect.so", "libQeloVideoConvertor.so", "libQeloFileFormat.so",
                           "libQeloPlayer.so", "libQeloDxCheck.so", "libQeloWMVIndex.so", "libQeloLog.so",
                           "libQeloAutoShutDown.so", "Skin/UI/Image/main-free.png", "Skin/Control/checked.png"})
    EXPECT_TRUE(fs::is_regular_file(ProgramFolder() + file)) << file;

  const std::map<std::string, std::string> entry = DesktopEntry(Prefix() + "/share/applications/clipshift.desktop");
  EXPECT_EQ(entry.count("Type") ? entry.at("Type") : "", "Application");
  EXPECT_EQ(entry.count("Name") ? entry.at("Name") : "", "Clipshift");
  EXPECT_FALSE(entry.count("Comment") ? entry.at("Comment").empty() : true);
  EXPECT_EQ(entry.count("Categories") ? entry.at("Categories") : "", "AudioVideo;Video;");
  EXPECT_EQ(entry.count("Icon") ? entry.at("Icon") : "", "clipshift");
  EXPECT_EQ(entry.count("Exec") ? entry.at("Exec") : "", "\"" + Prefix() + "/bin/clipshift\" %F");
  const std::string types = entry.count("MimeType") ? entry.at("MimeType") : "";
  for (const char* type : {"video/mp4;", "video/x-msvideo;", "video/x-ms-wmv;", "video/x-matroska;", "audio/mpeg;"})
    EXPECT_NE(types.find(type), std::string::npos) << type;
  std::istringstream list(types);
  for (std::string type; std::getline(list, type, ';');)
    EXPECT_TRUE(type.rfind("video/", 0) == 0 || type.rfind("audio/", 0) == 0 || type.rfind("application/", 0) == 0)
        << type;

  for (const int size : kIconSizes) {
    const std::string name = std::to_string(size) + "x" + std::to_string(size);
    EXPECT_EQ(PngSize(Prefix() + "/share/icons/hicolor/" + name + "/apps/clipshift.png"),
              std::make_pair(uint32_t(size), uint32_t(size)))
        << name;
  }
}

TEST_F(InstalledProgram, StartsHeadlessAndKeepsItsSettingsAndLogBesideItself) {
  const test::TempDir home;
  StartAndClose(home.File("home"));
  const std::vector<std::string> log = test::LogTexts(ProgramFolder());
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log.front(), "Info: " + BeginLine());
  EXPECT_EQ(log.back(), "Info: " + EndLine());
  const std::vector<std::string> settings = test::CrLfLines(ProgramFolder() + "clipshift.dat");
  ASSERT_EQ(settings.size(), 6u);
  EXPECT_EQ(settings[0], ProgramFolder()) << "the program knows its own folder through the launcher";
  fs::remove(ProgramFolder() + "clipshift.dat");
  fs::remove(ProgramFolder() + "QeloLog.log");
}

// Installed for every user, the program's folder is not the user's to write:
// its settings and log go to the user's config folder.
TEST_F(InstalledProgram, ThatMayNotWriteItsFolderKeepsItsSettingsInTheUsersConfigFolder) {
  const test::TempDir home;
  fs::permissions(home.path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
  const bool root = geteuid() == 0;
  if (!root) fs::permissions(ProgramFolder(), fs::perms::owner_write, fs::perm_options::remove);
  constexpr uid_t kNobody = 65534;
  StartAndClose(home.File("home"), root ? kNobody : 0);
  if (!root) fs::permissions(ProgramFolder(), fs::perms::owner_write, fs::perm_options::add);
  const std::string config = home.File("home") + "/.config/clipshift/";
  EXPECT_EQ(test::CrLfLines(config + "clipshift.dat").size(), 6u);
  const std::vector<std::string> log = test::LogTexts(config);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "Info: " + EndLine());
  EXPECT_FALSE(fs::exists(ProgramFolder() + "clipshift.dat"));
  EXPECT_FALSE(fs::exists(ProgramFolder() + "QeloLog.log"));
}

}  // namespace
}  // namespace qelo::app
