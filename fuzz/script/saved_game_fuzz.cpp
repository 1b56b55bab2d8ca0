// Loading a saved game from any bytes, the way a player does it: the bytes
// are slot 1 of the save file of a small running game (nested boxes, a
// message window mid-reveal over a history, a script two calls deep,
// variables of every type and an array), and the project loads the slot.
// A load may fail; it must not crash, hang or allocate without bound. A
// failed load leaves the save file as it was, shows its box and puts the
// running game back as it was: the game's record written again must be the
// same bytes. A game that loads plays on for a few ticks.
//
// With KEST_SAVED_GAME_SEEDS=FOLDER set, the fuzzer first writes its seeds
// there: the record of the running game and a few damaged forms of it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "common/app_globals.h"
#include "common/save_versions.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "script/game_record.h"
#include "script/project.h"
#include "storage/big_memory_stream.h"
#include "storage/vr_file_collection.h"
#include "support/game_world.h"
#include "support/temp_files.h"

namespace {

using namespace kest;
using test::TBytes;

// Ticks of 15 ms from the start to the moment the game is saved: the second
// text is being revealed and one.ksb waits in its loop.
constexpr int kTicksBeforeLoad = 12;
constexpr int kTicksAfterLoad = 3;

constexpr const char* kGameIni = "title = Kest\nsize = 320x240\nsave_to_disk = 0\n";

constexpr const char* kStartPage = R"(var int n = 0
var real r = 2.5
var flag f = TRUE
var string s = "セーブ"
var int grid = 0
calc SetArray(grid, 2, 3)
calc grid[1, 2] = 7
var string words = ""
calc SetArray(words, 3)
calc words[2] = "三"
var string got = ""
boxnew name="panel" left=10 top=150 width=120 height=60 color=$203040
boxnew name="inner" parent="panel" left=10 top=10 width=40 height=20 color=$C08040 onlbtndown="start.kst:deep"
mesnew name="mes" left=10 top=10 width=260 height=60 textdelay=256
text "mes" history: 前置きの画面。
wait 60
text "mes" history: 二つ目の画面は一文字ずつゆっくりと現れます。
call one(3) -> got
wait
label deep
calc n = 999
exit
)";

constexpr const char* kOnePage = R"(@result string
var int k = @ParamStr[0] local
var real half = 0.5 local
while k < 40
    calc k = k + 1
    calc n = n + 1
    calc r = r + half
    wait 30
calc @Result = "one" ++ IntToStr(k)
)";

// The game compiled once; its folder goes when the program ends.
const std::string& GameFolder() {
  static const test::TBuiltGame game({{"game.ini", kGameIni}, {"start.kst", kStartPage}, {"one.kst", kOnePage}});
  return game.Folder();
}

// The running game of the load: its record, and a save file holding any
// bytes as slot 1.
struct TWorld : test::TGameWorld {
  TWorld() : TGameWorld(GameFolder(), 320, 240) {}

  TBytes Record(const std::string& title = {}) {
    TByteStream out;
    WriteGameRecord(out, Parts(), {kSaveNewestVersion, title, {}, 0});
    return out.TakeBytes();
  }

  // A save file holding the bytes as slot 1; answers what was written.
  TBytes WriteSlot(std::span<const uint8_t> record) {
    TVrFileCollection archive;
    WriteExact(*archive.AddMemoryFile(std::string(TProject::kSlotPrefix) + "1")->Content, record.data(),
               static_cast<int64_t>(record.size()));
    TTpBigMemoryStream out;
    if (!archive.WriteArchive(out)) std::abort();
    const TBytes bytes(out.Data().begin(), out.Data().end());
    test::WriteFile(Project->SaveDataPath(), bytes);
    return bytes;
  }
};

TBytes Cut(const TBytes& bytes, size_t size) {
  return TBytes(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(size));
}

// The seeds: the running game's record, with a jump page and without, and
// records damaged in the ways a save file is: cut short, a version this
// player never wrote, a jump page that does not exist, and a variable count
// no file could hold after a scene and a script that read well.
void WriteSeeds(const std::string& folder) {
  TWorld world;
  world.Tick(kTicksBeforeLoad);
  const TBytes record = world.Record(Utf8ToCp932("一つ目"));
  TByteStream tail;
  world.Vars.SaveGameVars(tail);
  world.Tables.SaveStatusPart(tail);
  const size_t vars = record.size() - tail.Bytes().size();
  std::filesystem::create_directories(folder);
  const std::filesystem::path out(folder);
  test::WriteFile(out / "whole", record);
  test::WriteFile(out / "cut_half", Cut(record, record.size() / 2));
  test::WriteFile(out / "cut_in_vars", Cut(record, vars + 6));
  test::WriteFile(out / "cut_before_tables", Cut(record, record.size() - 4));
  TBytes old = record;
  old[0] = 106;
  test::WriteFile(out / "too_old", old);
  TBytes newer = record;
  newer[0] = 141;
  test::WriteFile(out / "too_new", newer);
  TBytes huge = record;
  huge[vars + 3] = 0x7F;
  test::WriteFile(out / "huge_var_count", huge);
  for (const std::string page : {"one", "nowhere"}) {
    TByteStream jump;
    WriteGameRecord(jump, world.Parts(), {kSaveNewestVersion, "jump", page + ".ksb", 0});
    test::WriteFile(out / ("jump_" + page), jump.TakeBytes());
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* folder = std::getenv("KEST_SAVED_GAME_SEEDS")) WriteSeeds(folder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TWorld world;
  world.Tick(kTicksBeforeLoad);
  const TBytes running = world.Record();
  const TBytes written = world.WriteSlot({data, size});
  const size_t shown = world.Ui.Messages.size();
  const bool loaded = world.Project->LoadGame(1);
  if (test::ReadFile(world.Project->SaveDataPath()) != written) std::abort();
  if (loaded) {
    world.Tick(kTicksAfterLoad);
    return 0;
  }
  if (!AppTerminating || world.Ui.Messages.size() != shown + 1) std::abort();
  if (world.Record() != running) std::abort();
  return 0;
}
