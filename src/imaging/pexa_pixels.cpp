#include "imaging/pexa_pixels.h"

#include <zlib.h>

#include <cstring>
#include <map>
#include <string>

#include "common/errors.h"
#include "common/tp_random.h"
#include "imaging/jpeg_codec.h"
#include "imaging/pixel_access.h"

namespace kest {

namespace {

constexpr uint8_t kZlib = 0;
constexpr uint8_t kJpeg = 2;
// Tile index entries: the tile's pixels follow, or it copies another tile.
constexpr int32_t kTileData = -1;
constexpr int32_t kTileSame = -2;

[[noreturn]] void Fail(const std::string& what) { throw EReadError("Pexa data: " + what); }

// The stored bytes in order: the raw data, or what one zlib stream inflates to.
class TPexaSource {
 public:
  TPexaSource(std::span<const uint8_t> data, bool deflated) : FData(data), FDeflated(deflated) {
    if (!deflated) return;
    FStream.next_in = const_cast<Bytef*>(data.data());
    FStream.avail_in = static_cast<uInt>(data.size());
    if (inflateInit(&FStream) != Z_OK) Fail("zlib cannot start");
    FOpen = true;
  }
  ~TPexaSource() {
    if (FOpen) inflateEnd(&FStream);
  }
  TPexaSource(const TPexaSource&) = delete;
  TPexaSource& operator=(const TPexaSource&) = delete;

  void Read(uint8_t* out, size_t count) {
    if (count == 0) return;
    if (!FDeflated) {
      if (count > FData.size() - FUsed) Fail("the pixels end early");
      std::memcpy(out, FData.data() + FUsed, count);
      FUsed += count;
      return;
    }
    FStream.next_out = out;
    FStream.avail_out = static_cast<uInt>(count);
    while (FStream.avail_out > 0) {
      const int result = inflate(&FStream, Z_NO_FLUSH);
      if (result == Z_STREAM_END && FStream.avail_out > 0) Fail("the deflated pixels end early");
      if (result != Z_OK && result != Z_STREAM_END)
        Fail(std::string("damaged zlib stream (") + (FStream.msg ? FStream.msg : "?") + ")");
      if (result == Z_OK && FStream.avail_in == 0 && FStream.avail_out > 0) Fail("the deflated pixels end early");
    }
  }
  uint32_t ReadInt() {
    uint8_t b[4];
    Read(b, 4);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (uint32_t(b[3]) << 24);
  }

