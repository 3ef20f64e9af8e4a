// The edit window and merging reached from the real program's commands: each
// edit command opens the window at its page for the selected row's file, OK
// shows the trim in the row's "Output Length", Cancel leaves the job, and
// the merge commands make one job whose header says when formats differed.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/media_fixture.h"
#include "edit_window.h"
#include "merge_jobs.h"
#include "main_window_rows.h"
#include "program_fixture.h"
#include "vcl/controls/scripting.h"

namespace qelo::app::test {
namespace {

using namespace vcl;
using Rows = std::vector<std::string>;

constexpr int64_t kSecond = QELO_TIME_UNITS_PER_SECOND;

class EditCommandsTest : public ProgramTestBase {
 protected:
  // The next modal run must be the edit window: it records the page and the
  // file it opened at, runs `actions`, then presses OK or Cancel.
  void AnswerEditWindow(script::ModalScript& modal, bool confirm,
                        const std::function<void(TfrmEditVideo&)>& actions = {}) {
    modal.Answer([this, confirm, actions](TCustomForm& form) {
      auto* edit = dynamic_cast<TfrmEditVideo*>(&form);
      ASSERT_NE(edit, nullptr) << form.Name() << " opened instead of the edit window";
      opened_.push_back(edit->Page());
      openedSource_ = edit->Edited().sourceDuration;
      if (actions) actions(*edit);
      script::Click(confirm ? static_cast<TControl&>(*edit->btnOK) : *edit->btnCancel);
    });
  }
  static TWorkGroupClass& JobOfRow(TfrmVideoConvertor& window, int row) {
    return *window.Jobs().JobById(RowGroupId(TfrmVideoConvertor::RowData(window.lvMediaFile->Items()->Item(row))));
  }
  static void TypeInto(ct::TCtEdit& field, const std::string& text) {
    script::Focus(field);
    field.SetText("");
    script::TypeText(text);
    script::PressKey(win::VK_RETURN);
  }

