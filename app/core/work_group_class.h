// The main window's conversion jobs: each TWorkGroupClass is one output file
// and owns the WorkGroup record the engine receives, with its sources and
// output settings, plus the job's state in the window. TWorkGroupClassArray
// holds up to 128 of them in list order and gives each a group id.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "qelo/convertor.h"

namespace qelo::app {

class TWorkGroupClass {
 public:
  // The WorkGroup is zeroed; checked, not done, not submitted.
  explicit TWorkGroupClass(int32_t groupId);
  ~TWorkGroupClass();
  TWorkGroupClass(const TWorkGroupClass&) = delete;
  TWorkGroupClass& operator=(const TWorkGroupClass&) = delete;

  // Appends a source probed into `info`: false without `info`, with 128
  // sources already, or for a path longer than the record's 259 characters
  // (a cut path would name another file). The media facts come from the
  // (at most four) stream records; the longest stream sets the duration and
  // the whole-file trim.
  bool AddSourceEntry(const std::string& path, const MediaInfo* info);
  void ClearEntries();
  // Indexes outside the entries are ignored.
  void RemoveEntry(int index);
  void SwapEntryWithNext(int index);
  // Moves every entry of `other` behind this job's own, in their order;
  // false, with nothing moved, when they would not all fit.
  bool AdoptEntries(TWorkGroupClass& other);

  // Copies a whole record (null: nothing).
  void SetFormatSettings(const FormatSettings* record);
  FormatSettings& GetFormatSettings() { return group_.format; }
  // Stored in the settings' outputPath, cut to 259 characters.
  void SetOutputName(const std::string& name);
  std::string GetOutputName() const;

  // "Error" with no entry, the source's file name with one, "Merge
  // Workgroup" with more.
  std::string JobCaption() const;
  // With several entries the output's file name, with one the source's, each
  // without extension; empty with none.
  std::string JobBaseName() const;
  SourceEntry* LastEntry() const;
  int EntryCount() const { return group_.sourceCount; }
  SourceEntry* EntryAt(int index) const;
  // The entry's file name with its extension; empty outside the entries.
  std::string EntryFileName(int index) const;
  // Sum of every entry's trimmed length, in 100-ns units.
  int64_t GetTotalDuration() const;

  // The record the engine copies in QeloCreateWorkGroup.
  WorkGroup* GroupData() { return &group_; }
  // Checked and not yet done.
  bool Runnable() const { return checked == 1 && done == 0; }

  const int32_t groupId;
  uint8_t done = 0;
  int32_t profileIndex = 0;
  int32_t formatIndex = 0;
  uint8_t checked = 1;
  int32_t engineIndex = -1;

 private:
  WorkGroup group_{};
};

class TWorkGroupClassArray {
 public:
  static constexpr int kMaxJobs = MAX_WORK_GROUPS;
  // Ids travel in 16 bits of a list row's data word.
  static constexpr int32_t kMaxGroupId = 0xFFFF;

  TWorkGroupClassArray() = default;
  TWorkGroupClassArray(const TWorkGroupClassArray&) = delete;
  TWorkGroupClassArray& operator=(const TWorkGroupClassArray&) = delete;

  // A new job with the next group id, or null with 128 jobs already. Ids run
  // 1, 2, 3, ... and go on after ClearJobs; after 65535 they start at 1
  // again, passing over ids still in the list.
  TWorkGroupClass* AddJob();
  // A job with another id has exactly this output name.
  bool NameTakenByOtherJob(const std::string& name, int32_t groupId) const;
  bool JobHasEntries(int32_t groupId) const;
  void ClearJobs();
  void RemoveJobEntry(int32_t groupId, int index);
  void RemoveJob(int32_t groupId);
  // True for an empty list.
  bool AllChecked() const;
  void SetAllChecked(bool value);
  bool HasRunnable() const;

  int Count() const { return static_cast<int>(jobs_.size()); }
  int32_t LastGroupId() const { return lastGroupId_; }
  // Lookups give null for ids and positions not in the list.
  SourceEntry* EntryOfJob(int32_t groupId, int index) const;
  TWorkGroupClass* JobById(int32_t groupId) const;
  TWorkGroupClass* JobAt(int index) const;
  TWorkGroupClass* FindRunnableByHandle(int32_t engineIndex) const;
  WorkGroup* GetGroupData(int index) const;

 private:
  int32_t NextGroupId() const;

  std::vector<std::unique_ptr<TWorkGroupClass>> jobs_;
  int32_t lastGroupId_ = 0;
};

}  // namespace qelo::app
