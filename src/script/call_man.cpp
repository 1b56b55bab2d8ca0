#include "script/call_man.h"

#include <cstdio>
#include <utility>

#include "common/app_globals.h"
#include "common/errors.h"
#include "common/save_versions.h"
#include "common/sjis.h"
#include "common/trace.h"
#include "language/build_kest_parser.h"
#include "language/expression_decompiler.h"
#include "language/kest_parser.h"
#include "language/param_collection.h"
#include "script/command.h"
#include "script/command_schema.h"
#include "script/page.h"
#include "script/project_ui.h"

namespace kest {

namespace {

std::string TraceLine(int64_t now, const char* prefix, const std::string& page, int32_t line) {
  char head[32];
  std::snprintf(head, sizeof head, "%.8x : ", static_cast<uint32_t>(now));
  return head + std::string(prefix) + page + "(" + std::to_string(line) + ")";
}

// Splits "page:label": the colon counts only after the last "." and "\" of
// the name and never as the second byte of a double-byte character.
void SplitReference(const std::string& reference, std::string& page, std::string& label) {
  size_t after = 0;
  size_t colon = std::string::npos;
  for (size_t i = 0; i < reference.size(); ++i) {
    const auto c = static_cast<uint8_t>(reference[i]);
    if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
      ++i;
      continue;
    }
    if (c == '.' || c == '\\') {
      after = i + 1;
      colon = std::string::npos;
    } else if (c == ':' && colon == std::string::npos && i >= after) {
      colon = i;
    }
  }
  page = colon == std::string::npos ? reference : reference.substr(0, colon);
  label = colon == std::string::npos ? std::string() : reference.substr(colon + 1);
}

std::string CompiledName(std::string page) {
  if (page.size() >= 3) page.resize(page.size() - 3);
  return page + "ksb";
}

}  // namespace

TCallMan::TCallMan(TCallManParts parts) : FParts(std::move(parts)), FStack(*FParts.Vars) {
  FParts.Vars->Hosts.CallStack = this;
}

TCallMan::~TCallMan() {
  if (FParts.Vars->Hosts.CallStack == this) FParts.Vars->Hosts.CallStack = nullptr;
  FPage = nullptr;
  FPages.clear();
}

TPage* TCallMan::Start(const std::string& name) {
  TPage* page = GetPage(name, true);
  FPage = page;
  FPc = 0;
  FEntered = false;
  FArgs.Clear();
  FState = 0;
  FStack.Clear();
  FSender = TObjectRef();
  RemoveRunning(1, FLevel);
  FLevel = 2;
  return page;
}

TPage* TCallMan::GetPage(const std::string& name, bool toFront) {
  for (auto it = FPages.begin(); it != FPages.end(); ++it) {
    if ((*it)->Name() != name) continue;
    TPage* page = it->get();
    if (toFront) FPages.splice(FPages.begin(), FPages, it);
    return page;
  }
  auto loaded = std::make_unique<TPage>(FParts.Vars);
  try {
    loaded->Load(name, *FParts.Files, FParts.Ui);
  } catch (const std::exception& error) {
    ReportUnloadablePage(name, error.what());
    throw;
  }
  // A page too old to run has shown its box; the game ends with it.
  if (loaded->Version < kOldestPageVersion && Hosts().Game) Hosts().Game->CloseMainWindow();
  TPage* page = loaded.get();
  if (!toFront) {
    FPages.push_back(std::move(loaded));
    return page;
  }
  FPages.push_front(std::move(loaded));
  while (static_cast<int32_t>(FPages.size()) > kPageCacheSize && FPages.back().get() != FPage) FPages.pop_back();
  return page;
}

void TCallMan::ReportUnloadablePage(const std::string& name, const std::string& reason) {
  if (!FReportPages || !FParts.Ui || !FReportedPages.insert(name).second) return;
  const std::string text = reason.find(name) == std::string::npos ? name + "\r\n" + reason : reason;
  FParts.Ui->ShowMessage("", text, TMessageIcon::Warning);
}

bool TCallMan::EnsureFile(std::string_view page) {
  if (!FParts.EnsureFile || FParts.EnsureFile(page)) return true;
  const std::string name(page);
  ReportUnloadablePage(name, name + Utf8ToCp932(":ファイルがありません"));
  return false;
}

void TCallMan::LoadStartPage(const std::string& page) {
  Start(page);
  FReportPages = true;
}

void TCallMan::RunExitPage(const std::string& page) {
  Start(page);
  RunTick();
}

TCommand* TCallMan::CurrentCommand() const { return FPage ? FPage->Commands().Items(FPc) : nullptr; }

void TCallMan::TraceCommand(const TCommand& command) {
  FLastTraced = &command;
  Trace().Line(TraceLine(Clock().GameTime, "", FPage->Name(), command.Line));
}

void TCallMan::TraceUnplayed(const TCommand& command) {
  if (!Trace().Enabled()) return;
  Trace().Line(TraceLine(Clock().GameTime, "", FPage ? FPage->Name() : std::string(), command.Line) + " " +
               command.Layout().Name + ": not played by this player yet");
}

