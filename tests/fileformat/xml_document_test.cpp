// The document layer: loading, XPath selection relative to a node,
// attributes and text.
#include "xml/dom_document.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "common/temp_dir.h"

namespace qelo::xml {
namespace {

constexpr char kDocument[] =
    "<Root version=\"1\">\n"
    "  <Item name=\"a\" empty=\"\"><Value> 10 </Value></Item>\n"
    "  <Item name=\"b\"><Value>  mixed <b>bold</b> tail\n</Value></Item>\n"
    "  <Other><Item name=\"nested\"/></Other>\n"
    "</Root>\n";

DomNode Root(DomDocument& document) {
  EXPECT_TRUE(document.LoadXml(kDocument, sizeof kDocument - 1));
  const auto root = document.DocumentElement();
  EXPECT_TRUE(root.has_value());
  return root.value_or(DomNode(pugi::xml_node()));
}

TEST(DomDocument, LoadsAFileByItsPath) {
  test::TempDir dir;
  const std::string path = dir.File("doc.xml");
  std::ofstream(path) << kDocument;
  DomDocument document;
  ASSERT_TRUE(document.Load(path));
  ASSERT_TRUE(document.DocumentElement());
  EXPECT_EQ(document.DocumentElement()->Attribute("version"), "1");
}

TEST(DomDocument, MissingOrMalformedInputLeavesNoDocumentElement) {
  test::TempDir dir;
  DomDocument document;
  EXPECT_FALSE(document.Load(dir.File("absent.xml")));
  EXPECT_FALSE(document.DocumentElement());

  ASSERT_TRUE(document.LoadXml(kDocument, sizeof kDocument - 1));
  const std::string broken = "<Root><Item></Root>";
  EXPECT_FALSE(document.LoadXml(broken.data(), broken.size()));
  EXPECT_FALSE(document.DocumentElement()) << "a failed load keeps nothing of the earlier one";
  EXPECT_FALSE(document.LoadXml("", 0));
}

TEST(DomDocument, SelectsChildrenRelativeToTheNodeInDocumentOrder) {
  DomDocument document;
  const DomNode root = Root(document);
  const auto items = root.SelectNodes("Item");
  ASSERT_TRUE(items);
  ASSERT_EQ(items->size(), 2u) << "the nested Item is not a child of the root";
  EXPECT_EQ((*items)[0].Attribute("name"), "a");
  EXPECT_EQ((*items)[1].Attribute("name"), "b");

  const auto value = (*items)[1].SelectSingleNode("Value");
  ASSERT_TRUE(value);
  EXPECT_FALSE((*items)[1].SelectSingleNode("Missing"));
  ASSERT_TRUE(root.SelectNodes("Missing"));
  EXPECT_TRUE(root.SelectNodes("Missing")->empty());
}

TEST(DomDocument, AnExpressionThatIsNotXPathGivesNoList) {
  DomDocument document;
  const DomNode root = Root(document);
  EXPECT_FALSE(root.SelectNodes("Item[").has_value());
  EXPECT_FALSE(root.SelectSingleNode("///").has_value());
}

TEST(DomDocument, TellsAMissingAttributeFromAnEmptyOne) {
  DomDocument document;
  const auto first = Root(document).SelectSingleNode("Item");
  ASSERT_TRUE(first);
  EXPECT_EQ(first->Attribute("empty"), std::string());
  EXPECT_FALSE(first->Attribute("absent").has_value());
  EXPECT_FALSE(first->Attribute("Name").has_value()) << "names are case-sensitive";
}

TEST(DomDocument, TextJoinsDescendantTextAndTrimsItsEnds) {
  DomDocument document;
  const DomNode root = Root(document);
  const auto items = root.SelectNodes("Item");
  ASSERT_TRUE(items && items->size() == 2);
  EXPECT_EQ((*items)[0].Text(), "10");
  EXPECT_EQ((*items)[1].Text(), "mixed bold tail");
  EXPECT_EQ(root.SelectSingleNode("Other")->Text(), "");
}

}  // namespace
}  // namespace qelo::xml
