// Reading Pexa files into frames, and the frame operations the image cache
// uses: masks from keys and trimming to the visible pixels.
#include "imaging/pexa_frame_list.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "common/errors.h"
#include "common/stream.h"
#include "imaging/bmp_codec.h"
#include "imaging/pexa_merge.h"
#include "imaging/pexa_pixels.h"
#include "imaging/pixel_access.h"
#include "imaging/png_codec.h"

namespace kest {

namespace {

constexpr int32_t kHeaderSize = 40;
// Deflate cannot expand data more than about 1032 to 1: a picture larger than
// that much of its data is damaged, and is refused before it is allocated.
constexpr int64_t kMostExpansion = 1100;
// What one file may make in all (pictures kept for tile references included).
constexpr int64_t kDecodeBudget = int64_t{512} << 20;

[[noreturn]] void Fail(const std::string& what) { throw EReadError("Pexa file: " + what); }

struct THeader {
  int32_t Version = 0;
  int32_t FrameCount = 0;
  bool Protected = false;
  uint8_t Compression = 0;
  uint32_t Background = 0;
  int32_t TileWidth = 0;
  int32_t TileHeight = 0;
  bool OpaqueBottom = false;
};

int32_t Le32(const uint8_t* p) { return int32_t(p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24)); }

// The nearest palette entry by squared distance; the lowest index on ties.
uint32_t NearestEntry(const TDIBX& picture, uint32_t colour) {
  const int n = 1 << picture.BitCount();
  uint32_t best = 0;
  int64_t best_distance = -1;
  for (int i = 0; i < n; ++i) {
    const uint32_t c = picture.PixelToColor(uint32_t(i));
    int64_t distance = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const int64_t delta = int64_t((c >> shift) & 0xFF) - int64_t((colour >> shift) & 0xFF);
      distance += delta * delta;
    }
    if (best_distance < 0 || distance < best_distance) {
      best = uint32_t(i);
      best_distance = distance;
    }
  }
  return best;
}

class TPexaReader {
 public:
  TPexaReader(TPexaFrameList& list, TStream& stream, bool firstOnly)
      : FList(list), FStream(stream), FFirstOnly(firstOnly) {}

  void Run() {
    ReadHeader();
    const int32_t frames = FFirstOnly ? std::min(FHeader.FrameCount, 1) : FHeader.FrameCount;
    for (int32_t f = 0; f < frames; ++f) {
      ReadFrame(f);
      FComplete = f + 1;
    }
    DropLayers();
  }
  // The frames read to their end; a fault in the next leaves it half made.
  int32_t Complete() const { return FComplete; }
  // Pictures kept for tile references are not wanted once the file is read.
  void DropLayers() {
    for (int32_t f = 0; f < FList.Count(); ++f) FList.Frames(f).Layers.clear();
  }

 private:
  bool Tiled() const { return FHeader.TileWidth > 0 && FHeader.TileHeight > 0 && FHeader.Version >= kPexaSinceHeader; }

  void Charge(int64_t bytes) {
    FSpent += bytes;
    if (FSpent > kDecodeBudget) Fail("pictures too large");
  }

  void ReadHeader() {
    const int64_t start = FStream.Position();
    uint8_t magic[7] = {};
    const int64_t got = FStream.Read(magic, 7);
    const bool digits = got == 7 && std::all_of(magic + 4, magic + 7, [](uint8_t c) { return c >= '0' && c <= '9'; });
    if (got == 7 && std::memcmp(magic, "Pexa", 4) == 0 && digits) {
      FHeader.Version = (magic[4] - '0') * 100 + (magic[5] - '0') * 10 + (magic[6] - '0');
    } else {
      FStream.Seek(start);
      FHeader.Version = 0;
    }
    FList.Version = FHeader.Version;
    if (FHeader.Version >= kPexaSinceHeader) {
      const int32_t size = ReadInt(FStream);
      if (size < 0) Fail("negative header size");
      RequireRemaining(FStream, size);
      uint8_t h[kHeaderSize] = {};
      ReadExact(FStream, h, std::min(size, kHeaderSize));
      if (size > kHeaderSize) FStream.Seek(FStream.Position() + (size - kHeaderSize));
      FHeader.FrameCount = Le32(h + 16);
      FHeader.Protected = h[21] != 0;
      FHeader.Compression = h[22];
      FHeader.Background = uint32_t(Le32(h + 24));
      FHeader.TileWidth = Le32(h + 28);
      FHeader.TileHeight = Le32(h + 32);
      FHeader.OpaqueBottom = FHeader.Version >= kPexaSinceOpaqueBottom && h[36] != 0;
      if (FHeader.Compression > 2) Fail("unknown compression " + std::to_string(FHeader.Compression));
    } else {
      FHeader.FrameCount = ReadInt(FStream);
      ReadByte(FStream);
      if (FHeader.Version == kPexaSinceBackground) FHeader.Background = uint32_t(ReadInt(FStream));
    }
    FList.BackgroundColor = FHeader.Background;
    FList.OpaqueBottomLayer = FHeader.OpaqueBottom;
    // A frame record takes at least 33 bytes.
    if (FHeader.FrameCount < 0 || FHeader.FrameCount > FStream.Remaining() / 33) Fail("bad frame count");
  }

