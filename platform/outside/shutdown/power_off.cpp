#include "shutdown/power_off.h"

#include <gio/gio.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "outside/qelo_log.h"
#include "win/codepage.h"

extern char** environ;

namespace qelo::outside {

namespace {

constexpr int kDbusTimeoutMs = 10000;
constexpr int kCommandTimeoutMs = 10000;

void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Log(const char* format, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  const std::u16string line = u"QeloAutoShutDown: " + win::Utf8ToUtf16(buffer);
  QeloLogTextW(line.c_str());
}

// Waits at most `timeoutMs` for the child; its wait status, or -1 when it
// is still running (it is then left to finish on its own).
int WaitBounded(pid_t pid, int timeoutMs) {
  const int pidFd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (pidFd >= 0) {
    pollfd entry{pidFd, POLLIN, 0};
    const int ready = poll(&entry, 1, timeoutMs);
    close(pidFd);
    if (ready <= 0) return -1;
  }
  int status = 0;
  return waitpid(pid, &status, pidFd >= 0 ? 0 : WNOHANG) == pid ? status : -1;
}

}  // namespace

bool RequestPowerOff() {
  GError* error = nullptr;
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SYSTEM, nullptr, &error);
  if (!bus) {
    Log("cannot reach the system bus (%s); the computer stays on.", error->message);
    g_error_free(error);
    return false;
  }
  // Not interactive: nobody may be at the computer to answer a password
  // question when a long run ends.
  GVariant* reply = g_dbus_connection_call_sync(
      bus, "org.freedesktop.login1", "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
      "PowerOff", g_variant_new("(b)", FALSE), nullptr, G_DBUS_CALL_FLAGS_NONE, kDbusTimeoutMs,
      nullptr, &error);
  g_object_unref(bus);
  if (!reply) {
    Log("the login manager refused to power the computer off (%s).", error->message);
    g_error_free(error);
    return false;
  }
  g_variant_unref(reply);
  Log("the login manager is powering the computer off.");
  return true;
}

bool RunShutdownCommand(const std::string& commandLine) {
  gchar** argv = nullptr;
  GError* error = nullptr;
  if (!g_shell_parse_argv(commandLine.c_str(), nullptr, &argv, &error)) {
    Log("cannot read the shut-down command \"%s\" (%s); nothing was run.", commandLine.c_str(),
        error->message);
    g_error_free(error);
    return false;
  }
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], nullptr, nullptr, argv, environ);
  const std::string program = argv[0];
  g_strfreev(argv);
  if (spawned != 0) {
    Log("cannot start the shut-down command \"%s\" (error %d).", program.c_str(), spawned);
    return false;
  }
  const int status = WaitBounded(pid, kCommandTimeoutMs);
  if (status == -1) {
    Log("the shut-down command \"%s\" still runs after %d s; not waited for.", program.c_str(),
        kCommandTimeoutMs / 1000);
    return false;
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    Log("the shut-down command \"%s\" failed (status %d).", program.c_str(),
        WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return false;
  }
  Log("ran the shut-down command \"%s\".", program.c_str());
  return true;
}

}  // namespace qelo::outside
