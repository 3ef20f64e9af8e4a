// The eleven exports over the catalogue the library carries: its contents
// against the design's table, default settings, bad indexes and icons.
#include "qelo/fileformat.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "catalogue.h"
#include "catalogue_reader.h"
#include "fileformat/catalogue_table.h"
#include "win/codepage.h"

namespace qelo::test {
namespace {

std::string Text(const char16_t* text) {
  return text ? win::Utf16ToUtf8(text) : std::string("(null)");
}

class Catalogue : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(QeloInitializeProfile(), 1); }
  void TearDown() override { QeloDeInitializeProfile(); }
};

void ExpectCodecs(const CodecList& list, const std::vector<CodecEntry>& expected, bool video,
                  const std::string& where) {
  ASSERT_EQ(list.count, int(expected.size())) << where;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const char16_t* name = video ? list.codecs.video[i]->name : list.codecs.audio[i]->name;
    const int id = video ? list.codecs.video[i]->id : list.codecs.audio[i]->id;
    EXPECT_EQ(Text(name), expected[i].name) << where;
    EXPECT_EQ(id, expected[i].id) << where;
  }
}

TEST_F(Catalogue, HoldsEveryProfileAndFormatOfTheTableInItsOrder) {
  const auto& expected = ExpectedCatalogue();
  ASSERT_EQ(QeloGetDefaultProfileCount(), int(expected.size()));
  int formats = 0;
  for (int p = 0; p < int(expected.size()); ++p) {
    const ProfileEntry& profile = expected[p];
    EXPECT_EQ(Text(QeloGetDefaultProfileDes(p)), profile.name);
    ASSERT_EQ(QeloGetFileFormatCount(p), int(profile.formats.size())) << profile.name;
    for (int f = 0; f < int(profile.formats.size()); ++f, ++formats) {
      const FormatEntry& format = profile.formats[f];
      EXPECT_EQ(Text(QeloGetFileFormatName(p, f)), format.name);
      const FileFormatDesc* desc = nullptr;
      QeloGetFileFormatDesEx(p, f, &desc);
      ASSERT_NE(desc, nullptr) << format.name;
      EXPECT_EQ(desc->name, QeloGetFileFormatName(p, f));
      EXPECT_EQ(desc->description, QeloGetFileFormatDes(p, f));
      EXPECT_FALSE(Text(desc->description).empty()) << format.name;
      EXPECT_EQ(desc->formatId, format.formatId) << format.name;
      EXPECT_EQ(desc->iconId, format.iconId) << format.name;
      ExpectCodecs(desc->video, format.video, true, format.name);
      ExpectCodecs(desc->audio, format.audio, false, format.name);
    }
  }
  EXPECT_EQ(formats, 82);
}

std::vector<const ValueList*> Lists(const VideoCodecDesc& c) {
  return {&c.resolution, &c.fps, &c.bitrate};
}
std::vector<const ValueList*> Lists(const AudioCodecDesc& c) {
  return {&c.sampleRate, &c.channel, &c.sampleBits, &c.bitrate};
}

template <typename Codec>
void ExpectListsFilled(Codec* const* codecs, int count, const std::string& where) {
  for (int c = 0; c < count; ++c)
    for (const ValueList* list : Lists(*codecs[c])) {
      EXPECT_GT(list->count, 0) << where << ", " << Text(codecs[c]->name);
      for (int i = 0; i < list->count; ++i)
        EXPECT_GT(list->items[i]->value, 0) << where << ", " << Text(list->items[i]->text);
    }
}

// The settings dialog and the defaults read these lists: none is empty and
// no size, rate, count or bit rate is zero.
TEST_F(Catalogue, EveryRequiredListHasPositiveValues) {
  for (int p = 0; p < QeloGetDefaultProfileCount(); ++p)
    for (int f = 0; f < QeloGetFileFormatCount(p); ++f) {
      const FileFormatDesc* desc = nullptr;
      QeloGetFileFormatDesEx(p, f, &desc);
      ASSERT_NE(desc, nullptr);
      ExpectListsFilled(desc->video.codecs.video, desc->video.count, Text(desc->name));
      ExpectListsFilled(desc->audio.codecs.audio, desc->audio.count, Text(desc->name));
    }
}

// Profiles' Property and iconid are not handed out by any export; they are
// read here from the same document the library carries.
TEST(CatalogueDocument, ProfilesHaveTheTablesPropertyAndIcon) {
  std::FILE* file = std::fopen(QELO_CATALOGUE_XML, "rb");
  ASSERT_NE(file, nullptr);
  std::string xml;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) xml.append(buffer, n);
  std::fclose(file);
  fileformat::FormatCatalogue catalogue;
  ASSERT_TRUE(fileformat::ReadCatalogueDocument(catalogue, xml.data(), xml.size()));
  const auto& expected = ExpectedCatalogue();
  ASSERT_EQ(catalogue.profileCount, int(expected.size()));
  for (int p = 0; p < catalogue.profileCount; ++p) {
    EXPECT_EQ(catalogue.profiles[p]->property, expected[p].property) << expected[p].name;
    EXPECT_EQ(catalogue.profiles[p]->iconId, expected[p].iconId) << expected[p].name;
  }
}

