#include "common/media_fixture.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
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

std::string LongSound(int seconds) {
  return CachedMedia("long-sound-" + std::to_string(seconds) + ".mkv",
                     {"-f", "lavfi", "-i", "sine=sample_rate=8000:duration=" + std::to_string(seconds), "-c:a",
                      "libopencore_amrnb", "-ac", "1"});
}

namespace {

// One number per line of an ffprobe listing; lines that are no number are
// left out.
std::vector<double> Numbers(const std::vector<std::string>& ffprobeArgs) {
  std::vector<std::string> argv = {"ffprobe", "-v", "error"};
  argv.insert(argv.end(), ffprobeArgs.begin(), ffprobeArgs.end());
  const ProcessResult r = RunProcess(argv);
  std::vector<double> numbers;
  std::istringstream lines(r.output);
  for (std::string line; std::getline(lines, line);) {
    const double n = ParseNumber(line.substr(0, line.find(',')));
    if (!std::isnan(n)) numbers.push_back(n);
  }
  return numbers;
}

}  // namespace

std::vector<double> FrameTimes(const std::string& path) {
  return Numbers({"-select_streams", "v:0", "-show_entries", "frame=best_effort_timestamp_time", "-of", "csv=p=0",
                  path});
}

double StreamSeconds(const std::string& path, const std::string& codecType) {
  const std::vector<double> durations = Numbers({"-select_streams", codecType.substr(0, 1) + ":0", "-show_entries",
                                                 "packet=duration_time", "-of", "csv=p=0", path});
  if (durations.empty()) return NAN;
  double sum = 0;
  for (double d : durations) sum += d;
  return sum;
}

std::vector<double> FrameBrightness(const std::string& path) {
  constexpr int kWidth = 16, kHeight = 12;
  const ProcessResult r = RunProcess({"ffmpeg", "-v", "error", "-nostdin", "-i", path, "-map", "0:v:0", "-vf",
                                      "scale=" + std::to_string(kWidth) + ":" + std::to_string(kHeight),
                                      "-pix_fmt", "gray", "-f", "rawvideo", "-"});
  std::vector<double> means;
  if (r.exitCode != 0) return means;
  constexpr size_t kBytes = kWidth * kHeight;
  for (size_t at = 0; at + kBytes <= r.output.size(); at += kBytes) {
    double sum = 0;
    for (size_t i = 0; i < kBytes; ++i) sum += static_cast<unsigned char>(r.output[at + i]);
    means.push_back(sum / kBytes);
  }
  return means;
}

namespace {

// Overwrites [from, to) of the file's bytes with 00 00 01 xx groups (each
// followed by a few bytes left as they were), from a fixed sequence.
bool Damage(const std::string& path, double from, double to) {
  std::string data;
  {
    std::ifstream in(path, std::ios::binary);
    data.assign(std::istreambuf_iterator<char>(in), {});
  }
  if (data.empty()) return false;
  uint32_t state = 6;
  auto next = [&state] {
    state = (state * 1103515245u + 12345u) & 0x7fffffffu;
    return state >> 16;
  };
  const size_t end = static_cast<size_t>(data.size() * to);
  for (size_t i = static_cast<size_t>(data.size() * from); i + 4 <= end; i += 4 + next() % 8) {
    const char code[4] = {0, 0, 1, static_cast<char>(next() & 0xff)};
    data.replace(i, 4, code, 4);
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << data;
  return static_cast<bool>(out);
}

}  // namespace

std::string DamagedClip(const std::string& extension) {
  const std::string clip =
      CachedMedia("damage-source" + extension,
                  {"-f", "lavfi", "-i", TestPattern(320, 240, 25, 4), "-f", "lavfi", "-i", Tone(44100, 4),
                   "-c:v", "libx264", "-threads", "1", "-g", "25", "-pix_fmt", "yuv420p", "-c:a",
                   extension == ".ts" ? "mp2" : "aac"});
  if (clip.empty()) return "";
  const std::string damaged = clip + ".damaged" + extension;
  if (std::filesystem::exists(damaged)) return damaged;
  const std::string partial = damaged + "." + std::to_string(getpid()) + ".part";
  std::error_code error;
  if (!std::filesystem::copy_file(clip, partial, error) || !Damage(partial, 0.4, 0.5)) return "";
  std::filesystem::rename(partial, damaged, error);
  return error ? "" : damaged;
}

}  // namespace qelo::test
