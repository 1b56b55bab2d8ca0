#include <gtest/gtest.h>

#include "storage/program_file.h"
#include "storage_test_util.h"

namespace kest {
namespace {

using namespace kest::test;

TBytes Program() {
  TBytes p = Text(
      "\x7f"
      "ELF");
  const TBytes body = MakeBytes(3000, 5, false);
  p.insert(p.end(), body.begin(), body.end());
  return p;
}

TEST(ProgramFile, ResourcesAndAnAppendedArchiveLiveSideBySide) {
  TTempDir dir;
  WriteFile(dir / "prog", Program());
  const TBytes archive = Text("vf....archive bytes");
  WriteFile(dir / "game.dat", archive);
  WriteProgramWithArchive(dir / "prog", dir / "game.dat", dir / "with_archive");
  ASSERT_EQ(FindAppendedArchive(dir / "with_archive"), 3004);

  const TBytes blob = Text("resource content vf");
  WriteProgramWithResource(dir / "with_archive", dir / "both", "Dummy", "BinType", blob);
  WriteProgramWithResource(dir / "both", dir / "both2", "ICON", "RAW", Text("x"));
  const auto all = ListProgramResources(dir / "both2");
  ASSERT_EQ(all.size(), 2u);
  const auto found = FindProgramResource(dir / "both2", "DUMMY", "bintype");
  ASSERT_TRUE(found);
  const TBytes file = ReadFile(dir / "both2");
  EXPECT_EQ(TBytes(file.begin() + found->Offset, file.begin() + found->Offset + found->Size), blob);
  EXPECT_TRUE(HasArchiveResource(dir / "both2"));
  EXPECT_FALSE(HasArchiveResource(dir / "both2", "ICON", "RAW"));

  const auto start = FindAppendedArchive(dir / "both2");
  ASSERT_TRUE(start);
  EXPECT_EQ(TBytes(file.begin() + *start, file.begin() + *start + static_cast<int64_t>(archive.size())), archive);

  WriteProgramWithResource(dir / "both2", dir / "replaced", "dummy", "BINTYPE", Text("new"));
  EXPECT_EQ(ListProgramResources(dir / "replaced").size(), 2u);
  EXPECT_EQ(FindProgramResource(dir / "replaced", "DUMMY", "BINTYPE")->Size, 3);
  EXPECT_TRUE(FindAppendedArchive(dir / "replaced"));
}

TEST(ProgramFile, AnUnsoundTrailerOrSectionIsNotThere) {
  TTempDir dir;
  auto with_tail = [&](const char* name, const TBytes& tail) {
    TBytes p = Program();
    p.insert(p.end(), tail.begin(), tail.end());
    WriteFile(dir / name, p);
    return dir / name;
  };
  EXPECT_FALSE(FindAppendedArchive(with_tail("neg", TByteBuilder().U32(0xFFFFFFF0u).Raw("kv").Bytes())));
  EXPECT_FALSE(FindAppendedArchive(with_tail("far", TByteBuilder().U32(1u << 30).Raw("kv").Bytes())));
  EXPECT_FALSE(FindAppendedArchive(with_tail("novf", TByteBuilder().U32(10).Raw("kv").Bytes())));
  EXPECT_TRUE(ListProgramResources(with_tail("sec", TByteBuilder().U64(3000).Raw("kres").Bytes())).empty());
  EXPECT_TRUE(ListProgramResources(with_tail("cnt", TByteBuilder().U32(99999).U64(16).Raw("kres").Bytes())).empty());
  EXPECT_THROW(WriteProgramWithArchive(dir / "neg", dir / "neg", dir / "neg"), std::exception);
}

}  // namespace
}  // namespace kest
