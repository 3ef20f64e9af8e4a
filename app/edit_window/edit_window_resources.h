// The edit window's own resources: its form file and the pictures of its
// bars.
#pragma once

#include "resource/resource.h"

namespace qelo::res {
extern const ResourceTable kEditWindowResources;
}

namespace qelo::app {

inline const res::ResourceTable& EditWindowResources() { return res::kEditWindowResources; }

}  // namespace qelo::app
