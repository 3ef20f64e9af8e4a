#include "advanced_setting.h"

#include <algorithm>

#include "program_resources.h"
#include "vcl/form_reader.h"
#include "win/codepage.h"

namespace qelo::app {

using namespace vcl;
using ct::TCtComboBox;

namespace {

// The AMR codecs count their bit rates in bit/s, all others in kbit/s.
bool BitRateInBits(int32_t audioCodecId) { return audioCodecId == 4 || audioCodecId == 5; }

std::string CatalogueText(const char16_t* field) {
  return win::Utf16ToUtf8(win::Utf16Field(field, QELO_CATALOGUE_TEXT_CHARS));
}

// Counts and default indexes come from the catalogue: neither is trusted
// beyond the arrays they index.
int Count(int32_t count, int capacity) { return std::clamp(count, 0, capacity); }
int DefaultIndex(int32_t def, int count) { return def >= 0 && def < count ? def : 0; }

int Selected(const TCtComboBox& box, size_t choices) {
  const int index = box.ItemIndex();
  return index >= 0 && static_cast<size_t>(index) < choices ? index : -1;
}

}  // namespace

const ClassInfo& TfrmSettings::StaticClass() {
  using T = TfrmSettings;
  static const ClassInfo info = ClassBuilder<T>("TfrmSettings", TSkinForm::StaticClass())
                                    .Field("LabCaption", &T::LabCaption)
                                    .Field("gbVideo", &T::gbVideo)
                                    .Field("lblVideoCodec", &T::lblVideoCodec)
                                    .Field("lblResolution", &T::lblResolution)
                                    .Field("lblVideoBitrate", &T::lblVideoBitrate)
                                    .Field("lblFrameRate", &T::lblFrameRate)
                                    .Field("cmbVideoCodecName", &T::cmbVideoCodecName)
                                    .Field("cmbResolution", &T::cmbResolution)
                                    .Field("cmbFrameRate", &T::cmbFrameRate)
                                    .Field("cmbVideoBitrate", &T::cmbVideoBitrate)
                                    .Field("gbAudio", &T::gbAudio)
                                    .Field("lblAudioCodec", &T::lblAudioCodec)
                                    .Field("lblSampleRate", &T::lblSampleRate)
                                    .Field("lblChannel", &T::lblChannel)
                                    .Field("lblAudioBitrate", &T::lblAudioBitrate)
                                    .Field("cmbAudioCodecName", &T::cmbAudioCodecName)
                                    .Field("cmbSampleRate", &T::cmbSampleRate)
                                    .Field("cmbChannel", &T::cmbChannel)
                                    .Field("cmbAudioBitrate", &T::cmbAudioBitrate)
                                    .Field("btnOK", &T::btnOK)
                                    .Field("BtnCancel", &T::BtnCancel)
                                    .Method("FormCreate", &T::FormCreate)
                                    .Method("FormShow", &T::FormShow)
                                    .Method("cmbVideoCodecNameChange", &T::cmbVideoCodecNameChange)
                                    .Method("cmbAudioCodecNameChange", &T::cmbAudioCodecNameChange)
                                    .Method("btnOKClick", &T::btnOKClick)
                                    .Method("BtnCancelClick", &T::BtnCancelClick)
                                    .Done();
  return info;
}

TfrmSettings::TfrmSettings(TComponent* owner, const FileFormatDesc* formatDesc, FormatSettings* settings)
    : TSkinForm(owner, StaticClass()), formatDesc_(formatDesc), settings_(settings) {
  ReadComponentResource(*this, ProgramResources());
}

void TfrmSettings::FormCreate(TObject*) { ApplySkin(); }

void TfrmSettings::FormShow(TObject*) { FillCodecLists(); }

void TfrmSettings::FillCodecLists() {
  if (!formatDesc_) return;
  FillVideoCodecs(formatDesc_->video);
  FillAudioCodecs(formatDesc_->audio);
}

void TfrmSettings::FillVideoCodecs(const CodecList& list) {
  cmbVideoCodecName->Items()->Clear();
  videoCodecs_.clear();
  const int count = Count(list.count, QELO_CATALOGUE_MAX_CODECS);
  for (int i = 0; i < count; ++i)
    if (list.codecs.video[i]) videoCodecs_.push_back(list.codecs.video[i]);
  if (videoCodecs_.empty()) {
    gbVideo->SetEnabled(false);
    return;
  }
  int sel = DefaultIndex(list.def, static_cast<int>(videoCodecs_.size()));
  for (size_t i = 0; i < videoCodecs_.size(); ++i) {
    cmbVideoCodecName->Items()->Add(CatalogueText(videoCodecs_[i]->name));
    if (settings_ && videoCodecs_[i]->id >= 0 && videoCodecs_[i]->id == settings_->videoCodecId)
      sel = static_cast<int>(i);
  }
  cmbVideoCodecName->SetItemIndex(sel);
  FillVideoValues(videoCodecs_[static_cast<size_t>(sel)]);
}

void TfrmSettings::FillAudioCodecs(const CodecList& list) {
  cmbAudioCodecName->Items()->Clear();
  audioCodecs_.clear();
  const int count = Count(list.count, QELO_CATALOGUE_MAX_CODECS);
  for (int i = 0; i < count; ++i)
    if (list.codecs.audio[i]) audioCodecs_.push_back(list.codecs.audio[i]);
  if (audioCodecs_.empty()) {
    gbAudio->SetEnabled(false);
    return;
  }
  int sel = DefaultIndex(list.def, static_cast<int>(audioCodecs_.size()));
  for (size_t i = 0; i < audioCodecs_.size(); ++i) {
    cmbAudioCodecName->Items()->Add(CatalogueText(audioCodecs_[i]->name));
    if (settings_ && audioCodecs_[i]->id >= 0 && audioCodecs_[i]->id == settings_->audioCodecId)
      sel = static_cast<int>(i);
  }
  cmbAudioCodecName->SetItemIndex(sel);
  FillAudioValues(audioCodecs_[static_cast<size_t>(sel)]);
}

// The list's entries in their order; the last that matches the record is
// selected, else the list's default.
int TfrmSettings::FillValues(TCtComboBox& box, const ValueList& list, ValueChoices& choices,
                             const std::function<bool(const ValueItem&)>& matches) {
  box.Items()->Clear();
  choices.items.clear();
  const int count = Count(list.count, QELO_CATALOGUE_MAX_VALUES);
  for (int i = 0; i < count; ++i)
    if (list.items[i]) choices.items.push_back(list.items[i]);
  if (choices.items.empty()) return -1;
  int sel = DefaultIndex(list.def, static_cast<int>(choices.items.size()));
  for (size_t i = 0; i < choices.items.size(); ++i) {
    box.Items()->Add(CatalogueText(choices.items[i]->text));
    if (matches(*choices.items[i])) sel = static_cast<int>(i);
  }
  box.SetItemIndex(sel);
  return sel;
}

void TfrmSettings::FillVideoValues(const VideoCodecDesc* codec) {
  for (TCtComboBox* box : {cmbResolution, cmbFrameRate, cmbVideoBitrate}) box->Items()->Clear();
  if (!codec) return;
  const FormatSettings none{};
  const FormatSettings& s = settings_ ? *settings_ : none;
  FillValues(*cmbResolution, codec->resolution, resolutions_,
             [&](const ValueItem& v) { return v.value == s.width && v.value2 == s.height; });
  FillValues(*cmbFrameRate, codec->fps, frameRates_,
             [&](const ValueItem& v) { return v.value == s.frameRateNum && v.value2 == s.frameRateDen; });
  FillValues(*cmbVideoBitrate, codec->bitrate, videoBitRates_,
             [&](const ValueItem& v) { return static_cast<int64_t>(v.value) * 1000 == s.videoBitRate; });
}

void TfrmSettings::FillAudioValues(const AudioCodecDesc* codec) {
  for (TCtComboBox* box : {cmbSampleRate, cmbChannel, cmbAudioBitrate}) box->Items()->Clear();
  if (!codec) return;
  const FormatSettings none{};
  const FormatSettings& s = settings_ ? *settings_ : none;
  const int64_t unit = BitRateInBits(codec->id) ? 1 : 1000;
  FillValues(*cmbSampleRate, codec->sampleRate, sampleRates_, [&](const ValueItem& v) { return v.value == s.sampleRate; });
  FillValues(*cmbChannel, codec->channel, channelCounts_, [&](const ValueItem& v) { return v.value == s.channels; });
  FillValues(*cmbAudioBitrate, codec->bitrate, audioBitRates_,
             [&](const ValueItem& v) { return static_cast<int64_t>(v.value) * unit == s.audioBitRate; });
}

const VideoCodecDesc* TfrmSettings::ChosenVideoCodec() const {
  const int index = Selected(*cmbVideoCodecName, videoCodecs_.size());
  return index < 0 ? nullptr : videoCodecs_[static_cast<size_t>(index)];
}

const AudioCodecDesc* TfrmSettings::ChosenAudioCodec() const {
  const int index = Selected(*cmbAudioCodecName, audioCodecs_.size());
  return index < 0 ? nullptr : audioCodecs_[static_cast<size_t>(index)];
}

const ValueItem* TfrmSettings::Chosen(const TCtComboBox& box, const ValueChoices& choices) {
  const int index = Selected(box, choices.items.size());
  return index < 0 ? nullptr : choices.items[static_cast<size_t>(index)];
}

void TfrmSettings::cmbVideoCodecNameChange(TObject*) { FillVideoValues(ChosenVideoCodec()); }
void TfrmSettings::cmbAudioCodecNameChange(TObject*) { FillAudioValues(ChosenAudioCodec()); }

// Only what is chosen is written: a list left without a choice keeps the
// record's value.
void TfrmSettings::StoreVideo() {
  const VideoCodecDesc* codec = ChosenVideoCodec();
  if (!gbVideo->Enabled() || !codec) return;
  settings_->videoCodecId = codec->id;
  if (const ValueItem* size = Chosen(*cmbResolution, resolutions_)) {
    settings_->width = size->value;
    settings_->height = size->value2;
  }
  if (const ValueItem* rate = Chosen(*cmbFrameRate, frameRates_)) {
    settings_->frameRateNum = rate->value;
    settings_->frameRateDen = rate->value2;
  }
  if (const ValueItem* bitRate = Chosen(*cmbVideoBitrate, videoBitRates_)) settings_->videoBitRate = bitRate->value * 1000;
}

void TfrmSettings::StoreAudio() {
  const AudioCodecDesc* codec = ChosenAudioCodec();
  if (!codec) return;
  settings_->audioCodecId = codec->id;
  if (const ValueItem* rate = Chosen(*cmbSampleRate, sampleRates_)) settings_->sampleRate = rate->value;
  if (const ValueItem* channels = Chosen(*cmbChannel, channelCounts_)) settings_->channels = channels->value;
  if (const ValueItem* bitRate = Chosen(*cmbAudioBitrate, audioBitRates_))
    settings_->audioBitRate = BitRateInBits(codec->id) ? bitRate->value : bitRate->value * 1000;
  settings_->bitsPerSample = 16;
}

void TfrmSettings::btnOKClick(TObject*) {
  if (!formatDesc_ || !settings_) return;
  StoreVideo();
  StoreAudio();
  SetModalResult(mrOk);
}

void TfrmSettings::BtnCancelClick(TObject*) { SetModalResult(mrCancel); }

}  // namespace qelo::app
