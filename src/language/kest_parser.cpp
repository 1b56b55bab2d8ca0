#include "language/kest_parser.h"

#include <unordered_map>

#include "common/errors.h"
#include "language/kest_parser_prepared.h"
#include "language/typed_param.h"

namespace kest {
namespace {

// The smallest records, for bounding counts by the bytes that remain: an
// operation is a code, an empty name and a count; an operand a tag and a byte.
constexpr int64_t kMinOpBytes = 1 + 4 + 4;
constexpr int64_t kMinOperandBytes = 2;

TParamPtr IntValue(int32_t v) {
  auto p = std::make_unique<TParamInt>();
  p->SetAsInt(v);
  return p;
}

}  // namespace

TOperand TOperand::Reference(std::string name) {
  TOperand o;
  o.FTag = PT_NONE;
  o.FName = std::move(name);
  return o;
}

TOperand TOperand::Int(int32_t value) {
  TOperand o;
  o.FTag = PT_INT;
  o.FLiteral = IntValue(value);
  return o;
}

TOperand TOperand::Float(const TExtendedBytes& bytes) {
  TOperand o;
  o.FTag = PT_FLOAT;
  o.FFloatBytes = bytes;
  o.FLiteral = std::make_unique<TParamFloat>();
  o.FLiteral->SetAsFloat(ExtendedToLongDouble(bytes));
  return o;
}

TOperand TOperand::FloatValue(long double value) { return Float(ExtendedFromLongDouble(value)); }

TOperand TOperand::Flag(bool value) {
  TOperand o;
  o.FTag = PT_BOOL;
  o.FLiteral = std::make_unique<TParamFlag>();
  o.FLiteral->SetAsFlag(value);
  return o;
}

TOperand TOperand::Str(std::string value) {
  TOperand o;
  o.FTag = PT_STR;
  o.FLiteral = std::make_unique<TParamStr>();
  o.FLiteral->SetAsStr(value);
  return o;
}

void TOperand::SaveToStream(TStream& stream) const {
  WriteByte(stream, FTag);
  switch (FTag) {
    case PT_INT: WriteInt(stream, FLiteral->GetAsInt()); break;
    case PT_FLOAT: WriteExact(stream, FFloatBytes.data(), static_cast<int64_t>(FFloatBytes.size())); break;
    case PT_BOOL: WriteByte(stream, FLiteral->GetAsFlag() ? 1 : 0); break;
    case PT_STR: WriteStr(stream, FLiteral->GetAsStr()); break;
    default: WriteStr(stream, FName); break;
  }
}

TOperand TOperand::LoadFromStream(TStream& stream) {
  switch (ReadByte(stream)) {
    case PT_INT: return Int(ReadInt(stream));
    case PT_FLOAT: {
      TExtendedBytes bytes;
      ReadExact(stream, bytes.data(), static_cast<int64_t>(bytes.size()));
      return Float(bytes);
    }
    case PT_BOOL: return Flag(ReadFlag(stream));
    case PT_STR: return Str(ReadStr(stream));
    default: return Reference(ReadStr(stream));
  }
}

TOperand TOperand::Clone() const {
  switch (FTag) {
    case PT_INT: return Int(FLiteral->GetAsInt());
    case PT_FLOAT: return Float(FFloatBytes);
    case PT_BOOL: return Flag(FLiteral->GetAsFlag());
    case PT_STR: return Str(FLiteral->GetAsStr());
    default: return Reference(FName);
  }
}

TOpeData TOpeData::Clone() const {
  TOpeData copy;
  copy.Op = Op;
  copy.ResultName = ResultName;
  copy.FuncId = FuncId;
  copy.Operands.reserve(Operands.size());
  for (const TOperand& o : Operands) copy.Operands.push_back(o.Clone());
  return copy;
}

TKestParser::TKestParser() = default;
TKestParser::~TKestParser() = default;
TKestParser::TKestParser(TKestParser&&) noexcept = default;
TKestParser& TKestParser::operator=(TKestParser&&) noexcept = default;

void TKestParser::LoadFromStream(TStream& stream) {
  const int32_t n = ReadInt(stream);
  if (n < 0) throw EReadError();
  RequireRemaining(stream, int64_t{n} * kMinOpBytes);
  std::vector<TOpeData> ops(static_cast<size_t>(n));
  for (TOpeData& op : ops) {
    op.Op = ReadByte(stream);
    op.ResultName = ReadStr(stream);
    const int32_t m = ReadInt(stream);
    if (m < 0) throw EReadError();
    if (op.Op == ocFunc) op.FuncId = ReadByte(stream);
    RequireRemaining(stream, int64_t{m} * kMinOperandBytes);
    op.Operands.reserve(static_cast<size_t>(m));
    for (int32_t k = 0; k < m; ++k) op.Operands.push_back(TOperand::LoadFromStream(stream));
  }
  FOps = std::move(ops);
  Prepare();
}

void TKestParser::SaveToStream(TStream& stream) const {
  WriteInt(stream, static_cast<int32_t>(FOps.size()));
  for (const TOpeData& op : FOps) {
    WriteByte(stream, op.Op);
    WriteStr(stream, op.ResultName);
    WriteInt(stream, static_cast<int32_t>(op.Operands.size()));
    if (op.Op == ocFunc) WriteByte(stream, op.FuncId);
    for (const TOperand& o : op.Operands) o.SaveToStream(stream);
  }
}

void TKestParser::Assign(const TKestParser& other) {
  if (&other == this) return;
  std::vector<TOpeData> ops;
  ops.reserve(other.FOps.size());
  for (const TOpeData& op : other.FOps) ops.push_back(op.Clone());
  FOps = std::move(ops);
  Prepare();
}

void TKestParser::Clear() {
  FOps.clear();
  Prepare();
}

// Gives each temporary name a slot of its own; names compare exactly, as the
// builder writes them.
void TKestParser::Prepare() {
  auto prepared = std::make_unique<TPrepared>();
  std::unordered_map<std::string_view, int32_t> slots;
  auto slotOf = [&](const std::string& name) {
    if (!IsTempName(name)) return -1;
    const auto [it, added] = slots.try_emplace(name, prepared->SlotCount);
    if (added) ++prepared->SlotCount;
    return it->second;
  };
  std::unordered_map<std::string_view, int32_t> names;
  auto nameOf = [&](const std::string& name) {
    const auto [it, added] = names.try_emplace(name, prepared->NameCount);
    if (added) ++prepared->NameCount;
    return it->second;
  };
  for (const TOpeData& op : FOps) {
    const auto first = static_cast<uint32_t>(prepared->Operands.size());
    for (const TOperand& o : op.Operands) {
      int32_t slot = o.IsReference() ? slotOf(o.Name()) : -1;
      const uint8_t kind = !o.IsReference() ? okLiteral : slot >= 0 ? okTemp : okStore;
      if (kind == okStore) slot = nameOf(o.Name());
      prepared->Operands.push_back({kind, slot, o.FLiteral.get(), o.FTag, THashKey(o.Name())});
    }
    const auto count = static_cast<uint32_t>(op.Operands.size());
    prepared->MaxOperands = std::max(prepared->MaxOperands, count);
    const int32_t resultSlot = slotOf(op.ResultName);
    const int32_t resultName = resultSlot < 0 ? nameOf(op.ResultName) : -1;
    prepared->Ops.push_back(
        {op.Op, op.FuncId, resultSlot, resultName, THashKey(op.ResultName), &op.ResultName, first, count});
  }
  if (!FOps.empty() && FOps.back().Op == ocTo && FOps.back().ResultName == kArgName) {
    prepared->ResultSlot = prepared->Ops.back().ResultSlot;
  }
  FPrepared = std::move(prepared);
  FFrame.reset();
}

}  // namespace kest
