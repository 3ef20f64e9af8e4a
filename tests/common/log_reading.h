// Reading back what QeloLog wrote, for the tests.
#pragma once

#include <fstream>
#include <string>
#include <vector>

namespace qelo::test {

// The lines of the log file in `folder`, each without its time stamp
// ("YYYY-MM-DD hh:mm:ss.mmm "); a line without one is kept whole, so a
// test sees it fail to match.
inline std::vector<std::string> LogTexts(const std::string& folder) {
  std::ifstream file(folder + "/QeloLog.log");
  std::vector<std::string> texts;
  constexpr size_t kStampLength = 24;
  for (std::string line; std::getline(file, line);) {
    const bool stamped = line.size() >= kStampLength && line[4] == '-' && line[10] == ' ' &&
                         line[19] == '.' && line[23] == ' ';
    texts.push_back(stamped ? line.substr(kStampLength) : line);
  }
  return texts;
}

}  // namespace qelo::test
