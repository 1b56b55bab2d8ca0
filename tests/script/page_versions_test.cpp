// Pages written by the writer for every version read back into the same
// fields and write back byte for byte; the fields a version does not store
// leave no bytes. The same pages are the seeds of the page fuzzer:
// KEST_WRITE_PAGE_SEEDS=<folder> writes them there (fuzz/corpus/page_load).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/app_globals.h"
#include "language/build_kest_parser.h"
#include "scene/property_table.h"
#include "script/com_list.h"
#include "script/command.h"
#include "script/command_factory.h"
#include "script/page.h"
#include "script/script_test_util.h"

namespace kest {
namespace {

using test::TBytes;

// Where the commands start: version, result kind, K, S, the masks and N.
constexpr size_t kRecordsOffset = 4 + 1 + 4 + 4 + kMaskAreaSize + 4;

TKestParser Expr(const std::string& text) { return TBuildKestParser::Compile(text); }

// Values of every kind that differ from command to command and from field to
// field, so that a field read into its neighbour's place shows.
void Fill(TCommand& c) {
  const int32_t id = c.GetCommandId();
  c.Indent = id % 4;
  c.Skipped = id % 3 == 0;
  c.Continue = id % 2 == 1;
  c.Line = 100 + id;
  for (size_t i = 0; i < c.Fields().size(); ++i) {
    TFieldValue& v = c.Fields()[i];
    const std::string tag = std::to_string(id) + "_" + std::to_string(i);
    switch (c.Layout().Fields[i].Kind) {
      case TFieldKind::Expr: v.Expr = Expr("v" + tag + " = " + std::to_string(id) + " + x * 2"); break;
      case TFieldKind::Str: v.Text = "s" + tag + ".ksb"; break;
      case TFieldKind::Int: v.Int = 1000 + id * 10 + static_cast<int32_t>(i); break;
      case TFieldKind::Byte: v.Int = (id * 7 + static_cast<int32_t>(i)) & 0xFF; break;
      case TFieldKind::Data: v.Text = std::string("\x82\xA0\0t", 4) + tag; break;
      case TFieldKind::ExprList:
        v.List.push_back(Expr("a" + tag + " = 1.5 * y"));
        v.List.push_back(Expr("b" + tag + " = \"t\" ++ IntToStr(y)"));
        break;
      case TFieldKind::Props:
        for (int32_t p : {0, id % kPropertyCount, kPropertyCount - 1})
          v.Prop(p) = std::make_unique<TKestParser>(Expr("p" + tag + " = " + std::to_string(p)));
        break;
    }
  }
}

std::unique_ptr<TPage> PageOf(int32_t version, const std::vector<uint8_t>& ids) {
  auto page = std::make_unique<TPage>();
  page->Version = version;
  page->ResultKind = 4;
  for (uint8_t id : ids) {
    auto c = CreateCommand(page->Commands(), id);
    Fill(*c);
    page->Commands().Add(std::move(c));
  }
  page->UpdateMasks();
  return page;
}

std::vector<uint8_t> EveryId() {
  std::vector<uint8_t> ids;
  for (int32_t id = 0; id < kCommandIdCount; ++id) ids.push_back(static_cast<uint8_t>(id));
  return ids;
}

TBytes Save(const TPage& page) {
  TByteStream out;
  page.SaveToStream(out);
  return out.TakeBytes();
}

TBytes ExprBytes(const TKestParser& e) {
  TByteStream out;
  e.SaveToStream(out);
  return out.TakeBytes();
}

// The field's value as bytes, whatever its kind.
TBytes ValueBytes(const TFieldValue& v) {
  TByteStream out;
  v.Expr.SaveToStream(out);
  WriteStr(out, v.Text);
  WriteInt(out, v.Int);
  for (const TKestParser& e : v.List) e.SaveToStream(out);
  for (size_t p = 0; p < v.Props.size(); ++p) {
    if (!v.Props[p]) continue;
    WriteInt(out, static_cast<int32_t>(p));
    v.Props[p]->SaveToStream(out);
  }
  return out.TakeBytes();
}

class PageEveryVersion : public ::testing::TestWithParam<int32_t> {};

TEST_P(PageEveryVersion, EveryCommandReadsBackIntoItsFieldsAndWritesTheSameBytes) {
  const int32_t version = GetParam();
  const auto written = PageOf(version, EveryId());
  const TBytes bytes = Save(*written);

  TPage loaded;
  loaded.LoadFromBytes("all.ksb", bytes, nullptr);
  ASSERT_EQ(loaded.Version, version);
  EXPECT_EQ(loaded.ResultKind, 4);
  ASSERT_EQ(loaded.Commands().Count(), kCommandIdCount);
  EXPECT_EQ(Save(loaded), bytes);

  for (int32_t pc = 0; pc < kCommandIdCount; ++pc) {
    const TCommand& want = *written->Commands().Items(pc);
    const TCommand& got = *loaded.Commands().Items(pc);
    ASSERT_EQ(got.GetCommandId(), pc);
    EXPECT_EQ(got.Indent, want.Indent);
    EXPECT_EQ(got.Skipped, want.Skipped);
    EXPECT_EQ(got.Continue, want.Continue);
    EXPECT_EQ(got.Line, want.Line);
    for (size_t i = 0; i < want.Fields().size(); ++i) {
      const TFieldLayout& layout = want.Layout().Fields[i];
      if (version >= layout.SinceVersion) {
        EXPECT_EQ(ValueBytes(got.Fields()[i]), ValueBytes(want.Fields()[i]))
            << want.Layout().Name << "." << layout.Name;
      } else {
        TFieldValue none;
        none.Props.resize(got.Fields()[i].Props.size());
        EXPECT_EQ(ValueBytes(got.Fields()[i]), ValueBytes(none)) << want.Layout().Name << "." << layout.Name;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Versions, PageEveryVersion, ::testing::Range(kOldestPageVersion, kNewestPageVersion + 1),
                         [](const auto& info) { return "v" + std::to_string(info.param); });

struct TGate {
  uint8_t Id;
  const char* Field;
  int32_t Since;
};

// The fields later versions added.
constexpr TGate kGates[] = {
    {ciWait, "block", 107},       {ciFlip, "block", 107},         {ciTextIns, "block", 107},
    {ciMovieStop, "block", 107},  {ciGameSave, "pc", 105},        {ciPropMotion, "stopped", 108},
    {ciCallHist, "history", 111}, {ciFormatHist, "history", 111},
};

TEST(PageVersionGates, OlderVersionsLeaveOutExactlyTheLaterFields) {
  for (const TGate& gate : kGates) {
    const std::string what = std::string(CommandLayout(gate.Id)->Name) + "." + gate.Field;
    const auto page = PageOf(gate.Since, {gate.Id});
    const TBytes withField = Save(*page);
    page->Version = gate.Since - 1;
    const TBytes without = Save(*page);

    const TFieldValue& field = page->Commands().Items(0)->Field(gate.Field);
    TByteStream valueOut;
    if (field.Expr.Operations().empty()) {
      WriteInt(valueOut, field.Int);
    } else {
      field.Expr.SaveToStream(valueOut);
    }
    const TBytes value = valueOut.TakeBytes();
    ASSERT_EQ(withField.size(), without.size() + value.size()) << what;
    ASSERT_TRUE(std::equal(withField.begin() + 4, withField.begin() + kRecordsOffset, without.begin() + 4)) << what;

    // The shorter record is the longer one with the field's bytes cut out.
    const TBytes longRecord(withField.begin() + kRecordsOffset, withField.end());
    const TBytes shortRecord(without.begin() + kRecordsOffset, without.end());
    bool found = false;
    for (size_t at = 0; at <= shortRecord.size() && !found; ++at) {
      TBytes joined(longRecord.begin(), longRecord.begin() + static_cast<std::ptrdiff_t>(at));
      joined.insert(joined.end(), value.begin(), value.end());
      joined.insert(joined.end(), shortRecord.begin() + static_cast<std::ptrdiff_t>(at), shortRecord.end());
      found = joined == longRecord;
    }
    EXPECT_TRUE(found) << what;

    TPage older;
    older.LoadFromBytes("gate.ksb", without, nullptr);
    EXPECT_EQ(Save(older), without) << what;
  }
}

TEST(PageVersionGates, WaitGrowsByItsBlockExpressionAt107) {
  const auto page = PageOf(106, {ciWait});
  const size_t at106 = Save(*page).size();
  page->Version = 107;
  const size_t at107 = Save(*page).size();
  const TCommand& wait = *page->Commands().Items(0);
  const size_t header = 1 + 4 + 1 + 1 + 4;
  const size_t cond = ExprBytes(wait.Fields()[0].Expr).size();
  const size_t time = ExprBytes(wait.Fields()[1].Expr).size();
  const size_t block = ExprBytes(wait.Fields()[2].Expr).size();
  EXPECT_EQ(at106, kRecordsOffset + header + cond + time);
  EXPECT_EQ(at107, at106 + block);
}

const std::vector<uint8_t> kShownIds = {ciBoxNew, ciTextIns, ciMesNew, ciWait, ciGameSave, ciCallHist, ciPropMotion};

// The seeds: small pages of several versions, the whole command set, an old
// and a future page, and one whose masks are laid out unusually.
std::map<std::string, TBytes> Seeds() {
  std::map<std::string, TBytes> seeds;
  const std::vector<uint8_t> flow = {ciLabel, ciIf, ciCalc, ciElse, ciJump, ciCall, ciWait, ciExit};
  for (int32_t version : {103, 105, 107, 111, 116}) {
    seeds["flow_" + std::to_string(version) + ".ksb"] = Save(*PageOf(version, flow));
    seeds["shown_" + std::to_string(version) + ".ksb"] = Save(*PageOf(version, kShownIds));
  }
  seeds["all_116.ksb"] = Save(*PageOf(116, EveryId()));
  seeds["all_106.ksb"] = Save(*PageOf(106, EveryId()));
  seeds["rebuild_102.ksb"] = Save(*PageOf(102, flow));
  seeds["future_117.ksb"] = Save(*PageOf(117, flow));

  // 70 records of 30 bytes in place of 61 of 21: the same slots, as each
  // record's tail is overwritten by the next one's head.
  const TBytes plain = Save(*PageOf(110, kShownIds));
  test::TRecordBytes odd;
  odd.Raw(std::string_view(reinterpret_cast<const char*>(plain.data()), 5)).Int(70).Int(30);
  for (int32_t i = 0; i < 70; ++i)
    for (int32_t j = 0; j < 30; ++j) {
      const size_t at = 13 + static_cast<size_t>(i * kMaskSlotSize + j);
      odd.Byte(i < kCommandIdCount && at < 13 + kMaskAreaSize ? plain[at] : 0xFF);
    }
  odd.Raw(std::string_view(reinterpret_cast<const char*>(plain.data()) + kRecordsOffset - 4,
                           plain.size() - (kRecordsOffset - 4)));
  seeds["masks_70x30_110.ksb"] = odd.Bytes();
  return seeds;
}

TEST(PageSeeds, EverySeedLoadsAndWritesBackStably) {
  for (const auto& [name, bytes] : Seeds()) {
    TPage first;
    first.LoadFromBytes(name, bytes, nullptr);
    const TBytes once = Save(first);
    TPage second;
    second.LoadFromBytes(name, once, nullptr);
    EXPECT_EQ(Save(second), once) << name;
    if (name.starts_with("masks_")) {
      EXPECT_EQ(once, Save(*PageOf(110, kShownIds))) << name;
    } else if (!name.starts_with("rebuild_") && !name.starts_with("future_")) {
      EXPECT_EQ(once, bytes) << name;
    }
  }
  ResetAppGlobals();
  if (const char* folder = std::getenv("KEST_WRITE_PAGE_SEEDS")) {
    for (const auto& [name, bytes] : Seeds()) test::WriteFile(std::string(folder) + "/" + name, bytes);
  }
}

}  // namespace
}  // namespace kest
