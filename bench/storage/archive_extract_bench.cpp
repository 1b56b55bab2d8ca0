// Extracting every entry of a 200 MiB archive (stored sounds and compressed
// text-like files) against the work it cannot avoid: inflating the same zlib
// streams straight from memory, and reading the stored bytes with read(2).
// The archive is made in a private temporary folder when the run starts and
// removed at its end. The last lines report the ratios (1 means no overhead).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "storage/big_file_stream.h"
#include "storage/big_memory_stream.h"
#include "storage/vr_file_collection.h"

namespace {

using namespace kest;
using TClock = std::chrono::steady_clock;

constexpr int kStoredEntries = 16;
constexpr size_t kStoredSize = 6 << 20;
constexpr int kCompressedEntries = 86;
constexpr size_t kCompressedSize = 4 << 20;

std::vector<uint8_t> Noise(size_t size, uint32_t seed) {
  std::vector<uint8_t> bytes(size);
  uint32_t x = seed * 2654435761u + 1;
  for (auto& b : bytes) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<uint8_t>(x);
  }
  return bytes;
}

// Words drawn from a small vocabulary: about 3 to 1 at the fastest level.
std::vector<uint8_t> Prose(size_t size, uint32_t seed) {
  static const char* const kWords[] = {
      "the ",  "window ", "shows ",   "a ",        "line ",     "of ",     "text ",   "and ",
      "then ", "waits ",  "for ",     "the ",      "click ",    "before ", "moving ", "on.\n",
      "Mei ",  "says: ",  "\x82\xA0", "\x82\xA2 ", "\x94\x4E ", "42 ",     "sound ",  "fade "};
  std::vector<uint8_t> bytes;
  bytes.reserve(size + 16);
  uint32_t x = seed * 2654435761u + 7;
  while (bytes.size() < size) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    const std::string_view w = kWords[x % std::size(kWords)];
    bytes.insert(bytes.end(), w.begin(), w.end());
    if (x % 11 == 0) bytes.push_back(static_cast<uint8_t>('0' + x % 10));
  }
  bytes.resize(size);
  return bytes;
}

struct TEntryInfo {
  std::string Name;
  int64_t Offset;
  int64_t Size;
  bool Stored;
  int64_t PlainSize;
};

struct TFixture {
  TFixture() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kest_bench_XXXXXX").string();
    Dir = mkdtemp(pattern.data());
    Path = Dir + "/bench.dat";
    Write();
    Archive.Open(Path);
    for (int32_t i = 0; i < Archive.Count(); ++i) {
      const TVrFile& e = *Archive[i];
      Entries.push_back({e.Name(), e.Offset, e.Size, e.Stored, 0});
    }
    LoadPacked();
  }
  ~TFixture() {
    std::error_code error;
    std::filesystem::remove_all(Dir, error);
  }

  void Write() {
    TVrFileCollection writer;
    std::vector<std::vector<uint8_t>> noise, prose;
    for (uint32_t i = 0; i < 4; ++i) noise.push_back(Noise(kStoredSize, i + 1));
    for (uint32_t i = 0; i < 8; ++i) prose.push_back(Prose(kCompressedSize - i * 4096, i + 1));
    for (int i = 0; i < kStoredEntries + kCompressedEntries; ++i) {
      const bool stored = i % 5 == 0 && i / 5 < kStoredEntries;
      const auto& bytes =
          stored ? noise[static_cast<size_t>(i) % noise.size()] : prose[static_cast<size_t>(i) % prose.size()];
      writer.AddMemoryFile((stored ? "bgm\\track" : "scene\\page") + std::to_string(i) + (stored ? ".ogg" : ".ksb"))
          ->Content = std::make_unique<TTpMemoryStream>(bytes);
    }
    TTpBigFileStream out(Path, big_file_mode::kCreate);
    writer.WriteArchive(out);
    ArchiveSize = out.Size();
  }

  // The zlib streams in memory, and their inflated sizes, for the baseline.
  void LoadPacked() {
    TTpBigFileStream file(Path, big_file_mode::kOpenRead);
    for (TEntryInfo& e : Entries) {
      if (e.Stored) {
        MaxStored = std::max(MaxStored, e.Size);
        continue;
      }
      std::vector<uint8_t> packed(static_cast<size_t>(e.Size));
      file.Seek(e.Offset);
      file.Read(packed.data(), e.Size);
      TTpBigMemoryStream plain;
      Archive.Extract(plain, e.Name);
      e.PlainSize = plain.Size();
      MaxPlain = std::max(MaxPlain, e.PlainSize);
      Packed.push_back(std::move(packed));
    }
  }

  std::string Dir;
  std::string Path;
  int64_t ArchiveSize = 0;
  int64_t MaxStored = 0;
  int64_t MaxPlain = 0;
  TVrFileCollection Archive;
  std::vector<TEntryInfo> Entries;
  std::vector<std::vector<uint8_t>> Packed;
};

