#include "imaging/fast_kernels.h"

#include <emmintrin.h>
#include <immintrin.h>

#include <algorithm>
#include <cstring>

#include "imaging/reference_kernels.h"

namespace kest::fast32 {

namespace {

// The few pixels after the last full group of four go through the formulas
// themselves, so the tails agree with the reference by construction.
const TChannelMasks kMasks32{{0xFF0000, 0x00FF00, 0x0000FF}, 3};

inline __m128i Load4(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store4(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

inline __m128i Select(__m128i take, __m128i a, __m128i b) {
  return _mm_or_si128(_mm_and_si128(take, a), _mm_andnot_si128(take, b));
}

// Four mask bytes as 16-bit lanes m0..m3 in the low half.
inline __m128i LoadMask4(const uint8_t* m) {
  int32_t v;
  std::memcpy(&v, m, 4);
  return _mm_unpacklo_epi8(_mm_cvtsi32_si128(v), _mm_setzero_si128());
}

// 16-bit weights w0..w3 repeated over the four channel lanes of each pixel:
// lo covers pixels 0 and 1, hi pixels 2 and 3.
struct TWeights {
  __m128i Lo, Hi;
};
inline TWeights Spread(__m128i w16) {
  __m128i pairs = _mm_unpacklo_epi16(w16, w16);
  return {_mm_unpacklo_epi32(pairs, pairs), _mm_unpackhi_epi32(pairs, pairs)};
}

inline __m128i Widen32(__m128i w16) { return _mm_unpacklo_epi16(w16, _mm_setzero_si128()); }

// ((wd * d + ws * s) >> 8) per byte; wd + ws <= 255 keeps every sum in 16 bits.
inline __m128i BlendHalves(__m128i d, __m128i s, __m128i wdLo, __m128i wsLo, __m128i wdHi, __m128i wsHi) {
  const __m128i z = _mm_setzero_si128();
  __m128i lo =
      _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, z), wdLo), _mm_mullo_epi16(_mm_unpacklo_epi8(s, z), wsLo));
  __m128i hi =
      _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, z), wdHi), _mm_mullo_epi16(_mm_unpackhi_epi8(s, z), wsHi));
  return _mm_packus_epi16(_mm_srli_epi16(lo, 8), _mm_srli_epi16(hi, 8));
}

// (w * s) >> 8 per byte.
inline __m128i ScaleHalves(__m128i s, __m128i wLo, __m128i wHi) {
  const __m128i z = _mm_setzero_si128();
  __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(s, z), wLo), 8);
  __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(s, z), wHi), 8);
  return _mm_packus_epi16(lo, hi);
}

inline void Tail(const TBlendOp& op, uint32_t* d, const uint32_t* s, const uint8_t* m, int from, int n) {
  for (int i = from; i < n; ++i) {
    uint32_t v = d[i];
    if (RefApply(op, kMasks32, v, s[i], m ? m[i] : 0)) d[i] = v;
  }
}

// Pixels equal to the key keep their destination value.
inline __m128i KeepKeyed(bool keyed, __m128i key, __m128i s, __m128i d, __m128i r) {
  return keyed ? Select(_mm_cmpeq_epi32(s, key), d, r) : r;
}

