#include "language/sys_func_man.h"

#include "common/errors.h"
#include "language/builtin_functions.h"
#include "language/expression_errors.h"
#include "language/param_types.h"

namespace kest {

TCustomParam& TFuncCall::Var(size_t i, std::string_view function) const {
  if (i >= Args.size() || !Args[i].IsVar) throw EKestError(ErrNeedVariable(function));
  return *Args[i].Value;
}

TSysFuncMan::TSysFuncMan() {
  RegisterStringFunctions(*this);
  RegisterMathFunctions(*this);
  RegisterEvalFunctions(*this);
  RegisterStackFunctions(*this);
  RegisterArrayFunctions(*this);
  RegisterArrayTextFunctions(*this);
  RegisterVariableFunctions(*this);
  RegisterPathFunctions(*this);
  RegisterDateFunctions(*this);
  RegisterFileFunctions(*this);
  RegisterDesktopFunctions(*this);
  RegisterSceneFunctions(*this);
  RegisterGameStateFunctions(*this);
}

void TSysFuncMan::Register(int32_t number, TSysFunc body) {
  if (FindFunc(number)) FBodies[static_cast<size_t>(number)] = body;
}

TSysFunc TSysFuncMan::Body(int32_t number) const {
  return number >= 0 && number < kSysFuncCount ? FBodies[static_cast<size_t>(number)] : nullptr;
}

// A stored record may carry any number of arguments; bodies rely on the
// table's range, so it is checked here for every call.
void TSysFuncMan::Call(int32_t number, TFuncCall& call) const {
  const TSysFunc body = Body(number);
  if (!body) throw EKestError(ErrNoFunctionBody(number));
  const TFuncInfo& info = *FindFunc(number);
  if (!info.TakesArgs(static_cast<int32_t>(call.Count()))) throw EKestError(ErrArgCount(info.Name));
  body(call);
}

uint8_t TSysFuncMan::PropertyType(int32_t property) const {
  return PropertyTypes ? PropertyTypes->PropertyType(property) : uint8_t{PT_STR};
}

void TSysFuncMan::NestedTooDeep() { throw EKestError(ErrNestedTooDeep()); }

}  // namespace kest
