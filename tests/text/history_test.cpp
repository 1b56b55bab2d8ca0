#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/errors.h"
#include "common/save_versions.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "text/glyph_stream.h"
#include "text/history/history_formats.h"
#include "text/history/history_text.h"
#include "text/history/mes_data.h"
#include "text/history/story_pages.h"
#include "text/tp_word.h"
#include "text/var_evaluator.h"

namespace kest {
namespace {

// Pages by name ignoring case; a command is a markup text (UTF-8) or no text.
class TFakeStory : public IStoryPages {
 public:
  void Add(const std::string& page, std::vector<std::optional<std::string>> commands) {
    FPages[FoldName(page)] = std::move(commands);
  }
  void Remove(const std::string& page) { FPages.erase(FoldName(page)); }
  bool Exists(const std::string& page) override { return FPages.count(FoldName(page)) > 0; }
  std::optional<std::vector<uint8_t>> TextCommand(const std::string& page, int32_t command) override {
    ++Loads;
    auto it = FPages.find(FoldName(page));
    if (it == FPages.end() || command < 0 || size_t(command) >= it->second.size()) return std::nullopt;
    const std::optional<std::string>& text = it->second[size_t(command)];
    if (!text) return std::nullopt;
    TTpWord word;
    word.SetMarkup(Utf8ToCp932(*text));
    TByteStream out;
    WriteGlyphStream(out, word);
    return out.TakeBytes();
  }
  int Loads = 0;

 private:
  std::map<std::string, std::vector<std::optional<std::string>>> FPages;
};

// Variables as they stand now, which a history must not show.
class TFakeEvaluator : public IVarEvaluator {
 public:
  std::optional<std::string> EvaluateText(std::string_view) override { return Utf8ToCp932("かきくけこさしすせそ"); }
  std::optional<std::string> EvaluateCompiled(TKestParser&) override { return std::nullopt; }
};

using TSpans = std::vector<std::pair<int32_t, int32_t>>;

TSpans SpansOf(const std::vector<THistLine>& lines) {
  TSpans spans;
  for (const THistLine& l : lines) spans.emplace_back(l.StartPos, l.EndPos);
  return spans;
}

std::vector<std::string> NamesOf(const std::vector<THistoryOldData>& entries) {
  std::vector<std::string> names;
  for (const THistoryOldData& e : entries) names.push_back(e.PageName);
  return names;
}

struct History : ::testing::Test {
  TFakeStory story;
  TFakeEvaluator evaluator;
  TKestHistoryFormatManager man{story, evaluator};
  THistWindow win{"W", 640, 480};

  History() {
    // Seven twelve-pixel characters: rows of three at width 36.
    story.Add("p", {"あいうえおかき", std::nullopt, "あ<VAR NAME=v>いう"});
  }

  TKestNewHistory& Def() { return *man.Default().History; }

  // Twelve-pixel lines, two to a page.
  void UseLines(TKestHistoryFormat& f) {
    f.FontSize = 12;
    f.Width = 36;
    f.Height = 30;
    f.LineSpace = 2;
  }

