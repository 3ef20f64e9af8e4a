// The two item-id list containers of the shell utilities: a view of one
// absolute list that hands out its ancestors and items, and an ordered list
// of (list, user data) entries that can be kept sorted by a folder's order.
#pragma once

#include <string>
#include <vector>

#include "shell/idlist.h"
#include "shell/malloc.h"
#include "shell/shell_folder.h"
#include "vcl/classes.h"
#include "vcl/strings.h"

namespace qelo::ct {

using vcl::TDuplicates;

// A view of a list it does not own; it owns the last list it returned,
// which the next call (or destruction) frees. Keep a result by copying it.
class TCtIdListArray : public vcl::TObject {
 public:
  explicit TCtIdListArray(shell::LPCITEMIDLIST list) : list_(list) {}
  ~TCtIdListArray() override = default;

  int Count() const { return list_ ? shell::ILGetCount(list_) : 0; }
  // The first Count - n items; null when n is above Count or there is no list.
  shell::LPCITEMIDLIST Ancestor(int n);
  // A one-item list of item i; null outside 0 to Count - 1 (an empty list
  // gives an empty list for 0) or without a list.
  shell::LPCITEMIDLIST Item(int i);

 private:
  shell::LPCITEMIDLIST Keep(shell::LPITEMIDLIST list);

  shell::LPCITEMIDLIST list_;
  shell::IdListPtr last_;
};

class TCtPidlList : public vcl::TObject {
 public:
  TCtPidlList() = default;
  ~TCtPidlList() override;

  int Count() const { return static_cast<int>(entries_.size()); }
  int Capacity() const { return static_cast<int>(entries_.capacity()); }
  void SetCapacity(int capacity);
  shell::LPITEMIDLIST Pidls(int i) const;
  void* Objects(int i) const;

  // Takes the list as it is (no copy). Sorted: with an equal entry
  // dupIgnore returns its index, dupError raises "TCtPidlList: Duplicate
  // PIDL", dupAccept inserts beside it.
  virtual int Add(shell::LPITEMIDLIST list);
  virtual int AddObject(shell::LPITEMIDLIST list, void* data);
  // Frees the entry's list through Malloc when one is set.
  void Delete(int i);
  void Clear();
  // Binary search: true when an equal entry exists; `index` is where it is
  // (the first of equals) or where the list would go.
  bool Find(shell::LPCITEMIDLIST list, int* index) const;
  int IndexOf(shell::LPCITEMIDLIST list) const;
  void Sort();

  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
  // Orders entries by the folder's CompareIDs; without one, by their bytes.
  shell::IShellFolder* ShellFolder() const { return folder_.Get(); }
  void SetShellFolder(shell::IShellFolder* folder) { folder_ = shell::ComPtr<shell::IShellFolder>::Share(folder); }
  shell::IMalloc* Malloc() const { return malloc_; }
  void SetMalloc(shell::IMalloc* allocator) { malloc_ = allocator; }

 private:
  struct Entry {
    shell::LPITEMIDLIST list;
    void* data;
  };
  int Compare(shell::LPCITEMIDLIST a, shell::LPCITEMIDLIST b) const;
  void CheckIndex(int i) const;

  std::vector<Entry> entries_;
  shell::ComPtr<shell::IShellFolder> folder_;
  shell::IMalloc* malloc_ = nullptr;
  bool sorted_ = false;
  TDuplicates duplicates_ = vcl::dupError;
};

// Takes every item `enumerator` gives, one call at a time, into `items`
// (room made `growStep` items at a time when not 0); returns the answer that
// ended the run (S_FALSE at the end, an error otherwise).
shell::HRESULT CollectItems(shell::IEnumIDList& enumerator, std::vector<shell::IdListPtr>& items,
                            std::size_t growStep = 0);

}  // namespace qelo::ct
