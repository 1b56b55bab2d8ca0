// The file and desktop functions of expressions over the player's hosts:
// game files, in-memory and saved files, captures, extraction with its
// overwrite question, and the helper programs a headless run never starts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/sjis.h"
#include "imaging/pexa_frame_list.h"
#include "language/build_kest_parser.h"
#include "language/kest_parser.h"
#include "language/param_collection.h"
#include "language/sys_func_man.h"
#include "platform/dialogs.h"
#include "scene/kest_base_list.h"
#include "shell/desktop_host.h"
#include "shell/game_file_functions.h"
#include "storage/big_memory_stream.h"
#include "storage/vr_file_collection.h"
#include "storage/vr_file_manager.h"
#include "support/temp_files.h"

namespace kest {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

class FileFunctionsTest : public ::testing::Test {
 protected:
  FileFunctionsTest() {
    fs::create_directories(Game);
    fs::create_directories(Save);
    Files.Mount("");
    Files.SetBaseFolder(Game.string() + "/");
    Scene.SetBitCount(32);
    Scene.SetSceneSize(32, 24);
    TGameFileParts& parts = Host.Parts();
    parts.Files = &Files;
    parts.Dialogs = &Dialogs;
    parts.Desktop = &Desktop;
    parts.Scene = &Scene;
    parts.SaveDataPath = [this] { return (Save / "save.dat").string(); };
    Funcs.Hosts.Files = &Host;
    Funcs.Hosts.Desktop = &Desktop;
    Dialogs.SetObserver([this](const std::string&, const std::string&, TUiResult) { ++Asked; });
  }

  TCustomParam& Str(std::string_view name, const std::string& value) {
    TCustomParam& v = *Store.CreateVar(name, PT_STR, PS_GLOBAL).Item->Value();
    v.SetAsStr(value);
    return v;
  }
  std::string Eval(std::string_view text) {
    TKestParser p = TBuildKestParser::Compile(Utf8ToCp932(text));
    p.Execute(Store, Funcs);
    return p.Result() ? p.Result()->GetAsStr() : "<none>";
  }
  std::vector<uint8_t> Memory(std::string_view name) {
    const TVrFile* entry = Files.Collections(0)->FindEntry(name);
    if (!entry || !entry->Content) return {};
    return {entry->Content->Data().begin(), entry->Content->Data().end()};
  }

