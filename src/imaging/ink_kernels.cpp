#include "imaging/ink_kernels.h"

#include <immintrin.h>

#include <algorithm>
#include <bit>

#include "imaging/fast_kernels.h"

namespace kest::fast32 {

namespace {

#define KEST_BODY inline __attribute__((always_inline))

// Each kernel body is compiled twice, for the baseline and for AVX2; the
// level chosen at start-up (and stepped through by the tests) picks one.
#define KEST_TWO_LEVELS(name, params, args)                                   \
  void name##Base params { name##Body args; }                                 \
  __attribute__((target("avx2"))) void name##Avx2 params { name##Body args; } \
  void name##Run params {                                                     \
    if (KernelLevel() == TKernelLevel::Avx2)                                  \
      name##Avx2 args;                                                        \
    else                                                                      \
      name##Base args;                                                        \
  }

KEST_BODY uint32_t NibbleAt(const uint8_t* row, int64_t bit) {
  const int shift = int(bit & 7);
  const uint8_t* p = row + (bit >> 3);
  if (shift <= 4) return (p[0] >> (4 - shift)) & 0xF;
  return ((uint32_t(p[0]) << 8 | p[1]) >> (12 - shift)) & 0xF;
}

KEST_BODY void MonoInkRowBody(uint32_t* d, const uint32_t* ink, int n, uint32_t pixel, int alpha) {
  const uint32_t rb = pixel & 0xFF00FF, g = pixel & 0x00FF00;
  const uint32_t a = alpha <= 254 ? uint32_t(alpha) : 256;
  for (int i = 0; i < n; ++i) {
    // Red and blue share one word: each product stays below 4096.
    const uint32_t on = (a * ink[i]) >> 8, off = 16 - on, v = d[i];
    d[i] = (((rb * on + (v & 0xFF00FF) * off) >> 4) & 0xFF00FF) | (((g * on + (v & 0x00FF00) * off) >> 4) & 0x00FF00);
  }
}
KEST_TWO_LEVELS(MonoInkRow, (uint32_t * d, const uint32_t* ink, int n, uint32_t pixel, int alpha),
                (d, ink, n, pixel, alpha))

KEST_BODY uint32_t Channel(uint32_t v, int shift) { return (v >> shift) & 0xFF; }

KEST_BODY void Mono4RowBody(uint32_t* d, const uint32_t* c1, const uint32_t* c2, const uint32_t* c3, int n,
                            uint32_t samples, uint32_t col0, uint32_t col1, uint32_t col2, int alpha) {
  const uint32_t total = samples * 256;
  const int shift = std::countr_zero(total);
  const uint32_t weight = alpha == 255 ? 256 : uint32_t(alpha & 255);
  const bool additive = alpha > 255, opaque = alpha == 255;
  for (int i = 0; i < n; ++i) {
    const uint32_t w1 = c1[i] * weight, w2 = c2[i] * weight, w3 = c3[i] * weight;
    const uint32_t used = w1 + w2 + w3, rest = total - used, v = d[i];
    uint32_t r = 0;
    for (int ch = 0; ch < 24; ch += 8) {
      // Sums stay below 255 * 4096 * 256 for every allowed block size.
      const uint32_t ink = Channel(col0, ch) * w1 + Channel(col1, ch) * w2 + Channel(col2, ch) * w3;
      const uint32_t dc = Channel(v, ch);
      const uint32_t blended = ((ink + dc * rest) >> shift) & 0xFF;
      const uint32_t added = std::min(((ink >> shift) & 0xFF) + dc, 255u);
      r |= (additive ? added : blended) << ch;
    }
    const uint32_t background = samples - c1[i] - c2[i] - c3[i];
    r = opaque && c1[i] == samples ? col0 & 0xFFFFFF : r;
    r = opaque && c2[i] == samples ? col1 & 0xFFFFFF : r;
    d[i] = background == samples ? v : r;
  }
}
KEST_TWO_LEVELS(Mono4Row,
                (uint32_t * d, const uint32_t* c1, const uint32_t* c2, const uint32_t* c3, int n, uint32_t samples,
                 uint32_t col0, uint32_t col1, uint32_t col2, int alpha),
                (d, c1, c2, c3, n, samples, col0, col1, col2, alpha))

KEST_BODY uint32_t AddPixel(uint32_t v, uint32_t w, uint32_t a) {
  uint32_t r = 0;
  for (int ch = 0; ch < 24; ch += 8) r |= std::min(Channel(v, ch) + ((a * Channel(w, ch)) >> 8), 255u) << ch;
  return r;
}

KEST_BODY void AddTableRowBody(uint32_t* d, const uint32_t* w, const uint8_t* skip, int n, uint32_t a) {
  for (int i = 0; i < n; ++i) {
    const uint32_t v = d[i];
    d[i] = skip[i] ? v : AddPixel(v, w[i], a);
  }
}
KEST_TWO_LEVELS(AddTableRow, (uint32_t * d, const uint32_t* w, const uint8_t* skip, int n, uint32_t a),
                (d, w, skip, n, a))

KEST_BODY void IndexedRowBody(uint32_t* d, const uint32_t* w, const uint8_t* skip, int n, int alpha) {
  const uint32_t a = uint32_t(alpha), keep = 255 - a;
  for (int i = 0; i < n; ++i) {
    const uint32_t v = d[i], s = w[i];
    uint32_t r;
    bool same;
    if (a == 255) {
      r = s & 0xFFFFFF;
      same = false;
    } else if (a > 255) {
      r = AddPixel(v, s, a - 256);
      same = s == 0;
    } else {
      // Red and blue in one word: the weights add up to 255, so neither sum
      // leaves its 16 bits.
      r = (((keep * (v & 0xFF00FF) + a * (s & 0xFF00FF)) >> 8) & 0xFF00FF) |
          (((keep * (v & 0x00FF00) + a * (s & 0x00FF00)) >> 8) & 0x00FF00);
      same = s == v;
    }
    d[i] = skip[i] || same ? v : r;
  }
}
KEST_TWO_LEVELS(IndexedRow, (uint32_t * d, const uint32_t* w, const uint8_t* skip, int n, int alpha),
                (d, w, skip, n, alpha))

// Samples of levels 1, 2 and 3 of one 4-bit pixel, packed a byte each.
constexpr std::array<uint32_t, 16> kLevelOf = [] {
  std::array<uint32_t, 16> t{};
  for (uint32_t v = 0; v < 16; ++v) t[v] = (v & 3) == 0 ? 0 : 1u << (8 * ((v & 3) - 1));
  return t;
}();

// Eight pixels of ink counts (one per 32-bit lane) blended into d as
// MonoInkRowBody does: red and blue in the two 16-bit halves of a lane,
// green alone, every product within 16 bits.
__attribute__((target("avx2"))) inline void BlendInk8(uint32_t* d, __m256i ink, __m256i alpha, __m256i rb, __m256i g) {
  const __m256i on = _mm256_srli_epi32(_mm256_mullo_epi16(ink, alpha), 8);
  const __m256i off = _mm256_sub_epi32(_mm256_set1_epi32(16), on);
  const __m256i on2 = _mm256_or_si256(on, _mm256_slli_epi32(on, 16));
  const __m256i off2 = _mm256_or_si256(off, _mm256_slli_epi32(off, 16));
  const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d));
  const __m256i vrb = _mm256_and_si256(v, _mm256_set1_epi32(0x00FF00FF));
  const __m256i vg = _mm256_and_si256(_mm256_srli_epi32(v, 8), _mm256_set1_epi32(0xFF));
  const __m256i orb = _mm256_and_si256(
      _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(rb, on2), _mm256_mullo_epi16(vrb, off2)), 4),
      _mm256_set1_epi32(0x00FF00FF));
  const __m256i og = _mm256_slli_epi32(
      _mm256_and_si256(_mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(g, on2), _mm256_mullo_epi16(vg, off2)), 4),
                       _mm256_set1_epi32(0xFF)),
      8);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), _mm256_or_si256(orb, og));
}

