// Published properties of the controls, written by name as form files
// write them, reach the real setters.
#include "controls_fixture.h"
#include "vcl/typeinfo.h"

namespace qelo::vcl::test {
namespace {

using PropertyTest = FormTest;

TEST_F(PropertyTest, OrdinalAndTextPropertiesByNameGoThroughTheirSetters) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  auto* label = new TLabel(form);
  label->SetParent(panel);
  struct Case {
    TControl* target;
    const char* prop;
    const char* value;  // written as its kind takes it
    std::function<bool()> holds;
  } cases[] = {
      {panel, "Width", "123", [&] { return panel->Width() == 123; }},
      {panel, "Caption", "Hello", [&] { return panel->Caption() == "Hello" && panel->Text() == "Hello"; }},
      {label, "Color", "clRed", [&] { return label->Color() == clRed && !label->ParentColor(); }},
      {panel, "Align", "alBottom", [&] { return panel->Align() == alBottom && panel->Top() + panel->Height() == 300; }},
      {panel, "Anchors", "akRight,akBottom", [&] { return panel->Anchors() == TAnchors{akRight, akBottom}; }},
      {label, "Cursor", "crHandPoint", [&] { return label->Cursor() == crHandPoint; }},
      {panel, "BevelOuter", "bvLowered", [&] { return panel->BevelOuter() == bvLowered; }},
      {label, "WordWrap", "1", [&] { return label->WordWrap(); }},
      {panel, "Visible", "0", [&] { return !panel->Visible() && !win::IsWindowVisible(panel->WindowHandle()); }},
  };
  for (const Case& c : cases) {
    const PropInfo* p = GetPropInfo(*c.target, c.prop);
    ASSERT_NE(p, nullptr) << c.prop;
    switch (p->kind) {
      case PropKind::String: SetStrProp(*c.target, c.prop, c.value); break;
      case PropKind::Enum: SetEnumProp(*c.target, c.prop, c.value); break;
      case PropKind::Set: SetSetProp(*c.target, c.prop, c.value); break;
      case PropKind::Color: SetOrdProp(*c.target, c.prop, *IdentToColor(c.value)); break;
      case PropKind::Integer:
        SetOrdProp(*c.target, c.prop, p->identToInt && p->identToInt(c.value) ? *p->identToInt(c.value) : std::stoll(c.value));
        break;
      default: SetOrdProp(*c.target, c.prop, std::stoll(c.value)); break;
    }
    EXPECT_TRUE(c.holds()) << c.prop << " = " << c.value;
  }
}

TEST_F(PropertyTest, SubObjectReferenceAndEventProperties) {
  auto* button = new TButton(form);
  button->SetParent(form);
  auto* label = new TLabel(form);
  label->SetParent(form);

  // A member of an owned sub-object.
  auto* font = static_cast<TFont*>(GetObjectProp(*label, "Font"));
  ASSERT_EQ(font, label->Font());
  SetSetProp(*font, "Style", "fsBold");
  EXPECT_TRUE(label->Font()->Style().Contains(fsBold));
  EXPECT_FALSE(label->ParentFont());

  // A reference to another component, and its free notification.
  SetObjectProp(*label, "FocusControl", button);
  EXPECT_EQ(label->FocusControl(), button);
  SetObjectProp(*form, "ActiveControl", button);
  EXPECT_EQ(form->ActiveControl(), button);

  // An event.
  int clicks = 0;
  SetMethodProp(*button, "OnClick", std::any(TNotifyEvent([&](TObject*) { ++clicks; })));
  button->Click();
  EXPECT_EQ(clicks, 1);

  // Modal results by name.
  const PropInfo* modal = GetPropInfo(*button, "ModalResult");
  ASSERT_NE(modal, nullptr);
  SetOrdProp(*button, "ModalResult", *modal->identToInt("mrYes"));
  EXPECT_EQ(button->ModalResult(), mrYes);

  button->Free();
  EXPECT_EQ(label->FocusControl(), nullptr) << "a freed reference is cleared";
  EXPECT_EQ(form->ActiveControl(), nullptr);
}

TEST_F(PropertyTest, ControlCannotBeItsOwnParentNorAFormsForeignActiveControl) {
  auto* panel = new TPanel(form);
  EXPECT_THROW(panel->SetParent(panel), EInvalidOperation);
  auto* stray = new TPanel(nullptr);
  EXPECT_THROW(form->SetActiveControl(stray), EInvalidOperation);
  stray->Free();
}

}  // namespace
}  // namespace qelo::vcl::test
