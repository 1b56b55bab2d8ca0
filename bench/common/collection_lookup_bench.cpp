// Name lookup in the named collections against std::unordered_map with the
// same folding hash and the same comparison, folding on every lookup on both
// sides. The last line reports the ratio of the two (below 1: the collection
// is faster).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/hash_collection.h"
#include "common/sjis.h"

namespace {

using namespace kest;

constexpr int kNames = 10000;

struct TFoldHash {
  size_t operator()(const std::string& s) const { return NameHash(s); }
};
struct TFoldEqual {
  bool operator()(const std::string& a, const std::string& b) const { return SameName(a, b); }
};
using TBaseline = std::unordered_map<std::string, int, TFoldHash, TFoldEqual>;

// Patterned file names, names with double-byte characters (some with a
// backslash or a letter as second byte), variable-like names, in mixed case.
std::vector<std::string> MakeNames() {
  std::vector<std::string> names;
  char buffer[64];
  for (int i = 0; names.size() < kNames; ++i) {
    switch (i % 4) {
      case 0: std::snprintf(buffer, sizeof buffer, "bg\\bg%04d.pxa", i / 4); break;
      case 1: std::snprintf(buffer, sizeof buffer, "Chara\\\x83\x5C\x83\x61%d_Face.PXA", i / 4); break;
      case 2: std::snprintf(buffer, sizeof buffer, "@Var\x82\xA0%d", i / 4); break;
      default: std::snprintf(buffer, sizeof buffer, "se\\Voice%05d.ogg", i * 7); break;
    }
    names.emplace_back(buffer);
  }
  return names;
}

// The lookups: every name once in random order, half of them in another case,
// and one in eight a name that is not there.
std::vector<std::string> MakeQueries(const std::vector<std::string>& names) {
  std::vector<std::string> queries;
  std::mt19937 random(42);
  for (size_t i = 0; i < names.size(); ++i) {
    std::string q = names[i];
    if (random() % 2) q = UpperName(q);
    if (random() % 8 == 0) q += "x";
    queries.push_back(q);
  }
  std::shuffle(queries.begin(), queries.end(), random);
  return queries;
}

struct TFixture {
  TFixture() : Names(MakeNames()), Queries(MakeQueries(Names)) {
    for (size_t i = 0; i < Names.size(); ++i) {
      Collection.AddNamed(Names[i]);
      Baseline.emplace(Names[i], static_cast<int>(i));
    }
  }
  std::vector<std::string> Names;
  std::vector<std::string> Queries;
  THashCollection Collection;
  TBaseline Baseline;
};

TFixture& Fixture() {
  static TFixture fixture;
  return fixture;
}

int64_t LookupCollection(const TFixture& f) {
  int64_t sum = 0;
  for (const std::string& q : f.Queries) sum += f.Collection.IndexOf(q);
  return sum;
}

int64_t LookupBaseline(const TFixture& f) {
  int64_t sum = 0;
  for (const std::string& q : f.Queries) {
    const auto it = f.Baseline.find(q);
    sum += it == f.Baseline.end() ? -1 : it->second;
  }
  return sum;
}

void BM_HashCollectionIndexOf(benchmark::State& state) {
  const TFixture& f = Fixture();
  for (auto _ : state) benchmark::DoNotOptimize(LookupCollection(f));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(f.Queries.size()));
}

void BM_UnorderedMapFind(benchmark::State& state) {
  const TFixture& f = Fixture();
  for (auto _ : state) benchmark::DoNotOptimize(LookupBaseline(f));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(f.Queries.size()));
}

// Both sides measured alternately in one run, so machine noise falls on both.
void BM_Ratio(benchmark::State& state) {
  const TFixture& f = Fixture();
  using TClock = std::chrono::steady_clock;
  double collection = 0;
  double baseline = 0;
  for (auto _ : state) {
    for (int round = 0; round < 20; ++round) {
      auto t0 = TClock::now();
      benchmark::DoNotOptimize(LookupCollection(f));
      auto t1 = TClock::now();
      benchmark::DoNotOptimize(LookupBaseline(f));
      auto t2 = TClock::now();
      collection += std::chrono::duration<double>(t1 - t0).count();
      baseline += std::chrono::duration<double>(t2 - t1).count();
    }
  }
  state.counters["ratio"] = collection / baseline;
  std::printf("ratio hash_collection/unordered_map = %.3f\n", collection / baseline);
}

BENCHMARK(BM_HashCollectionIndexOf);
BENCHMARK(BM_UnorderedMapFind);
BENCHMARK(BM_Ratio)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
