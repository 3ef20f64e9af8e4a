#include "edit_window_entry.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "gdiplus/bitmap.h"
#include "win/codepage.h"

namespace qelo::app {

namespace {

constexpr int64_t kUnitsPerMs = QELO_TIME_UNITS_PER_SECOND / 1000;

bool Finite(const RelativeRect& r) {
  return std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.width) && std::isfinite(r.height);
}

// One side of a rectangle: its start and size kept inside 0..1, the size at
// least `minimum`.
void KeepSpan(double& start, double& size, double minimum) {
  size = std::clamp(size, minimum, 1.0);
  start = std::clamp(start, 0.0, 1.0 - size);
}

void StoreTrim(SourceEntry& entry, int64_t start, int64_t end) {
  entry.trimStart = start;
  entry.trimEnd = end;
  entry.trimEnabled = (start > 0 || end < entry.sourceDuration) ? 1 : 0;
}

// The shortest trim this source allows.
int64_t MinTrim(const SourceEntry& entry) { return std::min(kMinTrimLength, std::max<int64_t>(entry.sourceDuration, 0)); }

std::string Field(const char16_t* field, size_t capacity) {
  return win::Utf16ToUtf8(win::Utf16Field(field, capacity));
}

bool ParseNumber(std::string_view text, double& value) {
  std::string copy(text);
  std::replace(copy.begin(), copy.end(), ',', '.');
  if (copy.empty() || copy.find_first_not_of("0123456789.") != std::string::npos) return false;
  if (std::count(copy.begin(), copy.end(), '.') > 1) return false;
  const auto [end, error] = std::from_chars(copy.data(), copy.data() + copy.size(), value);
  return error == std::errc() && end == copy.data() + copy.size();
}

bool ParseWhole(std::string_view text, int64_t& value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

constexpr uint32_t kOpaque = 0xFF000000u;

}  // namespace

// ---- crop ----------------------------------------------------------------------------------

bool HasPicture(const SourceEntry& entry) { return entry.videoWidth > 0 && entry.videoHeight > 0; }

RelativeRect WholeFrame() { return RelativeRect{0.0, 0.0, 1.0, 1.0}; }

bool IsWholeFrame(const RelativeRect& r) {
  constexpr double kNear = 1e-9;
  return std::fabs(r.left) < kNear && std::fabs(r.top) < kNear && std::fabs(r.width - 1.0) < kNear &&
         std::fabs(r.height - 1.0) < kNear;
}

RelativeRect SoundCrop(const RelativeRect& rect) {
  if (!Finite(rect)) return WholeFrame();
  RelativeRect r = rect;
  KeepSpan(r.left, r.width, kMinCropFraction);
  KeepSpan(r.top, r.height, kMinCropFraction);
  return r;
}

RelativeRect SoundCropKeepingCorner(const RelativeRect& rect) {
  if (!Finite(rect)) return WholeFrame();
  RelativeRect r = rect;
  r.left = std::clamp(r.left, 0.0, 1.0 - kMinCropFraction);
  r.top = std::clamp(r.top, 0.0, 1.0 - kMinCropFraction);
  r.width = std::min(r.width, 1.0 - r.left);
  r.height = std::min(r.height, 1.0 - r.top);
  return SoundCrop(r);
}

void SetCrop(SourceEntry& entry, const RelativeRect& rect) {
  entry.cropRect = SoundCrop(rect);
  entry.cropEnabled = IsWholeFrame(entry.cropRect) ? 0 : 1;
}

RelativeRect EffectiveCrop(const SourceEntry& entry) {
  return entry.cropEnabled ? SoundCrop(entry.cropRect) : WholeFrame();
}

TPixelRect CropPixels(const RelativeRect& rect, int width, int height) {
  const auto px = [](double fraction, int size) { return static_cast<int>(std::lround(fraction * size)); };
  return TPixelRect{px(rect.left, width), px(rect.top, height), px(rect.width, width), px(rect.height, height)};
}

RelativeRect CropFromPixels(const TPixelRect& p, int width, int height) {
  if (width <= 0 || height <= 0) return WholeFrame();
  return RelativeRect{double(p.left) / width, double(p.top) / height, double(p.width) / width,
                      double(p.height) / height};
}

RelativeRect ForceCropAspect(const RelativeRect& crop, double aspect, int width, int height) {
  if (!(aspect > 0) || width <= 0 || height <= 0) return SoundCrop(crop);
  RelativeRect r = SoundCrop(crop);
  const double w = r.width * width, h = r.height * height;
  if (w > h * aspect)
    r.width = h * aspect / width;
  else
    r.height = w / aspect / height;
  return SoundCrop(r);
}

// ---- trim ----------------------------------------------------------------------------------

void SetTrimStart(SourceEntry& entry, int64_t start) {
  const int64_t latest = std::max<int64_t>(entry.trimEnd - MinTrim(entry), 0);
  StoreTrim(entry, std::clamp<int64_t>(start, 0, latest), entry.trimEnd);
}

void SetTrimEnd(SourceEntry& entry, int64_t end) {
  const int64_t duration = std::max<int64_t>(entry.sourceDuration, 0);
  const int64_t earliest = std::min(entry.trimStart + MinTrim(entry), duration);
  StoreTrim(entry, entry.trimStart, std::clamp<int64_t>(end, earliest, duration));
}

void SetTrim(SourceEntry& entry, int64_t start, int64_t end) {
  const int64_t duration = std::max<int64_t>(entry.sourceDuration, 0);
  // From the whole source, so that neither end blocks the other.
  StoreTrim(entry, 0, duration);
  SetTrimEnd(entry, end);
  SetTrimStart(entry, start);
  SetTrimEnd(entry, end);
}

int64_t EntryLength(const SourceEntry& entry) {
  return entry.trimEnabled ? entry.trimEnd - entry.trimStart : entry.sourceDuration;
}

std::string TrimTimeText(int64_t units) {
  const int64_t ms = std::max<int64_t>(units, 0) / kUnitsPerMs;
  char text[48];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", static_cast<long long>(ms / 3600000),
                static_cast<long long>(ms / 60000 % 60), static_cast<long long>(ms / 1000 % 60),
                static_cast<long long>(ms % 1000));
  return text;
}

