#include "icons.h"

#include <algorithm>
#include <climits>

namespace qelo::fileformat {
namespace {

const IconEntry* Cached(const IconCache& cache, int32_t id) {
  for (int32_t i = 0; i < cache.count; ++i)
    if (cache.entries[i]->id == id) return cache.entries[i].get();
  return nullptr;
}

// Resources are numbered with 16 bits.
const IconEntry* AddFromResources(IconCache& cache, const res::ResourceTable& resources,
                                  int32_t id) {
  if (cache.count == kMaxIcons) return nullptr;
  const res::Resource* resource = res::FindResource(resources, kIconResourceType, id & 0xFFFF);
  if (!resource || resource->size > INT32_MAX) return nullptr;
  auto entry = std::make_unique<IconEntry>();
  entry->id = id;
  entry->size = static_cast<int32_t>(resource->size);
  entry->data = std::make_unique<uint8_t[]>(resource->size);
  std::copy_n(resource->data, resource->size, entry->data.get());
  cache.entries[cache.count] = std::move(entry);
  return cache.entries[cache.count++].get();
}

}  // namespace

bool GetIcon(IconCache& cache, const res::ResourceTable& resources, int32_t id,
             const uint8_t** data, int32_t* size) {
  if (!data) return false;
  *data = nullptr;
  if (!size) return false;
  *size = 0;
  const IconEntry* entry = Cached(cache, id);
  if (!entry) entry = AddFromResources(cache, resources, id);
  if (!entry) return false;
  *data = entry->data.get();
  *size = entry->size;
  return true;
}

}  // namespace qelo::fileformat
