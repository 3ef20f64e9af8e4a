#include "gdiplus/startup.h"

#include <fontconfig/fontconfig.h>

#include <mutex>
#include <set>

#include "font_cache.h"

namespace qelo::gdiplus {
namespace {

std::mutex startMutex;
std::set<uintptr_t> liveTokens;
uintptr_t nextToken = 1;

}  // namespace

Status Startup(uintptr_t* token, const StartupInput& input) {
  if (!token) return Status::InvalidParameter;
  if (input.version != 1) return Status::UnsupportedVersion;
  if (!FcInit()) return Status::GenericError;
  std::lock_guard lock(startMutex);
  *token = nextToken++;
  liveTokens.insert(*token);
  return Status::Ok;
}

void Shutdown(uintptr_t token) {
  std::lock_guard lock(startMutex);
  if (liveTokens.erase(token) == 1 && liveTokens.empty()) detail::ClearFontMatches();
}

}  // namespace qelo::gdiplus

// Notes for the sanitizers, in the file every user of the layer links.
#if defined(__SANITIZE_ADDRESS__)
// Fontconfig links a pattern to its values by encoded offsets, which the
// leak checker cannot follow, so the patterns that Pango and Cairo keep in
// their font caches read as leaks.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
#endif
#if defined(__SANITIZE_THREAD__)
// GLib, Pango, Cairo, pixman and fontconfig are not built with the thread
// sanitizer; they share their caches between threads through atomics it
// cannot see.
extern "C" __attribute__((visibility("default"))) const char* __tsan_default_suppressions() {
  return "race:libglib-2.0.so\nrace:libgobject-2.0.so\nrace:libpango-1.0.so\nrace:libpangoft2-1.0.so\n"
         "race:libpangocairo-1.0.so\nrace:libcairo.so\nrace:libpixman-1.so\nrace:libfontconfig.so\n"
         "race:libharfbuzz.so\nrace:libfreetype.so\n";
}
#endif
