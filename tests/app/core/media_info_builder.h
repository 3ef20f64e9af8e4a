// MediaInfo records as the codec bridge reports them, built for the job list
// tests. The record is a heap block of its exact size, so that reading past
// its four stream slots is caught by the address sanitizer.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "qelo/media.h"

namespace qelo::test {

class MediaInfoBuilder {
 public:
  MediaInfoBuilder() : info_(std::make_unique<MediaInfo>()) {}

  MediaInfoBuilder& BitRate(int32_t bitRate) {
    info_->bitRate = bitRate;
    return *this;
  }
  MediaInfoBuilder& Video(int64_t seconds, int32_t width, int32_t height, int32_t rateNum, int32_t rateDen) {
    StreamInfo& s = Add(STREAM_VIDEO, seconds);
    s.displayWidth = width;
    s.displayHeight = height;
    s.frameRateNum = rateNum;
    s.frameRateDen = rateDen;
    return *this;
  }
  MediaInfoBuilder& Audio(int64_t seconds, int32_t sampleRate, int32_t channels, int32_t bitRate) {
    StreamInfo& s = Add(STREAM_AUDIO, seconds);
    s.sampleRate = sampleRate;
    s.channels = channels;
    s.bitRate = bitRate;
    return *this;
  }
  MediaInfoBuilder& Other(int32_t type, int64_t seconds) {
    Add(type, seconds);
    return *this;
  }
  // A count that the slots do not back (a damaged or hostile record).
  MediaInfoBuilder& ClaimStreams(int32_t count) {
    info_->streamCount = count;
    return *this;
  }
  const MediaInfo* Get() const { return info_.get(); }

 private:
  StreamInfo& Add(int32_t type, int64_t seconds) {
    streams_.push_back(std::make_unique<StreamInfo>());
    StreamInfo& s = *streams_.back();
    s.type = type;
    s.duration = seconds;
    s.valid = 1;
    info_->streams[info_->streamCount++] = &s;
    return s;
  }

  std::unique_ptr<MediaInfo> info_;
  std::vector<std::unique_ptr<StreamInfo>> streams_;
};

}  // namespace qelo::test
