#pragma once
// Builds script pages in memory command by command, for the interpreter
// tests, and writes them as ksb files into a game folder.

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "language/build_kest_parser.h"
#include "script/command.h"
#include "script/command_factory.h"
#include "script/page.h"
#include "storage/big_memory_stream.h"

namespace kest::test {

class TPageBuilder {
 public:
  explicit TPageBuilder(std::string name, int32_t version = 116) : FPage(std::make_unique<TPage>()) {
    FPage->SetName(std::move(name));
    FPage->Version = version;
  }

  // A command at the next index; `cont` is its continue flag.
  TCommand& Add(uint8_t id, int32_t indent = 0, bool cont = true) {
    TCommand& c = FPage->Commands().Add(CreateCommand(FPage->Commands(), id));
    c.Indent = indent;
    c.Continue = cont;
    c.Line = FPage->Commands().Count();
    return c;
  }
  TCommand& Expr(uint8_t id, const char* field, const std::string& text, int32_t indent = 0, bool cont = true) {
    TCommand& c = Add(id, indent, cont);
    c.Field(field).Expr = TBuildKestParser::Compile(text);
    return c;
  }
  TPageBuilder& Calc(const std::string& text, int32_t indent = 0, bool cont = true) {
    Expr(ciCalc, "expr", text, indent, cont);
    return *this;
  }
  TPageBuilder& If(const std::string& cond, int32_t indent = 0) {
    Expr(ciIf, "cond", cond, indent);
    return *this;
  }
  TPageBuilder& Elseif(const std::string& cond, int32_t indent = 0) {
    Expr(ciElseif, "cond", cond, indent);
    return *this;
  }
  TPageBuilder& Else(int32_t indent = 0) {
    Add(ciElse, indent);
    return *this;
  }
  TPageBuilder& Label(const std::string& name, int32_t indent = 0) {
    Add(ciLabel, indent).Field("name").Text = name;
    return *this;
  }
  TPageBuilder& Jump(const std::string& page, int32_t pc, const std::string& cond = "TRUE") {
    TCommand& c = Expr(ciJump, "cond", cond);
    c.Field("page").Text = page;
    c.Field("pc").Int = pc;
    return *this;
  }
  TPageBuilder& Call(const std::string& page, int32_t pc, std::vector<std::string> args, const std::string& result,
                     const std::string& cond = "TRUE", int32_t indent = 0) {
    TCommand& c = Expr(ciCall, "cond", cond, indent);
    c.Field("page").Text = page;
    c.Field("pc").Int = pc;
    c.Field("result").Text = result;
    for (const std::string& a : args) c.Field("args").List.push_back(TBuildKestParser::Compile(a));
    return *this;
  }
  TPageBuilder& Exit(const std::string& cond = "TRUE", int32_t indent = 0) {
    Expr(ciExit, "cond", cond, indent);
    return *this;
  }
  TPageBuilder& Wait(const std::string& time, const std::string& cond = "", const std::string& block = "",
                     int32_t indent = 0, bool cont = true) {
    TCommand& c = Expr(ciWait, "time", time, indent, cont);
    if (!cond.empty()) c.Field("cond").Expr = TBuildKestParser::Compile(cond);
    if (!block.empty()) c.Field("block").Expr = TBuildKestParser::Compile(block);
    return *this;
  }
  TPageBuilder& VarNew(const std::string& name, int kind, const std::string& value, int scope, int32_t indent = 0) {
    TCommand& c = Add(ciVarNew, indent);
    c.Field("name").Text = name;
    c.Field("kind").Int = kind;
    if (!value.empty()) c.Field("value").Expr = TBuildKestParser::Compile(value);
    c.Field("scope").Int = scope;
    return *this;
  }
  // WhileInit, While (exit filled in by EndWhile), then the body.
  TPageBuilder& While(const std::string& init, const std::string& cond, int32_t indent = 0) {
    if (!init.empty())
      Expr(ciWhileInit, "init", init, indent);
    else
      Add(ciWhileInit, indent);
    FLoops.push_back(Count());
    Expr(ciWhile, "cond", cond, indent);
    return *this;
  }
  TPageBuilder& EndWhile(const std::string& step, int32_t indent = 0) {
    const int32_t head = FLoops.back();
    FLoops.pop_back();
    TCommand& loop = step.empty() ? Add(ciWhileLoop, indent) : Expr(ciWhileLoop, "step", step, indent);
    loop.Field("loop").Int = head;
    FPage->Commands().Items(head)->Field("exit").Int = Count();
    for (auto [at, kind] : FPending) {
      TCommand& c = *FPage->Commands().Items(at);
      if (at > head) c.Field("target").Int = kind == ciBreak ? Count() : Count() - 1;
    }
    std::erase_if(FPending, [&](auto& p) { return p.first > head; });
    return *this;
  }
  TPageBuilder& Break(const std::string& cond, int32_t indent) {
    FPending.emplace_back(Count(), ciBreak);
    Expr(ciBreak, "cond", cond, indent);
    return *this;
  }
  TPageBuilder& Continue(const std::string& cond, int32_t indent) {
    FPending.emplace_back(Count(), ciContinue);
    Expr(ciContinue, "cond", cond, indent);
    return *this;
  }
  TPageBuilder& DoEvent(int32_t indent = 0) {
    Add(ciDoEvent, indent);
    return *this;
  }
  TPageBuilder& Result(uint8_t kind) {
    FPage->ResultKind = kind;
    return *this;
  }

  int32_t Count() const { return FPage->Commands().Count(); }
  TPage& Page() { return *FPage; }

  std::vector<uint8_t> Bytes() {
    FPage->UpdateMasks();
    TByteStream out;
    FPage->SaveToStream(out);
    return out.TakeBytes();
  }
  void WriteTo(const std::string& folder) {
    const std::vector<uint8_t> bytes = Bytes();
    std::ofstream(folder + "/" + FPage->Name(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

 private:
  std::unique_ptr<TPage> FPage;
  std::vector<int32_t> FLoops;
  std::vector<std::pair<int32_t, uint8_t>> FPending;
};

}  // namespace kest::test
