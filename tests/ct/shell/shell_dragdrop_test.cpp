// The drag-and-drop objects of the shell controls: the two blocks byte for
// byte, the format list and its enumerator, the data objects of a node and
// of a selection, the drop source's rules, forwarding drop targets, and the
// effects a dragged set allows, foreign blocks refused.
#include <gtest/gtest.h>

#include <cstring>

#include "ct_shell_ctrls_dragdrop.h"
#include "ct_shell_ctrls_unit.h"
#include "ct_shell_intf.h"
#include "ct_shell_utils.h"
#include "shell/items.h"
#include "shell/special_folders.h"
#include "shell/volumes.h"
#include "shell_fixture.h"

namespace qelo::ct {
namespace {

using shell::IdListPtr;

std::vector<unsigned char> BlockBytes(HGLOBAL block) {
  shell::GlobalLockScope lock(block);
  auto* p = static_cast<const unsigned char*>(lock.bytes());
  return std::vector<unsigned char>(p, p + lock.size());
}

void PutWord(std::vector<unsigned char>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

class ShellDragDrop : public ::testing::Test {
 protected:
  void SetUp() override {
    stick = home.Path("stick");
    test::MakeDir(stick);
    std::string root = stick;
    shell::SetVolumeSourceForTesting([root] { return std::vector<shell::Volume>{{root, "STICK", shell::DRIVE_REMOVABLE}}; });
    InitializeShellCtrls();
  }
  void TearDown() override {
    FinalizeShellCtrls();
    shell::SetVolumeSourceForTesting({});
  }
  test::FakeHome home;
  std::string stick;
};

TEST_F(ShellDragDrop, BlocksAreLaidOutByteForByte) {
  IdListPtr parent(shell::MakeComputerItem()), item(shell::MakeEntryItem("a", 0));
  HGLOBAL cida = nullptr;
  ASSERT_EQ(MakeShellIdListArray(parent.Get(), {item.Get()}, &cida), shell::S_OK);
  std::vector<unsigned char> expected;
  PutWord(expected, 1);
  PutWord(expected, 12);
  PutWord(expected, 12 + static_cast<uint32_t>(IdListSize(parent.Get())));
  for (auto* list : {parent.Get(), item.Get()}) {
    auto* p = reinterpret_cast<const unsigned char*>(list);
    expected.insert(expected.end(), p, p + IdListSize(list));
  }
  EXPECT_EQ(BlockBytes(cida), expected);

  // 300 UTF-8 characters of two bytes each: 600 bytes, far past 260.
  std::string longName = "/";
  for (int i = 0; i < 300; ++i) longName += "é";
  HGLOBAL drop = nullptr;
  ASSERT_EQ(MakeHDrop({longName, "/b"}, &drop), shell::S_OK);
  std::vector<unsigned char> bytes = BlockBytes(drop);
  ASSERT_EQ(bytes.size(), 20u + longName.size() + 1 + 3 + 1);
  EXPECT_EQ(bytes[0], 20);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()) + 20), longName);
  EXPECT_EQ(bytes.back(), 0);

  HGLOBAL copy = DuplicateGlobal(drop);
  EXPECT_NE(copy, drop);
  EXPECT_EQ(BlockBytes(copy), bytes);
  EXPECT_EQ(DuplicateGlobal(nullptr), nullptr);
  for (HGLOBAL b : {cida, drop, copy}) shell::GlobalFree(b);
}

