// Directory change notification over inotify, behind the platform's
// find-first / find-next / close calls. A watch is a waitable handle
// (wait_handles.h): it is signalled when a change of the kinds in its
// filter happens, and stays signalled until FindNextChangeNotification
// asks for the next change.
//
// A watch of a folder's subtree never walks the file system: it covers the
// folder and every folder below it that the program lists through the
// namespace (what a tree or list can show), added as they are listed. The
// system's inotify limits bound it; when one is reached a line is logged
// and the folders beyond it are not watched.
#pragma once

#include <string>

#include "shell/wait_handles.h"

namespace qelo::shell {

constexpr DWORD FILE_NOTIFY_CHANGE_FILE_NAME = 0x001;
constexpr DWORD FILE_NOTIFY_CHANGE_DIR_NAME = 0x002;
constexpr DWORD FILE_NOTIFY_CHANGE_ATTRIBUTES = 0x004;
constexpr DWORD FILE_NOTIFY_CHANGE_SIZE = 0x008;
constexpr DWORD FILE_NOTIFY_CHANGE_LAST_WRITE = 0x010;
constexpr DWORD FILE_NOTIFY_CHANGE_LAST_ACCESS = 0x020;
constexpr DWORD FILE_NOTIFY_CHANGE_CREATION = 0x040;
constexpr DWORD FILE_NOTIFY_CHANGE_SECURITY = 0x100;

// INVALID_HANDLE_VALUE (and the last error) for a path that is not a
// folder, an empty filter, or when the system gives no more watches.
HANDLE FindFirstChangeNotification(const std::string& path, BOOL watchSubtree, DWORD filter);
// Clears the signal so the next change signals again. False when the
// handle is not a watch or its folder went away.
BOOL FindNextChangeNotification(HANDLE handle);
BOOL FindCloseChangeNotification(HANDLE handle);

// Told by the namespace whenever it lists a folder.
void NoteFolderListed(const std::string& path);

// Tests: the most folders one subtree watch may hold (0: only the
// system's limit), and forgetting the folders listed so far.
void SetSubtreeFolderLimitForTesting(unsigned limit);
void ForgetListedFoldersForTesting();

}  // namespace qelo::shell
