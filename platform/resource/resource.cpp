#include "resource/resource.h"

#include <cctype>

namespace qelo::res {
namespace {

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

template <typename Match>
const Resource* FindIf(const ResourceTable& table, std::string_view type, Match match) {
  for (std::size_t i = 0; i < table.count; ++i) {
    const Resource& r = table.entries[i];
    if (SameText(r.type, type) && match(r)) return &r;
  }
  return nullptr;
}

}  // namespace

const Resource* FindResource(const ResourceTable& table, std::string_view type, int id) {
  return FindIf(table, type, [id](const Resource& r) { return !r.name && r.id == id; });
}

const Resource* FindResource(const ResourceTable& table, std::string_view type,
                             std::string_view name) {
  return FindIf(table, type, [name](const Resource& r) { return r.name && SameText(r.name, name); });
}

}  // namespace qelo::res
