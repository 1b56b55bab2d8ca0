#pragma once
// The scene's queue of events waiting for their script handlers. A component
// posts a record when one of its event properties fires; the call manager
// starts the handler page and marks the record with the call level that runs
// it, and drops it when that level returns.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/string_lists.h"

namespace kest {

// What a record or a call frame knows of the object that posted an event.
// The object owns it; references to it are weak, so they tell an object that
// has gone from one that was never there.
struct TEventSender {
  std::string Name;
};
using TSenderHandle = std::shared_ptr<TEventSender>;

class TSenderRef {
 public:
  TSenderRef() = default;
  explicit TSenderRef(const TSenderHandle& sender) : FSender(sender), FSet(sender != nullptr) {}
  // Some object was named, whether or not it still exists.
  bool IsSet() const { return FSet; }
  // The object's name; empty when unset or gone.
  std::string Name() const;
  TSenderHandle Lock() const { return FSender.lock(); }

 private:
  std::weak_ptr<TEventSender> FSender;
  bool FSet = false;
};

struct TTimerData {
  std::string Reference;  // "page.src" or "page.src:label"
  TSenderRef Sender;
  uint8_t Code = 0;     // the event property's id
  int32_t Running = 0;  // 0 while waiting, else the call level running it
  TArrayString Args;
};

class TTimerList {
 public:
  void PostEvent(TTimerData record);
  // The first record that waits, or nothing.
  TTimerData* FirstWaiting();
  // Drops the records whose running level lies in first..last.
  void RemoveRunning(int32_t first, int32_t last);
  void Clear() { FItems.clear(); }
  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
  TTimerData& Items(int32_t index) { return *FItems[static_cast<size_t>(index)]; }

 private:
  std::vector<std::unique_ptr<TTimerData>> FItems;
};

}  // namespace kest
