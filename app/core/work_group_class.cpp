#include "work_group_class.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "vcl/sysutils.h"
#include "win/codepage.h"

namespace qelo::app {

namespace {

constexpr int kPathChars = QELO_PATH_CHARS;

// Whole seconds as 100-ns units; absurd durations saturate instead of
// overflowing.
int64_t SecondsToUnits(int64_t seconds) {
  int64_t units = 0;
  if (__builtin_mul_overflow(seconds, QELO_TIME_UNITS_PER_SECOND, &units))
    return seconds < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
  return units;
}

void TakeLongerDuration(SourceEntry& entry, int64_t durationSeconds) {
  const int64_t d = SecondsToUnits(durationSeconds);
  if (d > entry.sourceDuration) {
    entry.sourceDuration = d;
    entry.trimStart = 0;
    entry.trimEnd = d;
  }
}

void FillFromStream(SourceEntry& entry, const StreamInfo& stream, int32_t containerBitRate) {
  if (stream.type == STREAM_VIDEO) {
    entry.hasMediaInfo = 1;
    TakeLongerDuration(entry, stream.duration);
    entry.videoWidth = stream.displayWidth;
    entry.videoHeight = stream.displayHeight;
    // An unknown rate (denominator 0) stays 0 rather than infinite.
    entry.frameRate = stream.frameRateDen != 0
                          ? static_cast<double>(stream.frameRateNum) / stream.frameRateDen
                          : 0.0;
    entry.sourceBitRate = containerBitRate;
    entry.cropRect = RelativeRect{0.0, 0.0, 1.0, 1.0};
  } else if (stream.type == STREAM_AUDIO) {
    entry.hasMediaInfo = 1;
    TakeLongerDuration(entry, stream.duration);
    entry.audioSampleRate = stream.sampleRate;
    entry.audioChannels = stream.channels;
    entry.sourceAudioBitRate = stream.bitRate;
  }
}

std::string FileNameWithoutExtension(const std::string& path) {
  return vcl::ChangeFileExt(vcl::ExtractFileName(path), "");
}

std::string EntryPath(const SourceEntry& entry) {
  return win::Utf16ToUtf8(win::Utf16Field(entry.path, kPathChars));
}

}  // namespace

TWorkGroupClass::TWorkGroupClass(int32_t id) : groupId(id) {}

TWorkGroupClass::~TWorkGroupClass() { ClearEntries(); }

bool TWorkGroupClass::AddSourceEntry(const std::string& path, const MediaInfo* info) {
  if (!info || group_.sourceCount >= MAX_GROUP_SOURCES) return false;
  const std::u16string widePath = win::Utf8ToUtf16(path);
  if (widePath.size() >= static_cast<size_t>(kPathChars)) return false;
  auto entry = std::make_unique<SourceEntry>();
  win::CopyToUtf16Field(entry->path, kPathChars, widePath);
  // The record has room for four streams; a larger count is not trusted.
  const int streams = std::clamp(info->streamCount, 0, QELO_MAX_STREAM_INFOS);
  for (int i = 0; i < streams; ++i) {
    if (info->streams[i]) FillFromStream(*entry, *info->streams[i], info->bitRate);
  }
  group_.sources[group_.sourceCount++] = entry.release();
  return true;
}

void TWorkGroupClass::ClearEntries() {
  for (int i = 0; i < group_.sourceCount; ++i) {
    delete group_.sources[i];
    group_.sources[i] = nullptr;
  }
  group_.sourceCount = 0;
}

void TWorkGroupClass::RemoveEntry(int index) {
  if (index < 0 || index >= group_.sourceCount) return;
  delete group_.sources[index];
  std::move(group_.sources + index + 1, group_.sources + group_.sourceCount, group_.sources + index);
  group_.sources[--group_.sourceCount] = nullptr;
}

void TWorkGroupClass::SwapEntryWithNext(int index) {
  if (index < 0 || index >= group_.sourceCount - 1) return;
  std::swap(group_.sources[index], group_.sources[index + 1]);
}

bool TWorkGroupClass::AdoptEntries(TWorkGroupClass& other) {
  if (&other == this || group_.sourceCount + other.group_.sourceCount > MAX_GROUP_SOURCES) return false;
  for (int i = 0; i < other.group_.sourceCount; ++i) {
    group_.sources[group_.sourceCount++] = other.group_.sources[i];
    other.group_.sources[i] = nullptr;
  }
  other.group_.sourceCount = 0;
  return true;
}

void TWorkGroupClass::SetFormatSettings(const FormatSettings* record) {
  if (record) group_.format = *record;
}

void TWorkGroupClass::SetOutputName(const std::string& name) {
  win::CopyToUtf16Field(group_.format.outputPath, kPathChars, win::Utf8ToUtf16(name));
}

std::string TWorkGroupClass::GetOutputName() const {
  return win::Utf16ToUtf8(win::Utf16Field(group_.format.outputPath, kPathChars));
}

std::string TWorkGroupClass::JobCaption() const {
  if (group_.sourceCount == 0) return "Error";
  if (group_.sourceCount == 1) return vcl::ExtractFileName(EntryPath(*group_.sources[0]));
  return "Merge Workgroup";
}

std::string TWorkGroupClass::JobBaseName() const {
  if (group_.sourceCount == 0) return {};
  if (group_.sourceCount == 1) return FileNameWithoutExtension(EntryPath(*group_.sources[0]));
  return FileNameWithoutExtension(GetOutputName());
}

SourceEntry* TWorkGroupClass::LastEntry() const {
  return group_.sourceCount > 0 ? group_.sources[group_.sourceCount - 1] : nullptr;
}

SourceEntry* TWorkGroupClass::EntryAt(int index) const {
  return index >= 0 && index < group_.sourceCount ? group_.sources[index] : nullptr;
}

std::string TWorkGroupClass::EntryFileName(int index) const {
  const SourceEntry* entry = EntryAt(index);
  return entry ? vcl::ExtractFileName(EntryPath(*entry)) : std::string();
}

int64_t TWorkGroupClass::GetTotalDuration() const {
  int64_t total = 0;
  for (int i = 0; i < group_.sourceCount; ++i) {
    const SourceEntry& entry = *group_.sources[i];
    int64_t length = 0;
    if (__builtin_sub_overflow(entry.trimEnd, entry.trimStart, &length) ||
        __builtin_add_overflow(total, length, &total))
      return std::numeric_limits<int64_t>::max();
  }
  return total;
}

// ---- the list ----------------------------------------------------------------

int32_t TWorkGroupClassArray::NextGroupId() const {
  int32_t id = lastGroupId_;
  do {
    id = id % kMaxGroupId + 1;
  } while (JobById(id));
  return id;
}

TWorkGroupClass* TWorkGroupClassArray::AddJob() {
  if (Count() >= kMaxJobs) return nullptr;
  lastGroupId_ = NextGroupId();
  jobs_.push_back(std::make_unique<TWorkGroupClass>(lastGroupId_));
  return jobs_.back().get();
}

bool TWorkGroupClassArray::NameTakenByOtherJob(const std::string& name, int32_t groupId) const {
  return std::any_of(jobs_.begin(), jobs_.end(), [&](const auto& job) {
    return job->groupId != groupId && job->GetOutputName() == name;
  });
}

bool TWorkGroupClassArray::JobHasEntries(int32_t groupId) const {
  const TWorkGroupClass* job = JobById(groupId);
  return job && job->EntryCount() > 0;
}

void TWorkGroupClassArray::ClearJobs() { jobs_.clear(); }

void TWorkGroupClassArray::RemoveJobEntry(int32_t groupId, int index) {
  if (TWorkGroupClass* job = JobById(groupId)) job->RemoveEntry(index);
}

void TWorkGroupClassArray::RemoveJob(int32_t groupId) {
  const auto found = std::find_if(jobs_.begin(), jobs_.end(),
                                  [&](const auto& job) { return job->groupId == groupId; });
  if (found != jobs_.end()) jobs_.erase(found);
}

bool TWorkGroupClassArray::AllChecked() const {
  return std::all_of(jobs_.begin(), jobs_.end(), [](const auto& job) { return job->checked == 1; });
}

void TWorkGroupClassArray::SetAllChecked(bool value) {
  for (auto& job : jobs_) job->checked = value ? 1 : 0;
}

bool TWorkGroupClassArray::HasRunnable() const {
  return std::any_of(jobs_.begin(), jobs_.end(), [](const auto& job) { return job->Runnable(); });
}

SourceEntry* TWorkGroupClassArray::EntryOfJob(int32_t groupId, int index) const {
  const TWorkGroupClass* job = JobById(groupId);
  return job ? job->EntryAt(index) : nullptr;
}

TWorkGroupClass* TWorkGroupClassArray::JobById(int32_t groupId) const {
  if (groupId == -1) return nullptr;
  for (const auto& job : jobs_) {
    if (job->groupId == groupId) return job.get();
  }
  return nullptr;
}

TWorkGroupClass* TWorkGroupClassArray::JobAt(int index) const {
  return index >= 0 && index < Count() ? jobs_[static_cast<size_t>(index)].get() : nullptr;
}

TWorkGroupClass* TWorkGroupClassArray::FindRunnableByHandle(int32_t engineIndex) const {
  for (const auto& job : jobs_) {
    if (job->Runnable() && job->engineIndex == engineIndex) return job.get();
  }
  return nullptr;
}

WorkGroup* TWorkGroupClassArray::GetGroupData(int index) const {
  TWorkGroupClass* job = JobAt(index);
  return job ? job->GroupData() : nullptr;
}

}  // namespace qelo::app
