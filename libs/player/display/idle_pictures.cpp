#include "idle_pictures.h"

#include <span>

#include "resource/resource.h"

namespace qelo::res {
extern const ResourceTable kPlayerResources;
}

namespace qelo::player {

std::unique_ptr<gdiplus::Bitmap> LoadIdlePicture(int id) {
  const res::Resource* resource = res::FindResource(res::kPlayerResources, "BITMAP", id);
  if (resource == nullptr) return nullptr;
  auto picture = std::make_unique<gdiplus::Bitmap>(std::span<const uint8_t>(resource->data, resource->size));
  if (picture->GetLastStatus() != gdiplus::Status::Ok) return nullptr;
  return picture;
}

}  // namespace qelo::player
