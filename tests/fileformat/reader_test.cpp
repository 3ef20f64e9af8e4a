// Reading catalogue documents: value syntax, defaults, dropped codecs, limits
// and failures, on small documents of the tests' own.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include <memory>
#include <string>

#include "catalogue_reader.h"
#include "format_defaults.h"
#include "value_parsing.h"
#include "win/codepage.h"

namespace qelo::fileformat {
namespace {

std::unique_ptr<FormatCatalogue> Read(const std::string& xml, bool* ok = nullptr) {
  auto catalogue = std::make_unique<FormatCatalogue>();
  const bool read = ReadCatalogueDocument(*catalogue, xml.data(), xml.size());
  if (ok) *ok = read;
  return catalogue;
}

// One profile with one format whose Video element holds `video` and whose
// Audio element holds `audio`.
std::string Document(const std::string& video, const std::string& audio = "") {
  return "<Doc><Profile name=\"P\" Property=\"0\" iconid=\"108\">"
         "<FileFormat name=\"F\" iconid=\"123\"><Description>D</Description>"
         "<Formatid>5</Formatid>" + video + audio + "</FileFormat></Profile></Doc>";
}

std::string VideoCodec(const std::string& lists, const std::string& name = "v", int id = 5) {
  return "<Codec name=\"" + name + "\" id=\"" + std::to_string(id) + "\">" + lists + "</Codec>";
}

const std::string kVideoLists =
    "<Resolution>320x240</Resolution><FPS>25</FPS><Bitrate>768</Bitrate>";
const std::string kAudioLists =
    "<SampleRate>44100</SampleRate><Channel>2</Channel><SampleBits>16</SampleBits>"
    "<Bitrate>128</Bitrate>";

const FileFormatDesc& OnlyFormat(const FormatCatalogue& c) {
  const FileFormatDesc* format = c.Format(0, 0);
  EXPECT_NE(format, nullptr);
  static const FileFormatDesc kEmpty{};
  return format ? *format : kEmpty;
}

// The first video codec of the only format, read from a codec body.
struct VideoRead {
  std::unique_ptr<FormatCatalogue> catalogue;
  const VideoCodecDesc* codec = nullptr;
};

VideoRead ReadVideo(const std::string& lists) {
  VideoRead r{Read(Document("<Video>" + VideoCodec(lists) + "</Video>"))};
  const FileFormatDesc& format = OnlyFormat(*r.catalogue);
  if (format.video.count > 0) r.codec = format.video.codecs.video[0];
  return r;
}

std::string Text(const char16_t* field, std::size_t capacity) {
  return win::Utf16ToUtf8(win::Utf16Field(field, capacity));
}

struct Item {
  int value, value2;
};

void ExpectItems(const ValueList& list, const std::vector<Item>& expected, int def) {
  ASSERT_EQ(list.count, int(expected.size()));
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(list.items[i]->value, expected[i].value) << "item " << i;
    EXPECT_EQ(list.items[i]->value2, expected[i].value2) << "item " << i;
  }
  EXPECT_EQ(list.def, def);
}

TEST(CatalogueReader, FrameRatesWithAPointBecomeHundredthsAndNtscBecomes30000Over1001) {
  const VideoRead r = ReadVideo(
      "<Resolution>320x240</Resolution><FPS def=\"4\">12,15,20,23.97,25,29.97,30,14.98,14.9</FPS>"
      "<Bitrate>768</Bitrate>");
  ASSERT_NE(r.codec, nullptr);
  ExpectItems(r.codec->fps,
              {{12, 1}, {15, 1}, {20, 1}, {2397, 100}, {25, 1}, {30000, 1001}, {30, 1},
               {1498, 100}, {1490, 100}},
              4);
  EXPECT_EQ(Text(r.codec->fps.items[5]->text, QELO_CATALOGUE_TEXT_CHARS), "29.97");
}

TEST(CatalogueReader, SizesSplitAtTheirXAndPiecesWithoutOneAreSkipped) {
  const VideoRead r = ReadVideo(
      "<Resolution def=\"2\">640x480,720,1280x720</Resolution><FPS>25</FPS><Bitrate>1</Bitrate>");
  ASSERT_NE(r.codec, nullptr);
  ExpectItems(r.codec->resolution, {{640, 480}, {1280, 720}}, 0);
  EXPECT_EQ(Text(r.codec->resolution.items[1]->text, QELO_CATALOGUE_TEXT_CHARS), "1280x720");
}

TEST(CatalogueReader, DefaultIndexesOutsideTheListMeanTheFirstEntry) {
  struct Case {
    const char* bitrate;
    int count, def;
  } cases[] = {
      {"<Bitrate>1,2,3</Bitrate>", 3, 0},              // missing def
      {"<Bitrate def=\"2\">1,2,3</Bitrate>", 3, 2},    // in range
      {"<Bitrate def=\"3\">1,2,3</Bitrate>", 3, 0},    // at the count
      {"<Bitrate def=\"9\">1,2,3</Bitrate>", 3, 0},    // beyond it
      {"<Bitrate def=\"-1\">1,2,3</Bitrate>", 3, 0},   // negative
      {"<Bitrate def=\"x\">1,2,3</Bitrate>", 3, 0},    // no digits
      {"<Bitrate def=\"1\"></Bitrate>", 0, 0},         // empty text, empty list
  };
  for (const Case& c : cases) {
    const VideoRead r =
        ReadVideo("<Resolution>320x240</Resolution><FPS>25</FPS>" + std::string(c.bitrate));
    ASSERT_NE(r.codec, nullptr) << c.bitrate;
    EXPECT_EQ(r.codec->bitrate.count, c.count) << c.bitrate;
    EXPECT_EQ(r.codec->bitrate.def, c.def) << c.bitrate;
  }
}

TEST(CatalogueReader, NumbersAreReadAsTheCLibraryReadsThem) {
  const VideoRead r = ReadVideo(kVideoLists +
                                "<Profile>0,1</Profile><Level def=\"1\">31, 11,+7,-2,12abc,abc</Level>");
  ASSERT_NE(r.codec, nullptr);
  ExpectItems(r.codec->level, {{31, 0}, {11, 0}, {7, 0}, {-2, 0}, {12, 0}, {0, 0}}, 1);
  ExpectItems(r.codec->profile, {{0, 0}, {1, 0}}, 0);
  EXPECT_EQ(ParseDecimal("99999999999"), INT32_MAX);
  EXPECT_EQ(ParseDecimal("-99999999999"), INT32_MIN);
}

TEST(CatalogueReader, ProfileAndLevelMayBeAbsent) {
  const VideoRead r = ReadVideo(kVideoLists);
  ASSERT_NE(r.codec, nullptr);
  EXPECT_EQ(r.codec->profile.count, 0);
  EXPECT_EQ(r.codec->level.count, 0);
}

TEST(CatalogueReader, CodecsMissingARequiredListAreDroppedAndTheDefaultFollowsTheKeptOnes) {
  const std::string video =
      "<Video def=\"2\">" +
      VideoCodec("<Resolution>320x240</Resolution><FPS>25</FPS>", "no bit rate", 1) +
      VideoCodec(kVideoLists, "kept", 4) +
      VideoCodec("<FPS>25</FPS><Bitrate>1</Bitrate>", "no size", 2) + "</Video>";
  const std::string audio =
      "<Audio><Codec name=\"no sample bits\" id=\"3\"><SampleRate>44100</SampleRate>"
      "<Channel>2</Channel><Bitrate>128</Bitrate></Codec>"
      "<Codec name=\"a\" id=\"1\">" + kAudioLists + "</Codec></Audio>";
  const auto catalogue = Read(Document(video, audio));
  const FileFormatDesc& format = OnlyFormat(*catalogue);
  ASSERT_EQ(format.video.count, 1);
  EXPECT_EQ(Text(format.video.codecs.video[0]->name, QELO_CATALOGUE_TEXT_CHARS), "kept");
  EXPECT_EQ(format.video.codecs.video[0]->id, 4);
  EXPECT_EQ(format.video.def, 0) << "def 2 is checked against the one codec kept";
  ASSERT_EQ(format.audio.count, 1);
  EXPECT_EQ(format.audio.codecs.audio[0]->id, 1);
}

TEST(CatalogueReader, RecordsTakeTheDocumentsAttributesAndTexts) {
  const std::string xml =
      "<Doc><Profile name=\"Audio\" Property=\"1\" iconid=\"107\">"
      "<FileFormat name=\"Sound(*.wav)\" iconid=\"130\"><Description>  Plain sound.  </Description>"
      "<Formatid>17</Formatid><Audio def=\"1\"><Codec name=\"pcm s16le\" id =\"17\">" + kAudioLists +
      "</Codec><Codec name=\"adpcm_ima\" id=\"9\">" + kAudioLists + "</Codec></Audio>"
      "</FileFormat></Profile><Profile name=\"Bare\"/></Doc>";
  bool ok = false;
  const auto catalogue = Read(xml, &ok);
  ASSERT_TRUE(ok);
  ASSERT_EQ(catalogue->profileCount, 2);
  const ProfileDesc& audio = *catalogue->profiles[0];
  EXPECT_EQ(Text(audio.name, QELO_CATALOGUE_TEXT_CHARS), "Audio");
  EXPECT_EQ(audio.property, 1);
  EXPECT_EQ(audio.iconId, 107);
  const FileFormatDesc& format = *audio.formats[0];
  EXPECT_EQ(Text(format.name, QELO_CATALOGUE_TEXT_CHARS), "Sound(*.wav)");
  EXPECT_EQ(Text(format.description, QELO_CATALOGUE_DESCRIPTION_CHARS), "Plain sound.");
  EXPECT_EQ(format.formatId, 17);
  EXPECT_EQ(format.iconId, 130);
  EXPECT_EQ(format.video.count, 0) << "no Video element";
  EXPECT_EQ(format.audio.count, 2);
  EXPECT_EQ(format.audio.def, 1);
  EXPECT_EQ(Text(format.audio.codecs.audio[0]->name, QELO_CATALOGUE_TEXT_CHARS), "pcm s16le");

  const ProfileDesc& bare = *catalogue->profiles[1];
  EXPECT_EQ(bare.property, 0) << "no Property attribute";
  EXPECT_EQ(bare.iconId, -1) << "no iconid attribute";
  EXPECT_EQ(bare.formatCount, 0) << "a profile without formats is kept";
}

TEST(CatalogueReader, DocumentsThatDoNotParseOrResourcesThatAreMissingFail) {
  bool ok = true;
  const auto broken = Read("<Doc><Profile name=\"P\"></Doc>", &ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(broken->profileCount, 0);
  Read("", &ok);
  EXPECT_FALSE(ok);
  Read("<Doc/>", &ok);
  EXPECT_TRUE(ok) << "a document without profiles is an empty catalogue";

  FormatCatalogue catalogue;
  const res::ResourceTable none{nullptr, 0};
  EXPECT_FALSE(LoadFormatCatalogue(catalogue, none));
  const std::string xml = Document("", "<Audio><Codec id=\"1\">" + kAudioLists + "</Codec></Audio>");
  const res::Resource wrongId{"XML", 104, nullptr, reinterpret_cast<const unsigned char*>(xml.data()),
                              xml.size()};
  EXPECT_FALSE(LoadFormatCatalogue(catalogue, {&wrongId, 1}));
  const res::Resource right{"XML", 103, nullptr, wrongId.data, wrongId.size};
  EXPECT_TRUE(LoadFormatCatalogue(catalogue, {&right, 1}));
  EXPECT_EQ(catalogue.profileCount, 1);
}

TEST(CatalogueReader, TextsAreCutToTheirFieldsAndListsToTheirLimits) {
  const std::string longName(300, 'n');
  std::string values, codecs;
  for (int i = 0; i < 40; ++i) values += (i ? "," : "") + std::to_string(i);
  for (int i = 0; i < 40; ++i) codecs += VideoCodec(kVideoLists, "c" + std::to_string(i));
  const std::string xml =
      "<Doc><Profile name=\"" + longName + "\"><FileFormat name=\"" + longName + "\">"
      "<Description>" + std::string(2000, 'd') + "</Description>"
      "<Video def=\"35\">" + codecs + "</Video><Audio><Codec name=\"a\">"
      "<SampleRate def=\"39\">" + values + "</SampleRate><Channel>2</Channel>"
      "<SampleBits>16</SampleBits><Bitrate>128</Bitrate></Codec></Audio></FileFormat></Profile></Doc>";
  const auto catalogue = Read(xml);
  ASSERT_EQ(catalogue->profileCount, 1);
  EXPECT_EQ(Text(catalogue->profiles[0]->name, QELO_CATALOGUE_TEXT_CHARS), std::string(127, 'n'));
  const FileFormatDesc& format = OnlyFormat(*catalogue);
  EXPECT_EQ(Text(format.name, QELO_CATALOGUE_TEXT_CHARS), std::string(127, 'n'));
  EXPECT_EQ(Text(format.description, QELO_CATALOGUE_DESCRIPTION_CHARS), std::string(1023, 'd'));
  EXPECT_EQ(format.video.count, QELO_CATALOGUE_MAX_CODECS);
  EXPECT_EQ(format.video.def, 0) << "def 35 lies beyond the 32 codecs kept";
  const ValueList& rates = format.audio.codecs.audio[0]->sampleRate;
  ASSERT_EQ(rates.count, QELO_CATALOGUE_MAX_VALUES);
  EXPECT_EQ(rates.items[31]->value, 31);
  EXPECT_EQ(rates.def, 0);
}

TEST(CatalogueReader, ProfilesBeyondTheLimitAreLeftOut) {
  std::string xml = "<Doc>";
  for (int i = 0; i < kMaxProfiles + 5; ++i) xml += "<Profile name=\"p\"/>";
  const auto catalogue = Read(xml + "</Doc>");
  EXPECT_EQ(catalogue->profileCount, kMaxProfiles);
}

// Defaults made from lists that are empty take 0 instead of reading past
// them, and a format without audio codecs gets no audio stream.
TEST(FormatDefaults, EmptyListsGiveZeroAndNoAudioCodecGivesNoAudioStream) {
  const auto catalogue = Read(Document(
      "<Video>" + VideoCodec("<Resolution></Resolution><FPS></FPS><Bitrate></Bitrate>") + "</Video>",
      "<Audio/>"));
  const FileFormatDesc& format = OnlyFormat(*catalogue);
  ASSERT_EQ(format.video.count, 1);
  FormatSettings s;
  std::memset(&s, 0x5A, sizeof s);
  FillFormatDefaults(*catalogue->profiles[0], format, &s);
  EXPECT_EQ(s.formatId, 5);
  EXPECT_EQ(s.videoCodecId, 5);
  EXPECT_EQ(s.width, 0);
  EXPECT_EQ(s.height, 0);
  EXPECT_EQ(s.frameRateNum, 0);
  EXPECT_EQ(s.frameRateDen, 0);
  EXPECT_EQ(s.videoBitRate, 0);
  EXPECT_EQ(s.audioCodecId, ACODEC_NONE);
  EXPECT_EQ(s.sampleRate, 0);
  EXPECT_EQ(s.outputPath[0], 0);
  EXPECT_EQ(s.reserved2[1], 0) << "the whole record is cleared";
}

}  // namespace
}  // namespace qelo::fileformat
