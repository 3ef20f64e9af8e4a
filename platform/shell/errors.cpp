#include "shell/errors.h"

#include <cerrno>
#include <cstdio>

namespace qelo::shell {
namespace {

thread_local uint32_t lastError = ERROR_SUCCESS;

struct ErrnoMapping {
  int errnoValue;
  uint32_t error;
};

constexpr ErrnoMapping kErrnoMappings[] = {
    {ENOENT, ERROR_FILE_NOT_FOUND},     {ENOTDIR, ERROR_PATH_NOT_FOUND},
    {EMFILE, ERROR_TOO_MANY_OPEN_FILES}, {ENFILE, ERROR_TOO_MANY_OPEN_FILES},
    {EACCES, ERROR_ACCESS_DENIED},       {EPERM, ERROR_ACCESS_DENIED},
    {EBADF, ERROR_INVALID_HANDLE},       {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
    {EXDEV, ERROR_NOT_SAME_DEVICE},      {EROFS, ERROR_WRITE_PROTECT},
    {ENODEV, ERROR_NOT_READY},           {ENOMEDIUM, ERROR_NOT_READY},
    {ENOTSUP, ERROR_NOT_SUPPORTED},      {ENOSYS, ERROR_NOT_SUPPORTED},
    {EEXIST, ERROR_ALREADY_EXISTS},      {EINVAL, ERROR_INVALID_PARAMETER},
    {ENOSPC, ERROR_DISK_FULL},           {EDQUOT, ERROR_DISK_FULL},
    {ENOTEMPTY, ERROR_DIR_NOT_EMPTY},    {EBUSY, ERROR_BUSY},
    {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE}, {EISDIR, ERROR_ACCESS_DENIED},
    {ELOOP, ERROR_PATH_NOT_FOUND},       {ECANCELED, ERROR_CANCELLED},
};

struct ErrorText {
  uint32_t error;
  const char* text;
};

constexpr ErrorText kErrorTexts[] = {
    {ERROR_SUCCESS, "The operation completed successfully."},
    {ERROR_FILE_NOT_FOUND, "The file or folder does not exist."},
    {ERROR_PATH_NOT_FOUND, "The path does not exist."},
    {ERROR_TOO_MANY_OPEN_FILES, "Too many files are open."},
    {ERROR_ACCESS_DENIED, "Permission denied."},
    {ERROR_INVALID_HANDLE, "The handle is not valid."},
    {ERROR_NOT_ENOUGH_MEMORY, "There is not enough memory for this operation."},
    {ERROR_NOT_SAME_DEVICE, "The item cannot be moved to another device."},
    {ERROR_WRITE_PROTECT, "The medium is read-only."},
    {ERROR_NOT_READY, "The device is not ready."},
    {ERROR_NOT_SUPPORTED, "The operation is not supported."},
    {ERROR_FILE_EXISTS, "The file already exists."},
    {ERROR_INVALID_PARAMETER, "A parameter is not valid."},
    {ERROR_DISK_FULL, "There is not enough space on the disk."},
    {ERROR_INVALID_NAME, "The name is not valid."},
    {ERROR_DIR_NOT_EMPTY, "The folder is not empty."},
    {ERROR_BUSY, "The resource is busy."},
    {ERROR_ALREADY_EXISTS, "A file or folder with that name already exists."},
    {ERROR_FILENAME_EXCED_RANGE, "The file name is too long."},
    {ERROR_NO_MORE_ITEMS, "There are no more items."},
    {ERROR_DIRECTORY, "The name is not a folder."},
    {ERROR_CANCELLED, "The operation was cancelled."},
};

struct ResultText {
  HRESULT result;
  const char* text;
};

constexpr ResultText kResultTexts[] = {
    {S_OK, "The operation completed successfully."},
    {E_NOTIMPL, "The operation is not implemented."},
    {E_NOINTERFACE, "The object does not offer that interface."},
    {E_POINTER, "A pointer is not valid."},
    {E_ABORT, "The operation was aborted."},
    {E_FAIL, "Unspecified error."},
    {E_UNEXPECTED, "Unexpected failure."},
};

// Reads the insert number after a '%' at `pos`; advances past it and an
// optional "!s!". 0 when there is no number.
int ReadInsertNumber(std::string_view format, std::size_t* pos) {
  int number = 0, digits = 0;
  while (*pos < format.size() && digits < 2 && format[*pos] >= '0' && format[*pos] <= '9') {
    number = number * 10 + (format[*pos] - '0');
    ++*pos;
    ++digits;
  }
  if (*pos + 2 < format.size() && format[*pos] == '!' && format[*pos + 1] == 's' && format[*pos + 2] == '!')
    *pos += 3;
  return number;
}

}  // namespace

uint32_t GetLastError() { return lastError; }
void SetLastError(uint32_t error) { lastError = error; }

uint32_t ErrorFromErrno(int errnoValue) {
  for (const ErrnoMapping& m : kErrnoMappings)
    if (m.errnoValue == errnoValue) return m.error;
  return errnoValue == 0 ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

std::string SystemErrorText(uint32_t error) {
  for (const ErrorText& t : kErrorTexts)
    if (t.error == error) return t.text;
  return "Error " + std::to_string(error) + ".";
}

std::string SystemErrorText(HRESULT result) {
  if (uint32_t error = Win32FromHResult(result)) return SystemErrorText(error);
  for (const ResultText& t : kResultTexts)
    if (t.result == result) return t.text;
  char code[16];
  std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(result));
  return std::string("Error ") + code + ".";
}

bool FormatMessageFromString(std::string_view format, const std::vector<std::string>& inserts, std::string* out) {
  std::string text;
  for (std::size_t pos = 0; pos < format.size();) {
    char c = format[pos++];
    if (c != '%') {
      text += c;
      continue;
    }
    if (pos >= format.size()) break;  // a lone percent at the end is dropped
    char next = format[pos];
    if (next == '%') {
      text += '%';
      ++pos;
    } else if (next == 'n') {
      text += '\n';
      ++pos;
    } else if (next == '0') {
      break;
    } else if (next >= '1' && next <= '9') {
      int number = ReadInsertNumber(format, &pos);
      if (number < 1 || static_cast<std::size_t>(number) > inserts.size()) {
        out->clear();
        return false;
      }
      text += inserts[number - 1];
    } else {
      text += next;  // "%x" for any other character is that character
      ++pos;
    }
  }
  *out = std::move(text);
  return true;
}

}  // namespace qelo::shell
