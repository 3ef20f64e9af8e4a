#include "vcl/graphics/image_list.h"

#include <algorithm>

namespace qelo::vcl {
namespace {

constexpr uint32_t kClear = 0;

// A 32-bit pixel (A, R, G, B from the top byte) of an opaque colour.
uint32_t OpaquePixel(win::COLORREF rgb) {
  return 0xFF000000u | (uint32_t{win::GetRValue(rgb)} << 16) | (uint32_t{win::GetGValue(rgb)} << 8) |
         win::GetBValue(rgb);
}

void BlendOnto(TCanvas& canvas, int x, int y, TBitmap& cell) {
  win::BLENDFUNCTION blend;
  blend.AlphaFormat = win::AC_SRC_ALPHA;
  win::AlphaBlend(canvas.Handle(), x, y, cell.Width(), cell.Height(), cell.Canvas()->Handle(), 0, 0, cell.Width(),
                  cell.Height(), blend);
}

uint32_t Unpremultiplied(uint32_t p) {
  const uint32_t a = p >> 24;
  if (a == 0) return 0;
  uint32_t out = a << 24;
  for (int shift = 0; shift < 24; shift += 8) out |= std::min(255u, (((p >> shift) & 0xFF) * 255 + a / 2) / a) << shift;
  return out;
}

}  // namespace

// ---- TChangeLink -------------------------------------------------------------------

TChangeLink::~TChangeLink() {
  if (sender_) sender_->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (OnChange) OnChange(sender_);
}

// ---- TImageList ----------------------------------------------------------------------

const ClassInfo& TImageList::StaticClass() {
  static const ClassInfo info = ClassBuilder<TImageList>("TImageList", TComponent::StaticClass())
                                    .Integer("Height", &TImageList::Height, &TImageList::SetHeight)
                                    .Integer("Width", &TImageList::Width, &TImageList::SetWidth)
                                    .Event("OnChange", &TImageList::OnChange)
                                    .Done();
  return info;
}

TImageList::TImageList(TComponent* owner)
    : TComponent(owner), handle_(win::ImageList_Create(width_, height_, win::ILC_COLOR32 | win::ILC_MASK, 4, 4)) {}

TImageList::~TImageList() {
  for (TChangeLink* link : links_) link->sender_ = nullptr;
  win::ImageList_Destroy(handle_);
}

int TImageList::Count() const {
  return shared_ ? win::ImageList_GetImageCount(shared_) : static_cast<int>(images_.size());
}

void TImageList::ShareHandle(win::HIMAGELIST shared) {
  if (shared == shared_) return;
  shared_ = shared;
  if (shared_) {
    int width = width_, height = height_;
    win::ImageList_GetIconSize(shared_, &width, &height);
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
    images_.clear();
    std::fill(std::begin(overlays_), std::end(overlays_), -1);
  }
  Change();
}

void TImageList::SetSize(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  images_.clear();
  std::fill(std::begin(overlays_), std::end(overlays_), -1);
  Change();
}

TImageList::Cell TImageList::NewCell() const {
  auto cell = std::make_unique<TBitmap>();
  cell->SetPixelFormat(pf32bit);
  cell->SetSize(width_, height_);
  for (int y = 0; y < height_; ++y) std::fill_n(cell->ScanLine(y), width_, kClear);
  return cell;
}

TImageList::Cell TImageList::CellFrom(TBitmap& image, int column, TBitmap* mask,
                                      std::optional<TColor> maskColor) const {
  Cell cell = NewCell();
  const int left = column * width_;
  const int w = std::min(width_, image.Width() - left);
  const int h = std::min(height_, image.Height());
  TCanvas* pixels = image.Canvas();
  TCanvas* maskPixels = mask ? mask->Canvas() : nullptr;
  for (int y = 0; y < h; ++y) {
    uint32_t* row = cell->ScanLine(y);
    for (int x = 0; x < w; ++x) {
      const win::COLORREF rgb = pixels->Pixels(left + x, y);
      bool clear = false;
      if (maskPixels) clear = (maskPixels->Pixels(left + x, y) & 0xFFFFFF) != 0;
      if (maskColor) clear = rgb == *maskColor;
      row[x] = clear ? kClear : OpaquePixel(rgb);
    }
  }
  return cell;
}

std::vector<TImageList::Cell> TImageList::CellsFrom(TBitmap* image, TBitmap* mask,
                                                    std::optional<TColor> maskColor) const {
  if (!image || image->Empty()) throw EInvalidOperation("Invalid image");
  const int count = std::max(1, image->Width() / width_);
  std::vector<Cell> cells;
  for (int column = 0; column < count; ++column) cells.push_back(CellFrom(*image, column, mask, maskColor));
  return cells;
}

int TImageList::Append(std::vector<Cell> cells) {
  const int first = Count();
  for (Cell& cell : cells) images_.push_back(std::move(cell));
  Change();
  return first;
}

int TImageList::Add(TBitmap* image, TBitmap* mask) { return Append(CellsFrom(image, mask, std::nullopt)); }

int TImageList::AddMasked(TBitmap* image, TColor maskColor) {
  if (!image || image->Empty()) throw EInvalidOperation("Invalid image");
  const TColor key = maskColor == clDefault ? image->Canvas()->Pixels(0, image->Height() - 1) : ColorToRGB(maskColor);
  return Append(CellsFrom(image, nullptr, key & 0xFFFFFF));
}

int TImageList::Add(TPngImage* image) {
  if (!image || image->Empty()) throw EInvalidOperation("Invalid image");
  Cell cell = NewCell();
  const int w = std::min(width_, image->Width());
  for (int y = 0; y < std::min(height_, image->Height()); ++y) std::copy_n(image->ScanLine(y), w, cell->ScanLine(y));
  std::vector<Cell> cells;
  cells.push_back(std::move(cell));
  return Append(std::move(cells));
}

void TImageList::CheckIndex(int index) const {
  if (index < 0 || index >= static_cast<int>(images_.size())) throw EInvalidOperation("Invalid ImageList Index");
}

void TImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
  CheckIndex(index);
  images_[index] = std::move(CellsFrom(image, mask, std::nullopt).front());
  Change();
}