TEST_F(ShellDragDrop, FormatListAnswersByFormatAspectAndMedium) {
  TCtFormatEtcList list;
  list.Add({ShellIdListFormat(), shell::CF_HDROP});
  EXPECT_EQ(list.Count(), 2);
  struct Case {
    shell::CLIPFORMAT format;
    uint32_t aspect, tymed;
    HRESULT expected;
  };
  const Case cases[] = {
      {shell::CF_HDROP, shell::DVASPECT_CONTENT, shell::TYMED_HGLOBAL, shell::S_OK},
      {shell::CF_HDROP, shell::DVASPECT_CONTENT, shell::TYMED_HGLOBAL | shell::TYMED_ISTREAM, shell::S_OK},
      {shell::CF_HDROP, shell::DVASPECT_CONTENT, shell::TYMED_ISTREAM, shell::DV_E_TYMED},
      {shell::CF_HDROP, 4, shell::TYMED_HGLOBAL, shell::DV_E_FORMATETC},
      {0x7777, shell::DVASPECT_CONTENT, shell::TYMED_HGLOBAL, shell::DV_E_FORMATETC},
  };
  for (const Case& c : cases) {
    FORMATETC f;
    f.cfFormat = c.format;
    f.dwAspect = c.aspect;
    f.tymed = c.tymed;
    EXPECT_EQ(list.QueryGetData(f), c.expected) << c.format << " " << c.tymed;
  }
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(ShellDragDrop, ANodeOnAVolumeRootCarriesComputerAndTheVolume) {
  IdListPtr computer;
  ASSERT_EQ(GetSpecialFolderIdList(nullptr, shell::CSIDL_DRIVES, computer.Put()), shell::S_OK);
  shell::ComPtr<IShellFolder> computerFolder;
  ASSERT_EQ(BindToShellFolder(computer.Get(), &computerFolder), shell::S_OK);
  IdListPtr volume(shell::MakeVolumeItem(stick));
  shell::ComPtr<IDataObject> data = TDataObject_shtv::Create(computerFolder.Get(), computer.Get(), volume.Get());
  FORMATETC ids;
  ids.cfFormat = ShellIdListFormat();
  STGMEDIUM medium;
  ASSERT_EQ(data->GetData(&ids, &medium), shell::S_OK);
  std::optional<shell::IdListArray> array = shell::ReadIdListArray(medium.hGlobal);
  shell::ReleaseStgMedium(&medium);
  ASSERT_TRUE(array);
  EXPECT_TRUE(shell::ILIsEqualBytes(array->parent.Get(), computer.Get()));
  ASSERT_EQ(array->items.size(), 1u);
  EXPECT_TRUE(shell::ILIsEqualBytes(array->items[0].Get(), volume.Get()));
  FORMATETC drop;
  drop.cfFormat = shell::CF_HDROP;
  ASSERT_EQ(data->GetData(&drop, &medium), shell::S_OK);
  EXPECT_EQ(*shell::ReadDropFiles(medium.hGlobal), std::vector<std::string>{stick});
  shell::ReleaseStgMedium(&medium);
}

TEST_F(ShellDragDrop, SelectionDataObjectsHandOutIndependentCopies) {
  test::MakeDir(home.Path("clips"));
  test::WriteFile(home.Path("clips/a.mp4"), "a");
  test::WriteFile(home.Path("clips/b.mp4"), "b");
  shell::ComPtr<IShellFolder> folder = test::BindPath(home.Path("clips"));
  IdListPtr folderList = test::ParsePath(home.Path("clips"));
  IdListPtr a = test::ChildItem(home.Path("clips"), "a.mp4"), b = test::ChildItem(home.Path("clips"), "b.mp4");
  shell::ComPtr<IDataObject> data = TDataObject_shlv::Create(folder.Get(), folderList.Get(), {b.Get(), a.Get()});
  FORMATETC drop;
  drop.cfFormat = shell::CF_HDROP;
  STGMEDIUM one, two;
  ASSERT_EQ(data->GetData(&drop, &one), shell::S_OK);
  ASSERT_EQ(data->GetData(&drop, &two), shell::S_OK);
  EXPECT_NE(one.hGlobal, two.hGlobal);
  EXPECT_EQ(*shell::ReadDropFiles(one.hGlobal),
            (std::vector<std::string>{home.Path("clips/b.mp4"), home.Path("clips/a.mp4")}));  // selection order
  shell::ReleaseStgMedium(&one);
  EXPECT_EQ(shell::ReadDropFiles(two.hGlobal)->size(), 2u);  // still whole after the first was freed
  shell::ReleaseStgMedium(&two);
  FORMATETC stream = drop;
  stream.tymed = shell::TYMED_ISTREAM;
  EXPECT_EQ(data->QueryGetData(&stream), shell::DV_E_TYMED);
  EXPECT_EQ(data->GetDataHere(&drop, &one), shell::E_NOTIMPL);
  EXPECT_EQ(data->SetData(&drop, &one, 0), shell::E_NOTIMPL);
  EXPECT_EQ(data->DAdvise(nullptr, 0, nullptr, nullptr), shell::OLE_E_ADVISENOTSUPPORTED);

  shell::ComPtr<shell::IEnumFORMATETC> formats;
  ASSERT_EQ(data->EnumFormatEtc(shell::DATADIR_GET, formats.Put()), shell::S_OK);
  EXPECT_EQ(data->EnumFormatEtc(shell::DATADIR_SET, nullptr), shell::E_POINTER);
  FORMATETC got[10];
  shell::ULONG fetched = 0;
  EXPECT_EQ(formats->Next(10, got, &fetched), shell::S_FALSE);
  ASSERT_EQ(fetched, 2u);
  EXPECT_EQ(got[0].cfFormat, ShellIdListFormat());  // the item array comes first
  EXPECT_EQ(got[1].cfFormat, shell::CF_HDROP);
  ASSERT_EQ(formats->Reset(), shell::S_OK);
  EXPECT_EQ(formats->Skip(1), shell::S_OK);
  shell::ComPtr<shell::IEnumFORMATETC> clone;
  ASSERT_EQ(formats->Clone(clone.Put()), shell::S_OK);
  EXPECT_EQ(formats->Skip(5), shell::S_FALSE);
  // The clone kept its own place, and both outlive the data object.
  data.Reset();
  ASSERT_EQ(clone->Next(1, got, &fetched), shell::S_OK);
  EXPECT_EQ(got[0].cfFormat, shell::CF_HDROP);
  EXPECT_EQ(formats->Next(1, got, &fetched), shell::S_FALSE);
}

TEST_F(ShellDragDrop, TheDropSourceFollowsItsButton) {
  struct Case {
    int kind;
    win::BOOL escape;
    uint32_t keys;
    HRESULT expected;
  };
  const Case cases[] = {
      {0, 0, win::MK_LBUTTON, shell::S_OK},
      {0, 0, 0, shell::DRAGDROP_S_DROP},
      {0, 1, win::MK_LBUTTON, shell::DRAGDROP_S_CANCEL},
      {0, 0, win::MK_LBUTTON | win::MK_RBUTTON, shell::DRAGDROP_S_CANCEL},
      {0, 0, win::MK_LBUTTON | win::MK_SHIFT | win::MK_CONTROL, shell::S_OK},
      {1, 0, win::MK_RBUTTON, shell::S_OK},
      {1, 0, win::MK_RBUTTON | win::MK_LBUTTON, shell::DRAGDROP_S_CANCEL},
      {1, 0, 0, shell::DRAGDROP_S_DROP},
      {2, 0, win::MK_MBUTTON, shell::S_OK},
      {2, 0, win::MK_MBUTTON | win::MK_LBUTTON, shell::DRAGDROP_S_CANCEL},
  };
  for (const Case& c : cases) {
    shell::ComPtr<shell::IDropSource> source = CreateDropSource(c.kind);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->QueryContinueDrag(c.escape, c.keys), c.expected) << c.kind << " " << c.keys;
    EXPECT_EQ(source->GiveFeedback(shell::DROPEFFECT_COPY), shell::DRAGDROP_S_USEDEFAULTCURSORS);
  }
}

