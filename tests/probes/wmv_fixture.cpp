#include "probes/wmv_fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "common/media_fixture.h"
#include "common/process.h"

namespace qelo::test {
namespace {

const std::vector<std::string> kWmvArgs = {
    "-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=2",
    "-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=2",
    "-c:v", "wmv2", "-c:a", "wmav2", "-b:a", "64k", "-shortest"};

}  // namespace

std::string CachedWmv() { return CachedMedia("reindex-source.wmv", kWmvArgs); }

std::string MakeStreamedWmv(const std::string& path) {
  std::vector<std::string> argv = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin"};
  argv.insert(argv.end(), kWmvArgs.begin(), kWmvArgs.end());
  argv.insert(argv.end(), {"-f", "asf", "pipe:1"});
  const ProcessResult result = RunProcess(argv);
  if (result.exitCode != 0 || result.output.empty()) return "";
  std::ofstream(path, std::ios::binary) << result.output;
  return path;
}

bool CopyFileTo(const std::string& from, const std::string& to) {
  std::error_code error;
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
  return !error;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace qelo::test
