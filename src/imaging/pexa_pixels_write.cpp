// The stored form of Pexa pictures, for the writers.
#include <zlib.h>

#include <cstring>
#include <map>
#include <string>

#include "common/errors.h"
#include "common/tp_random.h"
#include "imaging/jpeg_codec.h"
#include "imaging/pexa_pixels.h"
#include "imaging/pixel_access.h"

namespace kest {

namespace {

void PutInt(std::vector<uint8_t>& out, int32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(uint32_t(v) >> (8 * i)));
}

// The bytes of a rectangle's rows, each ceil(width * bits / 8) long.
std::vector<uint8_t> TileBytes(const TDIBX& picture, const TRect& r) {
  const int bits = picture.StoredBitCount();
  const size_t row_bytes = (size_t(r.Width()) * bits + 7) / 8;
  std::vector<uint8_t> out;
  out.reserve(row_bytes * size_t(r.Height()));
  std::vector<uint8_t> row(row_bytes);
  for (int32_t y = r.Top; y < r.Bottom; ++y) {
    std::fill(row.begin(), row.end(), 0);
    const uint8_t* s = picture.ScanLine(y);
    if (bits % 8 == 0)
      std::memcpy(row.data(), s + size_t(r.Left) * (bits / 8), row_bytes);
    else
      for (int32_t x = 0; x < r.Width(); ++x) StorePixel(row.data(), x, bits, LoadPixel(s, r.Left + x, bits));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

std::vector<uint8_t> RawRows(const TDIBX& picture, const TPexaPictureFormat& format) {
  const auto row_bytes = static_cast<size_t>(PexaRowBytes(picture.Width(), picture.StoredBitCount()));
  const size_t used = (size_t(picture.Width()) * picture.StoredBitCount() + 7) / 8;
  std::vector<uint8_t> out(row_bytes * size_t(picture.Height()), 0);
  const bool permuted = format.Protected && format.Code != 0;
  TTpRandom order(format.Code);
  if (permuted) order.Reset(picture.Height());
  for (int32_t k = 0; k < picture.Height(); ++k) {
    const int32_t y = permuted ? order.Draw() : k;
    if (used > 0) std::memcpy(out.data() + size_t(k) * row_bytes, picture.ScanLine(y), used);
  }
  return out;
}

std::vector<uint8_t> RawTiles(const TDIBX& picture, const TPexaPictureFormat& format, bool share,
                              const std::function<bool(const TRect&, int32_t&, int32_t&)>& findEarlier) {
  const int32_t tw = std::min(format.TileWidth, std::max(picture.Width(), 1));
  const int32_t th = std::min(format.TileHeight, std::max(picture.Height(), 1));
  const int32_t per_row = (picture.Width() + tw - 1) / tw;
  const int32_t count = per_row * ((picture.Height() + th - 1) / th);
  std::vector<std::pair<int32_t, int32_t>> entries;
  std::vector<uint8_t> data;
  std::map<std::vector<uint8_t>, int32_t> seen;
  for (int32_t t = 0; t < count; ++t) {
    const int32_t left = t % per_row * tw;
    const int32_t top = t / per_row * th;
    const TRect r{left, top, std::min(left + tw, picture.Width()), std::min(top + th, picture.Height())};
    int32_t frame = 0;
    int32_t layer = 0;
    if (share && findEarlier && findEarlier(r, frame, layer)) {
      entries.emplace_back(frame, layer);
      continue;
    }
    std::vector<uint8_t> bytes = TileBytes(picture, r);
    // Tiles of one size and content share; the key holds the size too.
    std::vector<uint8_t> key = bytes;
    PutInt(key, r.Width());
    PutInt(key, r.Height());
    if (share) {
      auto [it, added] = seen.emplace(std::move(key), t);
      if (!added) {
        entries.emplace_back(-2, it->second);
        continue;
      }
    }
    entries.emplace_back(-1, 0);
    data.insert(data.end(), bytes.begin(), bytes.end());
  }
  std::vector<uint8_t> out;
  out.reserve(size_t(count) * 8 + data.size());
  std::vector<int32_t> at(static_cast<size_t>(count));
  const bool permuted = format.Protected && format.Code != 0;
  TTpRandom order(format.Code);
  if (permuted) order.Reset(count);
  for (int32_t k = 0; k < count; ++k) at[size_t(k)] = permuted ? order.Draw() : k;
  for (int32_t k = 0; k < count; ++k) {
    PutInt(out, entries[size_t(at[size_t(k)])].first);
    PutInt(out, entries[size_t(at[size_t(k)])].second);
  }
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& plain) {
  uLongf size = compressBound(static_cast<uLong>(plain.size()));
  std::vector<uint8_t> out(size);
  if (compress2(out.data(), &size, plain.data(), static_cast<uLong>(plain.size()), Z_BEST_SPEED) != Z_OK)
    throw EWriteError("Pexa: zlib cannot compress");
  out.resize(size);
  return out;
}

}  // namespace

std::vector<uint8_t> EncodePexaPixels(const TDIBX& picture, const TPexaPictureFormat& format, bool share,
                                      const std::function<bool(const TRect&, int32_t&, int32_t&)>& findEarlier) {
  const bool jpeg = format.Compression == 2;
  if (jpeg && !format.IsAlpha) return EncodeJpeg(picture, format.JpegQuality);
  TPexaPictureFormat plain = format;
  if (jpeg) plain.Protected = false;
  const bool tiled = !jpeg && format.TileWidth > 0 && format.TileHeight > 0 && format.Version >= 103;
  std::vector<uint8_t> raw = tiled ? RawTiles(picture, plain, share, findEarlier) : RawRows(picture, plain);
  return format.Compression == 1 ? raw : Deflate(raw);
}

}  // namespace kest
