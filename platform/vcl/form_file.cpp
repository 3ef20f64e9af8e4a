#include "vcl/form_file.h"

#include <cctype>
#include <charconv>
#include <optional>

#include "vcl/typeinfo.h"
#include "win/codepage.h"
#include "vcl/types.h"

namespace qelo::vcl {

const char* FormValue::TypeName() const {
  switch (type) {
    case Type::Integer: return "a number";
    case Type::String: return "a string";
    case Type::Identifier: return "an identifier";
    case Type::Set: return "a set";
    case Type::List: return "a list";
    case Type::Binary: return "binary data";
    case Type::Collection: return "a collection";
  }
  return "a value";
}

namespace {

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Deeper nesting than any form has is refused before it can exhaust the stack.
constexpr int kMaxDepth = 64;

class Parser {
 public:
  Parser(std::string_view text, std::string_view fileName) : text_(text), file_(fileName) {}

  FormObject ParseRoot() {
    SkipBlank();
    FormObject root = ParseObject();
    SkipBlank();
    if (pos_ < text_.size()) Fail("text after the final end");
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& message) const {
    throw EReadError(std::string(file_) + "(" + std::to_string(line_) + "): " + message);
  }

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

  void SkipBlank() {
    while (!AtEnd()) {
      char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (std::isspace(static_cast<unsigned char>(c))) {
        ++pos_;
      } else if (text_.substr(pos_, 2) == "//") {
        while (!AtEnd() && text_[pos_] != '\n') ++pos_;
      } else {
        break;
      }
    }
  }

  std::string Ident(bool dotted) {
    SkipBlank();
    if (!IsIdentStart(Peek())) Fail("identifier expected");
    size_t start = pos_;
    while (!AtEnd() && (IsIdentChar(text_[pos_]) || (dotted && text_[pos_] == '.' && pos_ + 1 < text_.size() &&
                                                    IsIdentStart(text_[pos_ + 1]))))
      ++pos_;
    return std::string(text_.substr(start, pos_ - start));
  }

  void Expect(char c) {
    SkipBlank();
    if (Peek() != c) Fail(std::string("'") + c + "' expected");
    ++pos_;
  }

  bool NextWordIs(std::string_view word) {
    SkipBlank();
    size_t end = pos_;
    while (end < text_.size() && IsIdentChar(text_[end])) ++end;
    return SameText(text_.substr(pos_, end - pos_), word);
  }

  // Counts one level of nesting for as long as it lives.
  class Level {
   public:
    explicit Level(Parser& parser) : parser_(parser) {
      if (++parser_.depth_ > kMaxDepth) parser_.Fail("nested too deeply");
    }
    ~Level() { --parser_.depth_; }
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

   private:
    Parser& parser_;
  };

  FormObject ParseObject() {
    Level level(*this);
    if (!NextWordIs("object")) Fail("'object' expected");
    FormObject obj;
    obj.line = line_;
    Ident(false);
    obj.name = Ident(false);
    Expect(':');
    obj.className = Ident(false);
    for (;;) {
      SkipBlank();
      if (AtEnd()) Fail("'end' expected for object " + obj.name);
      if (NextWordIs("end")) {
        Ident(false);
        return obj;
      }
      if (NextWordIs("object")) {
        obj.children.push_back(ParseObject());
        continue;
      }
      obj.properties.push_back(ParseProperty());
    }
  }

  FormValue ParseValue() {
    Level level(*this);
    SkipBlank();
    FormValue v;
    v.line = line_;
    char c = Peek();
    if (c == '\'' || c == '#') {
      v.type = FormValue::Type::String;
      v.text = ParseString();
    } else if (c == '-' || c == '$' || std::isdigit(static_cast<unsigned char>(c))) {
      v.type = FormValue::Type::Integer;
      v.integer = ParseInteger();
    } else if (IsIdentStart(c)) {
      v.type = FormValue::Type::Identifier;
      v.text = Ident(true);
    } else if (c == '[') {
      v.type = FormValue::Type::Set;
      v.members = ParseSet();
    } else if (c == '(') {
      v.type = FormValue::Type::List;
      ++pos_;
      for (SkipBlank(); Peek() != ')'; SkipBlank()) {
        if (AtEnd()) Fail("')' expected");
        v.items.push_back(ParseValue());
      }
      ++pos_;
    } else if (c == '{') {
      v.type = FormValue::Type::Binary;
      v.bytes = ParseBinary();
    } else if (c == '<') {
      v.type = FormValue::Type::Collection;
      v.collection = ParseCollection();
    } else {
      Fail(AtEnd() ? "value expected" : std::string("unexpected character '") + c + "'");
    }
    return v;
  }

