#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "language/builtin_functions.h"
#include "language/file_functions.h"
#include "language/sys_func_man.h"

namespace kest {

namespace {

// CR, LF and CR LF each end a line; a break at the very end adds no line.
std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

void FileExistsFn(TFuncCall& c) {
  IFileFunctions* files = c.Funcs.Hosts.Files;
  const std::string name = c.Str(0);
  c.Result.SetAsFlag(files && !name.empty() && files->FileExists(name));
}

void LoadTextFileFn(TFuncCall& c) {
  c.Result.SetAsFlag(false);
  IFileFunctions* files = c.Funcs.Hosts.Files;
  TCustomParam* target = c.VarOrNull(0);
  if (!files || !target) return;
  const std::optional<std::string> text = files->LoadTextFile(c.Str(1));
  if (!text) return;
  const std::vector<std::string> lines = SplitLines(*text);
  if (lines.empty()) return;
  const int32_t count = static_cast<int32_t>(lines.size());
  target->SetDims(std::span<const int32_t>(&count, 1));
  for (int32_t i = 0; i < count; ++i) target->SetStr(i, lines[static_cast<size_t>(i)]);
  c.Result.SetAsFlag(true);
}

void CopyFileFn(TFuncCall& c) {
  IFileFunctions* files = c.Funcs.Hosts.Files;
  c.Result.SetAsFlag(files && files->CopyFile(c.Str(0), c.Str(1)));
}

void SaveScreenFn(TFuncCall& c) {
  c.Result.SetAsFlag(false);
  IFileFunctions* files = c.Funcs.Hosts.Files;
  if (!files) return;
  TSaveScreenRequest request;
  request.Name = c.Str(0);
  if (c.Has(1)) request.Width = c.Int(1);
  if (c.Has(2)) request.Height = c.Int(2);
  if (c.Has(3)) request.Back = c.Flag(3);
  if (c.Has(4)) request.Register = c.Int(4);
  c.Result.SetAsFlag(files->SaveScreen(request));
}

void ExtractFileFn(TFuncCall& c) {
  c.Result.SetAsFlag(false);
  IFileFunctions* files = c.Funcs.Hosts.Files;
  if (!files) return;
  const TCustomParam& list = *c.Args[0].Value;
  std::vector<std::string> patterns;
  for (int32_t i = 0; i < list.Count(); ++i) patterns.push_back(list.GetStr(i));
  const bool confirm = c.Has(1) ? c.Flag(1) : true;
  std::optional<std::string> folder;
  if (c.Has(2)) folder = c.Str(2);
  c.Result.SetAsFlag(files->ExtractFile(patterns, confirm, folder));
}

}  // namespace

void RegisterFileFunctions(TSysFuncMan& funcs) {
  funcs.Register(71, FileExistsFn);
  funcs.Register(72, LoadTextFileFn);
  funcs.Register(137, SaveScreenFn);
  funcs.Register(151, ExtractFileFn);
  funcs.Register(158, CopyFileFn);
}

}  // namespace kest
