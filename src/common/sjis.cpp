#include "common/sjis.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace kest {
namespace {

#include "common/cp932_table.inc"

constexpr uint16_t kUnmapped = 0xFFFF;
constexpr char32_t kReplacement = 0xFFFD;

const uint8_t* Bytes(std::string_view s) { return reinterpret_cast<const uint8_t*>(s.data()); }

int LeadRow(uint8_t lead) { return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31; }

uint16_t Lookup(uint16_t code) {
  if (code < 0x100) return kCp932Single[code];
  const uint8_t lead = static_cast<uint8_t>(code >> 8);
  if (!IsLeadByte(lead)) return kUnmapped;
  return kCp932Double[LeadRow(lead)][code & 0xFF];
}

std::string MapCase(std::string_view name, const std::array<uint8_t, 256>& table) {
  std::string out(name);
  const size_t n = out.size();
  for (size_t i = 0; i < n; ++i) {
    const uint8_t b = static_cast<uint8_t>(out[i]);
    if (IsLeadByte(b)) {
      ++i;
    } else {
      out[i] = static_cast<char>(table[b]);
    }
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// One UTF-8 character at p[0..left): its length, or 0 when the bytes there are
// not a well-formed character (overlong forms and surrogates included).
size_t DecodeUtf8(const uint8_t* p, size_t left, char32_t& c) {
  const uint8_t b = p[0];
  size_t len;
  char32_t min;
  if (b < 0x80) {
    c = b;
    return 1;
  } else if (b >= 0xC2 && b <= 0xDF) {
    len = 2, min = 0x80, c = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    len = 3, min = 0x800, c = b & 0x0F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    len = 4, min = 0x10000, c = b & 0x07;
  } else {
    return 0;
  }
  if (left < len) return 0;
  for (size_t i = 1; i < len; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    c = (c << 6) | (p[i] & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return len;
}

// The lenient form skips only the lead byte when the byte after it cannot be a
// second byte, so a stray lead byte does not swallow a line break or a digit.
bool DecodeCp932(std::string_view text, bool strict, std::string& out) {
  const uint8_t* p = Bytes(text);
  const size_t n = text.size();
  out.reserve(n + n / 2);
  size_t i = 0;
  while (i < n) {
    const uint8_t b = p[i];
    if (IsLeadByte(b) && i + 1 < n) {
      const uint16_t u = kCp932Double[LeadRow(b)][p[i + 1]];
      if (u != kUnmapped) {
        AppendUtf8(out, u);
        i += 2;
        continue;
      }
      if (strict) return false;
      AppendUtf8(out, kReplacement);
      i += p[i + 1] < 0x40 ? 1 : 2;
      continue;
    }
    const uint16_t u = IsLeadByte(b) ? kUnmapped : kCp932Single[b];
    if (u == kUnmapped) {
      if (strict) return false;
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, u);
    }
    ++i;
  }
  return true;
}

// Language tags carry no text; the C library's CP932 drops them, and so do we.
bool IsTagCharacter(char32_t c) { return c >= 0xE0000 && c <= 0xE007F; }

bool EncodeCp932(std::string_view text, bool strict, std::string& out) {
  const uint8_t* p = Bytes(text);
  const size_t n = text.size();
  out.reserve(n);
  size_t i = 0;
  while (i < n) {
    char32_t c;
    const size_t len = DecodeUtf8(p + i, n - i, c);
    if (len && IsTagCharacter(c)) {
      i += len;
      continue;
    }
    const std::optional<uint16_t> code = len ? UnicodeToCp932Code(c) : std::nullopt;
    if (!code) {
      if (strict) return false;
      out += '?';
      i += len ? len : 1;
      continue;
    }
    if (*code >= 0x100) out += static_cast<char>(*code >> 8);
    out += static_cast<char>(*code & 0xFF);
    i += len;
  }
  return true;
}

constexpr uint64_t kHighBits = 0x8080808080808080ull;
constexpr uint64_t kEachByte = 0x0101010101010101ull;

// Lower-cases the ASCII capitals of eight bytes below 0x80: a byte gains its
// high bit from + (0x80 - 'A') exactly when it is 'A' or above, and from
// + (0x80 - 'Z' - 1) when it is above 'Z'; no sum carries into the next byte.
uint64_t AsciiLower(uint64_t w) {
  const uint64_t fromA = w + kEachByte * (0x80 - 'A');
  const uint64_t pastZ = w + kEachByte * (0x80 - 'Z' - 1);
  const uint64_t capitals = fromA & ~pastZ & kHighBits;
  return w | (capitals >> 2);
}

uint64_t FoldChunk(const uint8_t* p, size_t count, bool& trail) {
  uint8_t folded[8] = {};
  for (size_t j = 0; j < count; ++j) {
    const uint8_t b = p[j];
    if (trail) {
      folded[j] = b;
      trail = false;
    } else {
      trail = IsLeadByte(b);
      folded[j] = FoldByte(b);
    }
  }
  uint64_t w;
  std::memcpy(&w, folded, 8);
  return w;
}

uint64_t Mix(uint64_t h, uint64_t w) {
  h ^= w;
  h *= 0xBF58476D1CE4E5B9ull;
  return h ^ (h >> 31);
}

}  // namespace

std::string FoldName(std::string_view name) { return MapCase(name, sjis_detail::kLower); }

std::string UpperName(std::string_view name) { return MapCase(name, sjis_detail::kUpper); }

bool SameName(std::string_view a, std::string_view b) {
  const size_t n = a.size();
  if (n != b.size()) return false;
  const uint8_t* p = Bytes(a);
  const uint8_t* q = Bytes(b);
  // Folding keeps every lead byte as it is, so while the two names agree their
  // character boundaries stay in step and one walk serves both.
  for (size_t i = 0; i < n; ++i) {
    const uint8_t x = p[i];
    const uint8_t y = q[i];
    if (IsLeadByte(x)) {
      if (x != y) return false;
      if (++i < n && p[i] != q[i]) return false;
    } else if (x != y && FoldByte(x) != FoldByte(y)) {
      return false;
    }
  }
  return true;
}

// Hashes eight folded bytes at a time. A chunk of plain ASCII folds with a few
// word operations; any other chunk folds byte by byte, carrying into the next
// chunk whether its first byte is the second byte of a character. Names that
// are the SameName have the same high bits and lead bytes in the same places,
// so they take the same paths and give the same words.
uint32_t NameHash(std::string_view name) {
  const uint8_t* p = Bytes(name);
  const size_t n = name.size();
  uint64_t h = 0x9E3779B97F4A7C15ull ^ n;
  bool trail = false;
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t w;
    std::memcpy(&w, p + i, 8);
    w = !trail && (w & kHighBits) == 0 ? AsciiLower(w) : FoldChunk(p + i, 8, trail);
    h = Mix(h, w);
  }
  if (i < n) {
    uint64_t w = 0;
    if constexpr (std::endian::native == std::endian::little) {
      if (n >= 8 && !trail) {
        std::memcpy(&w, p + n - 8, 8);
        w >>= 8 * (8 - (n - i));
      }
    }
    h = Mix(h, w && (w & kHighBits) == 0 ? AsciiLower(w) : FoldChunk(p + i, n - i, trail));
  }
  h ^= h >> 29;
  h *= 0x94D049BB133111EBull;
  h ^= h >> 32;
  return static_cast<uint32_t>(h);
}

std::string Cp932ToUtf8(std::string_view cp932) {
  std::string out;
  DecodeCp932(cp932, false, out);
  return out;
}

std::optional<std::string> Cp932ToUtf8Strict(std::string_view cp932) {
  std::string out;
  if (!DecodeCp932(cp932, true, out)) return std::nullopt;
  return out;
}

std::string Utf8ToCp932(std::string_view utf8) {
  std::string out;
  EncodeCp932(utf8, false, out);
  return out;
}

std::optional<std::string> Utf8ToCp932Strict(std::string_view utf8) {
  std::string out;
  if (!EncodeCp932(utf8, true, out)) return std::nullopt;
  return out;
}

char32_t Cp932CodeToUnicode(uint16_t code) {
  const uint16_t u = Lookup(code);
  return u == kUnmapped ? kReplacement : u;
}

std::optional<uint16_t> UnicodeToCp932Code(char32_t c) {
  if (c >= 0xFFFF) return std::nullopt;
  const auto* end = kCp932Reverse + std::size(kCp932Reverse);
  const auto* it =
      std::lower_bound(kCp932Reverse, end, c, [](const uint16_t(&entry)[2], char32_t key) { return entry[0] < key; });
  if (it == end || (*it)[0] != c) return std::nullopt;
  return (*it)[1];
}

}  // namespace kest
