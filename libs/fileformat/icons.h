// Icon bytes handed out by id: each PNG resource is copied once, on its first
// request, and the same copy is handed out ever after.
#pragma once

#include <cstdint>

#include "catalogue.h"
#include "resource/resource.h"

namespace qelo::fileformat {

constexpr const char* kIconResourceType = "PNG";

// Sets *data and *size (each when its pointer is not null) to the icon's
// bytes, or to null and 0 when there is no such icon or the cache is full;
// true when bytes were handed out.
bool GetIcon(IconCache& cache, const res::ResourceTable& resources, int32_t id,
             const uint8_t** data, int32_t* size);

}  // namespace qelo::fileformat
