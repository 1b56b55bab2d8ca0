#pragma once
// game.ini: the project settings of a game's source folder, as key = value
// lines in UTF-8 (# or ; begins a comment line). Keys: title, size (WxH),
// full_size, start and exit (pages, written as in jumps), toolbar,
// stop_when_inactive, save_to_disk (0 or 1), version, and var.NAME = KIND
// VALUE for the variables the project declares (int 5, real 1.5, flag TRUE,
// string "text").

#include <set>
#include <string>
#include <string_view>

#include "kestc/diagnostics.h"
#include "script/project_setting.h"

namespace kest::kestc {

// The settings of a folder without game.ini.
TProjectSetting DefaultProjectSetting();

// Reads text into setting (which holds the defaults before); pages are the
// Shift-JIS names of the compiled pages, which start and exit must name.
void ReadGameIni(std::string_view text, const std::string& file, const std::set<std::string>& pages,
                 TProjectSetting& setting, TDiagnostics& errors);

}  // namespace kest::kestc
