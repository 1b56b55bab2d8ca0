#include "scene/object_names.h"

#include <cstdint>
#include <limits>
#include <vector>

#include "common/errors.h"
#include "common/sjis.h"

namespace kest {

namespace {

// The decimal value of text made of digits only, or -1 (also when it does not
// fit an int32 or is empty).
int64_t DecimalValue(std::string_view text) {
  if (text.empty() || text.size() > 10) return -1;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value <= std::numeric_limits<int32_t>::max() ? value : -1;
}

// The byte offsets at which characters begin.
std::vector<size_t> CharacterStarts(std::string_view text) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < text.size(); i += IsLeadByte(static_cast<uint8_t>(text[i])) && i + 1 < text.size() ? 2 : 1)
    starts.push_back(i);
  return starts;
}

std::string FirstFree(std::string_view stem, int64_t from, const TNameTaken& taken) {
  for (int64_t n = from; n <= std::numeric_limits<int32_t>::max(); ++n) {
    std::string candidate = std::string(stem) + std::to_string(n);
    if (!taken(candidate)) return candidate;
  }
  throw EKestError("No free object name for " + std::string(stem));
}

}  // namespace

std::string AutomaticName(const TNameTaken& taken) { return FirstFree("object", 0, taken); }

std::string CollisionName(std::string_view name, const TNameTaken& taken) {
  const std::vector<size_t> starts = CharacterStarts(name);
  // Character positions count from 1; an underscore in the first one does not count.
  for (size_t c = starts.size(); c-- > 1;) {
    const size_t at = starts[c];
    if (name[at] != '_') continue;
    const int64_t n = DecimalValue(name.substr(at + 1));
    if (n > 1) return FirstFree(std::string(name.substr(0, at)) + "_", n, taken);
    break;
  }
  return FirstFree(std::string(name) + "_", 2, taken);
}

}  // namespace kest