// Eight pixels a step where the processor has AVX2; the same selection. The
// first pixels are taken one by one up to a 32-byte boundary of the
// destination, so that no load or store of the loop splits a cache line.
__attribute__((target("avx2"))) int CopyKeyRowAvx2(uint32_t* d, const uint32_t* s, int n, uint32_t key) {
  const __m256i k = _mm256_set1_epi32(int32_t(key));
  int i = 0;
  for (; i < n && (reinterpret_cast<uintptr_t>(d + i) & 31) != 0; ++i)
    if (s[i] != key) d[i] = s[i];
  for (; i + 16 <= n; i += 16) {
    const __m256i s0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    const __m256i s1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + 8));
    const __m256i d0 = _mm256_load_si256(reinterpret_cast<const __m256i*>(d + i));
    const __m256i d1 = _mm256_load_si256(reinterpret_cast<const __m256i*>(d + i + 8));
    _mm256_store_si256(reinterpret_cast<__m256i*>(d + i), _mm256_blendv_epi8(s0, d0, _mm256_cmpeq_epi32(s0, k)));
    _mm256_store_si256(reinterpret_cast<__m256i*>(d + i + 8), _mm256_blendv_epi8(s1, d1, _mm256_cmpeq_epi32(s1, k)));
  }
  for (; i + 8 <= n; i += 8) {
    const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    const __m256i dv = _mm256_load_si256(reinterpret_cast<const __m256i*>(d + i));
    _mm256_store_si256(reinterpret_cast<__m256i*>(d + i), _mm256_blendv_epi8(sv, dv, _mm256_cmpeq_epi32(sv, k)));
  }
  return i;
}

bool MachineHasAvx2() {
  static const bool have = __builtin_cpu_supports("avx2");
  return have;
}

TKernelLevel& Level() {
  static TKernelLevel level = MachineHasAvx2() ? TKernelLevel::Avx2 : TKernelLevel::Sse2;
  return level;
}

int CopyKeyRow(uint32_t* d, const uint32_t* s, int n, __m128i key) {
  if (Level() == TKernelLevel::Avx2) return CopyKeyRowAvx2(d, s, n, static_cast<uint32_t>(_mm_cvtsi128_si32(key)));
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128i sv = Load4(s + i), dv = Load4(d + i);
    Store4(d + i, Select(_mm_cmpeq_epi32(sv, key), dv, sv));
  }
  return i;
}

// (d * (255 - w) + s * w) >> 8 per byte for eight pixels whose weights are
// spread over their bytes in wLo (pixels 0-3) and wHi (4-7).
__attribute__((target("avx2"))) inline __m256i Blend8(__m256i d, __m256i s, __m256i wLo, __m256i wHi) {
  const __m256i full = _mm256_set1_epi16(255);
  const __m256i sLo = _mm256_cvtepu8_epi16(_mm256_castsi256_si128(s));
  const __m256i sHi = _mm256_cvtepu8_epi16(_mm256_extracti128_si256(s, 1));
  const __m256i dLo = _mm256_cvtepu8_epi16(_mm256_castsi256_si128(d));
  const __m256i dHi = _mm256_cvtepu8_epi16(_mm256_extracti128_si256(d, 1));
  const __m256i lo = _mm256_srli_epi16(
      _mm256_add_epi16(_mm256_mullo_epi16(dLo, _mm256_sub_epi16(full, wLo)), _mm256_mullo_epi16(sLo, wLo)), 8);
  const __m256i hi = _mm256_srli_epi16(
      _mm256_add_epi16(_mm256_mullo_epi16(dHi, _mm256_sub_epi16(full, wHi)), _mm256_mullo_epi16(sHi, wHi)), 8);
  // The pack works within 128-bit lanes: pixel pairs come out as 01 45 23 67.
  return _mm256_permute4x64_epi64(_mm256_packus_epi16(lo, hi), 0xD8);
}

