// TfrmSettings: the settings dialog, a skinned dialog read from its form
// file. It fills its drop-down lists with the codecs and values that the
// catalogue allows for a job's file format, preselects the job's values (or
// the catalogue's defaults), and writes the chosen ones into the job's
// FormatSettings when the user confirms.
#pragma once

#include <functional>
#include <vector>

#include "ct_bmp_btn.h"
#include "ct_cmbo_bx.h"
#include "ct_label.h"
#include "qelo/fileformat.h"
#include "skin_form.h"
#include "vcl/controls/checkbox.h"

namespace qelo::app {

class TfrmSettings : public controls::TSkinForm {
  QELO_VCL_CLASS()
 public:
  // The format's record and the job's settings stay their owners'; the
  // dialog edits `settings` in place when confirmed.
  TfrmSettings(vcl::TComponent* owner, const FileFormatDesc* formatDesc, FormatSettings* settings);

  void FormCreate(vcl::TObject* sender);
  void FormShow(vcl::TObject* sender);
  void cmbVideoCodecNameChange(vcl::TObject* sender);
  void cmbAudioCodecNameChange(vcl::TObject* sender);
  void btnOKClick(vcl::TObject* sender);
  void BtnCancelClick(vcl::TObject* sender);

  void FillCodecLists();
  void FillVideoCodecs(const CodecList& list);
  void FillVideoValues(const VideoCodecDesc* codec);
  void FillAudioCodecs(const CodecList& list);
  void FillAudioValues(const AudioCodecDesc* codec);

  ct::TCtLabel* LabCaption = nullptr;
  vcl::TGroupBox* gbVideo = nullptr;
  ct::TCtLabel* lblVideoCodec = nullptr;
  ct::TCtLabel* lblResolution = nullptr;
  ct::TCtLabel* lblVideoBitrate = nullptr;
  ct::TCtLabel* lblFrameRate = nullptr;
  ct::TCtComboBox* cmbVideoCodecName = nullptr;
  ct::TCtComboBox* cmbResolution = nullptr;
  ct::TCtComboBox* cmbFrameRate = nullptr;
  ct::TCtComboBox* cmbVideoBitrate = nullptr;
  vcl::TGroupBox* gbAudio = nullptr;
  ct::TCtLabel* lblAudioCodec = nullptr;
  ct::TCtLabel* lblSampleRate = nullptr;
  ct::TCtLabel* lblChannel = nullptr;
  ct::TCtLabel* lblAudioBitrate = nullptr;
  ct::TCtComboBox* cmbAudioCodecName = nullptr;
  ct::TCtComboBox* cmbSampleRate = nullptr;
  ct::TCtComboBox* cmbChannel = nullptr;
  ct::TCtComboBox* cmbAudioBitrate = nullptr;
  ct::TCtBmpButton* btnOK = nullptr;
  ct::TCtBmpButton* BtnCancel = nullptr;

 private:
  // What each drop-down's entries stand for, in their order.
  struct ValueChoices {
    std::vector<const ValueItem*> items;
  };
  static int FillValues(ct::TCtComboBox& box, const ValueList& list, ValueChoices& choices,
                        const std::function<bool(const ValueItem&)>& matches);
  static const ValueItem* Chosen(const ct::TCtComboBox& box, const ValueChoices& choices);
  const VideoCodecDesc* ChosenVideoCodec() const;
  const AudioCodecDesc* ChosenAudioCodec() const;
  void StoreVideo();
  void StoreAudio();

  const FileFormatDesc* formatDesc_;
  FormatSettings* settings_;
  std::vector<const VideoCodecDesc*> videoCodecs_;
  std::vector<const AudioCodecDesc*> audioCodecs_;
  ValueChoices resolutions_, frameRates_, videoBitRates_;
  ValueChoices sampleRates_, channelCounts_, audioBitRates_;
};

}  // namespace qelo::app
