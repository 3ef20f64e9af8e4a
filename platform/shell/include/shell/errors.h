// Error numbers of the platform that the shell layer reports (through
// HRESULT_FROM_WIN32 and the calling thread's last error), their texts, and
// message formatting with numbered inserts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shell/com.h"

namespace qelo::shell {

constexpr uint32_t ERROR_SUCCESS = 0;
constexpr uint32_t ERROR_FILE_NOT_FOUND = 2;
constexpr uint32_t ERROR_PATH_NOT_FOUND = 3;
constexpr uint32_t ERROR_TOO_MANY_OPEN_FILES = 4;
constexpr uint32_t ERROR_ACCESS_DENIED = 5;
constexpr uint32_t ERROR_INVALID_HANDLE = 6;
constexpr uint32_t ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr uint32_t ERROR_NOT_SAME_DEVICE = 17;
constexpr uint32_t ERROR_WRITE_PROTECT = 19;
constexpr uint32_t ERROR_NOT_READY = 21;
constexpr uint32_t ERROR_NOT_SUPPORTED = 50;
constexpr uint32_t ERROR_FILE_EXISTS = 80;
constexpr uint32_t ERROR_INVALID_PARAMETER = 87;
constexpr uint32_t ERROR_DISK_FULL = 112;
constexpr uint32_t ERROR_INVALID_NAME = 123;
constexpr uint32_t ERROR_DIR_NOT_EMPTY = 145;
constexpr uint32_t ERROR_BUSY = 170;
constexpr uint32_t ERROR_ALREADY_EXISTS = 183;
constexpr uint32_t ERROR_FILENAME_EXCED_RANGE = 206;
constexpr uint32_t ERROR_NO_MORE_ITEMS = 259;
constexpr uint32_t ERROR_DIRECTORY = 267;
constexpr uint32_t ERROR_CANCELLED = 1223;

// The calling thread's last error.
uint32_t GetLastError();
void SetLastError(uint32_t error);

// The platform error for a POSIX errno value.
uint32_t ErrorFromErrno(int errnoValue);
inline HRESULT HResultFromErrno(int errnoValue) { return HRESULT_FROM_WIN32(ErrorFromErrno(errnoValue)); }

// The text of an error number, or of a result code (one made from an error
// number reads as that error); ends without a line break.
std::string SystemErrorText(uint32_t error);
std::string SystemErrorText(HRESULT result);

// Fills %1 to %99 of `format` with `inserts` (a "!s!" after the number is
// allowed and means text); "%%" is a percent sign, "%n" a line break, "%0"
// ends the text. False when the format names an insert that is not given
// (or is malformed); `out` is then left empty.
bool FormatMessageFromString(std::string_view format, const std::vector<std::string>& inserts, std::string* out);

}  // namespace qelo::shell
