// The interpreter's dispatch and calculation speed: one tick running a loop
// of a million "i = i + 1" Calc commands (continue set), through While and
// WhileLoop as the compiler lays loops out, and the same loop in Lua 5.4 on a
// global variable. Both report ns per executed command; the ratio is printed.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/app_globals.h"
#include "language/build_kest_parser.h"
#include "language/param_collection.h"
#include "language/param_types.h"
#include "language/sys_func_man.h"
#include "script/call_man.h"
#include "script/command.h"
#include "script/command_factory.h"
#include "script/page.h"
#include "storage/vr_file_manager.h"

#ifdef KEST_BENCH_LUA
#include <lua.hpp>
#endif

namespace {

using namespace kest;

constexpr int kLoops = 1000000;
// While, Calc and WhileLoop run once per pass.
constexpr double kCommandsPerPass = 3;

double g_kest_ns = 0;
double g_lua_ns = 0;

TCommand& Add(TPage& page, uint8_t id, const char* field, const std::string& text, int32_t indent) {
  TCommand& c = page.Commands().Add(CreateCommand(page.Commands(), id));
  c.Indent = indent;
  c.Continue = true;
  if (field) c.Field(field).Expr = TBuildKestParser::Compile(text);
  return c;
}

std::string WriteLoopPage() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kest_bench_XXXXXX").string();
  std::string dir = mkdtemp(pattern.data());
  TPage page;
  page.Version = 116;
  Add(page, ciWhileInit, "init", "i = 0", 0);
  Add(page, ciWhile, "cond", "i < " + std::to_string(kLoops), 0).Field("exit").Int = 4;
  Add(page, ciCalc, "expr", "i = i + 1", 1);
  Add(page, ciWhileLoop, nullptr, "", 0).Field("loop").Int = 1;
  TByteStream out;
  page.SaveToStream(out);
  std::ofstream(dir + "/start.ksb", std::ios::binary)
      .write(reinterpret_cast<const char*>(out.Data().data()), static_cast<std::streamsize>(out.Data().size()));
  return dir;
}

void KestLoop(benchmark::State& state) {
  const std::string dir = WriteLoopPage();
  TVrFileManager files;
  files.SetBaseFolder(dir);
  TParamCollection vars;
  vars.CreateVar("i", PT_INT, PS_GLOBAL);
  TSysFuncMan funcs;
  TCallManParts parts;
  parts.Files = &files;
  parts.Vars = &vars;
  parts.Funcs = &funcs;
  TCallMan man(std::move(parts));
  AppTerminating = false;
  for (auto _ : state) {
    man.LoadStartPage("start.ksb");
    man.RunTick();
  }
  if (vars.FindVar("i")->Value()->GetAsInt() != kLoops) state.SkipWithError("the loop did not run to its end");
  std::filesystem::remove_all(dir);
  const double commands = kLoops * kCommandsPerPass * static_cast<double>(state.iterations());
  state.counters["ns_per_command"] =
      benchmark::Counter(commands, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetItemsProcessed(static_cast<int64_t>(commands));
}
BENCHMARK(KestLoop)->Unit(benchmark::kMillisecond);

#ifdef KEST_BENCH_LUA
void LuaLoop(benchmark::State& state) {
  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  const std::string chunk = "i = 0 while i < " + std::to_string(kLoops) + " do i = i + 1 end";
  if (luaL_loadstring(L, chunk.c_str()) != LUA_OK) {
    state.SkipWithError(lua_tostring(L, -1));
    lua_close(L);
    return;
  }
  for (auto _ : state) {
    lua_pushvalue(L, -1);
    if (lua_pcall(L, 0, 0, 0) != LUA_OK) {
      state.SkipWithError(lua_tostring(L, -1));
      break;
    }
  }
  lua_close(L);
  // A Lua pass is the comparison, the increment and the jump back.
  const double commands = kLoops * kCommandsPerPass * static_cast<double>(state.iterations());
  state.counters["ns_per_command"] =
      benchmark::Counter(commands, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetItemsProcessed(static_cast<int64_t>(commands));
}
BENCHMARK(LuaLoop)->Unit(benchmark::kMillisecond);
#endif

// Prints the two per-command times and their ratio after the runs.
class TRatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      auto it = run.counters.find("ns_per_command");
      if (it == run.counters.end()) continue;
      const double ns = it->second.value * 1e9;
      if (run.benchmark_name().rfind("KestLoop", 0) == 0) g_kest_ns = ns;
      if (run.benchmark_name().rfind("LuaLoop", 0) == 0) g_lua_ns = ns;
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    if (g_kest_ns > 0) std::printf("kest: %.1f ns per command\n", g_kest_ns);
    if (g_lua_ns > 0) std::printf("lua5.4: %.1f ns per loop step\n", g_lua_ns);
    if (g_kest_ns > 0 && g_lua_ns > 0) std::printf("ratio kest/lua = %.2f\n", g_kest_ns / g_lua_ns);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
