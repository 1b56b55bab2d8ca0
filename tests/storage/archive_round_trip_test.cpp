// A folder of fifty files written as an archive and read back through every
// placement: standalone, split index over three segments, appended to a
// program, and as a program resource.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/sjis.h"
#include "storage/archive_paths.h"
#include "storage/big_file_stream.h"
#include "storage/program_file.h"
#include "storage/vr_file_collection.h"
#include "storage_test_util.h"

namespace kest {
namespace {

using namespace kest::test;
namespace mode = big_file_mode;

struct TSourceFile {
  std::string Name;
  TBytes Bytes;
  bool Stored;
};

TBytes Pexa(const char* version, uint8_t compression, size_t body) {
  TByteBuilder b;
  b.Raw("Pexa").Raw(version).U32(40).U32(106).U32(64).U32(64).U32(32).U32(1);
  b.U8(1).U8(0).U8(compression).U8(0);
  for (int i = 0; i < 4; ++i) b.U32(0);
  TBytes bytes = b.Bytes();
  const TBytes rest = MakeBytes(body, 8, true);
  bytes.insert(bytes.end(), rest.begin(), rest.end());
  return bytes;
}

std::vector<TSourceFile> SourceFiles() {
  std::vector<TSourceFile> files = {
      {"kest.kpb", MakeBytes(2000, 1, true), false},
      {"empty.txt", {}, true},
      {"big.txt", MakeBytes(6000000, 2, true), true},
      {"edge_below.txt", MakeBytes(5242879, 3, true), false},
      {"edge_at.txt", MakeBytes(5242880, 4, true), true},
      {"noise.bin", MakeBytes(100000, 5, false), true},
      {"noext", MakeBytes(3000, 6, true), false},
      {"bgm\\theme.ogg", MakeBytes(200000, 7, true), true},
      {"se\\click.WAV", MakeBytes(10000, 8, true), true},
      {"mv\\op.mpe", MakeBytes(5000, 9, true), true},
      {"mv\\op.mpeg", MakeBytes(5000, 10, true), true},
      {"misc\\x.w", MakeBytes(5000, 11, true), true},
      {"pack.dat", MakeBytes(5000, 12, true), true},
      {"bg\\raw.pxa", Pexa("106", 1, 50000), false},
      {"bg\\zip.pxa", Pexa("106", 0, 50000), true},
      {"bg\\old.pxa", Pexa("102", 1, 50000), true},
      {"bg\\\x83\x5C.pxa", Pexa("103", 1, 20000), false},
      {"bg\\\x83\x61.txt", MakeBytes(900, 13, true), false},
      {"bg\\\x83\x41.txt", MakeBytes(900, 14, true), false},
      {Utf8ToCp932("文字\\テキスト.txt"), MakeBytes(4000, 15, true), false},
  };
  for (int i = 0; files.size() < 50; ++i) {
    const bool compressible = i % 3 != 0;
    files.push_back({"data\\f" + std::to_string(i) + ".txt",
                     MakeBytes(static_cast<size_t>(i) * 701, 20 + i, compressible), !compressible || i == 0});
  }
  return files;
}

class ArchiveRoundTrip : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    Dir = new TTempDir;
    Files = new std::vector<TSourceFile>(SourceFiles());
    for (const auto& f : *Files) WriteFile(*HostPathOf(*Dir / "src/", f.Name), f.Bytes);
    TVrFileCollection writer;
    writer.SetBaseFolder(*Dir / "src");
    for (const auto& f : *Files) writer.AddFile(f.Name);
    TTpBigFileStream out(*Dir / "game.dat", mode::kCreate);
    ASSERT_TRUE(writer.WriteArchive(out));
  }
  static void TearDownTestSuite() {
    delete Files;
    delete Dir;
  }