TEST_F(Catalogue, FirstFormatDefaultsAreMpeg2At640x480WithMp2Sound) {
  FormatSettings s;
  std::memset(&s, 0x5A, sizeof s);
  QeloGetFileFormatDefault(kGeneralVideo, 0, &s);
  EXPECT_EQ(s.outputPath[0], 0);
  EXPECT_EQ(s.formatId, FORMAT_MPEG2);
  EXPECT_EQ(s.videoCodecName[0], 0);
  EXPECT_EQ(s.videoCodecId, VCODEC_MPEG2);
  EXPECT_EQ(s.width, 640);
  EXPECT_EQ(s.height, 480);
  EXPECT_EQ(s.frameRateNum, 25);
  EXPECT_EQ(s.frameRateDen, 1);
  EXPECT_EQ(s.videoBitRate, 2000000);
  EXPECT_EQ(s.videoProfile, 0);
  EXPECT_EQ(s.videoLevel, 0);
  EXPECT_EQ(s.audioCodecName[0], 0);
  EXPECT_EQ(s.audioCodecId, ACODEC_MP2);
  EXPECT_EQ(s.sampleRate, 44100);
  EXPECT_EQ(s.channels, 2);
  EXPECT_EQ(s.bitsPerSample, 16);
  EXPECT_EQ(s.audioBitRate, 128000);
  EXPECT_EQ(s.reserved1, 0);
  EXPECT_EQ(s.reserved2[0], 0);
}

TEST_F(Catalogue, GeneralAudioFormatsHaveNoVideo) {
  for (int f = 0; f < QeloGetFileFormatCount(kGeneralAudio); ++f) {
    FormatSettings s;
    std::memset(&s, 0x5A, sizeof s);
    QeloGetFileFormatDefault(kGeneralAudio, f, &s);
    const std::string name = Text(QeloGetFileFormatName(kGeneralAudio, f));
    EXPECT_EQ(s.videoCodecId, VCODEC_NONE) << name;
    for (int32_t field : {s.frameRateNum, s.frameRateDen, s.videoBitRate, s.width, s.height,
                          s.videoProfile, s.videoLevel})
      EXPECT_EQ(field, 0) << name;
    EXPECT_GE(s.audioCodecId, 0) << name;
    EXPECT_GT(s.sampleRate, 0) << name;
    EXPECT_GT(s.audioBitRate, 0) << name;
  }
  FormatSettings mp3{};
  QeloGetFileFormatDefault(kGeneralAudio, 1, &mp3);
  EXPECT_EQ(mp3.formatId, FORMAT_MP3);
  EXPECT_EQ(mp3.audioCodecId, ACODEC_MP3);
  EXPECT_EQ(mp3.audioBitRate, 128000);
}

TEST_F(Catalogue, AmrBitRatesAreTakenInBitsPerSecond) {
  FormatSettings s{};
  QeloGetFileFormatDefault(kMobilePhone, kBlackBerry3gp, &s);
  EXPECT_EQ(s.audioCodecId, ACODEC_AMR_NB);
  EXPECT_EQ(s.audioBitRate, 12200);
  EXPECT_EQ(s.sampleRate, 8000);
  EXPECT_EQ(s.channels, 1);
}

TEST_F(Catalogue, BadIndexesGiveNullZeroOrNothing) {
  const int profiles = QeloGetDefaultProfileCount();
  const int formats = QeloGetFileFormatCount(0);
  for (int p : {-1, profiles, 99}) {
    EXPECT_EQ(QeloGetDefaultProfileDes(p), nullptr) << p;
    EXPECT_EQ(QeloGetFileFormatCount(p), 0) << p;
  }
  const struct {
    int profile, format;
  } bad[] = {{0, -1}, {0, formats}, {-1, 0}, {profiles, 0}, {99, 99}};
  for (const auto& at : bad) {
    SCOPED_TRACE(testing::Message() << at.profile << "," << at.format);
    EXPECT_EQ(QeloGetFileFormatName(at.profile, at.format), nullptr);
    EXPECT_EQ(QeloGetFileFormatDes(at.profile, at.format), nullptr);
    const FileFormatDesc* desc = reinterpret_cast<const FileFormatDesc*>(&bad);
    QeloGetFileFormatDesEx(at.profile, at.format, &desc);
    EXPECT_EQ(desc, nullptr);
    FormatSettings s;
    std::memset(&s, 0x5A, sizeof s);
    QeloGetFileFormatDefault(at.profile, at.format, &s);
    const FormatSettings zero{};
    EXPECT_EQ(std::memcmp(&s, &zero, sizeof s), 0) << "the whole record is zeroed";
    const uint8_t* data = reinterpret_cast<const uint8_t*>(&bad);
    int32_t size = 7;
    EXPECT_EQ(QeloGetFileFormatIcon(at.profile, at.format, &data, &size), 0);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(size, 0);
  }
  const uint8_t* data = reinterpret_cast<const uint8_t*>(&bad);
  int32_t size = 7;
  EXPECT_EQ(QeloGetDefaultProfileIcon(99, &data, &size), 0);
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(size, 0);
  // Null out-pointers are left alone.
  QeloGetFileFormatDefault(0, 0, nullptr);
  QeloGetFileFormatDesEx(0, 0, nullptr);
  EXPECT_EQ(QeloGetDefaultProfileIcon(0, nullptr, &size), 0);
  data = reinterpret_cast<const uint8_t*>(&bad);
  EXPECT_EQ(QeloGetDefaultProfileIcon(0, &data, nullptr), 0);
  EXPECT_EQ(data, nullptr) << "the data pointer is cleared before the size pointer is looked at";
}

