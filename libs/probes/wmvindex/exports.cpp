// The flat entry point of QeloWMVIndex.
#include <mutex>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "qelo/wmvindex.h"
#include "resource/resource.h"
#include "win/codepage.h"
#include "wmvindex/index_tool.h"

namespace qelo::res {
extern const ResourceTable kIndexToolResources;
}

namespace {

constexpr int kToolResourceId = 102;

std::string_view ToolBytes() {
  const auto* tool = qelo::res::FindResource(qelo::res::kIndexToolResources, "BIN", kToolResourceId);
  return tool ? std::string_view(reinterpret_cast<const char*>(tool->data), tool->size)
              : std::string_view();
}

// The tool file lives until the library is unloaded, which removes it; the
// mutex lets one call at a time prepare it.
std::mutex gToolMutex;

qelo::probes::IndexTool& Tool() {
  static qelo::probes::IndexTool tool(ToolBytes());
  return tool;
}

// True when both paths name one existing file (another spelling, a link).
bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

bool IsRegularFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

int QeloIndexWMV(const char16_t* source, const char16_t* destination) {
  if (!source || !destination) return 0;
  const std::u16string_view sourceText(source), destinationText(destination);
  if (sourceText.empty() || destinationText.empty() || sourceText == destinationText) return 0;
  const std::string sourcePath = qelo::win::Utf16ToUtf8(sourceText);
  const std::string destinationPath = qelo::win::Utf16ToUtf8(destinationText);
  if (SameFile(sourcePath, destinationPath)) return 0;
  std::string tool;
  {
    std::lock_guard lock(gToolMutex);
    tool = Tool().Prepare();
  }
  if (tool.empty()) return 0;
  if (IsRegularFile(destinationPath)) unlink(destinationPath.c_str());
  return qelo::probes::RunAndWait(qelo::probes::IndexArguments(tool, sourcePath, destinationPath))
             ? 1
             : 0;
}
