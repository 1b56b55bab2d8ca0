#pragma once
// The scene's queue of events waiting for their script handlers. A component
// posts a record when one of its event properties fires; the call manager
// starts the handler page and marks the record with the call level that runs
// it, and drops it when that level returns.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/string_lists.h"
#include "scene/object_handle.h"

namespace kest {

struct TTimerData {
  std::string Reference;  // "page.src" or "page.src:label"
  TObjectRef Sender;
  uint8_t Code = 0;     // the event property's id
  int32_t Running = 0;  // 0 while waiting, else the call level running it
  TArrayString Args;
};

class TStream;

// The object of a stored sender name, or nothing.
using TSenderFinder = std::function<TObjectHandle(const std::string& name)>;

class TTimerList {
 public:
  void PostEvent(TTimerData record);
  // Whether a record of the sender and code waits (a constant-time answer:
  // pointer moves and idle events ask it on every post).
  bool IsWaiting(const TObjectRef& sender, uint8_t code) const;
  // The index of the first waiting record of the sender and code, or -1.
  int32_t FindWaiting(const TObjectRef& sender, uint8_t code) const;
  // The first record that waits, or nothing.
  TTimerData* FirstWaiting();
  // Marks a record as run by a call level (0 puts it back to waiting).
  void SetRunning(TTimerData& record, int32_t level);
  // Drops the records whose running level lies in first..last.
  void RemoveRunning(int32_t first, int32_t last);
  void RemoveAllRunning();
  // Drops the waiting records of a sender; its running ones stay.
  void RemoveWaitingOf(const TObjectLife* sender);
  void Clear();
  // Senders are stored by name, empty for one that is gone.
  void SaveToStream(TStream& stream) const;
  // Replaces the records. A stored empty name means the sender had gone, so
  // it is not looked up (the empty name would find the front base screen).
  void LoadFromStream(TStream& stream, int32_t version, const TSenderFinder& findSender);
  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
  TTimerData& Items(int32_t index) { return *FItems[static_cast<size_t>(index)]; }

 private:
  struct TWaitKey {
    const TObjectLife* Sender;
    uint8_t Code;
    bool operator==(const TWaitKey&) const = default;
  };
  struct TWaitHash {
    size_t operator()(const TWaitKey& key) const;
  };
  void CountWaiting(const TTimerData& record, int32_t delta);
  template <class Pred>
  void RemoveIf(Pred pred);

  std::vector<std::unique_ptr<TTimerData>> FItems;
  std::unordered_map<TWaitKey, int32_t, TWaitHash> FWaiting;
};

}  // namespace kest
