// Archives of every version assembled byte by byte from the format's tables,
// not by our writer, so that writer and reader cannot share one misreading.
#include <gtest/gtest.h>

#include <cstdlib>

#include "common/errors.h"
#include "storage/big_memory_stream.h"
#include "storage/vr_file_collection.h"
#include "storage_test_util.h"

namespace kest {
namespace {

using namespace kest::test;

// The mask stream written out from its definition: x := x * 5 + key.
class TMaskStream {
 public:
  uint32_t Next() { return FState = FState * 5u + 1604829307u; }

 private:
  uint32_t FState = 0;
};

struct TFixtureEntry {
  std::string Name;
  TBytes Plain;
  bool Stored;
};

const std::vector<TFixtureEntry>& Entries() {
  static const std::vector<TFixtureEntry> entries = {
      {"kest.kpb", Text("settings settings settings"), false},
      {"bg\\\x83\x5C.pxa", MakeBytes(3000, 2, true), true},
      {"se\\a.ogg", MakeBytes(500, 3, false), false},
  };
  return entries;
}

TBytes Assemble(int version) {
  const bool magic = version > 0;
  const bool masked = version >= 100;
  const bool tables = version > 100;
  std::vector<TBytes> data;
  for (const auto& e : Entries()) data.push_back(e.Stored && tables ? e.Plain : Deflate(e.Plain));

  TByteBuilder b;
  if (magic) b.Raw("vf").U32(static_cast<uint32_t>(version));
  b.U32(static_cast<uint32_t>(Entries().size()));
  TMaskStream names;
  for (const auto& e : Entries()) {
    b.U32(static_cast<uint32_t>(e.Name.size()));
    for (char c : e.Name) b.U8(static_cast<uint8_t>(c) ^ (masked ? static_cast<uint8_t>(names.Next()) : 0));
  }
  const size_t n = Entries().size();
  size_t header = b.Size() + (n + 1) * (tables ? 8 : 4) + (tables ? n * (version >= 102 ? 10 : 9) : 0);
  std::vector<uint64_t> offsets{header};
  for (const auto& d : data) offsets.push_back(offsets.back() + d.size());
  TMaskStream mask;
  for (const uint64_t offset : offsets) {
    if (tables) {
      const uint32_t v = mask.Next();
      const uint64_t wide = (v & 0x80000000u) ? (0xFFFFFFFF00000000ull | v) : v;
      b.U64(offset ^ wide);
    } else {
      b.U32(static_cast<uint32_t>(offset) ^ (version == 100 ? mask.Next() : 0));
    }
  }
  if (tables) {
    for (const auto& e : Entries()) b.U8(e.Stored ? 1 : 0);
    for (size_t i = 0; i < n; ++i) b.U32(0x5A210000u + static_cast<uint32_t>(i));
    for (size_t i = 0; i < n; ++i) b.U32(Crc(i == 2 && version >= 102 ? Entries()[i].Plain : data[i]));
    if (version >= 102)
      for (size_t i = 0; i < n; ++i) b.U8(i == 2 ? 1 : 0);
  }
  for (const auto& d : data) b.Raw(d);
  return b.Bytes();
}

class ArchiveFixture : public testing::TestWithParam<int> {};

TEST_P(ArchiveFixture, EveryEntryReadsBack) {
  const int version = GetParam();
  TVrFileCollection archive;
  archive.OpenStream(std::make_unique<TTpBigMemoryStream>(Assemble(version)), "fixture");
  ASSERT_EQ(archive.Count(), 3);
  EXPECT_EQ(archive.Version(), version);
  EXPECT_EQ(archive.HasChecksums(), version > 100);
  EXPECT_EQ(archive.FindEntry("\\EOF\\"), nullptr);
  for (size_t i = 0; i < Entries().size(); ++i) {
    const auto& e = Entries()[i];
    const TVrFile* entry = archive.FindEntry(e.Name);
    ASSERT_NE(entry, nullptr) << e.Name;
    EXPECT_EQ(entry->Stored, e.Stored && version > 100);
    TTpBigMemoryStream out;
    archive.Extract(out, e.Name);
    EXPECT_EQ(TBytes(out.Data().begin(), out.Data().end()), e.Plain) << e.Name;
    if (version > 100) {
      EXPECT_EQ(entry->Timestamp, 0x5A210000u + i);
      EXPECT_EQ(entry->ChecksumOfPlain, version >= 102 && i == 2);
      EXPECT_EQ(archive.ComputeChecksum(*entry), entry->Checksum) << e.Name;
    }
    auto range = archive.OpenRange(e.Name);
    ASSERT_TRUE(range);
    TBytes streamed(static_cast<size_t>(range->Size()));
    EXPECT_EQ(range->Read(streamed.data(), range->Size()), range->Size());
    EXPECT_EQ(streamed, e.Plain);
  }
  EXPECT_EQ(archive.EndOffset(), static_cast<int64_t>(Assemble(version).size()));
}

INSTANTIATE_TEST_SUITE_P(Versions, ArchiveFixture, testing::Values(0, 99, 100, 101, 102));

TEST(ArchiveFixture, MasksBeginWithTheKnownValues) {
  const TBytes bytes = Assemble(101);
  EXPECT_EQ(bytes[14], static_cast<uint8_t>('k' ^ 0x7B));
  TMaskStream m;
  m.Next();
  m.Next();
  EXPECT_GE(m.Next(), 0x80000000u);
}

TEST(ArchiveFixture, AnArchiveStartsWhereTheStreamStands) {
  TBytes bytes = MakeBytes(77, 1, false);
  const TBytes archive = Assemble(102);
  bytes.insert(bytes.end(), archive.begin(), archive.end());
  auto stream = std::make_unique<TTpBigMemoryStream>(bytes);
  stream->Seek(77);
  TVrFileCollection collection;
  collection.OpenStream(std::move(stream), "prefixed");
  TTpBigMemoryStream out;
  collection.Extract(out, "SE\\A.OGG");
  EXPECT_EQ(TBytes(out.Data().begin(), out.Data().end()), Entries()[2].Plain);
}

}  // namespace
}  // namespace kest

namespace kest {
namespace {

// With KEST_FUZZ_SEED_DIR set, the fixtures of every version and an archive
// of our writer are left there as seeds for the archive fuzz targets.
TEST(ArchiveFixture, WritesFuzzSeedsOnRequest) {
  const char* dir = std::getenv("KEST_FUZZ_SEED_DIR");
  if (!dir) GTEST_SKIP() << "KEST_FUZZ_SEED_DIR is not set";
  for (int version : {0, 99, 100, 101, 102})
    WriteFile(std::string(dir) + "/fixture_v" + std::to_string(version) + ".dat", Assemble(version));
  TVrFileCollection writer;
  writer.AddMemoryFile("kest.kpb")->Content = std::make_unique<TTpMemoryStream>(Text("project settings"));
  writer.AddMemoryFile("bg\\\x83\x5C.pxa")->Content = std::make_unique<TTpMemoryStream>(MakeBytes(600, 1, true));
  writer.AddMemoryFile("empty");
  TVrFile* plain = writer.AddMemoryFile("se\\a.wav");
  plain->Content = std::make_unique<TTpMemoryStream>(MakeBytes(300, 2, false));
  plain->ChecksumOfPlain = true;
  TTpBigMemoryStream out;
  writer.WriteArchive(out);
  WriteFile(std::string(dir) + "/written_v102.dat", TBytes(out.Data().begin(), out.Data().end()));
}

}  // namespace
}  // namespace kest
