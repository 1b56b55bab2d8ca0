#include "common/width_conversion.h"

#include <array>
#include <cstdint>

#include "common/sjis.h"

namespace kest {
namespace {

constexpr uint8_t kVoicedMark = 0xDE;
constexpr uint8_t kSemiVoicedMark = 0xDF;

// Full-width codes of 0x20..0x7E.
constexpr std::array<uint16_t, 0x5F> MakeAsciiTable() {
  std::array<uint16_t, 0x5F> t{};
  constexpr uint16_t kSigns[] = {
      0x8140, 0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166,  // space ! " # $ % & '
      0x8169, 0x816A, 0x8196, 0x817B, 0x8143, 0x817C, 0x8144, 0x815E,  // ( ) * + , - . /
  };
  for (int i = 0; i < 16; ++i) t[i] = kSigns[i];
  for (int i = 0; i < 10; ++i) t[0x30 - 0x20 + i] = static_cast<uint16_t>(0x824F + i);
  constexpr uint16_t kMiddle[] = {0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148, 0x8197};  // : ; < = > ? @
  for (int i = 0; i < 7; ++i) t[0x3A - 0x20 + i] = kMiddle[i];
  for (int i = 0; i < 26; ++i) t[0x41 - 0x20 + i] = static_cast<uint16_t>(0x8260 + i);
  constexpr uint16_t kBrackets[] = {0x816D, 0x818F, 0x816E, 0x814F, 0x8151, 0x8165};  // [ \ ] ^ _ `
  for (int i = 0; i < 6; ++i) t[0x5B - 0x20 + i] = kBrackets[i];
  for (int i = 0; i < 26; ++i) t[0x61 - 0x20 + i] = static_cast<uint16_t>(0x8281 + i);
  constexpr uint16_t kBraces[] = {0x816F, 0x8162, 0x8170, 0x8160};  // { | } ~
  for (int i = 0; i < 4; ++i) t[0x7B - 0x20 + i] = kBraces[i];
  return t;
}

// Full-width codes of 0xA1..0xDF: runs of letters whose codes step by a fixed amount.
constexpr std::array<uint16_t, 0x3F> MakeKanaTable() {
  std::array<uint16_t, 0x3F> t{};
  struct TRun {
    uint8_t First, Last;
    uint16_t Code, Step;
  };
  constexpr TRun kRuns[] = {
      {0xA1, 0xA1, 0x8142, 0}, {0xA2, 0xA2, 0x8175, 0}, {0xA3, 0xA3, 0x8176, 0}, {0xA4, 0xA4, 0x8141, 0},
      {0xA5, 0xA5, 0x8145, 0}, {0xA6, 0xA6, 0x8392, 0}, {0xA7, 0xAB, 0x8340, 2}, {0xAC, 0xAE, 0x8383, 2},
      {0xAF, 0xAF, 0x8362, 0}, {0xB0, 0xB0, 0x815B, 0}, {0xB1, 0xB5, 0x8341, 2}, {0xB6, 0xC1, 0x834A, 2},
      {0xC2, 0xC4, 0x8363, 2}, {0xC5, 0xC9, 0x8369, 1}, {0xCA, 0xCE, 0x836E, 3}, {0xCF, 0xD0, 0x837D, 1},
      {0xD1, 0xD3, 0x8380, 1}, {0xD4, 0xD6, 0x8384, 2}, {0xD7, 0xDB, 0x8389, 1}, {0xDC, 0xDC, 0x838F, 0},
      {0xDD, 0xDD, 0x8393, 0}, {0xDE, 0xDE, 0x814A, 0}, {0xDF, 0xDF, 0x814B, 0},
  };
  for (const TRun& r : kRuns) {
    for (int b = r.First; b <= r.Last; ++b) t[b - 0xA1] = static_cast<uint16_t>(r.Code + (b - r.First) * r.Step);
  }
  return t;
}

constexpr auto kAscii = MakeAsciiTable();
constexpr auto kKana = MakeKanaTable();

constexpr bool TakesVoicedMark(uint8_t b) { return (b >= 0xB6 && b <= 0xC4) || (b >= 0xCA && b <= 0xCE); }
constexpr bool TakesSemiVoicedMark(uint8_t b) { return b >= 0xCA && b <= 0xCE; }

// Half-width form of the full-width codes 0x8140..0x83FF: the byte, and the
// sound mark that follows it (0 for none).
struct THalf {
  uint8_t Byte = 0;
  uint8_t Mark = 0;
};
constexpr uint16_t kReverseFirst = 0x8140;
constexpr size_t kReverseSize = 0x8400 - kReverseFirst;

constexpr std::array<THalf, kReverseSize> MakeReverseTable() {
  std::array<THalf, kReverseSize> t{};
  for (int b = 0x20; b <= 0x7E; ++b) t[kAscii[b - 0x20] - kReverseFirst] = {static_cast<uint8_t>(b), 0};
  t[0x8167 - kReverseFirst] = {0x22, 0};
  for (int b = 0xA1; b <= 0xDF; ++b) {
    const size_t code = kKana[b - 0xA1] - kReverseFirst;
    const auto half = static_cast<uint8_t>(b);
    t[code] = {half, 0};
    if (TakesVoicedMark(half)) t[code + 1] = {half, kVoicedMark};
    if (TakesSemiVoicedMark(half)) t[code + 2] = {half, kSemiVoicedMark};
  }
  return t;
}

constexpr auto kReverse = MakeReverseTable();

void AppendCode(std::string& out, uint16_t code) {
  out += static_cast<char>(code >> 8);
  out += static_cast<char>(code & 0xFF);
}

}  // namespace

std::string HanToZen(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    const uint8_t b = static_cast<uint8_t>(text[i]);
    if (IsLeadByte(b)) {
      if (i + 1 < n) out.append(text.substr(i, 2));
      ++i;
    } else if (b >= 0x20 && b <= 0x7E) {
      AppendCode(out, kAscii[b - 0x20]);
    } else if (b >= 0xA1 && b <= 0xDF) {
      const uint8_t next = i + 1 < n ? static_cast<uint8_t>(text[i + 1]) : 0;
      uint16_t code = kKana[b - 0xA1];
      if (next == kVoicedMark && TakesVoicedMark(b)) {
        code += 1, ++i;
      } else if (next == kSemiVoicedMark && TakesSemiVoicedMark(b)) {
        code += 2, ++i;
      }
      AppendCode(out, code);
    }
  }
  return out;
}

std::string ZenToHan(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    const uint8_t b = static_cast<uint8_t>(text[i]);
    if (!IsLeadByte(b)) {
      out += static_cast<char>(b);
      continue;
    }
    if (i + 1 >= n) break;
    const uint16_t code = static_cast<uint16_t>(b << 8 | static_cast<uint8_t>(text[++i]));
    if (code < kReverseFirst || code >= kReverseFirst + kReverseSize) continue;
    const THalf half = kReverse[code - kReverseFirst];
    if (half.Byte == 0) continue;
    out += static_cast<char>(half.Byte);
    if (half.Mark) out += static_cast<char>(half.Mark);
  }
  return out;
}

}  // namespace kest
