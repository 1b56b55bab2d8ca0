#include "platform/fonts/face_names.h"

#include <cstdint>
#include <utility>

namespace kest {
namespace {

// Full-width ASCII U+FF01-FF3F is EF BC 81-BF and U+FF40-FF5E is EF BD
// 80-9E; U+3000 is E3 80 80. UTF-8 continuation bytes never look like ASCII,
// so the name can be rewritten byte by byte.
std::optional<char> FullWidthAscii(std::string_view s, size_t i) {
  if (s.size() - i < 3) return std::nullopt;
  const auto b0 = static_cast<uint8_t>(s[i]), b1 = static_cast<uint8_t>(s[i + 1]), b2 = static_cast<uint8_t>(s[i + 2]);
  if (b0 == 0xE3 && b1 == 0x80 && b2 == 0x80) return ' ';
  if (b0 != 0xEF) return std::nullopt;
  if (b1 == 0xBC && b2 >= 0x81 && b2 <= 0xBF) return static_cast<char>(b2 - 0x60);
  if (b1 == 0xBD && b2 >= 0x80 && b2 <= 0x9E) return static_cast<char>(b2 - 0x20);
  return std::nullopt;
}

void AppendFolded(std::string& out, char c) {
  if (c == ' ') return;
  if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  out += c;
}

// The faces Japanese games name, with the IPA family of the same design:
// fixed-pitch gothic, proportional gothic, and the two kinds of mincho.
constexpr std::pair<std::string_view, std::string_view> kAliases[] = {
    {"ＭＳ ゴシック", "IPAGothic"},    {"MS Gothic", "IPAGothic"},   {"Osaka－等幅", "IPAGothic"},
    {"ＭＳ Ｐゴシック", "IPAPGothic"}, {"MS PGothic", "IPAPGothic"}, {"MS UI Gothic", "IPAPGothic"},
    {"メイリオ", "IPAPGothic"},        {"Meiryo", "IPAPGothic"},     {"游ゴシック", "IPAPGothic"},
    {"Yu Gothic", "IPAPGothic"},       {"ＭＳ 明朝", "IPAMincho"},   {"MS Mincho", "IPAMincho"},
    {"ＭＳ Ｐ明朝", "IPAPMincho"},     {"MS PMincho", "IPAPMincho"}, {"游明朝", "IPAPMincho"},
};

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

std::string NormaliseFaceName(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    if (std::optional<char> ascii = FullWidthAscii(utf8, i)) {
      AppendFolded(out, *ascii);
      i += 3;
    } else {
      AppendFolded(out, utf8[i]);
      ++i;
    }
  }
  return out;
}

std::optional<std::string_view> FaceAlias(std::string_view normalised) {
  static const std::unordered_map<std::string, std::string_view> table = [] {
    std::unordered_map<std::string, std::string_view> t;
    for (const auto& [name, family] : kAliases) t.emplace(NormaliseFaceName(name), family);
    return t;
  }();
  auto it = table.find(std::string(normalised));
  if (it == table.end()) return std::nullopt;
  return it->second;
}

std::unordered_map<std::string, std::string> ParseFontMap(std::string_view text) {
  std::unordered_map<std::string, std::string> out;
  while (!text.empty()) {
    size_t end = text.find(';');
    std::string_view entry = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    size_t eq = entry.find('=');
    if (eq == std::string_view::npos) continue;
    std::string name = NormaliseFaceName(entry.substr(0, eq));
    std::string_view path = Trimmed(entry.substr(eq + 1));
    if (!name.empty() && !path.empty()) out[name] = std::string(path);
  }
  return out;
}

}  // namespace kest
