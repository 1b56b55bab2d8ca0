#include <gtest/gtest.h>

#include <memory>

#include "common/app_globals.h"
#include "common/errors.h"
#include "common/save_versions.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "scene/components/kest_mes.h"
#include "scene/kest_base_list.h"
#include "scene/property_access.h"
#include "text/font_pixel_manager.h"
#include "text/glyph_stream.h"
#include "text/tp_word.h"
#include "text/var_evaluator.h"

namespace kest {
namespace {

class MessageWindow : public ::testing::Test {
 protected:
  MessageWindow() {
    Scene.SetFonts(&Fonts);
    Scene.SetSceneSize(320, 240);
    Scene.Clock().FrameDelta = 16;
    Mes = static_cast<TKestMes*>(Scene.CreateByKind(LT_MES));
    Mes->SetName("mes");
    Mes->SetParent(&Scene.FrontBase());
    WriteProperty(*Mes, PR_WIDTH, int32_t{120});
    WriteProperty(*Mes, PR_HEIGHT, int32_t{30});
  }
  ~MessageWindow() override { ResetAppGlobals(); }

  // One frame; the codes of the events it posted (and the queue emptied, as
  // the call manager takes them up).
  std::vector<int> Frame() {
    Scene.UpdateScene();
    std::vector<int> codes;
    for (int32_t e = 0; e < Scene.Events().Count(); ++e) codes.push_back(Scene.Events().Items(e).Code);
    Scene.Events().Clear();
    return codes;
  }
  std::string Shown() { return Cp932ToUtf8(std::get<std::string>(ReadProperty(*Mes, PR_TEXT))); }

