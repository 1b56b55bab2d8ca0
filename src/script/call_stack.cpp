#include "script/call_stack.h"

#include "common/errors.h"
#include "common/sjis.h"
#include "language/param_collection.h"
#include "language/param_types.h"

namespace kest {

namespace {

// The shortest frame record: every field at its empty size.
constexpr int64_t kMinFrameBytes = 4 + 4 + 1 + 1 + 4 + 4 + 4 + 4 + 1;

void ReadArgs(TStream& stream, TArrayString& args) {
  const int32_t n = ReadInt(stream);
  if (n < 0) throw EReadError();
  RequireRemaining(stream, static_cast<int64_t>(n) * 4);
  args.Clear();
  for (int32_t i = 0; i < n; ++i) args.Add(ReadStr(stream));
}

}  // namespace

void TStack::SaveToStream(TStream& stream) const {
  WriteStr(stream, PageName);
  WriteInt(stream, Pc);
  WriteFlag(stream, Entered);
  WriteFlag(stream, Running);
  WriteStr(stream, ResultVar);
  Args.SaveToStream(stream);
  WriteStr(stream, Sender.Name());
  const int64_t size = State ? static_cast<int64_t>(State->Data().size()) : 0;
  WriteInt(stream, static_cast<int32_t>(size));
  if (size > 0) WriteExact(stream, State->Data().data(), size);
  WriteByte(stream, Result ? Result->ParamType() : uint8_t{0});
  if (Result) Result->SaveToStream(stream);
}

void TStack::LoadFromStream(TStream& stream, const TSenderLookup& findSender) {
  PageName = ReadStr(stream);
  Pc = ReadInt(stream);
  Entered = ReadFlag(stream);
  Running = ReadFlag(stream);
  ResultVar = ReadStr(stream);
  ReadArgs(stream, Args);
  const std::string sender = ReadStr(stream);
  Sender = TObjectRef(!sender.empty() && findSender ? findSender(sender) : nullptr);
  const int32_t size = ReadInt(stream);
  if (size < 0) throw EReadError();
  RequireRemaining(stream, size);
  State.reset();
  if (size > 0) {
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    ReadExact(stream, bytes.data(), size);
    State = std::make_unique<TByteStream>(std::move(bytes));
  }
  const uint8_t kind = ReadByte(stream);
  Result.reset();
  if (kind == 0) return;
  if (kind < PT_INT || kind > PT_STR) throw EReadError();
  Result = CreateParam(kind);
  Result->LoadFromStream(stream);
}

void TStack::CopyFrom(const TStack& other) {
  PageName = other.PageName;
  Pc = other.Pc;
  Entered = other.Entered;
  Running = other.Running;
  ResultVar = other.ResultVar;
  Args.Assign(other.Args);
  Sender = other.Sender;
  State =
      other.State
          ? std::make_unique<TByteStream>(std::vector<uint8_t>(other.State->Data().begin(), other.State->Data().end()))
          : nullptr;
  Result.reset();
  if (other.Result) {
    Result = CreateParam(other.Result->ParamType());
    Result->AssignRaw(*other.Result);
  }
}

TStack& TStackList::Push() {
  FFrames.push_back(std::make_unique<TStack>());
  SetDepth();
  return *FFrames.back();
}

TStack& TStackList::Pop() {
  if (FFrames.empty()) throw EKestError(Utf8ToCp932("スタックエラー"));
  std::unique_ptr<TStack> top = std::move(FFrames.back());
  FFrames.pop_back();
  FSpare.PageName = std::move(top->PageName);
  FSpare.Pc = top->Pc;
  FSpare.Entered = top->Entered;
  FSpare.Running = top->Running;
  FSpare.ResultVar = std::move(top->ResultVar);
  FSpare.Args.Assign(top->Args);
  FSpare.Sender = top->Sender;
  FSpare.State = std::move(top->State);
  FSpare.Result = std::move(top->Result);
  SetDepth();
  return FSpare;
}

void TStackList::Clear() {
  FFrames.clear();
  SetDepth();
}

bool TStackList::Delete(int32_t index) {
  if (index < 0 || index >= Count()) return false;
  FFrames.erase(FFrames.begin() + index);
  SetDepth();
  return true;
}

void TStackList::SetDepth() { FVars.CurrentLocalId = Count(); }

void TStackList::Swap(TStackList& other) {
  FFrames.swap(other.FFrames);
  TStack spare;
  spare.CopyFrom(FSpare);
  FSpare.CopyFrom(other.FSpare);
  other.FSpare.CopyFrom(spare);
  SetDepth();
}

void TStackList::SaveToStream(TStream& stream) const {
  FSpare.SaveToStream(stream);
  WriteInt(stream, static_cast<int32_t>(FFrames.size()));
  for (const auto& frame : FFrames) frame->SaveToStream(stream);
}

void TStackList::LoadFromStream(TStream& stream, const TSenderLookup& findSender) {
  TStack spare;
  spare.LoadFromStream(stream, findSender);
  const int32_t n = ReadInt(stream);
  if (n < 0) throw EReadError();
  RequireRemaining(stream, n * kMinFrameBytes);
  std::vector<std::unique_ptr<TStack>> frames;
  for (int32_t i = 0; i < n; ++i) {
    auto frame = std::make_unique<TStack>();
    frame->LoadFromStream(stream, findSender);
    frames.push_back(std::move(frame));
  }
  FSpare.CopyFrom(spare);
  FFrames = std::move(frames);
  SetDepth();
}

}  // namespace kest
