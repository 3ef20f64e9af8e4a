// Every format's default settings, handed to the codec bridge: one second of
// generated pictures and sound is written and read back by ffprobe.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "codecs/codec_test_support.h"
#include "common/media_fixture.h"
#include "common/temp_dir.h"
#include "fileformat/catalogue_table.h"
#include "qelo/codecs.h"
#include "qelo/fileformat.h"
#include "win/codepage.h"

namespace qelo::test {
namespace {

// What ffprobe calls the stream each codec id writes.
const std::map<int, std::string> kVideoCodecNames = {
    {VCODEC_MPEG1, "mpeg1video"}, {VCODEC_MPEG2, "mpeg2video"}, {VCODEC_MPEG4, "mpeg4"},
    {VCODEC_H263, "h263"},        {VCODEC_XVID, "mpeg4"},       {VCODEC_H264, "h264"},
    {VCODEC_WMV1, "wmv1"},        {VCODEC_WMV2, "wmv2"},        {VCODEC_RV10, "rv10"},
    {VCODEC_RV20, "rv20"},        {VCODEC_MSMPEG4V2, "msmpeg4v2"}, {VCODEC_FLV1, "flv1"},
};
const std::map<int, std::string> kAudioCodecNames = {
    {ACODEC_MP2, "mp2"},     {ACODEC_MP3, "mp3"},     {ACODEC_AC3, "ac3"},
    {ACODEC_AAC, "aac"},     {ACODEC_AMR_NB, "amr_nb"}, {ACODEC_WMAV1, "wmav1"},
    {ACODEC_WMAV2, "wmav2"}, {ACODEC_ADPCM_IMA_WAV, "adpcm_ima_wav"},
    {ACODEC_VORBIS, "vorbis"}, {ACODEC_PCM_S16LE, "pcm_s16le"}, {ACODEC_PCM_S16BE, "pcm_s16be"},
};

// Every format of the catalogue can be written by this platform's FFmpeg;
// a format that could not would be listed here with its reason.

struct FormatAt {
  int profile, format;
  std::string name;
};

void PrintTo(const FormatAt& at, std::ostream* out) { *out << at.name; }

std::vector<FormatAt> AllFormats() {
  std::vector<FormatAt> all;
  const auto& catalogue = ExpectedCatalogue();
  for (int p = 0; p < int(catalogue.size()); ++p)
    for (int f = 0; f < int(catalogue[p].formats.size()); ++f)
      all.push_back({p, f, catalogue[p].formats[f].name});
  return all;
}

std::string CaseName(const testing::TestParamInfo<FormatAt>& info) {
  std::string name = std::to_string(info.param.profile) + "_" + std::to_string(info.param.format) + "_";
  for (char c : info.param.name.substr(0, info.param.name.find('(')))
    name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

// The extension of the file pattern that ends a format's name, as ".mp4" of
// "MP4-MPEG4 Video File(*.mp4)".
std::string FileExtension(const std::string& formatName) {
  const std::size_t star = formatName.rfind("(*");
  return formatName.substr(star + 2, formatName.size() - star - 3);
}

// A moving gradient, bytes B G R A.
std::vector<uint8_t> Picture(int width, int height, int index) {
  std::vector<uint8_t> p(std::size_t(width) * height * 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* px = &p[(std::size_t(y) * width + x) * 4];
      px[0] = uint8_t(x + index * 4), px[1] = uint8_t(y * 2), px[2] = uint8_t(x ^ y), px[3] = 255;
    }
  return p;
}

// A 440 Hz tone of 16-bit samples from sample `first` on.
std::vector<uint8_t> Tone(const FormatSettings& s, int64_t first, int64_t samples) {
  std::vector<uint8_t> pcm(std::size_t(samples) * s.channels * 2);
  for (int64_t i = 0; i < samples; ++i) {
    const int16_t v = int16_t(9000 * std::sin(2 * M_PI * 440 * double(first + i) / s.sampleRate));
    for (int c = 0; c < s.channels; ++c) std::memcpy(&pcm[(std::size_t(i) * s.channels + c) * 2], &v, 2);
  }
  return pcm;
}

class EncodeDefaults : public testing::TestWithParam<FormatAt> {
 protected:
  void SetUp() override {
    InitializeCodecsForTests();
    ASSERT_EQ(QeloInitializeProfile(), 1);
  }
  void TearDown() override { QeloDeInitializeProfile(); }

  // Each picture is followed by the sound up to the next one; without video
  // the sound goes in tenths of a second.
  void Write(const FormatSettings& s, double seconds) {
    const int handle = QeloInitializeEncoder(&s);
    ASSERT_GE(handle, 0) << Log();
    const bool video = s.videoCodecId >= 0;
    const double rate = video ? double(s.frameRateNum) / s.frameRateDen : 10.0;
    const int frames = std::max(1, int(std::lround(seconds * rate)));
    int64_t written = 0;
    for (int i = 0; i < frames; ++i) {
      if (video) {
        const auto picture = Picture(s.width, s.height, i);
        ASSERT_EQ(QeloAddVideoFrame(s.width, s.height, QELO_PIXEL_FORMAT_ARGB32, picture.data(),
                                    int(picture.size()), handle),
                  1)
            << "picture " << i << Log();
      }
      const int64_t until = std::llround(s.sampleRate * seconds * (i + 1) / frames);
      const auto pcm = Tone(s, written, until - written);
      ASSERT_EQ(QeloAddAudioFrame(pcm.data(), int(pcm.size()), handle), 1) << Log();
      written = until;
    }
    if (video) {
      EXPECT_EQ(QeloCloseVideo(handle), 1) << Log();
    }
    EXPECT_EQ(QeloCloseAudio(handle), 1) << Log();
    EXPECT_EQ(QeloDeInitializeEncoder(handle), 1) << Log();
  }

  static std::string Log() {
    std::string text;
    for (const auto& line : LoggedLines()) text += "\n  " + line;
    return text;
  }

  TempDir dir_;
};

TEST_P(EncodeDefaults, WritesOneSecondThatFfprobeReadsBack) {
  const FormatAt& at = GetParam();
  FormatSettings s;
  QeloGetFileFormatDefault(at.profile, at.format, &s);
  ASSERT_GE(s.audioCodecId, 0) << "every format has sound";
  const std::string path = dir_.File("out" + FileExtension(at.name));
  win::CopyToUtf16Field(s.outputPath, QELO_PATH_CHARS, win::Utf8ToUtf16(path));
  ClearLog();
  Write(s, 1.0);

  const ProbedFile probed = Probe(path);
  ASSERT_TRUE(probed.ok) << at.name;
  const bool video = s.videoCodecId >= 0;
  EXPECT_EQ(probed.streams.size(), video ? 2u : 1u);
  if (video) {
    const ProbedStream* v = probed.First("video");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->Get("codec_name"), kVideoCodecNames.at(s.videoCodecId));
    EXPECT_EQ(v->Number("width"), s.width);
    EXPECT_EQ(v->Number("height"), s.height);
    EXPECT_NEAR(v->Number("r_frame_rate"), double(s.frameRateNum) / s.frameRateDen, 0.01);
  }
  const ProbedStream* a = probed.First("audio");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->Get("codec_name"), kAudioCodecNames.at(s.audioCodecId));
  EXPECT_EQ(a->Number("sample_rate"), s.sampleRate);
  EXPECT_EQ(a->Number("channels"), s.channels);
  EXPECT_NEAR(probed.Duration(), 1.0, 0.25);
}

// The settings of one codec of a format with every list at its default
// except list `changed`, which takes item `item` (no change for -1).
void PickAudio(const AudioCodecDesc& codec, int changed, int item, FormatSettings* s) {
  const ValueList* lists[] = {&codec.sampleRate, &codec.channel, &codec.sampleBits, &codec.bitrate};
  int32_t values[4];
  for (int i = 0; i < 4; ++i)
    values[i] = lists[i]->items[i == changed ? item : lists[i]->def]->value;
  s->audioCodecId = codec.id;
  s->sampleRate = values[0], s->channels = values[1], s->bitsPerSample = values[2];
  const bool amr = codec.id == ACODEC_AMR_NB || codec.id == ACODEC_AMR_WB;
  s->audioBitRate = amr ? values[3] : values[3] * 1000;
}

void PickVideo(const VideoCodecDesc& codec, int changed, int item, FormatSettings* s) {
  const ValueList* lists[] = {&codec.resolution, &codec.fps, &codec.bitrate, &codec.profile,
                              &codec.level};
  const ValueItem* items[5] = {};
  for (int i = 0; i < 5; ++i)
    if (lists[i]->count > 0) items[i] = lists[i]->items[i == changed ? item : lists[i]->def];
  s->videoCodecId = codec.id;
  s->width = items[0]->value, s->height = items[0]->value2;
  s->frameRateNum = items[1]->value, s->frameRateDen = items[1]->value2;
  s->videoBitRate = items[2]->value * 1000;
  s->videoProfile = items[3] ? items[3]->value : 0;
  s->videoLevel = items[4] ? items[4]->value : 0;
}

struct Variant {
  std::string what;
  FormatSettings settings;
};

// Every codec of the format at its defaults, then with each other value of
// each of its lists in turn; the other stream stays at the format's default.
template <typename Codec, typename Pick>
void AddVariants(const Codec& codec, const ValueList* const* lists, int listCount,
                 const FormatSettings& defaults, Pick pick, std::vector<Variant>* out) {
  const std::string name = win::Utf16ToUtf8(codec.name);
  Variant base{name + " at its defaults", defaults};
  pick(codec, -1, 0, &base.settings);
  out->push_back(base);
  for (int l = 0; l < listCount; ++l)
    for (int i = 0; i < lists[l]->count; ++i) {
      if (i == lists[l]->def) continue;
      Variant v{name + " with " + win::Utf16ToUtf8(lists[l]->items[i]->text), defaults};
      pick(codec, l, i, &v.settings);
      out->push_back(v);
    }
}

std::vector<Variant> Variants(const FileFormatDesc& format, const FormatSettings& defaults) {
  std::vector<Variant> variants;
  for (int c = 0; c < format.audio.count; ++c) {
    const AudioCodecDesc& codec = *format.audio.codecs.audio[c];
    const ValueList* lists[] = {&codec.sampleRate, &codec.channel, &codec.sampleBits, &codec.bitrate};
    AddVariants(codec, lists, 4, defaults, PickAudio, &variants);
  }
  if (defaults.videoCodecId < 0) return variants;
  for (int c = 0; c < format.video.count; ++c) {
    const VideoCodecDesc& codec = *format.video.codecs.video[c];
    const ValueList* lists[] = {&codec.resolution, &codec.fps, &codec.bitrate, &codec.profile,
                                &codec.level};
    AddVariants(codec, lists, 5, defaults, PickVideo, &variants);
  }
  return variants;
}

// What the settings dialog offers must open an encoder too: every codec and
// every value of its lists, each written for a fifth of a second.
TEST_P(EncodeDefaults, EveryCodecAndListValueIsAccepted) {
  const FormatAt& at = GetParam();
  const FileFormatDesc* format = nullptr;
  QeloGetFileFormatDesEx(at.profile, at.format, &format);
  ASSERT_NE(format, nullptr);
  FormatSettings defaults;
  QeloGetFileFormatDefault(at.profile, at.format, &defaults);
  int written = 0;
  for (Variant& v : Variants(*format, defaults)) {
    SCOPED_TRACE(v.what);
    // An output is never written over: each variant has a file of its own.
    const std::string path = dir_.File("out-" + std::to_string(written++) + FileExtension(at.name));
    win::CopyToUtf16Field(v.settings.outputPath, QELO_PATH_CHARS, win::Utf8ToUtf16(path));
    ClearLog();
    Write(v.settings, 0.2);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, EncodeDefaults, testing::ValuesIn(AllFormats()), CaseName);

}  // namespace
}  // namespace qelo::test