  const test::TTempDir Temp;
  const fs::path Game = fs::path(Temp.Path()) / "game";
  const fs::path Save = fs::path(Temp.Path()) / "save";
  TVrFileManager Files;
  TKestBaseList Scene;
  TScriptedDialogs Dialogs;
  int Asked = 0;
  TRecordingRunner Runner;
  TDesktopHost Desktop{Runner};
  TGameFileFunctions Host{TGameFileParts{}};
  TParamCollection Store;
  TSysFuncMan Funcs;
};

TEST_F(FileFunctionsTest, GameFilesAreReadAndMemoryFilesCopied) {
  Put(Game / "text.txt", "one\r\ntwo\rthree\n");
  Put(Game / "empty.txt", "");
  Store.CreateVar("lines", PT_STR, PS_GLOBAL);
  EXPECT_EQ(Eval("FileExists(\"TEXT.TXT\")"), "TRUE");
  EXPECT_EQ(Eval("FileExists(\"\")"), "FALSE");
  EXPECT_EQ(Eval("LoadTextFile(lines, \"text.txt\")"), "TRUE");
  EXPECT_EQ(Eval("ArrayToString(lines, \"/\")"), "one/two/three");
  EXPECT_EQ(Eval("LoadTextFile(lines, \"empty.txt\")"), "FALSE");
  EXPECT_EQ(Eval("GetArraySize(lines)"), "3");

  Files.Collections(0)->AddMemoryFile("mem:a")->Content->Write("xyz", 3);
  EXPECT_EQ(Eval("CopyFile(\"text.txt\", \"mem:b\")"), "FALSE");
  EXPECT_EQ(Eval("CopyFile(\"mem:a\", \"save:b\")"), "TRUE");
  EXPECT_EQ(Memory("save:b"), (std::vector<uint8_t>{'x', 'y', 'z'}));
  TVrFileCollection saved;
  saved.Open((Save / "save.dat").string());
  TTpBigMemoryStream data;
  saved.Extract(data, "save:b");
  EXPECT_EQ(data.Size(), 3);
}

TEST_F(FileFunctionsTest, CapturesGoToMemoryTheSaveFileAndTheSaveFolder) {
  TCustomDIBX& screen = Scene.Output();
  for (int32_t y = 0; y < screen.Height(); ++y)
    for (int32_t x = 0; x < screen.Width(); ++x)
      screen.SetPixel(x, y, static_cast<uint32_t>(screen.ColorToPixel((x * 8) | (y * 10) << 8 | 0x400000)));
  EXPECT_EQ(Eval("SaveScreen(\"mem:shot.pxa\")"), "TRUE");
  TPexaFrameList list;
  list.LoadFromBytes(Memory("mem:shot.pxa"), "shot.pxa");
  ASSERT_EQ(list.Count(), 1);
  const TDIBX& shot = list.Frames(0).Composite;
  ASSERT_EQ(shot.Width(), 32);
  ASSERT_EQ(shot.Height(), 24);
  for (int32_t y = 0; y < 24; ++y)
    for (int32_t x = 0; x < 32; ++x)
      ASSERT_EQ(shot.PixelToColor(shot.GetPixel(x, y)), screen.PixelToColor(screen.GetPixel(x, y))) << x << "," << y;

  EXPECT_EQ(Eval("SaveScreen(\"SAVE:small.PXA\", 16, 12)"), "TRUE");
  TVrFileCollection saved;
  saved.Open((Save / "save.dat").string());
  TTpBigMemoryStream data;
  saved.Extract(data, "save:small.PXA");
  list.Clear();
  list.LoadFromBytes(data.Data(), "small.pxa");
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Frames(0).Composite.Width(), 16);
  EXPECT_TRUE(Files.Exists("save:small.pxa"));

  EXPECT_EQ(Eval("SaveScreen(\"disk.pxa\", 0, 0, FALSE, 1)"), "TRUE");
  EXPECT_TRUE(fs::exists(Save / "disk.pxa"));
  // Not a .pxa name, a size of none, one beyond the cap, a name that climbs out.
  EXPECT_EQ(Eval("SaveScreen(\"disk.bmp\")"), "FALSE");
  EXPECT_EQ(Eval("SaveScreen(\"mem:x.pxa\", -1, 5)"), "FALSE");
  EXPECT_EQ(Eval("SaveScreen(\"mem:x.pxa\", 8193, 5)"), "FALSE");
  Str("climb", "..\\..\\x.pxa");
  Str("rooted", "\\x.pxa");
  Str("drive", "C:\\x.pxa");
  EXPECT_EQ(Eval("SaveScreen(climb)"), "FALSE");
  EXPECT_EQ(Eval("SaveScreen(rooted)"), "FALSE");
  EXPECT_EQ(Eval("SaveScreen(drive)"), "FALSE");
  EXPECT_FALSE(fs::exists(fs::path(Temp.Path()).parent_path() / "x.pxa"));
}

TEST_F(FileFunctionsTest, RegisteredCapturesGoWhenThePlayerEnds) {
  {
    TGameFileFunctions host(Host.Parts());
    TSaveScreenRequest request;
    request.Name = "gone.pxa";
    request.Register = 1;
    EXPECT_TRUE(host.SaveScreen(request));
    EXPECT_TRUE(fs::exists(Save / "gone.pxa"));
  }
  EXPECT_FALSE(fs::exists(Save / "gone.pxa"));
}

