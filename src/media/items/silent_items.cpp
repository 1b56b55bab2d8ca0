#include "media/items/silent_items.h"

#include <charconv>

namespace kest {

TCddaItem::TCddaItem(TMediaManager& manager, const std::string& name) : TSilentItem(manager) {
  if (name.size() <= 3) return;
  int32_t track = 0;
  const char* first = name.data() + 3;
  const char* last = name.data() + name.size();
  const auto [end, error] = std::from_chars(first, last, track);
  if (error == std::errc() && end == last && track > 0) FTrack = track;
}

}  // namespace kest
