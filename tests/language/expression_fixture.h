#pragma once
// A store with a few variables, the function manager, and helpers that build
// expression records byte by byte as the format lays them out.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/sjis.h"
#include "common/stream.h"
#include "language/build_kest_parser.h"
#include "language/kest_parser.h"
#include "language/param_collection.h"
#include "language/record_bytes.h"
#include "language/sys_func_man.h"

namespace kest::test {

// One operation record: code, result name, operand count, the function
// number for ocFunc, then the operands the caller appends.
inline RecordBytes OpHead(uint8_t op, std::string_view result, int32_t operands, int funcId = -1) {
  RecordBytes r;
  r.Byte(op).Str(result).Int(operands);
  if (funcId >= 0) r.Byte(static_cast<uint8_t>(funcId));
  return r;
}

inline RecordBytes& RefOperand(RecordBytes& r, std::string_view name) { return r.Byte(0).Str(name); }
inline RecordBytes& IntOperand(RecordBytes& r, int32_t v) { return r.Byte(1).Int(v); }
inline RecordBytes& FlagOperand(RecordBytes& r, bool b) { return r.Byte(3).Byte(b ? 1 : 0); }
inline RecordBytes& StrOperand(RecordBytes& r, std::string_view s) { return r.Byte(4).Str(s); }

class ExpressionTest : public ::testing::Test {
 protected:
  TCustomParam& Var(std::string_view name, uint8_t type) {
    return *Store.CreateVar(name, type, PS_GLOBAL).Item->Value();
  }
  TCustomParam* Find(std::string_view name) {
    TParamCollectionItem* item = Store.FindVar(name);
    return item ? item->Value() : nullptr;
  }

  TKestParser Load(const std::vector<uint8_t>& bytes) {
    TByteStream in{std::span<const uint8_t>(bytes)};
    TKestParser p;
    p.LoadFromStream(in);
    EXPECT_EQ(in.Remaining(), 0);
    return p;
  }
  static std::vector<uint8_t> Save(const TKestParser& p) {
    TByteStream out;
    p.SaveToStream(out);
    return out.Bytes();
  }
  static std::vector<uint8_t> Compiled(std::string_view text) {
    TBuildKestParser b;
    b.Parse(text);
    TByteStream out;
    b.SaveToStream(out);
    return out.Bytes();
  }

  // Runs UTF-8 text and answers its Result as a CP932 string ("<none>"
  // without one); Eval answers in UTF-8.
  std::string EvalRaw(std::string_view text) {
    TKestParser p = TBuildKestParser::Compile(Utf8ToCp932(text));
    p.Execute(Store, Funcs);
    return p.Result() ? p.Result()->GetAsStr() : "<none>";
  }
  std::string Eval(std::string_view text) { return Cp932ToUtf8(EvalRaw(text)); }
  void Run(std::string_view text) {
    TKestParser p = TBuildKestParser::Compile(Utf8ToCp932(text));
    p.Execute(Store, Funcs);
  }

  TParamCollection Store;
  TSysFuncMan Funcs;
};

}  // namespace kest::test
