#include "win/folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>


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

}  // namespace
}  // namespace qelo::win
