#include "imaging/cursor_file.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "common/errors.h"
#include "imaging/dibx.h"
#include "imaging/png_codec.h"

namespace kest {

namespace {

constexpr size_t kEntrySize = 16;
constexpr int32_t kPreferredSide = 64;
constexpr uint32_t kAniIconFrames = 1;
constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

[[noreturn]] void Bad(const char* what) { throw EReadError(std::string("Bad cursor file: ") + what); }

class TBytes {
 public:
  explicit TBytes(std::span<const uint8_t> data) : FData(data) {}
  uint32_t U32(size_t at) const {
    Need(at, 4);
    return FData[at] | FData[at + 1] << 8 | FData[at + 2] << 16 | uint32_t(FData[at + 3]) << 24;
  }
  uint16_t U16(size_t at) const {
    Need(at, 2);
    return uint16_t(FData[at] | FData[at + 1] << 8);
  }
  bool Tag(size_t at, const char* tag) const { return Fits(at, 4) && std::memcmp(FData.data() + at, tag, 4) == 0; }
  bool Fits(size_t at, uint64_t count) const { return at <= FData.size() && count <= FData.size() - at; }
  void Need(size_t at, uint64_t count) const {
    if (!Fits(at, count)) Bad("truncated");
  }
  std::span<const uint8_t> Sub(size_t at, uint64_t count) const {
    Need(at, count);
    return FData.subspan(at, size_t(count));
  }
  const uint8_t* At(size_t at) const { return FData.data() + at; }
  size_t Size() const { return FData.size(); }

