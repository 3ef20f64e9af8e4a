// The control library's own resources: the push buttons' stock pictures,
// one per kind ("CTCOMMON_OK", "CTCOMMON_CANCEL", ... "CTCOMMON_ALL").
#pragma once

#include "resource/resource.h"
#include "vcl/graphics/picture.h"

namespace qelo::res {
extern const ResourceTable kCtResources;
}

namespace qelo::ct {

inline const res::ResourceTable& CtResources() { return res::kCtResources; }

// Makes the library's pictures known by name to the framework's pictures
// (a form file's "Glyph = 'CTCOMMON_OK'"); once per program.
inline void RegisterCtPictureResources() {
  static const bool registered = [] {
    vcl::RegisterPictureResources(CtResources());
    return true;
  }();
  (void)registered;
}

}  // namespace qelo::ct
