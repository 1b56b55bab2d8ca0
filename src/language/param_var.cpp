#include "language/param_var.h"

#include <limits>

#include "common/errors.h"
#include "language/param_collection.h"
#include "language/param_errors.h"

namespace kest {

TParamCollectionItem* TParamVar::Target() const { return FTarget ? *FTarget : nullptr; }

TCustomParam* TParamVar::ForwardTarget() const {
  TParamCollectionItem* item = Target();
  return item ? item->Value() : nullptr;
}

void TParamVar::SetTarget(TParamCollectionItem* item) {
  FTarget = item ? item->Handle() : nullptr;
  FTargetType = item ? item->Value()->ParamType() : uint8_t{PT_NONE};
}

std::string TParamVar::EmptyStr() const {
  switch (FTarget ? FTargetType : uint8_t{PT_NONE}) {
    case PT_INT:
    case PT_FLOAT: return "0";
    case PT_BOOL: return "FALSE";
    default: return {};
  }
}

void TParamVar::SetReference(std::string_view name, std::span<const int32_t> indices) {
  FTargetName = name;
  TParamCollectionItem* item = FStore ? FStore->FindVar(name) : nullptr;
  SetTarget(item);
  const TCustomParam* target = item ? item->Value() : nullptr;
  if (!target || target->DimCount() != static_cast<int32_t>(indices.size())) {
    throw EKestError(ErrBadSubscript(name, indices));
  }
  // Only the flat offset is bounded, so (0,5) in a 3x4 array is element 5.
  int64_t offset = 0;
  int64_t stride = 1;
  for (size_t k = indices.size(); k-- > 0;) {
    offset += int64_t{indices[k]} * stride;
    stride *= target->GetDim(static_cast<int32_t>(k));
  }
  if (offset >= target->Count()) throw EKestError(ErrBeyondElements(name, indices));
  FElementIndex = static_cast<int32_t>(std::max<int64_t>(offset, std::numeric_limits<int32_t>::min()));
}

void TParamVar::Resolve() {
  TParamCollectionItem* item = FStore ? FStore->FindVar(FTargetName) : nullptr;
  if (!item) throw EKestError(ErrNoVariable(FTargetName));
  SetTarget(item);
  if (const auto* inner = dynamic_cast<const TParamVar*>(item->Value()); inner && inner != this) {
    FElementIndex = inner->FElementIndex;
  }
}

int32_t TParamVar::Count() const {
  return Forward(0, [](TCustomParam& t) { return t.Count(); });
}

void TParamVar::SetCount(int32_t n) {
  ForwardWrite([&](TCustomParam& t) { t.SetCount(n); });
}

uint8_t TParamVar::ParamType() const {
  if (!FTarget) return PT_NONE;
  return Forward(FTargetType, [](TCustomParam& t) { return t.ParamType(); });
}

bool TParamVar::GetAsFlag() const {
  return Forward(false, [&](TCustomParam& t) { return t.GetFlag(FElementIndex); });
}

long double TParamVar::GetAsFloat() const {
  return Forward(0.0L, [&](TCustomParam& t) { return t.GetFloat(FElementIndex); });
}

int32_t TParamVar::GetAsInt() const {
  return Forward(0, [&](TCustomParam& t) { return t.GetInt(FElementIndex); });
}

std::string TParamVar::GetAsStr() const {
  return Forward(EmptyStr(), [&](TCustomParam& t) { return t.GetStr(FElementIndex); });
}

void TParamVar::SetAsFlag(bool b) {
  ForwardWrite([&](TCustomParam& t) { t.SetFlag(FElementIndex, b); });
}

void TParamVar::SetAsFloat(long double x) {
  ForwardWrite([&](TCustomParam& t) { t.SetFloat(FElementIndex, x); });
}

void TParamVar::SetAsInt(int32_t v) {
  ForwardWrite([&](TCustomParam& t) { t.SetInt(FElementIndex, v); });
}

void TParamVar::SetAsStr(std::string_view s) {
  ForwardWrite([&](TCustomParam& t) { t.SetStr(FElementIndex, s); });
}

int32_t TParamVar::GetInt(int32_t i) const {
  return Forward(0, [&](TCustomParam& t) { return t.GetInt(i); });
}

void TParamVar::SetInt(int32_t i, int32_t v) {
  ForwardWrite([&](TCustomParam& t) { t.SetInt(i, v); });
}

long double TParamVar::GetFloat(int32_t i) const {
  return Forward(0.0L, [&](TCustomParam& t) { return t.GetFloat(i); });
}

void TParamVar::SetFloat(int32_t i, long double x) {
  ForwardWrite([&](TCustomParam& t) { t.SetFloat(i, x); });
}

bool TParamVar::GetFlag(int32_t i) const {
  return Forward(false, [&](TCustomParam& t) { return t.GetFlag(i); });
}

void TParamVar::SetFlag(int32_t i, bool b) {
  ForwardWrite([&](TCustomParam& t) { t.SetFlag(i, b); });
}

std::string TParamVar::GetStr(int32_t i) const {
  return Forward(EmptyStr(), [&](TCustomParam& t) { return t.GetStr(i); });
}

void TParamVar::SetStr(int32_t i, std::string_view s) {
  ForwardWrite([&](TCustomParam& t) { t.SetStr(i, s); });
}

int32_t TParamVar::DimCount() const {
  return Forward(0, [](TCustomParam& t) { return t.DimCount(); });
}

int32_t TParamVar::GetDim(int32_t index) const {
  return Forward(1, [&](TCustomParam& t) { return t.GetDim(index); });
}

void TParamVar::AssignRaw(const TCustomParam& other) {
  ForwardWrite([&](TCustomParam& t) { t.AssignRaw(other); });
}

void TParamVar::SetDims(std::span<const int32_t> sizes) {
  ForwardWrite([&](TCustomParam& t) { t.SetDims(sizes); });
}

void TParamVar::FillInt(int32_t v) {
  ForwardWrite([&](TCustomParam& t) { t.FillInt(v); });
}

void TParamVar::FillFloat(long double x) {
  ForwardWrite([&](TCustomParam& t) { t.FillFloat(x); });
}

void TParamVar::FillFlag(bool b) {
  ForwardWrite([&](TCustomParam& t) { t.FillFlag(b); });
}

void TParamVar::FillStr(std::string_view s) {
  ForwardWrite([&](TCustomParam& t) { t.FillStr(s); });
}

void TParamVar::CopyMem(const TCustomParam& other) {
  ForwardWrite([&](TCustomParam& t) { t.CopyMem(other); });
}

void TParamVar::MakeScalar() {
  ForwardWrite([](TCustomParam& t) { t.MakeScalar(); });
}

int32_t TParamVar::IndexOfStr(std::string_view s, bool caseSensitive, bool partial) const {
  return Forward(-1, [&](TCustomParam& t) { return t.IndexOfStr(s, caseSensitive, partial); });
}

bool TParamVar::IsDimensionless() const {
  return Forward(true, [](TCustomParam& t) { return t.IsDimensionless(); });
}

void TParamVar::SaveToStream(TStream& stream) const {
  SaveDims(stream);
  WriteStr(stream, FTargetName);
  const TParamCollectionItem* item = Target();
  WriteStr(stream, item ? item->Name() : std::string());
  WriteByte(stream, FReserved);
  WriteInt(stream, FElementIndex);
}

void TParamVar::LoadFromStream(TStream& stream) {
  LoadDims(stream);
  FTargetName = ReadStr(stream);
  const std::string current = ReadStr(stream);
  FReserved = ReadByte(stream);
  FElementIndex = ReadInt(stream);
  SetTarget(FStore && !current.empty() ? FStore->FindVar(current) : nullptr);
}

}  // namespace kest