void TImageList::Delete(int index) {
  if (index == -1) return Clear();
  CheckIndex(index);
  images_.erase(images_.begin() + index);
  for (int& overlay : overlays_) {
    if (overlay == index)
      overlay = -1;
    else if (overlay > index)
      --overlay;
  }
  Change();
}

void TImageList::Clear() {
  if (images_.empty()) return;
  images_.clear();
  std::fill(std::begin(overlays_), std::end(overlays_), -1);
  Change();
}

bool TImageList::Overlay(int imageIndex, int overlay) {
  if (imageIndex < 0 || imageIndex >= static_cast<int>(images_.size()) || overlay < 0 || overlay >= kOverlayCount)
    return false;
  overlays_[overlay] = imageIndex;
  SyncOverlays();
  return true;
}

void TImageList::DrawGreyed(TCanvas& canvas, int x, int y, TBitmap& cell) {
  TBitmap greyed;
  greyed.SetPixelFormat(pf32bit);
  greyed.SetSize(width_ + 1, height_ + 1);
  for (int row = 0; row <= height_; ++row) std::fill_n(greyed.ScanLine(row), width_ + 1, kClear);
  const uint32_t highlight = OpaquePixel(ColorToRGB(clBtnHighlight));
  const uint32_t shadow = OpaquePixel(ColorToRGB(clBtnShadow));
  for (int pass = 0; pass < 2; ++pass) {
    const int offset = pass == 0 ? 1 : 0;
    for (int row = 0; row < height_; ++row) {
      const uint32_t* source = cell.ScanLine(row);
      uint32_t* dest = greyed.ScanLine(row + offset);
      for (int col = 0; col < width_; ++col)
        if ((source[col] >> 24) >= 128) dest[col + offset] = pass == 0 ? highlight : shadow;
    }
  }
  BlendOnto(canvas, x, y, greyed);
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  DrawOverlay(canvas, x, y, index, -1, enabled);
}

