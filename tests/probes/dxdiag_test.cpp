#include "dxdiag/dxdiag.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <vector>

#include "common/temp_dir.h"

namespace qelo::dxdiag {
namespace {

class DxDiagStandIn : public ::testing::Test {
 protected:
  void TearDown() override { unsetenv("QELO_DXDIAG_CONFIG"); }
  qelo::test::TempDir dir_;
};

TEST_F(DxDiagStandIn, ProviderNeedsComAndAProperInitialisation) {
  std::unique_ptr<Provider> provider;
  EXPECT_FALSE(Provider::Create(&provider));
  ASSERT_TRUE(InitializeCom());
  ASSERT_TRUE(Provider::Create(&provider));
  std::unique_ptr<Container> root;
  EXPECT_FALSE(provider->GetRootContainer(&root));
  InitParams params;
  EXPECT_FALSE(provider->Initialize(params));  // header version 0
  params.headerVersion = kHeaderVersion;
  params.size = 16;
  EXPECT_FALSE(provider->Initialize(params));
  params.size = sizeof params;
  ASSERT_TRUE(provider->Initialize(params));
  ASSERT_TRUE(provider->GetRootContainer(&root));
  std::unique_ptr<Container> info;
  EXPECT_FALSE(root->GetChildContainer("DxDiag_Other", &info));
  ASSERT_TRUE(root->GetChildContainer("DxDiag_SystemInfo", &info));
  Property major;
  ASSERT_TRUE(info->GetProp("dwDirectXVersionMajor", &major));
  EXPECT_EQ(std::get<std::uint32_t>(major), 9u);
  UninitializeCom();
  EXPECT_FALSE(Provider::Create(&provider));
}

TEST_F(DxDiagStandIn, FileVersionsComeFromTheSystemDirectoryOnly) {
  std::string folder;
  ASSERT_TRUE(GetSystemDirectory(&folder));
  for (const std::string& path : {folder + "/D3D9.dll", folder + "/ddraw.dll"}) {
    const std::uint32_t size = GetFileVersionInfoSize(path);
    ASSERT_GT(size, 0u) << path;
    std::vector<unsigned char> data(size);
    ASSERT_TRUE(GetFileVersionInfo(path, size, data.data()));
    FixedFileInfo info;
    ASSERT_TRUE(QueryRootBlock(data.data(), size, &info));
    EXPECT_EQ(info.fileVersionMS, (5u << 16) | 3u);
    EXPECT_EQ(info.fileVersionLS, (2600u << 16) | 2180u);
  }
  EXPECT_EQ(GetFileVersionInfoSize("/elsewhere/d3d9.dll"), 0u);
  EXPECT_EQ(GetFileVersionInfoSize(folder + "/dinput.dll"), 0u);
  const unsigned char junk[sizeof(FixedFileInfo)] = {};
  FixedFileInfo info;
  EXPECT_FALSE(QueryRootBlock(junk, sizeof junk, &info));
}

TEST_F(DxDiagStandIn, BadConfigurationIsReportedAndTheDefaultsAnswer) {
  const char* bad[] = {"provider sometimes\n", "file d3d9.dll 1.2.3\n", "file d3d9.dll 1.2.3.70000\n",
                       "property x u32 -1\n", "frobnicate\n"};
  for (const char* text : bad) {
    std::ofstream(dir_.File("bad.conf")) << text;
    setenv("QELO_DXDIAG_CONFIG", dir_.File("bad.conf").c_str(), 1);
    testing::internal::CaptureStderr();
    std::string folder;
    EXPECT_TRUE(GetSystemDirectory(&folder));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("line 1"), std::string::npos) << text;
    EXPECT_EQ(folder, "/windows/system32");
  }
  setenv("QELO_DXDIAG_CONFIG", dir_.File("absent.conf").c_str(), 1);
  testing::internal::CaptureStderr();
  EXPECT_GT(GetFileVersionInfoSize("/windows/system32/d3d9.dll"), 0u);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot be read"), std::string::npos);
}

}  // namespace
}  // namespace qelo::dxdiag
