// Item-id lists: sizes, counts, copies, joins and parents, and the checks
// that refuse damaged or foreign bytes before anything reads them.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "shell/idlist.h"
#include "shell/items.h"

namespace qelo::shell {
namespace {

std::vector<unsigned char> Bytes(LPCITEMIDLIST list) {
  auto* p = reinterpret_cast<const unsigned char*>(list);
  return std::vector<unsigned char>(p, p + ILGetSize(list));
}

TEST(IdList, EmptyNullAndOneItem) {
  IdListPtr empty(ILClone(nullptr));
  ASSERT_TRUE(empty);
  EXPECT_EQ(ILGetSize(empty.Get()), 2u);
  EXPECT_EQ(ILGetSize(nullptr), 0u);
  EXPECT_TRUE(ILIsEmpty(empty.Get()));
  EXPECT_TRUE(ILIsEmpty(nullptr));
  EXPECT_EQ(ILGetCount(empty.Get()), 0);

  IdListPtr one(MakeEntryItem("clip.mp4", 0));
  ASSERT_TRUE(one);
  EXPECT_EQ(ILGetCount(one.Get()), 1);
  EXPECT_EQ(ILGetSize(one.Get()), kItemHeaderBytes + 8 + 2);
  EXPECT_EQ(ILFindLastID(one.Get()), one.Get());
  EXPECT_TRUE(ILIsEmpty(ILNext(one.Get())));
}

TEST(IdList, CombineCopyAndParent) {
  IdListPtr a(MakeEntryItem("a", kItemFolder)), b(MakeEntryItem("bb", kItemFolder)), c(MakeEntryItem("ccc", 0));
  IdListPtr ab(ILCombine(a.Get(), b.Get()));
  IdListPtr abc(ILCombine(ab.Get(), c.Get()));
  ASSERT_TRUE(abc);
  EXPECT_EQ(ILGetCount(abc.Get()), 3);
  EXPECT_EQ(ILGetSize(abc.Get()), ILGetSize(a.Get()) + ILGetSize(b.Get()) + ILGetSize(c.Get()) - 4);

  // Joining empty or null lists adds nothing but one terminator.
  IdListPtr empty(ILClone(nullptr));
  IdListPtr bothEmpty(ILCombine(empty.Get(), nullptr));
  EXPECT_EQ(Bytes(bothEmpty.Get()), (std::vector<unsigned char>{0, 0}));
  IdListPtr same(ILCombine(nullptr, abc.Get()));
  EXPECT_TRUE(ILIsEqualBytes(same.Get(), abc.Get()));

  IdListPtr parent(ILCloneFirstN(abc.Get(), ILGetCount(abc.Get()) - 1));
  EXPECT_TRUE(ILIsEqualBytes(parent.Get(), ab.Get()));
  IdListPtr last(ILCloneFirst(ILFindLastID(abc.Get())));
  EXPECT_TRUE(ILIsEqualBytes(last.Get(), c.Get()));
  IdListPtr all(ILCloneFirstN(abc.Get(), 10));
  EXPECT_TRUE(ILIsEqualBytes(all.Get(), abc.Get()));
  IdListPtr none(ILCloneFirstN(abc.Get(), 0));
  EXPECT_EQ(ILGetSize(none.Get()), 2u);

  // A copy is independent of its source.
  IdListPtr copy(ILClone(abc.Get()));
  abc.Reset();
  EXPECT_EQ(ILGetCount(copy.Get()), 3);
}

TEST(IdList, ValidateMeasuresOnlyWhatIsThere) {
  struct Case {
    const char* what;
    std::vector<unsigned char> bytes;
    std::size_t available;
    std::size_t expected;
  };
  const Case cases[] = {
      {"empty list", {0, 0}, 2, 2},
      {"one item of 4 bytes", {4, 0, 9, 9, 0, 0}, 6, 6},
      {"trailing bytes beyond the list are not counted", {4, 0, 9, 9, 0, 0, 7, 7}, 8, 6},
      {"count of 1 cannot hold itself", {1, 0, 0, 0}, 4, 0},
      {"count runs past the block", {9, 0, 1, 2, 0, 0}, 6, 0},
      {"terminator missing", {4, 0, 9, 9}, 4, 0},
      {"terminator cut in half", {4, 0, 9, 9, 0}, 5, 0},
      {"nothing there", {}, 0, 0},
      {"huge count", {0xFF, 0xFF, 1, 1, 0, 0}, 6, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ILValidate(c.bytes.data(), c.available), c.expected) << c.what;
  EXPECT_EQ(ILValidate(nullptr, 100), 0u);
}

TEST(IdList, FromItemRefusesACountThatDisagreesWithTheSize) {
  unsigned char item[5] = {5, 0, kItemSignature, 1, 0};
  EXPECT_EQ(ILFromItem(item, 4), nullptr);
  EXPECT_EQ(ILFromItem(item, 1), nullptr);
  IdListPtr ok(ILFromItem(item, 5));
  ASSERT_TRUE(ok);
  EXPECT_EQ(ILGetSize(ok.Get()), 7u);
}

TEST(IdListItems, DecodeRefusesDamagedAndForeignItems) {
  auto item = [](std::vector<unsigned char> payload, uint8_t kind, uint8_t flags, uint8_t signature = kItemSignature) {
    std::vector<unsigned char> b = {0, 0, signature, kind, flags};
    for (unsigned char c : payload) b.push_back(c);
    b[0] = static_cast<unsigned char>(b.size());
    b.push_back(0);
    b.push_back(0);
    return b;
  };
  auto text = [](const char* s) { return std::vector<unsigned char>(s, s + std::strlen(s)); };
  struct Case {
    const char* what;
    std::vector<unsigned char> bytes;
    bool valid;
  };
  const Case cases[] = {
      {"an entry", item(text("movie.avi"), 4, 0), true},
      {"a folder entry", item(text("Videos"), 4, kItemFolder), true},
      {"a volume", item(text("/media/stick"), 3, 0), true},
      {"computer", item({}, 1, 0), true},
      {"foreign signature", item(text("x"), 4, 0, 'Z'), false},
      {"unknown kind", item(text("x"), 9, 0), false},
      {"kind zero", item(text("x"), 0, 0), false},
      {"entry with a slash", item(text("a/b"), 4, 0), false},
      {"entry dot-dot", item(text(".."), 4, 0), false},
      {"entry empty", item({}, 4, 0), false},
      {"entry with a zero byte", item({'a', 0, 'b'}, 4, 0), false},
      {"unknown flag bits", item(text("a"), 4, 0x80), false},
      {"relative volume root", item(text("media"), 3, 0), false},
      {"computer with a payload", item(text("x"), 1, 0), false},
      {"too short for a header", {4, 0, kItemSignature, 4, 0, 0}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DecodeItem(reinterpret_cast<LPCITEMIDLIST>(c.bytes.data())).has_value(), c.valid) << c.what;
}

TEST(IdListItems, NamesThatCannotBeEntriesMakeNoItem) {
  EXPECT_EQ(MakeEntryItem("", 0), nullptr);
  EXPECT_EQ(MakeEntryItem("x/y", 0), nullptr);
  EXPECT_EQ(MakeEntryItem(std::string(256, 'n'), 0), nullptr);
  EXPECT_EQ(MakeVolumeItem("relative"), nullptr);
  IdListPtr longest(MakeEntryItem(std::string(255, 'n'), 0));
  EXPECT_TRUE(longest);
  IdListPtr odd(MakeEntryItem("\xff\xfe", 0));
  ASSERT_TRUE(odd);
  EXPECT_EQ(DecodeItem(odd.Get())->payload, "\xff\xfe");
}

}  // namespace
}  // namespace qelo::shell
