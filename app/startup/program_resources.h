// The program's own resources: its form files, by the class names of their
// forms.
#pragma once

#include "resource/resource.h"

namespace qelo::res {
extern const ResourceTable kProgramResources;
}

namespace qelo::app {

inline const res::ResourceTable& ProgramResources() { return res::kProgramResources; }

}  // namespace qelo::app
