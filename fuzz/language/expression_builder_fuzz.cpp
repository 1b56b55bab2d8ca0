// Builds arbitrary text as an expression. Text the builder refuses must end
// in its own errors; what builds must load, run and decompile like any record.
#include <string>

#include "expression_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kest;
  const std::string text(reinterpret_cast<const char*>(data), size);
  TKestParser parser;
  try {
    parser = TBuildKestParser::Compile(text);
  } catch (const EKestError&) {
    return 0;
  }
  fuzz::Exercise(parser);
  return 0;
}
