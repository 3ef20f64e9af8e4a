// The shell locator names a folder by an item-id list or by a special-folder
// number; the tree keeps its base and selected folders in locators, the list
// its folder, and the folder dialogs read and set paths through them. The
// details adapter lets a folder that offers only IShellFolder2 serve the
// shell list's columns through IShellDetails.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/idlist.h"
#include "shell/shell_folder.h"
#include "vcl/classes.h"

namespace qelo::ct {

class TCtShellLocator : public vcl::TPersistent {
  QELO_VCL_CLASS()
 public:
  static constexpr uint8_t kByIdList = 0;
  static constexpr uint8_t kBySpecialFolder = 1;
  static constexpr uint8_t kNoSpecialFolder = 50;

  TCtShellLocator() = default;
  ~TCtShellLocator() override;

  uint8_t Kind() const { return kind_; }
  uint8_t SpecialFolder() const { return specialFolder_; }
  // Names the folder by number (fetched when IdList is first asked for).
  void SetSpecialFolder(uint8_t folder);

  // Kind 0: the list; kind 1: the folder's list, fetched on first use.
  shell::LPCITEMIDLIST IdList();
  // Keeps a copy of a list with at least one item (else none); kind 0.
  void SetIdList(shell::LPCITEMIDLIST list);
  std::string GetPathName();
  void SetPathName(const std::string& path);

  // Null clears the list; another locator is copied unless equal.
  void Assign(const vcl::TPersistent* source) override;
  bool IsEqual(TCtShellLocator& other);

  vcl::TNotifyEvent OnChange;

  // The stored property "Pidl": one byte kind; then for kind 1 one byte
  // folder number, for kind 0 a 32-bit size and that many bytes of list.
  bool HasPidlData() const { return list_ || kind_ == kBySpecialFolder; }
  std::vector<uint8_t> WritePidlData() const;
  // Reads stored data back; vcl::EReadError when the sizes do not agree
  // with the bytes there or the list is damaged. A size of 0 is the desktop.
  void ReadPidlData(const std::vector<uint8_t>& data);

 private:
  void Changed();

  uint8_t kind_ = kByIdList;
  uint8_t specialFolder_ = kNoSpecialFolder;
  shell::IdListPtr list_;
};

// ---- detail columns -----------------------------------------------------------

// IShellDetails over an IShellFolder2: a column the folder does not show by
// default ends the columns.
class TShellFolder2ToShellDetailsAdapter final
    : public shell::ComObject<shell::IShellDetails, shell::IID_IShellDetails> {
 public:
  explicit TShellFolder2ToShellDetailsAdapter(shell::IShellFolder2* folder);
  shell::HRESULT GetDetailsOf(shell::LPCITEMIDLIST item, shell::UINT column, shell::SHELLDETAILS* details) override;
  shell::HRESULT ColumnClick(shell::UINT column) override;

 private:
  ~TShellFolder2ToShellDetailsAdapter() = default;
  shell::ComPtr<shell::IShellFolder2> folder_;
};

// The folder's detail columns: an adapter over IShellFolder2 when it answers
// the first heading, else the folder's own IShellDetails, else its view
// object's; null when none works.
shell::ComPtr<shell::IShellDetails> GetShellDetails(shell::IShellFolder* folder);

}  // namespace qelo::ct
