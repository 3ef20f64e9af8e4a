#include "qelo/dxcheck.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/temp_dir.h"
#include "registry/registry.h"

namespace {

namespace reg = qelo::reg;

constexpr DxVersionCode k9_0c = QELO_DX_VERSION_9_0C;
constexpr const char* kDirect3DKey = "SOFTWARE\\Microsoft\\Direct3D\\Drivers";
constexpr const char* kDirectDrawKey = "SOFTWARE\\Microsoft\\DirectDraw";

class DxCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("QELO_REGISTRY_DIR", dir_.File("config").c_str(), 1);
    unsetenv("QELO_DXDIAG_CONFIG");
  }
  void TearDown() override {
    unsetenv("QELO_REGISTRY_DIR");
    unsetenv("QELO_DXDIAG_CONFIG");
  }

  void Configure(const std::string& text) {
    std::ofstream(dir_.File("dxdiag.conf")) << text;
    setenv("QELO_DXDIAG_CONFIG", dir_.File("dxdiag.conf").c_str(), 1);
  }

  // The installed code as the probe writes it back, and the check's answer.
  static std::pair<DxVersionCode, int> Check(DxVersionCode required) {
    DxVersionCode code = required;
    const int result = QeloCheckDxVersion(&code);
    return {code, result};
  }

  static void SetSwitch(const char* keyPath, const char* name, std::uint32_t value) {
    reg::Key key = reg::kNoKey;
    ASSERT_EQ(reg::OpenKey(reg::HKEY_LOCAL_MACHINE, keyPath, reg::kSetValue, &key), reg::Status::kOk);
    EXPECT_EQ(reg::SetValue(key, name, reg::ValueType::kDword, &value, sizeof value), reg::Status::kOk);
    reg::CloseKey(key);
  }

  static bool ReadSwitch(const char* keyPath, const char* name, std::uint32_t* value) {
    reg::Key key = reg::kNoKey;
    if (reg::OpenKey(reg::HKEY_LOCAL_MACHINE, keyPath, reg::kQueryValue, &key) != reg::Status::kOk)
      return false;
    std::uint32_t size = sizeof *value;
    const bool read = reg::QueryValue(key, name, nullptr, value, &size) == reg::Status::kOk;
    reg::CloseKey(key);
    return read;
  }

  qelo::test::TempDir dir_;
};

std::string Provider(const std::string& major, const std::string& minor, const std::string& letter) {
  return "property dwDirectXVersionMajor " + major + "\nproperty dwDirectXVersionMinor " + minor +
         "\nproperty szDirectXVersionLetter " + letter + "\n";
}

TEST_F(DxCheckTest, DefaultSystemReports9_0c) {
  const auto [code, result] = Check(k9_0c);
  EXPECT_EQ(code, 0x00090003u);
  EXPECT_EQ(result, 1);
}

TEST_F(DxCheckTest, ProviderVersionsBecomeCodes) {
  struct Case {
    std::string config;
    DxVersionCode expected;
  };
  const Case cases[] = {
      {Provider("u32 9", "u32 0", "string c"), 0x00090003u},
      {Provider("u32 8", "u32 1", "string a"), 0x00080101u},
      {Provider("u32 7", "u32 0", "string -"), 0x00070000u},
      {Provider("u32 9", "u32 0", "string z"), 0x0009001Au},
      {Provider("u32 9", "u32 0", "string cd"), 0x00090003u},  // only the first character counts
      // Letters outside a-z count as no letter.
      {Provider("u32 9", "u32 0", "string C"), 0x00090000u},
      {Provider("u32 9", "u32 0", "string {"), 0x00090000u},
      {Provider("u32 9", "u32 0", "string `"), 0x00090000u},
      {Provider("u32 9", "u32 0", "string \xC3\xA9"), 0x00090000u},
  };
  for (const Case& c : cases) {
    Configure(c.config);
    EXPECT_EQ(Check(0).first, c.expected) << c.config;
  }
}

