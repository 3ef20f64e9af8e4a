#include "shell/drop_blocks.h"

#include <cstring>
#include <limits>

#include "win/codepage.h"

namespace qelo::shell {
namespace {

constexpr std::size_t kWord = sizeof(uint32_t);

uint32_t ReadWord(const unsigned char* at) {
  uint32_t v;
  std::memcpy(&v, at, kWord);
  return v;
}

void WriteWord(unsigned char* at, uint32_t v) { std::memcpy(at, &v, kWord); }

std::size_t ListBytes(LPCITEMIDLIST list) { return list ? ILGetSize(list) : 2; }

}  // namespace

HGLOBAL BuildIdListArray(LPCITEMIDLIST parent, const std::vector<LPCITEMIDLIST>& items) {
  const std::size_t n = items.size();
  std::size_t size = kWord * (n + 2) + ListBytes(parent);
  for (LPCITEMIDLIST item : items) size += ListBytes(item);
  if (size > std::numeric_limits<uint32_t>::max()) return nullptr;
  return GlobalAllocFilled(size, [&](unsigned char* bytes) {
    WriteWord(bytes, static_cast<uint32_t>(n));
    std::size_t at = kWord * (n + 2);
    auto place = [&](std::size_t index, LPCITEMIDLIST list) {
      WriteWord(bytes + kWord * (index + 1), static_cast<uint32_t>(at));
      if (list) std::memcpy(bytes + at, list, ILGetSize(list));  // a null list stays two zero bytes
      at += ListBytes(list);
    };
    place(0, parent);
    for (std::size_t i = 0; i < n; ++i) place(i + 1, items[i]);
  });
}

HGLOBAL BuildDropFiles(const std::vector<std::string>& names) {
  std::size_t size = kDropFilesHeaderBytes + 1;
  for (const std::string& name : names) size += name.size() + 1;
  return GlobalAllocFilled(size, [&](unsigned char* bytes) {
    WriteWord(bytes, static_cast<uint32_t>(kDropFilesHeaderBytes));  // point, flags: zero
    std::size_t at = kDropFilesHeaderBytes;
    for (const std::string& name : names) {
      std::memcpy(bytes + at, name.data(), name.size());
      at += name.size() + 1;
    }
  });
}

std::optional<IdListArray> ReadIdListArray(const void* block, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(block);
  if (!bytes || size < kWord * 2) return std::nullopt;
  const uint32_t n = ReadWord(bytes);
  if (n > (size - kWord) / kWord - 1) return std::nullopt;  // the offsets alone would not fit
  IdListArray out;
  for (uint32_t i = 0; i <= n; ++i) {
    const uint32_t offset = ReadWord(bytes + kWord * (i + 1));
    if (offset >= size || ILValidate(bytes + offset, size - offset) == 0) return std::nullopt;
    IdListPtr list(ILClone(reinterpret_cast<LPCITEMIDLIST>(bytes + offset)));
    if (!list) return std::nullopt;
    if (i == 0) out.parent = std::move(list);
    else out.items.push_back(std::move(list));
  }
  return out;
}

std::optional<IdListArray> ReadIdListArray(HGLOBAL block) {
  GlobalLockScope lock(block);
  return ReadIdListArray(lock.bytes(), lock.size());
}

std::optional<std::vector<std::string>> ReadDropFiles(const void* block, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(block);
  if (!bytes || size < kDropFilesHeaderBytes) return std::nullopt;
  const uint32_t start = ReadWord(bytes);
  const bool wide = ReadWord(bytes + 16) != 0;
  if (start < kDropFilesHeaderBytes || start >= size) return std::nullopt;
  std::vector<std::string> names;
  std::size_t at = start;
  const std::size_t unit = wide ? 2 : 1;
  for (;;) {
    // Each name ends with a zero unit inside the block; an empty name ends the list.
    std::size_t end = at;
    auto unitAt = [&](std::size_t p) { return wide ? (bytes[p] | (bytes[p + 1] << 8)) : bytes[p]; };
    while (end + unit <= size && unitAt(end) != 0) end += unit;
    if (end + unit > size) return std::nullopt;
    if (end == at) return names;
    if (wide) {
      std::u16string text((end - at) / 2, u'\0');
      std::memcpy(text.data(), bytes + at, end - at);
      names.push_back(win::Utf16ToUtf8(text));
    } else {
      names.emplace_back(reinterpret_cast<const char*>(bytes + at), end - at);
    }
    at = end + unit;
  }
}

std::optional<std::vector<std::string>> ReadDropFiles(HGLOBAL block) {
  GlobalLockScope lock(block);
  return ReadDropFiles(lock.bytes(), lock.size());
}

}  // namespace qelo::shell
