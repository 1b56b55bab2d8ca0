// Markup to glyphs: tokens become characters with the state the tags before
// them built (TTagValList), or change that state, or add operation glyphs.
#include <unordered_map>

#include "common/errors.h"
#include "common/sjis.h"
#include "text/markup_tag.h"
#include "text/markup_tokenizer.h"
#include "text/tp_word.h"

namespace kest {

namespace {

// "<A>タグにHREF値がありません" in CP932.
constexpr std::string_view kNoHref = "<A>\x83^\x83O\x82\xC9HREF\x92l\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1";

// A stack that answers its first value when empty.
template <class T>
class TValStack {
 public:
  explicit TValStack(T initial) : FInitial(std::move(initial)) {}
  const T& Top() const { return FItems.empty() ? FInitial : FItems.back(); }
  void Push(T value) { FItems.push_back(std::move(value)); }
  void Pop() {
    if (!FItems.empty()) FItems.pop_back();
  }

 private:
  T FInitial;
  std::vector<T> FItems;
};

// The parse state.
struct TTagValList {
  explicit TTagValList(int32_t wait) : Wait(wait) {}

  TValStack<int32_t> FontSize{0}, FontColor{-1}, BorderColor{-1}, ShadowColor{-1}, BorderWidth{-1}, ShadowOffset{-1};
  TValStack<std::string> FontName{std::string()};
  uint8_t Style = 0;
  bool NoBreak = false;
  std::string Ruby, Link;
  TValStack<uint8_t> Align{taLeft};
  TValStack<int32_t> Wait;

  TDecorateValues Decoration() const {
    TDecorateValues v;
    v.FontColor = FontColor.Top();
    v.BorderColor = BorderColor.Top();
    v.ShadowColor = ShadowColor.Top();
    v.FontSize = FontSize.Top();
    v.Style = Style;
    v.FontName = FontName.Top();
    v.NoBreak = NoBreak;
    v.Ruby = Ruby;
    v.BorderWidth = BorderWidth.Top();
    v.ShadowOffset = ShadowOffset.Top();
    return v;
  }
};

enum class TTagId {
  A,
  EndA,
  B,
  EndB,
  I,
  EndI,
  U,
  EndU,
  S,
  EndS,
  Font,
  EndFont,
  NoBr,
  EndNoBr,
  Ruby,
  EndRuby,
  Div,
  EndDiv,
  Indent,
  Undent,
  Br,
  Clear,
  Event,
  Wait,
  EndWait,
  Var,
  Img,
  HistChar,
};

const std::unordered_map<std::string, TTagId>& TagIds() {
  static const std::unordered_map<std::string, TTagId> ids = {
      {"A", TTagId::A},           {"/A", TTagId::EndA},
      {"B", TTagId::B},           {"/B", TTagId::EndB},
      {"I", TTagId::I},           {"/I", TTagId::EndI},
      {"U", TTagId::U},           {"/U", TTagId::EndU},
      {"S", TTagId::S},           {"/S", TTagId::EndS},
      {"FONT", TTagId::Font},     {"/FONT", TTagId::EndFont},
      {"NOBR", TTagId::NoBr},     {"/NOBR", TTagId::EndNoBr},
      {"RUBY", TTagId::Ruby},     {"/RUBY", TTagId::EndRuby},
      {"DIV", TTagId::Div},       {"/DIV", TTagId::EndDiv},
      {"INDENT", TTagId::Indent}, {"UNDENT", TTagId::Undent},
      {"BR", TTagId::Br},         {"CLEAR", TTagId::Clear},
      {"EVENT", TTagId::Event},   {"WAIT", TTagId::Wait},
      {"/WAIT", TTagId::EndWait}, {"VAR", TTagId::Var},
      {"IMG", TTagId::Img},       {"HISTCHAR", TTagId::HistChar}};
  return ids;
}

class TMarkupParser {
 public:
  explicit TMarkupParser(TTpWord& word) : FWord(word), FState(word.TextDelay) {}

  void Token(std::string_view token) {
    if (IsTagToken(token)) {
      Tag(ParseTag(token));
      return;
    }
    // Comment and block tokens name no tag: nothing of them shows.
    for (std::string_view block : {"<!--", "<SCRIPT", "<STYLE"})
      if (token.size() >= block.size() && SameName(token.substr(0, block.size()), block)) return;
    Text(token);
  }

 private:
  TDecorate* Decoration() {
    if (!FCurrent) {
      FCurrent = FWord.Decorations().Acquire(FState.Decoration());
      return FCurrent;
    }
    FWord.Decorations().AddRef(FCurrent);
    return FCurrent;
  }
  void Changed() { FCurrent = nullptr; }

  void Text(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
      uint16_t code = uint8_t(text[i]);
      if (IsLeadByte(uint8_t(text[i])) && i + 1 < text.size()) code = uint16_t(code << 8 | uint8_t(text[++i]));
      auto c = NewGlyph<TWdChar>(FWord, code, Decoration());
      c->Link = FState.Link;
      c->Wait = FState.Wait.Top();
      FWord.Add(std::move(c));
    }
  }

