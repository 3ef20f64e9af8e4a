#include "vcl/graphics/picture.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <vector>

namespace qelo::vcl {
namespace {

struct PictureResources {
  std::mutex lock;
  std::vector<const res::ResourceTable*> tables;
};

PictureResources& Resources() {
  static PictureResources resources;
  return resources;
}

std::string LowerExtension(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext;
}

std::unique_ptr<TGraphic> GraphicForExtension(const std::string& ext) {
  if (ext == ".bmp") return std::make_unique<TBitmap>();
  if (ext == ".png") return std::make_unique<TPngImage>();
  return nullptr;
}

// A copy of a graphic of the same class.
std::unique_ptr<TGraphic> CopyOf(const TGraphic& graphic) {
  std::unique_ptr<TGraphic> copy;
  if (dynamic_cast<const TPngImage*>(&graphic))
    copy = std::make_unique<TPngImage>();
  else
    copy = std::make_unique<TBitmap>();
  copy->Assign(&graphic);
  return copy;
}

}  // namespace

void RegisterPictureResources(const res::ResourceTable& table) {
  std::lock_guard guard(Resources().lock);
  Resources().tables.push_back(&table);
}

void UnregisterPictureResources(const res::ResourceTable& table) {
  std::lock_guard guard(Resources().lock);
  auto& tables = Resources().tables;
  tables.erase(std::remove(tables.begin(), tables.end(), &table), tables.end());
}

const ClassInfo& TPicture::StaticClass() {
  static const ClassInfo info = ClassBuilder<TPicture>("TPicture", TPersistent::StaticClass()).Done();
  return info;
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

void TPicture::Adopt(std::unique_ptr<TGraphic> graphic) {
  graphic_ = std::move(graphic);
  if (graphic_) graphic_->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

void TPicture::SetGraphic(const TGraphic* graphic) {
  Adopt(graphic ? CopyOf(*graphic) : nullptr);
}

TBitmap* TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(graphic_.get())) Adopt(std::make_unique<TBitmap>());
  return static_cast<TBitmap*>(graphic_.get());
}

TPngImage* TPicture::Png() {
  if (!dynamic_cast<TPngImage*>(graphic_.get())) Adopt(std::make_unique<TPngImage>());
  return static_cast<TPngImage*>(graphic_.get());
}

void TPicture::LoadFromFile(const std::string& path) {
  const std::string ext = LowerExtension(path);
  std::unique_ptr<TGraphic> graphic = GraphicForExtension(ext);
  if (!graphic) throw EInvalidGraphic("Unknown picture file extension (" + ext + ")");
  graphic->LoadFromFile(path);
  Adopt(std::move(graphic));
}

void TPicture::SetResourceName(const std::string& name) {
  if (name == resourceName_) return;
  if (name.empty()) {
    resourceName_.clear();
    Adopt(nullptr);
    return;
  }
  std::unique_ptr<TGraphic> graphic;
  {
    std::lock_guard guard(Resources().lock);
    for (auto it = Resources().tables.rbegin(); it != Resources().tables.rend() && !graphic; ++it) {
      if (const res::Resource* png = res::FindResource(**it, kPngResourceType, name)) {
        graphic = std::make_unique<TPngImage>();
        graphic->LoadFromMemory(png->data, png->size);
      } else if (const res::Resource* bmp = res::FindResource(**it, kBitmapResourceType, name)) {
        graphic = std::make_unique<TBitmap>();
        graphic->LoadFromMemory(bmp->data, bmp->size);
      }
    }
  }
  if (!graphic) throw EResNotFound("Resource " + name + " not found");
  resourceName_ = name;
  Adopt(std::move(graphic));
}

void TPicture::Assign(const TPersistent* source) {
  if (const auto* picture = dynamic_cast<const TPicture*>(source)) {
    if (picture == this) return;
    resourceName_ = picture->resourceName_;
    SetGraphic(picture->graphic_.get());
    return;
  }
  if (const auto* graphic = dynamic_cast<const TGraphic*>(source)) {
    resourceName_.clear();
    SetGraphic(graphic);
    return;
  }
  if (!source) {
    resourceName_.clear();
    Adopt(nullptr);
    return;
  }
  TPersistent::Assign(source);
}

}  // namespace qelo::vcl
