// The shell controls' own resources: the folder selection form's file and
// its tool pictures.
#pragma once

#include "resource/resource.h"

namespace qelo::res {
extern const ResourceTable kCtShellResources;
}

namespace qelo::ct {

inline const res::ResourceTable& CtShellResources() { return res::kCtShellResources; }

}  // namespace qelo::ct
