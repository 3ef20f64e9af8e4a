// What all shell controls share, set up once by InitializeShellCtrls and
// released by FinalizeShellCtrls: the "Shell IDList Array" clipboard
// format, OLE for the GUI thread, the system's mouse hover values, the
// Send To list, the saved column widths and the remembered "DirectoryCols"
// bytes of the shell list.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "shell/ole_data.h"
#include "vcl/strings.h"

namespace qelo::ct {

void InitializeShellCtrls();
void FinalizeShellCtrls();

// The registered "Shell IDList Array" format.
shell::CLIPFORMAT ShellIdListFormat();

// The system's hover time (ms), width and height (pixels); 400, 2 and 2
// unless the system says otherwise.
unsigned MouseHoverTime();
int MouseHoverWidth();
int MouseHoverHeight();

// The Send To entries: file names, sorted, duplicates ignored, each with
// its small icon index as its object. Made on first use.
vcl::TStringList* SendToList();

// The column widths the shell list keeps between folders and instances: a
// 32-bit count, then one 32-bit width per column.
std::vector<uint8_t>& SharedColumnWidthStream();
void SaveColumnWidths(const std::vector<int32_t>& widths);
// The saved widths; nothing when none are saved or the count does not fit
// the bytes.
std::optional<std::vector<int32_t>> LoadColumnWidths();

// The "DirectoryCols" bytes as last read (at most 22) and the four column
// widths they hold: 16-bit words; values shorter than four words (8 bytes)
// or longer than 22 bytes hold none.
constexpr std::size_t kDirectoryColsMaxBytes = 22;
std::vector<uint8_t>& RememberedDirectoryCols();
std::optional<std::array<int, 4>> DirectoryColsWidths(const std::vector<uint8_t>& value);

// Runs `body`, then the control's fill-complete notification `complete`,
// however the fill ends.
template <class Control, class Body>
void Bracketed(Control& control, void (Control::*complete)(), Body body) {
  try {
    body();
  } catch (...) {
    (control.*complete)();
    throw;
  }
  (control.*complete)();
}

}  // namespace qelo::ct
