#include "language/param_collection.h"

#include "common/errors.h"
#include "language/param_errors.h"
#include "language/param_system.h"
#include "language/param_var.h"
#include "language/system_variables.h"

namespace kest {

TParamCollectionItem::TParamCollectionItem(TParamPtr value, bool isSystem)
    : FValue(std::move(value)), FIsSystem(isSystem), FHandle(std::make_shared<TParamCollectionItem*>(this)) {}

TParamCollectionItem::~TParamCollectionItem() { *FHandle = nullptr; }

void TParamCollectionItem::ValidateName(std::string_view name) {
  if (name.empty() || name.find(' ') != std::string_view::npos || (name[0] >= '0' && name[0] <= '9')) {
    throw EKestError(ErrBadName(name));
  }
}

void TParamCollectionItem::SetName(std::string_view value) {
  ValidateName(value);
  THashCollectionItem::SetName(value);
}

TParamCollection::TParamCollection() {
  const auto table = SysVarTable();
  for (int32_t k = 0; k < kSysVarCount; ++k) {
    auto value = std::make_unique<TParamSystem>(this, static_cast<uint8_t>(k));
    Adopt(std::make_unique<TParamCollectionItem>(std::move(value), true))->SetName(table[static_cast<size_t>(k)].Name);
  }
}

TParamCollection::~TParamCollection() { Clear(); }

TParamCollectionItem* TParamCollection::FindVar(std::string_view name) const { return FindVar(THashKey(name)); }

TParamCollectionItem* TParamCollection::FindVar(const THashKey& key) const {
  TParamCollectionItem* oldest = nullptr;
  for (THashCollectionItem* it = ChainHead(key); it; it = it->NextInChain()) {
    if (!it->Matches(key)) continue;
    auto* item = static_cast<TParamCollectionItem*>(it);
    if (!item->IsLocal) {
      oldest = item;
    } else if (item->OwnerId == CurrentLocalId) {
      return item;
    }
  }
  return oldest;
}

int32_t TParamCollection::IndexOf(std::string_view name) const {
  const TParamCollectionItem* item = FindVar(name);
  return item ? item->Index() : -1;
}

TParamCollectionItem* TParamCollection::FindScoped(std::string_view name, bool local) const {
  const THashKey key(name);
  for (THashCollectionItem* it = ChainHead(key); it; it = it->NextInChain()) {
    if (!it->Matches(key)) continue;
    auto* item = static_cast<TParamCollectionItem*>(it);
    if (local ? item->IsLocal && item->OwnerId == CurrentLocalId : !item->IsLocal) return item;
  }
  return nullptr;
}

TParamCollectionItem* TParamCollection::AddVar(uint8_t type) {
  TParamPtr value = CreateParam(type);
  if (!value) throw EKestError(ErrInternal());
  if (type % 128 == PT_NONE) value = std::make_unique<TParamVar>(this);
  return static_cast<TParamCollectionItem*>(Adopt(std::make_unique<TParamCollectionItem>(std::move(value))));
}

TVarCreation TParamCollection::CreateVar(std::string_view name, uint8_t type, uint8_t scope) {
  if (TParamCollectionItem* existing = FindScoped(name, scope == PS_LOCAL)) return {existing, !existing->IsStatus};
  TParamCollectionItem::ValidateName(name);
  TParamCollectionItem* item = AddVar(type);
  item->SetName(name);
  if (scope == PS_AUTODELETE || scope == PS_LOCAL) item->OwnerId = CurrentLocalId;
  item->IsLocal = scope == PS_LOCAL;
  item->IsStatus = scope == PS_STATUS;
  return {item, true};
}

TParamPtr TParamCollection::GetValueCopy(std::string_view name) const {
  const TParamCollectionItem* item = FindVar(name);
  if (!item) return nullptr;
  const TCustomParam& value = *item->Value();
  const uint8_t type = value.ParamType();
  if (type < PT_INT || type > PT_STR) throw EKestError(ErrBadVariable(name));
  TParamPtr copy = CreateParam(type);
  if (value.RecordType() == type && !item->IsSystem()) {
    copy->AssignRaw(value);
  } else {
    copy->AssignConvert(value);
  }
  return copy;
}

void TParamCollection::LowerOwners(int32_t depth) {
  for (int32_t i = kSysVarCount; i < Count(); ++i)
    if (Items(i)->OwnerId > depth) --Items(i)->OwnerId;
}

void TParamCollection::DeleteOwned(int32_t id) {
  if (id < 0) return;
  for (int32_t i = Count() - 1; i >= kSysVarCount; --i) {
    if (Items(i)->OwnerId == id) Delete(i);
  }
}

void TParamCollection::DeleteGameVars() {
  for (int32_t i = Count() - 1; i >= kSysVarCount; --i) {
    if (!Items(i)->IsStatus) Delete(i);
  }
}

void TParamCollection::ClearGameVars() {
  DeleteGameVars();
  TextDelay = 50;
  CursorName.clear();
}

std::string TParamCollection::PageVarName(std::string_view page) { return "\x01" + std::string(page); }

void TParamCollection::DeletePageVars(std::string_view page) {
  const std::string name = PageVarName(page);
  for (int32_t i = Count() - 1; i >= kSysVarCount; --i) {
    if (SameName(Items(i)->Name(), name)) Delete(i);
  }
}

bool TParamCollection::AssignTemp(std::string_view name) {
  const TParamCollectionItem* item = FindVar(name);
  if (!item || item == SystemVar(SV_TEMP)) return false;
  TempTarget = name;
  return true;
}

}  // namespace kest
