#pragma once
// The numbered properties of scene objects. Compiled scripts refer to
// properties by id only; the names are for tools and messages.

#include <cstdint>
#include <span>

namespace kest {

inline constexpr int32_t kPropertyCount = 165;

enum class TPropType : uint8_t { Int, Float, Bool, Str };

struct TPropertyInfo {
  int32_t Id;
  const char* Name;  // "PR_NAME" ...
  TPropType Type;
  bool ReadOnly;
  const char* Label;  // the editor's caption, UTF-8
};

// Nothing for an id outside 0..164.
const TPropertyInfo* PropertyInfo(int32_t id);
std::span<const TPropertyInfo> Properties();

}  // namespace kest
