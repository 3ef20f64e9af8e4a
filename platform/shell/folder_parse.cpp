#include <vector>

#include "shell/errors.h"
#include "folder.h"
#include "item_facts.h"
#include "shell/volumes.h"

namespace qelo::shell::detail {
namespace {

constexpr std::string_view kComputerName = "::{Computer}";
constexpr std::string_view kHomeName = "::{Home}";
constexpr std::string_view kDesktopName = "::{Desktop}";

// The parts of a path; "." and empty parts dropped, ".." taking the part
// before it away. False when ".." would climb above the start of a
// relative name.
bool SplitPath(std::string_view path, bool absolute, std::vector<std::string>* parts) {
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t slash = path.find('/', start);
    std::string_view part = path.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
    if (part == "..") {
      if (!parts->empty()) parts->pop_back();
      else if (!absolute) return false;
    } else if (!part.empty() && part != ".") {
      parts->emplace_back(part);
    }
    if (slash == std::string_view::npos) break;
    start = slash + 1;
  }
  return true;
}

HRESULT Append(IdListPtr* list, LPITEMIDLIST item) {
  IdListPtr owned(item);
  if (!owned) return E_OUTOFMEMORY;
  IdListPtr combined(ILCombine(list->Get(), owned.Get()));
  if (!combined) return E_OUTOFMEMORY;
  *list = std::move(combined);
  return S_OK;
}

// Entries for each part below `folder`, each checked on the file system.
HRESULT AppendEntries(IdListPtr* list, std::string folder, const std::vector<std::string>& parts, std::size_t first) {
  for (std::size_t i = first; i < parts.size(); ++i) {
    if (!IsValidEntryName(parts[i])) return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    folder = JoinPath(folder, parts[i]);
    std::optional<uint8_t> flags = EntryFlagsOfPath(folder);
    if (!flags) return HResultFromErrno(errno);
    if (HRESULT hr = Append(list, MakeEntryItem(parts[i], *flags)); FAILED(hr)) return hr;
  }
  return S_OK;
}

std::string JoinAbsolute(const std::vector<std::string>& parts) {
  if (parts.empty()) return std::string(1, '/');
  std::string path;
  for (const std::string& part : parts) {
    path += '/';
    path += part;
  }
  return path;
}

std::size_t PartCount(const std::string& root) {
  std::vector<std::string> parts;
  SplitPath(root, true, &parts);
  return parts.size();
}

// An absolute path relative to Computer: its volume, then the entries.
HRESULT ParseUnderComputer(std::string_view path, IdListPtr* list) {
  std::vector<std::string> parts;
  SplitPath(path, true, &parts);
  Volume volume = VolumeOf(JoinAbsolute(parts));
  if (HRESULT hr = Append(list, MakeVolumeItem(volume.root)); FAILED(hr)) return hr;
  return AppendEntries(list, volume.root, parts, PartCount(volume.root));
}

HRESULT ParseAtDesktop(const Location& desktop, std::string_view name, IdListPtr* list) {
  if (name == kDesktopName) return S_OK;
  if (name == kHomeName) return Append(list, MakeHomeItem());
  if (name == kComputerName) return Append(list, MakeComputerItem());
  if (!name.empty() && name.front() == '/') {
    if (HRESULT hr = Append(list, MakeComputerItem()); FAILED(hr)) return hr;
    return ParseUnderComputer(name, list);
  }
  if (!desktop.HasPath()) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
  std::vector<std::string> parts;
  if (!SplitPath(name, false, &parts) || parts.empty()) return E_INVALIDARG;
  return AppendEntries(list, desktop.path, parts, 0);
}

}  // namespace

HRESULT ParseRelativeName(const Location& folder, std::string_view name, LPITEMIDLIST* list) {
  IdListPtr parsed(ILClone(nullptr));
  if (!parsed) return E_OUTOFMEMORY;
  HRESULT hr = E_INVALIDARG;
  if (folder.kind == Location::kDesktop) {
    hr = ParseAtDesktop(folder, name, &parsed);
  } else if (folder.kind == Location::kComputer) {
    if (!name.empty() && name.front() == '/') hr = ParseUnderComputer(name, &parsed);
  } else if (name.empty() || name.front() != '/') {
    std::vector<std::string> parts;
    if (SplitPath(name, false, &parts) && !parts.empty()) hr = AppendEntries(&parsed, folder.path, parts, 0);
  }
  if (FAILED(hr)) return hr;
  *list = parsed.Release();
  return S_OK;
}

}  // namespace qelo::shell::detail
