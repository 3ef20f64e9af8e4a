// QeloFileFormat: the catalogue of output choices. Profiles (groups of
// formats) and their file formats, each with the video and audio codecs it
// allows, each codec with its lists of values and a default in every list,
// plus the PNG icons of profiles and formats and the default FormatSettings
// of each format.
//
// Profiles and formats are addressed by zero-based position. Every pointer
// handed out points into the catalogue and stays valid until
// QeloDeInitializeProfile; the caller never frees one. Bad indexes give 0,
// null, no icon or a zeroed record.
#pragma once

#include <stdint.h>

#include "qelo/export.h"
#include "qelo/media.h"

#ifdef __cplusplus
extern "C" {
#endif

#define QELO_CATALOGUE_TEXT_CHARS 128
#define QELO_CATALOGUE_DESCRIPTION_CHARS 1024
#define QELO_CATALOGUE_MAX_CODECS 32
#define QELO_CATALOGUE_MAX_VALUES 32

typedef struct ValueItem {
  char16_t text[QELO_CATALOGUE_TEXT_CHARS];  // the item as the catalogue writes it
  int32_t value;
  int32_t value2;  // height of a size, denominator of a frame rate, else 0
} ValueItem;

typedef struct ValueList {
  int32_t count;
  ValueItem* items[QELO_CATALOGUE_MAX_VALUES];
  int32_t def;  // default index, 0 <= def < count (0 when empty)
} ValueList;

typedef struct VideoCodecDesc {
  char16_t name[QELO_CATALOGUE_TEXT_CHARS];
  int32_t id;  // VideoCodecId
  ValueList resolution;  // value x value2
  ValueList fps;         // value / value2
  ValueList bitrate;     // kbit/s
  ValueList profile;     // H.264 profile; may be empty
  ValueList level;       // H.264 level; may be empty
} VideoCodecDesc;

typedef struct AudioCodecDesc {
  char16_t name[QELO_CATALOGUE_TEXT_CHARS];
  int32_t id;  // AudioCodecId
  ValueList sampleRate;
  ValueList channel;
  ValueList sampleBits;
  ValueList bitrate;  // kbit/s; bit/s for the AMR codecs
} AudioCodecDesc;

typedef struct CodecList {
  int32_t count;
  union {
    VideoCodecDesc* video[QELO_CATALOGUE_MAX_CODECS];  // in a format's video list
    AudioCodecDesc* audio[QELO_CATALOGUE_MAX_CODECS];  // in a format's audio list
  } codecs;
  int32_t def;
} CodecList;

typedef struct FileFormatDesc {
  char16_t name[QELO_CATALOGUE_TEXT_CHARS];
  char16_t description[QELO_CATALOGUE_DESCRIPTION_CHARS];
  int32_t formatId;  // FormatId
  CodecList video;   // empty for formats without video
  CodecList audio;
  int32_t iconId;
} FileFormatDesc;

// Reads the catalogue carried by the library; 1, or 0 when it is missing or
// does not parse.
QELO_EXPORT int QeloInitializeProfile(void);
// Frees the catalogue and every icon handed out.
QELO_EXPORT void QeloDeInitializeProfile(void);

QELO_EXPORT int QeloGetDefaultProfileCount(void);
QELO_EXPORT const char16_t* QeloGetDefaultProfileDes(int profile);
// Sets *data and *size to the icon's PNG bytes, or to null and 0; 1 when
// bytes were handed out.
QELO_EXPORT int QeloGetDefaultProfileIcon(int profile, const uint8_t** data, int32_t* size);

QELO_EXPORT int QeloGetFileFormatCount(int profile);
QELO_EXPORT const char16_t* QeloGetFileFormatName(int profile, int format);
QELO_EXPORT const char16_t* QeloGetFileFormatDes(int profile, int format);
QELO_EXPORT int QeloGetFileFormatIcon(int profile, int format, const uint8_t** data,
                                      int32_t* size);
// Sets *desc to the format's record, or to null.
QELO_EXPORT void QeloGetFileFormatDesEx(int profile, int format, const FileFormatDesc** desc);
// Zeroes *settings and fills in the format's defaults when both indexes are
// valid; does nothing with a null record.
QELO_EXPORT void QeloGetFileFormatDefault(int profile, int format, FormatSettings* settings);

#ifdef __cplusplus
}  // extern "C"
#endif
