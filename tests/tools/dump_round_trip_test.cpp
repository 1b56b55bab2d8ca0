// A dumped page compiles back to the very bytes it came from: the test games,
// a page holding every command id with every field set at every page version,
// hand-made expression records, and layouts no friendly form makes.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "kestc_test_util.h"
#include "scene/property_table.h"
#include "script/command_factory.h"
#include "script/script_test_util.h"

namespace kest::test {
using namespace kest::kestc;
namespace {

namespace fs = std::filesystem;

// x = -1.5: no text spells a negative float, so only the raw form holds it.
TKestParser HandMade() {
  kest::test::TRecordBytes b;
  b.Int(1).Byte(1).Str("x").Int(1).Byte(2).Raw({0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0xBF});
  TByteStream stream{std::span<const uint8_t>(b.Bytes())};
  TKestParser e;
  e.LoadFromStream(stream);
  return e;
}

TKestParser Sample(int32_t n) {
  switch (n % 5) {
    case 0: return TBuildKestParser::Compile("a + 1");
    case 1: return TBuildKestParser::Compile(Utf8ToCp932("\"名前 ()\" ++ x[2, 3]"));
    case 2: return HandMade();
    case 3: return TKestParser();
    default: return TBuildKestParser::Compile("(b)");
  }
}

std::string SampleText(int32_t n) {
  switch (n % 4) {
    case 0: return "plain";
    case 1: return Utf8ToCp932("名前 \"q\" \\ ") + "\r\n\x81";
    case 2: return {};
    default: return "tab\there";
  }
}

// Every field of every command id set, most to something other than empty.
void FillEveryCommand(TPage& page) {
  for (int32_t id = 0; id < kCommandIdCount; ++id) {
    std::unique_ptr<TCommand> c = CreateCommand(page.Commands(), static_cast<uint8_t>(id));
    c->Indent = id % 3;
    c->Skipped = id % 4 == 1;
    c->Continue = id % 3 != 2;
    c->Line = id % 7 == 0 ? -id : id * 2;
    int32_t n = id;
    for (TFieldValue& f : c->Fields()) {
      const TFieldKind kind = c->Layout().Fields[static_cast<size_t>(&f - c->Fields().data())].Kind;
      ++n;
      switch (kind) {
        case TFieldKind::Expr: f.Expr = Sample(n); break;
        case TFieldKind::Str: f.Text = SampleText(n); break;
        case TFieldKind::Int: f.Int = n % 2 ? -n : n * 1000; break;
        case TFieldKind::Byte: f.Int = (n * 37) % 256; break;
        case TFieldKind::Data: f.Text = std::string("\x00\x01\xFF", 3); break;
        case TFieldKind::ExprList:
          f.List.push_back(Sample(n));
          f.List.push_back(Sample(n + 2));
          f.List.push_back(Sample(n + 3));
          break;
        case TFieldKind::Props:
          for (int32_t p : {0, 3, 50 + id, 164}) f.Prop(p) = std::make_unique<TKestParser>(Sample(n + p));
          break;
      }
    }
    page.Commands().Add(std::move(c));
  }
}

TEST(DumpRoundTrip, EveryCommandIdAtEveryVersion) {
  for (int32_t version = kOldestPageVersion; version <= kNewestPageVersion; ++version) {
    TPage built;
    built.Version = version;
    built.ResultKind = static_cast<uint8_t>(version % 6);
    FillEveryCommand(built);
    built.UpdateMasks();
    built.SetProperty(ciMesNew, 166);
    const auto page = Reloaded(built, "start.ksb");
    ASSERT_EQ(page->Commands().Count(), kCommandIdCount);
    const std::string text = ExpectRoundTrip(*page, "start.ksb");
    EXPECT_NE(text.find("raw:"), std::string::npos) << "the hand-made record";
    EXPECT_NE(text.find("@mask MesNew"), std::string::npos) << text;
  }
}

// Every page of tests/games, compiled together, then each dumped and
// compiled alone.
TEST(DumpRoundTrip, EveryTestGamePage) {
  const char* root = std::getenv("KEST_SOURCE_DIR");
  ASSERT_NE(root, nullptr);
  int32_t pages = 0;
  for (const fs::directory_entry& game : fs::directory_iterator(fs::path(root) / "tests/games")) {
    if (!game.is_directory()) continue;
    std::vector<std::pair<std::string, std::string>> sources;
    for (const fs::directory_entry& file : fs::recursive_directory_iterator(game.path())) {
      if (file.path().extension() != ".kst") continue;
      std::ifstream in(file.path());
      std::stringstream text;
      text << in.rdbuf();
      std::string relative = file.path().lexically_relative(game.path()).replace_extension().generic_string();
      sources.emplace_back(relative, text.str());
    }
    if (sources.empty()) continue;
    const TCompiled c = Compile(sources);
    ASSERT_TRUE(c.Errors.Empty()) << game.path() << ": " << c.Errors.Text();
    for (const TCompiledPage& page : c.Pages) {
      ExpectRoundTrip(*Reloaded(*page.Page, page.Name), page.Name);
      ++pages;
    }
  }
  EXPECT_GE(pages, 5);
}

// A canonical source is its own dump: the friendly forms come back as written.
TEST(DumpRoundTrip, FriendlyFormsComeBackAsWritten) {
  const std::string text =
      "@result string\n"
      "var int n = 0 local\n"
      "\n"
      "for i = 0; i < 10; i = i + 1\n"
      "    if i == 5\n"
      "        continue\n"
      "    elseif i == 8\n"
      "        break if n > 2\n"
      "    else\n"
      "        calc n = n + i\n"
      "while n > 0\n"
      "    calc n = n - 1\n"
      "label top\n"
      "jump :top if n == 1\n"
      "call start(n - 1, \"x\") -> r\n"
      "exit if r == 0\n"
      "wait 500 while n == 0 block\n"
      "wait until @LClick\n"
      "boxnew name=\"bg\" left=0 width=640 color=$FF00\n"
      "flip kind=1 names=(\"a\", b)\n"
      "[skip continue=off] del n\n"
      "comment done\n"
      "doevent\n"
      "terminate\n";
  const TCompiled c = CompileOne(text);
  ASSERT_TRUE(c.Errors.Empty()) << c.Errors.Text();
  std::string expected = text;
  expected.replace(expected.find("$FF00"), 5, "65280");
  EXPECT_EQ(DumpPage(c.Page(), "start.ksb"), expected);
}

TEST(DumpRoundTrip, LayoutsNoFriendlyFormMakes) {
  TPage page;
  auto add = [&](uint8_t id, int32_t indent, int32_t line) -> TCommand& {
    TCommand& c = page.Commands().Add(CreateCommand(page.Commands(), id));
    c.Indent = indent;
    c.Line = line;
    c.Continue = true;
    return c;
  };
  add(ciElse, 0, 1);                                                        // an else with no if
  add(ciCalc, 3, 2).Fields()[0].Expr = TBuildKestParser::Compile("a = 1");  // three levels deeper
  add(ciLabel, -2, 2).Fields()[0].Text = "dup";                             // a negative indent, a shared line
  add(ciLabel, 0, 100000).Fields()[0].Text = "dup";                         // a far line, a second label of a name
  add(ciWhileInit, 0, 5);
  add(ciWhile, 0, 5).Fields()[0].Expr = TBuildKestParser::Compile("TRUE");
  add(ciBreak, 1, 6).Fields()[1].Int = 42;           // a break to nowhere in particular
  add(ciWhileLoop, 0, 7).Fields()[1].Int = 5;        // the loop's own line
  add(ciJump, 0, 8).Fields()[0].Text = "start.ksb";  // an empty condition: never jumps
  TCommand& call = add(ciCall, 0, 9);
  call.Fields()[0].Text = "start.ksb";
  call.Fields()[1].Int = 3;  // the second "dup", which no label reference finds
  call.Fields()[2].Text = "a b";
  call.Fields()[3].Expr = TBuildKestParser::Compile("TRUE");
  add(ciVarNew, 0, 10).Fields()[1].Int = 9;
  add(ciComment, 0, 11).Fields()[0].Text = " padded ";
  add(ciWait, 0, 12).Fields()[2].Expr = TBuildKestParser::Compile("x");
  add(ciIf, 0, 13);
  page.Version = 116;
  page.SetProperty(ciIf, 5);
  page.SetProperty(ciBoxNew, 9);
  const std::string text = ExpectRoundTrip(*Reloaded(page, "start.ksb"), "start.ksb");
  EXPECT_NE(text.find("[indent=-2 line=2] label dup\n"), std::string::npos) << text;
  EXPECT_NE(text.find("[line=100000] !label name=\"dup\"\n"), std::string::npos) << "a second label of a name" << text;
  EXPECT_NE(text.find("!jump page=start\n"), std::string::npos) << "an empty condition has no friendly form" << text;
  EXPECT_NE(text.find("@mask If"), std::string::npos) << text;
}

TEST(DumpRoundTrip, DeepNestingStaysWithinBoundedIndentation) {
  TPage page;
  page.Version = kNewestPageVersion;
  for (int32_t i = 0; i < 300; ++i) {
    TCommand& c = page.Commands().Add(CreateCommand(page.Commands(), ciIf));
    c.Indent = i;
    c.Line = i + 1;
    c.Continue = true;
    c.Fields()[0].Expr = TBuildKestParser::Compile("a");
  }
  const std::string text = ExpectRoundTrip(page, "start.ksb");
  EXPECT_LT(text.size(), 300u * 300u);
  EXPECT_NE(text.find("\n" + std::string(256, ' ') + "[indent=65] if a\n"), std::string::npos);
}

TEST(DumpRoundTrip, FilesNamedInTheirGameKeepTheirPageName) {
  const TCompiled c = Compile({{"sub/menu", "label top\njump :top\ncall sub/menu(1)\n"}});
  ASSERT_TRUE(c.Errors.Empty()) << c.Errors.Text();
  const std::string text = ExpectRoundTrip(c.Page(), "sub\\menu.ksb");
  EXPECT_NE(text.find("jump :top\n"), std::string::npos) << text;
  EXPECT_NE(text.find("call :top(1)\n"), std::string::npos) << "the label at pc 0 names the start" << text;
  EXPECT_NE(DumpPage(c.Page(), "menu.ksb").find("jump \"sub\\\\menu.ksb\"\n"), std::string::npos)
      << "under another name the page is quoted";
}

}  // namespace
}  // namespace kest::test
