// Every number of the function table, called from compiled expressions: with
// as many arguments as it takes at least, it runs its body (whatever that
// body then makes of the arguments); with one too few or one too many the
// compiler refuses it, and so does the evaluator when a stored record has
// the wrong count. The table functions come with the tables and say so.
#include "common/errors.h"
#include "language/expression_errors.h"
#include "language/expression_fixture.h"
#include "language/ope_codes.h"

namespace kest::test {
namespace {

bool IsTableFunction(int32_t number) { return (number >= 87 && number <= 124) || number >= 159; }

class FunctionCalls : public ExpressionTest {
 protected:
  // "Name(v, w, v, ...)" with `count` arguments; the arguments are variables,
  // so bodies that write one have somewhere to write.
  static std::string Call(const TFuncInfo& info, int32_t count) {
    std::string text = "r = " + std::string(info.Name) + "(";
    for (int32_t k = 0; k < count; ++k) text += k == 0 ? "v" : (k % 2 ? ", w" : ", v");
    return text + ")";
  }
  // A stored record calling the number with `count` literal arguments.
  std::string RunStored(int32_t number, int32_t count) {
    RecordBytes r;
    r.Int(1);
    RecordBytes op = OpHead(ocFunc, "____0", count, number);
    for (int32_t k = 0; k < count; ++k) IntOperand(op, 1);
    TKestParser p = Load(r.Append(op).Bytes());
    p.Execute(Store, Funcs);
    return p.LastError();
  }
};

TEST_F(FunctionCalls, EveryNumberHasABodyAndItsArgumentRange) {
  int32_t rows = 0;
  for (int32_t number = 0; number < kSysFuncCount; ++number) {
    const TFuncInfo* info = FindFunc(number);
    if (!info) continue;
    ++rows;
    SCOPED_TRACE(std::string(info->Name));
    // A store of its own: a body may turn its arguments into arrays.
    TParamCollection store;
    for (const char* name : {"v", "w", "r"}) store.CreateVar(name, PT_STR, PS_GLOBAL).Item->Value()->SetAsStr("1");
    TKestParser p = TBuildKestParser::Compile(Call(*info, info->MinArgs));
    p.Execute(store, Funcs);
    if (IsTableFunction(number)) {
      EXPECT_EQ(p.LastError(), ErrNoFunctionBody(number));
    } else {
      EXPECT_NE(p.LastError(), ErrNoFunctionBody(number));
      EXPECT_NE(p.LastError(), ErrArgCount(info->Name));
    }
    if (info->MinArgs > 0) {
      EXPECT_THROW(TBuildKestParser::Compile(Call(*info, info->MinArgs - 1)), EKestError);
      EXPECT_EQ(RunStored(number, info->MinArgs - 1), ErrArgCount(info->Name));
    }
    if (info->MaxArgs != kNoArgLimit) {
      EXPECT_THROW(TBuildKestParser::Compile(Call(*info, info->MaxArgs + 1)), EKestError);
      EXPECT_EQ(RunStored(number, info->MaxArgs + 1), ErrArgCount(info->Name));
    }
  }
  EXPECT_EQ(rows, kSysFuncCount - 1);
}

TEST_F(FunctionCalls, NumberTwentyHasNoRow) {
  EXPECT_EQ(FindFunc(20), nullptr);
  EXPECT_EQ(RunStored(20, 0), ErrNoSuchFunction(20));
}

}  // namespace
}  // namespace kest::test
