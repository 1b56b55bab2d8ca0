#pragma once
// The integer formulas of every fill and blit, one pixel at a time, on masked
// channel fields: for a field with mask M the channel part of P is P and M, and
// each result is masked with M again, so 15/16-bit and 24/32-bit formats share
// one formula. These are the oracle the fast kernels are tested against and the
// code every format without a fast kernel runs.

#include <array>
#include <cstdint>

#include "imaging/blend_op.h"

namespace kest {

struct TChannelMasks {
  std::array<uint32_t, 3> M{};
  int Count = 1;
};

// ((wd * d_ch + ws * s_ch) >> 8) and M_ch per channel.
inline uint32_t RefBlend(const TChannelMasks& c, uint32_t d, uint32_t s, uint32_t wd, uint32_t ws) {
  uint32_t r = 0;
  for (int i = 0; i < c.Count; ++i) {
    uint64_t m = c.M[i];
    r |= uint32_t(((wd * (d & m) + ws * (s & m)) >> 8) & m);
  }
  return r;
}

// min(d_ch + (((a * s_ch) >> 8) and M_ch), M_ch) per channel.
inline uint32_t RefAdd(const TChannelMasks& c, uint32_t d, uint32_t s, uint32_t a) {
  uint32_t r = 0;
  for (int i = 0; i < c.Count; ++i) {
    uint64_t m = c.M[i];
    uint64_t v = (d & m) + (((a * (s & m)) >> 8) & m);
    r |= uint32_t(v < m ? v : m);
  }
  return r;
}

// min(d_ch + s_ch, M_ch) per channel.
inline uint32_t RefAddPlain(const TChannelMasks& c, uint32_t d, uint32_t s) {
  uint32_t r = 0;
  for (int i = 0; i < c.Count; ++i) {
    uint64_t m = c.M[i];
    uint64_t v = uint64_t(d & m) + (s & m);
    r |= uint32_t(v < m ? v : m);
  }
  return r;
}

// max(d_ch - s_ch, 0) per channel.
inline uint32_t RefSub(const TChannelMasks& c, uint32_t d, uint32_t s) {
  uint32_t r = 0;
  for (int i = 0; i < c.Count; ++i) {
    uint32_t m = c.M[i];
    uint32_t dc = d & m, sc = s & m;
    r |= dc > sc ? dc - sc : 0;
  }
  return r;
}

// The new value of destination pixel d under op for source s and mask m;
// false when the pixel is skipped.
inline bool RefApply(const TBlendOp& op, const TChannelMasks& c, uint32_t& d, uint32_t s, uint32_t m) {
  if (op.Key >= 0 && int64_t(s) == op.Key) return false;
  const uint32_t a = uint32_t(op.Alpha);
  switch (op.Kind) {
    case TBlendKind::Copy: d = s; return true;
    case TBlendKind::Alpha:
      if (s == d) return false;
      d = RefBlend(c, d, s, 255 - a, a);
      return true;
    case TBlendKind::Mask:
      if (m == 0) return false;
      d = m == 255 ? s : RefBlend(c, d, s, 255 - m, m);
      return true;
    case TBlendKind::AlphaMask: {
      if (m == 0) return false;
      uint32_t b = (a * m) >> 8;
      d = RefBlend(c, d, s, 255 - b, b);
      return true;
    }
    case TBlendKind::Add: d = RefAdd(c, d, s, a); return true;
    case TBlendKind::AddMask:
      if (m == 0) return false;
      d = RefAdd(c, d, s, (a * m) >> 8);
      return true;
    case TBlendKind::AddPlain: d = RefAddPlain(c, d, s); return true;
  }
  return false;
}

}  // namespace kest
