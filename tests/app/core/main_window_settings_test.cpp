// The settings file of the main window: a fresh start's lines and the
// folders made for them, files of other lengths and files that cannot be
// read kept aside and rebuilt, lines that are not numbers, writing and
// reading back any folder name, and the temporary folder that only the
// program's own marked folder is emptied of.
#include "main_window_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "common/log_reading.h"
#include "common/temp_dir.h"
#include "common/watchdog.h"
#include "outside/qelo_log.h"
#include "win/codepage.h"

namespace qelo::app {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const vcl::TStrings& lines) {
  std::vector<std::string> out;
  for (int i = 0; i < lines.Count(); ++i) out.push_back(lines.Get(i));
  return out;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(programFolder());
    fs::create_directories(documents());
    InitializeQeloLog(win::Utf8ToUtf16(dir_.path()).c_str());
  }
  void TearDown() override { DeInitializeQeloLog(); }
  std::string LastLogLine() const {
    const std::vector<std::string> log = test::LogTexts(dir_.path());
    return log.empty() ? "" : log.back();
  }
  std::string programFolder() const { return dir_.File("program") + "/"; }
  std::string documents() const { return dir_.File("Documents"); }
  std::string settingsFile() const { return programFolder() + kSettingsFileName; }
  SettingsFolders folders() const { return {programFolder(), documents()}; }
  std::vector<std::string> Load() {
    vcl::TStringList lines;
    kept_ = LoadSettingsLines(settingsFile(), folders(), lines);
    return Lines(lines);
  }
  std::vector<std::string> Defaults() const {
    const std::string out = documents() + "/Clipshift/";
    return {programFolder(), "0", out, out, "0", out + "Temp/"};
  }

  test::TempDir dir_;
  SettingsLoad kept_ = SettingsLoad::kDefaults;
};

TEST_F(SettingsFileTest, AFirstStartMakesTheClipshiftFoldersAndWritesNothing) {
  EXPECT_EQ(Load(), Defaults());
  EXPECT_EQ(kept_, SettingsLoad::kDefaults);
  EXPECT_EQ(LastLogLine(), "") << "a first start is no fault";
  EXPECT_TRUE(fs::is_directory(documents() + "/Clipshift"));
  EXPECT_TRUE(fs::is_regular_file(documents() + "/Clipshift/Temp/" + kTempFolderMark))
      << "the temporary folder made is marked as the program's";
  EXPECT_FALSE(fs::exists(settingsFile())) << "the file is written only when the window goes";
}

// A file of another length is rebuilt from the defaults; the file itself
// is kept aside, each under a name of its own, and the log says where.
TEST_F(SettingsFileTest, AFileOfAnyOtherLengthIsKeptAsideAndRebuilt) {
  struct Case {
    std::string text;
    int lines;
    std::string keptAs;
  };
  const Case cases[] = {{"", 0, ".damaged"},
                        {"a\r\nb\r\nc\r\nd\r\ne\r\n", 5, ".damaged-2"},
                        {"a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\n", 7, ".damaged-3"},
                        {"1\n2\n3\n4\n5\n6\n7", 7, ".damaged-4"},
                        {std::string("\x89PNG\0\xFF\xFE garbage", 16), 1, ".damaged-5"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    WriteBytes(settingsFile(), c.text);
    EXPECT_EQ(Load(), Defaults());
    EXPECT_EQ(kept_, SettingsLoad::kDefaults);
    EXPECT_FALSE(fs::exists(settingsFile()));
    EXPECT_EQ(ReadBytes(settingsFile() + c.keptAs), c.text);
    EXPECT_EQ(LastLogLine(), "Warning: The settings file " + settingsFile() + " has " + std::to_string(c.lines) +
                                 " lines instead of 6; it is kept as " + settingsFile() + c.keptAs +
                                 ", and the default settings are used.");
  }
  for (const Case& c : cases) EXPECT_EQ(ReadBytes(settingsFile() + c.keptAs), c.text) << "nothing kept is replaced";
}

// What cannot be read as a settings file is never waited on nor read
// without end; it is kept aside (all but a folder, which cannot be replaced
// either: the settings are then not saved).
TEST_F(SettingsFileTest, WhatCannotBeReadIsKeptAsideAtOnce) {
  const std::string file = settingsFile();
  struct Case {
    const char* name;
    std::function<void()> make;
    std::string reason;
    SettingsLoad load;
  };
  const std::vector<Case> cases = {
      {"a FIFO", [&] { mkfifo(file.c_str(), 0600); }, "it is a FIFO", SettingsLoad::kDefaults},
      {"a link to /dev/zero", [&] { fs::create_symlink("/dev/zero", file); }, "it is a link to a character device",
       SettingsLoad::kDefaults},
      {"too large", [&] { WriteBytes(file, std::string(kSettingsSizeLimit + 1, '\n')); },
       "it is larger than 65536 bytes", SettingsLoad::kDefaults},
      {"a folder", [&] { fs::create_directories(file); }, "it is a folder", SettingsLoad::kKeptOut},
  };
  test::Watchdog watchdog(std::chrono::seconds(60), "reading settings files that cannot be read");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(file);
    fs::remove_all(file + ".damaged");
    WriteBytes(file + ".damaged", "an earlier copy");
    c.make();
    EXPECT_EQ(Load(), Defaults());
    EXPECT_EQ(kept_, c.load);
    const std::string said = "Warning: The settings file " + file + " cannot be read (" + c.reason + ")";
    if (c.load == SettingsLoad::kKeptOut) {
      EXPECT_EQ(LastLogLine(), said + "; the default settings are used, and they are not saved.");
      EXPECT_TRUE(fs::is_directory(file));
    } else {
      EXPECT_EQ(LastLogLine(), said + "; it is kept as " + file + ".damaged-2, and the default settings are used.");
      EXPECT_FALSE(fs::exists(fs::symlink_status(file)));
      EXPECT_TRUE(fs::exists(fs::symlink_status(file + ".damaged-2")));
      fs::remove(file + ".damaged-2");
    }
    EXPECT_EQ(ReadBytes(file + ".damaged"), "an earlier copy");
  }
}

