#include "playback.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>

#include "closing_files.h"
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
// How long a frame step waits for its frame before it returns and leaves the
// frame to be shown when the decoder has made it: a step normally returns
// after its frame is shown, and the host waiting for it is never held long.
constexpr std::chrono::milliseconds kStepWait(20);

using Guard = win::CriticalSectionLock;

void PostToHost(const PlayerInstance& instance, win::UINT message, win::WPARAM w, win::LPARAM l) {
  if (instance.notifyWindow) win::PostMessage(instance.notifyWindow, message, w, l);
}

// With the lock: hands the frame just taken to the panes, the frame hook and
// the screen.
void ShowTakenFrame(PlayerInstance& instance, VideoFrame& hookArgument) {
  instance.display.CopyFramePanes(instance.frameCallback != nullptr);
  if (instance.frameCallback) instance.frameCallback(&hookArgument, instance.hookUserData);
  instance.position = instance.display.frames().decodedFrame().pts;
  instance.display.RepaintVideo();
}

// Window thread: the sound device plays and has not run out.
bool SoundClockRuns(const PlayerInstance& instance) {
  return instance.HasAudio() && instance.audioDevice != 0 && !instance.audioClosed;
}

// With the lock, on the window thread: the clock the picture follows. The
// sound's while it plays; else the wall clock, which starts with the first
// frame shown after play, a seek or the sound's end (StartWallClock), so a
// picture without sound keeps real time. None before that frame.
std::optional<int64_t> PlaybackClock(PlayerInstance& instance) {
  if (SoundClockRuns(instance)) {
    instance.wallClockSet = false;
    return AudioClock(instance);
  }
  if (!instance.wallClockSet) return std::nullopt;
  const auto elapsed = std::chrono::steady_clock::now() - instance.wallClockStart;
  return instance.wallClockPts + std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count() * 10;
}

// With the lock, after a frame of time `pts` was shown.
void StartWallClock(PlayerInstance& instance, int64_t pts) {
  if (SoundClockRuns(instance) || instance.wallClockSet) return;
  instance.wallClockSet = true;
  instance.wallClockPts = pts;
  instance.wallClockStart = std::chrono::steady_clock::now();
}

// With the lock, while playing: frames more than two thresholds behind the
// clock are dropped unseen, so a picture held up (a busy machine, a slow
// decode) catches up with the sound, or real time, at once instead of
// running behind it frame by frame. Within that, FrameDelay's shorter
// delays catch up. The count dropped.
int DropLateFrames(PlayerInstance& instance) {
  const std::optional<int64_t> clock = PlaybackClock(instance);
  if (!clock) return 0;
  const int64_t threshold = std::max(instance.frameInterval, kMinDelay);
  return instance.reader->DropVideoFramesBefore(*clock - 2 * threshold);
}

Taken TakeFrame(PlayerInstance& instance, std::chrono::milliseconds wait = std::chrono::milliseconds(0)) {
  if (!instance.reader || !instance.display.frames().HasPixels()) return Taken::Ended;
  return instance.reader->TakeVideoFrame(&instance.display.frames().decodedFrame(), wait);
}

