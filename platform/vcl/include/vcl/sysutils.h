// The run-time helpers of the framework that the program calls: strict
// integer conversion, file-name parts, file and folder tests, folder
// creation and date formatting. Paths use "/".
#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace qelo::vcl {

// Compares two texts without regard to the case of ASCII letters, byte by
// byte otherwise: <0, 0 or >0; a text that is the start of the other sorts
// first.
int CompareText(std::string_view a, std::string_view b);

// A decimal integer with an optional sign and nothing else (no blanks, no
// hexadecimal), within 32 bits; EConvertError "'x' is not a valid integer
// value" otherwise.
int StrToInt(std::string_view text);

// The parts of a path: the folder with its trailing "/", the name after the
// last "/", and the extension from the name's last "." (a name that only
// starts with a dot, like ".profile", has none).
std::string ExtractFilePath(std::string_view path);
std::string ExtractFileName(std::string_view path);
std::string ExtractFileExt(std::string_view path);
// The path with its extension replaced (an empty extension removes it).
std::string ChangeFileExt(std::string_view path, std::string_view extension);

// A file (of any kind but a folder) or a folder of that name exists; links
// are followed.
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Makes the folder and every missing folder above it; true when the folder
// exists afterwards.
bool ForceDirectories(const std::string& path);

// A local time in the framework's pattern letters: yyyy, yy, m, mm, d, dd,
// h, hh, n, nn, s, ss. "m" and "mm" straight after an hour field (other
// characters between them allowed) are minutes, elsewhere months. Every
// other character stands for itself.
std::string FormatDateTime(std::string_view pattern, const std::tm& time);

}  // namespace qelo::vcl
