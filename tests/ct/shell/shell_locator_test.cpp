// The shell locator (lists, special folders, change events, the stored
// "Pidl" data and damaged data refused), the details adapter, and the
// unit's shared column widths and "DirectoryCols" reading.
#include <gtest/gtest.h>

#include <cstring>

#include "ct_shell_ctrls_locator.h"
#include "ct_shell_ctrls_unit.h"
#include "ct_shell_utils.h"
#include "shell/special_folders.h"
#include "shell/volumes.h"
#include "shell_fixture.h"
#include "vcl/form_reader.h"

namespace qelo::ct {
namespace {

using shell::IdListPtr;

class ShellLocator : public ::testing::Test {
 protected:
  void SetUp() override {
    shell::SetVolumeSourceForTesting([] { return std::vector<shell::Volume>{}; });
    locator.OnChange = [this](vcl::TObject*) { ++changes; };
  }
  void TearDown() override { shell::SetVolumeSourceForTesting({}); }
  test::FakeHome home;
  TCtShellLocator locator;
  int changes = 0;
};

TEST_F(ShellLocator, TheDesktopsEmptyListHoldsNothing) {
  IdListPtr empty(shell::ILClone(nullptr));
  locator.SetIdList(empty.Get());
  EXPECT_EQ(locator.IdList(), nullptr);
  EXPECT_EQ(locator.GetPathName(), "");
  EXPECT_EQ(changes, 0);  // nothing before, nothing now
}

TEST_F(ShellLocator, ChangesFireOnlyWhenTheFolderChanges) {
  test::MakeDir(home.Path("a"));
  test::MakeDir(home.Path("b"));
  locator.SetPathName(home.Path("a"));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(locator.GetPathName(), home.Path("a"));
  locator.SetPathName(home.Path("a"));
  EXPECT_EQ(changes, 1);
  locator.SetPathName(home.Path("b"));
  EXPECT_EQ(changes, 2);
  locator.SetPathName(home.Path("missing"));  // cannot be parsed: no folder
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(locator.IdList(), nullptr);
  locator.SetSpecialFolder(shell::CSIDL_PROFILE);
  EXPECT_EQ(changes, 4);
  locator.SetPathName(home.path());  // from a special folder always fires
  EXPECT_EQ(changes, 5);

  TCtShellLocator other;
  other.Assign(&locator);
  EXPECT_TRUE(other.IsEqual(locator));
  int otherChanges = 0;
  other.OnChange = [&](vcl::TObject*) { ++otherChanges; };
  other.Assign(&locator);  // equal: no event
  EXPECT_EQ(otherChanges, 0);
  other.Assign(nullptr);
  EXPECT_EQ(otherChanges, 1);
  EXPECT_EQ(other.IdList(), nullptr);
}

TEST_F(ShellLocator, ASpecialFolderIsStoredByNumberAndFetchedWhenAsked) {
  test::MakeDir(home.Path("Videos"));
  locator.SetSpecialFolder(shell::CSIDL_MYVIDEO);
  std::vector<uint8_t> stored = locator.WritePidlData();
  EXPECT_EQ(stored, (std::vector<uint8_t>{1, shell::CSIDL_MYVIDEO}));
  TCtShellLocator read;
  read.ReadPidlData(stored);
  EXPECT_EQ(read.Kind(), TCtShellLocator::kBySpecialFolder);
  EXPECT_EQ(read.SpecialFolder(), shell::CSIDL_MYVIDEO);
  EXPECT_FALSE(read.HasPidlData() == false);
  EXPECT_EQ(read.GetPathName(), home.Path("Videos"));  // fetched now
  EXPECT_TRUE(read.IsEqual(locator));

  TCtShellLocator byList;
  EXPECT_FALSE(byList.HasPidlData());
  byList.SetPathName(home.Path("Videos"));
  TCtShellLocator back;
  back.ReadPidlData(byList.WritePidlData());
  EXPECT_EQ(back.GetPathName(), home.Path("Videos"));
  TCtShellLocator desktop;
  desktop.ReadPidlData({0, 0, 0, 0, 0});  // size 0: the desktop
  EXPECT_EQ(desktop.Kind(), TCtShellLocator::kBySpecialFolder);
  EXPECT_EQ(desktop.SpecialFolder(), 0);
}

TEST_F(ShellLocator, StoredDataWhoseSizesLieIsRefused) {
  test::MakeDir(home.Path("Videos"));
  locator.SetPathName(home.Path("Videos"));
  std::vector<uint8_t> good = locator.WritePidlData();
  auto withSize = [&](uint32_t size) {
    std::vector<uint8_t> d = good;
    std::memcpy(d.data() + 1, &size, sizeof size);
    return d;
  };
  const uint32_t real = static_cast<uint32_t>(good.size() - 5);
  const std::vector<std::vector<uint8_t>> damaged = {
      {},                                        // nothing at all
      {0, 1},                                    // a size cut short
      {1},                                       // a folder number missing
      withSize(real + 100),                      // more bytes claimed than there are
      withSize(0x7FFFFFFF),
      withSize(real - 1),                        // the list's terminator left out
      std::vector<uint8_t>{0, 4, 0, 0, 0, 1, 0, 0, 0},  // a count of 1
  };
  for (const auto& data : damaged) {
    TCtShellLocator read;
    EXPECT_THROW(read.ReadPidlData(data), vcl::EReadError) << data.size();
    EXPECT_EQ(read.IdList(), nullptr);
  }
}

TEST_F(ShellLocator, FormFilesCarryTheStoredData) {
  const vcl::DefinedPropertyReader* reader = TCtShellLocator::StaticClass().FindDefinedProperty("Pidl");
  ASSERT_NE(reader, nullptr);
  vcl::FormValue value;
  value.type = vcl::FormValue::Type::Binary;
  value.bytes = {1, shell::CSIDL_PROFILE};
  TCtShellLocator read;
  (*reader)(read, value);
  EXPECT_EQ(read.GetPathName(), home.path());
  value.type = vcl::FormValue::Type::Integer;
  EXPECT_THROW((*reader)(read, value), vcl::EReadError);
}

// A folder whose second column is hidden by default.
class HidingFolder final : public shell::IShellFolder2 {
 public:
  explicit HidingFolder(shell::IShellFolder2* real) : real_(shell::ComPtr<shell::IShellFolder2>::Share(real)) {}
  HRESULT QueryInterface(shell::REFIID iid, void** o) override {
    if (iid == shell::IID_IShellFolder2 || iid == shell::IID_IShellFolder || iid == shell::IID_IUnknown) {
      *o = static_cast<shell::IShellFolder2*>(this);
      return shell::S_OK;
    }
    *o = nullptr;
    return shell::E_NOINTERFACE;
  }
  shell::ULONG AddRef() override { return 2; }
  shell::ULONG Release() override { return 1; }
  HRESULT ParseDisplayName(shell::HWND, void*, const char*, shell::ULONG*, shell::LPITEMIDLIST*, shell::ULONG*) override {
    return shell::E_NOTIMPL;
  }
  HRESULT EnumObjects(shell::HWND, shell::DWORD, shell::IEnumIDList**) override { return shell::E_NOTIMPL; }
  HRESULT BindToObject(LPCITEMIDLIST, void*, shell::REFIID, void**) override { return shell::E_NOTIMPL; }
  HRESULT CompareIDs(shell::LPARAM, LPCITEMIDLIST, LPCITEMIDLIST) override { return shell::E_NOTIMPL; }
  HRESULT CreateViewObject(shell::HWND, shell::REFIID, void**) override { return shell::E_NOTIMPL; }
  HRESULT GetAttributesOf(shell::UINT, LPCITEMIDLIST const*, shell::ULONG*) override { return shell::E_NOTIMPL; }
  HRESULT GetUIObjectOf(shell::HWND, shell::UINT, LPCITEMIDLIST const*, shell::REFIID, shell::UINT*, void**) override {
    return shell::E_NOTIMPL;
  }
  HRESULT GetDisplayNameOf(LPCITEMIDLIST, shell::DWORD, shell::STRRET*) override { return shell::E_NOTIMPL; }
  HRESULT SetNameOf(shell::HWND, LPCITEMIDLIST, const char*, shell::DWORD, shell::LPITEMIDLIST*) override {
    return shell::E_NOTIMPL;
  }
  HRESULT GetDefaultColumnState(shell::UINT column, shell::DWORD* state) override {
    HRESULT hr = real_->GetDefaultColumnState(column, state);
    if (column == 1) *state &= ~shell::SHCOLSTATE_ONBYDEFAULT;
    return hr;
  }
  HRESULT GetDetailsOf(LPCITEMIDLIST item, shell::UINT column, shell::SHELLDETAILS* details) override {
    return real_->GetDetailsOf(item, column, details);
  }

