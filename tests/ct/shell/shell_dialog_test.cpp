// The folder selection form and dialog: paths shortened to fit, runs
// answered by a script (OK hands back the chosen folder, Cancel keeps the
// old one), the placement kept between runs and in its stream, the first
// look of a fresh dialog, the tool buttons (hidden, enabled by the
// selection, making and deleting folders), the guard against a second
// run and the smallest size.
#include <gtest/gtest.h>

#include <filesystem>

#include "ct_shell_dialogs.h"
#include "ct_shell_dialogs_script.h"
#include "shell/volumes.h"
#include "shell_tree_fixture.h"
#include "vcl/form_reader.h"
#include "vcl/controls/scripting.h"

namespace qelo::ct::test {
namespace {

using namespace vcl;
namespace vscript = vcl::script;
using qelo::test::Exists;
using qelo::test::MakeDir;

// ---- shortening paths ----------------------------------------------------------------

class MinimizePath : public vcl::test::FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    canvas.SetHandle(screen.dc());
  }
  void TearDown() override {
    canvas.SetHandle(nullptr);
    FormTest::TearDown();
  }
  win::DCScope screen{nullptr, win::DCScope::Area::kClient};
  TCanvas canvas;
};

// Each stage is what comes out when exactly it fits.
TEST_F(MinimizePath, ShortensStepByStepAndStopsAtTheFirstThatFits) {
  const std::vector<std::vector<std::string>> cases = {
      {"C:/Videos/Clips/clip.mp4", "C:/.../Clips/clip.mp4", "C:/.../clip.mp4", ".../clip.mp4", "clip.mp4"},
      {"C:\\Videos\\Clips\\clip.mp4", "C:\\...\\Clips\\clip.mp4", "C:\\...\\clip.mp4", "...\\clip.mp4", "clip.mp4"},
      {"/home/ann/Videos/clip.mp4", "/.../ann/Videos/clip.mp4", "/.../Videos/clip.mp4", "/.../clip.mp4",
       ".../clip.mp4", "clip.mp4"},
  };
  for (const auto& stages : cases) {
    for (const std::string& stage : stages)
      EXPECT_EQ(MinimizePathText(stages.front(), canvas, canvas.TextWidth(stage)), stage) << stage;
    EXPECT_EQ(MinimizePathText(stages.front(), canvas, 0), "clip.mp4") << "the name is never cut";
  }
  EXPECT_EQ(MinimizePathText("", canvas, 0), "");
}

// ---- the dialog ----------------------------------------------------------------------

TCtSelectFolderDialogOptions Plus(TCtSelectFolderDialogOptions options, TCtSelectFolderDialogOption option) {
  return options.Include(option);
}

class SelectFolderDialogTest : public ShellTreeFixture {
 protected:
  void SetUp() override {
    ShellTreeFixture::SetUp();
    RegisterCtShellDialogClasses();
    dialog = new TCtSelectFolderDialog(form);
    dialog->BaseFolder()->SetPathName(base);
    dialog->SetOptions(Plus(kDefaultSelectFolderDialogOptions, sfdoCreateDeleteButtons));
  }

  TCtSelectFolderDialog* dialog = nullptr;
  vscript::ModalScript modal;
};

TEST_F(SelectFolderDialogTest, OkHandsBackTheChosenFolderAndCancelKeepsTheOldOne) {
  MakeDir(Path("first"));
  MakeDir(Path("second"));
  dialog->SetSelectedPathName(Path("first"));
  std::string opened;
  script::AnswerSelectFolder(modal, [&](TCtSelectFolderForm& f) {
    opened = f.ShellTree->SelectedPathName();
    f.btnOk->Click();
  });
  EXPECT_TRUE(dialog->Execute());
  EXPECT_EQ(opened, Path("first")) << "the tree opens at the folder set before";
  EXPECT_EQ(dialog->SelectedPathName(), Path("first"));

  script::AnswerSelectFolder(modal, Path("second"));
  EXPECT_TRUE(dialog->Execute());
  EXPECT_EQ(dialog->SelectedPathName(), Path("second"));

  script::AnswerSelectFolder(modal, Path("first"), mrCancel);
  EXPECT_FALSE(dialog->Execute());
  EXPECT_EQ(dialog->SelectedPathName(), Path("second"));

  script::AnswerSelectFolder(modal, Path("missing"));
  EXPECT_FALSE(dialog->Execute()) << "a folder that cannot be chosen is no answer";
  EXPECT_EQ(dialog->SelectedPathName(), Path("second"));
  EXPECT_EQ(dialog->Form(), nullptr);
  EXPECT_EQ(modal.Unanswered(), 0);
}

