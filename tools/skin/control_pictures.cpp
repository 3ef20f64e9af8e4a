// The controls' small pictures: the file list's, the drop-down's, the seek
// bar's and the bitmap buttons' faces.
#include <cmath>
#include <string>

#include "drawing.h"
#include "layout.h"
#include "skins.h"

namespace qelo::skin {

namespace {

using namespace palette;

// ---- the file list (16-pixel row pictures) -----------------------------------------

bool CheckBox(const std::string& path, bool checked) {
  Picture p(16, 16);
  cairo_t* cr = p.cr();
  FillRounded(cr, 1, 1, 14, 14, 3, checked ? kAccent : kCard);
  StrokeRounded(cr, 1, 1, 14, 14, 3, checked ? kAccentDark : 0x8A97A8);
  if (checked) {
    SetColour(cr, 0xFFFFFF);
    cairo_set_line_width(cr, 2);
    cairo_move_to(cr, 4.5, 8.5);
    cairo_line_to(cr, 7, 11);
    cairo_line_to(cr, 11.5, 5);
    cairo_stroke(cr);
  }
  return p.WritePng(path);
}

// The row pictures stand on a white tile: a selected row is filled with a
// blue close to the accent, on which the bare glyph would vanish.
void RowTile(cairo_t* cr) { FillRounded(cr, 0, 0, 16, 16, 3, 0xFFFFFF); }

bool Glyph16(const std::string& path, void (*glyph)(cairo_t*, double, double, double, Rgb)) {
  Picture p(16, 16);
  RowTile(p.cr());
  glyph(p.cr(), 1, 1, 14, kAccent);
  return p.WritePng(path);
}

// A merged job: two frames stacked.
bool GroupPicture(const std::string& path) {
  Picture p(16, 16);
  cairo_t* cr = p.cr();
  RowTile(cr);
  FillRounded(cr, 5.5, 2.5, 9, 7, 1.5, 0x9DB8D9);
  FillRounded(cr, 1.5, 6.5, 9, 7, 1.5, kAccent);
  return p.WritePng(path);
}

bool CellArrow(const std::string& path) {
  Picture p(9, 6);
  Triangle(p.cr(), 0, 0, 9, 6, Direction::kDown, kText);
  return p.WritePng(path);
}

// ---- the drop-down ------------------------------------------------------------------

bool GroupMarker(const std::string& path) {
  Picture p(8, 13);
  Triangle(p.cr(), 2, 2, 5, 9, Direction::kRight, kMuted);
  return p.WritePng(path);
}

bool ScrollArrow(const std::string& path, Direction direction) {
  Picture p(9, 5);
  Triangle(p.cr(), 0, 0, 9, 5, direction, kText);
  return p.WritePng(path);
}

// The arrow's backdrop, two pixels taller than the arrow: its 10-pixel ends
// stay, its middle stretches. Kept low, as the top arrows lie over the first
// row's text.
bool ArrowBackground(const std::string& path) {
  Picture p(40, 7);
  FillRounded(p.cr(), 0, 0, 40, 7, 3.5, 0xD5DDE7);
  return p.WritePng(path);
}

// ---- the seek bar --------------------------------------------------------------------

bool Strip(const std::string& path, int width, int height, Rgb colour) {
  Picture p(width, height);
  FillRect(p.cr(), 0, 0, width, height, colour);
  return p.WritePng(path);
}

bool Thumb(const std::string& path) {
  Picture p(14, 14);
  cairo_t* cr = p.cr();
  cairo_arc(cr, 7, 7, 6.5, 0, 6.2832);
  SetColour(cr, 0xFFFFFF);
  cairo_fill_preserve(cr);
  SetColour(cr, kAccent);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  return p.WritePng(path);
}

// A clip marker: a flag on a stem, pointing into the clip.
bool Marker(const std::string& path, bool start) {
  Picture p(7, 20);
  cairo_t* cr = p.cr();
  const int stem = start ? 5 : 0;
  FillRect(cr, stem, 0, 2, 20, kAccentDark);
  Triangle(cr, start ? 0 : 2, 0, 5, 8, start ? Direction::kLeft : Direction::kRight, kAccentDark);
  return p.WritePng(path);
}

// ---- the folder dialog's pictures ------------------------------------------------------

constexpr Rgb kFolderYellow = 0xE2B04A;
constexpr Rgb kFolderEdge = 0xB7862B;
constexpr Rgb kGo = 0x2E9448;
constexpr Rgb kStop = 0xC8413B;
constexpr Rgb kGreyInk = 0x9AA3AE;
constexpr Rgb kGreyLight = 0xC9CED5;

// A folder with a plus badge at its lower right.
bool NewFolderPicture(const std::string& path, bool enabled) {
  Picture p(16, 16);
  cairo_t* cr = p.cr();
  FillRounded(cr, 1, 3, 6, 3, 1, enabled ? kFolderEdge : kGreyInk);
  FillRounded(cr, 1, 4.5, 12, 9, 1.2, enabled ? kFolderYellow : kGreyLight);
  StrokeRounded(cr, 1, 4.5, 12, 9, 1.2, enabled ? kFolderEdge : kGreyInk);
  cairo_arc(cr, 12, 12, 3.8, 0, 2 * M_PI);
  SetColour(cr, enabled ? kGo : kGreyInk);
  cairo_fill(cr);
  FillRect(cr, 11.25, 9.5, 1.5, 5, 0xFFFFFF);
  FillRect(cr, 9.5, 11.25, 5, 1.5, 0xFFFFFF);
  return p.WritePng(path);
}

void Cross(cairo_t* cr, double inset, double width, Rgb colour) {
  SetColour(cr, colour);
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr, inset, inset);
  cairo_line_to(cr, 16 - inset, 16 - inset);
  cairo_move_to(cr, 16 - inset, inset);
  cairo_line_to(cr, inset, 16 - inset);
  cairo_stroke(cr);
}

bool DeletePicture(const std::string& path, bool enabled) {
  Picture p(16, 16);
  Cross(p.cr(), 3.5, 2.6, enabled ? kStop : kGreyInk);
  return p.WritePng(path);
}

// ---- the bitmap buttons' faces ---------------------------------------------------------

// kTitle: a flat button on the title band.
enum class Kind { kPlain, kPrimary, kDanger, kRound, kTitle };
enum class Face { kUp, kHot, kDisabled };

struct FaceSpec {
  const char* control;
  int w, h;
  Kind kind;
  const char* label;  // empty: the button's own caption is drawn over it
  void (*glyph)(cairo_t*, double, double, double, Rgb);
  Rgb edgeBackground;  // what the button sits on
};

struct Colours {
  Rgb fill, border, ink;
};

Colours ColoursOf(Kind kind, Face face) {
  if (face == Face::kDisabled) {
    if (kind == Kind::kPrimary || kind == Kind::kDanger) return {kDisabled, kDisabled, 0xF4F6F8};
    if (kind == Kind::kTitle) return {kTitle, kTitle, kMuted};
    return {0xF4F6F8, 0xDCE1E7, kDisabled};
  }
  const bool hot = face == Face::kHot;
  switch (kind) {
    case Kind::kPrimary: return {hot ? kAccentHot : kAccent, kAccentDark, 0xFFFFFF};
    case Kind::kDanger: return {hot ? 0xD9574F : kClose, 0x9E2F2A, 0xFFFFFF};
    case Kind::kTitle: return {hot ? kTitleLight : kTitle, hot ? 0x50627C : kTitle, kTitleText};
    default: return {hot ? kFieldHot : kCard, hot ? kAccent : kCardBorder, hot ? kAccentDark : kText};
  }
}

bool DrawFace(const FaceSpec& spec, Face face, const std::string& path) {
  Picture p(spec.w, spec.h);
  cairo_t* cr = p.cr();
  const Colours c = ColoursOf(spec.kind, face);
  const double radius = spec.kind == Kind::kRound ? spec.h / 2.0 : 4;
  FillRounded(cr, 0, 0, spec.w, spec.h, radius, c.fill);
  StrokeRounded(cr, 0, 0, spec.w, spec.h, radius, c.border);
  const Rgb glyphColour = face == Face::kDisabled ? c.ink : (spec.kind == Kind::kPlain || spec.kind == Kind::kRound)
                                                               ? kAccent
                                                               : c.ink;
  const std::string label = spec.label;
  if (label.empty()) {
    if (spec.glyph) spec.glyph(cr, (spec.w - spec.h) / 2.0, 0, spec.h, glyphColour);
  } else {
    const double side = std::round(spec.h * 0.6);
    const int textPixels = spec.h >= 40 ? 15 : 12;
    const bool bold = spec.kind != Kind::kPlain && spec.kind != Kind::kTitle;
    // Glyph and label centred together.
    const double gap = spec.glyph ? side + 3 : 0;
    const int textWidth = TextWidth(cr, label, textPixels, bold);
    const double left = std::round((spec.w - gap - textWidth) / 2.0);
    if (spec.glyph) spec.glyph(cr, left, std::round((spec.h - side) / 2.0), side, glyphColour);
    Text(cr, label, left + gap, 0, textWidth, textPixels, c.ink, bold, Align::kLeft, spec.h);
  }
  return p.WriteKeyedPng(path, spec.edgeBackground);
}

const FaceSpec kFaces[] = {
    // The title band's menu buttons.
    {"BtnFileMenu", 46, 22, Kind::kTitle, "File", nullptr, kTitle},
    {"btnEditMenu", 46, 22, Kind::kTitle, "Edit", nullptr, kTitle},
    {"btnHelpMenu", 46, 22, Kind::kTitle, "Help", nullptr, kTitle},
    {"btnAddMediaFile", 100, 28, Kind::kPlain, "Add Files", PlusGlyph, kCard},
    {"btnEdit", 80, 28, Kind::kPlain, "Edit", PenGlyph, kCard},
    {"BtnMerge", 80, 28, Kind::kPlain, "Merge", MergeGlyph, kCard},
    {"BtnPlay", 32, 32, Kind::kRound, "", PlayGlyph, kCard},
    {"btnPause", 32, 32, Kind::kRound, "", PauseGlyph, kCard},
    {"btnStop", 32, 32, Kind::kRound, "", StopGlyph, kCard},
    {"btnSnapshot", 32, 32, Kind::kRound, "", CameraGlyph, kCard},
    {"btnSettings", 100, 32, Kind::kPlain, "Settings", GearGlyph, kCard},
    {"BtnOpenPath", 100, 32, Kind::kPlain, "Open", FolderGlyph, kCard},
    {"BtnStart", 140, 40, Kind::kPrimary, "Start", PlayGlyph, kCard},
    {"BtnStartStop", 140, 40, Kind::kDanger, "Stop", StopGlyph, kCard},
    // The settings dialog's buttons carry their captions ("Ok", "Cancel").
    {"btnOK", 80, 28, Kind::kPrimary, "", nullptr, kBody},
    {"BtnCancel", 80, 28, Kind::kPlain, "", nullptr, kBody},
};

}  // namespace

