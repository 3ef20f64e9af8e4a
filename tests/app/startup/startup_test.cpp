// Start-up and close-down: the order of the library calls, the log's begin,
// error and end lines, the undo of every step before a failing one, and
// the DirectX information window on the systems that need it.
#include "startup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "chk_directx.h"
#include "common/log_reading.h"
#include "common/temp_dir.h"
#include "ct_shell_dialogs.h"
#include "ct_shell_dialogs_script.h"
#include "outside/qelo_log.h"
#include "program.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/scripting.h"
#include "vcl/form_reader.h"
#include "win/codepage.h"
#include "win/window/display.h"

namespace qelo::app {
namespace {

using Calls = std::vector<std::string>;

const std::string kBegin = "Info: ===========================Begin Clipshift 2.0.1.1========================";
const std::string kEnd = "Info: ===========================End Clipshift 2.0.1.1========================";

// Libraries that write down every call. The DirectX calls report 9.0c with
// acceleration on; the library step named `failing` answers 0. The log
// calls go on to the real QeloLog, so the program's lines land in a file.
class RecordedLibraries {
 public:
  explicit RecordedLibraries(std::string failing = "") : failing_(std::move(failing)) {}

  ProgramLibraries Table() {
    ProgramLibraries l;
    l.CheckRegistryStore = [this] {
      Record("CheckRegistryStore");
      return store;
    };
    l.CheckDxVersion = [this](DxVersionCode* v) { return Record("CheckDxVersion " + Hex(*v), 1); };
    l.CheckDirectXUsed = [this] { return Record("CheckDirectXUsed", 1); };
    l.TurnOnDirectX = [this] { return Record("TurnOnDirectX", 1); };
    l.InitializeLog = [this](const char16_t* folder) {
      logFolder = win::Utf16ToUtf8(folder);
      Record("InitializeLog");
      return InitializeQeloLog(folder);
    };
    l.DeInitializeLog = [this] {
      Record("DeInitializeLog");
      DeInitializeQeloLog();
    };
    // The codec bridge answers 2, as to a later user: it must come back.
    l.InitializeCodecs = [this](LogCallback log) { return Start("InitializeCodecs", log, 2); };
    l.DeInitializeCodecs = [this](int start) { return Record("DeInitializeCodecs " + std::to_string(start), 1); };
    l.InitializePlayer = [this](LogCallback log) { return Start("InitializePlayer", log, 1); };
    l.DeInitializePlayer = [this] { return Record("DeInitializePlayer", 1); };
    l.InitializeProfile = [this] { return Start("InitializeProfile", QeloLogTextW, 1); };
    l.DeInitializeProfile = [this] { Record("DeInitializeProfile"); };
    l.InitializeConvertor = [this](LogCallback log) { return Start("InitializeConvertor", log, 1); };
    l.DeInitializeConvertor = [this] { Record("DeInitializeConvertor"); };
    l.EffectDestroy = [this] { Record("EffectDestroy"); };
    return l;
  }

  Calls calls;
  reg::StoreCheck store;  // what the store's check answers
  std::string logFolder;
  bool otherLogHanded = false;

 private:
  static std::string Hex(DxVersionCode v) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", v);
    return text;
  }
  int Record(const std::string& call, int result = 0) {
    calls.push_back(call);
    return result;
  }
  int Start(const std::string& call, LogCallback log, int result) {
    if (log != QeloLogTextW) otherLogHanded = true;
    return Record(call, call == failing_ ? 0 : result);
  }

