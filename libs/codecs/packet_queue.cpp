#include "packet_queue.h"

#include "codec_library.h"

namespace qelo::codecs {
namespace {

bool IsKey(const QueuedPacket& e) { return e.packet && (e.packet->flags & AV_PKT_FLAG_KEY); }

}  // namespace

bool PacketQueue::Insert(QueuedPacket entry, bool atFront, const char* fullMessage) {
  // A flush marker always goes in: dropping it would leave the decoder
  // unflushed across a seek.
  if (entry.packet && Full()) {
    gLog.Write("%s", fullMessage);
    return false;
  }
  if (entry.packet) byteSize_ += entry.packet->size;
  if (atFront)
    entries_.push_front(std::move(entry));
  else
    entries_.push_back(std::move(entry));
  return true;
}

bool PacketQueue::Append(const AVPacket* packet) {
  PacketPtr copy(av_packet_alloc());
  if (!copy || av_packet_ref(copy.get(), packet) < 0) {
    gLog.Write("failed to dup packet...");
    return false;
  }
  return Insert({std::move(copy), {}}, false, "queue at max size....");
}

bool PacketQueue::PutFlushMarkerFirst(SeekMark mark) {
  return Insert({nullptr, mark}, true, "queue at max size(put first).");
}

void PacketQueue::PopFront() {
  if (entries_.front().packet) byteSize_ -= entries_.front().packet->size;
  entries_.pop_front();
}

QueuedPacket PacketQueue::Take() {
  QueuedPacket entry = std::move(entries_.front());
  PopFront();
  return entry;
}

void PacketQueue::Empty() {
  entries_.clear();
  byteSize_ = 0;
}

bool PacketQueue::FindKeyAt(int64_t time, size_t* index) const {
  bool found = false;
  for (size_t i = 0; i < entries_.size(); ++i) {
    const AVPacket* p = entries_[i].packet.get();
    if (!p) continue;
    if (p->dts != AV_NOPTS_VALUE && p->dts > time) break;
    const int64_t shown = p->pts != AV_NOPTS_VALUE ? p->pts : p->dts;
    if ((p->flags & AV_PKT_FLAG_KEY) && shown != AV_NOPTS_VALUE && shown <= time)
      *index = i, found = true;
  }
  return found;
}

bool PacketQueue::HasKeyAt(int64_t time) const {
  size_t index = 0;
  return FindKeyAt(time, &index);
}

bool PacketQueue::DropBeforeKeyAt(int64_t time) {
  size_t keep = 0;
  if (!FindKeyAt(time, &keep)) return false;
  for (size_t i = 0; i < keep; ++i) PopFront();
  return true;
}

void PacketQueue::DropBeforeFirstKey() {
  while (!entries_.empty() && !IsKey(entries_.front())) PopFront();
}

void PacketQueue::DropOldestGroup() {
  size_t next = 1;
  while (next < entries_.size() && !IsKey(entries_[next])) ++next;
  if (next == entries_.size()) next = 1;
  for (size_t i = 0; i < next && !entries_.empty(); ++i) PopFront();
}

bool PacketQueue::DtsRange(int64_t* first, int64_t* last) const {
  if (entries_.empty() || !entries_.front().packet || !entries_.back().packet) return false;
  *first = entries_.front().packet->dts;
  *last = entries_.back().packet->dts;
  return *first != AV_NOPTS_VALUE && *last != AV_NOPTS_VALUE;
}

bool PacketQueue::FirstStamp(int64_t* stamp) const {
  for (const QueuedPacket& e : entries_) {
    if (!e.packet) continue;
    *stamp = e.packet->pts != AV_NOPTS_VALUE ? e.packet->pts : e.packet->dts;
    if (*stamp != AV_NOPTS_VALUE) return true;
  }
  return false;
}

}  // namespace qelo::codecs
