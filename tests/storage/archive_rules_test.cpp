#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/errors.h"
#include "common/sjis.h"
#include "storage/archive_paths.h"
#include "storage/big_memory_stream.h"
#include "storage/vr_file_collection.h"
#include "storage_test_util.h"

#include "support/temp_files.h"

namespace kest {
namespace {

using namespace kest::test;

TBytes ExtractBytes(TVrFileCollection& archive, std::string_view name) {
  TTpBigMemoryStream out;
  archive.Extract(out, name);
  return TBytes(out.Data().begin(), out.Data().end());
}

// Writes the collection and mounts what was written.
void Rewrite(TVrFileCollection& from, TVrFileCollection& to) {
  auto memory = std::make_unique<TTpBigMemoryStream>();
  ASSERT_TRUE(from.WriteArchive(*memory));
  memory->Seek(0);
  to.OpenStream(std::move(memory), "rewritten");
}

TEST(ArchiveRules, MemoryEntriesAndTheSentinel) {
  TVrFileCollection source;
  const TBytes small = MakeBytes(1000, 1, true);
  const TBytes large = MakeBytes(5242880, 2, true);
  source.AddMemoryFile("small")->Content = std::make_unique<TTpMemoryStream>(small);
  TVrFile* plain = source.AddMemoryFile("plain");
  plain->Content = std::make_unique<TTpMemoryStream>(small);
  plain->ChecksumOfPlain = true;
  source.AddMemoryFile("large")->Content = std::make_unique<TTpMemoryStream>(large);
  source.AddMemoryFile("\\EOF\\");
  source.AddMemoryFile("SMALL")->Content = std::make_unique<TTpMemoryStream>(Text("later"));

  TVrFileCollection back;
  Rewrite(source, back);
  ASSERT_EQ(back.Count(), 4);
  EXPECT_FALSE(back.FindEntry("small")->Stored);
  EXPECT_TRUE(back.FindEntry("large")->Stored);
  EXPECT_EQ(back.FindEntry("plain")->Checksum, Crc(small));
  EXPECT_EQ(back.FindEntry("large")->Checksum, Crc(large));
  EXPECT_EQ(ExtractBytes(back, "Small"), Text("later"));
  EXPECT_EQ(ExtractBytes(back, "large"), large);
  EXPECT_EQ(back.FindEntry("\\EOF\\"), nullptr);
  EXPECT_THROW(ExtractBytes(back, "\\eof\\"), EKestError);
}

TEST(ArchiveRules, RewritingFromTheArchiveKeepsEveryByte) {
  TVrFileCollection source;
  source.AddMemoryFile("a.txt")->Content = std::make_unique<TTpMemoryStream>(MakeBytes(3000, 3, true));
  TVrFile* big = source.AddMemoryFile("b.txt");
  big->Content = std::make_unique<TTpMemoryStream>(MakeBytes(5300000, 4, true));
  big->ChecksumOfPlain = true;
  TVrFileCollection first;
  Rewrite(source, first);
  TVrFileCollection second;
  Rewrite(first, second);
  EXPECT_EQ(ExtractBytes(second, "a.txt"), MakeBytes(3000, 3, true));
  EXPECT_TRUE(second.FindEntry("b.txt")->Stored);
  EXPECT_TRUE(second.FindEntry("b.txt")->ChecksumOfPlain);
  EXPECT_EQ(second.ComputeChecksum(*second.FindEntry("a.txt")), second.FindEntry("a.txt")->Checksum);
}

TEST(ArchiveRules, FolderFilesLookupsAndErrors) {
  TTempDir dir;
  WriteFile(dir / "base/loose.txt", Text("from the folder"));
  TVrFileCollection archive;
  archive.SetBaseFolder(dir / "base");
  archive.AddFile("missing.txt");
  std::string shown;
  archive.OnWriteError = [&](const std::string& message) { shown = message; };
  TTpBigMemoryStream out;
  EXPECT_THROW(archive.WriteArchive(out), EKestError);
  EXPECT_EQ(shown, Utf8ToCp932("エラー:") + "missing.txt");
  try {
    ExtractBytes(archive, "missing.txt");
    FAIL();
  } catch (const EKestError& e) {
    EXPECT_EQ(std::string(e.what()), "missing.txt" + Utf8ToCp932(":ファイルがありません"));
  }
  EXPECT_EQ(ExtractBytes(archive, "LOOSE.TXT"), Text("from the folder"));
  EXPECT_EQ(archive.OpenRange("loose.txt"), nullptr);
  archive.DeleteFile("MISSING.txt");
  EXPECT_EQ(archive.Count(), 0);

  TTpMemoryStream ordinary(Text("stale"));
  archive.AddMemoryFile("m")->Content = std::make_unique<TTpMemoryStream>(Text("fresh"));
  archive.Extract(ordinary, "m");
  EXPECT_EQ(ordinary.Bytes(), Text("fresh"));
  EXPECT_EQ(ordinary.Position(), 0);
}

TEST(ArchiveRules, EmptyEntriesStreamNothing) {
  TVrFileCollection source;
  source.AddMemoryFile("empty");
  source.AddMemoryFile("after")->Content = std::make_unique<TTpMemoryStream>(MakeBytes(6000000, 5, true));
  TTempDir dir;
  {
    TTpBigFileStream out(dir / "e.dat", big_file_mode::kCreate);
    source.WriteArchive(out);
  }
  TVrFileCollection archive;
  archive.Open(dir / "e.dat");
  auto range = archive.OpenRange("empty");
  ASSERT_TRUE(range);
  EXPECT_EQ(range->Size(), 0);
  auto after = archive.OpenRange("after");
  EXPECT_EQ(after->Size(), 6000000);
  EXPECT_NE(dynamic_cast<TFileRangeStream*>(after.get()), nullptr);
}

TEST(ArchiveRules, FoldersAndExtensionsWalkByCharacters) {
  EXPECT_EQ(FolderPart("bg\\\x83\x5C.pxa"), "bg\\");
  EXPECT_EQ(ExtensionPart("bg\\\x83\x5C.pxa"), ".pxa");
  EXPECT_EQ(ExtensionPart("a.b\\noext"), "");
  EXPECT_EQ(FolderPart("\x83\x5C"), "");

  TVrFileCollection archive;
  for (const char* name : {"bg\\a.pxa", "BG\\b.pxa", "bg\\sub\\c.pxa", "bg\\\x83\x5C.pxa", "se\\a.wav", "top"})
    archive.AddFile(name);
  std::vector<std::string> list = {"BG\\A.PXA"};
  archive.ListFolder("Bg\\", list);
  EXPECT_EQ(list, (std::vector<std::string>{"BG\\A.PXA", "BG\\b.pxa", "bg\\\x83\x5C.pxa"}));
  list.clear();
  archive.ListFolder("", list);
  EXPECT_EQ(list, std::vector<std::string>{"top"});

  EXPECT_TRUE(IsSafeEntryName("bg\\\x83\x5C.pxa"));
  for (const char* bad : {"..\\..\\evil", "\\abs", "C:\\x", "a\\.\\b", "a/b", "", "a\\\\b", "a\\..", "x\\"})
    EXPECT_FALSE(IsSafeEntryName(bad)) << bad;
}

TEST(ArchiveRules, TheFolderBehindAnArchiveIsSearchedIgnoringCaseAndNeverLeft) {
  namespace fs = std::filesystem;
  const ::kest::test::TTempDir scratch;
  const fs::path dir = fs::path(scratch.Path()) / "game";
  fs::create_directories(dir / "画像");
  std::ofstream(dir / "画像" / "トPng.PXA") << "x";
  std::ofstream(fs::path(scratch.Path()) / "outside.txt") << "y";
  TVrFileCollection folder;
  folder.SetBaseFolder(dir.string());
  TTpBigMemoryStream out;
  // ト in UTF-8 ends in 0x88, a Shift-JIS lead byte: the P after it must
  // still fold.
  folder.Extract(out, Utf8ToCp932("画像\\トpng.pxa"));
  EXPECT_EQ(out.Size(), 1);
  EXPECT_THROW(folder.Extract(out, "..\\outside.txt"), EKestError);
  EXPECT_THROW(folder.Extract(out, Utf8ToCp932("画像\\..\\..\\outside.txt")), EKestError);
}

}  // namespace
}  // namespace kest
