#include "vcl/strings.h"

#include "vcl/sysutils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fstream>
#include <iterator>
#include <numeric>

#include "vcl/form_file.h"
#include "win/codepage.h"

namespace qelo::vcl {
namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

// Holds one level of BeginUpdate for a scope. While an exception passes, a
// change handler's own failure must not end the program, so it is dropped.
class UpdateScope {
 public:
  explicit UpdateScope(TStrings& strings) : strings_(strings), exceptions_(std::uncaught_exceptions()) {
    strings_.BeginUpdate();
  }
  ~UpdateScope() noexcept(false) {
    if (std::uncaught_exceptions() == exceptions_) {
      strings_.EndUpdate();
      return;
    }
    try {
      strings_.EndUpdate();
    } catch (...) {
    }
  }
  UpdateScope(const UpdateScope&) = delete;
  UpdateScope& operator=(const UpdateScope&) = delete;

 private:
  TStrings& strings_;
  int exceptions_;
};

// Lines of a form file's "Strings = ( 'a' 'b' )".
void ReadStringsValue(TObject& self, const FormValue& value) {
  if (value.type != FormValue::Type::List) throw EReadError("Strings takes a list of strings");
  auto& strings = static_cast<TStrings&>(self);
  UpdateScope update(strings);
  strings.Clear();
  for (const FormValue& item : value.items) {
    if (item.type != FormValue::Type::String) throw EReadError("Strings takes a list of strings");
    strings.Add(item.text);
  }
}

std::string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string units;
  units.reserve(bytes.size() / 2 + 1);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    auto hi = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
    auto lo = static_cast<unsigned char>(bytes[bigEndian ? i + 1 : i]);
    units += static_cast<char16_t>((hi << 8) | lo);
  }
  if (bytes.size() % 2) units += u'\uFFFD';
  return win::Utf16ToUtf8(units);
}

std::string EncodeUtf16(std::string_view text, bool bigEndian) {
  std::string out;
  for (char16_t u : win::Utf8ToUtf16(text)) {
    char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

std::string Decode(std::string_view bytes, TEncoding& found) {
  if (bytes.substr(0, 3) == kUtf8Mark) {
    found = TEncoding::UTF8;
    return std::string(bytes.substr(3));
  }
  if (bytes.substr(0, 2) == "\xFF\xFE") {
    found = TEncoding::Unicode;
    return DecodeUtf16(bytes.substr(2), false);
  }
  if (bytes.substr(0, 2) == "\xFE\xFF") {
    found = TEncoding::BigEndianUnicode;
    return DecodeUtf16(bytes.substr(2), true);
  }
  found = TEncoding::Default;
  return std::string(bytes);
}

std::string Encode(const std::string& text, TEncoding encoding) {
  switch (encoding) {
    case TEncoding::UTF8: return kUtf8Mark + text;
    case TEncoding::Unicode: return "\xFF\xFE" + EncodeUtf16(text, false);
    case TEncoding::BigEndianUnicode: return "\xFE\xFF" + EncodeUtf16(text, true);
    case TEncoding::Default: break;
  }
  return text;
}

std::string SystemError() { return std::strerror(errno); }

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Writes beside the target and renames over it, so that a failed write never
// leaves a cut-off file in place of the old one.
void ReplaceFile(const std::string& path, const std::string& bytes) {
  std::string temp = path + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) throw EFCreateError("Cannot create file \"" + path + "\". " + SystemError());
  struct stat old {};
  mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  bool ok = WriteAll(fd, bytes) && ::fchmod(fd, mode) == 0;
  std::string error = ok ? "" : SystemError();
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = SystemError();
  }
  if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    error = SystemError();
  }
  if (!ok) {
    ::unlink(temp.c_str());
    throw EFCreateError("Cannot create file \"" + path + "\". " + error);
  }
}

}  // namespace

// ---- TStrings ----

const ClassInfo& TStrings::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TStrings>("TStrings", TPersistent::StaticClass()).Defined("Strings", ReadStringsValue).Done();
  return info;
}

