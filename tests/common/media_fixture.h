// Media fixtures made at test time by the ffmpeg command-line tool, and an
// independent reading of output files by ffprobe.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace qelo::test {

// Runs `ffmpeg -y -hide_banner -loglevel error <args...> <output>`; true when
// it succeeded and the output exists.
bool MakeMedia(const std::vector<std::string>& args, const std::string& output);

// Makes a fixture once for the whole build: test processes share a cache
// folder, keyed by the ffmpeg arguments, so every case (each runs in its own
// process) does not make its files again. Returns the path, or "" on failure.
std::string CachedMedia(const std::string& name, const std::vector<std::string>& args);

// Common fixtures, written into `dir`; return the path, or "" on failure.
std::string MakeVideoAudio(const std::string& dir, const std::string& name, double seconds,
                           int width = 320, int height = 240, int fps = 25);
std::string MakeVideoOnly(const std::string& dir, const std::string& name, double seconds,
                          int width = 320, int height = 240, int fps = 25);
std::string MakeAudioOnly(const std::string& dir, const std::string& name, double seconds,
                          int sampleRate = 44100, int channels = 2);

struct ProbedStream {
  std::map<std::string, std::string> fields;  // ffprobe's stream entries (codec_type, codec_name, ...)
  std::string Get(const std::string& key) const;
  double Number(const std::string& key) const;  // also reads "num/den" as a ratio; NaN when absent
};

struct ProbedFile {
  bool ok = false;
  std::map<std::string, std::string> format;  // format entries (format_name, duration, ...)
  std::vector<ProbedStream> streams;
  const ProbedStream* First(const std::string& codecType) const;
  double Duration() const;  // container duration in seconds, NaN when absent
};

ProbedFile Probe(const std::string& path);

// Counts the decoded frames of the first video stream (ffprobe -count_frames).
int CountVideoFrames(const std::string& path);

// The times (seconds) of the pictures of the first video stream that the
// ffmpeg tool decodes, in decoding order.
std::vector<double> FrameTimes(const std::string& path);

// The sum of the packet durations of the first stream of `codecType`
// ("audio", "video"), in seconds; NaN when ffprobe cannot tell.
double StreamSeconds(const std::string& path, const std::string& codecType);

// The mean brightness (0..255) of every picture of the first video stream,
// in order, as the ffmpeg tool decodes them; empty when it cannot.
std::vector<double> FrameBrightness(const std::string& path);

// `seconds` of 8 kHz mono AMR in Matroska (50 packets a second, so the
// reader of the file never holds more than about 80 s of it ahead). Cached.
std::string LongSound(int seconds);

// Damaged streams. A 4 s, 320x240 at 25 fps H.264 clip with sound (the
// encoder on one thread, so the bytes are the same on every machine), in
// the container of `extension` (".ts", ".mkv"), with its bytes from 40% to
// 50% of the file overwritten by false start codes: the decoder refuses
// many packets in a row there, and pictures follow after them. Cached.
std::string DamagedClip(const std::string& extension);

}  // namespace qelo::test
