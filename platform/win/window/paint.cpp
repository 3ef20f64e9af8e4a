// Update regions, WM_PAINT, window and client contexts over the windows'
// surfaces, and composing a top-level window with its children.
#include <algorithm>

#include "window/internal.h"

namespace qelo::win {
namespace detail {
namespace {

struct OpenDC {
  WindowPtr window;
};
// Contexts handed out by GetDC, GetWindowDC and BeginPaint (State::lock).
std::map<HDC, OpenDC>& OpenDCs() {
  static auto* dcs = new std::map<HDC, OpenDC>;
  return *dcs;
}

RECT ClientBounds(const Window& w) {
  return RECT{0, 0, w.client.right - w.client.left, w.client.bottom - w.client.top};
}

bool SeeThrough(const Window& w) {
  return w.parent != nullptr && (w.exStyle & WS_EX_TRANSPARENT) && (w.style & WS_VISIBLE);
}

void AddToUpdate(Window& w, HRGN clientRegion);

// What a transparent window shows through changed where `area` (the
// client coordinates of `below`) lies: that part of it is painted again.
void InvalidateSeeThrough(Window& below, HRGN area, Window& transparent) {
  Region moved(CreateRectRgn(0, 0, 0, 0));
  CombineRgn(moved.handle, area, nullptr, RGN_COPY);
  const POINT from = ClientOriginOnScreen(below), to = ClientOriginOnScreen(transparent);
  OffsetRgn(moved.handle, from.x - to.x, from.y - to.y);
  AddToUpdate(transparent, moved.handle);
}

// The transparent children of `w` and its transparent siblings above it.
void InvalidateWindowsAbove(Window& w, HRGN area) {
  for (Window* c : w.children)
    if (SeeThrough(*c)) InvalidateSeeThrough(w, area, *c);
  if (w.parent == nullptr) return;
  for (Window* sibling : w.parent->children) {
    if (sibling == &w) break;  // the rest lie below
    if (SeeThrough(*sibling)) InvalidateSeeThrough(w, area, *sibling);
  }
}

void AddToUpdate(Window& w, HRGN clientRegion) {
  const RECT bounds = ClientBounds(w);
  Region clipped(CreateRectRgnIndirect(&bounds));
  if (clientRegion) CombineRgn(clipped.handle, clipped.handle, clientRegion, RGN_AND);
  if (clipped.Empty()) return;
  if (w.update.handle == nullptr) w.update.Reset(CreateRectRgn(0, 0, 0, 0));
  CombineRgn(w.update.handle, w.update.handle, clipped.handle, RGN_OR);
  Wake(*w.owner);
  InvalidateWindowsAbove(w, clipped.handle);
}

void RemoveFromUpdate(Window& w, HRGN clientRegion) {
  if (w.update.handle == nullptr) return;
  if (clientRegion == nullptr) {
    w.update.Reset();
    return;
  }
  CombineRgn(w.update.handle, w.update.handle, clientRegion, RGN_DIFF);
}

bool PaintDue(const Window& w) {
  if (w.redrawOff || w.destroying || !VisibleChain(w)) return false;
  return w.frameDue || w.internalPaint || !w.update.Empty();
}

bool Overlap(const Window& a, const Window& b) {
  RECT both;
  return IntersectRect(&both, &a.rect, &b.rect) != 0;
}

// A transparent window is painted after its parent and the siblings below
// it that overlap it, of its own thread: it shows them through.
bool WaitsForWindowsBelow(const Window& w) {
  if (!SeeThrough(w)) return false;
  auto due = [&w](const Window& other) { return other.owner == w.owner && PaintDue(other); };
  if (due(*w.parent)) return true;
  const auto& siblings = w.parent->children;
  for (auto it = std::find(siblings.begin(), siblings.end(), &w) + 1; it != siblings.end(); ++it)
    if (due(**it) && Overlap(w, **it)) return true;
  return false;
}

// The window's region moved into the coordinates of a context whose origin
// is at `origin` in window coordinates; nullptr when it has none.
HRGN ShapeAt(const Window& w, POINT origin) {
  if (w.windowRegion.handle == nullptr) return nullptr;
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  CombineRgn(r, w.windowRegion.handle, nullptr, RGN_COPY);
  OffsetRgn(r, -origin.x, -origin.y);
  return r;
}

void TryDeleteRetired(Window& w) {
  std::erase_if(w.retiredSurfaces, [](HBITMAP b) { return DeleteObject(b) != 0; });
}

// A context on the window's surface; the paint mutex stays locked until
// the context is released. `extraClip` (context coordinates) limits it
// further.
HDC OpenSurfaceDC(HWND window, bool whole, HRGN extraClip) {
  WindowPtr w;
  RECT area;
  HRGN shape = nullptr;
  {
    std::lock_guard lock(GetState().lock);
    w = FindShared(window);
    if (!w) return nullptr;
    area = whole ? RECT{0, 0, w->Width(), w->Height()} : w->client;
    shape = ShapeAt(*w, POINT{area.left, area.top});
  }
  w->paintMutex.lock();
  HDC dc = CreateSurfaceDC(w->surface, area);
  if (dc == nullptr) {
    w->paintMutex.unlock();
    if (shape) DeleteObject(shape);
    return nullptr;
  }
  if (extraClip) {
    if (shape)
      CombineRgn(shape, shape, extraClip, RGN_AND);
    else
      shape = extraClip;
  }
  if (shape) SetSystemClip(dc, shape);
  if (shape && shape != extraClip) DeleteObject(shape);
  std::lock_guard lock(GetState().lock);
  OpenDCs()[dc] = OpenDC{w};
  return dc;
}

void ClearDue(Window& w, bool* frame, bool* erase, Region* update) {
  *frame = std::exchange(w.frameDue, false);
  *erase = std::exchange(w.eraseDue, false);
  w.internalPaint = false;
  const RECT bounds = ClientBounds(w);
  update->Reset(CreateRectRgn(0, 0, 0, 0));
  if (w.update.handle) CombineRgn(update->handle, w.update.handle, nullptr, RGN_COPY);
  Region inside(CreateRectRgnIndirect(&bounds));
  CombineRgn(update->handle, update->handle, inside.handle, RGN_AND);
  w.update.Reset();
}

struct Layer {
  WindowPtr window;
  POINT offset;   // of the window's corner in the root
  Region clip;    // root coordinates
};

// The layers of a root window, bottom first: the window, then its visible
// children from the bottom up, each clipped by its parents and its region.
void CollectLayers(Window& w, HRGN parentClip, std::vector<Layer>& layers) {
  const POINT at = OffsetInRoot(w);
  Layer layer{FindShared(w.handle), at, Region(CreateRectRgn(at.x, at.y, at.x + w.Width(), at.y + w.Height()))};
  if (parentClip) CombineRgn(layer.clip.handle, layer.clip.handle, parentClip, RGN_AND);
  if (HRGN shape = ShapeAt(w, POINT{-at.x, -at.y})) {
    CombineRgn(layer.clip.handle, layer.clip.handle, shape, RGN_AND);
    DeleteObject(shape);
  }
  Region inner(CreateRectRgn(at.x + w.client.left, at.y + w.client.top, at.x + w.client.right,
                             at.y + w.client.bottom));
  CombineRgn(inner.handle, inner.handle, layer.clip.handle, RGN_AND);
  layers.push_back(std::move(layer));
  for (auto it = w.children.rbegin(); it != w.children.rend(); ++it)
    if ((*it)->style & WS_VISIBLE) CollectLayers(**it, inner.handle, layers);
}

// Draws the layers into a picture whose corner lies at `origin` in the
// root; each surface is locked only while it is copied.
void DrawLayers(HDC to, std::vector<Layer>& layers, POINT origin) {
  for (Layer& layer : layers) {
    std::lock_guard paint(layer.window->paintMutex);
    if (layer.window->surface == nullptr) continue;
    BITMAP info;
    GetObject(layer.window->surface, sizeof info, &info);
    HDC from = CreateSurfaceDC(layer.window->surface, RECT{0, 0, info.bmWidth, info.bmHeight});
    OffsetRgn(layer.clip.handle, -origin.x, -origin.y);
    SetSystemClip(to, layer.clip.handle);
    BitBlt(to, layer.offset.x - origin.x, layer.offset.y - origin.y, info.bmWidth, info.bmHeight, from, 0,
           0, SRCCOPY);
    DeleteDC(from);
  }
}

// Copies `size` of one picture into another, within `clip`.
void CopyPicture(HBITMAP from, HBITMAP to, const RECT& size, HRGN clip) {
  HDC source = CreateSurfaceDC(from, size);
  HDC target = CreateSurfaceDC(to, size);
  SetSystemClip(target, clip);
  BitBlt(target, 0, 0, size.right, size.bottom, source, 0, 0, SRCCOPY);
  DeleteDC(target);
  DeleteDC(source);
}

// Before a transparent window paints, the part of its client area to be
// painted gets what lies beneath it: its parent and the siblings below.
void CopyBackdrop(HWND window, HRGN clientUpdate) {
  std::vector<Layer> below;
  WindowPtr w;
  POINT at;
  RECT client, size;
  {
    std::lock_guard lock(GetState().lock);
    w = FindShared(window);
    if (!w || !SeeThrough(*w)) return;
    CollectLayers(*RootOf(*w), nullptr, below);
    const auto mine = std::find_if(below.begin(), below.end(), [&](const Layer& l) { return l.window == w; });
    const auto count = static_cast<size_t>(mine - below.begin());
    while (below.size() > count) below.pop_back();  // the window itself and all above it
    at = OffsetInRoot(*w);
    client = w->client;
    size = RECT{0, 0, std::max(w->Width(), 1), std::max(w->Height(), 1)};
  }
  HBITMAP picture = CreateBitmap(size.right, size.bottom, 1, 32, nullptr);
  HDC to = CreateSurfaceDC(picture, size);
  DrawLayers(to, below, at);
  DeleteDC(to);
  Region area(CreateRectRgn(0, 0, 0, 0));
  CombineRgn(area.handle, clientUpdate, nullptr, RGN_COPY);
  OffsetRgn(area.handle, client.left, client.top);
  {
    std::lock_guard paint(w->paintMutex);
    if (w->surface != nullptr) CopyPicture(picture, w->surface, size, area.handle);
  }
  DeleteObject(picture);
}

}  // namespace

void InvalidateWhole(Window& w, bool erase, bool frame) {
  AddToUpdate(w, nullptr);
  w.eraseDue = w.eraseDue || erase;
  w.frameDue = w.frameDue || frame;
}

void InvalidateResized(Window& w, const RECT& oldClient) {
  const int oldWidth = oldClient.right - oldClient.left, oldHeight = oldClient.bottom - oldClient.top;
  const int width = w.client.right - w.client.left, height = w.client.bottom - w.client.top;
  const UINT classStyle = w.windowClass.style;
  if ((width != oldWidth && (classStyle & CS_HREDRAW)) || (height != oldHeight && (classStyle & CS_VREDRAW))) {
    InvalidateWhole(w, true, true);
    return;
  }
  w.frameDue = true;
  Region uncovered(CreateRectRgn(0, 0, 0, 0));
  if (width > oldWidth) {
    Region strip(CreateRectRgn(oldWidth, 0, width, height));
    CombineRgn(uncovered.handle, uncovered.handle, strip.handle, RGN_OR);
  }
  if (height > oldHeight) {
    Region strip(CreateRectRgn(0, oldHeight, width, height));
    CombineRgn(uncovered.handle, uncovered.handle, strip.handle, RGN_OR);
  }
  if (uncovered.Empty()) {
    Wake(*w.owner);
    return;
  }
  AddToUpdate(w, uncovered.handle);
  w.eraseDue = true;
}

bool TakePaintMessage(ThreadQueue& q, MSG* msg, HWND filter) {
  for (Window* w : q.windows) {
    if (filter && w->handle != filter) continue;
    if (!PaintDue(*w) || (filter == nullptr && WaitsForWindowsBelow(*w))) continue;
    *msg = MSG{w->handle, WM_PAINT, 0, 0, GetTickCount(), GetState().cursor};
    return true;
  }
  return false;
}

void ReplaceSurface(Window& w) {
  int width, height;
  {
    std::lock_guard lock(GetState().lock);
    width = std::max(w.Width(), 1);
    height = std::max(w.Height(), 1);
  }
  std::lock_guard paint(w.paintMutex);
  HBITMAP next = CreateBitmap(width, height, 1, 32, nullptr);
  if (w.surface) {
    HDC from = CreateSurfaceDC(w.surface, RECT{0, 0, width, height});
    HDC to = CreateSurfaceDC(next, RECT{0, 0, width, height});
    BitBlt(to, 0, 0, width, height, from, 0, 0, SRCCOPY);
    DeleteDC(from);
    DeleteDC(to);
    if (!DeleteObject(w.surface)) w.retiredSurfaces.push_back(w.surface);
  }
  w.surface = next;
  TryDeleteRetired(w);
}

void DestroySurface(Window& w) {
  std::lock_guard paint(w.paintMutex);
  if (w.surface && !DeleteObject(w.surface)) w.retiredSurfaces.push_back(w.surface);
  w.surface = nullptr;
  TryDeleteRetired(w);
}

void NotifyPainted(HWND window) {
  HWND root = nullptr;
  {
    std::lock_guard lock(GetState().lock);
    Window* w = Find(window);
    if (w == nullptr) return;
    root = RootOf(*w)->handle;
  }
  Display().Painted(root);
}

}  // namespace detail

using namespace detail;

BOOL InvalidateRgn(HWND window, HRGN region, BOOL erase) {
  std::lock_guard lock(GetState().lock);
  Window* w = Find(window);
  if (w == nullptr) return 0;
  AddToUpdate(*w, region);
  w->eraseDue = w->eraseDue || erase;
  return 1;
}

BOOL InvalidateRect(HWND window, const RECT* r, BOOL erase) {
  Region region(r ? CreateRectRgnIndirect(r) : nullptr);
  return InvalidateRgn(window, region.handle, erase);
}

BOOL ValidateRect(HWND window, const RECT* r) {
  std::lock_guard lock(GetState().lock);
  Window* w = Find(window);
  if (w == nullptr) return 0;
  Region region(r ? CreateRectRgnIndirect(r) : nullptr);
  RemoveFromUpdate(*w, region.handle);
  if (r == nullptr) w->internalPaint = w->frameDue = w->eraseDue = false;
  return 1;
}

BOOL GetUpdateRect(HWND window, RECT* r, BOOL) {
  std::lock_guard lock(GetState().lock);
  Window* w = Find(window);
  if (w == nullptr) return 0;
  RECT box{};
  if (w->update.handle) GetRgnBox(w->update.handle, &box);
  if (r) *r = box;
  return !IsRectEmpty(&box);
}

int GetUpdateRgn(HWND window, HRGN region, BOOL) {
  std::lock_guard lock(GetState().lock);
  Window* w = Find(window);
  if (w == nullptr) return ERROR;
  if (w->update.handle == nullptr) return SetRectRgn(region, 0, 0, 0, 0) ? NULLREGION : ERROR;
  return CombineRgn(region, w->update.handle, nullptr, RGN_COPY);
}

BOOL UpdateWindow(HWND window) {
  bool due = false;
  {
    std::lock_guard lock(GetState().lock);
    Window* w = Find(window);
    if (w == nullptr) return 0;
    due = PaintDue(*w);
  }
  if (due) SendMessage(window, WM_PAINT, 0, 0);
  return 1;
}

BOOL RedrawWindow(HWND window, const RECT* r, HRGN region, UINT flags) {
  std::vector<HWND> targets{window};
  {
    std::lock_guard lock(GetState().lock);
    Window* w = Find(window);
    if (w == nullptr) return 0;
    Region given(region ? nullptr : (r ? CreateRectRgnIndirect(r) : nullptr));
    HRGN area = region ? region : given.handle;
    std::vector<Window*> all{w};
    for (size_t i = 0; (flags & RDW_ALLCHILDREN) && i < all.size(); ++i)
      for (Window* c : all[i]->children) all.push_back(c);
    for (Window* each : all) {
      HRGN part = each == w ? area : nullptr;
      if (flags & RDW_INVALIDATE) {
        AddToUpdate(*each, part);
        if (flags & RDW_ERASE) each->eraseDue = true;
        if (flags & RDW_FRAME) each->frameDue = true;
      }
      if (flags & RDW_INTERNALPAINT) each->internalPaint = true;
      if (flags & RDW_VALIDATE) RemoveFromUpdate(*each, part);
      if (flags & RDW_NOFRAME) each->frameDue = false;
      if (flags & RDW_NOERASE) each->eraseDue = false;
      if (each != w) targets.push_back(each->handle);
    }
    if (flags & RDW_INTERNALPAINT) Wake(*w->owner);
  }
  if (flags & (RDW_UPDATENOW | RDW_ERASENOW))
    for (HWND each : targets) UpdateWindow(each);
  return 1;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  if (paint == nullptr) return nullptr;
  bool frame = false, erase = false;
  Region update;
  {
    std::lock_guard lock(GetState().lock);
    Window* w = Find(window);
    if (w == nullptr) return nullptr;
    ClearDue(*w, &frame, &erase, &update);
  }
  if (frame) SendMessage(window, WM_NCPAINT, 1, 0);
  CopyBackdrop(window, update.handle);
  HDC dc = OpenSurfaceDC(window, false, update.handle);
  if (dc == nullptr) return nullptr;
  paint->hdc = dc;
  GetRgnBox(update.handle, &paint->rcPaint);
  paint->fErase = erase ? !SendMessage(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) : 0;
  return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
  return paint && ReleaseDC(window, paint->hdc);
}

// With no window: a screen-compatible context for measuring (full colour,
// the screen's fonts and metrics); what is drawn on it goes nowhere.
HDC GetDC(HWND window) {
  if (window != nullptr) return OpenSurfaceDC(window, false, nullptr);
  HDC dc = CreateDisplayDC();
  std::lock_guard lock(GetState().lock);
  OpenDCs()[dc] = OpenDC{nullptr};
  return dc;
}
HDC GetWindowDC(HWND window) { return OpenSurfaceDC(window, true, nullptr); }

int ReleaseDC(HWND, HDC dc) {
  WindowPtr w;
  {
    std::lock_guard lock(GetState().lock);
    auto it = OpenDCs().find(dc);
    if (it == OpenDCs().end()) return 0;
    w = it->second.window;
    OpenDCs().erase(it);
  }
  DeleteDC(dc);
  if (!w) return 1;  // a screen context
  TryDeleteRetired(*w);
  w->paintMutex.unlock();
  NotifyPainted(w->handle);
  return 1;
}

HBITMAP ComposeWindow(HWND topLevel) {
  std::vector<Layer> layers;
  RECT size;
  {
    std::lock_guard lock(GetState().lock);
    Window* w = Find(topLevel);
    if (w == nullptr) return nullptr;
    w = RootOf(*w);
    size = RECT{0, 0, std::max(w->Width(), 1), std::max(w->Height(), 1)};
    CollectLayers(*w, nullptr, layers);
  }
  HBITMAP picture = CreateBitmap(size.right, size.bottom, 1, 32, nullptr);
  HDC to = CreateSurfaceDC(picture, size);
  DrawLayers(to, layers, POINT{0, 0});
  DeleteDC(to);
  return picture;
}

BOOL SaveWindowScreenshot(HWND topLevel, const std::string& pngPath) {
  HBITMAP picture = ComposeWindow(topLevel);
  if (picture == nullptr) return 0;
  const BOOL saved = SaveBitmapToPng(picture, pngPath);
  DeleteObject(picture);
  return saved;
}

BOOL ComposePopupOnto(HBITMAP picture, HWND topLevel, HWND popup) {
  HBITMAP popupPicture = ComposeWindow(popup);
  if (popupPicture == nullptr) return 0;
  RECT under, over;
  GetWindowRect(topLevel, &under);
  GetWindowRect(popup, &over);
  HDC to = CreateCompatibleDC(nullptr);
  HDC from = CreateCompatibleDC(nullptr);
  HGDIOBJ oldTo = SelectObject(to, picture);
  HGDIOBJ oldFrom = SelectObject(from, popupPicture);
  BitBlt(to, over.left - under.left, over.top - under.top, over.right - over.left, over.bottom - over.top, from, 0,
         0, SRCCOPY);
  SelectObject(to, oldTo);
  SelectObject(from, oldFrom);
  DeleteDC(to);
  DeleteDC(from);
  DeleteObject(popupPicture);
  return 1;
}

}  // namespace qelo::win
