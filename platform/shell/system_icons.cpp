#include "shell/system_icons.h"

#include <cairo.h>
#include <gio/gio.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <map>
#include <mutex>
#include <string>

#include "win/gdi/gdi.h"

namespace qelo::shell {
namespace {

// Every icon is drawn on a 16-unit square, scaled to the list's size.
struct Rgb {
  double r, g, b;
};

constexpr Rgb kOutline{0.36, 0.36, 0.40};
constexpr Rgb kPaper{1.0, 1.0, 1.0};
constexpr Rgb kFold{0.82, 0.84, 0.88};
constexpr Rgb kFolderBack{0.93, 0.74, 0.27};
constexpr Rgb kFolderFront{0.99, 0.86, 0.46};
constexpr Rgb kFolderEdge{0.60, 0.44, 0.10};
constexpr Rgb kScreen{0.22, 0.47, 0.80};
constexpr Rgb kCase{0.78, 0.79, 0.82};
constexpr Rgb kDark{0.25, 0.26, 0.30};

void Fill(cairo_t* cr, Rgb c) {
  cairo_set_source_rgb(cr, c.r, c.g, c.b);
  cairo_fill_preserve(cr);
}

void Stroke(cairo_t* cr, Rgb c) {
  cairo_set_source_rgb(cr, c.r, c.g, c.b);
  cairo_stroke(cr);
}

void FillStroke(cairo_t* cr, Rgb fill, Rgb edge) {
  Fill(cr, fill);
  Stroke(cr, edge);
}

void Box(cairo_t* cr, double x0, double y0, double x1, double y1) { cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0); }

struct Point {
  double x, y;
};

// A closed path through the points.
void Polygon(cairo_t* cr, std::initializer_list<Point> points) {
  const Point* first = points.begin();
  cairo_move_to(cr, first->x, first->y);
  for (const Point* p = first + 1; p != points.end(); ++p) cairo_line_to(cr, p->x, p->y);
  cairo_close_path(cr);
}

// A sheet of paper with a folded corner.
void Page(cairo_t* cr) {
  Polygon(cr, {{2.5, 0.5}, {10.5, 0.5}, {13.5, 3.5}, {13.5, 15.5}, {2.5, 15.5}});
  FillStroke(cr, kPaper, kOutline);
  Polygon(cr, {{10.5, 0.5}, {10.5, 3.5}, {13.5, 3.5}});
  FillStroke(cr, kFold, kOutline);
}

void FolderBack(cairo_t* cr) {
  Polygon(cr, {{0.5, 2.5}, {5.5, 2.5}, {7.0, 4.0}, {14.5, 4.0}, {14.5, 13.5}, {0.5, 13.5}});
  FillStroke(cr, kFolderBack, kFolderEdge);
}

void DrawFolder(cairo_t* cr) {
  FolderBack(cr);
  Box(cr, 0.5, 5.5, 14.5, 13.5);
  FillStroke(cr, kFolderFront, kFolderEdge);
}

void DrawFolderOpen(cairo_t* cr) {
  FolderBack(cr);
  Polygon(cr, {{3.0, 6.5}, {15.5, 6.5}, {12.5, 13.5}, {0.5, 13.5}});
  FillStroke(cr, kFolderFront, kFolderEdge);
}

void Monitor(cairo_t* cr, Rgb screen) {
  Box(cr, 5.5, 11.0, 10.5, 13.0);
  FillStroke(cr, kCase, kDark);
  Box(cr, 3.5, 13.5, 12.5, 15.0);
  FillStroke(cr, kCase, kDark);
  Box(cr, 0.5, 1.5, 15.5, 11.5);
  FillStroke(cr, kCase, kDark);
  Box(cr, 2.0, 3.0, 14.0, 10.0);
  FillStroke(cr, screen, kDark);
}

void DrawComputer(cairo_t* cr) { Monitor(cr, kScreen); }

void DrawDesktop(cairo_t* cr) {
  Monitor(cr, {0.16, 0.58, 0.55});
  cairo_set_source_rgb(cr, 1, 1, 1);
  for (double y : {4.0, 6.5}) cairo_rectangle(cr, 3.0, y, 1.5, 1.5);
  cairo_fill(cr);
}

void DrawHome(cairo_t* cr) {
  Box(cr, 2.5, 7.5, 13.5, 15.5);
  FillStroke(cr, {0.96, 0.90, 0.76}, kDark);
  Polygon(cr, {{0.5, 8.5}, {8.0, 1.0}, {15.5, 8.5}});
  FillStroke(cr, {0.74, 0.24, 0.18}, {0.45, 0.12, 0.08});
  Box(cr, 6.5, 10.5, 9.5, 15.5);
  FillStroke(cr, {0.52, 0.34, 0.18}, kDark);
}

void DriveCase(cairo_t* cr, double top, double bottom) {
  Box(cr, 0.5, top, 15.5, bottom);
  cairo_pattern_t* shade = cairo_pattern_create_linear(0, top, 0, bottom);
  cairo_pattern_add_color_stop_rgb(shade, 0, 0.92, 0.92, 0.94);
  cairo_pattern_add_color_stop_rgb(shade, 1, 0.64, 0.65, 0.69);
  cairo_set_source(cr, shade);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(shade);
  Stroke(cr, kDark);
}

void Led(cairo_t* cr, double x, double y, Rgb c) {
  cairo_arc(cr, x, y, 1.1, 0, 2 * M_PI);
  cairo_set_source_rgb(cr, c.r, c.g, c.b);
  cairo_fill(cr);
}

void DrawDriveFixed(cairo_t* cr) {
  DriveCase(cr, 5.5, 12.5);
  cairo_move_to(cr, 2.5, 9.5);
  cairo_line_to(cr, 9.5, 9.5);
  Stroke(cr, kDark);
  Led(cr, 12.5, 9.5, {0.15, 0.75, 0.25});
}

void DrawDriveRemovable(cairo_t* cr) {
  Box(cr, 11.5, 6.5, 15.5, 10.5);
  FillStroke(cr, kCase, kDark);
  Box(cr, 0.5, 4.5, 11.5, 12.5);
  FillStroke(cr, {0.20, 0.40, 0.72}, {0.10, 0.20, 0.40});
  Led(cr, 3.0, 8.5, {0.95, 0.65, 0.15});
}

void DrawDriveRemote(cairo_t* cr) {
  DriveCase(cr, 1.5, 8.5);
  Led(cr, 12.5, 5.0, {0.15, 0.75, 0.25});
  cairo_set_line_width(cr, 1.5);
  cairo_move_to(cr, 8.0, 8.5);
  cairo_line_to(cr, 8.0, 13.0);
  cairo_move_to(cr, 2.0, 13.0);
  cairo_line_to(cr, 14.0, 13.0);
  Stroke(cr, {0.15, 0.55, 0.25});
  Box(cr, 6.0, 11.5, 10.0, 14.5);
  FillStroke(cr, {0.15, 0.55, 0.25}, kDark);
}

void DrawDriveOptical(cairo_t* cr) {
  cairo_arc(cr, 8.0, 8.0, 7.0, 0, 2 * M_PI);
  cairo_pattern_t* shine = cairo_pattern_create_linear(1, 1, 15, 15);
  cairo_pattern_add_color_stop_rgb(shine, 0, 0.95, 0.95, 0.98);
  cairo_pattern_add_color_stop_rgb(shine, 0.5, 0.72, 0.80, 0.92);
  cairo_pattern_add_color_stop_rgb(shine, 1, 0.90, 0.78, 0.90);
  cairo_set_source(cr, shine);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(shine);
  Stroke(cr, kOutline);
  cairo_arc(cr, 8.0, 8.0, 2.0, 0, 2 * M_PI);
  FillStroke(cr, kPaper, kOutline);
}

void DrawDriveRam(cairo_t* cr) {
  for (double x = 3.5; x < 13; x += 2.0) {
    cairo_move_to(cr, x, 1.5);
    cairo_line_to(cr, x, 14.5);
  }
  Stroke(cr, {0.70, 0.60, 0.25});
  Box(cr, 1.5, 4.5, 14.5, 11.5);
  FillStroke(cr, {0.12, 0.30, 0.20}, kDark);
}

void DrawVideo(cairo_t* cr) {
  Page(cr);
  Box(cr, 4.5, 6.5, 11.5, 12.5);
  FillStroke(cr, kDark, kDark);
  Polygon(cr, {{7.0, 7.8}, {10.0, 9.5}, {7.0, 11.2}});
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill(cr);
}

void DrawAudio(cairo_t* cr) {
  Page(cr);
  cairo_set_line_width(cr, 1.2);
  cairo_move_to(cr, 9.5, 12.0);
  cairo_line_to(cr, 9.5, 5.5);
  cairo_line_to(cr, 11.5, 6.5);
  Stroke(cr, {0.85, 0.45, 0.10});
  cairo_arc(cr, 8.0, 12.0, 1.6, 0, 2 * M_PI);
  cairo_set_source_rgb(cr, 0.85, 0.45, 0.10);
  cairo_fill(cr);
}

void DrawImage(cairo_t* cr) {
  Page(cr);
  Box(cr, 4.5, 6.5, 11.5, 12.5);
  FillStroke(cr, {0.70, 0.85, 0.98}, kOutline);
  Polygon(cr, {{4.5, 12.5}, {7.0, 9.0}, {9.0, 11.0}, {10.0, 10.0}, {11.5, 12.5}});
  cairo_set_source_rgb(cr, 0.25, 0.62, 0.25);
  cairo_fill(cr);
  cairo_arc(cr, 9.8, 8.2, 0.9, 0, 2 * M_PI);
  cairo_set_source_rgb(cr, 0.98, 0.80, 0.20);
  cairo_fill(cr);
}

void DrawText(cairo_t* cr) {
  Page(cr);
  for (double y = 6.5; y < 14; y += 2.0) {
    cairo_move_to(cr, 4.5, y);
    cairo_line_to(cr, 11.5, y);
  }
  Stroke(cr, {0.55, 0.57, 0.62});
}

void DrawArchive(cairo_t* cr) {
  Page(cr);
  for (double y = 2.0; y < 10; y += 2.0) cairo_rectangle(cr, 7.0, y, 2.0, 1.0);
  cairo_set_source_rgb(cr, 0.45, 0.32, 0.18);
  cairo_fill(cr);
  Box(cr, 6.5, 10.5, 9.5, 13.5);
  FillStroke(cr, {0.75, 0.60, 0.30}, {0.45, 0.32, 0.18});
}

// Overlays sit in the lower-left quarter, over whatever icon they mark.
void DrawShareOverlay(cairo_t* cr) {
  cairo_arc(cr, 3.5, 11.0, 1.6, 0, 2 * M_PI);
  cairo_arc(cr, 7.0, 11.0, 1.6, 0, 2 * M_PI);
  cairo_set_source_rgb(cr, 0.45, 0.25, 0.65);
  cairo_fill(cr);
  cairo_move_to(cr, 0.5, 15.5);
  cairo_curve_to(cr, 0.5, 12.5, 10.0, 12.5, 10.0, 15.5);
  cairo_close_path(cr);
  cairo_fill(cr);
}

void DrawLinkOverlay(cairo_t* cr) {
  Box(cr, 0.5, 8.5, 7.5, 15.5);
  FillStroke(cr, kPaper, kDark);
  cairo_set_line_width(cr, 1.3);
  cairo_move_to(cr, 2.0, 14.0);
  cairo_curve_to(cr, 2.0, 11.0, 3.5, 10.5, 5.5, 10.5);
  Stroke(cr, {0.10, 0.35, 0.75});
  Polygon(cr, {{4.0, 9.3}, {6.5, 10.5}, {4.0, 11.7}});
  cairo_set_source_rgb(cr, 0.10, 0.35, 0.75);
  cairo_fill(cr);
}

using Painter = void (*)(cairo_t*);
constexpr Painter kPainters[kSystemIconCount] = {
    Page,           DrawFolder,         DrawFolderOpen,  DrawComputer,     DrawHome,      DrawDesktop,
    DrawDriveFixed, DrawDriveRemovable, DrawDriveRemote, DrawDriveOptical, DrawDriveRam,  DrawVideo,
    DrawAudio,      DrawImage,          DrawText,        DrawArchive,      DrawShareOverlay, DrawLinkOverlay,
};

// Icons `first` to `first + count - 1` side by side in a new 32-bit bitmap
// of straight (not premultiplied) B, G, R, A pixels; null when the bitmap
// cannot be made.
win::HBITMAP DrawStrip(int size, int first, int count) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size * count, size);
  cairo_t* cr = cairo_create(surface);
  for (int i = 0; i < count; ++i) {
    cairo_save(cr);
    cairo_translate(cr, i * size, 0);
    cairo_scale(cr, size / 16.0, size / 16.0);
    cairo_set_line_width(cr, 1.0);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    kPainters[first + i](cr);
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  cairo_surface_flush(surface);

  win::BITMAPINFOHEADER info;
  info.biWidth = size * count;
  info.biHeight = -size;
  void* bits = nullptr;
  win::HBITMAP strip = win::CreateDIBSection(nullptr, &info, win::DIB_RGB_COLORS, &bits);
  if (strip && bits) {
    const unsigned char* from = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    auto* to = static_cast<uint32_t*>(bits);
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size * count; ++x) {
        uint32_t p;
        std::memcpy(&p, from + y * stride + x * 4, 4);
        uint32_t a = p >> 24;
        auto straight = [a](uint32_t c) { return a == 0 ? 0u : std::min(255u, (c * 255 + a / 2) / a); };
        to[y * size * count + x] = (a << 24) | (straight((p >> 16) & 0xFF) << 16) |
                                   (straight((p >> 8) & 0xFF) << 8) | straight(p & 0xFF);
      }
  }
  cairo_surface_destroy(surface);
  return strip;
}

