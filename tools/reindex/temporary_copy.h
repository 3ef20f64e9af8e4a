// The copy a tool writes before it takes its destination's place. It is an
// unnamed file in the destination's folder: it gets a name only once it is
// complete, so nothing a signal does (SIGKILL included) can leave it behind.
// Where the folder's file system cannot make an unnamed file, it is a named
// file beside the destination that every signal which would end the process
// removes first (SIGKILL alone cannot be caught).
#pragma once

#include <string>

namespace qelo::reindex {

class TemporaryCopy {
 public:
  enum class Kind { kUnnamed, kNamed };

  TemporaryCopy() = default;
  ~TemporaryCopy();
  TemporaryCopy(const TemporaryCopy&) = delete;
  TemporaryCopy& operator=(const TemporaryCopy&) = delete;

  // Makes the copy beside `destination`, with the permissions a newly
  // created file gets; `allowUnnamed` false asks for a named one. False
  // with errno set when it cannot be made.
  bool Open(const std::string& destination, bool allowUnnamed = true);
  int fd() const { return fd_; }
  Kind kind() const { return kind_; }

  // Gives the complete copy the destination's name, replacing what is
  // there. False with errno set; the copy is then discarded.
  bool Commit();
  // Closes and removes the copy; nothing is left of it.
  void Discard();

 private:
  bool OpenUnnamed();
  bool OpenNamed();
  bool LinkUnnamedInPlace();

  std::string destination_;
  std::string named_;  // the named copy's path
  Kind kind_ = Kind::kUnnamed;
  int fd_ = -1;
};

}  // namespace qelo::reindex
