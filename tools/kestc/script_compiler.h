#pragma once
// Compiles a set of source files into pages: each file on its own, then the
// references between them, so that a jump into a page is checked against the
// labels that page really has.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kestc/diagnostics.h"
#include "kestc/page_layout.h"

namespace kest::kestc {

struct TScriptSource {
  std::string File;  // as messages name it (UTF-8)
  std::string Name;  // the Shift-JIS page name, "sub\menu.ksb"
  std::string Text;  // UTF-8
};

// Every page, whether or not it compiled cleanly; the mistakes are in errors.
std::vector<TCompiledPage> CompileScripts(const std::vector<TScriptSource>& sources, TDiagnostics& errors);

// The page name of a source file from its path below the source folder:
// "sub/menu.kst" is "sub\menu.ksb". Nothing when the path has no Shift-JIS
// form or no three-letter .kst extension.
std::optional<std::string> PageNameOfPath(std::string_view relativeUtf8);

// The page as the player reads it.
std::vector<uint8_t> PageBytes(const TPage& page);

}  // namespace kest::kestc
