// Handles that a thread can wait on together, as the platform's kernel
// objects are waited on: events (manual or automatic reset) and the
// change-notification handles of change_notify.h. Each handle is backed by
// a file descriptor, so a wait is one poll; nothing spins.
#pragma once

#include <cstdint>

#include "win/window/window.h"

namespace qelo::shell {

using win::BOOL;
using win::DWORD;

class WaitObject;
using HANDLE = WaitObject*;
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(~uintptr_t{0});

constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_ABANDONED_0 = 0x80;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD INFINITE = 0xFFFFFFFF;

// Null (and the last error) when the system has no descriptor left.
HANDLE CreateEvent(void* security, BOOL manualReset, BOOL initiallySet, const char* name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
// Any handle of this file; a change-notification handle may also be
// closed with FindCloseChangeNotification. False for a handle that is not
// open.
BOOL CloseHandle(HANDLE handle);

// WAIT_OBJECT_0 + i for the first signalled handle in array order (an
// automatic-reset event is reset by being chosen), WAIT_ABANDONED_0 + i for
// a change-notification handle whose folder went away, WAIT_TIMEOUT, or
// WAIT_FAILED for a bad handle, a count of 0 or above 64, or waitAll (not
// supported).
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);

// What every handle kind provides to the wait.
class WaitObject {
 public:
  WaitObject() = default;
  WaitObject(const WaitObject&) = delete;
  WaitObject& operator=(const WaitObject&) = delete;
  virtual ~WaitObject() = default;

  // The descriptor that becomes readable when the handle may be signalled.
  virtual int Descriptor() const = 0;
  enum class State { kNotSignalled, kSignalled, kAbandoned };
  // Looks at what arrived and answers whether the handle is signalled now;
  // taking it may reset it (automatic-reset events).
  virtual State Take() = 0;
};

// Handle bookkeeping for the handle kinds: a handle is valid from Register
// until Unregister; lookups of anything else give null.
void RegisterHandle(WaitObject* object);
bool IsOpenHandle(HANDLE handle);

}  // namespace qelo::shell