 private:
  std::span<const uint8_t> FData;
};

void CheckSide(int64_t width, int64_t height) {
  if (width <= 0 || height <= 0 || width > TCursorFile::kMaxSide || height > TCursorFile::kMaxSide) Bad("size");
}

// The index of a pixel of 1, 4 or 8 bits, leftmost in the high bits.
uint32_t IndexAt(const uint8_t* row, int32_t x, int bits) {
  const uint32_t bit = uint32_t(x) * uint32_t(bits);
  const int shift = 8 - bits - int(bit & 7);
  return (row[bit >> 3] >> shift) & ((1u << bits) - 1);
}

// The AND mask: a set bit over black shows the screen, over any other colour
// it would invert the screen, which a colour cursor cannot; black keeps the
// shape where most cursors draw it, over light ground.
void ApplyMask(const TBytes& r, size_t at, TCursorFrame& frame) {
  const size_t rowBytes = (size_t(frame.Width) + 31) / 32 * 4;
  r.Need(at, uint64_t(rowBytes) * uint64_t(frame.Height));
  for (int32_t y = 0; y < frame.Height; ++y) {
    const uint8_t* row = r.At(at + size_t(frame.Height - 1 - y) * rowBytes);
    uint32_t* out = frame.Pixels.data() + size_t(y) * size_t(frame.Width);
    for (int32_t x = 0; x < frame.Width; ++x)
      if (IndexAt(row, x, 1)) out[x] = (out[x] & 0xFFFFFF) ? 0xFF000000u : 0u;
  }
}

// A headerless BMP: the header tells twice the height, for the colours and
// the mask stacked bottom-up.
TCursorFrame ReadBmp(const TBytes& r) {
  const uint32_t header = r.U32(0);
  if (header < 40) Bad("unknown header");
  const int64_t width = int32_t(r.U32(4)), height = int32_t(r.U32(8)) / 2;
  const int bits = r.U16(14);
  CheckSide(width, height);
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) Bad("bit count");
  if (r.U32(16) != 0) Bad("compression");
  const uint32_t used = r.U32(32);
  uint32_t entries = used;
  if (bits <= 8 && (used == 0 || used > (1u << bits))) entries = 1u << bits;
  uint32_t palette[256] = {};
  r.Need(header, uint64_t(entries) * 4);
  for (uint32_t i = 0; i < entries && bits <= 8; ++i) palette[i] = r.U32(header + size_t(i) * 4) & 0xFFFFFF;
  const size_t colourAt = header + size_t(entries) * 4;
  const size_t rowBytes = (size_t(width) * size_t(bits) + 31) / 32 * 4;
  r.Need(colourAt, uint64_t(rowBytes) * uint64_t(height));
  TCursorFrame frame;
  frame.Width = int32_t(width);
  frame.Height = int32_t(height);
  frame.Pixels.resize(size_t(width) * size_t(height));
  bool anyAlpha = false;
  for (int32_t y = 0; y < frame.Height; ++y) {
    const uint8_t* row = r.At(colourAt + size_t(frame.Height - 1 - y) * rowBytes);
    uint32_t* out = frame.Pixels.data() + size_t(y) * size_t(frame.Width);
    for (int32_t x = 0; x < frame.Width; ++x) {
      if (bits <= 8) {
        out[x] = 0xFF000000u | palette[IndexAt(row, x, bits)];
      } else if (bits == 24) {
        const uint8_t* p = row + size_t(x) * 3;
        out[x] = 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
      } else {
        const uint8_t* p = row + size_t(x) * 4;
        out[x] = uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        anyAlpha = anyAlpha || p[3] != 0;
      }
    }
  }
  if (bits == 32 && !anyAlpha)
    for (uint32_t& p : frame.Pixels) p |= 0xFF000000u;
  if (!anyAlpha) ApplyMask(r, colourAt + rowBytes * size_t(height), frame);
  return frame;
}

uint32_t BigEndian32(const TBytes& r, size_t at) {
  r.Need(at, 4);
  const uint8_t* p = r.At(at);
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// The size comes from the header chunk before the picture is decoded, so a
// PNG can claim no surface larger than a cursor.
TCursorFrame ReadPng(const TBytes& r) {
  CheckSide(BigEndian32(r, 16), BigEndian32(r, 20));
  TDIBX picture(0, 0, 32), alpha(0, 0, 8);
  const bool hasAlpha = DecodePng(r.Sub(0, r.Size()), picture, &alpha);
  CheckSide(picture.Width(), picture.Height());
  TCursorFrame frame;
  frame.Width = picture.Width();
  frame.Height = picture.Height();
  frame.Pixels.resize(size_t(frame.Width) * size_t(frame.Height));
  for (int32_t y = 0; y < frame.Height; ++y) {
    const uint8_t* row = picture.ScanLine(y);
    const uint8_t* a = hasAlpha ? alpha.ScanLine(y) : nullptr;
    uint32_t* out = frame.Pixels.data() + size_t(y) * size_t(frame.Width);
    for (int32_t x = 0; x < frame.Width; ++x) {
      const uint32_t opacity = a ? a[x] : 0xFF;
      out[x] = opacity << 24 | uint32_t(row[4 * x + 2]) << 16 | uint32_t(row[4 * x + 1]) << 8 | row[4 * x];
    }
  }
  return frame;
}

bool IsDirectory(const TBytes& r) {
  if (!r.Fits(0, 6)) return false;
  const uint16_t type = r.U16(2);
  return r.U16(0) == 0 && (type == 1 || type == 2) && r.U16(4) >= 1;
}

// The entry of the largest side up to the preferred one, else the first; a
// side of 0 in the directory stands for 256.
size_t ChooseEntry(const TBytes& r, uint16_t count) {
  size_t chosen = 0;
  int32_t best = 0;
  for (uint16_t i = 0; i < count; ++i) {
    const size_t at = 6 + i * kEntrySize;
    const int32_t w = r.At(at)[0] ? r.At(at)[0] : 256, h = r.At(at)[1] ? r.At(at)[1] : 256;
    const int32_t side = std::max(w, h);
    if (side <= kPreferredSide && side > best) {
      best = side;
      chosen = at;
    }
  }
  return best ? chosen : 6;
}

TCursorFrame ReadDirectoryFrame(std::span<const uint8_t> data) {
  const TBytes r(data);
  if (!IsDirectory(r)) Bad("no icon directory");
  const bool cursor = r.U16(2) == 2;
  const uint16_t count = r.U16(4);
  r.Need(6, uint64_t(count) * kEntrySize);
  const size_t entry = ChooseEntry(r, count);
  const TBytes image(r.Sub(r.U32(entry + 12), r.U32(entry + 8)));
  TCursorFrame frame =
      image.Fits(0, 8) && std::memcmp(image.At(0), kPngSignature, 8) == 0 ? ReadPng(image) : ReadBmp(image);
  // An icon has no hot spot of its own: it points with its centre.
  frame.HotX = cursor ? r.U16(entry + 4) : frame.Width / 2;
  frame.HotY = cursor ? r.U16(entry + 6) : frame.Height / 2;
  frame.HotX = std::min(frame.HotX, frame.Width - 1);
  frame.HotY = std::min(frame.HotY, frame.Height - 1);
  return frame;
}

struct TChunk {
  size_t At = 0;  // of its data
  uint32_t Length = 0;
  bool Found = false;
};

// Walks the chunks between from and end, each padded to an even length;
// a chunk that does not fit the bytes present is an error, while trailing
// bytes too few for a chunk header are passed over.
template <typename Visit>
void WalkChunks(const TBytes& r, size_t from, size_t end, Visit visit) {
  size_t at = from;
  while (at + 8 <= end) {
    const uint32_t length = r.U32(at + 4);
    if (length > end - at - 8) Bad("chunk past the end");
    visit(at, TChunk{at + 8, length, true});
    at += 8 + size_t(length) + (length & 1);
  }
}

}  // namespace

bool TCursorFile::Recognises(std::span<const uint8_t> data) {
  const TBytes r(data);
  return IsDirectory(r) || (r.Tag(0, "RIFF") && r.Tag(8, "ACON"));
}

TCursorFile::TCursorFile(std::span<const uint8_t> data) {
  if (TBytes(data).Tag(0, "RIFF")) {
    ReadAnimation(data);
  } else {
    AddFrame(data);
    FSteps.push_back(TCursorStep());
  }
}

void TCursorFile::AddFrame(std::span<const uint8_t> directory) {
  TCursorFrame frame = ReadDirectoryFrame(directory);
  FPixels += frame.Pixels.size();
  if (FPixels > kMaxPixels) Bad("frames too large together");
  FFrames.push_back(std::move(frame));
}

void TCursorFile::ReadAnimation(std::span<const uint8_t> data) {
  const TBytes r(data);
  if (!r.Tag(8, "ACON")) Bad("no animated cursor");
  const size_t end = size_t(std::min<uint64_t>(r.Size(), 8 + uint64_t(r.U32(4))));
  TChunk header, rates, sequence, frames;
  WalkChunks(r, 12, end, [&](size_t at, const TChunk& chunk) {
    if (r.Tag(at, "anih")) header = chunk;
    if (r.Tag(at, "rate")) rates = chunk;
    if (r.Tag(at, "seq ")) sequence = chunk;
    if (r.Tag(at, "LIST") && chunk.Length >= 4 && r.Tag(chunk.At, "fram")) frames = chunk;
  });
  if (!header.Found || header.Length < 36) Bad("no animation header");
  const uint32_t frameCount = r.U32(header.At + 4), jiffies = r.U32(header.At + 28);
  uint32_t stepCount = r.U32(header.At + 8);
  if (!(r.U32(header.At + 32) & kAniIconFrames)) Bad("frames that are no cursor files");
  if (frameCount == 0 || frameCount > kMaxFrames) Bad("frame count");
  if (stepCount == 0) stepCount = frameCount;
  if (stepCount > kMaxSteps) Bad("step count");
  if (sequence.Found && sequence.Length / 4 < stepCount) Bad("sequence shorter than its steps");
  if (rates.Found && rates.Length / 4 < stepCount) Bad("rates shorter than their steps");
  if (frames.Found)
    WalkChunks(r, frames.At + 4, frames.At + frames.Length, [&](size_t at, const TChunk& chunk) {
      if (r.Tag(at, "icon") && FFrames.size() < frameCount) AddFrame(r.Sub(chunk.At, chunk.Length));
    });
  if (FFrames.size() < frameCount) Bad("frames missing");
  FSteps.resize(stepCount);
  for (uint32_t i = 0; i < stepCount; ++i) {
    const uint32_t frame = sequence.Found ? r.U32(sequence.At + 4 * size_t(i)) : i;
    if (frame >= frameCount) Bad("a step names no frame");
    FSteps[i].Frame = int32_t(frame);
    FSteps[i].Jiffies = std::max(1u, rates.Found ? r.U32(rates.At + 4 * size_t(i)) : jiffies);
  }
}

}  // namespace kest
