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

// Where decoding resumes after a seek, in seconds from the stream's start:
// `clock` times what comes without a stamp of its own, and what comes
// before `target` is decoded but not handed out.
struct SeekMark {
  double clock = 0;
  double target = 0;
};

// A queued entry: a packet, or the flush marker when `packet` is null. The
// marker carries the seek's mark.
struct QueuedPacket {
  PacketPtr packet;
  SeekMark seek;
  bool IsFlushMarker() const { return !packet; }
};

class PacketQueue {
 public:
  explicit PacketQueue(int maxCount) : maxCount_(maxCount) {}

  // Appends a reference to the packet's data; false when the queue is full
  // or the packet could not be referenced (each with its log line).
  bool Append(const AVPacket* packet);
  bool PutFlushMarkerFirst(SeekMark mark);
  bool HeadIsFlushMarker() const { return !entries_.empty() && entries_.front().IsFlushMarker(); }

  // The oldest entry; empty() must be false.
  QueuedPacket Take();
  void Empty();

  // Removes packets from the head so that it starts at the last key packet
  // shown at or before `time` (when there is one): decoding resumes at or
  // just before that time, never after it, and never inside a group of
  // pictures. False, with nothing removed, when no such key packet is queued.
  bool DropBeforeKeyAt(int64_t time);
  bool HasKeyAt(int64_t time) const;
  // Removes the packets before the first key packet: decoding cannot start
  // with them.
  void DropBeforeFirstKey();
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
  // The time stamp (presentation, else decoding) of the first queued packet
  // that has one; false when none has.
  bool FirstStamp(int64_t* stamp) const;

 private:
  bool Insert(QueuedPacket entry, bool atFront, const char* fullMessage);
  // The index of the last key packet shown at or before `time`.
  bool FindKeyAt(int64_t time, size_t* index) const;
  void PopFront();

  std::deque<QueuedPacket> entries_;
  int maxCount_;
  int64_t byteSize_ = 0;
};

}  // namespace qelo::codecs
