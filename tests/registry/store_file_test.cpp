#include "registry/store_file.h"

#include <gtest/gtest.h>

namespace qelo::reg {
namespace {

TEST(StoreFile, AwkwardNamesAndTextsReadBackUnchanged) {
  Store store;
  auto& values = store.keys["HKEY_CURRENT_USER\\Key with blanks\\100%"];
  values[""] = {ValueType::kString, 0, ""};
  values["a b"] = {ValueType::kString, 0, "line\nnext\r\n%41 end "};
  values[":colon"] = {ValueType::kString, 0, "\x01\x7F\xC3\xA9"};
  values["max"] = {ValueType::kDword, 0xFFFFFFFFu, ""};
  store.keys["HKEY_LOCAL_MACHINE\\Empty"];

  const std::string text = FormatStore(store);
  Store read;
  ASSERT_TRUE(ParseStore(text, &read)) << text;
  ASSERT_EQ(read.keys.size(), 2u);
  const auto& readValues = read.keys.at("hkey_current_user\\KEY WITH BLANKS\\100%");
  ASSERT_EQ(readValues.size(), values.size());
  for (const auto& [name, value] : values) {
    const StoredValue& got = readValues.at(name);
    EXPECT_EQ(got.type, value.type) << name;
    EXPECT_EQ(got.dword, value.dword) << name;
    EXPECT_EQ(got.text, value.text) << name;
  }
  EXPECT_TRUE(read.keys.at("HKEY_LOCAL_MACHINE\\Empty").empty());
}

TEST(StoreFile, MalformedTextIsRefused) {
  const char* bad[] = {
      "",
      "qelo-registry 2\nend\n",
      "qelo-registry 1\nend\nkey :X\n",
      "qelo-registry 1\nend",
      "qelo-registry 1\ndword :v 1\nend\n",
      "qelo-registry 1\nkey :X\ndword :v -1\nend\n",
      "qelo-registry 1\nkey :X\ndword :v 1 2\nend\n",
      "qelo-registry 1\nkey :X\nstring v :x\nend\n",
      "qelo-registry 1\nkey :X\nstring :v :%4\nend\n",
      "qelo-registry 1\nkey :X\nstring :v :%zz\nend\n",
      "qelo-registry 1\nkey :\nend\n",
      "qelo-registry 1\nkey :X\nbinary :v :x\nend\n",
  };
  for (const char* text : bad) {
    Store store;
    EXPECT_FALSE(ParseStore(text, &store)) << text;
  }
}

}  // namespace
}  // namespace qelo::reg
