#include "codecs/reference_decode.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <sstream>

#include "common/process.h"

namespace qelo::test {
namespace {

constexpr int64_t kUnitsPerSecond = 10000000;

int64_t SecondsToUnits(const std::string& text) {
  return std::llround(std::strtod(text.c_str(), nullptr) * kUnitsPerSecond);
}

// One line of ffprobe's compact output: its section and its key=value pairs.
struct ProbeLine {
  std::string section;
  std::map<std::string, std::string> fields;
  int64_t Time(const std::string& key) const {
    const auto it = fields.find(key);
    return it == fields.end() || it->second == "N/A" ? 0 : SecondsToUnits(it->second);
  }
};

std::vector<ProbeLine> ProbeLines(const std::string& output) {
  std::vector<ProbeLine> lines;
  std::istringstream in(output);
  std::string text;
  while (std::getline(in, text)) {
    std::istringstream parts(text);
    ProbeLine line;
    std::getline(parts, line.section, '|');
    for (std::string field; std::getline(parts, field, '|');) {
      const auto eq = field.find('=');
      if (eq != std::string::npos) line.fields[field.substr(0, eq)] = field.substr(eq + 1);
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

std::string Decode(const std::string& path, const std::vector<std::string>& output) {
  std::vector<std::string> argv = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-i", path};
  argv.insert(argv.end(), output.begin(), output.end());
  argv.push_back("-");
  const ProcessResult r = RunProcess(argv);
  return r.exitCode == 0 ? r.output : std::string();
}

}  // namespace

ReferenceTimes ProbeReferenceTimes(const std::string& path) {
  const ProcessResult r = RunProcess(
      {"ffprobe", "-v", "error", "-show_entries",
       "format=start_time:stream=index,codec_type,start_time:frame=stream_index,"
       "best_effort_timestamp_time",
       "-of", "compact", path});
  ReferenceTimes times;
  if (r.exitCode != 0) return times;
  const std::vector<ProbeLine> lines = ProbeLines(r.output);
  int64_t fileStart = 0;
  std::map<std::string, int64_t> streamStart;
  std::string video, audio;  // indexes of the first video and audio streams
  for (const ProbeLine& line : lines) {
    if (line.section == "format") fileStart = line.Time("start_time");
    if (line.section != "stream") continue;
    const std::string index = line.fields.at("index");
    streamStart[index] = line.Time("start_time");
    const std::string type = line.fields.at("codec_type");
    if (type == "video" && video.empty()) video = index;
    if (type == "audio" && audio.empty()) audio = index;
  }
  bool soundSeen = false;
  for (const ProbeLine& line : lines) {
    if (line.section != "frame") continue;
    const std::string index = line.fields.at("stream_index");
    const int64_t time = line.Time("best_effort_timestamp_time") - streamStart[index];
    if (index == video) times.pictures.push_back(time);
    if (index == audio && !soundSeen) times.firstSound = time, soundSeen = true;
  }
  if (!audio.empty()) times.soundStartInFile = streamStart[audio] - fileStart;
  times.ok = true;
  return times;
}

std::vector<std::vector<uint8_t>> ReferencePictures(const std::string& path, int width,
                                                    int height, const std::string& filter) {
  const std::string dimensions = std::to_string(width) + "x" + std::to_string(height);
  std::vector<std::string> output = {"-map",      "0:v:0",   "-fps_mode", "passthrough",
                                     "-sws_flags", "bicubic", "-s",        dimensions,
                                     "-f",         "rawvideo", "-pix_fmt", "bgra"};
  if (!filter.empty()) output.insert(output.end(), {"-vf", filter});
  const std::string bytes = Decode(path, output);
  const size_t size = static_cast<size_t>(width) * height * 4;
  std::vector<std::vector<uint8_t>> pictures;
  for (size_t at = 0; size > 0 && at + size <= bytes.size(); at += size)
    pictures.emplace_back(bytes.begin() + at, bytes.begin() + at + size);
  return pictures;
}

// The tool's output starts at the file's start time, pads any gap before a
// stream's first samples with silence and places every sample by its stamp.
std::vector<int16_t> ReferenceSound(const std::string& path, int rate,
                                    const ReferenceTimes& times) {
  const std::string bytes =
      Decode(path, {"-map", "0:a:0", "-af", "aresample=async=1:first_pts=0", "-ac", "1", "-ar",
                    std::to_string(rate), "-f", "s16le"});
  const auto skipped =
      static_cast<size_t>(std::max<int64_t>(0, times.soundStartInFile * rate / kUnitsPerSecond));
  std::vector<int16_t> samples;
  for (size_t i = skipped; 2 * i + 1 < bytes.size(); ++i)
    samples.push_back(static_cast<int16_t>(uint8_t(bytes[2 * i]) | uint8_t(bytes[2 * i + 1]) << 8));
  return samples;
}

double PictureDifference(const uint8_t* pixels, const std::vector<uint8_t>& reference) {
  if (reference.empty()) return std::numeric_limits<double>::max();
  double sum = 0;
  for (size_t i = 0; i < reference.size(); ++i) sum += std::abs(int(pixels[i]) - int(reference[i]));
  return sum / reference.size();
}

int NearestPicture(const uint8_t* pixels, const std::vector<std::vector<uint8_t>>& pictures) {
  int nearest = -1;
  double best = std::numeric_limits<double>::max();
  for (size_t i = 0; i < pictures.size(); ++i) {
    const double d = PictureDifference(pixels, pictures[i]);
    if (d < best) best = d, nearest = static_cast<int>(i);
  }
  return nearest;
}

}  // namespace qelo::test
