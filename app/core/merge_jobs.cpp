#include "merge_jobs.h"

#include "log_bridge.h"
#include "output_names.h"

namespace qelo::app {

namespace {

bool SameFormat(TWorkGroupClass& a, TWorkGroupClass& b) {
  return a.profileIndex == b.profileIndex && a.formatIndex == b.formatIndex &&
         a.GetFormatSettings().formatId == b.GetFormatSettings().formatId;
}

}  // namespace

TMergeResult MergeJobs(TWorkGroupClassArray& jobs, const std::vector<int32_t>& groupIds) {
  std::vector<TWorkGroupClass*> parts;
  for (int32_t id : groupIds) {
    TWorkGroupClass* job = jobs.JobById(id);
    bool repeated = false;
    for (TWorkGroupClass* part : parts) repeated = repeated || part == job;
    if (job && job->EntryCount() == 1 && !repeated) parts.push_back(job);
  }
  TMergeResult result;
  if (parts.size() < 2) return result;
  TWorkGroupClass& target = *parts.front();
  for (size_t i = 1; i < parts.size(); ++i) {
    TWorkGroupClass& part = *parts[i];
    // A full job (128 files) takes no more; the rest stay as they were.
    if (!target.AdoptEntries(part)) break;
    result.formatsDiffered = result.formatsDiffered || !SameFormat(target, part);
    result.mergedIds.push_back(part.groupId);
    jobs.RemoveJob(part.groupId);
  }
  if (result.mergedIds.empty()) return result;
  const std::string ext = OutputFileExtension(target.GetFormatSettings().formatId);
  const std::string name =
      MakeUniqueOutputName(jobs, target.GetOutputName(), target.JobBaseName(), target.groupId, ext);
  if (!name.empty()) target.SetOutputName(name);
  target.done = 0;
  target.engineIndex = -1;
  if (result.formatsDiffered)
    WriteLog("The merged files have different output formats; all are converted to the first's.", kLogWarning);
  result.job = &target;
  return result;
}

std::string MergedFormatText(const std::string& formatName, bool formatsDiffered) {
  return formatsDiffered ? formatName + " (first file's format)" : formatName;
}

}  // namespace qelo::app