__attribute__((target("avx2"))) int MaskRowAvx2(uint32_t* d, const uint32_t* s, const uint8_t* m, int n, bool keyed,
                                                uint32_t key) {
  const __m128i spreadLo = _mm_setr_epi8(0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3);
  const __m128i spreadHi = _mm_setr_epi8(4, 4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 6, 7, 7, 7, 7);
  const __m256i full32 = _mm256_set1_epi32(255), z = _mm256_setzero_si256(), k = _mm256_set1_epi32(int32_t(key));
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    // Pictures are mostly wholly clear or wholly opaque, with soft edges
    // between: eight clear pixels are left alone, eight opaque ones copied.
    uint64_t group;
    std::memcpy(&group, m + i, 8);
    if (group == 0) continue;
    const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    if (group == ~uint64_t{0} && !keyed) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), sv);
      continue;
    }
    const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    const __m128i mb = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(m + i));
    __m256i r = Blend8(dv, sv, _mm256_cvtepu8_epi16(_mm_shuffle_epi8(mb, spreadLo)),
                       _mm256_cvtepu8_epi16(_mm_shuffle_epi8(mb, spreadHi)));
    const __m256i m32 = _mm256_cvtepu8_epi32(mb);
    r = _mm256_blendv_epi8(r, sv, _mm256_cmpeq_epi32(m32, full32));
    r = _mm256_blendv_epi8(r, dv, _mm256_cmpeq_epi32(m32, z));
    if (keyed) r = _mm256_blendv_epi8(r, dv, _mm256_cmpeq_epi32(sv, k));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), r);
  }
  return i;
}

__attribute__((target("avx2"))) int AlphaRowAvx2(uint32_t* d, const uint32_t* s, int n, int a, bool keyed,
                                                 uint32_t key) {
  const __m256i w = _mm256_set1_epi16(int16_t(a)), k = _mm256_set1_epi32(int32_t(key));
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    __m256i r = _mm256_blendv_epi8(Blend8(dv, sv, w, w), dv, _mm256_cmpeq_epi32(sv, dv));
    if (keyed) r = _mm256_blendv_epi8(r, dv, _mm256_cmpeq_epi32(sv, k));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), r);
  }
  return i;
}

int AlphaRow(uint32_t* d, const uint32_t* s, int n, int a, bool keyed, __m128i key) {
  if (Level() == TKernelLevel::Avx2) return AlphaRowAvx2(d, s, n, a, keyed, uint32_t(_mm_cvtsi128_si32(key)));
  const __m128i ws = _mm_set1_epi16(int16_t(a)), wd = _mm_set1_epi16(int16_t(255 - a));
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128i sv = Load4(s + i), dv = Load4(d + i);
    __m128i r = BlendHalves(dv, sv, wd, ws, wd, ws);
    r = Select(_mm_cmpeq_epi32(sv, dv), dv, r);
    Store4(d + i, KeepKeyed(keyed, key, sv, dv, r));
  }
  return i;
}

int MaskRow(uint32_t* d, const uint32_t* s, const uint8_t* m, int n, bool keyed, __m128i key) {
  if (Level() == TKernelLevel::Avx2) return MaskRowAvx2(d, s, m, n, keyed, uint32_t(_mm_cvtsi128_si32(key)));
  const __m128i full = _mm_set1_epi16(255), full32 = _mm_set1_epi32(255), z = _mm_setzero_si128();
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    uint32_t group;
    std::memcpy(&group, m + i, 4);
    if (group == 0) continue;
    __m128i sv = Load4(s + i);
    if (group == ~uint32_t{0} && !keyed) {
      Store4(d + i, sv);
      continue;
    }
    __m128i dv = Load4(d + i);
    __m128i m16 = LoadMask4(m + i);
    TWeights ws = Spread(m16), wd = Spread(_mm_sub_epi16(full, m16));
    __m128i r = BlendHalves(dv, sv, wd.Lo, ws.Lo, wd.Hi, ws.Hi);
    __m128i m32 = Widen32(m16);
    r = Select(_mm_cmpeq_epi32(m32, full32), sv, r);
    r = Select(_mm_cmpeq_epi32(m32, z), dv, r);
    Store4(d + i, KeepKeyed(keyed, key, sv, dv, r));
  }
  return i;
}

