// Fuzz target of the codec bridge: every input is a media file. Its first
// byte picks the file name's extension (FFmpeg's probing leans on it), the
// rest is the file. The file is loaded, its description checked, frames and
// chunks read at a small size, and it is sought to its start, middle and end
// and out of its range, with reads after each seek; then it is unloaded.
//
// A crash, a sanitizer report, a broken promise of the bridge (a described
// stream that cannot be decoded, a frame larger than asked for) or a hang
// (libFuzzer's -timeout) fails the run.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "qelo/codecs.h"

extern "C" {
#include <libavutil/log.h>
}

namespace {

constexpr int64_t kSecond = QELO_TIME_UNITS_PER_SECOND;
constexpr int32_t kSmallWidth = 64, kSmallHeight = 48;
constexpr int kReadsAtStart = 8, kReadsAfterSeek = 2;

constexpr const char* kExtensions[] = {"",     ".mp4", ".avi", ".wav", ".ts",  ".mkv",
                                       ".mov", ".flv", ".ogg", ".nut", ".wmv", ".mp3",
                                       ".flac", ".gif", ".mpg", ".aac"};
constexpr size_t kExtensionCount = sizeof kExtensions / sizeof kExtensions[0];

std::string gFolder;  // private to this process, removed at exit

void IgnoreLine(const char16_t*) {}

void Check(bool promise, const char* what) {
  if (promise) return;
  std::fprintf(stderr, "codecs_fuzz: broken promise: %s\n", what);
  std::abort();
}

std::u16string Utf16(const std::string& text) { return std::u16string(text.begin(), text.end()); }

bool WriteInput(const std::string& path, const uint8_t* data, size_t size) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool written = true;
  while (size > 0 && written) {
    const ssize_t n = write(fd, data, size);
    written = n > 0;
    if (written) data += n, size -= static_cast<size_t>(n);
  }
  return close(fd) == 0 && written;
}

// Every described stream can be decoded into something; the longest one's
// length in 100-ns units.
int64_t CheckDescription(const MediaInfo& info) {
  Check(info.streamCount >= 1 && info.streamCount <= 2, "one or two streams described");
  int64_t longest = 0;
  for (int i = 0; i < info.streamCount; ++i) {
    const StreamInfo& s = *info.streams[i];
    Check(s.type == STREAM_VIDEO || s.type == STREAM_AUDIO, "a stream is video or audio");
    if (s.type == STREAM_VIDEO) {
      Check(s.displayWidth > 0 && s.displayHeight > 0, "video has a picture size");
    } else {
      Check(s.sampleRate > 0 && s.channels > 0, "audio has a rate and channels");
    }
    if (s.duration > 0 && s.duration < INT64_MAX / kSecond) longest = std::max(longest, s.duration * kSecond);
  }
  return longest;
}

class Reader {
 public:
  explicit Reader(int handle) : handle_(handle) {
    int32_t width = kSmallWidth, height = kSmallHeight;
    QeloResizeVideoSize(&width, &height, handle_);
    QeloResample(22050, 16, 2, handle_);
    const int bytes = QeloGetVideoBuffersize(handle_);
    Check(bytes >= 0 && bytes <= kSmallWidth * kSmallHeight * 4, "frames fit the asked size");
    pixels_.assign(static_cast<size_t>(bytes > 0 ? bytes : 4), 0);
    frame_.pixels = pixels_.data();
    frame_.bufferSize = bytes;
  }

  void Read(int count) {
    for (int i = 0; i < count; ++i) {
      if (QeloGetNextVideoFrame(&frame_, handle_) == 1)
        Check(int64_t(frame_.stride) * frame_.height <= frame_.bufferSize, "a frame fits its buffer");
      if (QeloGetNextAudioFrame(chunk_.get(), handle_) == 1)
        Check(chunk_->byteCount >= 0 && chunk_->byteCount <= QELO_AUDIO_FRAME_BYTES, "a chunk fits");
    }
  }

  void SeekAndRead(int64_t target) {
    QeloSeekMediaFile(target, handle_);
    Read(kReadsAfterSeek);
  }

 private:
  int handle_;
  std::vector<uint8_t> pixels_;
  VideoFrame frame_{};
  std::unique_ptr<AudioFrame> chunk_ = std::make_unique<AudioFrame>();
};

void Exercise(int handle, int64_t length) {
  Reader reader(handle);
  reader.Read(kReadsAtStart);
  for (const int64_t target : {int64_t(0), length / 2, length, length + 10 * kSecond, -kSecond,
                               INT64_MIN, INT64_MAX, int64_t(0)})
    reader.SeekAndRead(target);
}

void RemoveFolder() { rmdir(gFolder.c_str()); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  av_log_set_level(AV_LOG_QUIET);
  QeloInitializeCodecs(IgnoreLine);
  const char* temp = std::getenv("TMPDIR");
  std::string pattern = std::string(temp && *temp ? temp : "/tmp") + "/qelo-codecs-fuzz-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    std::perror("codecs_fuzz: private folder");
    std::exit(1);
  }
  gFolder = pattern;
  std::atexit(RemoveFolder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::string path = gFolder + "/input" + kExtensions[data[0] % kExtensionCount];
  if (!WriteInput(path, data + 1, size - 1)) {
    std::perror("codecs_fuzz: input file");
    std::abort();
  }
  MediaInfo* info = QeloMallocFileFormatInfo(nullptr);
  const int handle = QeloLoadMediaFile(Utf16(path).c_str(), info);
  if (handle >= 0) {
    Exercise(handle, CheckDescription(*info));
    Check(QeloUnloadMediaFile(handle) == 1, "an open file unloads");
  } else {
    Check(info->streamCount == 0, "a failed load describes nothing");
  }
  QeloFreeFileFormatInfo(info);
  unlink(path.c_str());
  return 0;
}
