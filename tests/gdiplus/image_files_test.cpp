// Images from PNG, JPEG and BMP files, and the JPEG and PNG encoders.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "canvas.h"
#include "common/media_fixture.h"
#include "common/temp_dir.h"
#include "gdiplus/encoders.h"
#include "gdiplus/graphics.h"

namespace qelo::test {
namespace {

using namespace qelo::gdiplus;

class ImageFiles : public GdiplusTest {
 protected:
  // One frame of ffmpeg's test pattern in `pixelFormat`, written as `name`.
  std::string Pattern(const std::string& name, const std::string& pixelFormat) {
    const std::string path = dir_.File(name);
    const bool made = MakeMedia({"-f", "lavfi", "-i", "testsrc2=size=40x30", "-frames:v", "1", "-pix_fmt", pixelFormat},
                                path);
    EXPECT_TRUE(made) << name;
    return path;
  }
  static std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static EncoderId Encoder(const char* mime) {
    const ImageCodecInfo* info = FindEncoder(mime);
    EXPECT_NE(info, nullptr) << mime;
    return info ? info->id : EncoderId{};
  }

  TempDir dir_;
};

double MeanDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  if (a.size() != b.size() || a.empty()) return 1e9;
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    for (int shift : {0, 8, 16}) sum += std::abs(int(a[i] >> shift & 0xFF) - int(b[i] >> shift & 0xFF));
  }
  return sum / (3.0 * a.size());
}

TEST_F(ImageFiles, EncodersAreFoundByExactMimeType) {
  ASSERT_EQ(GetImageEncoders().size(), 2u);
  ASSERT_NE(FindEncoder("image/jpeg"), nullptr);
  ASSERT_NE(FindEncoder("image/png"), nullptr);
  EXPECT_FALSE(FindEncoder("image/jpeg")->id == FindEncoder("image/png")->id);
  for (const char* other : {"image/JPEG", "image/jpg", "image/bmp", "", "image/jpeg "}) {
    EXPECT_EQ(FindEncoder(other), nullptr) << other;
  }
}

TEST_F(ImageFiles, PngRoundTripKeepsEveryByteIncludingAlpha) {
  Canvas canvas(23, 17);
  FillFragile(canvas);
  canvas.At(0, 0) = 0xFF123456;
  canvas.At(1, 0) = 0x80FFFFFF;
  const std::string path = dir_.File("round.png");
  ASSERT_EQ(canvas.bitmap.Save(path, Encoder("image/png")), Status::Ok);
  const ProbedFile probe = Probe(path);
  ASSERT_TRUE(probe.ok);
  ASSERT_EQ(probe.streams.size(), 1u);
  EXPECT_EQ(probe.streams[0].Get("codec_name"), "png");
  EXPECT_EQ(probe.streams[0].Get("width"), "23");

  Bitmap loaded(path);
  ASSERT_EQ(loaded.GetLastStatus(), Status::Ok);
  EXPECT_EQ(ReadPixels(loaded), canvas.pixels);
}

TEST_F(ImageFiles, JpegSaveIsReadableAndClose) {
  Bitmap source(Pattern("pattern.png", "rgb24"));
  ASSERT_EQ(source.GetLastStatus(), Status::Ok);
  const std::string path = dir_.File("snap.jpg");
  ASSERT_EQ(source.Save(path, Encoder("image/jpeg")), Status::Ok);
  const ProbedFile probe = Probe(path);
  ASSERT_TRUE(probe.ok);
  EXPECT_EQ(probe.streams.at(0).Get("codec_name"), "mjpeg");
  EXPECT_EQ(probe.streams.at(0).Get("width"), "40");
  EXPECT_EQ(probe.streams.at(0).Get("height"), "30");
  Bitmap loaded(path);
  ASSERT_EQ(loaded.GetLastStatus(), Status::Ok);
  const std::vector<uint32_t> pixels = ReadPixels(loaded);
  EXPECT_LT(MeanDifference(pixels, ReadPixels(source)), 12);
  for (uint32_t p : pixels) ASSERT_EQ(p >> 24, 255u);
}