  // The window moves on from what it showed and shows a screenful.
  void Read(const std::string& page, int32_t command, int32_t screen, int32_t start = 0, int32_t end = 6,
            const std::string& vars = "") {
    man.Commit(win.Name);
    man.AddPending(win, page, vars, screen, end, start, command);
  }
  void Finish() { man.Commit(win.Name); }
};

TEST_F(History, EntriesCompressNamesAndTrimmingHandsTheNameOver) {
  Def().MaxCount = 3;
  Read("a", 0, 0);
  Read("A", 0, 1);
  Read("a", 1, 0);
  Finish();
  EXPECT_EQ(NamesOf(Def().Entries), (std::vector<std::string>{"a", "", ""})) << "names compare ignoring case";
  EXPECT_EQ(Def().Entries[1].Size, (THistSize{640, 480}));

  Read("a", 1, 1);
  Read("b", 2, 0);
  Finish();
  ASSERT_EQ(Def().Entries.size(), 3u);
  EXPECT_EQ(NamesOf(Def().Entries), (std::vector<std::string>{"a", "", "b"}))
      << "the oldest went; the next took its name over";
  EXPECT_EQ(Def().Entries[0].CommandIndex, 1);
  EXPECT_EQ(Def().Entries[0].ScreenIndex, 0);
  EXPECT_EQ(Def().Count(), 3);
}

TEST_F(History, OnlyThePendingWindowCommitsAndOnlyOnce) {
  man.AddPending(win, "a", "", 0, 6, 0, 0);
  man.Commit("Other");
  EXPECT_EQ(Def().Count(), 0);
  EXPECT_EQ(Def().PendingPage, "a") << "still waiting for its own window";
  man.Commit("W");
  man.Commit("W");
  EXPECT_EQ(Def().Count(), 1);
  EXPECT_TRUE(Def().PendingPage.empty());

  TKestHistoryFormat& named = man.FindOrCreate("log");
  EXPECT_EQ(&man.FindOrCreate("log"), &named);
  EXPECT_EQ(man.Find("LOG"), nullptr) << "format names are exact";
  man.AddPending(win, "a", "", 1, 6, 0, 0);
  man.Commit("W");
  EXPECT_EQ(named.History->Count(), 1) << "every format records";
  EXPECT_EQ(Def().Count(), 2);
  man.ClearAll();
  EXPECT_EQ(Def().Count() + named.History->Count(), 0);
  man.Reset();
  EXPECT_EQ(man.Count(), 1);
  EXPECT_EQ(man.Find("log"), nullptr);
}

TEST_F(History, LineModeCountsPixelsAndGroupsLinesIntoPages) {
  UseLines(man.Default());
  Read("p", 0, 0, 0, 6);
  Finish();
  EXPECT_TRUE(Def().LineMode());
  EXPECT_EQ(Def().Count(), 3 * 14) << "three lines of 12 pixels and 2 of spacing, not one entry";
  ASSERT_EQ(Def().Pages.size(), 2u);
  EXPECT_EQ(SpansOf(Def().Pages[0].Lines), (TSpans{{0, 2}, {3, 5}}));
  EXPECT_EQ(SpansOf(Def().Pages[1].Lines), (TSpans{{6, 6}}));
  EXPECT_EQ(Def().Pages[0].TotalHeight, 28);
  EXPECT_EQ(Def().Pages[0].Lines[1].PageName, "");
  EXPECT_EQ(Def().Pages[1].Lines[0].PageName, "p") << "every page carries its name";

  Read("P", 0, 1, 3, 6);
  Finish();
  EXPECT_EQ(Def().Count(), 5 * 14);
  ASSERT_EQ(Def().Pages.size(), 3u) << "the last page is filled before a new one starts";
  EXPECT_EQ(SpansOf(Def().Pages[1].Lines), (TSpans{{6, 6}, {3, 5}}));
  EXPECT_EQ(SpansOf(Def().Pages[2].Lines), (TSpans{{6, 6}}));
  EXPECT_EQ(story.Loads, 1) << "the same command is loaded once";

  Read("p", 1, 0);  // not a text
  Read("gone", 0, 0);
  Finish();
  EXPECT_EQ(Def().Count(), 5 * 14);
  EXPECT_TRUE(Def().PendingPage.empty());
}

TEST_F(History, LinePositionsCountLoadedGlyphsAndShowTheSavedValues) {
  UseLines(man.Default());
  // あ VAR(か) い | う: the expansion takes a place in the row but no position.
  Read("p", 2, 0, 0, 3, "v=" + Utf8ToCp932("か") + "\r\nw=x");
  Finish();
  EXPECT_EQ(SpansOf(Def().Pages[0].Lines), (TSpans{{0, 2}, {3, 3}}))
      << "the saved one-character value, not the ten the variable holds now";
  EXPECT_EQ(Def().Pages[0].Lines[0].VarValues, "v=" + Utf8ToCp932("か") + "\r\nw=x");

  TTpWord word;
  word.SetMarkup("a<VAR NAME=v>b");
  word.VarValues() = SplitVarValues("v=xy\r\n");
  word.ExpandVariables(0, word.Count() - 1, false, evaluator);
  ASSERT_EQ(word.Count(), 5);  // a VAR x y b
  EXPECT_EQ(GlyphIndexOfPosition(word, 2), 4);
  EXPECT_EQ(GlyphIndexOfPosition(word, 3), 5);
  EXPECT_EQ(PositionOfGlyph(word, 3), 2) << "an expansion glyph leads on to the next loaded one";
  EXPECT_EQ(GlyphRangeOfPositions(word, 1, 1).Last, 3) << "a variable's range takes its expansion";
  EXPECT_LT(GlyphRangeOfPositions(word, 2, 1).Last, GlyphRangeOfPositions(word, 2, 1).First);
}

TEST_F(History, DroppingTheOldestPageLeavesTheNextItsName) {
  UseLines(man.Default());
  Def().MaxCount = 2;
  Read("p", 0, 0);
  Read("p", 0, 1);
  Finish();
  ASSERT_EQ(Def().Pages.size(), 2u);
  EXPECT_EQ(SpansOf(Def().Pages[0].Lines), (TSpans{{6, 6}, {0, 2}}));
  EXPECT_EQ(Def().Pages[0].Lines[0].PageName, "p") << "names are compressed within a page only";
  EXPECT_EQ(Def().Pages[0].Lines[1].PageName, "");

  // Older data compressed names across pages; the name moves on all the same.
  Def().Pages = {TKestHistData{{{"q", 0, 0, 0, 14, ""}}, 14}, TKestHistData{{{"", 0, 1, 1, 14, ""}}, 28}};
  Read("p", 0, 3, 3, 5);
  Finish();
  ASSERT_EQ(Def().Pages.size(), 2u);
  EXPECT_EQ(Def().Pages[0].Lines[0].PageName, "q");
  EXPECT_EQ(Def().Pages[1].Lines[0].PageName, "p");
}

TEST_F(History, ShowTakesTheEntriesThatExist) {
  for (int32_t i = 0; i < 8; ++i) Read(i < 4 ? "a" : "b", 0, i);
  Finish();
  TKestNewMesData data;
  EXPECT_EQ(Def().Show(5, 10, data), 0);
  ASSERT_EQ(data.Entries.size(), 3u);
  EXPECT_EQ(data.Entries[0].ScreenIndex, 5);
  EXPECT_EQ(data.Entries[2].ScreenIndex, 7);
  EXPECT_EQ(NamesOf(data.Entries), (std::vector<std::string>{"b", "", ""})) << "the first shown knows its page";
  Def().Show(-3, 4, data);
  EXPECT_EQ(data.Entries.size(), 1u);

  using R = std::optional<std::pair<int32_t, int32_t>>;
  EXPECT_EQ(ClampShowRange(5, 10, 8), (R{{5, 3}}));
  EXPECT_EQ(ClampShowRange(-2, 4, 8), (R{{0, 4}}));
  EXPECT_EQ(ClampShowRange(8, 1, 8), std::nullopt);
  EXPECT_EQ(ClampShowRange(0, 0, 8), std::nullopt);
  EXPECT_EQ(ClampShowRange(INT_MAX, INT_MAX, 8), std::nullopt);
  EXPECT_EQ(ClampShowRange(1, INT_MAX, 8), (R{{1, 7}}));
}

TEST_F(History, ShowInLineModeCoversThePixelRange) {
  UseLines(man.Default());
  Read("p", 0, 0, 0, 6);
  Read("p", 0, 1, 0, 5);
  Finish();  // five lines of 14 on three pages
  TKestNewMesData data;
  EXPECT_EQ(Def().Show(20, 14, data), -6) << "the first line starts 6 pixels above the range";
  EXPECT_EQ(SpansOf(data.Lines.Lines), (TSpans{{3, 5}, {6, 6}}));
  EXPECT_EQ(data.Lines.TotalHeight, 28);
  EXPECT_EQ(data.Lines.Lines[0].PageName, "p");
  EXPECT_EQ(data.Lines.Lines[1].PageName, "") << "one name for the lines shown together";
  EXPECT_EQ(Def().Show(0, 14, data), 0);
  EXPECT_EQ(SpansOf(data.Lines.Lines), (TSpans{{0, 2}}));
  EXPECT_EQ(Def().Show(56, 100, data), 0);
  EXPECT_EQ(SpansOf(data.Lines.Lines), (TSpans{{3, 5}}));
  Def().Show(70, 10, data);
  EXPECT_TRUE(data.Lines.Lines.empty());
}

TEST_F(History, RebuildStopsAtAPageThatIsGoneAndCachesCommands) {
  story.Add("q", {"x"});
  TKestNewMesData data;
  data.Entries = {{"p", 0, 0, {}}, {"", 1, 0, {}}, {"q", 0, 0, {}}, {"gone", 0, 0, {}}, {"p", 0, 1, {}}};
  std::vector<std::string> seen;
  EXPECT_EQ(data.Rebuild(story, [&](const TMesDataRecord& r,
                                    TTpWord& w) { seen.push_back(r.Page + ":" + std::to_string(w.Count())); }),
            3u);
  EXPECT_EQ(seen, (std::vector<std::string>{"p:7", "q:1"})) << "a command that is no text is passed over";

  data.Entries.clear();
  data.Lines.Lines = {{"p", 2, 0, 3, 14, "v=z"}};
  const int loads = story.Loads;
  data.Rebuild(story, [&](const TMesDataRecord& r, TTpWord& w) {
    EXPECT_EQ(r.Start, 0);
    EXPECT_EQ(w.VarValues(), (std::vector<std::string>{"v=z"}));
    EXPECT_EQ(w.Count(), 4) << "handed over as loaded";
    w.ExpandVariables(0, 3, true, evaluator);
  });
  data.Rebuild(story, [&](const TMesDataRecord&, TTpWord& w) { EXPECT_EQ(w.Count(), 4) << "expansions undone"; });
  EXPECT_EQ(story.Loads, loads + 1);

  for (const char* page : {"c1", "c2", "c3", "c4"}) {
    story.Add(page, {"x"});
    data.Lines.Lines = {{page, 0, 0, 0, 14, ""}};
    data.Rebuild(story, [](const TMesDataRecord&, TTpWord&) {});
  }
  ASSERT_EQ(data.Cache.Pages().size(), TMesDataCacheList::kMaxPages);
  EXPECT_EQ(data.Cache.Pages().front()->PageName, "c4");
  EXPECT_EQ(data.Cache.Pages().back()->PageName, "c1") << "p, least recently used, went";
}

// Newest layout helpers for hand-built records.
struct TRecordBuilder {
  TByteStream out;
  TRecordBuilder& I(int32_t v) {
    WriteInt(out, v);
    return *this;
  }
  TRecordBuilder& S(std::string_view v) {
    WriteStr(out, v);
    return *this;
  }
};

struct HistoryStreams : History {
  // A default history in entry mode and a named one in line mode.
  void Fill() {
    Def().MaxCount = 50;
    Read("a", 0, 0);
    Read("b", 1, 2);
    TKestHistoryFormat& log = man.FindOrCreate("log");
    UseLines(log);
    Read("p", 2, 0, 0, 3, "v=" + Utf8ToCp932("か"));
    Read("p", 0, 1, 0, 6);
    man.Default().FontSize = 9;
  }
  std::vector<uint8_t> Saved() {
    TByteStream out;
    man.SaveToStream(out);
    return out.TakeBytes();
  }
  void Load(TByteStream& in, int32_t version) { man.LoadFromStream(in, version); }
};

TEST_F(HistoryStreams, TheNewestLayoutRoundTrips) {
  Fill();
  const std::vector<uint8_t> bytes = Saved();
  TKestHistoryFormatManager other{story, evaluator};
  TByteStream in{std::span<const uint8_t>(bytes)};
  other.LoadFromStream(in, kSaveNewestVersion);
  EXPECT_EQ(in.Remaining(), 0);
  ASSERT_EQ(other.Count(), 2);
  const TKestHistoryFormat& log = other.Items(1);
  EXPECT_EQ(log.Name, "log");
  EXPECT_EQ(static_cast<const THistorySettings&>(log), static_cast<const THistorySettings&>(man.Items(1)));
  EXPECT_EQ(static_cast<const THistoryRecords&>(*log.History).Pages, man.Items(1).History->Pages);
  EXPECT_EQ(log.History->PendingVars, "");
  EXPECT_EQ(other.Default().History->Entries, Def().Entries);
  EXPECT_EQ(other.Default().History->PendingPage, "p");
  TByteStream again;
  other.SaveToStream(again);
  EXPECT_EQ(again.Bytes(), bytes);

  TKestNewMesData data, copy;
  man.Items(1).History->Show(0, 100, data);
  Def().Show(0, 100, data);
  man.Items(1).History->Show(0, 100, copy);
  data.Lines = copy.Lines;  // both lists filled
  TByteStream mesOut;
  data.SaveToStream(mesOut);
  TByteStream mesIn{std::span<const uint8_t>(mesOut.Bytes())};
  copy.LoadFromStream(mesIn, kSaveNewestVersion);
  EXPECT_EQ(copy.Entries, data.Entries);
  EXPECT_EQ(copy.Lines, data.Lines);
}

TEST_F(HistoryStreams, OldLayoutsHoldTheDefaultHistoryOnly) {
  Fill();
  // 112: a dropped string, entries field by field, the pending record.
  TRecordBuilder v112;
  v112.S("dropped").I(2).S("a").S("").I(3).I(4).I(5).I(6).I(100).I(200).I(300).I(400);
  v112.S("pend").I(7).I(8).I(9).I(10).S("W2");
  TByteStream in112{std::span<const uint8_t>(v112.out.Bytes())};
  Load(in112, 112);
  EXPECT_EQ(in112.Remaining(), 0);
  ASSERT_EQ(man.Count(), 1);
  EXPECT_EQ(man.Default().FontSize, 0) << "nothing before 113 kept format settings";
  EXPECT_EQ(Def().MaxCount, 50) << "not stored: kept";
  EXPECT_EQ(Def().Entries, (std::vector<THistoryOldData>{{"a", 3, 5, {100, 200}}, {"", 4, 6, {300, 400}}}));
  EXPECT_EQ(Def().PendingSize, (THistSize{9, 10}));
  EXPECT_EQ(Def().PendingWindow, "W2");

  // 123: entries record by record, then the line-mode part; no values.
  man.Default().FontSize = 9;  // as the variables set it
  TRecordBuilder v123;
  v123.I(1).S("a").I(1).I(2).I(3).I(4);
  v123.S("").I(0).I(0).I(0).I(0).S("");
  v123.I(7).I(12).I(0).I(0).I(36).I(30).I(2).I(11).I(22);
  v123.I(1).I(1).S("p").I(0).I(0).I(2).I(14).I(14);
  TByteStream in123{std::span<const uint8_t>(v123.out.Bytes())};
  Load(in123, 123);
  EXPECT_EQ(in123.Remaining(), 0);
  EXPECT_EQ(man.Default().FontSize, 9) << "the variables keep them from 113";
  EXPECT_EQ(Def().MaxCount, 7);
  EXPECT_EQ(Def().LayoutSettings, (THistorySettings{12, 0, 0, 36, 30, 2}));
  EXPECT_EQ(Def().PendingEnd, 22);
  ASSERT_EQ(Def().Pages.size(), 1u);
  EXPECT_EQ(Def().Pages[0].Lines[0], (THistLine{"p", 0, 0, 2, 14, ""}));
  EXPECT_EQ(Def().Count(), 14);

  // 134: the newest history record, without the format list.
  TByteStream v134;
  Def().Pages[0].Lines[0].VarValues = "v=1";
  Def().PendingVars = "w=2";
  Def().SaveToStream(v134);
  man.FindOrCreate("log");
  TByteStream in134{std::span<const uint8_t>(v134.Bytes())};
  Load(in134, 134);
  EXPECT_EQ(in134.Remaining(), 0);
  EXPECT_EQ(man.Count(), 1);
  EXPECT_EQ(Def().Pages[0].Lines[0].VarValues, "v=1");
  EXPECT_EQ(Def().PendingVars, "w=2");

  TRecordBuilder mes112;
  mes112.I(1).S("a").I(2).I(3).I(4).I(5);
  TKestNewMesData data;
  data.Lines.Lines = {{"x", 0, 0, 0, 1, ""}};
  TByteStream mesIn{std::span<const uint8_t>(mes112.out.Bytes())};
  data.LoadFromStream(mesIn, 112);
  EXPECT_EQ(mesIn.Remaining(), 0);
  EXPECT_EQ(data.Entries, (std::vector<THistoryOldData>{{"a", 2, 3, {4, 5}}}));
  EXPECT_TRUE(data.Lines.Lines.empty());
}

TEST_F(HistoryStreams, DamagedDataRaisesAndChangesNothing) {
  Fill();
  const std::vector<uint8_t> bytes = Saved();
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    TByteStream in{std::span<const uint8_t>(bytes.data(), cut)};
    EXPECT_THROW(Load(in, kSaveNewestVersion), EReadError) << "cut at " << cut;
  }
  EXPECT_EQ(Saved(), bytes);

