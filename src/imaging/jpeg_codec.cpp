#include "imaging/jpeg_codec.h"

#include <csetjmp>
#include <cstdio>
#include <string>

// libjpeg's header needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "common/errors.h"
#include "imaging/custom_dibx.h"
#include "imaging/dibx.h"

namespace kest {

namespace {

// libjpeg reports errors through a callback that must not return: it jumps
// back to the decoding call, which raises the error there.
struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info) {
  auto* error = reinterpret_cast<TJpegError*>(info->err);
  (*info->err->format_message)(info, error->Message);
  std::longjmp(error->Jump, 1);
}

void OnMessage(j_common_ptr, int) {}

}  // namespace

void DecodeJpeg(std::span<const uint8_t> data, TDIBX& picture, int64_t maxPixels) {
  jpeg_decompress_struct info{};
  TJpegError error{};
  info.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = OnError;
  error.Manager.emit_message = OnMessage;
  if (setjmp(error.Jump)) {
    jpeg_destroy_decompress(&info);
    throw EReadError(std::string("JPEG data: ") + error.Message);
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_EXT_BGR;
  info.dct_method = JDCT_ISLOW;
  if (int64_t{info.image_width} * info.image_height > maxPixels || info.image_width > kMaxSurfaceSide ||
      info.image_height > kMaxSurfaceSide) {
    jpeg_destroy_decompress(&info);
    throw EReadError("JPEG data: picture too large");
  }
  jpeg_start_decompress(&info);
  picture.SetSize(static_cast<int32_t>(info.output_width), static_cast<int32_t>(info.output_height), 24);
  while (info.output_scanline < info.output_height) {
    JSAMPROW line = picture.ScanLine(static_cast<int32_t>(info.output_scanline));
    jpeg_read_scanlines(&info, &line, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
}

std::vector<uint8_t> EncodeJpeg(const TCustomDIBX& picture, int quality) {
  jpeg_compress_struct info{};
  TJpegError error{};
  info.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = OnError;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  std::vector<uint8_t> row(static_cast<size_t>(picture.Width()) * 3);
  if (setjmp(error.Jump)) {
    jpeg_destroy_compress(&info);
    std::free(buffer);
    throw EWriteError(std::string("JPEG encoding: ") + error.Message);
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(picture.Width());
  info.image_height = static_cast<JDIMENSION>(picture.Height());
  info.input_components = 3;
  info.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  for (int32_t y = 0; y < picture.Height(); ++y) {
    // Any source format is taken colour by colour.
    for (int32_t x = 0; x < picture.Width(); ++x) {
      const uint32_t colour = picture.PixelToColor(picture.GetPixel(x, y));
      row[size_t(x) * 3] = uint8_t(colour >> 16);
      row[size_t(x) * 3 + 1] = uint8_t(colour >> 8);
      row[size_t(x) * 3 + 2] = uint8_t(colour);
    }
    JSAMPROW line = row.data();
    jpeg_write_scanlines(&info, &line, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

}  // namespace kest
