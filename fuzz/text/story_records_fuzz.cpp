// The stored story records on any bytes: the history formats of a saved game,
// a message window's history data and the read marks of the status record.
// The first byte picks the record version. An error is fine, a crash, a hang
// or a huge allocation is not; what loads is written in the newest layout,
// and that must read back and write again byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/stream.h"
#include "text/history/history_formats.h"
#include "text/history/mes_data.h"
#include "text/history/read_list.h"
#include "text/history/story_pages.h"
#include "text/var_evaluator.h"

namespace {

using namespace kest;

constexpr int32_t kVersions[] = {100, 110, 112, 113, 120, 123, 124, 130, 134, 135, 140};
constexpr int32_t kNewest = 140;

struct TNoPages final : IStoryPages {
  bool Exists(const std::string&) override { return false; }
  std::optional<std::vector<uint8_t>> TextCommand(const std::string&, int32_t) override { return std::nullopt; }
};

struct TNoVars final : IVarEvaluator {
  std::optional<std::string> EvaluateText(std::string_view) override { return std::nullopt; }
  std::optional<std::string> EvaluateCompiled(TKestParser&) override { return std::nullopt; }
};

template <class TLoad, class TSave>
void RoundTrip(TByteStream& in, int32_t version, TLoad load, TSave save) {
  try {
    load(in, version);
  } catch (const EKestError&) {
    return;
  }
  TByteStream first;
  save(first);
  TByteStream again{std::span<const uint8_t>(first.Bytes())};
  load(again, kNewest);
  TByteStream second;
  save(second);
  if (first.Bytes() != second.Bytes()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int32_t version = kVersions[data[0] % std::size(kVersions)];
  TByteStream in{std::span<const uint8_t>(data + 1, size - 1)};
  TNoPages pages;
  TNoVars vars;
  TKestHistoryFormatManager formats(pages, vars);
  RoundTrip(
      in, version, [&](TStream& s, int32_t v) { formats.LoadFromStream(s, v); },
      [&](TStream& s) { formats.SaveToStream(s); });
  TKestNewMesData shown;
  RoundTrip(
      in, version, [&](TStream& s, int32_t v) { shown.LoadFromStream(s, v); },
      [&](TStream& s) { shown.SaveToStream(s); });
  TKestReadList marks;
  RoundTrip(
      in, version, [&](TStream& s, int32_t v) { marks.LoadFromStream(s, v); },
      [&](TStream& s) { marks.SaveToStream(s); });
  return 0;
}