TEST_F(DxCheckTest, InstalledCodeIsComparedUnsignedAgainstThePassedOne) {
  struct Case {
    DxVersionCode required;
    int expected;
  };
  const Case cases[] = {
      {0, 1}, {0x00090002u, 1}, {k9_0c, 1}, {0x00090004u, 0}, {0x000A0000u, 0}, {0x80000000u, 0},
  };
  for (const Case& c : cases) {
    const auto [code, result] = Check(c.required);
    EXPECT_EQ(code, k9_0c) << std::hex << c.required;
    EXPECT_EQ(result, c.expected) << std::hex << c.required;
  }
  Configure(Provider("u32 9", "u32 0", "string C"));
  EXPECT_EQ(Check(k9_0c), std::make_pair(DxVersionCode{0x00090000u}, 0));
}

TEST_F(DxCheckTest, FailingProviderFallsBackToTheFileVersions) {
  const char* failures[] = {
      "provider missing\n",
      "provider fails-initialize\n",
      "property dwDirectXVersionMinor u32 0\nproperty szDirectXVersionLetter string c\n",
      "property dwDirectXVersionMajor i32 9\nproperty dwDirectXVersionMinor u32 0\n"
      "property szDirectXVersionLetter string c\n",
      "property dwDirectXVersionMajor u32 9\nproperty dwDirectXVersionMinor string 0\n"
      "property szDirectXVersionLetter string c\n",
      "property dwDirectXVersionMajor u32 9\nproperty dwDirectXVersionMinor u32 0\n"
      "property szDirectXVersionLetter string\n",
      "property dwDirectXVersionMajor u32 9\nproperty dwDirectXVersionMinor u32 0\n"
      "property szDirectXVersionLetter u32 3\n",
  };
  for (const char* failure : failures) {
    // The default system directory holds d3d9.dll, which makes it 9.0.
    Configure(failure);
    EXPECT_EQ(Check(k9_0c), std::make_pair(DxVersionCode{0x00090000u}, 0)) << failure;
  }
}

TEST_F(DxCheckTest, FileVersionLadder) {
  struct Case {
    std::string files;
    DxVersionCode expected;
  };
  const Case cases[] = {
      {"file ddraw.dll 4.02.0000.0095", 0x00010000u},
      {"file ddraw.dll 4.02.0000.0094", 0},
      {"file ddraw.dll 4.04.0000.0068\nfile d3drg8x.dll 4.04.0000.0070", 0x00030001u},
      {"file ddraw.dll 4.06.0000.0436\nfile dplayx.dll 4.06.0003.0518", 0x00060101u},
      {"file ddraw.dll 4.07.0000.0700\nfile dinput.dll 4.07.0000.0716", 0x00070001u},
      {"file ddraw.dll 4.08.0000.0400", 0x00080000u},
      {"file ddraw.dll 5.01.2258.0400", 0x00080000u},
      // A major-5 build below its own threshold stops at the major-4 rungs.
      {"file ddraw.dll 5.01.2258.0399", 0x00070000u},
      {"file ddraw.dll 6.00.0000.0000", 0x00070000u},
      {"file ddraw.dll 4.08.0000.0400\nfile d3d8.dll 4.08.0001.0881", 0x00080100u},
      {"file ddraw.dll 5.01.2600.0000\nfile d3d8.dll 5.01.2600.0901", 0x00080101u},
      {"file ddraw.dll 5.01.2600.0000\nfile d3d8.dll 5.01.2600.0901\nfile mpg2splt.ax 6.03.0001.0885",
       0x00080102u},
      {"file ddraw.dll 5.03.2600.2180\nfile dpnet.dll 5.02.3677.0134", 0x00080200u},
      {"file ddraw.dll 4.07.0000.0700\nfile d3d9.dll none", 0x00070000u},
      {"file ddraw.dll 4.07.0000.0700\nfile D3D9.DLL 0.0.0.1", 0x00090000u},
  };
  for (const Case& c : cases) {
    Configure("provider missing\n" + c.files + "\n");
    EXPECT_EQ(Check(0).first, c.expected) << c.files;
  }
}

