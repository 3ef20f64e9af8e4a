// The two blocks that carry dragged and copied items, made and read here:
//
//   "Shell IDList Array" (CIDA): item count n (32 bits), n + 1 offsets
//   (32 bits each, from the block's start) of the parent folder's absolute
//   list and of the n relative lists, then the lists themselves, each with
//   its terminator, without padding.
//
//   CF_HDROP (DROPFILES): a 20-byte header {offset of the names (20),
//   point (0, 0), non-client flag 0, wide flag 0}, then every name as
//   bytes with a zero after it, and one more zero.
//
// Blocks are sized to what they hold, however long the names. Foreign
// blocks are read only after every count, offset and length is checked
// against the block's real size.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "shell/global_memory.h"
#include "shell/idlist.h"

namespace qelo::shell {

constexpr std::size_t kDropFilesHeaderBytes = 20;

// Null when the memory cannot be had. A null parent is written as the
// empty list.
HGLOBAL BuildIdListArray(LPCITEMIDLIST parent, const std::vector<LPCITEMIDLIST>& items);
HGLOBAL BuildDropFiles(const std::vector<std::string>& names);

// The lists of a CIDA block, copied out; nothing when the block is damaged.
struct IdListArray {
  IdListPtr parent;
  std::vector<IdListPtr> items;
};
std::optional<IdListArray> ReadIdListArray(const void* block, std::size_t size);
std::optional<IdListArray> ReadIdListArray(HGLOBAL block);

// The names of a DROPFILES block (bytes, or UTF-16 converted to UTF-8 when
// its wide flag is set); nothing when the block is damaged.
std::optional<std::vector<std::string>> ReadDropFiles(const void* block, std::size_t size);
std::optional<std::vector<std::string>> ReadDropFiles(HGLOBAL block);

}  // namespace qelo::shell
