// The catalogue's records as the library owns them: profiles with their
// formats, codecs and value items, and the cache of icon bytes handed out.
// Every record lives in one of the catalogue's pools and is freed with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "qelo/fileformat.h"

namespace qelo::fileformat {

constexpr int kMaxProfiles = 256;
constexpr int kMaxFormats = 256;
constexpr int kMaxIcons = 1024;

struct ProfileDesc {
  int32_t formatCount;
  FileFormatDesc* formats[kMaxFormats];
  char16_t name[QELO_CATALOGUE_TEXT_CHARS];
  int32_t property;  // 0 general video, 1 general audio, 2 device video
  int32_t iconId;    // -1 when the profile names none
};

enum ProfileProperty { kGeneralVideo = 0, kGeneralAudio = 1, kDeviceVideo = 2 };

struct IconEntry {
  int32_t id;
  std::unique_ptr<uint8_t[]> data;  // a copy of the PNG resource
  int32_t size;
};

struct IconCache {
  int32_t count = 0;
  std::unique_ptr<IconEntry> entries[kMaxIcons];  // in the order of first request
};

// Records made zeroed, all freed together; Rollback drops the ones made since
// a Mark, for a record read in part and then rejected.
template <typename T>
class Pool {
 public:
  T* New() { return records_.emplace_back(std::make_unique<T>()).get(); }
  std::size_t Mark() const { return records_.size(); }
  void Rollback(std::size_t mark) { records_.resize(mark); }

 private:
  std::vector<std::unique_ptr<T>> records_;
};

struct FormatCatalogue {
  int32_t profileCount = 0;
  ProfileDesc* profiles[kMaxProfiles] = {};
  IconCache icons;

  Pool<ProfileDesc> profilePool;
  Pool<FileFormatDesc> formatPool;
  Pool<VideoCodecDesc> videoCodecPool;
  Pool<AudioCodecDesc> audioCodecPool;
  Pool<ValueItem> itemPool;

  const ProfileDesc* Profile(int index) const {
    return index >= 0 && index < profileCount ? profiles[index] : nullptr;
  }
  const FileFormatDesc* Format(int profile, int format) const {
    const ProfileDesc* p = Profile(profile);
    return p && format >= 0 && format < p->formatCount ? p->formats[format] : nullptr;
  }
};

}  // namespace qelo::fileformat
