#pragma once
// Row kernels for 32-bit surfaces (and their 8-bit masks). They give the same
// pixels as the reference formulas, bit for bit; rows run forwards only, the
// callers gather mirrored or stretched sources into a row first.

#include <cstdint>
#include <vector>

#include "imaging/blend_op.h"

namespace kest::fast32 {

// The widest instructions the kernels use: chosen at start-up from what the
// processor has; tests step through every level the machine supports.
enum class TKernelLevel { Sse2, Avx2 };
TKernelLevel KernelLevel();
// Clamped to what the processor supports.
void SetKernelLevel(TKernelLevel level);
std::vector<TKernelLevel> SupportedKernelLevels();

// d[i] := op(d[i], s[i], m[i]) for i < n; m is read only when op uses a mask.
void ApplyRow(const TBlendOp& op, uint32_t* d, const uint32_t* s, const uint8_t* m, int n);

void FillRow(uint32_t* d, int n, uint32_t pixel);
void FillAlphaRow(uint32_t* d, int n, uint32_t pixel, int alpha);
void FillAddRow(uint32_t* d, int n, uint32_t pixel);
void FillSubRow(uint32_t* d, int n, uint32_t pixel);
void FillMaskRow(uint32_t* d, const uint8_t* m, int n, uint32_t pixel, int alpha);

}  // namespace kest::fast32
