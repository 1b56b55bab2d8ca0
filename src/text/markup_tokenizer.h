#pragma once
// Splits markup into tokens: tags (from "<" to the matching ">"), runs of
// text, and comment, SCRIPT and STYLE blocks kept whole. Spaces collapse,
// line breaks become spaces (or <BR> tokens inside PRE), backslash escapes
// make the next byte ordinary. The walk goes by character, so the trail
// byte of a double-byte character is never taken for a backslash, bracket
// or quote.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kest {

// The tokens laid end to end in one buffer, so a long text costs no
// allocation per token.
class TMarkupTokens {
 public:
  size_t Count() const { return FSpans.size(); }
  std::string_view operator[](size_t i) const {
    return std::string_view(FBytes).substr(FSpans[i].first, FSpans[i].second);
  }
  std::vector<std::string> Strings() const;

 private:
  friend class TMarkupTokenizer;
  std::string FBytes;
  std::vector<std::pair<size_t, size_t>> FSpans;  // offset, length
};

TMarkupTokens TokenizeMarkup(std::string_view text);

}  // namespace kest
