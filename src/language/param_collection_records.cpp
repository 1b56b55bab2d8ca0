// The store's stored forms: the game block (script variables and a tail of
// store values and push-stack entries), the status block, and the push-stack
// entries themselves. Every reader walks its block once without touching the
// store, so damaged data raises EReadError before anything changes.

#include <unordered_set>

#include "common/errors.h"
#include "common/save_versions.h"
#include "common/sjis.h"
#include "language/param_collection.h"
#include "language/param_var.h"
#include "language/system_variables.h"

namespace kest {
namespace {

// The least a variable record takes: type, name length, a scalar's dimension
// and element counts, then the four scope fields.
constexpr int64_t kMinVarRecord = 1 + 4 + 8 + 7;
// The least a push-stack record takes: type, name length, a value stream.
constexpr int64_t kMinPushRecord = 4 + 4 + 8;

void WriteRecord(TStream& stream, const TParamCollectionItem& item) {
  WriteByte(stream, item.Value()->RecordType());
  WriteStr(stream, item.Name());
  item.Value()->SaveToStream(stream);
  WriteByte(stream, item.IsStatus);
  WriteByte(stream, item.Reserved);
  WriteInt(stream, item.OwnerId);
  WriteByte(stream, item.IsLocal);
}

int32_t ReadCount(TStream& stream, int64_t minBytesEach) {
  const int32_t n = ReadInt(stream);
  if (n < 0) throw EReadError();
  RequireRemaining(stream, int64_t{n} * minBytesEach);
  return n;
}

void CheckName(const std::string& name) {
  try {
    TParamCollectionItem::ValidateName(name);
  } catch (const EKestError& e) {
    throw EReadError(e.what());
  }
}

// A value of a record's type code, not yet in the store.
TParamPtr MakeRecordValue(int32_t type) {
  TParamPtr value = type >= 0 && type <= 255 ? CreateParam(static_cast<uint8_t>(type)) : nullptr;
  if (!value) throw EReadError();
  return value;
}

void SkipVars(TStream& stream) {
  const int32_t n = ReadCount(stream, kMinVarRecord);
  for (int32_t i = 0; i < n; ++i) {
    TParamPtr value = MakeRecordValue(ReadByte(stream));
    const std::string name = ReadStr(stream);
    if (!name.empty()) CheckName(name);
    value->LoadFromStream(stream);
    ReadByte(stream);
    ReadByte(stream);
    ReadInt(stream);
    ReadByte(stream);
  }
}

void SkipPushEntry(TStream& stream) {
  const int32_t n = ReadCount(stream, kMinPushRecord);
  for (int32_t i = 0; i < n; ++i) {
    const int32_t type = ReadInt(stream);
    CheckName(ReadStr(stream));
    MakeRecordValue(type)->LoadFromStream(stream);
  }
}

bool HasHistoryFormat(int32_t version) {
  return version >= kSaveSinceHistoryFormat && version < kSaveSinceNamedHistories;
}

void SkipTail(TStream& stream, int32_t version) {
  ReadInt(stream);
  ReadStr(stream);
  if (version >= kSaveSinceSelection) {
    ReadStr(stream);
    ReadInt(stream);
  }
  if (HasHistoryFormat(version)) {
    for (int k = 0; k < 6; ++k) ReadInt(stream);
  }
  if (version >= kSaveSinceTempTarget) ReadStr(stream);
  if (version >= kSaveSincePushStack) {
    const int32_t n = ReadCount(stream, 4);
    for (int32_t i = 0; i < n; ++i) SkipPushEntry(stream);
  }
}

}  // namespace

// From the last variable to the first, except that a reference waits until a
// variable of its target's name is written, so loading finds the target. A
// reference whose target never comes (a system or status variable) would
// hold the passes up for ever; once a pass writes nothing the rest go as they
// are.
void TParamCollection::SaveVars(TStream& stream, uint8_t status) const {
  std::vector<const TParamCollectionItem*> selected;
  for (int32_t i = kSysVarCount; i < Count(); ++i) {
    if ((Items(i)->IsStatus != 0) == (status != 0)) selected.push_back(Items(i));
  }
  WriteInt(stream, static_cast<int32_t>(selected.size()));
  std::vector<bool> written(selected.size(), false);
  std::unordered_set<std::string> names;
  size_t remaining = selected.size();
  bool waitForTargets = true;
  while (remaining > 0) {
    bool progress = false;
    for (size_t i = selected.size(); i-- > 0;) {
      if (written[i]) continue;
      const auto* ref = dynamic_cast<const TParamVar*>(selected[i]->Value());
      const TParamCollectionItem* target = ref ? ref->Target() : nullptr;
      if (waitForTargets && target && !names.contains(FoldName(target->Name()))) continue;
      WriteRecord(stream, *selected[i]);
      names.insert(FoldName(selected[i]->Name()));
      written[i] = true;
      progress = true;
      --remaining;
    }
    if (!progress) waitForTargets = false;
  }
}

void TParamCollection::LoadVars(TStream& stream) {
  const int32_t first = Count();
  const int32_t n = ReadCount(stream, kMinVarRecord);
  LoadRecords(stream, n);
  // The records run from the last variable to the first: the store takes
  // back the order it had, in positions and among equal names, so that a
  // name shared by two variables finds the same one after a load.
  for (int32_t k = first; k < Count(); ++k) Items(Count() - 1)->SetIndex(k);
  for (int32_t k = first; k < Count(); ++k) Items(k)->Relink();
}

void TParamCollection::LoadRecords(TStream& stream, int32_t n) {
  for (int32_t i = 0; i < n; ++i) {
    TParamCollectionItem* item = AddVar(ReadByte(stream));
    try {
      const std::string name = ReadStr(stream);
      item->Value()->LoadFromStream(stream);
      item->IsStatus = ReadFlag(stream);
      item->Reserved = ReadByte(stream);
      item->OwnerId = ReadInt(stream);
      item->IsLocal = ReadFlag(stream);
      if (name.empty()) {
        Remove(item);
      } else {
        item->SetName(name);
      }
    } catch (...) {
      Remove(item);
      throw;
    }
  }
}

void TParamCollection::SaveGameVars(TStream& stream) const {
  SaveVars(stream, 0);
  WriteInt(stream, TextDelay);
  WriteStr(stream, CursorName);
  WriteStr(stream, SelStr);
  WriteInt(stream, SelIndex);
  WriteStr(stream, TempTarget);
  WriteInt(stream, static_cast<int32_t>(FPushStack.size()));
  for (const auto& entry : FPushStack) {
    const auto bytes = entry->Data();
    WriteExact(stream, bytes.data(), static_cast<int64_t>(bytes.size()));
  }
}

void TParamCollection::LoadTail(TStream& stream, int32_t version) {
  TextDelay = ReadInt(stream);
  CursorName = ReadStr(stream);
  if (version >= kSaveSinceSelection) {
    SelStr = ReadStr(stream);
    SelIndex = ReadInt(stream);
  }
  if (HasHistoryFormat(version)) {
    int32_t format[6];
    for (int32_t& v : format) v = ReadInt(stream);
    if (Hosts.History) Hosts.History->SetLegacyFormat(format);
  }
  if (version >= kSaveSinceTempTarget) TempTarget = ReadStr(stream);
  FPushStack.clear();
  if (version < kSaveSincePushStack) return;
  const int32_t n = ReadCount(stream, 4);
  for (int32_t i = 0; i < n; ++i) {
    const int64_t start = stream.Position();
    SkipPushEntry(stream);
    std::vector<uint8_t> bytes(static_cast<size_t>(stream.Position() - start));
    stream.Seek(start);
    ReadExact(stream, bytes.data(), static_cast<int64_t>(bytes.size()));
    FPushStack.push_back(std::make_unique<TByteStream>(std::move(bytes)));
  }
}

void TParamCollection::LoadGameVars(TStream& stream, int32_t version) {
  const int64_t start = stream.Position();
  SkipVars(stream);
  SkipTail(stream, version);
  stream.Seek(start);
  DeleteGameVars();
  LoadVars(stream);
  LoadTail(stream, version);
}

void TParamCollection::SaveStatusVars(TStream& stream) const { SaveVars(stream, 1); }

void TParamCollection::LoadStatusVars(TStream& stream, int32_t) {
  const int64_t start = stream.Position();
  SkipVars(stream);
  stream.Seek(start);
  LoadVars(stream);
}

void TParamCollection::PushVar(std::span<const std::string> names) {
  std::vector<std::pair<const std::string*, const TParamCollectionItem*>> kept;
  for (const std::string& name : names) {
    const TParamCollectionItem* item = FindVar(name);
    if (item && item->Value()->RecordType() != PT_NONE) kept.emplace_back(&name, item);
  }
  auto entry = std::make_unique<TByteStream>();
  WriteInt(*entry, static_cast<int32_t>(kept.size()));
  for (const auto& [name, item] : kept) {
    WriteInt(*entry, item->Value()->RecordType());
    WriteStr(*entry, *name);
    item->Value()->SaveToStream(*entry);
  }
  FPushStack.push_back(std::move(entry));
}

// System variables are never destroyed or made again (they hold positions
// 0..50): their kept value goes back through their setters, which read-only
// ones ignore.
void TParamCollection::PopRecord(TStream& stream) {
  const int32_t type = ReadInt(stream);
  const std::string name = ReadStr(stream);
  TParamCollectionItem* item = FindVar(name);
  if (item && item->IsSystem()) {
    TParamPtr kept = MakeRecordValue(type);
    kept->LoadFromStream(stream);
    if (kept->RecordType() != PT_NONE) item->Value()->AssignConvert(*kept);
    return;
  }
  if (item && item->Value()->RecordType() != type) {
    Remove(item);
    item = nullptr;
  }
  if (!item) {
    MakeRecordValue(type);
    CheckName(name);
    item = AddVar(static_cast<uint8_t>(type));
    item->SetName(name);
  }
  item->Value()->LoadFromStream(stream);
}

void TParamCollection::PopEntry(TStream& stream) {
  const int32_t n = ReadCount(stream, kMinPushRecord);
  for (int32_t i = 0; i < n; ++i) PopRecord(stream);
}

void TParamCollection::PopVar() {
  if (FPushStack.empty()) return;
  std::unique_ptr<TByteStream> entry = std::move(FPushStack.back());
  FPushStack.pop_back();
  entry->Seek(0);
  PopEntry(*entry);
}

}  // namespace kest