// With the lock, not playing: shows the frames still to be shown as far as
// the reader has them (after a seek, first the one at the position), waiting
// at most `wait` for the first; the others are shown when they come.
void ShowOwedFrames(PlayerInstance& instance, std::chrono::milliseconds wait = std::chrono::milliseconds(0)) {
  while (instance.framesToShow > 0) {
    const Taken taken = TakeFrame(instance, wait);
    wait = std::chrono::milliseconds(0);
    if (taken == Taken::NotYet) return;
    if (taken == Taken::Ended) {
      instance.framesToShow = 0;
      return;
    }
    --instance.framesToShow;
    ShowTakenFrame(instance, instance.display.frames().hookFrame());
  }
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

// With the lock: arms the one-shot timer unless a pause or stop came.
void ArmFrameTimer(PlayerInstance& instance, int64_t delay) {
  if (instance.stopRequested || instance.pauseRequested) return;
  win::SetTimer(instance.window.load(), kFrameTimerId, win::UINT(delay / 10000), nullptr);
  instance.lastTimerTick = win::GetTickCount();
  if (instance.lastTimerTick == 0) instance.lastTimerTick = 1;
}

// With the lock, playing a file with video: shows the next frame and arms
// the timer for the one after. True at the end of the video.
bool ShowPlayingFrame(PlayerInstance& instance) {
  const bool dropped = DropLateFrames(instance) > 0;
  const Taken taken = TakeFrame(instance);
  instance.timerWaitsForFrame = taken == Taken::NotYet;
  if (taken == Taken::NotYet) return false;
  if (taken == Taken::Ended) {
    PostToHost(instance, WM_PLAYER_END, 0, 0);
    return true;
  }
  ShowTakenFrame(instance, instance.display.frames().hookFrame());
  const int64_t pts = instance.position;
  StartWallClock(instance, pts);
  ReportPosition(instance, pts);
  const int64_t sinceLast = instance.lastFramePts;
  // Over dropped frames the step from the last frame is not a frame's
  // length, and pacing by it would drop more.
  const bool measured = !dropped && pts - sinceLast > 0 && pts - sinceLast <= kSecond;
  const int64_t interval = measured ? pts - sinceLast : instance.lastFrameInterval;
  instance.lastFramePts = pts;
  instance.lastFrameInterval = interval;
  const win::DWORD now = win::GetTickCount();
  const int64_t sinceLastArm = instance.lastTimerTick ? int64_t(now - instance.lastTimerTick) * 10000 : 0;
  ArmFrameTimer(instance, FrameDelay(interval, pts - PlaybackClock(instance).value_or(pts), sinceLastArm));
  return false;
}

// With the lock, playing a file of sound alone: the position follows the
// sound, reported as a picture's would be.
void FollowSound(PlayerInstance& instance) {
  instance.position = PlaybackClock(instance).value_or(instance.position);
  ReportPosition(instance, instance.position);
  ArmFrameTimer(instance, kMaxDelay);
}

// With the lock: takes the file out of the instance and forgets the sound
// that came from it. The reader is released by the caller, outside the
// locks, since that waits for the decoder's round.
std::unique_ptr<MediaReader> TakeReader(PlayerInstance& instance) {
  std::lock_guard sound(instance.soundLock);
  instance.soundFed = false;
  instance.audioBufferBytes = instance.audioReadPos = 0;
  instance.audioChunkPts = 0;
  instance.soundClock.Set(0);
  instance.audioBytesPerSecond = 0;
  return std::move(instance.reader);
}

// With no lock: the paused state; false when already paused.
bool EnterPause(PlayerInstance& instance) {
  Guard guard(instance.lock);
  if (instance.playState == kPaused) return false;
  instance.playState = kPaused;
  instance.pauseRequested = true;
  instance.stopRequested = false;
  instance.timerWaitsForFrame = false;
  return true;
}

// A frame step pauses as a pause does, but the host waits for the step:
// the sound is silenced at once and the device closed right after the step
// (WM_PLAYWND_CLOSED), since closing waits for SDL's audio thread.
void PauseForStep(PlayerInstance& instance) {
  if (!EnterPause(instance)) return;
  win::KillTimer(instance.window.load(), kFrameTimerId);
  SilenceSound(instance);
  win::PostMessage(instance.window.load(), WM_PLAYWND_CLOSED, 0, 0);
}

void ResetPositionReport(PlayerInstance& instance) {
  instance.lastReportedPosition = 0;
  instance.positionReported = false;
}

}  // namespace

int64_t FrameDelay(int64_t interval, int64_t drift, int64_t sinceLastArm) {
  // Near the clock the next frame is due one interval after this one's
  // time, so the delay is the interval plus how far this frame is ahead of
  // the clock (less when behind): the picture keeps to the clock itself,
  // not to the timer's pace. Far from it (a clock that jumped), the pace
  // alone: twice the interval less the time since the last arming keeps one
  // interval a frame whatever the timer's lateness.
  int64_t delay = interval + drift;
  if (std::llabs(drift) >= kMaxCorrection) delay = 2 * interval - sinceLastArm;
  return std::clamp(delay, kMinDelay, kMaxDelay);
}

