#pragma once
// The form in which a TKestParser runs: every operand and result classified
// once (literal, store variable with its hash made, or temporary slot), and
// the per-evaluation slots of the temporaries. Private to the parser's files.

#include <cstdint>
#include <string>
#include <vector>

#include "common/hash_collection.h"
#include "language/kest_parser.h"
#include "language/sys_func_man.h"

namespace kest {

enum TOperandKind : uint8_t { okLiteral, okStore, okTemp };

struct TPreparedOperand {
  uint8_t Kind;
  int32_t Slot;           // okTemp; for okStore the entry in the lookup cache
  TCustomParam* Literal;  // okLiteral; never written
  uint8_t LiteralType;
  THashKey Key;  // the variable name, for okStore and for temporaries not made here
};

struct TPreparedOp {
  uint8_t Op;
  uint8_t FuncId;
  int32_t ResultSlot;   // -1 for a store variable
  int32_t ResultEntry;  // a store variable's entry in the lookup cache
  THashKey ResultKey;
  const std::string* ResultName;
  uint32_t First;
  uint32_t Count;
};

struct TKestParser::TPrepared {
  std::vector<TPreparedOperand> Operands;
  std::vector<TPreparedOp> Ops;
  int32_t SlotCount = 0;
  // Distinct names of store variables, each with an entry in the lookup cache.
  int32_t NameCount = 0;
  uint32_t MaxOperands = 0;
  // The slot of "____arg" when the last operation copies into it, else -1.
  int32_t ResultSlot = -1;
};

struct TKestParser::TFrame {
  TParamCollection* Store = nullptr;
  // A slot is live, and a cache entry valid, while its stamp equals the
  // frame's: a new evaluation (or a call, for the cache) moves the frame's
  // stamp on, which empties them all without touching them.
  uint32_t Stamp = 0;
  uint32_t FoundStamp = 0;
  std::vector<TParamPtr> Slots;
  std::vector<uint32_t> Live;
  // What each store name found in this evaluation: only a call can add or
  // remove variables, so the entries last until the next call.
  struct TFound {
    TParamCollectionItem* Item;
    uint32_t Stamp;
  };
  std::vector<TFound> Found;
  std::vector<TCustomParam*> Values;
  std::vector<uint8_t> IsVar;
  std::vector<uint8_t> Types;  // a literal's type, or kUnknownType
  std::vector<TFuncArg> FuncArgs;
  std::vector<int32_t> Indices;
};

}  // namespace kest