TFixture& Fixture() {
  static TFixture fixture;
  return fixture;
}

double Seconds(TClock::time_point a, TClock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

// Our side, split by kind of entry.
void ExtractAll(TFixture& f, TTpBigMemoryStream& target, double& compressed, double& stored) {
  for (const TEntryInfo& e : f.Entries) {
    const auto t0 = TClock::now();
    f.Archive.Extract(target, e.Name);
    benchmark::DoNotOptimize(target.Data().data());
    (e.Stored ? stored : compressed) += Seconds(t0, TClock::now());
  }
}

double InflateAll(TFixture& f, std::vector<uint8_t>& buffer) {
  const auto t0 = TClock::now();
  size_t k = 0;
  for (const TEntryInfo& e : f.Entries) {
    if (e.Stored) continue;
    uLongf size = static_cast<uLongf>(buffer.size());
    const auto& packed = f.Packed[k++];
    if (uncompress(buffer.data(), &size, packed.data(), static_cast<uLong>(packed.size())) != Z_OK) std::abort();
    benchmark::DoNotOptimize(buffer.data());
  }
  return Seconds(t0, TClock::now());
}

double ReadStored(TFixture& f, std::vector<uint8_t>& buffer) {
  const int fd = open(f.Path.c_str(), O_RDONLY);
  const auto t0 = TClock::now();
  for (const TEntryInfo& e : f.Entries) {
    if (!e.Stored) continue;
    lseek(fd, e.Offset, SEEK_SET);
    if (read(fd, buffer.data(), static_cast<size_t>(e.Size)) != e.Size) std::abort();
    benchmark::DoNotOptimize(buffer.data());
  }
  const double s = Seconds(t0, TClock::now());
  close(fd);
  return s;
}

void BM_ExtractEveryEntry(benchmark::State& state) {
  TFixture& f = Fixture();
  TTpBigMemoryStream target;
  double compressed = 0, stored = 0;
  for (auto _ : state) ExtractAll(f, target, compressed, stored);
  state.SetBytesProcessed(state.iterations() * f.ArchiveSize);
}

void BM_InflateFromMemoryPlusRead(benchmark::State& state) {
  TFixture& f = Fixture();
  std::vector<uint8_t> plain(static_cast<size_t>(f.MaxPlain)), raw(static_cast<size_t>(f.MaxStored));
  for (auto _ : state) {
    InflateAll(f, plain);
    ReadStored(f, raw);
  }
  state.SetBytesProcessed(state.iterations() * f.ArchiveSize);
}

// Both sides alternately in one run, so machine noise falls on both.
void BM_Ratio(benchmark::State& state) {
  TFixture& f = Fixture();
  TTpBigMemoryStream target;
  std::vector<uint8_t> plain(static_cast<size_t>(f.MaxPlain)), raw(static_cast<size_t>(f.MaxStored));
  double ours_compressed = 0, ours_stored = 0, inflate = 0, read = 0;
  for (auto _ : state) {
    ExtractAll(f, target, ours_compressed, ours_stored);
    inflate += InflateAll(f, plain);
    read += ReadStored(f, raw);
  }
  const double total = (ours_compressed + ours_stored) / (inflate + read);
  state.counters["ratio"] = total;
  std::printf("archive of %.0f MiB, %zu entries\n", static_cast<double>(f.ArchiveSize) / (1 << 20), f.Entries.size());
  std::printf("ratio extract(compressed)/inflate-from-memory = %.3f\n", ours_compressed / inflate);
  std::printf("ratio extract(stored)/read(2) = %.3f\n", ours_stored / read);
  std::printf("ratio extract(all)/(inflate + read) = %.3f (target at most 1.100)\n", total);
}

BENCHMARK(BM_ExtractEveryEntry)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_InflateFromMemoryPlusRead)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Ratio)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
