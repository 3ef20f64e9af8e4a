// The FormatSettings a new job gets for a format before the user changes
// anything.
#pragma once

#include "catalogue.h"
#include "qelo/media.h"

namespace qelo::fileformat {

// Overwrites the whole of *settings; the output path and codec names stay
// empty.
void FillFormatDefaults(const ProfileDesc& profile, const FileFormatDesc& format,
                        FormatSettings* settings);

}  // namespace qelo::fileformat
