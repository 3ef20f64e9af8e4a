// Opening things with the desktop's default handler: a file with the
// program registered for its type, a folder in the file manager, a web
// address in the browser. It goes through GIO's default-handler launch:
// never a command line, never a shell; GIO hands the program over so that
// nothing of ours is left running or unreaped.
//
// Tests set a recorder, which receives each address instead of a launch.
#pragma once

#include <functional>
#include <string>

#include "win/window/window.h"

namespace qelo::shell {

// `target` is an absolute path (which must exist) or an address with a
// scheme ("https://..."). False, with the reason in `error`, when it cannot
// be opened.
bool OpenWithDefaultHandler(const std::string& target, std::string* error = nullptr);

// The address a target is handed over as: "file://" with escaping for
// paths (any bytes), the text itself for addresses; empty when the target
// is neither.
std::string TargetToUri(const std::string& target);

// The recorder answers in place of the launch; an empty function restores
// real launches.
void SetLaunchRecorderForTesting(std::function<bool(const std::string& uri)> recorder);

// The platform's verb launcher: "open" and "explore" (and no verb) open
// `file` with its default handler; parameters and folder are not used by
// these verbs. Above 32 on success; 2 (file not found), 31 (no handler) or
// 27 (verb unknown) otherwise.
intptr_t ShellExecute(win::HWND owner, const char* verb, const char* file, const char* parameters,
                      const char* directory, int show);

}  // namespace qelo::shell
