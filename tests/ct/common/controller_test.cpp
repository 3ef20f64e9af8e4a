// The frame controller: what it pushes to whom and when, its colour rule,
// its updates, the clients that take its settings themselves, and either
// order of freeing a controller and its controls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls_fixture.h"
#include "ct_common_color.h"
#include "frame_probes.h"
#include "vcl/form_reader.h"

namespace qelo::ct {
namespace {

using test::TFramedProbe;
using test::TPushProbe;
using test::TStyledClientProbe;
using Journal = std::vector<std::string>;

TEST(FrameController, RegisteringPushesEverythingTheControlPublishesInOrder) {
  TCtFrameController controller(nullptr);
  controller.SetColor(vcl::clInfoBk);
  controller.SetFrameColor(vcl::clRed);
  TPushProbe probe(nullptr);
  controller.AddControl(&probe);
  EXPECT_EQ(probe.journal, (Journal{"Color=clInfoBk", "FrameColor=clRed", "FrameHotTrack=0", "FrameSides=15",
                                    "FrameStyle=fsFlat"}));
  probe.journal.clear();
  controller.AddControl(&probe);  // no second registration
  EXPECT_EQ(controller.ControlCount(), 1);
  controller.RemoveControl(&probe);
  EXPECT_EQ(controller.ControlCount(), 0);
}

TEST(FrameController, ASetterPushesOnlyItsOwnPropertyUnderEachControlsMask) {
  TCtFrameController controller(nullptr);
  TPushProbe all(nullptr), noStyle(nullptr);
  noStyle.SetFrameControllerNotifications(TCtFrameControllerNotifications(kAllFrameControllerNotifications).Exclude(fcpFrameStyle));
  noStyle.SetFrameStyle(fsRaised);
  controller.AddControl(&all);
  controller.AddControl(&noStyle);
  all.journal.clear();
  noStyle.journal.clear();

  controller.SetFrameStyle(fsLowered);
  controller.SetFrameStyle(fsLowered);  // unchanged: nothing
  controller.SetFrameColor(vcl::clBlue);
  EXPECT_EQ(all.journal, (Journal{"FrameStyle=fsLowered", "FrameColor=clBlue"}));
  EXPECT_EQ(noStyle.journal, (Journal{"FrameColor=clBlue"}));
  EXPECT_EQ(noStyle.FrameStyle(), fsRaised);
}

TEST(FrameController, AValueAControlCannotTakeAndAPropertyItLacksAreSkipped) {
  TCtFrameController controller(nullptr);
  TPushProbe probe(nullptr);
  controller.AddControl(&probe);
  probe.journal.clear();
  controller.SetFrameStyle(fsFlatRounded);  // beyond the probe's styles
  controller.SetFocusColor(vcl::clRed);     // the probe has no FocusColor
  controller.SetFlatButtons(false);
  EXPECT_TRUE(probe.journal.empty());
  EXPECT_EQ(probe.FrameStyle(), fsFlat);
}

TEST(FrameController, NestedUpdatesPushEverythingOnceAtTheOutermostEnd) {
  TCtFrameController controller(nullptr);
  TFramedProbe probe(nullptr);
  probe.SetFrameController(&controller);
  probe.frameColorSets = 0;

  controller.BeginUpdate();
  controller.BeginUpdate();
  controller.SetFrameColor(vcl::clRed);
  controller.SetFrameStyle(fsLowered);
  controller.EndUpdate();
  EXPECT_EQ(probe.frameColorSets, 0);
  EXPECT_EQ(probe.FrameStyle(), fsFlat);
  controller.SetFrameColor(vcl::clBlue);
  controller.EndUpdate();
  EXPECT_EQ(probe.frameColorSets, 1);
  EXPECT_EQ(probe.FrameColor(), vcl::clBlue);
  EXPECT_EQ(probe.FrameStyle(), fsLowered);
  controller.EndUpdate();  // one too many: nothing
  EXPECT_EQ(probe.frameColorSets, 1);
}

TEST(FrameController, FocusColorFollowsColorOnlyWhenTheyWereEqual) {
  TCtFrameController controller(nullptr);
  TPushProbe probe(nullptr);
  controller.SetParentColor(true);
  controller.AddControl(&probe);
  probe.journal.clear();

  controller.SetColor(vcl::clInfoBk);  // FocusColor equalled Color (clWindow)
  EXPECT_EQ(controller.FocusColor(), vcl::clInfoBk);
  EXPECT_FALSE(controller.ParentColor());
  EXPECT_EQ(probe.journal, (Journal{"Color=clInfoBk"}));

  controller.SetFocusColor(vcl::clYellow);
  controller.SetColor(vcl::clWhite);
  EXPECT_EQ(controller.FocusColor(), vcl::clYellow);
}

TEST(FrameController, ParentColorPushesItselfAndTheColourWhenItEnds) {
  TCtFrameController controller(nullptr);
  controller.SetColor(vcl::clInfoBk);
  TFramedProbe probe(nullptr);
  probe.SetFrameController(&controller);
  EXPECT_EQ(probe.NormalColor(), vcl::clInfoBk);

  controller.SetParentColor(true);
  EXPECT_TRUE(probe.ParentColor());
  probe.SetParentColor(false);
  probe.SetNormalColor(vcl::clLime);
  controller.SetParentColor(false);
  EXPECT_FALSE(probe.ParentColor());
  EXPECT_EQ(probe.NormalColor(), vcl::clInfoBk);

  // With ParentColor on, pushing everything leaves the control's colour alone.
  controller.SetParentColor(true);
  probe.SetNormalColor(vcl::clLime);
  probe.SetParentColor(false);
  controller.BeginUpdate();
  controller.EndUpdate();
  EXPECT_TRUE(probe.ParentColor());
  EXPECT_EQ(probe.NormalColor(), vcl::clLime);
}

TEST(FrameController, HotTrackingShowsTheFrameOnAllSidesAndPushesTheSides) {
  TCtFrameController controller(nullptr);
  controller.SetFrameSides({sdTop});
  TPushProbe sidesOnly(nullptr);
  sidesOnly.SetFrameControllerNotifications(TCtFrameControllerNotifications{fcpFrameSides, fcpFrameVisible});
  controller.AddControl(&sidesOnly);
  EXPECT_EQ(sidesOnly.FrameSides(), TSides{sdTop});

  controller.SetFrameHotTrack(true);
  EXPECT_TRUE(controller.FrameVisible());
  EXPECT_EQ(controller.FrameSides(), kAllSides);
  EXPECT_EQ(sidesOnly.FrameSides(), kAllSides);
  EXPECT_FALSE(sidesOnly.FrameHotTrack());  // not in its mask

  controller.SetFrameHotTrack(false);
  EXPECT_TRUE(controller.FrameVisible());
  EXPECT_EQ(controller.FrameSides(), kAllSides);
}

TEST(FrameController, AssignCopiesTheSettingsInOneUpdate) {
  TCtFrameController source(nullptr), target(nullptr);
  source.SetFrameColor(vcl::clRed);
  source.SetFrameStyle(fsRaised);
  source.SetFrameHotTrack(true);
  source.SetReadOnlyColorOnFocus(true);
  source.SetFramingPreference(fpCustomFraming);
  TFramedProbe probe(nullptr);
  probe.SetFrameController(&target);
  probe.frameColorSets = 0;

  target.Assign(&source);
  EXPECT_EQ(target.FrameColor(), vcl::clRed);
  EXPECT_EQ(target.FrameStyle(), fsRaised);
  EXPECT_TRUE(target.FrameHotTrack());
  EXPECT_TRUE(target.FrameVisible());
  EXPECT_TRUE(target.ReadOnlyColorOnFocus());
  EXPECT_EQ(target.FramingPreference(), fpCustomFraming);
  EXPECT_EQ(probe.frameColorSets, 1);
  EXPECT_TRUE(probe.FrameHotTrack());
  EXPECT_EQ(probe.FrameStyle(), fsRaised);

  vcl::TComponent other(nullptr);
  EXPECT_THROW(target.Assign(&other), vcl::EConvertError);
}

TEST(FrameController, AClientTakesTheSettingsItselfAndOnlyWhileTheFrameIsVisible) {
  TCtFrameController controller(nullptr);
  controller.SetFrameStyle(fsRaised);
  controller.SetFrameColor(vcl::clRed);
  controller.SetColor(vcl::clInfoBk);
  TStyledClientProbe client(nullptr);
  client.SetParentColor(false);
  client.SetFrameController(&controller);
  EXPECT_EQ(client.updates, 1);
  EXPECT_EQ(client.BorderOuter(), fsNone);  // frame not visible: ignored
  EXPECT_EQ(client.Color(), vcl::clWindow);

  client.SetFrameControllerNotifications(TCtFrameControllerNotifications(kAllFrameControllerNotifications).Exclude(fcpFrameSides));
  client.SetBorderSides({sdLeft});
  controller.SetFrameVisible(true);
  EXPECT_EQ(client.updates, 2);
  EXPECT_EQ(client.BorderOuter(), fsRaised);
  EXPECT_EQ(client.BorderSides(), TSides{sdLeft});
  EXPECT_EQ(client.FlatColor(), vcl::clRed);
  EXPECT_EQ(client.FlatColorAdjustment(), 0);
  EXPECT_EQ(client.Color(), vcl::clInfoBk);
  EXPECT_EQ(client.BorderHighlight(), LightenColor(vcl::clInfoBk, 100));
  EXPECT_EQ(client.BorderShadow(), DarkenColor(vcl::clInfoBk, 50));
}

TEST(FrameController, FreeingTheControllerFirstLeavesNoControlPointingAtIt) {
  auto* controller = new TCtFrameController(nullptr);
  TFramedProbe framed(nullptr);
  TStyledClientProbe client(nullptr);
  framed.SetFrameController(controller);
  client.SetFrameController(controller);
  controller->Free();
  EXPECT_EQ(framed.FrameController(), nullptr);
  EXPECT_EQ(client.FrameController(), nullptr);
  framed.SetFrameColor(vcl::clRed);  // and the controls live on
}

TEST(FrameController, FreeingAControlFirstLeavesItOutOfEveryLaterPush) {
  TCtFrameController controller(nullptr);
  auto* framed = new TFramedProbe(nullptr);
  auto* deleted = new TFramedProbe(nullptr);
  auto* plain = new TPushProbe(nullptr);  // registered without a link of its own
  auto* plainDeleted = new TPushProbe(nullptr);
  framed->SetFrameController(&controller);
  deleted->SetFrameController(&controller);
  controller.AddControl(plain);
  controller.AddControl(plainDeleted);
  EXPECT_EQ(controller.ControlCount(), 4);
  framed->Free();
  delete deleted;
  plain->Free();
  delete plainDeleted;
  EXPECT_EQ(controller.ControlCount(), 0);
  controller.SetFrameColor(vcl::clRed);
}

TEST(FrameController, AControlFreedByAnotherDuringAPushIsNotPushedTo) {
  TCtFrameController controller(nullptr);
  auto* first = new TPushProbe(nullptr);
  auto* second = new TPushProbe(nullptr);
  TPushProbe third(nullptr);
  controller.AddControl(first);
  controller.AddControl(second);
  controller.AddControl(&third);
  first->onSet = [&] {
    if (!second) return;
    delete second;
    second = nullptr;
  };
  third.journal.clear();
  controller.SetFrameColor(vcl::clRed);
  EXPECT_EQ(second, nullptr);
  EXPECT_EQ(third.journal, (Journal{"FrameColor=clRed"}));
  EXPECT_EQ(controller.ControlCount(), 2);
  first->Free();
}

TEST(FrameController, MovingToAnotherControllerLeavesTheFirst) {
  TCtFrameController first(nullptr), second(nullptr);
  second.SetFrameColor(vcl::clRed);
  TFramedProbe probe(nullptr);
  probe.SetFrameController(&first);
  probe.SetFrameController(&second);
  EXPECT_FALSE(first.HasControl(&probe));
  EXPECT_TRUE(second.HasControl(&probe));
  EXPECT_EQ(probe.FrameColor(), vcl::clRed);
  first.SetFrameColor(vcl::clBlue);
  EXPECT_EQ(probe.FrameColor(), vcl::clRed);
}

TEST(FrameController, ItsOwnColourIsStoredOnlyWhileItDoesNotFollowItsParent) {
  TCtFrameController controller(nullptr);
  EXPECT_TRUE(vcl::IsStoredProp(controller, "Color"));
  controller.SetParentColor(true);
  EXPECT_FALSE(vcl::IsStoredProp(controller, "Color"));
  EXPECT_TRUE(vcl::IsStoredProp(controller, "ParentColor"));
}

// ---- form files -------------------------------------------------------------

class TfrmFramesSample : public vcl::TComponent {
  QELO_VCL_CLASS()
 public:
  using vcl::TComponent::TComponent;
  TCtFrameController* Frames = nullptr;
  TFramedProbe* Framed = nullptr;
  TFramedProbe* Masked = nullptr;
  TCtRegIniFile* Store = nullptr;
};

const vcl::ClassInfo& TfrmFramesSample::StaticClass() {
  using C = TfrmFramesSample;
  static const vcl::ClassInfo info = vcl::ClassBuilder<C>("TfrmFramesSample", vcl::TComponent::StaticClass())
                                         .Field("Frames", &C::Frames)
                                         .Field("Framed", &C::Framed)
                                         .Field("Masked", &C::Masked)
                                         .Field("Store", &C::Store)
                                         .Done();
  return info;
}

constexpr const char* kFramesForm =
    "object frmFramesSample: TfrmFramesSample\n"
    "  object Framed: TFramedProbe\n"
    "    FrameController = Frames\n"
    "    FrameFocusStyle = fsRaised\n"
    "    FrameFlatStyle = fsBump\n"
    "  end\n"
    "  object Masked: TFramedProbe\n"
    "    FrameController = Frames\n"
    "    FrameControllerNotifications = [fcpColor, fcpFrameColor]\n"
    "    FrameStyle = fsGroove\n"
    "  end\n"
    "  object Frames: TCtFrameController\n"
    "    FrameColor = clRed\n"
    "    FrameFlat = True\n"
    "    RegIniFile = Store\n"
    "  end\n"
    "  object Store: TCtRegIniFile\n"
    "  end\n"
    "end\n";

TEST(FrameController, AFormFileRegistersItsControlsAndReadsTheObsoleteNames) {
  test::RegisterFrameProbes();
  TfrmFramesSample form(nullptr);
  vcl::ReadComponentText(form, kFramesForm, "frames.form");
  ASSERT_NE(form.Frames, nullptr);
  // FrameFlat: hot tracking with status frames and lowered hot frames.
  EXPECT_TRUE(form.Frames->FrameHotTrack());
  EXPECT_EQ(form.Frames->FrameStyle(), fsStatus);
  EXPECT_EQ(form.Frames->FrameHotStyle(), fsLowered);
  EXPECT_EQ(form.Frames->RegIniFile(), form.Store);

  ASSERT_NE(form.Framed, nullptr);
  EXPECT_EQ(form.Framed->FrameController(), form.Frames);
  EXPECT_EQ(form.Framed->FrameColor(), vcl::clRed);
  EXPECT_EQ(form.Framed->FrameStyle(), fsStatus);
  EXPECT_EQ(form.Framed->FrameHotStyle(), fsLowered);  // the controller's, pushed after the obsolete name
  EXPECT_TRUE(form.Framed->FrameHotTrack());

  EXPECT_EQ(form.Masked->FrameColor(), vcl::clRed);
  EXPECT_EQ(form.Masked->FrameStyle(), fsGroove);
  EXPECT_FALSE(form.Masked->FrameHotTrack());

  form.Store->Free();
  EXPECT_EQ(form.Frames->RegIniFile(), nullptr);
}

TEST(FrameController, ObsoleteNamesWithBadValuesAreReadErrors) {
  test::RegisterFrameProbes();
  for (const char* line : {"FrameFlat = 3", "FrameFlat = Maybe", "FrameFocusStyle = fsSideways",
                           "FrameFocusStyle = 'fsRaised'"}) {
    TfrmFramesSample form(nullptr);
    const std::string text = std::string("object frmFramesSample: TfrmFramesSample\n  object Framed: TFramedProbe\n    ") +
                             line + "\n  end\nend\n";
    EXPECT_THROW(vcl::ReadComponentText(form, text, "bad.form"), vcl::EReadError) << line;
  }
}

TEST(FrameController, FrameFocusStyleAloneBecomesTheHotStyle) {
  test::RegisterFrameProbes();
  TfrmFramesSample form(nullptr);
  vcl::ReadComponentText(form,
                         "object frmFramesSample: TfrmFramesSample\n"
                         "  object Framed: TFramedProbe\n"
                         "    FrameFocusStyle = fsRaised\n"
                         "    FrameFlat = False\n"
                         "  end\n"
                         "end\n",
                         "focus.form");
  EXPECT_EQ(form.Framed->FrameHotStyle(), fsRaised);
  EXPECT_FALSE(form.Framed->FrameHotTrack());
  EXPECT_EQ(form.Framed->FrameStyle(), fsFlat);
}

}  // namespace
}  // namespace qelo::ct
