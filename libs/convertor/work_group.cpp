#include "work_group.h"

#include <algorithm>

namespace qelo::convertor {

std::unique_ptr<OwnedGroup> CopyWorkGroup(const WorkGroup* caller) {
  auto copy = std::make_unique<OwnedGroup>();
  if (!caller) return copy;
  copy->group.format = caller->format;
  const int count = std::clamp(caller->sourceCount, 0, MAX_GROUP_SOURCES);
  copy->group.sourceCount = count;
  for (int i = 0; i < count; ++i) {
    auto entry = std::make_unique<SourceEntry>();
    if (caller->sources[i]) *entry = *caller->sources[i];
    copy->group.sources[i] = entry.get();
    copy->entries.push_back(std::move(entry));
  }
  return copy;
}

int64_t EntryLength(const SourceEntry& source) {
  const int64_t length = source.trimEnabled == 1 ? source.trimEnd - source.trimStart : source.sourceDuration;
  return std::max<int64_t>(length, 0);
}

int64_t GroupLength(const WorkGroup& group) {
  int64_t length = 0;
  for (int i = 0; i < group.sourceCount; ++i) length += EntryLength(*group.sources[i]);
  return length;
}

int32_t BytesPerSecond(const FormatSettings& format) {
  const int64_t bytes = int64_t(format.channels) * format.bitsPerSample * format.sampleRate / 8;
  return int32_t(std::clamp<int64_t>(bytes, 0, INT32_MAX));
}

int32_t BytesPerSampleFrame(const FormatSettings& format) {
  return std::max(1, format.channels * format.bitsPerSample / 8);
}

bool HasVideo(const FormatSettings& format) { return format.videoCodecId != -1; }
bool HasAudio(const FormatSettings& format) {
  return format.audioCodecId >= 0 && format.audioCodecId < AUDIO_CODEC_ID_COUNT;
}

int EffectCount(const SourceEntry& source) { return std::clamp(source.effectCount, 0, MAX_SOURCE_EFFECTS); }

}  // namespace qelo::convertor
