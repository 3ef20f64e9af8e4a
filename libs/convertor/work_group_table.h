// The engine's one table of work groups, its run and its callback, made on
// the first export call and freed by QeloStopWorkGroup. The exports are
// called from one thread (the program's GUI thread), so it takes no lock.
#pragma once

#include <memory>
#include <vector>

#include "video_convertor.h"
#include "work_group.h"

namespace qelo::convertor {

class WorkGroupTable {
 public:
  // -1 when the table is full; else the new group's index.
  int Create(const WorkGroup* group);
  // Destroys the run (stopping it), then frees every group.
  void Clear();
  // Destroys a previous run and starts one over the groups as they stand.
  QeloThreadHandle Run(DecoderApi& decoder = CodecBridgeDecoder());
  void Register(ConvertCallback callback, void* userData);
  ~WorkGroupTable();

 private:
  std::vector<std::unique_ptr<OwnedGroup>> groups_;
  std::unique_ptr<CVideoConvertor> run_;
  ConvertCallback callback_ = nullptr;
  void* userData_ = nullptr;
};

// The table, made empty when there is none.
WorkGroupTable& Table();
// Frees the table; the next Table() makes a new one with no callback.
void FreeTable();

}  // namespace qelo::convertor
