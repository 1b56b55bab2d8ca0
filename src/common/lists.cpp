#include "common/lists.h"

#include <algorithm>
#include <cmath>

namespace kest {

int32_t TIntList::Add(int32_t value) {
  FItems.push_back(value);
  return Count() - 1;
}

int32_t TIntList::IndexOf(int32_t value) const {
  const auto it = std::find(FItems.begin(), FItems.end(), value);
  return it == FItems.end() ? -1 : static_cast<int32_t>(it - FItems.begin());
}

int32_t TIntList::GetInt(int32_t index) const {
  if (index < 0 || index >= Count()) throw EKestError("Error:TIntList.GetInt");
  return FItems[static_cast<size_t>(index)];
}

void TIntList::SetInt(int32_t index, int32_t value) {
  if (index >= Count()) FItems.resize(static_cast<size_t>(index) + 1, 0);
  if (index < 0) throw EKestError("Error:TIntList.SetInt");
  FItems[static_cast<size_t>(index)] = value;
}

void TIntList::Delete(int32_t index) {
  if (index < 0 || index >= Count()) throw EKestError("Error:TIntList.Delete");
  FItems.erase(FItems.begin() + index);
}

long double TExtendedList::Get(int32_t index) const {
  if (index < 0 || index >= Count()) throw EKestError("Error:TExtendedList.Get");
  return ExtendedToLongDouble(FItems[static_cast<size_t>(index)]);
}

const TExtendedBytes& TExtendedList::Bytes(int32_t index) const {
  if (index < 0 || index >= Count()) throw EKestError("Error:TExtendedList.Get");
  return FItems[static_cast<size_t>(index)];
}

// Values are decoded once and sorted beside their bytes, so every block comes
// back exactly as it went in.
void TExtendedList::Sort(bool descending) {
  std::vector<std::pair<long double, TExtendedBytes>> keyed;
  keyed.reserve(FItems.size());
  for (const TExtendedBytes& b : FItems) keyed.emplace_back(ExtendedToLongDouble(b), b);
  std::sort(keyed.begin(), keyed.end(), [descending](const auto& a, const auto& b) {
    const bool nanA = std::isnan(a.first);
    const bool nanB = std::isnan(b.first);
    if (nanA || nanB) return !nanA && nanB;
    return descending ? b.first < a.first : a.first < b.first;
  });
  for (size_t i = 0; i < keyed.size(); ++i) FItems[i] = keyed[i].second;
}

}  // namespace kest
