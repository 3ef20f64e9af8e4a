// The control library's own resources: the folder selection form's file,
// its tool pictures and the OK and Cancel glyphs ("CTCOMMON_OK",
// "CTCOMMON_CANCEL").
#pragma once

#include "resource/resource.h"

namespace qelo::res {
extern const ResourceTable kCtResources;
}

namespace qelo::ct {

inline const res::ResourceTable& CtResources() { return res::kCtResources; }

}  // namespace qelo::ct
