#include "script/commands_flow.h"

#include "common/errors.h"
#include "common/sjis.h"
#include "language/param_collection.h"
#include "language/param_types.h"
#include "script/call_man.h"
#include "script/page.h"

namespace kest {

namespace {

bool IsElseLike(const TCommand& c) { return c.GetCommandId() == ciElseif || c.GetCommandId() == ciElse; }

// The index of the first command from `from` on whose indent is not greater.
int32_t SkipBlock(const TComList& list, int32_t from, int32_t indent) {
  while (from < list.Count() && list.Items(from)->Indent > indent) ++from;
  return from;
}

// Ends the page for a negative target, else jumps there.
void GoTo(TCallMan& man, int32_t target) {
  if (target < 0) {
    man.EndPage();
  } else {
    man.SetPc(target);
  }
}

}  // namespace

void TComIf::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  if (man.IsTrue(Condition())) return;
  const TComList& list = Owner();
  int32_t i = man.Pc();
  while (i < list.Count()) {
    TCommand& c = *list.Items(i);
    if (c.Indent > Indent) {
      ++i;
      continue;
    }
    if (c.Indent < Indent) break;
    if (c.GetCommandId() == ciElseif) {
      if (man.IsTrue(static_cast<TComElseif&>(c).Condition())) {
        ++i;
        break;
      }
      ++i;
      continue;
    }
    if (c.GetCommandId() == ciElse) ++i;
    break;
  }
  man.SetPc(i);
}

// Both skip what follows: their own block, then every Elseif and Else of the
// same chain with theirs.
static void SkipChain(TCallMan& man, const TCommand& self) {
  const TComList& list = self.Owner();
  int32_t i = SkipBlock(list, man.Pc() + 1, self.Indent);
  while (i < list.Count() && list.Items(i)->Indent == self.Indent && IsElseLike(*list.Items(i)))
    i = SkipBlock(list, i + 1, self.Indent);
  man.SetPc(i);
}

void TComElseif::Execute(TCallMan& man) { SkipChain(man, *this); }

void TComElse::Execute(TCallMan& man) { SkipChain(man, *this); }

bool TComLabel::IsLabel(std::string_view name) const { return Name() == name; }

void TComLabel::Execute(TCallMan& man) { man.SetPc(man.Pc() + 1); }

void TComJump::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  const std::string& page = At(field::kJumpPage);
  if (!man.IsTrue(At(field::kJumpCondition)) || !man.EnsureFile(page)) return;
  // Fetched before anything changes, so a page that fails to load leaves the
  // script where it was.
  TPage* target = man.GetPage(page, true);
  man.SetCurrentPage(target, At(field::kJumpPc));
}

void TComCall::Execute(TCallMan& man) {
  const int32_t next = man.Pc() + 1;
  man.SetPc(next);
  const std::string& page = At(field::kCallPage);
  if (!man.IsTrue(At(field::kCallCondition)) || !man.EnsureFile(page)) return;
  TArrayString args;
  for (TKestParser& e : At(field::kCallArgs))
    if (const TCustomParam* value = man.Evaluate(e)) args.Add(value->GetAsStr());
  TPage* target = man.GetPage(page, true);
  // The caller goes on at the command after the call, not yet begun.
  TStack& frame = man.PushFrame(false);
  frame.ResultVar = At(field::kCallResult);
  frame.Result = target->NewResult();
  man.Args().Assign(args);
  man.SetCurrentPage(target, At(field::kCallPc));
}

void TComExit::Execute(TCallMan& man) {
  if (man.IsTrue(At(field::kCondition))) {
    man.EndPage();
  } else {
    man.SetPc(man.Pc() + 1);
  }
}

void TComBreak::Execute(TCallMan& man) {
  if (man.IsTrue(At(field::kBreakCondition))) {
    GoTo(man, At(field::kBreakTarget));
  } else {
    man.SetPc(man.Pc() + 1);
  }
}

void TComContinue::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  if (man.IsTrue(At(field::kBreakCondition))) GoTo(man, At(field::kBreakTarget));
}

void TComWhile::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  if (!man.IsTrue(At(field::kWhileCondition))) man.SetPc(At(field::kWhileExit));
}

// Calc and WhileInit keep their expression in the same place.
static_assert(field::kCalcExpr.Index == field::kWhileInitExpr.Index);

void TComRuntime::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  man.Evaluate(At(field::kCalcExpr));
}

void TComWhileLoop::Execute(TCallMan& man) {
  man.SetPc(At(field::kWhileLoopTarget));
  man.Evaluate(At(field::kWhileLoopStep));
}

void TComVarNew::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  const std::string& name = At(field::kVarNewName);
  if (name.empty()) throw EKestError(Utf8ToCp932("変数名がありません"));
  const int32_t kind = At(field::kVarNewKind);
  // Other kinds make no typed value: a reference with no target, or nothing.
  if (kind < PT_INT || kind > PT_STR) throw EKestError(Utf8ToCp932("変数の型が不正です"));
  TVarCreation created =
      man.Vars().CreateVar(name, static_cast<uint8_t>(kind), static_cast<uint8_t>(At(field::kVarNewScope)));
  if (!created.AssignInitial) return;
  if (const TCustomParam* value = man.Evaluate(At(field::kVarNewValue))) created.Item->Value()->AssignConvert(*value);
}

void TComVarDel::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  const std::string& name = At(field::kVarDelName);
  if (name.empty()) return;
  TParamCollection& vars = man.Vars();
  const int32_t index = vars.IndexOf(name);
  if (index >= 0 && !vars.Items(index)->IsSystem()) vars.Delete(index);
}

void TComDoEvent::Execute(TCallMan& man) { man.SetPc(man.Pc() + 1); }

void TComWait::Begin(TCallMan& man) {
  const TCustomParam* time = man.Evaluate(At(field::kWaitTime));
  FRemaining = time ? time->GetAsInt() : 0;
  FFirstTick = 1;
  FBlockEvents = Page().Version >= field::kWaitBlock.SinceVersion && man.IsTrue(At(field::kWaitBlock));
}

void TComWait::Execute(TCallMan& man) {
  const TCustomParam* cond = man.Evaluate(At(field::kWaitCondition));
  if (cond && !cond->GetAsFlag()) {
    man.SetPc(man.Pc() + 1);
    return;
  }
  if (FRemaining != 0) {
    if (FFirstTick > 0) {
      --FFirstTick;
    } else {
      FRemaining -= man.Clock().FrameDelta;
      if (FRemaining <= 0) {
        man.SetPc(man.Pc() + 1);
        return;
      }
    }
  }
  man.SetRunning(false);
}

void TComWait::SaveState(TStream& stream) {
  WriteStateTag(stream);
  WriteInt(stream, FRemaining);
  WriteInt(stream, FFirstTick);
  WriteFlag(stream, FBlockEvents);
}

void TComWait::LoadState(TStream& stream) {
  const int32_t version = ReadStateTag(stream);
  FRemaining = ReadInt(stream);
  FFirstTick = ReadInt(stream);
  // Untagged states come from before a wait could block events.
  if (version >= kStateSinceTagged) FBlockEvents = ReadFlag(stream);
}

}  // namespace kest