 private:
  std::span<const uint8_t> FData;
  bool FDeflated;
  size_t FUsed = 0;
  z_stream FStream{};
  bool FOpen = false;
};

int StoredBits(const TDIBX& picture) { return picture.StoredBitCount(); }

// Copies a rectangle between pictures of one format, at the same place.
void CopyRect(const TDIBX& from, TDIBX& to, const TRect& r) {
  if (r.IsEmpty()) return;
  const int bits = StoredBits(to);
  for (int32_t y = r.Top; y < r.Bottom; ++y) {
    const uint8_t* s = from.ScanLine(y);
    uint8_t* d = to.ScanLine(y);
    if (bits % 8 == 0) {
      const size_t bytes = size_t(bits / 8);
      std::memcpy(d + size_t(r.Left) * bytes, s + size_t(r.Left) * bytes, size_t(r.Width()) * bytes);
    } else {
      for (int32_t x = r.Left; x < r.Right; ++x) StorePixel(d, x, bits, LoadPixel(s, x, bits));
    }
  }
}

// Copies a rectangle to another place in the same picture.
void CopyWithin(TDIBX& picture, const TRect& from, int32_t left, int32_t top) {
  const int bits = StoredBits(picture);
  for (int32_t y = 0; y < from.Height(); ++y) {
    const uint8_t* s = picture.ScanLine(from.Top + y);
    uint8_t* d = picture.ScanLine(top + y);
    for (int32_t x = 0; x < from.Width(); ++x) StorePixel(d, left + x, bits, LoadPixel(s, from.Left + x, bits));
  }
}

// 32-bit pixels keep their fourth byte 0, whatever the data held.
void ClearFourthBytes(TDIBX& picture) {
  if (StoredBits(picture) != 32) return;
  for (int32_t y = 0; y < picture.Height(); ++y) {
    uint8_t* row = picture.ScanLine(y);
    for (int32_t x = 0; x < picture.Width(); ++x) row[size_t(x) * 4 + 3] = 0;
  }
}

void DecodeRows(TPexaSource& source, const TPexaPictureFormat& format, TDIBX& picture) {
  // A surface row is at least as long as a stored row, padding included, so
  // the data goes straight into it.
  const auto row_bytes = static_cast<size_t>(PexaRowBytes(picture.Width(), StoredBits(picture)));
  const bool permuted = format.Protected && format.Code != 0;
  // Rows that lie end to end take one read: zlib inflates fastest into long runs.
  if (!permuted && picture.Height() > 0 && picture.LineStep() == static_cast<ptrdiff_t>(row_bytes)) {
    source.Read(picture.ScanLine(0), row_bytes * size_t(picture.Height()));
    return;
  }
  TTpRandom order(format.Code);
  if (permuted) order.Reset(picture.Height());
  for (int32_t k = 0; k < picture.Height(); ++k) {
    const int32_t y = permuted ? order.Draw() : k;
    source.Read(picture.ScanLine(y), row_bytes);
  }
}

struct TTileEntry {
  int32_t Source;
  int32_t Index;
};

void DecodeTiles(TPexaSource& source, const TPexaPictureFormat& format, TDIBX& picture, const TPexaTileSource& tiles) {
  // Tiles larger than the picture are the picture.
  const int32_t tw = std::min(format.TileWidth, std::max(picture.Width(), 1));
  const int32_t th = std::min(format.TileHeight, std::max(picture.Height(), 1));
  const int32_t per_row = (picture.Width() + tw - 1) / tw;
  const int32_t rows = (picture.Height() + th - 1) / th;
  const int32_t count = per_row * rows;
  auto tile_rect = [&](int32_t t) {
    const int32_t left = t % per_row * tw;
    const int32_t top = t / per_row * th;
    return TRect{left, top, std::min(left + tw, picture.Width()), std::min(top + th, picture.Height())};
  };
  std::vector<TTileEntry> entries(static_cast<size_t>(count));
  TTpRandom order(format.Code);
  const bool permuted = format.Protected && format.Code != 0;
  if (permuted) order.Reset(count);
  for (int32_t k = 0; k < count; ++k) {
    const int32_t at = permuted ? order.Draw() : k;
    entries[size_t(at)].Source = static_cast<int32_t>(source.ReadInt());
    entries[size_t(at)].Index = static_cast<int32_t>(source.ReadInt());
  }
  const int bits = StoredBits(picture);
  std::vector<uint8_t> row;
  for (int32_t t = 0; t < count; ++t) {
    if (entries[size_t(t)].Source != kTileData) continue;
    const TRect r = tile_rect(t);
    row.resize((size_t(r.Width()) * bits + 7) / 8);
    for (int32_t y = r.Top; y < r.Bottom; ++y) {
      source.Read(row.data(), row.size());
      uint8_t* d = picture.ScanLine(y);
      if (bits % 8 == 0)
        std::memcpy(d + size_t(r.Left) * (bits / 8), row.data(), row.size());
      else
        for (int32_t x = 0; x < r.Width(); ++x) StorePixel(d, r.Left + x, bits, LoadPixel(row.data(), x, bits));
    }
  }
  // References are resolved in index order; a tile may copy any tile whose
  // pixels came with the data, or a copy made before it.
  for (int32_t t = 0; t < count; ++t) {
    const TTileEntry e = entries[size_t(t)];
    const TRect r = tile_rect(t);
    if (e.Source == kTileData) continue;
    if (e.Source == kTileSame) {
      if (e.Index < 0 || e.Index >= count) Fail("a tile copies a tile that does not exist");
      // Read with another identification code, references land on tiles of
      // other sizes or not yet made: the picture comes out scrambled, as
      // rows do, and the part both tiles share is copied.
      const TRect from = tile_rect(e.Index);
      CopyWithin(picture,
                 MakeRect(from.Left, from.Top, std::min(from.Width(), r.Width()), std::min(from.Height(), r.Height())),
                 r.Left, r.Top);
    } else if (e.Source >= 0) {
      const TDIBX* other = tiles ? tiles(e.Source, e.Index) : nullptr;
      if (!other || other->Width() != picture.Width() || other->Height() != picture.Height() ||
          other->Format() != picture.Format())
        Fail("a tile copies a picture that is not there");
      CopyRect(*other, picture, r);
    } else {
      Fail("a tile index entry of unknown kind");
    }
  }
}

}  // namespace

int64_t PexaRowBytes(int32_t width, int bitCount) { return (int64_t{width} * bitCount + 31) / 32 * 4; }

void DecodePexaPixels(std::span<const uint8_t> data, const TPexaPictureFormat& format, TDIBX& picture,
                      const TPexaTileSource& tiles) {
  if (format.Compression == kJpeg && !format.IsAlpha) {
    if (picture.Format().IsIndexed()) Fail("JPEG colour data in a palette frame");
    TDIBX decoded;
    DecodeJpeg(data, decoded, int64_t{picture.Width()} * picture.Height());
    if (decoded.Width() != picture.Width() || decoded.Height() != picture.Height())
      Fail("the JPEG picture has another size than its layer");
    // The layer takes the frame's format, colour by colour.
    if (picture.BitCount() != 24) decoded.SetBitCount(picture.BitCount());
    CopyRect(decoded, picture, picture.Bounds());
    return;
  }
  // Alpha data beside JPEG colour is deflated rows, never tiled or reordered.
  const bool jpeg = format.Compression == kJpeg;
  TPexaPictureFormat plain = format;
  if (jpeg) plain.Protected = false;
  TPexaSource source(data, format.Compression == kZlib || jpeg);
  const bool tiled = !jpeg && format.TileWidth > 0 && format.TileHeight > 0 && format.Version >= 103;
  if (tiled)
    DecodeTiles(source, plain, picture, tiles);
  else
    DecodeRows(source, plain, picture);
  ClearFourthBytes(picture);
}

}  // namespace kest
