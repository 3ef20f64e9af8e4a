// Shortcut texts.
#include <cctype>
#include <utility>

#include "vcl/graphics/menus.h"
#include "vcl/typeinfo.h"
#include "win/controls/menus.h"
#include "win/window/window.h"

namespace qelo::vcl {
namespace {

constexpr std::pair<uint8_t, const char*> kKeyNames[] = {
    {win::VK_BACK, "BkSp"},   {win::VK_TAB, "Tab"},    {win::VK_RETURN, "Enter"},
    {win::VK_ESCAPE, "Esc"},  {win::VK_SPACE, "Space"}, {win::VK_PRIOR, "PgUp"},
    {win::VK_NEXT, "PgDn"},   {win::VK_END, "End"},    {win::VK_HOME, "Home"},
    {win::VK_LEFT, "Left"},   {win::VK_UP, "Up"},      {win::VK_RIGHT, "Right"},
    {win::VK_DOWN, "Down"},   {win::VK_INSERT, "Ins"}, {win::VK_DELETE, "Del"},
};

constexpr std::pair<TShortCut, const char*> kModifierNames[] = {
    {scShift, "Shift+"}, {scCtrl, "Ctrl+"}, {scAlt, "Alt+"}};

constexpr int kFunctionKeys = 12;

std::string KeyName(uint8_t key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
  if (key >= win::VK_F1 && key < win::VK_F1 + kFunctionKeys) return "F" + std::to_string(key - win::VK_F1 + 1);
  for (const auto& [code, name] : kKeyNames)
    if (code == key) return name;
  return "";
}

uint8_t KeyOfName(std::string_view name) {
  if (name.size() == 1) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<uint8_t>(c);
  }
  for (int f = 1; f <= kFunctionKeys; ++f)
    if (SameText(name, "F" + std::to_string(f))) return static_cast<uint8_t>(win::VK_F1 + f - 1);
  for (const auto& [code, keyName] : kKeyNames)
    if (SameText(name, keyName)) return code;
  return 0;
}

}  // namespace

std::string ShortCutToText(TShortCut shortCut) {
  const std::string key = KeyName(static_cast<uint8_t>(shortCut & 0xFF));
  if (key.empty()) return "";
  std::string text;
  for (const auto& [bit, name] : kModifierNames)
    if (shortCut & bit) text += name;
  return text + key;
}

TShortCut TextToShortCut(std::string_view text) {
  TShortCut modifiers = 0;
  for (bool found = true; found;) {
    found = false;
    for (const auto& [bit, name] : kModifierNames) {
      const std::string_view prefix(name);
      if (text.size() > prefix.size() && SameText(text.substr(0, prefix.size()), prefix)) {
        modifiers |= bit;
        text.remove_prefix(prefix.size());
        found = true;
      }
    }
  }
  const uint8_t key = KeyOfName(text);
  return key ? ShortCut(key, modifiers) : scNone;
}

char AcceleratorOf(std::string_view caption) { return win::MenuAccelerator(caption); }

}  // namespace qelo::vcl
