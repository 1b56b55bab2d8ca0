#include "storage/vr_lock_list.h"

#include <cstdio>

#include "common/sjis.h"
#include "storage/archive_paths.h"

namespace kest {
namespace {

bool IsPlainExtension(std::string_view ext) {
  if (ext.size() < 2 || ext.size() > 16 || ext[0] != '.') return false;
  for (char c : ext.substr(1)) {
    const bool alnum = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (!alnum) return false;
  }
  return true;
}

}  // namespace

std::string TVrLockData::FileName() const {
  char id[16];
  std::snprintf(id, sizeof id, "%08X", static_cast<uint32_t>(FId));
  std::string name = std::string("~kv") + id;
  const std::string_view ext = ExtensionPart(FEntryName);
  if (IsPlainExtension(ext)) name += ext;
  return name;
}

TVrLockData& TVrLockList::Add(std::string_view entryName) {
  FItems.push_back(std::make_unique<TVrLockData>(FNextId++, std::string(entryName)));
  return *FItems.back();
}

TVrLockData* TVrLockList::Find(std::string_view entryName) const {
  for (const auto& item : FItems)
    if (item->EntryName() == entryName) return item.get();
  return nullptr;
}

std::vector<std::string> TVrLockList::Remove(std::string_view entryName) {
  std::vector<std::string> files;
  std::erase_if(FItems, [&](const std::unique_ptr<TVrLockData>& item) {
    if (!SameName(item->EntryName(), entryName)) return false;
    files.push_back(item->FileName());
    return true;
  });
  return files;
}

std::vector<std::string> TVrLockList::TakeAll() {
  std::vector<std::string> files;
  for (const auto& item : FItems) files.push_back(item->FileName());
  FItems.clear();
  return files;
}

}  // namespace kest
