// The main window driven as a user would, on the real libraries: the first
// start, adding files (a corrupt one among them), choosing a profile and a
// format through the drop-down, the settings dialog, the About box, and
// the settings file written at close and read again at the next start.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "about.h"
#include "advanced_setting.h"
#include "common/media_fixture.h"
#include "main_window_rows.h"
#include "main_window_settings.h"
#include "program_fixture.h"
#include "qelo/fileformat.h"
#include "shell/launch.h"
#include "vcl/controls/scripting.h"
#include "win/codepage.h"
#include "win/window/display.h"

namespace qelo::app::test {
namespace {

namespace fs = std::filesystem;
using namespace vcl;

// The catalogue's first profile and the MP4 format in it.
constexpr int kMp4Format = 6;
constexpr const char* kFirstFormat = "MPEG-2 Movie File(*.mpg)";
constexpr const char* kMp4FormatName = "MP4-MPEG4 Video File(*.mp4)";

void Screenshot(TWinControl& window, const std::string& name) {
  fs::create_directories(QELO_SCREENSHOT_DIR);
  EXPECT_TRUE(win::SaveWindowScreenshot(window.Handle(), std::string(QELO_SCREENSHOT_DIR) + "/" + name + ".png"));
}

class MainWindowTest : public ProgramTestBase {
 protected:
  std::string Outputs() const { return DocumentsFolder() + "/Clipshift/"; }
  // Opens the drop-down from the "Convert to" button and picks the format
  // of the first profile, with the mouse.
  static void ChooseFormat(TfrmVideoConvertor& window, int format) {
    script::Click(*window.btnProfile);
    controls::TQeloComBobox& menu = *window.ProfileMenu();
    ASSERT_TRUE(menu.Visible());
    MoveMouseTo(menu, Point(40, 15));  // the first group
    const TRect item = menu.GetAreaRect(format - menu.FirstItem(), controls::TQeloComBobox::akItemRow);
    ClickAt(menu, Point((item.left + item.right) / 2, (item.top + item.bottom) / 2));
    script::Pump();
  }
};

TEST_F(MainWindowTest, AFirstStartShowsTheDefaultsAndWritesThemOnlyWhenTheWindowGoes) {
  const std::string letter = DocumentsFolder() + "/letter.txt";
  std::ofstream(letter) << "the user's";
  const std::vector<std::string> defaults = {ProgramFolder(), "0", Outputs(), Outputs(), "0", Outputs() + "Temp/"};
  const int status = RunProgram([&](TfrmVideoConvertor& window) {
    EXPECT_FALSE(fs::exists(SettingsFile()));
    ASSERT_EQ(window.SettingsLines().Count(), kSettingsLineCount);
    for (int i = 0; i < kSettingsLineCount; ++i) EXPECT_EQ(window.SettingsLines().Get(i), defaults[i]) << i;
    EXPECT_EQ(window.btnProfile->Caption(), kFirstFormat);
    EXPECT_EQ(window.btnProfile->Tag(), 0);
    EXPECT_EQ(window.beOutpath->Caption(), Outputs());
    EXPECT_NE(window.PlayerIndex(), -1);
    EXPECT_FALSE(window.BtnStart->Enabled());
    EXPECT_FALSE(window.miClear->Enabled());
    EXPECT_FALSE(window.lvMediaFile->ShowColumnHeaders());
    EXPECT_EQ(window.ProfileMenu()->GroupCount(), QeloGetDefaultProfileCount());
    std::ofstream(Outputs() + "Temp/scratch.tmp") << "left by a run";
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(SettingsFileLines(), defaults);
  EXPECT_TRUE(fs::exists(letter)) << "the documents folder keeps its files";
  EXPECT_FALSE(fs::exists(Outputs() + "Temp/scratch.tmp")) << "the program's temporary folder is emptied";
  EXPECT_TRUE(fs::exists(Outputs() + "Temp/" + kTempFolderMark));
}

TEST_F(MainWindowTest, AddedClipsOfOneNameGetNumberedOutputsAndACorruptFileIsReported) {
  const std::string first = Clip("one", "clip.avi");
  const std::string broken = Corrupt("one", "broken.avi");
  const std::string second = Clip("two", "clip.avi");
  RunProgram([&](TfrmVideoConvertor& window) {
    const std::vector<std::string> boxes = AddFiles(window, {first, broken, second});
    EXPECT_EQ(boxes, std::vector<std::string>{"Clipshift: Failed to add video file.(" + broken + ")"});
    EXPECT_EQ(Texts(window, 0), (std::vector<std::string>{"clip.avi", "clip.avi"}));
    EXPECT_EQ(Texts(window, 1), (std::vector<std::string>{"00:00:01", "00:00:01"}));
    EXPECT_EQ(Texts(window, 3), (std::vector<std::string>{kFirstFormat, kFirstFormat}));
    EXPECT_EQ(Texts(window, 4), (std::vector<std::string>{"clip.mpg", "clip(1).mpg"}));
    ASSERT_EQ(window.Jobs().Count(), 2) << "the corrupt file's job is gone";
    EXPECT_EQ(window.Jobs().JobAt(1)->GetOutputName(), Outputs() + "clip(1).mpg");
    const uint32_t data = TfrmVideoConvertor::RowData(window.lvMediaFile->Items()->Item(1));
    EXPECT_EQ(RowKindOf(data), rkSingleJob);
    EXPECT_EQ(RowGroupId(data), window.Jobs().JobAt(1)->groupId);
    EXPECT_EQ(window.SettingsLines().Get(slOpenFolder), Folder("one") + "/");
    EXPECT_EQ(window.SettingsLines().Get(slFilterIndex), "1");
    EXPECT_TRUE(window.BtnStart->Enabled());
    EXPECT_TRUE(window.lvMediaFile->ShowColumnHeaders());
  });
}

// The list holds 128 jobs: the files beyond are reported, one box each.
TEST_F(MainWindowTest, FilesBeyondThe128thJobAreReported) {
  const std::string clip = Clip("in", "clip.avi");
  std::vector<std::string> files;
  for (int i = 0; i < 130; ++i) {
    files.push_back(Folder("many") + "/take " + std::to_string(i) + ".avi");
    fs::create_hard_link(clip, files.back());
  }
  RunProgram([&](TfrmVideoConvertor& window) {
    const std::vector<std::string> boxes = AddFiles(window, files);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Clipshift: Failed to add video file.(" + files[128] + ")",
                                               "Clipshift: Failed to add video file.(" + files[129] + ")"}));
    EXPECT_EQ(window.Jobs().Count(), 128);
    EXPECT_EQ(window.lvMediaFile->Items()->Count(), 128);
    EXPECT_EQ(Texts(window, 0).back(), "take 127.avi");
  });
}

TEST_F(MainWindowTest, AFormatChosenInTheDropDownGoesToTheSelectedJobs) {
  const std::string a = Clip("in", "a.avi");
  const std::string b = Clip("in", "b.avi");
  const std::string c = Clip("in", "c.avi");
  RunProgram([&](TfrmVideoConvertor& window) {
    AddFiles(window, {a, b, c});
    window.Jobs().JobAt(0)->done = 1;
    SelectRows(*window.lvMediaFile, {0, 2});
    ChooseFormat(window, kMp4Format);
    EXPECT_FALSE(window.ProfileMenu()->Visible());
    EXPECT_EQ(window.btnProfile->Caption(), kMp4FormatName);
    EXPECT_EQ(window.btnProfile->Tag(), kMp4Format);
    EXPECT_EQ(window.SettingsLines().Get(slProfileChoice), "6");
    EXPECT_EQ(Texts(window, 3), (std::vector<std::string>{kMp4FormatName, kFirstFormat, kMp4FormatName}));
    EXPECT_EQ(Texts(window, 4), (std::vector<std::string>{"a.mp4", "b.mpg", "c.mp4"}));
    TWorkGroupClass& job = *window.Jobs().JobAt(0);
    EXPECT_EQ(job.formatIndex, kMp4Format);
    EXPECT_EQ(job.GetOutputName(), Outputs() + "a.mp4");
    EXPECT_EQ(job.done, 0) << "a new choice is converted again";
    FormatSettings defaults{};
    QeloGetFileFormatDefault(0, kMp4Format, &defaults);
    EXPECT_EQ(job.GetFormatSettings().videoCodecId, defaults.videoCodecId);

    // The Output Format cell is hot under the mouse and opens the drop-down.
    TListItem& row = *window.lvMediaFile->Items()->Item(1);
    const TRect name = row.DisplayRect(drBounds);
    int cellX = 0;
    for (int i = 0; i < 3; ++i) cellX += window.lvMediaFile->Columns()->Items(i)->Width();
    MoveMouseTo(*window.lvMediaFile, Point(name.left + cellX + 20, (name.top + name.bottom) / 2));
    EXPECT_EQ(window.HotRow(), 1);
    Screenshot(window, "clipshift-main-window-hot-cell");
    ClickAt(*window.lvMediaFile, Point(name.left + cellX + 20, (name.top + name.bottom) / 2));
    EXPECT_TRUE(window.ProfileMenu()->Visible());
    script::PressKey(win::VK_ESCAPE);
    EXPECT_FALSE(window.ProfileMenu()->Visible());
    MoveMouseTo(*window.lvMediaFile, Point(name.left + 30, (name.top + name.bottom) / 2));
    EXPECT_EQ(window.HotRow(), -1);
  });
}

TEST_F(MainWindowTest, TheSettingsDialogChangesSizeAndBitRateOfTheJobsOfItsFormat) {
  const std::string a = Clip("in", "a.avi");
  const std::string b = Clip("in", "b.avi");
  const std::string c = Clip("in", "c.avi");
  RunProgram([&](TfrmVideoConvertor& window) {
    AddFiles(window, {a, b, c});
    SelectRows(*window.lvMediaFile, {2});
    ChooseFormat(window, kMp4Format);
    const FormatSettings mp4Before = window.Jobs().JobAt(2)->GetFormatSettings();
    const FileFormatDesc* desc = nullptr;
    QeloGetFileFormatDesEx(0, 0, &desc);
    ASSERT_NE(desc, nullptr);
    const VideoCodecDesc& codec = *desc->video.codecs.video[desc->video.def];
    ASSERT_GE(codec.resolution.count, 2);
    ASSERT_GE(codec.bitrate.count, 2);
    const int size = codec.resolution.def == 0 ? 1 : 0;
    const int rate = codec.bitrate.def == 0 ? 1 : 0;

    SelectRows(*window.lvMediaFile, {0, 1, 2});
    script::ModalScript modal;
    bool shown = false;
    modal.Answer([&](TCustomForm& form) {
      script::Pump();
      auto& dialog = dynamic_cast<TfrmSettings&>(form);
      shown = true;
      EXPECT_EQ(dialog.Caption(), "Setting");
      EXPECT_EQ(dialog.LabCaption->Caption(), "Settings");
      EXPECT_EQ(dialog.cmbResolution->Items()->Count(), codec.resolution.count);
      EXPECT_EQ(dialog.cmbResolution->ItemIndex(), codec.resolution.def) << "the job's own values";
      EXPECT_TRUE(dialog.gbAudio->Enabled());
      dialog.cmbResolution->SetItemIndex(size);
      dialog.cmbVideoBitrate->SetItemIndex(rate);
      script::Pump();
      Screenshot(dialog, "clipshift-settings-dialog");
      script::Click(*dialog.btnOK);
    });
    script::Click(*window.btnSettings);
    ASSERT_TRUE(shown);
    for (int i : {0, 1}) {
      const FormatSettings& s = window.Jobs().JobAt(i)->GetFormatSettings();
      EXPECT_EQ(s.width, codec.resolution.items[size]->value) << i;
      EXPECT_EQ(s.height, codec.resolution.items[size]->value2) << i;
      EXPECT_EQ(s.videoBitRate, codec.bitrate.items[rate]->value * 1000) << i;
      EXPECT_EQ(s.bitsPerSample, 16);
    }
    EXPECT_EQ(window.Jobs().JobAt(1)->GetOutputName(), Outputs() + "b.mpg") << "each keeps its own output";
    const FormatSettings& mp4 = window.Jobs().JobAt(2)->GetFormatSettings();
    EXPECT_EQ(mp4.formatId, mp4Before.formatId) << "a job of another format keeps its format and values";
    EXPECT_EQ(mp4.width, mp4Before.width);
    EXPECT_EQ(window.Jobs().JobAt(2)->GetOutputName(), Outputs() + "c.mp4");
  });
}

TEST_F(MainWindowTest, TheHelpMenuShowsTheAboutBox) {
  RunProgram([&](TfrmVideoConvertor& window) {
    script::PopupScript popups;
    popups.Choose("About1");
    script::ModalScript modal;
    std::string name;
    modal.Answer([&](TCustomForm& form) {
      script::Pump();
      auto& about = dynamic_cast<TfrmAbout&>(form);
      name = about.LabName->Caption();
      EXPECT_FALSE(about.GetSkinImage()->Empty());
      EXPECT_FALSE(about.HasMinButton());
      Screenshot(about, "clipshift-about");
      about.SetModalResult(mrOk);
    });
    script::Click(*window.btnHelpMenu);
    EXPECT_EQ(popups.Seen(), std::vector<std::string>{"MenuHelp: About1"});
    EXPECT_EQ(name, "Clipshift 2.0.0.0");
    EXPECT_EQ(window.About1->Caption(), "About Clipshift...");
  });
}

// The guide as the build puts it beside the program: FreeClipshift.html
// and its pictures in Help/.
void InstallGuide(const std::string& programFolder) {
  const fs::path guide = QELO_HELP_FILE;
  fs::create_symlink(guide, programFolder + "FreeClipshift.html");
  fs::create_directory_symlink(guide.parent_path() / "Help", programFolder + "Help");
}

// Help, the web site and the output folder go to the desktop's default
// handler; a help file that is not there opens nothing.
TEST_F(MainWindowTest, HelpTheWebSiteAndTheOutputFolderOpenWithTheDesktopsHandler) {
  std::vector<std::string> opened;
  shell::SetLaunchRecorderForTesting([&](const std::string& uri) {
    opened.push_back(uri);
    return true;
  });
  struct RealLaunchesAfter {
    ~RealLaunchesAfter() { shell::SetLaunchRecorderForTesting({}); }
  } restore;
  RunProgram([&](TfrmVideoConvertor& window) {
    auto choose = [&](const char* item) {
      script::PopupScript popups;
      popups.Choose(item);
      script::Click(*window.btnHelpMenu);
    };
    choose("miHelp");
    EXPECT_TRUE(opened.empty()) << "no help file";
    InstallGuide(ProgramFolder());
    choose("miHelp");
    choose("ServiceSupport1");
    script::Click(*window.BtnOpenPath);
  });
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_EQ(opened[0], shell::TargetToUri(ProgramFolder() + "FreeClipshift.html"));
  EXPECT_EQ(opened[1].rfind("https://", 0), 0u) << opened[1];
  EXPECT_EQ(opened[2], shell::TargetToUri(Outputs()));
}

// The guide covers the main window, the settings dialog, the edit window
// and the folder dialog; every picture it shows is beside it and every
// link inside it has its target.
TEST(HelpGuide, ItsPicturesAndLinksAreAllThere) {
  const fs::path guide = QELO_HELP_FILE;
  std::ifstream in(guide);
  const std::string html((std::istreambuf_iterator<char>(in)), {});
  ASSERT_FALSE(html.empty()) << guide;
  for (const char* section : {"id=\"main-window\"", "id=\"settings\"", "id=\"edit-window\"", "id=\"folder-dialog\""})
    EXPECT_NE(html.find(section), std::string::npos) << section;
  const auto attributes = [&](const std::string& name) {
    std::vector<std::string> values;
    for (size_t at = html.find(name + "=\""); at != std::string::npos; at = html.find(name + "=\"", at + 1)) {
      const size_t start = at + name.size() + 2;
      values.push_back(html.substr(start, html.find('"', start) - start));
    }
    return values;
  };
  const std::vector<std::string> pictures = attributes("src");
  EXPECT_GE(pictures.size(), 4u);
  for (const std::string& picture : pictures) {
    const fs::path file = guide.parent_path() / picture;
    EXPECT_TRUE(fs::is_regular_file(file)) << picture;
    std::ifstream png(file, std::ios::binary);
    char signature[8] = {};
    png.read(signature, sizeof signature);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG") << picture;
  }
  for (const std::string& link : attributes("href")) {
    ASSERT_EQ(link.front(), '#') << link;
    EXPECT_NE(html.find("id=\"" + link.substr(1) + "\""), std::string::npos) << link;
  }
}

TEST_F(MainWindowTest, ARestartRestoresTheChoiceAndTheOutputFolder) {
  const std::string clip = Clip("in", "clip.avi");
  const std::string folder = Folder("converted/Видео");
  RunProgram([&](TfrmVideoConvertor& window) {
    AddFiles(window, {clip});
    ChooseFormat(window, kMp4Format);
    window.ChooseFolder = [&](std::string& chosen) {
      EXPECT_EQ(chosen, Outputs()) << "the dialog starts at the output folder";
      chosen = folder;
      return true;
    };
    script::Click(*window.beOutpath);
    EXPECT_EQ(window.beOutpath->Caption(), folder);
    EXPECT_EQ(Texts(window, 4), std::vector<std::string>{"clip.mpg"}) << "the row was not selected: its format stays";
    EXPECT_EQ(window.Jobs().JobAt(0)->GetOutputName(), folder + "/clip.mpg");
  });
  const auto lines = SettingsFileLines();
  ASSERT_TRUE(lines.has_value());
  ASSERT_EQ(lines->size(), 6u);
  EXPECT_EQ((*lines)[slOutputFolder], folder);
  EXPECT_EQ((*lines)[slProfileChoice], "6");
  EXPECT_EQ((*lines)[slOpenFolder], Folder("in") + "/");

  RunProgram([&](TfrmVideoConvertor& window) {
    EXPECT_EQ(window.btnProfile->Caption(), kMp4FormatName);
    EXPECT_EQ(window.btnProfile->Tag(), kMp4Format);
    EXPECT_EQ(window.beOutpath->Caption(), folder);
    AddFiles(window, {clip});
    EXPECT_EQ(Texts(window, 4), std::vector<std::string>{"clip.mp4"});
    EXPECT_EQ(window.Jobs().JobAt(0)->GetOutputName(), folder + "/clip.mp4");
  });
}

// Outputs are named afresh in a new folder: a numbered name whose plain
// name is free there loses its number; done marks stay.
TEST_F(MainWindowTest, ANewOutputFolderNamesTheOutputsAfresh) {
  const std::string clip = Clip("in", "clip.avi");
  const std::string folder = Folder("elsewhere");
  RunProgram([&](TfrmVideoConvertor& window) {
    AddFiles(window, {clip, clip, clip});
    EXPECT_EQ(Texts(window, 4), (std::vector<std::string>{"clip.mpg", "clip(1).mpg", "clip(2).mpg"}));
    SelectRows(*window.lvMediaFile, {0});
    window.miDeleteClick(nullptr);
    window.Jobs().JobAt(1)->done = 1;
    window.ChooseFolder = [&](std::string& chosen) {
      chosen = folder;
      return true;
    };
    script::Click(*window.beOutpath);
    EXPECT_EQ(Texts(window, 4), (std::vector<std::string>{"clip.mpg", "clip(1).mpg"}));
    EXPECT_EQ(window.Jobs().JobAt(0)->GetOutputName(), folder + "/clip.mpg");
    EXPECT_EQ(window.Jobs().JobAt(1)->done, 1);
    EXPECT_EQ(window.SettingsLines().Get(slOutputFolder), folder);
    // A cancelled dialog changes nothing.
    window.ChooseFolder = [&](std::string& chosen) {
      chosen = "/somewhere/else";
      return false;
    };
    script::Click(*window.beOutpath);
    EXPECT_EQ(window.beOutpath->Caption(), folder);
  });
}

TEST_F(MainWindowTest, AChoiceTheCatalogueDoesNotHoldFallsBackToItsFirstFormat) {
  for (const char* choice : {"999", "6553600", "-1"}) {
    std::ofstream(SettingsFile(), std::ios::binary)
        << ProgramFolder() << "\r\n0\r\n" << Outputs() << "\r\n" << Outputs() << "\r\n" << choice << "\r\n/nowhere/\r\n";
    RunProgram([&](TfrmVideoConvertor& window) {
      EXPECT_EQ(window.btnProfile->Tag(), 0) << choice;
      EXPECT_EQ(window.btnProfile->Caption(), kFirstFormat) << choice;
      EXPECT_EQ(window.SettingsLines().Get(slProfileChoice), "0");
    });
  }
}

TEST_F(MainWindowTest, TheWindowWithFilesListedAsAUserSeesIt) {
  const std::string a = Clip("in", "holiday at the lake.avi");
  const std::string b = Clip("in", "birthday.avi");
  const std::string c = Clip("in", "interview.avi");
  const std::string d = Clip("in", "concert.avi");
  RunProgram([&](TfrmVideoConvertor& window) {
    AddFiles(window, {a, b, c, d});
    SelectRows(*window.lvMediaFile, {1, 2});
    script::Click(*window.BtnMerge);
    window.Jobs().JobAt(0)->checked = 0;
    SelectRows(*window.lvMediaFile, {4});
    window.lvMediaFile->Invalidate();
    script::Pump();
    Screenshot(window, "clipshift-main-window-files");
  });
}

}  // namespace
}  // namespace qelo::app::test
