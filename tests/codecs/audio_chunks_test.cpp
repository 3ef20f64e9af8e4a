// Audio chunks: formats, byte counts and time stamps.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "codecs/codec_test_support.h"
#include "codecs/fixtures.h"

namespace qelo::test {
namespace {

class AudioChunks : public OpenFileTest {
 protected:
  struct Totals {
    int64_t bytes = 0;
    int chunks = 0;
    int largest = 0;
  };
  // Reads every chunk, checking each on the way.
  Totals ReadAll(int frameBytes, int rate, int64_t expectedPts = 0) {
    Totals t;
    while (QeloGetNextAudioFrame(&chunk_, handle_) == 1) {
      EXPECT_EQ(chunk_.byteCount % frameBytes, 0) << "chunk " << t.chunks;
      EXPECT_LE(chunk_.byteCount, QELO_AUDIO_FRAME_BYTES);
      // Chunks follow one another without gaps (to within the source's own
      // jitter: encoder priming, the resampler's filter).
      EXPECT_NEAR(chunk_.pts, expectedPts, 50000) << "chunk " << t.chunks;
      expectedPts = chunk_.pts + int64_t(chunk_.byteCount / frameBytes) * 10000000 / rate;
      t.bytes += chunk_.byteCount;
      t.largest = std::max(t.largest, chunk_.byteCount);
      ++t.chunks;
    }
    return t;
  }

  static AudioFrame chunk_;
};
AudioFrame AudioChunks::chunk_;

TEST_F(AudioChunks, ResampledToTheAskedFormat) {
  struct Case {
    int rate, bits, channels;
  } cases[] = {{44100, 16, 2}, {8000, 8, 1}, {48000, 32, 6}};
  for (const auto& c : cases) {
    Open(VideoAudioClip());  // 44.1 kHz stereo AAC, decoded as floats
    ASSERT_EQ(QeloResample(c.rate, c.bits, c.channels, handle_), 1);
    const int frameBytes = c.channels * c.bits / 8;
    const Totals t = ReadAll(frameBytes, c.rate);
    // 2 s of sound, give or take the encoder's padding.
    EXPECT_NEAR(double(t.bytes) / frameBytes / c.rate, 2.0, 0.05) << c.rate;
    QeloUnloadMediaFile(handle_);
    handle_ = -1;
  }
}

TEST_F(AudioChunks, TheStreamsOwnFormatPassesThroughUnchanged) {
  Open(AudioOnlyClip());  // 22,050 Hz mono 16-bit PCM
  ASSERT_EQ(QeloResample(22050, 16, 1, handle_), 1);
  ASSERT_EQ(QeloGetNextAudioFrame(&chunk_, handle_), 1);
  // A 1 kHz sine at FFmpeg's default amplitude: samples near +-1/8 of full scale.
  const auto* samples = reinterpret_cast<const int16_t*>(chunk_.data);
  int16_t peak = 0;
  for (int i = 0; i < chunk_.byteCount / 2; ++i) peak = std::max<int16_t>(peak, std::abs(samples[i]));
  EXPECT_NEAR(peak, 4096, 64);
  const int firstBytes = chunk_.byteCount;
  EXPECT_EQ(chunk_.pts, 0);
  const Totals t = ReadAll(2, 22050, int64_t(firstBytes / 2) * 10000000 / 22050);
  // PCM has no padding: every sample of the 2 s comes out once.
  EXPECT_EQ(firstBytes + t.bytes, 2 * 22050 * 2);
}

TEST_F(AudioChunks, LargeConversionsAreSplitIntoWholeChunks) {
  // One 8 kHz packet becomes far more than a chunk's 192,000 bytes at
  // 192 kHz, 8 channels, 32 bits: the rest comes in the following chunks.
  Open(Fixture("low_rate.wav", {"-f", "lavfi", "-i", "sine=sample_rate=8000:duration=1", "-c:a",
                                "pcm_s16le"}));
  ASSERT_EQ(QeloResample(192000, 32, 8, handle_), 1);
  const Totals t = ReadAll(32, 192000);
  EXPECT_EQ(t.largest, QELO_AUDIO_FRAME_BYTES);
  EXPECT_NEAR(double(t.bytes) / 32, 192000.0, 192000 * 0.01);
}

TEST_F(AudioChunks, VideoOnlyFilesHaveNoAudio) {
  Open(VideoOnlyClip());
  EXPECT_EQ(QeloGetNextAudioFrame(&chunk_, handle_), 0);
  EXPECT_TRUE(Logged("Qelo Codecs: no audio stream exist..."));
  EXPECT_EQ(QeloGetNextAudioFrame(nullptr, handle_), 0);
  EXPECT_TRUE(Logged("Qelo Codecs: Error parameter...."));
}

// Formats no chunk can be delivered in are refused with their line, and
// the format chosen before stays.
TEST_F(AudioChunks, AFormatThatCannotBeDeliveredIsRefused) {
  struct Case {
    int rate, bits, channels;
  } refused[] = {{0, 16, 2},        {1, 16, 2},     {999, 16, 2},        {384001, 16, 2},
                 {INT_MAX, 16, 2},  {-44100, 16, 2}, {44100, 16, 0},      {44100, 16, 9},
                 {44100, 16, 1 << 28}, {44100, 7, 2}, {44100, 64, 2},     {44100, 24, 2},
                 {44100, 0, 2}};
  Open(AudioOnlyClip());  // 22,050 Hz mono 16-bit PCM
  ASSERT_EQ(QeloResample(8000, 8, 2, handle_), 1);
  for (const Case& c : refused) {
    SCOPED_TRACE(testing::Message() << c.rate << " Hz " << c.bits << " bits " << c.channels);
    ClearLog();
    EXPECT_EQ(QeloResample(c.rate, c.bits, c.channels, handle_), 0);
    EXPECT_TRUE(Logged("Qelo Codecs: invalid audio format(" + std::to_string(c.rate) + " Hz, " +
                       std::to_string(c.bits) + " bits, " + std::to_string(c.channels) +
                       " channels)..."));
  }
  // Still 8 kHz unsigned 8-bit stereo: one second of the source is 16,000 bytes.
  const Totals t = ReadAll(2, 8000);
  EXPECT_NEAR(double(t.bytes) / 2 / 8000, 2.0, 0.05);
}

// The edges of what is delivered: each comes out at its own rate.
TEST_F(AudioChunks, TheWidestFormatsAreDelivered) {
  struct Case {
    int rate, bits, channels;
  } accepted[] = {{1000, 16, 1}, {384000, 32, 2}, {22050, 8, 24}};
  for (const Case& c : accepted) {
    SCOPED_TRACE(c.rate);
    Open(AudioOnlyClip());
    ASSERT_EQ(QeloResample(c.rate, c.bits, c.channels, handle_), 1);
    const int frameBytes = c.channels * c.bits / 8;
    const Totals t = ReadAll(frameBytes, c.rate);
    EXPECT_NEAR(double(t.bytes) / frameBytes / c.rate, 2.0, 0.05);
    QeloUnloadMediaFile(handle_);
    handle_ = -1;
  }
}

}  // namespace
}  // namespace qelo::test