// Runs the command at pc; true when it yielded (it waits across ticks, or
// it neither moved on nor changed the page, which would otherwise repeat
// for ever within the tick).
bool TCallMan::ExecStep() {
  TCommand* command = CurrentCommand();
  if (!command) {
    FPage = nullptr;
    return false;
  }
  if (command != FLastTraced && Trace().Enabled()) TraceCommand(*command);
  TPage* const page = FPage;
  const int32_t pc = FPc;
  bool yielded = false;
  try {
    if (!FEntered) {
      if (command->GetSkipped()) {
        ++FPc;
        return false;
      }
      FEntered = true;
      command->Begin(*this);
    }
    FRunning = command->GetContinue();
    yielded = command->IsYielding();
    command->Execute(*this);
  } catch (const std::exception& error) {
    // A failing command ends; the script goes on with what it left. The
    // trace tells an author checking a game why a command did nothing.
    if (Trace().Enabled())
      Trace().Line(TraceLine(Clock().GameTime, "", page->Name(), command->Line) + " pc " + std::to_string(pc) + " " +
                   command->Layout().Name + ": " + error.what());
  }
  if (FPage != page || FPc != pc) {
    FEntered = false;
  } else {
    FRunning = false;
    yielded = true;
  }
  return yielded;
}

int32_t TCallMan::Step() {
  bool yielded = false;
  if (FPage) {
    yielded = ExecStep();
    if (FPage) return yielded ? 2 : 0;
  }
  if (FStack.Count() == 0) {
    FRunning = false;
    // Nothing is left to return to (a script stack cut down by DeleteStack,
    // say): whatever handler level was running has ended with it.
    return FState == 0 ? (yielded ? 2 : 0) : 1;
  }
  return Return(yielded);
}

// The page has ended inside a call or an event: back to the caller. A
// handler's caller whose page can no longer be read has ended too, and the
// return goes on to the frame below it.
int32_t TCallMan::Return(bool yielded) {
  do {
    PopFrame();
  } while (!FPage && FSender.IsSet() && FStack.Count() > 0);
  if (!FSender.IsSet()) return 1;
  return yielded ? 2 : -1;
}

void TCallMan::PopFrame() {
  TParamCollection& vars = Vars();
  vars.DeleteOwned(vars.CurrentLocalId);
  TStack& frame = FStack.Pop();
  if (!frame.ResultVar.empty() && frame.Result) AssignResult(frame.ResultVar, *frame.Result);
  FPage = nullptr;
  if (!frame.PageName.empty()) {
    try {
      FPage = GetPage(frame.PageName, true);
    } catch (const std::exception&) {
      // The caller's page can no longer be read: that context ends.
    }
  }
  FPc = frame.Pc;
  FEntered = frame.Entered;
  FRunning = frame.Running;
  FArgs.Assign(frame.Args);
  FSender = frame.Sender;
  if (frame.State && FPage) {
    if (TCommand* command = CurrentCommand()) {
      frame.State->Seek(0);
      try {
        command->LoadState(*frame.State);
      } catch (const std::exception&) {
      }
    }
  }
}

void TCallMan::AssignResult(const std::string& name, const TCustomParam& value) {
  TParamCollection& vars = Vars();
  if (TParamCollectionItem* item = vars.FindVar(name)) {
    item->Value()->AssignConvert(value);
    return;
  }
  // No such variable (an array element, say): assigned through an
  // expression, with the text quoted and escaped so that any value survives.
  const std::string quoted = LiteralText(TOperand::Str(value.GetAsStr())).value_or("\"\"");
  EvalText(name + "=" + quoted, vars, Funcs());
}

bool TCallMan::StartEvent(int32_t level) {
  // Most ticks have no event waiting: that is asked first.
  TTimerData* record = FParts.Events ? FParts.Events->FirstWaiting() : nullptr;
  if (!record) return false;
  TCommand* current = CurrentCommand();
  if (FEntered && current && current->BlocksEvents()) return false;
  std::string page_name;
  std::string label;
  SplitReference(record->Reference, page_name, label);
  const std::string compiled = CompiledName(page_name);
  if (!EnsureFile(compiled)) return false;
  TPage* page = nullptr;
  try {
    page = GetPage(compiled, true);
  } catch (const std::exception&) {
    // A handler page that cannot be read is dropped, not retried each tick.
    FParts.Events->SetRunning(*record, -1);
    FParts.Events->RemoveRunning(-1, -1);
    return false;
  }
  PushFrame(FEntered);
  FPage = page;
  const int32_t at = label.empty() ? -1 : page->Commands().FindLabel(label);
  FPc = at < 0 ? 0 : at;
  if (Trace().Enabled()) {
    const TCommand* first = page->Commands().Items(0);
    Trace().Line(TraceLine(Clock().GameTime, "<Event>", compiled, first ? first->Line : 0));
  }
  FEntered = false;
  FParts.Events->SetRunning(*record, level);
  FArgs.Assign(record->Args);
  FSender = record->Sender;
  FState = 1;
  return true;
}

