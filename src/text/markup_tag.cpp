#include "text/markup_tag.h"

#include <array>
#include <charconv>

#include "common/sjis.h"

namespace kest {

namespace {

constexpr std::array<std::string_view, 6> kAlignNames = {"", "LEFT", "RIGHT", "CENTER", "TOP", "BOTTOM"};

bool IsSpace(char c) { return uint8_t(c) <= ' '; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

// The end of a run that stops at any of the stop bytes, stepping over
// double-byte characters whole.
size_t RunEnd(std::string_view s, size_t at, std::string_view stops) {
  while (at < s.size() && stops.find(s[at]) == std::string_view::npos)
    at += IsLeadByte(uint8_t(s[at])) && at + 1 < s.size() ? 2 : 1;
  return at;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool IsTagToken(std::string_view token) {
  if (token.size() < 2 || token.front() != '<' || token.back() != '>') return false;
  for (std::string_view block : {"<!--", "<SCRIPT", "<STYLE"})
    if (token.size() >= block.size() && SameName(token.substr(0, block.size()), block)) return false;
  return true;
}

TTag ParseTag(std::string_view token) {
  TTag tag;
  const std::string_view inner = Trim(token.substr(1, token.size() - 2));
  size_t at = RunEnd(inner, 0, " =");
  tag.Name = std::string(inner.substr(0, at));
  while (true) {
    while (at < inner.size() && inner[at] == ' ') ++at;
    if (at >= inner.size()) break;
    const size_t end = RunEnd(inner, at, " =");
    TTagAttribute attribute{std::string(inner.substr(at, end - at)), std::nullopt};
    at = end;
    if (at < inner.size() && inner[at] == '=') {
      ++at;
      if (at < inner.size() && (inner[at] == '"' || inner[at] == '\'')) {
        const char quote = inner[at++];
        const size_t close = RunEnd(inner, at, std::string_view(&quote, 1));
        attribute.Value = std::string(inner.substr(at, close - at));
        at = close < inner.size() ? close + 1 : close;
      } else {
        const size_t close = RunEnd(inner, at, " ");
        attribute.Value = std::string(inner.substr(at, close - at));
        at = close;
      }
    }
    tag.Attributes.push_back(std::move(attribute));
  }
  return tag;
}

bool TTag::Is(std::string_view name) const { return SameName(Name, name); }

const TTagAttribute* TTag::Find(std::string_view name) const {
  for (const TTagAttribute& a : Attributes)
    if (SameName(a.Name, name)) return &a;
  return nullptr;
}

std::string TTag::Str(std::string_view name, std::string_view fallback) const {
  const TTagAttribute* a = Find(name);
  return a && a->Value ? *a->Value : std::string(fallback);
}

int32_t TTag::Int(std::string_view name, int32_t fallback) const {
  const TTagAttribute* a = Find(name);
  if (!a || !a->Value) return fallback;
  return ParseDecimal(*a->Value).value_or(fallback);
}

int32_t TTag::Colour(std::string_view name, int32_t fallback) const {
  const TTagAttribute* a = Find(name);
  if (!a || !a->Value || a->Value->size() < 7 || (*a->Value)[0] != '#') return fallback;
  int32_t rgb = 0;
  for (size_t k = 1; k < 7; ++k) {
    const int d = HexDigit((*a->Value)[k]);
    if (d < 0) return fallback;
    rgb = rgb << 4 | d;
  }
  return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
}

uint8_t TTag::Align(std::string_view name, std::initializer_list<uint8_t> allowed, uint8_t fallback) const {
  const TTagAttribute* a = Find(name);
  if (!a || !a->Value) return fallback;
  for (uint8_t index : allowed)
    if (SameName(*a->Value, kAlignNames[index])) return index;
  return fallback;
}

std::string ResolveEscapes(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    if (IsLeadByte(uint8_t(value[i])) && i + 1 < value.size()) {
      out.append(value.substr(i++, 2));
      continue;
    }
    if (value[i] == '\\' && i + 1 < value.size()) {
      const char next = value[i + 1];
      if (next == '"' || next == '\\' || next == 'n') {
        out += next == 'n' ? "\r\n" : std::string(1, next);
        ++i;
        continue;
      }
    }
    out += value[i];
  }
  return out;
}

std::optional<int32_t> ParseDecimal(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace kest
