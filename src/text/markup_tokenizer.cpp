#include "text/markup_tokenizer.h"

#include <array>

#include "common/sjis.h"

namespace kest {

namespace {

constexpr std::array<std::string_view, 3> kOpeners = {"<!--", "<SCRIPT", "<STYLE"};
constexpr std::array<std::string_view, 3> kClosers = {"-->", "</SCRIPT>", "</STYLE>"};

bool StartsWithFolded(std::string_view text, size_t at, std::string_view word) {
  if (text.size() - at < word.size()) return false;
  for (size_t k = 0; k < word.size(); ++k)
    if (FoldByte(uint8_t(text[at + k])) != FoldByte(uint8_t(word[k]))) return false;
  return true;
}

bool TagStarts(std::string_view tag, std::string_view word) { return StartsWithFolded(tag, 0, word); }

// The bytes some rule looks at: brackets and the block closer's dash,
// escapes, line breaks, tabs, quotes and spaces.
constexpr std::array<bool, 256> kSpecial = [] {
  std::array<bool, 256> t{};
  for (char c : {'<', '>', '-', '\\', '\r', '\x14', '\t', '"', ' '}) t[uint8_t(c)] = true;
  return t;
}();

bool IsEscapable(char c) { return c == '"' || c == '%' || c == '<' || c == '>' || c == '\\' || c == '{' || c == '}'; }

}  // namespace

class TMarkupTokenizer {
 public:
  explicit TMarkupTokenizer(std::string_view text) : FText(text) {}

  TMarkupTokens Run() {
    FOut.FBytes.reserve(FText.size() + FText.size() / 8);
    while (FAt < FText.size()) Step();
    Emit();
    return std::move(FOut);
  }

 private:
  // The token being read is the end of the buffer after FStart.
  bool Empty() const { return FOut.FBytes.size() == FStart; }
  char Last() const { return FOut.FBytes.back(); }
  void Emit() {
    if (Empty()) return;
    FOut.FSpans.emplace_back(FStart, FOut.FBytes.size() - FStart);
    FStart = FOut.FBytes.size();
  }
  void Push(std::string_view token) {
    Emit();
    FOut.FBytes.append(token);
    Emit();
  }
  std::string_view LastToken() const { return FOut.FSpans.empty() ? std::string_view() : FOut[FOut.Count() - 1]; }

  // A double-byte character goes in whole, whatever its second byte.
  bool TakePair() {
    if (!IsLeadByte(uint8_t(FText[FAt])) || FAt + 1 >= FText.size()) return false;
    FOut.FBytes.append(FText.substr(FAt, 2));
    FAt += 2;
    return true;
  }

  bool Blocks() {
    const char b = FText[FAt];
    if (b == '<')
      for (std::string_view opener : kOpeners)
        if (StartsWithFolded(FText, FAt, opener)) {
          if (FComment == 0) Emit();
          FOut.FBytes.append(FText.substr(FAt, opener.size()));
          ++FComment;
          FAt += opener.size();
          return true;
        }
    if (b == '-' || b == '<')
      for (std::string_view closer : kClosers)
        if (StartsWithFolded(FText, FAt, closer)) {
          if (FComment > 0) --FComment;
          FOut.FBytes.append(FText.substr(FAt, closer.size()));
          if (FComment == 0) Emit();
          FAt += closer.size();
          return true;
        }
    return false;
  }

  void CloseTag() {
    FOut.FBytes += '>';
    const bool closing = FOut.FBytes.size() - FStart > 1 && FOut.FBytes[FStart + 1] == '/';
    if (closing && LastToken() == "<BR>") FOut.FSpans.pop_back();
    Emit();
    const std::string_view tag = LastToken();
    if (TagStarts(tag, "<PRE") && !FArea) FPre = true;
    if (TagStarts(tag, "</PRE")) FPre = false;
    if (TagStarts(tag, "<TEXTAREA") && !FPre) FArea = true;
    if (TagStarts(tag, "</TEXTAREA")) FArea = false;
    if (!closing && FAt + 1 < FText.size() && FText[FAt + 1] == '\r') ++FAt;
  }

  void LineBreak() {
    if (FDepth == 0 && (FPre || FArea)) {
      Emit();
      if (FPre) Push("<BR>");
    } else if (!Empty() && (FAt == 0 || FText[FAt - 1] != ' ')) {
      FOut.FBytes += ' ';
    }
  }

  // A run of bytes that no rule treats specially goes in at once.
  void Ordinary() {
    size_t end = FAt;
    while (end < FText.size() && !kSpecial[uint8_t(FText[end])])
      end += IsLeadByte(uint8_t(FText[end])) && end + 1 < FText.size() ? 2 : 1;
    FOut.FBytes.append(FText.substr(FAt, end - FAt));
    FAt = end;
  }

  void Step() {
    const char b = FText[FAt];
    if (FQuoted) {
      if (TakePair()) return;
      if (b != '\r' && b != '\n' && b != '\t') FOut.FBytes += b;
      if (b == '"') FQuoted = false;
      ++FAt;
      return;
    }
    if (FComment == 0 && !kSpecial[uint8_t(b)]) {
      Ordinary();
      return;
    }
    if (Blocks()) return;
    if (FComment > 0) {
      if (TakePair()) return;
      FOut.FBytes += b;
      if (b == '\r') FOut.FBytes += '\n';
      ++FAt;
      return;
    }
    if (TakePair()) return;
    const bool loose = FPre || FArea;
    switch (b) {
      case '<':
        if (FDepth == 0) Emit();
        FOut.FBytes += '<';
        ++FDepth;
        break;
      case '>':
        if (FDepth == 0) {
          FOut.FBytes += '>';
          break;
        }
        if (--FDepth == 0) {
          CloseTag();
        } else {
          FOut.FBytes += '>';
        }
        break;
      case '\\':
        if (FAt + 1 < FText.size() && IsEscapable(FText[FAt + 1])) {
          const char c = FText[++FAt];
          FOut.FBytes += c;
          if (c == '<' || c == '>') Emit();
        } else {
          FOut.FBytes += b;
        }
        break;
      case '\r': LineBreak(); break;
      case '\x14':
        if (loose || (!Empty() && Last() != ' ')) FOut.FBytes += ' ';
        break;
      case '\t':
        if (loose) FOut.FBytes.append(8, ' ');
        break;
      case '"':
        FQuoted = true;
        FOut.FBytes += b;
        break;
      default:
        if (b != ' ' || FDepth > 0 || Empty() || Last() != ' ') FOut.FBytes += b;
        break;
    }
    ++FAt;
  }

  std::string_view FText;
  size_t FAt = 0;
  TMarkupTokens FOut;
  size_t FStart = 0;
  int32_t FDepth = 0;
  int32_t FComment = 0;
  bool FQuoted = false;
  bool FPre = false;
  bool FArea = false;
};

std::vector<std::string> TMarkupTokens::Strings() const {
  std::vector<std::string> out;
  for (size_t i = 0; i < Count(); ++i) out.emplace_back((*this)[i]);
  return out;
}

TMarkupTokens TokenizeMarkup(std::string_view text) { return TMarkupTokenizer(text).Run(); }

}  // namespace kest