class RecordingSite final : public TCtShellDropSite {
 public:
  HRESULT DragEnter(IDataObject*, uint32_t keys, win::POINT, uint32_t* effect) override {
    calls.push_back("enter " + std::to_string(keys));
    *effect = shell::DROPEFFECT_LINK;
    return shell::S_OK;
  }
  HRESULT DragOver(uint32_t, win::POINT p, uint32_t*) override {
    calls.push_back("over " + std::to_string(p.x));
    return shell::S_FALSE;
  }
  HRESULT DragLeave() override {
    calls.push_back("leave");
    return shell::E_FAIL;
  }
  HRESULT Drop(IDataObject*, uint32_t, win::POINT, uint32_t*) override {
    calls.push_back("drop");
    return shell::S_OK;
  }
  std::vector<std::string> calls;
};

TEST_F(ShellDragDrop, DropTargetsPassEveryCallOnUnchanged) {
  RecordingSite site;
  shell::ComPtr<shell::IDropTarget> target = shell::ComPtr<shell::IDropTarget>::Adopt(new TDropTarget_shtv(&site));
  uint32_t effect = shell::DROPEFFECT_COPY;
  EXPECT_EQ(target->DragEnter(nullptr, 9, {1, 2}, &effect), shell::S_OK);
  EXPECT_EQ(effect, shell::DROPEFFECT_LINK);
  EXPECT_EQ(target->DragOver(0, {7, 0}, &effect), shell::S_FALSE);
  EXPECT_EQ(target->DragLeave(), shell::E_FAIL);
  EXPECT_EQ(target->Drop(nullptr, 0, {0, 0}, &effect), shell::S_OK);
  EXPECT_EQ(site.calls, (std::vector<std::string>{"enter 9", "over 7", "leave", "drop"}));
  shell::ComPtr<shell::IUnknown> unknown;
  EXPECT_EQ(target->QueryInterface(shell::IID_IDropTarget, unknown.PutVoid()), shell::S_OK);
  EXPECT_EQ(target->QueryInterface(shell::IID_IDataObject, unknown.PutVoid()), shell::E_NOINTERFACE);
}

