#include "imaging/bmp_codec.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "common/errors.h"
#include "common/stream.h"
#include "imaging/dibx.h"
#include "imaging/pixel_access.h"

namespace kest {

namespace {

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3, kBiAlphaBitfields = 6;
// Run-length codes can claim any size in a few bytes. The sparsest real
// data, a blank row of the widest picture told by one end-of-line code,
// fills 8192 pixels a byte; a claim beyond that is refused before allocating.
constexpr uint64_t kRlePixelsPerByte = 8192;

[[noreturn]] void Bad(const char* what) { throw EReadError(std::string("Bad BMP picture: ") + what); }

class TReader {
 public:
  explicit TReader(std::span<const uint8_t> data) : FData(data) {}
  uint32_t U32(size_t at) const {
    Need(at, 4);
    return FData[at] | FData[at + 1] << 8 | FData[at + 2] << 16 | uint32_t(FData[at + 3]) << 24;
  }
  uint16_t U16(size_t at) const {
    Need(at, 2);
    return uint16_t(FData[at] | FData[at + 1] << 8);
  }
  uint8_t U8(size_t at) const {
    Need(at, 1);
    return FData[at];
  }
  void Need(size_t at, size_t count) const {
    if (at > FData.size() || count > FData.size() - at) Bad("truncated");
  }
  const uint8_t* At(size_t at) const { return FData.data() + at; }
  size_t Size() const { return FData.size(); }

 private:
  std::span<const uint8_t> FData;
};

struct THeader {
  int64_t Width = 0, Height = 0;
  bool TopDown = false;
  int Bits = 0;
  uint32_t Compression = kBiRgb;
  uint32_t Masks[3] = {0, 0, 0};  // red, green, blue
  uint32_t AlphaMask = 0;
  size_t PaletteAt = 0;
  int PaletteEntries = 0;
  int PaletteEntrySize = 4;
  size_t PixelsAt = 0;