win::HIMAGELIST MakeList(int size) {
  win::HIMAGELIST list = win::ImageList_Create(size, size, win::ILC_COLOR32 | win::ILC_MASK, kSystemIconCount, 8);
  if (!list) return nullptr;
  if (win::HBITMAP strip = DrawStrip(size, 0, kSystemIconCount)) {
    win::ImageList_Add(list, strip, nullptr);
    win::DeleteObject(strip);
  }
  win::ImageList_SetOverlayImage(list, kIconShareOverlay, kShareOverlay);
  win::ImageList_SetOverlayImage(list, kIconLinkOverlay, kLinkOverlay);
  return list;
}

SystemIcon IconForContentType(const char* type) {
  static constexpr struct {
    const char* prefix;
    SystemIcon icon;
  } kMediaFamilies[] = {{"video/", kIconVideo}, {"audio/", kIconAudio}, {"image/", kIconImage}};
  static constexpr const char* kArchiveTypes[] = {"application/zip", "application/x-tar", "application/gzip",
                                                  "application/x-7z-compressed", "application/vnd.rar",
                                                  "application/x-bzip", "application/x-xz"};
  char* mime = g_content_type_get_mime_type(type);
  std::string mimeType = mime ? mime : "";
  g_free(mime);
  for (const auto& family : kMediaFamilies)
    if (mimeType.rfind(family.prefix, 0) == 0) return family.icon;
  for (const char* archive : kArchiveTypes)
    if (g_content_type_is_a(type, archive)) return kIconArchive;
  return g_content_type_is_a(type, "text/plain") ? kIconText : kIconFile;
}

}  // namespace

