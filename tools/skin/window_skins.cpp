// The windows' skins and the pictures that go with them.
#include <cmath>
#include <filesystem>
#include <system_error>

#include "drawing.h"
#include "edit_layout.h"
#include "layout.h"
#include "skins.h"

namespace qelo::skin {

namespace {

using namespace palette;

// A white card; with a heading, a hairline runs under its heading row.
void Card(cairo_t* cr, const Box& b, bool heading = true) {
  FillRounded(cr, b.x, b.y, b.w, b.h, main_window::kCardRadius, kCard);
  StrokeRounded(cr, b.x, b.y, b.w, b.h, main_window::kCardRadius, kCardBorder);
  if (heading) FillRect(cr, b.x + 10, b.y + main_window::kHeadingHeight + 2, b.w - 20, 1, 0xE3E8EE);
}

// Body, title band and a thin outline: every skinned window starts so.
void WindowFrame(cairo_t* cr, int w, int h) {
  FillRect(cr, 0, 0, w, h, kBody);
  FillRect(cr, 0, 0, w, main_window::kTitleHeight, kTitle);
  FillRect(cr, 0, main_window::kTitleHeight - 1, w, 1, kTitleLight);
  StrokeRounded(cr, 0, 0, w, h, 5, 0x1B2636);
}

bool MainWindow(const std::string& path) {
  using namespace main_window;
  Picture p(kWidth, kHeight);
  cairo_t* cr = p.cr();
  WindowFrame(cr, kWidth, kHeight);
  for (const Box& card : {kSourceCard, kDestinationCard, kStartCard}) Card(cr, card);
  Card(cr, kPreviewCard, false);
  // The preview's well, under the player window.
  const Box player = Find("pnlPlayer");
  FillRect(cr, player.x - 1, player.y - 1, player.w + 2, player.h + 2, 0x0F1721);
  return p.WritePng(path);
}

// A field-like button with a sign at its right end.
enum class Sign { kDropDown, kFolder };

bool FieldButton(const std::string& path, Sign sign, bool hot) {
  const Box b = main_window::Find(sign == Sign::kDropDown ? "btnProfile" : "beOutpath");
  const int signWidth = main_window::kFieldSignWidth;
  Picture p(b.w, b.h);
  cairo_t* cr = p.cr();
  FillRounded(cr, 0, 0, b.w, b.h, 4, hot ? kFieldHot : kCard);
  cairo_save(cr);
  RoundedRectangle(cr, 0, 0, b.w, b.h, 4);
  cairo_clip(cr);
  FillRect(cr, b.w - signWidth, 0, signWidth, b.h, hot ? kAccentHot : kAccent);
  cairo_restore(cr);
  StrokeRounded(cr, 0, 0, b.w, b.h, 4, hot ? kAccent : kCardBorder);
  const double cx = b.w - signWidth / 2.0;
  if (sign == Sign::kDropDown) Triangle(cr, cx - 5, b.h / 2.0 - 3, 10, 6, Direction::kDown, 0xFFFFFF);
  else FolderGlyph(cr, cx - 9, b.h / 2.0 - 9, 18, 0xFFFFFF);
  return p.WritePng(path);
}

// The small drop-down end beside the snapshot button.
bool MenuEnd(const std::string& path, bool hot) {
  const Box b = main_window::Find("btnSnapMenu");
  Picture p(b.w, b.h);
  cairo_t* cr = p.cr();
  FillRounded(cr, 0, 0, b.w, b.h, 4, hot ? kAccentHot : kCard);
  StrokeRounded(cr, 0, 0, b.w, b.h, 4, hot ? kAccent : kCardBorder);
  Triangle(cr, b.w / 2.0 - 4, b.h / 2.0 - 2, 8, 5, Direction::kDown, hot ? 0xFFFFFF : kText);
  return p.WritePng(path);
}

enum class CaptionSign { kClose, kMinimise };

bool CaptionButton(const std::string& path, CaptionSign sign, bool hot) {
  Picture p(kCaptionButtonWidth, kCaptionButtonHeight);
  cairo_t* cr = p.cr();
  if (hot)
    FillRounded(cr, 0, 0, kCaptionButtonWidth, kCaptionButtonHeight, 4,
                sign == CaptionSign::kClose ? kClose : kTitleLight);
  SetColour(cr, kTitleText);
  cairo_set_line_width(cr, 1.6);
  const double cx = kCaptionButtonWidth / 2.0, cy = kCaptionButtonHeight / 2.0;
  if (sign == CaptionSign::kClose) {
    cairo_move_to(cr, cx - 4.5, cy - 4.5);
    cairo_line_to(cr, cx + 4.5, cy + 4.5);
    cairo_move_to(cr, cx + 4.5, cy - 4.5);
    cairo_line_to(cr, cx - 4.5, cy + 4.5);
    cairo_stroke(cr);
  } else {
    FillRect(cr, cx - 5, cy + 3, 10, 2, kTitleText);
  }
  return p.WriteKeyedBmp(path, kTitle);
}

bool MakeFolders(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return std::filesystem::is_directory(folder, error);
}

bool Logo(const std::string& path) {
  Picture p(28, 28);
  LogoMark(p.cr(), 0, 0, 28);
  return p.WritePng(path);
}

// The settings dialog and the About box: painted in nine pieces with 50-pixel
// edges, so the title band and the corners keep their size.
bool CommonDialog(const std::string& path) {
  Picture p(300, 200);
  WindowFrame(p.cr(), 300, 200);
  return p.WritePng(path);
}

bool AboutPicture(const std::string& path) {
  Picture p(96, 96);
  LogoMark(p.cr(), 4, 4, 88);
  return p.WritePng(path);
}

// The edit window: the two-pane preview with its bar and buttons on one card,
// the pages with their tabs on another, OK and Cancel below.
bool EditWindow(const std::string& path) {
  using namespace edit_window;
  Picture p(kWidth, kHeight);
  cairo_t* cr = p.cr();
  WindowFrame(cr, kWidth, kHeight);
  Card(cr, kPreviewCard, false);
  Card(cr, kPagesCard, false);
  // The preview's well, under the player window.
  FillRect(cr, kPreview.x - 1, kPreview.y - 1, kPreview.w + 2, kPreview.h + 2, 0x0F1721);
  FillRect(cr, kPagesCard.x + 10, kTabLineY, kPagesCard.w - 20, 1, 0xE3E8EE);
  return p.WritePng(path);
}

}  // namespace

bool WriteAppIcons(const std::string& folder) {
  bool ok = true;
  for (const int size : kAppIconSizes) {
    const std::string dir = folder + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
    if (!MakeFolders(dir)) return false;
    Picture p(size, size);
    // A small icon keeps a pixel of margin; a large one a sixteenth of it.
    const double margin = size <= 16 ? 0.5 : size / 16.0;
    LogoMark(p.cr(), margin, margin, size - 2 * margin);
    ok = p.WritePng(dir + "/" + kAppIconName + ".png") && ok;
  }
  return ok;
}

bool WriteWindowSkins(const std::string& folder) {
  const std::string f = folder + "/";
  bool ok = MainWindow(f + "main-free.png");
  ok = FieldButton(f + "main-selectformat-normal.png", Sign::kDropDown, false) && ok;
  ok = FieldButton(f + "main-selectformat-on.png", Sign::kDropDown, true) && ok;
  ok = FieldButton(f + "main-selectoutpath-normal.png", Sign::kFolder, false) && ok;
  ok = FieldButton(f + "main-selectoutpath-on.png", Sign::kFolder, true) && ok;
  ok = MenuEnd(f + "main-Down-normal.png", false) && ok;
  ok = MenuEnd(f + "main-Down-on.png", true) && ok;
  ok = CaptionButton(f + "close-normal.BMP", CaptionSign::kClose, false) && ok;
  ok = CaptionButton(f + "close-on.BMP", CaptionSign::kClose, true) && ok;
  ok = CaptionButton(f + "min-normal.BMP", CaptionSign::kMinimise, false) && ok;
  ok = CaptionButton(f + "min-on.BMP", CaptionSign::kMinimise, true) && ok;
  ok = Logo(f + "Logo-free.png") && ok;
  ok = CommonDialog(f + "frm-Common.png") && ok;
  ok = AboutPicture(f + "FreeClipshift.png") && ok;
  ok = EditWindow(f + "edit.png") && ok;
  return ok;
}

}  // namespace qelo::skin
