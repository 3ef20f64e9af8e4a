#include "ct_common_regini.h"

namespace qelo::ct {

using vcl::ClassBuilder;
using vcl::ClassInfo;

const vcl::EnumInfo kCtPathTypeInfo{"TCtPathType", {"ptIniFile", "ptRegistry"}};
const vcl::EnumInfo kCtRegKeyInfo{"TCtRegKey",
                                  {"hkeyClassesRoot", "hkeyCurrentUser", "hkeyLocalMachine", "hkeyUsers",
                                   "hkeyPerformanceData", "hkeyCurrentConfig", "hkeyDynData"}};
const vcl::EnumInfo kCtRegAccessInfo{"TCtRegAccessKind",
                                     {"keyQueryValue", "keySetValue", "keyCreateSubKey", "keyEnumerateSubKeys",
                                      "keyNotify", "keyCreateLink", "keyRead", "keyWrite", "keyExecute",
                                      "keyAllAccess"}};
const vcl::EnumInfo kCtSpecialFolderInfo{
    "TCtSpecialFolder", {"sfNone", "sfUserAppDataRoaming", "sfUserAppDataLocal", "sfUserDocuments", "sfProgramData"}};
const vcl::EnumInfo kCtIniFileEncodingInfo{"TCtIniFileEncoding", {"feDefault", "feUTF8", "feUnicode"}};

const ClassInfo& TCtRegIniFile::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TCtRegIniFile>("TCtRegIniFile", vcl::TComponent::StaticClass())
          .String("Path", &TCtRegIniFile::Path, &TCtRegIniFile::SetPath)
          .Enum("PathType", kCtPathTypeInfo, &TCtRegIniFile::PathType, &TCtRegIniFile::SetPathType)
          .Enum("RegKey", kCtRegKeyInfo, &TCtRegIniFile::RegKey, &TCtRegIniFile::SetRegKey)
          .Set("RegAccess", kCtRegAccessInfo, &TCtRegIniFile::RegAccess, &TCtRegIniFile::SetRegAccess)
          .Enum("SpecialFolder", kCtSpecialFolderInfo, &TCtRegIniFile::SpecialFolder,
                &TCtRegIniFile::SetSpecialFolder)
          .Enum("FileEncoding", kCtIniFileEncodingInfo, &TCtRegIniFile::FileEncoding,
                &TCtRegIniFile::SetFileEncoding)
          .Done();
  return info;
}

template <class T>
void TCtRegIniFile::Change(T& field, const T& value) {
  if (field == value) return;
  field = value;
  reopenNeeded_ = true;
}

void TCtRegIniFile::SetPath(const std::string& path) { Change(path_, path); }
void TCtRegIniFile::SetPathType(TCtPathType pathType) { Change(pathType_, pathType); }
void TCtRegIniFile::SetRegKey(TCtRegKey regKey) { Change(regKey_, regKey); }
void TCtRegIniFile::SetRegAccess(TCtRegAccess regAccess) { Change(regAccess_, regAccess); }
void TCtRegIniFile::SetSpecialFolder(TCtSpecialFolder specialFolder) { Change(specialFolder_, specialFolder); }
void TCtRegIniFile::SetFileEncoding(TCtIniFileEncoding fileEncoding) { Change(fileEncoding_, fileEncoding); }

}  // namespace qelo::ct
