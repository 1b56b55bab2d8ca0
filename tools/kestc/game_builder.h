#pragma once
// The folder-level work of kestc: a source folder becomes a game folder, and
// a compiled page becomes source text again.
//
// Every page and every reference between pages is checked before the first
// byte is written; each file is then replaced whole (a temporary file renamed
// over it), so a failed run leaves the game folder as it was.

#include <string>

#include "kestc/diagnostics.h"

namespace kest::kestc {

struct TBuildOptions {
  std::string Source;  // the folder of .kst files and game.ini
  std::string Output;  // the game folder
  bool Pack = false;   // also write Output/game.dat holding the game folder
};

// Compiles every .kst below the source folder into Output (the same relative
// paths with .ksb), writes Output/kest.kpb from game.ini, and packs when
// asked. False, with the reasons in errors, when anything was wrong.
bool BuildGame(const TBuildOptions& options, TDiagnostics& errors);

// The source text of a compiled page file, or false with the reason.
bool DumpPageFile(const std::string& path, std::string& text, TDiagnostics& errors);

}  // namespace kest::kestc
