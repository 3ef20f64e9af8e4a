// The component that names where a form's settings are kept: an ini file at
// a path (optionally under a special folder, in an encoding) or a registry
// key under one of the roots, opened with a set of access rights. Only the
// names are kept here; every change marks the store for reopening.
#pragma once

#include <string>

#include "vcl/classes.h"

namespace qelo::ct {

enum TCtPathType { ptIniFile, ptRegistry };
enum TCtRegKey {
  hkeyClassesRoot, hkeyCurrentUser, hkeyLocalMachine, hkeyUsers,
  hkeyPerformanceData, hkeyCurrentConfig, hkeyDynData
};
enum TCtRegAccessKind {
  keyQueryValue, keySetValue, keyCreateSubKey, keyEnumerateSubKeys, keyNotify,
  keyCreateLink, keyRead, keyWrite, keyExecute, keyAllAccess
};
using TCtRegAccess = vcl::TSet<TCtRegAccessKind>;
enum TCtSpecialFolder { sfNone, sfUserAppDataRoaming, sfUserAppDataLocal, sfUserDocuments, sfProgramData };
enum TCtIniFileEncoding { feDefault, feUTF8, feUnicode };

extern const vcl::EnumInfo kCtPathTypeInfo;
extern const vcl::EnumInfo kCtRegKeyInfo;
extern const vcl::EnumInfo kCtRegAccessInfo;
extern const vcl::EnumInfo kCtSpecialFolderInfo;
extern const vcl::EnumInfo kCtIniFileEncodingInfo;

class TCtRegIniFile : public vcl::TComponent {
  QELO_VCL_CLASS()
 public:
  explicit TCtRegIniFile(vcl::TComponent* owner) : vcl::TComponent(owner) {}

  const std::string& Path() const { return path_; }
  virtual void SetPath(const std::string& path);
  TCtPathType PathType() const { return pathType_; }
  virtual void SetPathType(TCtPathType pathType);
  TCtRegKey RegKey() const { return regKey_; }
  virtual void SetRegKey(TCtRegKey regKey);
  TCtRegAccess RegAccess() const { return regAccess_; }
  virtual void SetRegAccess(TCtRegAccess regAccess);
  TCtSpecialFolder SpecialFolder() const { return specialFolder_; }
  virtual void SetSpecialFolder(TCtSpecialFolder specialFolder);
  TCtIniFileEncoding FileEncoding() const { return fileEncoding_; }
  virtual void SetFileEncoding(TCtIniFileEncoding fileEncoding);

  // Set at creation and by every change of a property; cleared by the code
  // that opens the store.
  bool ReopenNeeded() const { return reopenNeeded_; }

 protected:
  void MarkOpened() { reopenNeeded_ = false; }

 private:
  template <class T>
  void Change(T& field, const T& value);

  bool reopenNeeded_ = true;
  std::string path_;
  TCtPathType pathType_ = ptIniFile;
  TCtRegKey regKey_ = hkeyCurrentUser;
  TCtRegAccess regAccess_{keyAllAccess};
  TCtSpecialFolder specialFolder_ = sfNone;
  TCtIniFileEncoding fileEncoding_ = feDefault;
};

}  // namespace qelo::ct
