// Special folders from a private home folder and its user-dirs file, and
// the texts of errors and formatted messages.
#include <gtest/gtest.h>

#include "shell/errors.h"
#include "shell/namespace.h"
#include "shell/special_folders.h"
#include "shell_fixture.h"

namespace qelo::shell {
namespace {

using test::FakeHome;
using test::MakeDir;

TEST(SpecialFolders, DefaultsLieUnderTheHomeFolder) {
  FakeHome home;
  EXPECT_EQ(HomeDirectory(), home.path());
  EXPECT_EQ(SpecialFolderPath(CSIDL_PERSONAL), home.Path("Documents"));
  EXPECT_EQ(SpecialFolderPath(CSIDL_MYVIDEO), home.Path("Videos"));
  EXPECT_EQ(SpecialFolderPath(CSIDL_PROFILE), home.path());
  EXPECT_EQ(SpecialFolderPath(CSIDL_SENDTO), home.Path("data/clipshift/SendTo"));
  EXPECT_EQ(SpecialFolderPath(CSIDL_DRIVES), "");
  // No desktop folder exists yet.
  EXPECT_EQ(SpecialFolderPath(CSIDL_DESKTOPDIRECTORY), "");
}

TEST(SpecialFolders, UserDirsFileDecides) {
  FakeHome home;
  MakeDir(home.Path("Filme"));
  MakeDir(home.Path("My \"Docs\""));
  MakeDir(home.Path("Schreibtisch"));
  home.WriteUserDirs(
      "# written by a test\n"
      "XDG_VIDEOS_DIR=\"$HOME/Filme\"\n"
      "XDG_DOCUMENTS_DIR=\"" + home.path() + "/My \\\"Docs\\\"\"\n"
      "  XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
      "XDG_MUSIC_DIR=relative/ignored\n");
  EXPECT_EQ(SpecialFolderPath(CSIDL_MYVIDEO), home.Path("Filme"));
  EXPECT_EQ(SpecialFolderPath(CSIDL_PERSONAL), home.Path("My \"Docs\""));
  EXPECT_EQ(SpecialFolderPath(CSIDL_DESKTOPDIRECTORY), home.Path("Schreibtisch"));
  EXPECT_EQ(SpecialFolderPath(CSIDL_MYMUSIC), home.Path("Music"));

  IdListPtr videos;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_MYVIDEO, videos.Put()), S_OK);
  EXPECT_EQ(SHPathOfIdList(videos.Get()), home.Path("Filme"));
  // The desktop itself is the empty list, whose path is the desktop folder.
  IdListPtr desktop;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, desktop.Put()), S_OK);
  EXPECT_EQ(ILGetSize(desktop.Get()), 2u);
  EXPECT_EQ(SHPathOfIdList(desktop.Get()), home.Path("Schreibtisch"));
}

TEST(SpecialFolders, MissingOrUnknownFoldersHaveNoList) {
  FakeHome home;
  IdListPtr list;
  EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_MYPICTURES, list.Put()),
            HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, 99, list.Put()), E_INVALIDARG);
  EXPECT_FALSE(list);
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_PROFILE, list.Put()), S_OK);
  EXPECT_EQ(SHPathOfIdList(list.Get()), home.path());
}

TEST(SpecialFolders, DesktopEqualToHomeShowsNoEntries) {
  FakeHome home;
  home.WriteUserDirs("XDG_DESKTOP_DIR=\"$HOME\"\n");
  EXPECT_FALSE(DesktopDirectory().has_value());
}

TEST(ShellErrors, MessagesFillTheirInserts) {
  struct Case {
    const char* format;
    std::vector<std::string> inserts;
    bool ok;
    const char* expected;
  };
  const Case cases[] = {
      {"Unable to create the folder '%2'\n\n%1", {"Disk full.", "New Folder"}, true,
       "Unable to create the folder 'New Folder'\n\nDisk full."},
      {"%1!s! and %1", {"x"}, true, "x and x"},
      {"100%% done%n", {}, true, "100% done\n"},
      {"cut here%0 not shown", {}, true, "cut here"},
      {"%3 missing", {"a", "b"}, false, ""},
      {"%12", {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "twelve"}, true, "twelve"},
      {"", {}, true, ""},
  };
  for (const Case& c : cases) {
    std::string out = "stale";
    EXPECT_EQ(FormatMessageFromString(c.format, c.inserts, &out), c.ok) << c.format;
    EXPECT_EQ(out, c.expected) << c.format;
  }
}

TEST(ShellErrors, ResultCodesReadAsTheirErrors) {
  EXPECT_EQ(SystemErrorText(HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS)), SystemErrorText(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(Win32FromHResult(HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS)), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(Win32FromHResult(E_FAIL), 0u);
  EXPECT_EQ(HResultFromErrno(EEXIST), HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS));
  EXPECT_NE(SystemErrorText(static_cast<HRESULT>(0x80001234)).find("0x80001234"), std::string::npos);
}

}  // namespace
}  // namespace qelo::shell
