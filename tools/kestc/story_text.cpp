#include "kestc/story_text.h"

#include <span>
#include <vector>

#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "kestc/diagnostics.h"
#include "text/glyph_stream.h"
#include "text/markup_tag.h"
#include "text/markup_tokenizer.h"
#include "text/markup_writer.h"
#include "text/tp_word.h"

namespace kest::kestc {

namespace {

int32_t Cp932CharCount(std::string_view cp932) {
  int32_t count = 0;
  for (size_t i = 0; i < cp932.size(); ++count) i += IsLeadByte(uint8_t(cp932[i])) ? 2 : 1;
  return count;
}

// The one error a parse raises is an A tag without HREF: the column of the
// first such tag, when the text holds it as the tokenizer gave it.
int32_t ErrorColumn(std::string_view cp932, int32_t column) {
  const TMarkupTokens tokens = TokenizeMarkup(cp932);
  for (size_t i = 0; i < tokens.Count(); ++i) {
    if (!IsTagToken(tokens[i])) continue;
    const TTag tag = ParseTag(tokens[i]);
    if (!tag.Is("A") || !tag.Str("HREF").empty()) continue;
    const size_t at = cp932.find(tokens[i]);
    return at == std::string_view::npos ? column : column + Cp932CharCount(cp932.substr(0, at));
  }
  return column;
}

bool HasControl(std::string_view s) {
  for (char c : s)
    if (static_cast<uint8_t>(c) < 0x20 || c == 0x7F) return true;
  return false;
}

}  // namespace

std::string CompileMarkup(std::string_view cp932, int32_t column) {
  TTpWord word;
  word.TextDelay = kCompileTextDelay;
  try {
    word.SetMarkup(cp932);
  } catch (const EKestError& error) {
    throw ESourceError(ErrorColumn(cp932, column), Cp932ToUtf8(error.what()));
  }
  TByteStream stream;
  WriteGlyphStream(stream, word);
  const std::vector<uint8_t> bytes = stream.TakeBytes();
  return std::string(bytes.begin(), bytes.end());
}

std::optional<std::string> MarkupSource(std::string_view stream) {
  TByteStream in{std::span(reinterpret_cast<const uint8_t*>(stream.data()), stream.size())};
  TTpWord word;
  word.TextDelay = kCompileTextDelay;
  try {
    ReadGlyphStream(in, word);
  } catch (const EKestError&) {
    return std::nullopt;
  }
  if (in.Remaining() != 0) return std::nullopt;
  const std::optional<std::string> markup = WriteMarkup(word);
  if (!markup) return std::nullopt;
  std::optional<std::string> utf8 = Cp932ToUtf8Strict(*markup);
  if (!utf8 || Utf8ToCp932Strict(*utf8) != *markup || HasControl(*utf8)) return std::nullopt;
  try {
    if (CompileMarkup(*markup, 1) != stream) return std::nullopt;
  } catch (const ESourceError&) {
    return std::nullopt;
  }
  return utf8;
}

}  // namespace kest::kestc
