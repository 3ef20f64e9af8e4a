// A form file naming every standard control by its class: each is made,
// placed in its parent and given its properties, and the window shows them.
#include "stdctrls_fixture.h"
#include "vcl/controls/checkbox.h"
#include "vcl/controls/combobox.h"
#include "vcl/controls/edit.h"
#include "vcl/controls/listbox.h"
#include "vcl/controls/progressbar.h"
#include "vcl/controls/statusbar.h"
#include "vcl/form_reader.h"
#include "win/window/display.h"

#include <filesystem>

namespace qelo::vcl::test {
namespace {

constexpr const char* kSettingsForm = R"(object frmSettings: TfrmSettings
  BorderStyle = bsNone
  ClientWidth = 400
  ClientHeight = 300
  object gbVideo: TGroupBox
    Left = 8
    Top = 8
    Width = 200
    Height = 120
    Caption = 'Video'
    ParentBackground = False
    object cmbCodec: TComboBox
      Left = 8
      Top = 24
      Style = csDropDownList
      Items.Strings = (
        'MPEG-4'
        'H.264')
      ItemIndex = 1
      ItemHeight = 13
      AutoComplete = False
    end
    object edtName: TEdit
      Left = 8
      Top = 56
      MaxLength = 12
      PasswordChar = '*'
      Text = 'secret'
      OEMConvert = False
    end
    object medTime: TMaskEdit
      Left = 8
      Top = 84
      EditMask = ''
      Text = '00:10'
    end
  end
  object chkAutoShutdown: TCheckBox
    Left = 220
    Top = 8
    Caption = 'Shut Down when done'
    Checked = True
    OnClick = chkClick
  end
  object lstFiles: TListBox
    Left = 220
    Top = 40
    MultiSelect = True
    Sorted = True
    Items.Strings = (
      'b.avi'
      'a.avi')
  end
  object pbTotalProgress: TProgressBar
    Left = 8
    Top = 200
    Position = 150
    Max = 300
    Min = 100
    Smooth = True
  end
  object sbStatus: TStatusBar
    SimplePanel = True
    SimpleText = 'Ready'
  end
end
)";

class TfrmSettings : public TForm {
  QELO_VCL_CLASS()
 public:
  explicit TfrmSettings(TComponent* owner) : TForm(owner) { ReadComponentText(*this, kSettingsForm, "settings.form"); }
  void chkClick(TObject*) { ++clicks; }
  int clicks = 0;
};

const ClassInfo& TfrmSettings::StaticClass() {
  static const ClassInfo info = ClassBuilder<TfrmSettings>("TfrmSettings", TForm::StaticClass())
                                    .Method("chkClick", &TfrmSettings::chkClick)
                                    .Done();
  return info;
}

class StdFormFileTest : public ::testing::Test {
 protected:
  void SetUp() override { Application()->Initialize(); }
};

TEST_F(StdFormFileTest, EveryControlIsMadeByClassNameWithItsProperties) {
  auto* f = new TfrmSettings(nullptr);
  auto& group = script::Find<TGroupBox>(*f, "gbVideo");
  auto& combo = script::Find<TComboBox>(*f, "cmbCodec");
  auto& edit = script::Find<TEdit>(*f, "edtName");
  auto& masked = script::Find<TMaskEdit>(*f, "medTime");
  auto& check = script::Find<TCheckBox>(*f, "chkAutoShutdown");
  auto& list = script::Find<TListBox>(*f, "lstFiles");
  auto& progress = script::Find<TProgressBar>(*f, "pbTotalProgress");
  auto& status = script::Find<TStatusBar>(*f, "sbStatus");
  EXPECT_EQ(combo.Parent(), &group);
  EXPECT_EQ(edit.Parent(), &group);
  EXPECT_EQ(f->clicks, 0) << "reading Checked is no click";
  EXPECT_EQ(progress.Position(), 150) << "the range may follow the position in the file";

  f->Show();
  script::Pump();
  EXPECT_EQ(win::GetWindowText(combo.Handle()), "H.264");
  EXPECT_EQ(combo.ItemIndex(), 1);
  EXPECT_EQ(win::GetWindowText(edit.Handle()), "secret");
  EXPECT_EQ(edit.PasswordChar(), u'*');
  EXPECT_EQ(edit.MaxLength(), 12);
  EXPECT_EQ(masked.Text(), "00:10");
  EXPECT_TRUE(check.Checked());
  EXPECT_EQ(list.Items()->Text(), "a.avi\r\nb.avi\r\n");
  EXPECT_TRUE(list.MultiSelect());
  EXPECT_EQ(progress.Min(), 100);
  EXPECT_EQ(progress.Max(), 300);
  EXPECT_TRUE(status.SimplePanel());
  EXPECT_EQ(status.SimpleText(), "Ready");
  EXPECT_EQ(status.Top() + status.Height(), f->ClientHeight());
  // Kept for a person to look at.
  std::filesystem::create_directories(QELO_SCREENSHOT_DIR);
  EXPECT_TRUE(win::SaveWindowScreenshot(f->Handle(), QELO_SCREENSHOT_DIR "/standard-controls.png"));

  script::Click(check);
  EXPECT_EQ(f->clicks, 1) << "the handler named in the file runs";
  EXPECT_FALSE(check.Checked());
  f->Free();
}

TEST_F(StdFormFileTest, AnEmptyProgressRangeInAFileIsAnError) {
  auto* f = new TForm(nullptr);
  try {
    ReadComponentText(*f, "object frmBad: TForm\n  object pb: TProgressBar\n    Min = 10\n    Max = 5\n  end\nend\n",
                      "bad.form");
    ADD_FAILURE() << "the file was read";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("Min is above Max"), std::string::npos) << e.what();
  }
  f->Free();
}

}  // namespace
}  // namespace qelo::vcl::test
