// Writing Pexa files: every version and variant for tools and tests, and the
// player's own one-frame files.
#include <cstdio>
#include <cstring>

#include "common/stream.h"
#include "imaging/pexa_frame_list.h"
#include "imaging/pexa_pixels.h"
#include "imaging/pixel_access.h"

namespace kest {

namespace {

struct TWrittenPicture {
  int32_t Frame;
  int32_t Layer;
  const TDIBX* Picture;
};

bool SameRect(const TDIBX& a, const TDIBX& b, const TRect& r) {
  const int bits = a.StoredBitCount();
  for (int32_t y = r.Top; y < r.Bottom; ++y)
    for (int32_t x = r.Left; x < r.Right; ++x)
      if (LoadPixel(a.ScanLine(y), x, bits) != LoadPixel(b.ScanLine(y), x, bits)) return false;
  return true;
}

class TPexaWriter {
 public:
  TPexaWriter(TPexaFrameList& list, TStream& out, const TPexaWriteOptions& options)
      : FList(list), FOut(out), FOptions(options) {}

  void Run() {
    WriteHead();
    for (int32_t f = 0; f < FList.Count(); ++f) WriteFrame(f, FList.Frames(f));
  }

 private:
  const TDIBX& FirstPicture() {
    TPexaFrame& frame = FList.Frames(0);
    return frame.Layers.empty() ? frame.Composite : frame.Layers[0].Picture;
  }

  void WriteHead() {
    const int32_t v = FOptions.Version;
    if (v > 0) {
      char magic[8];
      std::snprintf(magic, sizeof magic, "Pexa%03d", v % 1000);
      WriteExact(FOut, magic, 7);
    }
    if (v < kPexaSinceHeader) {
      WriteInt(FOut, FList.Count());
      WriteByte(FOut, 1);
      if (v == kPexaSinceBackground) WriteInt(FOut, int32_t(FList.BackgroundColor));
      return;
    }
    const TDIBX* first = FList.Count() > 0 ? &FirstPicture() : nullptr;
    WriteInt(FOut, 40);
    WriteInt(FOut, v);
    WriteInt(FOut, first ? first->Width() : 0);
    WriteInt(FOut, first ? first->Height() : 0);
    WriteInt(FOut, first ? first->BitCount() : 0);
    WriteInt(FOut, FList.Count());
    WriteByte(FOut, 1);
    WriteByte(FOut, FOptions.Code != 0 ? 1 : 0);
    WriteByte(FOut, uint8_t(FOptions.Compression));
    WriteByte(FOut, 0);
    WriteInt(FOut, int32_t(FList.BackgroundColor));
    WriteInt(FOut, FOptions.TileWidth);
    WriteInt(FOut, FOptions.TileHeight);
    WriteByte(FOut, FList.OpaqueBottomLayer ? 1 : 0);
    WriteByte(FOut, uint8_t(FOptions.JpegQuality));
    WriteByte(FOut, 0);
    WriteByte(FOut, 0);
  }

  TPexaPictureFormat Format(bool alpha) const {
    TPexaPictureFormat f;
    f.Version = FOptions.Version;
    f.Compression = uint8_t(FOptions.Compression);
    f.Protected = FOptions.Code != 0 && FOptions.Version >= kPexaSinceHeader;
    f.Code = FOptions.Version >= kPexaSinceHeader ? FOptions.Code : 0;
    f.TileWidth = FOptions.TileWidth;
    f.TileHeight = FOptions.TileHeight;
    f.IsAlpha = alpha;
    f.JpegQuality = FOptions.JpegQuality;
    return f;
  }

  void WritePicture(const TDIBX& picture, bool alpha, int32_t frame, int32_t layer) {
    std::vector<TWrittenPicture>& written = alpha ? FAlphas : FColours;
    auto find = [&](const TRect& r, int32_t& f, int32_t& l) {
      for (const TWrittenPicture& w : written) {
        if (w.Picture->Width() != picture.Width() || w.Picture->Height() != picture.Height() ||
            w.Picture->Format() != picture.Format() || !SameRect(*w.Picture, picture, r))
          continue;
        f = w.Frame;
        l = w.Layer;
        return true;
      }
      return false;
    };
    const std::vector<uint8_t> data = EncodePexaPixels(picture, Format(alpha), FOptions.ShareTiles, find);
    WriteInt(FOut, int32_t(data.size()));
    WriteExact(FOut, data.data(), int64_t(data.size()));
    written.push_back({frame, layer, &picture});
  }