bool OpenInstanceFile(PlayerInstance& instance, const std::u16string& path, MediaInfo** info) {
  CloseMedia(instance);
  instance.streamFlag = 0;
  instance.path = path;
  std::unique_ptr<MediaReader> failed;
  {
    Guard guard(instance.lock);
    instance.lastFramePts = 0;
    instance.lastFrameInterval = 0;
    {
      std::lock_guard sound(instance.soundLock);
      instance.reader = std::make_unique<MediaReader>();
    }
    const win::SIZE want = instance.display.DecodeSize();
    // The handle, not the instance: a file being released may outlive its
    // instance, and a post to a window that is gone does nothing.
    const auto frameReady = [window = instance.window.load()] {
      if (window) win::PostMessage(window, WM_PLAYWND_FRAME_READY, 0, 0);
    };
    if (instance.reader->OpenPlayerMedia(instance.path, want.cx, want.cy, frameReady)) {
      const MediaFacts& facts = instance.reader->facts();
      if (info) *info = instance.reader->mediaInfo();
      gLog.Write("resize video size(%dx%d)", facts.outputWidth, facts.outputHeight);
      const bool outputSized = facts.outputWidth != 0 && facts.outputHeight != 0;
      instance.videoWidth = outputSized ? facts.outputWidth : facts.sourceWidth;
      instance.videoHeight = outputSized ? facts.outputHeight : facts.sourceHeight;
      if (facts.hasVideo) {
        instance.display.OpenVideo(instance.videoWidth, instance.videoHeight, facts.videoBufferSize,
                                   facts.sourceWidth, facts.sourceHeight);
        instance.frameInterval = facts.frameRateNum ? kSecond * facts.frameRateDen / facts.frameRateNum : 0;
      }
      if (facts.hasAudio) {
        instance.audioClosed = false;
        FillAudioSpec(instance);
        std::lock_guard sound(instance.soundLock);
        instance.audioBytesPerSecond = facts.audioBytesPerSecond;
      }
      if (!facts.hasVideo && !facts.hasAudio) {
        gLog.Write("no media stream in this file(%s)", win::Utf16ToUtf8(instance.path).c_str());
        if (info) *info = nullptr;
        failed = TakeReader(instance);
      }
    } else {
      // A file that failed to open is dropped at once, so it holds no
      // decoder.
      failed = TakeReader(instance);
    }
  }
  if (!failed) return true;
  failed->ReleaseReader();
  return false;
}

void CloseMedia(PlayerInstance& instance) {
  const win::HWND window = instance.window.load();
  std::unique_ptr<MediaReader> reader;
  {
    Guard guard(instance.lock);
    instance.playState = kStopped;
    instance.stopRequested = true;
    instance.pauseRequested = false;
    instance.timerWaitsForFrame = false;
    instance.framesToShow = 0;
    instance.display.CloseVideo();
    ResetPositionReport(instance);
    // Stopped first, so a sound callback waiting for a chunk lets go of the
    // sound lock at once.
    if (instance.reader) instance.reader->Stop();
    reader = TakeReader(instance);
  }
  if (reader) ReleaseInBackground(std::move(reader));
  // The window thread stops the timer and the sound, since closing the
  // sound device waits for its thread.
  if (window) {
    win::PostMessage(window, WM_PLAYWND_CLOSED, 0, 0);
    win::InvalidateRect(window, nullptr, 0);
  }
}

void OnClosed(PlayerInstance& instance) {
  {
    Guard guard(instance.lock);
    // A play that came after a step's pause keeps its timer and sound.
    if (instance.playState == kPlaying) return;
  }
  win::KillTimer(instance.window.load(), kFrameTimerId);
  CloseSound(instance);
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
    instance.timerWaitsForFrame = false;
    instance.framesToShow = 0;
    instance.wallClockSet = false;
    withSound = instance.HasAudio();
    withVideo = instance.HasVideo();
    if (withSound) instance.audioClosed = false;
    instance.lastTimerTick = 0;
  }
  if (withSound) OpenSound(instance);
  if (withSound && !withVideo && instance.audioDevice == 0) {
    // Sound alone with no device to play it on: nothing can be played, and
    // the host hears so at once rather than waiting for an end that never
    // comes.
    {
      Guard guard(instance.lock);
      PostToHost(instance, WM_PLAYER_END, 0, 0);
    }
    OnStop(instance);
    return;
  }
  if (withSound || withVideo) win::SetTimer(instance.window.load(), kFrameTimerId, 1, nullptr);
}

