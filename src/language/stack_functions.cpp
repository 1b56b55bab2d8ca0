#include "language/builtin_functions.h"
#include "language/function_table.h"
#include "language/param_collection.h"
#include "language/sys_func_man.h"

namespace kest {

namespace {

// DeleteStack(n): drops saved frame n with the variables of call depth n;
// the result tells whether n named a frame.
void DeleteStackFn(TFuncCall& c) {
  ICallStackHost* host = c.Store.Hosts.CallStack;
  const int32_t n = c.Int(0);
  const bool valid = host && n >= 0 && n < host->StackCount();
  c.Result.SetAsFlag(valid);
  if (!valid) return;
  c.Store.DeleteOwned(n);
  host->DeleteFrame(n);
  c.Store.LowerOwners(n);
}

}  // namespace

void RegisterStackFunctions(TSysFuncMan& funcs) { funcs.Register(kFuncDeleteStack, DeleteStackFn); }

}  // namespace kest