__attribute__((target("avx2"))) int MonoInk4Avx2(uint32_t* d, const std::array<const uint8_t*, 4>& rows,
                                                 int64_t firstByte, int n, uint32_t pixel, int alpha) {
  // Ink is the 0 bits: the zero count of every nibble by table.
  const __m128i zeros = _mm_setr_epi8(4, 3, 3, 2, 3, 2, 2, 1, 3, 2, 2, 1, 2, 1, 1, 0);
  const __m128i nibble = _mm_set1_epi8(0x0F);
  const __m256i a = _mm256_set1_epi32(alpha <= 254 ? alpha : 256);
  const __m256i rb = _mm256_set1_epi32(int(pixel & 0xFF00FF));
  const __m256i g = _mm256_set1_epi32(int((pixel >> 8) & 0xFF));
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    __m128i high = _mm_setzero_si128(), low = _mm_setzero_si128();
    for (const uint8_t* row : rows) {
      const __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + firstByte + i / 2));
      high = _mm_add_epi8(high, _mm_shuffle_epi8(zeros, _mm_and_si128(_mm_srli_epi16(v, 4), nibble)));
      low = _mm_add_epi8(low, _mm_shuffle_epi8(zeros, _mm_and_si128(v, nibble)));
    }
    // The high nibble is the left pixel of its byte.
    const __m128i counts = _mm_unpacklo_epi8(high, low);
    BlendInk8(d + i, _mm256_cvtepu8_epi32(counts), a, rb, g);
    BlendInk8(d + i + 8, _mm256_cvtepu8_epi32(_mm_srli_si128(counts, 8)), a, rb, g);
  }
  return i;
}

}  // namespace

