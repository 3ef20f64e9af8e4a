// The custom controls read from a form file by their class names, with
// their published properties and events.
#include "controls_fixture.h"
#include "qelo_com_bobox.h"
#include "qelo_png_button.h"
#include "qelo_track_bar.h"
#include "vcl/form_reader.h"

namespace qelo::controls::test {
namespace {

class TfrmCustomControls : public vcl::TForm {
  QELO_VCL_CLASS()
 public:
  explicit TfrmCustomControls(vcl::TComponent* owner) : TForm(owner) {}
  void tbPlayerTrackChange(vcl::TObject*, int64_t value) { lastPosition = value; }
  void btnProfileClick(vcl::TObject*) { ++profileClicks; }

  TQeloTrackBar* tbPlayer = nullptr;
  TQeloPngButton* btnProfile = nullptr;
  TQeloComBobox* cbProfiles = nullptr;
  int64_t lastPosition = -1;
  int profileClicks = 0;
};

const vcl::ClassInfo& TfrmCustomControls::StaticClass() {
  using T = TfrmCustomControls;
  static const vcl::ClassInfo info = vcl::ClassBuilder<T>("TfrmCustomControls", vcl::TForm::StaticClass())
                                         .Field("tbPlayer", &T::tbPlayer)
                                         .Field("btnProfile", &T::btnProfile)
                                         .Field("cbProfiles", &T::cbProfiles)
                                         .Method("tbPlayerTrackChange", &T::tbPlayerTrackChange)
                                         .Method("btnProfileClick", &T::btnProfileClick)
                                         .Done();
  return info;
}

constexpr const char* kForm = R"(object frmCustomControls: TfrmCustomControls
  BorderStyle = bsNone
  ClientWidth = 600
  ClientHeight = 300
  object tbPlayer: TQeloTrackBar
    Left = 10
    Top = 20
    Width = 352
    Height = 24
    SpaceTrack = 5
    SpaceBG = 10
    Max = 95000
    CutVisible = False
    ColorBG = clWhite
    OnTrackChange = tbPlayerTrackChange
  end
  object btnProfile: TQeloPngButton
    Left = 10
    Top = 60
    Caption = 'MP4 Video'
    TextX = 30
    TextY = 9
    ButtonSize = bszneither
    Stretch = True
    OnClick = btnProfileClick
  end
  object cbProfiles: TQeloComBobox
    TypeWidth = 220
    Pen.Width = 2
  end
end
)";

class CustomControlsFormTest : public ControlTest {};

TEST_F(CustomControlsFormTest, AFormFileMakesEachControlWithItsPropertiesAndHandlers) {
  auto* f = new TfrmCustomControls(nullptr);
  vcl::ReadComponentText(*f, kForm, "custom_controls.form");
  ASSERT_NE(f->tbPlayer, nullptr);
  ASSERT_NE(f->btnProfile, nullptr);
  ASSERT_NE(f->cbProfiles, nullptr);
  EXPECT_EQ(f->tbPlayer->Parent(), f);
  EXPECT_EQ(f->tbPlayer->Max(), 95000);
  EXPECT_FALSE(f->tbPlayer->CutVisible());
  EXPECT_EQ(f->tbPlayer->SpaceTrack(), 5);
  EXPECT_EQ(f->tbPlayer->ColorBG(), vcl::clWhite);
  EXPECT_EQ(f->btnProfile->Caption(), "MP4 Video");
  EXPECT_EQ(f->btnProfile->ButtonSize(), bszneither);
  EXPECT_TRUE(f->btnProfile->Stretch());
  EXPECT_EQ(f->cbProfiles->TypeWidth(), 220);
  EXPECT_EQ(f->cbProfiles->Pen()->Width(), 2);
  EXPECT_FALSE(f->cbProfiles->Visible());

  f->tbPlayer->SetPosition(12345);
  EXPECT_EQ(f->lastPosition, 12345);
  f->Show();
  Pump();
  Press(*f->btnProfile, 5, 5);
  Release(*f->btnProfile, 5, 5);
  EXPECT_EQ(f->profileClicks, 1);
  f->Free();
}

}  // namespace
}  // namespace qelo::controls::test