  bool Rle() const { return Compression == kBiRle8 || Compression == kBiRle4; }
  bool Fields() const { return Compression == kBiBitfields || Compression == kBiAlphaBitfields; }
};

// The masks follow a 40-byte header and sit inside the longer ones, where
// the alpha mask comes from 56 bytes on.
void ReadMasks(const TReader& r, uint32_t infoSize, THeader& h) {
  for (int i = 0; i < 3; ++i) h.Masks[i] = r.U32(54 + 4 * i);
  const bool alphaFollows = infoSize == 40 && h.Compression == kBiAlphaBitfields;
  if (infoSize >= 56 || alphaFollows) h.AlphaMask = r.U32(66);
  if (infoSize == 40) h.PaletteAt = alphaFollows ? 16 : 12;
}

THeader ReadHeader(const TReader& r) {
  THeader h;
  const uint32_t infoSize = r.U32(14);
  h.PixelsAt = r.U32(10);
  if (infoSize == 12) {
    h.Width = r.U16(18);
    h.Height = r.U16(20);
    h.Bits = r.U16(24);
    h.PaletteEntrySize = 3;
  } else if (infoSize >= 40 && infoSize <= 4096) {
    h.Width = int32_t(r.U32(18));
    h.Height = int32_t(r.U32(22));
    h.Bits = r.U16(28);
    h.Compression = r.U32(30);
    const uint32_t used = r.U32(46);
    if (h.Bits <= 8) h.PaletteEntries = (used == 0 || used > (1u << h.Bits)) ? 1 << h.Bits : int(used);
    if (h.Fields()) ReadMasks(r, infoSize, h);
  } else {
    Bad("unknown header");
  }
  if (infoSize == 12 && h.Bits <= 8) h.PaletteEntries = 1 << h.Bits;
  // The fourth byte of a plain 32-bit pixel is its alpha when any is set.
  if (h.Compression == kBiRgb && h.Bits == 32) h.AlphaMask = 0xFF000000u;
  h.PaletteAt += 14 + infoSize;
  if (h.Height < 0) {
    h.TopDown = true;
    h.Height = -h.Height;
  }
  return h;
}

void CheckCompression(const THeader& h) {
  if (h.Compression == kBiRgb) return;
  if (h.Compression == kBiRle8 && h.Bits == 8) return;
  if (h.Compression == kBiRle4 && h.Bits == 4) return;
  if (h.Fields() && (h.Bits == 16 || h.Bits == 32)) return;
  Bad(h.Fields() ? "bit fields" : "compression");
}

void CheckHeader(const TReader& r, const THeader& h) {
  if (h.Bits != 1 && h.Bits != 4 && h.Bits != 8 && h.Bits != 16 && h.Bits != 24 && h.Bits != 32) Bad("bit count");
  CheckCompression(h);
  if (h.Width <= 0 || h.Height <= 0 || h.Width > kMaxSurfaceSide || h.Height > kMaxSurfaceSide) Bad("size");
  r.Need(h.PaletteAt, size_t(h.PaletteEntries) * h.PaletteEntrySize);
  if (h.Rle()) {
    r.Need(h.PixelsAt, 2);
    if (uint64_t(h.Width) * uint64_t(h.Height) > kRlePixelsPerByte * (r.Size() - h.PixelsAt)) Bad("size");
    return;
  }
  const uint64_t rowBytes = (uint64_t(h.Width) * h.Bits + 31) / 32 * 4;
  r.Need(h.PixelsAt, size_t(rowBytes * uint64_t(h.Height)));
}

// A channel given by an arbitrary mask, widened or narrowed to 8 bits.
uint32_t FieldTo8(uint32_t value, uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const int width = std::popcount(mask >> shift);
  const uint32_t field = (value & mask) >> shift;
  if (width >= 8) return (field >> (width - 8)) & 0xFF;
  uint32_t widened = field << (8 - width);
  for (int filled = width; filled < 8; filled += width) widened |= widened >> width;
  return widened & 0xFF;
}

// Whether the pixels can be stored as they come (indexed, 15/16 bits, or
// the usual 32-bit order); anything else goes through the masks to 32 bits.
int TargetBitCount(const THeader& h, bool wantAlpha, bool& raw) {
  raw = true;
  if (h.Bits <= 8) return h.Bits;
  const bool plain = h.Compression == kBiRgb;
  const bool alpha = wantAlpha && h.AlphaMask != 0;
  if (h.Bits == 16 && !alpha) {
    if (plain || (h.Masks[0] == 0x7C00 && h.Masks[1] == 0x03E0 && h.Masks[2] == 0x001F)) return 15;
    if (h.Masks[0] == 0xF800 && h.Masks[1] == 0x07E0 && h.Masks[2] == 0x001F) return 16;
  }
  if (h.Bits == 24) return 24;
  if (h.Bits == 32 && (plain || (h.Masks[0] == 0xFF0000 && h.Masks[1] == 0xFF00 && h.Masks[2] == 0xFF))) return 32;
  raw = false;
  return 32;
}

void ReadPalette(const TReader& r, const THeader& h, TDIBX& picture) {
  std::vector<uint32_t> palette(256, 0);
  for (int i = 0; i < h.PaletteEntries; ++i) {
    const uint8_t* e = r.At(h.PaletteAt + size_t(i) * h.PaletteEntrySize);
    palette[i] = e[0] | (e[1] << 8) | (uint32_t(e[2]) << 16);
  }
  picture.SetPalette(palette.data());
}

// Run-length codes: pairs of a count and an index (two alternating indices
// of 4 bits for RLE4), or escapes for the end of a row, of the picture, a
// jump ahead and a literal run padded to 16 bits. Pixels the codes leave out
// keep index 0; runs past the right edge are cut there, and codes below the
// last row end the picture.
class TRleDecoder {
 public:
  TRleDecoder(const TReader& r, const THeader& h, TDIBX& picture)
      : FR(r), FAt(h.PixelsAt), FFour(h.Bits == 4), FTopDown(h.TopDown), FPicture(picture) {}

  void Run() {
    FPicture.Fill(0);
    while (FY < FPicture.Height()) {
      const uint8_t count = FR.U8(FAt), code = FR.U8(FAt + 1);
      FAt += 2;
      if (count > 0) {
        Repeat(count, code);
      } else if (code == 0) {
        FX = 0;
        ++FY;
      } else if (code == 1) {
        return;
      } else if (code == 2) {
        FX = std::min<int32_t>(FX + FR.U8(FAt), FPicture.Width());
        FY += FR.U8(FAt + 1);
        FAt += 2;
      } else {
        Literal(code);
      }
    }
  }

 private:
  void Put(uint32_t index) {
    if (FX >= FPicture.Width()) return;
    StorePixel(FPicture.ScanLine(FTopDown ? FY : FPicture.Height() - 1 - FY), FX++, FFour ? 4 : 8, index);
  }
  void Repeat(int count, uint8_t code) {
    for (int i = 0; i < count; ++i) Put(FFour ? ((i & 1) ? code & 0x0F : code >> 4) : code);
  }
  void Literal(int count) {
    const size_t bytes = FFour ? size_t(count + 1) / 2 : size_t(count);
    FR.Need(FAt, bytes);
    const uint8_t* from = FR.At(FAt);
    for (int i = 0; i < count; ++i) Put(FFour ? LoadPixel(from, i, 4) : from[i]);
    FAt += bytes + (bytes & 1);
  }