  static void ExpectEveryEntry(TVrFileCollection& archive) {
    ASSERT_EQ(archive.Count(), 50);
    for (const auto& f : *Files) {
      SCOPED_TRACE(Cp932ToUtf8(f.Name));
      const TVrFile* entry = archive.FindEntry(f.Name);
      ASSERT_NE(entry, nullptr);
      EXPECT_EQ(entry->Stored, f.Stored);
      EXPECT_NE(entry->Timestamp, 0u);
      EXPECT_EQ(archive.ComputeChecksum(*entry), entry->Checksum);
      TTpBigMemoryStream out;
      archive.Extract(out, f.Name);
      EXPECT_TRUE(std::equal(out.Data().begin(), out.Data().end(), f.Bytes.begin(), f.Bytes.end()));
      auto range = archive.OpenRange(f.Name);
      ASSERT_TRUE(range);
      TBytes streamed(f.Bytes.size());
      EXPECT_EQ(range->Read(streamed.data(), range->Size() + 10), static_cast<int64_t>(f.Bytes.size()));
      EXPECT_EQ(streamed, f.Bytes);
    }
  }

  static inline TTempDir* Dir = nullptr;
  static inline std::vector<TSourceFile>* Files = nullptr;
};

TEST_F(ArchiveRoundTrip, Standalone) {
  TVrFileCollection archive;
  archive.Open(*Dir / "game.dat");
  EXPECT_EQ(archive.Version(), 102);
  ExpectEveryEntry(archive);
}

// Named as on a Windows disc: the index file is found ignoring case.
TEST_F(ArchiveRoundTrip, SplitIndexOverThreeSegments) {
  const TBytes whole = ReadFile(*Dir / "game.dat");
  const int64_t segment = static_cast<int64_t>(whole.size()) / 3 + 1;
  TVrFileCollection probe;
  probe.Open(*Dir / "game.dat");
  const int64_t index_end = probe[0]->Offset;
  const std::string data = *Dir / "split/GAME.DAT";
  std::filesystem::create_directories(*Dir / "split");
  {
    TTpBigFileStream out(data, mode::kCreate, segment);
    const TBytes zeros(static_cast<size_t>(index_end), 0);
    out.Write(zeros.data(), index_end);
    out.Write(whole.data() + index_end, static_cast<int64_t>(whole.size()) - index_end);
  }
  WriteFile(*Dir / "split/Game.Ext", TBytes(whole.begin(), whole.begin() + index_end));
  EXPECT_TRUE(std::filesystem::exists(*Dir / "split/GAME.002"));
  EXPECT_FALSE(std::filesystem::exists(*Dir / "split/GAME.003"));
  TVrFileCollection archive(segment);
  archive.Open(data);
  ExpectEveryEntry(archive);
}

TEST_F(ArchiveRoundTrip, AppendedToAProgram) {
  TBytes program = Text(
      "\x7f"
      "ELF");
  program.resize(20000, 0x90);
  WriteFile(*Dir / "player", program);
  WriteProgramWithArchive(*Dir / "player", *Dir / "game.dat", *Dir / "player_game");
  TVrFileCollection archive;
  archive.Open(*Dir / "player_game");
  ExpectEveryEntry(archive);
  TVrFileCollection bare;
  bare.Open(*Dir / "player");
  EXPECT_EQ(bare.Count(), 0);
  EXPECT_EQ(bare.ArchiveStream(), nullptr);
}

TEST_F(ArchiveRoundTrip, ProgramResource) {
  TBytes program = Text(
      "\x7f"
      "ELF");
  program.resize(20000, 0x90);
  WriteFile(*Dir / "player", program);
  TBytes content = ReadFile(*Dir / "game.dat");
  content.push_back('v');
  content.push_back('f');
  WriteProgramWithResource(*Dir / "player", *Dir / "player_res", "DUMMY", "BINTYPE", content);
  EXPECT_TRUE(HasArchiveResource(*Dir / "player_res"));
  TVrFileCollection archive;
  archive.OpenResource(*Dir / "player_res");
  EXPECT_TRUE(archive.IsResource());
  ExpectEveryEntry(archive);
}

}  // namespace
}  // namespace kest
