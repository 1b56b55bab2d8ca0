#include "imaging/wipes/wipe_kernels.h"

#include <emmintrin.h>
#include <immintrin.h>

#include <cstring>

#include "imaging/fast_kernels.h"

namespace kest::wipe32 {

namespace {

using fast32::KernelLevel;
using fast32::TKernelLevel;

// Levels of eight pixels, clamped, turned into the ramp: which picture each
// pixel takes and by how much every colour channel moves.
__attribute__((target("avx2"))) inline void Ramp8(uint32_t* out, const uint32_t* from, const uint32_t* to,
                                                  __m256i level, bool whiten) {
  const __m256i top = _mm256_set1_epi32(511);
  level = _mm256_min_epi32(_mm256_max_epi32(level, _mm256_setzero_si256()), top);
  const __m256i late = _mm256_cmpgt_epi32(level, _mm256_set1_epi32(255));
  const __m256i amount = _mm256_blendv_epi8(level, _mm256_sub_epi32(top, level), late);
  const __m256i spread =
      _mm256_or_si256(amount, _mm256_or_si256(_mm256_slli_epi32(amount, 8), _mm256_slli_epi32(amount, 16)));
  const __m256i f = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from));
  const __m256i t = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(to));
  const __m256i p = _mm256_blendv_epi8(f, t, late);
  const __m256i moved = whiten ? _mm256_adds_epu8(p, spread) : _mm256_subs_epu8(p, spread);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_and_si256(moved, _mm256_set1_epi32(0xFFFFFF)));
}

inline __m128i Select(__m128i take, __m128i a, __m128i b) {
  return _mm_or_si128(_mm_and_si128(take, a), _mm_andnot_si128(take, b));
}

inline void Ramp4(uint32_t* out, const uint32_t* from, const uint32_t* to, __m128i level, bool whiten) {
  const __m128i top = _mm_set1_epi32(511);
  level = _mm_andnot_si128(_mm_cmpgt_epi32(_mm_setzero_si128(), level), level);
  level = Select(_mm_cmpgt_epi32(level, top), top, level);
  const __m128i late = _mm_cmpgt_epi32(level, _mm_set1_epi32(255));
  const __m128i amount = Select(late, _mm_sub_epi32(top, level), level);
  const __m128i spread = _mm_or_si128(amount, _mm_or_si128(_mm_slli_epi32(amount, 8), _mm_slli_epi32(amount, 16)));
  const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
  const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(to));
  const __m128i p = Select(late, t, f);
  const __m128i moved = whiten ? _mm_adds_epu8(p, spread) : _mm_subs_epu8(p, spread);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_and_si128(moved, _mm_set1_epi32(0xFFFFFF)));
}

inline __m128i Grey4(const uint8_t* g, __m128i base) {
  int32_t v;
  std::memcpy(&v, g, 4);
  const __m128i zero = _mm_setzero_si128();
  const __m128i words = _mm_unpacklo_epi8(_mm_cvtsi32_si128(v), zero);
  return _mm_add_epi32(_mm_unpacklo_epi16(words, zero), base);
}

__attribute__((target("avx2"))) int GreyRowAvx2(uint32_t* out, const uint32_t* from, const uint32_t* to,
                                                const uint8_t* grey, int n, int32_t base, bool whiten) {
  const __m256i b = _mm256_set1_epi32(base);
  int x = 0;
  for (; x + 8 <= n; x += 8) {
    const __m128i g = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(grey + x));
    Ramp8(out + x, from + x, to + x, _mm256_add_epi32(_mm256_cvtepu8_epi32(g), b), whiten);
  }
  return x;
}

int GreyRowSse2(uint32_t* out, const uint32_t* from, const uint32_t* to, const uint8_t* grey, int n, int32_t base,
                bool whiten) {
  const __m128i b = _mm_set1_epi32(base);
  int x = 0;
  for (; x + 4 <= n; x += 4) Ramp4(out + x, from + x, to + x, Grey4(grey + x, b), whiten);
  return x;
}

__attribute__((target("avx2"))) int DistanceRowAvx2(uint32_t* out, const uint32_t* from, const uint32_t* to,
                                                    const int32_t* distance, int n, int32_t base, bool whiten) {
  const __m256i b = _mm256_set1_epi32(base);
  int x = 0;
  for (; x + 8 <= n; x += 8) {
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(distance + x));
    Ramp8(out + x, from + x, to + x, _mm256_sub_epi32(b, d), whiten);
  }
  return x;
}

int DistanceRowSse2(uint32_t* out, const uint32_t* from, const uint32_t* to, const int32_t* distance, int n,
                    int32_t base, bool whiten) {
  const __m128i b = _mm_set1_epi32(base);
  int x = 0;
  for (; x + 4 <= n; x += 4) {
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(distance + x));
    Ramp4(out + x, from + x, to + x, _mm_sub_epi32(b, d), whiten);
  }
  return x;
}

}  // namespace

void RampRowByGrey(uint32_t* out, const uint32_t* from, const uint32_t* to, const uint8_t* grey, int n, int32_t base,
                   bool whiten) {
  // Levels beyond 0..511 act as the ends; keeping base near that range
  // keeps base + grey from overflowing.
  base = std::clamp(base, -1024, 1024);
  int x = KernelLevel() == TKernelLevel::Avx2 ? GreyRowAvx2(out, from, to, grey, n, base, whiten)
                                              : GreyRowSse2(out, from, to, grey, n, base, whiten);
  for (; x < n; ++x) out[x] = RampPixel(from[x], to[x], base + grey[x], whiten);
}

void RampRowByDistance(uint32_t* out, const uint32_t* from, const uint32_t* to, const int32_t* distance, int n,
                       int32_t base, bool whiten) {
  base = std::clamp(base, -(1 << 30), 1 << 30);
  int x = KernelLevel() == TKernelLevel::Avx2 ? DistanceRowAvx2(out, from, to, distance, n, base, whiten)
                                              : DistanceRowSse2(out, from, to, distance, n, base, whiten);
  for (; x < n; ++x) out[x] = RampPixel(from[x], to[x], base - distance[x], whiten);
}

}  // namespace kest::wipe32
