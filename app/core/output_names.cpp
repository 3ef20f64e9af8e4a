#include "output_names.h"

#include <array>
#include <filesystem>

#include "vcl/sysutils.h"
#include "win/codepage.h"

namespace qelo::app {

namespace {

constexpr std::array<const char*, 26> kExtensions = {
    ".mpg", ".mpg", ".mpg", ".mpg", ".vob", ".mp4",  ".mov", ".3gp", ".3g2",
    ".avi", ".wmv", ".asf", ".rm",  ".rmvb", ".flv", ".ogg", ".mp3", ".wav",
    ".ape", ".wma", ".mkv", ".dv",  ".aac", ".ac3",  ".aiff", ".flac"};

// What FormatSettings.outputPath holds besides its terminator.
constexpr size_t kMaxNameChars = QELO_PATH_CHARS - 1;

// folder + stem + suffix, the stem shortened (never inside a character) until
// the whole fits; empty when even one character of the stem does not.
std::string Fit(const std::string& folder, const std::string& stem, const std::string& suffix) {
  const size_t fixedChars = win::Utf8ToUtf16(folder).size() + win::Utf8ToUtf16(suffix).size();
  std::u16string wideStem = win::Utf8ToUtf16(stem);
  if (fixedChars >= kMaxNameChars) return {};
  const size_t room = kMaxNameChars - fixedChars;
  if (wideStem.size() > room) {
    size_t keep = room;
    if (keep > 0 && (wideStem[keep - 1] & 0xFC00) == 0xD800) --keep;  // a pair's lead stays with its trail
    wideStem.resize(keep);
  }
  if (wideStem.empty()) return {};
  return folder + win::Utf16ToUtf8(wideStem) + suffix;
}

}  // namespace

bool OutputNameTakenOnDisk(const std::string& name) {
  std::error_code error;
  return std::filesystem::symlink_status(name, error).type() != std::filesystem::file_type::not_found;
}

std::string OutputFileExtension(int32_t formatId) {
  if (formatId < 0 || formatId >= static_cast<int32_t>(kExtensions.size())) return {};
  return kExtensions[static_cast<size_t>(formatId)];
}

std::string MakeUniqueOutputName(const TWorkGroupClassArray& jobs, const std::string& candidate,
                                 const std::string& base, int32_t groupId,
                                 const std::string& extension) {
  const std::string folder = vcl::ExtractFilePath(candidate);
  const std::string candidateName = vcl::ExtractFileName(candidate);
  std::string name = Fit(folder, vcl::ChangeFileExt(candidateName, ""), vcl::ExtractFileExt(candidateName));
  for (int n = 1; !name.empty() && (OutputNameTakenOnDisk(name) || jobs.NameTakenByOtherJob(name, groupId)); ++n)
    name = Fit(folder, base, "(" + std::to_string(n) + ")" + extension);
  return name;
}

}  // namespace qelo::app
