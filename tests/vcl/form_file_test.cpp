#include <gtest/gtest.h>

#include <string>

#include "sample_components.h"
#include "vcl/form_file.h"
#include "vcl/form_reader.h"

namespace qelo::res {
extern const ResourceTable kVclTestResources;
}

namespace qelo::vcl::test {
namespace {

using Type = FormValue::Type;

FormValue ValueOf(const std::string& text) {
  FormObject o = ParseForm("object a: TA\n  P = " + text + "\nend\n", "value.form");
  EXPECT_EQ(o.properties.size(), 1u);
  return o.properties.at(0).value;
}

TEST(FormFile, ValuesOfEveryShape) {
  struct Case {
    const char* text;
    Type type;
    int64_t integer;
    const char* str;
  } cases[] = {
      {"42", Type::Integer, 42, ""},
      {"-17", Type::Integer, -17, ""},
      {"$FF00", Type::Integer, 0xFF00, ""},
      {"'a''b'", Type::String, 0, "a'b"},
      {"'one'#13#10'two'", Type::String, 0, "one\r\ntwo"},
      {"#233't'#233", Type::String, 0, "\xC3\xA9t\xC3\xA9"},
      {"'split ' +\n    'line'", Type::String, 0, "split line"},
      {"''", Type::String, 0, ""},
      {"clBtnFace", Type::Identifier, 0, "clBtnFace"},
      {"Form1.Button", Type::Identifier, 0, "Form1.Button"},
  };
  for (const Case& c : cases) {
    FormValue v = ValueOf(c.text);
    EXPECT_EQ(v.type, c.type) << c.text;
    EXPECT_EQ(v.integer, c.integer) << c.text;
    EXPECT_EQ(v.text, c.str) << c.text;
  }
  EXPECT_EQ(ValueOf("[a, b ,c]").members, std::vector<std::string>({"a", "b", "c"}));
  EXPECT_TRUE(ValueOf("[]").members.empty());
  EXPECT_EQ(ValueOf("{00 ff 1A}").bytes, std::vector<uint8_t>({0x00, 0xFF, 0x1A}));
  FormValue list = ValueOf("(\n 'x'\n 5\n [q]\n)");
  ASSERT_EQ(list.items.size(), 3u);
  EXPECT_EQ(list.items[1].integer, 5);
  EXPECT_EQ(list.items[2].line, 5);
}

TEST(FormFile, CollectionsHoldItemsOfProperties) {
  FormValue v = ValueOf("<\n    item\n      Caption = 'Name'\n      Font.Size = 9\n    end\n    item\n    end>");
  ASSERT_EQ(v.type, Type::Collection);
  ASSERT_EQ(v.collection.size(), 2u);
  ASSERT_EQ(v.collection[0].properties.size(), 2u);
  EXPECT_EQ(v.collection[0].properties[0].value.text, "Name");
  EXPECT_EQ(v.collection[0].properties[1].name, "Font.Size");
  EXPECT_EQ(v.collection[0].properties[1].line, 5);
  EXPECT_EQ(v.collection[1].line, 7);
  EXPECT_TRUE(v.collection[1].properties.empty());
  EXPECT_TRUE(ValueOf("<>").collection.empty());
}

TEST(FormFile, TreeOfObjectsWithLines) {
  FormObject root = ParseForm("object f: TF\n  A = 1\n  object p: TP\n    B.C = 2\n  end\n  object q: TQ\n  end\nend\n", "t");
  EXPECT_EQ(root.className, "TF");
  ASSERT_EQ(root.children.size(), 2u);
  EXPECT_EQ(root.children[0].name, "p");
  EXPECT_EQ(root.children[0].properties[0].name, "B.C");
  EXPECT_EQ(root.children[0].properties[0].line, 4);
  EXPECT_EQ(root.children[1].line, 6);
}

TEST(FormFile, BadTextNamesFileAndLine) {
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"object f: TF\n  A = 'open\nend\n", "bad.form(2): unterminated string"},
      {"object f: TF\n  A = 1\n", "bad.form(3): 'end' expected for object f"},
      {"object f TF\nend\n", "bad.form(1): ':' expected"},
      {"\n\nobject f: TF\n  A 1\nend\n", "bad.form(4): '=' expected"},
      {"object f: TF\n  A = [a b]\nend\n", "bad.form(2): ',' expected"},
      {"object f: TF\n  A = {0F 1}\nend\n", "bad.form(2): binary data has an odd number of digits"},
      {"object f: TF\n  A = 12abc\nend\n", "bad.form(2): invalid number"},
      {"object f: TF\n  A = 1.5\nend\n", "bad.form(2): invalid number"},
      {"object f: TF\n  A = 99999999999999999999\nend\n", "bad.form(2): invalid number"},
      {"object f: TF\n  A = #55296\nend\n", "bad.form(2): invalid character code"},
      {"object f: TF\n  A = 'x' +\n\nend\n", "bad.form(4): string expected after '+'"},
      {"object f: TF\nend\nend\n", "bad.form(3): text after the final end"},
      {"thing f: TF\nend\n", "bad.form(1): 'object' expected"},
      {"object f: TF\n  A = (1\n", "bad.form(3): ')' expected"},
      {"object f: TF\n  A = <\n    entry\n    end>\nend\n", "bad.form(3): 'item' expected"},
      {"object f: TF\n  A = <\n    item\n      B = 1\n", "bad.form(5): 'end' expected for an item"},
      {"object f: TF\n  A = <\n    item\n    end\n", "bad.form(5): '>' expected"},
  };
  for (const Case& c : cases) {
    try {
      ParseForm(c.text, "bad.form");
      ADD_FAILURE() << c.text;
    } catch (const EReadError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

TEST(FormFile, NestingDeeperThanAnyFormIsRefused) {
  std::string objects, lists = "object f: TF\n  A = ";
  for (int i = 0; i < 100; ++i) objects += "object o" + std::to_string(i) + ": TF\n";
  for (int i = 0; i < 100; ++i) objects += "end\n";
  for (int i = 0; i < 100; ++i) lists += "(";
  for (int i = 0; i < 100; ++i) lists += ")";
  lists += "\nend\n";
  EXPECT_THROW(ParseForm(objects, "deep.form"), EReadError);
  EXPECT_THROW(ParseForm(lists, "deep.form"), EReadError);
  EXPECT_NO_THROW(ParseForm("object f: TF\n  A = ((((1))))\n  object g: TG\n  end\nend\n", "ok.form"));
}

class FormReading : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterSampleClasses();
    EventLog().clear();
  }
  // Reads `body` as the properties and objects of a TfrmSample.
  std::string ReadError(const std::string& body) {
    TfrmSample form(nullptr);
    try {
      ReadComponentText(form, "object frmSample: TfrmSample\n" + body + "end\n", "frm.form");
    } catch (const EReadError& e) {
      for (int i = 0; i < form.ComponentCount(); ++i)
        EXPECT_FALSE(form.Components(i)->ComponentState().Contains(csLoading));
      EXPECT_FALSE(form.ComponentState().Contains(csReading));
      return e.what();
    }
    return "no error";
  }
};

TEST_F(FormReading, ResourceFormLoadsIntoTheRightTree) {
  TfrmSample form(nullptr);
  ReadComponentResource(form, res::kVclTestResources);

  EXPECT_EQ(form.Name(), "frmSample");
  EXPECT_EQ(form.Tag(), 3);
  ASSERT_EQ(form.ComponentCount(), 4);  // every object is owned by the form
  TSamplePanel* top = form.pnlTop;
  TSamplePanel* inner = form.pnlInner;
  ASSERT_NE(top, nullptr);
  ASSERT_NE(inner, nullptr);
  auto* deep = dynamic_cast<TSamplePanel*>(form.FindComponent("pnlDeep"));
  auto* bottom = dynamic_cast<TSamplePanel*>(form.FindComponent("pnlBottom"));
  ASSERT_NE(deep, nullptr);
  ASSERT_NE(bottom, nullptr);
  EXPECT_EQ(top->GetParentComponent(), &form);
  EXPECT_EQ(inner->GetParentComponent(), top);
  EXPECT_EQ(deep->GetParentComponent(), inner);
  EXPECT_EQ(bottom->GetParentComponent(), &form);
  EXPECT_EQ(top->Children(), std::vector<TSamplePanel*>({inner}));

  EXPECT_EQ(top->Width(), 640);
  EXPECT_EQ(top->Caption(), "It's the top!");
  EXPECT_EQ(top->Color(), clBtnFace);
  EXPECT_EQ(top->Align(), alTop);
  EXPECT_EQ(top->Sides(), TSampleSides({sdLeft, sdTop}));
  EXPECT_EQ(top->Peer(), inner);  // named before pnlInner was made
  EXPECT_TRUE(top->HotTrack());   // from the obsolete FrameFlat
  EXPECT_EQ(top->Font()->Name(), "Verdana");
  EXPECT_EQ(top->Font()->Color(), 0x0080FFu);
  EXPECT_EQ(top->Items()->Text(), "first\r\nsecond\r\n");
  EXPECT_FALSE(inner->Visible());
  EXPECT_EQ(inner->Picture(), "downtriangle");
  EXPECT_EQ(bottom->Align(), alBottom);

  top->OnClick(top);
  inner->OnClick(inner);
  top->OnMove(top, 5);
  EXPECT_EQ(form.clicks, std::vector<std::string>({"pnlTop", "pnlInner"}));
  EXPECT_EQ(form.moved, 5);
  EXPECT_FALSE(bottom->OnClick);
}

TEST_F(FormReading, LoadedComesOnceForEachAfterEverythingIsRead) {
  TfrmSample form(nullptr);
  ReadComponentResource(form, res::kVclTestResources);
  EXPECT_EQ(EventLog(), std::vector<std::string>({"Loaded pnlTop", "Loaded pnlInner", "Loaded pnlDeep", "Loaded pnlBottom"}));
  EXPECT_TRUE(form.pnlTop->PeerSetWhenLoaded);
  EXPECT_FALSE(form.pnlTop->StateWhenLoaded.Contains(csReading));
  EXPECT_FALSE(form.pnlTop->StateWhenLoaded.Contains(csLoading));
  for (int i = 0; i < form.ComponentCount(); ++i) EXPECT_TRUE(form.Components(i)->ComponentState().Empty());
}

TEST_F(FormReading, FreeingAReadFormInEitherOrderLeavesNoDanglingPeer) {
  auto* form = new TfrmSample(nullptr);
  ReadComponentResource(*form, res::kVclTestResources);
  form->pnlInner->Free();  // pnlTop follows it
  EXPECT_EQ(form->pnlTop->Peer(), nullptr);
  EXPECT_TRUE(form->pnlTop->Children().empty());
  form->Free();
}

TEST_F(FormReading, BadFilesFailWithFileLineAndWhat) {
  struct Case {
    const char* body;
    const char* message;
  } cases[] = {
      {"  object p: TSamplePanel\n    Bogus = 1\n  end\n",
       "frm.form(3): Error reading p: Property Bogus does not exist"},
      {"  object p: TSamplePanel\n    Font.Bogus = 1\n  end\n",
       "frm.form(3): Error reading p: Property Font.Bogus does not exist"},
      {"  object p: TSamplePanel\n    Width.X = 1\n  end\n",
       "frm.form(3): Error reading p: Property Width.X does not exist"},
      {"  object p: TNoSuchPanel\n  end\n", "frm.form(2): Class TNoSuchPanel not found"},
      {"  object p: TSampleAbstract\n  end\n", "frm.form(2): Class TSampleAbstract cannot be created"},
      {"  object pnlTop: TfrmSample\n  end\n",
       "frm.form(2): Field pnlTop of TfrmSample holds a TSamplePanel, not a TfrmSample"},
      {"  object p: TSamplePanel\n  end\n  object P: TSamplePanel\n  end\n",
       "frm.form(4): A component named P already exists"},
      {"  object p: TSamplePanel\n    OnClick = NoSuchMethod\n  end\n",
       "frm.form(3): Error reading p: Method NoSuchMethod not found in TfrmSample"},
      {"  object p: TSamplePanel\n    OnClick = PanelMoved\n  end\n",
       "frm.form(3): Error reading p: Method PanelMoved does not fit event OnClick"},
      {"  object p: TSamplePanel\n    Peer = nobody\n  end\n",
       "frm.form(3): Component nobody not found for Peer"},
      {"  object p: TSamplePanel\n    Peer = frmSample\n  end\n",
       "frm.form(3): Peer takes a TSamplePanel, not a TfrmSample"},
      {"  object p: TSamplePanel\n    Align = alMiddle\n  end\n",
       "frm.form(3): Error reading p: Invalid property value alMiddle for Align"},
      {"  object p: TSamplePanel\n    Sides = [sdLeft, sdNowhere]\n  end\n",
       "frm.form(3): Error reading p: Invalid property value sdNowhere for Sides"},
      {"  object p: TSamplePanel\n    Visible = 1\n  end\n",
       "frm.form(3): Error reading p: Invalid property value (a number) for Visible"},
      {"  object p: TSamplePanel\n    FrameFlat = 1\n  end\n",
       "frm.form(3): Error reading p: Invalid property value (a number): True or False expected"},
      {"  object p: TSamplePanel\n    FrameFlat = Yes\n  end\n",
       "frm.form(3): Error reading p: Invalid property value Yes: True or False expected"},
      {"  object p: TSamplePanel\n    Width = 'wide'\n  end\n",
       "frm.form(3): Error reading p: Invalid property value (a string) for Width"},
      {"  object p: TSamplePanel\n    Width = 3000000000\n  end\n",
       "frm.form(3): Error reading p: Invalid value 3000000000 for property Width"},
      {"  object p: TSamplePanel\n    Caption = Start\n  end\n",
       "frm.form(3): Error reading p: Invalid property value: Caption cannot take an identifier"},
      {"  object p: TSamplePanel\n    Color = clPink\n  end\n",
       "frm.form(3): Error reading p: Invalid property value clPink for Color"},
      {"  object p: TSamplePanel\n    Font = 'Arial'\n  end\n",
       "frm.form(3): Error reading p: Invalid property value: Font cannot take a string"},
      {"  object p: TSamplePanel\n    Items.Strings = ('a' 1)\n  end\n",
       "frm.form(3): Error reading p: Strings takes a list of strings"},
      {"  object p: TSamplePanel\n  end\n  Tag = 1\n  object 9: TSamplePanel\n  end\n",
       "frm.form(5): identifier expected"},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadError(c.body), c.message) << c.body;
}

TEST_F(FormReading, AFailedStringsValueLeavesTheListUsable) {
  TfrmSample form(nullptr);
  EXPECT_THROW(ReadComponentText(form,
                                 "object frmSample: TfrmSample\n  object p: TSamplePanel\n"
                                 "    Items.Strings = ('a' 1)\n  end\nend\n",
                                 "f.form"),
               EReadError);
  auto* panel = dynamic_cast<TSamplePanel*>(form.FindComponent("p"));
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->Items()->UpdateCount(), 0);
}

TEST_F(FormReading, AFileOfAnotherFormClassIsRefused) {
  TfrmSample form(nullptr);
  EXPECT_THROW(ReadComponentText(form, "object x: TSamplePanel\nend\n", "x.form"), EReadError);
  EXPECT_EQ(form.Name(), "");
  TSamplePanel panel(nullptr);
  EXPECT_THROW(ReadComponentResource(panel, res::kVclTestResources), EResNotFound);
}

TEST_F(FormReading, SecondFormOfAClassUnderOneOwnerGetsANumberedName) {
  TComponent application(nullptr);
  auto* first = new TfrmSample(&application);
  auto* second = new TfrmSample(&application);
  ReadComponentResource(*first, res::kVclTestResources);
  ReadComponentResource(*second, res::kVclTestResources);
  EXPECT_EQ(first->Name(), "frmSample");
  EXPECT_EQ(second->Name(), "frmSample_1");
  EXPECT_NE(second->pnlTop, first->pnlTop);
  EXPECT_EQ(second->pnlTop->Peer(), second->pnlInner);
}

}  // namespace
}  // namespace qelo::vcl::test
