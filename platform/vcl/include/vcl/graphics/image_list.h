// Image lists: equal-sized images kept with their transparency, drawn
// normally or greyed, with overlay images, telling linked users of changes.
// A native image list (Handle) mirrors the images and overlays, so native
// list and tree views can be given the same list; normal drawing goes
// through it.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "vcl/classes.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/png_image.h"
#include "win/controls/lists/imagelist.h"

namespace qelo::vcl {

class TImageList;

// A user's link to an image list: told through OnChange whenever the
// list's images change. A link unregisters itself when it goes; a list that
// goes first clears the links' Sender.
class TChangeLink : public TObject {
 public:
  TChangeLink() = default;
  ~TChangeLink() override;

  TImageList* Sender() const { return sender_; }
  void Change();

  TNotifyEvent OnChange;

 private:
  friend class TImageList;
  TImageList* sender_ = nullptr;
};

class TImageList : public TComponent {
  QELO_VCL_CLASS()
 public:
  static constexpr int kOverlayCount = 4;

  explicit TImageList(TComponent* owner);
  ~TImageList() override;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // A new size empties the list. Sizes below 1 are 1.
  void SetWidth(int width) { SetSize(width, height_); }
  void SetHeight(int height) { SetSize(width_, height); }
  void SetSize(int width, int height);
  int Count() const;

  // An image as wide as several images adds each of them, left to right;
  // a narrower or lower one is padded with transparent pixels. Returns the
  // index of the first image added. The mask's white (or, for AddMasked,
  // the mask colour's) pixels are transparent; without a mask all are
  // opaque. clDefault as the mask colour is the bottom-left pixel's.
  int Add(TBitmap* image, TBitmap* mask);
  int AddMasked(TBitmap* image, TColor maskColor);
  // Keeps the image's own alpha.
  int Add(TPngImage* image);
  void Replace(int index, TBitmap* image, TBitmap* mask);
  // -1 deletes every image. Overlays of a deleted image are dropped.
  void Delete(int index);
  void Clear();

  // Draws image `index` with its top-left at (x, y): as it is, or greyed
  // (an embossed shape in the button shadow and highlight colours).
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
  // The same with the overlay image of slot `overlay` (0 to 3) drawn over it.
  void DrawOverlay(TCanvas* canvas, int x, int y, int index, int overlay, bool enabled = true);
  // Makes image `imageIndex` the overlay of slot `overlay`; false for an
  // index or slot out of range.
  bool Overlay(int imageIndex, int overlay);

  // The native list holding the same images and overlays, for the native
  // controls; it lives as long as this list.
  win::HIMAGELIST Handle() const { return shared_ ? shared_ : handle_; }
  // Stands for a native list that others own (the system's image lists):
  // its images are then the ones counted, drawn and handed out, and it is
  // never destroyed here. Null returns to the list's own images.
  void ShareHandle(win::HIMAGELIST shared);
  bool SharesHandle() const { return shared_ != nullptr; }

  void RegisterChanges(TChangeLink* link);
  void UnRegisterChanges(TChangeLink* link);

  TNotifyEvent OnChange;

 protected:
  virtual void Change();

 private:
  using Cell = std::unique_ptr<TBitmap>;  // 32-bit, premultiplied alpha
  Cell NewCell() const;
  Cell CellFrom(TBitmap& image, int column, TBitmap* mask, std::optional<TColor> maskColor) const;
  std::vector<Cell> CellsFrom(TBitmap* image, TBitmap* mask, std::optional<TColor> maskColor) const;
  int Append(std::vector<Cell> cells);
  void CheckIndex(int index) const;
  void DrawGreyed(TCanvas& canvas, int x, int y, TBitmap& cell);
  void SyncHandle();
  void SyncOverlays();

  int width_ = 16;
  int height_ = 16;
  std::vector<Cell> images_;
  int overlays_[kOverlayCount] = {-1, -1, -1, -1};
  std::vector<TChangeLink*> links_;
  win::HIMAGELIST handle_;
  win::HIMAGELIST shared_ = nullptr;
};

// Points a control's image list reference `field` at `images`: the change
// link and the owner's free notification leave the old list and join the
// new one. False when `field` already held it.
bool ChangeImageList(TImageList*& field, TImageList* images, TChangeLink& link, TComponent& owner);

}  // namespace qelo::vcl
