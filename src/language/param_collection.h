#pragma once
// The variable store: every variable of a running game in one hashed named
// collection, the 51 system variables first. Lookups honour the scopes: a
// local variable is seen only at the call depth that owns it, and among other
// variables of one name the oldest wins. The store also keeps the push stack
// of saved variable sets and the few values behind system variables, and
// writes and reads the game and status blocks of a save.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/hash_collection.h"
#include "common/stream.h"
#include "language/custom_param.h"
#include "language/date_clock.h"
#include "language/system_variable_host.h"

namespace kest {

class TParamCollection;

class TParamCollectionItem : public THashCollectionItem {
 public:
  explicit TParamCollectionItem(TParamPtr value, bool isSystem = false);
  ~TParamCollectionItem() override;

  // Refuses a name that is empty, holds a half-width space or begins with a
  // digit: "\"%s\"：変数名が不正です".
  void SetName(std::string_view value) override;
  static void ValidateName(std::string_view name);

  virtual int32_t GetAsInt() const { return FValue->GetAsInt(); }
  virtual void SetAsInt(int32_t v) { FValue->SetAsInt(v); }

  TCustomParam* Value() const { return FValue.get(); }
  bool IsSystem() const { return FIsSystem; }
  // Empties when the item is destroyed; references hold it instead of the item.
  const std::shared_ptr<TParamCollectionItem*>& Handle() const { return FHandle; }

  uint8_t Reserved = 0;
  uint8_t IsStatus = 0;
  int32_t OwnerId = -1;
  uint8_t IsLocal = 0;

 private:
  TParamPtr FValue;
  bool FIsSystem;
  std::shared_ptr<TParamCollectionItem*> FHandle;
};

// What the variable-creation command gets back: the variable, and whether it
// should now receive its initial value (an existing status variable keeps its
// own).
struct TVarCreation {
  TParamCollectionItem* Item;
  bool AssignInitial;
};

class TParamCollection : public THashCollection {
 public:
  TParamCollection();
  ~TParamCollection() override;

  // The scope rule: a local of the current depth at once, locals of other
  // depths never, else the oldest of the other variables with the name.
  int32_t IndexOf(std::string_view name) const override;
  TParamCollectionItem* FindVar(std::string_view name) const;
  // The same lookup with the name's hash already made, for callers that look
  // one name up again and again.
  TParamCollectionItem* FindVar(const THashKey& key) const;
  // With local, the newest local of the current depth; without, the newest
  // variable that is not local.
  TParamCollectionItem* FindScoped(std::string_view name, bool local) const;
  TParamCollectionItem* Items(int32_t index) const {
    return static_cast<TParamCollectionItem*>(THashCollection::Items(index));
  }
  TParamCollectionItem* SystemVar(uint8_t sysId) const { return Items(sysId); }

  // A new unnamed variable of a type code (modulo 128); raises "内部エラー"
  // for a code that makes no value.
  TParamCollectionItem* AddVar(uint8_t type);
  // The variable-creation command's use of the store, for scopes PS_*.
  TVarCreation CreateVar(std::string_view name, uint8_t type, uint8_t scope);
  // A copy the caller owns; nothing when there is no such variable; raises
  // "%s:不正な変数です" when the variable holds no typed value.
  TParamPtr GetValueCopy(std::string_view name) const;
  // Destroys the variables owned by call depth id, from the last to the
  // first. System variables are never touched, and a negative id (owned by
  // nothing) destroys nothing.
  void DeleteOwned(int32_t id);
  // Variables owned by a call depth above `depth` move down one: a frame
  // below them is gone.
  void LowerOwners(int32_t depth);
  // Destroys every variable that is neither a system nor a status variable.
  void ClearGameVars();

  // Page-scoped variables are named by the byte 0x01 and the page name, and
  // go when the page is freed.
  static std::string PageVarName(std::string_view page);
  void DeletePageVars(std::string_view page);

  // Lets @Temp stand for the variable name; false (and no change) when there
  // is none or it is @Temp itself.
  bool AssignTemp(std::string_view name);

  void SaveGameVars(TStream& stream) const;
  // Checks the whole block first, so a damaged block raises EReadError and
  // leaves the store as it was.
  void LoadGameVars(TStream& stream, int32_t version);
  void SaveStatusVars(TStream& stream) const;
  void LoadStatusVars(TStream& stream, int32_t version);

  // Keeps the named variables that exist (references left out) on the push
  // stack; PopVar puts the top set back and drops it.
  void PushVar(std::span<const std::string> names);
  void PopVar();
  int32_t PushStackCount() const { return static_cast<int32_t>(FPushStack.size()); }

  // Nothing means the host's own local time.
  void SetDateClock(IDateClock* clock) { FClock = clock; }
  IDateClock& DateClock() const { return FClock ? *FClock : FSystemClock; }

  int32_t CurrentLocalId = 0;
  std::string SelStr;
  int32_t SelIndex = 0;
  int32_t TextDelay = 50;
  std::string CursorName;
  std::string TempTarget;
  TSystemVariableHosts Hosts;

 protected:
  std::unique_ptr<THashCollectionItem> CreateItem() override { return nullptr; }

 private:
  void SaveVars(TStream& stream, uint8_t status) const;
  void LoadVars(TStream& stream);
  void LoadRecords(TStream& stream, int32_t n);
  void LoadTail(TStream& stream, int32_t version);
  void PopEntry(TStream& stream);
  void PopRecord(TStream& stream);
  void DeleteGameVars();

  std::vector<std::unique_ptr<TByteStream>> FPushStack;
  IDateClock* FClock = nullptr;
  mutable TSystemDateClock FSystemClock;
};

}  // namespace kest
