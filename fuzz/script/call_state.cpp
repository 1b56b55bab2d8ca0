// The interpreter's saved state on any bytes, against a game of three small
// pages: an error is fine, a crash, a hang or a huge allocation is not. A
// state that reads is saved again, and that record must read into a fresh
// interpreter and save to the same bytes.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/app_globals.h"
#include "common/errors.h"
#include "common/stream.h"
#include "language/build_kest_parser.h"
#include "language/param_collection.h"
#include "language/sys_func_man.h"
#include "script/call_man.h"
#include "script/command.h"
#include "script/command_factory.h"
#include "script/page.h"
#include "storage/vr_file_manager.h"

namespace {

using namespace kest;

void WritePage(const std::string& folder, const std::string& name, const std::vector<std::string>& waits) {
  TPage page;
  page.Version = 116;
  for (const std::string& time : waits) {
    TCommand& wait = page.Commands().Add(CreateCommand(page.Commands(), ciWait));
    wait.Field("time").Expr = TBuildKestParser::Compile(time);
  }
  TByteStream out;
  page.SaveToStream(out);
  std::ofstream(folder + "/" + name, std::ios::binary)
      .write(reinterpret_cast<const char*>(out.Data().data()), static_cast<std::streamsize>(out.Data().size()));
}

// The three pages in a private folder that goes when the program ends.
struct TGame {
  std::string Folder;
  TGame() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kest_fuzz_XXXXXX").string();
    Folder = mkdtemp(pattern.data());
    WritePage(Folder, "start.ksb", {"200", "0"});
    WritePage(Folder, "a.ksb", {"60"});
    WritePage(Folder, "b.ksb", {"45", "15"});
  }
  ~TGame() {
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
  }
};

const std::string& GameFolder() {
  static const TGame game;
  return game.Folder;
}

struct TInterpreter {
  TVrFileManager Files;
  TParamCollection Vars;
  TSysFuncMan Funcs;
  TObjectHandle Button = std::make_shared<TObjectLife>(TObjectLife{"btn"});
  std::unique_ptr<TCallMan> Man;

  TInterpreter() {
    Files.SetBaseFolder(GameFolder());
    TCallManParts parts;
    parts.Files = &Files;
    parts.Vars = &Vars;
    parts.Funcs = &Funcs;
    parts.FindSender = [this](const std::string& name) { return name == "btn" ? Button : nullptr; };
    Man = std::make_unique<TCallMan>(std::move(parts));
  }
  std::vector<uint8_t> Save() {
    TByteStream out;
    Man->SaveState(out);
    return out.TakeBytes();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TInterpreter first;
  TByteStream in(std::span<const uint8_t>(data, size));
  try {
    first.Man->LoadState(in, 140);
  } catch (const EKestError&) {
    return 0;
  }
  const std::vector<uint8_t> saved = first.Save();
  TInterpreter second;
  TByteStream again(saved);
  try {
    second.Man->LoadState(again, 140);
  } catch (const EKestError&) {
    std::abort();
  }
  if (second.Save() != saved) std::abort();
  return 0;
}
