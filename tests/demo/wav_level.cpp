// wav_level FILE FROM TO MIN_DBFS: the loudness of each whole second from
// FROM to TO (seconds) of a 44100 Hz 16-bit stereo WAV file the player wrote,
// as RMS in dBFS. Fails when a second is quieter than MIN_DBFS, when samples
// stay at full scale for a run (clipping), or when the file is not complete.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
// Three samples in a row at full scale are clipped, not a peak.
constexpr int kClipRun = 3;

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= uint32_t{b[at + i]} << (8 * i);
  return v;
}

double Dbfs(double rms) { return rms > 0 ? 20 * std::log10(rms / 32768.0) : -200.0; }

// The samples of the file, interleaved; empty with `why` set when it is not
// a complete PCM WAV file of the player's format.
std::vector<int16_t> ReadWav(const char* path, std::string* why) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (b.size() < 44 || std::memcmp(&b[0], "RIFF", 4) != 0 || std::memcmp(&b[8], "WAVE", 4) != 0) {
    *why = "not a WAV file";
    return {};
  }
  if (Le(b, 4, 4) != b.size() - 8) {
    *why = "the RIFF length does not match the file: it was not completed";
    return {};
  }
  bool format = false;
  for (size_t at = 12; at + 8 <= b.size();) {
    const uint32_t size = Le(b, at + 4, 4);
    if (std::memcmp(&b[at], "fmt ", 4) == 0 && size >= 16) {
      format = Le(b, at + 8, 2) == 1 && Le(b, at + 10, 2) == 2 && Le(b, at + 12, 4) == kRate && Le(b, at + 22, 2) == 16;
    } else if (std::memcmp(&b[at], "data", 4) == 0) {
      if (!format) break;
      if (at + 8 + size != b.size()) {
        *why = "the data length does not match the file: it was not completed";
        return {};
      }
      std::vector<int16_t> samples(size / 2);
      for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>(Le(b, at + 8 + 2 * i, 2));
      return samples;
    }
    at += 8 + size + (size & 1);
  }
  *why = "no 44100 Hz 16-bit stereo PCM data";
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: wav_level FILE FROM TO MIN_DBFS\n");
    return 2;
  }
  std::string why;
  const std::vector<int16_t> samples = ReadWav(argv[1], &why);
  if (samples.empty()) {
    std::printf("FAIL: %s: %s\n", argv[1], why.empty() ? "no sound" : why.c_str());
    return 1;
  }
  const int from = std::atoi(argv[2]), to = std::atoi(argv[3]);
  const double floor = std::atof(argv[4]);
  const size_t frames = samples.size() / 2;
  std::printf("%s: %.3f s\n", argv[1], double(frames) / kRate);
  int failures = 0;
  for (int second = from; second < to; ++second) {
    const size_t first = size_t(second) * kRate * 2, last = size_t(second + 1) * kRate * 2;
    if (last > samples.size()) {
      std::printf("FAIL: second %d is past the end\n", second);
      ++failures;
      break;
    }
    double sum = 0;
    for (size_t i = first; i < last; ++i) sum += double(samples[i]) * samples[i];
    const double level = Dbfs(std::sqrt(sum / double(last - first)));
    const bool quiet = level < floor;
    std::printf("second %2d: %6.1f dBFS%s\n", second, level, quiet ? "  (too quiet)" : "");
    failures += quiet;
  }
  int peak = 0, longest = 0;
  for (int channel = 0; channel < 2; ++channel)
    for (size_t i = channel, run = 0; i < samples.size(); i += 2) {
      const int magnitude = std::abs(int{samples[i]});
      peak = std::max(peak, magnitude);
      run = magnitude >= 32767 ? run + 1 : 0;
      longest = std::max(longest, int(run));
    }
  std::printf("peak %.1f dBFS, longest run at full scale %d samples\n", Dbfs(peak), longest);
  if (longest >= kClipRun) {
    std::printf("FAIL: the sound clips\n");
    ++failures;
  }
  return failures > 0;
}