bool WriteListPictures(const std::string& folder) {
  const std::string f = folder + "/";
  bool ok = CheckBox(f + "checked.png", true);
  ok = CheckBox(f + "unchecked.png", false) && ok;
  ok = Glyph16(f + "video.png", FilmGlyph) && ok;
  ok = GroupPicture(f + "group.png") && ok;
  ok = Glyph16(f + "merge.png", MergeGlyph) && ok;
  ok = CellArrow(f + "down.png") && ok;
  return ok;
}

bool WriteDropDownPictures(const std::string& folder) {
  const std::string f = folder + "/";
  bool ok = GroupMarker(f + "righttriangle.png");
  ok = ScrollArrow(f + "downtriangle.png", Direction::kDown) && ok;
  ok = ScrollArrow(f + "uptriangle.png", Direction::kUp) && ok;
  ok = ArrowBackground(f + "bgtriangle.png") && ok;
  return ok;
}

bool WriteSeekBarPictures(const std::string& folder) {
  const std::string f = folder + "/";
  bool ok = Thumb(f + "seektrack.png");
  ok = Strip(f + "seekbg.png", 1, 24, kCard) && ok;
  ok = Marker(f + "seekstart.png", true) && ok;
  ok = Marker(f + "seekend.png", false) && ok;
  ok = Strip(f + "seekclip.png", 1, main_window::kSeekClipHeight, kAccent) && ok;
  ok = Strip(f + "seekclipbg.png", 1, 4, 0xD5DDE7) && ok;
  return ok;
}

bool WriteButtonFaces(const std::string& folder) {
  const std::string f = folder + "/";
  bool ok = true;
  for (const FaceSpec& spec : kFaces) {
    const std::string name = f + spec.control;
    ok = DrawFace(spec, Face::kUp, name + "Up.png") && ok;
    ok = DrawFace(spec, Face::kHot, name + "Hot.png") && ok;
    ok = DrawFace(spec, Face::kDisabled, name + "Disabled.png") && ok;
  }
  return ok;
}

bool WriteFolderDialogPictures(const std::string& folder) {
  const std::string f = folder + "/";
  bool ok = NewFolderPicture(f + "newfolder.png", true);
  ok = NewFolderPicture(f + "newfolder-disabled.png", false) && ok;
  ok = DeletePicture(f + "delete.png", true) && ok;
  ok = DeletePicture(f + "delete-disabled.png", false) && ok;
  return ok;
}

}  // namespace qelo::skin
