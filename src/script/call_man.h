#pragma once
// The script interpreter. It keeps a cache of loaded pages, the program
// counter, the call stack and the running page's arguments, runs the scripts
// once per frame tick, and turns the scene's pending events into calls of
// their handler pages on top of whatever is running.

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "common/game_clock.h"
#include "common/stream.h"
#include "common/string_lists.h"
#include "language/system_variable_host.h"
#include "scene/event_queue.h"
#include "script/call_stack.h"
#include "script/command_hosts.h"
#include "script/project_interpreter.h"

namespace kest {

class IProjectUi;
class TCommand;
class TCustomParam;
class TKestParser;
class TPage;
class TParamCollection;
class TSysFuncMan;
class TVrFileManager;

struct TCallManParts {
  TVrFileManager* Files = nullptr;
  TParamCollection* Vars = nullptr;
  TSysFuncMan* Funcs = nullptr;
  IProjectUi* Ui = nullptr;      // the box of a page too old to run
  TTimerList* Events = nullptr;  // the scene's event queue; nothing: no events
  // Whether the project can make a page reachable; nothing: every page is.
  std::function<bool(std::string_view page)> EnsureFile;
  // Scene objects by name, for senders in saved states; nothing: none exist.
  TSenderLookup FindSender;
  // What the commands drive.
  TCommandHosts Hosts;
  // The game clock waits and the trace go by; nothing: one that stands still.
  const TGameClock* Clock = nullptr;
};

class TCallMan final : public IProjectInterpreter, public ICallStackHost {
 public:
  static constexpr int32_t kPageCacheSize = 10;

  explicit TCallMan(TCallManParts parts);
  ~TCallMan() override;
  TCallMan(const TCallMan&) = delete;
  TCallMan& operator=(const TCallMan&) = delete;

  // The page becomes current at pc 0, with the interpreter reset.
  TPage* Start(const std::string& name);
  // From the cache or loaded. With toFront the page moves to (or is loaded
  // into) the front and the cache is trimmed; a load error passes on and
  // changes nothing.
  TPage* GetPage(const std::string& name, bool toFront);

  void LoadStartPage(const std::string& page) override;
  void RunExitPage(const std::string& page) override;
  void RunTick() override;

  void SaveState(TStream& stream) override;
  // Raises EReadError for a damaged record.
  void LoadState(TStream& stream, int32_t saveVersion) override;
  // After a load: runs the saved game's jump page on top of the restored
  // script, which it returns to (with its command in progress) when it ends.
  // The page is fetched first: one that cannot be read raises and changes
  // nothing.
  void EnterJumpPage(const std::string& page, int32_t pc) override;

  // What the commands work with.
  TParamCollection& Vars() { return *FParts.Vars; }
  TSysFuncMan& Funcs() { return *FParts.Funcs; }
  TPage* CurrentPage() const { return FPage; }
  int32_t Pc() const { return FPc; }
  void SetPc(int32_t pc) { FPc = pc; }
  // Makes the page current (fetched to the front) at pc.
  void SetCurrentPage(TPage* page, int32_t pc) {
    FPage = page;
    FPc = pc;
  }
  // The page has ended: the interpreter returns to the caller.
  void EndPage() { FPage = nullptr; }
  bool Running() const { return FRunning; }
  void SetRunning(bool running) { FRunning = running; }
  // Whether the page can be reached; a page that cannot is told in a box once.
  bool EnsureFile(std::string_view page);
  const TCommandHosts& Hosts() const { return FParts.Hosts; }
  const TGameClock& Clock() const { return FParts.Clock ? *FParts.Clock : FStill; }
  TStackList& Stack() { return FStack; }
  // The scene's event queue; null when there is none.
  TTimerList* Events() const { return FParts.Events; }
  // Saves the running context (page, pc, arguments, sender) as the frame a
  // call, an event handler or a jump page returns to; with entered, the
  // command at pc is in progress and its state goes into the frame.
  TStack& PushFrame(bool entered);
  TArrayString& Args() { return FArgs; }
  const TObjectRef& Sender() const { return FSender; }
  int32_t State() const { return FState; }
  int32_t Level() const { return FLevel; }
  // The cached pages, most recently used first.
  const std::list<std::unique_ptr<TPage>>& Pages() const { return FPages; }

  // Runs the expression; its result, or nothing (empty, or stopped by an error).
  const TCustomParam* Evaluate(TKestParser& expr);
  // A result that reads as true; an empty expression is false.
  bool IsTrue(TKestParser& expr);
  // The trace line of a command whose behaviour this player does not have yet.
  void TraceUnplayed(const TCommand& command);

  // ICallStackHost
  TCustomParam* ResultValue() override;
  uint8_t PageResultType() override;
  int32_t ParamCount() override { return FArgs.Count(); }
  std::string ParamStr(int32_t index) override;
  std::string SenderName() override { return FSender.Name(); }
  int32_t StackCount() override { return FStack.Count(); }
  bool DeleteFrame(int32_t index) override { return FStack.Delete(index); }

 private:
  bool ExecStep();
  int32_t Step();
  int32_t Return(bool yielded);
  void PopFrame();
  void AssignResult(const std::string& name, const TCustomParam& value);
  bool StartEvent(int32_t level);
  void RemoveRunning(int32_t first, int32_t last);
  TCommand* CurrentCommand() const;
  void TraceCommand(const TCommand& command);
  void ReportUnloadablePage(const std::string& name, const std::string& reason);
  // A page a saved game names: one that cannot be read fails the load,
  // whose own box tells the player, so it is not told again.
  TPage* SavedGamePage(const std::string& name);

  TCallManParts FParts;

  TGameClock FStill;
  // Pages that could not be loaded during play, each told in a box once;
  // the start page's own failure is the start-up error instead.
  std::set<std::string> FReportedPages;
  bool FReportPages = false;
  std::list<std::unique_ptr<TPage>> FPages;
  TPage* FPage = nullptr;
  int32_t FPc = 0;
  bool FRunning = false;
  TStackList FStack;
  bool FEntered = false;
  TArrayString FArgs;
  int32_t FState = 0;
  TObjectRef FSender;
  int32_t FLevel = 2;
  const TCommand* FLastTraced = nullptr;
};

}  // namespace kest
