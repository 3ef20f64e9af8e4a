#include "common/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace qelo::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qelo-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace qelo::test
