// kestexpr: compiles expression text into the expression record the player
// reads, shows records as operation lists, and turns records back into text.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/sjis.h"
#include "language/build_kest_parser.h"
#include "language/expression_decompiler.h"
#include "language/function_table.h"
#include "language/param_collection.h"
#include "language/sys_func_man.h"

namespace {

using namespace kest;

constexpr const char* kHelp = R"(usage: kestexpr COMMAND ARGUMENT

  compile TEXT
      Compile the expression TEXT (for example "a = b + 1") and print its
      record as hexadecimal bytes, then as a list of operations.
  decompile HEX
      Read a record given as hexadecimal bytes (spaces allowed) and print
      expression text that compiles back to exactly the same record.
  eval TEXT
      Compile TEXT and run it against an empty variable store; print the
      value the expression leaves, or why it stopped.
  --help
      Show this text.

Text is read and written as UTF-8 and compiled as Shift-JIS, as the player
stores it. A record is: a 4-byte operation count, then per operation its
code, result name, operand count, the function number (calls only) and the
operands, each a tag (0 name, 1 integer, 2 10-byte float, 3 flag, 4 string)
and its value. Numbers are little-endian; strings are a 4-byte length and
their bytes.

Exit status: 0 done, 1 failed (the message says why), 2 wrong usage.
)";

struct TFailure {
  std::string Message;  // UTF-8
};

std::string FromArgument(const char* utf8) {
  std::optional<std::string> cp932 = Utf8ToCp932Strict(utf8);
  if (!cp932) throw TFailure{"the text holds characters Shift-JIS cannot hold"};
  return *cp932;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i) out += ' ';
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 15];
  }
  return out;
}

std::vector<uint8_t> FromHex(std::string_view text) {
  std::vector<uint8_t> bytes;
  int high = -1;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') continue;
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d < 0) throw TFailure{std::string("not a hexadecimal digit: ") + c};
    if (high < 0) {
      high = d;
    } else {
      bytes.push_back(static_cast<uint8_t>(high << 4 | d));
      high = -1;
    }
  }
  if (high >= 0) throw TFailure{"an odd number of hexadecimal digits"};
  return bytes;
}

std::string OperandText(const TOperand& o) {
  if (o.IsReference()) return o.Name();
  return LiteralText(o).value_or(o.Tag() == PT_FLOAT ? "<float " + o.Literal()->GetAsStr() + ">" : "?");
}

void PrintListing(const TKestParser& parser) {
  int index = 0;
  for (const TOpeData& op : parser.Operations()) {
    std::string line = std::to_string(index++) + "  " +
                       std::string(OpName(op.Op).empty() ? "oc?" + std::to_string(op.Op) : OpName(op.Op));
    line += "  " + op.ResultName + " :=";
    if (op.Op == ocFunc) {
      const TFuncInfo* f = FindFunc(op.FuncId);
      line += " " + (f ? std::string(f->Name) : "<no function>") + "#" + std::to_string(op.FuncId);
    }
    for (size_t k = 0; k < op.Operands.size(); ++k)
      line += (k || op.Op == ocFunc ? ", " : " ") + OperandText(op.Operands[k]);
    std::printf("%s\n", Cp932ToUtf8(line).c_str());
  }
}

TKestParser LoadRecord(const std::vector<uint8_t>& bytes) {
  TByteStream in{std::span<const uint8_t>(bytes)};
  TKestParser parser;
  parser.LoadFromStream(in);
  if (in.Remaining() != 0) throw TFailure{std::to_string(in.Remaining()) + " bytes after the record"};
  return parser;
}

int Compile(const char* text) {
  TBuildKestParser builder;
  builder.Parse(FromArgument(text));
  TByteStream out;
  builder.SaveToStream(out);
  std::printf("%s\n", Hex(out.Bytes()).c_str());
  PrintListing(LoadRecord(out.Bytes()));
  return 0;
}

int Decompile(const char* hex) {
  const TKestParser parser = LoadRecord(FromHex(hex));
  const std::optional<std::string> text = DecompileExpression(parser);
  if (!text) throw TFailure{"no expression text compiles to this record"};
  std::printf("%s\n", Cp932ToUtf8(*text).c_str());
  return 0;
}

int Eval(const char* text) {
  TParamCollection store;
  TSysFuncMan funcs;
  TKestParser parser = TBuildKestParser::Compile(FromArgument(text));
  parser.Execute(store, funcs);
  if (!parser.LastError().empty()) throw TFailure{"stopped: " + Cp932ToUtf8(parser.LastError())};
  if (parser.Result()) std::printf("%s\n", Cp932ToUtf8(parser.Result()->GetAsStr()).c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "--help" || command == "-h") {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (argc != 3 || (command != "compile" && command != "decompile" && command != "eval")) {
    std::fputs(kHelp, stderr);
    return 2;
  }
  try {
    if (command == "compile") return Compile(argv[2]);
    if (command == "decompile") return Decompile(argv[2]);
    return Eval(argv[2]);
  } catch (const TFailure& f) {
    std::fprintf(stderr, "kestexpr: %s\n", f.Message.c_str());
  } catch (const EKestError& e) {
    std::fprintf(stderr, "kestexpr: %s\n", Cp932ToUtf8(e.what()).c_str());
  }
  return 1;
}
