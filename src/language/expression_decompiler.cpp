#include "language/expression_decompiler.h"

#include <cmath>
#include <cstdio>
#include <map>

#include "common/errors.h"
#include "common/sjis.h"
#include "language/build_kest_parser.h"
#include "language/function_table.h"
#include "language/param_convert.h"

namespace kest {
namespace {

// Compiling candidates is cheap; the bound keeps a pathological record from
// taking long.
constexpr int32_t kMaxCandidates = 4096;

enum TNodeKind : uint8_t { nkLeaf, nkBinary, nkFunc, nkDim, nkCopy };

struct TNode {
  uint8_t Kind = nkLeaf;
  uint8_t Op = ocNone;
  std::string Text;  // a leaf's text, a call's or array's name
  std::vector<int32_t> Children;
  int32_t Choice = -1;  // the node's entry in the spelling choices, if any
  bool Used = false;
};

// The precedence level of an operator, 0 the tightest.
int32_t LevelOf(uint8_t op) {
  switch (op) {
    case ocMul:
    case ocDiv:
    case ocMod: return 0;
    case ocPlus:
    case ocMinus: return 1;
    case ocShiftL:
    case ocShiftR: return 2;
    case ocEqual:
    case ocBig:
    case ocSmall:
    case ocEBig:
    case ocESmall:
    case ocNEqual: return 3;
    case ocComboStr: return 4;
    case ocAnd: return 5;
    case ocXor: return 6;
    default: return 7;
  }
}

bool IsBinary(uint8_t op) { return op >= ocPlus && op != ocDimTo && op != ocFunc && op <= ocNEqual && op != ocTo; }

std::string QuotedText(std::string_view s) {
  std::string out = "\"";
  for (size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<uint8_t>(s[i]);
    if (IsLeadByte(b) && i + 1 < s.size()) {
      out += s.substr(i, 2);
      ++i;
    } else if (s[i] == '"' || s[i] == '\\') {
      out += '\\';
      out += s[i];
    } else if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
      out += "\\n";
      ++i;
    } else {
      out += s[i];
    }
  }
  return out + "\"";
}

// Digits and exponent of the shortest scientific form that reads back as the
// same ten bytes, spelt without a sign so the text stays one token.
std::optional<std::string> FloatText(const TExtendedBytes& bytes) {
  const long double x = ExtendedToLongDouble(bytes);
  if (!std::isfinite(x) || std::signbit(x) || ExtendedFromLongDouble(x) != bytes) return std::nullopt;
  if (x == 0) return "0.0";
  char buffer[64];
  for (int precision = 0; precision <= 21; ++precision) {
    std::snprintf(buffer, sizeof buffer, "%.*Le", precision, x);
    const std::string sci(buffer);
    const size_t e = sci.find('e');
    std::string digits = sci.substr(0, 1) + (precision > 0 ? sci.substr(2, e - 2) : "");
    const int exponent = std::atoi(sci.c_str() + e + 1);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string text;
    if (exponent < 0) {
      text = "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else if (exponent < 30) {
      const size_t whole = static_cast<size_t>(exponent) + 1;
      if (digits.size() <= whole) {
        text = digits + std::string(whole - digits.size(), '0') + ".0";
      } else {
        text = digits.substr(0, whole) + "." + digits.substr(whole);
      }
    } else {
      text = digits.substr(0, 1) + "." + (digits.size() > 1 ? digits.substr(1) : "0") + "E" + std::to_string(exponent);
    }
    long double back = 0;
    if (TryStrToFloat(text, back) && ExtendedFromLongDouble(back) == bytes) return text;
  }
  return std::nullopt;
}

class TDecompiler {
 public:
  explicit TDecompiler(const TKestParser& parser) : FParser(parser) {}
  std::optional<std::string> Run();

 private:
  bool BuildTree();
  int32_t OperandNode(const TOperand& o);
  int32_t Add(TNode node);
  std::string Text(int32_t node);
  std::string Operand(int32_t node, int32_t parentLevel, bool right);
  std::string Candidate();
  bool Matches(const std::string& text, size_t& common);

