// Merging: one-file jobs joined into one job, whose output is their files
// end to end in the order given. The first of them stays with its id, its
// catalogue choice and its output settings; the others give it their file
// and leave the list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "work_group_class.h"

namespace qelo::app {

struct TMergeResult {
  // The merged job, or null when fewer than two one-file jobs were given.
  TWorkGroupClass* job = nullptr;
  // The jobs whose file went into it, now gone from the list, in order.
  std::vector<int32_t> mergedIds;
  // Some of them had another output format than the first: they are now
  // converted to the first's.
  bool formatsDiffered = false;
};

// Joins the jobs of `groupIds` (in list order) that hold exactly one file;
// other ids are passed over. The merged job gets a unique output name
// (MakeUniqueOutputName from its current one) and is to be converted again.
TMergeResult MergeJobs(TWorkGroupClassArray& jobs, const std::vector<int32_t>& groupIds);

// The "Output Format" cell of a merged job's header row: the format's name,
// and, when the files had different formats, that the first's is used.
std::string MergedFormatText(const std::string& formatName, bool formatsDiffered);

}  // namespace qelo::app