int AlphaMaskRow(uint32_t* d, const uint32_t* s, const uint8_t* m, int n, int a, bool keyed, __m128i key) {
  const __m128i full = _mm_set1_epi16(255), av = _mm_set1_epi16(int16_t(a)), z = _mm_setzero_si128();
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128i sv = Load4(s + i), dv = Load4(d + i);
    __m128i m16 = LoadMask4(m + i);
    __m128i b16 = _mm_srli_epi16(_mm_mullo_epi16(m16, av), 8);
    TWeights ws = Spread(b16), wd = Spread(_mm_sub_epi16(full, b16));
    __m128i r = BlendHalves(dv, sv, wd.Lo, ws.Lo, wd.Hi, ws.Hi);
    r = Select(_mm_cmpeq_epi32(Widen32(m16), z), dv, r);
    Store4(d + i, KeepKeyed(keyed, key, sv, dv, r));
  }
  return i;
}

int AddRow(uint32_t* d, const uint32_t* s, int n, int a, bool keyed, __m128i key) {
  const __m128i av = _mm_set1_epi16(int16_t(a));
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128i sv = Load4(s + i), dv = Load4(d + i);
    __m128i r = _mm_adds_epu8(dv, ScaleHalves(sv, av, av));
    Store4(d + i, KeepKeyed(keyed, key, sv, dv, r));
  }
  return i;
}

int AddMaskRow(uint32_t* d, const uint32_t* s, const uint8_t* m, int n, int a, bool keyed, __m128i key) {
  const __m128i av = _mm_set1_epi16(int16_t(a)), z = _mm_setzero_si128();
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128i sv = Load4(s + i), dv = Load4(d + i);
    __m128i m16 = LoadMask4(m + i);
    TWeights w = Spread(_mm_srli_epi16(_mm_mullo_epi16(m16, av), 8));
    __m128i r = _mm_adds_epu8(dv, ScaleHalves(sv, w.Lo, w.Hi));
    r = Select(_mm_cmpeq_epi32(Widen32(m16), z), dv, r);
    Store4(d + i, KeepKeyed(keyed, key, sv, dv, r));
  }
  return i;
}

int AddPlainRow(uint32_t* d, const uint32_t* s, int n, bool keyed, __m128i key) {
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128i sv = Load4(s + i), dv = Load4(d + i);
    Store4(d + i, KeepKeyed(keyed, key, sv, dv, _mm_adds_epu8(dv, sv)));
  }
  return i;
}

}  // namespace

void ApplyRow(const TBlendOp& op, uint32_t* d, const uint32_t* s, const uint8_t* m, int n) {
  // A key above 24 bits never matches a 32-bit pixel, whose fourth byte is 0.
  const bool keyed = op.Key >= 0 && op.Key <= 0xFFFFFF;
  if (op.Key > 0xFFFFFF) return ApplyRow({op.Kind, op.Alpha, -1}, d, s, m, n);
  const __m128i key = _mm_set1_epi32(int32_t(keyed ? op.Key : 0));
  int done = 0;
  switch (op.Kind) {
    case TBlendKind::Copy:
      if (!keyed) {
        std::memmove(d, s, size_t(n) * 4);
        return;
      }
      done = CopyKeyRow(d, s, n, key);
      break;
    case TBlendKind::Alpha: done = AlphaRow(d, s, n, op.Alpha, keyed, key); break;
    case TBlendKind::Mask: done = MaskRow(d, s, m, n, keyed, key); break;
    case TBlendKind::AlphaMask: done = AlphaMaskRow(d, s, m, n, op.Alpha, keyed, key); break;
    case TBlendKind::Add: done = AddRow(d, s, n, op.Alpha, keyed, key); break;
    case TBlendKind::AddMask: done = AddMaskRow(d, s, m, n, op.Alpha, keyed, key); break;
    case TBlendKind::AddPlain: done = AddPlainRow(d, s, n, keyed, key); break;
  }
  Tail(op, d, s, m, done, n);
}

constexpr int kStringFillRun = 65536;

