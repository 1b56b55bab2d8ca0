// Glyph streams on any bytes: an error is fine, a crash, a hang or a huge
// allocation is not. What reads is written in the current layout, read back
// and written again, and both writes must agree byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "common/errors.h"
#include "common/stream.h"
#include "text/glyph_stream.h"
#include "text/tp_word.h"

namespace {

std::vector<uint8_t> Rewrite(std::span<const uint8_t> bytes, kest::TTpWord& word) {
  kest::TByteStream in{bytes};
  kest::ReadGlyphStream(in, word);
  kest::TByteStream out;
  kest::WriteGlyphStream(out, word);
  return out.TakeBytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kest;
  TTpWord first;
  std::vector<uint8_t> written;
  try {
    written = Rewrite(std::span<const uint8_t>(data, size), first);
  } catch (const EKestError&) {
    return 0;
  }
  TTpWord second;
  if (Rewrite(written, second) != written) std::abort();
  // The old layouts compile expression texts on the way out; they must read
  // back as just as many glyphs.
  for (int32_t version : {0, 101}) {
    TByteStream old;
    WriteGlyphStream(old, first, version);
    TByteStream in{std::span<const uint8_t>(old.Bytes())};
    TTpWord third;
    ReadGlyphStream(in, third);
    if (third.Count() != second.Count()) std::abort();
  }
  return 0;
}
