#include "ct_shell_ctrls_unit.h"

#include <cstring>
#include <memory>

#include "ct_shell_ctrls_keys.h"
#include "shell/com.h"
#include "win/window/window.h"

namespace qelo::ct {
namespace {

struct UnitState {
  shell::CLIPFORMAT shellIdList = 0;
  unsigned hoverTime = 400;
  int hoverWidth = 2;
  int hoverHeight = 2;
  std::unique_ptr<vcl::TStringList> sendTo;
  std::vector<uint8_t> columnWidths;
  std::vector<uint8_t> directoryCols;
  bool oleStarted = false;
};

UnitState& State() {
  static UnitState state;
  return state;
}

template <class T>
void KeepIfRead(win::UINT action, T* value) {
  win::UINT read = 0;
  if (win::SystemParametersInfo(action, 0, &read, 0)) *value = static_cast<T>(read);
}

}  // namespace

void InitializeShellCtrls() {
  UnitState& s = State();
  s.shellIdList = static_cast<shell::CLIPFORMAT>(shell::RegisterClipboardFormat(shell::CFSTR_SHELLIDLIST));
  s.columnWidths.clear();
  s.directoryCols.clear();
  s.oleStarted = shell::SUCCEEDED(shell::OleInitialize(nullptr));
  KeepIfRead(win::SPI_GETMOUSEHOVERTIME, &s.hoverTime);
  KeepIfRead(win::SPI_GETMOUSEHOVERWIDTH, &s.hoverWidth);
  KeepIfRead(win::SPI_GETMOUSEHOVERHEIGHT, &s.hoverHeight);
}

void FinalizeShellCtrls() {
  UnitState& s = State();
  s.sendTo.reset();
  s.columnWidths.clear();
  if (s.oleStarted) shell::OleUninitialize();
  s.oleStarted = false;
  ReleaseDefaultKeyTable();
}

shell::CLIPFORMAT ShellIdListFormat() {
  UnitState& s = State();
  if (s.shellIdList == 0)
    s.shellIdList = static_cast<shell::CLIPFORMAT>(shell::RegisterClipboardFormat(shell::CFSTR_SHELLIDLIST));
  return s.shellIdList;
}

unsigned MouseHoverTime() { return State().hoverTime; }
int MouseHoverWidth() { return State().hoverWidth; }
int MouseHoverHeight() { return State().hoverHeight; }

vcl::TStringList* SendToList() {
  UnitState& s = State();
  if (!s.sendTo) {
    s.sendTo = std::make_unique<vcl::TStringList>();
    s.sendTo->SetSorted(true);
    s.sendTo->SetDuplicates(vcl::dupIgnore);
  }
  return s.sendTo.get();
}

std::vector<uint8_t>& SharedColumnWidthStream() { return State().columnWidths; }

void SaveColumnWidths(const std::vector<int32_t>& widths) {
  std::vector<uint8_t>& stream = State().columnWidths;
  const auto count = static_cast<int32_t>(widths.size());
  stream.resize(sizeof count + widths.size() * sizeof(int32_t));
  std::memcpy(stream.data(), &count, sizeof count);
  if (!widths.empty()) std::memcpy(stream.data() + sizeof count, widths.data(), widths.size() * sizeof(int32_t));
}

std::optional<std::vector<int32_t>> LoadColumnWidths() {
  const std::vector<uint8_t>& stream = State().columnWidths;
  int32_t count = 0;
  if (stream.size() < sizeof count) return std::nullopt;
  std::memcpy(&count, stream.data(), sizeof count);
  if (count < 0 || static_cast<std::size_t>(count) > (stream.size() - sizeof count) / sizeof(int32_t))
    return std::nullopt;
  std::vector<int32_t> widths(static_cast<std::size_t>(count));
  if (count > 0) std::memcpy(widths.data(), stream.data() + sizeof count, widths.size() * sizeof(int32_t));
  return widths;
}

std::vector<uint8_t>& RememberedDirectoryCols() { return State().directoryCols; }

std::optional<std::array<int, 4>> DirectoryColsWidths(const std::vector<uint8_t>& value) {
  if (value.size() < 4 * sizeof(uint16_t) || value.size() > kDirectoryColsMaxBytes) return std::nullopt;
  std::array<int, 4> widths{};
  for (std::size_t i = 0; i < widths.size(); ++i) {
    uint16_t word;
    std::memcpy(&word, value.data() + i * sizeof word, sizeof word);
    widths[i] = word;
  }
  return widths;
}

}  // namespace qelo::ct
