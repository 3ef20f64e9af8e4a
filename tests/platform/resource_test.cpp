#include "resource/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace qelo::res {
extern const ResourceTable kTestResources;
namespace {

TEST(Resources, FoundByTypeAndIdWhateverTheCaseOfTheType) {
  const Resource* r = FindResource(kTestResources, "txt", 7);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r->data), r->size), "hello resource\n");
  EXPECT_EQ(r->data[r->size], 0);  // text resources come terminated
}

TEST(Resources, MissingOnesAreNull) {
  EXPECT_EQ(FindResource(kTestResources, "TXT", 8), nullptr);
  EXPECT_EQ(FindResource(kTestResources, "XML", 7), nullptr);
  EXPECT_EQ(FindResource(kTestResources, "PNGTYPE", "other"), nullptr);
}

TEST(Resources, NamedAndEmptyResources) {
  const Resource* named = FindResource(kTestResources, "PNGTYPE", "Sample");
  ASSERT_NE(named, nullptr);
  EXPECT_EQ(named->size, 15u);
  const Resource* empty = FindResource(kTestResources, "BIN", 8);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->size, 0u);
}

}  // namespace
}  // namespace qelo::res