// Aligned, unrolled stores once the row start is aligned.
__attribute__((target("avx2"))) void FillRowAvx2(uint32_t* d, int n, uint32_t pixel) {
  int i = 0;
  for (; i < n && (reinterpret_cast<uintptr_t>(d + i) & 31) != 0; ++i) d[i] = pixel;
  const __m256i v = _mm256_set1_epi32(int32_t(pixel));
  for (; i + 32 <= n; i += 32) {
    auto* p = reinterpret_cast<__m256i*>(d + i);
    _mm256_store_si256(p, v);
    _mm256_store_si256(p + 1, v);
    _mm256_store_si256(p + 2, v);
    _mm256_store_si256(p + 3, v);
  }
  for (; i + 8 <= n; i += 8) _mm256_store_si256(reinterpret_cast<__m256i*>(d + i), v);
  for (; i < n; ++i) d[i] = pixel;
}

void FillRow(uint32_t* d, int n, uint32_t pixel) {
  pixel &= 0xFFFFFF;
  // Long runs (a whole surface filled at once) go through the string store,
  // which the processor carries out in whole cache lines without first
  // reading them in; for short runs its start-up costs more than it saves.
  if (n >= kStringFillRun) {
    size_t count = size_t(n);
    asm volatile("rep stosl" : "+D"(d), "+c"(count) : "a"(pixel) : "memory");
    return;
  }
  if (Level() == TKernelLevel::Avx2) return FillRowAvx2(d, n, pixel);
  int i = 0;
  for (; i < n && (reinterpret_cast<uintptr_t>(d + i) & 15) != 0; ++i) d[i] = pixel;
  const __m128i v = _mm_set1_epi32(int32_t(pixel));
  for (; i + 16 <= n; i += 16) {
    auto* p = reinterpret_cast<__m128i*>(d + i);
    _mm_store_si128(p, v);
    _mm_store_si128(p + 1, v);
    _mm_store_si128(p + 2, v);
    _mm_store_si128(p + 3, v);
  }
  for (; i + 4 <= n; i += 4) _mm_store_si128(reinterpret_cast<__m128i*>(d + i), v);
  for (; i < n; ++i) d[i] = pixel;
}

// Blend8 with a constant source: its weighted half is worked out once.
__attribute__((target("avx2"))) inline __m256i FillBlend8(__m256i dv, __m256i pv, __m256i wd, __m256i sw) {
  const __m256i dLo = _mm256_cvtepu8_epi16(_mm256_castsi256_si128(dv));
  const __m256i dHi = _mm256_cvtepu8_epi16(_mm256_extracti128_si256(dv, 1));
  const __m256i lo = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(dLo, wd), sw), 8);
  const __m256i hi = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(dHi, wd), sw), 8);
  const __m256i r = _mm256_permute4x64_epi64(_mm256_packus_epi16(lo, hi), 0xD8);
  return _mm256_blendv_epi8(r, dv, _mm256_cmpeq_epi32(dv, pv));
}

// Two groups of eight a step, so the multiplies of one overlap the other's.
__attribute__((target("avx2"))) int FillAlphaRowAvx2(uint32_t* d, int n, uint32_t pixel, int alpha) {
  const __m256i pv = _mm256_set1_epi32(int32_t(pixel));
  const __m256i wd = _mm256_set1_epi16(int16_t(255 - alpha));
  const __m256i sw =
      _mm256_mullo_epi16(_mm256_cvtepu8_epi16(_mm256_castsi256_si128(pv)), _mm256_set1_epi16(int16_t(alpha)));
  auto* p = reinterpret_cast<__m256i*>(d);
  int i = 0;
  for (; i + 16 <= n; i += 16, p += 2) {
    const __m256i a = _mm256_loadu_si256(p);
    const __m256i b = _mm256_loadu_si256(p + 1);
    _mm256_storeu_si256(p, FillBlend8(a, pv, wd, sw));
    _mm256_storeu_si256(p + 1, FillBlend8(b, pv, wd, sw));
  }
  for (; i + 8 <= n; i += 8, ++p) _mm256_storeu_si256(p, FillBlend8(_mm256_loadu_si256(p), pv, wd, sw));
  return i;
}

