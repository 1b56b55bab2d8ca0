#pragma once
// The work files made so far: archive entries copied out to real files for
// players that need a file path. Each has an id that names its file.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kest {

class TVrLockData {
 public:
  TVrLockData(int32_t id, std::string entryName) : FId(id), FEntryName(std::move(entryName)) {}

  int32_t Id() const { return FId; }
  const std::string& EntryName() const { return FEntryName; }
  // The work file's name inside the work folder: "~kv", the id in 8 upper-case
  // hexadecimal digits, and the entry's extension when it is plain ASCII
  // letters and digits (any other extension is left off, so that no entry
  // name can steer the file out of its folder).
  std::string FileName() const;

 private:
  int32_t FId;
  std::string FEntryName;
};

class TVrLockList {
 public:
  // A new entry with the next id.
  TVrLockData& Add(std::string_view entryName);
  // The entry made for exactly this name, letter case included, or nothing.
  TVrLockData* Find(std::string_view entryName) const;
  // Removes the entries whose names equal this one ignoring case, and answers
  // their file names.
  std::vector<std::string> Remove(std::string_view entryName);
  // Takes back the entry Add made last (its file could not be made).
  void DiscardLast() { FItems.pop_back(); }
  // Empties the list and answers the file names it held.
  std::vector<std::string> TakeAll();

  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
  int32_t NextId() const { return FNextId; }

 private:
  std::vector<std::unique_ptr<TVrLockData>> FItems;
  // Never goes back, so a file whose removal is still pending is never named again.
  int32_t FNextId = 0;
};

}  // namespace kest
