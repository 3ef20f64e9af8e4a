// The re-index tool written out of the library's resources, and how it is
// started.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qelo::probes {

inline constexpr const char* kToolName = "reindex.exe";

// The tool's file on disk. It is written into a private folder of ours under
// the temporary folder (else into the library's own folder), reused while it
// is still our own unchanged file, and removed when the library is unloaded.
class IndexTool {
 public:
  explicit IndexTool(std::string_view bytes);
  ~IndexTool();
  IndexTool(const IndexTool&) = delete;
  IndexTool& operator=(const IndexTool&) = delete;

  // The tool's path, written out first when needed; "" on failure.
  std::string Prepare();

 private:
  std::string ChooseToolPath();
  bool IsOurTool(const std::string& path) const;
  bool WriteTool(const std::string& path) const;

  std::string_view bytes_;
  std::string privateFolder_;  // made by us, removed with the tool
  std::string toolPath_;
};

// The tool's argument list: TOOL -i SOURCE -o DESTINATION -sionly.
std::vector<std::string> IndexArguments(const std::string& tool, const std::string& source,
                                        const std::string& destination);

// Starts the program with no inherited descriptors beyond stderr and waits
// for it; true when it ran and exited with 0.
bool RunAndWait(const std::vector<std::string>& arguments);

}  // namespace qelo::probes
