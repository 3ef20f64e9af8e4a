// Inside the namespace: what the namespace tells about one item: its
// attributes, its names, its type text and its detail columns.
#pragma once

#include <sys/types.h>

#include <string>

#include "location.h"
#include "shell/shell_folder.h"

namespace qelo::shell::detail {

// The entry flags (folder, link) of a path; nothing when it does not exist.
std::optional<uint8_t> EntryFlagsOfPath(const std::string& path);
// The same for an entry read from the open directory `dirFd`, using the
// entry's type when the directory listing gives it.
std::optional<uint8_t> EntryFlagsAt(int dirFd, const char* name, unsigned char direntType);

// The attributes of the item at `location` among those `asked`.
HRESULT ItemAttributes(const Location& location, ULONG asked, ULONG* attributes);

// The item's name in the form the SHGDN flags ask for.
std::string ItemDisplayName(const Location& location, DWORD flags);
// Valid UTF-8 for people: bytes that are not become U+FFFD.
std::string DisplayText(std::string_view bytes);

// "Folder", the description of the file's content type, or the kind of a
// volume or special item.
std::string ItemTypeName(const Location& location);

// The detail columns: 0 name, 1 size, 2 type, 3 modified.
constexpr UINT kDetailColumnCount = 4;
std::string DetailText(const Location& location, UINT column);
void DetailHeading(UINT column, SHELLDETAILS* details);

// Hands text over as a STRRET_WSTR.
HRESULT SetStrRet(const std::string& text, STRRET* out);

}  // namespace qelo::shell::detail
