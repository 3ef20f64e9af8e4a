// The flat exports: each fetches the catalogue (making an empty one the
// first time), checks its indexes and hands over to the code behind.
#include <memory>

#include "catalogue.h"
#include "catalogue_reader.h"
#include "format_defaults.h"
#include "icons.h"
#include "qelo/fileformat.h"

namespace qelo::res {
extern const ResourceTable kFileFormatResources;
}

namespace {

using namespace qelo::fileformat;

std::unique_ptr<FormatCatalogue> gCatalogue;

FormatCatalogue& Catalogue() {
  if (!gCatalogue) gCatalogue = std::make_unique<FormatCatalogue>();
  return *gCatalogue;
}

// The profile's icon id; -1 for an invalid profile.
int32_t ProfileIconId(int profile) {
  const ProfileDesc* p = Catalogue().Profile(profile);
  return p ? p->iconId : -1;
}

// The format's icon id; -1 for an invalid profile, 0 for an invalid format.
int32_t FormatIconId(int profile, int format) {
  if (!Catalogue().Profile(profile)) return -1;
  const FileFormatDesc* f = Catalogue().Format(profile, format);
  return f ? f->iconId : 0;
}

int HandOutIcon(int32_t id, const uint8_t** data, int32_t* size) {
  return GetIcon(Catalogue().icons, qelo::res::kFileFormatResources, id, data, size) ? 1 : 0;
}

}  // namespace

QELO_EXPORT int QeloInitializeProfile(void) {
  return LoadFormatCatalogue(Catalogue(), qelo::res::kFileFormatResources) ? 1 : 0;
}

QELO_EXPORT void QeloDeInitializeProfile(void) { gCatalogue.reset(); }

QELO_EXPORT int QeloGetDefaultProfileCount(void) { return Catalogue().profileCount; }

QELO_EXPORT const char16_t* QeloGetDefaultProfileDes(int profile) {
  const ProfileDesc* p = Catalogue().Profile(profile);
  return p ? p->name : nullptr;
}

QELO_EXPORT int QeloGetDefaultProfileIcon(int profile, const uint8_t** data, int32_t* size) {
  return HandOutIcon(ProfileIconId(profile), data, size);
}

QELO_EXPORT int QeloGetFileFormatCount(int profile) {
  const ProfileDesc* p = Catalogue().Profile(profile);
  return p ? p->formatCount : 0;
}

QELO_EXPORT const char16_t* QeloGetFileFormatName(int profile, int format) {
  const FileFormatDesc* f = Catalogue().Format(profile, format);
  return f ? f->name : nullptr;
}

QELO_EXPORT const char16_t* QeloGetFileFormatDes(int profile, int format) {
  const FileFormatDesc* f = Catalogue().Format(profile, format);
  return f ? f->description : nullptr;
}

QELO_EXPORT int QeloGetFileFormatIcon(int profile, int format, const uint8_t** data,
                                      int32_t* size) {
  return HandOutIcon(FormatIconId(profile, format), data, size);
}

QELO_EXPORT void QeloGetFileFormatDesEx(int profile, int format, const FileFormatDesc** desc) {
  if (desc) *desc = Catalogue().Format(profile, format);
}

QELO_EXPORT void QeloGetFileFormatDefault(int profile, int format, FormatSettings* settings) {
  if (!settings) return;
  const FileFormatDesc* f = Catalogue().Format(profile, format);
  if (f) {
    FillFormatDefaults(*Catalogue().Profile(profile), *f, settings);
  } else {
    *settings = FormatSettings{};
  }
}