// A data object that offers whatever block it is given as its item array.
class ForeignData final : public IDataObject {
 public:
  explicit ForeignData(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}
  HRESULT QueryInterface(shell::REFIID, void** o) override {
    *o = nullptr;
    return shell::E_NOINTERFACE;
  }
  shell::ULONG AddRef() override { return 2; }
  shell::ULONG Release() override { return 1; }
  HRESULT GetData(FORMATETC* f, STGMEDIUM* m) override {
    if (f->cfFormat != ShellIdListFormat()) return shell::DV_E_FORMATETC;
    HGLOBAL block = shell::GlobalAlloc(shell::GMEM_MOVEABLE, bytes_.size());
    shell::GlobalLockScope lock(block);
    std::memcpy(lock.bytes(), bytes_.data(), bytes_.size());
    *m = STGMEDIUM{shell::TYMED_HGLOBAL, block, nullptr};
    return shell::S_OK;
  }
  HRESULT GetDataHere(FORMATETC*, STGMEDIUM*) override { return shell::E_NOTIMPL; }
  HRESULT QueryGetData(FORMATETC* f) override {
    return f->cfFormat == ShellIdListFormat() ? shell::S_OK : shell::DV_E_FORMATETC;
  }
  HRESULT GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return shell::E_NOTIMPL; }
  HRESULT SetData(FORMATETC*, STGMEDIUM*, int) override { return shell::E_NOTIMPL; }
  HRESULT EnumFormatEtc(uint32_t, shell::IEnumFORMATETC**) override { return shell::E_NOTIMPL; }
  HRESULT DAdvise(FORMATETC*, uint32_t, void*, uint32_t*) override { return shell::OLE_E_ADVISENOTSUPPORTED; }
  HRESULT DUnadvise(uint32_t) override { return shell::OLE_E_ADVISENOTSUPPORTED; }
  HRESULT EnumDAdvise(void**) override { return shell::OLE_E_ADVISENOTSUPPORTED; }

 private:
  std::vector<unsigned char> bytes_;
};

TEST_F(ShellDragDrop, AllowedEffectsComeFromTheItemsAndForeignCountsAreNotTrusted) {
  test::MakeDir(home.Path("clips"));
  test::WriteFile(home.Path("clips/a.mp4"), "a");
  IdListPtr folderList = test::ParsePath(home.Path("clips"));
  IdListPtr a = test::ChildItem(home.Path("clips"), "a.mp4");
  shell::ComPtr<IShellFolder> folder = test::BindPath(home.Path("clips"));
  shell::ComPtr<IDataObject> data = TDataObject_shlv::Create(folder.Get(), folderList.Get(), {a.Get()});
  EXPECT_EQ(AllowedDropEffects(data.Get()), 7);
  // Computer's items can only be linked.
  IdListPtr computer;
  GetSpecialFolderIdList(nullptr, shell::CSIDL_DRIVES, computer.Put());
  shell::ComPtr<IShellFolder> computerFolder;
  BindToShellFolder(computer.Get(), &computerFolder);
  IdListPtr volume(shell::MakeVolumeItem(stick));
  shell::ComPtr<IDataObject> volumeData = TDataObject_shtv::Create(computerFolder.Get(), computer.Get(), volume.Get());
  EXPECT_EQ(AllowedDropEffects(volumeData.Get()),
            static_cast<int>(shell::DROPEFFECT_COPY | shell::DROPEFFECT_LINK));

  // A block whose count claims far more items than it holds is not read.
  std::vector<unsigned char> bogus;
  PutWord(bogus, 1000000);
  PutWord(bogus, 8);
  bogus.push_back(0);
  bogus.push_back(0);
  ForeignData foreign(bogus);
  EXPECT_EQ(AllowedDropEffects(&foreign), 7);
  // An offset that points outside the block: not read either.
  std::vector<unsigned char> outside;
  PutWord(outside, 0);
  PutWord(outside, 4000);
  ForeignData badOffset(outside);
  EXPECT_EQ(AllowedDropEffects(&badOffset), 7);
  EXPECT_EQ(AllowedDropEffects(nullptr), 7);
}

TEST_F(ShellDragDrop, FolderDropTargetsAreFoundByList) {
  test::MakeDir(home.Path("target"));
  IdListPtr list = test::ParsePath(home.Path("target"));
  shell::ComPtr<shell::IDropTarget> target;
  ASSERT_EQ(GetItemDropTarget(list.Get(), shell::IID_IDropTarget, target.PutVoid()), shell::S_OK);
  ASSERT_TRUE(target);
  // No desktop folder exists: the desktop has no drop target.
  shell::ComPtr<shell::IDropTarget> desktop;
  EXPECT_TRUE(FAILED(GetDesktopDropTarget(desktop.Put())));
  test::MakeDir(home.Path("Desktop"));
  EXPECT_EQ(GetDesktopDropTarget(desktop.Put()), shell::S_OK);
  IdListPtr empty(shell::ILClone(nullptr));
  shell::ComPtr<shell::IDropTarget> viaEmpty;
  EXPECT_EQ(GetItemDropTarget(empty.Get(), shell::IID_IDropTarget, viaEmpty.PutVoid()), shell::S_OK);
}

}  // namespace
}  // namespace qelo::ct
