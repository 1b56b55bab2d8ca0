#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "common/errors.h"
#include "storage/big_file_stream.h"
#include "storage/big_memory_stream.h"
#include "storage/buff_big_stream.h"
#include "storage/range_stream.h"
#include "storage_test_util.h"

namespace kest {
namespace {

using namespace kest::test;
namespace mode = big_file_mode;
constexpr int64_t kSegment = 16;

TEST(BigFileStream, WriteAcrossTheSegmentEdgeStartsTheNextSegmentFile) {
  TTempDir dir;
  const TBytes first = MakeBytes(12, 1, false);
  const TBytes ten = Text("ABCDEFGHIJ");
  {
    TTpBigFileStream s(dir / "data.dat", mode::kCreate, kSegment);
    s.Write(first.data(), 12);
    s.Seek(kSegment - 4);
    EXPECT_EQ(s.Write(ten.data(), 10), 10);
    EXPECT_EQ(s.SegmentCount(), 2);
    EXPECT_EQ(s.Size(), 22);
  }
  const TBytes seg0 = ReadFile(dir / "data.dat");
  ASSERT_EQ(seg0.size(), 16u);
  EXPECT_EQ(TBytes(seg0.begin() + 12, seg0.end()), Text("ABCD"));
  EXPECT_EQ(ReadFile(dir / "data.001"), Text("EFGHIJ"));

  TTpBigFileStream back(dir / "data.dat", mode::kOpenRead, kSegment);
  back.Seek(10);
  uint8_t got[12] = {};
  EXPECT_EQ(back.Read(got, 50), 12);
  EXPECT_EQ(TBytes(got + 2, got + 12), ten);
  EXPECT_EQ(back.Read(got, 5), 0);
}

TEST(BigFileStream, OpensSegmentsUpToTheFirstMissingOne) {
  TTempDir dir;
  WriteFile(dir / "set.dat", MakeBytes(16, 1, true));
  WriteFile(dir / "set.001", MakeBytes(16, 2, true));
  WriteFile(dir / "set.003", MakeBytes(5, 3, true));
  TTpBigFileStream s(dir / "set.dat", mode::kOpenRead | mode::kShareDenyWrite, kSegment);
  EXPECT_EQ(s.SegmentCount(), 2);
  EXPECT_EQ(s.Size(), 32);
  s.Seek(1000);
  EXPECT_EQ(s.Position(), 32);
  EXPECT_EQ(TTpBigFileStream::SegmentName("a/b.c/game.dat", 12), "a/b.c/game.012");
  EXPECT_EQ(TTpBigFileStream::SegmentName("a/b.c/game", 1000), "a/b.c/game.1000");
}

TEST(BigFileStream, CreatingDeletesTheOldSegmentsAndMissingFilesRaise) {
  TTempDir dir;
  WriteFile(dir / "x.dat", MakeBytes(16, 1, true));
  WriteFile(dir / "x.001", MakeBytes(16, 1, true));
  { TTpBigFileStream s(dir / "x.dat", mode::kCreate, kSegment); }
  EXPECT_FALSE(std::filesystem::exists(dir / "x.dat"));
  EXPECT_FALSE(std::filesystem::exists(dir / "x.001"));
  EXPECT_THROW(TTpBigFileStream(dir / "x.dat", mode::kOpenRead, kSegment), EReadError);
}

TEST(BigFileStream, CopiesSegmentToSegmentAndThroughMemory) {
  TTempDir dir;
  const TBytes data = MakeBytes(100, 7, false);
  {
    TTpBigFileStream a(dir / "a.dat", mode::kCreate, kSegment);
    a.Write(data.data(), 100);
  }
  TTpBigFileStream a(dir / "a.dat", mode::kOpenRead, kSegment);
  {
    TTpBigFileStream b(dir / "b.dat", mode::kCreate, 24);
    a.Seek(30);
    EXPECT_EQ(b.CopyFrom(a, 0), 100);
    EXPECT_EQ(b.SegmentCount(), 5);
  }
  TTpBigFileStream b(dir / "b.dat", mode::kOpenRead, 24);
  TTpBigMemoryStream m;
  EXPECT_EQ(b.CopyToStream(m, 1000), 100);
  EXPECT_EQ(TBytes(m.Data().begin(), m.Data().end()), data);
  TTpBigMemoryStream other;
  EXPECT_EQ(other.CopyFrom(a, 10), 0);
  m.Seek(0);
  EXPECT_EQ(other.CopyFrom(m, 10), 10);
}

TEST(BuffBigStream, GivesUnreadBytesBackAndStopsWithTheSource) {
  TTpBigMemoryStream source(MakeBytes(300000, 3, false));
  source.Seek(5);
  {
    TTpBuffBigStream buffer(source);
    uint8_t ten[10];
    EXPECT_EQ(buffer.Read(ten, 10), 10);
    EXPECT_EQ(ten[0], source.Data()[5]);
    EXPECT_EQ(buffer.Position(), 15);
    EXPECT_EQ(source.Position(), 5 + TTpBuffBigStream::kCapacity);
  }
  EXPECT_EQ(source.Position(), 15);
  TTpBuffBigStream rest(source);
  std::vector<uint8_t> all(400000);
  EXPECT_EQ(rest.Read(all.data(), 400000), 300000 - 15);
  EXPECT_EQ(rest.Read(all.data(), 1), 0);
}

TEST(RangeStream, SeeksAndReadsStayInsideTheWindow) {
  TTempDir dir;
  const TBytes data = MakeBytes(2000, 9, false);
  WriteFile(dir / "r.dat", data);
  TFileRangeStream r(dir / "r.dat", 100, 1000);
  EXPECT_EQ(r.Size(), 100);
  EXPECT_EQ(r.Seek(0, TSeekOrigin::End), 100);
  EXPECT_EQ(r.Seek(-5, TSeekOrigin::Beginning), 0);
  EXPECT_EQ(r.Seek(90, TSeekOrigin::Beginning), 90);
  TBytes got(500);
  EXPECT_EQ(r.Read(got.data(), 500), 10);
  EXPECT_EQ(TBytes(got.begin(), got.begin() + 10), TBytes(data.begin() + 1090, data.begin() + 1100));
  EXPECT_EQ(r.Seek(-20, TSeekOrigin::Current), 80);
  EXPECT_EQ(r.Write(got.data(), 5), 0);

  TFileRangeStream empty(dir / "r.dat", 0, 1000);
  EXPECT_EQ(empty.Size(), 0);
  EXPECT_EQ(empty.Read(got.data(), 10), 0);
  TFileRangeStream tail(dir / "r.dat", TRangeStream::kToEnd, 1500);
  EXPECT_EQ(tail.Size(), 500);
}

TEST(RangeStream, TwoThreadsShareOneWindow) {
  const TBytes data = MakeBytes(64 * 1024, 4, false);
  TRangeStream r(std::make_unique<TTpBigMemoryStream>(data), 1024, 32 * 1024);
  auto reader = [&](int64_t at) {
    for (int i = 0; i < 200; ++i) {
      uint8_t b = 0;
      const int64_t where = (at + i * 37) % r.Size();
      r.Seek(where, TSeekOrigin::Beginning);
      if (r.Read(&b, 1) != 1) return false;
    }
    return true;
  };
  bool a = false, b = false;
  std::thread one([&] { a = reader(3); });
  std::thread two([&] { b = reader(11); });
  one.join();
  two.join();
  EXPECT_TRUE(a && b);
  EXPECT_LE(r.Position(), r.Size());
}

}  // namespace
}  // namespace kest
