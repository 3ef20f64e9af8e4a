// The text form file: a tree of objects with their properties.
//
//   object frmMain: TfrmMain
//     Caption = 'Clip' + 'shift'#13#10     strings in quotes, '' for a quote,
//     Width = 640                          #n for a character, + to join
//     Color = clBtnFace                    identifiers
//     Anchors = [akLeft, akTop]            sets
//     Items.Strings = ('one' 'two')        lists
//     Data = {0A0B0C}                      binary data in hex
//     Columns = <                          collections: an item ... end
//       item                               block per item, holding the
//         Width = 40                       item's properties
//       end>
//     object pnlTop: TPanel                nested objects
//     end
//   end
//
// Numbers are decimal or $hex, optionally negative. `//` starts a comment.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vcl/colors.h"

namespace qelo::vcl {

struct FormCollectionItem;

struct FormValue {
  enum class Type { Integer, String, Identifier, Set, List, Binary, Collection };
  Type type = Type::Integer;
  int line = 0;
  int64_t integer = 0;
  std::string text;                  // String and Identifier
  std::vector<std::string> members;  // Set
  std::vector<FormValue> items;      // List
  std::vector<uint8_t> bytes;        // Binary
  std::vector<FormCollectionItem> collection;  // Collection

  const char* TypeName() const;
};

struct FormProperty {
  std::string name;  // may be a path: "Font.Color"
  FormValue value;
  int line = 0;
};

struct FormCollectionItem {
  int line = 0;
  std::vector<FormProperty> properties;
};

struct FormObject {
  std::string name;
  std::string className;
  int line = 0;
  std::vector<FormProperty> properties;
  std::vector<FormObject> children;
};

// Parses a whole form file; EReadError "file(line): message" on bad text.
FormObject ParseForm(std::string_view text, std::string_view fileName);

// A Boolean value (True or False), as obsolete properties that a class
// reads itself carry; EPropertyError for any other value.
bool FormBooleanValue(const FormValue& value);
// A colour value (a colour name or a number), likewise; EPropertyError
// for any other value.
TColor FormColorValue(const FormValue& value);

}  // namespace qelo::vcl