  for (int32_t count : {-1, 0x7FFFFFFF}) {
    TRecordBuilder b;
    b.I(1).S("");
    for (int i = 0; i < 6; ++i) b.I(0);
    b.I(0).S("").I(0).I(0).I(0).I(0).S("").I(0);
    for (int i = 0; i < 6 + 2; ++i) b.I(0);
    b.I(count);
    for (int i = 0; i < 8; ++i) b.I(0);
    TByteStream in{std::span<const uint8_t>(b.out.Bytes())};
    try {
      Load(in, kSaveNewestVersion);
      ADD_FAILURE() << "page count " << count << " accepted";
    } catch (const EReadError& e) {
      EXPECT_NE(std::string(e.what()).find("History page count"), std::string::npos) << e.what();
    }
  }

  TRecordBuilder noDefault;
  noDefault.I(0);
  TByteStream in{std::span<const uint8_t>(noDefault.out.Bytes())};
  Load(in, kSaveNewestVersion);
  EXPECT_EQ(man.Count(), 1) << "the default history is always there";
  EXPECT_EQ(man.Default().Name, "");

  TKestNewMesData data;
  TByteStream mesOut;
  data.Entries = {{"a", 1, 2, {3, 4}}};
  data.Lines.Lines = {{"p", 0, 0, 1, 2, "v"}};
  data.SaveToStream(mesOut);
  const std::vector<uint8_t> mes = mesOut.TakeBytes();
  for (size_t cut = 0; cut < mes.size(); ++cut) {
    TByteStream mesIn{std::span<const uint8_t>(mes.data(), cut)};
    EXPECT_THROW(data.LoadFromStream(mesIn, kSaveNewestVersion), EReadError) << "cut at " << cut;
  }
  EXPECT_EQ(data.Entries.size(), 1u);
}

}  // namespace
}  // namespace kest
