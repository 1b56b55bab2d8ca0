#include "kestc/page_dumper.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/errors.h"
#include "common/sjis.h"
#include "kestc/command_parser.h"
#include "kestc/diagnostics.h"
#include "kestc/keywords.h"
#include "kestc/script_compiler.h"
#include "kestc/source_text.h"
#include "kestc/story_text.h"
#include "kestc/value_syntax.h"
#include "language/build_kest_parser.h"
#include "scene/property_table.h"
#include "script/command.h"

namespace kest::kestc {

namespace {

// Blank lines stand in for lines without commands up to this many; past that
// the line number goes into a modifier.
constexpr int32_t kMaxGap = 40;
// Deeper blocks are written at this level with their indent as a modifier, so
// that a hand-made page of ever deeper commands gives no runaway text.
constexpr int32_t kMaxLevel = 64;

std::vector<uint8_t> CommandBytes(const TCommand& c) {
  TByteStream stream;
  WriteByte(stream, c.GetCommandId());
  c.SaveToStream(stream);
  return stream.TakeBytes();
}

bool IsTrue(const TKestParser& e) {
  static const std::vector<uint8_t> kTrue = RecordBytes(TBuildKestParser::Compile("TRUE"));
  return RecordBytes(e) == kTrue;
}

// Shift-JIS text as UTF-8 when it converts both ways unchanged and holds no
// control characters.
std::optional<std::string> PlainText(std::string_view cp932) {
  const std::optional<std::string> utf8 = Cp932ToUtf8Strict(cp932);
  if (!utf8 || Utf8ToCp932Strict(*utf8) != cp932) return std::nullopt;
  for (char c : *utf8)
    if (static_cast<uint8_t>(c) < 0x20 || c == 0x7F) return std::nullopt;
  return utf8;
}

// A name that reads back as a bare word: no blanks, quotes or brackets.
std::optional<std::string> BareWord(std::string_view cp932, std::string_view alsoRefused = {}) {
  std::optional<std::string> text = PlainText(cp932);
  if (!text || text->empty()) return std::nullopt;
  for (char c : *text)
    if (IsBlank(c) || std::string_view("\"()[]").find(c) != std::string_view::npos ||
        alsoRefused.find(c) != std::string_view::npos)
      return std::nullopt;
  return text;
}

std::string NameSource(std::string_view cp932) { return BareWord(cp932).value_or(QuoteText(cp932)); }

bool IsFriendlyName(std::string_view lower) {
  return std::find(std::begin(kFriendlyKeywords), std::end(kFriendlyKeywords), lower) != std::end(kFriendlyKeywords);
}

bool OpensBlock(uint8_t id) { return id == ciIf || id == ciElseif || id == ciElse || id == ciWhile; }

// "until C" when the condition is the form until gives, else "while C".
std::string WaitCondition(const TKestParser& e) {
  const std::string text = ExpressionSource(e);
  constexpr std::string_view kNot = "FALSE == ";
  if (text.starts_with(kNot)) {
    const std::string_view rest = std::string_view(text).substr(kNot.size());
    std::vector<std::string_view> inners;
    if (IsWrapped(rest)) inners.push_back(rest.substr(1, rest.size() - 2));
    inners.push_back(rest);
    for (const std::string_view inner : inners) {
      try {
        if (RecordBytes(CompileExpression(UntilText(inner), 1)) == RecordBytes(e)) return "until " + std::string(inner);
      } catch (const ESourceError&) {
      }
    }
  }
  return "while " + text;
}

class TPageDumper {
 public:
  TPageDumper(const TPage& page, std::string name) : FPage(page), FName(std::move(name)) {}
  std::string Dump();

 private:
  struct TOpenLoop {
    int32_t Level;
    int32_t End;  // the WhileLoop
  };

  int32_t Count() const { return FPage.Commands().Count(); }
  const TCommand& At(int32_t i) const { return *FPage.Commands().Items(i); }
  std::string Render();
  std::vector<std::string> Directives() const;
  std::optional<int32_t> LoopEnd(int32_t i) const;
  std::optional<std::string> Friendly(int32_t i) const;
  std::string Generic(const TCommand& c) const;
  std::optional<std::string> LoopHead(int32_t i) const;
  std::string Target(const std::string& page, int32_t pc) const;
  std::optional<std::string> PageReference(const TCommand& c) const;
  std::optional<std::string> ConditionTail(const TKestParser& e) const;
  std::optional<std::string> Wait(const TCommand& c) const;
  std::optional<std::string> Var(const TCommand& c) const;
  std::optional<std::string> Call(const TCommand& c) const;
  std::optional<std::string> Text(const TCommand& c) const;
  // Compiles text and marks the commands whose lines did not come back
  // exactly; true when the whole page did.
  bool Verify(const std::string& text);
  bool MarkLine(int32_t line);

