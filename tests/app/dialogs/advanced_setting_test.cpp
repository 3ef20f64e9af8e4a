// The settings dialog on hand-made catalogue records: which entry each list
// preselects (the record's last match, else the default, a default out of
// range taken as the first), a record without codecs, and what OK writes
// (the bit-rate units per audio codec, nothing for a list left unchosen).
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "advanced_setting.h"
#include "program.h"
#include "vcl/controls/scripting.h"
#include "win/codepage.h"

namespace qelo::app {
namespace {

using namespace vcl;

// Owns the records a FileFormatDesc points to.
class CatalogueBuilder {
 public:
  ValueList Values(const std::vector<std::pair<int, int>>& values, int def) {
    ValueList list{};
    list.count = static_cast<int32_t>(values.size());
    list.def = def;
    for (size_t i = 0; i < values.size(); ++i) {
      ValueItem& item = items_.emplace_back();
      item = ValueItem{};
      Name(item.text, std::to_string(values[i].first) + "/" + std::to_string(values[i].second));
      item.value = values[i].first;
      item.value2 = values[i].second;
      list.items[i] = &item;
    }
    return list;
  }
  VideoCodecDesc* Video(int id, ValueList sizes, ValueList rates, ValueList bitRates) {
    VideoCodecDesc& codec = video_.emplace_back();
    codec = VideoCodecDesc{};
    Name(codec.name, "video " + std::to_string(id));
    codec.id = id;
    codec.resolution = sizes;
    codec.fps = rates;
    codec.bitrate = bitRates;
    return &codec;
  }
  AudioCodecDesc* Audio(int id, ValueList bitRates) {
    AudioCodecDesc& codec = audio_.emplace_back();
    codec = AudioCodecDesc{};
    Name(codec.name, "audio " + std::to_string(id));
    codec.id = id;
    codec.sampleRate = Values({{44100, 0}, {48000, 0}}, 0);
    codec.channel = Values({{1, 0}, {2, 0}}, 1);
    codec.bitrate = bitRates;
    return &codec;
  }

 private:
  static void Name(char16_t* field, const std::string& text) {
    win::CopyToUtf16Field(field, QELO_CATALOGUE_TEXT_CHARS, win::Utf8ToUtf16(text));
  }
  std::deque<ValueItem> items_;
  std::deque<VideoCodecDesc> video_;
  std::deque<AudioCodecDesc> audio_;
};

class SettingsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { InitializeProgramFramework(); }
  // The dialog as it stands after it is shown.
  std::unique_ptr<TfrmSettings> Show() {
    auto dialog = std::make_unique<TfrmSettings>(nullptr, &desc, &settings);
    dialog->FormShow(dialog.get());
    return dialog;
  }
  void AddVideo(VideoCodecDesc* codec) { desc.video.codecs.video[desc.video.count++] = codec; }
  void AddAudio(AudioCodecDesc* codec) { desc.audio.codecs.audio[desc.audio.count++] = codec; }