  TFakeFontBackend Backend;
  TFontPixelManager Fonts{Backend};
  TKestBaseList Scene;
  TKestMes* Mes = nullptr;
};

TEST_F(MessageWindow, APageWaitsForItsStartEventThenRevealsAtOnceAtSpeedZero) {
  WriteProperty(*Mes, PR_ONPLAYSTART, std::string("start"));
  WriteProperty(*Mes, PR_ONPLAYEND, std::string("end"));
  WriteProperty(*Mes, PR_TEXT, Utf8ToCp932("あいう"));
  ASSERT_EQ(Scene.Events().Count(), 1) << "the start event is queued at once";
  for (int i = 0; i < 3; ++i) Scene.UpdateScene();
  EXPECT_EQ(Shown(), "") << "nothing while the start event waits";
  Scene.Events().Clear();
  std::vector<int> ends;
  for (int i = 0; i < 5 && ends.empty(); ++i)
    for (int code : Frame())
      if (code == PR_ONPLAYEND) ends.push_back(i);
  EXPECT_EQ(Shown(), "あいう") << "speed 0 shows the page in one step";
  ASSERT_EQ(ends.size(), 1u);
  EXPECT_GE(ends[0], 1) << "the end comes in a later frame, once the glyphs have faded in";
}

TEST_F(MessageWindow, PagesPlayingAndIndex) {
  WriteProperty(*Mes, PR_ONPLAYSTART, std::string("start"));
  // Two 12-pixel rows fit the 30-pixel window: three rows make two pages.
  WriteProperty(*Mes, PR_TEXT, Utf8ToCp932("一<BR>二<BR>三"));
  EXPECT_EQ(std::get<int32_t>(ReadProperty(*Mes, PR_COUNT)), 2);
  for (int i = 0; i < 6; ++i) Frame();
  EXPECT_TRUE(std::get<bool>(ReadProperty(*Mes, PR_PLAYING))) << "not the last page";
  WriteProperty(*Mes, PR_INDEX, int32_t{0});
  EXPECT_EQ(Frame(), std::vector<int>{}) << "the page shown already does not restart";
  WriteProperty(*Mes, PR_INDEX, int32_t{1});
  EXPECT_EQ(Scene.Events().Count(), 1);
  EXPECT_EQ(Shown(), "");
  Scene.Events().Clear();
  for (int i = 0; i < 6; ++i) Frame();
  EXPECT_EQ(Shown(), "三");
  EXPECT_FALSE(std::get<bool>(ReadProperty(*Mes, PR_PLAYING))) << "the last page, done";
}

TEST_F(MessageWindow, EventsHoldTheRevealOnlyInWindowsThatHandleThem) {
  WriteProperty(*Mes, PR_DELAY, int32_t{300});
  WriteProperty(*Mes, PR_TEXT, Utf8ToCp932("あ<EVENT VALUE=x>い"));
  for (int i = 0; i < 4; ++i) Frame();
  EXPECT_EQ(Shown(), "あい") << "no PR_ONNOTIFY: the event does not wait for あ to fade in";
  Mes->Engine().EventsEnabled = true;
  TByteStream saved;
  Mes->SaveState(saved);
  auto* loaded = static_cast<TKestMes*>(Scene.CreateByKind(LT_MES));
  saved.Seek(0);
  loaded->LoadState(saved, kSaveNewestVersion);
  EXPECT_FALSE(loaded->Engine().EventsEnabled) << "a record whose flag says otherwise";
  WriteProperty(*Mes, PR_DELAY, int32_t{1});
  WriteProperty(*Mes, PR_ONNOTIFY, std::string("notify"));
  WriteProperty(*Mes, PR_TEXT, Utf8ToCp932("あ<EVENT VALUE=x>い"));
  std::vector<int> codes;
  for (int i = 0; i < 4; ++i)
    for (int code : Frame()) codes.push_back(code);
  EXPECT_EQ(codes, std::vector<int>{PR_ONNOTIFY});
  EXPECT_EQ(Shown(), "あい");
}

TEST_F(MessageWindow, ScrollingMovesTheChildren) {
  auto* child = static_cast<TKestControl*>(Scene.CreateByKind(LT_MES));
  child->SetParent(Mes);
  WriteProperty(*child, PR_TOP, int32_t{70});
  const int32_t top = child->AbsTop();
  WriteProperty(*Mes, PR_SCROLLY, int32_t{40});
  EXPECT_EQ(child->AbsTop(), top - 40);
}

TEST_F(MessageWindow, AClickOnAShownLinkPostsTheLinkNotTheButton) {
  WriteProperty(*Mes, PR_ONLINK, std::string("link"));
  WriteProperty(*Mes, PR_ONLBTNDOWN, std::string("down"));
  WriteProperty(*Mes, PR_TEXT, Utf8ToCp932("<A HREF=\"go\">行く</A>"));
  Scene.Input().MouseMove(5, 5);
  Scene.ProcessInput();
  Scene.Input().MouseDown(TMouseButton::Left);
  Scene.ProcessInput();
  EXPECT_EQ(Scene.Events().Items(Scene.Events().Count() - 1).Code, PR_ONLBTNDOWN) << "still revealing: no link";
  Scene.Events().Clear();
  Scene.Input().MouseUp();
  Scene.ProcessInput();
  for (int i = 0; i < 4; ++i) Frame();
  Scene.Input().MouseMove(6, 5);
  Scene.ProcessInput();
  Scene.Events().Clear();
  Scene.Input().MouseDown(TMouseButton::Left);
  Scene.ProcessInput();
  ASSERT_EQ(Scene.Events().Count(), 1);
  EXPECT_EQ(Scene.Events().Items(0).Code, PR_ONLINK);
  EXPECT_EQ(Cp932ToUtf8(Scene.Events().Items(0).Args.Strings(0)), "行く");
  EXPECT_EQ(Scene.Events().Items(0).Args.Strings(1), "go");
}

// One page file whose command 4 is a text, by default of three screenfuls.
class TOnePage final : public IStoryPages {
 public:
  explicit TOnePage(std::string_view markup = "一<BR>二<BR>三<BR>四<BR>五", int32_t delay = 200) {
    TTpWord word;
    word.TextDelay = delay;
    word.SetMarkup(Utf8ToCp932(markup));
    TByteStream out;
    WriteGlyphStream(out, word);
    Text = out.Bytes();
  }
  bool Exists(const std::string& page) override { return page == "s.ksb"; }
  std::optional<std::vector<uint8_t>> TextCommand(const std::string& page, int32_t command) override {
    if (!Exists(page) || command != 4) return std::nullopt;
    return Text;
  }
  std::vector<uint8_t> Text;
};

TEST_F(MessageWindow, RecordedScreenfulsFeedTheHistoryAndReadMarks) {
  TOnePage story;
  Scene.Story().SetPages(&story);
  TKestNewHistory& history = *Scene.Story().History.Default().History;
  WriteProperty(*Mes, PR_ONPLAYSTART, std::string("start"));
  auto startArg = [this] { return Scene.Events().Items(0).Args.List().at(0); };
  auto readPage = [this] {
    Scene.Events().Clear();
    for (int i = 0; i < 30; ++i) Frame();
  };
  Mes->ShowScriptText(story.Text, "s.ksb", 4, true);
  EXPECT_EQ(startArg(), "0");
  readPage();
  EXPECT_EQ(history.Count(), 0) << "a screenful is written out when the window moves on";
  WriteProperty(*Mes, PR_INDEX, int32_t{1});
  EXPECT_EQ(history.Count(), 1);
  EXPECT_EQ(history.Entries[0].ScreenIndex, 0);
  EXPECT_EQ(history.Entries[0].Size, (THistSize{120, 30}));
  EXPECT_FALSE(Scene.Story().ReadList.IsRead("s.ksb", 4, 1)) << "not read until its reveal ends";
  readPage();
  EXPECT_TRUE(Scene.Story().ReadList.IsRead("s.ksb", 4, 1));
  Mes->ShowScriptText(story.Text, "s.ksb", 4, true);
  EXPECT_EQ(startArg(), "1") << "the first screenful was read";
  EXPECT_EQ(history.Count(), 2);

  // The history shown in the window: entries 0 and 1, a screenful each.
  Scene.Events().Clear();
  ASSERT_EQ(history.Show(0, 2, Mes->DisplaySource()), 0);
  Mes->ShowHistory(false, 0);
  EXPECT_EQ(Mes->RecordState(), 2);
  EXPECT_EQ(Mes->PageCount(), 2);
  readPage();
  EXPECT_EQ(Shown(), "一\r\n二\r\n");
  EXPECT_EQ(history.Count(), 3) << "the screenful left for the history was written out";
  WriteProperty(*Mes, PR_INDEX, int32_t{1});
  for (int i = 0; i < 30; ++i) Frame();
  EXPECT_EQ(Shown(), "三\r\n四\r\n");
  EXPECT_EQ(history.Count(), 3) << "history shown is not recorded again";
}

TEST_F(MessageWindow, EntriesSplitByClearRunOnWhenAsked) {
  TOnePage story("一<CLEAR>二<CLEAR>三");
  Scene.Story().SetPages(&story);
  TKestNewHistory& history = *Scene.Story().History.Default().History;
  Mes->ShowScriptText(story.Text, "s.ksb", 4, true);
  for (int32_t index : {1, 2}) WriteProperty(*Mes, PR_INDEX, index);
  Mes->ShowScriptText(story.Text, "s.ksb", 4, true);
  ASSERT_EQ(history.Count(), 3);
  ASSERT_EQ(history.Show(0, 3, Mes->DisplaySource()), 0);
  Mes->ShowHistory(true, 0);
  EXPECT_EQ(Mes->PageCount(), 2) << "three one-line screenfuls run on in the window's two rows";
  ASSERT_EQ(history.Show(0, 3, Mes->DisplaySource()), 0);
  Mes->ShowHistory(false, 0);
  EXPECT_EQ(Mes->PageCount(), 3);
}

TEST_F(MessageWindow, AWindowSavedMidRevealGoesOnFromTheSameGlyph) {
  TOnePage story;
  Scene.Story().SetPages(&story);
  WriteProperty(*Mes, PR_TEXTDELAY, int32_t{256});
  Mes->ShowScriptText(story.Text, "s.ksb", 4, true);
  WriteProperty(*Mes, PR_INDEX, int32_t{1});
  for (int i = 0; i < 9; ++i) Frame();  // 144 ms against 200 a character
  const std::string before = Shown();
  ASSERT_EQ(before, "三\r\n") << "part of the second screenful";
  TByteStream saved;
  Mes->SaveState(saved);

  TKestBaseList other;
  other.SetClock(&Scene.Clock());
  other.SetFonts(&Fonts);
  other.SetSceneSize(320, 240);
  other.Story().SetPages(&story);
  auto* loaded = static_cast<TKestMes*>(other.CreateByKind(LT_MES));
  saved.Seek(0);
  loaded->LoadState(saved, kSaveNewestVersion);
  loaded->SetParent(&other.FrontBase());
  loaded->RestoreText();
  EXPECT_EQ(loaded->PageIndex(), 1);
  EXPECT_EQ(Cp932ToUtf8(std::get<std::string>(ReadProperty(*loaded, PR_TEXT))), before);
  for (int i = 0; i < 30; ++i) other.UpdateScene();
  EXPECT_EQ(Cp932ToUtf8(std::get<std::string>(ReadProperty(*loaded, PR_TEXT))), "三\r\n四\r\n");
}

class TNow final : public IVarEvaluator {
 public:
  std::optional<std::string> EvaluateText(std::string_view) override { return Utf8ToCp932("今"); }
  std::optional<std::string> EvaluateCompiled(TKestParser&) override { return std::nullopt; }
};

// A window saved here and loaded into a scene of its own.
struct TLoadedWindow {
  TLoadedWindow(TFontPixelManager& fonts, IStoryPages& story, IVarEvaluator& vars, TByteStream& saved) {
    Scene.Clock().FrameDelta = 16;
    Scene.SetFonts(&fonts);
    Scene.SetSceneSize(320, 240);
    Scene.Story().SetPages(&story);
    Scene.SetTextVariables(&vars, [] { return 0; });
    Mes = static_cast<TKestMes*>(Scene.CreateByKind(LT_MES));
    saved.Seek(0);
    Mes->LoadState(saved, kSaveNewestVersion);
    Mes->SetParent(&Scene.FrontBase());
    Mes->RestoreText();
    for (int i = 0; i < 10; ++i) Scene.UpdateScene();
  }
  std::string Shown() { return Cp932ToUtf8(std::get<std::string>(ReadProperty(*Mes, PR_TEXT))); }
  TKestBaseList Scene;
  TKestMes* Mes = nullptr;
};

TEST_F(MessageWindow, SavedWindowsComeBackWithTheTextTheyShowed) {
  // Command 4 of s.ksb: two lines, each showing the variable n.
  TOnePage story("一<VAR NAME=n><BR>二<VAR NAME=n>", 50);
  TNow now;
  Scene.Story().SetPages(&story);
  Scene.SetTextVariables(&now, [] { return 0; });
  // A history of two lines from two screenfuls, each with its own n.
  Mes->DisplaySource().Lines.Add({"s.ksb", 4, 0, 2, 12, Utf8ToCp932("n=太郎")});
  Mes->DisplaySource().Lines.Add({"", 4, 3, 4, 12, Utf8ToCp932("n=花子")});
  Mes->ShowHistory(false, 0);
  for (int i = 0; i < 10; ++i) Frame();
  ASSERT_EQ(Shown(), "一太郎\r\n二花子");
  TByteStream history;
  Mes->SaveState(history);
  EXPECT_EQ(TLoadedWindow(Fonts, story, now, history).Shown(), "一太郎\r\n二花子") << "each line keeps its own values";

  // Markup the setter refuses leaves a window without pages, in the save too.
  EXPECT_THROW(WriteProperty(*Mes, PR_TEXT, Utf8ToCp932("前<A>後</A>")), EKestError);
  EXPECT_EQ(Mes->PageCount(), 0);
  TByteStream refused;
  Mes->SaveState(refused);
  std::unique_ptr<TLoadedWindow> loaded;
  EXPECT_NO_THROW(loaded = std::make_unique<TLoadedWindow>(Fonts, story, now, refused));
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->Mes->PageCount(), 0);
}

}  // namespace
}  // namespace kest