bool ParseTrimTime(std::string_view text, int64_t& units) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  // Up to two whole fields (hours, minutes) before the seconds.
  int64_t whole[2] = {0, 0};
  int fields = 0;
  for (size_t colon; (colon = text.find(':')) != std::string_view::npos;) {
    if (fields == 2) return false;
    int64_t value = 0;
    if (!ParseWhole(text.substr(0, colon), value)) return false;
    whole[fields++] = value;
    text.remove_prefix(colon + 1);
  }
  double seconds = 0;
  if (!ParseNumber(text, seconds)) return false;
  // Later fields below 60 once an earlier one is given.
  if (fields > 0 && seconds >= 60) return false;
  if (fields == 2 && whole[1] >= 60) return false;
  const int64_t hours = fields == 2 ? whole[0] : 0;
  const int64_t minutes = fields == 2 ? whole[1] : fields == 1 ? whole[0] : 0;
  if (hours > 100000 || minutes > 6000000 || seconds > 360000000.0) return false;
  const int64_t ms = (hours * 3600 + minutes * 60) * 1000 + std::llround(seconds * 1000);
  units = ms * kUnitsPerMs;
  return true;
}

// ---- effects -------------------------------------------------------------------------------

int EffectCount(const SourceEntry& entry) { return std::clamp(entry.effectCount, 0, MAX_SOURCE_EFFECTS); }

bool AddEffect(SourceEntry& entry, const EffectRecord& effect) {
  const int count = EffectCount(entry);
  if (count >= MAX_SOURCE_EFFECTS) return false;
  entry.effects[count] = effect;
  entry.effectCount = count + 1;
  return true;
}

void RemoveEffect(SourceEntry& entry, int index) {
  const int count = EffectCount(entry);
  if (index < 0 || index >= count) return;
  std::move(entry.effects + index + 1, entry.effects + count, entry.effects + index);
  entry.effects[count - 1] = EffectRecord{};
  entry.effectCount = count - 1;
}

int MoveEffect(SourceEntry& entry, int index, int delta) {
  const int count = EffectCount(entry);
  const int to = index + (delta < 0 ? -1 : 1);
  if (index < 0 || index >= count || to < 0 || to >= count) return index;
  std::swap(entry.effects[index], entry.effects[to]);
  return to;
}

// ---- watermark -----------------------------------------------------------------------------

TWatermarkChoice WatermarkChoiceOf(const SourceEntry& entry) {
  if (entry.textWatermarkEnabled) return wcText;
  if (entry.imageWatermarkEnabled) return wcPicture;
  return wcNone;
}

void SetWatermarkChoice(SourceEntry& entry, TWatermarkChoice choice) {
  entry.textWatermarkEnabled = choice == wcText ? 1 : 0;
  entry.imageWatermarkEnabled = choice == wcPicture ? 1 : 0;
}

void GiveWatermarkDefaults(SourceEntry& entry) {
  if (entry.watermarkAlpha == 0 && WatermarkChoiceOf(entry) == wcNone) entry.watermarkAlpha = 255;
  if (entry.watermarkFont.faceName[0] == 0) SetWatermarkFace(entry, "Arial");
  if (entry.watermarkFont.size <= 0) entry.watermarkFont.size = 24;
  if (entry.watermarkFont.color == 0 && WatermarkChoiceOf(entry) == wcNone) entry.watermarkFont.color = 0xFFFFFF;
  const RelativeRect& r = entry.watermarkRegion;
  if (r.width <= 0 || r.height <= 0 || !Finite(r)) entry.watermarkRegion = RelativeRect{0.05, 0.05, 0.3, 0.2};
}

