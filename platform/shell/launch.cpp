#include "shell/launch.h"

#include <gio/gio.h>
#include <sys/stat.h>

#include <cstring>
#include <mutex>

namespace qelo::shell {
namespace {

constexpr intptr_t kLaunched = 42;
constexpr intptr_t kFileNotFound = 2;
constexpr intptr_t kNoAssociation = 31;
constexpr intptr_t kUnknownVerb = 27;

std::mutex recorderLock;
std::function<bool(const std::string&)> recorder;

bool HasScheme(const std::string& target) {
  char* scheme = g_uri_parse_scheme(target.c_str());
  bool has = scheme != nullptr;
  g_free(scheme);
  return has;
}

bool Launch(const std::string& uri, std::string* error) {
  {
    std::lock_guard<std::mutex> hold(recorderLock);
    if (recorder) return recorder(uri);
  }
  GError* failure = nullptr;
  bool ok = g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &failure);
  if (!ok && error) *error = failure ? failure->message : "no program opens it";
  if (failure) g_error_free(failure);
  return ok;
}

}  // namespace

std::string TargetToUri(const std::string& target) {
  if (!target.empty() && target.front() == '/') {
    char* uri = g_filename_to_uri(target.c_str(), nullptr, nullptr);
    std::string text = uri ? uri : "";
    g_free(uri);
    return text;
  }
  return HasScheme(target) ? target : std::string();
}

bool OpenWithDefaultHandler(const std::string& target, std::string* error) {
  std::string uri = TargetToUri(target);
  if (uri.empty()) {
    if (error) *error = "not an absolute path or an address";
    return false;
  }
  struct stat st;
  if (target.front() == '/' && stat(target.c_str(), &st) != 0) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  return Launch(uri, error);
}

void SetLaunchRecorderForTesting(std::function<bool(const std::string&)> newRecorder) {
  std::lock_guard<std::mutex> hold(recorderLock);
  recorder = std::move(newRecorder);
}

intptr_t ShellExecute(win::HWND, const char* verb, const char* file, const char*, const char*, int) {
  if (verb && *verb && std::strcmp(verb, "open") != 0 && std::strcmp(verb, "explore") != 0) return kUnknownVerb;
  if (!file) return kFileNotFound;
  std::string target = file;
  struct stat st;
  if (!target.empty() && target.front() == '/' && stat(target.c_str(), &st) != 0) return kFileNotFound;
  return OpenWithDefaultHandler(target) ? kLaunched : kNoAssociation;
}

}  // namespace qelo::shell