TEST_F(FileFunctionsTest, ExtractionAsksBeforeOverwriting) {
  for (const char* name : {"a", "b", "c", "d"}) {
    Put(Game / "x" / (std::string(name) + ".dat"), "new");
    Put(Save / "out" / "x" / (std::string(name) + ".dat"), "old");
  }
  Put(Game / "y.dat", "new");
  Put(Save / "out" / "y.dat", "old");
  TCustomParam& names = Str("names", "");
  const int32_t four = 4;
  names.SetDims(std::span<const int32_t>(&four, 1));
  for (int32_t i = 0; i < 4; ++i) names.SetStr(i, std::string("x\\") + char('a' + i) + ".dat");
  Str("folder", "out");
  auto content = [&](const char* name) { return Slurp(Save / "out" / name); };

  // Yes writes, No skips, Yes to all writes this one and the rest unasked.
  for (TUiResult a : {TUiResult::Yes, TUiResult::No, TUiResult::YesToAll}) Dialogs.Push(a);
  EXPECT_EQ(Eval("ExtractFile(names, TRUE, folder)"), "TRUE");
  EXPECT_EQ(Asked, 3);
  EXPECT_EQ(content("x/a.dat") + content("x/b.dat") + content("x/c.dat") + content("x/d.dat"), "newoldnewnew");

  // Cancel leaves the rest of its pattern; No to all every later file.
  const int32_t two = 2;
  names.SetDims(std::span<const int32_t>(&two, 1));
  names.SetStr(0, "x\\*.dat");
  names.SetStr(1, "y.dat");
  Put(Save / "out" / "x" / "a.dat", "old");
  Dialogs.Push(TUiResult::Cancel);
  Dialogs.Push(TUiResult::NoToAll);
  Asked = 0;
  EXPECT_EQ(Eval("ExtractFile(names, TRUE, folder)"), "FALSE");
  EXPECT_EQ(Asked, 2);
  EXPECT_EQ(content("x/a.dat") + content("y.dat"), "oldold");

  // Without the question, a file is simply written.
  EXPECT_EQ(Eval("ExtractFile(\"y.dat\", FALSE, folder)"), "TRUE");
  EXPECT_EQ(content("y.dat"), "new");
}

// Stars match any run of characters, "?" one character, letters in any case;
// a mask of many stars against a long name takes no longer than its length
// times the mask's (it once backtracked for every star).
TEST_F(FileFunctionsTest, ExtractionPatternsMatchWithoutBacktracking) {
  const std::string longName = std::string(60, 'a') + "b.dat";
  for (const char* name : {"ab.txt", "Cb.DAT"}) Put(Game / "p" / name, "z");
  Put(Game / "p" / longName, "z");
  Str("out", "out");
  TCustomParam& mask = Str("mask", "");
  auto extracted = [&](const std::string& text) {
    fs::remove_all(Save / "out");
    mask.SetAsStr("p\\" + text);
    Eval("ExtractFile(mask, FALSE, out)");
    std::vector<std::string> found;
    if (fs::exists(Save / "out" / "p"))
      for (const auto& entry : fs::directory_iterator(Save / "out" / "p"))
        found.push_back(entry.path().filename().string());
    std::sort(found.begin(), found.end());
    std::string joined;
    for (const std::string& f : found) joined += f + " ";
    return joined;
  };
  EXPECT_EQ(extracted("*.dat"), "Cb.DAT " + longName + " ");
  EXPECT_EQ(extracted("?b.*"), "Cb.DAT ab.txt ");
  EXPECT_EQ(extracted("*a*a*a*a*a*a*a*a*a*a*a*a*a*a*c"), "");
  EXPECT_EQ(extracted("**************b.dat"), "Cb.DAT " + longName + " ");
  EXPECT_EQ(extracted("*a*a*a*a*a*a*a*a*a*a*a*a*a*a*B.DA?"), longName + " ");
}

