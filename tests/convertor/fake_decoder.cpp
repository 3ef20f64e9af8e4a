#include "convertor/fake_decoder.h"

#include <algorithm>
#include <cstring>

#include "win/codepage.h"

namespace qelo::test {

void FakeDecoder::Add(const std::u16string& path, const FakeSource& source) {
  std::lock_guard<std::mutex> hold(mutex_);
  sources_[path] = source;
}

std::vector<int64_t> FakeDecoder::Seeks() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return seeks_;
}

int FakeDecoder::Load(const char16_t* path) {
  std::shared_future<void> gate;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    auto found = sources_.find(path);
    if (found == sources_.end()) return -1;
    gate = found->second.openGate;
  }
  if (gate.valid()) gate.wait();
  std::lock_guard<std::mutex> hold(mutex_);
  open_[nextHandle_] = Open{sources_.at(path)};
  return nextHandle_++;
}

void FakeDecoder::Unload(int handle) {
  std::lock_guard<std::mutex> hold(mutex_);
  open_.erase(handle);
}

int FakeDecoder::VideoBufferSize(int handle) {
  std::lock_guard<std::mutex> hold(mutex_);
  const Open& o = open_.at(handle);
  return o.source.videoLength > 0 ? o.source.width * o.source.height * 4 : 0;
}

bool FakeDecoder::NextVideoFrame(VideoFrame* frame, int handle) {
  std::lock_guard<std::mutex> hold(mutex_);
  Open& o = open_.at(handle);
  if (o.videoAt >= o.source.videoLength) return false;
  frame->width = o.source.width;
  frame->height = o.source.height;
  frame->stride = o.source.width * 4;
  frame->pts = o.videoAt;
  frame->nextPts = o.videoAt + o.source.frameInterval;
  std::memset(frame->pixels, o.frameIndex & 0xFF, size_t(frame->stride) * frame->height);
  o.videoAt += o.source.frameInterval;
  ++o.frameIndex;
  return true;
}

bool FakeDecoder::NextAudioChunk(AudioFrame* chunk, int handle) {
  std::unique_lock<std::mutex> hold(mutex_);
  Open& o = open_.at(handle);
  if (o.audioAt >= o.source.audioLength) {
    const std::shared_future<void> gate = o.source.audioEndGate;
    hold.unlock();
    if (gate.valid()) gate.wait();
    return false;
  }
  const int64_t duration = std::min(o.source.chunkDuration, o.source.audioLength - o.audioAt);
  chunk->byteCount = int32_t(duration * o.bytesPerSecond / QELO_TIME_UNITS_PER_SECOND) & ~1;
  std::memset(chunk->data, 0x11, size_t(chunk->byteCount));
  chunk->pts = o.audioAt;
  o.audioAt += duration;
  return true;
}

void FakeDecoder::ResizeVideo(int32_t* width, int32_t* height, int handle) {
  std::lock_guard<std::mutex> hold(mutex_);
  Open& o = open_.at(handle);
  o.source.width = std::min(o.source.width, *width);
  o.source.height = std::min(o.source.height, *height);
  *width = o.source.width;
  *height = o.source.height;
}

void FakeDecoder::Resample(int sampleRate, int bitsPerSample, int channels, int handle) {
  std::lock_guard<std::mutex> hold(mutex_);
  open_.at(handle).bytesPerSecond = sampleRate * bitsPerSample / 8 * channels;
}

void FakeDecoder::Seek(int64_t time, int handle) {
  std::lock_guard<std::mutex> hold(mutex_);
  Open& o = open_.at(handle);
  seeks_.push_back(time);
  const int64_t landing = std::max<int64_t>(0, time - o.source.seekShortfall);
  o.videoAt = landing / o.source.frameInterval * o.source.frameInterval;
  o.frameIndex = int(o.videoAt / o.source.frameInterval);
  o.audioAt = landing / o.source.chunkDuration * o.source.chunkDuration;
}

bool FakeDecoder::ReadFailed(int handle) {
  std::lock_guard<std::mutex> hold(mutex_);
  return open_.at(handle).source.readFails;
}

FakeGroup::FakeGroup(int width, int height, bool video) {
  FormatSettings& f = group.format;
  f.formatId = FORMAT_MPEG2;
  f.videoCodecId = video ? VCODEC_MPEG2 : -1;
  f.audioCodecId = ACODEC_MP2;
  f.width = width;
  f.height = height;
  f.frameRateNum = 25;
  f.frameRateDen = 1;
  f.sampleRate = 16000;
  f.channels = 1;
  f.bitsPerSample = 16;
  entries.reserve(MAX_GROUP_SOURCES);
}

SourceEntry& FakeGroup::Add(const std::u16string& path, int64_t duration, int64_t trimStart, int64_t trimEnd) {
  SourceEntry& e = entries.emplace_back();
  win::CopyToUtf16Field(e.path, QELO_PATH_CHARS, path);
  e.sourceDuration = duration;
  if (trimEnd > 0) {
    e.trimEnabled = 1;
    e.trimStart = trimStart;
    e.trimEnd = trimEnd;
  }
  return e;
}

const WorkGroup& FakeGroup::Finish() {
  group.sourceCount = int32_t(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) group.sources[i] = &entries[i];
  return group;
}

}  // namespace qelo::test