  const TPage& FPage;
  std::string FName;
  bool FContinue = true;
  std::vector<bool> FGeneric;
  std::vector<TOpenLoop> FLoops;
  std::vector<std::vector<int32_t>> FLineCommands;  // per output line (from 1)
  std::vector<int32_t> FCommandLine;                // per command
};

std::string TPageDumper::Dump() {
  const int32_t n = Count();
  int32_t on = 0;
  for (int32_t i = 0; i < n; ++i) on += At(i).Continue ? 1 : 0;
  FContinue = 2 * on >= n;
  FGeneric.assign(static_cast<size_t>(n), false);
  for (;;) {
    const std::string text = Render();
    if (Verify(text)) return text;
  }
}

std::vector<std::string> TPageDumper::Directives() const {
  std::vector<std::string> lines;
  if (FPage.Version != kNewestPageVersion) lines.push_back("@version " + std::to_string(FPage.Version));
  if (FPage.ResultKind != 1)
    lines.push_back("@result " + (FPage.ResultKind < std::size(kResultKinds)
                                      ? std::string(kResultKinds[FPage.ResultKind])
                                      : std::to_string(FPage.ResultKind)));
  if (!FContinue) lines.push_back("@continue off");
  std::array<uint8_t, kMaskAreaSize> used{};
  for (int32_t i = 0; i < Count(); ++i) {
    const TCommand& c = At(i);
    for (const TFieldValue& f : c.Fields())
      for (size_t p = 0; p < f.Props.size(); ++p)
        if (f.Props[p] && !IsEmptyExpression(*f.Props[p]))
          used[c.GetCommandId() * kMaskSlotSize + p / 8] |= static_cast<uint8_t>(1u << (p % 8));
  }
  for (int32_t id = 0; id < kCommandIdCount; ++id) {
    std::array<uint8_t, kMaskSlotSize> extra{};
    bool any = false;
    for (int32_t k = 0; k < kMaskSlotSize; ++k) {
      extra[static_cast<size_t>(k)] = FPage.Mask(id)[static_cast<size_t>(k)] & ~used[id * kMaskSlotSize + k];
      any = any || extra[static_cast<size_t>(k)] != 0;
    }
    if (any) lines.push_back("@mask " + std::string(CommandLayout(id)->Name) + " " + HexText(extra));
  }
  return lines;
}

std::string TPageDumper::Render() {
  std::vector<std::string> lines = Directives();
  FLineCommands.assign(lines.size() + 1, {});
  FCommandLine.assign(static_cast<size_t>(Count()), 0);
  FLoops.clear();
  int32_t allowed = 0;
  for (int32_t i = 0; i < Count(); ++i) {
    if (!FLoops.empty() && FLoops.back().End == i) {
      allowed = FLoops.back().Level;
      FLoops.pop_back();
      continue;
    }
    const TCommand& c = At(i);
    const int32_t level = std::clamp(c.Indent, 0, std::min(allowed, kMaxLevel));
    std::vector<int32_t> produced = {i};
    std::optional<std::string> text;
    const std::optional<int32_t> end = LoopEnd(i);
    if (end) {
      text = LoopHead(i);
      produced = {i, i + 1, *end};
    } else if (!FGeneric[static_cast<size_t>(i)]) {
      text = Friendly(i);
    }
    if (!text) text = Generic(c);
    const auto next = static_cast<int32_t>(lines.size()) + 1;
    int32_t number = next;
    if (c.Line > next && c.Line - next <= kMaxGap) {
      lines.resize(static_cast<size_t>(c.Line - 1));
      number = c.Line;
    }
    std::string mods;
    auto mod = [&](const std::string& m) { mods += (mods.empty() ? "[" : " ") + m; };
    if (level != c.Indent) mod("indent=" + std::to_string(c.Indent));
    if (c.Skipped) mod("skip");
    if (c.Continue != FContinue) mod(c.Continue ? "continue=on" : "continue=off");
    if (c.Line != number) mod("line=" + std::to_string(c.Line));
    if (!mods.empty()) mods += "] ";
    lines.push_back(std::string(static_cast<size_t>(level) * 4, ' ') + mods + *text);
    FLineCommands.resize(lines.size() + 1);
    FLineCommands[static_cast<size_t>(number)] = produced;
    for (int32_t k : produced) FCommandLine[static_cast<size_t>(k)] = number;
    if (end) {
      FLoops.push_back({level, *end});
      ++i;
    }
    allowed = level + (end || OpensBlock(c.GetCommandId()) ? 1 : 0);
  }
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

// The WhileLoop that closes the loop WhileInit i opens, when the three are
// laid out as a for or while line makes them.
std::optional<int32_t> TPageDumper::LoopEnd(int32_t i) const {
  if (i + 1 >= Count() || FGeneric[static_cast<size_t>(i)] || FGeneric[static_cast<size_t>(i) + 1]) return std::nullopt;
  const TCommand& init = At(i);
  const TCommand& loop = At(i + 1);
  if (init.GetCommandId() != ciWhileInit || loop.GetCommandId() != ciWhile) return std::nullopt;
  if (IsEmptyExpression(loop.At(field::kWhileCondition))) return std::nullopt;
  const int32_t end = loop.At(field::kWhileExit) - 1;
  if (end <= i + 1 || end >= Count() || FGeneric[static_cast<size_t>(end)]) return std::nullopt;
  const TCommand& close = At(end);
  if (close.GetCommandId() != ciWhileLoop || close.At(field::kWhileLoopTarget) != i + 1) return std::nullopt;
  for (const TCommand* c : {&loop, &close})
    if (c->Indent != init.Indent || c->Skipped != init.Skipped || c->Continue != init.Continue || c->Line != init.Line)
      return std::nullopt;
  for (int32_t k = i + 2; k < end; ++k)
    if (At(k).Indent <= init.Indent) return std::nullopt;
  return end;
}

std::optional<std::string> TPageDumper::LoopHead(int32_t i) const {
  const TKestParser& init = At(i).At(field::kWhileInitExpr);
  const TKestParser& condition = At(i + 1).At(field::kWhileCondition);
  const TKestParser& step = At(At(i + 1).At(field::kWhileExit) - 1).At(field::kWhileLoopStep);
  if (IsEmptyExpression(init) && IsEmptyExpression(step)) return "while " + ExpressionSource(condition);
  auto part = [](const TKestParser& e) { return IsEmptyExpression(e) ? std::string() : ExpressionSource(e); };
  const std::string after = IsEmptyExpression(step) ? std::string() : " " + part(step);
  return "for " + part(init) + "; " + part(condition) + ";" + after;
}

std::optional<std::string> TPageDumper::Friendly(int32_t i) const {
  const TCommand& c = At(i);
  switch (c.GetCommandId()) {
    case ciIf:
    case ciElseif:
      if (IsEmptyExpression(c.At(field::kCondition))) return std::nullopt;
      return std::string(c.GetCommandId() == ciIf ? "if " : "elseif ") + ExpressionSource(c.At(field::kCondition));
    case ciElse: return "else";
    case ciLabel: return "label " + NameSource(c.At(field::kLabelName));
    case ciJump: {
      const auto tail = ConditionTail(c.At(field::kJumpCondition));
      if (!tail) return std::nullopt;
      return "jump " + Target(c.At(field::kJumpPage), c.At(field::kJumpPc)) + *tail;
    }
    case ciCall: return Call(c);
    case ciExit: {
      const auto tail = ConditionTail(c.At(field::kCondition));
      return tail ? std::optional("exit" + *tail) : std::nullopt;
    }
    case ciWait: return Wait(c);
    case ciCalc:
      if (IsEmptyExpression(c.At(field::kCalcExpr))) return std::nullopt;
      return "calc " + ExpressionSource(c.At(field::kCalcExpr));
    case ciVarNew: return Var(c);
    case ciVarDel:
      if (c.At(field::kVarDelName).empty()) return std::nullopt;
      return "del " + NameSource(c.At(field::kVarDelName));
    case ciComment: {
      const auto text = PlainText(c.At(field::kCommentText));
      if (!text || text->empty() || IsBlank(text->front()) || IsBlank(text->back()))
        return text && text->empty() ? std::optional<std::string>("comment") : std::nullopt;
      return "comment " + *text;
    }
    case ciBreak:
    case ciContinue: {
      if (FLoops.empty()) return std::nullopt;
      const int32_t target = c.GetCommandId() == ciBreak ? FLoops.back().End + 1 : FLoops.back().End;
      const auto tail = ConditionTail(c.At(field::kBreakCondition));
      if (c.At(field::kBreakTarget) != target || !tail) return std::nullopt;
      return (c.GetCommandId() == ciBreak ? "break" : "continue") + *tail;
    }
    case ciTextIns: return Text(c);
    case ciDoEvent: return "doevent";
    case ciTerminate: return "terminate";
    default: return std::nullopt;
  }
}

std::string TPageDumper::Target(const std::string& page, int32_t pc) const {
  if (page == FName) {
    for (int32_t k = 0; k < Count(); ++k) {
      if (At(k).GetCommandId() != ciLabel) continue;
      const std::string& label = At(k).At(field::kLabelName);
      if (FPage.Commands().FindLabel(label) != pc) continue;
      if (const auto word = BareWord(label)) return ":" + *word;
    }
    const std::string base =
        page.size() > 4 && page.ends_with(".ksb") ? page.substr(0, page.size() - 4) : std::string();
    if (pc == 0 && !base.empty()) {
      if (auto word = BareWord(base, ":/")) {
        std::replace(word->begin(), word->end(), '\\', '/');
        return *word;
      }
    }
  }
  return QuoteText(page) + (pc != 0 ? "@" + std::to_string(pc) : std::string());
}

std::optional<std::string> TPageDumper::ConditionTail(const TKestParser& e) const {
  if (IsEmptyExpression(e)) return std::nullopt;
  if (IsTrue(e)) return std::string();
  return " if " + ExpressionSource(e);
}

std::optional<std::string> TPageDumper::Call(const TCommand& c) const {
  const auto tail = ConditionTail(c.At(field::kCallCondition));
  if (!tail) return std::nullopt;
  std::string text = "call " + Target(c.At(field::kCallPage), c.At(field::kCallPc));
  if (!c.At(field::kCallArgs).empty()) text += ListSource(c.At(field::kCallArgs));
  if (!c.At(field::kCallResult).empty()) {
    const auto var = BareWord(c.At(field::kCallResult));
    if (!var) return std::nullopt;
    text += " -> " + *var;
  }
  return text + *tail;
}

std::optional<std::string> TPageDumper::Wait(const TCommand& c) const {
  std::string text = "wait";
  const TKestParser& time = c.At(field::kWaitTime);
  const TKestParser& condition = c.At(field::kWaitCondition);
  const TKestParser& block = c.At(field::kWaitBlock);
  if (!IsEmptyExpression(time)) text += " " + ValueSource(time);
  if (!IsEmptyExpression(condition)) text += " " + WaitCondition(condition);
  if (FPage.Version >= field::kWaitBlock.SinceVersion && !IsEmptyExpression(block)) {
    if (!IsTrue(block)) return std::nullopt;
    text += " block";
  }
  return text;
}

std::optional<std::string> TPageDumper::Var(const TCommand& c) const {
  const auto name = BareWord(c.At(field::kVarNewName), "=");
  const int32_t kind = c.At(field::kVarNewKind);
  const int32_t scope = c.At(field::kVarNewScope);
  if (!name || kind < 1 || kind > 4 || scope < 0 || scope > 3) return std::nullopt;
  std::string text = "var " + std::string(kVarKinds[kind - 1]) + " " + *name;
  if (!IsEmptyExpression(c.At(field::kVarNewValue))) text += " = " + ExpressionSource(c.At(field::kVarNewValue));
  if (scope != 0) text += " " + std::string(kScopes[scope].English);
  return text;
}

// text WINDOW [history] [wait] [block]: MARKUP, when the glyph stream has a
// markup that gives it back.
std::optional<std::string> TPageDumper::Text(const TCommand& c) const {
  const TKestParser& window = c.At(kTextInsWindow);
  if (IsEmptyExpression(window)) return std::nullopt;
  const std::optional<std::string> markup = MarkupSource(c.At(kTextInsText));
  if (!markup) return std::nullopt;
  std::string text = "text " + ValueSource(window);
  const std::pair<const char*, TExprField> options[] = {
      {"history", kTextInsHistory}, {"wait", kTextInsWait}, {"block", kTextInsBlock}};
  for (const auto& [name, field] : options) {
    const TKestParser& e = c.At(field);
    if (FPage.Version < field.SinceVersion || IsEmptyExpression(e)) continue;
    text += " " + std::string(name) + (IsTrue(e) ? std::string() : "=" + ValueSource(e));
  }
  return text + ":" + (markup->empty() ? std::string() : " " + *markup);
}

std::string TPageDumper::Generic(const TCommand& c) const {
  const TCommandLayout& layout = c.Layout();
  const std::string lower = LowerAscii(layout.Name);
  std::string text = (IsFriendlyName(lower) ? "!" : "") + lower;
  const std::optional<std::string> reference = PageReference(c);
  for (size_t k = 0; k < layout.Fields.size(); ++k) {
    const TFieldLayout& field = layout.Fields[k];
    if (FPage.Version < field.SinceVersion) continue;
    const TFieldValue& v = c.Fields()[k];
    const std::string name = std::string(" ") + field.Name + "=";
    if (reference && std::string_view(field.Name) == "page") {
      text += name + *reference;
      continue;
    }
    if (reference && std::string_view(field.Name) == "pc") continue;
    switch (field.Kind) {
      case TFieldKind::Expr:
        if (!IsEmptyExpression(v.Expr)) text += name + ValueSource(v.Expr);
        break;
      case TFieldKind::Str:
        if (!v.Text.empty()) text += name + QuoteText(v.Text);
        break;
      case TFieldKind::Int:
      case TFieldKind::Byte:
        if (v.Int != 0) text += name + std::to_string(v.Int);
        break;
      case TFieldKind::Data:
        if (!v.Text.empty())
          text += name + "hex:" + HexText({reinterpret_cast<const uint8_t*>(v.Text.data()), v.Text.size()});
        break;
      case TFieldKind::ExprList:
        if (!v.List.empty()) text += name + ListSource(v.List);
        break;
      case TFieldKind::Props:
        for (size_t p = 0; p < v.Props.size(); ++p)
          if (v.Props[p] && !IsEmptyExpression(*v.Props[p]))
            text += " " + LowerAscii(PropertyInfo(static_cast<int32_t>(p))->Name + 3) + "=" + ValueSource(*v.Props[p]);
        break;
    }
  }
  return text;
}

// A page field and its pc as a reference into this page, when they are one.
std::optional<std::string> TPageDumper::PageReference(const TCommand& c) const {
  const TCommandLayout& layout = c.Layout();
  size_t page = layout.Fields.size();
  size_t pc = layout.Fields.size();
  for (size_t k = 0; k < layout.Fields.size(); ++k) {
    if (std::string_view(layout.Fields[k].Name) == "page") page = k;
    if (std::string_view(layout.Fields[k].Name) == "pc" && FPage.Version >= layout.Fields[k].SinceVersion) pc = k;
  }
  if (page == layout.Fields.size() || pc == layout.Fields.size()) return std::nullopt;
  const std::string target = Target(c.Fields()[page].Text, c.Fields()[pc].Int);
  if (target.starts_with('"')) return std::nullopt;
  return target;
}

bool TPageDumper::MarkLine(int32_t line) {
  if (line <= 0 || static_cast<size_t>(line) >= FLineCommands.size()) return false;
  bool marked = false;
  for (int32_t k : FLineCommands[static_cast<size_t>(line)]) {
    marked = marked || !FGeneric[static_cast<size_t>(k)];
    FGeneric[static_cast<size_t>(k)] = true;
  }
  return marked;
}

bool TPageDumper::Verify(const std::string& text) {
  TDiagnostics errors(SIZE_MAX);
  std::vector<TCompiledPage> pages = CompileScripts({{"", FName, text}}, errors);
  const TCompiledPage& compiled = pages.front();
  if (errors.Empty() && PageBytes(*compiled.Page) == PageBytes(FPage)) return true;
  bool marked = false;
  for (const TDiagnostic& d : errors.Items()) marked = MarkLine(d.Line) || marked;
  if (errors.Empty()) {
    // Line by line: the commands a line gave against those it stands for.
    // Where a line gave too many or too few, everything behind it moved, so
    // those lines alone are marked first.
    std::vector<std::vector<int32_t>> made(FLineCommands.size());
    for (int32_t k = 0; k < compiled.Count(); ++k) {
      const auto line = static_cast<size_t>(compiled.SourceLines[static_cast<size_t>(k)]);
      if (line < made.size()) made[line].push_back(k);
    }
    const bool shifted = compiled.Count() != Count();
    for (size_t line = 1; line < FLineCommands.size(); ++line) {
      const std::vector<int32_t>& want = FLineCommands[line];
      bool same = made[line].size() == want.size();
      for (size_t k = 0; same && !shifted && k < want.size(); ++k)
        same = CommandBytes(compiled.At(made[line][k])) == CommandBytes(At(want[k]));
      if (!same) marked = MarkLine(static_cast<int32_t>(line)) || marked;
    }
  }
  if (!marked) throw EKestError(Utf8ToCp932("the page cannot be written back as source text"));
  return false;
}

}  // namespace

std::string DumpPage(const TPage& page, const std::string& name) { return TPageDumper(page, name).Dump(); }

}  // namespace kest::kestc