  void WriteLayer(int32_t frame, int32_t index, const TPexaLayer& layer) {
    const int32_t v = FOptions.Version;
    WriteInt(FOut, 0);
    WriteInt(FOut, 0);
    WriteByte(FOut, layer.Visible ? 1 : 0);
    WriteInt(FOut, int32_t(layer.TransparentPixel));
    WriteInt(FOut, layer.Opacity);
    if (v >= kPexaSinceAlphaEnabled) WriteByte(FOut, layer.AlphaEnabled ? 1 : 0);
    WriteStr(FOut, layer.Name);
    WritePicture(layer.Picture, false, frame, index);
    if (v < kPexaSinceAlphaData) return;
    if (layer.Alpha)
      WritePicture(*layer.Alpha, true, frame, index);
    else
      WriteInt(FOut, 0);
  }

  void WriteFrame(int32_t index, TPexaFrame& frame) {
    // A frame without layers is its composite as one opaque layer.
    if (frame.Layers.empty()) {
      TPexaLayer& layer = frame.Layers.emplace_back();
      layer.Name = "Layer";
      layer.Picture = std::move(frame.Composite);
      if (frame.Alpha) layer.Alpha = std::move(frame.Alpha);
      layer.AlphaEnabled = layer.Alpha.has_value();
      FBorrowed.push_back(&frame);
    }
    const TDIBX& first = frame.Layers[0].Picture;
    WriteStr(FOut, frame.Name);
    WriteInt(FOut, int32_t(frame.TransparentPixel));
    WriteInt(FOut, frame.Delay);
    WriteByte(FOut, frame.FrameFlag);
    WriteInt(FOut, 0);
    WriteInt(FOut, int32_t(frame.Layers.size()));
    WriteInt(FOut, first.Width());
    WriteInt(FOut, first.Height());
    WriteInt(FOut, first.BitCount());
    if (first.BitCount() <= 8) {
      std::vector<uint32_t> palette(size_t(1) << first.BitCount());
      first.GetPaletteEntries(palette.data(), 0, int(palette.size()));
      for (uint32_t quad : palette) WriteInt(FOut, int32_t(quad));
    }
    for (size_t i = 0; i < frame.Layers.size(); ++i) WriteLayer(index, int32_t(i), frame.Layers[i]);
    if (FOptions.Version >= kPexaSinceRects) {
      for (const auto* rects : {&frame.DrawRects, &frame.ExtraRects}) {
        WriteInt(FOut, int32_t(rects->size()));
        for (const TRect& r : *rects)
          for (int32_t v : {r.Left, r.Top, r.Right, r.Bottom}) WriteInt(FOut, v);
      }
    }
  }

 public:
  // Frames written from their composites get them back.
  ~TPexaWriter() {
    for (TPexaFrame* frame : FBorrowed) {
      TPexaLayer& layer = frame->Layers[0];
      frame->Composite = std::move(layer.Picture);
      if (layer.Alpha) frame->Alpha = std::move(layer.Alpha);
      frame->Layers.clear();
    }
  }

 private:
  TPexaFrameList& FList;
  TStream& FOut;
  TPexaWriteOptions FOptions;
  std::vector<TWrittenPicture> FColours;
  std::vector<TWrittenPicture> FAlphas;
  std::vector<TPexaFrame*> FBorrowed;
};

}  // namespace

void SavePexa(TPexaFrameList& list, TStream& out, const TPexaWriteOptions& options) {
  TPexaWriter(list, out, options).Run();
}

void SavePexaCapture(TPexaFrameList& list, TStream& out, TPexaCompression compression, int32_t jpegQuality) {
  TPexaWriteOptions options;
  options.Code = list.Code();
  options.Compression = list.Code() != 0 ? TPexaCompression::None : compression;
  options.JpegQuality = jpegQuality;
  options.ShareTiles = false;
  SavePexa(list, out, options);
}

}  // namespace kest
