// The file an encoder writes: created exclusively (a path that names
// anything already, a symbolic link included, is refused and left as it
// is) and written through FFmpeg's I/O over its own descriptor, so no other
// file is ever opened for writing. It knows itself by its device and inode,
// so it removes only itself, and tells when its path no longer leads to it.
#pragma once

#include <string>

#include <sys/types.h>

extern "C" {
#include <libavformat/avio.h>
}

namespace qelo::codecs {

class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();  // closes without flushing what is buffered

  // Creates the file; false (with its lines, the first "Could not open
  // '%s'") when the path exists or cannot be made.
  bool Create(const std::string& path);
  bool IsOpen() const { return fd_ >= 0; }
  // The I/O context FFmpeg writes through; owned here.
  AVIOContext* Io() const { return io_; }

  // Writes what is buffered; false (with its line) when the file could not
  // take all that was written to it (a full disk, an I/O error).
  bool Flush();
  // The path still names this very file (its folder was not removed or
  // replaced, nor the file renamed or replaced).
  bool StillAtPath() const;
  bool Empty() const;
  // Removes the file when its path still names it.
  bool Remove();
  void Close();

 private:
  static int Read(void* opaque, uint8_t* buffer, int size);
  static int Write(void* opaque, uint8_t* buffer, int size);
  static int64_t Seek(void* opaque, int64_t offset, int whence);

  std::string path_;
  int fd_ = -1;
  dev_t device_ = 0;
  ino_t inode_ = 0;
  AVIOContext* io_ = nullptr;
};

}  // namespace qelo::codecs
