// The engine's own copies of the caller's work groups, and the lengths and
// rates the timeline is built from.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "qelo/convertor.h"

namespace qelo::convertor {

// A deep copy of a WorkGroup: `group.sources` point into `entries`.
struct OwnedGroup {
  WorkGroup group{};
  std::vector<std::unique_ptr<SourceEntry>> entries;
};

// Copies `caller` whole (a null group gives an empty one). The source count
// is kept within 0..MAX_GROUP_SOURCES; a null source becomes an empty entry
// (which then fails to open, as a missing file does).
std::unique_ptr<OwnedGroup> CopyWorkGroup(const WorkGroup* caller);

// The length of a source on its group's timeline: the trimmed range when trim
// is on, else the whole source; never negative.
int64_t EntryLength(const SourceEntry& source);
int64_t GroupLength(const WorkGroup& group);

// PCM bytes per second of the group's output format; 0 when it has none.
int32_t BytesPerSecond(const FormatSettings& format);

// Whole PCM sample frames of the format, in bytes (at least 1).
int32_t BytesPerSampleFrame(const FormatSettings& format);

bool HasVideo(const FormatSettings& format);
// The output has an audio stream (its codec id names one).
bool HasAudio(const FormatSettings& format);

// The effects a source applies, kept within 0..MAX_SOURCE_EFFECTS.
int EffectCount(const SourceEntry& source);

}  // namespace qelo::convertor