TEST_F(DxCheckTest, BothWaysFailingReportsNoVersion) {
  for (const char* config : {"provider missing\nsystem-directory none\n",
                             "provider fails-initialize\nfile other.dll 9.9.9.9\n"}) {
    Configure(config);
    EXPECT_EQ(Check(k9_0c), std::make_pair(DxVersionCode{0}, 0)) << config;
    EXPECT_EQ(Check(0), std::make_pair(DxVersionCode{0}, 1)) << config;
  }
}

TEST_F(DxCheckTest, NullVersionPointerIsRefused) { EXPECT_EQ(QeloCheckDxVersion(nullptr), 0); }

TEST_F(DxCheckTest, MissingSwitchesReadAsOffAndTurningOnWritesBothAsZero) {
  EXPECT_EQ(QeloCheckDirectXUsed(), 0);
  ASSERT_EQ(QeloTurnOnDirectX(), 1);
  EXPECT_EQ(QeloCheckDirectXUsed(), 1);
  std::uint32_t software = 1, emulation = 1;
  ASSERT_TRUE(ReadSwitch(kDirect3DKey, "SoftwareOnly", &software));
  ASSERT_TRUE(ReadSwitch(kDirectDrawKey, "EmulationOnly", &emulation));
  EXPECT_EQ(software, 0u);
  EXPECT_EQ(emulation, 0u);
}

TEST_F(DxCheckTest, AccelerationNeedsBothSwitchesAtZero) {
  struct Case {
    int software, emulation;  // -1: value missing
    int expected;
  };
  const Case cases[] = {{0, 0, 1}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, -1, 0}, {-1, 0, 0}, {7, 0, 0}};
  for (const Case& c : cases) {
    std::filesystem::remove_all(dir_.File("config"));
    if (c.software >= 0) SetSwitch(kDirect3DKey, "SoftwareOnly", c.software);
    if (c.emulation >= 0) SetSwitch(kDirectDrawKey, "EmulationOnly", c.emulation);
    EXPECT_EQ(QeloCheckDirectXUsed(), c.expected) << c.software << " " << c.emulation;
  }
}

TEST_F(DxCheckTest, SwitchesWrittenByAnEarlierSessionAreRead) {
  std::filesystem::create_directories(dir_.File("config"));
  std::ofstream(dir_.File("config/registry.dat"))
      << "qelo-registry 1\n"
         "key :HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Direct3D\\Drivers\n"
         "dword :SoftwareOnly 0\n"
         "key :HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\DirectDraw\n"
         "dword :EmulationOnly 0\n"
         "end\n";
  EXPECT_EQ(QeloCheckDirectXUsed(), 1);
}

TEST_F(DxCheckTest, DamagedStoreReadsAsOffAndCanBeTurnedOn) {
  std::filesystem::create_directories(dir_.File("config"));
  std::ofstream(dir_.File("config/registry.dat")) << "qelo-registry 1\nkey :HKEY_LOCAL";
  EXPECT_EQ(QeloCheckDirectXUsed(), 0);
  EXPECT_EQ(QeloTurnOnDirectX(), 1);
  EXPECT_EQ(QeloCheckDirectXUsed(), 1);
  EXPECT_TRUE(std::filesystem::exists(dir_.File("config/registry.dat.damaged")));
}

TEST_F(DxCheckTest, TurningOnFailsWhenTheStoreCannotBeWritten) {
  std::ofstream(dir_.File("plain")) << "x";
  setenv("QELO_REGISTRY_DIR", dir_.File("plain/config").c_str(), 1);
  EXPECT_EQ(QeloTurnOnDirectX(), 0);
  EXPECT_EQ(QeloCheckDirectXUsed(), 0);
}

}  // namespace
