// Markup on any bytes: parsing never fails but with the missing-HREF error.
// What parses is written back as markup when it can be, and that markup
// parses to the same glyph stream; expanding every variable and removing
// the expansions again leaves the stream as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/errors.h"
#include "common/stream.h"
#include "text/glyph_stream.h"
#include "text/markup_writer.h"
#include "text/tp_word.h"
#include "text/var_evaluator.h"

namespace {

using namespace kest;

// Every expression gives its own text, line breaks and all.
class TEchoEvaluator : public IVarEvaluator {
 public:
  std::optional<std::string> EvaluateText(std::string_view text) override { return std::string(text) + "\r\n"; }
  std::optional<std::string> EvaluateCompiled(TKestParser&) override { return std::nullopt; }
};

std::vector<uint8_t> Stream(const TTpWord& word) {
  TByteStream out;
  WriteGlyphStream(out, word);
  return out.TakeBytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TTpWord first;
  try {
    first.SetMarkup(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const EKestError&) {
    return 0;
  }
  const std::vector<uint8_t> stored = Stream(first);
  if (const std::optional<std::string> markup = WriteMarkup(first)) {
    TTpWord second;
    second.SetMarkup(*markup);
    if (Stream(second) != stored) std::abort();
  }
  TEchoEvaluator echo;
  first.ExpandVariables(0, first.Count() - 1, true, echo);
  first.RemoveExpansions(0, first.Count() - 1);
  if (Stream(first) != stored) std::abort();
  return 0;
}
