#pragma once
// Reads one source file into a page: directives, the friendly forms of the
// flow commands, component commands with named properties, and the generic
// NAME field=value form that writes any command exactly. Every mistake goes
// to the diagnostics with its line and column; the reader then goes on with
// the next line (a broken expression is read as the empty one), so one run
// shows them all.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "kestc/diagnostics.h"
#include "kestc/page_layout.h"
#include "kestc/source_text.h"

namespace kest::kestc {

// A wait that lasts until a condition holds is stored as one that goes on
// while this expression is true.
std::string UntilText(std::string_view condition);

class TPageParser {
 public:
  TPageParser(TCompiledPage& page, TDiagnostics& errors);
  void Parse(std::string_view text);

 private:
  struct THeader {
    int32_t Indent = 0;
    bool Skipped = false;
    bool Continue = true;
    int32_t Line = 0;
  };

  void ParseLine(const TSourceLine& line);
  void Directive(TCursor& c);
  // Closes the loops the level leaves and checks it may be entered; gives
  // the id of the line before at that level (-1 for none).
  int32_t EnterLevel(int32_t level);
  void CommandLine(TCursor& c, int32_t level);
  void Modifiers(TCursor& c);
  void Friendly(std::string_view keyword, TCursor& c, int32_t level);
  void Generic(const TCommandLayout& layout, TCursor& c);
  void GenericField(TCommand& command, size_t field, std::string_view value, int32_t column);
  void PageField(TCommand& command, size_t field, std::string_view value, int32_t column);

  void IfLike(uint8_t id, TCursor& c);
  void Loop(TCursor& c, int32_t level, bool isFor);
  void LoopExit(uint8_t id, TCursor& c);
  void Label(TCursor& c);
  void JumpLike(uint8_t id, TCursor& c);
  void Wait(TCursor& c);
  void Var(TCursor& c);
  void Text(TCursor& c);
  std::string Markup(std::string_view cp932, int32_t column);

  TCommand& Add(uint8_t id);
  TCommand& Add(std::unique_ptr<TCommand> command);
  std::unique_ptr<TCommand> Make(uint8_t id);
  // Compiles, or reports the mistake and gives the empty expression.
  TKestParser Expr(std::string_view text, int32_t column);
  TKestParser Value(std::string_view value, int32_t column);
  TKestParser Condition(TCursor& c);
  // PAGE, PAGE:LABEL or :LABEL, or a page name in quotes with @PC.
  void Target(TCursor& c, TCommand& command, TTextField pageField, TIntField pcField);
  TReference Reference(std::string_view text, int32_t column);
  void RequireEnd(TCursor& c);
  void RequireVersion(int32_t since, std::string_view what, int32_t column);
  int32_t Version() const { return FPage.Page->Version; }

  TCompiledPage& FPage;
  TDiagnostics& FErrors;
  TIndentReader FIndent;
  TLoopLayout FLoops;
  bool FContinue = true;
  bool FStarted = false;
  int32_t FPrevLevel = -1;
  bool FPrevOpens = false;
  std::vector<int32_t> FChain;  // per level: the id of the last command line there
  std::map<std::string, int32_t> FLabels;
  std::array<uint8_t, kMaskAreaSize> FExtraMasks{};
  int32_t FLine = 0;
  int32_t FWordColumn = 0;  // of the command name
  THeader FHeader;
};

}  // namespace kest::kestc
