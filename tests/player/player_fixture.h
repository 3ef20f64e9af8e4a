// What the player suites share: the library initialised with a log that the
// test can read, host windows on the test thread, the messages the player
// posts to them, a frame hook that records every frame shown, and the media
// files the cases play.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "qelo/player_exports.h"
#include "win/window/window.h"

namespace qelo::test {

using namespace std::chrono_literals;

// Tiny files made once per build by the ffmpeg tool: 160 x 120 at 25 fps
// with 44.1 kHz stereo sound, or only one of the two.
std::string VideoAudioClip(double seconds);
std::string VideoOnlyClip(double seconds);
std::string AudioOnlyClip(double seconds);
// A picture of `seconds` whose sound ends after `soundSeconds`.
std::string VideoWithShortSoundClip(double seconds, double soundSeconds);

constexpr int64_t kFrame = 400000;     // one frame at 25 fps, 100-ns units
constexpr int64_t kSecond = 10000000;

struct HostMessage {
  win::UINT message;
  win::WPARAM w;
  win::LPARAM l;
  // WM_PLAYER_POSITION's 64-bit position from its two halves.
  int64_t Position() const {
    return int64_t((uint64_t(uint32_t(w)) << 32) | uint32_t(uintptr_t(l)));
  }
};

// Frames shown to the frame hook, recorded on the player's window thread.
class FrameLog {
 public:
  static void Hook(VideoFrame* frame, void* self);
  std::vector<int64_t> Times() const;
  size_t Count() const;
  int64_t Last() const;  // -1 when none
  // Runs on each frame, on the window thread, under the instance lock.
  void OnFrame(std::function<void(const VideoFrame&)> extra);

 private:
  mutable std::mutex lock_;
  std::vector<int64_t> times_;
  std::function<void(const VideoFrame&)> extra_;
};

class PlayerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A top-level host window with a client area of width x height.
  win::HWND MakeHost(int width = 320, int height = 240);
  // An instance over a new host (index, or -1), whose messages go to that
  // host and whose frames go to `frames`.
  int MakeInstance(FrameLog* frames = nullptr, bool twoPane = false, int width = 320,
                   int height = 240);
  bool Open(const std::string& path, int index, MediaInfo** info = nullptr);

  // Handles the test thread's messages for `time`, recording what the
  // player posts.
  void Pump(std::chrono::milliseconds time);
  // Pumps until `message` arrives (true) or `timeout` passes.
  bool WaitFor(win::UINT message, std::chrono::milliseconds timeout);
  // Pumps until `done` holds or `timeout` passes.
  bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
  std::vector<HostMessage> Received(win::UINT message) const;
  void ClearReceived() { received_.clear(); }

  // A frame log that outlives the instances (they are torn down after the
  // case's body).
  FrameLog& NewFrameLog() { return frameLogs_.emplace_back(); }

  static std::vector<std::string> LogLines();
  static bool Logged(const std::string& line);

  std::deque<FrameLog> frameLogs_;
  std::vector<win::HWND> hosts_;
  std::vector<HostMessage> received_;
  bool deinitialized_ = false;
};

}  // namespace qelo::test
