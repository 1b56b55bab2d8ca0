// Reading a generated page of about 1 MiB from memory (text insertions,
// calculations, branches, calls, waits and components with properties, in
// the proportions of a text-heavy scene), against the floor of any reader:
// copying the same bytes with memcpy. Each load goes into a fresh page; the
// freeing of the page is timed on its own, as the player frees pages apart
// from loading them. BM_Ratio runs both alternately in one run and reports
// their speeds and the ratio (1 means no overhead).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/stream.h"
#include "language/build_kest_parser.h"
#include "script/com_list.h"
#include "script/command.h"
#include "script/command_factory.h"
#include "script/page.h"

namespace {

using namespace kest;
using TClock = std::chrono::steady_clock;

constexpr size_t kTargetSize = 1 << 20;

TCommand& Add(TPage& page, uint8_t id, int32_t line) {
  TCommand& c = page.Commands().Add(CreateCommand(page.Commands(), id));
  c.Line = line;
  return c;
}

void Expr(TCommand& c, const char* field, const std::string& text) {
  c.Field(field).Expr = TBuildKestParser::Compile(text);
}

// One scene step: a line of text and the commands around it.
void AddStep(TPage& page, int32_t n) {
  const std::string k = std::to_string(n);
  Add(page, ciLabel, n).Field("name").Text = "step" + k;
  TCommand& text = Add(page, ciTextIns, n);
  text.Field("text").Text = std::string(160, '\x82') + "\x81\x40" + k;
  Expr(text, "window", "\"msg\"");
  Expr(text, "wait", "1");
  Expr(text, "block", "0");
  Expr(Add(page, ciCalc, n), "expr", "count = count + " + k + " * 2");
  Expr(Add(page, ciIf, n), "cond", "(count > 100) & flag" + k);
  TCommand& box = Add(page, ciBoxNew, n);
  box.Indent = 1;
  TFieldValue& props = box.Field("props");
  for (int32_t p : {0, 1, 2, 3, 4, 8, 12, 20})
    props.Prop(p) = std::make_unique<TKestParser>(TBuildKestParser::Compile(std::to_string(p * 10 + n % 7)));
  TCommand& call = Add(page, ciCall, n);
  call.Field("page").Text = "sub.ksb";
  call.Field("result").Text = "ret";
  call.Field("args").List.push_back(TBuildKestParser::Compile("count"));
  call.Field("args").List.push_back(TBuildKestParser::Compile("\"name\" ++ IntToStr(count)"));
  TCommand& wait = Add(page, ciWait, n);
  Expr(wait, "time", "500");
  TCommand& jump = Add(page, ciJump, n);
  jump.Field("page").Text = "next.ksb";
  Expr(jump, "cond", "count >= 1000");
}

std::vector<uint8_t> MakePage() {
  TPage page;
  page.Version = kNewestPageVersion;
  std::vector<uint8_t> bytes;
  for (int32_t n = 0; bytes.size() < kTargetSize; ++n) {
    AddStep(page, n);
    if (n % 64 != 63) continue;
    page.UpdateMasks();
    TByteStream out;
    page.SaveToStream(out);
    bytes = out.TakeBytes();
  }
  return bytes;
}

const std::vector<uint8_t>& PageBytes() {
  static const std::vector<uint8_t> bytes = MakePage();
  return bytes;
}

double Seconds(TClock::time_point a, TClock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

struct TLoadTimes {
  double Load = 0;
  double Free = 0;
  int32_t Commands = 0;
};

void LoadOnce(const std::vector<uint8_t>& bytes, TLoadTimes& times) {
  auto page = std::make_unique<TPage>();
  const auto t0 = TClock::now();
  page->LoadFromBytes("bench.ksb", bytes, nullptr);
  benchmark::DoNotOptimize(page->Commands().Count());
  const auto t1 = TClock::now();
  times.Commands = page->Commands().Count();
  page.reset();
  times.Load += Seconds(t0, t1);
  times.Free += Seconds(t1, TClock::now());
}

double CopyOnce(std::vector<uint8_t>& target, const std::vector<uint8_t>& bytes) {
  const auto t0 = TClock::now();
  std::memcpy(target.data(), bytes.data(), bytes.size());
  benchmark::DoNotOptimize(target.data());
  benchmark::ClobberMemory();
  return Seconds(t0, TClock::now());
}

void BM_PageLoad(benchmark::State& state) {
  const auto& bytes = PageBytes();
  TLoadTimes times;
  for (auto _ : state) {
    LoadOnce(bytes, times);
    state.SetIterationTime(times.Load);
    times.Load = 0;
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
  state.counters["commands"] = times.Commands;
}

void BM_Memcpy(benchmark::State& state) {
  const auto& bytes = PageBytes();
  std::vector<uint8_t> target(bytes.size());
  for (auto _ : state) CopyOnce(target, bytes);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

void BM_Ratio(benchmark::State& state) {
  const auto& bytes = PageBytes();
  std::vector<uint8_t> target(bytes.size());
  TLoadTimes times;
  double copy = 0;
  for (auto _ : state) {
    LoadOnce(bytes, times);
    copy += CopyOnce(target, bytes);
  }
  const double pages = static_cast<double>(state.iterations());
  const double mb = static_cast<double>(bytes.size()) * pages / 1e6;
  state.counters["load_MB_per_s"] = mb / times.Load;
  state.counters["memcpy_MB_per_s"] = mb / copy;
  state.counters["ratio"] = times.Load / copy;
  state.counters["free_ms"] = times.Free * 1e3 / pages;
  std::printf(
      "page of %.2f MiB, %d commands: load %.1f MB/s, memcpy %.1f MB/s, ratio load/memcpy = %.1f;"
      " freeing the page %.1f ms\n",
      static_cast<double>(bytes.size()) / (1 << 20), times.Commands, mb / times.Load, mb / copy, times.Load / copy,
      times.Free * 1e3 / pages);
}

BENCHMARK(BM_PageLoad)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Ratio)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
