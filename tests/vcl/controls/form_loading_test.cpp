// A form read from its form file: the tree of controls, their layout and
// the bindings of their events.
#include "controls_fixture.h"
#include "vcl/form_reader.h"

namespace qelo::res {
extern const ResourceTable kVclControlsTestResources;
}

namespace qelo::vcl::test {
namespace {

class TfrmControlsSample : public TForm {
  QELO_VCL_CLASS()
 public:
  explicit TfrmControlsSample(TComponent* owner) : TForm(owner) {
    ReadComponentResource(*this, res::kVclControlsTestResources);
  }
  void FormCreate(TObject*) { ++creates; }
  void btnOkClick(TObject*) { ++okClicks; }

  TPanel* pnlTop = nullptr;
  TPanel* pnlClient = nullptr;
  TPanel* pnlInner = nullptr;
  TLabel* lblTitle = nullptr;
  TImage* imgLogo = nullptr;
  TButton* btnOk = nullptr;
  int creates = 0;
  int okClicks = 0;
};

const ClassInfo& TfrmControlsSample::StaticClass() {
  static const ClassInfo info = ClassBuilder<TfrmControlsSample>("TfrmControlsSample", TForm::StaticClass())
                                    .Field("pnlTop", &TfrmControlsSample::pnlTop)
                                    .Field("pnlClient", &TfrmControlsSample::pnlClient)
                                    .Field("pnlInner", &TfrmControlsSample::pnlInner)
                                    .Field("lblTitle", &TfrmControlsSample::lblTitle)
                                    .Field("imgLogo", &TfrmControlsSample::imgLogo)
                                    .Field("btnOk", &TfrmControlsSample::btnOk)
                                    .Method("FormCreate", &TfrmControlsSample::FormCreate)
                                    .Method("btnOkClick", &TfrmControlsSample::btnOkClick)
                                    .Done();
  return info;
}

class FormLoadingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application()->Initialize();
    RegisterPictureResources(res::kVclControlsTestResources);
  }
  void TearDown() override { UnregisterPictureResources(res::kVclControlsTestResources); }
};

TEST_F(FormLoadingTest, NestedControlsLandInTheirParentsWithTheirLayout) {
  auto* f = new TfrmControlsSample(nullptr);
  ASSERT_NE(f->btnOk, nullptr);
  EXPECT_EQ(f->pnlTop->Parent(), f);
  EXPECT_EQ(f->lblTitle->Parent(), f->pnlTop);
  EXPECT_EQ(f->imgLogo->Parent(), f->pnlTop);
  EXPECT_EQ(f->pnlInner->Parent(), f->pnlClient);
  EXPECT_EQ(f->btnOk->Parent(), f->pnlInner);
  EXPECT_EQ(f->creates, 1) << "OnCreate runs once the file is read";

  // Aligned in the client size the file gives, before any window exists.
  EXPECT_EQ(f->pnlTop->BoundsRect().right, 300);
  EXPECT_EQ(f->pnlClient->Top(), 40);
  EXPECT_EQ(f->pnlClient->Height(), 160);

  // Colours and fonts that follow their parents, once everything is read.
  EXPECT_EQ(f->pnlInner->Color(), clWhite);
  EXPECT_EQ(f->lblTitle->Font()->Color(), clNavy);
  EXPECT_EQ(f->btnOk->Font()->Name(), "Tahoma");

  // The image is the named resource, and the control took its size.
  ASSERT_NE(f->imgLogo->Picture()->Graphic(), nullptr);
  EXPECT_EQ(f->imgLogo->Width(), 12);
  EXPECT_EQ(f->imgLogo->Height(), 8);

  // The client size holds once the window is made.
  f->Show();
  script::Pump();
  EXPECT_EQ(f->ClientWidth(), 300);
  EXPECT_EQ(f->ClientHeight(), 200);
  f->Free();
}

TEST_F(FormLoadingTest, EventsBoundByNameRunTheFormsMethods) {
  auto* f = new TfrmControlsSample(nullptr);
  script::ModalScript modal;
  modal.Answer([](TCustomForm& form) { script::Click(script::Find<TButton>(form, "btnOk")); });
  EXPECT_EQ(f->ShowModal(), mrOk);
  EXPECT_EQ(f->okClicks, 1);
  EXPECT_EQ(modal.Unanswered(), 0);
  f->Free();
}

}  // namespace
}  // namespace qelo::vcl::test
