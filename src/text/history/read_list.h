#pragma once
// The read marks: for every page file, the screenfuls of its text commands
// that a message window has moved on from. Skipping read text asks them; the
// status save shared by every game keeps them.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "common/hash_collection.h"

namespace kest {

class TStream;

// Status versions from which the read marks are stored.
inline constexpr int32_t kStatusSinceReadMarks = 100;

// The marks of one page file (the item's name).
class TKestRead : public THashCollectionItem {
 public:
  bool Has(int32_t command, int32_t screen) const { return FKeys.count(Key(command, screen)) > 0; }
  // Adds the pair unless it is there already.
  void Mark(int32_t command, int32_t screen);
  // (command, screen) in the order they were marked.
  const std::vector<std::pair<int32_t, int32_t>>& Pairs() const { return FPairs; }
  void Assign(const THashCollectionItem& source) override;

 protected:
  std::string DefaultDisplayName() const override { return "TKestRead"; }

 private:
  static uint64_t Key(int32_t command, int32_t screen) { return uint64_t(uint32_t(command)) << 32 | uint32_t(screen); }

  std::vector<std::pair<int32_t, int32_t>> FPairs;
  std::unordered_set<uint64_t> FKeys;
};

class TKestReadList : public TTypedHashCollection<TKestRead> {
 public:
  ~TKestReadList() override { Clear(); }

  // Page names compare ignoring case.
  bool IsRead(std::string_view page, int32_t command, int32_t screen) const;
  void SetPending(std::string_view window, std::string_view page, int32_t screen, int32_t command);
  // Marks the pending screenful when the window is the one that left it.
  void Commit(std::string_view window);
  // Clear (ClrRead) forgets the marks only: a screenful still pending was
  // read after it and is marked when its window moves on.

  void SaveToStream(TStream& stream) const;
  // Before status version 100 there are no marks: the list is left empty.
  void LoadFromStream(TStream& stream, int32_t version);

  std::string PendingPage;  // empty: nothing pending
  int32_t PendingCommand = 0;
  int32_t PendingScreen = 0;
  std::string PendingWindow;

 private:
  TKestRead& FindOrAdd(std::string_view page);
  void ReadItems(TStream& stream);
};

}  // namespace kest