  std::vector<uint8_t> ReadBlock() {
    const int32_t size = ReadInt(FStream);
    if (size < 0) Fail("negative data size");
    RequireRemaining(FStream, size);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    ReadExact(FStream, bytes.data(), size);
    return bytes;
  }

  void DecodePicture(const std::vector<uint8_t>& data, TDIBX& picture, bool alpha, int32_t frame) {
    const int64_t bytes = PexaRowBytes(picture.Width(), picture.StoredBitCount()) * picture.Height();
    const bool raw = FHeader.Compression == 1 && !Tiled();
    if (raw ? bytes > int64_t(data.size()) : bytes > (int64_t(data.size()) + 64) * kMostExpansion)
      Fail("a picture larger than its data can hold");
    TPexaPictureFormat format;
    format.Version = FHeader.Version;
    format.Compression = FHeader.Compression;
    format.Protected = FHeader.Protected;
    format.Code = FHeader.Version <= kPexaSinceBackground ? 0 : FList.Code();
    format.TileWidth = FHeader.TileWidth;
    format.TileHeight = FHeader.TileHeight;
    format.IsAlpha = alpha;
    DecodePexaPixels(data, format, picture, [&](int32_t f, int32_t l) -> const TDIBX* {
      if (f < 0 || f > frame || f >= FList.Count()) return nullptr;
      TPexaFrame& source = FList.Frames(f);
      if (l < 0 || l >= int32_t(source.Layers.size())) return nullptr;
      const TPexaLayer& layer = source.Layers[size_t(l)];
      if (!alpha) return &layer.Picture;
      return layer.Alpha ? &*layer.Alpha : nullptr;
    });
  }

  void ReadFrame(int32_t index) {
    TPexaFrame& frame = FList.AddFrame();
    frame.Name = ReadStr(FStream);
    frame.TransparentPixel = ReadInt(FStream);
    frame.Delay = ReadInt(FStream);
    frame.FrameFlag = ReadByte(FStream);
    ReadInt(FStream);
    const int32_t layers = ReadInt(FStream);
    const int32_t width = ReadInt(FStream);
    const int32_t height = ReadInt(FStream);
    const int32_t bits = ReadInt(FStream);
    // A layer record takes at least 22 bytes.
    if (layers < 0 || layers > FStream.Remaining() / 22) Fail("bad layer count");
    if (!IsValidBitCount(bits)) Fail("bad bit count " + std::to_string(bits));
    if (width < 0 || height < 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) Fail("bad picture size");
    const int64_t picture_bytes = PexaRowBytes(width, bits == 15 ? 16 : bits) * height;
    Charge(picture_bytes);
    frame.Composite.SetSize(width, height, bits);
    std::vector<uint32_t> palette;
    if (bits <= 8) {
      palette.resize(size_t(1) << bits);
      RequireRemaining(FStream, int64_t(palette.size()) * 4);
      for (uint32_t& quad : palette) quad = uint32_t(ReadInt(FStream));
      frame.Composite.SetPaletteEntries(palette.data(), 0, int(palette.size()));
    }
    frame.TransparentColor =
        frame.TransparentPixel >= 0 ? int64_t(frame.Composite.PixelToColor(uint32_t(frame.TransparentPixel))) : -1;
    const uint32_t background = bits <= 8 ? NearestEntry(frame.Composite, FHeader.Background & 0xFFFFFF)
                                          : uint32_t(frame.Composite.ColorToPixel(FHeader.Background & 0xFFFFFF));
    // The background is filled only when a layer is merged onto it: a first
    // layer that is simply copied covers it wholly.
    bool filled = false;
    bool first_visible = true;
    for (int32_t i = 0; i < layers; ++i) {
      TPexaLayer& layer = frame.Layers.emplace_back();
      ReadInt(FStream);
      ReadInt(FStream);
      layer.Visible = ReadByte(FStream) != 0;
      layer.TransparentPixel = ReadInt(FStream);
      layer.Opacity = ReadInt(FStream);
      if (FHeader.Version >= kPexaSinceAlphaEnabled) layer.AlphaEnabled = ReadByte(FStream) != 0;
      layer.Name = ReadStr(FStream);
      const std::vector<uint8_t> colour = ReadBlock();
      std::vector<uint8_t> alpha;
      if (FHeader.Version >= kPexaSinceAlphaData) alpha = ReadBlock();
      // Files before the switch use their alpha whenever they have one.
      if (FHeader.Version < kPexaSinceAlphaEnabled) layer.AlphaEnabled = !alpha.empty();
      const bool has_alpha = layer.AlphaEnabled && !alpha.empty();
      if (has_alpha) layer.TransparentPixel = -1;
      if (layer.Visible && first_visible && CopiedWhole(layer, i, has_alpha) && !Tiled()) {
        // The usual picture: one opaque layer, decoded straight into the frame.
        DecodePicture(colour, frame.Composite, false, index);
        if (has_alpha) {
          Charge(PexaRowBytes(width, 8) * height);
          frame.Alpha.emplace(width, height, 8);
          DecodePicture(alpha, *frame.Alpha, true, index);
        }
        frame.Layers.pop_back();
        filled = true;
        first_visible = false;
        continue;
      }
      Charge(picture_bytes);
      layer.Picture.SetSize(width, height, bits);
      if (bits <= 8) layer.Picture.SetPaletteEntries(palette.data(), 0, int(palette.size()));
      DecodePicture(colour, layer.Picture, false, index);
      if (!alpha.empty()) {
        Charge(PexaRowBytes(width, 8) * height);
        layer.Alpha.emplace(width, height, 8);
        DecodePicture(alpha, *layer.Alpha, true, index);
      }
      if (!layer.Visible) continue;
      if (!filled) frame.Composite.Fill(background);
      filled = true;
      Compose(frame, layer, i, first_visible);
      first_visible = false;
    }
    if (!filled) frame.Composite.Fill(background);
    if (FHeader.Version >= kPexaSinceRects) {
      ReadRects(frame.DrawRects);
      ReadRects(frame.ExtraRects);
    }
    if (!Tiled()) frame.Layers.clear();
  }

