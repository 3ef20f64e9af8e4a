// A named mutex that a program makes once and holds for its whole life, so
// that others can see it runs. The name is per user; it stays taken while
// its first holder lives and is freed when that holder ends (or crashes).
// Nothing is left on disk.
#pragma once

#include <string>

namespace qelo::win {

class NamedMutex {
 public:
  // Made not owned; when the name is already held (by this or another
  // process), the mutex is made all the same and AlreadyExisted() says so.
  explicit NamedMutex(const std::string& name);
  ~NamedMutex();
  NamedMutex(const NamedMutex&) = delete;
  NamedMutex& operator=(const NamedMutex&) = delete;

  // False when the system refused the object (the name is then not held).
  bool Valid() const { return valid_; }
  bool AlreadyExisted() const { return alreadyExisted_; }

 private:
  int socket_ = -1;  // bound to the name while this holder has it first
  bool valid_ = false;
  bool alreadyExisted_ = false;
};

}  // namespace qelo::win
