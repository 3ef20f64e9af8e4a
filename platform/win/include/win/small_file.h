// Small files of settings that the program and its platform keep (the
// settings file, the registry store): read only when they are regular
// files of a bounded size, so that a FIFO, a device or a huge file in their
// place can neither block nor exhaust the reader; and kept aside when they
// cannot be used, under a name that never replaces another file.
#pragma once

#include <cstddef>
#include <string>

namespace qelo::win {

struct SmallFile {
  enum class State {
    kRead,      // `bytes` holds the whole file
    kMissing,   // nothing stands at the path
    kUnusable,  // something stands there that cannot be read: `problem` says why
  };
  State state = State::kMissing;
  std::string bytes;
  std::string problem;  // "it is a FIFO", "it is larger than 65536 bytes", "Permission denied"
  bool folder = false;  // a folder stands at the path
};

// Reads the file at `path` (a link is followed) when it is a regular file
// of at most `limit` bytes. Never blocks on what stands there.
SmallFile ReadSmallFile(const std::string& path, std::size_t limit);

// Renames what stands at `path` to the first free one of "<path>.damaged",
// "<path>.damaged-2", "<path>.damaged-3", ..., never replacing a file. The
// new path; empty with `problem` set when it cannot be renamed.
std::string KeepAside(const std::string& path, std::string* problem);

}  // namespace qelo::win
