// Reads expression records out of arbitrary bytes. A damaged record must end
// in EReadError; whatever loads must write back to a record that loads to the
// same bytes, and must run without crashing or leaving temporaries behind.
#include <span>

#include "expression_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kest;
  TByteStream in{std::span<const uint8_t>(data, size)};
  TKestParser parser;
  try {
    parser.LoadFromStream(in);
  } catch (const EReadError&) {
    return 0;
  }
  fuzz::Exercise(parser);
  return 0;
}
