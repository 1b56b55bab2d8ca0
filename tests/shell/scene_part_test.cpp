// The scene as the window drives it, across a display-mode change.
#include "shell/scene_part.h"

#include <gtest/gtest.h>

#include "common/stream.h"
#include "imaging/pexa_frame_list.h"
#include "media/screen_manager.h"
#include "platform/display.h"
#include "storage/vr_file_manager.h"
#include "support/temp_files.h"

namespace kest {
namespace {

struct TNullOutput final : IScreenOutput {
  void PresentRects(const TCustomDIBX&, const TRect*, int) override {}
  bool SetFullScreen(bool) override { return true; }
};

void WritePicture(const std::string& path) {
  TPexaFrameList list;
  list.AddFrame().Composite.SetSize(4, 4, 24);
  TByteStream out;
  SavePexa(list, out, TPexaWriteOptions());
  test::WriteFile(path, out.TakeBytes());
}

// Pictures take the new pixel format once, with the mode, and are not left
// for every draw to convert.
TEST(ScenePart, PicturesFollowTheDisplayModeOnce) {
  test::TTempDir dir;
  WritePicture(dir.Path() + "/a.pxa");
  TVrFileManager::TOptions options;
  options.MountTable = "/nonexistent";
  TVrFileManager files(options);
  files.SetBaseFolder(dir.Path());
  TFakeDisplay display;
  display.modes = {{640, 480, 32, 60}};
  TNullOutput sink;
  TScreenManager screen(&display, &sink, 640, 480, 640, 480);
  TScenePart part;
  part.SetScreen(&screen);
  part.SetPictureSource(&files, 0);
  part.SetSize(640, 480);
  int user = 0;
  TPexaItem* item = part.Bases().Pictures()->Acquire(&user, "a.pxa", false, false);
  ASSERT_EQ(item->Frames[0].Surface->BitCount(), 32);
  part.FreeSurfaces();
  display.desktop = {16, 0xF800, 0x07E0, 0x001F};
  screen.SetMode(0);
  part.ReloadSurfaces();
  ASSERT_EQ(screen.OutputBitCount(), 16);
  EXPECT_EQ(item->Frames[0].Surface->BitCount(), 16);
  part.Bases().Pictures()->Release(item, &user);
}

}  // namespace
}  // namespace kest
