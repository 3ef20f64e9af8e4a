// The settings-store component: its defaults, the reopen flag its setters
// keep, and a form file that places it and sets it by name.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ct_common_regini.h"
#include "vcl/form_reader.h"

namespace qelo::ct {
namespace {

// Stands in for the code that opens the store.
class TOpenedRegIniFile : public TCtRegIniFile {
 public:
  using TCtRegIniFile::TCtRegIniFile;
  void Open() { MarkOpened(); }
};

TEST(SettingsStore, DefaultsAreAnIniFileWithFullAccessUnderTheCurrentUser) {
  TCtRegIniFile store(nullptr);
  EXPECT_EQ(vcl::GetStrProp(store, "Path"), "");
  EXPECT_EQ(vcl::GetEnumProp(store, "PathType"), "ptIniFile");
  EXPECT_EQ(vcl::GetEnumProp(store, "RegKey"), "hkeyCurrentUser");
  EXPECT_EQ(vcl::GetSetProp(store, "RegAccess"), "keyAllAccess");
  EXPECT_EQ(vcl::GetEnumProp(store, "SpecialFolder"), "sfNone");
  EXPECT_EQ(vcl::GetEnumProp(store, "FileEncoding"), "feDefault");
  EXPECT_TRUE(store.ReopenNeeded());
}

TEST(SettingsStore, OnlyAChangedValueAsksForReopening) {
  struct Case {
    const char* property;
    std::function<void(TCtRegIniFile&)> same, changed;
  } cases[] = {
      {"Path", [](TCtRegIniFile& s) { s.SetPath(""); }, [](TCtRegIniFile& s) { s.SetPath("clipshift.ini"); }},
      {"PathType", [](TCtRegIniFile& s) { s.SetPathType(ptIniFile); },
       [](TCtRegIniFile& s) { s.SetPathType(ptRegistry); }},
      {"RegKey", [](TCtRegIniFile& s) { s.SetRegKey(hkeyCurrentUser); },
       [](TCtRegIniFile& s) { s.SetRegKey(hkeyLocalMachine); }},
      {"RegAccess", [](TCtRegIniFile& s) { s.SetRegAccess({keyAllAccess}); },
       [](TCtRegIniFile& s) { s.SetRegAccess({keyRead, keyWrite}); }},
      {"SpecialFolder", [](TCtRegIniFile& s) { s.SetSpecialFolder(sfNone); },
       [](TCtRegIniFile& s) { s.SetSpecialFolder(sfUserDocuments); }},
      {"FileEncoding", [](TCtRegIniFile& s) { s.SetFileEncoding(feDefault); },
       [](TCtRegIniFile& s) { s.SetFileEncoding(feUTF8); }},
  };
  for (const Case& c : cases) {
    TOpenedRegIniFile store(nullptr);
    store.Open();
    c.same(store);
    EXPECT_FALSE(store.ReopenNeeded()) << c.property;
    c.changed(store);
    EXPECT_TRUE(store.ReopenNeeded()) << c.property;
  }
}

class TfrmStoreSample : public vcl::TComponent {
  QELO_VCL_CLASS()
 public:
  using vcl::TComponent::TComponent;
  TCtRegIniFile* Store = nullptr;
};

const vcl::ClassInfo& TfrmStoreSample::StaticClass() {
  static const vcl::ClassInfo info =
      vcl::ClassBuilder<TfrmStoreSample>("TfrmStoreSample", vcl::TComponent::StaticClass())
          .Field("Store", &TfrmStoreSample::Store)
          .Done();
  return info;
}

TEST(SettingsStore, AFormPlacesItAndSetsItsPropertiesByName) {
  vcl::RegisterClass(TCtRegIniFile::StaticClass());
  TfrmStoreSample form(nullptr);
  vcl::ReadComponentText(form,
                         "object frmStoreSample: TfrmStoreSample\n"
                         "  object Store: TCtRegIniFile\n"
                         "    Path = 'Clipshift\\Settings'\n"
                         "    PathType = ptRegistry\n"
                         "    RegKey = hkeyLocalMachine\n"
                         "    RegAccess = [keyQueryValue, keyRead]\n"
                         "    SpecialFolder = sfUserAppDataLocal\n"
                         "    FileEncoding = feUnicode\n"
                         "  end\n"
                         "end\n",
                         "store.form");
  ASSERT_NE(form.Store, nullptr);
  EXPECT_EQ(form.Store->Path(), "Clipshift\\Settings");
  EXPECT_EQ(form.Store->PathType(), ptRegistry);
  EXPECT_EQ(form.Store->RegKey(), hkeyLocalMachine);
  EXPECT_EQ(form.Store->RegAccess(), TCtRegAccess({keyQueryValue, keyRead}));
  EXPECT_EQ(form.Store->SpecialFolder(), sfUserAppDataLocal);
  EXPECT_EQ(form.Store->FileEncoding(), feUnicode);
}

}  // namespace
}  // namespace qelo::ct