TEST(CatalogueLifecycle, AnswersFromAnEmptyCatalogueBeforeAndAfterIt) {
  QeloDeInitializeProfile();
  EXPECT_EQ(QeloGetDefaultProfileCount(), 0);
  EXPECT_EQ(QeloGetFileFormatName(0, 0), nullptr);
  ASSERT_EQ(QeloInitializeProfile(), 1);
  EXPECT_EQ(QeloGetDefaultProfileCount(), 11);
  QeloDeInitializeProfile();
  EXPECT_EQ(QeloGetDefaultProfileCount(), 0);
  const uint8_t* data = nullptr;
  int32_t size = 0;
  EXPECT_EQ(QeloGetDefaultProfileIcon(0, &data, &size), 0);
  QeloDeInitializeProfile();
}

struct DecodedPng {
  bool ok = false;
  int width = 0, height = 0;
};

DecodedPng Decode(const uint8_t* data, int32_t size) {
  struct Reader {
    const uint8_t* at;
    const uint8_t* end;
  } reader{data, data + size};
  const auto read = [](void* closure, unsigned char* out, unsigned int length) {
    auto* r = static_cast<Reader*>(closure);
    if (length > std::size_t(r->end - r->at)) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, r->at, length);
    r->at += length;
    return CAIRO_STATUS_SUCCESS;
  };
  cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(read, &reader);
  DecodedPng png;
  png.ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  if (png.ok) {
    png.width = cairo_image_surface_get_width(surface);
    png.height = cairo_image_surface_get_height(surface);
  }
  cairo_surface_destroy(surface);
  return png;
}

// Arguments are the answer of an icon export, made before the call.
void ExpectIcon(int answer, const uint8_t* data, int32_t size, int side, const std::string& where) {
  ASSERT_EQ(answer, 1) << where;
  ASSERT_NE(data, nullptr) << where;
  const DecodedPng png = Decode(data, size);
  EXPECT_TRUE(png.ok) << where;
  EXPECT_EQ(png.width, side) << where;
  EXPECT_EQ(png.height, side) << where;
}

TEST_F(Catalogue, EveryIconDecodesAtItsSizeAndTheSameIdGivesTheSameBytes) {
  std::map<int, const uint8_t*> byId;
  for (int p = 0; p < QeloGetDefaultProfileCount(); ++p) {
    const uint8_t* data = nullptr;
    int32_t size = 0;
    const int answer = QeloGetDefaultProfileIcon(p, &data, &size);
    ExpectIcon(answer, data, size, 16, Text(QeloGetDefaultProfileDes(p)));
    const uint8_t* again = nullptr;
    int32_t sizeAgain = 0;
    QeloGetDefaultProfileIcon(p, &again, &sizeAgain);
    EXPECT_EQ(again, data);
    EXPECT_EQ(sizeAgain, size);
    for (int f = 0; f < QeloGetFileFormatCount(p); ++f) {
      const FileFormatDesc* desc = nullptr;
      QeloGetFileFormatDesEx(p, f, &desc);
      ASSERT_NE(desc, nullptr);
      const int formatAnswer = QeloGetFileFormatIcon(p, f, &data, &size);
      ExpectIcon(formatAnswer, data, size, 35, Text(desc->name));
      const auto [known, added] = byId.emplace(desc->iconId, data);
      EXPECT_EQ(known->second, data) << "icon " << desc->iconId << " of " << Text(desc->name);
      if (!added) continue;
      for (const auto& [id, other] : byId) {
        if (id == desc->iconId) continue;
        EXPECT_NE(other, data) << id << " and " << desc->iconId;
      }
    }
  }
  EXPECT_EQ(byId.size(), 37u) << "format icons 117 to 156 without 134, 152 and 154";
}

}  // namespace
}  // namespace qelo::test
