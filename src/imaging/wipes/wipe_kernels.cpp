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

// Up to sixteen columns row by row, so the few source rows they read stay
// cached; quotient and remainder step the source row without a division.
void SqueezeBand(uint32_t* const* out, const uint32_t* source, ptrdiff_t step, int32_t h, int32_t x0, int32_t n,
                 const int32_t* start, const int32_t* length) {
  int32_t quot[16] = {}, rem[16] = {}, row[16] = {}, carry[16] = {};
  for (int32_t j = 0; j < n; ++j)
    if (length[j] > 0) {
      quot[j] = h / length[j];
      rem[j] = h % length[j];
    }
  for (int32_t y = 0; y < h; ++y) {
    uint32_t* target = out[y] + x0;
    for (int32_t j = 0; j < n; ++j) {
      const int32_t offset = y - start[j];
      if (offset < 0 || offset >= length[j]) {
        target[j] = 0;
        continue;
      }
      target[j] = source[row[j] * step + x0 + j];
      row[j] += quot[j];
      carry[j] += rem[j];
      if (carry[j] >= length[j]) {
        carry[j] -= length[j];
        ++row[j];
      }
    }
  }
}

// Eight columns at a time: the rows inside each column gathered, the rest
// masked to 0, the steps taken only where a column shows.
__attribute__((target("avx2"))) int SqueezeColumnsAvx2(uint32_t* const* out, const uint32_t* source, int32_t step,
                                                       int32_t h, int32_t x0, int32_t n, const int32_t* start,
                                                       const int32_t* length) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i steps = _mm256_set1_epi32(step);
  int j = 0;
  for (; j + 8 <= n; j += 8) {
    alignas(32) int32_t quot[8] = {}, rem[8] = {};
    for (int k = 0; k < 8; ++k)
      if (length[j + k] > 0) {
        quot[k] = h / length[j + k];
        rem[k] = h % length[j + k];
      }
    const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(start + j));
    const __m256i len = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(length + j));
    const __m256i last = _mm256_sub_epi32(len, _mm256_set1_epi32(1));
    const __m256i q = _mm256_load_si256(reinterpret_cast<const __m256i*>(quot));
    const __m256i r = _mm256_load_si256(reinterpret_cast<const __m256i*>(rem));
    const __m256i xs = _mm256_add_epi32(lanes, _mm256_set1_epi32(x0 + j));
    __m256i row = zero, carry = zero;
    for (int32_t y = 0; y < h; ++y) {
      const __m256i offset = _mm256_sub_epi32(_mm256_set1_epi32(y), first);
      const __m256i inside = _mm256_andnot_si256(_mm256_cmpgt_epi32(zero, offset), _mm256_cmpgt_epi32(len, offset));
      const __m256i index = _mm256_add_epi32(_mm256_mullo_epi32(row, steps), xs);
      const __m256i pixels = _mm256_mask_i32gather_epi32(zero, reinterpret_cast<const int*>(source), index, inside, 4);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out[y] + x0 + j), pixels);
      row = _mm256_add_epi32(row, _mm256_and_si256(q, inside));
      carry = _mm256_add_epi32(carry, _mm256_and_si256(r, inside));
      const __m256i over = _mm256_and_si256(_mm256_cmpgt_epi32(carry, last), inside);
      carry = _mm256_sub_epi32(carry, _mm256_and_si256(len, over));
      row = _mm256_sub_epi32(row, over);
    }
  }
  return j;
}

}  // namespace

void SqueezeColumns(uint32_t* const* out, const uint32_t* source, ptrdiff_t step, int32_t h, int32_t x0, int32_t n,
                    const int32_t* start, const int32_t* length) {
  int32_t j = 0;
  // The gathers index the source with 32-bit offsets.
  const int64_t reach = int64_t{h} * (step < 0 ? -step : step) + x0 + n;
  if (KernelLevel() == TKernelLevel::Avx2 && reach < (int64_t{1} << 31))
    j = SqueezeColumnsAvx2(out, source, int32_t(step), h, x0, n, start, length);
  for (; j < n; j += 16) SqueezeBand(out, source, step, h, x0 + j, std::min(16, n - j), start + j, length + j);
}

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
