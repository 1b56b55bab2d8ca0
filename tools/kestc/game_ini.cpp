#include "kestc/game_ini.h"

#include <algorithm>
#include <cstdio>

#include "common/extended.h"
#include "common/sjis.h"
#include "kestc/source_text.h"
#include "kestc/value_syntax.h"
#include "language/param_convert.h"

namespace kest::kestc {

namespace {

constexpr int32_t kMaxScreenSide = 16384;

void ParseSize(std::string_view text, int32_t column, int32_t& w, int32_t& h) {
  const size_t x = text.find('x');
  if (x == std::string_view::npos) throw ESourceError(column, "a size is written WIDTHxHEIGHT, 640x480");
  w = static_cast<int32_t>(ParseWhole(text.substr(0, x), 1, kMaxScreenSide, column));
  h = static_cast<int32_t>(
      ParseWhole(text.substr(x + 1), 1, kMaxScreenSide, column + CharCount(text.substr(0, x + 1))));
}

bool ParseSwitch(std::string_view text, int32_t column) {
  if (text != "0" && text != "1") throw ESourceError(column, "expected 0 or 1");
  return text == "1";
}

std::string PageOf(std::string_view text, int32_t column, const std::set<std::string>& pages) {
  std::string name = ToCp932(text, column);
  std::replace(name.begin(), name.end(), '/', '\\');
  name += ".ksb";
  if (!pages.contains(name))
    throw ESourceError(column, "there is no page " + std::string(text) + " (no " + std::string(text) + ".kst)");
  return name;
}

TProjectVar ParseVar(std::string_view name, std::string_view value, int32_t nameColumn, int32_t column) {
  TProjectVar var;
  var.Name = ToCp932(name, nameColumn);
  if (var.Name.empty()) throw ESourceError(nameColumn, "var. needs a variable name: var.score = int 0");
  TCursor c(value, column);
  const int32_t kindColumn = c.Column();
  const std::string kind = LowerAscii(c.TakeWord());
  const int32_t at = (c.SkipBlanks(), c.Column());
  const std::string_view rest = c.TakeRest();
  if (kind == "int") {
    var.Kind = 1;
    if (!TryStrToInt(rest, var.IntValue) || rest.empty()) throw ESourceError(at, "expected a whole number");
  } else if (kind == "real") {
    var.Kind = 2;
    long double x = 0;
    if (!TryStrToFloat(rest, x) || rest.empty()) throw ESourceError(at, "expected a number");
    var.FloatValue = ExtendedFromLongDouble(x);
  } else if (kind == "flag") {
    var.Kind = 3;
    if (rest != "TRUE" && rest != "FALSE") throw ESourceError(at, "a flag is TRUE or FALSE");
    var.FlagValue = rest == "TRUE";
  } else if (kind == "string") {
    var.Kind = 4;
    var.StrValue = DecodeText(rest, at);
  } else {
    throw ESourceError(kindColumn, "a variable is int, real, flag or string: var.score = int 0");
  }
  return var;
}

}  // namespace

TProjectSetting DefaultProjectSetting() {
  TProjectSetting s;
  s.ScreenWidth = 640;
  s.ScreenHeight = 480;
  s.StartPage = "start.ksb";
  s.StopWhenInactive = true;
  s.SaveToDisk = true;
  return s;
}

void ReadGameIni(std::string_view text, const std::string& file, const std::set<std::string>& pages,
                 TProjectSetting& setting, TDiagnostics& errors) {
  bool fullGiven = false;
  bool startGiven = false;
  for (const TSourceLine& line : SplitLines(text)) {
    if (line.Text.empty() || line.Text[0] == '#' || line.Text[0] == ';') continue;
    const int32_t column = CharCount(line.Blanks) + 1;
    try {
      const size_t eq = line.Text.find('=');
      if (eq == std::string_view::npos) throw ESourceError(column, "expected KEY = VALUE");
      std::string_view key = line.Text.substr(0, eq);
      while (!key.empty() && IsBlank(key.back())) key.remove_suffix(1);
      TCursor c(line.Text.substr(eq + 1), column + CharCount(line.Text.substr(0, eq + 1)));
      const int32_t at = (c.SkipBlanks(), c.Column());
      const std::string_view value = c.TakeRest();
      std::string name = LowerAscii(key);
      std::replace(name.begin(), name.end(), '-', '_');
      if (name == "title") {
        setting.Title = value.starts_with('"') ? DecodeText(value, at) : ToCp932(value, at);
      } else if (name == "size") {
        ParseSize(value, at, setting.ScreenWidth, setting.ScreenHeight);
      } else if (name == "full_size") {
        ParseSize(value, at, setting.FullScreenWidth, setting.FullScreenHeight);
        fullGiven = true;
      } else if (name == "start") {
        setting.StartPage = PageOf(value, at, pages);
        startGiven = true;
      } else if (name == "exit") {
        setting.ExitPage = value.empty() ? std::string() : PageOf(value, at, pages);
      } else if (name == "toolbar") {
        setting.ShowToolbar = ParseSwitch(value, at);
      } else if (name == "stop_when_inactive") {
        setting.StopWhenInactive = ParseSwitch(value, at);
      } else if (name == "save_to_disk") {
        setting.SaveToDisk = ParseSwitch(value, at);
      } else if (name == "version") {
        setting.Version = static_cast<int32_t>(ParseWhole(value, 0, TProjectSetting::kNewestVersion, at));
      } else if (name.starts_with("var.")) {
        TProjectVar var = ParseVar(key.substr(4), value, column + 4, at);
        for (const TProjectVar& other : setting.Vars)
          if (SameName(other.Name, var.Name))
            throw ESourceError(column, "variable " + std::string(key.substr(4)) + " is declared twice");
        setting.Vars.push_back(std::move(var));
      } else {
        throw ESourceError(column, "unknown key " + std::string(key) +
                                       " (title, size, full_size, start, exit, toolbar, stop_when_inactive, "
                                       "save_to_disk, version, var.NAME)");
      }
    } catch (const ESourceError& error) {
      errors.Add(file, line.Number, error.Column, error.what());
    }
  }
  if (!fullGiven) {
    setting.FullScreenWidth = setting.ScreenWidth;
    setting.FullScreenHeight = setting.ScreenHeight;
  }
  if (!startGiven && !pages.contains(setting.StartPage))
    errors.Add(file, 0, 0, "there is no start page: add start.kst, or name the page with start = PAGE");
}

}  // namespace kest::kestc
