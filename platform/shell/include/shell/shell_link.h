// Shell links over symbolic links: a link file of this system is a
// symbolic link, and the shell-link object reads one. Its target is the
// path the link leads to (relative targets taken from the link's folder);
// the other facts a link can carry (arguments, description, icon, working
// folder, hot key) are empty, its show command is "normal".
#pragma once

#include <cstdint>
#include <string>

#include "shell/idlist.h"
#include "win/window/window.h"

namespace qelo::shell {

inline constexpr CLSID CLSID_ShellLink{"ShellLink"};
inline constexpr IID IID_IShellLink{"IShellLink"};
inline constexpr IID IID_IPersistFile{"IPersistFile"};

constexpr uint32_t FILE_ATTRIBUTE_READONLY = 0x01;
constexpr uint32_t FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;

// What the file system tells of one file (times in 100-ns units since
// 1601, as the platform counts them).
struct WIN32_FIND_DATA {
  uint32_t dwFileAttributes = 0;
  int64_t ftCreationTime = 0;
  int64_t ftLastAccessTime = 0;
  int64_t ftLastWriteTime = 0;
  uint64_t nFileSize = 0;
  std::string cFileName;
};
// False (errno set) when the path does not exist.
bool FindDataOf(const std::string& path, WIN32_FIND_DATA* data);

constexpr uint32_t SLR_NO_UI = 0x0001;

class IShellLink : public IUnknown {
 public:
  // The target's path and, when asked for, its find data.
  virtual HRESULT GetPath(std::string* path, WIN32_FIND_DATA* data, uint32_t flags) = 0;
  virtual HRESULT GetIDList(LPITEMIDLIST* list) = 0;
  virtual HRESULT GetDescription(std::string* text) = 0;
  virtual HRESULT GetWorkingDirectory(std::string* path) = 0;
  virtual HRESULT GetArguments(std::string* text) = 0;
  virtual HRESULT GetHotkey(uint16_t* key) = 0;
  virtual HRESULT GetShowCmd(int* show) = 0;
  virtual HRESULT GetIconLocation(std::string* path, int* index) = 0;
  // Checks that the target is there: HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)
  // when it is not.
  virtual HRESULT Resolve(win::HWND owner, uint32_t flags) = 0;

 protected:
  ~IShellLink() = default;
};

class IPersistFile : public IUnknown {
 public:
  // Reads the link at `path`; E_FAIL when it is no symbolic link.
  virtual HRESULT Load(const std::string& path, uint32_t mode) = 0;

 protected:
  ~IPersistFile() = default;
};

// Creates an object of a class this layer offers (only CLSID_ShellLink).
HRESULT CoCreateInstance(REFCLSID classId, IUnknown* outer, uint32_t context, REFIID iid, void** object);
constexpr uint32_t CLSCTX_INPROC_SERVER = 0x1;

}  // namespace qelo::shell
