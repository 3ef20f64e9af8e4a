// The edit window's layout: where each control of its form sits on
// "edit.png". The window takes the picture's size, so the form file places
// its controls by these tables; the skin draws the two cards (the preview
// above, the pages below) that they sit on.
#pragma once

#include "layout.h"

namespace qelo::skin::edit_window {

constexpr int kWidth = 820;
constexpr int kHeight = 668;

// The preview with its bar and buttons, and the pages with their tabs.
constexpr Box kPreviewCard{10, 44, 800, 384};
constexpr Box kPagesCard{10, 438, 800, 180};
// The hairline under the page tabs.
constexpr int kTabLineY = 478;

// The player's two panes: 387 pixels each with an 8-pixel gap (its own
// geometry for a window of this size).
constexpr Box kPreview{19, 72, 782, 282};
constexpr int kPaneWidth = (kPreview.w - 8) / 2;
constexpr int kSecondPaneX = kPreview.x + kPaneWidth + 8;

// One page panel; the pages' controls are placed inside it.
constexpr Box kPage{19, 482, 782, 128};

// The form's own controls, in form coordinates.
constexpr Placed kControls[] = {
    {"LabCaption", {36, 8, 600, 20}},
    {"LabOriginal", {kPreview.x, 50, kPaneWidth, 18}},
    {"LabOutput", {kSecondPaneX, 50, kPaneWidth, 18}},
    {"pnlPreview", kPreview},
    // In the panes' place for a file with sound only.
    {"LabSoundOnly", kPreview},
    {"tbTrim", {19, 360, 782, 24}},
    {"btnPlay", {19, 392, 64, 28}},
    {"btnPause", {87, 392, 64, 28}},
    {"btnPrevFrame", {163, 392, 32, 28}},
    {"btnNextFrame", {199, 392, 32, 28}},
    {"LabTime", {243, 397, 300, 18}},
    {"LabOutputLength", {551, 397, 250, 18}},
    {"btnPageCrop", {19, 446, 96, 26}},
    {"btnPageEffect", {119, 446, 96, 26}},
    {"btnPageWatermark", {219, 446, 96, 26}},
    {"btnPageTrim", {319, 446, 96, 26}},
    {"pnlCrop", kPage},
    {"pnlEffect", kPage},
    {"pnlWatermark", kPage},
    {"pnlTrim", kPage},
    {"LabHint", {19, 634, 590, 18}},
    {"btnOK", {630, 628, 80, 28}},
    {"btnCancel", {720, 628, 80, 28}},
};

// The pages' controls, in coordinates of their page panel.
constexpr Placed kPageControls[] = {
    // Crop.
    {"LabCropLeft", {0, 10, 44, 18}},
    {"edCropLeft", {48, 6, 64, 24}},
    {"LabCropTop", {128, 10, 36, 18}},
    {"edCropTop", {168, 6, 64, 24}},
    {"LabCropWidth", {248, 10, 44, 18}},
    {"edCropWidth", {296, 6, 64, 24}},
    {"LabCropHeight", {376, 10, 48, 18}},
    {"edCropHeight", {428, 6, 64, 24}},
    {"LabCropSize", {508, 10, 270, 18}},
    {"LabAspect", {0, 48, 44, 18}},
    {"cbAspect", {48, 45, 184, 22}},
    {"btnCropReset", {248, 42, 112, 28}},
    // Effect.
    {"LabEffects", {0, 0, 160, 18}},
    {"lbEffects", {0, 20, 160, 100}},
    {"btnEffectAdd", {168, 20, 84, 24}},
    {"btnEffectRemove", {168, 48, 84, 24}},
    {"btnEffectUp", {168, 76, 84, 24}},
    {"btnEffectDown", {168, 104, 84, 24}},
    {"LabChosen", {260, 0, 184, 18}},
    {"lbChosen", {260, 20, 184, 100}},
    {"LabParams", {456, 0, 322, 18}},
    {"LabParam1", {456, 24, 260, 18}},
    {"LabParam1Value", {722, 24, 56, 18}},
    {"tbParam1", {456, 42, 322, 24}},
    {"LabParam2", {456, 76, 260, 18}},
    {"LabParam2Value", {722, 76, 56, 18}},
    {"tbParam2", {456, 94, 322, 24}},
    // Watermark.
    {"LabWmKind", {0, 4, 76, 18}},
    {"cbWmKind", {80, 1, 120, 22}},
    {"LabTransparency", {224, 4, 90, 18}},
    {"tbTransparency", {318, 0, 200, 24}},
    {"LabTransparencyValue", {524, 4, 48, 18}},
    {"LabWmText", {0, 42, 76, 18}},
    {"edWmText", {80, 38, 304, 24}},
    {"LabWmFont", {400, 42, 40, 18}},
    {"cbWmFont", {444, 39, 160, 22}},
    {"LabWmColor", {616, 42, 48, 18}},
    {"cbWmColor", {668, 39, 110, 22}},
    {"LabWmPicture", {0, 42, 76, 18}},
    {"edWmPicture", {80, 38, 500, 24}},
    {"btnWmBrowse", {588, 36, 100, 28}},
    {"LabWmSize", {0, 78, 76, 18}},
    {"tbWmSize", {80, 74, 304, 24}},
    {"LabWmSizeValue", {390, 78, 70, 18}},
    {"chkWmBold", {480, 76, 70, 20}},
    {"chkWmItalic", {556, 76, 70, 20}},
    {"LabWmPosition", {0, 108, 778, 18}},
    // Trim.
    {"LabTrimStart", {0, 10, 44, 18}},
    {"edTrimStart", {48, 6, 110, 24}},
    {"btnTrimSetStart", {166, 4, 120, 28}},
    {"LabTrimEnd", {310, 10, 36, 18}},
    {"edTrimEnd", {350, 6, 110, 24}},
    {"btnTrimSetEnd", {468, 4, 120, 28}},
    {"LabTrimLength", {0, 48, 600, 18}},
    {"btnTrimPlay", {0, 80, 140, 28}},
    {"btnTrimReset", {148, 80, 112, 28}},
};

// The bars (trim bar, sliders) use the seek bar's pictures and offsets.
constexpr int kBarSpaceTrack = main_window::kSeekSpaceTrack;
constexpr int kBarSpaceBG = main_window::kSeekSpaceBG;
constexpr int kBarSpaceStart = main_window::kSeekSpaceStart;
constexpr int kBarClipSpace = main_window::kSeekClipSpace;
constexpr int kBarClipHeight = main_window::kSeekClipHeight;

}  // namespace qelo::skin::edit_window