  std::string failing_;
};

class StartupTest : public ::testing::Test {
 protected:
  std::vector<std::string> Log() const { return test::LogTexts(dir.path()); }
  test::TempDir dir;
};

TEST_F(StartupTest, StartsTheLibrariesInOrderAndClosesThemDownInTheirOwnOrder) {
  RecordedLibraries libraries;
  ProgramLife life(libraries.Table());
  ASSERT_TRUE(life.StartUp(dir.path() + "/"));
  EXPECT_EQ(libraries.calls, (Calls{"CheckRegistryStore", "CheckDxVersion 00090003", "CheckDirectXUsed",
                                    "InitializeLog", "InitializeCodecs", "InitializePlayer", "InitializeProfile",
                                    "InitializeConvertor"}));
  EXPECT_EQ(libraries.logFolder, dir.path() + "/");
  EXPECT_FALSE(libraries.otherLogHanded) << "every library logs through QeloLogTextW";
  EXPECT_EQ(Log(), std::vector<std::string>{kBegin});

  libraries.calls.clear();
  life.CloseDown();
  EXPECT_EQ(libraries.calls, (Calls{"DeInitializePlayer", "DeInitializeCodecs 2", "EffectDestroy",
                                    "DeInitializeProfile", "DeInitializeConvertor", "DeInitializeLog"}));
  EXPECT_EQ(Log(), (std::vector<std::string>{kBegin, kEnd}));
}

// What the store's check found goes to the log right after the begin line;
// a store that cannot be used is not asked about acceleration (its answer
// would be "off" and the information window would stop start-up).
TEST_F(StartupTest, TheRegistryStoresProblemsAreLoggedAndAnUnusableStoreIsNotAsked) {
  const std::string kept = "The registry store /c/registry.dat is damaged; it is kept as /c/registry.dat.damaged, "
                           "and a new store is started.";
  const std::string folder = "The registry store /c/registry.dat cannot be read or written (it is a folder).";
  struct Case {
    reg::StoreCheck store;
    bool asked;
    std::vector<std::string> log;
  } cases[] = {
      {{true, {kept}}, true, {kBegin, "Warning: " + kept}},
      {{false, {folder}},
       false,
       {kBegin, "Warning: " + folder,
        "Warning: Hardware acceleration is taken as switched on: its switches live in the registry store."}},
  };
  for (const Case& c : cases) {
    test::TempDir folderOfLog;
    RecordedLibraries libraries;
    libraries.store = c.store;
    ProgramLife life(libraries.Table());
    ASSERT_TRUE(life.StartUp(folderOfLog.path() + "/"));
    const bool asked = std::find(libraries.calls.begin(), libraries.calls.end(), "CheckDirectXUsed") !=
                       libraries.calls.end();
    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(test::LogTexts(folderOfLog.path()), c.log);
    life.CloseDown();
  }
}

TEST_F(StartupTest, AFailingLibraryLogsOneErrorAndUndoesExactlyTheStepsBeforeIt) {
  struct Case {
    const char* failing;
    const char* line;
    Calls afterFailure;
  } cases[] = {
      {"InitializeCodecs", "Error: Failed to Initialize Codecs.", {"DeInitializeLog"}},
      {"InitializePlayer", "Error: Failed to Initialize Player.", {"DeInitializeCodecs 2", "DeInitializeLog"}},
      {"InitializeProfile", "Error: Failed to Initialize default profile.",
       {"DeInitializeCodecs 2", "DeInitializePlayer", "DeInitializeLog"}},
      {"InitializeConvertor", "Error: Failed to Initialize video converter.",
       {"DeInitializeCodecs 2", "DeInitializePlayer", "DeInitializeProfile", "DeInitializeLog"}},
  };
  for (const Case& c : cases) {
    test::TempDir folder;
    RecordedLibraries libraries(c.failing);
    ProgramLife life(libraries.Table());
    EXPECT_FALSE(life.StartUp(folder.path())) << c.failing;
    // Everything up to the failing call, then its undo sequence and nothing else.
    Calls after;
    bool failed = false;
    for (const std::string& call : libraries.calls) {
      if (failed) after.push_back(call);
      failed = failed || call == c.failing;
    }
    EXPECT_TRUE(failed) << c.failing;
    EXPECT_EQ(after, c.afterFailure) << c.failing;
    EXPECT_EQ(test::LogTexts(folder.path()), (std::vector<std::string>{kBegin, c.line})) << c.failing;
  }
}

TEST(StartupLines, BeginAndEndLinesNameTheProgramAndItsVersion) {
  EXPECT_EQ("Info: " + BeginLine(), kBegin);
  EXPECT_EQ("Info: " + EndLine(), kEnd);
  EXPECT_EQ(BeginLine().find("Begin"), 27u);
  EXPECT_EQ(BeginLine().size() - BeginLine().rfind("1.1") - 3, 24u);
}

// The program's framework knows the folder dialog, so a form of the program
// can place one and run it: OK hands back the folder chosen.
TEST(ProgramFramework, PlacesAndRunsTheFolderDialog) {
  InitializeProgramFramework();
  qelo::test::TempDir home;
  std::filesystem::create_directories(home.File("Output"));
  vcl::TForm host(nullptr);
  vcl::ReadComponentText(host,
                         "object Host: TForm\n"
                         "  object fdOutputPath: TCtSelectFolderDialog\n"
                         "    Title = ' Select Output Path'\n"
                         "  end\n"
                         "end\n",
                         "host.form");
  auto& dialog = vcl::script::Find<ct::TCtSelectFolderDialog>(host, "fdOutputPath");
  dialog.BaseFolder()->SetPathName(home.path());
  vcl::script::ModalScript modal;
  ct::script::AnswerSelectFolder(modal, home.File("Output"));
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.SelectedPathName(), home.File("Output"));
}

// ---- the DirectX check, on the probe and the stand-ins it reads ----------------

// What a DirectX information window showed before its OK button ended it.
struct Shown {
  int kind = -1;
  bool linkVisible = false;
  std::string text;
  int result = -1;
};

class DirectXCheckTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("QELO_HEADLESS", "1", 0);
    InitializeProgramFramework();
  }
  void SetUp() override {
    setenv("QELO_REGISTRY_DIR", dir.File("config").c_str(), 1);
    unsetenv("QELO_DXDIAG_CONFIG");
  }
  void TearDown() override {
    unsetenv("QELO_REGISTRY_DIR");
    unsetenv("QELO_DXDIAG_CONFIG");
  }
  void InstalledVersion(const std::string& major, const std::string& minor, const std::string& letter) {
    std::ofstream(dir.File("dxdiag.conf")) << "property dwDirectXVersionMajor u32 " << major
                                           << "\nproperty dwDirectXVersionMinor u32 " << minor
                                           << "\nproperty szDirectXVersionLetter string " << letter << "\n";
    setenv("QELO_DXDIAG_CONFIG", dir.File("dxdiag.conf").c_str(), 1);
  }
  void Acceleration(uint32_t softwareOnly, uint32_t emulationOnly) {
    std::filesystem::create_directories(dir.File("config"));
    std::ofstream(dir.File("config/registry.dat"))
        << "qelo-registry 1\nkey :HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Direct3D\\Drivers\ndword :SoftwareOnly "
        << softwareOnly << "\nkey :HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\DirectDraw\ndword :EmulationOnly "
        << emulationOnly << "\nend\n";
  }
  // A store that cannot be written: its folder is a file.
  void ReadOnlyStore() {
    std::ofstream(dir.File("plain")) << "x";
    setenv("QELO_REGISTRY_DIR", dir.File("plain/config").c_str(), 1);
  }
  // Runs the check; the windows it showed, each answered by its OK button
  // (clicked, or the Enter key).
  std::vector<Shown> Check(const std::string& screenshot = "", bool pressEnter = false) {
    std::vector<Shown> shown;
    vcl::script::ModalScript script;
    script.Answer([&](vcl::TCustomForm& form) {
      auto& window = dynamic_cast<TfrmChkDirectX&>(form);
      Shown s;
      s.kind = window.Kind();
      s.linkVisible = window.lblLink->Visible();
      s.text = window.lblText->Caption();
      if (!screenshot.empty()) {
        vcl::script::Pump();  // painted
        std::filesystem::create_directories(QELO_SCREENSHOT_DIR);
        EXPECT_TRUE(win::SaveWindowScreenshot(form.Handle(), std::string(QELO_SCREENSHOT_DIR) + "/" + screenshot));
      }
      if (pressEnter) vcl::script::PressKey(win::VK_RETURN);
      else vcl::script::Click(*window.CtButton1);
      s.result = window.ModalResult();
      shown.push_back(s);
    });
    EXPECT_TRUE(CheckDirectX(RealLibraries()));
    EXPECT_EQ(script.Unanswered(), 0);
    return shown;
  }
  test::TempDir dir;
};

TEST_F(DirectXCheckTest, AnOldVersionShowsTheWindowWithTheDownloadLink) {
  InstalledVersion("8", "1", "a");
  Acceleration(0, 0);
  const std::vector<Shown> shown = Check("chk-directx-old-version.png");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, TfrmChkDirectX::kOldVersion);
  EXPECT_TRUE(shown[0].linkVisible);
  EXPECT_EQ(shown[0].text,
            "The version of DirectX installed on your system is under 9.0c. To drive \rhigh-speed performance on "
            "your pc, we suggest you install the latest \rversion from Microsoft's official website as below:");
  EXPECT_EQ(shown[0].result, vcl::mrOk);
}

TEST_F(DirectXCheckTest, AccelerationThatCannotBeSwitchedOnShowsTheStepsWithoutTheLink) {
  ReadOnlyStore();
  const std::vector<Shown> shown = Check("chk-directx-acceleration-off.png");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, TfrmChkDirectX::kAccelerationOff);
  EXPECT_FALSE(shown[0].linkVisible);
  EXPECT_EQ(shown[0].text.rfind("Your DirectDraw Acceleration can't be enabled, please enable \rit by", 0), 0u);
  EXPECT_NE(shown[0].text.find("\r\rStep1. Click on Start > Run > then type DxDiag and click OK.\rStep2."),
            std::string::npos);
  EXPECT_NE(shown[0].text.find("Step3. Click Exit and restart Clipshift"), std::string::npos);
  EXPECT_EQ(shown[0].result, vcl::mrOk);
}

TEST_F(DirectXCheckTest, NoWindowWhenAccelerationIsOnOrCanBeSwitchedOn) {
  Acceleration(0, 0);
  EXPECT_TRUE(Check().empty());
  // Off, or never written: start-up switches it on, quietly.
  for (auto [software, emulation] : {std::pair{1u, 0u}, std::pair{0u, 1u}}) {
    Acceleration(software, emulation);
    EXPECT_TRUE(Check().empty());
    EXPECT_EQ(QeloCheckDirectXUsed(), 1);
  }
  std::filesystem::remove_all(dir.File("config"));
  EXPECT_TRUE(Check().empty());
  EXPECT_EQ(QeloCheckDirectXUsed(), 1);
}

TEST_F(DirectXCheckTest, AnOldVersionIsToldOnceEvenWhenAccelerationIsOffToo) {
  InstalledVersion("7", "0", "-");
  ReadOnlyStore();
  const std::vector<Shown> shown = Check("", true);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, TfrmChkDirectX::kOldVersion);
  EXPECT_EQ(shown[0].result, vcl::mrOk) << "OK is the default button";
}

}  // namespace
}  // namespace qelo::app
