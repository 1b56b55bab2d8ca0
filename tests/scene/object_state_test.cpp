#include <gtest/gtest.h>

#include "common/errors.h"
#include "common/stream.h"
#include "scene/kest_base_list.h"
#include "scene/property_access.h"

namespace kest {
namespace {

std::vector<uint8_t> SaveBase(TKestBaseList& scene) {
  TByteStream stream;
  scene.FrontBase().SaveState(stream);
  return stream.TakeBytes();
}

void LoadBase(TKestBaseList& scene, const std::vector<uint8_t>& bytes, int32_t version) {
  TByteStream stream{std::span<const uint8_t>(bytes)};
  scene.FrontBase().LoadState(stream, version);
  EXPECT_EQ(stream.Remaining(), 0);
}

TKestControl& Add(TKestBaseList& scene, TComponentKind kind, const std::string& name, TKestControl& parent) {
  TKestControl& control = *scene.CreateByKind(kind)->AsControl();
  control.SetName(name);
  control.SetParent(&parent);
  return control;
}

TEST(ObjectState, NestedScenesRoundTripByteForByte) {
  TKestBaseList scene;
  TKestControl& a = Add(scene, LT_BOX, "a", scene.FrontBase());
  TKestControl& b = Add(scene, LT_LABEL, "b", a);
  Add(scene, LT_IMAGES, "c", b);
  Add(scene, LT_CABINET, "d", scene.FrontBase());
  int32_t n = 1;
  for (int32_t id : {PR_LEFT, PR_TOP, PR_WIDTH, PR_HEIGHT, PR_OFFSETX, PR_CLIPLEFT, PR_CLIPHEIGHT, PR_PLUSY, PR_COLOR})
    WriteProperty(b, id, n++);
  for (int32_t id : {PR_ONMOUSEMOVE, PR_ONMOUSEIN, PR_ONWHEELUP, PR_ONKEYDOWN, PR_ONFOCUSOUT, PR_CURSOR, PR_TAG})
    WriteProperty(b, id, std::string("s") + std::to_string(n++));
  WriteProperty(b, PR_HANDLEKEY, true);
  WriteProperty(b, PR_POSZOOMED, true);
  WriteProperty(a, PR_PRIORITY, int32_t{-3});
  // The player's helpers and scrapped controls are not saved.
  Add(scene, LT_BOX, "\x01helper", a);
  scene.Scrap(Add(scene, LT_BOX, "gone", a));

  const std::vector<uint8_t> saved = SaveBase(scene);
  TKestBaseList loaded;
  LoadBase(loaded, saved, 140);
  EXPECT_EQ(SaveBase(loaded), saved);
  TKestControl* la = loaded.FindControl("a");
  ASSERT_NE(la, nullptr);
  EXPECT_EQ(la->ChildCount(), 1);
  EXPECT_EQ(ReadProperty(*loaded.FindObject("b"), PR_ONKEYDOWN), TPropValue(std::string("s13")));
  EXPECT_EQ(loaded.FindControl("c")->Parent()->Name(), "b");
  EXPECT_EQ(loaded.FindObject("d")->Kind(), LT_CABINET);
}

// A control record of an older version, one child box inside.
void WriteOldRecord(TByteStream& s, int32_t version, const std::string& name, int32_t children) {
  WriteStr(s, name);
  WriteInt(s, 7);  // priority
  if (version >= 104) WriteInt(s, 2);
  if (version >= 120) WriteStr(s, "tag");
  for (int32_t v : {10, 20, 30, 40, 1, 2}) WriteInt(s, v);
  WriteByte(s, 0);
  if (version >= 104) {
    for (int32_t v : {1, 1, 5, 5}) WriteInt(s, v);
    WriteByte(s, 1);
  }
  WriteByte(s, 1);
  WriteInt(s, 0x123456);
  for (int32_t v : {9, 8, 7, 6}) WriteInt(s, v);
  WriteByte(s, 2);
  WriteStr(s, "cursor.cur");
  WriteStr(s, "move.src");
  if (version >= 102) WriteStr(s, "in.src");
  for (int i = 0; i < 7; ++i) WriteStr(s, "");
  WriteInt(s, children);
}

// A box's own part of an older record.
void WriteOldBoxPart(TByteStream& s, int32_t version) {
  for (int32_t v : {2, 0x00FF00, 200}) WriteInt(s, v);
  if (version < 104) return;
  WriteStr(s, "idle.src");
  WriteStr(s, "");
  WriteByte(s, 0);
  WriteByte(s, 1);
  WriteStr(s, "end.src");
  WriteByte(s, 0);
  WriteByte(s, 0);
}

TEST(ObjectState, OlderRecordsLoadWithCreationValuesForWhatTheyLack) {
  for (int32_t version : {101, 103, 113}) {
    SCOPED_TRACE(version);
    TByteStream s;
    WriteOldRecord(s, version,
                   "\x01"
                   "BASE0",
                   1);
    WriteByte(s, LT_BOX);
    WriteOldRecord(s, version, "box", 0);
    WriteOldBoxPart(s, version);
    TKestBaseList scene;
    LoadBase(scene, s.TakeBytes(), version);
    TKestObject& box = *scene.FindObject("box");
    EXPECT_EQ(ReadProperty(box, PR_LEFT), TPropValue(int32_t{10}));
    EXPECT_EQ(ReadProperty(box, PR_COLOR), TPropValue(int32_t{0x123456}));
    EXPECT_EQ(ReadProperty(box, PR_ONMOUSEMOVE), TPropValue(std::string("move.src")));
    EXPECT_EQ(ReadProperty(box, PR_IGNOREMOUSE), TPropValue(int32_t{2}));
    EXPECT_EQ(box.PriorityOffset(), version >= 104 ? 2 : 0);
    EXPECT_EQ(ReadProperty(box, PR_CLIPWIDTH), TPropValue(int32_t{version >= 104 ? 5 : 0}));
    EXPECT_EQ(ReadProperty(box, PR_ONMOUSEIN), TPropValue(std::string(version >= 102 ? "in.src" : "")));
    EXPECT_EQ(box.Tag(), "");
    EXPECT_EQ(ReadProperty(box, PR_BORDERWIDTH), TPropValue(int32_t{2}));
    EXPECT_EQ(ReadProperty(box, PR_ONPLAYEND), TPropValue(std::string(version >= 104 ? "end.src" : "")));
  }
}

TEST(ObjectState, DamagedRecordsRaiseReadErrors) {
  TKestBaseList scene;
  {
    TByteStream s;
    WriteOldRecord(s, 113, "x", 1);
    WriteByte(s, 10);  // maps exist only in the editor
    EXPECT_THROW(LoadBase(scene, s.TakeBytes(), 113), EReadError);
  }
  {
    TByteStream s;
    WriteOldRecord(s, 113, "x", 1000000);
    EXPECT_THROW(LoadBase(scene, s.TakeBytes(), 113), EReadError);
  }
  {
    // Children nested without end must not exhaust the stack.
    TByteStream s;
    for (int depth = 0; depth < 5000; ++depth) {
      WriteOldRecord(s, 113, "n", 1);
      WriteByte(s, LT_CABINET);
    }
    EXPECT_THROW(LoadBase(scene, s.TakeBytes(), 113), EReadError);
  }
}

}  // namespace
}  // namespace kest