  CatalogueBuilder catalogue;
  FileFormatDesc desc{};
  FormatSettings settings{};
};

TEST_F(SettingsDialogTest, EachListPreselectsTheRecordsLastMatchElseItsDefault) {
  struct Case {
    const char* what;
    int def;
    int recordWidth;  // matched against the sizes 100x1, 200x2, 300x1, 200x2, 400x1
    int expected;
  };
  for (const Case& c : {Case{"no match: the default", 2, 999, 2}, Case{"a match beats the default", 2, 400, 4},
                        Case{"the last match wins", 0, 200, 3}, Case{"a default past the end", 9, 999, 0},
                        Case{"a negative default", -3, 999, 0}}) {
    desc = FileFormatDesc{};
    settings = FormatSettings{};
    settings.videoCodecId = 7;
    settings.width = c.recordWidth;
    settings.height = c.recordWidth == 200 ? 2 : 1;
    const ValueList sizes = catalogue.Values({{100, 1}, {200, 2}, {300, 1}, {200, 2}, {400, 1}}, c.def);
    // Two codecs: the record's (id 7) is preselected although the default
    // is the other one.
    AddVideo(catalogue.Video(3, sizes, catalogue.Values({{25, 1}}, 0), catalogue.Values({{800, 0}}, 0)));
    AddVideo(catalogue.Video(7, sizes, catalogue.Values({{25, 1}}, 0), catalogue.Values({{800, 0}}, 0)));
    auto dialog = Show();
    EXPECT_EQ(dialog->cmbVideoCodecName->ItemIndex(), 1) << c.what;
    EXPECT_EQ(dialog->cmbResolution->ItemIndex(), c.expected) << c.what;
    EXPECT_TRUE(dialog->gbVideo->Enabled()) << c.what;
    EXPECT_FALSE(dialog->gbAudio->Enabled()) << c.what << ": a format without sound";
  }
}

TEST_F(SettingsDialogTest, OkStoresAudioBitRatesInTheirCodecsUnits) {
  struct Case {
    int codecId;
    int32_t stored;
  };
  for (const Case c : {Case{4, 12200}, Case{5, 12200}, Case{3, 12200 * 1000}}) {
    desc = FileFormatDesc{};
    settings = FormatSettings{};
    settings.audioCodecId = c.codecId;
    AddAudio(catalogue.Audio(c.codecId, catalogue.Values({{6700, 0}, {12200, 0}}, 0)));
    auto dialog = Show();
    dialog->cmbAudioBitrate->SetItemIndex(1);
    dialog->btnOKClick(nullptr);
    EXPECT_EQ(settings.audioCodecId, c.codecId);
    EXPECT_EQ(settings.audioBitRate, c.stored) << c.codecId;
    EXPECT_EQ(settings.channels, 2) << "the default channel count";
    EXPECT_EQ(settings.bitsPerSample, 16);
    EXPECT_EQ(dialog->ModalResult(), mrOk);
  }
}

TEST_F(SettingsDialogTest, ListsWithoutEntriesLeaveTheRecordAsItWas) {
  // A video codec whose lists are empty, or hold no records, and a null
  // slot in the codec list, which is skipped.
  ValueList holes = catalogue.Values({{640, 480}}, 0);
  holes.items[0] = nullptr;
  desc.video.count = 2;
  desc.video.codecs.video[0] = nullptr;
  desc.video.codecs.video[1] = catalogue.Video(9, holes, ValueList{}, catalogue.Values({{1500, 0}}, 0));
  settings.width = 321;
  settings.height = 123;
  settings.frameRateNum = 30000;
  settings.frameRateDen = 1001;
  settings.videoProfile = 77;
  auto dialog = Show();
  EXPECT_EQ(dialog->cmbVideoCodecName->Items()->Count(), 1);
  EXPECT_EQ(dialog->cmbResolution->Items()->Count(), 0);
  dialog->btnOKClick(nullptr);
  EXPECT_EQ(settings.videoCodecId, 9);
  EXPECT_EQ(settings.width, 321);
  EXPECT_EQ(settings.height, 123);
  EXPECT_EQ(settings.frameRateNum, 30000);
  EXPECT_EQ(settings.frameRateDen, 1001);
  EXPECT_EQ(settings.videoBitRate, 1500 * 1000);
  EXPECT_EQ(settings.videoProfile, 77) << "never changed by the dialog";

  // No codecs at all: the group is disabled and OK writes no video value.
  desc = FileFormatDesc{};
  settings = FormatSettings{};
  settings.videoCodecId = 5;
  auto empty = Show();
  EXPECT_FALSE(empty->gbVideo->Enabled());
  empty->btnOKClick(nullptr);
  EXPECT_EQ(settings.videoCodecId, 5);
}

}  // namespace
}  // namespace qelo::app
