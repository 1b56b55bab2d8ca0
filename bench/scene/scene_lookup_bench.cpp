// What every property command costs the scene: finding an object by name,
// and reading or writing one numbered property of it, over a scene of 2,000
// components. Each is set against a plain std::unordered_map lookup of the
// same names in the same run; the ratios are printed last (goal: 2 or less).
// Writes move controls, so they include the redraw bookkeeping.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "scene/kest_base_list.h"
#include "scene/property_access.h"

namespace {

using namespace kest;

constexpr int kComponents = 2000;
// The properties scripts touch most: geometry, visibility, text and events.
constexpr int32_t kIds[] = {PR_LEFT, PR_TOP, PR_VISIBLE, PR_PRIORITY, PR_COLOR, PR_ONLBTNUP, PR_TAG, PR_PAUSED};

struct TFixture {
  TFixture() {
    std::mt19937 random(7);
    std::vector<TKestControl*> controls;
    for (int i = 0; i < kComponents; ++i) {
      const TComponentKind kind = i % 10 == 9 ? LT_TIMER : (i % 3 == 0 ? LT_IMAGES : LT_BOX);
      TKestObject& object = *Scene.CreateByKind(kind);
      object.SetName("chara" + std::to_string(i * 7919 % 100000) + "_face");
      if (TKestControl* control = object.AsControl()) {
        control->SetParent(controls.empty() || random() % 4 == 0 ? &Scene.FrontBase()
                                                                 : controls[random() % controls.size()]);
        controls.push_back(control);
      }
      Plain.emplace(object.Name(), &object);
      Names.push_back(object.Name());
    }
    std::shuffle(Names.begin(), Names.end(), random);
    for (const std::string& name : Names) Objects.push_back(Scene.FindObject(name));
  }
  TKestBaseList Scene;
  std::unordered_map<std::string, TKestObject*> Plain;
  std::vector<std::string> Names;
  std::vector<TKestObject*> Objects;  // in the order of Names
};

TFixture& Fixture() {
  static TFixture fixture;
  return fixture;
}

int64_t FindAll(TFixture& f) {
  int64_t found = 0;
  for (const std::string& name : f.Names) found += f.Scene.FindObject(name) != nullptr;
  return found;
}

int64_t PlainAll(TFixture& f) {
  int64_t found = 0;
  for (const std::string& name : f.Names) found += f.Plain.find(name) != f.Plain.end();
  return found;
}

int64_t GetAll(TFixture& f) {
  int64_t sum = 0;
  size_t i = 0;
  for (TKestObject* object : f.Objects)
    sum += static_cast<int64_t>(ReadProperty(*object, kIds[i++ % std::size(kIds)]).index());
  return sum;
}

// Moves controls about, as a script does; the scene redraws what moved once
// per frame, so the dirty lists are emptied after each pass.
int64_t SetAll(TFixture& f) {
  int32_t i = 0;
  for (TKestObject* object : f.Objects) WriteProperty(*object, kIds[i % 2], i++ % 700);
  f.Scene.ClearDirtyLists();
  return i;
}

void BM_FindObject(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(FindAll(Fixture()));
  state.SetItemsProcessed(state.iterations() * kComponents);
}

void BM_UnorderedMapFind(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(PlainAll(Fixture()));
  state.SetItemsProcessed(state.iterations() * kComponents);
}

void BM_GetProperty(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(GetAll(Fixture()));
  state.SetItemsProcessed(state.iterations() * kComponents);
}

void BM_SetProperty(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(SetAll(Fixture()));
  state.SetItemsProcessed(state.iterations() * kComponents);
}

// Each side measured alternately with the plain lookup in one run, so machine
// noise falls on both.
template <int64_t (*Measured)(TFixture&)>
double Ratio() {
  using TClock = std::chrono::steady_clock;
  TFixture& f = Fixture();
  double measured = 0;
  double plain = 0;
  for (int round = 0; round < 200; ++round) {
    auto t0 = TClock::now();
    benchmark::DoNotOptimize(Measured(f));
    auto t1 = TClock::now();
    benchmark::DoNotOptimize(PlainAll(f));
    auto t2 = TClock::now();
    measured += std::chrono::duration<double>(t1 - t0).count();
    plain += std::chrono::duration<double>(t2 - t1).count();
  }
  return measured / plain;
}

void BM_Ratio(benchmark::State& state) {
  double find = 0;
  double get = 0;
  double set = 0;
  for (auto _ : state) {
    find = Ratio<FindAll>();
    get = Ratio<GetAll>();
    set = Ratio<SetAll>();
  }
  state.counters["find"] = find;
  state.counters["get"] = get;
  state.counters["set"] = set;
  std::printf("ratio to unordered_map: FindObject %.2f, GetProperty %.2f, SetProperty %.2f\n", find, get, set);
}

BENCHMARK(BM_FindObject);
BENCHMARK(BM_UnorderedMapFind);
BENCHMARK(BM_GetProperty);
BENCHMARK(BM_SetProperty);
BENCHMARK(BM_Ratio)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
