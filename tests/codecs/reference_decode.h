// What the ffmpeg tools make of a media file: the independent reference
// the bridge's pictures, sound and time stamps are checked against.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qelo::test {

// Times in 100-ns units, each from its own stream's start (ffprobe).
struct ReferenceTimes {
  bool ok = false;
  // The first video stream's decoded pictures, in order.
  std::vector<int64_t> pictures;
  // The first audio stream's first decoded samples.
  int64_t firstSound = 0;
  // How much later the first audio stream starts than the file.
  int64_t soundStartInFile = 0;
};
ReferenceTimes ProbeReferenceTimes(const std::string& path);

// The first video stream's decoded pictures, turned upright as the file's
// display matrix declares and passed through `filter` when one is given,
// each width x height 32-bit pixels (bytes B G R A), in order (ffmpeg).
std::vector<std::vector<uint8_t>> ReferencePictures(const std::string& path, int width,
                                                    int height, const std::string& filter = "");

// The first audio stream as mono signed 16-bit samples at `rate`, placed by
// their time stamps: sample i lies at i / rate from the stream's start
// (ffmpeg). `times` tells where the stream starts in the file.
std::vector<int16_t> ReferenceSound(const std::string& path, int rate, const ReferenceTimes& times);

// Mean absolute difference of a picture's bytes from a reference picture's
// (as many bytes as the reference has).
double PictureDifference(const uint8_t* pixels, const std::vector<uint8_t>& reference);

// The index of the reference picture most like `pixels`.
int NearestPicture(const uint8_t* pixels, const std::vector<std::vector<uint8_t>>& pictures);

}  // namespace qelo::test
