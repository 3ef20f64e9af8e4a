// Data compiled into a library (catalogue documents, images, helper tools),
// found by type and id the way a module's resources are. Each library carries
// its own table, made by qelo_add_resources() in CMake.
#pragma once

#include <cstddef>
#include <string_view>

namespace qelo::res {

struct Resource {
  const char* type;           // "XML", "PNG", "BIN", ...; matched without regard to case
  int id;                     // numeric id, or -1 for a named resource
  const char* name;           // name of a named resource, else nullptr
  const unsigned char* data;  // the file's bytes, followed by one zero byte
  std::size_t size;           // byte count without that zero
};

struct ResourceTable {
  const Resource* entries;
  std::size_t count;
};

// Null when the table holds no resource of that type and id (or name).
const Resource* FindResource(const ResourceTable& table, std::string_view type, int id);
const Resource* FindResource(const ResourceTable& table, std::string_view type,
                             std::string_view name);

}  // namespace qelo::res