  std::vector<TEditPage> opened_;
  int64_t openedSource_ = 0;
};

// Every edit command of the window, its menus and the list opens the edit
// window at the page it names; Cancel leaves the job as it was.
TEST_F(EditCommandsTest, EachEditCommandOpensItsPageAndCancelKeepsTheJob) {
  const std::string clip = Clip("in", "a.avi");
  RunProgram([&](TfrmVideoConvertor& window) {
    AddFiles(window, {clip});
    ASSERT_EQ(window.lvMediaFile->Items()->Count(), 1);
    const SourceEntry before = *JobOfRow(window, 0).EntryAt(0);
    const auto fromEditMenu = [&](const char* item) {
      return [&window, item] {
        script::PopupScript popups;
        popups.Choose(item);
        script::Click(*window.btnEditMenu);
      };
    };
    const auto fromListMenu = [&window] {
      script::PopupScript popups;
      popups.Choose("ppmEdit");
      ClickAt(*window.lvMediaFile, RowPoint(*window.lvMediaFile->Items()->Item(0), 60), true);
      script::Pump();
    };
    struct Command {
      const char* name;
      std::function<void()> run;
      TEditPage page;
    } const commands[] = {
        {"btnEdit", [&] { script::Click(*window.btnEdit); }, epCrop},
        {"miCrop", fromEditMenu("miCrop"), epCrop},
        {"miEffect", fromEditMenu("miEffect"), epEffect},
        {"miWatermark", fromEditMenu("miWatermark"), epWatermark},
        {"miClip", fromEditMenu("miClip"), epTrim},
        {"ppmEdit", fromListMenu, epCrop},
        {"double click",
         [&] {
           const TPoint row = RowPoint(*window.lvMediaFile->Items()->Item(0), 60);
           ClickAt(*window.lvMediaFile, row);
           ClickAt(*window.lvMediaFile, row);
         },
         epCrop},
    };
    for (const Command& command : commands) {
      SelectRows(*window.lvMediaFile, {0});
      opened_.clear();
      script::ModalScript modal;
      AnswerEditWindow(modal, false, [](TfrmEditVideo& edit) {
        edit.ShowPage(epTrim);
        TypeInto(*edit.edTrimEnd, "0.5");
      });
      command.run();
      EXPECT_EQ(opened_, std::vector<TEditPage>{command.page}) << command.name;
      EXPECT_EQ(modal.Unanswered(), 0) << command.name;
      const SourceEntry& after = *JobOfRow(window, 0).EntryAt(0);
      EXPECT_EQ(after.trimEnd, before.trimEnd) << command.name;
      EXPECT_EQ(after.trimEnabled, before.trimEnabled) << command.name;
    }
    EXPECT_EQ(Texts(window, 2), Texts(window, 1)) << "the output is as long as the source";
  });
}

// OK with a trim: the job's entry holds it and the rows' "Output Length"
// follows, on a merged job's file row and its header alike; the job is to
// be converted again.
TEST_F(EditCommandsTest, OkWritesTheTrimAndTheRowsShowTheOutputLength) {
  const std::string longClip = qelo::test::MakeVideoAudio(Folder("in"), "long.avi", 4.0, 160, 120, 10);
  ASSERT_FALSE(longClip.empty());
  const std::string shortClip = Clip("in", "short.avi");
  RunProgram([&](TfrmVideoConvertor& window) {
    AddFiles(window, {longClip});
    SelectRows(*window.lvMediaFile, {0});
    JobOfRow(window, 0).done = 1;
    {
      script::ModalScript modal;
      AnswerEditWindow(modal, true, [&](TfrmEditVideo& edit) {
        TypeInto(*edit.edTrimStart, "1.0");
        TypeInto(*edit.edTrimEnd, "3.0");
      });
      window.miClipClick(nullptr);
      ASSERT_EQ(opened_, std::vector<TEditPage>{epTrim});
    }
    const SourceEntry& entry = *JobOfRow(window, 0).EntryAt(0);
    EXPECT_TRUE(entry.trimEnabled);
    EXPECT_EQ(entry.trimStart, 1 * kSecond);
    EXPECT_EQ(entry.trimEnd, 3 * kSecond);
    EXPECT_EQ(Texts(window, 2), Rows{SecondsToTimeText(2)});
    EXPECT_EQ(JobOfRow(window, 0).done, 0) << "an edited job is converted again";

    // Merged behind a one-second clip: the long file's row is edited.
    AddFiles(window, {shortClip});
    SelectRows(*window.lvMediaFile, {1, 0});
    script::Click(*window.BtnMerge);
    ASSERT_EQ(Texts(window, 0), (Rows{"Merge Workgroup", "long.avi", "short.avi"}));
    EXPECT_EQ(Texts(window, 2), (Rows{SecondsToTimeText(3), SecondsToTimeText(2), SecondsToTimeText(1)}));
    SelectRows(*window.lvMediaFile, {1});
    {
      script::ModalScript modal;
      AnswerEditWindow(modal, true, [&](TfrmEditVideo& edit) {
        edit.ShowPage(epTrim);
        TypeInto(*edit.edTrimStart, "0.0");
      });
      window.lvMediaFileDblClick(nullptr);
    }
    EXPECT_EQ(openedSource_, JobOfRow(window, 0).EntryAt(0)->sourceDuration) << "the long file was edited";
    EXPECT_EQ(Texts(window, 2), (Rows{SecondsToTimeText(4), SecondsToTimeText(3), SecondsToTimeText(1)}));
  });
}

// Jobs of different formats merge into the first's, and the header's
// "Output Format" cell says so.
TEST_F(EditCommandsTest, MergingJobsOfDifferentFormatsTakesTheFirstsAndSaysSo) {
  constexpr int kMp4 = 6;
  const std::vector<std::string> clips{Clip("in", "a.avi"), Clip("in", "b.avi"), Clip("in", "c.avi")};
  RunProgram([&](TfrmVideoConvertor& window) {
    AddFiles(window, clips);
    const std::string first = Texts(window, 3)[0];
    SelectRows(*window.lvMediaFile, {2});
    window.OnProfileSelected(nullptr, "MP4", 0, kMp4);
    script::Pump();
    ASSERT_NE(Texts(window, 3)[2], first);
    SelectRows(*window.lvMediaFile, {0, 2});
    script::Click(*window.BtnMerge);
    ASSERT_EQ(Texts(window, 0), (Rows{"Merge Workgroup", "a.avi", "c.avi", "b.avi"}));
    EXPECT_EQ(Texts(window, 3)[0], MergedFormatText(first, true));
    EXPECT_EQ(JobOfRow(window, 0).formatIndex, 0) << "the first's format";
    // A merged job takes no more files.
    SelectRows(*window.lvMediaFile, {0, 3});
    window.ppmMergeClick(nullptr);
    EXPECT_EQ(Texts(window, 0), (Rows{"Merge Workgroup", "a.avi", "c.avi", "b.avi"}));
  });
}

}  // namespace
}  // namespace qelo::app::test
