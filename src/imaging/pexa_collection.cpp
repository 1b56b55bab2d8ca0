#include "imaging/pexa_collection.h"

#include <algorithm>
#include <cmath>

#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "imaging/pexa_frame_list.h"

namespace kest {

namespace {

constexpr double kStepMs = 1000.0 / 60.0;
// The state record stores the flag from this version on.
constexpr int32_t kStateSinceDepthFlag = 101;

bool EndsWith(const std::string& s, const char* tail) { return s.size() >= 2 && s.compare(s.size() - 2, 2, tail) == 0; }

// The picture of a frame at the cache's bit count.
std::unique_ptr<TDIBX> Converted(TDIBX&& picture, int bits) {
  auto surface = std::make_unique<TDIBX>(std::move(picture));
  if (surface->BitCount() != bits) surface->SetBitCount(bits);
  return surface;
}

}  // namespace

int32_t TPexaItemFrame::Steps() const {
  return std::max<int32_t>(1, static_cast<int32_t>(std::nearbyint(Delay / kStepMs)));
}

std::string StripPictureSuffixes(const std::string& key, bool& trim, bool& mask) {
  // Suffixes are taken from the end, so a name asking for both is found.
  std::string name = key;
  trim = EndsWith(name, "?t");
  if (trim) name.resize(name.size() - 2);
  mask = EndsWith(name, "?m");
  if (mask) name.resize(name.size() - 2);
  return name;
}

TPexaItem* TPexaCollection::Find(const std::string& key) const {
  auto it = FByKey.find(FoldName(key));
  return it == FByKey.end() ? nullptr : it->second;
}

TPexaItem* TPexaCollection::Acquire(const void* user, const std::string& fileName, bool trim, bool mask) {
  const std::string key = fileName + (mask ? "?m" : "") + (trim ? "?t" : "");
  TPexaItem* item = Find(key);
  if (!item) {
    auto added = std::make_unique<TPexaItem>();
    added->Name = key;
    Load(*added);
    item = added.get();
    FItems.push_back(std::move(added));
    FByKey[FoldName(key)] = item;
  }
  // Every acquisition is held on its own: one holder showing the picture in
  // two places keeps it until both have let it go.
  item->Users.push_back(user);
  return item;
}

void TPexaCollection::Release(TPexaItem* item, const void* user) {
  auto owned = std::find_if(FItems.begin(), FItems.end(), [item](const auto& p) { return p.get() == item; });
  if (owned == FItems.end()) return;
  auto& users = item->Users;
  auto at = std::find(users.begin(), users.end(), user);
  if (at == users.end()) return;
  users.erase(at);
  if (!users.empty()) return;
  auto key = FByKey.find(FoldName(item->Name));
  if (key != FByKey.end() && key->second == item) FByKey.erase(key);
  FItems.erase(owned);
}

void TPexaCollection::Forget(const std::string& fileName) {
  for (const char* suffix : {"", "?m", "?t", "?m?t"}) FByKey.erase(FoldName(fileName + suffix));
}

void TPexaCollection::AddBlank(TPexaItem& item) const {
  // Pixel value 0 is the key: the picture draws nothing.
  TPexaItemFrame& frame = item.Frames.emplace_back();
  frame.Surface = std::make_unique<TDIBX>(8, 8, FBitCount);
  frame.Surface->TransparentPixel = 0;
  frame.TransparentColor = frame.Surface->PixelToColor(0);
}

void TPexaCollection::Load(TPexaItem& item) {
  bool trim = false;
  bool mask = false;
  const std::string name = StripPictureSuffixes(item.Name, trim, mask);
  if (!FFiles || !FFiles->Exists(name)) return AddBlank(item);
  TPexaFrameList list(FCode);
  try {
    list.LoadByContent(FFiles->Read(name));
  } catch (const EKestError& e) {
    item.Error = name + ": " + e.what();
  }
  if (mask) list.MakeMasks();
  if (list.Count() == 0) {
    // Nothing readable draws nothing, as a missing file does.
    if (!item.Error.empty()) AddBlank(item);
    return;
  }
  item.Width = list.Frames(0).Composite.Width();
  item.Height = list.Frames(0).Composite.Height();
  for (int32_t i = 0; i < list.Count(); ++i) {
    TPexaFrame& source = list.Frames(i);
    TPexaItemFrame& frame = item.Frames.emplace_back();
    if (trim) {
      const TRect r = source.Trim();
      frame.OffsetX = r.Left;
      frame.OffsetY = r.Top;
    }
    frame.Surface = Converted(std::move(source.Composite), FBitCount);
    frame.Surface->DrawRects = source.DrawRects;
    frame.Surface->ExtraRects = source.ExtraRects;
    frame.TransparentColor = source.TransparentColor;
    frame.Surface->TransparentPixel = frame.Surface->ColorToPixel(source.TransparentColor);
    if (source.Alpha) frame.Mask = std::make_unique<TDIBX>(std::move(*source.Alpha));
    frame.Delay = std::max(1, source.Delay);
    item.TotalDelay += frame.Delay;
  }
}

void TPexaCollection::Reload(TPexaItem& item, bool recreate) {
  bool trim = false;
  bool mask = false;
  const std::string name = StripPictureSuffixes(item.Name, trim, mask);
  if (!FFiles || !FFiles->Exists(name)) return;
  TPexaItem fresh;
  fresh.Name = item.Name;
  Load(fresh);
  const size_t n = std::min(fresh.Frames.size(), item.Frames.size());
  for (size_t i = 0; i < n; ++i) {
    TPexaItemFrame& old = item.Frames[i];
    TPexaItemFrame& now = fresh.Frames[i];
    // Keyed pictures without alpha come out the same at any depth.
    if (!recreate && old.TransparentColor >= 0 && !now.Mask && !mask) continue;
    old.Surface = std::move(now.Surface);
    old.Mask = std::move(now.Mask);
    old.OffsetX = now.OffsetX;
    old.OffsetY = now.OffsetY;
  }
}

void TPexaCollection::FreeSurfaces() {
  for (auto& item : FItems)
    for (TPexaItemFrame& frame : item->Frames) frame.Surface->ReleasePixels();
}

void TPexaCollection::ReloadAll(bool recreateSurfaces) {
  for (auto& item : FItems) Reload(*item, recreateSurfaces);
}

void TPexaCollection::SetScreenDepthFlag(bool value) {
  if (value == FScreenDepthFlag) return;
  FScreenDepthFlag = value;
  ReloadAll(false);
}

void TPexaCollection::SaveState(TStream& stream) const { WriteFlag(stream, FScreenDepthFlag); }

void TPexaCollection::LoadState(TStream& stream, int32_t version) {
  if (version >= kStateSinceDepthFlag) SetScreenDepthFlag(ReadFlag(stream));
}

void TPexaCollection::DrawPicture(const TDIBX& source, const TDIBX* mask, TCustomDIBX& dest, int32_t x, int32_t y,
                                  const TRect& srcRect, int alpha, bool mirrorH, bool mirrorV) {
  const TBlit mirror = BlitIf(mirrorH, TBlit::MirrorH) | BlitIf(mirrorV, TBlit::MirrorV);
  const bool masked =
      mask && mask->BitCount() == 8 && mask->Width() == source.Width() && mask->Height() == source.Height();
  if (masked) {
    if (alpha < 255)
      dest.DrawAlphaMask(x, y, source, srcRect, mirror, *mask, alpha);
    else if (alpha == 255)
      dest.DrawMask(x, y, source, srcRect, mirror, *mask);
    else
      dest.DrawAddMask(x, y, source, srcRect, mirror, *mask, alpha - 256);
    return;
  }
  const TBlit keyed = mirror | BlitIf(source.TransparentPixel != -1, TBlit::Transparent);
  if (alpha < 255)
    dest.DrawAlpha(x, y, source, srcRect, keyed, alpha);
  else if (alpha == 255)
    dest.Draw(x, y, source, srcRect, keyed);
  else
    dest.DrawAdd(x, y, source, srcRect, keyed, alpha - 256);
}

void TPexaCollection::DrawFrame(const TPexaItemFrame& frame, TCustomDIBX& dest, int32_t x, int32_t y,
                                const TRect& srcRect, int alpha, bool mirrorH, bool mirrorV) {
  DrawPicture(*frame.Surface, frame.Mask.get(), dest, x, y, srcRect, alpha, mirrorH, mirrorV);
}

void TPexaCollection::TileFrame(const TPexaItemFrame& frame, TCustomDIBX& dest, const TRect& destRect,
                                const TRect& srcRect, int alpha, bool mirrorH, bool mirrorV, int32_t offsetX,
                                int32_t offsetY) {
  const int32_t w = srcRect.Width();
  const int32_t h = srcRect.Height();
  if (w <= 0 || h <= 0) return;
  int32_t sy = offsetY % h;
  for (int32_t y = destRect.Top; y < destRect.Bottom;) {
    const int32_t th = std::min(h - sy, destRect.Bottom - y);
    const int32_t dy = mirrorV ? destRect.Bottom + destRect.Top - y - th : y;
    int32_t sx = offsetX % w;
    for (int32_t x = destRect.Left; x < destRect.Right;) {
      const int32_t tw = std::min(w - sx, destRect.Right - x);
      const int32_t dx = mirrorH ? destRect.Right + destRect.Left - x - tw : x;
      DrawFrame(frame, dest, dx, dy, MakeRect(srcRect.Left + sx, srcRect.Top + sy, tw, th), alpha, mirrorH, mirrorV);
      sx = 0;
      x += tw;
    }
    sy = 0;
    y += th;
  }
}

}  // namespace kest