TEST_F(FileFunctionsTest, ExtractionNeverWritesOutsideItsFolder) {
  Files.Collections(0)->AddMemoryFile("..\\..\\x")->Content->Write("bad", 3);
  Files.Collections(0)->AddMemoryFile("C:\\x")->Content->Write("bad", 3);
  Str("climb", "..\\..\\x");
  Str("drive", "C:\\x");
  Str("out", "out\\deep");
  Str("up", "..\\..");
  EXPECT_EQ(Eval("ExtractFile(climb, FALSE, out)"), "FALSE");
  EXPECT_EQ(Eval("ExtractFile(drive, FALSE, out)"), "FALSE");
  EXPECT_FALSE(fs::exists(Save / "x"));
  EXPECT_FALSE(fs::exists(fs::path(Temp.Path()) / "x"));
  // A folder that climbs is the save folder itself.
  Put(Game / "z.dat", "z");
  EXPECT_EQ(Eval("ExtractFile(\"z.dat\", FALSE, up)"), "TRUE");
  EXPECT_TRUE(fs::exists(Save / "z.dat"));
  // Without a folder the user is asked, and a headless run cancels.
  EXPECT_EQ(Eval("ExtractFile(\"z.dat\")"), "FALSE");
}

TEST_F(FileFunctionsTest, TheDesktopIsReachedOnlyThroughTheRunner) {
  Str("path", "kept");
  Eval("OpenUrl(\"https://example.org/a b;rm -rf x\")");
  Eval("OpenUrl(\"javascript:alert(1)\")");
  Eval("OpenUrl(\"/nonexistent/folder\")");
  ASSERT_EQ(Runner.Launched.size(), 1u);
  EXPECT_EQ(Runner.Launched[0], (std::vector<std::string>{"xdg-open", "https://example.org/a b;rm -rf x"}));
  Str("here", Temp.Path());
  Eval("OpenUrl(here)");
  ASSERT_EQ(Runner.Launched.size(), 2u);
  EXPECT_EQ(Runner.Launched[1][1], Temp.Path());
  // A game's own folder name, the Windows way and in any case, opens the
  // host folder below the game; a drive letter or a climb opens nothing.
  fs::create_directories(Game / "Save Data");
  Desktop.SetGameFolder([this] { return Game.string() + "/"; });
  Str("own", "save data\\");
  Eval("OpenUrl(own)");
  Eval("OpenUrl(\"C:\\\\Windows\")");
  Eval("OpenUrl(\"..\\\\..\")");
  ASSERT_EQ(Runner.Launched.size(), 3u);
  EXPECT_EQ(Runner.Launched[2][1], (Game / "Save Data").string());

  EXPECT_EQ(Eval("SelectOpenFile(path, \"Text|*.txt\")"), "FALSE");
  EXPECT_EQ(Eval("SelectSaveFile(path)"), "FALSE");
  EXPECT_EQ(Eval("SelectDirectory(path)"), "FALSE");
  EXPECT_EQ(Eval("path"), "kept");
  EXPECT_EQ(Eval("SetWallPaper(\"\", 0)"), "FALSE");
  EXPECT_TRUE(Runner.Ran.empty());
}

TEST(FileFunctionsWithoutHosts, AnswerFalse) {
  TParamCollection store;
  TSysFuncMan funcs;
  for (const char* text : {"FileExists(\"a\")", "SaveScreen(\"mem:a.pxa\")", "ExtractFile(\"a\", FALSE, \"o\")",
                           "CopyFile(\"mem:a\", \"mem:b\")", "SetWallPaper(\"\", 0)"}) {
    TKestParser p = TBuildKestParser::Compile(text);
    p.Execute(store, funcs);
    ASSERT_TRUE(p.Result());
    EXPECT_EQ(p.Result()->GetAsStr(), "FALSE") << text;
  }
}

}  // namespace
}  // namespace kest