TEST_F(SettingsFileTest, SixLinesAreKeptWithAnyLineEnds) {
  WriteBytes(settingsFile(), "/in\r3\n/snap/\r\n/out/\r65538\n/tmp/x/\r\n");
  EXPECT_EQ(Load(), (std::vector<std::string>{"/in", "3", "/snap/", "/out/", "65538", "/tmp/x/"}));
  EXPECT_EQ(kept_, SettingsLoad::kUsed);
}

// Lines 1 (filter index) and 4 (profile choice) are read as numbers later;
// text that is not one is replaced at load.
TEST_F(SettingsFileTest, NumberLinesThatAreNotNumbersBecomeZero) {
  struct Case {
    const char* filterIndex;
    const char* choice;
    const char* filterAfter;
    const char* choiceAfter;
  };
  const Case cases[] = {
      {"2", "65537", "2", "65537"},   {"abc", "x1", "0", "0"},          {"-1", "-65536", "0", "-65536"},
      {" 3", "1.5", "0", "0"},        {"", "99999999999", "0", "0"},    {"0x10", "+7", "0", "+7"},
  };
  for (const Case& c : cases) {
    WriteBytes(settingsFile(), std::string("/in\r\n") + c.filterIndex + "\r\n/s/\r\n/o/\r\n" + c.choice + "\r\n/t/\r\n");
    const std::vector<std::string> lines = Load();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[slFilterIndex], c.filterAfter) << c.filterIndex;
    EXPECT_EQ(lines[slProfileChoice], c.choiceAfter) << c.choice;
    EXPECT_EQ(lines[slOpenFolder], "/in") << "the other lines stay";
  }
}

TEST_F(SettingsFileTest, FoldersThatCannotBeMadeFallBack) {
  // A file stands where the Clipshift folder would be made.
  WriteBytes(documents() + "/Clipshift", "in the way");
  std::vector<std::string> lines = Load();
  EXPECT_EQ(lines[slSnapshotFolder], documents());
  EXPECT_EQ(lines[slOutputFolder], documents());
  EXPECT_EQ(lines[slTempFolder], programFolder() + "Temp/");
  EXPECT_TRUE(fs::is_regular_file(programFolder() + "Temp/" + kTempFolderMark));

  // Nor can the program's Temp folder be made: the documents folder, unmarked.
  fs::remove_all(programFolder() + "Temp");
  WriteBytes(programFolder() + "Temp", "in the way");
  lines = Load();
  EXPECT_EQ(lines[slTempFolder], documents());
  EXPECT_FALSE(fs::exists(documents() + "/" + kTempFolderMark));
}

