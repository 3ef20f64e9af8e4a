#include "ct_shell_ctrls_locator.h"

#include <cstring>

#include "ct_shell_intf.h"
#include "ct_shell_utils.h"
#include "vcl/form_file.h"
#include "vcl/typeinfo.h"

namespace qelo::ct {

const vcl::ClassInfo& TCtShellLocator::StaticClass() {
  static const vcl::ClassInfo info =
      vcl::ClassBuilder<TCtShellLocator>("TCtShellLocator", vcl::TPersistent::StaticClass())
          .Defined("Pidl",
                   [](vcl::TObject& self, const vcl::FormValue& value) {
                     if (value.type != vcl::FormValue::Type::Binary) throw vcl::EReadError("Pidl must be binary data");
                     static_cast<TCtShellLocator&>(self).ReadPidlData(value.bytes);
                   })
          .Done();
  return info;
}

TCtShellLocator::~TCtShellLocator() = default;

void TCtShellLocator::Changed() {
  if (OnChange) OnChange(this);
}

void TCtShellLocator::SetSpecialFolder(uint8_t folder) {
  if (kind_ == kBySpecialFolder && specialFolder_ == folder) return;
  kind_ = kBySpecialFolder;
  specialFolder_ = folder;
  list_.Reset();
  Changed();
}

shell::LPCITEMIDLIST TCtShellLocator::IdList() {
  if (kind_ == kBySpecialFolder && !list_) {
    shell::LPITEMIDLIST fetched = nullptr;
    if (SUCCEEDED(GetSpecialFolderIdList(nullptr, specialFolder_, &fetched))) list_.Reset(fetched);
  }
  return list_.Get();
}

void TCtShellLocator::SetIdList(shell::LPCITEMIDLIST list) {
  const bool wasSpecial = kind_ == kBySpecialFolder;
  shell::IdListPtr old = std::move(list_);
  if (shell::ILGetSize(list) > 2) list_.Reset(CopyIdList(ShellMalloc(), list));
  kind_ = kByIdList;
  specialFolder_ = kNoSpecialFolder;
  bool changed = wasSpecial;
  if (old) {
    const int order = CompareIdLists(old.Get(), list_.Get());
    changed = changed || (order != 0 && order != kCompareFailed);
  } else {
    changed = changed || list_;
  }
  if (changed) Changed();
}

std::string TCtShellLocator::GetPathName() { return IdListToPath(IdList()); }

void TCtShellLocator::SetPathName(const std::string& path) {
  shell::IdListPtr parsed;
  if (FAILED(PathToIdList(path, parsed.Put()))) return SetIdList(nullptr);
  SetIdList(parsed.Get());
}

bool TCtShellLocator::IsEqual(TCtShellLocator& other) {
  if (&other == this) return true;
  if (kind_ != other.kind_) return false;
  if (kind_ == kBySpecialFolder) return specialFolder_ == other.specialFolder_;
  return CompareIdLists(list_.Get(), other.list_.Get()) == 0;
}

void TCtShellLocator::Assign(const vcl::TPersistent* source) {
  if (!source) {
    const bool had = static_cast<bool>(list_);
    list_.Reset();
    if (had) Changed();
    return;
  }
  auto* other = dynamic_cast<const TCtShellLocator*>(source);
  if (!other) return vcl::TPersistent::Assign(source);
  auto* mutableOther = const_cast<TCtShellLocator*>(other);
  if (IsEqual(*mutableOther)) return;
  kind_ = other->kind_;
  specialFolder_ = other->specialFolder_;
  list_.Reset(kind_ == kBySpecialFolder || !other->list_ ? nullptr : CopyIdList(ShellMalloc(), other->list_.Get()));
  Changed();
}

std::vector<uint8_t> TCtShellLocator::WritePidlData() const {
  std::vector<uint8_t> data{kind_};
  if (kind_ != kByIdList) {
    data.push_back(specialFolder_);
    return data;
  }
  const auto size = static_cast<uint32_t>(shell::ILGetSize(list_.Get()));
  data.resize(1 + sizeof size + size);
  std::memcpy(data.data() + 1, &size, sizeof size);
  if (size) std::memcpy(data.data() + 1 + sizeof size, list_.Get(), size);
  return data;
}

void TCtShellLocator::ReadPidlData(const std::vector<uint8_t>& data) {
  if (data.empty()) throw vcl::EReadError("Pidl data is empty");
  if (data[0] != kByIdList) {
    if (data.size() < 2) throw vcl::EReadError("Pidl data lacks the folder number");
    kind_ = kBySpecialFolder;
    specialFolder_ = data[1];
    list_.Reset();
    return;
  }
  uint32_t size = 0;
  if (data.size() < 1 + sizeof size) throw vcl::EReadError("Pidl data lacks its size");
  std::memcpy(&size, data.data() + 1, sizeof size);
  if (size == 0) {  // the desktop
    kind_ = kBySpecialFolder;
    specialFolder_ = 0;
    list_.Reset();
    return;
  }
  // The size comes from the form file: it must match the bytes that are
  // there and the list they hold, terminator included.
  const std::size_t available = data.size() - 1 - sizeof size;
  const uint8_t* bytes = data.data() + 1 + sizeof size;
  if (size > available || shell::ILValidate(bytes, size) != size)
    throw vcl::EReadError("Pidl data is damaged");
  kind_ = kByIdList;
  specialFolder_ = kNoSpecialFolder;
  list_.Reset(CopyIdList(ShellMalloc(), reinterpret_cast<shell::LPCITEMIDLIST>(bytes)));
}

// ---- detail columns -----------------------------------------------------------

TShellFolder2ToShellDetailsAdapter::TShellFolder2ToShellDetailsAdapter(shell::IShellFolder2* folder)
    : folder_(shell::ComPtr<shell::IShellFolder2>::Share(folder)) {}

shell::HRESULT TShellFolder2ToShellDetailsAdapter::GetDetailsOf(shell::LPCITEMIDLIST item, shell::UINT column,
                                                                shell::SHELLDETAILS* details) {
  shell::DWORD state = 0;
  shell::HRESULT hr = folder_->GetDefaultColumnState(column, &state);
  if (SUCCEEDED(hr) && !(state & shell::SHCOLSTATE_ONBYDEFAULT)) return shell::E_INVALIDARG;  // the columns end here
  return folder_->GetDetailsOf(item, column, details);
}

shell::HRESULT TShellFolder2ToShellDetailsAdapter::ColumnClick(shell::UINT) { return shell::E_NOTIMPL; }

shell::ComPtr<shell::IShellDetails> GetShellDetails(shell::IShellFolder* folder) {
  shell::ComPtr<shell::IShellDetails> details;
  if (!folder) return details;
  shell::ComPtr<shell::IShellFolder2> folder2;
  if (SUCCEEDED(folder->QueryInterface(shell::IID_IShellFolder2, folder2.PutVoid()))) {
    shell::SHELLDETAILS heading;
    if (SUCCEEDED(folder2->GetDetailsOf(nullptr, 0, &heading))) {
      if (heading.str.uType == shell::STRRET_WSTR) shell::CoTaskMemFree(heading.str.pOleStr);
      return shell::ComPtr<shell::IShellDetails>::Adopt(new TShellFolder2ToShellDetailsAdapter(folder2.Get()));
    }
    if (SUCCEEDED(folder->QueryInterface(shell::IID_IShellDetails, details.PutVoid()))) return details;
  }
  folder->CreateViewObject(nullptr, shell::IID_IShellDetails, details.PutVoid());
  return details;
}

}  // namespace qelo::ct
