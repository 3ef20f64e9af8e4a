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
