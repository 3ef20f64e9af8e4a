#include "format_context.h"

#include <cstring>

#include "win/codepage.h"

namespace qelo::codecs {

int CFormatContext::FillDefaults(FormatSettings* settings) {
  if (!settings) return 0;
  std::memset(settings, 0, sizeof *settings);
  settings->formatId = formatId_;
  return 1;
}

int CFormatContext::Check(FormatSettings*) { return 1; }

int CVCDMpgFormatCtx::FillDefaults(FormatSettings* settings) {
  if (!settings) return 0;
  settings->outputPath[0] = settings->outputPath[1] = 0;
  settings->formatId = FORMAT_VCD;
  settings->audioCodecId = ACODEC_MP2;
  settings->audioBitRate = 11200;
  settings->channels = 2;
  settings->sampleRate = 44100;
  settings->bitsPerSample = 16;
  win::CopyToUtf16Field(settings->audioCodecName, 64, u"mp2");
  settings->videoCodecId = VCODEC_MPEG1;
  settings->videoBitRate = 400000;
  settings->frameRateNum = 25;
  settings->frameRateDen = 1;
  return 1;
}

std::unique_ptr<CFormatContext> MakeFormatContext(int formatId) {
  if (formatId == FORMAT_VCD) return std::make_unique<CVCDMpgFormatCtx>();
  return std::make_unique<CFormatContext>(formatId);
}

}  // namespace qelo::codecs