  void Tag(const TTag& tag) {
    const auto it = TagIds().find(UpperName(tag.Name));
    if (it == TagIds().end()) return;
    switch (it->second) {
      case TTagId::A: Link(tag); break;
      case TTagId::EndA: FState.Link.clear(); break;
      case TTagId::B: Style(kStyleBold, true); break;
      case TTagId::EndB: Style(kStyleBold, false); break;
      case TTagId::I: Style(kStyleItalic, true); break;
      case TTagId::EndI: Style(kStyleItalic, false); break;
      case TTagId::U: Style(kStyleUnderline, true); break;
      case TTagId::EndU: Style(kStyleUnderline, false); break;
      case TTagId::S: Style(kStyleStrikeOut, true); break;
      case TTagId::EndS: Style(kStyleStrikeOut, false); break;
      case TTagId::Font: Font(tag); break;
      case TTagId::EndFont: EndFont(); break;
      case TTagId::NoBr: NoBreak(true); break;
      case TTagId::EndNoBr: NoBreak(false); break;
      case TTagId::Ruby: Ruby(tag.Str("VALUE")); break;
      case TTagId::EndRuby: Ruby({}); break;
      case TTagId::Div:
        FState.Align.Push(tag.Align("ALIGN", {taLeft, taRight, taCenter}, taLeft));
        AddAlign();
        break;
      case TTagId::EndDiv:
        FState.Align.Pop();
        AddAlign();
        break;
      case TTagId::Indent: FWord.Add(NewGlyph<TWdOpeIndent>(FWord)); break;
      case TTagId::Undent: FWord.Add(NewGlyph<TWdOpeUndent>(FWord)); break;
      case TTagId::Br: AddReturn(tag.Find("CLEAR") != nullptr); break;
      case TTagId::Clear: AddReturn(true); break;
      case TTagId::Event: Event(tag); break;
      case TTagId::Wait: FState.Wait.Push(tag.Int("VALUE", FState.Wait.Top())); break;
      case TTagId::EndWait: FState.Wait.Pop(); break;
      case TTagId::Var: AddVar<TWdOpeVar>(tag.Str("NAME")); break;
      case TTagId::Img: Image(tag); break;
      case TTagId::HistChar: AddVar<TWdOpeHistChar>(tag.Str("VALUE")); break;
    }
  }

  void Link(const TTag& tag) {
    const std::string href = tag.Str("HREF");
    if (href.empty()) throw EKestError(std::string(kNoHref));
    FState.Link = ResolveEscapes(href);
  }

  void Style(uint8_t bit, bool on) {
    FState.Style = on ? uint8_t(FState.Style | bit) : uint8_t(FState.Style & ~bit);
    Changed();
  }

  void NoBreak(bool on) {
    FState.NoBreak = on;
    Changed();
  }

  void Ruby(std::string value) {
    FState.Ruby = std::move(value);
    Changed();
  }

  // BORDER and SHADOW: the current value when absent, 1 when not a number,
  // never below 0.
  static int32_t Width(const TTag& tag, std::string_view name, int32_t current) {
    const TTagAttribute* a = tag.Find(name);
    if (!a) return current;
    const int32_t v = a->Value ? ParseDecimal(*a->Value).value_or(1) : 1;
    return v < 0 ? 0 : v;
  }

  void Font(const TTag& tag) {
    FState.FontSize.Push(tag.Int("SIZE", FState.FontSize.Top()));
    FState.FontColor.Push(tag.Colour("COLOR", FState.FontColor.Top()));
    FState.BorderColor.Push(tag.Colour("BCOLOR", FState.BorderColor.Top()));
    FState.ShadowColor.Push(tag.Colour("SCOLOR", FState.ShadowColor.Top()));
    FState.FontName.Push(tag.Str("NAME", FState.FontName.Top()));
    FState.BorderWidth.Push(Width(tag, "BORDER", FState.BorderWidth.Top()));
    FState.ShadowOffset.Push(Width(tag, "SHADOW", FState.ShadowOffset.Top()));
    Changed();
  }

  void EndFont() {
    FState.FontSize.Pop();
    FState.FontColor.Pop();
    FState.BorderColor.Pop();
    FState.ShadowColor.Pop();
    FState.FontName.Pop();
    FState.BorderWidth.Pop();
    FState.ShadowOffset.Pop();
    Changed();
  }

  void AddAlign() {
    auto g = NewGlyph<TWdOpeAlign>(FWord);
    g->Align = FState.Align.Top();
    FWord.Add(std::move(g));
  }

  void AddReturn(bool clear) {
    auto g = NewGlyph<TWdOpeReturn>(FWord);
    g->Clear = clear;
    FWord.Add(std::move(g));
  }

  void Event(const TTag& tag) {
    auto g = NewGlyph<TWdOpeEvent>(FWord);
    g->Value = ResolveEscapes(tag.Str("VALUE"));
    g->End = tag.Find("END") != nullptr;
    FWord.Add(std::move(g));
  }

  template <class T>
  void AddVar(std::string expression) {
    if (expression.empty()) return;
    auto g = NewGlyph<T>(FWord, Decoration());
    g->Expression = std::move(expression);
    g->Link = FState.Link;
    g->Wait = FState.Wait.Top();
    FWord.Add(std::move(g));
  }

  void Image(const TTag& tag) {
    std::string source = tag.Str("SRC");
    if (source.empty()) return;
    auto g = NewGlyph<TWdImg>(FWord);
    g->Source = std::move(source);
    g->Align = tag.Align("ALIGN", {taCenter, taTop, taBottom}, taBottom);
    g->Link = FState.Link;
    g->Wait = FState.Wait.Top();
    FWord.Add(std::move(g));
  }

  TTpWord& FWord;
  TTagValList FState;
  // The record of the state since it last changed.
  TDecorate* FCurrent = nullptr;
};

}  // namespace

void TTpWord::SetMarkup(const std::vector<std::string>& lines) {
  Clear();
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += '\r';
    text += lines[i];
  }
  // Most of a text is characters, a glyph each.
  FGlyphs.reserve(text.size() / 2 + 1);
  const TMarkupTokens tokens = TokenizeMarkup(text);
  TMarkupParser parser(*this);
  for (size_t i = 0; i < tokens.Count(); ++i) parser.Token(tokens[i]);
}

}  // namespace kest