TStack& TCallMan::PushFrame(bool entered) {
  TStack& frame = FStack.Push();
  frame.PageName = FPage ? FPage->Name() : std::string();
  frame.Pc = FPc;
  frame.Entered = entered;
  frame.Running = FRunning;
  frame.Sender = FSender;
  frame.Args.Assign(FArgs);
  // The command in progress keeps its state in the frame: should its page
  // leave the cache meanwhile, it would otherwise resume from scratch.
  if (TCommand* command = entered ? CurrentCommand() : nullptr) {
    frame.State = std::make_unique<TByteStream>();
    command->SaveState(*frame.State);
  }
  return frame;
}

void TCallMan::RemoveRunning(int32_t first, int32_t last) {
  if (FParts.Events) FParts.Events->RemoveRunning(first, last);
}

void TCallMan::RunTick() {
  do {
    switch (FState) {
      case 0:
        if (!StartEvent(1)) Step();
        break;
      case 1: {
        const int32_t r = Step();
        if (r == 1) {
          RemoveRunning(1, 1);
          FState = 0;
          FRunning = true;
        } else if (r == 2) {
          FLevel = 2;
          FState = 2;
          return;
        } else if (FState != 1) {
          FRunning = true;
        }
        break;
      }
      case 2:
        if (StartEvent(FLevel)) {
          ++FLevel;
          FState = 3;
        } else {
          FState = FLevel > 2 ? 3 : 1;
        }
        break;
      default: {
        const int32_t r = Step();
        if (r == 1 || r == -1) {
          --FLevel;
          RemoveRunning(FLevel, FLevel);
          if (FLevel <= 2) FState = 2;
        } else if (r == 2) {
          FState = 2;
          return;
        }
        break;
      }
    }
  } while ((FRunning || FState != 0) && !AppTerminating);
}

TPage* TCallMan::SavedGamePage(const std::string& name) {
  const bool report = std::exchange(FReportPages, false);
  try {
    TPage* page = GetPage(name, true);
    FReportPages = report;
    return page;
  } catch (...) {
    FReportPages = report;
    throw;
  }
}

void TCallMan::EnterJumpPage(const std::string& page, int32_t pc) {
  TPage* target = SavedGamePage(page);
  if (FPage) PushFrame(FEntered);
  FPage = target;
  FPc = pc > 0 ? pc : 0;
  FEntered = false;
}

const TCustomParam* TCallMan::Evaluate(TKestParser& expr) {
  if (expr.Operations().empty()) return nullptr;
  expr.Execute(Vars(), Funcs());
  return expr.Result();
}

bool TCallMan::IsTrue(TKestParser& expr) {
  const TCustomParam* result = Evaluate(expr);
  return result && result->GetAsFlag();
}

TCustomParam* TCallMan::ResultValue() {
  TStack* top = FStack.Top();
  return top ? top->Result.get() : nullptr;
}

uint8_t TCallMan::PageResultType() { return FPage ? FPage->ResultType() : uint8_t{PT_NONE}; }

std::string TCallMan::ParamStr(int32_t index) {
  return index >= 0 && index < FArgs.Count() ? FArgs.Strings(index) : std::string();
}

void TCallMan::SaveState(TStream& stream) {
  WriteStr(stream, FPage ? FPage->Name() : std::string());
  WriteInt(stream, FPc);
  WriteFlag(stream, FRunning);
  WriteFlag(stream, FEntered);
  WriteInt(stream, FState);
  WriteStr(stream, FSender.Name());
  FArgs.SaveToStream(stream);
  FStack.SaveToStream(stream);
  WriteInt(stream, FLevel);
  if (FEntered)
    if (TCommand* command = CurrentCommand()) command->SaveState(stream);
}

void TCallMan::LoadState(TStream& stream, int32_t saveVersion) {
  const std::string page_name = ReadStr(stream);
  const int32_t pc = ReadInt(stream);
  const bool running = ReadFlag(stream);
  const bool entered = ReadFlag(stream);
  const int32_t state = ReadInt(stream);
  const std::string sender = ReadStr(stream);
  TArrayString args;
  args.LoadFromStream(stream);
  // Everything is read, and the page fetched, before anything changes: a
  // damaged record leaves the interpreter as it was.
  const int32_t depth = Vars().CurrentLocalId;
  TStackList stack(Vars());
  TPage* page = nullptr;
  int32_t level = 2;
  try {
    stack.LoadFromStream(stream, FParts.FindSender);
    if (saveVersion >= kSaveSinceCallLevel) level = ReadInt(stream);
    if (!page_name.empty()) page = SavedGamePage(page_name);
  } catch (...) {
    Vars().CurrentLocalId = depth;
    throw;
  }
  FStack.Swap(stack);
  FPage = page;
  FPc = pc;
  FRunning = running;
  FEntered = entered;
  FState = state < 0 || state > 3 ? 0 : state;
  FSender = TObjectRef(!sender.empty() && FParts.FindSender ? FParts.FindSender(sender) : nullptr);
  FArgs.Assign(args);
  FLevel = level;
  // The command in progress was traced when it began; it is not traced
  // again for being restored.
  FLastTraced = CurrentCommand();
  if (FEntered)
    if (TCommand* command = CurrentCommand()) command->LoadState(stream);
}

}  // namespace kest
