#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "sample_components.h"
#include "vcl/colors.h"
#include "vcl/typeinfo.h"

namespace qelo::vcl::test {
namespace {

TEST(Properties, EveryKindIsSetAndReadByName) {
  TSamplePanel panel(nullptr);
  SetOrdProp(panel, "width", 120);
  SetOrdProp(panel, "Visible", 0);
  SetStrProp(panel, "Caption", "Start");
  SetOrdProp(panel, "Color", clBtnFace);
  SetEnumProp(panel, "Align", "ALCLIENT");
  SetSetProp(panel, "Sides", "[sdLeft, sdBottom]");
  SetStrProp(panel, "Picture", "downtriangle");

  EXPECT_EQ(panel.Width(), 120);
  EXPECT_FALSE(panel.Visible());
  EXPECT_EQ(GetStrProp(panel, "Caption"), "Start");
  EXPECT_EQ(GetOrdProp(panel, "Color"), clBtnFace);
  EXPECT_EQ(GetEnumProp(panel, "Align"), "alClient");
  EXPECT_EQ(panel.Sides(), TSampleSides({sdLeft, sdBottom}));
  EXPECT_EQ(GetSetProp(panel, "Sides"), "sdLeft,sdBottom");
  EXPECT_EQ(GetOrdProp(panel, "Sides"), 0b1001);
  EXPECT_EQ(panel.Picture(), "downtriangle");
  EXPECT_EQ(GetObjectProp(panel, "Font"), panel.Font());
}

TEST(Properties, InheritedPropertiesAreFoundAndMissingOnesAreNot) {
  TSamplePanel panel(nullptr);
  EXPECT_TRUE(IsPublishedProp(panel, "Name"));
  EXPECT_TRUE(IsPublishedProp(panel, "TAG"));
  EXPECT_FALSE(IsPublishedProp(panel, "FrameStyle"));
  EXPECT_FALSE(IsPublishedProp(panel, "ThemeAware"));  // read from old forms only
  SetOrdProp(panel, "Tag", -7);
  EXPECT_EQ(panel.Tag(), -7);
  EXPECT_EQ(GetPropInfo(panel, "Sides")->enumInfo, &kSampleSideInfo);
}

TEST(Properties, WrongKindsAndValuesOutOfRangeAreRefused) {
  TSamplePanel panel(nullptr);
  struct Case {
    const char* what;
    std::function<void()> action;
  } cases[] = {
      {"missing", [&] { SetOrdProp(panel, "FrameStyle", 1); }},
      {"string as ordinal", [&] { SetOrdProp(panel, "Caption", 1); }},
      {"ordinal as string", [&] { SetStrProp(panel, "Width", "1"); }},
      {"boolean 2", [&] { SetOrdProp(panel, "Visible", 2); }},
      {"enum past its end", [&] { SetOrdProp(panel, "Align", 6); }},
      {"negative enum", [&] { SetOrdProp(panel, "Align", -1); }},
      {"unknown enum name", [&] { SetEnumProp(panel, "Align", "alMiddle"); }},
      {"set bit past the members", [&] { SetOrdProp(panel, "Sides", 0b10000); }},
      {"unknown set member", [&] { SetSetProp(panel, "Sides", "sdLeft,sdMiddle"); }},
      {"integer beyond 32 bits", [&] { SetOrdProp(panel, "Width", int64_t{1} << 40); }},
      {"sub-object is read only", [&] { SetObjectProp(panel, "Font", nullptr); }},
      {"handler of another type", [&] { SetMethodProp(panel, "OnClick", std::any(TMoveEvent())); }},
  };
  for (const Case& c : cases) EXPECT_THROW(c.action(), EPropertyError) << c.what;
  EXPECT_EQ(panel.Width(), 0);
  EXPECT_EQ(panel.Align(), alNone);
  EXPECT_TRUE(panel.Sides().Empty());
}

TEST(Properties, ReferencesCheckTheirClassAndEventsTheirSignature) {
  TSamplePanel panel(nullptr), other(nullptr);
  TComponent plain(nullptr);
  SetObjectProp(panel, "Peer", &other);
  EXPECT_EQ(panel.Peer(), &other);
  EXPECT_THROW(SetObjectProp(panel, "Peer", &plain), EPropertyError);
  EXPECT_EQ(panel.Peer(), &other);
  SetObjectProp(panel, "Peer", nullptr);
  EXPECT_EQ(panel.Peer(), nullptr);

  int clicks = 0;
  SetMethodProp(panel, "OnClick", std::any(TNotifyEvent([&](TObject*) { ++clicks; })));
  panel.OnClick(&panel);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(GetMethodProp(panel, "OnClick").has_value());
  SetMethodProp(panel, "OnClick", std::any());
  EXPECT_FALSE(panel.OnClick);
  EXPECT_FALSE(GetMethodProp(panel, "OnClick").has_value());
}

// Republishes the panel's Color with a storage rule and gives its own
// Width one, the way a control keeps values that something else supplies out
// of the form it is written to.
class TStoredPanel : public TSamplePanel {
  QELO_VCL_CLASS()
 public:
  using TSamplePanel::TSamplePanel;
  bool ColorStored() const { return !HotTrack(); }
};

const ClassInfo& TStoredPanel::StaticClass() {
  static const ClassInfo info = ClassBuilder<TStoredPanel>("TStoredPanel", TSamplePanel::StaticClass())
                                    .Stored("color", &TStoredPanel::ColorStored)
                                    .Stored("Caption", [](const TStoredPanel& p) { return !p.Caption().empty(); })
                                    .Done();
  return info;
}

TEST(Properties, StorageRulesAreAskedOfTheObjectAndRepublishingKeepsTheParentsRule) {
  TStoredPanel stored(nullptr);
  TSamplePanel plain(nullptr);
  stored.SetHotTrack(true);
  plain.SetHotTrack(true);
  EXPECT_FALSE(IsStoredProp(stored, "Color"));
  EXPECT_FALSE(IsStoredProp(stored, "Caption"));
  EXPECT_TRUE(IsStoredProp(stored, "Width"));  // no rule: always stored
  EXPECT_TRUE(IsStoredProp(plain, "Color"));   // the parent's entry has no rule
  stored.SetHotTrack(false);
  stored.SetCaption("Start");
  EXPECT_TRUE(IsStoredProp(stored, "Color"));
  EXPECT_TRUE(IsStoredProp(stored, "Caption"));

  // The republished entry still reads and writes the inherited value.
  SetOrdProp(stored, "Color", clBtnFace);
  EXPECT_EQ(stored.Color(), clBtnFace);
  EXPECT_EQ(GetPropInfo(stored, "Color")->kind, PropKind::Color);
  EXPECT_EQ(std::count_if(TStoredPanel::StaticClass().properties.begin(), TStoredPanel::StaticClass().properties.end(),
                          [](const PropInfo& p) { return p.name == "Color"; }),
            1);

  EXPECT_THROW(IsStoredProp(stored, "FrameStyle"), EPropertyError);
  EXPECT_THROW(ClassBuilder<TStoredPanel>("TBadStored", TSamplePanel::StaticClass())
                   .Stored("FrameStyle", &TStoredPanel::ColorStored),
               EPropertyError);
}

TEST(ClassRegistry, ClassesAreFoundByNameAndCreated) {
  RegisterSampleClasses();
  RegisterSampleClasses();  // again: no harm
  const ClassInfo* info = FindClass("tsamplepanel");
  ASSERT_EQ(info, &TSamplePanel::StaticClass());
  EXPECT_EQ(FindClass("TNoSuchClass"), nullptr);
  EXPECT_TRUE(info->InheritsFrom(TComponent::StaticClass()));
  EXPECT_FALSE(TComponent::StaticClass().InheritsFrom(*info));

  TComponent owner(nullptr);
  TComponent* made = info->Create(&owner);
  EXPECT_EQ(made->ClassName(), "TSamplePanel");
  EXPECT_EQ(made->Owner(), &owner);
  EXPECT_NE(dynamic_cast<TSamplePanel*>(made), nullptr);
  EXPECT_THROW(TSampleAbstract::StaticClass().Create(&owner), EComponentError);
}

TEST(ClassRegistry, AnotherClassOfARegisteredNameIsRefused) {
  RegisterSampleClasses();
  static const ClassInfo impostor = ClassBuilder<TComponent>("TSAMPLEPANEL", TComponent::StaticClass()).Done();
  EXPECT_THROW(RegisterClass(impostor), EComponentError);
  EXPECT_EQ(FindClass("TSamplePanel"), &TSamplePanel::StaticClass());
}

TEST(Colors, NamesAndNumbersBothWays) {
  struct Case {
    const char* text;
    TColor color;
    const char* back;
  } cases[] = {
      {"clRed", 0x0000FF, "clRed"},          {"CLBTNFACE", 0xFF00000F, "clBtnFace"},
      {"clNone", 0x1FFFFFFF, "clNone"},      {"$00123456", 0x123456, "$00123456"},
      {"255", 0xFF, "clRed"},                {"clInfoBk", 0xFF000018, "clInfoBk"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StringToColor(c.text), c.color) << c.text;
    EXPECT_EQ(ColorToString(c.color), c.back) << c.text;
  }
  for (const char* bad : {"", "clPink", "$", "$12345678901", "12x"}) EXPECT_THROW(StringToColor(bad), EConvertError) << bad;
}

}  // namespace
}  // namespace qelo::vcl::test