TEST_F(ImageFiles, FilesFromAnotherWriterLoadInEveryLayout) {
  const std::vector<uint32_t> reference = [&] {
    Bitmap png(Pattern("reference.png", "rgb24"));
    return ReadPixels(png);
  }();
  ASSERT_EQ(reference.size(), 40u * 30u);
  const struct {
    const char* name;
    const char* pixelFormat;
    double tolerance;  // mean difference per channel against the 24-bit PNG
  } cases[] = {
      {"bgr24.bmp", "bgr24", 0},   {"bgra.bmp", "bgra", 0},         {"rgb555.bmp", "rgb555", 5},
      {"rgb565.bmp", "rgb565", 5}, {"pal8.bmp", "pal8", 20},         {"rgba.png", "rgba", 0},
      {"gray.png", "gray", 60},    {"pattern.jpg", "yuvj420p", 12},
  };
  for (const auto& c : cases) {
    Bitmap image(Pattern(c.name, c.pixelFormat));
    ASSERT_EQ(image.GetLastStatus(), Status::Ok) << c.name;
    EXPECT_EQ(image.GetWidth(), 40) << c.name;
    EXPECT_EQ(image.GetHeight(), 30) << c.name;
    const std::vector<uint32_t> pixels = ReadPixels(image);
    EXPECT_LE(MeanDifference(pixels, reference), c.tolerance) << c.name;
    for (uint32_t p : pixels) ASSERT_EQ(p >> 24, 255u) << c.name;
    if (std::string(c.pixelFormat) == "gray") {
      for (uint32_t p : pixels) ASSERT_EQ(p & 0xFFFF, (p >> 8) & 0xFFFF) << "grey stays grey";
    }
  }
}

TEST_F(ImageFiles, PalettedAndOneBitBmpsMatchTheSamePng) {
  for (const char* format : {"pal8", "monob"}) {
    Bitmap bmp(Pattern(std::string(format) + ".bmp", format));
    Bitmap png(Pattern(std::string(format) + ".png", format));
    ASSERT_EQ(bmp.GetLastStatus(), Status::Ok) << format;
    ASSERT_EQ(png.GetLastStatus(), Status::Ok) << format;
    EXPECT_EQ(ReadPixels(bmp), ReadPixels(png)) << format;
  }
}

// A BMP file of 2 x 2 pixels written by hand: `header` bytes of information
// header (40, or 108 with masks inside), rows top-down when `topDown`.
std::string HandMadeBmp(uint32_t header, uint16_t bits, uint32_t compression, bool topDown,
                        const std::vector<uint32_t>& masks, const std::string& rows) {
  std::string out;
  auto put = [&](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(v >> (8 * i) & 0xFF);
  };
  const uint32_t extraMasks = header == 40 ? static_cast<uint32_t>(masks.size()) * 4 : 0;
  const uint32_t offset = 14 + header + extraMasks;
  out += "BM";
  put(offset + static_cast<uint32_t>(rows.size()), 4);
  put(0, 4);
  put(offset, 4);
  put(header, 4);
  put(2, 4);
  put(topDown ? static_cast<uint32_t>(-2) : 2, 4);
  put(1, 2);
  put(bits, 2);
  put(compression, 4);
  put(static_cast<uint32_t>(rows.size()), 4);
  put(0, 16);  // resolution, colours used, colours important
  for (uint32_t m : masks) put(m, 4);
  if (header > 40) out.resize(14 + header, '\0');
  return out + rows;
}

