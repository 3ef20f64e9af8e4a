#include "registry/registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/temp_dir.h"

namespace qelo::reg {
namespace {

constexpr const char* kDirectDraw = "SOFTWARE\\Microsoft\\DirectDraw";

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { PointStoreAt(dir_.path() + "/config"); }
  void TearDown() override { unsetenv("QELO_REGISTRY_DIR"); }

  static void PointStoreAt(const std::string& folder) {
    setenv("QELO_REGISTRY_DIR", folder.c_str(), 1);
  }

  static Key Open(Key root, const char* path, std::uint32_t access = kAllAccess) {
    Key key = kNoKey;
    EXPECT_EQ(OpenKey(root, path, access, &key), Status::kOk) << path;
    return key;
  }

  static void WriteStoreFile(const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(StorePath()).parent_path());
    std::ofstream(StorePath(), std::ios::binary) << text;
  }

  static Status SetDword(Key key, const char* name, std::uint32_t value) {
    return SetValue(key, name, ValueType::kDword, &value, sizeof value);
  }

  static Status GetDword(Key key, const char* name, std::uint32_t* value) {
    std::uint32_t size = sizeof *value;
    return QueryValue(key, name, nullptr, value, &size);
  }

  qelo::test::TempDir dir_;
};

TEST_F(RegistryTest, SystemKeysExistOtherKeysOnlyOnceCreated) {
  const Key drivers = Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Direct3D\\Drivers");
  EXPECT_EQ(CloseKey(drivers), Status::kOk);
  EXPECT_EQ(CloseKey(Open(HKEY_LOCAL_MACHINE, "software\\MICROSOFT")), Status::kOk);

  Key key = kNoKey;
  EXPECT_EQ(OpenKey(HKEY_CURRENT_USER, "Software\\Clipshift", kAllAccess, &key), Status::kNotFound);
  EXPECT_EQ(key, kNoKey);
  ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, "Software\\Clipshift\\Jobs", kAllAccess, &key), Status::kOk);
  EXPECT_EQ(CloseKey(key), Status::kOk);
  const Key parent = Open(HKEY_CURRENT_USER, "Software\\Clipshift");
  EXPECT_EQ(CloseKey(Open(parent, "jobs")), Status::kOk);
  EXPECT_EQ(CloseKey(parent), Status::kOk);
}

TEST_F(RegistryTest, ValuesSurviveReopeningTheKey) {
  Key key = Open(HKEY_LOCAL_MACHINE, kDirectDraw);
  std::uint32_t value = 1;
  EXPECT_EQ(GetDword(key, "EmulationOnly", &value), Status::kNotFound);
  EXPECT_EQ(value, 1u);
  ASSERT_EQ(SetDword(key, "EmulationOnly", 0), Status::kOk);
  const std::string text = "caf\xC3\xA9 100% \"quoted\"\n\ttabbed";
  ASSERT_EQ(SetValue(key, "Label", ValueType::kString, text.c_str(), text.size() + 1), Status::kOk);
  EXPECT_EQ(CloseKey(key), Status::kOk);

  key = Open(HKEY_LOCAL_MACHINE, kDirectDraw, kQueryValue);
  value = 7;
  EXPECT_EQ(GetDword(key, "emulationonly", &value), Status::kOk);
  EXPECT_EQ(value, 0u);
  ValueType type{};
  std::uint32_t size = 0;
  ASSERT_EQ(QueryValue(key, "LABEL", &type, nullptr, &size), Status::kOk);
  EXPECT_EQ(type, ValueType::kString);
  ASSERT_EQ(size, text.size() + 1);
  std::string read(size, 'x');
  ASSERT_EQ(QueryValue(key, "Label", nullptr, read.data(), &size), Status::kOk);
  EXPECT_EQ(read, text + '\0');
  EXPECT_EQ(CloseKey(key), Status::kOk);
}

TEST_F(RegistryTest, SmallBufferGetsTheSizeNeededAndIsLeftAlone) {
  const Key key = Open(HKEY_LOCAL_MACHINE, kDirectDraw);
  ASSERT_EQ(SetValue(key, "Name", ValueType::kString, "abcdef", 7), Status::kOk);
  char buffer[4] = {'1', '2', '3', '4'};
  std::uint32_t size = sizeof buffer;
  EXPECT_EQ(QueryValue(key, "Name", nullptr, buffer, &size), Status::kMoreData);
  EXPECT_EQ(size, 7u);
  EXPECT_EQ(std::string(buffer, 4), "1234");
  // A value is replaced whole, whatever its earlier type.
  ASSERT_EQ(SetDword(key, "Name", 3), Status::kOk);
  std::uint32_t value = 0;
  EXPECT_EQ(GetDword(key, "Name", &value), Status::kOk);
  EXPECT_EQ(value, 3u);
  CloseKey(key);
}

TEST_F(RegistryTest, AccessRightsAndHandlesAreChecked) {
  const Key readOnly = Open(HKEY_LOCAL_MACHINE, kDirectDraw, kQueryValue);
  const Key writeOnly = Open(HKEY_LOCAL_MACHINE, kDirectDraw, kSetValue);
  EXPECT_EQ(SetDword(readOnly, "EmulationOnly", 0), Status::kAccessDenied);
  EXPECT_EQ(SetDword(writeOnly, "EmulationOnly", 0), Status::kOk);
  std::uint32_t value = 0;
  EXPECT_EQ(GetDword(writeOnly, "EmulationOnly", &value), Status::kAccessDenied);
  EXPECT_EQ(CloseKey(readOnly), Status::kOk);
  EXPECT_EQ(CloseKey(readOnly), Status::kInvalidHandle);
  EXPECT_EQ(GetDword(readOnly, "EmulationOnly", &value), Status::kInvalidHandle);
  EXPECT_EQ(CloseKey(writeOnly), Status::kOk);
  Key key = kNoKey;
  EXPECT_EQ(OpenKey(12345, "", kAllAccess, &key), Status::kInvalidHandle);
}