void FillAlphaRow(uint32_t* d, int n, uint32_t pixel, int alpha) {
  pixel &= 0xFFFFFF;
  const __m128i pv = _mm_set1_epi32(int32_t(pixel));
  const __m128i ws = _mm_set1_epi16(int16_t(alpha)), wd = _mm_set1_epi16(int16_t(255 - alpha));
  int i = Level() == TKernelLevel::Avx2 ? FillAlphaRowAvx2(d, n, pixel, alpha) : 0;
  for (; i + 4 <= n; i += 4) {
    __m128i dv = Load4(d + i);
    __m128i r = BlendHalves(dv, pv, wd, ws, wd, ws);
    Store4(d + i, Select(_mm_cmpeq_epi32(dv, pv), dv, r));
  }
  for (; i < n; ++i)
    if (d[i] != pixel) d[i] = RefBlend(kMasks32, d[i], pixel, 255 - alpha, alpha);
}

// Plain byte loops over whole pixels: GCC turns them into saturating packed
// adds and subtracts (checked with -fopt-info-vec).
void FillAddRow(uint32_t* d, int n, uint32_t pixel) {
  const uint8_t p0 = uint8_t(pixel), p1 = uint8_t(pixel >> 8), p2 = uint8_t(pixel >> 16);
  uint8_t* b = reinterpret_cast<uint8_t*>(d);
  for (int i = 0; i < n; ++i) {
    uint8_t* q = b + 4 * i;
    q[0] = uint8_t(q[0] + p0 > 255 ? 255 : q[0] + p0);
    q[1] = uint8_t(q[1] + p1 > 255 ? 255 : q[1] + p1);
    q[2] = uint8_t(q[2] + p2 > 255 ? 255 : q[2] + p2);
  }
}

void FillSubRow(uint32_t* d, int n, uint32_t pixel) {
  const uint8_t p0 = uint8_t(pixel), p1 = uint8_t(pixel >> 8), p2 = uint8_t(pixel >> 16);
  uint8_t* b = reinterpret_cast<uint8_t*>(d);
  for (int i = 0; i < n; ++i) {
    uint8_t* q = b + 4 * i;
    q[0] = uint8_t(q[0] > p0 ? q[0] - p0 : 0);
    q[1] = uint8_t(q[1] > p1 ? q[1] - p1 : 0);
    q[2] = uint8_t(q[2] > p2 ? q[2] - p2 : 0);
  }
}

void FillMaskRow(uint32_t* d, const uint8_t* m, int n, uint32_t pixel, int alpha) {
  pixel &= 0xFFFFFF;
  const __m128i pv = _mm_set1_epi32(int32_t(pixel));
  const __m128i full = _mm_set1_epi16(255), av = _mm_set1_epi16(int16_t(alpha)), z = _mm_setzero_si128();
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128i dv = Load4(d + i);
    __m128i m16 = LoadMask4(m + i);
    __m128i r16 = _mm_srli_epi16(_mm_mullo_epi16(m16, av), 8);
    TWeights wp = Spread(r16), wd = Spread(_mm_xor_si128(r16, full));
    __m128i r = BlendHalves(dv, pv, wd.Lo, wp.Lo, wd.Hi, wp.Hi);
    Store4(d + i, Select(_mm_cmpeq_epi32(Widen32(m16), z), dv, r));
  }
  for (; i < n; ++i) {
    if (m[i] == 0) continue;
    uint32_t r = (uint32_t(alpha) * m[i]) >> 8;
    d[i] = RefBlend(kMasks32, d[i], pixel, r ^ 255, r);
  }
}

TKernelLevel KernelLevel() { return Level(); }

void SetKernelLevel(TKernelLevel level) {
  Level() = level == TKernelLevel::Avx2 && !MachineHasAvx2() ? TKernelLevel::Sse2 : level;
}

std::vector<TKernelLevel> SupportedKernelLevels() {
  if (MachineHasAvx2()) return {TKernelLevel::Sse2, TKernelLevel::Avx2};
  return {TKernelLevel::Sse2};
}

}  // namespace kest::fast32