  // Whether the first visible layer is copied over the whole frame as it is.
  bool CopiedWhole(const TPexaLayer& layer, int32_t i, bool hasAlpha) const {
    if (hasAlpha && i > 0) return false;
    return (layer.TransparentPixel < 0 || FHeader.OpaqueBottom) && layer.Opacity >= 255;
  }

  void Compose(TPexaFrame& frame, const TPexaLayer& layer, int32_t i, bool first) {
    const bool alpha = layer.Alpha && layer.AlphaEnabled;
    if (alpha && first) {
      frame.Alpha.emplace();
      CopyAlpha(*frame.Alpha, *layer.Alpha);
    }
    if (alpha && i > 0)
      PexaMergeAlpha(frame.Composite, layer.Picture, *layer.Alpha);
    else if ((layer.TransparentPixel < 0 || (first && FHeader.OpaqueBottom)) && layer.Opacity >= 255)
      PexaCopy(frame.Composite, layer.Picture);
    else
      PexaMergeOpacity(frame.Composite, layer.Picture, layer.Opacity, layer.TransparentPixel);
  }

  static void CopyAlpha(TDIBX& to, const TDIBX& from) {
    to.SetSize(from.Width(), from.Height(), 8);
    if (from.Width() == 0) return;
    for (int32_t y = 0; y < from.Height(); ++y) std::memcpy(to.ScanLine(y), from.ScanLine(y), size_t(from.Width()));
  }

  void ReadRects(std::vector<TRect>& rects) {
    const int32_t count = ReadInt(FStream);
    if (count < 0 || count > FStream.Remaining() / 16) Fail("bad rectangle count");
    rects.resize(size_t(count));
    for (TRect& r : rects) {
      r.Left = ReadInt(FStream);
      r.Top = ReadInt(FStream);
      r.Right = ReadInt(FStream);
      r.Bottom = ReadInt(FStream);
    }
  }

  TPexaFrameList& FList;
  TStream& FStream;
  bool FFirstOnly;
  int32_t FComplete = 0;
  THeader FHeader;
  int64_t FSpent = 0;
};

bool EndsWith(const std::string& name, const char* ext) {
  const size_t n = std::strlen(ext);
  if (name.size() < n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(name[name.size() - n + i])) != ext[i]) return false;
  return true;
}

}  // namespace

void TPexaFrameList::LoadFromStream(TStream& stream, bool firstFrameOnly) {
  FFrames.clear();
  TPexaReader reader(*this, stream, firstFrameOnly);
  try {
    reader.Run();
  } catch (const EReadError& e) {
    FFrames.resize(size_t(reader.Complete()));
    reader.DropLayers();
    // Short reads of the records say only that the stream ended.
    if (std::string_view(e.what()).starts_with("Pexa")) throw;
    Fail(std::string("ends early (") + e.what() + ")");
  }
}

