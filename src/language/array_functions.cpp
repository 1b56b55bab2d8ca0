// The array functions: sizes, filling and copying whole arrays, and growing
// and shrinking one-dimensional arrays. Positions in arrays are 0-based.
#include <algorithm>
#include <array>
#include <vector>

#include "common/errors.h"
#include "common/sjis.h"
#include "language/builtin_functions.h"
#include "language/param_errors.h"
#include "language/param_types.h"
#include "language/sys_func_man.h"

namespace kest {

namespace {

constexpr int32_t kFuncGetArraySize = 4;
constexpr int32_t kFuncSetArray = 21;
constexpr int32_t kFuncFillMem = 22;
constexpr int32_t kFuncCopyMem = 23;
constexpr int32_t kFuncAddArray = 66;
constexpr int32_t kFuncInsertArray = 67;
constexpr int32_t kFuncDeleteArray = 68;
constexpr int32_t kFuncCopyArray = 70;

bool IsTyped(uint8_t type) { return type >= PT_INT && type <= PT_STR; }

// Element d of dest := element s of src, converted to dest's type.
void CopyElement(TCustomParam& dest, int32_t d, const TCustomParam& src, int32_t s) {
  switch (dest.ParamType()) {
    case PT_INT: dest.SetInt(d, src.GetInt(s)); break;
    case PT_FLOAT: dest.SetFloat(d, src.GetFloat(s)); break;
    case PT_BOOL: dest.SetFlag(d, src.GetFlag(s)); break;
    default: dest.SetStr(d, src.GetStr(s)); break;
  }
}

void Resize(TCustomParam& a, int32_t count) {
  const std::array<int32_t, 1> sizes{count};
  a.SetDims(sizes);
}

// GetArraySize(a [, k]): the element count, or with k the size of the k-th
// dimension counted from the last.
void GetArraySizeFn(TFuncCall& c) {
  const TCustomParam& a = c.Var(0, "GetArraySize");
  if (!c.Has(1)) {
    c.Result.SetAsInt(a.Count());
    return;
  }
  // Counted in 64 bits: k may be any integer, and any k out of range gives 1.
  const int64_t index = int64_t{a.DimCount()} - 1 - c.Int(1);
  c.Result.SetAsInt(index < 0 || index >= a.DimCount() ? 1 : a.GetDim(static_cast<int32_t>(index)));
}

// SetArray(a, d1, ... dn): a takes those dimensions; the result is unchanged.
void SetArrayFn(TFuncCall& c) {
  TCustomParam& a = c.Var(0, "SetArray");
  std::vector<int32_t> sizes;
  for (size_t i = 1; i < c.Count(); ++i) sizes.push_back(c.Int(i));
  a.SetDims(sizes);
}

// FillMem(a, v): v is read as a's own type.
void FillMemFn(TFuncCall& c) {
  TCustomParam& a = c.Var(0, "FillMem");
  switch (a.ParamType()) {
    case PT_INT: a.FillInt(c.Int(1)); break;
    case PT_FLOAT: a.FillFloat(c.Float(1)); break;
    case PT_BOOL: a.FillFlag(c.Flag(1)); break;
    case PT_STR: a.FillStr(c.Str(1)); break;
    default: break;
  }
}

void CopyMemFn(TFuncCall& c) {
  TCustomParam& dest = c.Var(0, "CopyMem");
  const TCustomParam& src = c.Var(1, "CopyMem");
  if (dest.ParamType() != src.ParamType()) throw EKestError(Utf8ToCp932("CopyMem:変数の型があいません"));
  dest.CopyMem(src);
}

// src's elements in dest's type, taken before dest changes: the source may be
// the destination itself, or a reference into it.
TParamPtr Snapshot(const TCustomParam& dest, const TCustomParam& src) {
  TParamPtr copy = CreateParam(dest.ParamType());
  copy->AssignConvert(src);
  return copy;
}

// Adding and inserting work on one-dimensional arrays and scalars only; any
// other shape, or a destination without a type, is left as it is.
bool CanGrow(const TCustomParam& dest, const TCustomParam& src) {
  return dest.DimCount() == 1 && src.DimCount() == 1 && IsTyped(dest.ParamType());
}

// Inserts src's elements at index (clamped to 0..n) and answers the new count.
int32_t InsertElements(TCustomParam& dest, int32_t index, const TCustomParam& src) {
  const int32_t n = dest.Count();
  if (!CanGrow(dest, src)) return n;
  const TParamPtr items = Snapshot(dest, src);
  const int32_t m = items->Count();
  const int32_t at = std::clamp(index, 0, n);
  Resize(dest, n + m);
  for (int32_t i = n - 1; i >= at; --i) CopyElement(dest, i + m, dest, i);
  for (int32_t i = 0; i < m; ++i) CopyElement(dest, at + i, *items, i);
  return n + m;
}

void AddArrayFn(TFuncCall& c) {
  TCustomParam& dest = c.Var(0, "AddArray");
  const TCustomParam& src = *c.Args[1].Value;
  c.Result.SetAsInt(InsertElements(dest, dest.Count(), src));
}

void InsertArrayFn(TFuncCall& c) {
  TCustomParam& dest = c.Var(0, "InsertArray");
  const int32_t index = c.Int(1);
  c.Result.SetAsInt(InsertElements(dest, index, *c.Args[2].Value));
}

// A negative count deletes nothing. Deleting every element is refused with
// the store's size error before anything moves, so the array stays whole.
void DeleteArrayFn(TFuncCall& c) {
  TCustomParam& a = c.Var(0, "DeleteArray");
  const int32_t n = a.Count();
  if (a.DimCount() > 1 || n < 1) {
    c.Result.SetAsInt(n);
    return;
  }
  const int32_t index = std::clamp(c.Int(1), 0, n - 1);
  const int32_t count = std::clamp(c.Int(2), 0, n - index);
  const std::array<int32_t, 1> remaining{n - count};
  if (remaining[0] < 1) throw EKestError(ErrBadDims(remaining));
  if (count > 0) {
    for (int32_t i = index; i + count < n; ++i) CopyElement(a, i, a, i + count);
    a.SetDims(remaining);
  }
  c.Result.SetAsInt(n - count);
}

void CopyArrayFn(TFuncCall& c) {
  TCustomParam& dest = c.Var(0, "CopyArray");
  const TCustomParam& src = *c.Args[1].Value;
  if (IsTyped(dest.ParamType())) dest.AssignConvert(*Snapshot(dest, src));
  c.Result.SetAsFlag(true);
}

}  // namespace

void RegisterArrayFunctions(TSysFuncMan& funcs) {
  funcs.Register(kFuncGetArraySize, GetArraySizeFn);
  funcs.Register(kFuncSetArray, SetArrayFn);
  funcs.Register(kFuncFillMem, FillMemFn);
  funcs.Register(kFuncCopyMem, CopyMemFn);
  funcs.Register(kFuncAddArray, AddArrayFn);
  funcs.Register(kFuncInsertArray, InsertArrayFn);
  funcs.Register(kFuncDeleteArray, DeleteArrayFn);
  funcs.Register(kFuncCopyArray, CopyArrayFn);
}

}  // namespace kest
