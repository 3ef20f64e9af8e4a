#include "work_group_table.h"

namespace qelo::convertor {

int WorkGroupTable::Create(const WorkGroup* group) {
  if (groups_.size() >= MAX_WORK_GROUPS) return -1;
  groups_.push_back(CopyWorkGroup(group));
  return int(groups_.size()) - 1;
}

void WorkGroupTable::Clear() {
  run_.reset();
  groups_.clear();
}

QeloThreadHandle WorkGroupTable::Run(DecoderApi& decoder) {
  run_.reset();
  std::vector<const WorkGroup*> groups;
  for (const auto& owned : groups_) groups.push_back(&owned->group);
  run_ = std::make_unique<CVideoConvertor>(std::move(groups), callback_, userData_, decoder, EngineBandPool());
  return run_->Start();
}

void WorkGroupTable::Register(ConvertCallback callback, void* userData) {
  callback_ = callback;
  userData_ = userData;
}

WorkGroupTable::~WorkGroupTable() { Clear(); }

namespace {
std::unique_ptr<WorkGroupTable>& TableSlot() {
  static std::unique_ptr<WorkGroupTable> table;
  return table;
}
}  // namespace

WorkGroupTable& Table() {
  auto& table = TableSlot();
  if (!table) table = std::make_unique<WorkGroupTable>();
  return *table;
}

void FreeTable() { TableSlot().reset(); }

}  // namespace qelo::convertor
