#include <optional>
#include <string>

#include "language/builtin_functions.h"
#include "language/desktop_functions.h"
#include "language/sys_func_man.h"

namespace kest {

namespace {

// The chosen path goes into the variable only on OK.
void Answer(TFuncCall& c, const std::optional<std::string>& chosen) {
  TCustomParam* path = c.VarOrNull(0);
  if (chosen && path) path->SetAsStr(*chosen);
  c.Result.SetAsFlag(chosen && path);
}

void SelectOpenFileFn(TFuncCall& c) {
  c.Result.SetAsFlag(false);
  IDesktopFunctions* desktop = c.Funcs.Hosts.Desktop;
  if (desktop) Answer(c, desktop->SelectOpenFile(c.Has(1) ? c.Str(1) : std::string()));
}

void SelectSaveFileFn(TFuncCall& c) {
  c.Result.SetAsFlag(false);
  IDesktopFunctions* desktop = c.Funcs.Hosts.Desktop;
  if (desktop) Answer(c, desktop->SelectSaveFile(c.Has(1) ? c.Str(1) : std::string()));
}

void SelectDirectoryFn(TFuncCall& c) {
  c.Result.SetAsFlag(false);
  IDesktopFunctions* desktop = c.Funcs.Hosts.Desktop;
  if (desktop) Answer(c, desktop->SelectDirectory());
}

void OpenUrlFn(TFuncCall& c) {
  if (IDesktopFunctions* desktop = c.Funcs.Hosts.Desktop) desktop->OpenUrl(c.Str(0));
}

void SetWallPaperFn(TFuncCall& c) {
  IDesktopFunctions* desktop = c.Funcs.Hosts.Desktop;
  c.Result.SetAsFlag(desktop && desktop->SetWallPaper(c.Str(0), c.Int(1)));
}

}  // namespace

void RegisterDesktopFunctions(TSysFuncMan& funcs) {
  funcs.Register(125, SetWallPaperFn);
  funcs.Register(135, OpenUrlFn);
  funcs.Register(148, SelectOpenFileFn);
  funcs.Register(149, SelectSaveFileFn);
  funcs.Register(150, SelectDirectoryFn);
}

}  // namespace kest
