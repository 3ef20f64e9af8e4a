// Lists of strings with an object per line: TStrings, the abstract list that
// controls expose (Items, Lines), and TStringList, the list that holds its
// lines itself, with sorting, duplicates handling and change events.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "vcl/classes.h"

namespace qelo::vcl {

// Encodings of text files. Default is the system's 8-bit code page (UTF-8
// here) without a byte-order mark; the others are written with their mark.
enum class TEncoding { Default, UTF8, Unicode, BigEndianUnicode };

class TStrings : public TPersistent {
  QELO_VCL_CLASS()
 public:
  virtual int Count() const = 0;
  virtual std::string Get(int index) const = 0;
  virtual void Put(int index, const std::string& text);
  virtual TObject* GetObject(int index) const;
  virtual void PutObject(int index, TObject* object);
  virtual void Insert(int index, const std::string& text) = 0;
  virtual void InsertObject(int index, const std::string& text, TObject* object);
  virtual int Add(const std::string& text);
  virtual int AddObject(const std::string& text, TObject* object);
  void AddStrings(const TStrings& strings);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual void Exchange(int index1, int index2);
  virtual void Move(int curIndex, int newIndex);
  virtual int IndexOf(const std::string& text) const;
  int IndexOfObject(const TObject* object) const;
  bool Equals(const TStrings& other) const;

  // Every line followed by LineBreak; setting splits at CR LF, CR or LF, and
  // a break at the very end adds no empty line.
  std::string Text() const;
  void SetText(std::string_view text);
  const std::string& LineBreak() const { return lineBreak_; }
  void SetLineBreak(const std::string& lineBreak) { lineBreak_ = lineBreak; }

  // A byte-order mark selects UTF-8, UTF-16 LE or UTF-16 BE; without one the
  // file is read in the default code page. The list stays as it was when the
  // file cannot be read (EFOpenError).
  void LoadFromFile(const std::string& path);
  // The same for a file's bytes read by the caller.
  void LoadFromBytes(std::string_view bytes);
  // Writes in Encoding(), the encoding of the last file loaded (Default at
  // first), or in the one given. The file is replaced only once the whole new
  // text is written; on failure (EFCreateError) the old file stays.
  void SaveToFile(const std::string& path) const;
  void SaveToFile(const std::string& path, TEncoding encoding) const;
  TEncoding Encoding() const { return encoding_; }

  // Nested; change notifications wait for the outermost EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  void Assign(const TPersistent* source) override;

 protected:
  virtual void SetUpdateState(bool /*updating*/) {}
  // Case-insensitive unless a descendant says otherwise; <0, 0 or >0.
  virtual int CompareStrings(const std::string& a, const std::string& b) const;
  [[noreturn]] static void IndexError(int index);

 private:
  std::string lineBreak_ = "\r\n";
  TEncoding encoding_ = TEncoding::Default;
  int updateCount_ = 0;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
  QELO_VCL_CLASS()
 public:
  using TStringListSortCompare = std::function<int(TStringList& list, int index1, int index2)>;

  int Count() const override { return static_cast<int>(items_.size()); }
  std::string Get(int index) const override;
  void Put(int index, const std::string& text) override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  void Insert(int index, const std::string& text) override;
  void InsertObject(int index, const std::string& text, TObject* object) override;
  int Add(const std::string& text) override;
  int AddObject(const std::string& text, TObject* object) override;
  void Delete(int index) override;
  void Clear() override;
  void Exchange(int index1, int index2) override;
  void Move(int curIndex, int newIndex) override;
  int IndexOf(const std::string& text) const override;

  // Sorted lists keep their order on every Add; Insert, Put and Move on them
  // are errors that change nothing. Adding an existing line to a sorted list follows Duplicates.
  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool caseSensitive);

  // Binary search of a sorted list: true when found; `index` is where the
  // line is or would go.
  bool Find(const std::string& text, int& index) const;
  virtual void Sort();
  void CustomSort(const TStringListSortCompare& compare);

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  virtual void Changed();
  virtual void Changing();
  void SetUpdateState(bool updating) override;
  int CompareStrings(const std::string& a, const std::string& b) const override;

 private:
  struct Item {
    std::string text;
    TObject* object;
  };
  void CheckIndex(int index, int limit) const;
  void InsertItem(int index, const std::string& text, TObject* object);
  void NotSortedCheck() const;

  std::vector<Item> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  TDuplicates duplicates_ = dupIgnore;
};

}  // namespace qelo::vcl
