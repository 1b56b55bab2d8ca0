// Compiled expressions run from their records against the variable store, in
// loops of kBatch evaluations: "i = i + 1", and a mixed body that joins a
// digit to a string (kept short) and counts. When Lua 5.4 is available, the
// same loops run as Lua code on global variables, the nearest peer (its
// globals are hashed names too), and the ratio of the two is printed.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "language/build_kest_parser.h"
#include "language/param_collection.h"
#include "language/sys_func_man.h"

#ifdef KEST_BENCH_LUA
#include <lua.hpp>
#endif

namespace {

using namespace kest;

constexpr int kBatch = 1000;
constexpr int kResetEvery = 32;

// Goes through the record form, as the player loads stored expressions.
TKestParser FromRecord(std::string_view text) { return TBuildKestParser::Compile(text); }

void PerOp(benchmark::State& state) {
  state.counters["s_per_op"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBatch,
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void KestIncrement(benchmark::State& state) {
  TParamCollection store;
  TSysFuncMan funcs;
  TCustomParam& i = *store.CreateVar("i", PT_INT, PS_GLOBAL).Item->Value();
  TKestParser inc = FromRecord("i = i + 1");
  for (auto _ : state) {
    for (int k = 0; k < kBatch; ++k) inc.Execute(store, funcs);
  }
  benchmark::DoNotOptimize(i.GetAsInt());
  PerOp(state);
}
BENCHMARK(KestIncrement);

void KestMixed(benchmark::State& state) {
  TParamCollection store;
  TSysFuncMan funcs;
  store.CreateVar("i", PT_INT, PS_GLOBAL);
  TCustomParam& s = *store.CreateVar("s", PT_STR, PS_GLOBAL).Item->Value();
  TKestParser join = FromRecord("s = s ++ IntToStr(i % 7)");
  TKestParser inc = FromRecord("i = i + 1");
  for (auto _ : state) {
    for (int k = 1; k <= kBatch; ++k) {
      join.Execute(store, funcs);
      inc.Execute(store, funcs);
      if (k % kResetEvery == 0) s.SetAsStr({});
    }
  }
  benchmark::DoNotOptimize(s.GetAsStr());
  PerOp(state);
}
BENCHMARK(KestMixed);

#ifdef KEST_BENCH_LUA
void LuaLoop(benchmark::State& state, const char* chunk) {
  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  lua_pushinteger(L, 0);
  lua_setglobal(L, "i");
  lua_pushstring(L, "");
  lua_setglobal(L, "s");
  if (luaL_loadstring(L, chunk) != LUA_OK) {
    state.SkipWithError(lua_tostring(L, -1));
    lua_close(L);
    return;
  }
  for (auto _ : state) {
    lua_pushvalue(L, -1);
    lua_pushinteger(L, kBatch);
    lua_pushinteger(L, kResetEvery);
    if (lua_pcall(L, 2, 0, 0) != LUA_OK) {
      state.SkipWithError(lua_tostring(L, -1));
      break;
    }
  }
  lua_close(L);
  PerOp(state);
}

void LuaIncrement(benchmark::State& state) { LuaLoop(state, "local n = ... for k = 1, n do i = i + 1 end"); }
BENCHMARK(LuaIncrement);

void LuaMixed(benchmark::State& state) {
  LuaLoop(state,
          "local n, every = ... for k = 1, n do s = s .. tostring(i % 7); i = i + 1; "
          "if k % every == 0 then s = '' end end");
}
BENCHMARK(LuaMixed);
#endif

// Keeps each run's time per operation to compare ours with Lua's.
class TRatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const auto it = run.counters.find("s_per_op");
      if (it != run.counters.end()) PerOpNs[run.benchmark_name()] = it->second.value * 1e9;
    }
  }
  std::map<std::string, double> PerOpNs;
};

void PrintRatio(const TRatioReporter& r, const char* ours, const char* lua) {
  const auto a = r.PerOpNs.find(ours);
  if (a == r.PerOpNs.end()) return;
  const auto b = r.PerOpNs.find(lua);
  if (b == r.PerOpNs.end()) {
    std::printf("%-14s %8.1f ns per operation (Lua 5.4 not built in)\n", ours, a->second);
    return;
  }
  std::printf("%-14s %8.1f ns per operation; Lua 5.4 %8.1f ns; ratio %.2f\n", ours, a->second, b->second,
              a->second / b->second);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintRatio(reporter, "KestIncrement", "LuaIncrement");
  PrintRatio(reporter, "KestMixed", "LuaMixed");
  benchmark::Shutdown();
  return 0;
}
