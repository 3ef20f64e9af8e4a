// Writing output files: every container and codec pair, read back by ffprobe.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>

#include "codecs/codec_test_support.h"
#include "common/media_fixture.h"
#include "common/process.h"
#include "common/temp_dir.h"
#include "win/codepage.h"

namespace qelo::test {
namespace {

struct Output {
  int formatId;
  int videoCodecId;  // -1: none
  int audioCodecId;  // -1: none
  const char* file;
  const char* videoCodec = nullptr;  // ffprobe's codec_name; null when no video is expected
  const char* audioCodec = nullptr;
  int width = 320, height = 240, fpsNum = 25, fpsDen = 1;
  int sampleRate = 44100, channels = 2, bits = 16;
  int videoKbps = 800, audioKbps = 128;
  int streams = 0;  // streams ffprobe finds, when not one for each codec
};

void PrintTo(const Output& o, std::ostream* out) { *out << o.file; }

FormatSettings SettingsFor(const Output& o, const std::string& path) {
  FormatSettings s{};
  win::CopyToUtf16Field(s.outputPath, QELO_PATH_CHARS, win::Utf8ToUtf16(path));
  s.formatId = o.formatId;
  s.videoCodecId = o.videoCodecId;
  s.audioCodecId = o.audioCodecId;
  s.width = o.width;
  s.height = o.height;
  s.frameRateNum = o.fpsNum;
  s.frameRateDen = o.fpsDen;
  s.videoBitRate = o.videoKbps * 1000;
  s.sampleRate = o.sampleRate;
  s.channels = o.channels;
  s.bitsPerSample = o.bits;
  s.audioBitRate = o.audioKbps * 1000;
  return s;
}

// A moving gradient, bytes B G R A.
std::vector<uint8_t> TestPicture(int width, int height, int index) {
  std::vector<uint8_t> p(size_t(width) * height * 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* px = &p[(size_t(y) * width + x) * 4];
      px[0] = uint8_t(x + index * 4), px[1] = uint8_t(y * 2), px[2] = uint8_t(x ^ y), px[3] = 255;
    }
  return p;
}

// `samples` sample frames of a 440 Hz tone in the settings' PCM format.
std::vector<uint8_t> TestTone(int sampleRate, int channels, int bits, int64_t first, int samples) {
  const int bytes = bits / 8;
  std::vector<uint8_t> pcm(size_t(samples) * channels * bytes);
  for (int i = 0; i < samples; ++i) {
    const double v = 0.3 * std::sin(2 * M_PI * 440 * double(first + i) / sampleRate);
    for (int c = 0; c < channels; ++c) {
      uint8_t* at = &pcm[(size_t(i) * channels + c) * bytes];
      if (bits == 8) {
        *at = uint8_t(128 + v * 127);
      } else if (bits == 32) {
        const int32_t s = int32_t(v * 2147483647.0);
        std::memcpy(at, &s, 4);
      } else {
        const int16_t s = int16_t(v * 32767);
        std::memcpy(at, &s, 2);
      }
    }
  }
  return pcm;
}

class Encoder : public ::testing::Test {
 protected:
  void SetUp() override {
    InitializeCodecsForTests();
    ClearLog();
  }

  // Writes `seconds` of pictures and sound, in 1/10 s steps as the engine
  // does; returns the handle's final answers through `ok`.
  void Write(const Output& o, const std::string& path, double seconds, int* handleOut = nullptr) {
    const FormatSettings s = SettingsFor(o, path);
    const int h = QeloInitializeEncoder(&s);
    if (handleOut) *handleOut = h;
    ASSERT_GE(h, 0) << path;
    const int frames = int(std::lround(seconds * o.fpsNum / o.fpsDen));
    const int64_t samples = std::llround(seconds * o.sampleRate);
    int64_t samplesWritten = 0;
    for (int i = 0; i < frames || samplesWritten < samples; ++i) {
      if (o.videoCodecId >= 0 && i < frames) {
        const auto picture = TestPicture(o.width, o.height, i);
        EXPECT_EQ(QeloAddVideoFrame(o.width, o.height, 1, picture.data(), int(picture.size()), h), 1)
            << path << " frame " << i;
      }
      const int64_t until = std::min<int64_t>(samples, (i + 1) * int64_t(o.sampleRate) * o.fpsDen / o.fpsNum);
      if (o.audioCodecId >= 0 && until > samplesWritten) {
        const auto pcm = TestTone(o.sampleRate, o.channels, o.bits, samplesWritten, int(until - samplesWritten));
        EXPECT_EQ(QeloAddAudioFrame(pcm.data(), int(pcm.size()), h), 1) << path;
        samplesWritten = until;
      }
      if (o.audioCodecId < 0 && i >= frames) break;
    }
    EXPECT_EQ(QeloCloseVideo(h), 1);
    if (o.audioCodecId >= 0) {
      EXPECT_EQ(QeloCloseAudio(h), 1) << path;
    }
    EXPECT_EQ(QeloDeInitializeEncoder(h), 1) << path;
  }