void TStrings::IndexError(int index) {
  throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

void TStrings::Put(int index, const std::string& text) {
  TObject* object = GetObject(index);
  UpdateScope update(*this);
  Delete(index);
  InsertObject(index, text, object);
}

TObject* TStrings::GetObject(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return nullptr;
}

void TStrings::PutObject(int, TObject*) {}

void TStrings::InsertObject(int index, const std::string& text, TObject* object) {
  UpdateScope update(*this);
  Insert(index, text);
  PutObject(index, object);
}

int TStrings::Add(const std::string& text) {
  int index = Count();
  Insert(index, text);
  return index;
}

int TStrings::AddObject(const std::string& text, TObject* object) {
  UpdateScope update(*this);
  int index = Add(text);
  PutObject(index, object);
  return index;
}

void TStrings::AddStrings(const TStrings& strings) {
  UpdateScope update(*this);
  for (int i = 0; i < strings.Count(); ++i) AddObject(strings.Get(i), strings.GetObject(i));
}

void TStrings::Exchange(int index1, int index2) {
  UpdateScope update(*this);
  std::string text1 = Get(index1), text2 = Get(index2);
  TObject* object1 = GetObject(index1);
  TObject* object2 = GetObject(index2);
  Put(index1, text2);
  PutObject(index1, object2);
  Put(index2, text1);
  PutObject(index2, object1);
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  if (newIndex < 0 || newIndex >= Count()) IndexError(newIndex);  // checked before the line is taken out
  UpdateScope update(*this);
  std::string text = Get(curIndex);
  TObject* object = GetObject(curIndex);
  Delete(curIndex);
  InsertObject(newIndex, text, object);
}

int TStrings::IndexOf(const std::string& text) const {
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(Get(i), text) == 0) return i;
  return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
  for (int i = 0; i < Count(); ++i)
    if (GetObject(i) == object) return i;
  return -1;
}

bool TStrings::Equals(const TStrings& other) const {
  if (Count() != other.Count()) return false;
  for (int i = 0; i < Count(); ++i)
    if (Get(i) != other.Get(i)) return false;
  return true;
}

int TStrings::CompareStrings(const std::string& a, const std::string& b) const { return CompareText(a, b); }

std::string TStrings::Text() const {
  std::string out;
  for (int i = 0; i < Count(); ++i) out += Get(i) + lineBreak_;
  return out;
}

void TStrings::SetText(std::string_view text) {
  UpdateScope update(*this);
  Clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    Add(std::string(text.substr(start, end - start)));
    start = end + 1;
    if (end < text.size() && text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
}

void TStrings::LoadFromFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EFOpenError("Cannot open file \"" + path + "\". " + SystemError());
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw EFOpenError("Cannot read file \"" + path + "\"");
  LoadFromBytes(bytes);
}

void TStrings::LoadFromBytes(std::string_view bytes) {
  TEncoding found = TEncoding::Default;
  std::string text = Decode(bytes, found);
  SetText(text);
  encoding_ = found;
}

void TStrings::SaveToFile(const std::string& path) const { SaveToFile(path, encoding_); }

void TStrings::SaveToFile(const std::string& path, TEncoding encoding) const {
  ReplaceFile(path, Encode(Text(), encoding));
}

// The state change is announced while the count is 0, so that it reaches
// the change events.
void TStrings::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TStrings::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0) SetUpdateState(false);
}

void TStrings::Assign(const TPersistent* source) {
  const auto* strings = dynamic_cast<const TStrings*>(source);
  if (!strings) return TPersistent::Assign(source);
  if (strings == this) return;
  UpdateScope update(*this);
  Clear();
  AddStrings(*strings);
}

// ---- TStringList ----

const ClassInfo& TStringList::StaticClass() {
  static const ClassInfo info = ClassBuilder<TStringList>("TStringList", TStrings::StaticClass()).Done();
  return info;
}

