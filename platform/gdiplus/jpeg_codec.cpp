// JPEG through libjpeg-turbo, straight to and from B, G, R, A rows. libjpeg
// reports fatal errors by longjmp, so the functions that call it keep only
// plain data in their frames.
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "image_io.h"

namespace qelo::gdiplus::detail {
namespace {

struct JpegErrors {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

[[noreturn]] void JumpOut(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1); }

void StayQuiet(j_common_ptr) {}

void InstallErrors(JpegErrors* errors) {
  jpeg_std_error(&errors->base);
  errors->base.error_exit = JumpOut;
  errors->base.output_message = StayQuiet;
}

struct JpegReader {
  jpeg_decompress_struct info;
  JpegErrors errors;
};

bool StartReading(JpegReader* reader, const uint8_t* data, std::size_t size) {
  if (setjmp(reader->errors.jump)) return false;
  jpeg_create_decompress(&reader->info);
  jpeg_mem_src(&reader->info, data, size);
  jpeg_read_header(&reader->info, TRUE);
  reader->info.out_color_space = JCS_EXT_BGRA;
  jpeg_start_decompress(&reader->info);
  return true;
}

bool ReadRows(JpegReader* reader, uint8_t* pixels, int stride) {
  if (setjmp(reader->errors.jump)) return false;
  while (reader->info.output_scanline < reader->info.output_height) {
    JSAMPROW row = pixels + static_cast<std::ptrdiff_t>(reader->info.output_scanline) * stride;
    jpeg_read_scanlines(&reader->info, &row, 1);
  }
  jpeg_finish_decompress(&reader->info);
  return true;
}

struct JpegWriter {
  jpeg_compress_struct info;
  JpegErrors errors;
};

bool WriteImage(JpegWriter* writer, const PixelView* view, std::FILE* out) {
  if (setjmp(writer->errors.jump)) return false;
  jpeg_create_compress(&writer->info);
  jpeg_stdio_dest(&writer->info, out);
  writer->info.image_width = static_cast<JDIMENSION>(view->width);
  writer->info.image_height = static_cast<JDIMENSION>(view->height);
  writer->info.input_components = 4;
  writer->info.in_color_space = JCS_EXT_BGRA;
  jpeg_set_defaults(&writer->info);
  jpeg_start_compress(&writer->info, TRUE);
  while (writer->info.next_scanline < writer->info.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(view->pixels) + static_cast<std::ptrdiff_t>(writer->info.next_scanline) * view->stride;
    jpeg_write_scanlines(&writer->info, &row, 1);
  }
  jpeg_finish_compress(&writer->info);
  return true;
}

}  // namespace

Status DecodeJpeg(const std::vector<uint8_t>& file, DecodedImage* out) {
  JpegReader reader;
  std::memset(&reader, 0, sizeof reader);
  reader.info.err = &reader.errors.base;
  InstallErrors(&reader.errors);
  Status status = Status::UnknownImageFormat;
  if (StartReading(&reader, file.data(), file.size())) {
    const int width = static_cast<int>(reader.info.output_width), height = static_cast<int>(reader.info.output_height);
    if (!SizeAllowed(width, height)) {
      status = Status::OutOfMemory;
    } else {
      std::vector<uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
      if (ReadRows(&reader, pixels.data(), 4 * width)) {
        *out = {width, height, std::move(pixels)};
        status = Status::Ok;
      }
    }
  }
  jpeg_destroy_decompress(&reader.info);
  return status;
}

bool EncodeJpeg(const PixelView& view, std::FILE* out) {
  JpegWriter writer;
  std::memset(&writer, 0, sizeof writer);
  writer.info.err = &writer.errors.base;
  InstallErrors(&writer.errors);
  const bool written = WriteImage(&writer, &view, out);
  jpeg_destroy_compress(&writer.info);
  return written;
}

}  // namespace qelo::gdiplus::detail