  const TKestParser& FParser;
  std::vector<TNode> FNodes;
  std::map<std::string, int32_t> FTemps;
  int32_t FTarget = -1;  // the assignment's target, or -1 for the value of "____arg"
  int32_t FValue = -1;
  std::vector<uint8_t> FChoices;
  std::vector<uint8_t> FOptions;
  std::vector<uint8_t> FRecord;
  bool FFailed = false;
};

int32_t TDecompiler::Add(TNode node) {
  FNodes.push_back(std::move(node));
  return static_cast<int32_t>(FNodes.size()) - 1;
}

// A temporary made by an earlier operation stands for that operation; each
// may be used once, as the builder uses each.
int32_t TDecompiler::OperandNode(const TOperand& o) {
  if (o.IsReference()) {
    const auto it = FTemps.find(o.Name());
    if (it != FTemps.end()) {
      TNode& n = FNodes[static_cast<size_t>(it->second)];
      if (n.Used) FFailed = true;
      n.Used = true;
      return it->second;
    }
    if (IsTempName(o.Name())) FFailed = true;
    TNode leaf;
    leaf.Text = o.Name();
    return Add(std::move(leaf));
  }
  const std::optional<std::string> text = LiteralText(o);
  if (!text) FFailed = true;
  TNode leaf;
  leaf.Text = text.value_or("");
  return Add(std::move(leaf));
}

bool TDecompiler::BuildTree() {
  const auto& ops = FParser.Operations();
  if (ops.empty()) return false;
  for (size_t i = 0; i < ops.size() && !FFailed; ++i) {
    const TOpeData& op = ops[i];
    const bool last = i + 1 == ops.size();
    TNode node;
    node.Op = op.Op;
    if (op.Op == ocTo && last) {
      if (op.Operands.size() != 1) return false;
      FValue = OperandNode(op.Operands[0]);
      if (op.ResultName == kArgName) return !FFailed;
      const auto it = FTemps.find(op.ResultName);
      if (it == FTemps.end() && IsTempName(op.ResultName)) return false;
      FTarget = OperandNode(TOperand::Reference(op.ResultName));
      return !FFailed;
    }
    if (!IsTempName(op.ResultName) || op.ResultName == kArgName || FTemps.count(op.ResultName)) return false;
    if (op.Op == ocTo) {
      if (op.Operands.size() != 1) return false;
      const TOperand& o = op.Operands[0];
      // A copy from an element reference is the wrapper the builder puts
      // round an element in parentheses or in an argument.
      if (o.IsReference() && IsTempName(o.Name()) && !o.Name().starts_with(kElementPrefix)) return false;
      node.Kind = o.Tag() == PT_STR ? nkLeaf : nkCopy;
      node.Children.push_back(OperandNode(o));
      if (node.Kind == nkLeaf) node.Text = FNodes[static_cast<size_t>(node.Children[0])].Text;
    } else if (IsBinary(op.Op)) {
      if (op.Operands.size() != 2) return false;
      node.Kind = nkBinary;
      node.Children = {OperandNode(op.Operands[0]), OperandNode(op.Operands[1])};
    } else if (op.Op == ocFunc) {
      const TFuncInfo* info = FindFunc(op.FuncId);
      if (!info) return false;
      node.Kind = nkFunc;
      node.Text = std::string(info->Name);
      for (const TOperand& o : op.Operands) node.Children.push_back(OperandNode(o));
    } else if (op.Op == ocDimTo) {
      if (op.Operands.size() < 2 || !op.Operands[0].IsReference() || IsTempName(op.Operands[0].Name())) return false;
      node.Kind = nkDim;
      node.Text = op.Operands[0].Name();
      for (size_t k = 1; k < op.Operands.size(); ++k) node.Children.push_back(OperandNode(op.Operands[k]));
    } else {
      return false;
    }
    FTemps[op.ResultName] = Add(std::move(node));
  }
  return false;
}

// Spelling choices: a binary operation may carry parentheses it does not
// need; 0 - x and 0 + x may be written as a sign.
std::string TDecompiler::Operand(int32_t id, int32_t parentLevel, bool right) {
  const TNode& n = FNodes[static_cast<size_t>(id)];
  const uint8_t choice = n.Choice >= 0 ? FChoices[static_cast<size_t>(n.Choice)] : 0;
  if (n.Kind != nkBinary || choice == 2) return Text(id);
  const int32_t level = LevelOf(n.Op);
  const bool needed = right ? level >= parentLevel : level > parentLevel;
  const bool extra = choice == 1;
  const std::string inner = Text(id);
  return needed || extra ? "(" + inner + ")" : inner;
}

std::string TDecompiler::Text(int32_t id) {
  const TNode& n = FNodes[static_cast<size_t>(id)];
  auto child = [&](size_t k) { return n.Children[k]; };
  switch (n.Kind) {
    case nkLeaf: return n.Text;
    case nkCopy: return "(" + Text(child(0)) + ")";
    case nkFunc:
    case nkDim: {
      std::string s = n.Text + (n.Kind == nkFunc ? "(" : "[");
      for (size_t k = 0; k < n.Children.size(); ++k) s += (k ? ", " : "") + Text(child(k));
      return s + (n.Kind == nkFunc ? ")" : "]");
    }
    default: break;
  }
  const bool sign = n.Choice >= 0 && FChoices[static_cast<size_t>(n.Choice)] == 2;
  if (sign) {
    const TNode& r = FNodes[static_cast<size_t>(child(1))];
    const std::string operand = Text(child(1));
    return std::string(n.Op == ocMinus ? "-" : "+") + (r.Kind == nkBinary ? "(" + operand + ")" : operand);
  }
  const int32_t level = LevelOf(n.Op);
  return Operand(child(0), level, false) + " " + std::string(OpSymbol(n.Op)) + " " + Operand(child(1), level, true);
}

std::string TDecompiler::Candidate() {
  const std::string value = Text(FValue);
  if (FTarget < 0) return value;
  return Text(FTarget) + " = " + value;
}

bool TDecompiler::Matches(const std::string& text, size_t& common) {
  common = 0;
  std::vector<uint8_t> bytes;
  try {
    TBuildKestParser b;
    b.Parse(text);
    TByteStream out;
    b.SaveToStream(out);
    bytes = out.TakeBytes();
  } catch (const EKestError&) {
    return false;
  }
  while (common < bytes.size() && common < FRecord.size() && bytes[common] == FRecord[common]) ++common;
  return bytes == FRecord;
}

std::optional<std::string> TDecompiler::Run() {
  if (!BuildTree() || FFailed) return std::nullopt;
  for (size_t i = 0; i < FNodes.size(); ++i) {
    TNode& n = FNodes[i];
    const bool isTarget = static_cast<int32_t>(i) == FTarget;
    if (n.Kind != nkLeaf && !n.Used && !isTarget && static_cast<int32_t>(i) != FValue) return std::nullopt;
    if (n.Kind != nkBinary) continue;
    const TNode& left = FNodes[static_cast<size_t>(n.Children[0])];
    const bool zero = left.Kind == nkLeaf && left.Text == "0";
    n.Choice = static_cast<int32_t>(FOptions.size());
    FOptions.push_back(zero && (n.Op == ocMinus || n.Op == ocPlus) ? 3 : 2);
  }
  FChoices.assign(FOptions.size(), 0);
  TByteStream record;
  FParser.SaveToStream(record);
  FRecord = record.TakeBytes();

  // Single changes that bring the record closer, one at a time.
  size_t best = 0;
  int32_t tried = 0;
  if (Matches(Candidate(), best)) return Candidate();
  for (bool improved = true; improved && tried < kMaxCandidates;) {
    improved = false;
    for (size_t c = 0; c < FChoices.size() && tried < kMaxCandidates; ++c) {
      const uint8_t keep = FChoices[c];
      for (uint8_t v = 0; v < FOptions[c]; ++v) {
        if (v == keep) continue;
        FChoices[c] = v;
        ++tried;
        size_t common = 0;
        const std::string text = Candidate();
        if (Matches(text, common)) return text;
        if (common > best) {
          best = common;
          improved = true;
          break;
        }
        FChoices[c] = keep;
      }
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> LiteralText(const TOperand& operand) {
  const TCustomParam* v = operand.Literal();
  switch (operand.Tag()) {
    case PT_INT: {
      const int32_t i = v->GetAsInt();
      if (i >= 0) return std::to_string(i);
      char buffer[16];
      std::snprintf(buffer, sizeof buffer, "$%08X", static_cast<uint32_t>(i));
      return std::string(buffer);
    }
    case PT_FLOAT: return FloatText(operand.FloatBytes());
    case PT_BOOL: return std::string(v->GetAsFlag() ? "TRUE" : "FALSE");
    case PT_STR: return QuotedText(v->GetAsStr());
    default: return operand.Name();
  }
}

std::optional<std::string> DecompileExpression(const TKestParser& parser) { return TDecompiler(parser).Run(); }

}  // namespace kest
