// A bounded queue of demultiplexed packets of one stream. The flush marker,
// a packet without data of its own, tells the frame reader to flush its
// decoder: it marks a break left by a seek.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>

extern "C" {
#include <libavcodec/packet.h>
}

namespace qelo::codecs {

struct PacketDeleter {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;

// A queued entry: a packet, or the flush marker when `packet` is null. The
// marker carries the clock, in seconds, that reading resumes from.
struct QueuedPacket {
  PacketPtr packet;
  double seekClock = 0;
  bool IsFlushMarker() const { return !packet; }
};

class PacketQueue {
 public:
  explicit PacketQueue(int maxCount) : maxCount_(maxCount) {}

  // Appends a reference to the packet's data; false when the queue is full
  // or the packet could not be referenced (each with its log line).
  bool Append(const AVPacket* packet);
  bool AppendFlushMarker(double seekClock);
  bool PutFlushMarkerFirst(double seekClock);
  bool HeadIsFlushMarker() const { return !entries_.empty() && entries_.front().IsFlushMarker(); }

  // The oldest entry; empty() must be false.
  QueuedPacket Take();
  void Empty();

  // Removes packets from the head so that it starts at the last key packet
  // at or before `dts` (when there is one): decoding resumes at or just
  // before that time, never after it, and never inside a group of pictures.
  // False, with nothing removed, when no such key packet is queued.
  bool DropBeforeKeyAt(int64_t dts);
  // Makes room by removing the oldest group of pictures (up to the next key
  // packet), or the oldest packet when no later key packet is queued.
  void DropOldestGroup();

  bool empty() const { return entries_.empty(); }
  bool Full() const { return static_cast<int>(entries_.size()) >= maxCount_; }
  int count() const { return static_cast<int>(entries_.size()); }
  int64_t byteSize() const { return byteSize_; }
  // Decoding time stamps of the first and last queued packets; false when the
  // queue is empty or either stamp (or entry) is unknown.
  bool DtsRange(int64_t* first, int64_t* last) const;

 private:
  bool Insert(QueuedPacket entry, bool atFront, const char* fullMessage);
  void PopFront();

  std::deque<QueuedPacket> entries_;
  int maxCount_;
  int64_t byteSize_ = 0;
};

}  // namespace qelo::codecs