int MonoInk4Row(uint32_t* d, const std::array<const uint8_t*, 4>& rows, int64_t firstBit, int stepBits, int n,
                uint32_t pixel, int alpha) {
  if (stepBits != 4 || (firstBit & 7) != 0 || KernelLevel() != TKernelLevel::Avx2) return 0;
  return MonoInk4Avx2(d, rows, firstBit >> 3, n, pixel, alpha);
}

void CountMonoInk4(const std::array<const uint8_t*, 4>& rows, int64_t firstBit, int stepBits, int n, uint32_t* ink) {
  // Ink is the 0 bits; tables, since the baseline processor has no popcount.
  static constexpr uint8_t kZeros[16] = {4, 3, 3, 2, 3, 2, 2, 1, 3, 2, 2, 1, 2, 1, 1, 0};
  static constexpr std::array<uint16_t, 256> kPairZeros = [] {
    std::array<uint16_t, 256> t{};
    for (int v = 0; v < 256; ++v) t[size_t(v)] = uint16_t(kZeros[v >> 4] | kZeros[v & 0xF] << 8);
    return t;
  }();
  int i = 0;
  if (stepBits == 4 && (firstBit & 7) == 0) {
    // Two blocks a byte, the common case of glyphs drawn unmirrored from the
    // left edge of a byte; the four rows' counts add up within their bytes.
    const int64_t b0 = firstBit >> 3;
    for (; i + 2 <= n; i += 2) {
      const int64_t b = b0 + i / 2;
      const uint32_t v =
          kPairZeros[rows[0][b]] + kPairZeros[rows[1][b]] + kPairZeros[rows[2][b]] + kPairZeros[rows[3][b]];
      ink[i] = v & 0xFF;
      ink[i + 1] = v >> 8;
    }
  }
  for (; i < n; ++i) {
    const int64_t bit = firstBit + int64_t(i) * stepBits;
    ink[i] = uint32_t(kZeros[NibbleAt(rows[0], bit)] + kZeros[NibbleAt(rows[1], bit)] + kZeros[NibbleAt(rows[2], bit)] +
                      kZeros[NibbleAt(rows[3], bit)]);
  }
}

void MonoInkRow(uint32_t* d, const uint32_t* ink, int n, uint32_t pixel, int alpha) {
  MonoInkRowRun(d, ink, n, pixel, alpha);
}

void CountLevels(const uint8_t* row, int64_t firstX, int stepX, int scale, int n, const TLevelCounts& counts) {
  for (int i = 0; i < n; ++i) {
    const int64_t x0 = firstX + int64_t(i) * stepX * scale;
    // At most 64 samples a row: each packed count keeps within its byte.
    uint32_t packed = 0;
    for (int64_t x = x0; x < x0 + scale; ++x) packed += kLevelOf[(x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4];
    counts.Level1[i] += packed & 0xFF;
    counts.Level2[i] += (packed >> 8) & 0xFF;
    counts.Level3[i] += packed >> 16;
  }
}

void Mono4Row(uint32_t* d, const TLevelCounts& counts, int n, uint32_t samples, const std::array<uint32_t, 3>& colours,
              int alpha) {
  Mono4RowRun(d, counts.Level1, counts.Level2, counts.Level3, n, samples, colours[0], colours[1], colours[2], alpha);
}

void AddTableRow(uint32_t* d, const uint32_t* w, const uint8_t* skip, int n, uint32_t a) {
  AddTableRowRun(d, w, skip, n, a);
}

void IndexedRow(uint32_t* d, const uint32_t* w, const uint8_t* skip, int n, int alpha) {
  IndexedRowRun(d, w, skip, n, alpha);
}

}  // namespace kest::fast32
