// Running a compiled expression. Every name is looked up anew on each run, as
// the store may have changed between runs; temporaries live in slots of this
// evaluation only, so an evaluation nested inside another (a Calc inside an
// expression) never sees or changes the temporaries of the outer one.
#include <cmath>
#include <cstring>

#include "common/errors.h"
#include "language/expression_errors.h"
#include "language/kest_parser.h"
#include "language/kest_parser_prepared.h"
#include "language/param_collection.h"
#include "language/param_errors.h"
#include "language/param_var.h"
#include "language/typed_param.h"

namespace kest {
namespace {

constexpr int32_t kPropertyCount = 165;

constexpr uint8_t kUnknownType = 0xFF;

// The type of operand k: a literal's is known, a variable's is asked once.
uint8_t TypeOf(TCustomParam* const* v, uint8_t* types, uint32_t k) {
  if (types[k] == kUnknownType) types[k] = v[k]->ParamType();
  return types[k];
}

// What a new temporary's type is, by the operation and its operands.
uint8_t ArithmeticType(TCustomParam* const* v, uint8_t* types) {
  return TypeOf(v, types, 0) == PT_FLOAT || TypeOf(v, types, 1) == PT_FLOAT ? PT_FLOAT : PT_INT;
}

uint8_t TempType(const TPreparedOp& op, TCustomParam* const* v, uint8_t* types, const TSysFuncMan& funcs) {
  switch (op.Op) {
    case ocTo: return TypeOf(v, types, 0);
    case ocPlus: return TypeOf(v, types, 0) == PT_STR ? uint8_t{PT_STR} : ArithmeticType(v, types);
    case ocMinus:
    case ocMul:
    case ocDiv: return ArithmeticType(v, types);
    case ocMod:
    case ocOr:
    case ocAnd:
    case ocXor:
    case ocShiftL:
    case ocShiftR: return PT_INT;
    case ocEqual:
    case ocBig:
    case ocSmall:
    case ocEBig:
    case ocESmall:
    case ocNEqual: return PT_BOOL;
    case ocComboStr: return PT_STR;
    case ocDimTo: return PT_NONE;
    default: break;
  }
  const TFuncInfo* info = FindFunc(op.FuncId);
  if (!info) throw EKestError(ErrNoSuchFunction(op.FuncId));
  if (!info->TakesArgs(static_cast<int32_t>(op.Count))) throw EKestError(ErrArgCount(info->Name));
  if (op.FuncId != kFuncGetProp) return info->ResultType;
  const int32_t property = v[1]->GetAsInt();
  if (property < 0 || property >= kPropertyCount) throw EKestError(ErrGetPropArgs());
  return funcs.PropertyType(property);
}

// The operands each code needs at least; a record with fewer is refused when
// the operation runs.
uint32_t MinOperands(uint8_t op) {
  switch (op) {
    case ocTo:
    case ocDimTo: return 1;
    case ocFunc: return 0;
    default: return 2;
  }
}

// The text names the operation and shows the operands that were found.
[[noreturn]] void ThrowBadOperation(const TPreparedOp& op, TCustomParam* const* v, uint32_t found) {
  const std::string_view name = OpName(op.Op);
  std::string text = ErrBadOperation(*op.ResultName, name.empty() ? std::to_string(op.Op) : std::string(name));
  for (uint32_t k = 0; k < found; ++k) text += "\r\n" + v[k]->GetAsStr();
  throw EKestError(text);
}

void RequireFinite(long double x) {
  if (!std::isfinite(x)) throw EKestError(ErrNotFinite());
}

// 32-bit arithmetic wraps, computed unsigned so no overflow is undefined.
int32_t Wrap(uint32_t v) { return static_cast<int32_t>(v); }

int32_t IntArithmetic(uint8_t op, int32_t a, int32_t b) {
  const auto ua = static_cast<uint32_t>(a);
  const auto ub = static_cast<uint32_t>(b);
  switch (op) {
    case ocPlus: return Wrap(ua + ub);
    case ocMinus: return Wrap(ua - ub);
    case ocMul: return Wrap(ua * ub);
    default:
      if (b == 0) throw EKestError(ErrDivisionByZero());
      // The one quotient that does not fit wraps round to itself.
      if (b == -1) return Wrap(0u - ua);
      return a / b;
  }
}

long double FloatArithmetic(uint8_t op, long double a, long double b) {
  long double r;
  switch (op) {
    case ocPlus: r = a + b; break;
    case ocMinus: r = a - b; break;
    case ocMul: r = a * b; break;
    default:
      if (b == 0) throw EKestError(ErrDivisionByZero());
      r = a / b;
      break;
  }
  RequireFinite(r);
  return r;
}

int32_t IntOperation(uint8_t op, int32_t a, int32_t b) {
  const auto ua = static_cast<uint32_t>(a);
  switch (op) {
    case ocMod:
      if (b == 0) throw EKestError(ErrDivisionByZero());
      return b == -1 ? 0 : a % b;
    case ocOr: return a | b;
    case ocAnd: return a & b;
    case ocXor: return a ^ b;
    case ocShiftL: return Wrap(ua << (static_cast<uint32_t>(b) & 31));
    default: return Wrap(ua >> (static_cast<uint32_t>(b) & 31));
  }
}

// -1, 0 or 1 by the type of the left operand.
int Compare(const TCustomParam& a, const TCustomParam& b) {
  switch (a.ParamType()) {
    case PT_STR: {
      const int c = a.GetAsStr().compare(b.GetAsStr());
      return (c > 0) - (c < 0);
    }
    case PT_FLOAT: {
      const long double x = a.GetAsFloat();
      const long double y = b.GetAsFloat();
      return x < y ? -1 : x > y ? 1 : x == y ? 0 : 2;
    }
    case PT_BOOL: return static_cast<int>(a.GetAsFlag()) - static_cast<int>(b.GetAsFlag());
    default: {
      const int32_t x = a.GetAsInt();
      const int32_t y = b.GetAsInt();
      return (x > y) - (x < y);
    }
  }
}

// An outcome of 2 means unordered (a NaN), which satisfies only "<>".
bool CompareHolds(uint8_t op, int c) {
  switch (op) {
    case ocEqual: return c == 0;
    case ocNEqual: return c != 0;
    case ocBig: return c == 1;
    case ocSmall: return c == -1;
    case ocEBig: return c == 1 || c == 0;
    default: return c == -1 || c == 0;
  }
}

void AssignTo(TCustomParam& result, uint8_t type, const TCustomParam& value) {
  switch (type) {
    case PT_INT: result.SetAsInt(value.GetAsInt()); break;
    case PT_FLOAT: result.SetAsFloat(value.GetAsFloat()); break;
    case PT_BOOL: result.SetAsFlag(value.GetAsFlag()); break;
    case PT_STR: result.SetAsStr(value.GetAsStr()); break;
    default: break;
  }
}

void ResetTemp(TCustomParam& t, uint8_t type) {
  switch (type) {
    case PT_INT: t.SetAsInt(0); break;
    case PT_FLOAT: t.SetAsFloat(0); break;
    case PT_BOOL: t.SetAsFlag(false); break;
    default: t.SetAsStr({}); break;
  }
}

}  // namespace

void TKestParser::Execute(TParamCollection& store, TSysFuncMan& funcs) {
  FHasResult = false;
  FLastError.clear();
  if (!FPrepared) Prepare();
  // A parser run again from inside its own run (a body that evaluates this
  // very expression) gets a frame of its own.
  std::unique_ptr<TFrame> own;
  TFrame* frame;
  if (FRunning) {
    own = std::make_unique<TFrame>();
    frame = own.get();
  } else {
    if (!FFrame) FFrame = std::make_unique<TFrame>();
    frame = FFrame.get();
  }
  const bool outer = !FRunning;
  FRunning = true;
  try {
    funcs.EnterEvaluation();
    try {
      Run(*frame, store, funcs);
    } catch (...) {
      funcs.LeaveEvaluation();
      throw;
    }
    funcs.LeaveEvaluation();
  } catch (const std::exception& e) {
    FHasResult = false;
    FLastError = e.what();
  }
  if (outer) FRunning = false;
}

TParamCollectionItem* TKestParser::Lookup(TFrame& frame, TParamCollection& store, int32_t name, const THashKey& key) {
  TFrame::TFound& found = frame.Found[static_cast<size_t>(name)];
  if (found.Stamp != frame.FoundStamp) {
    found.Item = store.FindVar(key);
    if (!found.Item) throw EKestError(ErrNoVariable(key.Name));
    found.Stamp = frame.FoundStamp;
  }
  return found.Item;
}

// Stamps start at 1, so zeroed entries are never taken for current ones; on
// the rare wrap every entry is zeroed again.
void TKestParser::NextStamp(TFrame& frame) {
  if (++frame.Stamp == 0 || ++frame.FoundStamp == 0) {
    std::fill(frame.Live.begin(), frame.Live.end(), 0);
    for (TFrame::TFound& f : frame.Found) f = {nullptr, 0};
    frame.Stamp = 1;
    frame.FoundStamp = 1;
  }
}

void TKestParser::Run(TFrame& frame, TParamCollection& store, TSysFuncMan& funcs) {
  const TPrepared& prepared = *FPrepared;
  if (frame.Store != &store || frame.Slots.size() != static_cast<size_t>(prepared.SlotCount)) {
    frame.Store = &store;
    frame.Stamp = 0;
    frame.Slots.clear();
    frame.Slots.resize(static_cast<size_t>(prepared.SlotCount));
    frame.Live.assign(static_cast<size_t>(prepared.SlotCount), 0);
    frame.Values.resize(prepared.MaxOperands + 1);
    frame.IsVar.resize(prepared.MaxOperands + 1);
    frame.Types.resize(prepared.MaxOperands + 1);
    frame.Found.assign(static_cast<size_t>(prepared.NameCount), {nullptr, 0});
  }
  NextStamp(frame);
  const uint32_t live = frame.Stamp;
  TCustomParam** v = frame.Values.data();
  for (const TPreparedOp& op : prepared.Ops) {
    if (op.Count < MinOperands(op.Op)) ThrowBadOperation(op, v, 0);
    // Operands: literals as they are, variables found by name, temporaries
    // of this evaluation from their slots (one made elsewhere is a variable).
    for (uint32_t k = 0; k < op.Count; ++k) {
      const TPreparedOperand& o = prepared.Operands[op.First + k];
      if (o.Kind == okLiteral) {
        v[k] = o.Literal;
        frame.IsVar[k] = 0;
        frame.Types[k] = o.LiteralType;
        continue;
      }
      frame.Types[k] = kUnknownType;
      if (o.Kind == okTemp && frame.Live[static_cast<size_t>(o.Slot)] == live) {
        v[k] = frame.Slots[static_cast<size_t>(o.Slot)].get();
      } else if (o.Kind == okStore) {
        v[k] = Lookup(frame, store, o.Slot, o.Key)->Value();
      } else {
        TParamCollectionItem* item = store.FindVar(o.Key);
        if (!item) throw EKestError(ErrNoVariable(o.Key.Name));
        v[k] = item->Value();
      }
      frame.IsVar[k] = 1;
    }
    if (op.Op == ocNone || op.Op >= kOpCodeCount) ThrowBadOperation(op, v, op.Count);
    // The result's type is asked once; a new temporary's is known. Only a
    // call may leave its result unwritten, so only a call's temporary starts
    // from the empty value.
    TCustomParam* result;
    uint8_t resultType;
    if (op.ResultSlot >= 0 && frame.Live[static_cast<size_t>(op.ResultSlot)] == live) {
      result = frame.Slots[static_cast<size_t>(op.ResultSlot)].get();
      resultType = result->ParamType();
    } else if (op.ResultSlot >= 0) {
      resultType = TempType(op, v, frame.Types.data(), funcs);
      TParamPtr& slot = frame.Slots[static_cast<size_t>(op.ResultSlot)];
      if (resultType == PT_NONE) {
        if (!slot || slot->RecordType() != PT_NONE) slot = std::make_unique<TParamVar>(&store);
      } else if (resultType > PT_STR) {
        throw EKestError(ErrBadVariable(*op.ResultName));
      } else if (!slot || slot->RecordType() != resultType) {
        slot = CreateParam(resultType);
      } else if (op.Op == ocFunc) {
        ResetTemp(*slot, resultType);
      }
      frame.Live[static_cast<size_t>(op.ResultSlot)] = live;
      result = slot.get();
    } else {
      result = Lookup(frame, store, op.ResultEntry, op.ResultKey)->Value();
      resultType = result->ParamType();
    }
    switch (op.Op) {
      case ocTo: AssignTo(*result, resultType, *v[0]); break;
      case ocPlus:
      case ocMinus:
      case ocMul:
      case ocDiv:
        if (resultType == PT_FLOAT) {
          result->SetAsFloat(FloatArithmetic(op.Op, v[0]->GetAsFloat(), v[1]->GetAsFloat()));
        } else {
          result->SetAsInt(IntArithmetic(op.Op, v[0]->GetAsInt(), v[1]->GetAsInt()));
        }
        break;
      case ocMod:
      case ocOr:
      case ocAnd:
      case ocXor:
      case ocShiftL:
      case ocShiftR: result->SetAsInt(IntOperation(op.Op, v[0]->GetAsInt(), v[1]->GetAsInt())); break;
      case ocComboStr: result->SetAsStr(v[0]->GetAsStr() + v[1]->GetAsStr()); break;
      case ocDimTo: {
        auto* ref = dynamic_cast<TParamVar*>(result);
        if (!ref || !frame.IsVar[0]) throw EKestError(ErrBadVariable(*op.ResultName));
        frame.Indices.clear();
        for (uint32_t k = 1; k < op.Count; ++k) frame.Indices.push_back(v[k]->GetAsInt());
        ref->SetReference(prepared.Operands[op.First].Key.Name, frame.Indices);
        break;
      }
      case ocFunc: {
        frame.FuncArgs.clear();
        for (uint32_t k = 0; k < op.Count; ++k) frame.FuncArgs.push_back({v[k], frame.IsVar[k] != 0});
        TFuncCall call{funcs, store, *result, frame.FuncArgs};
        ++frame.FoundStamp;
        funcs.Call(op.FuncId, call);
        break;
      }
      default: result->SetAsFlag(CompareHolds(op.Op, Compare(*v[0], *v[1]))); break;
    }
  }
  KeepResult(frame);
}

void TKestParser::KeepResult(TFrame& frame) {
  const int32_t slot = FPrepared->ResultSlot;
  if (slot < 0 || frame.Live[static_cast<size_t>(slot)] != frame.Stamp) return;
  const TCustomParam& value = *frame.Slots[static_cast<size_t>(slot)];
  const uint8_t type = value.ParamType();
  if (type < PT_INT || type > PT_STR) throw EKestError(ErrBadVariable(kArgName));
  if (!FResult || FResult->RecordType() != type) FResult = CreateParam(type);
  if (value.RecordType() == type) {
    FResult->AssignRaw(value);
  } else {
    FResult->AssignConvert(value);
  }
  FHasResult = true;
}

}  // namespace kest
