// The open dialog: answered by a script, driven through its real form with
// pointer and keys over a small temporary folder, its options, its start
// folder and filter index, cancelling, and reading it from a form file.
#include <filesystem>
#include <fstream>

#include "../controls/controls_fixture.h"
#include "common/temp_dir.h"
#include "vcl/dialogs/dialogs.h"
#include "vcl/dialogs/open_dialog_form.h"
#include "vcl/form_reader.h"
#include "win/controls/combobox.h"
#include "win/controls/edit.h"
#include "win/controls/listbox.h"
#include "win/window/display.h"

namespace qelo::vcl::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTwoFilters = "All File(*.*)|*.*|MPEG-4 File(*.mp4)|*.mp4";

// dir: Album/, sub/d.mp4, a.mp4, b.MP4, c.avi, notes.txt, .hidden.mp4
class OpenDialogTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    fs::create_directory(Path("Album"));
    fs::create_directory(Path("sub"));
    for (const char* name : {"sub/d.mp4", "a.mp4", "b.MP4", "c.avi", "notes.txt", ".hidden.mp4"})
      std::ofstream(Path(name)) << "x";
  }
  std::string Path(const std::string& name) const { return dir.File(name); }

  qelo::test::TempDir dir;
  script::ModalScript modal;
};

std::vector<std::string> Rows(TNativeField& list) {
  std::vector<std::string> rows;
  const auto count = static_cast<int>(list.Send(win::LB_GETCOUNT));
  for (int i = 0; i < count; ++i) {
    std::string text(static_cast<size_t>(list.Send(win::LB_GETTEXTLEN, static_cast<WPARAM>(i))), '\0');
    list.Send(win::LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    rows.push_back(text);
  }
  return rows;
}

// Clicks (or double-clicks) the row of that text, Ctrl held when asked.
void ClickRow(TNativeField& list, const std::string& row, int clicks, bool ctrl = false) {
  const std::vector<std::string> rows = Rows(list);
  const auto at = std::find(rows.begin(), rows.end(), row);
  ASSERT_NE(at, rows.end()) << row;
  win::RECT r{};
  list.Send(win::LB_GETITEMRECT, static_cast<WPARAM>(at - rows.begin()), reinterpret_cast<LPARAM>(&r));
  const TPoint p = list.ClientToScreen(Point((r.left + r.right) / 2, (r.top + r.bottom) / 2));
  if (ctrl) win::InjectKey(win::VK_CONTROL, true);
  win::InjectMouseMove(win::POINT{p.x, p.y});
  for (int i = 0; i < clicks; ++i) {
    win::InjectMouseButton(win::MouseButton::Left, true, win::POINT{p.x, p.y});
    win::InjectMouseButton(win::MouseButton::Left, false, win::POINT{p.x, p.y});
  }
  if (ctrl) win::InjectKey(win::VK_CONTROL, false);
  script::Pump();
}

// Kept as a CI artefact, not compared.
std::string ScreenshotPath(const std::string& name) {
  fs::create_directories(QELO_SCREENSHOT_DIR);
  return std::string(QELO_SCREENSHOT_DIR) + "/" + name;
}

TNativeField& Field(TCustomForm& form, const char* name) { return script::Find<TNativeField>(form, name); }

TEST_F(OpenDialogTest, ScriptedAnswerGivesSeveralFilesAndTheFilterIndex) {
  TOpenDialog dialog(nullptr);
  dialog.SetFilter(kTwoFilters);
  dialog.SetInitialDir(dir.path());
  dialog.SetOptions(TOpenOptions{ofAllowMultiSelect, ofFileMustExist});
  script::AnswerOpenDialog(modal, {"b.MP4", "sub/d.mp4", Path("c.avi")}, 2);
  ASSERT_TRUE(dialog.Execute());
  const std::vector<std::string> expected = {Path("b.MP4"), Path("sub/d.mp4"), Path("c.avi")};
  std::vector<std::string> files;
  for (int i = 0; i < dialog.Files()->Count(); ++i) files.push_back(dialog.Files()->Get(i));
  EXPECT_EQ(files, expected);
  EXPECT_EQ(dialog.FileName(), Path("b.MP4"));
  EXPECT_EQ(dialog.FilterIndex(), 2);
  ASSERT_EQ(modal.Seen().size(), 1u);
  EXPECT_EQ(modal.Seen()[0], "dlgOpen");
}

TEST_F(OpenDialogTest, RealFormListsFoldersFirstFiltersAndTakesTheClickedFiles) {
  TOpenDialog dialog(nullptr);
  dialog.SetFilter(kTwoFilters);
  dialog.SetInitialDir(dir.path());
  dialog.SetTitle("Add video files");
  dialog.SetOptions(TOpenOptions{ofAllowMultiSelect, ofFileMustExist});
  std::vector<std::string> all, mp4, inSub;
  std::string typed, caption;
  bool screenshotSaved = false;
  modal.Answer([&](TCustomForm& form) {
    caption = form.Caption();
    TNativeField& list = Field(form, "lstFiles");
    all = Rows(list);
    script::Focus(Field(form, "cbxFilter"));
    script::PressKey(win::VK_DOWN);  // the second pair
    mp4 = Rows(list);
    ClickRow(list, "a.mp4", 1);
    screenshotSaved = win::SaveWindowScreenshot(form.Handle(), ScreenshotPath("open-dialog.png")) != 0;
    ClickRow(list, "sub/", 2);
    inSub = Rows(list);
    ClickRow(list, "..", 2);
    ClickRow(list, "a.mp4", 1);
    ClickRow(list, "b.MP4", 1, true);
    typed = Field(form, "edtFileName").WindowText();
    script::Click(script::Find<TButton>(form, "btnOpen"));
  });
  ASSERT_TRUE(dialog.Execute());
  EXPECT_TRUE(screenshotSaved);
  EXPECT_EQ(caption, "Add video files");
  EXPECT_EQ(all, (std::vector<std::string>{"..", "Album/", "sub/", "a.mp4", "b.MP4", "c.avi", "notes.txt"}));
  EXPECT_EQ(mp4, (std::vector<std::string>{"..", "Album/", "sub/", "a.mp4", "b.MP4"}));
  EXPECT_EQ(inSub, (std::vector<std::string>{"..", "d.mp4"}));
  EXPECT_EQ(typed, "\"a.mp4\" \"b.MP4\"");
  ASSERT_EQ(dialog.Files()->Count(), 2);
  EXPECT_EQ(dialog.Files()->Get(0), Path("a.mp4"));
  EXPECT_EQ(dialog.Files()->Get(1), Path("b.MP4"));
  EXPECT_EQ(dialog.FilterIndex(), 2);
}

TEST_F(OpenDialogTest, TypedFolderIsEnteredAndTypedNamesGetTheDefaultExtension) {
  TOpenDialog dialog(nullptr);
  dialog.SetFilter(kTwoFilters);
  dialog.SetInitialDir(dir.path());
  dialog.SetDefaultExt(".mp4");
  dialog.SetOptions(TOpenOptions{ofFileMustExist});
  fs::path folderAfterTyping;
  modal.Answer([&](TCustomForm& form) {
    script::Focus(Field(form, "edtFileName"));
    script::TypeText("sub");
    script::PressKey(win::VK_RETURN);  // Open, the default button: enters sub
    folderAfterTyping = dynamic_cast<TOpenDialogForm&>(form).Folder();
    script::TypeText("d");
    script::PressKey(win::VK_RETURN);
  });
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(folderAfterTyping, fs::path(Path("sub")));
  EXPECT_EQ(dialog.FileName(), Path("sub/d.mp4"));
}

TEST_F(OpenDialogTest, OptionsDecideWhichNamesAreRefused) {
  struct Case {
    TOpenOptions options;
    std::vector<std::string> names;
    std::string expected;  // the first file taken, or empty when refused
  } cases[] = {
      {{ofFileMustExist}, {"missing.mp4"}, ""},
      {{}, {"missing.mp4"}, "missing.mp4"},
      {{ofPathMustExist}, {"nofolder/x.mp4"}, ""},
      {{}, {"nofolder/x.mp4"}, "nofolder/x.mp4"},
      {{ofFileMustExist}, {"sub"}, ""},
      {{ofFileMustExist, ofAllowMultiSelect}, {"a.mp4", "missing.mp4"}, ""},
      {{ofFileMustExist}, {"sub/../c.avi"}, "c.avi"},
  };
  for (const Case& c : cases) {
    TOpenDialog dialog(nullptr);
    dialog.SetInitialDir(dir.path());
    dialog.SetOptions(c.options);
    script::AnswerOpenDialog(modal, c.names);
    if (c.expected.empty()) modal.Answer(mrOk);  // the refusal's message box
    const bool taken = dialog.Execute();
    EXPECT_EQ(taken, !c.expected.empty()) << c.names[0];
    if (taken) {
      EXPECT_EQ(dialog.FileName(), Path(c.expected));
    }
    EXPECT_EQ(modal.Pending(), 0) << c.names[0];
  }
  EXPECT_EQ(modal.Unanswered(), 0);
  EXPECT_NE(modal.Seen().at(1).find("missing.mp4\nFile not found."), std::string::npos) << modal.Seen().at(1);
}

TEST_F(OpenDialogTest, CancelReturnsFalseAndKeepsTheLastChoice) {
  TOpenDialog dialog(nullptr);
  dialog.SetFilter(kTwoFilters);
  dialog.SetInitialDir(dir.path());
  script::AnswerOpenDialog(modal, {"a.mp4"}, 2);
  ASSERT_TRUE(dialog.Execute());
  modal.Answer(mrCancel);
  modal.Answer([](TCustomForm& form) {
    dynamic_cast<TOpenDialogForm&>(form).SelectFilter(1);
    script::Focus(Field(form, "edtFileName"));
    script::TypeText("c.avi");
    script::PressKey(win::VK_ESCAPE);
  });
  for (int run = 0; run < 2; ++run) {
    EXPECT_FALSE(dialog.Execute()) << run;
    EXPECT_EQ(dialog.FileName(), Path("a.mp4")) << run;
    EXPECT_EQ(dialog.FilterIndex(), 2) << run;
    ASSERT_EQ(dialog.Files()->Count(), 1) << run;
  }
}

// The name of the last run is shown selected with the focus in its field,
// so a name the user types replaces it instead of going in front of it.
TEST_F(OpenDialogTest, TheNameShownIsSelectedSoATypedNameReplacesIt) {
  TOpenDialog dialog(nullptr);
  dialog.SetInitialDir(dir.path());
  dialog.SetOptions(TOpenOptions{ofFileMustExist});
  script::AnswerOpenDialog(modal, {"a.mp4"});
  ASSERT_TRUE(dialog.Execute());
  std::string shown, typed;
  win::DWORD start = 99, end = 0;
  modal.Answer([&](TCustomForm& form) {
    TNativeField& field = Field(form, "edtFileName");
    shown = field.WindowText();
    field.Send(win::EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    script::TypeText(Path("c.avi"));
    typed = field.WindowText();
    // A name typed in front of the old one would be refused with a box.
    if (typed == Path("c.avi")) script::PressKey(win::VK_RETURN);
    else form.SetModalResult(mrCancel);
  });
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(shown, "a.mp4");
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, shown.size());
  EXPECT_EQ(typed, Path("c.avi"));
  EXPECT_EQ(dialog.FileName(), Path("c.avi"));
}

TEST_F(OpenDialogTest, StartFolderFileNameAndFilterIndexFallBackSensibly) {
  struct Case {
    std::string initialDir;
    std::string fileName;
    int filterIndex;
    fs::path folder;
    std::string field;
    int shownFilter;  // 1-based
  } cases[] = {
      {Path("sub"), "", 2, Path("sub"), "", 2},
      {Path("none"), Path("sub/d.mp4"), 0, Path("sub"), "d.mp4", 1},
      {"", "clip.mp4", 3, fs::current_path(), "clip.mp4", 1},
  };
  for (const Case& c : cases) {
    TOpenDialog dialog(nullptr);
    dialog.SetFilter(kTwoFilters);
    dialog.SetInitialDir(c.initialDir);
    dialog.SetFileName(c.fileName);
    dialog.SetFilterIndex(c.filterIndex);
    fs::path folder;
    std::string field;
    int shown = 0;
    modal.Answer([&](TCustomForm& form) {
      folder = dynamic_cast<TOpenDialogForm&>(form).Folder();
      field = Field(form, "edtFileName").WindowText();
      shown = static_cast<int>(Field(form, "cbxFilter").Send(win::CB_GETCURSEL)) + 1;
      script::Click(script::Find<TButton>(form, "btnOpen"));  // takes the name in the field (or nothing)
      form.SetModalResult(mrCancel);
    });
    dialog.Execute();
    EXPECT_EQ(folder, c.folder) << c.initialDir;
    EXPECT_EQ(field, c.field) << c.initialDir;
    EXPECT_EQ(shown, c.shownFilter) << c.initialDir;
  }
}

TEST_F(OpenDialogTest, FormFileHoldsAnOpenDialog) {
  RegisterDialogClasses();
  TForm root(nullptr);
  ReadComponentText(root,
                    "object frmMain: TForm\n"
                    "  object odMediaFile: TOpenDialog\n"
                    "    Filter = 'All File(*.*)|*.*|MPEG-4 File(*.mp4)|*.mp4'\n"
                    "    FilterIndex = 2\n"
                    "    DefaultExt = 'mp4'\n"
                    "    Title = 'Add'\n"
                    "    Options = [ofHideReadOnly, ofAllowMultiSelect, ofFileMustExist, ofEnableSizing]\n"
                    "  end\n"
                    "end\n",
                    "main.form");
  auto& dialog = script::Find<TOpenDialog>(root, "odMediaFile");
  EXPECT_EQ(dialog.Filter(), kTwoFilters);
  EXPECT_EQ(dialog.FilterIndex(), 2);
  EXPECT_EQ(dialog.DefaultExt(), "mp4");
  EXPECT_EQ(dialog.Title(), "Add");
  EXPECT_EQ(dialog.Options(), (TOpenOptions{ofHideReadOnly, ofAllowMultiSelect, ofFileMustExist, ofEnableSizing}));
}

}  // namespace
}  // namespace qelo::vcl::test
