#pragma once
// A compiled expression: three-address operations over named variables, read
// from the expression records of command records and component states and
// run against the variable store. Intermediate values go to temporaries
// ("____0", "____d_0", "____arg") that live for one evaluation; an expression
// that assigns nothing leaves a copy of "____arg" as its Result.
//
// Record: a 4-byte operation count, then per operation its code (1 byte), the
// result name (string), a 4-byte operand count, the function number (1 byte,
// ocFunc only) and the operands, each a tag byte (0 variable name, 1 integer,
// 2 10-byte float, 3 flag byte, 4 string) and its payload. Any other tag reads
// as a variable name.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/extended.h"
#include "common/hash_collection.h"
#include "common/stream.h"
#include "language/custom_param.h"
#include "language/ope_codes.h"

namespace kest {

class TParamCollection;
class TParamCollectionItem;
class TSysFuncMan;
struct TFuncArg;

// One operand: a variable name, or a literal value of one of the four types.
class TOperand {
 public:
  static TOperand Reference(std::string name);
  static TOperand Int(int32_t value);
  // The literal keeps the ten bytes it was given, so a record is written back
  // exactly as it was read, whatever the encoding.
  static TOperand Float(const TExtendedBytes& bytes);
  static TOperand FloatValue(long double value);
  static TOperand Flag(bool value);
  static TOperand Str(std::string value);

  // The record's tag: PT_NONE for a variable name, else the literal's type.
  uint8_t Tag() const { return FTag; }
  bool IsReference() const { return FTag == PT_NONE; }
  // The variable name of a reference.
  const std::string& Name() const { return FName; }
  // The literal; nothing for a reference.
  const TCustomParam* Literal() const { return FLiteral.get(); }
  const TExtendedBytes& FloatBytes() const { return FFloatBytes; }

  void SaveToStream(TStream& stream) const;
  static TOperand LoadFromStream(TStream& stream);
  TOperand Clone() const;

 private:
  friend class TKestParser;
  uint8_t FTag = PT_NONE;
  std::string FName;
  TParamPtr FLiteral;
  TExtendedBytes FFloatBytes{};
};

// One operation of a compiled expression.
struct TOpeData {
  uint8_t Op = ocNone;
  std::string ResultName;
  uint8_t FuncId = 0;  // ocFunc only
  std::vector<TOperand> Operands;

  TOpeData Clone() const;
};

class TKestParser {
 public:
  TKestParser();
  ~TKestParser();
  TKestParser(TKestParser&&) noexcept;
  TKestParser& operator=(TKestParser&&) noexcept;

  // Replaces the operations. A damaged record raises EReadError and leaves
  // the parser as it was; counts are checked against the bytes left first.
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream) const;
  // Copies every operation of other with new operand values.
  void Assign(const TKestParser& other);
  void Clear();

  // Runs the operations against the store. The first error ends the
  // evaluation silently: the writes made so far stay, the remaining
  // operations are skipped, and there is no Result.
  void Execute(TParamCollection& store, TSysFuncMan& funcs);
  // The copy of "____arg" the last Execute left, or nothing. It stays until
  // the next Execute.
  const TCustomParam* Result() const { return FHasResult ? FResult.get() : nullptr; }
  // The message of the error that ended the last Execute; empty when none.
  const std::string& LastError() const { return FLastError; }

  const std::vector<TOpeData>& Operations() const { return FOps; }

 private:
  struct TPrepared;
  struct TFrame;
  void Prepare();
  void Run(TFrame& frame, TParamCollection& store, TSysFuncMan& funcs);
  static void NextStamp(TFrame& frame);
  static TParamCollectionItem* Lookup(TFrame& frame, TParamCollection& store, int32_t name, const THashKey& key);
  void KeepResult(TFrame& frame);

  std::vector<TOpeData> FOps;
  std::unique_ptr<TPrepared> FPrepared;
  std::unique_ptr<TFrame> FFrame;
  bool FRunning = false;
  TParamPtr FResult;
  bool FHasResult = false;
  std::string FLastError;
};

}  // namespace kest
