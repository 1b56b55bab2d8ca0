// Saved games through the project: requests, slots, the jump page, cabinets,
// old records and unusable ones.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <climits>

#include "common/app_globals.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "language/build_kest_parser.h"
#include "language/param_collection.h"
#include "language/sys_func_man.h"
#include "page_builder.h"
#include "saved_game_builder.h"
#include "scene/kest_base_list.h"
#include "scene/property_access.h"
#include "script/atomic_file.h"
#include "script/call_man.h"
#include "script/project.h"
#include "script/project_fixture.h"
#include "storage/big_memory_stream.h"
#include "storage/vr_file_collection.h"
#include "storage/vr_file_manager.h"

namespace kest {
namespace {

using test::TPageBuilder;
using test::TSavedGameBuilder;

// Writes through, or fails as a full disk does.
class TDiskWriter final : public IFileByteWriter {
 public:
  int64_t Write(int fd, const uint8_t* data, int64_t count) override {
    if (!Full) return ::write(fd, data, static_cast<size_t>(count));
    errno = ENOSPC;
    return -1;
  }
  bool Full = false;
};

class GameSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAppGlobals();
    Files.Mount("");
    Files.SetBaseFolder(Game.Path());
    test::WriteFile(Game / "kest.kpb", test::Settings("start.ksb", ""));
  }
  void TearDown() override {
    Project.reset();
    ResetAppGlobals();
  }

  void Start(TPageBuilder& page) {
    page.WriteTo(Game.Path());
    TProjectParts parts;
    parts.Files = &Files;
    parts.Vars = &Vars;
    parts.Ui = &Ui;
    parts.Scene = &Scene;
    parts.MakeInterpreter = [this](TProject& project) -> std::unique_ptr<IProjectInterpreter> {
      TCallManParts man;
      man.Files = &Files;
      man.Vars = &Vars;
      man.Funcs = &Funcs;
      man.Ui = &Ui;
      man.Events = &Scene.Events();
      man.Clock = &Scene.Clock();
      man.Hosts.Scene = &Scene;
      man.Hosts.Saves = &project;
      return std::make_unique<TCallMan>(std::move(man));
    };
    TProjectOptions options;
    options.GameFolder = Game.Path();
    options.ProgramFolder = Game.Path();
    options.SaveWriter = &Disk;
    Project = std::make_unique<TProject>(std::move(parts), std::move(options));
    ASSERT_TRUE(Project->Loaded());
  }
  // One tick as the main window runs it; true when a game was loaded.
  bool Tick() {
    Scene.Clock().Advance(15);
    Project->RunTick();
    Scene.UpdateScene();
    return Project->DoRequests();
  }
  int32_t Int(const std::string& name) {
    const TParamCollectionItem* v = Vars.FindVar(name);
    return v ? v->Value()->GetAsInt() : INT_MIN;
  }
  std::string Str(const std::string& name) {
    const TParamCollectionItem* v = Vars.FindVar(name);
    return v ? v->Value()->GetAsStr() : "<none>";
  }
  std::string SavePath() const { return Game / "save.dat"; }
  std::unique_ptr<TVrFileCollection> SaveFile() {
    auto archive = std::make_unique<TVrFileCollection>();
    auto bytes = std::make_unique<TTpBigMemoryStream>();
    bytes->LoadFromFile(SavePath());
    archive->OpenStream(std::move(bytes), "save.dat");
    return archive;
  }
  // Puts a record into the save file as the slot's entry.
  void StoreSlot(int32_t slot, const test::TBytes& record) {
    TVrFileCollection archive;
    TVrFile* entry = archive.AddMemoryFile(TProject::kSlotPrefix + std::to_string(slot));
    WriteExact(*entry->Content, record.data(), static_cast<int64_t>(record.size()));
    TTpBigMemoryStream out;
    archive.WriteArchive(out);
    test::WriteFile(SavePath(), test::TBytes(out.Data().begin(), out.Data().end()));
  }
  static void Save(TPageBuilder& page, const std::string& slot, const std::string& title,
                   const std::string& jump = "") {
    TCommand& c = page.Expr(ciGameSave, "slot", slot, 0, false);
    c.Field("title").Expr = TBuildKestParser::Compile(title);
    c.Field("page").Text = jump;
  }
  static TCommand& Cabinet(TPageBuilder& page, uint8_t id, const std::string& invert,
                           std::initializer_list<const char*> names) {
    TCommand& c = page.Expr(id, "invert", invert);
    auto& props = c.Field("props").Props;
    props.resize(PR_NAME + 1);
    props[PR_NAME] = std::make_unique<TKestParser>(TBuildKestParser::Compile("\"cab\""));
    for (const char* name : names) c.Field("names").List.push_back(TBuildKestParser::Compile(name));
    return c;
  }
  TKestControl& BackBox(const std::string& name) {
    auto& box = static_cast<TKestControl&>(*Scene.CreateByKind(LT_BOX));
    Scene.SetName(box, name);
    box.SetParent(&Scene.BackBase());
    return box;
  }

