#include "playback.h"

#include <algorithm>
#include <cstdlib>

#include "player_instance.h"
#include "player_log.h"
#include "sound_output.h"
#include "win/codepage.h"

namespace qelo::player {

namespace {

constexpr int64_t kSecond = 10000000;
constexpr int64_t kMinDelay = 100000;     // 10 ms
constexpr int64_t kMaxDelay = 1250000;    // 125 ms
constexpr int64_t kMaxCorrection = 100000000;  // 10 s

using Guard = win::CriticalSectionLock;

void PostToHost(const PlayerInstance& instance, win::UINT message, win::WPARAM w, win::LPARAM l) {
  if (instance.notifyWindow) win::PostMessage(instance.notifyWindow, message, w, l);
}

// With the lock: hands the frame just taken to the panes, the frame hook and
// the screen.
void ShowTakenFrame(PlayerInstance& instance, VideoFrame& hookArgument) {
  instance.display.CopyFramePanes();
  if (instance.frameCallback) instance.frameCallback(&hookArgument, instance.hookUserData);
  instance.position = instance.display.frames().decoded().pts;
  instance.display.RepaintVideo();
}

// With the lock, while playing with sound: frames more than two thresholds
// behind the sound clock are dropped unseen, so a picture held up (a busy
// machine, a slow decode) catches up with the sound at once instead of
// running behind it frame by frame. Within that, FrameDelay's quicker pace
// catches up. The count dropped.
int DropLateFrames(PlayerInstance& instance) {
  if (!instance.HasAudio() || !instance.HasVideo()) return 0;
  const int64_t threshold = std::max(instance.frameInterval, kMinDelay);
  return instance.reader->DropVideoFramesBefore(AudioClock(instance) - 2 * threshold);
}

bool TakeFrame(PlayerInstance& instance) {
  return instance.reader && instance.display.frames().HasPixels() &&
         instance.reader->TakeVideoFrame(&instance.display.frames().decoded());
}

// With the lock, after a seek: the frame shown at `position`. The codec
// bridge lands on the key frame at or before it, so the frames that end
// before the position are passed over; a file that ends first shows its
// last frame.
bool TakeFrameAt(PlayerInstance& instance, int64_t position) {
  if (!TakeFrame(instance)) return false;
  const auto frameEnd = [&instance] {
    const VideoFrame& frame = instance.display.frames().decoded();
    return instance.frameInterval > 0 ? frame.pts + instance.frameInterval : frame.nextPts;
  };
  while (frameEnd() <= position && TakeFrame(instance)) {
  }
  return true;
}

// Reports the position on the first frame after play or seek and after
// each move of more than a second either way.
void ReportPosition(PlayerInstance& instance, int64_t pts) {
  if (instance.positionReported && std::llabs(pts - instance.lastReportedPosition) <= kSecond)
    return;
  instance.positionReported = true;
  instance.lastReportedPosition = pts;
  const uint64_t bits = static_cast<uint64_t>(pts);
  PostToHost(instance, WM_PLAYER_POSITION, win::WPARAM(uint32_t(bits >> 32)),
             win::LPARAM(uint32_t(bits & 0xFFFFFFFFu)));
}

// With the lock: releases the file and forgets the sound that came from it.
// A file that failed to open is dropped at once, so it holds no decoder.
void DropReader(PlayerInstance& instance) {
  std::lock_guard sound(instance.soundLock);
  if (instance.reader) instance.reader->Release();
  instance.reader.reset();
  instance.audioBufferBytes = instance.audioReadPos = 0;
  instance.audioChunkPts = 0;
  instance.soundClock.store(0);
  instance.audioBytesPerSecond = 0;
}

void ResetPositionReport(PlayerInstance& instance) {
  instance.lastReportedPosition = 0;
  instance.positionReported = false;
}

}  // namespace

int64_t FrameDelay(int64_t interval, int64_t drift, bool hasClock, int64_t sinceLastArm) {
  const int64_t threshold = std::max(interval, kMinDelay);
  // The delay counts from the previous arming, so twice the interval less
  // the time since then keeps the pace at one interval a frame.
  int64_t delay = 2 * interval;
  if (hasClock && std::llabs(drift) < kMaxCorrection) {
    // Behind the sound by a threshold: show the next frame at once. Ahead by
    // as much (the sound was held up): hold this frame one interval longer.
    if (drift <= -threshold) delay = 0;
    if (drift >= threshold) delay += interval;
  }
  delay -= sinceLastArm;
  return std::clamp(delay, kMinDelay, kMaxDelay);
}

bool OpenInstanceFile(PlayerInstance& instance, const std::u16string& path, MediaInfo** info) {
  CloseMedia(instance);
  instance.streamFlag = 0;
  instance.path = path.substr(0, QELO_PATH_CHARS - 1);
  Guard guard(instance.lock);
  instance.lastFramePts = 0;
  instance.lastFrameInterval = 0;
  {
    std::lock_guard sound(instance.soundLock);
    instance.reader = std::make_unique<MediaReader>();
  }
  const win::SIZE want = instance.display.DecodeSize();
  if (!instance.reader->Open(instance.path, want.cx, want.cy)) {
    DropReader(instance);
    return false;
  }
  const MediaFacts& facts = instance.reader->facts();
  if (info) *info = instance.reader->mediaInfo();
  PlayerLog().Write("resize video size(%dx%d)", facts.outputWidth, facts.outputHeight);
  const bool outputSized = facts.outputWidth != 0 && facts.outputHeight != 0;
  instance.videoWidth = outputSized ? facts.outputWidth : facts.sourceWidth;
  instance.videoHeight = outputSized ? facts.outputHeight : facts.sourceHeight;
  if (facts.hasVideo) {
    instance.display.OpenVideo(instance.videoWidth, instance.videoHeight, facts.videoBufferSize,
                               facts.sourceWidth, facts.sourceHeight);
    instance.frameInterval =
        facts.frameRateNum ? kSecond * facts.frameRateDen / facts.frameRateNum : 0;
  }
  if (facts.hasAudio) {
    instance.audioClosed = false;
    std::lock_guard sound(instance.soundLock);
    instance.audioBytesPerSecond = facts.audioBytesPerSecond;
  }
  if (!facts.hasVideo && !facts.hasAudio) {
    PlayerLog().Write("no media stream in this file(%s)", win::Utf16ToUtf8(instance.path).c_str());
    if (info) *info = nullptr;
    DropReader(instance);
    return false;
  }
  return true;
}

void CloseMedia(PlayerInstance& instance) {
  const win::HWND window = instance.window.load();
  bool playing;
  {
    Guard guard(instance.lock);
    playing = instance.playState != kStopped;
  }
  if (playing && window) {
    win::SendMessage(window, WM_PLAYWND_STOP, 0, 0);
  }
  {
    Guard guard(instance.lock);
    instance.playState = kStopped;
    instance.display.CloseVideo();
    ResetPositionReport(instance);
    DropReader(instance);
  }
  if (window) win::InvalidateRect(window, nullptr, 0);
}

void OnPlay(PlayerInstance& instance) {
  bool withSound = false, withVideo = false;
  {
    Guard guard(instance.lock);
    if (instance.playState == kPlaying) return;
    ResetPositionReport(instance);
    instance.playState = kPlaying;
    instance.stopRequested = false;
    instance.pauseRequested = false;
    withSound = instance.HasAudio();
    withVideo = instance.HasVideo();
    if (withSound) instance.audioClosed = false;
    instance.lastTimerTick = 0;
  }
  if (withSound) OpenSound(instance);
  if (withVideo) win::SetTimer(instance.window.load(), kFrameTimerId, 1, nullptr);
}

void OnPause(PlayerInstance& instance) {
  {
    Guard guard(instance.lock);
    if (instance.playState == kPaused) return;
    instance.playState = kPaused;
    instance.pauseRequested = true;
    instance.stopRequested = false;
  }
  win::KillTimer(instance.window.load(), kFrameTimerId);
  CloseSound(instance);
}

void OnStop(PlayerInstance& instance) {
  {
    Guard guard(instance.lock);
    if (instance.playState == kStopped) return;
    instance.playState = kStopped;
    instance.stopRequested = true;
    instance.pauseRequested = false;
  }
  win::KillTimer(instance.window.load(), kFrameTimerId);
  CloseSound(instance);
  {
    Guard guard(instance.lock);
    instance.position = 0;
  }
  OnSeek(instance, 0);
}

bool OnSeek(PlayerInstance& instance, int64_t position) {
  ++instance.seekCounter;
  bool sought = false;
  {
    Guard guard(instance.lock);
    {
      std::lock_guard sound(instance.soundLock);
      instance.audioBufferBytes = 0;
      instance.audioReadPos = 0;
      // The clock of the sound before the seek would make the frames after
      // it look early or late until the first chunk from the new place.
      instance.soundClock.store(position);
    }
    if (instance.reader) {
      sought = instance.reader->Seek(position);
      if (!sought) PlayerLog().Write("failed to seek file...");
      ResetPositionReport(instance);
      if (instance.playState == kPlaying) {
        instance.position = position;
      } else if (TakeFrameAt(instance, position)) {
        ShowTakenFrame(instance, instance.display.frames().hook());
      }
    }
  }
  --instance.seekCounter;
  return sought;
}

void ShowPreviousFrame(PlayerInstance& instance) {
  OnPause(instance);
  int64_t target = -1;
  {
    Guard guard(instance.lock);
    if (instance.HasVideo()) target = instance.position - instance.frameInterval;
  }
  if (target >= 0) OnSeek(instance, target);
}

void ShowNextFrame(PlayerInstance& instance) {
  OnPause(instance);
  Guard guard(instance.lock);
  if (!instance.HasVideo()) return;
  if (instance.HasAudio() && instance.frameInterval + instance.position > instance.reader->lastSeekPos())
    instance.reader->FlushAudio();
  // The hook gets the copy the second pane is made from, as after a seek
  // or during playback; given the first pane's frame, its changes would
  // show on the original and not on the output.
  if (TakeFrame(instance)) ShowTakenFrame(instance, instance.display.frames().hook());
}

void OnFrameTimer(PlayerInstance& instance) {
  const win::HWND window = instance.window.load();
  win::KillTimer(window, kFrameTimerId);
  bool ended = false;
  {
    Guard guard(instance.lock);
    // A tick armed before a pause or stop shows nothing: a stopped instance
    // keeps showing its first frame.
    if (!instance.reader || instance.playState != kPlaying) return;
    const bool dropped = DropLateFrames(instance) > 0;
    if (!TakeFrame(instance)) {
      PostToHost(instance, WM_PLAYER_END, 0, 0);
      ended = true;
    } else {
      ShowTakenFrame(instance, instance.display.frames().hook());
      const int64_t pts = instance.position;
      ReportPosition(instance, pts);
      const int64_t sinceLast = instance.lastFramePts;
      // Over dropped frames the step from the last frame is not a frame's
      // length, and pacing by it would drop more.
      const bool measured = !dropped && pts - sinceLast > 0 && pts - sinceLast <= kSecond;
      const int64_t interval = measured ? pts - sinceLast : instance.lastFrameInterval;
      instance.lastFramePts = pts;
      instance.lastFrameInterval = interval;
      const win::DWORD now = win::GetTickCount();
      const int64_t sinceLastArm =
          instance.lastTimerTick ? int64_t(now - instance.lastTimerTick) * 10000 : 0;
      const int64_t delay = FrameDelay(interval, pts - AudioClock(instance), instance.HasAudio(),
                                       sinceLastArm);
      if (!instance.stopRequested && !instance.pauseRequested) {
        win::SetTimer(window, kFrameTimerId, win::UINT(delay / 10000), nullptr);
        instance.lastTimerTick = win::GetTickCount();
        if (instance.lastTimerTick == 0) instance.lastTimerTick = 1;
      }
    }
  }
  if (ended) OnStop(instance);
}

void OnAudioDrained(PlayerInstance& instance) {
  {
    Guard guard(instance.lock);
    if (!instance.HasAudio() || instance.audioClosed) return;
    instance.audioClosed = true;
  }
  CloseSound(instance);
}

}  // namespace qelo::player
