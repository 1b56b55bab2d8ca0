#pragma once
// The system function manager: runs function number n of the function table
// for an ocFunc operation. Bodies sit in a table of plain function pointers
// indexed by number, filled by the Register* calls of each family, so a family
// that arrives later only registers its bodies; the evaluator never changes.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "language/custom_param.h"
#include "language/function_hosts.h"
#include "language/function_table.h"

namespace kest {

class TParamCollection;
class TSysFuncMan;

// One argument as the evaluator hands it over: the value, and whether it
// names a variable (a store variable or a temporary) rather than a literal.
struct TFuncArg {
  TCustomParam* Value;
  bool IsVar;
};

// What a body works with. Literal arguments belong to the compiled expression
// and are never written; a body writes only through Var. The argument values
// stay valid until the body itself creates or destroys variables.
struct TFuncCall {
  TSysFuncMan& Funcs;
  TParamCollection& Store;
  TCustomParam& Result;
  std::span<const TFuncArg> Args;

  size_t Count() const { return Args.size(); }
  bool Has(size_t i) const { return i < Args.size(); }
  int32_t Int(size_t i) const { return Args[i].Value->GetAsInt(); }
  long double Float(size_t i) const { return Args[i].Value->GetAsFloat(); }
  bool Flag(size_t i) const { return Args[i].Value->GetAsFlag(); }
  std::string Str(size_t i) const { return Args[i].Value->GetAsStr(); }
  // The argument a body writes to; raises function + ":変数が見つかりません"
  // when it is a literal.
  TCustomParam& Var(size_t i, std::string_view function) const;
  // The variable behind argument i, or nothing for a literal or a missing one.
  TCustomParam* VarOrNull(size_t i) const { return i < Args.size() && Args[i].IsVar ? Args[i].Value : nullptr; }
};

using TSysFunc = void (*)(TFuncCall& call);

// The property types behind GetProp's result, which the scene knows.
class IPropertyTypes {
 public:
  virtual ~IPropertyTypes() = default;
  virtual uint8_t PropertyType(int32_t property) = 0;
};

class TSysFuncMan {
 public:
  // Registers every body that needs no more than the store.
  TSysFuncMan();

  void Register(int32_t number, TSysFunc body);
  TSysFunc Body(int32_t number) const;
  // A number without a body raises, which ends the evaluation like any error.
  void Call(int32_t number, TFuncCall& call) const;

  // The result type of GetProp for a property number; strings until the
  // scene says otherwise.
  uint8_t PropertyType(int32_t property) const;
  IPropertyTypes* PropertyTypes = nullptr;
  // What the bodies reach beyond the store.
  TFunctionHosts Hosts;

  // Evaluations inside evaluations (a Calc inside an expression) nest; past
  // kMaxNesting the innermost one fails instead of exhausting the stack.
  static constexpr int32_t kMaxNesting = 64;
  // Raises when the limit is reached; every successful Enter has its Leave.
  void EnterEvaluation() {
    if (FNesting >= kMaxNesting) NestedTooDeep();
    ++FNesting;
  }
  void LeaveEvaluation() { --FNesting; }
  int32_t Nesting() const { return FNesting; }

 private:
  [[noreturn]] static void NestedTooDeep();

  std::array<TSysFunc, kSysFuncCount> FBodies{};
  int32_t FNesting = 0;
};

}  // namespace kest
