#include "common/jstring.h"

#include <algorithm>

#include "common/errors.h"

namespace kest {
namespace {

constexpr uint8_t kSpace = 0x20;
constexpr uint8_t kWideSpaceLead = 0x81;
constexpr uint8_t kWideSpaceTrail = 0x40;

uint8_t At(std::string_view text, size_t i) { return static_cast<uint8_t>(text[i]); }

size_t Step(std::string_view text, size_t i) { return IsLeadByte(At(text, i)) ? 2 : 1; }

int32_t Length(std::string_view text) { return static_cast<int32_t>(text.size()); }

}  // namespace

int32_t CharToByteIndex(std::string_view text, int32_t n) {
  size_t pos = 0;
  while (n > 1 && pos < text.size()) {
    pos += Step(text, pos);
    --n;
  }
  return static_cast<int32_t>(pos + 1);
}

bool IsTrailByte(std::string_view text, int32_t i) {
  if (i < 1 || i > Length(text)) throw EKestError("Illegal Index");
  int32_t leads = 0;
  for (int32_t j = i - 1; j >= 1 && IsLeadByte(At(text, static_cast<size_t>(j - 1))); --j) ++leads;
  return leads % 2 == 1;
}

int32_t JLength(std::string_view text) {
  int32_t count = 0;
  for (size_t pos = 0; pos < text.size(); pos += Step(text, pos)) ++count;
  return count;
}

std::string JCopy(std::string_view text, int32_t start, int32_t count) {
  if (count <= 0) return {};
  const int64_t end = int64_t{start} + count;
  int64_t position = 1;
  size_t pos = 0;
  while (pos < text.size() && position < start) {
    pos += Step(text, pos);
    ++position;
  }
  const size_t begin = pos;
  while (pos < text.size() && position < end) {
    pos += Step(text, pos);
    ++position;
  }
  if (begin >= text.size()) return {};
  return std::string(text.substr(begin, std::min(pos, text.size()) - begin));
}

void JDelete(std::string& text, int32_t start, int32_t count) {
  const size_t begin = static_cast<size_t>(CharToByteIndex(text, std::max(start, 1)) - 1);
  if (begin >= text.size()) return;
  size_t pos = begin;
  for (int32_t k = count; k > 0 && pos < text.size(); --k) pos += Step(text, pos);
  if (pos >= text.size()) {
    text.resize(begin);
  } else {
    text.erase(begin, pos - begin);
  }
}

void JInsert(std::string_view piece, std::string& text, int32_t position) {
  const size_t at = static_cast<size_t>(CharToByteIndex(text, std::max(position, 1)) - 1);
  if (at >= text.size()) {
    text.append(piece);
  } else {
    text.insert(at, piece);
  }
}

int32_t JPos(std::string_view piece, std::string_view text) {
  if (piece.empty()) return 0;
  int32_t position = 1;
  for (size_t pos = 0; pos + piece.size() <= text.size(); pos += Step(text, pos), ++position) {
    if (text[pos] == piece[0] && text.compare(pos, piece.size(), piece) == 0) return position;
  }
  return 0;
}

int32_t JCharAt(std::string_view text, int32_t n) {
  const size_t pos = static_cast<size_t>(CharToByteIndex(text, n) - 1);
  if (pos >= text.size()) return 0;
  return (*TJCharIterator(text.substr(pos))).Code;
}

void JTrimLeft(std::string& text) {
  size_t pos = 0;
  while (pos < text.size()) {
    if (At(text, pos) == kSpace) {
      ++pos;
    } else if (At(text, pos) == kWideSpaceLead && pos + 1 < text.size() && At(text, pos + 1) == kWideSpaceTrail) {
      pos += 2;
    } else {
      break;
    }
  }
  text.erase(0, pos);
}

void JTrimRight(std::string& text) {
  while (!text.empty()) {
    const int32_t last = Length(text);
    const uint8_t b = At(text, text.size() - 1);
    if (b == kSpace && !IsTrailByte(text, last)) {
      text.pop_back();
    } else if (b == kWideSpaceTrail && last >= 2 && At(text, text.size() - 2) == kWideSpaceLead &&
               IsTrailByte(text, last)) {
      text.resize(text.size() - 2);
    } else {
      break;
    }
  }
}

std::string JTrim(std::string_view text) {
  std::string result(text);
  JTrimLeft(result);
  JTrimRight(result);
  return result;
}

void SplitAtFirstOf(std::string& text, std::string_view separators, std::string& head) {
  if (separators.empty()) {
    head = std::move(text);
    text.clear();
    return;
  }
  for (size_t pos = 0; pos < text.size(); pos += Step(text, pos)) {
    if (separators.find(text[pos]) != std::string_view::npos) {
      head = text.substr(0, pos);
      text.erase(0, pos + 1);
      return;
    }
  }
  head = std::move(text);
  text.clear();
}

}  // namespace kest
