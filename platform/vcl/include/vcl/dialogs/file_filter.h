// The filter of a file dialog: "Description|*.ext;*.ext2|Description|..."
// read into its pairs, and the matching of file names against a pair's
// masks.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qelo::vcl {

struct TFileFilter {
  std::string description;
  std::vector<std::string> masks;  // blanks trimmed, empty pieces dropped
};

// The pairs in order. A description without a pattern at the end is
// dropped; an empty description shows the pattern text; a pattern of only
// blanks and ";" keeps its place (so later indexes stay) and matches no file.
std::vector<TFileFilter> ParseFileFilter(std::string_view filter);

// "*" any run, "?" one character, ASCII letters without regard to case;
// "*.*" also takes names without a dot.
bool MatchesMask(std::string_view name, std::string_view mask);
bool MatchesFilter(std::string_view name, const TFileFilter& filter);

}  // namespace qelo::vcl
