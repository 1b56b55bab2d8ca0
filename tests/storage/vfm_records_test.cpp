// install.dat in every version the player reads, and the folder-to-disc list.
#include <gtest/gtest.h>

#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "storage/folder_disk_list.h"
#include "storage/install_record.h"
#include "storage_test_util.h"

namespace kest {
namespace {

using namespace kest::test;

TByteBuilder& Str(TByteBuilder& b, std::string_view s) { return b.U32(static_cast<uint32_t>(s.size())).Raw(s); }

// An install.dat as the installer of that version wrote it: version 0 has no
// magic, versions up to 99 keep their values in 4 bytes.
TBytes InstallFixture(int version) {
  TByteBuilder b;
  if (version > 0) b.Raw("is" + std::string(version < 100 ? "0" : "") + std::to_string(version));
  b.U32(1);
  Str(b, "\x83\x51\x81\x5B\x83\x80");  // ゲーム
  Str(b, "t1"), Str(b, "t2"), Str(b, "t3");
  b.U8(7);
  Str(b, "text2");
  b.U8(1).U32(2);
  Str(b, "text3");
  b.U32(0xFFFFFFFEu).U8(1).U8(0);
  Str(b, "t4a"), Str(b, "t4b");
  auto value = [&](int64_t v) { version <= 99 ? b.U32(static_cast<uint32_t>(v)) : b.U64(static_cast<uint64_t>(v)); };
  for (int64_t v : {1, 2, 3, -4, 5, 6, 7, 8}) value(v);
  for (int64_t v : {10, 20, 30, 40}) value(v);
  b.U8(1);
  if (version > 100) b.U8(1);
  if (version > 101) Str(Str(Str(b.U32(3), "save\\shot.pxa"), ""), "memo.txt");
  if (version > 102) b.U8(1);
  if (version > 103) b.U8(9);
  if (version > 104) b.U8(1);
  if (version > 105) Str(Str(b.U32(2), "a"), "b");
  if (version > 106) Str(b, "t5");
  if (version > 107) Str(Str(b, "t6a"), "t6b");
  return b.Bytes();
}

TKestInstallSet ReadInstall(const TBytes& bytes) {
  TByteStream stream{std::vector<uint8_t>(bytes)};
  TKestInstallSet record;
  record.LoadFromStream(stream);
  return record;
}

TEST(VfmInstallRecord, EveryVersionReadsItsFieldsAndRoundTripsAsIs108) {
  for (int version : {0, 99, 100, 101, 102, 103, 104, 105, 106, 107, 108}) {
    SCOPED_TRACE(version);
    const TKestInstallSet record = ReadInstall(InstallFixture(version));
    EXPECT_EQ(record.Version, version);
    EXPECT_EQ(record.DiscNumber, 1);
    EXPECT_EQ(record.GameId, "\x83\x51\x81\x5B\x83\x80");
    EXPECT_EQ(record.InstallerFlagA, 7);
    EXPECT_EQ(record.InstallerValue, -2);
    ASSERT_EQ(record.InstallerItems.size(), 2u);
    // Four-byte values widen with their sign.
    EXPECT_EQ(record.InstallerItems[0][3], -4);
    EXPECT_EQ(record.InstallerValues[3], 40);
    EXPECT_EQ(record.WrittenFiles.size(), version > 101 ? 2u : 0u);
    EXPECT_EQ(record.FullInstall, version > 102);
    EXPECT_EQ(record.InstallerFlagB, version > 103 ? 9 : 0);
    EXPECT_EQ(record.InstallerTexts6[1], version > 107 ? "t6b" : "");

    TByteStream written;
    record.SaveToStream(written);
    TKestInstallSet again = ReadInstall(written.Bytes());
    EXPECT_EQ(again.Version, 108);
    again.Version = record.Version;
    EXPECT_EQ(again, record);
  }
}

TEST(VfmInstallRecord, TheWriterPutsIs108AndEveryField) {
  const TBytes fixture = InstallFixture(108);
  TByteStream written;
  ReadInstall(fixture).SaveToStream(written);
  // The one difference: the empty written-file name the reader skipped.
  EXPECT_EQ(written.Bytes().size(), fixture.size() - 4);
  EXPECT_EQ(std::string(written.Bytes().begin(), written.Bytes().begin() + 5), "is108");
}

TEST(VfmInstallRecord, DamagedRecordsRaiseAndKeepTheOldFields) {
  TKestInstallSet record = ReadInstall(InstallFixture(108));
  const TKestInstallSet before = record;
  TBytes cut = InstallFixture(108);
  cut.resize(cut.size() - 3);
  TBytes huge = InstallFixture(108);
  huge[5 + 4 + 4 + 6 + 3 * 6 + 1 + 9 + 1] = 0xFF;  // the item count's low byte
  huge[5 + 4 + 4 + 6 + 3 * 6 + 1 + 9 + 1 + 3] = 0x0F;
  TBytes negative = InstallFixture(108);
  negative[5 + 4 + 4 + 6 + 3 * 6 + 1 + 9 + 1 + 3] = 0x80;
  for (const TBytes& bad : {cut, huge, negative, Text("is1x8"), Text("is")}) {
    TByteStream stream{std::vector<uint8_t>(bad)};
    EXPECT_THROW(record.LoadFromStream(stream), EReadError);
    EXPECT_EQ(record, before);
  }
}

TEST(VfmInstallRecord, FileRoundTripAndWrittenFilesStayUnique) {
  TTempDir dir;
  TKestInstallSet record = ReadInstall(InstallFixture(105));
  record.AddWrittenFile("SAVE\\SHOT.PXA");
  record.AddWrittenFile("new.pxa");
  record.AddWrittenFile("");
  EXPECT_EQ(record.WrittenFiles, (std::vector<std::string>{"save\\shot.pxa", "memo.txt", "new.pxa"}));
  record.SaveToFile(dir / "install.dat");
  TKestInstallSet loaded;
  loaded.LoadFromFile(dir / "install.dat");
  EXPECT_EQ(loaded.WrittenFiles, record.WrittenFiles);
  EXPECT_EQ(loaded.Version, 108);
  EXPECT_THROW(loaded.LoadFromFile(dir / "missing.dat"), EKestError);
}

TFolderDiskList DiskList() {
  TByteBuilder b;
  b.U32(3);
  Str(b, "bgm").U32(2);
  Str(b, "movie\\op\\").U32(3);
  Str(b, "bg\\\x83\x5C").U32(4);  // bg\ソ: its second byte is 0x5C
  TByteStream stream{std::vector<uint8_t>(b.Bytes())};
  TFolderDiskList list;
  list.LoadFromStream(stream);
  return list;
}

TEST(VfmFolderDiskList, TheInnermostListedFolderGivesTheDisc) {
  const TFolderDiskList list = DiskList();
  EXPECT_EQ(list.DiscOf("BGM\\TRACK1.OGG"), 2);
  EXPECT_EQ(list.DiscOf("bgm"), 2);
  EXPECT_EQ(list.DiscOf("Movie\\OP\\a\\b.mpg"), 3);
  EXPECT_EQ(list.DiscOf("movie\\ed.mpg"), 0);
  EXPECT_EQ(list.DiscOf("bgmx\\a.ogg"), 0);
  EXPECT_EQ(list.DiscOf("bg\\\x83\x5C\\x.pxa"), 4);
  EXPECT_EQ(list.DiscOf("bg\\\x83\x5C"), 4);
  EXPECT_EQ(list.DiscOf(""), 0);
}

TEST(VfmFolderDiskList, RoundTripAndBadCounts) {
  const TFolderDiskList list = DiskList();
  TByteStream written;
  list.SaveToStream(written);
  TByteStream again_stream{written.TakeBytes()};
  TFolderDiskList again;
  again.LoadFromStream(again_stream);
  EXPECT_EQ(again.Items(), list.Items());

  for (const TBytes& bad : {TByteBuilder().U32(0x7FFFFFFF).Bytes(), TByteBuilder().U32(0xFFFFFFFF).Bytes(),
                            TByteBuilder().U32(1).U32(2).Raw("bg").Bytes()}) {
    TByteStream stream{std::vector<uint8_t>(bad)};
    TFolderDiskList target = list;
    EXPECT_THROW(target.LoadFromStream(stream), EReadError);
    EXPECT_EQ(target.Items(), list.Items());
  }
}

}  // namespace
}  // namespace kest
