// Console tool: writes a copy of an ASF (WMV) file with a fresh index.
//
//   reindex -i SOURCE -o DESTINATION [-sionly]
//
// The streams are copied packet by packet; the muxer writes a new simple
// index at the end. The copy is written beside the destination under a
// temporary name and renamed into place only when it is complete, so a
// failure leaves the destination as it was (and a source may be its own
// destination). A source that is not a regular file (a FIFO, a device) is
// refused before it is opened. Killed by SIGTERM or SIGINT, the tool removes
// its temporary copy. Exit code 0 on success, 1 when the copy fails, 2 for a
// bad command line.
extern "C" {
#include <libavformat/avformat.h>
}

#include <climits>
#include <csignal>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

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

// Owns the demuxer and muxer contexts of one copy.
class Remuxer {
 public:
  ~Remuxer() {
    avformat_close_input(&input_);
    if (output_) {
      avio_closep(&output_->pb);
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

  // Writes every stream of the source into a new ASF file at `path`.
  std::string CopyTo(const std::string& path) {
    int rc = avformat_alloc_output_context2(&output_, nullptr, "asf", path.c_str());
    if (rc < 0) return "cannot make the ASF writer: " + AvError(rc);
    for (unsigned i = 0; i < input_->nb_streams; ++i) {
      AVStream* stream = avformat_new_stream(output_, nullptr);
      if (!stream) return "out of memory";
      rc = avcodec_parameters_copy(stream->codecpar, input_->streams[i]->codecpar);
      if (rc < 0) return "cannot copy stream parameters: " + AvError(rc);
      stream->time_base = input_->streams[i]->time_base;
    }
    rc = avio_open(&output_->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (rc < 0) return "cannot write " + path + ": " + AvError(rc);
    rc = avformat_write_header(output_, nullptr);
    if (rc < 0) return "cannot write the file header: " + AvError(rc);
    const std::string copied = CopyPackets();
    if (!copied.empty()) return copied;
    rc = av_write_trailer(output_);
    if (rc < 0) return "cannot write the index: " + AvError(rc);
    rc = avio_closep(&output_->pb);
    return rc < 0 ? "cannot finish " + path + ": " + AvError(rc) : "";
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

// The temporary copy in progress, for the signal handler: changed only while
// the signals that would run it are blocked.
char gTemporary[PATH_MAX];

void RemoveTemporaryAndEnd(int signal) {
  if (gTemporary[0]) unlink(gTemporary);
  std::signal(signal, SIG_DFL);
  raise(signal);  // delivered when the handler returns: the tool ends as killed
}

// Blocks SIGTERM and SIGINT for its lifetime.
class TerminationBlocked {
 public:
  TerminationBlocked() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigprocmask(SIG_BLOCK, &set, &previous_);
  }
  ~TerminationBlocked() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }

 private:
  sigset_t previous_;
};

void RemoveTemporaryOnTermination() {
  struct sigaction action {};
  action.sa_handler = RemoveTemporaryAndEnd;
  sigemptyset(&action.sa_mask);
  sigaddset(&action.sa_mask, SIGTERM);
  sigaddset(&action.sa_mask, SIGINT);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

// A new, empty file beside `destination`, with the permissions a newly
// created file gets; the signal handler knows it from then on.
bool MakeTemporaryBeside(const std::string& destination, std::string* path) {
  *path = destination + ".reindex-XXXXXX";
  if (path->size() >= sizeof gTemporary) {
    errno = ENAMETOOLONG;
    return false;
  }
  TerminationBlocked blocked;
  const int fd = mkstemp(path->data());
  if (fd < 0) return false;
  std::memcpy(gTemporary, path->c_str(), path->size() + 1);
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  close(fd);
  return true;
}

// Renamed into place or removed: the handler has nothing left to remove.
void ForgetTemporary() {
  TerminationBlocked blocked;
  gTemporary[0] = '\0';
}

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
  std::string temporary;
  if (!MakeTemporaryBeside(options.destination, &temporary))
    return Fail("cannot write beside " + options.destination + ": " + std::strerror(errno));
  error = remuxer.CopyTo(temporary);
  if (error.empty() && std::rename(temporary.c_str(), options.destination.c_str()) != 0)
    error = "cannot write " + options.destination + ": " + std::strerror(errno);
  if (!error.empty()) unlink(temporary.c_str());
  ForgetTemporary();
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
  RemoveTemporaryOnTermination();
  return Reindex(options);
}
