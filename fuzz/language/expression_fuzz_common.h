#pragma once
// What both expression fuzzers do with a compiled expression: run it against
// a store with variables of every type, write it out, and, for small ones,
// check that the decompiled text compiles back to the same record.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "common/errors.h"
#include "common/stream.h"
#include "language/build_kest_parser.h"
#include "language/expression_decompiler.h"
#include "language/param_collection.h"
#include "language/sys_func_man.h"

namespace kest::fuzz {

inline void Check(bool condition) {
  if (!condition) std::abort();
}

inline std::vector<uint8_t> Saved(const TKestParser& parser) {
  TByteStream out;
  parser.SaveToStream(out);
  return out.TakeBytes();
}

inline void Populate(TParamCollection& store) {
  store.CreateVar("a", PT_INT, PS_GLOBAL).Item->Value()->SetAsInt(3);
  store.CreateVar("f", PT_FLOAT, PS_GLOBAL).Item->Value()->SetAsFloat(1.5);
  store.CreateVar("s", PT_STR, PS_GLOBAL).Item->Value()->SetAsStr("abc");
  store.CreateVar("k", PT_BOOL, PS_GLOBAL).Item->Value()->SetAsFlag(true);
  const int32_t dims[] = {3, 4};
  store.CreateVar("x", PT_INT, PS_GLOBAL).Item->Value()->SetDims(dims);
}

// The decompiler compiles many candidates; only small records are worth it.
constexpr size_t kDecompileOps = 6;

inline void Exercise(TKestParser& parser) {
  const std::vector<uint8_t> first = Saved(parser);
  TByteStream in(first);
  TKestParser again;
  again.LoadFromStream(in);
  Check(in.Remaining() == 0 && Saved(again) == first);

  TParamCollection store;
  Populate(store);
  TSysFuncMan funcs;
  const int32_t before = store.Count();
  parser.Execute(store, funcs);
  parser.Execute(store, funcs);
  Check(funcs.Nesting() == 0);
  Check(store.Count() == before);

  if (parser.Operations().size() > kDecompileOps) return;
  if (const std::optional<std::string> text = DecompileExpression(parser)) {
    TBuildKestParser builder;
    builder.Parse(*text);
    TByteStream out;
    builder.SaveToStream(out);
    Check(out.Bytes() == first);
  }
}

}  // namespace kest::fuzz
