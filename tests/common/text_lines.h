// Reading back a text file the program wrote with CR LF line ends.
#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace qelo::test {

// The lines that end in CR LF (a last line without one is left out); none
// when the file cannot be read.
inline std::vector<std::string> CrLfLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

}  // namespace qelo::test
