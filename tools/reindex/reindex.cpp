// Console tool: writes a copy of an ASF (WMV) file with a fresh index.
//
//   reindex -i SOURCE -o DESTINATION [-sionly]
//
// The streams are copied packet by packet; the muxer writes a new simple
// index at the end. The copy is written beside the destination as a file
// without a name and given the destination's name only when it is complete,
// so a failure leaves the destination as it was (and a source may be its own
// destination), and no signal can leave a copy behind. A source that is not
// a regular file (a FIFO, a device) is refused before it is opened. Exit
// code 0 on success, 1 when the copy fails, 2 for a bad command line.
extern "C" {
#include <libavformat/avformat.h>
}

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "temporary_copy.h"

namespace {

struct Options {
  std::string source;
  std::string destination;
};

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "-i" || arg == "-o") && i + 1 < argc)
      (arg == "-i" ? options->source : options->destination) = argv[++i];
    else if (arg != "-sionly")
      return false;
  }
  return !options->source.empty() && !options->destination.empty();
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "reindex: %s\n", message.c_str());
  return 1;
}

std::string AvError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

// The muxer writes into a descriptor through callbacks of ours: the copy
// has no name to open.
int WriteToDescriptor(void* opaque, uint8_t* data, int size) {
  const int fd = *static_cast<int*>(opaque);
  for (int done = 0; done < size;) {
    const ssize_t n = write(fd, data + done, static_cast<size_t>(size - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return AVERROR(n < 0 ? errno : EIO);
    done += static_cast<int>(n);
  }
  return size;
}

int64_t SeekDescriptor(void* opaque, int64_t offset, int whence) {
  const int fd = *static_cast<int*>(opaque);
  if (whence & AVSEEK_SIZE) {
    struct stat info;
    return fstat(fd, &info) == 0 ? info.st_size : AVERROR(errno);
  }
  const off_t at = lseek(fd, offset, whence & ~AVSEEK_FORCE);
  return at < 0 ? AVERROR(errno) : at;
}

// A seekable writer on `fd` (kept alive by the context), or null.
AVIOContext* OpenDescriptor(int fd) {
  constexpr int kBufferSize = 64 * 1024;
  auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
  auto* opaque = static_cast<int*>(av_malloc(sizeof(int)));
  AVIOContext* context =
      buffer && opaque ? avio_alloc_context(buffer, kBufferSize, 1, opaque, nullptr, WriteToDescriptor, SeekDescriptor)
                       : nullptr;
  if (!context) {
    av_free(buffer);
    av_free(opaque);
    return nullptr;
  }
  *opaque = fd;
  return context;
}

void CloseDescriptorContext(AVIOContext** context) {
  if (!*context) return;
  av_freep(&(*context)->opaque);
  av_freep(&(*context)->buffer);
  avio_context_free(context);
}

// Owns the demuxer and muxer contexts of one copy.
class Remuxer {
 public:
  ~Remuxer() {
    avformat_close_input(&input_);
    if (output_) {
      CloseDescriptorContext(&output_->pb);
      avformat_free_context(output_);
    }
  }

  // Opens the source; fails for anything but an ASF file.
  std::string OpenSource(const std::string& path) {
    int rc = avformat_open_input(&input_, path.c_str(), nullptr, nullptr);
    if (rc < 0) return "cannot open " + path + ": " + AvError(rc);
    if (std::strcmp(input_->iformat->name, "asf") != 0)
      return path + " is not an ASF/WMV file (" + input_->iformat->name + ")";
    rc = avformat_find_stream_info(input_, nullptr);
    if (rc < 0) return "cannot read the streams of " + path + ": " + AvError(rc);
    return "";
  }

  // Writes every stream of the source as a new ASF file into `fd` (open for
  // writing, empty); `name` is the destination, for the messages.
  std::string CopyTo(int fd, const std::string& name) {
    int rc = avformat_alloc_output_context2(&output_, nullptr, "asf", name.c_str());
    if (rc < 0) return "cannot make the ASF writer: " + AvError(rc);
    for (unsigned i = 0; i < input_->nb_streams; ++i) {
      AVStream* stream = avformat_new_stream(output_, nullptr);
      if (!stream) return "out of memory";
      rc = avcodec_parameters_copy(stream->codecpar, input_->streams[i]->codecpar);
      if (rc < 0) return "cannot copy stream parameters: " + AvError(rc);
      stream->time_base = input_->streams[i]->time_base;
    }
    output_->pb = OpenDescriptor(fd);
    if (!output_->pb) return "out of memory";
    output_->flags |= AVFMT_FLAG_CUSTOM_IO;
    rc = avformat_write_header(output_, nullptr);
    if (rc < 0) return "cannot write the file header: " + AvError(rc);
    const std::string copied = CopyPackets();
    if (!copied.empty()) return copied;
    rc = av_write_trailer(output_);
    if (rc < 0) return "cannot write the index: " + AvError(rc);
    avio_flush(output_->pb);
    return output_->pb->error < 0 ? "cannot finish " + name + ": " + AvError(output_->pb->error) : "";
  }

 private:
  std::string CopyPackets() {
    AVPacket* packet = av_packet_alloc();
    if (!packet) return "out of memory";
    std::string error;
    int rc;
    while ((rc = av_read_frame(input_, packet)) >= 0) {
      const int index = packet->stream_index;
      av_packet_rescale_ts(packet, input_->streams[index]->time_base,
                           output_->streams[index]->time_base);
      packet->pos = -1;
      rc = av_interleaved_write_frame(output_, packet);
      if (rc < 0) {
        error = "cannot write a packet: " + AvError(rc);
        break;
      }
    }
    if (error.empty() && rc != AVERROR_EOF) error = "cannot read the source: " + AvError(rc);
    av_packet_free(&packet);
    return error;
  }

  AVFormatContext* input_ = nullptr;
  AVFormatContext* output_ = nullptr;
};

// A FIFO or a device would block the demultiplexer or never end.
std::string CheckRegularFile(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return "cannot open " + path + ": " + std::strerror(errno);
  return S_ISREG(info.st_mode) ? "" : path + " is not a regular file";
}

int Reindex(const Options& options) {
  std::string error = CheckRegularFile(options.source);
  if (!error.empty()) return Fail(error);
  Remuxer remuxer;
  error = remuxer.OpenSource(options.source);
  if (!error.empty()) return Fail(error);
  qelo::reindex::TemporaryCopy copy;
  if (!copy.Open(options.destination))
    return Fail("cannot write beside " + options.destination + ": " + std::strerror(errno));
  error = remuxer.CopyTo(copy.fd(), options.destination);
  if (error.empty() && !copy.Commit())
    error = "cannot write " + options.destination + ": " + std::strerror(errno);
  return error.empty() ? 0 : Fail(error);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr, "usage: reindex -i SOURCE -o DESTINATION [-sionly]\n");
    return 2;
  }
  av_log_set_level(AV_LOG_ERROR);
  return Reindex(options);
}
