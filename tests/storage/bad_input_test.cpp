// Damaged archives: every one gives an error that names the archive (and the
// entry where there is one), never a crash or a huge allocation.
#include <gtest/gtest.h>

#include "common/errors.h"
#include "storage/big_memory_stream.h"
#include "storage/vr_file_collection.h"
#include "storage/zlib_codec.h"
#include "storage_test_util.h"

namespace kest {
namespace {

using namespace kest::test;

// An unmasked archive of version 99: every entry is zlib.
TBytes Version99(const std::vector<std::pair<std::string, TBytes>>& entries, std::vector<int32_t> offsets = {}) {
  TByteBuilder b;
  b.Raw("vf").U32(99).U32(static_cast<uint32_t>(entries.size()));
  for (const auto& e : entries) b.U32(static_cast<uint32_t>(e.first.size())).Raw(e.first);
  const size_t data_start = b.Size() + 4 * (entries.size() + 1);
  if (offsets.empty()) {
    offsets.push_back(static_cast<int32_t>(data_start));
    for (const auto& e : entries) offsets.push_back(offsets.back() + static_cast<int32_t>(e.second.size()));
  }
  for (int32_t o : offsets) b.U32(static_cast<uint32_t>(o));
  for (const auto& e : entries) b.Raw(e.second);
  return b.Bytes();
}

std::string MountError(const TBytes& bytes) {
  TVrFileCollection archive;
  try {
    archive.OpenStream(std::make_unique<TTpBigMemoryStream>(bytes), "broken.dat");
  } catch (const EReadError& e) {
    EXPECT_EQ(archive.Count(), 0);
    return e.what();
  }
  return {};
}

std::string ExtractError(const TBytes& bytes, std::string_view name) {
  TVrFileCollection archive;
  archive.OpenStream(std::make_unique<TTpBigMemoryStream>(bytes), "broken.dat");
  try {
    TTpBigMemoryStream out;
    archive.Extract(out, name);
  } catch (const EReadError& e) {
    return e.what();
  }
  return {};
}

TEST(ArchiveBadInput, EveryTruncatedIndexIsRefused) {
  const TBytes whole = Version99({{"first.txt", Deflate(Text("one"))}, {"second.txt", Deflate(Text("two"))}});
  const size_t index_end = whole.size() - Deflate(Text("one")).size() - Deflate(Text("two")).size();
  for (size_t n = 0; n < index_end; ++n) {
    const std::string error = MountError(TBytes(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(n)));
    EXPECT_EQ(error.rfind("broken.dat: ", 0), 0u) << n << ": " << error;
  }
  EXPECT_EQ(MountError(whole), "");
}

TEST(ArchiveBadInput, CountsOffsetsAndSizesAreChecked) {
  EXPECT_NE(
      MountError(TByteBuilder().Raw("vf").U32(102).U32(0x7FFFFFFF).U32(5).Raw("abcde").Bytes()).find("more entries"),
      std::string::npos);
  EXPECT_NE(MountError(TByteBuilder().Raw("vf").U32(102).U32(0xFFFFFFFF).Bytes()).find("negative"), std::string::npos);
  const TBytes packed = Deflate(Text("payload"));
  const std::string backwards = MountError(Version99({{"a.txt", packed}, {"b.txt", packed}}, {40, 30, 60}));
  EXPECT_NE(backwards.find("a.txt: its size is negative"), std::string::npos) << backwards;
  EXPECT_NE(MountError(Version99({{"a.txt", packed}}, {-4, 10})).find("a.txt"), std::string::npos);
  const std::string outside = ExtractError(Version99({{"far.txt", packed}}, {30, 1 << 30}), "far.txt");
  EXPECT_EQ(outside, "broken.dat: far.txt: its data lies outside the archive");
}

TEST(ArchiveBadInput, DamagedZlibDataNamesTheEntry) {
  TBytes packed = Deflate(MakeBytes(5000, 1, false));
  TBytes damaged = packed;
  damaged[packed.size() / 2] ^= 0xFF;
  damaged[packed.size() / 2 + 1] ^= 0x55;
  const std::string bad = ExtractError(Version99({{"bad.bin", damaged}}), "bad.bin");
  EXPECT_EQ(bad.rfind("broken.dat: bad.bin: ", 0), 0u) << bad;
  const std::string cut = ExtractError(Version99({{"cut.bin", TBytes(packed.begin(), packed.end() - 40)}}), "cut.bin");
  EXPECT_EQ(cut, "broken.dat: cut.bin: the zlib data ends early");
  EXPECT_EQ(ExtractError(Version99({{"junk", Text("not zlib at all")}}), "junk"),
            "broken.dat: junk: the zlib data does not inflate");
}

TEST(ArchiveBadInput, InflatingStopsAtItsBound) {
  const TBytes packed = Deflate(TBytes(1 << 20, 0));
  TTpBigMemoryStream out;
  EXPECT_THROW(ZlibInflate(packed, out, 1000, "bomb"), EReadError);
  EXPECT_LE(out.Size(), 1000);
  EXPECT_EQ(InflateBound(1), 1033 + 64);
  EXPECT_EQ(InflateBound(int64_t{1} << 40), int64_t{1} << 30);
}

TEST(ArchiveBadInput, AProgramWithoutASoundTrailerMountsNothing) {
  TTempDir dir;
  TByteBuilder b;
  b.Raw(
       "\x7f"
       "ELF")
      .Raw(MakeBytes(100, 1, false))
      .U32(20)
      .Raw("kv");
  WriteFile(dir / "prog", b.Bytes());
  TVrFileCollection archive;
  archive.Open(dir / "prog");
  EXPECT_EQ(archive.Count(), 0);
  EXPECT_EQ(archive.ArchiveStream(), nullptr);
  EXPECT_EQ(archive.BaseFolder(), dir.Path() + "/");
  EXPECT_THROW(archive.OpenResource(dir / "prog"), EKestError);
}

}  // namespace
}  // namespace kest