  const TReader& FR;
  size_t FAt;
  bool FFour;
  bool FTopDown;
  TDIBX& FPicture;
  int32_t FX = 0;
  int32_t FY = 0;  // rows in the file's order
};

void DecodeRows(const TReader& r, const THeader& h, bool raw, int target, TDIBX& picture, TDIBX* alpha) {
  const int32_t width = picture.Width(), height = picture.Height();
  const size_t rowBytes = (size_t(width) * h.Bits + 31) / 32 * 4;
  const size_t copyBytes = (size_t(width) * h.Bits + 7) / 8;
  const bool standardAlpha = h.AlphaMask == 0xFF000000u;
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* from = r.At(h.PixelsAt + size_t(h.TopDown ? y : height - 1 - y) * rowBytes);
    uint8_t* to = picture.ScanLine(y);
    if (raw && target != 24 && target != 32) {
      std::memcpy(to, from, copyBytes);
      continue;
    }
    uint8_t* alphaRow = alpha ? alpha->ScanLine(y) : nullptr;
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t v = LoadPixel(from, x, h.Bits);
      const uint32_t colour =
          raw ? v & 0xFFFFFF : FieldTo8(v, h.Masks[2]) | FieldTo8(v, h.Masks[1]) << 8 | FieldTo8(v, h.Masks[0]) << 16;
      StorePixel(to, x, 32, colour);
      if (alphaRow) alphaRow[x] = uint8_t(standardAlpha ? v >> 24 : FieldTo8(v, h.AlphaMask));
    }
  }
}

bool AnyAlpha(const TDIBX& alpha) {
  for (int32_t y = 0; y < alpha.Height(); ++y) {
    const uint8_t* row = alpha.ScanLine(y);
    for (int32_t x = 0; x < alpha.Width(); ++x)
      if (row[x] != 0) return true;
  }
  return false;
}

}  // namespace

bool DecodeBmp(std::span<const uint8_t> data, TDIBX& picture, TDIBX* alpha) {
  const TReader r(data);
  if (r.Size() < 2 || data[0] != 'B' || data[1] != 'M') Bad("signature");
  const THeader h = ReadHeader(r);
  CheckHeader(r, h);
  bool raw = false;
  const int target = TargetBitCount(h, alpha != nullptr, raw);
  const int32_t width = int32_t(h.Width), height = int32_t(h.Height);
  picture.SetSize(width, height, target == 24 ? 32 : target);
  picture.TransparentPixel = -1;
  if (h.Bits <= 8) ReadPalette(r, h, picture);
  if (h.Rle()) {
    TRleDecoder(r, h, picture).Run();
    return false;
  }
  const bool withAlpha = alpha && target == 32 && h.AlphaMask != 0;
  if (withAlpha) alpha->SetSize(width, height, 8);
  DecodeRows(r, h, raw, target, picture, withAlpha ? alpha : nullptr);
  // Pictures whose alpha is 0 throughout were written without any.
  if (!withAlpha || AnyAlpha(*alpha)) return withAlpha;
  alpha->SetSize(0, 0, 8);
  return false;
}

void EncodeBmp(const TCustomDIBX& surface, TStream& out) {
  const int32_t w = surface.Width(), h = surface.Height();
  const uint32_t rowBytes = (uint32_t(w) * 3 + 3) & ~3u;
  const uint32_t imageBytes = rowBytes * uint32_t(h);
  std::vector<uint8_t> bytes(54 + size_t(imageBytes), 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(v >> (8 * i));
  };
  bytes[0] = 'B';
  bytes[1] = 'M';
  put32(2, uint32_t(bytes.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, uint32_t(w));
  put32(22, uint32_t(h));
  bytes[26] = 1;
  bytes[28] = 24;
  put32(34, imageBytes);
  put32(38, 2835);
  put32(42, 2835);
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = bytes.data() + 54 + size_t(h - 1 - y) * rowBytes;
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t c = surface.PixelToColor(surface.GetPixel(x, y));
      row[3 * x] = uint8_t(c >> 16);
      row[3 * x + 1] = uint8_t(c >> 8);
      row[3 * x + 2] = uint8_t(c);
    }
  }
  WriteExact(out, bytes.data(), int64_t(bytes.size()));
}

}  // namespace kest
