#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/stream.h"
#include "kestlib/kestlib_loader.h"
#include "kestlib/stream_callbacks.h"
#include "platform/system.h"

namespace kest {
namespace {

// The test program lives beside the player and its libraries.
std::string BinDir() { return ProgramFolder(); }

int32_t Version108() { return 108; }
int32_t Version107() { return 107; }

// A table whose every entry is set (to a function that must never run),
// with the version entry given.
std::shared_ptr<TKestLib> FullTable(int32_t (*version)()) {
  auto lib = std::make_shared<TKestLib>();
  void (*never)() = [] { std::abort(); };
#define KEST_FILL(R, name, params) lib->name = reinterpret_cast<R(*) params>(never);
  KEST_LIB_FUNCTIONS(KEST_FILL)
#undef KEST_FILL
  lib->kestVersion = version;
  return lib;
}

TEST(KestLib, VersionMustBe108) {
  EXPECT_TRUE(CheckKestLib(FullTable(Version108), "libkest.so").lib);
  TKestLibLoad old = CheckKestLib(FullTable(Version107), "libkest.so");
  EXPECT_FALSE(old.lib);
  EXPECT_EQ(old.error, "libkest.soのバージョンがあいません");
}

TEST(KestLib, MissingEntryPointIsNamed) {
  auto lib = FullTable(Version108);
  lib->kestVidmanResume = nullptr;
  TKestLibLoad load = CheckKestLib(lib, "libkest.so");
  EXPECT_FALSE(load.lib);
  EXPECT_NE(load.error.find("kestVidmanResume"), std::string::npos);
}

TEST(KestLib, LoadsOurLibraryByName) {
  // Kept for the process, as the player keeps it: its media libraries hold
  // process-wide state.
  static const TKestLibLoad load = LoadKestLib(BinDir() + "/libkest.so");
  ASSERT_TRUE(load.lib) << load.error;
  EXPECT_EQ(load.lib->kestVersion(), 108);
  // A null stream gives no item, and no item answers zero.
  EXPECT_EQ(load.lib->kestOggmanAdd(nullptr, -1), 0);
  EXPECT_EQ(load.lib->kestOggIsPlaying(0), 0);
  load.lib->kestInit(nullptr, nullptr, nullptr, nullptr, KestStreamSize, KestStreamRead, KestStreamPosition,
                     KestStreamSeek, KestSaveFpu, KestRestoreFpu, 0);
  load.lib->kestFinal();
}

TEST(KestLib, MissingOrOldLibraryStopsTheStart) {
  TKestLibLoad missing = LoadKestLib(BinDir() + "/no-such-dir/libkest.so");
  EXPECT_FALSE(missing.lib);
  EXPECT_EQ(missing.error, "libkest.so\nファイルがありません");
  TKestLibLoad old = LoadKestLib(BinDir() + "/libkest_fake_old_version.so");
  EXPECT_FALSE(old.lib);
  EXPECT_EQ(old.error, "libkest_fake_old_version.soのバージョンがあいません");
}

TEST(KestLib, StreamCallbacksReadTheProgramsStreams) {
  const char text[] = "0123456789";
  TByteStream stream(std::vector<uint8_t>(text, text + 10));
  EXPECT_EQ(KestStreamSize(&stream), 10);
  EXPECT_EQ(KestStreamSeek(&stream, 4), 4);
  char buffer[8] = {};
  EXPECT_EQ(KestStreamRead(&stream, buffer, 8), 6);
  EXPECT_EQ(std::string(buffer, 6), "456789");
  EXPECT_EQ(KestStreamPosition(&stream), 10);
  // A null stream answers 0 to everything.
  EXPECT_EQ(KestStreamSize(nullptr), 0);
  EXPECT_EQ(KestStreamRead(nullptr, buffer, 8), 0);
  EXPECT_EQ(KestStreamPosition(nullptr), 0);
  EXPECT_EQ(KestStreamSeek(nullptr, 3), 0);
}

}  // namespace
}  // namespace kest
