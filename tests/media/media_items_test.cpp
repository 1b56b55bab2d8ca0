#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/stream.h"
#include "media/items/media_managers.h"
#include "storage/vr_file_collection.h"
#include "storage/vr_file_manager.h"

namespace kest {
namespace {

// A library that plays nothing and writes down what it is asked.
struct TRecorder {
  std::vector<std::string> Calls;
  std::map<KestHandle, bool> Playing, Paused, EndOnce;
  KestHandle Next = 1;
};
TRecorder* Rec = nullptr;

void Note(const std::string& call, KestHandle h, int32_t v = 0) {
  Rec->Calls.push_back(call + "(" + std::to_string(h) + "," + std::to_string(v) + ")");
}

TKestLib FakeLib() {
  TKestLib lib;
  lib.kestOggmanAdd = [](void* stream, KestBool isOgg) -> KestHandle {
    Note("add", stream ? 1 : 0, isOgg);
    return Rec->Next++;
  };
  lib.kestOggmanDel = [](KestHandle h) { Note("del", h); };
  lib.kestOggPlay = [](KestHandle h) {
    Note("play", h);
    Rec->Playing[h] = true;
    Rec->Paused[h] = false;
  };
  lib.kestOggPause = [](KestHandle h) {
    Note("pause", h);
    Rec->Paused[h] = true;
  };
  lib.kestOggIsPlaying = [](KestHandle h) -> KestBool { return Rec->Playing[h] ? -1 : 0; };
  lib.kestOggIsPaused = [](KestHandle h) -> KestBool { return Rec->Paused[h] ? -1 : 0; };
  lib.kestOggIsEnd = [](KestHandle h) -> KestBool { return std::exchange(Rec->EndOnce[h], false) ? -1 : 0; };
  lib.kestOggSetAutoRepeat = [](KestHandle h, KestBool v) { Note("repeat", h, v); };
  lib.kestOggSetVolume = [](KestHandle h, int32_t v) { Note("volume", h, v); };
  lib.kestOggSetPosition = [](KestHandle h, int32_t v) { Note("position", h, v); };
  return lib;
}

class MediaItems : public ::testing::Test {
 protected:
  MediaItems() {
    Rec = &Recorder;
    Files.Mount("");
    const std::vector<uint8_t> bytes(16, 1);
    for (const char* name : {"a.ogg", "b.OGG", "c.wav"}) {
      TVrFile* file = Files.Collections(0)->AddMemoryFile(name);
      WriteExact(*file->Content, bytes.data(), 16);
      file->Content->Seek(0);
    }
  }
  ~MediaItems() override {
    Ogg.Clear();
    Rec = nullptr;
  }

  TRecorder Recorder;
  TKestLib Lib = FakeLib();
  TVrFileManager Files;
  TMediaFiles Media{&Files};
  TOggManager Ogg{Lib, Media, true};
};

TEST_F(MediaItems, ItemsCallTheLibraryWithTheirHandleAndFlagsAsMinusOne) {
  TDMediaItem& a = Ogg.Add("a.ogg");
  TDMediaItem& c = Ogg.Add("c.wav");
  a.SetRepeat(true);
  c.SetVolume(-2500);
  a.SetPosition(-40);
  Ogg.Remove(&a);
  EXPECT_EQ(Recorder.Calls, (std::vector<std::string>{"add(1,-1)", "add(1,0)", "repeat(1,-1)", "volume(2,-2500)",
                                                      "position(1,0)", "del(1,0)"}));
  EXPECT_TRUE(TOggManager::IsOggName("b.OGG"));
  EXPECT_FALSE(TOggManager::IsOggName("c.wav"));
  EXPECT_THROW(Ogg.Add("missing.ogg"), EKestError);
}

TEST_F(MediaItems, TheEndIsToldOnceAndAgainAfterTheItemMoves) {
  TDMediaItem& a = Ogg.Add("a.ogg");
  a.Play();
  Recorder.EndOnce[1] = true;
  EXPECT_TRUE(a.IsEnd());
  EXPECT_FALSE(a.IsEnd());
  a.SetPosition(0);
  Recorder.EndOnce[1] = true;
  EXPECT_TRUE(a.IsEnd());
}

TEST_F(MediaItems, SuspendResumesWhatPlayedAndKeepsAnEndForItsOwner) {
  TDMediaItem& playing = Ogg.Add("a.ogg");
  TDMediaItem& paused = Ogg.Add("b.OGG");
  TDMediaItem& ended = Ogg.Add("c.wav");
  for (TDMediaItem* item : {&playing, &paused, &ended}) item->Play();
  paused.Pause();
  Recorder.EndOnce[3] = true;
  Ogg.SetActive(false);
  Recorder.Calls.clear();
  playing.Play();  // waits for the manager
  EXPECT_TRUE(Recorder.Calls.empty());
  Ogg.SetActive(true);
  EXPECT_EQ(Recorder.Calls, (std::vector<std::string>{"play(1,0)"})) << "only what was playing starts again";
  EXPECT_TRUE(ended.IsEnd()) << "an end seen while suspending is still told";
}

TEST(SilentMedia, CdTracksAndMidiEndOnceAfterEachPlayAndPortsFallBackToTheMapper) {
  TCddaManager cd;
  auto& track = static_cast<TCddaItem&>(cd.Add("CD_03"));
  EXPECT_EQ(track.Track(), 3);
  EXPECT_EQ(static_cast<TCddaItem&>(cd.Add("CD_x")).Track(), std::nullopt);
  EXPECT_FALSE(track.IsEnd()) << "not played yet";
  track.Play();
  EXPECT_EQ(track.GetLength(), 0);
  EXPECT_TRUE(track.IsEnd());
  EXPECT_FALSE(track.IsEnd());
  track.Play();
  EXPECT_TRUE(track.IsEnd());

  TMidiManager midi;
  midi.SetPortByName("no such port");
  EXPECT_EQ(midi.Port(), 0);
  midi.SetPort(7);
  EXPECT_EQ(midi.Port(), 0);
  EXPECT_EQ(midi.PortName(-1), TMidiManager::kMapperName);
}

}  // namespace
}  // namespace kest
