// The key that keeps a second player off the same game folder.
#pragma once

#include <string>
#include <string_view>

#include "shell/command_line.h"

namespace kest {

// From the first command-line parameter (or the program's folder), in CP932:
// upper-cased by characters, a "\" appended unless it already ends in one,
// then every single-byte "\" turned into "-" (a 0x5C that is the second byte
// of a double-byte character stays). c:\games\demo gives C:-GAMES-DEMO-.
std::string MakeInstanceKey(std::string_view text);

// The key for a host folder: the path made absolute and canonical first, so
// "demo", "./demo/" and "/home/me/demo" are one game, then taken as CP932.
// "/config" and other non-folders are keyed as written.
std::string InstanceKeyForParameter(const std::string& parameter);

// The key of one start of the player: the settings dialog's /CONFIG- however
// it was asked for (/config or --config), else that of the first parameter,
// else that of the program's folder.
std::string InstanceKeyForStart(const TCommandLine& commandLine, const std::string& programFolder);

}  // namespace kest
