// Loads QeloWMVIndex at run time to see that unloading it removes its tool.
#include <gtest/gtest.h>

#include <filesystem>

#include <dlfcn.h>

#include "common/temp_dir.h"
#include "probes/wmv_fixture.h"
#include "win/codepage.h"

namespace qelo::test {
namespace {

namespace fs = std::filesystem;

TEST(WmvIndexUnload, RemovesTheToolAndItsFolder) {
  TempDir dir, temporary;
  setenv("TMPDIR", temporary.path().c_str(), 1);
  ASSERT_TRUE(CopyFileTo(CachedWmv(), dir.File("source.wmv")));

  void* library = dlopen(QELO_WMVINDEX_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  using IndexFunction = int (*)(const char16_t*, const char16_t*);
  const auto index = reinterpret_cast<IndexFunction>(dlsym(library, "QeloIndexWMV"));
  ASSERT_NE(index, nullptr);
  EXPECT_EQ(index(qelo::win::Utf8ToUtf16(dir.File("source.wmv")).c_str(),
                  qelo::win::Utf8ToUtf16(dir.File("out.wmv")).c_str()),
            1);
  EXPECT_TRUE(fs::exists(dir.File("out.wmv")));
  ASSERT_EQ(std::distance(fs::directory_iterator(temporary.path()), {}), 1);
  const fs::path folder = fs::directory_iterator(temporary.path())->path();
  EXPECT_TRUE(fs::exists(folder / "reindex.exe"));

  ASSERT_EQ(dlclose(library), 0);
  EXPECT_FALSE(fs::exists(folder));
  unsetenv("TMPDIR");
}

}  // namespace
}  // namespace qelo::test
