#pragma once
// One description of what a blit does to each pixel it reaches, shared by the
// position, stretch, rotate and tile blits, so that every geometry runs through
// the same reference formulas and the same fast kernels.

#include <cstdint>

namespace kest {

enum class TBlendKind : uint8_t {
  Copy,       // d = s
  Alpha,      // blend by A, pixels equal to d skipped
  Mask,       // per-pixel m: 0 skips, 255 copies, else blends by m
  AlphaMask,  // blend by (A * m) >> 8, m = 0 skips
  Add,        // d + ((A * s) >> 8), saturated per channel
  AddMask,    // d + ((((A * m) >> 8) * s) >> 8), m = 0 skips
  AddPlain,   // d + s saturated, without A (8-bit surfaces)
};

struct TBlendOp {
  TBlendKind Kind = TBlendKind::Copy;
  int Alpha = 255;
  int64_t Key = -1;  // source pixel value to skip; -1 none

  bool UsesMask() const {
    return Kind == TBlendKind::Mask || Kind == TBlendKind::AlphaMask || Kind == TBlendKind::AddMask;
  }
};

}  // namespace kest