TEST_F(ImageFiles, HandMadeBmpsReadRowsAndMasksRight) {
  const std::string path = dir_.File("hand.bmp");
  // 24 bits, rows padded to 8 bytes, stored top-down.
  const std::string rows24("\x01\x02\x03\x04\x05\x06\0\0\x07\x08\x09\x0A\x0B\x0C\0\0", 16);
  Write(path, HandMadeBmp(40, 24, 0, true, {}, rows24));
  Bitmap topDown(path);
  ASSERT_EQ(topDown.GetLastStatus(), Status::Ok);
  EXPECT_EQ(ReadPixels(topDown), (std::vector<uint32_t>{0xFF030201, 0xFF060504, 0xFF090807, 0xFF0C0B0A}));

  // The same rows bottom-up.
  Write(path, HandMadeBmp(40, 24, 0, false, {}, rows24));
  Bitmap bottomUp(path);
  EXPECT_EQ(ReadPixels(bottomUp), (std::vector<uint32_t>{0xFF090807, 0xFF0C0B0A, 0xFF030201, 0xFF060504}));

  // 32 bits with red, green, blue and alpha masks inside a 108-byte header:
  // the alpha is kept.
  const std::string rows32("\x11\x22\x33\x80\x44\x55\x66\x00\x77\x88\x99\xFF\xAA\xBB\xCC\x01", 16);
  Write(path, HandMadeBmp(108, 32, 3, true, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}, rows32));
  Bitmap withAlpha(path);
  ASSERT_EQ(withAlpha.GetLastStatus(), Status::Ok);
  EXPECT_EQ(ReadPixels(withAlpha), (std::vector<uint32_t>{0x80332211, 0x00665544, 0xFF998877, 0x01CCBBAA}));

  // 32 bits without masks: the fourth byte is unused and the pixels opaque.
  Write(path, HandMadeBmp(40, 32, 0, true, {}, rows32));
  Bitmap noAlpha(path);
  EXPECT_EQ(ReadPixels(noAlpha), (std::vector<uint32_t>{0xFF332211, 0xFF665544, 0xFF998877, 0xFFCCBBAA}));

  // 16 bits with 5-6-5 masks after a 40-byte header: pure red, green, blue, white.
  const std::string rows16("\x00\xF8\xE0\x07\x1F\x00\xFF\xFF", 8);  // 4-byte rows need no padding
  Write(path, HandMadeBmp(40, 16, 3, true, {0xF800, 0x07E0, 0x001F}, rows16));
  Bitmap rgb565(path);
  ASSERT_EQ(rgb565.GetLastStatus(), Status::Ok);
  EXPECT_EQ(ReadPixels(rgb565), (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}));
}

TEST_F(ImageFiles, PaddedRowsSaveAndLoad) {
  constexpr int kWidth = 5, kHeight = 3, kStride = 4 * kWidth + 12;
  std::vector<uint8_t> buffer(kStride * kHeight, 0xEE);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const uint32_t p = 0xFF000000u | static_cast<uint32_t>(y * 40 << 16 | x * 50 << 8 | 7);
      std::memcpy(buffer.data() + y * kStride + x * 4, &p, 4);
    }
  }
  Bitmap padded(kWidth, kHeight, kStride, PixelFormat::Argb32, buffer.data());
  const std::string png = dir_.File("padded.png"), jpg = dir_.File("padded.jpg");
  ASSERT_EQ(padded.Save(png, Encoder("image/png")), Status::Ok);
  ASSERT_EQ(padded.Save(jpg, Encoder("image/jpeg")), Status::Ok);
  Bitmap fromPng(png), fromJpg(jpg);
  const std::vector<uint32_t> original = ReadPixels(padded);
  EXPECT_EQ(ReadPixels(fromPng), original);
  EXPECT_LT(MeanDifference(ReadPixels(fromJpg), original), 12);
}