std::string WatermarkText(const SourceEntry& entry) {
  return Field(entry.watermarkText, QELO_WATERMARK_TEXT_CHARS);
}

void SetWatermarkText(SourceEntry& entry, const std::string& text) {
  win::CopyToUtf16Field(entry.watermarkText, QELO_WATERMARK_TEXT_CHARS, win::Utf8ToUtf16(text));
}

std::string WatermarkImagePath(const SourceEntry& entry) {
  return Field(entry.watermarkImagePath, QELO_PATH_CHARS);
}

bool SetWatermarkImagePath(SourceEntry& entry, const std::string& path) {
  const std::u16string wide = win::Utf8ToUtf16(path);
  // A cut path would name another file.
  if (wide.size() >= QELO_PATH_CHARS) return false;
  win::CopyToUtf16Field(entry.watermarkImagePath, QELO_PATH_CHARS, wide);
  return true;
}

std::string WatermarkFace(const SourceEntry& entry) {
  return Field(entry.watermarkFont.faceName, std::size(entry.watermarkFont.faceName));
}

void SetWatermarkFace(SourceEntry& entry, const std::string& face) {
  win::CopyToUtf16Field(entry.watermarkFont.faceName, std::size(entry.watermarkFont.faceName),
                        win::Utf8ToUtf16(face));
}

int TransparencyOfAlpha(int alpha) {
  return static_cast<int>(std::lround((255 - std::clamp(alpha, 0, 255)) * 100.0 / 255));
}

int AlphaOfTransparency(int percent) {
  return static_cast<int>(std::lround((100 - std::clamp(percent, 0, 100)) * 255.0 / 100));
}

void SetWatermarkRegion(SourceEntry& entry, const RelativeRect& region) {
  entry.watermarkRegion = SoundCrop(region);
}

RelativeRect PictureRegion(const RelativeRect& region, double widthFraction, int pictureWidth, int pictureHeight,
                           int frameWidth, int frameHeight) {
  RelativeRect r = region;
  r.width = std::clamp(widthFraction, kMinCropFraction, 1.0);
  r.height = r.width;
  if (pictureWidth > 0 && pictureHeight > 0 && frameWidth > 0 && frameHeight > 0)
    r.height = r.width * pictureHeight / pictureWidth * frameWidth / frameHeight;
  // A picture taller than the frame at this width is made narrower.
  if (r.height > 1.0) {
    r.width /= r.height;
    r.height = 1.0;
  }
  return SoundCrop(r);
}

WatermarkState PlayerWatermark(const SourceEntry& entry) {
  WatermarkState state{};
  switch (WatermarkChoiceOf(entry)) {
    case wcText:
      state.kind = WATERMARK_TEXT;
      std::copy(std::begin(entry.watermarkText), std::end(entry.watermarkText), state.text.text);
      state.text.font = entry.watermarkFont;
      state.text.font.color |= kOpaque;
      state.text.region = entry.watermarkRegion;
      state.text.alpha = std::clamp(entry.watermarkAlpha, 0, 255);
      break;
    case wcPicture:
      state.kind = WATERMARK_IMAGE;
      std::copy(std::begin(entry.watermarkImagePath), std::end(entry.watermarkImagePath), state.image.imagePath);
      state.image.region = entry.watermarkRegion;
      state.image.alpha = std::clamp(entry.watermarkAlpha, 0, 255);
      break;
    case wcNone:
      break;
  }
  return state;
}

bool ReadablePicture(const std::string& path, int* width, int* height) {
  if (path.empty()) return false;
  const gdiplus::Bitmap picture(path);
  if (picture.GetLastStatus() != gdiplus::Status::Ok || picture.GetWidth() <= 0 || picture.GetHeight() <= 0)
    return false;
  if (width) *width = picture.GetWidth();
  if (height) *height = picture.GetHeight();
  return true;
}

// ---- the whole entry -----------------------------------------------------------------------

void WriteEditedFields(const SourceEntry& edited, SourceEntry& entry) {
  std::copy(std::begin(edited.watermarkText), std::end(edited.watermarkText), entry.watermarkText);
  std::copy(std::begin(edited.watermarkImagePath), std::end(edited.watermarkImagePath), entry.watermarkImagePath);
  entry.trimEnabled = edited.trimEnabled;
  entry.trimStart = edited.trimStart;
  entry.trimEnd = edited.trimEnd;
  entry.cropEnabled = edited.cropEnabled;
  entry.cropRect = edited.cropRect;
  entry.textWatermarkEnabled = edited.textWatermarkEnabled;
  entry.watermarkFont = edited.watermarkFont;
  entry.imageWatermarkEnabled = edited.imageWatermarkEnabled;
  entry.watermarkAlpha = edited.watermarkAlpha;
  entry.watermarkRegion = edited.watermarkRegion;
  entry.effectCount = EffectCount(edited);
  std::copy(std::begin(edited.effects), std::end(edited.effects), entry.effects);
}

}  // namespace qelo::app
