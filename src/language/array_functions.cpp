#include <vector>

#include "language/builtin_functions.h"
#include "language/sys_func_man.h"

namespace kest {

namespace {

constexpr int32_t kFuncGetArraySize = 4;
constexpr int32_t kFuncSetArray = 21;

// GetArraySize(a [, k]): the element count, or with k the size of the k-th
// dimension counted from the last.
void GetArraySizeFn(TFuncCall& c) {
  const TCustomParam& a = c.Var(0, "GetArraySize");
  c.Result.SetAsInt(c.Has(1) ? a.GetDim(a.DimCount() - 1 - c.Int(1)) : a.Count());
}

// SetArray(a, d1, ... dn): a takes those dimensions; the result is unchanged.
void SetArrayFn(TFuncCall& c) {
  TCustomParam& a = c.Var(0, "SetArray");
  std::vector<int32_t> sizes;
  for (size_t i = 1; i < c.Count(); ++i) sizes.push_back(c.Int(i));
  a.SetDims(sizes);
}

}  // namespace

void RegisterArrayFunctions(TSysFuncMan& funcs) {
  funcs.Register(kFuncGetArraySize, GetArraySizeFn);
  funcs.Register(kFuncSetArray, SetArrayFn);
}

}  // namespace kest
