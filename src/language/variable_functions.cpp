// The functions about variables themselves: whether one exists, its type,
// where @Temp points, and the push stack of saved variable sets.
#include <string>
#include <vector>

#include "language/builtin_functions.h"
#include "language/param_collection.h"
#include "language/sys_func_man.h"

namespace kest {

namespace {

constexpr int32_t kFuncVarExists = 50;
constexpr int32_t kFuncAssignTemp = 84;
constexpr int32_t kFuncGetVarType = 130;
constexpr int32_t kFuncPushVar = 155;
constexpr int32_t kFuncPopVar = 156;

void VarExistsFn(TFuncCall& c) { c.Result.SetAsFlag(c.Store.FindVar(c.Str(0)) != nullptr); }

void AssignTempFn(TFuncCall& c) { c.Result.SetAsFlag(c.Store.AssignTemp(c.Str(0))); }

void GetVarTypeFn(TFuncCall& c) { c.Result.SetAsInt(c.Args[0].Value->ParamType()); }

// Every argument is read as a variable name; names of no variable are left
// out of the set.
void PushVarFn(TFuncCall& c) {
  std::vector<std::string> names;
  names.reserve(c.Count());
  for (size_t i = 0; i < c.Count(); ++i) names.push_back(c.Str(i));
  c.Store.PushVar(names);
  c.Result.SetAsFlag(true);
}

// The result is written first: popping may destroy and make again the very
// variable the result would go to.
void PopVarFn(TFuncCall& c) {
  c.Result.SetAsFlag(true);
  c.Store.PopVar();
}

}  // namespace

void RegisterVariableFunctions(TSysFuncMan& funcs) {
  funcs.Register(kFuncVarExists, VarExistsFn);
  funcs.Register(kFuncAssignTemp, AssignTempFn);
  funcs.Register(kFuncGetVarType, GetVarTypeFn);
  funcs.Register(kFuncPushVar, PushVarFn);
  funcs.Register(kFuncPopVar, PopVarFn);
}

}  // namespace kest
