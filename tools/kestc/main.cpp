// kestc: compiles a game's script sources into its pages and project file, and
// turns a compiled page back into source text.
#include <cstdio>
#include <string>
#include <vector>

#include "kestc/game_builder.h"

namespace {

using namespace kest::kestc;

constexpr const char* kHelp = R"(usage: kestc SRC_DIR -o OUT_DIR [--pack]
       kestc --dump PAGE.ksb

  SRC_DIR -o OUT_DIR
      Compile every .kst file below SRC_DIR into a page of the same relative
      path below OUT_DIR (menu.kst gives menu.ksb, page name "menu.ksb";
      sub/menu.kst gives sub/menu.ksb, page name "sub\menu.ksb"), and write
      OUT_DIR/kest.kpb from SRC_DIR/game.ini. Every page and every reference
      between pages is checked first: on any error nothing is written.
  --pack
      Also pack OUT_DIR into OUT_DIR/game.dat.
  --dump PAGE.ksb
      Print the page as source text (UTF-8) that compiles back to the same
      bytes.

Errors are printed as FILE:LINE:COL: message, warnings as FILE:LINE: warning:
message; a warning does not stop the build. The language is described in
docs/script.md.

Exit status: 0 done, 1 failed (the messages say why), 2 wrong usage.
)";

int Usage(const std::string& why) {
  std::fprintf(stderr, "kestc: %s\n\n%s", why.c_str(), kHelp);
  return 2;
}

// Warnings first, so that the errors that stopped the run end the output.
int Report(const TDiagnostics& errors) {
  std::fputs(errors.WarningText().c_str(), stderr);
  std::fputs(errors.Text().c_str(), stderr);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  TDiagnostics errors;
  if (!args.empty() && args[0] == "--dump") {
    if (args.size() != 2) return Usage("--dump takes one page file");
    std::string text;
    if (!DumpPageFile(args[1], text, errors)) return Report(errors);
    std::fputs(text.c_str(), stdout);
    return 0;
  }
  TBuildOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o") {
      if (++i >= args.size()) return Usage("-o needs the output folder");
      options.Output = args[i];
    } else if (args[i] == "--pack") {
      options.Pack = true;
    } else if (args[i].starts_with("-")) {
      return Usage("unknown option " + args[i]);
    } else if (options.Source.empty()) {
      options.Source = args[i];
    } else {
      return Usage("one source folder only");
    }
  }
  if (options.Source.empty() || options.Output.empty()) return Usage("a source folder and -o OUT_DIR are needed");
  if (!BuildGame(options, errors)) return Report(errors);
  std::fputs(errors.WarningText().c_str(), stderr);
  return 0;
}
