// What the edit window changes in one source entry of a job, kept sound:
// the crop stays inside the picture with a usable size, the trim inside the
// source with a usable length, at most eight effects in their order, and one
// watermark kind at a time. The window edits a copy of the entry with these
// and writes the copy back only when the user confirms.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "qelo/convertor.h"
#include "qelo/player.h"

namespace qelo::app {

// The player's smallest crop, as a fraction of the picture's width or height.
inline constexpr double kMinCropFraction = 0.02;
// The shortest trim the window sets: a tenth of a second.
inline constexpr int64_t kMinTrimLength = QELO_TIME_UNITS_PER_SECOND / 10;

// Whether the file has a picture (a file with sound only has none to crop,
// colour or mark).
bool HasPicture(const SourceEntry& entry);

// ---- crop ----------------------------------------------------------------------------------

RelativeRect WholeFrame();
bool IsWholeFrame(const RelativeRect& rect);
// Inside the picture and at least kMinCropFraction wide and high; a
// rectangle with values that are not numbers gives the whole picture.
RelativeRect SoundCrop(const RelativeRect& rect);
// A crop whose corner was typed: the corner stays (within the picture) and
// the size shrinks to fit, where SoundCrop keeps the size and moves the
// corner.
RelativeRect SoundCropKeepingCorner(const RelativeRect& rect);
// Stores the sound form of `rect`; the crop is on unless it is the whole
// picture.
void SetCrop(SourceEntry& entry, const RelativeRect& rect);
// The crop the entry's frames get: the whole picture while it is off.
RelativeRect EffectiveCrop(const SourceEntry& entry);

// A crop in the source's pixels, for the numbers the user reads and types.
struct TPixelRect {
  int left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const TPixelRect&, const TPixelRect&) = default;
};
// Rounded to whole pixels of a picture of `width` x `height`.
TPixelRect CropPixels(const RelativeRect& rect, int width, int height);
// The fractions of typed pixels; a picture without a size gives the whole
// frame. The result is not yet sound (SetCrop makes it so).
RelativeRect CropFromPixels(const TPixelRect& pixels, int width, int height);

// The crop narrowed or lowered to `aspect` (width / height) in the pixels of
// a picture of `width` x `height`, its top-left corner kept; `aspect` 0 or
// below leaves it as it is.
RelativeRect ForceCropAspect(const RelativeRect& crop, double aspect, int width, int height);

// ---- trim ----------------------------------------------------------------------------------

// Moves one end of the trim, kept within 0..sourceDuration and at least
// kMinTrimLength from the other end (a source shorter than that keeps its
// whole length). The trim is on unless it spans the whole source.
void SetTrimStart(SourceEntry& entry, int64_t start);
void SetTrimEnd(SourceEntry& entry, int64_t end);
// Both ends at once (the end first moves out of the way).
void SetTrim(SourceEntry& entry, int64_t start, int64_t end);
// What the entry takes of the group's timeline: the trimmed length while the
// trim is on, else the whole source.
int64_t EntryLength(const SourceEntry& entry);

// "hh:mm:ss.mmm" of a time in 100-ns units (negative times as 0).
std::string TrimTimeText(int64_t units);
// Reads "h:mm:ss.mmm", "m:ss.m", "ss.sss" or whole seconds, with a decimal
// point or comma; false for anything else (nothing is written then).
bool ParseTrimTime(std::string_view text, int64_t& units);

// ---- effects -------------------------------------------------------------------------------

// Appends an effect: false, with nothing changed, when the entry has eight.
bool AddEffect(SourceEntry& entry, const EffectRecord& effect);
// Indexes outside the entry's effects are ignored.
void RemoveEffect(SourceEntry& entry, int index);
// Exchanges the effect at `index` with its neighbour `delta` (-1 or +1)
// away; the index the effect has afterwards (unchanged when it cannot move).
int MoveEffect(SourceEntry& entry, int index, int delta);
// The entry's effect count kept to what the record holds.
int EffectCount(const SourceEntry& entry);

// ---- watermark -----------------------------------------------------------------------------

enum TWatermarkChoice { wcNone = 0, wcText = 1, wcPicture = 2 };

TWatermarkChoice WatermarkChoiceOf(const SourceEntry& entry);
// Turns one kind on (and the other off), or both off.
void SetWatermarkChoice(SourceEntry& entry, TWatermarkChoice choice);
// An entry that never had a watermark gets one the user can see when one is
// turned on: opaque white text in a sans face at the top left.
void GiveWatermarkDefaults(SourceEntry& entry);

std::string WatermarkText(const SourceEntry& entry);
void SetWatermarkText(SourceEntry& entry, const std::string& text);
std::string WatermarkImagePath(const SourceEntry& entry);
// False, with nothing changed, for a path too long for the record.
bool SetWatermarkImagePath(SourceEntry& entry, const std::string& path);
std::string WatermarkFace(const SourceEntry& entry);
void SetWatermarkFace(SourceEntry& entry, const std::string& face);

// Transparency in percent (0 opaque .. 100 invisible) and the watermark's
// alpha (255 opaque .. 0 invisible).
int TransparencyOfAlpha(int alpha);
int AlphaOfTransparency(int percent);

// Keeps the watermark's region inside the picture, its size at least
// kMinCropFraction.
void SetWatermarkRegion(SourceEntry& entry, const RelativeRect& region);
// Where a picture of `pictureWidth` x `pictureHeight` goes when it is
// `widthFraction` of a frame of `frameWidth` x `frameHeight` wide: the height
// keeps the picture's shape, the top-left corner stays where it was unless
// the picture would then pass the frame's edge.
RelativeRect PictureRegion(const RelativeRect& region, double widthFraction, int pictureWidth, int pictureHeight,
                           int frameWidth, int frameHeight);

// The watermark as the player shows it, or kind 0 when the entry has none.
// The player draws its text in the colour's top byte ANDed with the alpha,
// so the colour goes over opaque (the engine ignores that byte).
WatermarkState PlayerWatermark(const SourceEntry& entry);

// Whether a picture file can be read as a watermark (a PNG, JPEG or BMP file
// with pixels); its size when it can.
bool ReadablePicture(const std::string& path, int* width = nullptr, int* height = nullptr);

// ---- the whole entry -----------------------------------------------------------------------

// Copies what the edit window sets from `edited` into `entry` (crop, trim,
// watermark, effects); the path and the media facts stay.
void WriteEditedFields(const SourceEntry& edited, SourceEntry& entry);

}  // namespace qelo::app
