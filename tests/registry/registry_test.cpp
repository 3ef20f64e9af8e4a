#include "registry/registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "common/temp_dir.h"
#include "common/watchdog.h"

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

  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
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
  // Each damaged store is kept under a name of its own: none replaces an
  // earlier one.
  std::vector<std::string> asides = {StorePath() + ".damaged"};
  for (int n = 2; n <= 4; ++n) asides.push_back(StorePath() + ".damaged-" + std::to_string(n));
  for (std::size_t i = 0; i < damaged.size(); ++i) {
    const std::string& text = damaged[i];
    WriteStoreFile(text);
    const Key key = Open(HKEY_LOCAL_MACHINE, kDirectDraw);
    std::uint32_t value = 5;
    EXPECT_EQ(GetDword(key, "EmulationOnly", &value), Status::kNotFound);
    EXPECT_EQ(value, 5u);

    ASSERT_EQ(SetDword(key, "SoftwareOnly", 1), Status::kOk);
    for (std::size_t earlier = 0; earlier <= i; ++earlier) {
      std::ifstream aside(asides[earlier], std::ios::binary);
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(aside), {}), damaged[earlier]);
    }
    EXPECT_EQ(GetDword(key, "SoftwareOnly", &value), Status::kOk);
    EXPECT_EQ(value, 1u);
    CloseKey(key);
  }
}

// What start-up finds in the store's place: anything that cannot be read as
// a store is kept aside (after the copies kept before) and a new store is
// started; what can still not be read and written makes the store unusable.
// Reading never blocks on a FIFO nor runs on without end on a device.
TEST_F(RegistryTest, StartUpKeepsAsideWhatCannotBeUsedAndTellsWhy) {
  const std::string store = StorePath();
  const std::string folder = dir_.path() + "/config";
  struct Case {
    const char* name;
    std::function<void()> make;
    bool usable;
    std::vector<std::string> said;  // parts of the report
    const char* keptAs;             // "" when nothing is kept aside
  };
  const std::vector<Case> cases = {
      {"garbage", [] { WriteStoreFile("\x01\x02garbage\n"); }, true, {" is damaged"}, ".damaged"},
      {"a FIFO", [&] { mkfifo(store.c_str(), 0600); }, true, {"cannot be read (it is a FIFO)"}, ".damaged"},
      {"a link to /dev/zero", [&] { symlink("/dev/zero", store.c_str()); }, true,
       {"cannot be read (it is a link to a character device)"}, ".damaged"},
      {"too large", [] { WriteStoreFile(std::string((1 << 20) + 1, 'x')); }, true,
       {"cannot be read (it is larger than 1048576 bytes)"}, ".damaged"},
      {"after two kept copies",
       [&] {
         WriteStoreFile("damaged again\n");
         std::ofstream(store + ".damaged") << "first";
         std::ofstream(store + ".damaged-2") << "second";
       },
       true, {" is damaged"}, ".damaged-3"},
      {"a folder", [&] { std::filesystem::create_directories(store); }, false,
       {"cannot be read or written (it is a folder)"}, ""},
      {"its lock file a folder", [&] { std::filesystem::create_directories(folder + "/registry.lock"); }, false,
       {"cannot be written (its lock file " + folder + "/registry.lock cannot be used: Is a directory)."}, ""},
      {"its folder a file", [&] { std::ofstream(folder) << "x"; }, false, {"its folder " + folder + " cannot be made"},
       ""},
  };
  qelo::test::Watchdog watchdog(std::chrono::seconds(60), "reading damaged stores");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(folder);
    if (std::string(c.name) != "its folder a file") std::filesystem::create_directories(folder);
    c.make();
    // The values read as missing, at once.
    Key key = kNoKey;
    ASSERT_EQ(OpenKey(HKEY_LOCAL_MACHINE, kDirectDraw, kQueryValue, &key), Status::kOk);
    std::uint32_t value = 0;
    EXPECT_EQ(GetDword(key, "EmulationOnly", &value), Status::kNotFound);
    CloseKey(key);

    const StoreCheck check = CheckStore();
    EXPECT_EQ(check.usable, c.usable);
    ASSERT_EQ(check.reports.size(), 1u);
    const std::string& report = check.reports[0];
    EXPECT_EQ(report.rfind("The registry store " + store, 0), 0u) << report;
    for (const std::string& part : c.said) EXPECT_NE(report.find(part), std::string::npos) << report;
    if (*c.keptAs) {
      EXPECT_NE(report.find("it is kept as " + store + c.keptAs + ", and a new store is started."),
                std::string::npos)
          << report;
      std::error_code error;
      EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(store + c.keptAs, error)));
      EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(store, error)));
      // The new store takes values again.
      ASSERT_EQ(OpenKey(HKEY_LOCAL_MACHINE, kDirectDraw, kAllAccess, &key), Status::kOk);
      EXPECT_EQ(SetDword(key, "EmulationOnly", 0), Status::kOk);
      CloseKey(key);
      EXPECT_TRUE(CheckStore().reports.empty());
    }
    if (std::string(c.name) == "after two kept copies") {
      EXPECT_EQ(ReadFile(store + ".damaged"), "first");
      EXPECT_EQ(ReadFile(store + ".damaged-2"), "second");
      EXPECT_EQ(ReadFile(store + ".damaged-3"), "damaged again\n");
    }
  }
  std::filesystem::remove_all(folder);
  const StoreCheck fresh = CheckStore();
  EXPECT_TRUE(fresh.usable);
  EXPECT_TRUE(fresh.reports.empty());
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