void TStringList::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit) IndexError(index);
}

void TStringList::NotSortedCheck() const {
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
}

std::string TStringList::Get(int index) const {
  CheckIndex(index, Count());
  return items_[static_cast<size_t>(index)].text;
}

void TStringList::Put(int index, const std::string& text) {
  NotSortedCheck();
  CheckIndex(index, Count());
  Changing();
  items_[static_cast<size_t>(index)].text = text;
  Changed();
}

TObject* TStringList::GetObject(int index) const {
  CheckIndex(index, Count());
  return items_[static_cast<size_t>(index)].object;
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index, Count());
  Changing();
  items_[static_cast<size_t>(index)].object = object;
  Changed();
}

void TStringList::InsertItem(int index, const std::string& text, TObject* object) {
  Changing();
  items_.insert(items_.begin() + index, Item{text, object});
  Changed();
}

void TStringList::Insert(int index, const std::string& text) { InsertObject(index, text, nullptr); }

void TStringList::InsertObject(int index, const std::string& text, TObject* object) {
  NotSortedCheck();
  CheckIndex(index, Count() + 1);
  InsertItem(index, text, object);
}

int TStringList::Add(const std::string& text) { return AddObject(text, nullptr); }

// An ignored duplicate keeps the line already there, object and all.
int TStringList::AddObject(const std::string& text, TObject* object) {
  int index = Count();
  if (sorted_ && Find(text, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) throw EStringListError("String list does not allow duplicates");
  }
  InsertItem(index, text, object);
  return index;
}

void TStringList::Delete(int index) {
  CheckIndex(index, Count());
  Changing();
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  items_.clear();
  Changed();
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1, Count());
  CheckIndex(index2, Count());
  Changing();
  std::swap(items_[static_cast<size_t>(index1)], items_[static_cast<size_t>(index2)]);
  Changed();
}

void TStringList::Move(int curIndex, int newIndex) {
  NotSortedCheck();
  CheckIndex(curIndex, Count());
  CheckIndex(newIndex, Count());
  if (curIndex == newIndex) return;
  Changing();
  auto from = items_.begin() + curIndex, to = items_.begin() + newIndex;
  if (curIndex < newIndex)
    std::rotate(from, from + 1, to + 1);
  else
    std::rotate(to, from, from + 1);
  Changed();
}

int TStringList::IndexOf(const std::string& text) const {
  if (!sorted_) return TStrings::IndexOf(text);
  int index = 0;
  return Find(text, index) ? index : -1;
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
  if (caseSensitive_) return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
  return CompareText(a, b);
}

bool TStringList::Find(const std::string& text, int& index) const {
  auto it = std::lower_bound(items_.begin(), items_.end(), text,
                             [this](const Item& item, const std::string& t) { return CompareStrings(item.text, t) < 0; });
  index = static_cast<int>(it - items_.begin());
  return it != items_.end() && CompareStrings(it->text, text) == 0;
}

void TStringList::SetSorted(bool sorted) {
  if (sorted == sorted_) return;
  if (sorted) Sort();
  sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
  if (caseSensitive == caseSensitive_) return;
  caseSensitive_ = caseSensitive;
  if (sorted_) Sort();
}

void TStringList::Sort() {
  CustomSort([](TStringList& list, int a, int b) {
    return list.CompareStrings(list.items_[static_cast<size_t>(a)].text, list.items_[static_cast<size_t>(b)].text);
  });
}

// The comparison sees the list unchanged while the order is worked out; the
// new order is applied at the end.
void TStringList::CustomSort(const TStringListSortCompare& compare) {
  if (items_.size() < 2) return;
  std::vector<int> order(items_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
  Changing();
  std::vector<Item> sorted;
  sorted.reserve(items_.size());
  for (int i : order) sorted.push_back(std::move(items_[static_cast<size_t>(i)]));
  items_ = std::move(sorted);
  Changed();
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating)
    Changing();
  else
    Changed();
}

}  // namespace qelo::vcl