  test::TTempDir Game;
  TVrFileManager Files;
  TParamCollection Vars;
  TSysFuncMan Funcs;
  TKestBaseList Scene;
  test::TAnsweringUi Ui;
  TDiskWriter Disk;
  std::unique_ptr<TProject> Project;
};

TEST_F(GameSaveTest, ASlotSavedTwiceKeepsOneEntryWithTheNewerTitleAndAnEmptyTitleSavesNothing) {
  TPageBuilder start("start.ksb");
  Save(start, "3", "\"first\"");
  Save(start, "3", "\"second\"");
  Save(start, "4", "\"\"");
  start.Wait("0");
  Start(start);
  for (int i = 0; i < 4; ++i) Tick();
  const auto save = SaveFile();
  int slots = 0;
  for (int32_t i = 0; i < save->Count(); ++i) slots += (*save)[i]->Name().starts_with("GAMESAVEDATA") ? 1 : 0;
  EXPECT_EQ(slots, 1);
  EXPECT_NE(save->FindEntry("GAMESAVEDATA3"), nullptr);
  EXPECT_NE(save->FindEntry(TProject::kStatusEntry), nullptr);
  EXPECT_EQ(Project->SlotTitle(3), "second");
  Project->ReadSlotList();
  EXPECT_EQ(Project->SlotTitle(3), "second");
  EXPECT_EQ(Project->SlotTitle(4), "");
}

TEST_F(GameSaveTest, ASaveThatCannotBeWrittenIsReportedAndTheGameAndTheOldFileGoOn) {
  TPageBuilder start("start.ksb");
  Save(start, "1", "\"one\"");
  Save(start, "1", "\"two\"");
  start.Calc("after = 1").Wait("0");
  Start(start);
  Vars.CreateVar("after", PT_INT, PS_GLOBAL);
  Tick();
  const test::TBytes before = test::ReadFile(SavePath());
  Disk.Full = true;
  Tick();
  Tick();
  EXPECT_EQ(test::ReadFile(SavePath()), before);
  EXPECT_EQ(Ui.SaveFailures.size(), 1U);
  EXPECT_EQ(Project->SlotTitle(1), "one");
  EXPECT_FALSE(AppTerminating);
  EXPECT_EQ(Int("after"), 1);
}

