#include "output_file.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "codec_library.h"

namespace qelo::codecs {
namespace {

constexpr int kBufferBytes = 64 * 1024;

std::string Reason(int error) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(error, text, sizeof text);
  return text;
}

}  // namespace

OutputFile::~OutputFile() { Close(); }

bool OutputFile::Create(const std::string& path) {
  path_ = path;
  // O_EXCL refuses every existing path, a symbolic link (even a dangling
  // one) included; O_NOFOLLOW says the same for the last component.
  fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd_ < 0) {
    const int error = errno;
    gLog.Write("Could not open '%s'\n", path.c_str());
    if (error == EEXIST)
      gLog.Write("output file(%s) exists already; it is never written over", path.c_str());
    else
      gLog.Write("output file(%s) cannot be made: %s", path.c_str(), std::strerror(error));
    return false;
  }
  struct stat made;
  if (fstat(fd_, &made) == 0) {
    device_ = made.st_dev;
    inode_ = made.st_ino;
  }
  auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
  io_ = buffer ? avio_alloc_context(buffer, kBufferBytes, 1, this, &OutputFile::Read, &OutputFile::Write,
                                    &OutputFile::Seek)
               : nullptr;
  if (!io_) {
    av_free(buffer);
    gLog.Write("Could not open '%s'\n", path.c_str());
    Remove();
    Close();
    return false;
  }
  return true;
}

int OutputFile::Read(void* opaque, uint8_t* buffer, int size) {
  const ssize_t got = read(static_cast<OutputFile*>(opaque)->fd_, buffer, static_cast<size_t>(size));
  if (got < 0) return AVERROR(errno);
  return got == 0 ? AVERROR_EOF : static_cast<int>(got);
}

int OutputFile::Write(void* opaque, uint8_t* buffer, int size) {
  const int fd = static_cast<OutputFile*>(opaque)->fd_;
  for (int done = 0; done < size;) {
    const ssize_t wrote = write(fd, buffer + done, static_cast<size_t>(size - done));
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return wrote < 0 ? AVERROR(errno) : AVERROR(EIO);
    done += static_cast<int>(wrote);
  }
  return size;
}

int64_t OutputFile::Seek(void* opaque, int64_t offset, int whence) {
  const int fd = static_cast<OutputFile*>(opaque)->fd_;
  if (whence & AVSEEK_SIZE) {
    struct stat info;
    return fstat(fd, &info) == 0 ? static_cast<int64_t>(info.st_size) : AVERROR(errno);
  }
  const off_t at = lseek(fd, static_cast<off_t>(offset), whence & ~AVSEEK_FORCE);
  return at < 0 ? AVERROR(errno) : static_cast<int64_t>(at);
}

bool OutputFile::Flush() {
  if (!io_) return true;
  avio_flush(io_);
  if (io_->error >= 0) return true;
  gLog.Write("failed to write file(%s): %s", path_.c_str(), Reason(io_->error).c_str());
  return false;
}

bool OutputFile::StillAtPath() const {
  struct stat now;
  return fd_ >= 0 && lstat(path_.c_str(), &now) == 0 && S_ISREG(now.st_mode) && now.st_dev == device_ &&
         now.st_ino == inode_;
}

bool OutputFile::Empty() const {
  struct stat info;
  return fd_ >= 0 && fstat(fd_, &info) == 0 && info.st_size == 0;
}

bool OutputFile::Remove() { return StillAtPath() && unlink(path_.c_str()) == 0; }

void OutputFile::Close() {
  if (io_) {
    av_freep(&io_->buffer);
    avio_context_free(&io_);
  }
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

}  // namespace qelo::codecs
