// Records, callback type, time units and ids shared by the program and the
// libraries. Field order and widths are fixed: every deliverable lays these
// records out the same way.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// One zero-terminated UTF-16 line; may be called from any thread.
typedef void (*LogCallback)(const char16_t* line);

// Times, positions and seek targets between libraries: signed 64-bit counts
// of 100-nanosecond units.
#define QELO_TIME_UNITS_PER_SECOND 10000000LL

#define QELO_MAX_MEDIA_FILES 256
#define QELO_MAX_ENCODERS 16
#define QELO_MAX_STREAM_INFOS 4
#define QELO_AUDIO_FRAME_BYTES 192000
#define QELO_PATH_CHARS 260

enum StreamType { STREAM_VIDEO = 0, STREAM_AUDIO = 1 };

typedef struct StreamInfo {
  int32_t type;            // StreamType
  int64_t duration;        // whole seconds
  char16_t codecName[64];  // decoder short name, zero-terminated
  int32_t valid;           // 1
  union {
    int32_t frameRateNum;  // video: frame rate = frameRateNum / frameRateDen
    int32_t sampleRate;    // audio: samples per second
  };
  union {
    int32_t frameRateDen;
    int32_t bitRate;  // audio: bit/s
  };
  union {
    int32_t displayWidth;   // video: width with the sample aspect applied
    int32_t bitsPerSample;  // audio: 8, 16, 32 or 64
  };
  union {
    int32_t displayHeight;  // video: coded height
    int32_t channels;       // audio
  };
} StreamInfo;

typedef struct MediaInfo {
  int32_t streamCount;  // entries of streams filled
  int32_t bitRate;      // container bit rate, 0 when unknown
  StreamInfo* streams[QELO_MAX_STREAM_INFOS];
} MediaInfo;

typedef struct VideoFrame {
  uint8_t* pixels;     // caller's buffer, 32-bit pixels, bytes B G R A, rows top down
  int32_t width;
  int32_t height;
  int32_t stride;      // bytes per row
  int32_t bufferSize;  // capacity of pixels in bytes, set by the caller
  int64_t pts;         // 100-ns units
  int64_t nextPts;     // expected time of the next frame, 100-ns units
} VideoFrame;

typedef struct AudioFrame {
  uint8_t data[QELO_AUDIO_FRAME_BYTES];  // interleaved PCM
  int32_t byteCount;
  int64_t pts;  // time of the first sample, 100-ns units
} AudioFrame;

typedef struct FormatSettings {
  char16_t outputPath[QELO_PATH_CHARS];
  int32_t formatId;  // FormatId
  char16_t videoCodecName[64];
  int32_t videoCodecId;  // VideoCodecId; outside 0..20: no video stream
  int32_t frameRateNum;
  int32_t frameRateDen;
  int32_t videoBitRate;
  int32_t width;
  int32_t height;
  int32_t videoProfile;  // H.264 only
  int32_t videoLevel;    // H.264 only
  int32_t reserved1;
  char16_t audioCodecName[64];
  int32_t audioCodecId;  // AudioCodecId; outside 0..19: no audio stream
  int32_t sampleRate;
  int32_t bitsPerSample;  // 8, 16 or 32
  int32_t channels;
  int32_t audioBitRate;
  int32_t reserved2[2];
} FormatSettings;

// Containers.
enum FormatId {
  FORMAT_MPEG1 = 0,
  FORMAT_VCD = 1,  // has defaults of its own
  FORMAT_MPEG2 = 2,
  FORMAT_SVCD = 3,
  FORMAT_DVD = 4,
  FORMAT_MP4 = 5,
  FORMAT_MOV = 6,
  FORMAT_3GP = 7,
  FORMAT_3G2 = 8,
  FORMAT_AVI = 9,
  FORMAT_WMV = 10,
  FORMAT_ASF = 11,
  FORMAT_RM = 12,
  FORMAT_RMVB = 13,
  FORMAT_FLV = 14,
  FORMAT_OGG = 15,
  FORMAT_MP3 = 16,
  FORMAT_WAV = 17,
  FORMAT_APE = 18,
  FORMAT_WMA = 19,
  FORMAT_MKV = 20,
  FORMAT_DV = 21,
  FORMAT_AAC = 22,
  FORMAT_AC3 = 23,
  FORMAT_AIFF = 24,
  FORMAT_FLAC = 25,
  FORMAT_ID_COUNT = 26
};

enum VideoCodecId {
  VCODEC_NONE = -1,
  VCODEC_MPEG1 = 0,
  VCODEC_MPEG2 = 1,
  VCODEC_MPEG4 = 2,
  VCODEC_H263 = 3,
  VCODEC_XVID = 4,
  VCODEC_H264 = 5,
  VCODEC_WMV1 = 6,
  VCODEC_WMV2 = 7,
  VCODEC_WMV3 = 8,
  VCODEC_RV10 = 9,
  VCODEC_RV20 = 10,
  VCODEC_RV30 = 11,
  VCODEC_RV40 = 12,
  VCODEC_AVS = 13,
  VCODEC_THEORA = 14,
  VCODEC_MSMPEG4V1 = 15,
  VCODEC_MSMPEG4V2 = 16,
  VCODEC_MSMPEG4V3 = 17,
  VCODEC_MJPEG = 18,
  VCODEC_FLV1 = 19,
  VCODEC_DVVIDEO = 20,
  VIDEO_CODEC_ID_COUNT = 21
};

enum AudioCodecId {
  ACODEC_NONE = -1,
  ACODEC_MP2 = 0,
  ACODEC_MP3 = 1,
  ACODEC_AC3 = 2,
  ACODEC_AAC = 3,
  ACODEC_AMR_NB = 4,
  ACODEC_AMR_WB = 5,
  ACODEC_WMAV1 = 6,
  ACODEC_WMAV2 = 7,
  ACODEC_ADPCM_MS = 8,
  ACODEC_ADPCM_IMA_WAV = 9,
  ACODEC_VORBIS = 10,
  ACODEC_RA_144 = 11,
  ACODEC_RA_288 = 12,
  ACODEC_DTS = 13,
  ACODEC_DVAUDIO = 14,
  ACODEC_APE = 15,
  ACODEC_PCM_16 = 16,
  ACODEC_PCM_S16LE = 17,
  ACODEC_PCM_S16BE = 18,
  ACODEC_FLAC = 19,
  AUDIO_CODEC_ID_COUNT = 20
};

#ifdef __cplusplus
}  // extern "C"
#endif
