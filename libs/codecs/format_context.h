// Default settings of an output format. Only the VCD format has defaults of
// its own; every other format gets a zeroed record with its id.
#pragma once

#include <memory>

#include "qelo/media.h"

namespace qelo::codecs {

class CFormatContext {
 public:
  explicit CFormatContext(int formatId) : formatId_(formatId) {}
  virtual ~CFormatContext() = default;

  // 0 for a null record; otherwise zeroes it, sets its format id and
  // returns 1.
  virtual int FillDefaults(FormatSettings* settings);
  // Every record passes.
  virtual int Check(FormatSettings* settings);

 protected:
  int formatId_;
};

class CVCDMpgFormatCtx : public CFormatContext {
 public:
  CVCDMpgFormatCtx() : CFormatContext(FORMAT_VCD) {}
  // Sets the VCD values and keeps every other field as the caller had it.
  int FillDefaults(FormatSettings* settings) override;
};

std::unique_ptr<CFormatContext> MakeFormatContext(int formatId);

}  // namespace qelo::codecs
