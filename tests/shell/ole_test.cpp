// Global memory, clipboard formats, the item blocks made byte for byte and
// foreign ones refused, the shell's data object and the clipboard.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "shell/drop_blocks.h"
#include "shell/items.h"
#include "shell/ole_data.h"
#include "shell/shell_data_object.h"
#include "shell_fixture.h"
#include "win/window/window.h"

namespace qelo::shell {
namespace {

std::vector<unsigned char> BlockBytes(HGLOBAL block) {
  GlobalLockScope lock(block);
  auto* p = static_cast<const unsigned char*>(lock.bytes());
  return std::vector<unsigned char>(p, p + lock.size());
}

void PutWord(std::vector<unsigned char>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

void PutList(std::vector<unsigned char>& b, LPCITEMIDLIST list) {
  auto* p = reinterpret_cast<const unsigned char*>(list);
  b.insert(b.end(), p, p + ILGetSize(list));
}

TEST(GlobalMemory, BlocksLockSizeAndFreeOnce) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 10);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalSize(block), 10u);
  auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
  ASSERT_NE(bytes, nullptr);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(bytes[i], 0) << "blocks start zeroed";
  EXPECT_FALSE(GlobalUnlock(block));  // the last lock ends
  EXPECT_EQ(GlobalFree(block), nullptr);
  EXPECT_EQ(GlobalFree(block), block);  // not a live block any more
  EXPECT_EQ(GlobalLock(block), nullptr);
  EXPECT_EQ(GlobalSize(block), 0u);
}

TEST(ClipboardFormats, NamesGiveStableNumbers) {
  uint32_t a = RegisterClipboardFormat("Shell IDList Array");
  EXPECT_GE(a, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormat("shell idlist array"), a);
  EXPECT_NE(RegisterClipboardFormat("Preferred DropEffect"), a);
  EXPECT_EQ(GetClipboardFormatName(a), "Shell IDList Array");
  EXPECT_EQ(RegisterClipboardFormat(""), 0u);
  EXPECT_EQ(GetClipboardFormatName(CF_HDROP), "");
}

TEST(DropBlocks, IdListArrayIsLaidOutExactly) {
  IdListPtr parent(MakeComputerItem());
  IdListPtr a(MakeEntryItem("a.mp4", 0)), b(MakeEntryItem("folder", kItemFolder));
  HGLOBAL block = BuildIdListArray(parent.Get(), {a.Get(), b.Get()});
  std::vector<unsigned char> expected;
  PutWord(expected, 2);
  const uint32_t start = 4 + 4 * 3;
  PutWord(expected, start);
  PutWord(expected, start + static_cast<uint32_t>(ILGetSize(parent.Get())));
  PutWord(expected, start + static_cast<uint32_t>(ILGetSize(parent.Get()) + ILGetSize(a.Get())));
  PutList(expected, parent.Get());
  PutList(expected, a.Get());
  PutList(expected, b.Get());
  EXPECT_EQ(BlockBytes(block), expected);

  std::optional<IdListArray> read = ReadIdListArray(block);
  ASSERT_TRUE(read);
  EXPECT_TRUE(ILIsEqualBytes(read->parent.Get(), parent.Get()));
  ASSERT_EQ(read->items.size(), 2u);
  EXPECT_TRUE(ILIsEqualBytes(read->items[1].Get(), b.Get()));
  GlobalFree(block);

  // A null parent is the empty list, its two zero bytes.
  HGLOBAL noParent = BuildIdListArray(nullptr, {a.Get()});
  std::vector<unsigned char> bytes = BlockBytes(noParent);
  ASSERT_EQ(bytes.size(), 12u + 2 + ILGetSize(a.Get()));
  EXPECT_EQ(bytes[4], 12);
  EXPECT_EQ(bytes[12], 0);
  EXPECT_EQ(bytes[13], 0);
  GlobalFree(noParent);
}

TEST(DropBlocks, FileDropListHoldsNamesOfAnyLength) {
  const std::string longName = "/" + std::string(300, 'x') + "/Ünïcödé 映画 " + std::string(200, 'y') + ".mp4";
  HGLOBAL block = BuildDropFiles({"/tmp/a b.avi", longName});
  std::vector<unsigned char> expected;
  PutWord(expected, 20);
  for (int i = 0; i < 16; ++i) expected.push_back(0);
  for (const std::string& name : {std::string("/tmp/a b.avi"), longName}) {
    expected.insert(expected.end(), name.begin(), name.end());
    expected.push_back(0);
  }
  expected.push_back(0);
  EXPECT_EQ(BlockBytes(block), expected);
  std::optional<std::vector<std::string>> names = ReadDropFiles(block);
  ASSERT_TRUE(names);
  EXPECT_EQ(*names, (std::vector<std::string>{"/tmp/a b.avi", longName}));
  GlobalFree(block);
}

