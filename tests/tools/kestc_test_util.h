#pragma once
// What the compiler tests share: pages compiled from text given in the test,
// their commands and fields, and expressions in their compiled form.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/sjis.h"
#include "kestc/page_dumper.h"
#include "kestc/script_compiler.h"
#include "kestc/value_syntax.h"
#include "language/build_kest_parser.h"
#include "script/command.h"
#include "script/page.h"

namespace kest::test {
using namespace kest::kestc;

struct TCompiled {
  std::vector<TCompiledPage> Pages;
  TDiagnostics Errors;

  const TPage& Page(size_t i = 0) const { return *Pages.at(i).Page; }
  TCommand& At(int32_t command, size_t page = 0) const { return *Page(page).Commands().Items(command); }
  int32_t Count(size_t page = 0) const { return Page(page).Commands().Count(); }
  std::string FirstError() const { return Errors.Empty() ? std::string() : FormatDiagnostic(Errors.Items()[0]); }
};

// Pages given as (source path without .kst, UTF-8 text), compiled together.
inline TCompiled Compile(const std::vector<std::pair<std::string, std::string>>& sources) {
  std::vector<TScriptSource> scripts;
  for (const auto& [path, text] : sources) scripts.push_back({path + ".kst", *PageNameOfPath(path + ".kst"), text});
  TCompiled out;
  out.Pages = CompileScripts(scripts, out.Errors);
  return out;
}

// One page, start.kst.
inline TCompiled CompileOne(const std::string& text) { return Compile({{"start", text}}); }

inline std::vector<uint8_t> Expr(std::string_view utf8) {
  return RecordBytes(TBuildKestParser::Compile(Utf8ToCp932(utf8)));
}

inline std::vector<uint8_t> Bytes(const TKestParser& e) { return RecordBytes(e); }

inline std::vector<uint8_t> Empty() { return RecordBytes(TKestParser()); }

inline std::vector<uint8_t> Ids(const TPage& page) {
  std::vector<uint8_t> ids;
  for (int32_t i = 0; i < page.Commands().Count(); ++i) ids.push_back(page.Commands().Items(i)->GetCommandId());
  return ids;
}

// The page read back from its bytes, as the player and the dumper see it.
inline std::unique_ptr<TPage> Reloaded(const TPage& page, const std::string& name) {
  auto copy = std::make_unique<TPage>();
  const std::vector<uint8_t> bytes = PageBytes(page);
  copy->LoadFromBytes(name, bytes, nullptr);
  return copy;
}

// Dumps the page, compiles the text alone under the same name and expects
// the bytes back; gives the text.
inline std::string ExpectRoundTrip(const TPage& page, const std::string& name) {
  const std::string text = DumpPage(page, name);
  TDiagnostics errors;
  std::vector<TCompiledPage> back = CompileScripts({{"dump.kst", name, text}}, errors);
  EXPECT_TRUE(errors.Empty()) << errors.Text() << text;
  EXPECT_EQ(PageBytes(*back.front().Page), PageBytes(page)) << text;
  return text;
}

}  // namespace kest::test