  TempDir dir_;
};

// Every pair that Debian's FFmpeg can write, one second each.
const Output kWritable[] = {
    {FORMAT_MPEG1, VCODEC_MPEG1, ACODEC_MP2, "mpeg1.mpg", "mpeg1video", "mp2"},
    {FORMAT_VCD, VCODEC_MPEG1, ACODEC_MP2, "vcd.mpg", "mpeg1video", "mp2", 352, 288},
    {FORMAT_MPEG2, VCODEC_MPEG2, ACODEC_AC3, "mpeg2.mpg", "mpeg2video", "ac3", 640, 480},
    {FORMAT_SVCD, VCODEC_MPEG2, ACODEC_MP2, "svcd.mpg", "mpeg2video", "mp2", 480, 576},
    {FORMAT_DVD, VCODEC_MPEG2, ACODEC_PCM_16, "dvd.mpg", "mpeg2video", "pcm_dvd", 720, 576, 25, 1, 48000},
    {FORMAT_MP4, VCODEC_MPEG4, ACODEC_AAC, "mpeg4.mp4", "mpeg4", "aac"},
    {FORMAT_MP4, VCODEC_XVID, ACODEC_AAC, "xvid.mp4", "mpeg4", "aac"},
    {FORMAT_MP4, VCODEC_H264, ACODEC_AAC, "h264.mp4", "h264", "aac"},
    {FORMAT_MOV, VCODEC_XVID, ACODEC_AAC, "xvid.mov", "mpeg4", "aac"},
    {FORMAT_MOV, VCODEC_MJPEG, ACODEC_PCM_S16BE, "mjpeg.mov", "mjpeg", "pcm_s16be"},
    {FORMAT_3GP, VCODEC_H263, ACODEC_AMR_NB, "h263.3gp", "h263", "amr_nb", 176, 144, 15, 1, 8000, 1, 16, 128, 12},
    {FORMAT_3GP, VCODEC_MPEG4, ACODEC_AMR_WB, "amrwb.3gp", "mpeg4", "amr_wb", 176, 144, 15, 1, 16000, 1, 16, 256, 23},
    {FORMAT_3G2, VCODEC_MPEG4, ACODEC_AAC, "mpeg4.3g2", "mpeg4", "aac", 176, 144, 15},
    {FORMAT_AVI, VCODEC_XVID, ACODEC_MP3, "xvid.avi", "mpeg4", "mp3"},
    {FORMAT_AVI, VCODEC_MSMPEG4V2, ACODEC_PCM_S16LE, "msmpeg4v2.avi", "msmpeg4v2", "pcm_s16le"},
    {FORMAT_AVI, VCODEC_MSMPEG4V3, ACODEC_ADPCM_MS, "msmpeg4v3.avi", "msmpeg4v3", "adpcm_ms"},
    {FORMAT_AVI, VCODEC_MJPEG, ACODEC_ADPCM_IMA_WAV, "mjpeg.avi", "mjpeg", "adpcm_ima_wav"},
    {FORMAT_AVI, VCODEC_H264, ACODEC_MP2, "h264.avi", "h264", "mp2"},
    {FORMAT_WMV, VCODEC_WMV1, ACODEC_WMAV1, "wmv1.wmv", "wmv1", "wmav1"},
    {FORMAT_WMV, VCODEC_WMV2, ACODEC_WMAV2, "wmv2.wmv", "wmv2", "wmav2"},
    {FORMAT_ASF, VCODEC_MSMPEG4V2, ACODEC_WMAV2, "msmpeg4v2.asf", "msmpeg4v2", "wmav2"},
    {FORMAT_RM, VCODEC_RV10, ACODEC_AC3, "rv10.rm", "rv10", "ac3"},
    {FORMAT_RM, VCODEC_RV20, ACODEC_RA_144, "rv20.rm", "rv20", "ra_144", 320, 240, 25, 1, 8000, 1, 16, 800, 8},
    {FORMAT_FLV, VCODEC_FLV1, ACODEC_MP3, "flv1.flv", "flv1", "mp3"},
    {FORMAT_OGG, VCODEC_THEORA, ACODEC_VORBIS, "theora.ogg", "theora", "vorbis"},
    {FORMAT_MKV, VCODEC_H264, ACODEC_DTS, "dts.mkv", "h264", "dts", 320, 240, 25, 1, 48000, 2, 16, 800, 768},
    {FORMAT_MKV, VCODEC_THEORA, ACODEC_FLAC, "theora.mkv", "theora", "flac"},
    // 4:2:2 DV carries its sound as two stereo pairs.
    {FORMAT_DV, VCODEC_DVVIDEO, ACODEC_PCM_S16LE, "dv.dv", "dvvideo", "pcm_s16le", 720, 576, 25, 1, 48000, 2, 16, 800, 128, 3},
    {FORMAT_MP3, -1, ACODEC_MP3, "audio.mp3", nullptr, "mp3"},
    {FORMAT_WAV, -1, ACODEC_PCM_S16LE, "audio.wav", nullptr, "pcm_s16le", 0, 0, 25, 1, 22050, 1},
    {FORMAT_WAV, -1, ACODEC_ADPCM_IMA_WAV, "ima.wav", nullptr, "adpcm_ima_wav"},
    {FORMAT_WMA, -1, ACODEC_WMAV2, "audio.wma", nullptr, "wmav2"},
    {FORMAT_AAC, -1, ACODEC_AAC, "audio.aac", nullptr, "aac"},
    {FORMAT_AC3, -1, ACODEC_AC3, "audio.ac3", nullptr, "ac3", 0, 0, 25, 1, 48000, 2, 16, 128, 192},
    {FORMAT_AIFF, -1, ACODEC_PCM_S16BE, "audio.aiff", nullptr, "pcm_s16be"},
    {FORMAT_FLAC, -1, ACODEC_FLAC, "audio.flac", nullptr, "flac"},
    {FORMAT_OGG, -1, ACODEC_VORBIS, "audio.ogg", nullptr, "vorbis", 0, 0, 25, 1, 44100, 2, 8},
    {FORMAT_WAV, -1, ACODEC_PCM_S16LE, "s32.wav", nullptr, "pcm_s16le", 0, 0, 25, 1, 44100, 2, 32},
};

class EncoderPair : public Encoder, public ::testing::WithParamInterface<Output> {};

TEST_P(EncoderPair, WritesAFileFfprobeReadsBack) {
  const Output& o = GetParam();
  const std::string path = dir_.File(o.file);
  ClearLog();
  Write(o, path, 1.0);
  const ProbedFile probed = Probe(path);
  ASSERT_TRUE(probed.ok) << o.file;
  EXPECT_EQ(probed.streams.size(), size_t(o.streams ? o.streams : o.videoCodec ? 2 : 1)) << o.file;
  if (o.videoCodec) {
    const ProbedStream* v = probed.First("video");
    ASSERT_NE(v, nullptr) << o.file;
    EXPECT_EQ(v->Get("codec_name"), o.videoCodec) << o.file;
    EXPECT_EQ(v->Number("width"), o.width) << o.file;
    EXPECT_EQ(v->Number("height"), o.height) << o.file;
    EXPECT_NEAR(v->Number("r_frame_rate"), double(o.fpsNum) / o.fpsDen, 0.01) << o.file;
    // Every picture written comes back: encoders that hold pictures back
    // are drained at the end.
    EXPECT_EQ(CountVideoFrames(path), o.fpsNum / o.fpsDen) << o.file;
  }
  const ProbedStream* a = probed.First("audio");
  ASSERT_NE(a, nullptr) << o.file;
  EXPECT_EQ(a->Get("codec_name"), o.audioCodec) << o.file;
  EXPECT_EQ(a->Number("sample_rate"), o.sampleRate) << o.file;
  EXPECT_EQ(a->Number("channels"), o.channels) << o.file;
  const double frame = o.videoCodec ? double(o.fpsDen) / o.fpsNum : 0.0;
  // Encoders pad the sound to whole frames (up to 4,608 samples).
  const double slack = std::max(frame, 4608.0 / o.sampleRate);
  EXPECT_NEAR(probed.Duration(), 1.0, slack) << o.file;
}

std::string PairName(const ::testing::TestParamInfo<Output>& info) {
  std::string name = info.param.file;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(EveryWritablePair, EncoderPair, ::testing::ValuesIn(kWritable), PairName);

// What this platform's FFmpeg cannot write: the open fails with a line.
TEST_F(Encoder, PairsWithoutAnEncoderOrMuxerFailToOpen) {
  struct Case {
    Output output;
    const char* line;
  } cases[] = {
      {{FORMAT_WMV, VCODEC_WMV3, ACODEC_WMAV2, "wmv3.wmv"}, "failed to find encoder..."},
      {{FORMAT_RM, VCODEC_RV30, ACODEC_AC3, "rv30.rm"}, "failed to find encoder..."},
      {{FORMAT_RM, VCODEC_RV40, ACODEC_AC3, "rv40.rm"}, "failed to find encoder..."},
      {{FORMAT_AVI, VCODEC_AVS, ACODEC_MP3, "avs.avi"}, "failed to find encoder..."},
      {{FORMAT_AVI, VCODEC_MSMPEG4V1, ACODEC_MP3, "msmpeg4v1.avi"}, "failed to find encoder..."},
      {{FORMAT_RM, -1, ACODEC_RA_288, "ra288.rm"}, "can't find audio encoder..."},
      {{FORMAT_DV, -1, ACODEC_DVAUDIO, "dvaudio.dv"}, "can't find audio encoder..."},
      {{FORMAT_MKV, -1, ACODEC_APE, "ape.mkv"}, "can't find audio encoder..."},
      {{FORMAT_APE, -1, ACODEC_FLAC, "audio.ape"}, "Error file format id..."},
      {{FORMAT_RMVB, VCODEC_RV10, ACODEC_AC3, "rv10.rmvb"}, "Error file format id..."},
      {{FORMAT_ID_COUNT, VCODEC_MPEG1, ACODEC_MP2, "id26.mpg"}, "Error file format id..."},
      {{-1, VCODEC_MPEG1, ACODEC_MP2, "negative.mpg"}, "Error file format id..."},
  };
  for (const auto& c : cases) {
    ClearLog();
    const FormatSettings s = SettingsFor(c.output, dir_.File(c.output.file));
    EXPECT_EQ(QeloInitializeEncoder(&s), -1) << c.output.file;
    EXPECT_EQ(LoggedLines(), (std::vector<std::string>{std::string("Qelo Codecs: ") + c.line,
                                                        "Qelo Codecs: failed to initialize encoder..."}))
        << c.output.file;
  }
  ClearLog();
  EXPECT_EQ(QeloInitializeEncoder(nullptr), -1);
  EXPECT_TRUE(Logged("Qelo Codecs: Error parameter..."));
}

TEST_F(Encoder, SettingsTheEncoderRefusesFailToOpen) {
  Output o{FORMAT_3GP, VCODEC_H263, ACODEC_AMR_NB, "bad.3gp", "h263", "amr_nb", 300, 200};
  o.sampleRate = 8000, o.channels = 1;
  const FormatSettings s = SettingsFor(o, dir_.File(o.file));
  EXPECT_EQ(QeloInitializeEncoder(&s), -1);  // H.263 takes only its standard sizes
  EXPECT_TRUE(Logged("Qelo Codecs: failed to initialize encoder..."));
}

// Whatever lies at the output path is left as it is, a link is never
// followed (not even one that leads nowhere yet), and the open fails.
TEST_F(Encoder, AnOutputPathThatExistsIsNeverOpened) {
  namespace fs = std::filesystem;
  const Output o{FORMAT_MPEG1, VCODEC_MPEG1, ACODEC_MP2, "taken.mpg"};
  const std::string path = dir_.File(o.file), target = dir_.File("target.dat");
  const std::string bytes = "a file of the user's\n";
  const struct {
    const char* name;
    bool file, link, targetExists;
  } cases[] = {{"a file", true, false, false}, {"a link to a file", false, true, true},
               {"a link that leads nowhere", false, true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(path);
    fs::remove(target);
    if (c.file) std::ofstream(path, std::ios::binary) << bytes;
    if (c.targetExists) std::ofstream(target, std::ios::binary) << bytes;
    if (c.link) fs::create_symlink(target, path);
    ClearLog();
    const FormatSettings s = SettingsFor(o, path);
    EXPECT_EQ(QeloInitializeEncoder(&s), -1);
    EXPECT_EQ(LoggedLines(), (std::vector<std::string>{
                                 "Qelo Codecs: Could not open '" + path + "'\n",
                                 "Qelo Codecs: output file(" + path + ") exists already; it is never written over",
                                 "Qelo Codecs: failed to initialize encoder..."}));
    const std::string kept = c.file ? path : target;
    EXPECT_EQ(c.link, fs::is_symlink(path));
    EXPECT_EQ(fs::exists(kept), c.file || c.targetExists) << "a link's target is never made";
    if (fs::exists(kept)) {
      std::ifstream in(kept, std::ios::binary);
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bytes);
    }
  }
}

// The file the failed open made holds nothing: it is removed.
TEST_F(Encoder, WithoutAnyStreamThereIsNothingToWrite) {
  const Output o{FORMAT_MKV, -1, -1, "empty.mkv"};
  const FormatSettings s = SettingsFor(o, dir_.File(o.file));
  EXPECT_EQ(QeloInitializeEncoder(&s), -1);
  EXPECT_TRUE(Logged("Qelo Codecs: failed to write file header..."));
  EXPECT_TRUE(Logged("Qelo Codecs: removed output without frame or sample(" + dir_.File(o.file) + ")"));
  EXPECT_FALSE(std::filesystem::exists(dir_.File(o.file)));
}

TEST_F(Encoder, FramesAreCheckedBeforeTheyAreEncoded) {
  const Output o{FORMAT_AVI, VCODEC_MPEG4, ACODEC_MP2, "checked.avi", "mpeg4", "mp2"};
  const FormatSettings s = SettingsFor(o, dir_.File(o.file));
  const int h = QeloInitializeEncoder(&s);
  ASSERT_GE(h, 0);
  const auto picture = TestPicture(320, 240, 0);
  struct Case {
    int width, height, format;
    const uint8_t* pixels;
    const char* line;
  } cases[] = {
      {320, 240, 0, picture.data(), "only support argb32 pixel format..."},
      {320, 240, 1, nullptr, "Error parameter....avframe, data"},
      {640, 480, 1, picture.data(), "frame size 640x480 differs from the output's 320x240..."},
  };
  for (const auto& c : cases) {
    ClearLog();
    EXPECT_EQ(QeloAddVideoFrame(c.width, c.height, c.format, c.pixels, 0, h), 0);
    EXPECT_EQ(LoggedLines(), std::vector<std::string>{std::string("Qelo Codecs: ") + c.line});
  }
  EXPECT_EQ(QeloAddVideoFrame(320, 240, 1, picture.data(), 0, h), 1);
  EXPECT_EQ(QeloDeInitializeEncoder(h), 1);
  EXPECT_EQ(CountVideoFrames(dir_.File(o.file)), 1);
}

TEST_F(Encoder, AnAudioOnlyOutputTakesNoPictures) {
  const Output o{FORMAT_MP3, -1, ACODEC_MP3, "only.mp3", nullptr, "mp3"};
  const FormatSettings s = SettingsFor(o, dir_.File(o.file));
  const int h = QeloInitializeEncoder(&s);
  ASSERT_GE(h, 0);
  ClearLog();
  const auto picture = TestPicture(320, 240, 0);
  EXPECT_EQ(QeloAddVideoFrame(320, 240, 1, picture.data(), 0, h), 0);
  EXPECT_TRUE(LoggedLines().empty());
  EXPECT_EQ(QeloDeInitializeEncoder(h), 1);
}

// MP2 frames are 1,152 samples: 4,608 bytes of 16-bit stereo.
TEST_F(Encoder, AudioIsCutIntoWholeEncoderFrames) {
  const Output o{FORMAT_MPEG1, -1, ACODEC_MP2, "frames.mpg", nullptr, "mp2"};
  const std::string path = dir_.File(o.file);
  const FormatSettings s = SettingsFor(o, path);
  const int h = QeloInitializeEncoder(&s);
  ASSERT_GE(h, 0);
  const auto pcm = TestTone(44100, 2, 16, 0, (10000 + 3824) / 4);
  EXPECT_EQ(QeloAddAudioFrame(pcm.data(), 10000, h), 1);         // two frames, 784 bytes left
  EXPECT_EQ(QeloAddAudioFrame(pcm.data() + 10000, 3824, h), 1);  // one whole frame, kept back
  EXPECT_EQ(QeloCloseAudio(h), 1);                               // ... and written now
  EXPECT_EQ(QeloDeInitializeEncoder(h), 1);
  const ProcessResult packets =
      RunProcess({"ffprobe", "-v", "error", "-count_packets", "-show_entries",
                  "stream=nb_read_packets", "-of", "default=nw=1:nk=1", path});
  EXPECT_EQ(packets.output, "3\n");
}

// The last, partial frame is filled with silence, not with the bytes of an
// earlier frame.
TEST_F(Encoder, ThePartialLastFrameIsPaddedWithSilence) {
  const Output o{FORMAT_MPEG1, -1, ACODEC_MP2, "padded.mpg", nullptr, "mp2"};
  const std::string path = dir_.File(o.file);
  const FormatSettings s = SettingsFor(o, path);
  const int h = QeloInitializeEncoder(&s);
  ASSERT_GE(h, 0);
  std::vector<uint8_t> loud(4608 * 3), quiet(400, 0);
  for (size_t i = 0; i < loud.size(); i += 2) loud[i + 1] = (i / 2) % 40 < 20 ? 0x60 : 0xA0;
  EXPECT_EQ(QeloAddAudioFrame(loud.data(), int(loud.size()), h), 1);
  EXPECT_EQ(QeloAddAudioFrame(quiet.data(), int(quiet.size()), h), 1);
  EXPECT_EQ(QeloCloseAudio(h), 1);
  EXPECT_EQ(QeloDeInitializeEncoder(h), 1);
  const ProcessResult decoded = RunProcess(
      {"ffmpeg", "-v", "error", "-i", path, "-f", "s16le", "-ac", "1", "-"});
  ASSERT_EQ(decoded.exitCode, 0);
  const auto* samples = reinterpret_cast<const int16_t*>(decoded.output.data());
  const size_t count = decoded.output.size() / 2;
  ASSERT_GE(count, 4u * 1152);
  // The fourth frame starts 400 bytes (100 samples) of silence and padding;
  // look past the codec's filter delay into its second half.
  double energy = 0;
  for (size_t i = count - 500; i < count; ++i) energy += double(samples[i]) * samples[i];
  EXPECT_LT(std::sqrt(energy / 500), 200.0);
}

TEST(FormatDefaults, VcdHasItsOwnValuesEveryOtherFormatAZeroedRecord) {
  FormatSettings s{};
  s.width = 352, s.height = 288, s.outputPath[0] = u'x', s.outputPath[5] = u'y';
  EXPECT_EQ(QeloGetDefaultFmtContext(FORMAT_VCD, &s), 1);
  EXPECT_EQ(s.formatId, 1);
  EXPECT_EQ(s.outputPath[0], 0);
  EXPECT_EQ(s.outputPath[5], u'y');
  EXPECT_EQ(s.width, 352);  // kept as the caller had it
  EXPECT_EQ(s.height, 288);
  EXPECT_EQ(s.videoCodecId, 0);
  EXPECT_EQ(s.videoBitRate, 400000);
  EXPECT_EQ(s.frameRateNum, 25);
  EXPECT_EQ(s.frameRateDen, 1);
  EXPECT_EQ(s.audioCodecId, 0);
  EXPECT_EQ(s.audioBitRate, 11200);
  EXPECT_EQ(s.sampleRate, 44100);
  EXPECT_EQ(s.channels, 2);
  EXPECT_EQ(s.bitsPerSample, 16);
  EXPECT_EQ(std::u16string(s.audioCodecName), u"mp2");

  EXPECT_EQ(QeloGetDefaultFmtContext(FORMAT_MP4, &s), 1);
  FormatSettings zero{};
  zero.formatId = FORMAT_MP4;
  EXPECT_EQ(std::memcmp(&s, &zero, sizeof s), 0);
  EXPECT_EQ(QeloGetDefaultFmtContext(FORMAT_VCD, nullptr), 0);
  EXPECT_EQ(QeloGetDefaultFmtContext(FORMAT_MP4, nullptr), 0);
  EXPECT_EQ(QeloCheckFmtContext(&s), 1);
  EXPECT_EQ(QeloCheckFmtContext(nullptr), 0);
}

}  // namespace
}  // namespace qelo::test
