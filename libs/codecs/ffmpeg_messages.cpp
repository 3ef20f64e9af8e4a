#include "ffmpeg_messages.h"

#include <algorithm>
#include <cstdarg>
#include <string>

#include "codec_library.h"

extern "C" {
#include <libavutil/log.h>
}

namespace qelo::codecs {

namespace {

// The longest line kept; a longer one is cut and written as it is.
constexpr size_t kMaxLine = log::LibraryLog::kMaxLineBytes;

// FFmpeg may write from any of its threads, and writes one line in pieces.
// Each thread joins its own pieces until the line ends, and counts the
// repeats of the line it wrote last instead of writing them again.
struct ThreadLines {
  std::string pending;
  int printPrefix = 1;
  std::string lastKey;
  int repeats = 0;
};
thread_local ThreadLines tLines;

const char* LevelName(int level) { return level <= AV_LOG_ERROR ? "error" : "warning"; }

// One log line: a message of several lines has them joined by blanks, and
// other control characters (from a file's own text) are shown as '?'.
std::string OneLine(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n' || c == '\r') {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += static_cast<unsigned char>(c) < 0x20 && c != '\t' ? '?' : c;
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// Lines that differ only in their numbers count as the same message.
std::string RepeatKey(const std::string& line) {
  std::string key;
  for (char c : line)
    if (c < '0' || c > '9') key += c;
  return key;
}

void WriteRepeats(ThreadLines& lines) {
  if (lines.repeats > 0) gLog.Write("FFmpeg: the message above came %d more times", lines.repeats);
  lines.repeats = 0;
}

void WriteLine(ThreadLines& lines, int level) {
  const std::string line = OneLine(lines.pending);
  lines.pending.clear();
  if (line.empty()) return;
  std::string key = RepeatKey(line);
  if (key == lines.lastKey) {
    ++lines.repeats;
    return;
  }
  WriteRepeats(lines);
  lines.lastKey = std::move(key);
  gLog.Write("FFmpeg %s: %s", LevelName(level), line.c_str());
}

void OnFfmpegMessage(void* context, int level, const char* format, va_list args) {
  if (level >= 0) level &= 0xFF;  // the higher bits carry a colour
  // FFmpeg leaves its level to the callback: a lower one set by the process
  // (av_log_set_level) is kept too.
  if (level > std::min(AV_LOG_WARNING, av_log_get_level()) || !gLog.Callback()) return;
  ThreadLines& lines = tLines;
  char piece[kMaxLine + 1];
  av_log_format_line2(context, level, format, args, piece, sizeof piece, &lines.printPrefix);
  lines.pending += piece;
  if (lines.pending.size() > kMaxLine) lines.pending.resize(kMaxLine);
  if (lines.printPrefix || lines.pending.size() == kMaxLine) WriteLine(lines, level);
}

}  // namespace

void RouteFfmpegMessages() { av_log_set_callback(OnFfmpegMessage); }

}  // namespace qelo::codecs
