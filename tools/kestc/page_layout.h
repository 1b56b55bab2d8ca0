#pragma once
// The parts of a page that depend on where its commands end up: the program
// counters of loops, of break and continue, and of jumps and calls into pages
// (this one or others), which are known only once every page has been read.
//
// A loop is laid out as WhileInit and While at the loop's indent, its body one
// level deeper, then WhileLoop back at the loop's indent: While's exit is the
// command after the WhileLoop, WhileLoop's loop is the While, a break goes to
// the exit and a continue to the WhileLoop.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kestc/diagnostics.h"
#include "script/command.h"
#include "script/page.h"

namespace kest::kestc {

// A page reference in a command: the page name field, and the pc field when
// the record has one. An empty Page is the page itself; an empty Label is pc 0.
struct TReference {
  int32_t Command = 0;
  int32_t PageField = 0;
  int32_t PcField = -1;
  std::string Page;   // Shift-JIS page name, "sub\menu.ksb"
  std::string Label;  // Shift-JIS
  int32_t Line = 0;
  int32_t Column = 0;
};

// One page as the compiler builds it.
struct TCompiledPage {
  std::string Name;  // Shift-JIS page name, "sub\menu.ksb"
  std::string File;  // the source file as messages name it
  std::unique_ptr<TPage> Page;
  std::vector<int32_t> SourceLines;  // the source line of every command
  std::vector<TReference> References;

  TCommand& Append(std::unique_ptr<TCommand> command, int32_t sourceLine);
  std::unique_ptr<TCommand> Make(uint8_t id);
  int32_t Count() const { return Page->Commands().Count(); }
  TCommand& At(int32_t index) const { return *Page->Commands().Items(index); }
};

// The loops a page has open while it is read, innermost last.
class TLoopLayout {
 public:
  // The While at whileIndex opens a loop at level that end will close.
  void Open(int32_t level, int32_t whileIndex, std::unique_ptr<TCommand> end, int32_t sourceLine);
  // Closes every open loop at level or deeper: appends its WhileLoop and
  // fills in the loop's program counters.
  void CloseFrom(int32_t level, TCompiledPage& page);
  bool Inside() const { return !FLoops.empty(); }
  void AddBreak(int32_t command) { FLoops.back().Breaks.push_back(command); }
  void AddContinue(int32_t command) { FLoops.back().Continues.push_back(command); }

 private:
  struct TOpenLoop {
    int32_t Level;
    int32_t While;
    std::unique_ptr<TCommand> End;
    int32_t SourceLine;
    std::vector<int32_t> Breaks;
    std::vector<int32_t> Continues;
  };
  std::vector<TOpenLoop> FLoops;
};

// Sets every reference's page name and pc; a page or label that does not
// exist is reported at the reference.
void ResolveReferences(std::vector<TCompiledPage>& pages, TDiagnostics& errors);

// The masks of a page: the bits asked for by hand, then every property some
// component command of that id sets.
void LayOutMasks(TPage& page, const std::array<uint8_t, kMaskAreaSize>& extra);

}  // namespace kest::kestc
