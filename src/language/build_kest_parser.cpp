#include "language/build_kest_parser.h"

#include <algorithm>
#include <array>

#include "common/errors.h"
#include "common/sjis.h"
#include "language/expression_errors.h"

namespace kest {
namespace {

// Scans look at a mask of the text in which both bytes of a double-byte
// character read as 0x80: a second byte such as the 0x5B of ー or the 0x5C of
// 表 is then never taken for a bracket or a backslash. Offsets are the text's.
constexpr char kWide = '\x80';

std::string Mask(std::string_view text) {
  std::string mask(text);
  for (size_t i = 0; i < mask.size(); ++i) {
    if (IsLeadByte(static_cast<uint8_t>(mask[i]))) {
      mask[i] = kWide;
      if (i + 1 < mask.size()) mask[++i] = kWide;
    }
  }
  return mask;
}

bool IsIdentChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsIn(char c, std::string_view set) { return set.find(c) != std::string_view::npos; }

// What makes an argument or an index a sub-expression, and what ends an array name.
constexpr std::string_view kOperatorChars = "+-*/%|&^=[](),<>";
// The characters that make tokens.
constexpr std::string_view kTokenChars = "%&*+-/<=>^|";
constexpr std::array<std::string_view, 7> kPairs = {"==", ">=", "<=", "++", "<>", "<<", ">>"};
// A sign follows a token that begins with one of these.
constexpr std::string_view kBeforeSign = "=+-*/%&^|[(,<>";
// A binary operator may not follow a token that begins with one of these.
constexpr std::string_view kNotBeforeOperator = "+-*/%|&^=[(<>";

std::string Trim(std::string_view s) {
  size_t first = 0;
  size_t last = s.size();
  while (first < last && static_cast<uint8_t>(s[first]) <= ' ') ++first;
  while (last > first && static_cast<uint8_t>(s[last - 1]) <= ' ') --last;
  return std::string(s.substr(first, last - first));
}

[[noreturn]] void SyntaxError() { throw EKestError(ErrSyntax()); }

// Each opening bracket with the position of its closing one, in text order.
struct TPair {
  size_t Open;
  size_t Close;
};

std::vector<TPair> MatchPairs(const std::string& mask, char open, char close) {
  std::vector<TPair> pairs;
  std::vector<size_t> stack;
  for (size_t i = 0; i < mask.size(); ++i) {
    if (mask[i] == open) {
      if (stack.size() >= static_cast<size_t>(TBuildKestParser::kMaxNesting)) SyntaxError();
      stack.push_back(pairs.size());
      pairs.push_back({i, 0});
    } else if (mask[i] == close) {
      if (stack.empty()) SyntaxError();
      pairs[stack.back()].Close = i;
      stack.pop_back();
    }
  }
  if (!stack.empty()) SyntaxError();
  return pairs;
}

// The position of the last character before pos that is not a space, or npos.
size_t SkipSpacesLeft(const std::string& mask, size_t pos) {
  while (pos > 0) {
    if (mask[--pos] != ' ') return pos;
  }
  return std::string::npos;
}

struct TOpLevel {
  std::array<std::string_view, 6> Ops;
};

constexpr std::array<TOpLevel, 9> kLevels = {{
    {{"*", "/", "%"}},
    {{"+", "-"}},
    {{"<<", ">>"}},
    {{"==", ">=", "<=", ">", "<", "<>"}},
    {{"++"}},
    {{"&"}},
    {{"^"}},
    {{"|"}},
    {{"="}},
}};

uint8_t CodeOf(std::string_view op) {
  static constexpr std::array<std::pair<std::string_view, uint8_t>, 17> kCodes = {{
      {"==", ocEqual},
      {">", ocBig},
      {"<", ocSmall},
      {">=", ocEBig},
      {"<=", ocESmall},
      {"<>", ocNEqual},
      {"*", ocMul},
      {"/", ocDiv},
      {"%", ocMod},
      {"&", ocAnd},
      {"^", ocXor},
      {"|", ocOr},
      {"+", ocPlus},
      {"-", ocMinus},
      {"<<", ocShiftL},
      {">>", ocShiftR},
      {"++", ocComboStr},
  }};
  for (const auto& [text, code] : kCodes) {
    if (text == op) return code;
  }
  return ocNone;
}

}  // namespace

struct TBuildKestParser::TToken {
  std::string Text;
  bool IsOp;
};

void TBuildKestParser::Parse(std::string_view text) {
  FOps.clear();
  FCounter = 0;
  FDepth = 0;
  Build(std::string(text));
  Collapse();
}

std::string TBuildKestParser::NewTemp() { return std::string(kTempPrefix) + std::to_string(FCounter++); }

std::string TBuildKestParser::NewElementTemp() { return std::string(kElementPrefix) + std::to_string(FCounter++); }

void TBuildKestParser::Append(uint8_t op, std::string result, std::vector<std::string> operands) {
  FOps.push_back({op, std::move(result), std::move(operands)});
}

// Every sub-expression comes back here; the nesting limit also bounds the
// recursion through arguments, indices and parentheses.
void TBuildKestParser::Build(std::string text) {
  if (++FDepth > kMaxNesting) SyntaxError();
  BuildStrings(text);
  BuildCalls(text);
  BuildElements(text);
  BuildParens(text);
  BuildTokens(text);
  --FDepth;
}

// A backslash keeps a following quote or backslash as it is, and a
// backslash-n is a line break; a literal without its closing quote is refused.
void TBuildKestParser::BuildStrings(std::string& text) {
  for (;;) {
    const std::string mask = Mask(text);
    const size_t open = mask.find('"');
    if (open == std::string::npos) return;
    std::string literal = "\"";
    size_t i = open + 1;
    for (;; ++i) {
      if (i >= mask.size()) SyntaxError();
      if (mask[i] == '"') break;
      if (mask[i] == '\\' && i + 1 < mask.size() && (mask[i + 1] == '"' || mask[i + 1] == '\\')) {
        literal += text[++i];
      } else if (mask[i] == '\\' && i + 1 < mask.size() && mask[i + 1] == 'n') {
        literal += "\r\n";
        ++i;
      } else {
        literal += text[i];
      }
    }
    literal += '"';
    const std::string t = NewTemp();
    text.replace(open, i + 1 - open, t);
    Append(ocTo, t, {std::move(literal)});
  }
}

// The last opening parenthesis that follows a name opens the innermost call.
void TBuildKestParser::BuildCalls(std::string& text) {
  for (;;) {
    const std::string mask = Mask(text);
    const std::vector<TPair> pairs = MatchPairs(mask, '(', ')');
    auto call = pairs.rend();
    size_t nameStart = 0;
    for (auto it = pairs.rbegin(); it != pairs.rend(); ++it) {
      const size_t before = SkipSpacesLeft(mask, it->Open);
      if (before == std::string::npos || !IsIdentChar(mask[before])) continue;
      nameStart = before;
      while (nameStart > 0 && IsIdentChar(mask[nameStart - 1])) --nameStart;
      call = it;
      break;
    }
    if (call == pairs.rend()) return;
    std::string name = Trim(std::string_view(text).substr(nameStart, call->Open - nameStart));
    const std::string args = Trim(std::string_view(text).substr(call->Open + 1, call->Close - call->Open - 1));
    const std::string t = NewTemp();
    text.replace(nameStart, call->Close + 1 - nameStart, t);
    std::vector<std::string> operands{std::move(name)};
    if (!args.empty()) {
      for (std::string& a : Arguments(args)) operands.push_back(std::move(a));
    }
    Append(ocFunc, t, std::move(operands));
  }
}

// The last opening bracket opens the innermost element; its array name runs
// left to a space or an operator character, so it may hold any other
// characters, double-byte ones included.
void TBuildKestParser::BuildElements(std::string& text) {
  for (;;) {
    const std::string mask = Mask(text);
    const std::vector<TPair> pairs = MatchPairs(mask, '[', ']');
    if (pairs.empty()) return;
    const TPair last = pairs.back();
    const size_t before = SkipSpacesLeft(mask, last.Open);
    if (before == std::string::npos || IsIn(mask[before], kOperatorChars)) SyntaxError();
    size_t nameStart = before;
    while (nameStart > 0 && mask[nameStart - 1] != ' ' && !IsIn(mask[nameStart - 1], kOperatorChars)) --nameStart;
    std::string name = text.substr(nameStart, before + 1 - nameStart);
    const std::string indices = Trim(std::string_view(text).substr(last.Open + 1, last.Close - last.Open - 1));
    if (indices.empty()) throw EKestError(ErrBadArrayIndex());
    const std::string t = NewElementTemp();
    text.replace(nameStart, last.Close + 1 - nameStart, t);
    std::vector<std::string> operands{std::move(name)};
    for (std::string& a : Arguments(indices)) operands.push_back(std::move(a));
    Append(ocDimTo, t, std::move(operands));
  }
}

// Splits at commas outside brackets; each piece is an operand as written, or
// a sub-expression built into a temporary of its own.
std::vector<std::string> TBuildKestParser::Arguments(const std::string& text) {
  const std::string mask = Mask(text);
  std::vector<std::string> pieces;
  int32_t depth = 0;
  size_t start = 0;
  for (size_t i = 0; i <= mask.size(); ++i) {
    const char c = i < mask.size() ? mask[i] : ',';
    if (c == '[') ++depth;
    if (c == ']' && --depth < 0) SyntaxError();
    if (c == ',' && (depth == 0 || i == mask.size())) {
      pieces.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  if (depth != 0) SyntaxError();
  std::vector<std::string> operands;
  operands.reserve(pieces.size());
  for (std::string& piece : pieces) operands.push_back(Argument(Trim(piece)));
  return operands;
}

std::string TBuildKestParser::Argument(std::string text) {
  for (;;) {
    if (text.size() < 2 || text.front() != '(' || text.back() != ')') break;
    const std::vector<TPair> pairs = MatchPairs(Mask(text), '(', ')');
    if (pairs.front().Close != text.size() - 1) break;
    text = Trim(std::string_view(text).substr(1, text.size() - 2));
  }
  const std::string mask = Mask(text);
  if (mask.find_first_of(kOperatorChars) == std::string::npos) return text;
  const std::string u = NewTemp();
  Build(u + " = " + text);
  return u;
}

// Parentheses that do not follow a name group a sub-expression.
void TBuildKestParser::BuildParens(std::string& text) {
  for (;;) {
    const std::string mask = Mask(text);
    const std::vector<TPair> pairs = MatchPairs(mask, '(', ')');
    auto group = pairs.rend();
    for (auto it = pairs.rbegin(); it != pairs.rend(); ++it) {
      const size_t before = SkipSpacesLeft(mask, it->Open);
      if (before == std::string::npos || !IsIdentChar(mask[before])) {
        group = it;
        break;
      }
    }
    if (group == pairs.rend()) return;
    const std::string inner = text.substr(group->Open + 1, group->Close - group->Open - 1);
    const std::string t = NewTemp();
    text.replace(group->Open, group->Close + 1 - group->Open, t);
    Build(t + " = " + inner);
  }
}

void TBuildKestParser::BuildTokens(const std::string& text) {
  const std::string mask = Mask(text);
  std::vector<TToken> tokens;
  size_t cut = 0;
  for (size_t i = 0; i < mask.size();) {
    if (!IsIn(mask[i], kTokenChars)) {
      ++i;
      continue;
    }
    std::string operand = Trim(std::string_view(text).substr(cut, i - cut));
    if (!operand.empty()) tokens.push_back({std::move(operand), false});
    const std::string_view two = std::string_view(text).substr(i, 2);
    const size_t width = std::find(kPairs.begin(), kPairs.end(), two) != kPairs.end() ? 2 : 1;
    tokens.push_back({text.substr(i, width), true});
    i += width;
    cut = i;
  }
  std::string rest = Trim(std::string_view(text).substr(cut));
  if (!rest.empty()) tokens.push_back({std::move(rest), false});
  if (tokens.empty()) {
    Append(ocTo, std::string(kArgName), {text});
    return;
  }
  ApplySigns(tokens);
  ApplyOperators(tokens);
}

// A + or - that follows an operator is a sign: + is dropped, - becomes 0 - x.
void TBuildKestParser::ApplySigns(std::vector<TToken>& tokens) {
  for (size_t i = tokens.size() >= 2 ? tokens.size() - 2 : 0; i >= 1; --i) {
    const TToken& t = tokens[i];
    if (!t.IsOp || (t.Text != "+" && t.Text != "-")) continue;
    if (!IsIn(tokens[i - 1].Text[0], kBeforeSign)) continue;
    if (tokens[i + 1].IsOp) SyntaxError();
    if (t.Text == "-") {
      const std::string n = NewTemp();
      Append(ocMinus, n, {"0", tokens[i + 1].Text});
      tokens[i + 1] = {n, false};
    }
    tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

// Highest level first, leftmost first within a level; an operator needs an
// operand on each side (the leading + and - take 0 as the left one), so an
// operator at the end is refused rather than read past the tokens.
void TBuildKestParser::ApplyOperators(std::vector<TToken>& tokens) {
  bool assigned = false;
  while (!tokens.empty()) {
    size_t at = tokens.size();
    for (const TOpLevel& level : kLevels) {
      for (size_t i = 0; i < tokens.size() && at == tokens.size(); ++i) {
        if (tokens[i].IsOp && std::find(level.Ops.begin(), level.Ops.end(), tokens[i].Text) != level.Ops.end()) at = i;
      }
      if (at != tokens.size()) break;
    }
    if (at == tokens.size()) {
      if (assigned || tokens.size() > 1) SyntaxError();
      Append(ocTo, std::string(kArgName), {tokens[0].Text});
      return;
    }
    const std::string op = tokens[at].Text;
    if (at + 1 >= tokens.size() || tokens[at + 1].IsOp) SyntaxError();
    const auto first = tokens.begin() + static_cast<std::ptrdiff_t>(at);
    if (op == "=") {
      if (at == 0) SyntaxError();
      Append(ocTo, tokens[at - 1].Text, {tokens[at + 1].Text});
      tokens.erase(first - 1, first + 2);
      assigned = true;
    } else if (at == 0) {
      if (op != "+" && op != "-") SyntaxError();
      const std::string t = NewTemp();
      Append(op == "+" ? ocPlus : ocMinus, t, {"0", tokens[1].Text});
      tokens.erase(first, first + 1);
      tokens[0] = {t, false};
    } else {
      if (IsIn(tokens[at - 1].Text[0], kNotBeforeOperator)) SyntaxError();
      const std::string t = NewTemp();
      Append(CodeOf(op), t, {tokens[at - 1].Text, tokens[at + 1].Text});
      tokens.erase(first, first + 2);
      tokens[at - 1] = {t, false};
    }
  }
}

// A copy from one temporary into another (not an element reference and not
// the expression's value) is removed, and later uses of its target read its
// source instead.
void TBuildKestParser::Collapse() {
  auto collapsible = [](std::string_view name) {
    return IsTempName(name) && !name.starts_with(kElementPrefix) && name != kArgName;
  };
  for (size_t i = 0; i < FOps.size();) {
    const TBuildOpeData& op = FOps[i];
    if (op.Op != ocTo || op.Operands.empty() || !collapsible(op.ResultName) || !collapsible(op.Operands[0])) {
      ++i;
      continue;
    }
    const std::string from = op.ResultName;
    const std::string to = op.Operands[0];
    for (size_t j = i + 1; j < FOps.size(); ++j) {
      if (FOps[j].ResultName == from) FOps[j].ResultName = to;
      for (std::string& o : FOps[j].Operands) {
        if (o == from) o = to;
      }
    }
    FOps.erase(FOps.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

}  // namespace kest