 private:
  shell::ComPtr<shell::IShellFolder2> real_;
};

int ColumnCount(shell::IShellDetails* details) {
  int count = 0;
  for (shell::UINT c = 0;; ++c) {
    shell::SHELLDETAILS d;
    if (FAILED(details->GetDetailsOf(nullptr, c, &d))) return count;
    shell::TakeStrRet(&d.str, nullptr);
    ++count;
  }
}

TEST_F(ShellLocator, DetailsEndAtAColumnHiddenByDefault) {
  shell::ComPtr<IShellFolder> folder = test::BindPath(home.path());
  shell::ComPtr<shell::IShellDetails> details = GetShellDetails(folder.Get());
  ASSERT_TRUE(details);
  EXPECT_EQ(ColumnCount(details.Get()), 4);
  EXPECT_EQ(details->ColumnClick(0), shell::E_NOTIMPL);
  shell::ComPtr<shell::IShellFolder2> real;
  ASSERT_EQ(folder.As(shell::IID_IShellFolder2, &real), shell::S_OK);
  HidingFolder hiding(real.Get());
  shell::ComPtr<shell::IShellDetails> cut = GetShellDetails(&hiding);
  ASSERT_TRUE(cut);
  EXPECT_EQ(ColumnCount(cut.Get()), 1);
  EXPECT_FALSE(GetShellDetails(nullptr));
}

TEST(ShellCtrlsUnit, SavedWidthsAndDirectoryColsAreReadOnlyWhenTheyFit) {
  InitializeShellCtrls();
  EXPECT_FALSE(LoadColumnWidths());
  SaveColumnWidths({200, 60, 100});
  EXPECT_EQ(*LoadColumnWidths(), (std::vector<int32_t>{200, 60, 100}));
  std::vector<uint8_t>& stream = SharedColumnWidthStream();
  int32_t lie = 1000;
  std::memcpy(stream.data(), &lie, sizeof lie);
  EXPECT_FALSE(LoadColumnWidths());  // a count the bytes cannot hold

  const std::vector<uint8_t> four = {200, 0, 60, 0, 100, 0, 120, 0};
  EXPECT_EQ(*DirectoryColsWidths(four), (std::array<int, 4>{200, 60, 100, 120}));
  EXPECT_FALSE(DirectoryColsWidths({200, 0, 60, 0, 100, 0}));  // under 8 bytes: not four words
  EXPECT_FALSE(DirectoryColsWidths(std::vector<uint8_t>(23, 1)));
  EXPECT_TRUE(DirectoryColsWidths(std::vector<uint8_t>(22, 1)));
  EXPECT_EQ(MouseHoverTime(), 400u);
  EXPECT_GE(MouseHoverWidth(), 1);
  EXPECT_NE(ShellIdListFormat(), 0);
  EXPECT_EQ(ShellIdListFormat(), shell::RegisterClipboardFormat("Shell IDList Array"));
  FinalizeShellCtrls();
  EXPECT_TRUE(SharedColumnWidthStream().empty());
}

}  // namespace
}  // namespace qelo::ct