TEST_F(SelectFolderDialogTest, AFreshDialogIsCentredAtTheFormsSizeAndTitledBrowseForFolder) {
  std::string caption, status;
  TRect bounds;
  script::AnswerSelectFolder(modal, [&](TCtSelectFolderForm& f) {
    caption = f.Caption();
    bounds = f.BoundsRect();
    status = f.CtStatusBar1->SimpleCaption();
    f.btnCancel->Click();
  });
  EXPECT_FALSE(dialog->Execute());
  EXPECT_EQ(caption, "Browse for Folder");
  const TRect area = Screen()->WorkAreaRect();
  EXPECT_EQ(bounds.left, area.left + (RectWidth(area) - RectWidth(bounds)) / 2);
  EXPECT_EQ(bounds.top, area.top + (RectHeight(area) - RectHeight(bounds)) / 2);
  EXPECT_EQ(dialog->FormWidth(), RectWidth(bounds)) << "the placement is read back after Cancel too";
  EXPECT_EQ(status, base) << "the selected root's path, short enough to show whole";

  dialog->SetTitle(" Select Output Path");
  script::AnswerSelectFolder(modal, [&](TCtSelectFolderForm& f) {
    caption = f.Caption();
    f.btnCancel->Click();
  });
  dialog->Execute();
  EXPECT_EQ(caption, " Select Output Path");
}

TEST_F(SelectFolderDialogTest, ThePlacementTheUserLeavesIsTheNextRunsAlsoAfterCancel) {
  MakeDir(Path("kept"));
  dialog->SetFormPosition(poDesigned);
  script::AnswerSelectFolder(modal, [&](TCtSelectFolderForm& f) {
    f.SetBounds(40, 30, 420, 390);
    f.btnCancel->Click();
  });
  EXPECT_FALSE(dialog->Execute());
  EXPECT_EQ(dialog->FormLeft(), 40);
  EXPECT_EQ(dialog->FormTop(), 30);
  EXPECT_EQ(dialog->FormWidth(), 420);
  EXPECT_EQ(dialog->FormHeight(), 390);
  TRect reopened;
  int treeBottomGap = 0;
  script::AnswerSelectFolder(modal, [&](TCtSelectFolderForm& f) {
    reopened = f.BoundsRect();
    treeBottomGap = f.ButtonPanel->Top() - (f.ShellTree->Top() + f.ShellTree->Height());
    f.SetBounds(10, 10, 100, 100);  // below the smallest size
    f.btnOk->Click();
  });
  EXPECT_TRUE(dialog->Execute());
  EXPECT_EQ(std::vector<int>({reopened.left, reopened.top, reopened.right, reopened.bottom}),
            std::vector<int>({40, 30, 460, 420}));
  EXPECT_EQ(treeBottomGap, 4) << "the tree follows the form's size";
  EXPECT_EQ(dialog->FormWidth(), TCtSelectFolderForm::kMinTrackWidth);
  EXPECT_EQ(dialog->FormHeight(), TCtSelectFolderForm::kMinTrackHeight);
}

TEST_F(SelectFolderDialogTest, ThePlacementStreamReadsBackWhatWasWrittenAndRefusesShortData) {
  dialog->SetFormLeft(12);
  dialog->SetFormTop(-3);
  dialog->SetFormWidth(500);
  dialog->SetFormHeight(401);
  dialog->SetFormWindowState(wsMaximized);
  dialog->SetFormPosition(poDesigned);
  std::vector<uint8_t> stream;
  dialog->WriteFormData(stream);
  ASSERT_EQ(stream.size(), TCtShellDialog::kFormDataSize);
  TCtSelectFolderDialog other(nullptr);
  ASSERT_TRUE(other.ReadFormData(stream));
  EXPECT_EQ(other.FormLeft(), 12);
  EXPECT_EQ(other.FormTop(), -3);
  EXPECT_EQ(other.FormWidth(), 500);
  EXPECT_EQ(other.FormHeight(), 401);
  EXPECT_EQ(other.FormWindowState(), wsMaximized);
  EXPECT_EQ(other.FormPosition(), poDesigned);

  TCtSelectFolderDialog fresh(nullptr);
  std::vector<uint8_t> shortStream(stream.begin(), stream.end() - 1);
  EXPECT_FALSE(fresh.ReadFormData(shortStream));
  std::vector<uint8_t> badState = stream;
  badState[16] = 7;
  EXPECT_FALSE(fresh.ReadFormData(badState));
  EXPECT_EQ(fresh.FormWidth(), -1) << "nothing is taken from damaged data";
  EXPECT_EQ(fresh.FormPosition(), poScreenCenter);
}

TEST_F(SelectFolderDialogTest, ASecondRunWhileOneIsUnderWayIsRefused) {
  std::string refusal;
  script::AnswerSelectFolder(modal, [&](TCtSelectFolderForm& f) {
    try {
      dialog->Execute();
    } catch (const vcl::Exception& e) {
      refusal = e.what();
    }
    f.btnCancel->Click();
  });
  EXPECT_FALSE(dialog->Execute());
  EXPECT_EQ(refusal, "TCtSelectFolderDialog already executing");
  EXPECT_FALSE(dialog->Executing());
}

