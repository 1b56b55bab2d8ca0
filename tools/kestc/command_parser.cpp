#include "kestc/command_parser.h"

#include <optional>
#include <set>

#include "common/sjis.h"
#include "kestc/keywords.h"
#include "kestc/story_text.h"
#include "kestc/value_syntax.h"
#include "language/build_kest_parser.h"
#include "scene/property_table.h"

namespace kest::kestc {

namespace {

bool IsFriendly(std::string_view word) {
  const std::string lower = LowerAscii(word);
  for (std::string_view k : kFriendlyKeywords)
    if (k == lower) return true;
  return false;
}

bool OpensBlock(int32_t id) { return id == ciIf || id == ciElseif || id == ciElse || id == ciWhile; }

template <size_t N>
std::optional<size_t> IndexOf(const std::string_view (&names)[N], std::string_view word) {
  const std::string lower = LowerAscii(word);
  for (size_t i = 0; i < N; ++i)
    if (names[i] == lower) return i;
  return std::nullopt;
}

std::optional<int32_t> ScopeOf(std::string_view word) {
  const std::string lower = LowerAscii(word);
  for (size_t i = 0; i < std::size(kScopes); ++i)
    if (kScopes[i].English == lower || kScopes[i].Japanese == word) return static_cast<int32_t>(i);
  return std::nullopt;
}

std::optional<int32_t> PropertyId(std::string_view name) {
  std::string lower = LowerAscii(name);
  if (lower.starts_with("pr_")) lower.erase(0, 3);
  for (const TPropertyInfo& p : Properties())
    if (LowerAscii(p.Name + 3) == lower) return p.Id;
  return std::nullopt;
}

size_t FieldIndex(const TCommandLayout& layout, std::string_view name) {
  for (size_t i = 0; i < layout.Fields.size(); ++i)
    if (layout.Fields[i].Kind != TFieldKind::Props && SameLetters(layout.Fields[i].Name, name)) return i;
  return std::string_view::npos;
}

std::string FieldNames(const TCommandLayout& layout) {
  std::string names;
  for (const TFieldLayout& f : layout.Fields)
    if (f.Kind != TFieldKind::Props) names += (names.empty() ? "" : ", ") + std::string(f.Name);
  return names.empty() ? " (it has no fields)" : " (its fields: " + names + ")";
}

bool OnOff(std::string_view word, int32_t column) {
  if (SameLetters(word, "on")) return true;
  if (SameLetters(word, "off")) return false;
  throw ESourceError(column, "expected on or off");
}

bool HasKeyword(TCursor& c, std::string_view word) {
  const size_t at = c.Pos();
  const bool found = c.TakeKeyword(word);
  c.SetPos(at);
  return found;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

TKestParser True() { return TBuildKestParser::Compile("TRUE"); }

// A value that may stand before the colon of a text line: it ends at a blank
// or that colon, except for the colon of raw:HEX.
std::string_view TakeTextValue(TCursor& c) {
  c.SkipBlanks();
  const size_t start = c.Pos();
  const std::string_view rest = c.Text().substr(start);
  const bool raw = rest.starts_with("raw:") && rest.size() > 4 && !IsBlank(rest[4]) && rest[4] != ':';
  c.SetPos(ScanValue(c.Text(), start + (raw ? 4 : 0), ":", c.ColumnAt(start)));
  return c.Text().substr(start, c.Pos() - start);
}

// The expression fields a text line names after its window.
std::optional<TExprField> TextOption(std::string_view word) {
  const std::string lower = LowerAscii(word);
  if (lower == "history") return kTextInsHistory;
  if (lower == "wait") return kTextInsWait;
  if (lower == "block") return kTextInsBlock;
  return std::nullopt;
}

}  // namespace

// The flag stands first: a comparison takes the type of its first operand,
// so the condition is judged as a flag, as `if` judges it, whatever its type.
std::string UntilText(std::string_view condition) { return "FALSE == (" + std::string(condition) + ")"; }

TPageParser::TPageParser(TCompiledPage& page, TDiagnostics& errors) : FPage(page), FErrors(errors) {}

void TPageParser::Parse(std::string_view text) {
  for (const TSourceLine& line : SplitLines(text)) ParseLine(line);
  FLoops.CloseFrom(0, FPage);
  LayOutMasks(*FPage.Page, FExtraMasks);
}

void TPageParser::ParseLine(const TSourceLine& line) {
  if (line.Text.empty() || line.Text[0] == '#') return;
  FLine = line.Number;
  TCursor c(line.Text, CharCount(line.Blanks) + 1);
  try {
    if (line.Text[0] == '@') {
      Directive(c);
    } else {
      CommandLine(c, FIndent.Level(line));
    }
  } catch (const ESourceError& error) {
    FErrors.Add(FPage.File, FLine, error.Column, error.what());
  }
}

void TPageParser::Directive(TCursor& c) {
  c.Advance();
  const int32_t column = c.Column();
  const std::string name = LowerAscii(c.TakeWord());
  const int32_t valueColumn = (c.SkipBlanks(), c.Column());
  if ((name == "version" || name == "result") && FStarted)
    throw ESourceError(column, "@" + name + " comes before the first command");
  if (name == "version") {
    FPage.Page->Version =
        static_cast<int32_t>(ParseWhole(c.TakeWord(), kOldestPageVersion, kNewestPageVersion, valueColumn));
  } else if (name == "result") {
    const std::string_view word = c.TakeWord();
    if (const auto kind = IndexOf(kResultKinds, word)) {
      FPage.Page->ResultKind = static_cast<uint8_t>(*kind);
    } else if (!word.empty() && word[0] >= '0' && word[0] <= '9') {
      FPage.Page->ResultKind = static_cast<uint8_t>(ParseWhole(word, 0, 255, valueColumn));
    } else {
      throw ESourceError(valueColumn, "expected none, int, real, flag or string");
    }
  } else if (name == "continue") {
    FContinue = OnOff(c.TakeWord(), valueColumn);
  } else if (name == "mask") {
    const TCommandLayout* layout = CommandLayoutByName(c.TakeWord());
    if (!layout) throw ESourceError(valueColumn, "@mask names a command: @mask BoxNew HEX");
    const int32_t hexColumn = (c.SkipBlanks(), c.Column());
    const std::vector<uint8_t> bytes = DecodeHex(c.TakeWord(), hexColumn);
    if (bytes.size() != kMaskSlotSize) throw ESourceError(hexColumn, "a mask is 21 bytes (42 hexadecimal digits)");
    for (size_t i = 0; i < bytes.size(); ++i) FExtraMasks[layout->Id * kMaskSlotSize + i] |= bytes[i];
  } else {
    throw ESourceError(column, "unknown directive @" + name + " (@version, @result, @continue, @mask)");
  }
  RequireEnd(c);
}

int32_t TPageParser::EnterLevel(int32_t level) {
  FLoops.CloseFrom(level, FPage);
  const bool first = FPrevLevel < 0;
  const int32_t allowed = first ? 0 : FPrevLevel + (FPrevOpens ? 1 : 0);
  FStarted = true;
  if (level > allowed)
    throw ESourceError(1, first ? "the first command is not indented"
                                : "unexpected indentation: only the lines after if, elseif, else, while and for go one "
                                  "level deeper");
  FPrevLevel = level;
  FPrevOpens = false;
  FChain.resize(static_cast<size_t>(level) + 1, -1);
  const int32_t before = FChain[static_cast<size_t>(level)];
  FChain[static_cast<size_t>(level)] = -1;
  return before;
}

void TPageParser::CommandLine(TCursor& c, int32_t level) {
  const int32_t before = EnterLevel(level);
  FHeader = {level, false, FContinue, FLine};
  Modifiers(c);
  const bool generic = c.Peek() == '!';
  if (generic) c.Advance();
  const int32_t column = c.Column();
  const std::string_view word = c.TakeWord("(");
  if (word.empty()) throw ESourceError(column, "a command name is missing");
  const TCommandLayout* layout = CommandLayoutByName(word);
  const bool friendly = !generic && IsFriendly(word);
  if (!friendly && !layout) throw ESourceError(column, "unknown command " + std::string(word));
  const std::string lower = LowerAscii(word);
  const int32_t id = friendly ? (lower == "for" || lower == "while" ? ciWhile : layout ? layout->Id : -1) : layout->Id;
  FPrevOpens = OpensBlock(id);
  FChain[static_cast<size_t>(level)] = id;
  if ((id == ciElseif || id == ciElse) && friendly && before != ciIf && before != ciElseif)
    throw ESourceError(column, lower + " follows an if or elseif at the same indentation");
  FWordColumn = column;
  if (friendly) {
    Friendly(lower, c, level);
  } else {
    Generic(*layout, c);
  }
}

void TPageParser::Modifiers(TCursor& c) {
  if (c.Peek() != '[') return;
  const size_t open = c.Pos();
  const size_t close = c.Text().find(']', open);
  if (close == std::string_view::npos) throw ESourceError(c.Column(), "this [ is never closed");
  TCursor m(c.Text().substr(open + 1, close - open - 1), c.ColumnAt(open + 1));
  while (!m.AtEnd()) {
    const int32_t column = m.Column();
    const std::string_view item = m.TakeWord();
    const size_t eq = item.find('=');
    const std::string key = LowerAscii(item.substr(0, eq));
    const std::string_view value = eq == std::string_view::npos ? std::string_view() : item.substr(eq + 1);
    const int32_t valueColumn = column + CharCount(item.substr(0, eq)) + 1;
    if (key == "skip" && eq == std::string_view::npos) {
      FHeader.Skipped = true;
    } else if (key == "continue" && eq != std::string_view::npos) {
      FHeader.Continue = OnOff(value, valueColumn);
    } else if (key == "line" && eq != std::string_view::npos) {
      FHeader.Line = static_cast<int32_t>(ParseWhole(value, INT32_MIN, INT32_MAX, valueColumn));
    } else if (key == "indent" && eq != std::string_view::npos) {
      FHeader.Indent = static_cast<int32_t>(ParseWhole(value, INT32_MIN, INT32_MAX, valueColumn));
    } else {
      throw ESourceError(column,
                         "unknown modifier " + std::string(item) + " (skip, continue=on|off, line=N, indent=N)");
    }
  }
  c.SetPos(close + 1);
  c.SkipBlanks();
}

void TPageParser::Friendly(std::string_view keyword, TCursor& c, int32_t level) {
  if (keyword == "if") {
    IfLike(ciIf, c);
  } else if (keyword == "elseif") {
    IfLike(ciElseif, c);
  } else if (keyword == "else") {
    RequireEnd(c);
    Add(ciElse);
  } else if (keyword == "while" || keyword == "for") {
    Loop(c, level, keyword == "for");
  } else if (keyword == "break") {
    LoopExit(ciBreak, c);
  } else if (keyword == "continue") {
    LoopExit(ciContinue, c);
  } else if (keyword == "label") {
    Label(c);
  } else if (keyword == "jump") {
    JumpLike(ciJump, c);
  } else if (keyword == "call") {
    JumpLike(ciCall, c);
  } else if (keyword == "exit") {
    TKestParser condition = Condition(c);
    Add(ciExit).At(field::kCondition) = std::move(condition);
  } else if (keyword == "calc") {
    const int32_t column = (c.SkipBlanks(), c.Column());
    const std::string_view rest = c.TakeRest();
    if (rest.empty()) throw ESourceError(column, "calc needs an expression");
    Add(ciCalc).At(field::kCalcExpr) = Expr(rest, column);
  } else if (keyword == "var") {
    Var(c);
  } else if (keyword == "del") {
    const int32_t column = (c.SkipBlanks(), c.Column());
    const std::string name = DecodeText(c.TakeValue(), column);
    if (name.empty()) throw ESourceError(column, "del needs a variable name");
    RequireEnd(c);
    Add(ciVarDel).At(field::kVarDelName) = name;
  } else if (keyword == "wait") {
    Wait(c);
  } else if (keyword == "text") {
    Text(c);
  } else if (keyword == "doevent" || keyword == "terminate") {
    RequireEnd(c);
    Add(keyword == "doevent" ? ciDoEvent : ciTerminate);
  } else {
    const int32_t column = (c.SkipBlanks(), c.Column());
    Add(ciComment).At(field::kCommentText) = ToCp932(c.TakeRest(), column);
  }
}

void TPageParser::IfLike(uint8_t id, TCursor& c) {
  const int32_t column = (c.SkipBlanks(), c.Column());
  const std::string_view rest = c.TakeRest();
  if (rest.empty()) throw ESourceError(column, std::string(id == ciIf ? "if" : "elseif") + " needs a condition");
  TKestParser condition = Expr(rest, column);
  Add(id).At(field::kCondition) = std::move(condition);
}

void TPageParser::Loop(TCursor& c, int32_t level, bool isFor) {
  const int32_t column = (c.SkipBlanks(), c.Column());
  const std::string_view rest = c.TakeRest();
  TPiece parts[3] = {{{}, 0}, {rest, 0}, {{}, 0}};
  if (isFor) {
    const std::vector<TPiece> pieces = SplitOutside(rest, ';', column);
    if (pieces.size() != 3) throw ESourceError(column, "for is written for INIT; CONDITION; STEP");
    std::copy(pieces.begin(), pieces.end(), parts);
  }
  auto columnOf = [&](const TPiece& p) {
    const size_t blanks = std::min(p.Text.find_first_not_of(" \t"), p.Text.size());
    return column + CharCount(rest.substr(0, p.Offset + blanks));
  };
  if (TrimBlanks(parts[1].Text).empty())
    throw ESourceError(isFor ? columnOf(parts[1]) : column,
                       "the loop needs a condition (an empty one is false: TRUE loops until a break)");
  TKestParser init = Expr(parts[0].Text, columnOf(parts[0]));
  TKestParser condition = Expr(parts[1].Text, columnOf(parts[1]));
  TKestParser step = Expr(parts[2].Text, columnOf(parts[2]));
  Add(ciWhileInit).At(field::kWhileInitExpr) = std::move(init);
  Add(ciWhile).At(field::kWhileCondition) = std::move(condition);
  std::unique_ptr<TCommand> end = Make(ciWhileLoop);
  end->At(field::kWhileLoopStep) = std::move(step);
  FLoops.Open(level, FPage.Count() - 1, std::move(end), FLine);
}

void TPageParser::LoopExit(uint8_t id, TCursor& c) {
  if (!FLoops.Inside())
    throw ESourceError(FWordColumn,
                       std::string(id == ciBreak ? "break" : "continue") + " is not inside a while or for loop");
  TKestParser condition = Condition(c);
  Add(id).At(field::kBreakCondition) = std::move(condition);
  if (id == ciBreak) {
    FLoops.AddBreak(FPage.Count() - 1);
  } else {
    FLoops.AddContinue(FPage.Count() - 1);
  }
}

void TPageParser::Label(TCursor& c) {
  const int32_t column = (c.SkipBlanks(), c.Column());
  const std::string name = DecodeText(c.TakeValue(), column);
  if (name.empty()) throw ESourceError(column, "label needs a name");
  RequireEnd(c);
  const auto [at, added] = FLabels.emplace(name, FLine);
  if (!added)
    throw ESourceError(column,
                       "label " + Cp932ToUtf8(name) + " is already defined at line " + std::to_string(at->second));
  Add(ciLabel).At(field::kLabelName) = name;
}

void TPageParser::JumpLike(uint8_t id, TCursor& c) {
  TCommand& command = Add(id);
  // Jump and Call name their target in the same two fields.
  static_assert(field::kJumpPage.Index == field::kCallPage.Index && field::kJumpPc.Index == field::kCallPc.Index);
  Target(c, command, field::kJumpPage, field::kJumpPc);
  if (id == ciJump) {
    command.At(field::kJumpCondition) = Condition(c);
    return;
  }
  if (c.Peek() == '(') {
    const int32_t column = c.Column();
    try {
      command.At(field::kCallArgs) = CompileList(c.TakeValue(), column);
    } catch (const ESourceError& error) {
      FErrors.Add(FPage.File, FLine, error.Column, error.what());
    }
  }
  c.SkipBlanks();
  if (c.Text().substr(c.Pos()).starts_with("->")) {
    c.Advance(2);
    const int32_t column = (c.SkipBlanks(), c.Column());
    const std::string_view var = c.TakeWord();
    if (var.empty()) throw ESourceError(column, "-> needs the name of the variable that takes the result");
    command.At(field::kCallResult) = ToCp932(var, column);
  }
  command.At(field::kCallCondition) = Condition(c);
}

void TPageParser::Target(TCursor& c, TCommand& command, TTextField pageField, TIntField pcField) {
  const int32_t column = (c.SkipBlanks(), c.Column());
  if (c.Peek() == '"') {
    command.At(pageField) = DecodeText(c.TakeValue("@("), column);
    if (c.Peek() == '@') {
      c.Advance();
      const int32_t pcColumn = c.Column();
      command.At(pcField) = static_cast<int32_t>(ParseWhole(c.TakeWord("("), INT32_MIN, INT32_MAX, pcColumn));
    }
    return;
  }
  const std::string_view word = c.TakeWord("(");
  if (word.empty()) throw ESourceError(column, "the target page is missing: PAGE, PAGE:LABEL or :LABEL");
  TReference ref = Reference(word, column);
  ref.Command = FPage.Count() - 1;
  ref.PageField = static_cast<int32_t>(pageField.Index);
  ref.PcField = static_cast<int32_t>(pcField.Index);
  FPage.References.push_back(std::move(ref));
}

TReference TPageParser::Reference(std::string_view text, int32_t column) {
  const size_t colon = text.find(':');
  const std::string_view page = text.substr(0, colon);
  TReference ref;
  ref.Line = FLine;
  ref.Column = column;
  if (colon != std::string_view::npos) {
    const std::string_view label = text.substr(colon + 1);
    if (label.empty()) throw ESourceError(column, "a label name is missing after the :");
    ref.Label = ToCp932(label, column + CharCount(page) + 1);
  }
  if (page.empty()) return ref;
  const std::string lower = LowerAscii(page);
  if (lower.ends_with(".kst") || lower.ends_with(".ksb"))
    throw ESourceError(column, "a page is named without its extension: menu, sub/menu");
  ref.Page = ToCp932(page, column);
  for (char& ch : ref.Page)
    if (ch == '/') ch = '\\';
  ref.Page += ".ksb";
  return ref;
}

void TPageParser::Wait(TCursor& c) {
  TCommand& wait = Add(ciWait);
  c.SkipBlanks();
  int32_t blockColumn = 0;
  if (!c.AtEnd() && !HasKeyword(c, "while") && !HasKeyword(c, "until") && !HasKeyword(c, "block")) {
    const int32_t column = c.Column();
    wait.At(field::kWaitTime) = Value(c.TakeValue(), column);
  }
  c.SkipBlanks();
  const bool until = HasKeyword(c, "until");
  if (c.TakeKeyword("while") || c.TakeKeyword("until")) {
    const int32_t column = (c.SkipBlanks(), c.Column());
    std::string_view rest = c.TakeRest();
    const size_t last = rest.find_last_of(" \t");
    if (last != std::string_view::npos && SameLetters(rest.substr(last + 1), "block")) {
      blockColumn = column + CharCount(rest.substr(0, last + 1));
      rest = TrimBlanks(rest.substr(0, last));
    }
    if (rest.empty()) throw ESourceError(column, std::string(until ? "until" : "while") + " needs a condition");
    if (until && rest.starts_with("raw:"))
      throw ESourceError(column, "until takes expression text: write while raw:...");
    // The record holds the condition the wait goes on under.
    wait.At(field::kWaitCondition) = until ? Expr(UntilText(rest), column) : Expr(rest, column);
  } else if (!c.AtEnd()) {
    const int32_t column = c.Column();
    if (c.TakeKeyword("block")) blockColumn = column;
  }
  RequireEnd(c);
  if (blockColumn > 0) {
    RequireVersion(field::kWaitBlock.SinceVersion, "block", blockColumn);
    wait.At(field::kWaitBlock) = True();
  }
}

void TPageParser::Var(TCursor& c) {
  const int32_t kindColumn = (c.SkipBlanks(), c.Column());
  const auto kind = IndexOf(kVarKinds, c.TakeWord());
  if (!kind) throw ESourceError(kindColumn, "var needs a kind: int, real, flag or string");
  const int32_t nameColumn = (c.SkipBlanks(), c.Column());
  const std::string_view name = c.TakeWord("=");
  if (name.empty()) throw ESourceError(nameColumn, "var needs a variable name");
  TCommand& var = Add(ciVarNew);
  var.At(field::kVarNewName) = ToCp932(name, nameColumn);
  var.At(field::kVarNewKind) = static_cast<int32_t>(*kind) + 1;
  int32_t scope = 0;
  c.SkipBlanks();
  if (c.Peek() == '=') {
    c.Advance();
    const int32_t column = (c.SkipBlanks(), c.Column());
    std::string_view rest = c.TakeRest();
    const size_t last = rest.find_last_of(" \t");
    if (last != std::string_view::npos) {
      if (const auto s = ScopeOf(rest.substr(last + 1))) {
        scope = *s;
        rest = TrimBlanks(rest.substr(0, last));
      }
    }
    if (rest.empty()) throw ESourceError(column, "= needs the variable's first value");
    var.At(field::kVarNewValue) = Expr(rest, column);
  } else if (!c.AtEnd()) {
    const int32_t column = c.Column();
    const auto s = ScopeOf(c.TakeWord());
    if (!s) throw ESourceError(column, "expected = VALUE or a scope: global, auto, local or status");
    scope = *s;
    RequireEnd(c);
  }
  var.At(field::kVarNewScope) = scope;
}

void TPageParser::Text(TCursor& c) {
  TCommand& text = Add(ciTextIns);
  const int32_t column = (c.SkipBlanks(), c.Column());
  if (c.AtEnd() || c.Peek() == ':') throw ESourceError(column, "text needs a window: text \"mes\": MARKUP");
  text.At(kTextInsWindow) = Value(TakeTextValue(c), column);
  std::set<std::string> seen;
  while (!c.AtEnd() && c.Peek() != ':') {
    const int32_t at = c.Column();
    const std::string_view word = c.TakeWord("=:");
    const std::optional<TExprField> option = TextOption(word);
    if (!option) throw ESourceError(at, "expected history, wait, block or the : before the markup");
    if (!seen.insert(LowerAscii(word)).second) throw ESourceError(at, std::string(word) + " is given twice");
    RequireVersion(option->SinceVersion, word, at);
    TKestParser value = True();
    if (c.Peek() == '=') {
      c.Advance();
      const int32_t valueColumn = c.Column();
      if (c.Peek() == '\0' || IsBlank(c.Peek()) || c.Peek() == ':')
        throw ESourceError(at, std::string(word) + "= needs a value (() is the empty expression)");
      value = Value(TakeTextValue(c), valueColumn);
    }
    text.At(*option) = std::move(value);
  }
  if (c.Peek() != ':') throw ESourceError(c.Column(), "expected : and the markup: text \"mes\": MARKUP");
  c.Advance();
  if (c.Peek() == ' ') c.Advance();
  const int32_t markupColumn = c.Column();
  text.At(kTextInsText) = Markup(ToCp932(c.Text().substr(c.Pos()), markupColumn), markupColumn);
}

std::string TPageParser::Markup(std::string_view cp932, int32_t column) {
  try {
    return CompileMarkup(cp932, column);
  } catch (const ESourceError& error) {
    FErrors.Add(FPage.File, FLine, error.Column, error.what());
    return std::string();
  }
}

TKestParser TPageParser::Condition(TCursor& c) {
  if (c.AtEnd()) return True();
  const int32_t column = c.Column();
  if (!c.TakeKeyword("if")) throw ESourceError(column, "expected if CONDITION or the end of the line");
  const int32_t at = (c.SkipBlanks(), c.Column());
  const std::string_view rest = c.TakeRest();
  if (rest.empty()) throw ESourceError(at, "if needs a condition");
  return Expr(rest, at);
}

void TPageParser::Generic(const TCommandLayout& layout, TCursor& c) {
  TCommand& command = Add(layout.Id);
  const size_t refsBefore = FPage.References.size();
  std::set<std::string> seen;
  int32_t pcColumn = 0;
  while (!c.AtEnd()) {
    const int32_t column = c.Column();
    const std::string_view name = c.TakeWord("=");
    if (name.empty() || c.Peek() != '=') throw ESourceError(column, "expected NAME=VALUE");
    c.Advance();
    if (c.Peek() == '\0' || IsBlank(c.Peek()))
      throw ESourceError(column, std::string(name) + "= needs a value (() is the empty expression)");
    const int32_t valueColumn = c.Column();
    const std::string_view value = c.TakeValue();
    const std::string lower = LowerAscii(name);
    if (!seen.insert(lower).second) throw ESourceError(column, std::string(name) + " is given twice");
    if (lower == "pc") pcColumn = column;
    const size_t field = FieldIndex(layout, lower);
    if (field != std::string_view::npos) {
      RequireVersion(layout.Fields[field].SinceVersion, name, column);
      GenericField(command, field, value, valueColumn);
    } else if (layout.IsComponent()) {
      const auto property = PropertyId(lower);
      if (!property) throw ESourceError(column, "unknown property " + std::string(name) + " of " + layout.Name);
      command.At(field::kComponentProps).Prop(*property) = std::make_unique<TKestParser>(Value(value, valueColumn));
    } else {
      throw ESourceError(column, std::string(layout.Name) + " has no field " + std::string(name) + FieldNames(layout));
    }
  }
  if (pcColumn > 0 && FPage.References.size() > refsBefore)
    throw ESourceError(pcColumn, "the pc comes from the page reference: leave pc= out, or quote the page name");
}

void TPageParser::GenericField(TCommand& command, size_t field, std::string_view value, int32_t column) {
  const TFieldLayout& layout = command.Layout().Fields[field];
  TFieldValue& target = command.Fields()[field];
  switch (layout.Kind) {
    case TFieldKind::Expr: target.Expr = Value(value, column); break;
    case TFieldKind::Str:
      if (std::string_view(layout.Name) == "page") {
        PageField(command, field, value, column);
      } else {
        target.Text = DecodeText(value, column);
      }
      break;
    case TFieldKind::Int: target.Int = static_cast<int32_t>(ParseWhole(value, INT32_MIN, INT32_MAX, column)); break;
    case TFieldKind::Byte:
      if (command.GetCommandId() == ciVarNew && std::string_view(layout.Name) == "kind" && IndexOf(kVarKinds, value)) {
        target.Int = static_cast<int32_t>(*IndexOf(kVarKinds, value)) + 1;
      } else if (command.GetCommandId() == ciVarNew && std::string_view(layout.Name) == "scope" && ScopeOf(value)) {
        target.Int = *ScopeOf(value);
      } else {
        target.Int = static_cast<int32_t>(ParseWhole(value, 0, 255, column));
      }
      break;
    case TFieldKind::Data: {
      if (value.starts_with("markup:")) {
        target.Text = Markup(DecodeText(value.substr(7), column + 7), column + 7);
        break;
      }
      if (!value.starts_with("hex:")) throw ESourceError(column, "data is written hex:0A0B...");
      const std::vector<uint8_t> bytes = DecodeHex(value.substr(4), column + 4);
      target.Text.assign(bytes.begin(), bytes.end());
      break;
    }
    case TFieldKind::ExprList: try { target.List = CompileList(value, column);
      } catch (const ESourceError& error) {
        FErrors.Add(FPage.File, FLine, error.Column, error.what());
      }
      break;
    case TFieldKind::Props: break;
  }
}

void TPageParser::PageField(TCommand& command, size_t field, std::string_view value, int32_t column) {
  if (value.starts_with('"')) {
    command.Fields()[field].Text = DecodeText(value, column);
    return;
  }
  TReference ref = Reference(value, column);
  const size_t pc = FieldIndex(command.Layout(), "pc");
  const bool stored = pc != std::string_view::npos && Version() >= command.Layout().Fields[pc].SinceVersion;
  if (!stored && !ref.Label.empty())
    throw ESourceError(column, "a page of version " + std::to_string(Version()) +
                                   " stores no pc here: refer to the page without a label");
  ref.Command = FPage.Count() - 1;
  ref.PageField = static_cast<int32_t>(field);
  ref.PcField = stored ? static_cast<int32_t>(pc) : -1;
  FPage.References.push_back(std::move(ref));
}

std::unique_ptr<TCommand> TPageParser::Make(uint8_t id) {
  std::unique_ptr<TCommand> command = FPage.Make(id);
  command->Indent = FHeader.Indent;
  command->Skipped = FHeader.Skipped;
  command->Continue = FHeader.Continue;
  command->Line = FHeader.Line;
  return command;
}

TCommand& TPageParser::Add(uint8_t id) { return Add(Make(id)); }

TCommand& TPageParser::Add(std::unique_ptr<TCommand> command) { return FPage.Append(std::move(command), FLine); }

TKestParser TPageParser::Expr(std::string_view text, int32_t column) {
  try {
    return CompileExpression(text, column);
  } catch (const ESourceError& error) {
    FErrors.Add(FPage.File, FLine, error.Column, error.what());
    return TKestParser();
  }
}

TKestParser TPageParser::Value(std::string_view value, int32_t column) {
  try {
    return CompileValue(value, column);
  } catch (const ESourceError& error) {
    FErrors.Add(FPage.File, FLine, error.Column, error.what());
    return TKestParser();
  }
}

void TPageParser::RequireEnd(TCursor& c) {
  if (!c.AtEnd()) throw ESourceError(c.Column(), "unexpected text at the end of the line");
}

void TPageParser::RequireVersion(int32_t since, std::string_view what, int32_t column) {
  if (Version() < since)
    throw ESourceError(column, std::string(what) + " needs @version " + std::to_string(since) +
                                   " or later (this page is version " + std::to_string(Version()) + ")");
}

}  // namespace kest::kestc
