#include "language/typed_param.h"

#include <typeinfo>

#include "common/errors.h"
#include "language/param_errors.h"

namespace kest {

template <typename Traits>
void TTypedParam<Traits>::SetCount(int32_t n) {
  if (n < 0 || n > kMaxParamElements) throw EKestError(ErrBadElementCount(std::to_string(n)));
  FValues.resize(static_cast<size_t>(n));
}

template <typename Traits>
std::string TTypedParam<Traits>::GetAsStr() const {
  if (FValues.empty()) return Traits::ToStr(TElem{});
  return Traits::ToStr(FValues[0]);
}

template <typename Traits>
const typename Traits::TElem& TTypedParam<Traits>::At(int32_t i) const {
  if (i < 0 || i >= Count()) throw EKestError(ErrBadIndex(i));
  return FValues[static_cast<size_t>(i)];
}

template <typename Traits>
typename Traits::TElem& TTypedParam<Traits>::At(int32_t i) {
  if (i < 0 || i >= Count()) throw EKestError(ErrBadIndex(i));
  return FValues[static_cast<size_t>(i)];
}

template <typename Traits>
void TTypedParam<Traits>::SetScalar(TElem v) {
  MakeScalar();
  FValues[0] = std::move(v);
}

template <typename Traits>
void TTypedParam<Traits>::MakeScalar() {
  if (!FDims.empty()) {
    FDims.clear();
    FValues.resize(1);
  }
  if (FValues.empty()) FValues.resize(1);
}

template <typename Traits>
void TTypedParam<Traits>::AssignRaw(const TCustomParam& other) {
  TCustomParam::AssignRaw(other);
  // The class is final, so an exact type check stands for the cast; every
  // evaluation's result comes through here.
  if (typeid(other) == typeid(TTypedParam)) FValues = static_cast<const TTypedParam&>(other).FValues;
}

template <typename Traits>
void TTypedParam<Traits>::CopyMem(const TCustomParam& other) {
  TCustomParam::CopyMem(other);
  if (const auto* same = dynamic_cast<const TTypedParam*>(&other)) FValues = same->FValues;
}

template <typename Traits>
void TTypedParam<Traits>::Fill(const TElem& v) {
  for (TElem& e : FValues) e = v;
}

template <typename Traits>
void TTypedParam<Traits>::FillInt(int32_t v) {
  if constexpr (Traits::Code == PT_INT) Fill(v);
}

template <typename Traits>
void TTypedParam<Traits>::FillFloat(long double x) {
  if constexpr (Traits::Code == PT_FLOAT) Fill(x);
}

template <typename Traits>
void TTypedParam<Traits>::FillFlag(bool b) {
  if constexpr (Traits::Code == PT_BOOL) Fill(b ? 1 : 0);
}

template <typename Traits>
void TTypedParam<Traits>::FillStr(std::string_view s) {
  if constexpr (Traits::Code == PT_STR) Fill(std::string(s));
}

template <typename Traits>
void TTypedParam<Traits>::SaveToStream(TStream& stream) const {
  SaveDims(stream);
  WriteInt(stream, Count());
  for (const TElem& e : FValues) Traits::Write(stream, e);
}

// An array's element count must be the product of its sizes, so every index
// the dimensions allow has its element; a value without sizes may hold any
// number (a copy of a key table has 258).
template <typename Traits>
void TTypedParam<Traits>::LoadFromStream(TStream& stream) {
  LoadDims(stream);
  const int32_t n = ReadInt(stream);
  const bool fits = FDims.empty() ? n >= 0 && n <= kMaxParamElements : n == ElementCount(FDims);
  if (!fits) throw EReadError();
  RequireRemaining(stream, int64_t{n} * Traits::StoredBytes);
  std::vector<TElem> values(static_cast<size_t>(n));
  for (TElem& e : values) e = Traits::Read(stream);
  FValues = std::move(values);
}

template <typename Traits>
int32_t TTypedParam<Traits>::IndexOfStr(std::string_view s, bool caseSensitive, bool partial) const {
  if constexpr (Traits::Code != PT_STR) {
    return TCustomParam::IndexOfStr(s, caseSensitive, partial);
  } else {
    for (size_t i = 0; i < FValues.size(); ++i) {
      if (StrMatches(FValues[i], s, caseSensitive, partial)) return static_cast<int32_t>(i);
    }
    return -1;
  }
}

template class TTypedParam<TIntTraits>;
template class TTypedParam<TFloatTraits>;
template class TTypedParam<TFlagTraits>;
template class TTypedParam<TStrTraits>;

}  // namespace kest
