#include "script/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/errors.h"
#include "script/script_test_util.h"

namespace kest {
namespace {

using test::ReadFile;
using test::TBytes;
using test::TTempDir;
using test::WriteFile;

// Takes up to `budget` bytes in small pieces, then fails as a full disk does.
class TFailingWriter final : public IFileByteWriter {
 public:
  explicit TFailingWriter(int64_t budget) : FBudget(budget) {}
  int64_t Write(int fd, const uint8_t* data, int64_t count) override {
    if (FBudget <= 0) {
      errno = ENOSPC;
      return -1;
    }
    const int64_t n = std::min<int64_t>({count, FBudget, 7});
    FBudget -= n;
    return ::write(fd, data, static_cast<size_t>(n));
  }

 private:
  int64_t FBudget;
};

TEST(ReplaceFileAtomically, AFailedWriteLeavesTheOldFileWhole) {
  TTempDir dir;
  const TBytes old(100, 0xAA);
  const TBytes fresh(300, 0x55);
  WriteFile(dir / "save.dat", old);
  for (int64_t budget : {0, 1, 50, 150, 299}) {
    TFailingWriter writer(budget);
    EXPECT_THROW(ReplaceFileAtomically(dir / "save.dat", fresh, &writer), EWriteError);
    EXPECT_EQ(ReadFile(dir / "save.dat"), old);
    EXPECT_EQ(test::CountFiles(dir.Path()), 1);
  }
  TFailingWriter enough(300);
  ReplaceFileAtomically(dir / "save.dat", fresh, &enough);
  EXPECT_EQ(ReadFile(dir / "save.dat"), fresh);
  EXPECT_EQ(test::CountFiles(dir.Path()), 1);
}

// Notes each step; a file flush fails when asked to, as on a failing disk.
class TStepWriter final : public IFileByteWriter {
 public:
  explicit TStepWriter(bool failSync = false) : FFailSync(failSync) {}
  int64_t Write(int fd, const uint8_t* data, int64_t count) override {
    Steps.push_back("write");
    return ::write(fd, data, static_cast<size_t>(count));
  }
  int Sync(int fd) override {
    struct stat st {};
    const bool folder = fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
    Steps.push_back(folder ? "sync folder" : "sync");
    if (FFailSync && !folder) {
      errno = EIO;
      return -1;
    }
    return IFileByteWriter::Sync(fd);
  }
  int Rename(const char* from, const char* to) override {
    Steps.push_back("rename");
    return IFileByteWriter::Rename(from, to);
  }
  std::vector<std::string> Steps;

 private:
  bool FFailSync;
};

TEST(ReplaceFileAtomically, TheFileReachesTheDiskBeforeItReplacesTheOld) {
  TTempDir dir;
  const TBytes old(100, 0xAA);
  WriteFile(dir / "save.dat", old);
  TStepWriter failing(true);
  EXPECT_THROW(ReplaceFileAtomically(dir / "save.dat", TBytes(300, 0x55), &failing), EWriteError);
  EXPECT_EQ(ReadFile(dir / "save.dat"), old);
  EXPECT_EQ(test::CountFiles(dir.Path()), 1);
  TStepWriter steps;
  ReplaceFileAtomically(dir / "save.dat", TBytes(300, 0x55), &steps);
  EXPECT_EQ(steps.Steps, (std::vector<std::string>{"write", "sync", "rename", "sync folder"}));
  EXPECT_EQ(ReadFile(dir / "save.dat"), TBytes(300, 0x55));
}

TEST(ReplaceFileAtomically, MakesNewFilesAndKeepsPermissions) {
  TTempDir dir;
  ReplaceFileAtomically(dir / "new.dat", TBytes{1, 2});
  EXPECT_EQ(ReadFile(dir / "new.dat"), (TBytes{1, 2}));
  chmod((dir / "new.dat").c_str(), 0640);
  ReplaceFileAtomically(dir / "new.dat", TBytes{3});
  struct stat st {};
  ASSERT_EQ(stat((dir / "new.dat").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_THROW(ReplaceFileAtomically(dir / "missing/x.dat", TBytes{1}), EWriteError);
}

}  // namespace
}  // namespace kest