win::HBITMAP DrawSystemIcon(int index, int size) {
  if (index < 0 || index >= kSystemIconCount || size <= 0) return nullptr;
  return DrawStrip(size, index, 1);
}

win::HBITMAP LoadShellImage(int resourceId, int size) {
  switch (resourceId) {
    case kShellShareOverlayResource: return DrawSystemIcon(kIconShareOverlay, size);
    case kShellLinkOverlayResource: return DrawSystemIcon(kIconLinkOverlay, size);
    default: return nullptr;
  }
}

win::HIMAGELIST SystemImageList(bool small) {
  static win::HIMAGELIST const lists[2] = {MakeList(32), MakeList(16)};
  return lists[small ? 1 : 0];
}

int FileIconIndex(std::string_view fileName) {
  std::size_t dot = fileName.find_last_of('.');
  std::string extension = dot == std::string_view::npos || dot == 0 ? std::string() : std::string(fileName.substr(dot));
  for (char& c : extension) c = static_cast<char>(g_ascii_tolower(c));
  static std::mutex lock;
  static std::map<std::string, int> known;
  std::lock_guard<std::mutex> hold(lock);
  auto it = known.find(extension);
  if (it != known.end()) return it->second;
  int icon = kIconFile;
  if (!extension.empty()) {
    std::string probe = "file" + extension;
    char* type = g_content_type_guess(probe.c_str(), nullptr, 0, nullptr);
    if (type) icon = IconForContentType(type);
    g_free(type);
  }
  return known.emplace(extension, icon).first->second;
}

}  // namespace qelo::shell
