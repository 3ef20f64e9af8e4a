// The number of file descriptors the process holds, to prove that what a
// test opened is closed again.
#pragma once

#include <dirent.h>

namespace qelo::test {

inline int OpenDescriptorCount() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir)) ++count;
    closedir(dir);
  }
  return count;
}

}  // namespace qelo::test