  // < item Name = value ... end item ... end >
  std::vector<FormCollectionItem> ParseCollection() {
    ++pos_;
    std::vector<FormCollectionItem> items;
    for (SkipBlank(); Peek() != '>'; SkipBlank()) {
      if (AtEnd()) Fail("'>' expected");
      if (!NextWordIs("item")) Fail("'item' expected");
      FormCollectionItem item;
      item.line = line_;
      Ident(false);
      for (SkipBlank(); !NextWordIs("end"); SkipBlank()) {
        if (AtEnd()) Fail("'end' expected for an item");
        item.properties.push_back(ParseProperty());
      }
      Ident(false);
      items.push_back(std::move(item));
    }
    ++pos_;
    return items;
  }

  FormProperty ParseProperty() {
    FormProperty prop;
    prop.line = line_;
    prop.name = Ident(true);
    Expect('=');
    prop.value = ParseValue();
    return prop;
  }

  // Pieces 'quoted' and #code follow each other directly; '+' joins pieces
  // across lines.
  std::string ParseString() {
    std::string out;
    for (;;) {
      char c = Peek();
      if (c == '\'') {
        QuotedPiece(out);
      } else if (c == '#') {
        ++pos_;
        int64_t code = ParseInteger();
        if (code < 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) Fail("invalid character code");
        win::AppendUtf8(out, static_cast<char32_t>(code));
      } else {
        size_t save = pos_;
        int saveLine = line_;
        SkipBlank();
        if (Peek() == '+') {
          ++pos_;
          SkipBlank();
          if (Peek() != '\'' && Peek() != '#') Fail("string expected after '+'");
          continue;
        }
        pos_ = save;
        line_ = saveLine;
        return out;
      }
    }
  }

  void QuotedPiece(std::string& out) {
    ++pos_;
    for (;;) {
      if (AtEnd() || text_[pos_] == '\n' || text_[pos_] == '\r') Fail("unterminated string");
      char c = text_[pos_++];
      if (c != '\'') {
        out += c;
      } else if (Peek() == '\'') {
        out += '\'';
        ++pos_;
      } else {
        return;
      }
    }
  }

  int64_t ParseInteger() {
    bool negative = Peek() == '-';
    if (negative) ++pos_;
    bool hex = Peek() == '$';
    if (hex) ++pos_;
    size_t start = pos_;
    while (!AtEnd() && (hex ? HexDigit(text_[pos_]) >= 0 : std::isdigit(static_cast<unsigned char>(text_[pos_]))))
      ++pos_;
    uint64_t value = 0;
    std::from_chars_result result = std::from_chars(text_.data() + start, text_.data() + pos_, value, hex ? 16 : 10);
    if (start == pos_ || result.ec != std::errc() || value > uint64_t{INT64_MAX}) Fail("invalid number");
    if (!AtEnd() && (IsIdentChar(text_[pos_]) || text_[pos_] == '.')) Fail("invalid number");
    int64_t signedValue = static_cast<int64_t>(value);
    return negative ? -signedValue : signedValue;
  }

  std::vector<std::string> ParseSet() {
    ++pos_;
    std::vector<std::string> members;
    SkipBlank();
    if (Peek() == ']') {
      ++pos_;
      return members;
    }
    for (;;) {
      members.push_back(Ident(false));
      SkipBlank();
      if (Peek() == ']') {
        ++pos_;
        return members;
      }
      Expect(',');
    }
  }

  std::vector<uint8_t> ParseBinary() {
    ++pos_;
    std::vector<uint8_t> bytes;
    int pending = -1;
    for (SkipBlank(); Peek() != '}'; SkipBlank()) {
      if (AtEnd()) Fail("'}' expected");
      int d = HexDigit(text_[pos_++]);
      if (d < 0) Fail("invalid binary data");
      if (pending < 0) {
        pending = d;
      } else {
        bytes.push_back(static_cast<uint8_t>(pending * 16 + d));
        pending = -1;
      }
    }
    if (pending >= 0) Fail("binary data has an odd number of digits");
    ++pos_;
    return bytes;
  }

  std::string_view text_;
  std::string_view file_;
  size_t pos_ = 0;
  int line_ = 1;
  int depth_ = 0;
};

}  // namespace

FormObject ParseForm(std::string_view text, std::string_view fileName) {
  return Parser(text, fileName).ParseRoot();
}

bool FormBooleanValue(const FormValue& value) {
  if (value.type == FormValue::Type::Identifier) {
    if (SameText(value.text, "True")) return true;
    if (SameText(value.text, "False")) return false;
  }
  const std::string shown =
      value.type == FormValue::Type::Identifier ? value.text : std::string("(") + value.TypeName() + ")";
  throw EPropertyError("Invalid property value " + shown + ": True or False expected");
}

TColor FormColorValue(const FormValue& value) {
  if (value.type == FormValue::Type::Integer) return static_cast<TColor>(value.integer);
  if (value.type == FormValue::Type::Identifier)
    if (std::optional<TColor> named = IdentToColor(value.text)) return *named;
  const std::string shown =
      value.type == FormValue::Type::Identifier ? value.text : std::string("(") + value.TypeName() + ")";
  throw EPropertyError("Invalid property value " + shown + ": a colour expected");
}

}  // namespace qelo::vcl