TEST_F(RegistryTest, BadPathsAndDataAreRefused) {
  Key key = kNoKey;
  for (const char* path : {"SOFTWARE\\\\Microsoft", "\\SOFTWARE", "SOFTWARE\\"})
    EXPECT_EQ(CreateKey(HKEY_CURRENT_USER, path, kAllAccess, &key), Status::kInvalidArgument) << path;
  key = Open(HKEY_LOCAL_MACHINE, kDirectDraw);
  const std::uint16_t shortValue = 0;
  EXPECT_EQ(SetValue(key, "EmulationOnly", ValueType::kDword, &shortValue, 2), Status::kInvalidArgument);
  EXPECT_EQ(SetValue(key, "EmulationOnly", static_cast<ValueType>(3), "x", 1), Status::kInvalidArgument);
  std::uint32_t value = 0;
  EXPECT_EQ(GetDword(key, "EmulationOnly", &value), Status::kNotFound);
  CloseKey(key);
}

TEST_F(RegistryTest, DamagedStoreReadsAsEmptyAndIsKeptAside) {
  const std::vector<std::string> damaged = {
      "garbage\n",
      "qelo-registry 1\nkey :HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\DirectDraw\n"
      "dword :EmulationOnly 0\n",  // cut before its end line
      "qelo-registry 1\nkey :HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\DirectDraw\n"
      "dword :EmulationOnly 99999999999\nend\n",
      std::string("qelo-registry 1\0\xFF", 17),
  };
  for (const std::string& text : damaged) {
    WriteStoreFile(text);
    const Key key = Open(HKEY_LOCAL_MACHINE, kDirectDraw);
    std::uint32_t value = 5;
    testing::internal::CaptureStderr();
    EXPECT_EQ(GetDword(key, "EmulationOnly", &value), Status::kNotFound);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("damaged"), std::string::npos);
    EXPECT_EQ(value, 5u);

    testing::internal::CaptureStderr();
    ASSERT_EQ(SetDword(key, "SoftwareOnly", 1), Status::kOk);
    testing::internal::GetCapturedStderr();
    std::ifstream aside(StorePath() + ".damaged", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(aside), {}), text);
    EXPECT_EQ(GetDword(key, "SoftwareOnly", &value), Status::kOk);
    EXPECT_EQ(value, 1u);
    CloseKey(key);
  }
}

TEST_F(RegistryTest, UnwritableStoreFailsTheWriteAndKeepsWhatWasThere) {
  const Key key = Open(HKEY_LOCAL_MACHINE, kDirectDraw);
  ASSERT_EQ(SetDword(key, "EmulationOnly", 1), Status::kOk);
  // A store folder that cannot be made: its parent is a plain file.
  std::ofstream(dir_.File("plain")) << "x";
  PointStoreAt(dir_.File("plain") + "/config");
  EXPECT_EQ(SetDword(key, "EmulationOnly", 0), Status::kStoreFailed);
  PointStoreAt(dir_.path() + "/config");
  std::uint32_t value = 0;
  EXPECT_EQ(GetDword(key, "EmulationOnly", &value), Status::kOk);
  EXPECT_EQ(value, 1u);
  CloseKey(key);
}

TEST_F(RegistryTest, WritesLeaveOnlyTheStoreAndItsLock) {
  const Key key = Open(HKEY_LOCAL_MACHINE, kDirectDraw);
  for (std::uint32_t i = 0; i < 5; ++i) ASSERT_EQ(SetDword(key, "EmulationOnly", i), Status::kOk);
  CloseKey(key);
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path() + "/config"))
    names.insert(entry.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"registry.dat", "registry.lock"}));
}

TEST_F(RegistryTest, ConcurrentWritersLoseNoValue) {
  constexpr int kWriters = 4, kValuesEach = 10;
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.emplace_back([w] {
      const Key key = Open(HKEY_LOCAL_MACHINE, kDirectDraw);
      for (int i = 0; i < kValuesEach; ++i) {
        const std::string name = "v" + std::to_string(w) + "_" + std::to_string(i);
        EXPECT_EQ(SetDword(key, name.c_str(), static_cast<std::uint32_t>(i)), Status::kOk);
      }
      CloseKey(key);
    });
  }
  for (auto& writer : writers) writer.join();
  const Key key = Open(HKEY_LOCAL_MACHINE, kDirectDraw, kQueryValue);
  for (int w = 0; w < kWriters; ++w) {
    for (int i = 0; i < kValuesEach; ++i) {
      const std::string name = "v" + std::to_string(w) + "_" + std::to_string(i);
      std::uint32_t value = 99;
      EXPECT_EQ(GetDword(key, name.c_str(), &value), Status::kOk) << name;
      EXPECT_EQ(value, static_cast<std::uint32_t>(i));
    }
  }
  CloseKey(key);
}

}  // namespace
}  // namespace qelo::reg