TEST_F(GameSaveTest, ADamagedSlotKeepsItsBytesAndBlocksNeitherAnotherSlotNorTheStatus) {
  TPageBuilder start("start.ksb");
  start.VarNew("mine", PT_INT, "5", PS_GLOBAL);
  Save(start, "1", "\"one\"");
  start.Wait("0");
  Start(start);
  Tick();
  test::TBytes file = test::ReadFile(SavePath());
  int64_t at = 0, size = 0;
  {
    const auto save = SaveFile();
    const TVrFile* slot = save->FindEntry("GAMESAVEDATA1");
    ASSERT_NE(slot, nullptr);
    ASSERT_FALSE(slot->Stored);
    at = slot->Offset;
    size = slot->Size;
  }
  file[static_cast<size_t>(at + size - 1)] ^= 0x5A;  // the zlib data's own checksum
  test::WriteFile(SavePath(), file);
  const test::TBytes damaged(file.begin() + at, file.begin() + at + size);

  EXPECT_TRUE(Project->SaveGame(2, "two", "", 0));
  EXPECT_TRUE(Project->SaveStatus());
  EXPECT_TRUE(Ui.SaveFailures.empty());
  EXPECT_TRUE(Ui.Messages.empty());
  const auto save = SaveFile();
  const test::TBytes now = test::ReadFile(SavePath());
  const TVrFile* kept = save->FindEntry("GAMESAVEDATA1");
  ASSERT_NE(kept, nullptr);
  ASSERT_EQ(kept->Size, size);
  EXPECT_EQ(test::TBytes(now.begin() + kept->Offset, now.begin() + kept->Offset + size), damaged);
  EXPECT_NE(save->FindEntry("GAMESAVEDATA2"), nullptr);
  EXPECT_FALSE(Project->LoadGame(1));
  AppTerminating = false;
  Ui.Messages.clear();
  EXPECT_TRUE(Project->LoadGame(2));
  EXPECT_EQ(Int("mine"), 5);
  EXPECT_TRUE(Ui.Messages.empty());
}

TEST_F(GameSaveTest, TheJumpPageRunsFirstAndReturnsIntoTheRestoredScript) {
  TPageBuilder jump("jump.ksb");
  jump.Calc("log = log ++ \"jump \"");
  jump.WriteTo(Game.Path());
  TPageBuilder start("start.ksb");
  start.VarNew("log", PT_STR, "\"\"", PS_GLOBAL);
  Save(start, "1", "\"t\"", "jump.ksb");
  start.Calc("log = log ++ \"after \"").Wait("0");
  Start(start);
  Tick();
  Tick();
  ASSERT_EQ(Str("log"), "after ");
  Project->RequestLoad(1);
  EXPECT_TRUE(Project->DoRequests());
  EXPECT_EQ(Str("log"), "");
  Tick();
  Tick();
  EXPECT_EQ(Str("log"), "jump after ");
}

TEST_F(GameSaveTest, CabinetsParkTheBackScreensChildrenAndGiveThemBack) {
  TPageBuilder start("start.ksb");
  Cabinet(start, ciSaveCabinet, "TRUE", {});
  start.Calc("parked = 1");
  Cabinet(start, ciLoadCabinet, "FALSE", {"\"b\""});
  start.Wait("0");
  Start(start);
  Vars.CreateVar("parked", PT_INT, PS_GLOBAL);
  TKestControl& a = BackBox("a");
  TKestControl& b = BackBox("b");
  Project->RunTick();
  TKestObject* cabinet = Scene.FindObject("cab");
  ASSERT_NE(cabinet, nullptr);
  EXPECT_EQ(cabinet->Kind(), LT_CABINET);
  EXPECT_EQ(a.Parent(), cabinet);
  EXPECT_EQ(b.Parent(), &Scene.BackBase());
  EXPECT_TRUE(a.InCabinet());
  EXPECT_EQ(Scene.BackBase().ChildCount(), 1);
}