void OnPause(PlayerInstance& instance) {
  if (!EnterPause(instance)) return;
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
    instance.timerWaitsForFrame = false;
  }
  win::KillTimer(instance.window.load(), kFrameTimerId);
  CloseSound(instance);
  {
    Guard guard(instance.lock);
    instance.position = 0;
  }
  OnSeek(instance, 0);
}

void OnSeek(PlayerInstance& instance, int64_t position, std::chrono::milliseconds wait) {
  ++instance.seekCounter;
  {
    Guard guard(instance.lock);
    const bool playing = instance.playState == kPlaying;
    // Playing, the picture follows the sound from wherever the reader
    // lands; paused or stopped, the frame at the position is shown. The
    // seek also ends a sound callback's wait for a chunk, which holds the
    // sound lock.
    if (instance.reader) instance.reader->SeekReader(position, !playing);
    {
      std::lock_guard sound(instance.soundLock);
      instance.audioBufferBytes = 0;
      instance.audioReadPos = 0;
      // The clock of the sound before the seek would make the frames after
      // it look early or late until the first chunk from the new place.
      instance.soundClock.Set(position);
    }
    if (instance.reader) {
      ResetPositionReport(instance);
      instance.position = position;
      instance.wallClockSet = false;
      if (!playing) {
        instance.framesToShow = 1;
        ShowOwedFrames(instance, wait);
      }
    }
  }
  --instance.seekCounter;
}

void ShowPreviousFrame(PlayerInstance& instance) {
  PauseForStep(instance);
  int64_t target = -1;
  {
    Guard guard(instance.lock);
    if (instance.HasVideo()) target = instance.position - instance.frameInterval;
  }
  if (target >= 0) OnSeek(instance, target, kStepWait);
}

void ShowNextFrame(PlayerInstance& instance) {
  PauseForStep(instance);
  Guard guard(instance.lock);
  if (!instance.HasVideo()) return;
  if (instance.HasAudio() && instance.frameInterval + instance.position > instance.reader->lastSeekPos())
    instance.reader->FlushAudio();
  // The hook gets the copy the second pane is made from, as after a seek
  // or during playback; given the first pane's frame, its changes would
  // show on the original and not on the output.
  ++instance.framesToShow;
  ShowOwedFrames(instance, kStepWait);
}

void OnFrameTimer(PlayerInstance& instance) {
  win::KillTimer(instance.window.load(), kFrameTimerId);
  bool ended = false;
  {
    Guard guard(instance.lock);
    // A tick armed before a pause or stop shows nothing: a stopped instance
    // keeps showing its first frame.
    if (!instance.reader || instance.playState != kPlaying) return;
    if (instance.HasVideo()) ended = ShowPlayingFrame(instance);
    else FollowSound(instance);
  }
  if (ended) OnStop(instance);
}

void OnFrameReady(PlayerInstance& instance) {
  bool tick = false;
  {
    Guard guard(instance.lock);
    if (!instance.reader) return;
    if (instance.playState == kPlaying) tick = instance.timerWaitsForFrame;
    else ShowOwedFrames(instance);
  }
  if (tick) OnFrameTimer(instance);
}

void OnAudioDrained(PlayerInstance& instance) {
  bool ended = false;
  {
    Guard guard(instance.lock);
    // A notice from before a seek, or from a file since closed, is stale.
    if (!instance.HasAudio() || instance.audioClosed || !instance.reader->SoundEnded()) return;
    instance.audioClosed = true;
    // Sound alone ends with its sound, as a picture ends with its last frame.
    ended = !instance.HasVideo() && instance.playState == kPlaying;
    if (ended) PostToHost(instance, WM_PLAYER_END, 0, 0);
  }
  CloseSound(instance);
  if (ended) OnStop(instance);
}

}  // namespace qelo::player