void TPexaFrameList::LoadFromBytes(std::span<const uint8_t> data, const std::string& fileName) {
  FFrames.clear();
  if (EndsWith(fileName, ".pxa")) {
    TByteStream stream{data};
    LoadFromStream(stream);
    return;
  }
  const bool png = EndsWith(fileName, ".png");
  if (!png && !EndsWith(fileName, ".bmp") && !EndsWith(fileName, ".dib")) return;
  auto frame = std::make_unique<TPexaFrame>();
  TDIBX alpha;
  // A picture that fails to decode leaves no frame behind.
  if (png) {
    if (DecodePng(data, frame->Composite, &alpha)) frame->Alpha.emplace(std::move(alpha));
    frame->Composite.SetBitCount(24);
  } else {
    if (DecodeBmp(data, frame->Composite, &alpha)) frame->Alpha.emplace(std::move(alpha));
    if (frame->Composite.BitCount() == 32) frame->Composite.SetBitCount(24);
  }
  FFrames.push_back(std::move(frame));
}

void TPexaFrameList::LoadByContent(std::span<const uint8_t> data) {
  static constexpr uint8_t kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (data.size() >= sizeof kPng && std::equal(std::begin(kPng), std::end(kPng), data.begin()))
    LoadFromBytes(data, ".png");
  else if (data.size() >= 2 && data[0] == 'B' && data[1] == 'M')
    LoadFromBytes(data, ".bmp");
  else
    LoadFromBytes(data, ".pxa");
}

TPexaFrame& TPexaFrameList::Frames(int32_t index) {
  if (index < 0 || index >= Count()) throw EKestError("Error:TPexaFrameList.GetFrame");
  return *FFrames[size_t(index)];
}

TPexaFrame& TPexaFrameList::AddFrame() { return *FFrames.emplace_back(std::make_unique<TPexaFrame>()); }

void TPexaFrameList::MakeMasks() {
  for (auto& frame : FFrames) {
    if (frame->Alpha) continue;
    const TDIBX& c = frame->Composite;
    TDIBX& mask = frame->Alpha.emplace(c.Width(), c.Height(), 8);
    const int bits = c.StoredBitCount();
    for (int32_t y = 0; y < c.Height(); ++y) {
      const uint8_t* row = c.ScanLine(y);
      for (int32_t x = 0; x < c.Width(); ++x) {
        const bool keyed = frame->TransparentPixel >= 0 && LoadPixel(row, x, bits) == uint32_t(frame->TransparentPixel);
        mask.ScanLine(y)[x] = keyed ? 0 : 255;
      }
    }
  }
}

TRect TPexaFrame::Trim() {
  TDIBX& c = Composite;
  const TRect whole = c.Bounds();
  // An empty picture has no pixel to keep, not even the one an invisible
  // frame keeps.
  if (c.IsEmpty() || (!Alpha && TransparentPixel < 0)) return whole;
  const int bits = c.StoredBitCount();
  auto visible = [&](int32_t x, int32_t y) {
    if (Alpha) return Alpha->ScanLine(y)[x] != 0;
    return LoadPixel(c.ScanLine(y), x, bits) != uint32_t(TransparentPixel);
  };
  TRect r{c.Width(), c.Height(), 0, 0};
  for (int32_t y = 0; y < c.Height(); ++y)
    for (int32_t x = 0; x < c.Width(); ++x)
      if (visible(x, y))
        r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1)};
  if (r.IsEmpty()) r = {0, 0, 1, 1};
  if (r == whole) return r;
  auto crop = [&r](TDIBX& picture) {
    TDIBX cropped(r.Width(), r.Height(), picture.BitCount());
    if (picture.BitCount() <= 8) {
      std::vector<uint32_t> palette(size_t(1) << picture.BitCount());
      picture.GetPaletteEntries(palette.data(), 0, int(palette.size()));
      cropped.SetPaletteEntries(palette.data(), 0, int(palette.size()));
    }
    const int b = picture.StoredBitCount();
    for (int32_t y = 0; y < r.Height(); ++y)
      for (int32_t x = 0; x < r.Width(); ++x)
        StorePixel(cropped.ScanLine(y), x, b, LoadPixel(picture.ScanLine(r.Top + y), r.Left + x, b));
    picture = std::move(cropped);
  };
  crop(c);
  if (Alpha) crop(*Alpha);
  for (auto* rects : {&DrawRects, &ExtraRects}) {
    std::vector<TRect> kept;
    for (const TRect& rect : *rects) {
      const TRect cut = IntersectRect(rect, r);
      if (!cut.IsEmpty()) kept.push_back({cut.Left - r.Left, cut.Top - r.Top, cut.Right - r.Left, cut.Bottom - r.Top});
    }
    *rects = std::move(kept);
  }
  return r;
}

}  // namespace kest
