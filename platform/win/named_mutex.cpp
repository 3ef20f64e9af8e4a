#include "win/named_mutex.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>

namespace qelo::win {

// The name lives in the abstract socket namespace: bound while held, gone
// with the last holder, invisible in the file system.
NamedMutex::NamedMutex(const std::string& name) {
  const std::string key = "qelo-mutex/" + std::to_string(getuid()) + "/" + name;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (key.size() + 1 > sizeof address.sun_path) return;
  std::memcpy(address.sun_path + 1, key.data(), key.size());
  const socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + key.size());
  socket_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (socket_ < 0) return;
  if (::bind(socket_, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
    valid_ = true;
    return;
  }
  alreadyExisted_ = errno == EADDRINUSE;
  valid_ = alreadyExisted_;
  ::close(socket_);
  socket_ = -1;
}

NamedMutex::~NamedMutex() {
  if (socket_ >= 0) ::close(socket_);
}

}  // namespace qelo::win
