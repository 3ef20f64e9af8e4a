// WMV fixtures for the re-index tests, made by ffmpeg.
#pragma once

#include <string>

namespace qelo::test {

// A 2-second WMV file (wmv2 video, wmav2 audio), made once for the build.
std::string CachedWmv();
// The same written as a stream, so its header carries no duration; "" on failure.
std::string MakeStreamedWmv(const std::string& path);
// Copies a file; false on failure.
bool CopyFileTo(const std::string& from, const std::string& to);
std::string ReadFileBytes(const std::string& path);

}  // namespace qelo::test
