// The checked-in CP932 tables against the C library's own codec on the build
// machine, code by code in both directions.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <optional>
#include <string>

#include "common/sjis.h"

namespace kest {
namespace {

class TIconv {
 public:
  TIconv(const char* to, const char* from) : FHandle(iconv_open(to, from)) {}
  ~TIconv() {
    if (Ok()) iconv_close(FHandle);
  }
  bool Ok() const { return FHandle != reinterpret_cast<iconv_t>(-1); }

  std::optional<std::string> Convert(const std::string& in) {
    iconv(FHandle, nullptr, nullptr, nullptr, nullptr);
    char buffer[32];
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    if (iconv(FHandle, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) return std::nullopt;
    if (iconv(FHandle, nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1)) return std::nullopt;
    return std::string(buffer, dst);
  }

  // A byte the codec takes for the start of a character it has not finished.
  bool Incomplete(uint8_t b) {
    iconv(FHandle, nullptr, nullptr, nullptr, nullptr);
    char in = static_cast<char>(b);
    char buffer[8];
    char* src = &in;
    size_t srcLeft = 1;
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    return iconv(FHandle, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) && errno == EINVAL;
  }

 private:
  iconv_t FHandle;
};

char32_t OneCodePoint(const std::optional<std::string>& utf32) {
  if (!utf32 || utf32->size() != 4) return 0xFFFD;
  char32_t u = 0;
  for (int i = 3; i >= 0; --i) u = (u << 8) | static_cast<uint8_t>((*utf32)[i]);
  return u;
}

std::string Utf32(char32_t u) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((u >> (8 * i)) & 0xFF);
  return s;
}

std::string Utf8(char32_t u) {
  std::string s;
  if (u < 0x80) {
    s += static_cast<char>(u);
  } else if (u < 0x800) {
    s += static_cast<char>(0xC0 | (u >> 6));
    s += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    s += static_cast<char>(0xE0 | (u >> 12));
    s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (u >> 18));
    s += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (u & 0x3F));
  }
  return s;
}

TEST(Cp932TableTest, EveryCodeDecodesAsIconvDecodesIt) {
  TIconv decode("UTF-32LE", "CP932");
  ASSERT_TRUE(decode.Ok()) << "no CP932 codec in the C library";
  int mismatches = 0;
  for (uint32_t b = 0; b < 0x100; ++b) {
    const char32_t expected = OneCodePoint(decode.Convert(std::string(1, static_cast<char>(b))));
    if (Cp932CodeToUnicode(static_cast<uint16_t>(b)) != expected && ++mismatches < 10) {
      ADD_FAILURE() << "single byte " << std::hex << b;
    }
  }
  // A code of 0x100 and above is a byte pair; one whose first byte is no lead
  // byte is two characters, so it has no character of its own.
  for (uint32_t code = 0x100; code < 0x10000; ++code) {
    const std::string pair{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    const char32_t expected =
        decode.Incomplete(static_cast<uint8_t>(code >> 8)) ? OneCodePoint(decode.Convert(pair)) : U'\uFFFD';
    if (Cp932CodeToUnicode(static_cast<uint16_t>(code)) != expected && ++mismatches < 10) {
      ADD_FAILURE() << "code " << std::hex << code;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(Cp932TableTest, LeadBytesAreTheBytesIconvCannotDecodeAlone) {
  TIconv decode("UTF-32LE", "CP932");
  ASSERT_TRUE(decode.Ok());
  for (uint32_t b = 0; b < 0x100; ++b)
    EXPECT_EQ(IsLeadByte(static_cast<uint8_t>(b)), decode.Incomplete(static_cast<uint8_t>(b))) << std::hex << b;
}

TEST(Cp932TableTest, EveryCodePointEncodesAsIconvEncodesIt) {
  TIconv encode("CP932", "UTF-32LE");
  ASSERT_TRUE(encode.Ok());
  int mismatches = 0;
  int mapped = 0;
  for (char32_t u = 0; u < 0x110000; ++u) {
    if (u >= 0xD800 && u <= 0xDFFF) continue;
    const std::optional<std::string> expected = encode.Convert(Utf32(u));
    const std::optional<std::string> actual = Utf8ToCp932Strict(Utf8(u));
    mapped += actual.has_value();
    if (actual != expected && ++mismatches < 10) ADD_FAILURE() << "U+" << std::hex << static_cast<uint32_t>(u);
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(mapped, 7000);
}

}  // namespace
}  // namespace kest
