#pragma once
// The small containers the subsystems share: integer lists and arrays, the
// list of 10-byte extended floats, and the owning object list.

#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "common/errors.h"
#include "common/extended.h"

namespace kest {

class TIntList {
 public:
  int32_t Add(int32_t value);
  int32_t IndexOf(int32_t value) const;
  // Raises "Error:TIntList.GetInt" outside 0..Count-1.
  int32_t GetInt(int32_t index) const;
  // Appends zeros until index lies inside the list, then stores; raises
  // "Error:TIntList.SetInt" for a negative index.
  void SetInt(int32_t index, int32_t value);
  void Delete(int32_t index);
  void Clear() { FItems.clear(); }
  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }

 private:
  std::vector<int32_t> FItems;
};

class TIntArray {
 public:
  void Add(int32_t value) { FItems.push_back(value); }
  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
  // Callers stay within Count; a position outside reads 0 rather than memory
  // that is not the array's.
  int32_t Get(int32_t index) const { return index >= 0 && index < Count() ? FItems[static_cast<size_t>(index)] : 0; }
  void Clear() { FItems.clear(); }
  std::span<const int32_t> Data() const { return FItems; }

 private:
  std::vector<int32_t> FItems;
};

class TExtendedList {
 public:
  void Add(long double value) { FItems.push_back(ExtendedFromLongDouble(value)); }
  void AddBytes(const TExtendedBytes& bytes) { FItems.push_back(bytes); }
  // Raises "Error:TExtendedList.Get" outside 0..Count-1.
  long double Get(int32_t index) const;
  const TExtendedBytes& Bytes(int32_t index) const;
  void Clear() { FItems.clear(); }
  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
  // Smaller values first, or larger first when descending; NaN is no number
  // and goes behind all numbers either way. Equal values keep no order.
  void Sort(bool descending);

 private:
  std::vector<TExtendedBytes> FItems;
};

// A list that owns its objects: deleting an entry or clearing the list destroys
// them, and so does destroying the list.
template <typename T>
class TObjList {
 public:
  TObjList() = default;
  TObjList(const TObjList&) = delete;
  TObjList& operator=(const TObjList&) = delete;
  virtual ~TObjList() { Clear(); }

  template <typename TDerived = T>
  TDerived* Add(std::unique_ptr<TDerived> object) {
    TDerived* raw = object.get();
    FItems.push_back(std::move(object));
    return raw;
  }
  template <typename TDerived = T>
  TDerived* Insert(int32_t index, std::unique_ptr<TDerived> object) {
    TDerived* raw = object.get();
    FItems.insert(FItems.begin() + CheckedPosition(index, Count() + 1), std::move(object));
    return raw;
  }
  void Delete(int32_t index) { Extract(index).reset(); }
  // Hands the object over to the caller and removes its entry.
  std::unique_ptr<T> Extract(int32_t index) {
    const auto it = FItems.begin() + CheckedPosition(index, Count());
    std::unique_ptr<T> object = std::move(*it);
    FItems.erase(it);
    return object;
  }
  // Destroys the objects from the last to the first, so later objects that
  // refer to earlier ones go first. Each object leaves the list before its
  // destructor runs, so the list is whole whenever that code looks at it.
  void Clear() {
    while (!FItems.empty()) {
      std::unique_ptr<T> last = std::move(FItems.back());
      FItems.pop_back();
    }
  }
  int32_t IndexOf(const T* object) const {
    for (size_t i = 0; i < FItems.size(); ++i) {
      if (FItems[i].get() == object) return static_cast<int32_t>(i);
    }
    return -1;
  }
  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
  T* Items(int32_t index) const { return FItems[CheckedPosition(index, Count())].get(); }
  T* operator[](int32_t index) const { return FItems[static_cast<size_t>(index)].get(); }

  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }

 private:
  static size_t CheckedPosition(int32_t index, int32_t limit) {
    if (index < 0 || index >= limit) throw EKestError("Error:TObjList.Items");
    return static_cast<size_t>(index);
  }

  std::vector<std::unique_ptr<T>> FItems;
};

}  // namespace kest
