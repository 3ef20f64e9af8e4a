// A picture: holds one graphic of any kind, loads files by their extension
// and images named in form files from the registered resource tables.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "resource/resource.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/png_image.h"

namespace qelo::vcl {

// Tables searched for the images that form files name (a program registers
// its own table before reading its forms). Later tables are searched first.
void RegisterPictureResources(const res::ResourceTable& table);
void UnregisterPictureResources(const res::ResourceTable& table);

class TPicture : public TPersistent {
  QELO_VCL_CLASS()
 public:
  TPicture();
  ~TPicture() override;

  // Null while empty. The picture owns its graphic.
  TGraphic* Graphic() const { return graphic_.get(); }
  // A copy of the graphic (null: the picture becomes empty).
  void SetGraphic(const TGraphic* graphic);
  // The graphic as a bitmap; a picture holding something else (or
  // nothing) is replaced by an empty bitmap first.
  TBitmap* Bitmap();
  TPngImage* Png();

  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }

  // ".bmp" makes a bitmap, ".png" a PNG image (any case); EInvalidGraphic
  // "Unknown picture file extension (.x)" for another, EFOpenError for a
  // file that cannot be read. A failed load keeps the old graphic.
  void LoadFromFile(const std::string& path);

  // The image a form file names: a PNG or BITMAP resource of that name in
  // the registered tables; an empty name empties the picture.
  const std::string& ResourceName() const { return resourceName_; }
  void SetResourceName(const std::string& name);

  void Assign(const TPersistent* source) override;

  TNotifyEvent OnChange;

 private:
  void Adopt(std::unique_ptr<TGraphic> graphic);
  void Changed();

  std::unique_ptr<TGraphic> graphic_;
  std::string resourceName_;
};

}  // namespace qelo::vcl