void TImageList::DrawOverlay(TCanvas* canvas, int x, int y, int index, int overlay, bool enabled) {
  if (!canvas || index < 0 || index >= Count()) return;
  const bool hasOverlay = overlay >= 0 && overlay < kOverlayCount && overlays_[overlay] >= 0;
  canvas->Lock();
  if (shared_) {
    // The other list's own overlay slots (1 to 15) are its owner's.
    const win::UINT style = win::ILD_TRANSPARENT | (overlay >= 0 ? win::INDEXTOOVERLAYMASK(overlay + 1) : 0);
    win::ImageList_DrawEx(shared_, index, canvas->Handle(), x, y, 0, 0, win::CLR_NONE,
                          enabled ? win::CLR_DEFAULT : ColorToRGB(clBtnFace), style | (enabled ? 0 : win::ILD_BLEND50));
  } else if (enabled) {
    // The native list draws the image and its overlay (native slots start at 1).
    const win::UINT style = win::ILD_TRANSPARENT | (hasOverlay ? win::INDEXTOOVERLAYMASK(overlay + 1) : 0);
    win::ImageList_DrawEx(handle_, index, canvas->Handle(), x, y, 0, 0, win::CLR_NONE, win::CLR_DEFAULT, style);
  } else {
    DrawGreyed(*canvas, x, y, *images_[index]);
    if (hasOverlay) DrawGreyed(*canvas, x, y, *images_[overlays_[overlay]]);
  }
  canvas->Unlock();
}

// Rebuilds the native list from the cells: one strip of straight-alpha
// pixels with a mask whose white marks the fully transparent pixels.
void TImageList::SyncHandle() {
  win::ImageList_SetIconSize(handle_, width_, height_);
  if (!images_.empty()) {
    TBitmap strip, mask;
    for (TBitmap* b : {&strip, &mask}) {
      b->SetPixelFormat(pf32bit);
      b->SetSize(width_ * static_cast<int>(images_.size()), height_);
    }
    for (int y = 0; y < height_; ++y) {
      uint32_t* pixels = strip.ScanLine(y);
      uint32_t* maskRow = mask.ScanLine(y);
      for (size_t i = 0; i < images_.size(); ++i) {
        const uint32_t* cell = images_[i]->ScanLine(y);
        for (int x = 0; x < width_; ++x) {
          pixels[i * width_ + x] = Unpremultiplied(cell[x]);
          maskRow[i * width_ + x] = (cell[x] >> 24) == 0 ? 0xFFFFFFFFu : 0xFF000000u;
        }
      }
    }
    win::ImageList_Add(handle_, strip.Handle(), mask.Handle());
  }
  SyncOverlays();
}

void TImageList::SyncOverlays() {
  for (int slot = 0; slot < kOverlayCount; ++slot) win::ImageList_SetOverlayImage(handle_, overlays_[slot], slot + 1);
}

void TImageList::RegisterChanges(TChangeLink* link) {
  if (!link || std::find(links_.begin(), links_.end(), link) != links_.end()) return;
  if (link->sender_) link->sender_->UnRegisterChanges(link);
  link->sender_ = this;
  links_.push_back(link);
}

void TImageList::UnRegisterChanges(TChangeLink* link) {
  auto it = std::find(links_.begin(), links_.end(), link);
  if (it == links_.end()) return;
  links_.erase(it);
  link->sender_ = nullptr;
}

void TImageList::Change() {
  SyncHandle();
  const std::vector<TChangeLink*> links = links_;  // a handler may unregister
  for (TChangeLink* link : links)
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->Change();
  if (OnChange) OnChange(this);
}

bool ChangeImageList(TImageList*& field, TImageList* images, TChangeLink& link, TComponent& owner) {
  if (images == field) return false;
  if (field) {
    field->UnRegisterChanges(&link);
    field->RemoveFreeNotification(&owner);
  }
  field = images;
  if (images) {
    images->RegisterChanges(&link);
    images->FreeNotification(&owner);
  }
  return true;
}

}  // namespace qelo::vcl