TEST_F(SelectFolderDialogTest, WithoutCreateAndDeleteButtonsTheTreeStartsAtTheTop) {
  dialog->SetOptions(kDefaultSelectFolderDialogOptions);
  bool buttonsShown = true;
  int treeTop = 0;
  script::AnswerSelectFolder(modal, [&](TCtSelectFolderForm& f) {
    buttonsShown = f.btnNewFolder->Visible() || f.btnDeleteFolder->Visible();
    treeTop = f.ShellTree->Top();
    f.btnCancel->Click();
  });
  dialog->Execute();
  EXPECT_FALSE(buttonsShown);
  EXPECT_EQ(treeTop, 8);
}

TEST_F(SelectFolderDialogTest, TheToolButtonsFollowTheSelectionAndMakeAndDeleteFolders) {
  MakeDir(Path("victim"));
  struct Look {
    bool create, remove;
  };
  std::vector<Look> looks;
  bool editing = false;
  script::AnswerSelectFolder(modal, [&](TCtSelectFolderForm& f) {
    auto look = [&] { looks.push_back({f.btnNewFolder->Enabled(), f.btnDeleteFolder->Enabled()}); };
    look();  // the tree's first node, a folder of its own
    vscript::Focus(*f.ShellTree);
    f.btnNewFolder->Click();
    editing = f.ShellTree->IsEditing();
    vscript::PressKey(win::VK_RETURN);
    TCtShellLocator victim;
    victim.SetPathName(Path("victim"));
    f.ShellTree->SetSelectedFolder(&victim);
    look();
    modal.Answer(mrYes);  // the question before the Trash
    f.btnDeleteFolder->Click();
    f.btnOk->Click();
  });
  EXPECT_TRUE(dialog->Execute());
  ASSERT_EQ(looks.size(), 2u);
  EXPECT_TRUE(looks[0].create);
  EXPECT_FALSE(looks[0].remove);
  EXPECT_TRUE(looks[1].create);
  EXPECT_TRUE(looks[1].remove);
  EXPECT_TRUE(editing) << "the new folder's name is edited at once";
  EXPECT_TRUE(Exists(Path("New Folder")));
  EXPECT_FALSE(Exists(Path("victim")));
  EXPECT_TRUE(Exists(TrashedPath("victim")));
  EXPECT_EQ(dialog->SelectedPathName(), base) << "the selection moved up from the folder that went";
  EXPECT_EQ(modal.Unanswered(), 0);
}

TEST_F(SelectFolderDialogTest, AVirtualFolderTakesNeitherButtonAndShowsNoPath) {
  dialog->BaseFolder()->SetIdList(nullptr);  // the desktop
  dialog->SetOptions(Plus(dialog->Options(), sfdoVirtualFolders));
  bool create = true, remove = true;
  std::string status = "?";
  script::AnswerSelectFolder(modal, [&](TCtSelectFolderForm& f) {
    TTreeNode* computer = nullptr;
    for (TTreeNode* n = f.ShellTree->Items()->GetFirstNode(); n; n = n->GetNext())
      if (f.ShellTree->TreeData(n) && f.ShellTree->TreeData(n)->PathName().empty() && n->Parent()) computer = n;
    ASSERT_NE(computer, nullptr);
    f.ShellTree->SetSelected(computer);
    create = f.btnNewFolder->Enabled();
    remove = f.btnDeleteFolder->Enabled();
    status = f.CtStatusBar1->SimpleCaption();
    f.btnCancel->Click();
  });
  dialog->Execute();
  EXPECT_FALSE(create);
  EXPECT_FALSE(remove);
  EXPECT_EQ(status, "");
}

TEST_F(SelectFolderDialogTest, AFormFilePlacesTheDialogWithItsPlacement) {
  std::vector<uint8_t> stream;
  TCtSelectFolderDialog written(nullptr);
  written.SetFormWidth(400);
  written.SetFormPosition(poMainFormCenter);
  written.WriteFormData(stream);
  std::string bytes;
  for (uint8_t b : stream) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", b);
    bytes += hex;
  }
  TForm* host = new TForm(form);
  ReadComponentText(*host,
                    "object Host: TForm\n"
                    "  object fdOutputPath: TCtSelectFolderDialog\n"
                    "    Title = ' Select Output Path'\n"
                    "    Options = [sfdoCreateDeleteButtons, sfdoCreateFolderIcon, sfdoDeleteFolderIcon, sfdoShowHidden]\n"
                    "    FormData = {" + bytes + "}\n"
                    "  end\n"
                    "end\n",
                    "host.form");
  auto& placed = vscript::Find<TCtSelectFolderDialog>(*host, "fdOutputPath");
  EXPECT_EQ(placed.Title(), " Select Output Path");
  EXPECT_EQ(placed.FormWidth(), 400);
  EXPECT_EQ(placed.FormPosition(), poMainFormCenter);
  EXPECT_TRUE(placed.Options().Contains(sfdoCreateDeleteButtons));
  EXPECT_FALSE(placed.Options().Contains(sfdoContextMenus));
  EXPECT_THROW(ReadComponentText(*new TForm(form),
                                 "object Host2: TForm\n"
                                 "  object fdBroken: TCtSelectFolderDialog\n"
                                 "    FormData = {0102}\n"
                                 "  end\n"
                                 "end\n",
                                 "host2.form"),
               EReadError);
}

}  // namespace
}  // namespace qelo::ct::test
