// Output file names of the jobs: the extension of each file format, and a
// name in the output folder that no file and no other job has yet.
#pragma once

#include <cstdint>
#include <string>

#include "work_group_class.h"

namespace qelo::app {

// ".mp4" for FORMAT_MP4 and so on; empty for ids outside 0..25. The
// program's own table: id 4 (DVD) gives ".vob".
std::string OutputFileExtension(int32_t formatId);

// Whether anything lies at the path now (a file, a folder, a link, even a
// dangling one).
bool OutputNameTakenOnDisk(const std::string& name);

// The candidate when it is free; otherwise folder of the candidate + base +
// "(n)" + extension for the first n = 1, 2, ... that is free. A name is taken
// by anything on disk (file, folder, link) and by the output of a job other
// than `groupId`. Names are made to fit the settings record's 259
// characters before they are checked, by shortening the file name's stem;
// empty when not even a one-character stem fits in the folder.
std::string MakeUniqueOutputName(const TWorkGroupClassArray& jobs, const std::string& candidate,
                                 const std::string& base, int32_t groupId,
                                 const std::string& extension);

}  // namespace qelo::app