TEST_F(SettingsFileTest, WithoutADocumentsFolderNothingIsMadeAtTheRoot) {
  vcl::TStringList lines;
  LoadSettingsLines(settingsFile(), SettingsFolders{programFolder(), ""}, lines);
  EXPECT_EQ(lines.Get(slSnapshotFolder), programFolder());
  EXPECT_EQ(lines.Get(slOutputFolder), programFolder());
  EXPECT_EQ(lines.Get(slTempFolder), programFolder() + "Temp/");
}

TEST_F(SettingsFileTest, SavedLinesEndInCrLfAndAnyFolderNameComesBack) {
  vcl::TStringList lines;
  DefaultSettingsLines(folders(), lines);
  const std::string folder = documents() + "/Видео 日本 é/";
  lines.Put(slOutputFolder, folder);
  ASSERT_TRUE(SaveSettingsLines(settingsFile(), lines));
  const std::string bytes = ReadBytes(settingsFile());
  EXPECT_EQ(bytes.rfind("\xEF\xBB\xBF", 0), std::string::npos) << "no byte-order mark";
  size_t lineEnds = 0;
  for (size_t i = 0; i + 1 < bytes.size(); ++i) lineEnds += bytes.compare(i, 2, "\r\n") == 0;
  EXPECT_EQ(lineEnds, 6u);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  EXPECT_NE(bytes.find(folder + "\r\n"), std::string::npos) << "written as UTF-8";
  EXPECT_EQ(Load()[slOutputFolder], folder);
  EXPECT_EQ(kept_, SettingsLoad::kUsed);
}

TEST_F(SettingsFileTest, AFileWithAUtf16MarkIsReadInThatEncoding) {
  const std::u16string text = u"/in\r\n0\r\n/s/\r\n/Видео/\r\n0\r\n/t/\r\n";
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  WriteBytes(settingsFile(), bytes);
  EXPECT_EQ(Load()[slOutputFolder], "/Видео/");
}

TEST_F(SettingsFileTest, OnlyAFolderTheProgramMarkedIsEmptied) {
  const std::string userFile = documents() + "/letter.txt";
  WriteBytes(userFile, "keep me");
  EXPECT_EQ(ClearMarkedTempFolder(documents()), 0) << "the documents folder is never the program's";
  EXPECT_EQ(ClearMarkedTempFolder(documents() + "/"), 0);
  EXPECT_EQ(ClearMarkedTempFolder(""), 0) << "an empty line is not the current folder";
  EXPECT_EQ(ClearMarkedTempFolder("."), 0);
  EXPECT_EQ(ClearMarkedTempFolder(documents() + "/no such folder/"), 0);
  EXPECT_TRUE(fs::exists(userFile));

  vcl::TStringList lines;
  DefaultSettingsLines(folders(), lines);
  const std::string temp = lines.Get(slTempFolder);
  WriteBytes(temp + "a.tmp", "1");
  WriteBytes(temp + "b.tmp", "2");
  fs::create_directories(temp + "sub");
  WriteBytes(temp + "sub/c.tmp", "3");
  EXPECT_EQ(ClearMarkedTempFolder(temp), 2);
  EXPECT_FALSE(fs::exists(temp + "a.tmp"));
  EXPECT_FALSE(fs::exists(temp + "b.tmp"));
  EXPECT_TRUE(fs::exists(temp + "sub/c.tmp")) << "folders are left alone";
  EXPECT_TRUE(fs::exists(temp + kTempFolderMark)) << "the folder stays the program's";
  EXPECT_TRUE(fs::exists(userFile));
}

TEST_F(SettingsFileTest, AnExistingTemporaryFolderIsNotClaimed) {
  // A Temp folder the user made before the first start keeps its files.
  fs::create_directories(documents() + "/Clipshift/Temp");
  WriteBytes(documents() + "/Clipshift/Temp/mine.txt", "the user's");
  vcl::TStringList lines;
  DefaultSettingsLines(folders(), lines);
  EXPECT_EQ(lines.Get(slTempFolder), documents() + "/Clipshift/Temp/");
  EXPECT_EQ(ClearMarkedTempFolder(lines.Get(slTempFolder)), 0);
  EXPECT_TRUE(fs::exists(documents() + "/Clipshift/Temp/mine.txt"));
}

}  // namespace
}  // namespace qelo::app
