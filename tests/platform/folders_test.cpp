#include "win/folders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "common/temp_dir.h"

namespace qelo::win {
namespace {

// Sets environment variables for one test and puts the old values back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(ProgramFolderTest, IsTheExecutablesFolderUnlessTheTestNamesOne) {
  {
    ScopedEnv none(kProgramFolderVariable, nullptr);
    const std::string expected =
        std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/";
    EXPECT_EQ(ProgramFolder(), expected);
  }
  {
    ScopedEnv named(kProgramFolderVariable, "/opt/clipshift");
    EXPECT_EQ(ProgramFolder(), "/opt/clipshift/");
  }
  ScopedEnv withSlash(kProgramFolderVariable, "/opt/clipshift/");
  EXPECT_EQ(ProgramFolder(), "/opt/clipshift/");
}

class DocumentsFolderTest : public ::testing::Test {
 protected:
  void WriteUserDirs(const std::string& text) {
    std::filesystem::create_directories(config_.path());
    std::ofstream(config_.File("user-dirs.dirs")) << text;
  }
  test::TempDir home_;
  test::TempDir config_;
  ScopedEnv homeEnv_{"HOME", home_.path().c_str()};
  ScopedEnv configEnv_{"XDG_CONFIG_HOME", config_.path().c_str()};
};

TEST_F(DocumentsFolderTest, WithoutAUserDirsFileItIsDocumentsInTheHomeFolder) {
  EXPECT_EQ(DocumentsFolder(), home_.path() + "/Documents");
}

TEST_F(DocumentsFolderTest, TheXdgEntryWinsWithHomeReplaced) {
  WriteUserDirs("# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente/\"\n");
  EXPECT_EQ(DocumentsFolder(), home_.path() + "/Dokumente");
  WriteUserDirs("XDG_DOCUMENTS_DIR=\"/srv/papers\"\n");
  EXPECT_EQ(DocumentsFolder(), "/srv/papers");
}

TEST_F(DocumentsFolderTest, UnusableEntriesFallBackToDocuments) {
  WriteUserDirs("XDG_DOCUMENTS_DIR=\"relative/path\"\nXDG_DOCUMENTS_DIR=\"$HOME/unclosed\n");
  EXPECT_EQ(DocumentsFolder(), home_.path() + "/Documents");
}

TEST_F(DocumentsFolderTest, TheDefaultConfigFolderIsDotConfigInTheHomeFolder) {
  ScopedEnv noConfig("XDG_CONFIG_HOME", nullptr);
  std::filesystem::create_directories(home_.File(".config"));
  std::ofstream(home_.File(".config/user-dirs.dirs")) << "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n";
  EXPECT_EQ(DocumentsFolder(), home_.path() + "/Docs");
}

}  // namespace
}  // namespace qelo::win
