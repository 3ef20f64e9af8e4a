#include "ct_shell_ctrls_keys.h"

#include <strings.h>

#include <array>
#include <cctype>

namespace qelo::ct {
namespace {

constexpr int kFirstKey = 8, kLastKey = 597;

struct DefaultKeyTable {
  std::array<TCtShellControlDefKeyRec, dkCount> entries{{{"Ctrl+A"}, {"Del"}, {"Ctrl+C"}, {"Ctrl+X"}, {"Ctrl+V"},
                                                         {"F5"}, {"F2"}}};
  bool parsed = false;
};

DefaultKeyTable& Table() {
  static DefaultKeyTable table;
  if (!table.parsed) {
    for (TCtShellControlDefKeyRec& entry : table.entries) entry.shortCut = ShellTextToShortCut(entry.keyText);
    table.parsed = true;
  }
  return table;
}

struct Named {
  int key;
  const char* name;
};
constexpr Named kNamedKeys[] = {{8, "BkSp"},   {9, "Tab"},   {13, "Enter"}, {27, "Esc"},  {32, "Space"},
                                {33, "PgUp"},  {34, "PgDn"}, {35, "End"},   {36, "Home"}, {37, "Left"},
                                {38, "Up"},    {39, "Right"}, {40, "Down"},  {45, "Ins"},  {46, "Del"}};

std::string KeyName(int key) {
  for (const Named& n : kNamedKeys)
    if (n.key == key) return n.name;
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
  if (key >= 96 && key <= 105) return std::string(1, static_cast<char>('0' + key - 96));
  if (key >= 112 && key <= 135) return "F" + std::to_string(key - 111);
  return "#" + std::to_string(key);
}

bool TakePrefix(std::string_view* text, std::string_view prefix) {
  if (text->size() < prefix.size() || strncasecmp(text->data(), prefix.data(), prefix.size()) != 0) return false;
  text->remove_prefix(prefix.size());
  return true;
}

bool SameText(std::string_view a, const std::string& b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

const TCtShellControlDefKeyRec& DefaultKey(TCtShellDefaultKey key) {
  return Table().entries.at(static_cast<std::size_t>(key));
}

bool IsDefaultKey(TCtShellDefaultKey key, TShortCut shortCut) {
  const TShortCut wanted = DefaultKey(key).shortCut;
  return wanted != 0 && wanted == shortCut;
}

bool IsDeleteKey(TShortCut shortCut) {
  return IsDefaultKey(dkDelete, shortCut) || IsDefaultKey(dkDelete, static_cast<TShortCut>(shortCut & ~vcl::scShift));
}

TShortCut ShellKeyShortCut(uint16_t key, vcl::TShiftState shift) {
  TShortCut modifiers = 0;
  if (shift.Contains(vcl::ssShift)) modifiers |= vcl::scShift;
  if (shift.Contains(vcl::ssCtrl)) modifiers |= vcl::scCtrl;
  if (shift.Contains(vcl::ssAlt)) modifiers |= vcl::scAlt;
  return vcl::ShortCut(key, modifiers);
}

void ReleaseDefaultKeyTable() {
  DefaultKeyTable& table = Table();
  for (TCtShellControlDefKeyRec& entry : table.entries) entry.shortCut = 0;
  table.parsed = false;
}

TShortCut ShellTextToShortCut(std::string_view text) {
  TShortCut modifiers = 0;
  for (;;) {
    if (TakePrefix(&text, "Shift+")) {
      modifiers |= vcl::scShift;
    } else if (TakePrefix(&text, "Ctrl+") || TakePrefix(&text, "^")) {
      modifiers |= vcl::scCtrl;
    } else if (TakePrefix(&text, "Alt+")) {
      modifiers |= vcl::scAlt;
    } else {
      break;
    }
  }
  if (text.empty()) return 0;
  for (int key = kFirstKey; key <= kLastKey; ++key)
    if (SameText(text, KeyName(key))) return static_cast<TShortCut>(key | modifiers);
  return 0;
}

std::string ShellShortCutToText(TShortCut shortCut) {
  const int key = shortCut & 0x1FFF;
  if (key == 0) return {};
  std::string text;
  if (shortCut & vcl::scShift) text += "Shift+";
  if (shortCut & vcl::scCtrl) text += "Ctrl+";
  if (shortCut & vcl::scAlt) text += "Alt+";
  return text + KeyName(key);
}

}  // namespace qelo::ct