TEST_F(ImageFiles, UnreadableFilesGiveClearErrors) {
  const std::string bmp = Bytes(Pattern("good.bmp", "bgr24"));
  const std::string png = Bytes(Pattern("good.png", "rgb24"));
  const std::string jpg = Bytes(Pattern("good.jpg", "yuvj420p"));
  std::string hugeBmp = bmp;
  hugeBmp[18] = '\xFF';  // width 0x00FF0028 and more
  hugeBmp[20] = '\x7F';
  std::string rleBmp = bmp;
  rleBmp[30] = 1;
  const struct {
    const char* name;
    std::string bytes;
    Status status;
  } cases[] = {
      {"text.png", "this is not an image", Status::UnknownImageFormat},
      {"empty.bmp", "", Status::UnknownImageFormat},
      {"header-only.bmp", bmp.substr(0, 20), Status::UnknownImageFormat},
      {"truncated.bmp", bmp.substr(0, bmp.size() - 10), Status::UnknownImageFormat},
      {"huge.bmp", hugeBmp, Status::UnknownImageFormat},
      {"rle.bmp", rleBmp, Status::UnknownImageFormat},
      {"truncated.png", png.substr(0, png.size() / 2), Status::UnknownImageFormat},
      {"signature.jpg", jpg.substr(0, 4), Status::UnknownImageFormat},
  };
  for (const auto& c : cases) {
    const std::string path = dir_.File(c.name);
    Write(path, c.bytes);
    Bitmap image(path);
    EXPECT_EQ(image.GetLastStatus(), c.status) << c.name;
    EXPECT_EQ(image.GetWidth(), 0) << c.name;
    Canvas target(4, 4);
    EXPECT_EQ(Graphics(&target.bitmap).DrawImage(image, 0, 0), Status::InvalidParameter) << c.name;
  }
  EXPECT_EQ(Bitmap(dir_.File("missing.png")).GetLastStatus(), Status::FileNotFound);
  EXPECT_NE(Bitmap(dir_.path()).GetLastStatus(), Status::Ok);
  EXPECT_EQ(Bitmap(std::string()).GetLastStatus(), Status::InvalidParameter);
}

TEST_F(ImageFiles, SavingReplacesAFileOnlyWhenItSucceeds) {
  Canvas canvas(8, 8, 0xFF336699);
  const std::string path = dir_.File("keep.png");
  Write(path, "old contents");

  EXPECT_EQ(canvas.bitmap.Save(path, EncoderId{999}), Status::InvalidParameter);
  EXPECT_EQ(Bytes(path), "old contents");
  BitmapData data;
  ASSERT_EQ(canvas.bitmap.LockBits(nullptr, ImageLockModeRead, PixelFormat::Argb32, &data), Status::Ok);
  EXPECT_EQ(canvas.bitmap.Save(path, Encoder("image/png")), Status::WrongState);
  canvas.bitmap.UnlockBits(&data);
  EXPECT_EQ(Bytes(path), "old contents");

  EXPECT_EQ(canvas.bitmap.Save(dir_.File("no/such/folder/x.png"), Encoder("image/png")), Status::WriteFailed);
  std::filesystem::create_directory(dir_.File("folder.png"));
  EXPECT_EQ(canvas.bitmap.Save(dir_.File("folder.png"), Encoder("image/png")), Status::WriteFailed);

  ASSERT_EQ(canvas.bitmap.Save(path, Encoder("image/png")), Status::Ok);
  Bitmap loaded(path);
  EXPECT_EQ(ReadPixels(loaded), canvas.pixels);
  // Nothing but the files this test made is left in the folder.
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir_.path())) ++entries;
  EXPECT_EQ(entries, 2);
}

TEST_F(ImageFiles, LoadedPictureFitsIntoAWatermarkBox) {
  // The engine's watermark: a 200 x 100 picture fitted into 100 x 100 is
  // drawn as 100 x 50 at top offset 25 on a transparent picture.
  Canvas wide(200, 100, 0xFF40C040);
  const std::string path = dir_.File("wide.png");
  ASSERT_EQ(wide.bitmap.Save(path, Encoder("image/png")), Status::Ok);
  Bitmap picture(path);
  Bitmap fitted(100, 100);
  ASSERT_EQ(Graphics(&fitted).DrawImage(picture, RectF{0, 25, 100, 50}), Status::Ok);
  const std::vector<uint32_t> pixels = ReadPixels(fitted);
  for (int y = 0; y < 100; ++y) {
    EXPECT_EQ(pixels[y * 100 + 50], y >= 25 && y < 75 ? 0xFF40C040u : 0u) << y;
  }
}

}  // namespace
}  // namespace qelo::test