TEST_F(GameSaveTest, OldRecordsLoadAndOnesTooOldStopTheGameAsItWas) {
  TPageBuilder start("start.ksb");
  start.VarNew("mine", PT_INT, "5", PS_GLOBAL).Wait("0");
  Start(start);
  Tick();
  for (const int32_t version : {107, 121}) {
    SCOPED_TRACE(version);
    TSavedGameBuilder record(version);
    record.Head("old").Scene(320, 240, {"box1", "box2"}).Histories().Interpreter("start.ksb", 1);
    record.Vars({{"found", version}}).Tables();
    StoreSlot(1, record.Bytes());
    ASSERT_TRUE(Project->LoadGame(1));
    EXPECT_EQ(Int("found"), version);
    EXPECT_EQ(Int("mine"), INT_MIN);
    ASSERT_NE(Scene.FindControl("box2"), nullptr);
    EXPECT_EQ(Scene.FindControl("box2")->Parent(), &Scene.Base(0));
    EXPECT_TRUE(Ui.Messages.empty());
  }
  // Version 106, and a record cut short after the scene: the box and a stop.
  TSavedGameBuilder old(106);
  old.Head("old").Scene(320, 240, {"gone"}).Histories().Interpreter("start.ksb", 1).Vars({}).Tables();
  TSavedGameBuilder cut(140);
  cut.Head("cut").Scene(320, 240, {"gone"});
  for (const test::TBytes& bad : {old.Bytes(), cut.Bytes()}) {
    StoreSlot(2, bad);
    const test::TBytes file = test::ReadFile(SavePath());
    AppTerminating = false;
    Ui.Messages.clear();
    EXPECT_FALSE(Project->LoadGame(2));
    EXPECT_TRUE(AppTerminating);
    ASSERT_EQ(Ui.Messages.size(), 1U);
    EXPECT_EQ(Ui.Messages[0], Utf8ToCp932("このセーブデータは使用できません\r\n終了してください"));
    EXPECT_EQ(Int("found"), 121);
    EXPECT_NE(Scene.FindControl("box1"), nullptr);
    EXPECT_EQ(Scene.FindControl("gone"), nullptr);
    EXPECT_EQ(test::ReadFile(SavePath()), file);
  }
  AppTerminating = false;
  EXPECT_FALSE(Project->LoadGame(9));
  EXPECT_FALSE(AppTerminating);
}

TEST_F(GameSaveTest, ButtonCaptionsComeBackWithTheirSlotOnly) {
  TPageBuilder start("start.ksb");
  start.Wait("0");
  Start(start);
  auto button = [&]() -> TKestObject& {
    TKestObject* found = Scene.FindObject("ok");
    if (found) return *found;
    TKestObject& made = *Scene.CreateByKind(LT_BUTTON);
    Scene.SetName(made, "ok");
    made.AsControl()->SetParent(&Scene.FrontBase());
    return made;
  };
  auto text = [&] { return std::get<std::string>(ReadProperty(button(), PR_TEXT)); };
  WriteProperty(button(), PR_TEXT, std::string("OK"));
  ASSERT_TRUE(Project->SaveGame(1, "one", "", 0));
  WriteProperty(button(), PR_TEXT, std::string("changed"));
  ASSERT_TRUE(Project->LoadGame(1));
  EXPECT_EQ(text(), "OK");
  WriteProperty(button(), PR_FONTCOLOR, int32_t{0xFF});
  EXPECT_EQ(text(), "OK") << "a later caption write keeps the text";
  // A slot saved over by a player that knows nothing of the captions.
  {
    auto save = SaveFile();
    TTpBigMemoryStream bytes;
    save->ExtractEntry(*save->FindEntry("GAMESAVEDATA1"), bytes);
    TVrFile* slot = save->FindEntry("GAMESAVEDATA1");
    save->Remove(slot);
    TVrFile* other = save->AddMemoryFile("GAMESAVEDATA1");
    WriteExact(*other->Content, bytes.Data().data(), bytes.Size());
    WriteByte(*other->Content, 0);
    TTpBigMemoryStream out;
    save->WriteArchive(out);
    test::WriteFile(SavePath(), test::TBytes(out.Data().begin(), out.Data().end()));
  }
  WriteProperty(button(), PR_TEXT, std::string("changed"));
  ASSERT_TRUE(Project->LoadGame(1));
  EXPECT_EQ(text(), "") << "a stale caption entry is passed over";
  // A captions entry cut short is passed over too: it never spoils its slot.
  {
    auto save = SaveFile();
    const std::string name = std::string(TProject::kCaptionPrefix) + "1";
    while (TVrFile* old = save->FindEntry(name)) save->Remove(old);
    WriteByte(*save->AddMemoryFile(name)->Content, 7);
    TTpBigMemoryStream out;
    save->WriteArchive(out);
    test::WriteFile(SavePath(), test::TBytes(out.Data().begin(), out.Data().end()));
  }
  EXPECT_TRUE(Project->LoadGame(1));
}

}  // namespace
}  // namespace kest
