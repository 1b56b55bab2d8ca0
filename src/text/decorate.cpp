#include "text/decorate.h"

#include <algorithm>
#include <functional>

namespace kest {

TDecorateList::TDecorateList() = default;
TDecorateList::~TDecorateList() = default;

size_t TDecorateList::THash::operator()(const TDecorateValues& v) const {
  size_t h = std::hash<std::string>()(v.FontName) ^ (std::hash<std::string>()(v.Ruby) << 1);
  for (int64_t part : {int64_t{v.FontColor}, int64_t{v.BorderColor}, int64_t{v.ShadowColor}, int64_t{v.FontSize},
                       int64_t{v.Style} | int64_t{v.NoBreak} << 8, int64_t{v.BorderWidth}, int64_t{v.ShadowOffset}})
    h = h * 1000003u ^ std::hash<int64_t>()(part);
  return h;
}

TDecorate* TDecorateList::Acquire(const TDecorateValues& values) {
  if (auto it = FIndex.find(values); it != FIndex.end()) {
    ++it->second->RefCount;
    return it->second;
  }
  TDecorate* record = Append(values);
  record->RefCount = 1;
  return record;
}

TDecorate* TDecorateList::Append(const TDecorateValues& values) {
  auto record = std::make_unique<TDecorate>();
  static_cast<TDecorateValues&>(*record) = values;
  TDecorate* raw = record.get();
  FItems.push_back(std::move(record));
  FIndex.emplace(values, raw);
  return raw;
}

void TDecorateList::Release(TDecorate* record) {
  if (--record->RefCount <= 0 && !FKeepUnused) Remove(record);
}

TDecorate* TDecorateList::Change(TDecorate* record, const TDecorateValues& values) {
  if (values == *record) return record;
  if (auto it = FIndex.find(values); it != FIndex.end()) {
    ++it->second->RefCount;
    Release(record);
    return it->second;
  }
  if (record->RefCount <= 1) {
    Unindex(record);
    static_cast<TDecorateValues&>(*record) = values;
    FIndex.emplace(values, record);
    return record;
  }
  --record->RefCount;
  TDecorate* split = Append(values);
  split->RefCount = 1;
  return split;
}

void TDecorateList::RemoveUnused() {
  for (size_t i = FItems.size(); i-- > 0;)
    if (FItems[i]->RefCount <= 0) Remove(FItems[i].get());
}

void TDecorateList::Clear() {
  FIndex.clear();
  FItems.clear();
}

int32_t TDecorateList::IndexOf(const TDecorate* record) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].get() == record) return static_cast<int32_t>(i);
  return -1;
}

void TDecorateList::Unindex(TDecorate* record) {
  if (auto it = FIndex.find(*record); it != FIndex.end() && it->second == record) FIndex.erase(it);
}

void TDecorateList::Remove(TDecorate* record) {
  Unindex(record);
  // The last records are the likeliest to go (a text being built or cut).
  for (size_t i = FItems.size(); i-- > 0;)
    if (FItems[i].get() == record) {
      FItems.erase(FItems.begin() + static_cast<ptrdiff_t>(i));
      return;
    }
}

}  // namespace kest
