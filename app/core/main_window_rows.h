// What a row of the main window's file list stands for, told by the row's
// 32-bit data word: its kind (a one-file job, the header of a merged job, or
// one file of a merged job), the file's index within its job and the job's
// group id. Also the texts of the rows, the open dialog's filter, and which
// rows the move commands may move where.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qelo::app {

// Bits 31..30 of a row's data word.
enum RowKind : uint32_t {
  rkSingleJob = 0xC0000000u,   // a job with one file
  rkMergedHeader = 0x80000000u,  // the header row of a merged job
  rkMergedFile = 0x40000000u,  // one file of a merged job, below its header
};
inline constexpr uint32_t kRowKindMask = 0xC0000000u;

// kind | (fileIndex & 0x3FFF) << 16 | (groupId & 0xFFFF).
constexpr uint32_t MakeRowData(uint32_t kind, int32_t groupId, int32_t fileIndex) {
  return kind | (static_cast<uint32_t>(fileIndex) & 0x3FFFu) << 16 | (static_cast<uint32_t>(groupId) & 0xFFFFu);
}
constexpr uint32_t RowKindOf(uint32_t data) { return data & kRowKindMask; }
constexpr int32_t RowGroupId(uint32_t data) { return static_cast<int32_t>(data & 0xFFFFu); }
constexpr int32_t RowFileIndex(uint32_t data) { return static_cast<int32_t>((data >> 16) & 0x3FFFu); }

// Hours, minutes and seconds joined by ":", each at least two digits:
// 187 gives "00:03:07", 360000 gives "100:00:00"; negative counts give
// "00:00:00".
std::string SecondsToTimeText(int64_t seconds);

// The open dialog's 25 description and pattern pairs joined with "|".
std::string MediaFileFilter();

// The rows of the job that row `index` belongs to, from `first` to `last`:
// a one-file job's row, or a merged job's header with its file rows.
struct RowBlock {
  int first;
  int last;
};
RowBlock JobRowsAt(const std::vector<uint32_t>& rows, int index);

// Whether Move up and Move down may move the single selected row `index`:
// a one-file job or a merged header passes over the whole unit above or
// below it; a merged file row changes places with a neighbouring file of its
// own job only.
struct MoveChoice {
  bool up;
  bool down;
};
MoveChoice MoveChoiceOfRow(const std::vector<uint32_t>& rows, int index);

}  // namespace qelo::app
