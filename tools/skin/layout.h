// The main window's layout: where each control of its form sits on
// "main-free.png". The window takes the picture's size, so the form file
// places its controls by this table; the skin draws the cards and title band
// that these controls sit on.
#pragma once

namespace qelo::skin {

struct Box {
  int x, y, w, h;
  int Right() const { return x + w; }
  int Bottom() const { return y + h; }
};

struct Placed {
  const char* name;  // the control's name in the form
  Box box;
};

namespace main_window {

constexpr int kWidth = 940;
constexpr int kHeight = 524;
// Dragging works above y 25; the band is a little taller.
constexpr int kTitleHeight = 34;
constexpr int kCardRadius = 6;
// A card's heading row; a hairline runs under it.
constexpr int kHeadingHeight = 28;

// The four cards the controls are grouped on.
constexpr Box kSourceCard{10, 44, 538, 320};
constexpr Box kPreviewCard{558, 44, 372, 320};
constexpr Box kDestinationCard{10, 374, 538, 140};
constexpr Box kStartCard{558, 374, 372, 140};

constexpr Placed kControls[] = {
    // Title band (the logo is drawn at 2, 3; the caption buttons at top 5,
    // 5 pixels from the right edge, the minimise button 2 pixels left of
    // the close button).
    {"LabCaption", {36, 8, 90, 20}},
    {"BtnFileMenu", {130, 6, 46, 22}},
    {"btnEditMenu", {178, 6, 46, 22}},
    {"btnHelpMenu", {226, 6, 46, 22}},
    // 1. Source Setup.
    {"LabSource", {22, 52, 240, 18}},
    {"btnAddMediaFile", {22, 80, 100, 28}},
    {"btnEdit", {128, 80, 80, 28}},
    {"BtnMerge", {214, 80, 80, 28}},
    {"lvMediaFile", {22, 116, 514, 238}},
    // Preview.
    {"pnlPlayer", {568, 54, 352, 225}},
    {"tbPlayer", {568, 285, 352, 24}},
    {"BtnPlay", {568, 319, 32, 32}},
    {"btnPause", {604, 319, 32, 32}},
    {"btnStop", {640, 319, 32, 32}},
    {"btnSnapshot", {688, 319, 32, 32}},
    {"btnSnapMenu", {720, 319, 16, 32}},
    // 2. Destination Setup.
    {"LabDestination", {22, 382, 240, 18}},
    {"lblProfile", {22, 416, 70, 18}},
    {"btnProfile", {96, 408, 330, 32}},
    {"btnSettings", {436, 408, 100, 32}},
    {"lblOutPath", {22, 458, 70, 18}},
    {"beOutpath", {96, 450, 330, 32}},
    {"BtnOpenPath", {436, 450, 100, 32}},
    // 3. Start Conversion.
    {"LabStart", {570, 382, 240, 18}},
    {"BtnStart", {570, 408, 140, 40}},
    {"BtnStartStop", {570, 408, 140, 40}},
    {"chkAutoShutdown", {724, 418, 196, 20}},
    {"pbWgProgress", {570, 460, 348, 12}},
    {"pbTotalProgress", {570, 480, 348, 12}},
};

// Inside the two wide image buttons (btnProfile, beOutpath): the icon and
// the caption the form places on their pictures (ShowImgX/Y, TextX/Y); the
// right end holds the button's sign.
constexpr int kFieldIconX = 8, kFieldIconY = 8;
constexpr int kFieldTextX = 30, kFieldTextY = 9;
constexpr int kFieldSignWidth = 25;

// The seek bar's pictures sit at these offsets (SpaceTrack, SpaceBG,
// SpaceStart, ClipSpace, ClipHeight) on a bar 24 pixels high.
constexpr int kSeekSpaceTrack = 5, kSeekSpaceBG = 10, kSeekSpaceStart = 2;
constexpr int kSeekClipSpace = 10, kSeekClipHeight = 4;

constexpr Box Find(const char* name) {
  for (const Placed& p : kControls) {
    const char* a = p.name;
    const char* b = name;
    while (*a && *a == *b) ++a, ++b;
    if (*a == *b) return p.box;
  }
  return Box{0, 0, 0, 0};
}

}  // namespace main_window

// The caption buttons of every skinned window.
constexpr int kCaptionButtonWidth = 26;
constexpr int kCaptionButtonHeight = 20;

}  // namespace qelo::skin
