#include "common/media_fixture.h"

#include <cmath>
#include <filesystem>
#include <functional>
#include <sstream>

#include <unistd.h>

#include "common/process.h"

namespace qelo::test {
namespace {

std::string Num(double v) {
  std::ostringstream s;
  s << v;
  return s.str();
}

std::string TestPattern(int width, int height, int fps, double seconds) {
  return "testsrc2=size=" + std::to_string(width) + "x" + std::to_string(height) +
         ":rate=" + std::to_string(fps) + ":duration=" + Num(seconds);
}

std::string Tone(int sampleRate, double seconds) {
  return "sine=frequency=440:sample_rate=" + std::to_string(sampleRate) +
         ":duration=" + Num(seconds);
}

// Splits ffprobe's "key=value" lines between [SECTION] markers.
void ParseProbe(const std::string& text, ProbedFile* file) {
  std::istringstream in(text);
  std::string line;
  std::map<std::string, std::string>* current = nullptr;
  while (std::getline(in, line)) {
    if (line == "[STREAM]") {
      file->streams.emplace_back();
      current = &file->streams.back().fields;
    } else if (line == "[FORMAT]") {
      current = &file->format;
    } else if (line.size() > 1 && line[0] == '[' && line[1] == '/') {
      current = nullptr;
    } else if (current) {
      const auto eq = line.find('=');
      if (eq != std::string::npos) (*current)[line.substr(0, eq)] = line.substr(eq + 1);
    }
  }
}

double ParseNumber(const std::string& text) {
  if (text.empty() || text == "N/A") return NAN;
  const auto slash = text.find('/');
  try {
    if (slash == std::string::npos) return std::stod(text);
    const double den = std::stod(text.substr(slash + 1));
    return den == 0 ? NAN : std::stod(text.substr(0, slash)) / den;
  } catch (...) {
    return NAN;
  }
}

}  // namespace

bool MakeMedia(const std::vector<std::string>& args, const std::string& output) {
  std::vector<std::string> argv = {"ffmpeg", "-y", "-hide_banner", "-loglevel", "error", "-nostdin"};
  argv.insert(argv.end(), args.begin(), args.end());
  argv.push_back(output);
  return RunProcess(argv).exitCode == 0 && std::filesystem::exists(output);
}

std::string CachedMedia(const std::string& name, const std::vector<std::string>& args) {
  std::string key;
  for (const auto& a : args) key += a + '\n';
  const std::filesystem::path dir(QELO_FIXTURE_CACHE);
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  const std::string path =
      (dir / (std::to_string(std::hash<std::string>{}(key)) + "-" + name)).string();
  if (std::filesystem::exists(path)) return path;
  // Made under a private name and renamed, so a parallel test never reads a
  // half-written file.
  const std::string extension = std::filesystem::path(name).extension().string();
  const std::string partial = path + "." + std::to_string(getpid()) + ".part" + extension;
  if (!MakeMedia(args, partial)) return "";
  std::filesystem::rename(partial, path, error);
  return error ? "" : path;
}

std::string MakeVideoAudio(const std::string& dir, const std::string& name, double seconds,
                           int width, int height, int fps) {
  const std::string out = dir + "/" + name;
  const bool ok = MakeMedia({"-f", "lavfi", "-i", TestPattern(width, height, fps, seconds), "-f",
                             "lavfi", "-i", Tone(44100, seconds), "-ac", "2", "-pix_fmt", "yuv420p",
                             "-shortest"},
                            out);
  return ok ? out : "";
}

std::string MakeVideoOnly(const std::string& dir, const std::string& name, double seconds,
                          int width, int height, int fps) {
  const std::string out = dir + "/" + name;
  const bool ok = MakeMedia(
      {"-f", "lavfi", "-i", TestPattern(width, height, fps, seconds), "-pix_fmt", "yuv420p"}, out);
  return ok ? out : "";
}

std::string MakeAudioOnly(const std::string& dir, const std::string& name, double seconds,
                          int sampleRate, int channels) {
  const std::string out = dir + "/" + name;
  const bool ok = MakeMedia(
      {"-f", "lavfi", "-i", Tone(sampleRate, seconds), "-ac", std::to_string(channels)}, out);
  return ok ? out : "";
}

std::string ProbedStream::Get(const std::string& key) const {
  const auto it = fields.find(key);
  return it == fields.end() ? "" : it->second;
}

double ProbedStream::Number(const std::string& key) const { return ParseNumber(Get(key)); }

const ProbedStream* ProbedFile::First(const std::string& codecType) const {
  for (const auto& s : streams)
    if (s.Get("codec_type") == codecType) return &s;
  return nullptr;
}

double ProbedFile::Duration() const {
  const auto it = format.find("duration");
  return it == format.end() ? NAN : ParseNumber(it->second);
}

ProbedFile Probe(const std::string& path) {
  ProbedFile file;
  const ProcessResult r = RunProcess(
      {"ffprobe", "-v", "error", "-show_format", "-show_streams", "-of", "default", path});
  if (r.exitCode != 0) return file;
  ParseProbe(r.output, &file);
  file.ok = true;
  return file;
}

int CountVideoFrames(const std::string& path) {
  const ProcessResult r =
      RunProcess({"ffprobe", "-v", "error", "-select_streams", "v:0", "-count_frames",
                  "-show_entries", "stream=nb_read_frames", "-of", "default=nw=1:nk=1", path});
  if (r.exitCode != 0) return -1;
  try {
    return std::stoi(r.output);
  } catch (...) {
    return -1;
  }
}

}  // namespace qelo::test