TEST(DropBlocks, ForeignBlocksWithBadCountsOrOffsetsAreRefused) {
  IdListPtr item(MakeEntryItem("x", 0));
  auto cida = [&](uint32_t count, std::vector<uint32_t> offsets, std::size_t cut = 0) {
    std::vector<unsigned char> b;
    PutWord(b, count);
    for (uint32_t o : offsets) PutWord(b, o);
    PutList(b, item.Get());
    PutList(b, item.Get());
    b.resize(b.size() - cut);
    return b;
  };
  const uint32_t first = 12, second = 12 + static_cast<uint32_t>(ILGetSize(item.Get()));
  struct Case {
    const char* what;
    std::vector<unsigned char> bytes;
    bool ok;
  };
  const Case cases[] = {
      {"well formed", cida(1, {first, second}), true},
      {"count beyond the offsets there are", cida(0x40000000, {first, second}), false},
      {"count one too many", cida(2, {first, second}), false},
      {"offset past the end", cida(1, {first, 5000}), false},
      {"offset at the last byte, a list that runs off", cida(1, {first, second + static_cast<uint32_t>(ILGetSize(item.Get())) - 1}), false},
      {"last list cut short", cida(1, {first, second}, 1), false},
      {"too small for a count", {1, 0}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ReadIdListArray(c.bytes.data(), c.bytes.size()).has_value(), c.ok) << c.what;

  auto hdrop = [](uint32_t start, std::string names, bool wide = false) {
    std::vector<unsigned char> b;
    PutWord(b, start);
    for (int i = 0; i < 12; ++i) b.push_back(0);
    PutWord(b, wide ? 1 : 0);
    b.insert(b.end(), names.begin(), names.end());
    return b;
  };
  const Case drops[] = {
      {"well formed", hdrop(20, std::string("/a\0/b\0\0", 7)), true},
      {"names start inside the header", hdrop(8, std::string("/a\0\0", 4)), false},
      {"names start past the end", hdrop(400, std::string("/a\0\0", 4)), false},
      {"last name never ends", hdrop(20, std::string("/a\0/b", 5)), false},
      {"list never ends", hdrop(20, std::string("/a\0", 3)), false},
      {"wide names", hdrop(20, std::string("/\0a\0\0\0\0\0", 8), true), true},
      {"wide name cut in half", hdrop(20, std::string("/\0a", 3), true), false},
  };
  for (const Case& c : drops)
    EXPECT_EQ(ReadDropFiles(c.bytes.data(), c.bytes.size()).has_value(), c.ok) << c.what;
  std::vector<unsigned char> wide = hdrop(20, std::string("/\0a\0\0\0\0\0", 8), true);
  EXPECT_EQ(*ReadDropFiles(wide.data(), wide.size()), std::vector<std::string>{"/a"});
}

class DataObjects : public ::testing::Test {
 protected:
  void SetUp() override {
    test::MakeDir(home.Path("clips"));
    test::WriteFile(home.Path("clips/a.mp4"), "a");
    test::WriteFile(home.Path("clips/b.mp4"), "b");
    folder = test::ParsePath(home.Path("clips"));
    a = test::ChildItem(home.Path("clips"), "a.mp4");
    b = test::ChildItem(home.Path("clips"), "b.mp4");
  }
  test::FakeHome home;
  IdListPtr folder, a, b;
};

TEST_F(DataObjects, OfferTheirFormatsAndHandOutCopies) {
  ComPtr<IDataObject> data;
  ASSERT_EQ(CreateShellDataObject(folder.Get(), {a.Get(), b.Get()}, 0, data.Put()), S_OK);
  FORMATETC hdrop;
  hdrop.cfFormat = CF_HDROP;
  STGMEDIUM first, second;
  ASSERT_EQ(data->GetData(&hdrop, &first), S_OK);
  ASSERT_EQ(data->GetData(&hdrop, &second), S_OK);
  EXPECT_NE(first.hGlobal, second.hGlobal);
  EXPECT_EQ(BlockBytes(first.hGlobal), BlockBytes(second.hGlobal));
  ReleaseStgMedium(&first);
  EXPECT_EQ(*ReadDropFiles(second.hGlobal),
            (std::vector<std::string>{home.Path("clips/a.mp4"), home.Path("clips/b.mp4")}));
  ReleaseStgMedium(&second);

  hdrop.tymed = TYMED_ISTREAM;
  EXPECT_EQ(data->QueryGetData(&hdrop), DV_E_TYMED);
  FORMATETC unknown;
  unknown.cfFormat = 0x7777;
  EXPECT_EQ(data->QueryGetData(&unknown), DV_E_FORMATETC);
  FORMATETC otherAspect;
  otherAspect.cfFormat = CF_HDROP;
  otherAspect.dwAspect = 4;
  EXPECT_EQ(data->QueryGetData(&otherAspect), DV_E_FORMATETC);

  ComPtr<IEnumFORMATETC> formats;
  ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, formats.Put()), S_OK);
  FORMATETC got[10];
  ULONG fetched = 0;
  EXPECT_EQ(formats->Next(10, got, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  EXPECT_EQ(got[0].cfFormat, RegisterClipboardFormat(CFSTR_SHELLIDLIST));
  EXPECT_EQ(got[1].cfFormat, CF_HDROP);
  EXPECT_EQ(data->EnumFormatEtc(DATADIR_SET, formats.Put()), E_NOTIMPL);

  EXPECT_EQ(DataObjectPaths(data.Get()),
            (std::vector<std::string>{home.Path("clips/a.mp4"), home.Path("clips/b.mp4")}));
  EXPECT_EQ(PreferredDropEffect(data.Get()), 0u);
}

TEST_F(DataObjects, TheClipboardForgetsAnObjectWhoseTextWasReplaced) {
  ComPtr<IDataObject> data;
  ASSERT_EQ(CreateShellDataObject(folder.Get(), {a.Get()}, 2, data.Put()), S_OK);
  EXPECT_EQ(PreferredDropEffect(data.Get()), 2u);
  ASSERT_EQ(OleSetClipboard(data.Get()), S_OK);
  EXPECT_EQ(win::GetClipboardText(), home.Path("clips/a.mp4"));
  ComPtr<IDataObject> back;
  ASSERT_EQ(OleGetClipboard(back.Put()), S_OK);
  EXPECT_EQ(back.Get(), data.Get());
  EXPECT_EQ(OleIsCurrentClipboard(data.Get()), S_OK);
  win::SetClipboardText("some other text");
  EXPECT_EQ(OleGetClipboard(back.Put()), E_FAIL);
  EXPECT_FALSE(back);
  OleSetClipboard(nullptr);
}

}  // namespace
}  // namespace qelo::shell
