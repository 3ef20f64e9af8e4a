#include "item_compare.h"

#include <gio/gio.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "item_facts.h"

namespace qelo::shell::detail {
namespace {

int Sign(long long v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

int CompareBytes(std::string_view a, std::string_view b) { return Sign(a.compare(b)); }

bool IsAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

int CompareAsciiFolded(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    int ca = g_ascii_tolower(a[i]), cb = g_ascii_tolower(b[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return Sign(static_cast<long long>(a.size()) - static_cast<long long>(b.size()));
}

int CompareUnicodeFolded(std::string_view a, std::string_view b) {
  std::string va = DisplayText(a), vb = DisplayText(b);
  char* fa = g_utf8_casefold(va.c_str(), -1);
  char* fb = g_utf8_casefold(vb.c_str(), -1);
  int order = Sign(std::strcmp(fa, fb));
  g_free(fa);
  g_free(fb);
  return order;
}

// The whole remaining lists byte for byte: an order for items that are not
// ours, which are never equal to ours.
int CompareRaw(LPCITEMIDLIST a, LPCITEMIDLIST b) {
  std::size_t sa = ILGetSize(a), sb = ILGetSize(b);
  int order = std::memcmp(a, b, std::min(sa, sb));
  return order != 0 ? Sign(order) : Sign(static_cast<long long>(sa) - static_cast<long long>(sb));
}

int KindRank(ItemKind kind) {
  switch (kind) {
    case ItemKind::kComputer: return 0;
    case ItemKind::kHome: return 1;
    case ItemKind::kVolume: return 2;
    case ItemKind::kEntry: return 3;
  }
  return 4;
}

struct EntryStat {
  long long size = 0;
  long long modified = 0;
};

EntryStat StatEntry(const Location& parent, std::string_view name) {
  struct stat st;
  EntryStat facts;
  if (stat(JoinPath(parent.path, name).c_str(), &st) == 0) {
    facts.size = S_ISDIR(st.st_mode) ? 0 : static_cast<long long>(st.st_size);
    facts.modified = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  }
  return facts;
}

int CompareByColumn(const Location& parent, const ItemView& a, const ItemView& b, UINT column) {
  switch (column) {
    case 1:
      return Sign(StatEntry(parent, a.payload).size - StatEntry(parent, b.payload).size);
    case 2: {
      Location la = *ChildLocation(parent, a), lb = *ChildLocation(parent, b);
      return CompareNames(ItemTypeName(la), ItemTypeName(lb));
    }
    case 3:
      return Sign(StatEntry(parent, a.payload).modified - StatEntry(parent, b.payload).modified);
    default:
      return 0;
  }
}

int CompareEntries(const Location& parent, const ItemView& a, const ItemView& b, UINT column) {
  if (a.payload == b.payload) return 0;
  if (a.IsFolderEntry() != b.IsFolderEntry()) return a.IsFolderEntry() ? -1 : 1;
  if (parent.HasPath())
    if (int order = CompareByColumn(parent, a, b, column)) return order;
  return CompareNames(a.payload, b.payload);
}

int CompareItems(const Location& parent, const ItemView& a, const ItemView& b, UINT column) {
  if (int order = KindRank(a.kind) - KindRank(b.kind)) return Sign(order);
  switch (a.kind) {
    case ItemKind::kVolume: return CompareBytes(a.payload, b.payload);
    case ItemKind::kEntry: return CompareEntries(parent, a, b, column);
    default: return 0;
  }
}

}  // namespace

int CompareNames(std::string_view a, std::string_view b) {
  int folded = IsAscii(a) && IsAscii(b) ? CompareAsciiFolded(a, b) : CompareUnicodeFolded(a, b);
  return folded != 0 ? folded : CompareBytes(a, b);
}

// The location below `base` is made only when a later item needs it: a
// comparison of two items of one folder makes none.
int CompareRelativeLists(const Location& base, UINT column, LPCITEMIDLIST a, LPCITEMIDLIST b) {
  Location below;
  const Location* at = &base;
  for (;;) {
    bool endA = ILIsEmpty(a), endB = ILIsEmpty(b);
    if (endA || endB) return endA && endB ? 0 : endA ? -1 : 1;
    std::optional<ItemView> va = DecodeItem(a), vb = DecodeItem(b);
    if (!va || !vb || !CanHoldChild(*at, *va) || !CanHoldChild(*at, *vb)) return CompareRaw(a, b);
    if (int order = CompareItems(*at, *va, *vb, column)) return order;
    a = ILNext(a);
    b = ILNext(b);
    if (ILIsEmpty(a) && ILIsEmpty(b)) return 0;
    below = *ChildLocation(*at, *va);
    at = &below;
  }
}

}  // namespace qelo::shell::detail
